#pragma once

#include <QRecursiveMutex>

typedef struct FT_LibraryRec_* FT_Library;

// Shared state of the Linux font backend (fontconfig and FreeType are not thread-safe).
namespace FontSystemLinux {

QRecursiveMutex& mutex();
FT_Library freeType();

} // namespace FontSystemLinux
