// Stored bar settings from any bytes: decoding never crashes, and whatever decodes encodes and
// decodes back to the same record.
#include "taskbar/taskbar_settings.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<TaskbarSettings> settings = TaskbarSettings::decode(bytes);
    if (!settings)
        return 0;
    if (const std::optional<QByteArray> encoded = settings->encode())
        if (TaskbarSettings::decode(*encoded) != settings)
            std::abort();
    // The geometry must cope with whatever numbers the record holds.
    (void)settings->barFrame(QRectF(0, 0, 1440, 900), 875, settings->rowLength(8, 1, 9));
    (void)settings->iconSizeForRow(1000, 200, 600);
    return 0;
}
