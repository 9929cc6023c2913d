#pragma once

#include <QDateTime>
#include <QString>

// Locale-aware formatting of fixed date patterns ("EEEE", "d MMMM", "HH"), with one formatter per
// pattern and locale kept for the life of the process.
namespace DateText {

// `localeID` empty: the current locale. A locale that does not exist formats with the root
// locale's names. The date is shown in the local time zone.
QString string(const QString& pattern, const QString& localeID, const QDateTime& date);
// In "en_GB".
QString string(const QString& pattern, const QDateTime& date);

// How many formatters the cache holds (for tests of the cache).
int cachedFormatterCount();

} // namespace DateText
