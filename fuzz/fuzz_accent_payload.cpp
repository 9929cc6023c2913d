// The accent notice's object comes from any process on the session bus.
#include "brand/brand_accent.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const BrandAccent::Payload payload = BrandAccent::parsePayload(text);
    // Whatever edges parse print and parse back to the same text.
    if (payload.edges) {
        const auto again = EdgeBrightness::parse(payload.edges->text());
        if (!again || again->text() != payload.edges->text())
            abort();
    }
    if (payload.hex) {
        const auto again = BrandAccent::parsePayload(BrandAccent::payload(*payload.hex, EdgeBrightness()));
        if (again.hex != payload.hex)
            abort();
    }
    return 0;
}
