#include "clock/date_text.h"

#include <QHash>
#include <QMutex>

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>

#include <memory>

namespace {

struct Cache
{
    QMutex mutex;
    QHash<QString, std::shared_ptr<icu::SimpleDateFormat>> formatters;
};

Cache& cache()
{
    static Cache* instance = new Cache;
    return *instance;
}

icu::UnicodeString toUnicode(const QString& text)
{
    return icu::UnicodeString(reinterpret_cast<const char16_t*>(text.utf16()), int32_t(text.size()));
}

std::shared_ptr<icu::SimpleDateFormat> makeFormatter(const QString& pattern, const QString& localeID)
{
    const icu::Locale locale = localeID.isEmpty() ? icu::Locale::getDefault()
                                                  : icu::Locale::createCanonical(localeID.toUtf8().constData());
    UErrorCode status = U_ZERO_ERROR;
    auto formatter = std::make_shared<icu::SimpleDateFormat>(toUnicode(pattern), locale, status);
    if (U_SUCCESS(status))
        return formatter;
    // An unusable locale identifier still formats, with the root locale's names.
    status = U_ZERO_ERROR;
    formatter = std::make_shared<icu::SimpleDateFormat>(toUnicode(pattern), icu::Locale::getRoot(), status);
    return U_SUCCESS(status) ? formatter : nullptr;
}

} // namespace

QString DateText::string(const QString& pattern, const QString& localeID, const QDateTime& date)
{
    const QString key = pattern + QLatin1Char('|') + localeID;
    std::shared_ptr<icu::SimpleDateFormat> formatter;
    {
        QMutexLocker lock(&cache().mutex);
        auto found = cache().formatters.constFind(key);
        if (found == cache().formatters.cend())
            found = cache().formatters.insert(key, makeFormatter(pattern, localeID));
        formatter = *found;
    }
    if (!formatter || !date.isValid())
        return QString();
    icu::UnicodeString result;
    // ICU formatters are not safe to share between threads while formatting.
    static QMutex formatting;
    QMutexLocker lock(&formatting);
    formatter->format(UDate(date.toMSecsSinceEpoch()), result);
    return QString(reinterpret_cast<const QChar*>(result.getBuffer()), result.length());
}

QString DateText::string(const QString& pattern, const QDateTime& date)
{
    return string(pattern, QStringLiteral("en_GB"), date);
}

int DateText::cachedFormatterCount()
{
    QMutexLocker lock(&cache().mutex);
    return int(cache().formatters.size());
}
