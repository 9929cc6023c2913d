#pragma once

#include <QImage>
#include <QString>

class DesktopPictureSettings;

// The desktop's own wallpaper and lock-screen picture while the live wallpaper runs. Before
// anything is placed the user's own settings are backed up, once: a backup is never replaced, and
// never taken of settings that already show ours. A still of the current wallpaper is then placed
// in all of them. Giving back puts the user's own settings back exactly (a setting the user never
// set goes back to the desktop's default) unless the user has picked another picture since, and
// keeps the backup unless it was put back.
namespace DesktopPicture {

QString backupPath();
// The folder the stills are written to, next to the library.
QString stillFolder();

// Whether any of the settings shows a still of ours.
bool showsOurs(const DesktopPictureSettings& settings);

// Backs up the user's settings (once) and places `still` in all of them. False, with the reason
// in `error`, when the desktop keeps no such settings or a file cannot be written.
bool place(DesktopPictureSettings& settings, const QImage& still, QString* error = nullptr);

// Gives the user's own settings back (see above). False when a backup could not be put back (it
// is kept for the next try).
bool giveBack(DesktopPictureSettings& settings);

} // namespace DesktopPicture
