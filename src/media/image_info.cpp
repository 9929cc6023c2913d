#include "media/image_info.h"

#include "media/dynamic_picture.h"
#include "media/heif_file.h"

#include <QImageReader>

namespace ImageInfo {

std::optional<QSize> size(const QString& path)
{
    if (HeifFile::looksLikeHeif(path)) {
        const auto file = HeifFile::open(path);
        return file ? file->size(0) : std::nullopt;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return std::nullopt;
    QSize size = reader.size();
    if (size.isEmpty()) {
        // Some formats only know their size after decoding.
        const QImage image = reader.read();
        if (image.isNull())
            return std::nullopt;
        return image.size();
    }
    // size() is the stored size; a quarter-turn orientation swaps it for display.
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return size;
}

bool isDynamic(const QString& path)
{
    return DynamicPicture::read(path).has_value();
}

} // namespace ImageInfo
