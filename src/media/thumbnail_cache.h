#pragma once

#include <QCache>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>

#include <deque>
#include <mutex>

// Pictures of wallpapers at the sizes views show them, read off the main thread and kept in
// memory up to a bound. The main thread never waits on the disk: a picture not read yet is a null
// image until loaded() says it is in. Reads run newest request first, so a view scrolled fast
// loads what is on screen now; requests left far behind are dropped and asked again when shown.
class ThumbnailCache : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 defaultMaxBytes = 64ll * 1024 * 1024;
    // Waiting reads beyond this many are dropped, oldest first.
    static constexpr int maxQueued = 96;

    explicit ThumbnailCache(qint64 maxBytes = defaultMaxBytes, QObject* parent = nullptr);
    ~ThumbnailCache() override;

    // The application's one cache, so every view shares its pictures and its memory bound.
    // Lives until the application object goes.
    static ThumbnailCache& shared();

    // The picture at `path` read to cover `size` (keeping its aspect, never enlarged; a height of
    // 0 asks for the width only), or a null image while it is read. `version` is the library's
    // thumbnail version: when what is kept is older, the file is checked again and re-read only
    // if it changed, and the kept picture stays shown until the new one is in. While a new size
    // is read (a view was resized), the picture at the size read last stands in for it.
    QImage image(const QString& path, QSize size, int version = 0);
    // True when the file was read and is missing or not a picture (views show a placeholder).
    bool isMissing(const QString& path, QSize size) const;

    qint64 bytes() const { return m_cache.totalCost(); }
    qint64 maxBytes() const { return m_cache.maxCost(); }
    int pending() const { return int(m_pending.size()); }
    // Blocks until every started read has ended and hands the results over (tests, benchmarks).
    void waitForReads();

    // Reads `path` to cover `size` as image() does, on the calling thread.
    static QImage read(const QString& path, QSize size);

signals:
    // A picture of `path` (at some size) came in or was found missing.
    void loaded(const QString& path);

private:
    struct Key
    {
        QString path;
        QSize size;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) { return qHashMulti(seed, key.path, key.size.width(), key.size.height()); }

    struct Entry
    {
        QImage image;
        QDateTime modified;
        int version = 0;
        bool missing = false;
    };
    struct Job
    {
        Key key;
        int version = 0;
        QDateTime known; // the kept picture's file time: an unchanged file is not read again
    };
    struct Result
    {
        QImage image;
        QDateTime modified;
        bool missing = false;
        bool unchanged = false;
    };

    void request(const Key& key, int version, const QDateTime& known);
    void drain();
    void deliver(const Job& job, Result result);
    static Result load(const Job& job);

    mutable QCache<Key, Entry> m_cache;
    QHash<Key, int> m_pending; // main thread: key -> version asked for
    QHash<QString, QSize> m_latest; // path -> size read last
    std::mutex m_queueLock;
    std::deque<Job> m_queue; // newest at the back
    int m_readers = 0;       // reader runs going; under m_queueLock
    QThreadPool m_pool;
};
