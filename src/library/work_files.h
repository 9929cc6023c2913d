#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

// Files the media code writes next to their destination and moves into place when done:
// "<name>.<UUID>.partial.mov" (a conversion), "<name>.<UUID>.looped.mov" (a loop being made) and
// "<file>.<UUID>.partial" (a copy). One that a crash left behind is never a finished wallpaper.
namespace WorkFiles {

// A running job writes to its file all the time; one this quiet was left behind.
inline constexpr std::chrono::seconds abandonedAfter = std::chrono::hours(1);

bool isWorkFile(const QString& fileName);

// Deletes the work files in `folder` not written for `quietFor`; those of a job another process
// is running right now stay. Gives the names deleted.
QStringList removeAbandoned(const QString& folder, std::chrono::seconds quietFor = abandonedAfter);

} // namespace WorkFiles
