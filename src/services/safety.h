#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// The remote safety list: lets a part be switched off on the system versions where it breaks,
// without a new build. The control app fetches and stores the list; each part checks it when it
// starts and whenever it changes, and stands down (gives back what it took, records why, quits)
// when it is switched off or keeps crashing at start.
namespace Safety {

struct Entry
{
    QString feature;                    // a part's short name, or a base name with dotted features under it
    QString macOS;                      // first affected system version
    std::optional<QString> through;     // last affected version; none: no upper bound
    std::optional<qint64> fixedInBuild; // first build that no longer needs the switch
    QString message;                    // shown to the user
    bool operator==(const Entry&) const = default;
};

enum class Order { ascending, same, descending };

// Dotted versions piece by piece, missing pieces counting as 0: 14 equals 14.0.0, 14.10 comes
// after 14.9.
Order compare(const QString& a, const QString& b);

// The entries of a list document; none when the document does not decode as a whole.
std::optional<QList<Entry>> decode(const QByteArray& document);

// What the list code needs from the running system; tests set their own.
struct Environment
{
    QString systemVersion;  // three dotted numbers
    qint64 appBuild = 0;    // the control app's build number
    QUrl listURL;
    std::function<QDateTime()> now;
    int timeoutMs = 15000;
    qint64 maxBytes = 1024 * 1024;
};
// The running system's values. The list address comes from ZENTROVE_SAFETY_URL when set.
Environment environment();
void setEnvironment(Environment environment);
void resetEnvironment();

// Keys in the control app's domain and in each part's own domain.
inline QString listKey() { return QStringLiteral("safetyList"); }
inline QString fetchedKey() { return QStringLiteral("safetyFetched"); }
inline QString fetchedOnKey() { return QStringLiteral("safetyFetchedOn"); }
inline QString stoodDownKey() { return QStringLiteral("stoodDown"); }
inline QString startsKey() { return QStringLiteral("safetyStarts"); }

// Control app side.
bool isDue();
// Fetches the list when due and saves a good answer; `done` runs on `context` when finished.
void refreshIfDue(QObject* context, std::function<void()> done = {});
void save(const QByteArray& data);
// The message of the first entry that switches `feature` off here, from the stored list.
std::optional<QString> offMessage(const QString& feature);
std::optional<QString> offMessage(const QString& feature, const QByteArray& list, const QString& systemVersion,
                                  qint64 appBuild);

struct StandDown
{
    QString reason;
    bool crashed = false;
};
// The stand-down record of a part, unless the system was updated since.
std::optional<StandDown> stoodDown(const QString& partID);
void clearStoodDown(const QString& partID);

// Part side. `giveBack` restores what the part took and then calls the completion it is given.
using GiveBack = std::function<void(std::function<void()> completion)>;
// Run once at launch with the part's short name, in the part's own process. False: the part
// stands down and quits; it must not take anything over.
bool start(const QString& part, GiveBack giveBack);
void standDown(const QString& reason, bool crashed, GiveBack giveBack);
// The reason recorded when a part kept quitting at start on this system version.
QString crashReason(const QString& systemVersion);

// Four starts, each within this many seconds of the previous one, without a clean quit between
// them, count as crashing at start.
inline constexpr double crashWindowSeconds = 120;
inline constexpr int crashStarts = 4;
// How long a fetched list stays fresh.
inline constexpr qint64 refreshAfterSeconds = 43200;

} // namespace Safety
