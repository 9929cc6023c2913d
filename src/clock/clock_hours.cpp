#include "clock/clock_hours.h"

#include <unicode/dtptngen.h>
#include <unicode/locid.h>

#include <memory>
#include <mutex>
#include <string>

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

namespace {

bool localeUses24Hour(const icu::Locale& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(icu::DateTimePatternGenerator::createInstance(locale, status));
    if (U_FAILURE(status) || !generator)
        return true;
    const icu::UnicodeString best = generator->getBestPattern(icu::UnicodeString(u"j"), status);
    if (U_FAILURE(status))
        return true;
    return best.indexOf(u'a') < 0;
}

} // namespace

bool ClockHours::systemUses24Hour()
{
    // Every clock frame asks; building a pattern generator takes far longer than a frame, so the
    // answer is kept until the default locale changes.
    static std::mutex mutex;
    static std::string keptLocale;
    static bool kept = true;
    const icu::Locale& locale = icu::Locale::getDefault();
    const std::lock_guard lock(mutex);
    if (keptLocale.empty() || keptLocale != locale.getName()) {
        kept = localeUses24Hour(locale);
        keptLocale = locale.getName();
    }
    return kept;
}
