#include "taskbar/locale_patterns.h"

#include <QHash>
#include <QMutex>

#include <unicode/dtptngen.h>
#include <unicode/locid.h>
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

QString currentLocale()
{
    return QString::fromLatin1(icu::Locale::getDefault().getName());
}

QString bestPattern(const QString& skeleton, const QString& localeID)
{
    static QMutex mutex;
    static QHash<QString, QString> cache;
    const QString locale = localeID.isEmpty() ? currentLocale() : localeID;
    const QString key = locale + QLatin1Char('|') + skeleton;
    QMutexLocker lock(&mutex);
    const auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    const QString pattern = lookUp(skeleton, locale);
    cache.insert(key, pattern);
    return pattern;
}

} // namespace LocalePatterns
