#include "app/ui/ensemble_thumbnails.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QPointer>
#include <QThreadPool>

namespace {

QThreadPool& readers()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(2);
        return p;
    }();
    return *pool;
}

QImage readScaled(const QString& path, int width)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && size.width() > width)
        reader.setScaledSize(size.scaled(width, size.height() * width / std::max(1, size.width()), Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

EnsembleThumbnails::EnsembleThumbnails(QObject* parent)
    : QObject(parent)
{
}

EnsembleThumbnails::~EnsembleThumbnails() = default;

QImage EnsembleThumbnails::image(const QString& path, int width)
{
    if (path.isEmpty() || width <= 0)
        return {};
    // Sizes come in steps so a card resized by a few pixels reuses its picture.
    width = (width + 127) / 128 * 128;
    const Key key {path, width};
    if (const auto found = m_images.constFind(key); found != m_images.cend())
        return *found;
    if (m_reading.contains(key))
        return {};
    m_reading.insert(key);
    QPointer<EnsembleThumbnails> self(this);
    const int generation = m_generation;
    readers().start([self, key, generation] {
        QImage image = readScaled(key.path, key.width);
        QMetaObject::invokeMethod(qApp, [self, key, generation, image = std::move(image)] {
            if (!self || generation != self->m_generation)
                return;
            self->m_reading.remove(key);
            // A file that cannot be read is remembered as null, so it is not read again and again.
            self->m_images.insert(key, image);
            emit self->ready(key.path);
        }, Qt::QueuedConnection);
    });
    return {};
}

void EnsembleThumbnails::clear()
{
    ++m_generation;
    m_images.clear();
    m_reading.clear();
}

void EnsembleThumbnails::waitForReads()
{
    readers().waitForDone();
    QCoreApplication::sendPostedEvents(qApp);
}
