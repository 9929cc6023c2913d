#include "platform/local_files.h"

#include <QFile>

#include <sys/stat.h>

LocalFiles::Kind LocalFiles::kindOf(const QString& path)
{
    struct stat info {};
    // stat, not open: opening a FIFO to ask would block.
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return Kind::missing;
    if (S_ISREG(info.st_mode))
        return Kind::regular;
    if (S_ISDIR(info.st_mode))
        return Kind::directory;
    return Kind::other;
}

std::optional<QByteArray> LocalFiles::readSmall(const QString& path, qint64 maxBytes)
{
    if (!isRegular(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}
