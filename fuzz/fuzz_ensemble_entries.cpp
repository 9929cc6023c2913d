// The light ensemble reader and the preset/theme name lists used for pairing by name.
#include "library/ensemble_theme.h"
#include "looks/named_ref.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<EnsembleEntry> entries = EnsembleEntry::decodeList(bytes);
    const QList<NamedRef> refs = NamedRef::decodeList(bytes);
    for (const EnsembleEntry& entry : entries)
        nameMatch(entry.name, refs);
    // The bytes as a name, too: folding must cope with any text.
    nameMatch(QString::fromUtf8(bytes), refs);
    return 0;
}
