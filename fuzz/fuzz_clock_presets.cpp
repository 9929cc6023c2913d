// The stored preset array: bad elements are dropped one by one, never a crash, and the survivors
// write back to the same list.
#include "clock/named_style.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<NamedStyle> presets = NamedStyles::read(bytes);
    if (NamedStyles::read(NamedStyles::write(presets)) != presets)
        abort();
    return 0;
}
