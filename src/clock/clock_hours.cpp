#include "clock/clock_hours.h"

#include <unicode/dtptngen.h>
#include <unicode/locid.h>

#include <memory>

ClockHours& ClockHours::shared()
{
    static ClockHours* instance = new ClockHours;
    return *instance;
}

void ClockHours::setFormat(ClockTimeFormat format)
{
    if (m_format == format)
        return;
    m_format = format;
    emit formatChanged(format);
}

bool ClockHours::systemUses24Hour()
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(icu::Locale::getDefault(), status));
    if (U_FAILURE(status) || !generator)
        return true;
    const icu::UnicodeString best = generator->getBestPattern(icu::UnicodeString(u"j"), status);
    if (U_FAILURE(status))
        return true;
    return best.indexOf(u'a') < 0;
}
