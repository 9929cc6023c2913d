#pragma once

#include <QString>

// Whether this process can show windows, decided before the application object exists: without
// a display Qt's window platforms abort the process, and most of what the programs do from a
// terminal (help, version, imports, pictures) needs no screen at all.
namespace DisplaySession {

// True when a window platform can start: one is named for Qt explicitly, an X display answers,
// or a Wayland display exists and Qt can speak to it.
bool available();

// Makes this process draw off screen. Call before the application object exists.
void useOffscreen();

// The one line a program that needs a screen prints when there is none.
QString missingText(const QString& program);

} // namespace DisplaySession
