#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>

// Pictures shown behind clock previews, read off the main thread and kept by path. Reading is
// never waited for: a picture not read yet is null, and `ready` runs on the receiver's thread
// once it is.
namespace BackdropImages {

QImage get(const QString& path, QObject* receiver, std::function<void()> ready);
// Forgets every kept picture (thumbnails were remade).
void forget();
// Whether the file is a picture that can be read (its header only).
bool isPicture(const QString& path);

} // namespace BackdropImages

// Draws a picture so it fills `target`, cropping what sticks out, as a wallpaper does.
class QPainter;
class QRectF;
void drawFilling(QPainter& painter, const QRectF& target, const QImage& image);
