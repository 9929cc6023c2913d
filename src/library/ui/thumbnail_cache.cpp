#include "library/ui/thumbnail_cache.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMetaObject>

namespace {
// More queued reads than this are dropped (cards scrolled past); they are asked again when shown.
constexpr int maxQueued = 96;
} // namespace

ThumbnailCache::ThumbnailCache(QSize size, qint64 maxBytes, QObject* parent)
    : QObject(parent)
    , m_size(size)
    , m_cache(maxBytes)
{
    m_pool.setMaxThreadCount(1);
    m_pool.setObjectName(QStringLiteral("Thumbnails"));
}

ThumbnailCache::~ThumbnailCache()
{
    m_pool.clear();
    m_pool.waitForDone();
}

QImage ThumbnailCache::image(const QUuid& id, const QString& path, int version)
{
    const Entry* entry = m_cache.object(id);
    if (!entry) {
        request(id, path, version, {});
        return {};
    }
    if (entry->version < version)
        request(id, path, version, entry->modified);
    return entry->image;
}

bool ThumbnailCache::isMissing(const QUuid& id) const
{
    const Entry* entry = m_cache.object(id);
    return entry && entry->missing;
}

void ThumbnailCache::waitForReads()
{
    m_pool.waitForDone();
}

void ThumbnailCache::request(const QUuid& id, const QString& path, int version, const QDateTime& known)
{
    const auto pending = m_pending.constFind(id);
    if (pending != m_pending.cend() && *pending >= version)
        return;
    if (m_pending.size() >= maxQueued) {
        // Whatever waits was scrolled past: start over with what is on screen now.
        m_pool.clear();
        m_pending.clear();
    }
    m_pending.insert(id, version);
    const QSize size = m_size;
    // Newer requests get a higher priority, so the pool runs them first.
    m_pool.start([this, id, path, version, size, known] { deliver(id, version, read(path, size, known)); }, ++m_order);
}

void ThumbnailCache::deliver(const QUuid& id, int version, Result result)
{
    // On the worker: hand over to the main thread. The destructor waits for the pool, so `this`
    // outlives the call, and a queued call to a deleted object is dropped.
    QMetaObject::invokeMethod(this, [this, id, version, result = std::move(result)] {
        if (m_pending.value(id, -1) == version)
            m_pending.remove(id);
        if (result.unchanged) {
            if (Entry* entry = m_cache.object(id))
                entry->version = std::max(entry->version, version);
            return;
        }
        auto* entry = new Entry{result.image, result.modified, version, result.missing};
        m_cache.insert(id, entry, std::max<qsizetype>(1, result.image.sizeInBytes()));
        emit loaded(id);
    }, Qt::QueuedConnection);
}

ThumbnailCache::Result ThumbnailCache::read(const QString& path, QSize size, const QDateTime& known)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {QImage(), {}, true, false};
    const QDateTime modified = info.lastModified();
    if (known.isValid() && modified == known)
        return {QImage(), known, false, true};
    QImageReader reader(path);
    const QSize source = reader.size();
    if (source.isValid() && !source.isEmpty()) {
        // Read only as many pixels as the card shows: cover the size, keep the aspect.
        const QSize scaled = source.scaled(size, Qt::KeepAspectRatioByExpanding);
        if (scaled.width() < source.width())
            reader.setScaledSize(scaled);
    }
    QImage image = reader.read();
    if (image.isNull())
        return {QImage(), modified, true, false};
    if (image.width() > size.width() * 2 || image.height() > size.height() * 2)
        image = image.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return {image.convertToFormat(QImage::Format_ARGB32_Premultiplied), modified, false, false};
}
