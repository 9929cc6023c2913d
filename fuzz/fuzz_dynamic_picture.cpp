// The metadata of a dynamic picture from any bytes. The first byte picks what the rest is: an XMP
// packet, or the property list of one desktop tag. Reading never crashes, and every frame it
// yields has an image index and an hour within range.
#include "media/dynamic_picture.h"
#include "platform/property_list.h"

#include <QByteArray>
#include <QTime>

#include <cstdint>
#include <cstdlib>

namespace {

void check(const std::optional<DynamicPicture>& picture)
{
    if (!picture)
        return;
    if (picture->frames.isEmpty())
        std::abort();
    for (const DynamicPicture::Frame& frame : picture->frames)
        if (frame.index < 0 || (frame.hour && !(*frame.hour >= 0 && *frame.hour < 24)))
            std::abort();
    for (bool dark : {false, true})
        for (int hour : {0, 7, 12, 23})
            if (!picture->current(dark, QTime(hour, 30)))
                std::abort();
    (void)picture->current(false, std::nullopt);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    static const char* const tagNames[] = {"solar", "h24", "apr"};
    const uint8_t mode = data[0] % 4;
    if (mode == 3) {
        check(DynamicPicture::fromTags(DynamicPicture::tagsFromXmp(rest)));
        return 0;
    }
    const auto tag = PropertyList::parse(rest);
    if (tag)
        check(DynamicPicture::fromTags({{QString::fromLatin1(tagNames[mode]), *tag}}));
    return 0;
}
