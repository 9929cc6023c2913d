#pragma once

#include <QString>

#include <optional>

class Defaults;

// Where the app lives and leaving it: whether it must move into the applications folder first,
// the move itself, and the clean-up steps of uninstalling.
namespace Install {

// The user's own applications folder: home + "/Applications".
QString applications(const QString& home);
// Where a move puts the app image.
QString destination(const QString& home);

// An app image outside the user's applications folder and /opt must move before it can start
// its parts at login. Folders are compared with symbolic links resolved, and a folder only
// counts as inside when the path goes on with "/" (so "Applications2" is not inside).
bool needsMove(const std::optional<QString>& appImage, const QString& home);
// For the running app.
bool needsMove();

// The display name of the folder holding `path`.
QString folderName(const QString& path);

struct MoveFailure
{
    QString description;
    bool noPermission = false; // the account cannot write to the applications folder
    // The text the move sheet shows.
    QString text() const;
};

// Copies `source` to destination(home) through a temporary name next to it, then replaces what
// is there. The original stays. Returns the destination, or why it failed (the temporary copy
// is removed again; the destination is untouched unless the replace succeeded).
struct MoveResult
{
    std::optional<QString> destination;
    std::optional<MoveFailure> failure;
};
MoveResult moveToApplications(const QString& source, const QString& home);

// Installed by the distribution's package manager: it cannot trash itself.
bool fromPackageManager();

// The wallpaper library root.
QString library();
// The allocated bytes of every file below `folder`.
qint64 folderSize(const QString& folder);

// Forgets that setup was done (the control app's domain) and what the library seeded and showed
// (the live-wallpaper part's domain).
void forgetSetup(Defaults& app);
void forgetLibrary(Defaults& paneflow);

// Removes the app's own autostart entries (the control app's and every part's) and its
// registration as the handler of "zentrove:" links in the user's folders. The count of files
// changed.
int removeRegistrations(const QString& configHome, const QString& dataHome);

// The desktop entry that opens "zentrove:" links with the app image at `appImage`; none for a
// path no desktop entry can name (control characters).
std::optional<QString> linkHandlerEntry(const QString& appImage);
// Makes the app image the user's handler of "zentrove:" links: its entry in the user's
// applications folder and the default in the user's mimeapps.list (other lines kept). Rewrites
// only what differs; false when a file cannot be written.
bool registerLinkHandler(const QString& appImage, const QString& configHome, const QString& dataHome);
// At launch from an app image that is in its place (`needsMove` is false).
void registerRunningAppImage();

// Moves `path` to the freedesktop trash; false when the trash cannot take it.
bool trash(const QString& path);

} // namespace Install
