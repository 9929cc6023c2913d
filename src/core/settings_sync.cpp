#include "core/settings_sync.h"

#include "core/notices.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"

#include <QCoreApplication>
#include <QSet>
#include <QTimer>

namespace {
// Domains whose notice is scheduled but not yet posted. Main thread only.
QSet<QString>& pending()
{
    static QSet<QString> domains;
    return domains;
}

std::optional<QString> ownIdentifier()
{
    const QString id = ProcessIdentity::current();
    return id.isEmpty() ? std::nullopt : std::optional<QString>(id);
}
} // namespace

void SettingsSync::changed(const QString& domain)
{
    if (pending().contains(domain))
        return;
    pending().insert(domain);
    QTimer::singleShot(0, QCoreApplication::instance(), [domain] {
        pending().remove(domain);
        Notifier::post(Notices::settingsChanged(domain), ownIdentifier());
    });
}

bool SettingsSync::isOwnNotice(const std::optional<QString>& object)
{
    return object == ownIdentifier();
}

NoticeToken SettingsSync::observe(const QString& domain, std::function<void()> reload)
{
    return Notifier::observe(Notices::settingsChanged(domain), [domain, reload = std::move(reload)](const std::optional<QString>& object) {
        if (isOwnNotice(object))
            return;
        Defaults::domain(domain).sync();
        reload();
    });
}

void SettingsSync::send(const QString& command, const QString& domain)
{
    Notifier::post(Notices::command(domain, command));
}

NoticeToken SettingsSync::onCommand(const QString& command, const QString& domain, std::function<void()> run)
{
    return Notifier::observe(Notices::command(domain, command), [run = std::move(run)](const std::optional<QString>&) { run(); });
}
