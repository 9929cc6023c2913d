#include "platform/defaults.h"

#include "platform/paths.h"
#include "platform/process_identity.h"
#include "platform/property_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QTimeZone>

#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcDefaults, "zentrove.defaults")

namespace {

// Files larger than this are not a settings domain of ours.
constexpr qint64 maxFileSize = 64 * 1024 * 1024;

QString fileNameFor(const QString& domain)
{
    QString safe = domain;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (safe.isEmpty() || safe.startsWith(QLatin1Char('.')))
        safe.prepend(QLatin1Char('_'));
    return safe + QStringLiteral(".plist");
}

// An atomic write goes through a temporary file next to the domain, named after it with a dot and
// six random letters appended. A writer killed before renaming it leaves it behind; one older than a
// minute belongs to no write still going on.
void removeStaleTemporaries(const QString& path)
{
    const QFileInfo domainFile(path);
    const QString prefix = domainFile.fileName() + QLatin1Char('.');
    const QDateTime cutoff = QDateTime::currentDateTimeUtc().addSecs(-60);
    QDir folder = domainFile.absoluteDir();
    const QFileInfoList candidates = folder.entryInfoList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : candidates) {
        // The name is kept: a view of the temporary fileName() would outlive it.
        const QString name = file.fileName();
        const QStringView suffix = QStringView(name).mid(prefix.size());
        const bool temporaryName = std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
            return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        });
        if (temporaryName && file.lastModified().toUTC() < cutoff && QFile::remove(file.absoluteFilePath()))
            qCInfo(lcDefaults).noquote() << "Zentrove: removed" << file.absoluteFilePath() << "left by an unfinished settings write";
    }
}

// Serialises writers of one domain across processes. flock is released by the kernel when a
// writer dies, so a killed process never leaves the domain locked.
class DomainLock
{
public:
    explicit DomainLock(int fd) : m_fd(fd)
    {
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0)
            m_fd = -1;
    }
    ~DomainLock()
    {
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_UN);
    }
    DomainLock(const DomainLock&) = delete;
    DomainLock& operator=(const DomainLock&) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

struct Registry
{
    QMutex mutex;
    QHash<QString, Defaults*> domains;
    ~Registry() { qDeleteAll(domains); }
};

Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

Defaults& Defaults::domain(const QString& name)
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    Defaults*& slot = r.domains[name];
    if (!slot)
        slot = new Defaults(name);
    return *slot;
}

Defaults& Defaults::standard()
{
    return domain(ProcessIdentity::current());
}

void Defaults::forgetAll()
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    qDeleteAll(r.domains);
    r.domains.clear();
}

Defaults::Defaults(const QString& name)
    : m_name(name)
    , m_path(Paths::defaultsFolder() + QLatin1Char('/') + fileNameFor(name))
{
}

Defaults::~Defaults()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

