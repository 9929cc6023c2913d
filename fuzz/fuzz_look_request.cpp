// A look request as posted by any process on the session bus.
#include "looks/look_request.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    // Receivers get the text form of the notice object.
    const auto request = LookRequest::decode(QString::fromUtf8(bytes).toUtf8());
    if (request) {
        const auto again = LookRequest::decode(request->encode());
        if (!again || again->clockPreset != request->clockPreset || again->taskbarTheme != request->taskbarTheme)
            __builtin_trap();
    }
    return 0;
}
