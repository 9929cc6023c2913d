#pragma once

#include <QString>

#include <optional>

// Turns a clip into a QuickTime movie that plays it over and over for at least an hour while
// storing its frames once: one video track whose edit list repeats the same media n times.
namespace MovieLooper {

inline constexpr double minimumSeconds = 3600;

// Loops `source` into `destination` (replaced). Work happens in a temporary file next to the
// destination that never survives. Returns the failure message, or nullopt on success.
std::optional<QString> loopIntoPlace(const QString& source, const QString& destination);

// Rewrites the movie header of `path` (one video track, header after the media data) so the
// track plays `repeats` times. Used by loopIntoPlace; exposed for tests.
std::optional<QString> repeatTrack(const QString& path, double minimumSeconds = MovieLooper::minimumSeconds);

// Copies the first video track of `source` into a new movie at `destination` without re-encoding.
std::optional<QString> copyVideoTrack(const QString& source, const QString& destination);

// How often a clip of `clipDuration` (in `timescale` units) is played to last `minimumSeconds`.
uint64_t repeatsFor(uint64_t clipDuration, uint32_t timescale, double minimumSeconds = MovieLooper::minimumSeconds);

} // namespace MovieLooper
