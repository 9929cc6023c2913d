#include "menubar/menu_thumbs.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMetaObject>
#include <QPointer>
#include <QThreadPool>
#include <QCoreApplication>

MenuThumbs::MenuThumbs(QObject* parent)
    : QObject(parent)
{
}

MenuThumbs::~MenuThumbs() = default;

QImage MenuThumbs::image(const QString& path, const QSize& size)
{
    if (path.isEmpty())
        return {};
    // The file's time tells a remade thumbnail from the one kept.
    const QDateTime modified = QFileInfo(path).lastModified();
    const auto found = m_images.constFind(path);
    if (found != m_images.cend() && found->modified == modified && found->size == size)
        return found->image;
    if (m_reading.contains(path))
        return found != m_images.cend() ? found->image : QImage();
    m_reading.insert(path);
    QPointer<MenuThumbs> self(this);
    QThreadPool::globalInstance()->start([self, path, size, modified] {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QImage read = reader.read();
        if (!read.isNull())
            read = read.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QMetaObject::invokeMethod(qApp, [self, path, size, modified, read] {
            if (!self)
                return;
            self->m_reading.remove(path);
            self->m_images.insert(path, {read, modified, size});
            emit self->ready();
        }, Qt::QueuedConnection);
    });
    return found != m_images.cend() ? found->image : QImage();
}

void MenuThumbs::keepOnly(const QSet<QString>& paths)
{
    for (auto it = m_images.begin(); it != m_images.end();)
        it = paths.contains(it.key()) ? std::next(it) : m_images.erase(it);
}
