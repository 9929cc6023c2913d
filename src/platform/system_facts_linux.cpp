#include "platform/system_facts.h"

#include "platform/local_files.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSysInfo>

namespace {

// KEY=value lines of os-release, values unquoted.
QMap<QString, QString> osReleaseFields(const QByteArray& text)
{
    QMap<QString, QString> fields;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype equals = line.indexOf('=');
        if (line.startsWith('#') || equals <= 0)
            continue;
        QString value = QString::fromUtf8(line.mid(equals + 1)).trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        fields.insert(QString::fromUtf8(line.left(equals)), value.trimmed());
    }
    return fields;
}

class LinuxSystemFacts : public SystemFacts
{
public:
    explicit LinuxSystemFacts(const Sources& sources) : m_sources(sources) {}

    QString distribution() const override
    {
        const QMap<QString, QString> fields = osReleaseFields(LocalFiles::readSmall(m_sources.osRelease).value_or(QByteArray()));
        QString name = fields.value(QStringLiteral("NAME"));
        if (name.isEmpty())
            name = QSysInfo::kernelType() == QLatin1String("linux") ? QStringLiteral("Linux") : QSysInfo::kernelType();
        const QString version = fields.value(QStringLiteral("VERSION_ID"));
        return version.isEmpty() ? name : name + u' ' + version;
    }

    std::optional<QString> hardwareModel() const override
    {
        const std::optional<QByteArray> bytes = LocalFiles::readSmall(m_sources.productName);
        if (!bytes)
            return std::nullopt;
        const QString model = QString::fromUtf8(*bytes).simplified();
        if (model.isEmpty())
            return std::nullopt;
        return model;
    }

private:
    Sources m_sources;
};

} // namespace

SystemFacts& SystemFacts::system()
{
    static const std::unique_ptr<SystemFacts> facts = makeSystem();
    return *facts;
}

std::unique_ptr<SystemFacts> SystemFacts::makeSystem()
{
    return makeSystem(Sources {});
}

std::unique_ptr<SystemFacts> SystemFacts::makeSystem(const Sources& sources)
{
    return std::make_unique<LinuxSystemFacts>(sources);
}
