#include "platform/font_files.h"

#include "platform/font_system_linux.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>

#include <fontconfig/fontconfig.h>

std::optional<QString> FontFiles::registerFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("cannot read %1").arg(path);
    // The glyph drawing looks families up through fontconfig's current configuration.
    {
        QMutexLocker lock(&FontSystemLinux::mutex());
        if (!FcConfigAppFontAddFile(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(QFile::encodeName(path).constData())))
            return QStringLiteral("not a font file: %1").arg(path);
    }
    // Qt text needs its own registration; it exists only once a GUI application does.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())
        && QFontDatabase::addApplicationFont(path) < 0)
        return QStringLiteral("Qt could not load %1").arg(path);
    return std::nullopt;
}

QStringList FontFiles::fontFilesIn(const QString& folder)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf"), QStringLiteral("*.ttc"),
                                             QStringLiteral("*.woff"), QStringLiteral("*.woff2")},
                                            QDir::Files | QDir::Readable, QDir::Name);
    QStringList paths;
    for (const QString& name : names)
        paths << dir.absoluteFilePath(name);
    return paths;
}