int Defaults::lockFile()
{
    // Kept open for the life of the domain: opening it for every write costs more than the lock.
    if (m_lockFd < 0) {
        Paths::ensureFolder(QFileInfo(m_path).absolutePath());
        m_lockFd = ::open(QFile::encodeName(m_path + QStringLiteral(".lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    }
    return m_lockFd;
}

Defaults::FileStamp Defaults::stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, qint64(st.st_ino), qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::optional<QVariantMap> Defaults::readFile(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return QVariantMap();
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxFileSize)
        return std::nullopt;
    const auto root = PropertyList::parse(file.readAll());
    if (!root || root->metaType().id() != QMetaType::QVariantMap)
        return std::nullopt;
    return root->toMap();
}

void Defaults::loadIfNeeded() const
{
    if (m_loaded)
        return;
    auto* self = const_cast<Defaults*>(this);
    self->m_loaded = true;
    self->m_stamp = stampOf(m_path);
    auto values = readFile(m_path);
    self->m_damaged = !values;
    if (values) {
        self->m_values = *values;
    } else {
        qCWarning(lcDefaults).noquote() << "Zentrove: settings file" << m_path << "is unreadable; using defaults";
        self->m_values.clear();
    }
}

void Defaults::sync()
{
    QMutexLocker lock(&m_mutex);
    if (!m_loaded) {
        loadIfNeeded();
        return;
    }
    const FileStamp now = stampOf(m_path);
    if (now == m_stamp)
        return;
    m_stamp = now;
    auto values = readFile(m_path);
    m_damaged = !values;
    m_values = values.value_or(QVariantMap());
}

bool Defaults::write(const Change& change)
{
    QMutexLocker lock(&m_mutex);
    loadIfNeeded();
    // The in-memory copy changes first so this process sees its own write even if the disk refuses.
    change(m_values);

    DomainLock domainLock(lockFile());
    bool stored = false;
    if (domainLock.held()) {
        removeStaleTemporaries(m_path);
        // Merge: start from what is on disk now, so other processes' keys survive.
        const FileStamp before = stampOf(m_path);
        QVariantMap merged;
        std::optional<QVariantMap> onDisk;
        if (before != m_stamp)
            onDisk = readFile(m_path);
        if (before == m_stamp && !m_damaged) {
            merged = m_values;
        } else if (onDisk) {
            merged = *onDisk;
            change(merged);
        } else if (QFileInfo(m_path).isDir()) {
            // Not ours to move: leave it and keep the value in memory.
        } else {
            // Keep the damaged file for whoever wants to look at it; it holds nothing we can read.
            const QString aside = m_path + QStringLiteral(".damaged");
            QFile::remove(aside);
            QFile::rename(m_path, aside);
            qCWarning(lcDefaults).noquote() << "Zentrove: settings file" << m_path << "was damaged; moved it to" << aside;
            merged = m_values;
        }
        const QByteArray xml = PropertyList::toXml(merged);
        QSaveFile file(m_path);
        file.setDirectWriteFallback(false);
        stored = !xml.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(xml) == xml.size() && file.commit();
        if (stored) {
            m_damaged = false;
            m_values = merged;
            m_stamp = stampOf(m_path);
        }
    }
    if (!stored && !m_warnedWrite) {
        m_warnedWrite = true;
        qCWarning(lcDefaults).noquote() << "Zentrove: could not write settings file" << m_path;
    }
    return stored;
}

bool Defaults::contains(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    loadIfNeeded();
    return m_values.contains(key);
}

QStringList Defaults::keys() const
{
    QMutexLocker lock(&m_mutex);
    loadIfNeeded();
    return m_values.keys();
}

QVariant Defaults::value(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    loadIfNeeded();
    return m_values.value(key);
}

QVariantMap Defaults::all() const
{
    QMutexLocker lock(&m_mutex);
    loadIfNeeded();
    return m_values;
}

namespace {
template<typename T>
std::optional<T> typed(const QVariant& v, QMetaType::Type type)
{
    if (!v.isValid() || v.metaType().id() != type)
        return std::nullopt;
    return v.value<T>();
}
} // namespace

std::optional<bool> Defaults::boolean(const QString& key) const
{
    // Only a stored boolean counts: a number or text under a switch's key reads as absent, so a
    // switch that is on by default stays on.
    return typed<bool>(value(key), QMetaType::Bool);
}

std::optional<qlonglong> Defaults::integer(const QString& key) const
{
    return typed<qlonglong>(value(key), QMetaType::LongLong);
}

std::optional<double> Defaults::real(const QString& key) const
{
    const QVariant v = value(key);
    if (v.metaType().id() == QMetaType::LongLong)
        return double(v.toLongLong());
    return typed<double>(v, QMetaType::Double);
}

std::optional<QString> Defaults::string(const QString& key) const
{
    return typed<QString>(value(key), QMetaType::QString);
}

std::optional<QByteArray> Defaults::data(const QString& key) const
{
    return typed<QByteArray>(value(key), QMetaType::QByteArray);
}

std::optional<QDateTime> Defaults::date(const QString& key) const
{
    return typed<QDateTime>(value(key), QMetaType::QDateTime);
}

std::optional<QVariantList> Defaults::array(const QString& key) const
{
    return typed<QVariantList>(value(key), QMetaType::QVariantList);
}

std::optional<QVariantMap> Defaults::dictionary(const QString& key) const
{
    return typed<QVariantMap>(value(key), QMetaType::QVariantMap);
}

bool Defaults::isStorable(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QDateTime:
        return true;
    case QMetaType::QStringList:
        return true;
    case QMetaType::QVariantList: {
        const QVariantList list = value.toList();
        return std::all_of(list.begin(), list.end(), isStorable);
    }
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        return std::all_of(map.begin(), map.end(), isStorable);
    }
    default:
        return false;
    }
}

namespace {
// Stored values keep one type per kind, so typed reads agree before and after a round trip.
QVariant normalised(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
        return QVariant(qlonglong(value.toInt()));
    case QMetaType::QStringList:
        return QVariant(value.toList());
    case QMetaType::QDateTime:
        // XML property lists keep whole seconds; hold in memory what will read back from disk.
        return QVariant(QDateTime::fromSecsSinceEpoch(value.toDateTime().toSecsSinceEpoch(), QTimeZone::utc()));
    case QMetaType::QVariantList: {
        QVariantList list = value.toList();
        for (QVariant& item : list)
            item = normalised(item);
        return QVariant(list);
    }
    case QMetaType::QVariantMap: {
        QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            it.value() = normalised(it.value());
        return QVariant(map);
    }
    default:
        return value;
    }
}
} // namespace

bool Defaults::setValue(const QString& key, const QVariant& value)
{
    if (!value.isValid())
        return remove(key);
    if (!isStorable(value)) {
        qCWarning(lcDefaults).noquote() << "Zentrove: refused to store a value of type" << value.typeName() << "under" << key;
        return false;
    }
    const QVariant stored = normalised(value);
    return write([&](QVariantMap& values) { values.insert(key, stored); });
}

bool Defaults::setValues(const QVariantMap& values)
{
    for (const QVariant& v : values)
        if (v.isValid() && !isStorable(v))
            return false;
    return write([&](QVariantMap& target) {
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (it.value().isValid())
                target.insert(it.key(), normalised(it.value()));
            else
                target.remove(it.key());
        }
    });
}

bool Defaults::set(const QString& key, bool value) { return setValue(key, QVariant(value)); }
bool Defaults::set(const QString& key, qlonglong value) { return setValue(key, QVariant(value)); }
bool Defaults::set(const QString& key, double value) { return setValue(key, QVariant(value)); }
bool Defaults::set(const QString& key, const QString& value) { return setValue(key, QVariant(value)); }
bool Defaults::set(const QString& key, const QByteArray& value) { return setValue(key, QVariant(value)); }
bool Defaults::set(const QString& key, const QDateTime& value) { return setValue(key, QVariant(value)); }
bool Defaults::set(const QString& key, const QVariantList& value) { return setValue(key, QVariant(value)); }
bool Defaults::set(const QString& key, const QVariantMap& value) { return setValue(key, QVariant(value)); }

bool Defaults::remove(const QString& key)
{
    return write([&](QVariantMap& values) { values.remove(key); });
}
