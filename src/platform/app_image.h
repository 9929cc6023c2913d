#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The single-file app image this app may run from: its runtime names the file in APPIMAGE.
namespace AppImage {

// The file the app runs from; none when it does not run from an app image (a package, the build
// tree) or the variable names no file.
std::optional<QString> current();

// Starts `program` with `arguments` once the process `pid` has ended, detached from this one, so
// a single-instance app can start again after this instance quits. Names with spaces or quotes
// are passed as they are, never through a shell's parsing.
bool startAfterExit(const QString& program, const QStringList& arguments, qint64 pid);

} // namespace AppImage
