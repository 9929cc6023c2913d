#include "media/heif_file.h"

#include <QFile>

#include <libheif/heif.h>

#include <vector>

namespace {

struct HandleDeleter { void operator()(heif_image_handle* h) const { heif_image_handle_release(h); } };
struct ImageDeleter { void operator()(heif_image* i) const { heif_image_release(i); } };
using HandlePtr = std::unique_ptr<heif_image_handle, HandleDeleter>;
using ImagePtr = std::unique_ptr<heif_image, ImageDeleter>;

void initialiseOnce()
{
    static const bool done = [] {
        heif_init(nullptr);
        return true;
    }();
    Q_UNUSED(done);
}

HandlePtr handleAt(heif_context* context, int index)
{
    const int count = heif_context_get_number_of_top_level_images(context);
    if (index < 0 || index >= count)
        return {};
    std::vector<heif_item_id> ids(static_cast<size_t>(count));
    heif_context_get_list_of_top_level_image_IDs(context, ids.data(), count);
    heif_image_handle* handle = nullptr;
    if (heif_context_get_image_handle(context, ids[size_t(index)], &handle).code != heif_error_Ok)
        return {};
    return HandlePtr(handle);
}

} // namespace

void HeifFile::ContextDeleter::operator()(heif_context* c) const
{
    heif_context_free(c);
}

bool HeifFile::looksLikeHeif(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(32);
    if (head.size() < 12)
        return false;
    initialiseOnce();
    const heif_filetype_result type = heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()), int(head.size()));
    return type == heif_filetype_yes_supported || type == heif_filetype_maybe;
}

std::optional<HeifFile> HeifFile::open(const QString& path)
{
    initialiseOnce();
    HeifFile file;
    file.m_context.reset(heif_context_alloc(), ContextDeleter());
    const QByteArray local = QFile::encodeName(path);
    if (heif_context_read_from_file(file.m_context.get(), local.constData(), nullptr).code != heif_error_Ok)
        return std::nullopt;
    if (file.imageCount() <= 0)
        return std::nullopt;
    return file;
}

int HeifFile::imageCount() const
{
    return heif_context_get_number_of_top_level_images(m_context.get());
}

std::optional<QSize> HeifFile::size(int index) const
{
    const HandlePtr handle = handleAt(m_context.get(), index);
    if (!handle)
        return std::nullopt;
    const QSize size(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));
    if (size.isEmpty())
        return std::nullopt;
    return size;
}

QImage HeifFile::decode(int index) const
{
    const HandlePtr handle = handleAt(m_context.get(), index);
    if (!handle)
        return {};
    heif_image* raw = nullptr;
    if (heif_decode_image(handle.get(), &raw, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr).code != heif_error_Ok)
        return {};
    const ImagePtr image(raw);
    int stride = 0;
    const uint8_t* pixels = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (!pixels || width <= 0 || height <= 0)
        return {};
    // copy(): the pixels belong to libheif's image, released when this function returns.
    return QImage(pixels, width, height, stride, QImage::Format_RGBA8888).copy();
}

QList<QByteArray> HeifFile::xmp(int index) const
{
    QList<QByteArray> packets;
    const HandlePtr handle = handleAt(m_context.get(), index);
    if (!handle)
        return packets;
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle.get(), "mime");
    if (count <= 0)
        return packets;
    std::vector<heif_item_id> ids(static_cast<size_t>(count));
    heif_image_handle_get_list_of_metadata_block_IDs(handle.get(), "mime", ids.data(), count);
    for (const heif_item_id id : ids) {
        const char* type = heif_image_handle_get_metadata_content_type(handle.get(), id);
        if (!type || QByteArray(type) != "application/rdf+xml")
            continue;
        QByteArray data(qsizetype(heif_image_handle_get_metadata_size(handle.get(), id)), Qt::Uninitialized);
        if (heif_image_handle_get_metadata(handle.get(), id, data.data()).code == heif_error_Ok)
            packets.append(data);
    }
    return packets;
}
