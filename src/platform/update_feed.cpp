#include "platform/update_feed.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

std::optional<UpdateOffer> refuse(QString* why, const QString& reason)
{
    if (why)
        *why = reason;
    return std::nullopt;
}

// A build as a whole number or as digits in a string; anything else is no build.
std::optional<qint64> buildNumber(const QJsonValue& value)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (number >= 0 && number < 9e15 && number == double(qint64(number)))
            return qint64(number);
        return std::nullopt;
    }
    bool ok = false;
    const qint64 number = value.toString().trimmed().toLongLong(&ok);
    return ok && number >= 0 ? std::optional(number) : std::nullopt;
}

} // namespace

std::optional<UpdateOffer> UpdateFeed::decode(const QByteArray& document, QString* why)
{
    if (document.size() > maxBytes)
        return refuse(why, QStringLiteral("the feed is too large"));
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(document, &error);
    if (error.error != QJsonParseError::NoError || !json.isObject())
        return refuse(why, QStringLiteral("the feed is not a JSON object"));
    const QJsonObject object = json.object();
    UpdateOffer offer;
    offer.version = object.value(QStringLiteral("version")).toString().trimmed();
    if (offer.version.isEmpty())
        return refuse(why, QStringLiteral("the feed names no version"));
    const std::optional<qint64> build = buildNumber(object.value(QStringLiteral("build")));
    if (!build)
        return refuse(why, QStringLiteral("the feed names no build number"));
    offer.build = *build;
    const QDateTime date = QDateTime::fromString(object.value(QStringLiteral("date")).toString(), Qt::ISODate);
    if (date.isValid())
        offer.date = date;
    offer.notes = object.value(QStringLiteral("notes")).toString();
    offer.download = QUrl(object.value(QStringLiteral("download")).toString(), QUrl::StrictMode);
    const QString scheme = offer.download.scheme();
    if (!offer.download.isValid() || offer.download.host().isEmpty()
        || (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return refuse(why, QStringLiteral("the feed's download is not a web address"));
    return offer;
}
