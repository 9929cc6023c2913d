// A display-map notice as posted by any process on the session bus.
#include "looks/display_ensembles.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto map = DisplayEnsembles::decode(text)) {
        if (DisplayEnsembles::decode(DisplayEnsembles::encode(*map)) != map)
            __builtin_trap();
    }
    return 0;
}
