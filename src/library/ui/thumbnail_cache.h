#pragma once

#include <QCache>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>
#include <QUuid>

// Thumbnails of the library's wallpapers at card size, read off the main thread and kept in
// memory up to a bound. A request made while the image loads returns a null image; loaded()
// tells when to ask again. Requests run newest first, so scrolling fast loads what is on screen.
class ThumbnailCache : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 defaultMaxBytes = 64ll * 1024 * 1024;

    // `size`: the pixel size images are read at (cropped to fill it, keeping their aspect).
    explicit ThumbnailCache(QSize size, qint64 maxBytes = defaultMaxBytes, QObject* parent = nullptr);
    ~ThumbnailCache() override;

    // The kept image of the wallpaper, or a null one. Starts a read when nothing is kept, and a
    // check of the file when what is kept is older than `version` (the store's thumbnail
    // version); the kept image stays shown until the new one is in.
    QImage image(const QUuid& id, const QString& path, int version);
    // True when the file was read and is missing or not a picture (the card shows a placeholder).
    bool isMissing(const QUuid& id) const;

    QSize size() const { return m_size; }
    qint64 bytes() const { return m_cache.totalCost(); }
    qint64 maxBytes() const { return m_cache.maxCost(); }
    int pending() const { return int(m_pending.size()); }
    // Blocks until every started read has ended (tests, benchmarks).
    void waitForReads();

signals:
    void loaded(const QUuid& id);

private:
    struct Entry
    {
        QImage image;
        QDateTime modified;
        int version = 0;
        bool missing = false;
    };
    struct Result
    {
        QImage image;
        QDateTime modified;
        bool missing = false;
        bool unchanged = false;
    };

    void request(const QUuid& id, const QString& path, int version, const QDateTime& known);
    void deliver(const QUuid& id, int version, Result result);
    static Result read(const QString& path, QSize size, const QDateTime& known);

    QSize m_size;
    QCache<QUuid, Entry> m_cache;
    QHash<QUuid, int> m_pending; // id -> version asked for
    QThreadPool m_pool;
    int m_order = 0;
};
