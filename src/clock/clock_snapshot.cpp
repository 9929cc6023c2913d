#include "clock/clock_snapshot.h"

#include "brand/brand.h"
#include "clock/clock_view.h"
#include "clock/style_store.h"
#include "library/ensemble_theme.h"

#include <QImageReader>
#include <QLoggingCategory>
#include <QPainter>
#include <QSaveFile>

Q_LOGGING_CATEGORY(lcSnapshot, "zentrove.clock.snapshot")

namespace {

QImage readImage(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

} // namespace

QImage ClockSnapshot::render(const ClockStyle& style, QSize screen, const QDateTime& date, const QImage& background)
{
    QImage image(screen, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Brand::base());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!background.isNull()) {
        // Fill the screen, cropping what sticks out, as a wallpaper does.
        const QSizeF scaled = QSizeF(background.size()).scaled(QSizeF(screen), Qt::KeepAspectRatioByExpanding);
        const QRectF target(QPointF((screen.width() - scaled.width()) / 2, (screen.height() - scaled.height()) / 2), scaled);
        painter.drawImage(target, background);
    }
    ClockView(style, 1).drawOnScreen(painter, QRectF(QPointF(0, 0), QSizeF(screen)), date);
    return image;
}

QImage ClockSnapshot::background(const StyleStore& store)
{
    if (const auto path = store.previewImagePath()) {
        const QImage picture = readImage(*path);
        if (!picture.isNull())
            return picture;
    }
    if (const auto current = EnsembleTheme::currentID()) {
        for (const EnsembleEntry& entry : EnsembleTheme::all()) {
            if (entry.id == *current)
                return readImage(EnsembleTheme::thumbnailPath(entry));
        }
    }
    return QImage();
}

bool ClockSnapshot::writePng(const QImage& image, const QString& path)
{
    QSaveFile file(path);
    if (image.isNull() || !file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        qCWarning(lcSnapshot).noquote() << "Zentrove: could not write the clock picture to" << path;
        return false;
    }
    return true;
}
