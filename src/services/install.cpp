#include "services/install.h"

#include "platform/app_image.h"
#include "platform/bundle.h"
#include "platform/defaults.h"
#include "platform/desktop_words.h"
#include "platform/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>

#include <filesystem>

Q_LOGGING_CATEGORY(lcInstall, "zentrove.install")

namespace {

const QString appImageName = QStringLiteral("Zentrove.AppImage");
const QString appEntry = QStringLiteral("app.zentrove.desktop");
const QString linkType = QStringLiteral("x-scheme-handler/zentrove");

// The folder with symbolic links resolved when it exists, else as written.
QString resolvedFolder(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
}

bool isInside(const QString& folder, const QString& place)
{
    return folder == place || folder.startsWith(place + u'/');
}

bool noPermission(const std::error_code& error)
{
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted
        || error == std::errc::read_only_file_system;
}

Install::MoveResult failed(const QString& description, bool permission)
{
    return {std::nullopt, Install::MoveFailure {description, permission}};
}

// A desktop entry of ours: its Exec runs this product's app or one of its parts.
bool isOwnAutostartEntry(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name == appEntry || (name.startsWith(QStringLiteral("app.zentrove.")) && name.endsWith(QStringLiteral(".desktop")));
}

// mimeapps.list without our link handler: the "zentrove:" line goes when it names only us,
// otherwise only our entry is taken out of it.
bool dropLinkHandler(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    file.close();
    QStringList kept;
    bool changed = false;
    for (const QString& line : lines) {
        const QString key = line.section(u'=', 0, 0).trimmed();
        if (key != linkType || !line.contains(u'=')) {
            kept << line;
            continue;
        }
        QStringList handlers = line.section(u'=', 1).split(u';', Qt::SkipEmptyParts);
        const qsizetype before = handlers.size();
        handlers.removeAll(appEntry);
        if (handlers.size() == before) {
            kept << line;
            continue;
        }
        changed = true;
        if (!handlers.isEmpty())
            kept << key + u'=' + handlers.join(u';') + u';';
    }
    if (!changed)
        return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(kept.join(u'\n').toUtf8()) < 0 || !out.commit()) {
        qCWarning(lcInstall).noquote() << "Zentrove: could not rewrite" << path << out.errorString();
        return false;
    }
    return true;
}

// An argument of a desktop entry's Exec key: quoted, with the characters the quotes do not
// protect escaped, then escaped again as the key's string value; % doubled for the field codes.
QString execArgument(const QString& argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted.replace(u'%', QStringLiteral("%%"));
    QString value = QLatin1Char('"') + quoted + QLatin1Char('"');
    return value.replace(u'\\', QStringLiteral("\\\\"));
}

bool writeIfDifferent(const QString& path, const QByteArray& content)
{
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == content)
        return true;
    current.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) < 0 || !out.commit()) {
        qCWarning(lcInstall).noquote() << "Zentrove: could not write" << path << out.errorString();
        return false;
    }
    return true;
}

// mimeapps.list with our entry as the default for "zentrove:" links; every other line as it was.
QByteArray withLinkHandler(const QByteArray& current)
{
    const QString line = linkType + u'=' + appEntry + u';';
    const QString section = QStringLiteral("[Default Applications]");
    QStringList lines = QString::fromUtf8(current).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    qsizetype inSection = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines[i].trimmed();
        if (trimmed.startsWith(u'[')) {
            inSection = trimmed == section ? i : -1;
            continue;
        }
        if (inSection >= 0 && trimmed.section(u'=', 0, 0).trimmed() == linkType) {
            lines[i] = line;
            return (lines.join(u'\n') + u'\n').toUtf8();
        }
    }
    const qsizetype header = lines.indexOf(section);
    if (header >= 0)
        lines.insert(header + 1, line);
    else
        lines << section << line;
    return (lines.join(u'\n') + u'\n').toUtf8();
}

} // namespace

std::optional<QString> Install::linkHandlerEntry(const QString& appImage)
{
    for (const QChar c : appImage)
        if (c.category() == QChar::Other_Control)
            return std::nullopt;
    if (appImage.isEmpty())
        return std::nullopt;
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Zentrove\n"
                          "Exec=%1 %u\n"
                          "NoDisplay=true\n"
                          "MimeType=%2;\n")
        .arg(execArgument(appImage), linkType);
}

bool Install::registerLinkHandler(const QString& appImage, const QString& configHome, const QString& dataHome)
{
    const std::optional<QString> entry = linkHandlerEntry(appImage);
    if (!entry) {
        qCWarning(lcInstall).noquote() << "Zentrove: not registered for links: no desktop entry can name" << appImage;
        return false;
    }
    if (!writeIfDifferent(dataHome + QStringLiteral("/applications/") + appEntry, entry->toUtf8()))
        return false;
    const QString list = configHome + QStringLiteral("/mimeapps.list");
    QFile current(list);
    QByteArray content;
    if (current.open(QIODevice::ReadOnly))
        content = current.readAll();
    else if (QFileInfo::exists(list)) {
        // A list that exists but cannot be read is left alone rather than replaced.
        qCWarning(lcInstall).noquote() << "Zentrove: could not read" << list << current.errorString();
        return false;
    }
    return writeIfDifferent(list, withLinkHandler(content));
}

void Install::registerRunningAppImage()
{
    const std::optional<QString> appImage = AppImage::current();
    if (appImage && !needsMove(appImage, QDir::homePath()))
        registerLinkHandler(QFileInfo(*appImage).absoluteFilePath(), Paths::configHome(), Paths::applicationSupport());
}

QString Install::applications(const QString& home)
{
    return QDir::cleanPath(home + QStringLiteral("/Applications"));
}

