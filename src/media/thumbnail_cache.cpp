#include "media/thumbnail_cache.h"

#include "platform/thread_priority.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QMetaObject>
#include <QPointer>

ThumbnailCache::ThumbnailCache(qint64 maxBytes, QObject* parent)
    : QObject(parent)
    , m_cache(maxBytes)
{
    // Two readers for two cores; each lowers itself below the main thread when it starts, so
    // painting and input come first.
    m_pool.setMaxThreadCount(2);
    m_pool.setObjectName(QStringLiteral("Thumbnails"));
}

ThumbnailCache::~ThumbnailCache()
{
    {
        std::lock_guard lock(m_queueLock);
        m_queue.clear();
    }
    m_pool.waitForDone();
}

ThumbnailCache& ThumbnailCache::shared()
{
    static QPointer<ThumbnailCache> cache;
    if (!cache)
        cache = new ThumbnailCache(defaultMaxBytes, QCoreApplication::instance());
    return *cache;
}

QImage ThumbnailCache::image(const QString& path, QSize size, int version)
{
    if (path.isEmpty() || size.width() <= 0)
        return {};
    const Key key{path, size};
    const Entry* entry = m_cache.object(key);
    if (!entry) {
        request(key, version, {});
        const auto latest = m_latest.constFind(path);
        const Entry* standIn = latest == m_latest.cend() ? nullptr : m_cache.object(Key{path, *latest});
        return standIn ? standIn->image : QImage();
    }
    if (entry->version < version)
        request(key, version, entry->modified);
    return entry->image;
}

bool ThumbnailCache::isMissing(const QString& path, QSize size) const
{
    const Entry* entry = m_cache.object(Key{path, size});
    return entry && entry->missing;
}

void ThumbnailCache::waitForReads()
{
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

void ThumbnailCache::request(const Key& key, int version, const QDateTime& known)
{
    const auto pending = m_pending.constFind(key);
    if (pending != m_pending.cend() && *pending >= version)
        return;
    m_pending.insert(key, version);
    bool startReader = false;
    {
        std::lock_guard lock(m_queueLock);
        m_queue.push_back(Job{key, version, known});
        // What waits longest was scrolled past: forget it, it is asked again when shown.
        while (m_queue.size() > size_t(maxQueued)) {
            const Job& dropped = m_queue.front();
            if (m_pending.value(dropped.key, -1) == dropped.version)
                m_pending.remove(dropped.key);
            m_queue.pop_front();
        }
        // A reader goes on until the queue is empty: start one only when fewer than the pool's
        // threads are going, so a scroll's many requests cost the main thread little.
        if (m_readers < m_pool.maxThreadCount()) {
            ++m_readers;
            startReader = true;
        }
    }
    if (startReader)
        m_pool.start([this] { drain(); });
}

void ThumbnailCache::drain()
{
    // On a reader: take the newest job until none is left.
    ThreadPriority::yieldToInterface();
    for (;;) {
        Job job;
        {
            std::lock_guard lock(m_queueLock);
            if (m_queue.empty()) {
                --m_readers;
                return;
            }
            job = std::move(m_queue.back());
            m_queue.pop_back();
        }
        deliver(job, load(job));
    }
}

void ThumbnailCache::deliver(const Job& job, Result result)
{
    // The destructor waits for the readers, so `this` outlives the call, and a queued call to a
    // deleted object is dropped.
    QMetaObject::invokeMethod(this, [this, job, result = std::move(result)] {
        if (m_pending.value(job.key, -1) == job.version)
            m_pending.remove(job.key);
        if (result.unchanged) {
            if (Entry* entry = m_cache.object(job.key))
                entry->version = std::max(entry->version, job.version);
            return;
        }
        auto* entry = new Entry{result.image, result.modified, job.version, result.missing};
        m_cache.insert(job.key, entry, std::max<qsizetype>(1, result.image.sizeInBytes()));
        m_latest.insert(job.key.path, job.key.size);
        emit loaded(job.key.path);
    }, Qt::QueuedConnection);
}

ThumbnailCache::Result ThumbnailCache::load(const Job& job)
{
    const QFileInfo info(job.key.path);
    if (!info.exists())
        return {QImage(), {}, true, false};
    const QDateTime modified = info.lastModified();
    if (job.known.isValid() && modified == job.known)
        return {QImage(), job.known, false, true};
    QImage image = read(job.key.path, job.key.size);
    if (image.isNull())
        return {QImage(), modified, true, false};
    return {std::move(image), modified, false, false};
}

QImage ThumbnailCache::read(const QString& path, QSize size)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize source = reader.size();
    QSize wanted;
    if (source.isValid() && !source.isEmpty()) {
        wanted = size.height() > 0 ? source.scaled(size, Qt::KeepAspectRatioByExpanding)
                                   : QSize(size.width(), std::max(1, int(qint64(source.height()) * size.width() / source.width())));
        // Read only as many pixels as are shown (formats that can, decode smaller).
        if (wanted.width() < source.width())
            reader.setScaledSize(wanted);
        else
            wanted = source;
    }
    QImage image = reader.read();
    if (image.isNull())
        return {};
    // A reader that ignored the scaled size: scale here, on the worker.
    if (wanted.isValid() && image.size() != wanted)
        image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
