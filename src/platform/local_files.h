#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a path names on the local file system, links followed. Media is read only from regular
// files: opening a FIFO waits for a writer that may never come, and a device or a socket has no
// end to copy up to.
namespace LocalFiles {

enum class Kind { missing, regular, directory, other };

Kind kindOf(const QString& path);
inline bool isRegular(const QString& path) { return kindOf(path) == Kind::regular; }

// The first `maxBytes` of a small regular file (kernel files under /proc and /sys report size 0,
// so the cap is read, not the size). Nothing for a missing, unreadable or non-regular file.
std::optional<QByteArray> readSmall(const QString& path, qint64 maxBytes = 64 * 1024);

} // namespace LocalFiles
