#include "heic_maker.h"

#include <QFile>

#include <libheif/heif.h>

bool makeHeic(const QString& path, const QList<QColor>& images, const QByteArray& xmp, int size)
{
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    bool ok = heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code == heif_error_Ok;
    for (qsizetype n = 0; ok && n < images.size(); ++n) {
        heif_image* image = nullptr;
        ok = heif_image_create(size, size, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image).code == heif_error_Ok
            && heif_image_add_plane(image, heif_channel_interleaved, size, size, 8).code == heif_error_Ok;
        if (ok) {
            int stride = 0;
            uint8_t* pixels = heif_image_get_plane(image, heif_channel_interleaved, &stride);
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    uint8_t* p = pixels + y * stride + x * 3;
                    p[0] = uint8_t(images[n].red());
                    p[1] = uint8_t(images[n].green());
                    p[2] = uint8_t(images[n].blue());
                }
            heif_image_handle* handle = nullptr;
            ok = heif_context_encode_image(context, image, encoder, nullptr, &handle).code == heif_error_Ok;
            if (ok && n == 0 && !xmp.isEmpty())
                ok = heif_context_add_XMP_metadata(context, handle, xmp.constData(), int(xmp.size())).code == heif_error_Ok;
            if (handle)
                heif_image_handle_release(handle);
        }
        if (image)
            heif_image_release(image);
    }
    if (encoder)
        heif_encoder_release(encoder);
    if (ok)
        ok = heif_context_write_to_file(context, QFile::encodeName(path).constData()).code == heif_error_Ok;
    heif_context_free(context);
    return ok;
}

QByteArray desktopXmp(const QList<QPair<QString, QByteArray>>& tags, bool asElements)
{
    QByteArray attributes, elements;
    for (const auto& [name, value] : tags) {
        if (asElements)
            elements += "<apple_desktop:" + name.toUtf8() + ">" + value + "</apple_desktop:" + name.toUtf8() + ">";
        else
            attributes += " apple_desktop:" + name.toUtf8() + "=\"" + value + "\"";
    }
    return "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
           "<rdf:Description rdf:about=\"\" xmlns:apple_desktop=\"http://ns.example.org/desktop/1.0/\""
        + attributes + ">" + elements + "</rdf:Description></rdf:RDF></x:xmpmeta>";
}
