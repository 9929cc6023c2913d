#include "clock/font_library.h"

#include "brand/brand_font.h"
#include "platform/font_catalog.h"

#include <QCollator>
#include <QSet>

#include <algorithm>

const QStringList& FontLibrary::curated()
{
    static const QStringList families = [] {
        const QStringList wanted{QStringLiteral("Avenir Next"), QStringLiteral("Futura"), QStringLiteral("Helvetica Neue"),
                                 QStringLiteral("DIN Alternate"), QStringLiteral("DIN Condensed"), QStringLiteral("Gill Sans"),
                                 QStringLiteral("Didot"), QStringLiteral("Bodoni 72"), QStringLiteral("Baskerville"),
                                 QStringLiteral("Rockwell"), QStringLiteral("American Typewriter"), QStringLiteral("Phosphate")};
        QStringList present;
        for (const QString& family : wanted) {
            if (FontCatalog::hasFamily(family))
                present.append(family);
        }
        return present;
    }();
    return families;
}

const QStringList& FontLibrary::bundled()
{
    static const QStringList families{BrandFont::displayFamily(), BrandFont::uiFamily(), BrandFont::monoFamily()};
    return families;
}

const QStringList& FontLibrary::userInstalled()
{
    static const QStringList families = [] {
        QSet<QString> excluded;
        for (const QString& name : curated() + bundled())
            excluded.insert(name.toCaseFolded());
        QStringList result;
        for (const QString& family : FontCatalog::families()) {
            if (family.startsWith(QLatin1Char('.')) || excluded.contains(family.toCaseFolded()))
                continue;
            // A family whose file cannot be found counts as the system's.
            const auto file = FontCatalog::firstMemberFile(family);
            if (!file || FontCatalog::isSystemFile(*file))
                continue;
            result.append(family);
        }
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::sort(result.begin(), result.end(), [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
        return result;
    }();
    return families;
}

int FontLibrary::weightForManagerWeight(int managerWeight)
{
    // 2 ultra light ... 5 regular, 6 medium, 8 semibold, 9 bold, 10 heavy, 11 black.
    static constexpr int table[] = {100, 100, 100, 200, 300, 400, 500, 600, 600, 700, 800, 900};
    return table[std::clamp(managerWeight, 0, 11)];
}

std::optional<FontFace> FontLibrary::font(const QString& family, int managerWeight, double size)
{
    if (family.isEmpty())
        return std::nullopt;
    if (auto face = FontFace::fromFamily(family, weightForManagerWeight(managerWeight), size))
        return face;
    if (auto face = FontFace::fromFamily(family, 400, size))
        return face;
    return FontFace::fromName(family, size);
}
