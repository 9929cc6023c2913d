#pragma once

#include <QDateTime>
#include <QMutex>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

// One settings domain: a typed key-value store shared by every process of the product.
//
// Values are bool, integer (qlonglong), double, string, data (QByteArray), date (QDateTime),
// array (QVariantList) and dictionary (QVariantMap), nested freely. Dates keep whole seconds. A write changes only its own
// keys, so processes writing different keys of one domain never lose each other's values. Other
// processes' writes become visible after sync(). A domain that cannot be read (damaged, foreign,
// a folder in its place) reads as empty; a write that cannot be stored is logged and kept in
// memory for the life of the process.
class Defaults
{
public:
    // The one instance of a domain in this process. A part opens its own domain, everyone else
    // opens it as a suite: both end up here.
    static Defaults& domain(const QString& name);
    // The domain of this process's identifier.
    static Defaults& standard();
    // Drops every cached instance (tests switch folders between cases).
    static void forgetAll();

    QString name() const { return m_name; }
    QString filePath() const { return m_path; }

    bool contains(const QString& key) const;
    QStringList keys() const;
    QVariant value(const QString& key) const; // invalid when absent
    QVariantMap all() const;

    // Typed reads: absent, or present with another type, gives nullopt.
    std::optional<bool> boolean(const QString& key) const;
    std::optional<qlonglong> integer(const QString& key) const;
    std::optional<double> real(const QString& key) const; // integers read as doubles too
    std::optional<QString> string(const QString& key) const;
    std::optional<QByteArray> data(const QString& key) const;
    std::optional<QDateTime> date(const QString& key) const;
    std::optional<QVariantList> array(const QString& key) const;
    std::optional<QVariantMap> dictionary(const QString& key) const;

    // Convenience with a fallback, the common case in stores. A value of another type (an integer
    // 0 or 1 included) counts as absent and gives the fallback.
    bool boolean(const QString& key, bool fallback) const { return boolean(key).value_or(fallback); }

    // Each write is stored before it returns. false: the value is kept in memory but could not be
    // written to disk (logged).
    bool set(const QString& key, bool value);
    bool set(const QString& key, int value) { return set(key, qlonglong(value)); }
    bool set(const QString& key, qlonglong value);
    bool set(const QString& key, double value);
    bool set(const QString& key, const QString& value);
    bool set(const QString& key, const char* value) { return set(key, QString::fromUtf8(value)); }
    bool set(const QString& key, const QByteArray& value);
    bool set(const QString& key, const QDateTime& value);
    bool set(const QString& key, const QVariantList& value);
    bool set(const QString& key, const QVariantMap& value);
    // Any of the types above; an invalid QVariant removes the key. Unsupported types are refused.
    bool setValue(const QString& key, const QVariant& value);
    // Several keys in one locked write.
    bool setValues(const QVariantMap& values);
    bool remove(const QString& key);

    // Picks up other processes' writes. Cheap when the file did not change (one stat).
    void sync();

    // Whether a QVariant can be stored (recursively).
    static bool isStorable(const QVariant& value);

    ~Defaults();
    Defaults(const Defaults&) = delete;
    Defaults& operator=(const Defaults&) = delete;

private:
    explicit Defaults(const QString& name);
    int lockFile();
    using Change = std::function<void(QVariantMap&)>;
    bool write(const Change& change);

    struct FileStamp
    {
        bool exists = false;
        qint64 inode = 0;
        qint64 size = 0;
        qint64 mtimeNs = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static FileStamp stampOf(const QString& path);
    // Reads the file; nullopt when it exists but cannot be parsed as a dictionary.
    static std::optional<QVariantMap> readFile(const QString& path);

    const QString m_name;
    const QString m_path;
    mutable QMutex m_mutex;
    QVariantMap m_values;
    FileStamp m_stamp;
    bool m_loaded = false;
    bool m_warnedWrite = false;
    bool m_damaged = false;
    int m_lockFd = -1; // the file on disk could not be read last time

    void loadIfNeeded() const;
};
