// Property lists from any bytes, XML or binary: parsing never crashes, and whatever parses is
// written as XML that parses back and writes the same bytes again.
#include "platform/property_list.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto value = PropertyList::parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!value)
        return 0;
    const QByteArray xml = PropertyList::toXml(*value);
    if (xml.isEmpty())
        return 0;
    const auto back = PropertyList::parse(xml);
    if (!back || PropertyList::toXml(*back) != xml)
        std::abort();
    (void)PropertyList::parse(PropertyList::toBinary(*value));
    return 0;
}
