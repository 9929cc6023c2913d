#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

class QObject;
class SystemFacts;
class Workspace;

// A message from the user to the maker: sent as one JSON request to the feedback server, or,
// when that is impossible, handed to the user's mail program.
namespace Feedback {

// Why a message did not go out.
struct Failure
{
    enum class Kind { offline, refused };
    Kind kind = Kind::offline;
    QString reason; // refused: what the server said, or "error <status>"

    static Failure offline() { return {Kind::offline, {}}; }
    static Failure refused(const QString& reason) { return {Kind::refused, reason}; }
    // The text the sheet shows.
    QString text() const;
    bool operator==(const Failure&) const = default;
};

// Where messages go and how long one may take; tests set their own.
struct Environment
{
    QUrl endpoint;
    int timeoutMs = 20000;
    QString mailAddress;
};
// The running app's values. The endpoint comes from ZENTROVE_FEEDBACK_URL when set.
Environment environment();
void setEnvironment(Environment environment);
void resetEnvironment();

// The control app's key remembering whether details go along.
inline QString includeDetailsKey() { return QStringLiteral("feedbackIncludesDetails"); }

// The lines describing this app and system: version and build, the distribution, the hardware
// model when the system tells it, and the parts running now (ids in `running`).
QStringList detailLines(const QSet<QString>& running, const SystemFacts& facts);
QString details(const QSet<QString>& running, const SystemFacts& facts);

// The request body: "details" is left out entirely when there are none.
QByteArray body(const QString& message, const QString& email, const std::optional<QString>& details);

// Posts the message. `done` runs once on `context`'s thread with the failure, or none when the
// server took it.
void send(const QString& message, const QString& email, const std::optional<QString>& details, QObject* context,
          std::function<void(std::optional<Failure>)> done);

// A mailto: link with the same message (and the details under a rule when given).
QUrl mailURL(const QString& message, const std::optional<QString>& details);
// Opens a new mail with the message in the user's mail program.
bool email(const QString& message, const std::optional<QString>& details, Workspace& workspace);

} // namespace Feedback
