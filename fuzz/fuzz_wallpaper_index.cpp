// The system wallpaper store's Index.plist, walked for its choices and their assets.
#include "platform/property_list.h"
#include "wallpaper/system_wallpaper.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto value = PropertyList::parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!value || value->metaType().id() != QMetaType::QVariantMap)
        return 0;
    for (const auto& [slot, choices] : SystemWallpaper::choices(value->toMap())) {
        for (const QVariant& choice : choices)
            SystemWallpaper::assetID(choice);
    }
    return 0;
}
