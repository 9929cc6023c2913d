// Library index files and the automatic-changing settings: any bytes decode or are refused.
#include "core/record_json.h"
#include "library/activity.h"
#include "library/ensemble_changing.h"
#include "library/library_files.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto items = LibraryFiles::decodeWallpapers(bytes)) {
        // What decodes must encode and decode to the same records.
        if (LibraryFiles::decodeWallpapers(RecordJson::encodeArray(*items)) != items)
            __builtin_trap();
    }
    if (const auto ensembles = LibraryFiles::decodeEnsembles(bytes)) {
        if (LibraryFiles::decodeEnsembles(RecordJson::encodeArray(*ensembles)) != ensembles)
            __builtin_trap();
        LibraryFiles::ensemblesFromWallpapers({});
    }
    RecordJson::decodeArray<Activity>(bytes);
    if (const auto changing = EnsembleChanging::decode(bytes)) {
        if (EnsembleChanging::decode(changing->encode()) != changing)
            __builtin_trap();
    }
    return 0;
}
