#include "brand/edge_brightness.h"

#include <QStringList>

#include <cmath>

namespace {

constexpr int side = 32;
constexpr int band = 4;

double luminance(QRgb pixel)
{
    return (0.2126 * qRed(pixel) + 0.7152 * qGreen(pixel) + 0.0722 * qBlue(pixel)) / 255.0;
}

double bandAverage(const QImage& image, int x0, int y0, int width, int height)
{
    double sum = 0;
    int count = 0;
    for (int y = y0; y < y0 + height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = x0; x < x0 + width; ++x) {
            sum += luminance(line[x]);
            ++count;
        }
    }
    return count > 0 ? sum / count : 0.5;
}

} // namespace

std::optional<EdgeBrightness> EdgeBrightness::fromImage(const QImage& image)
{
    if (image.isNull())
        return std::nullopt;
    // Transparent parts count as black, as on an opaque bitmap cleared to black.
    const QImage small = image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                             .scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_RGB32);
    if (small.isNull() || small.width() != side || small.height() != side)
        return std::nullopt;
    EdgeBrightness edges;
    edges.bottom = bandAverage(small, 0, side - band, side, band);
    edges.top = bandAverage(small, 0, 0, side, band);
    edges.left = bandAverage(small, 0, 0, band, side);
    edges.right = bandAverage(small, side - band, 0, band, side);
    return edges;
}

QString EdgeBrightness::text() const
{
    return QString::asprintf("%.3f,%.3f,%.3f,%.3f", bottom, top, left, right);
}

std::optional<EdgeBrightness> EdgeBrightness::parse(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    double values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        // Plain decimal numbers only: no surrounding blanks, no "nan" or "inf".
        const QString part = parts[i];
        if (part.isEmpty() || part.trimmed() != part)
            return std::nullopt;
        values[i] = part.toDouble(&ok);
        if (!ok || !std::isfinite(values[i]))
            return std::nullopt;
    }
    return EdgeBrightness{values[0], values[1], values[2], values[3]};
}
