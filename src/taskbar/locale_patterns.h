#pragma once

#include <QString>

// The locale's own date and time patterns, looked up by skeleton (CLDR's best-pattern rule).
namespace LocalePatterns {

// The best pattern for a skeleton such as "MMMd" or "j" in the ICU locale `localeID` (empty: the
// current locale). Empty when the lookup fails. Results are cached per locale and skeleton.
QString bestPattern(const QString& skeleton, const QString& localeID = QString());

// The identifier of the current ICU locale.
QString currentLocale();

} // namespace LocalePatterns
