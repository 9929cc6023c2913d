#include "platform/folder_listing.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

QSet<QByteArray> FolderListing::fileNames(const QString& folder)
{
    QSet<QByteArray> names;
    DIR* listing = ::opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return names;
    while (const dirent* entry = ::readdir(listing)) {
        bool isFile = entry->d_type != DT_DIR;
        // A link (or a file system that does not say) is asked about what it really is.
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isFile = ::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0 && !S_ISDIR(info.st_mode);
        }
        if (isFile)
            names.insert(QByteArray(entry->d_name));
    }
    ::closedir(listing);
    return names;
}
