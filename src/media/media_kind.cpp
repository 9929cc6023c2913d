#include "media/media_kind.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace {

QString mimeByName(const QString& path)
{
    // By extension only: the content is checked later by the readers themselves.
    static const QMimeDatabase database;
    const QString name = QFileInfo(path).fileName();
    if (QFileInfo(path).suffix().isEmpty())
        return {};
    return database.mimeTypeForFile(name, QMimeDatabase::MatchExtension).name();
}

} // namespace

namespace MediaKind {

bool isVideo(const QString& path)
{
    return mimeByName(path).startsWith(QLatin1String("video/"));
}

bool isImage(const QString& path)
{
    return mimeByName(path).startsWith(QLatin1String("image/"));
}

} // namespace MediaKind
