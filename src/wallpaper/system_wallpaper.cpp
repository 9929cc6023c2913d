#include "wallpaper/system_wallpaper.h"

#include "platform/desktop_picture_settings.h"
#include "platform/desktop_words.h"
#include "platform/paths.h"
#include "platform/property_list.h"
#include "platform/system_wallpaper_agent.h"
#include "wallpaper/desktop_picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMutex>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <cmath>

Q_LOGGING_CATEGORY(lcSystemWallpaper, "zentrove.wallpaper.system")

namespace {

// The store's files are small; anything bigger is not one of them.
constexpr qint64 maxStoreFileBytes = 64 * 1024 * 1024;
// Nesting far beyond anything the store writes; deeper trees are not walked.
constexpr int maxWalkDepth = 256;

SystemWallpaper::Environment defaultEnvironment()
{
    SystemWallpaper::Environment e;
    e.desktopPictureSettings = []() -> DesktopPictureSettings& { return DesktopPictureSettings::system(); };
    e.desktopPictures = [] {
        // The desktop keeps one picture for all displays, as a URI.
        DesktopPictureSettings& settings = DesktopPictureSettings::system();
        if (!settings.isSetUp() || settings.keys().isEmpty())
            return QStringList();
        const auto value = settings.value(settings.keys().first());
        const QUrl url(value ? value->text : QString());
        return url.isLocalFile() ? QStringList {url.toLocalFile()} : QStringList();
    };
    e.restartAgent = [] { SystemWallpaperAgent::restart(); };
    e.openSettings = [] { DesktopWords::openSettings(SettingsPane::wallpaper); };
    e.bundledEntriesPath = SystemWallpaperAgent::bundledEntriesPath();
    return e;
}

QMutex environmentMutex;
SystemWallpaper::Environment& currentEnvironment()
{
    static SystemWallpaper::Environment e = defaultEnvironment();
    return e;
}

std::optional<QByteArray> readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxStoreFileBytes)
        return std::nullopt;
    QByteArray bytes = file.read(maxStoreFileBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxStoreFileBytes)
        return std::nullopt;
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

std::optional<QJsonObject> readJsonObject(const QString& path)
{
    const auto bytes = readFile(path);
    if (!bytes)
        return std::nullopt;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(*bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

qint64 versionOf(const std::optional<QJsonObject>& entries)
{
    if (!entries)
        return 0;
    const QJsonValue v = entries->value(QStringLiteral("version"));
    if (!v.isDouble())
        return 0;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9.0e15)
        return 0;
    return qint64(d);
}

void walk(const QVariant& value, int depth, QList<std::pair<QString, QVariantList>>& found)
{
    if (depth > maxWalkDepth)
        return;
    if (value.metaType().id() == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (SystemWallpaper::slotKeys().contains(it.key()) && it.value().metaType().id() == QMetaType::QVariantMap) {
                const QVariant content = it.value().toMap().value(QStringLiteral("Content"));
                if (content.metaType().id() == QMetaType::QVariantMap) {
                    const QVariant list = content.toMap().value(QStringLiteral("Choices"));
                    if (list.metaType().id() == QMetaType::QVariantList) {
                        const QVariantList items = list.toList();
                        const bool allDictionaries = std::all_of(items.cbegin(), items.cend(), [](const QVariant& c) {
                            return c.metaType().id() == QMetaType::QVariantMap;
                        });
                        if (allDictionaries)
                            found.append({it.key(), items});
                    }
                }
            }
            walk(it.value(), depth + 1, found);
        }
    } else if (value.metaType().id() == QMetaType::QVariantList) {
        const QVariantList list = value.toList();
        for (const QVariant& item : list)
            walk(item, depth + 1, found);
    }
}

// Writes the user's own index back, or deletes it so the system falls back to its default.
bool put(const std::optional<QByteArray>& saved)
{
    QString error;
    bool ok = true;
    if (saved) {
        ok = writeFile(SystemWallpaper::indexPath(), *saved, &error);
    } else {
        QFile file(SystemWallpaper::indexPath());
        ok = !file.exists() || file.remove();
        if (!ok)
            error = file.errorString();
    }
    if (!ok)
        qCWarning(lcSystemWallpaper).noquote() << DesktopWords::current().fill(u"Paneflow: putting the {systemName} wallpaper back failed: ") + error;
    return ok;
}

bool copyOnce(const QString& from, const QString& to, QString* error)
{
    const auto bytes = readFile(from);
    if (!bytes) {
        if (error)
            *error = QStringLiteral("couldn't read %1").arg(from);
        return false;
    }
    // Written whole or not at all: a torn backup would never be replaced.
    return writeFile(to, *bytes, error);
}

