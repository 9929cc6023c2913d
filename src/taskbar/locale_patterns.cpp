#include "taskbar/locale_patterns.h"

#include <QHash>
#include <QMutex>

#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

#include <memory>

namespace LocalePatterns {

namespace {

icu::UnicodeString toIcu(const QString& text)
{
    return icu::UnicodeString(reinterpret_cast<const char16_t*>(text.utf16()), int32_t(text.size()));
}

QString fromIcu(const icu::UnicodeString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

icu::Locale localeOf(const QString& localeID)
{
    return localeID.isEmpty() ? icu::Locale::getDefault() : icu::Locale(localeID.toUtf8().constData());
}

QString lookUp(const QString& skeleton, const QString& localeID)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(localeOf(localeID), status));
    if (U_FAILURE(status) || !generator)
        return {};
    const icu::UnicodeString pattern = generator->getBestPattern(toIcu(skeleton), status);
    if (U_FAILURE(status))
        return {};
    return fromIcu(pattern);
}

} // namespace

QString bestPattern(const QString& skeleton, const QString& localeID)
{
    static QMutex mutex;
    static QHash<QString, QString> cache;
    const QString locale = localeID.isEmpty() ? QString::fromLatin1(icu::Locale::getDefault().getName()) : localeID;
    const QString key = locale + QLatin1Char('|') + skeleton;
    QMutexLocker lock(&mutex);
    const auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    const QString pattern = lookUp(skeleton, locale);
    cache.insert(key, pattern);
    return pattern;
}

bool uses24Hour(const QString& localeID)
{
    return !bestPattern(QStringLiteral("j"), localeID).contains(QLatin1Char('a'));
}

QString format(const QString& pattern, const QDateTime& moment, const QString& localeID)
{
    // Formatters are costly to make and not thread-safe to share: one per thread, per pattern.
    thread_local QHash<QString, std::shared_ptr<icu::SimpleDateFormat>> formatters;
    const QString key = pattern + QLatin1Char('|') + localeID;
    std::shared_ptr<icu::SimpleDateFormat> formatter = formatters.value(key);
    if (!formatter) {
        UErrorCode status = U_ZERO_ERROR;
        formatter = std::make_shared<icu::SimpleDateFormat>(toIcu(pattern), localeOf(localeID), status);
        if (U_FAILURE(status))
            return {};
        if (formatters.size() >= 64) // patterns are user text: keep the cache bounded
            formatters.clear();
        formatters.insert(key, formatter);
    }
    // ICU dates are milliseconds since 1970 in UTC; the formatter shows them in its (local) zone.
    icu::UnicodeString text;
    formatter->format(UDate(moment.toMSecsSinceEpoch()), text);
    return fromIcu(text);
}

} // namespace LocalePatterns
