// Stored clock styles come from another process's file: decoding must never crash, and whatever
// decodes must encode and decode to itself.
#include "clock/clock_style.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto style = ClockStyle::decode(bytes)) {
        const auto again = ClockStyle::decode(style->encode());
        if (!again || !(*again == *style))
            abort();
    }
    return 0;
}