QString backupIndexPath()
{
    return SystemWallpaper::backupsDir() + QStringLiteral("/Index.plist");
}

QString backupEntriesPath()
{
    return SystemWallpaper::backupsDir() + QStringLiteral("/entries.json");
}

} // namespace

QString SystemWallpaper::wallpaperDir()
{
    return Paths::applicationSupport() + QStringLiteral("/com.apple.wallpaper");
}

QString SystemWallpaper::aerialsDir()
{
    return wallpaperDir() + QStringLiteral("/aerials");
}

QString SystemWallpaper::entriesPath()
{
    return aerialsDir() + QStringLiteral("/manifest/entries.json");
}

QString SystemWallpaper::indexPath()
{
    return wallpaperDir() + QStringLiteral("/Store/Index.plist");
}

QString SystemWallpaper::videoPath(const QString& id)
{
    return aerialsDir() + QStringLiteral("/videos/") + id + QStringLiteral(".mov");
}

QString SystemWallpaper::thumbnailPath(const QString& id)
{
    return aerialsDir() + QStringLiteral("/thumbnails/") + id + QStringLiteral(".png");
}

QString SystemWallpaper::backupsDir()
{
    return Paths::applicationSupport() + QStringLiteral("/Paneflow/Backups");
}

QString SystemWallpaper::bundledEntriesPath()
{
    return environment().bundledEntriesPath;
}

const QStringList& SystemWallpaper::assetIDs()
{
    static const QStringList ids = {QStringLiteral("7D2E9F41-0000-4000-8000-000000000010"),
                                    QStringLiteral("7D2E9F41-0000-4000-8000-000000000011")};
    return ids;
}

QString SystemWallpaper::categoryID()
{
    return QStringLiteral("7D2E9F41-0000-4000-8000-000000000001");
}

const QStringList& SystemWallpaper::slotKeys()
{
    static const QStringList keys = {QStringLiteral("Linked"), QStringLiteral("Desktop"), QStringLiteral("Idle")};
    return keys;
}

bool SystemWallpaper::isSetUp()
{
    const Environment e = environment();
    return e.desktopPictureSettings && e.desktopPictureSettings().isSetUp();
}

QString SystemWallpaper::notSetUpMessage()
{
    return DesktopWords::current().fill(u"{systemName} hasn't set up its wallpapers on this account yet. Open Wallpaper settings and "
                                        u"pick any wallpaper once, and Zentrove puts yours on the lock screen right after.");
}

void SystemWallpaper::openSettings()
{
    environment().openSettings();
}

std::optional<QVariantMap> SystemWallpaper::manifest()
{
    const auto user = readJsonObject(entriesPath());
    const auto bundled = readJsonObject(bundledEntriesPath());
    if (user && (!bundled || versionOf(user) >= versionOf(bundled)))
        return user->toVariantMap();
    if (bundled)
        return bundled->toVariantMap();
    return std::nullopt;
}

bool SystemWallpaper::manifestIsCurrent()
{
    return versionOf(readJsonObject(entriesPath())) >= versionOf(readJsonObject(bundledEntriesPath()));
}

