// A settings domain file holding any bytes: every read copes, and the next write of a key leaves
// a domain that holds that key, the other readable keys, and the old bytes moved aside when they
// could not be read.
#include "platform/defaults.h"
#include "platform/property_list.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir home;
    static const bool configured = qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    (void)configured;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString name = QStringLiteral("app.fuzz");

    Defaults::forgetAll();
    Defaults& domain = Defaults::domain(name);
    QDir().mkpath(QFileInfo(domain.filePath()).absolutePath());
    QFile::remove(domain.filePath() + QStringLiteral(".damaged"));
    {
        QFile file(domain.filePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return 0;
    }

    const QVariantMap before = domain.all();
    for (const QString& key : before.keys()) {
        (void)domain.boolean(key);
        (void)domain.real(key);
        (void)domain.string(key);
        (void)domain.date(key);
        (void)domain.dictionary(key);
    }
    if (!domain.set(QStringLiteral("written"), qlonglong(size)))
        std::abort();

    // What the next process reads.
    Defaults::forgetAll();
    Defaults& again = Defaults::domain(name);
    if (again.integer(QStringLiteral("written")) != qlonglong(size))
        std::abort();
    // A readable domain keeps its keys; an unreadable one is kept aside as it was.
    const auto parsed = PropertyList::parse(bytes);
    const bool damaged = !parsed || parsed->typeId() != QMetaType::QVariantMap;
    if (damaged && readAll(again.filePath() + QStringLiteral(".damaged")) != bytes)
        std::abort();
    for (const QString& key : before.keys())
        if (key != QStringLiteral("written") && !again.contains(key))
            std::abort();
    return 0;
}
