#pragma once

#include <QString>

// What a path names on the local file system, links followed. Media is read only from regular
// files: opening a FIFO waits for a writer that may never come, and a device or a socket has no
// end to copy up to.
namespace LocalFiles {

enum class Kind { missing, regular, directory, other };

Kind kindOf(const QString& path);
inline bool isRegular(const QString& path) { return kindOf(path) == Kind::regular; }

} // namespace LocalFiles