std::optional<QVariantMap> SystemWallpaper::readIndex()
{
    const auto bytes = readFile(indexPath());
    if (!bytes)
        return std::nullopt;
    const auto value = PropertyList::parse(*bytes);
    if (!value || value->metaType().id() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

QList<std::pair<QString, QVariantList>> SystemWallpaper::choices(const QVariantMap& index)
{
    QList<std::pair<QString, QVariantList>> found;
    walk(index, 0, found);
    return found;
}

std::optional<QString> SystemWallpaper::assetID(const QVariant& choice)
{
    if (choice.metaType().id() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariant configuration = choice.toMap().value(QStringLiteral("Configuration"));
    if (configuration.metaType().id() != QMetaType::QByteArray)
        return std::nullopt;
    const auto inner = PropertyList::parse(configuration.toByteArray());
    if (!inner || inner->metaType().id() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariant id = inner->toMap().value(QStringLiteral("assetID"));
    if (id.metaType().id() != QMetaType::QString)
        return std::nullopt;
    return id.toString();
}

bool SystemWallpaper::isShowingOurs()
{
    if (const auto index = readIndex()) {
        for (const auto& [slot, list] : choices(*index)) {
            for (const QVariant& choice : list) {
                const auto id = assetID(choice);
                if (id && assetIDs().contains(*id))
                    return true;
            }
        }
    }
    const QString support = Paths::applicationSupport();
    const QStringList ours = {QDir::cleanPath(support + QStringLiteral("/Paneflow")) + QLatin1Char('/'),
                              QDir::cleanPath(support + QStringLiteral("/Zentrove")) + QLatin1Char('/')};
    for (const QString& picture : environment().desktopPictures()) {
        const QString path = QDir::cleanPath(picture);
        for (const QString& prefix : ours) {
            if (path.startsWith(prefix))
                return true;
        }
    }
    return false;
}

bool SystemWallpaper::takeOver(QString* error)
{
    if (!QDir().mkpath(backupsDir())) {
        if (error)
            *error = QStringLiteral("couldn't make %1").arg(backupsDir());
        return false;
    }
    if (!QFileInfo::exists(backupEntriesPath()) && QFileInfo::exists(entriesPath())) {
        if (!copyOnce(entriesPath(), backupEntriesPath(), error))
            return false;
    }
    // Never back up a state that already shows ours: giving that back would give back nothing.
    if (!QFileInfo::exists(backupIndexPath()) && QFileInfo::exists(indexPath()) && !isShowingOurs()) {
        if (!copyOnce(indexPath(), backupIndexPath(), error))
            return false;
    }
    return true;
}

void SystemWallpaper::removeOurAssets()
{
    for (const QString& id : assetIDs()) {
        QFile::remove(videoPath(id));
        QFile::remove(thumbnailPath(id));
    }
    auto entries = readJsonObject(entriesPath());
    if (!entries)
        return;
    const auto without = [](const QJsonValue& list, const QStringList& ids) {
        QJsonArray kept;
        for (const QJsonValue& item : list.toArray()) {
            if (!(item.isObject() && ids.contains(item.toObject().value(QStringLiteral("id")).toString())))
                kept.append(item);
        }
        return kept;
    };
    bool changed = false;
    for (const auto& [key, ids] : {std::pair(QStringLiteral("assets"), assetIDs()),
                                   std::pair(QStringLiteral("categories"), QStringList {categoryID()})}) {
        const QJsonValue list = entries->value(key);
        if (!list.isArray())
            continue;
        const QJsonArray kept = without(list, ids);
        if (kept.size() != list.toArray().size()) {
            entries->insert(key, kept);
            changed = true;
        }
    }
    if (changed) {
        QString error;
        if (!writeFile(entriesPath(), QJsonDocument(*entries).toJson(QJsonDocument::Compact), &error))
            qCWarning(lcSystemWallpaper).noquote() << "Paneflow: couldn't update the wallpaper entries: " + error;
    }
}

void SystemWallpaper::restartWallpaperAgent()
{
    environment().restartAgent();
}

void SystemWallpaper::giveBack(QObject* context, std::function<void()> done)
{
    const auto finish = [done] {
        if (done)
            done();
    };
    // The desktop's own picture settings hold a still of ours while the part runs; the part gives
    // them back when it quits, this catches a part that could not (it crashed, its X server went).
    if (const Environment e = environment(); e.desktopPictureSettings)
        DesktopPicture::giveBack(e.desktopPictureSettings());
    const std::optional<QByteArray> saved = readFile(backupIndexPath());
    if (!isShowingOurs()) {
        // The user has picked another wallpaper since: keep their choice.
        removeOurAssets();
        if (saved)
            QFile::remove(backupIndexPath());
        finish();
        return;
    }
    bool restored = put(saved);
    removeOurAssets();
    restartWallpaperAgent();
    QTimer::singleShot(environment().settleMs, context ? context : QCoreApplication::instance(), [saved, restored, finish]() mutable {
        // The restarted agent may have written its old state back.
        if (isShowingOurs()) {
            restored = put(saved);
            restartWallpaperAgent();
        }
        // A backup that could not be put back is the only copy of the user's choice: keep it.
        if (saved && restored)
            QFile::remove(backupIndexPath());
        finish();
    });
}

SystemWallpaper::Environment SystemWallpaper::environment()
{
    QMutexLocker lock(&environmentMutex);
    return currentEnvironment();
}

void SystemWallpaper::setEnvironment(Environment environment)
{
    QMutexLocker lock(&environmentMutex);
    const Environment fallback = defaultEnvironment();
    if (!environment.desktopPictures)
        environment.desktopPictures = fallback.desktopPictures;
    if (!environment.restartAgent)
        environment.restartAgent = fallback.restartAgent;
    if (!environment.openSettings)
        environment.openSettings = fallback.openSettings;
    currentEnvironment() = std::move(environment);
}

void SystemWallpaper::resetEnvironment()
{
    QMutexLocker lock(&environmentMutex);
    currentEnvironment() = defaultEnvironment();
}