QString Install::destination(const QString& home)
{
    return applications(home) + u'/' + appImageName;
}

bool Install::needsMove(const std::optional<QString>& appImage, const QString& home)
{
    if (!appImage)
        return false;
    const QString folder = resolvedFolder(QFileInfo(*appImage).absolutePath());
    for (const QString& place : {resolvedFolder(applications(home)), resolvedFolder(QStringLiteral("/opt"))})
        if (isInside(folder, place))
            return false;
    return true;
}

bool Install::needsMove()
{
    return needsMove(AppImage::current(), QDir::homePath());
}

QString Install::folderName(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (folder == QDir::homePath())
        return QStringLiteral("Home");
    const QString name = QFileInfo(folder).fileName();
    return name.isEmpty() ? folder : name;
}

QString Install::MoveFailure::text() const
{
    if (noPermission)
        return DesktopWords::current().fill(u"This account can't add apps to {applications}.");
    return QStringLiteral("Couldn't move it: ") + description;
}

Install::MoveResult Install::moveToApplications(const QString& source, const QString& home)
{
    namespace fs = std::filesystem;
    const QString target = destination(home);
    const QString folder = applications(home);
    if (resolvedFolder(source) == resolvedFolder(target))
        return {target, std::nullopt};
    std::error_code error;
    fs::create_directories(fs::path(QFile::encodeName(folder).toStdString()), error);
    if (error)
        return failed(QString::fromStdString(error.message()), noPermission(error));

    const QString temp = folder + QStringLiteral("/.Zentrove-") + QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".AppImage");
    const fs::path tempPath(QFile::encodeName(temp).toStdString());
    fs::copy_file(fs::path(QFile::encodeName(source).toStdString()), tempPath, fs::copy_options::overwrite_existing, error);
    if (error) {
        std::error_code ignored;
        fs::remove(tempPath, ignored);
        return failed(QString::fromStdString(error.message()), noPermission(error));
    }
    // The copy must be runnable whatever the original's mode was.
    fs::permissions(tempPath, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::replace, error);
    // One rename replaces what is at the destination, so it is never missing nor half written.
    fs::rename(tempPath, fs::path(QFile::encodeName(target).toStdString()), error);
    if (error) {
        std::error_code ignored;
        fs::remove(tempPath, ignored);
        return failed(QString::fromStdString(error.message()), noPermission(error));
    }
    return {target, std::nullopt};
}

bool Install::fromPackageManager()
{
    return Bundle::installedByPackage();
}

QString Install::library()
{
    return Paths::applicationSupport() + QStringLiteral("/Paneflow");
}

qint64 Install::folderSize(const QString& folder)
{
    qint64 total = 0;
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        files.next();
        total += files.fileInfo().size();
    }
    return total;
}

void Install::forgetSetup(Defaults& app)
{
    for (const char* key : {"setupDone", "agreedToHideDock", "macClockTurnedOff"})
        app.remove(QString::fromLatin1(key));
}

void Install::forgetLibrary(Defaults& paneflow)
{
    for (const char* key : {"seededWallpapers", "seededEnsembles", "currentID", "currentEnsembleID", "startedOnFirstEnsemble", "lockScreenStatus"})
        paneflow.remove(QString::fromLatin1(key));
}

int Install::removeRegistrations(const QString& configHome, const QString& dataHome)
{
    int changed = 0;
    const QDir autostart(configHome + QStringLiteral("/autostart"));
    for (const QString& name : autostart.entryList({QStringLiteral("app.zentrove*.desktop")}, QDir::Files | QDir::Hidden)) {
        const QString path = autostart.filePath(name);
        if (isOwnAutostartEntry(path) && QFile::remove(path))
            ++changed;
    }
    // The entry that made this app the link handler, where an app image put it for the user.
    if (QFile::remove(dataHome + QStringLiteral("/applications/") + appEntry))
        ++changed;
    for (const QString& list : {configHome + QStringLiteral("/mimeapps.list"), dataHome + QStringLiteral("/applications/mimeapps.list")})
        if (dropLinkHandler(list))
            ++changed;
    return changed;
}

bool Install::trash(const QString& path)
{
    // Qt reports success when the user's trash cannot be set up, having moved the file to a
    // "files" folder in the working directory instead; a trash that cannot be made stops here.
    const QString userTrash = Paths::applicationSupport() + QStringLiteral("/Trash");
    if (!QDir().mkpath(userTrash + QStringLiteral("/files")) || !QDir().mkpath(userTrash + QStringLiteral("/info"))) {
        qCWarning(lcInstall).noquote() << "Zentrove: could not move" << path << "to the trash: no trash folder at" << userTrash;
        return false;
    }
    QFile file(path);
    if (!file.moveToTrash()) {
        qCWarning(lcInstall).noquote() << "Zentrove: could not move" << path << "to the trash:" << file.errorString();
        return false;
    }
    // Qt also reports success when the trash it looks for (its own idea of the data folder) cannot
    // be set up, having moved the file into a "files" folder of the working directory: put it back.
    const QString landed = file.fileName();
    static const QRegularExpression inTrash(QStringLiteral("/(Trash|\\.Trash-\\d+|\\.Trash/\\d+)/files/[^/]+$"));
    if (inTrash.match(landed).hasMatch())
        return true;
    QDir().rename(landed, path);
    const QFileInfo moved(landed);
    QFile::remove(moved.absolutePath() + QStringLiteral("/../info/") + moved.fileName() + QStringLiteral(".trashinfo"));
    qCWarning(lcInstall).noquote() << "Zentrove: could not move" << path << "to the trash: it went to" << landed << "instead";
    return false;
}
