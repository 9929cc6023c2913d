#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

// A newer build the update feed offers.
struct UpdateOffer
{
    QString version;
    qint64 build = 0;
    std::optional<QDateTime> date;
    QString notes;   // plain text
    QUrl download;   // where the user gets it (http or https only)
    bool operator==(const UpdateOffer&) const = default;
};

// The update feed: one small JSON object {"version", "build", "date", "notes", "download"}.
namespace UpdateFeed {

// The largest feed read; a longer answer is dropped unread.
inline constexpr qint64 maxBytes = 256 * 1024;

// The offer of a feed document; none, with the reason in `why`, when it is not a JSON object,
// lacks a version or a build number, or names a download that is not a web address.
std::optional<UpdateOffer> decode(const QByteArray& document, QString* why = nullptr);

} // namespace UpdateFeed
