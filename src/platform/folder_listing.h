#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

// The names of the files in one folder (not its subfolders; a link counts as what it points to),
// in one pass over the folder. Names are the file system's bytes. Empty when the folder cannot be
// read.
namespace FolderListing {
QSet<QByteArray> fileNames(const QString& folder);
} // namespace FolderListing
