#include "platform/font_catalog.h"

#include "platform/font_system_linux.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

QRecursiveMutex& FontSystemLinux::mutex()
{
    static QRecursiveMutex instance;
    return instance;
}

FT_Library FontSystemLinux::freeType()
{
    static FT_Library library = [] {
        FT_Library l = nullptr;
        FT_Init_FreeType(&l);
        return l;
    }();
    return library;
}

QStringList FontCatalog::families()
{
    QMutexLocker lock(&FontSystemLinux::mutex());
    QStringList names;
    QSet<QString> seen;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* family = nullptr;
        // The first name is the one the font gives for itself; later ones are translations.
        if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch)
            continue;
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(family));
        if (!seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return names;
}

std::optional<QString> FontCatalog::firstMemberFile(const QString& family)
{
    if (family.isEmpty())
        return std::nullopt;
    QMutexLocker lock(&FontSystemLinux::mutex());
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    std::optional<QString> file;
    QStringList files;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &path) == FcResultMatch)
            files.append(QFile::decodeName(reinterpret_cast<const char*>(path)));
    }
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    // Fontconfig lists in no particular order; the first by name is stable.
    files.sort();
    if (!files.isEmpty())
        file = files.first();
    return file;
}

bool FontCatalog::hasFamily(const QString& family)
{
    return firstMemberFile(family).has_value();
}

bool FontCatalog::isSystemFile(const QString& path)
{
    // Fonts the distribution installs; fonts under /usr/local, the home folder or an application's
    // own folder are the user's.
    const QString clean = QDir::cleanPath(path);
    return clean.startsWith(QLatin1String("/usr/share/")) || clean.startsWith(QLatin1String("/usr/lib/"))
        || clean.startsWith(QLatin1String("/lib/"));
}
