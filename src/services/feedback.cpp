#include "services/feedback.h"

#include "core/part.h"
#include "platform/bundle.h"
#include "platform/desktop_words.h"
#include "platform/http.h"
#include "platform/system_facts.h"
#include "platform/workspace.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A server's reason is shown in one line of the sheet; a longer one is cut.
constexpr qsizetype maxReasonLength = 300;

std::optional<Feedback::Environment>& overridden()
{
    static std::optional<Feedback::Environment> environment;
    return environment;
}

// The "message" of a JSON object answer, when it says something.
std::optional<QString> serverMessage(const QByteArray& answer)
{
    const QJsonDocument document = QJsonDocument::fromJson(answer);
    const QJsonValue message = document.object().value(QStringLiteral("message"));
    if (!message.isString())
        return std::nullopt;
    QString text = message.toString().simplified();
    if (text.isEmpty())
        return std::nullopt;
    if (text.size() > maxReasonLength)
        text = text.left(maxReasonLength - 1) + u'…';
    return text;
}

} // namespace

QString Feedback::Failure::text() const
{
    if (kind == Kind::offline)
        return QStringLiteral("Couldn't send. Check your connection and try again.");
    return QStringLiteral("Couldn't send: ") + reason;
}

Feedback::Environment Feedback::environment()
{
    if (overridden())
        return *overridden();
    Environment environment;
    const QString endpoint = qEnvironmentVariable("ZENTROVE_FEEDBACK_URL");
    environment.endpoint = QUrl(endpoint.isEmpty() ? QStringLiteral("https://zentrove.app/api/feedback") : endpoint);
    environment.mailAddress = QStringLiteral("support@zentrove.app");
    return environment;
}

void Feedback::setEnvironment(Environment environment)
{
    overridden() = std::move(environment);
}

void Feedback::resetEnvironment()
{
    overridden().reset();
}

QStringList Feedback::detailLines(const QSet<QString>& running, const SystemFacts& facts)
{
    QStringList lines;
    lines << QStringLiteral("Zentrove %1 (%2)").arg(Bundle::version(), Bundle::buildNumber());
    lines << facts.distribution();
    if (const std::optional<QString> model = facts.hardwareModel())
        lines << DesktopWords::current().fill(u"{Computer}: ") + *model;
    QStringList names;
    for (const Part& part : Part::all())
        if (running.contains(part.id))
            names << part.name;
    lines << QStringLiteral("Running: ") + (names.isEmpty() ? QStringLiteral("nothing") : names.join(QStringLiteral(", ")));
    return lines;
}

QString Feedback::details(const QSet<QString>& running, const SystemFacts& facts)
{
    return detailLines(running, facts).join(u'\n');
}

QByteArray Feedback::body(const QString& message, const QString& email, const std::optional<QString>& details)
{
    QJsonObject object {{QStringLiteral("message"), message}, {QStringLiteral("email"), email}};
    if (details)
        object.insert(QStringLiteral("details"), *details);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

void Feedback::send(const QString& message, const QString& email, const std::optional<QString>& details, QObject* context,
                    std::function<void(std::optional<Failure>)> done)
{
    const Environment settings = environment();
    HttpRequest request;
    request.url = settings.endpoint;
    request.timeoutMs = settings.timeoutMs;
    request.headers = {{"Content-Type", "application/json"}, {"X-Zentrove", "1"}};
    Http::post(request, body(message, email, details), context, [done = std::move(done)](const HttpResponse& response) {
        if (!response.completed)
            done(Failure::offline());
        else if (response.status == 200)
            done(std::nullopt);
        else
            done(Failure::refused(serverMessage(response.body).value_or(QStringLiteral("error %1").arg(response.status))));
    });
}

QUrl Feedback::mailURL(const QString& message, const std::optional<QString>& details)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(environment().mailAddress);
    const QString text = details ? message + QStringLiteral("\n\n---\n") + *details : message;
    // Every reserved character encoded, so "&", "=", "+" and new lines in the message survive.
    url.setQuery(QStringLiteral("subject=") + QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("Zentrove feedback")))
                 + QStringLiteral("&body=") + QString::fromLatin1(QUrl::toPercentEncoding(text)));
    return url;
}

bool Feedback::email(const QString& message, const std::optional<QString>& details, Workspace& workspace)
{
    return workspace.openURL(mailURL(message, details));
}
