#include "app/ui/snapshot.h"

#include <QImageWriter>
#include <QLoggingCategory>
#include <QPixmap>
#include <QSaveFile>
#include <QWidget>

Q_LOGGING_CATEGORY(lcSnapshot, "zentrove.snapshot")

bool Snapshot::write(QWidget* widget, const QString& path)
{
    if (!widget)
        return false;
    const QImage image = widget->grab().toImage();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcSnapshot).noquote() << "Zentrove: snapshot not written:" << file.errorString();
        return false;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(image) || !file.commit()) {
        qCWarning(lcSnapshot).noquote() << "Zentrove: snapshot not written:" << writer.errorString() << file.errorString();
        return false;
    }
    return true;
}
