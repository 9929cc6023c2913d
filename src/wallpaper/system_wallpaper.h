#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

class DesktopPictureSettings;

#include <functional>
#include <optional>
#include <utility>

// The system's own wallpaper store: where its files are, whether it shows one of our assets,
// the one-time backup of the user's own choice and the give-back of it. The store belongs to
// another system, so everything in it that we do not name is carried along untouched.
namespace SystemWallpaper {

// Folders and files, all under the Application Support folder.
QString wallpaperDir();
QString aerialsDir();
QString entriesPath();
QString indexPath();
QString videoPath(const QString& id);
QString thumbnailPath(const QString& id);
QString backupsDir();
// The system's own copy of the entries.
QString bundledEntriesPath();

// Our two asset slots and our category in the store.
const QStringList& assetIDs();
QString categoryID();
// The keys under which the store keeps its slot dictionaries.
const QStringList& slotKeys();

// Whether the desktop keeps wallpaper settings we can show ours in (its desktop picture and lock
// screen picture settings).
bool isSetUp();
QString notSetUpMessage();
void openSettings();

// The newer of the user's and the system's entries (the user's on a tie); none when neither reads.
std::optional<QVariantMap> manifest();
bool manifestIsCurrent();

std::optional<QVariantMap> readIndex();
// Every slot dictionary in the index, depth first: (slot key, its choices).
QList<std::pair<QString, QVariantList>> choices(const QVariantMap& index);
// The asset a choice shows, from the property list inside its "Configuration" data.
std::optional<QString> assetID(const QVariant& choice);

// Whether the store (or the desktop picture) currently shows something of ours.
bool isShowingOurs();

// Backs up the user's own store state once; an existing backup is never replaced. On failure
// returns false and says why in `error`.
bool takeOver(QString* error = nullptr);
// Puts the user's own choice back: the desktop's picture settings first, then the store. Runs `done` on `context` when finished (about 2 seconds when
// the store showed ours). Callers do not run two at once.
void giveBack(QObject* context, std::function<void()> done = {});
// Deletes our videos and thumbnails and drops our entries from the user's entries file.
void removeOurAssets();
// Asks the system's wallpaper agent to restart and re-read the store.
void restartWallpaperAgent();

// What the store needs from the rest of the system; tests and other platforms set their own.
struct Environment
{
    // Current desktop picture of every screen (none where the platform does not say).
    std::function<QStringList()> desktopPictures;
    // The desktop's own wallpaper settings.
    std::function<DesktopPictureSettings&()> desktopPictureSettings;
    // Makes the system's wallpaper agent read the store again.
    std::function<void()> restartAgent;
    // Opens the desktop's wallpaper settings.
    std::function<void()> openSettings;
    QString bundledEntriesPath;
    int settleMs = 2000;
};
Environment environment();
void setEnvironment(Environment environment);
void resetEnvironment();

} // namespace SystemWallpaper
