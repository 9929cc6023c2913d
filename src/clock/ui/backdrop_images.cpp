#include "clock/ui/backdrop_images.h"

#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QSet>
#include <QThreadPool>

namespace {

// Previews are at most a few hundred points wide: keep pictures small.
constexpr int keptSide = 1600;

struct Kept
{
    QHash<QString, QImage> images;
    QSet<QString> loading;
    QHash<QString, QList<std::pair<QPointer<QObject>, std::function<void()>>>> waiting;
};

Kept& kept()
{
    static Kept k;
    return k;
}

QImage read(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > keptSide || size.height() > keptSide))
        reader.setScaledSize(size.scaled(keptSide, keptSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Receives finished reads on the main thread.
QObject& home()
{
    static QObject* object = new QObject;
    return *object;
}

} // namespace

QImage BackdropImages::get(const QString& path, QObject* receiver, std::function<void()> ready)
{
    if (path.isEmpty())
        return QImage();
    Kept& k = kept();
    if (const auto found = k.images.constFind(path); found != k.images.cend())
        return *found;
    if (ready)
        k.waiting[path].append({QPointer<QObject>(receiver), std::move(ready)});
    if (k.loading.contains(path))
        return QImage();
    k.loading.insert(path);
    QObject* target = &home();
    QThreadPool::globalInstance()->start([path, target] {
        QImage image = read(path);
        QMetaObject::invokeMethod(target, [path, image] {
            Kept& k = kept();
            k.loading.remove(path);
            // A missing or unreadable file is kept as null so it is not read again and again.
            k.images.insert(path, image);
            const auto waiting = k.waiting.take(path);
            for (const auto& [receiver, ready] : waiting) {
                if (receiver)
                    ready();
            }
        }, Qt::QueuedConnection);
    });
    return QImage();
}

void BackdropImages::forget()
{
    kept().images.clear();
}

bool BackdropImages::isPicture(const QString& path)
{
    QImageReader reader(path);
    return reader.canRead() && reader.size().isValid();
}

void drawFilling(QPainter& painter, const QRectF& target, const QImage& image)
{
    if (image.isNull())
        return;
    const QSizeF scaled = QSizeF(image.size()).scaled(target.size(), Qt::KeepAspectRatioByExpanding);
    const QRectF source((scaled.width() - target.width()) / 2 * image.width() / scaled.width(),
                        (scaled.height() - target.height()) / 2 * image.height() / scaled.height(),
                        target.width() * image.width() / scaled.width(), target.height() * image.height() / scaled.height());
    painter.drawImage(target, image, source);
}
