#include "clock/clock_font.h"

#include "clock/font_library.h"
#include "platform/font_catalog.h"

#include <QHash>
#include <QMutex>

#include <algorithm>

namespace {

SystemFontDesign systemDesign(FontDesign design)
{
    switch (design) {
    case FontDesign::standard: return SystemFontDesign::standard;
    case FontDesign::rounded: return SystemFontDesign::rounded;
    case FontDesign::serif: return SystemFontDesign::serif;
    case FontDesign::monospaced: return SystemFontDesign::monospaced;
    }
    return SystemFontDesign::standard;
}

QMutex& cacheMutex()
{
    static QMutex mutex;
    return mutex;
}

// Looking faces up goes through the font system; the answers do not change while drawing.
std::optional<FontFace> cachedBase(const FontSpec& fontSpec, double size)
{
    QMutexLocker lock(&cacheMutex());
    static QHash<QString, std::optional<FontFace>> cache;
    const QString key = fontSpec.family + QLatin1Char('|') + rawValue(fontSpec.design) + QLatin1Char('|') + rawValue(fontSpec.weight);
    auto found = cache.constFind(key);
    if (found == cache.cend()) {
        std::optional<FontFace> face;
        if (!fontSpec.family.isEmpty()) {
            face = FontLibrary::font(fontSpec.family, managerWeight(fontSpec.weight), 1);
        } else {
            face = FontFace::system(systemDesign(fontSpec.design), axisValue(fontSpec.weight), 1);
            if (!face && fontSpec.design != FontDesign::standard)
                face = FontFace::system(SystemFontDesign::standard, axisValue(fontSpec.weight), 1);
        }
        found = cache.insert(key, face);
    }
    if (!*found)
        return std::nullopt;
    return (*found)->atSize(size);
}

// Whether a family is installed, asked of the font system once per family.
bool installed(const QString& family)
{
    static QHash<QString, bool> known;
    const auto found = known.constFind(family);
    if (found != known.cend())
        return *found;
    return *known.insert(family, FontCatalog::hasFamily(family));
}

} // namespace

std::optional<FontFace> FontSpec::baseFont(double pointSize) const
{
    return cachedBase(*this, pointSize);
}

std::optional<FontFace> FontSpec::drawingFont(double pointSize) const
{
    // Kept per font, so the face (and the glyph outlines it has read) outlives one frame.
    static QHash<QString, std::optional<FontFace>> cache;
    const QString key = family + QLatin1Char('|') + rawValue(design) + QLatin1Char('|') + rawValue(weight)
        + QLatin1Char('|') + (hasCustomWidth() ? QString::number(*width, 'g', 17) : QString());
    {
        QMutexLocker lock(&cacheMutex());
        if (const auto found = cache.constFind(key); found != cache.cend())
            return *found ? std::optional<FontFace>((*found)->atSize(pointSize)) : std::nullopt;
    }
    auto face = baseFont(pointSize);
    if (face) {
        if (const auto wght = face->axis("wght"))
            face = face->withVariation("wght", std::clamp(double(axisValue(weight)), wght->minimum, wght->maximum));
        if (hasCustomWidth()) {
            if (const auto wdth = face->axis("wdth"))
                face = face->withVariation("wdth", std::clamp(*width, wdth->minimum, wdth->maximum));
        }
        face = face->withTabularFigures(true);
    }
    QMutexLocker lock(&cacheMutex());
    cache.insert(key, face);
    return face;
}

std::optional<std::pair<double, double>> FontSpec::widthRange() const
{
    const auto face = baseFont(20);
    if (!face)
        return std::nullopt;
    const auto wdth = face->axis("wdth");
    if (!wdth)
        return std::nullopt;
    const double low = std::max(wdth->minimum, 50.0);
    const double high = std::min(wdth->maximum, 150.0);
    if (high - low < 5)
        return std::nullopt;
    return std::make_pair(low, high);
}

QFont FontSpec::font(double scale) const
{
    const double pixels = std::max(size * scale, 0.01);
    QFont font;
    if (!family.isEmpty() && installed(family)) {
        font.setFamily(family);
    } else if (const auto face = baseFont(pixels)) {
        // The system face of the design (or the standard one).
        font.setFamily(face->family());
    } else {
        font.setStyleHint(design == FontDesign::monospaced ? QFont::Monospace
                          : design == FontDesign::serif    ? QFont::Serif
                                                           : QFont::SansSerif);
    }
    font.setWeight(QFont::Weight(axisValue(weight)));
    font.setPixelSize(1); // replaced below; keeps QFont from mixing point and pixel sizes
    font.setPointSizeF(pixels);
    return font;
}
