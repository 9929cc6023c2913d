#include "platform/bundle.h"

#include "build_info.h"
#include "platform/process_identity.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// The control app's identifier; a process running under any other identifier is a part.
const QString controlAppIdentifier = QStringLiteral("app.zentrove");
} // namespace

QString Bundle::hubPath()
{
    const QString overridden = qEnvironmentVariable("ZENTROVE_HUB");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    const QString own = QCoreApplication::applicationDirPath();
    const bool isControlApp = ProcessIdentity::current() == controlAppIdentifier;
    return QDir::cleanPath(own + (isControlApp ? QStringLiteral("/..") : QStringLiteral("/../..")));
}

QString Bundle::appExecutable()
{
    return hubPath() + QStringLiteral("/bin/zentrove");
}

QString Bundle::loginItemsFolder()
{
    return hubPath() + QStringLiteral("/libexec/zentrove");
}

QString Bundle::resourcesFolder()
{
    return hubPath() + QStringLiteral("/share/zentrove");
}

QString Bundle::shippedWallpapersFolder()
{
    return resourcesFolder() + QStringLiteral("/Wallpapers");
}

QString Bundle::agentExecutable(const QString& identifier)
{
    return loginItemsFolder() + QStringLiteral("/zentrove-") + identifier.section(QLatin1Char('.'), -1);
}

QString Bundle::buildNumber()
{
    return QStringLiteral(ZENTROVE_BUILD_NUMBER);
}

QString Bundle::version()
{
    return QStringLiteral(ZENTROVE_VERSION);
}

bool Bundle::installedByPackage(const QString& packageFileList)
{
    QFile list(packageFileList);
    if (!QFileInfo(packageFileList).isFile() || !list.open(QIODevice::ReadOnly))
        return false;
    const QString app = QDir::cleanPath(appExecutable());
    const QString canonical = QFileInfo(app).canonicalFilePath();
    // A package's list is a few hundred lines; a far longer file is not one.
    for (int lines = 0; !list.atEnd() && lines < 100000; ++lines) {
        const QString path = QString::fromUtf8(list.readLine()).trimmed();
        if (path.isEmpty())
            continue;
        if (path == app || (!canonical.isEmpty() && (path == canonical || QFileInfo(path).canonicalFilePath() == canonical)))
            return true;
    }
    return false;
}
