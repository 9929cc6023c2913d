#pragma once

#include <QDateTime>
#include <QString>

// The locale's own date and time patterns, looked up by skeleton (CLDR's best-pattern rule).
namespace LocalePatterns {

// The best pattern for a skeleton such as "MMMd" or "j" in the ICU locale `localeID` (empty: the
// current locale). Empty when the lookup fails. Results are cached per locale and skeleton.
QString bestPattern(const QString& skeleton, const QString& localeID = QString());

// Whether the locale shows a 24-hour clock: its pattern for "j" carries no day-period "a".
bool uses24Hour(const QString& localeID = QString());

// `moment` formatted with a fixed CLDR pattern in the ICU locale `localeID` (empty: the current
// locale), in local time. Empty when the pattern cannot be used.
QString format(const QString& pattern, const QDateTime& moment, const QString& localeID = QString());

} // namespace LocalePatterns
