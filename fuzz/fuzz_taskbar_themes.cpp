// Stored lists of bar styles from any bytes: reading never crashes, every style read round-trips,
// and applying one to settings gives settings it matches.
#include "taskbar/theme.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<Theme> themes = Themes::decode(bytes);
    if (const std::optional<QByteArray> encoded = Themes::encode(themes))
        if (Themes::decode(*encoded) != themes)
            std::abort();
    static const TaskbarSettings defaults;
    for (const Theme& theme : themes) {
        const TaskbarSettings applied = theme.applied(defaults);
        // NaN cannot come from JSON, so an applied style always matches.
        if (!theme.matches(applied))
            std::abort();
    }
    return 0;
}
