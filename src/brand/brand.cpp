#include "brand/brand.h"

#include "platform/bundle.h"
#include "platform/font_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBrand, "zentrove.brand")

QString Brand::fontsFolder()
{
    const QString override = qEnvironmentVariable("ZENTROVE_FONTS_DIR");
    if (!override.isEmpty())
        return override;
    const QString shipped = Bundle::resourcesFolder() + QStringLiteral("/fonts");
    if (QFileInfo(shipped).isDir())
        return shipped;
    // Programs outside the bundle layout (tests, benchmarks) look next to themselves.
    // bin/, tests/, bench/ sit one level below the prefix; libexec/zentrove/ two.
    const QString appDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    for (const char* up : {"/../share/zentrove/fonts", "/../../share/zentrove/fonts"}) {
        const QString candidate = QDir::cleanPath(appDir + QLatin1String(up));
        if (QFileInfo(candidate).isDir())
            return candidate;
    }
    return QDir::cleanPath(appDir + QStringLiteral("/../share/zentrove/fonts"));
}

int Brand::registerFonts(const QString& folder)
{
    int registered = 0;
    for (const QString& file : FontFiles::fontFilesIn(folder)) {
        if (const auto error = FontFiles::registerFile(file))
            qCWarning(lcBrand).noquote() << "Zentrove: font not registered:" << *error;
        else
            ++registered;
    }
    return registered;
}

int Brand::registerFonts()
{
    static const int registered = registerFonts(fontsFolder());
    return registered;
}
