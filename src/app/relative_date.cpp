#include "app/relative_date.h"

#include <unicode/locid.h>
#include <unicode/reldatefmt.h>
#include <unicode/unistr.h>

#include <cmath>
#include <memory>

QString RelativeDate::named(const QDateTime& when, const QDateTime& now)
{
    const double seconds = double(now.secsTo(when));
    const double magnitude = std::abs(seconds);
    double amount = seconds;
    URelativeDateTimeUnit unit = UDAT_REL_UNIT_SECOND;
    if (magnitude >= 365 * 86400.0) {
        amount = seconds / (365 * 86400.0);
        unit = UDAT_REL_UNIT_YEAR;
    } else if (magnitude >= 30 * 86400.0) {
        amount = seconds / (30 * 86400.0);
        unit = UDAT_REL_UNIT_MONTH;
    } else if (magnitude >= 86400.0 || now.date() != when.date()) {
        // Calendar days, so that last evening is "yesterday" even 10 hours later.
        amount = double(now.date().daysTo(when.date()));
        unit = UDAT_REL_UNIT_DAY;
    } else if (magnitude >= 3600) {
        amount = seconds / 3600;
        unit = UDAT_REL_UNIT_HOUR;
    } else if (magnitude >= 60) {
        amount = seconds / 60;
        unit = UDAT_REL_UNIT_MINUTE;
    }
    amount = std::trunc(amount);

    UErrorCode status = U_ZERO_ERROR;
    icu::RelativeDateTimeFormatter formatter(icu::Locale::getDefault(), nullptr, UDAT_STYLE_LONG,
                                             UDISPCTX_CAPITALIZATION_NONE, status);
    if (U_FAILURE(status))
        return when.toString(Qt::ISODate);
    icu::UnicodeString text;
    formatter.format(amount, unit, text, status);
    if (U_FAILURE(status))
        return when.toString(Qt::ISODate);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}
