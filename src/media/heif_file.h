#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

struct heif_context;

// A HEIC/HEIF file opened with libheif: its top-level images, their sizes, pixels and XMP.
class HeifFile
{
public:
    // By content: the file starts with an ISO box of a HEIF brand (the extension may lie).
    static bool looksLikeHeif(const QString& path);
    // nullopt when libheif cannot read the file.
    static std::optional<HeifFile> open(const QString& path);

    int imageCount() const;
    // Size as shown (rotation and mirroring of the file applied).
    std::optional<QSize> size(int index) const;
    // Decoded with the file's transformations applied; null image on failure.
    QImage decode(int index) const;
    // The XMP packets of one image (usually one).
    QList<QByteArray> xmp(int index) const;

private:
    struct ContextDeleter { void operator()(heif_context* c) const; };
    std::shared_ptr<heif_context> m_context;
};
