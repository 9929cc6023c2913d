#include "platform/login_items.h"

#include "platform/bundle.h"
#include "platform/desktop_words.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QSettings>
#include <QTimer>
#include <QCoreApplication>

Q_LOGGING_CATEGORY(lcLoginItems, "zentrove.loginitems")

namespace {

// An autostart entry: $XDG_CONFIG_HOME/autostart/<identifier>.desktop, started by the desktop at
// login. The desktop's start-up settings switch an entry off with Hidden=true or
// X-GNOME-Autostart-enabled=false; the entry then waits for the user's OK.
class AutostartLoginItems final : public LoginItems
{
public:
    LoginItemStatus status(const QString& identifier) const override
    {
        if (!QFileInfo(Bundle::agentExecutable(identifier)).isExecutable())
            return LoginItemStatus::notFound;
        const QString path = entryPath(identifier);
        if (!QFileInfo::exists(path))
            return LoginItemStatus::notRegistered;
        return switchedOff(path) ? LoginItemStatus::requiresApproval : LoginItemStatus::enabled;
    }

    Failure registerItem(const QString& identifier) override
    {
        const QString program = Bundle::agentExecutable(identifier);
        if (!QFileInfo(program).isExecutable())
            return QStringLiteral("The part's program is missing from the app.");
        if (!Paths::ensureFolder(Paths::autostartFolder()))
            return QStringLiteral("The autostart folder %1 cannot be made.").arg(Paths::autostartFolder());
        QSaveFile file(entryPath(identifier));
        if (!file.open(QIODevice::WriteOnly))
            return file.errorString();
        file.write(entryText(identifier, program).toUtf8());
        if (!file.commit())
            return file.errorString();
        return std::nullopt;
    }

    Failure unregisterItem(const QString& identifier) override
    {
        // An item that is not registered is already where unregistering wants it.
        QFile file(entryPath(identifier));
        if (!file.exists())
            return std::nullopt;
        if (!file.remove())
            return file.errorString();
        return std::nullopt;
    }

    void unregisterLater(const QString& identifier, std::function<void(Failure)> done) override
    {
        QTimer::singleShot(0, QCoreApplication::instance(), [this, identifier, done = std::move(done)] {
            const Failure failure = unregisterItem(identifier);
            if (done)
                done(failure);
        });
    }

    void openSettings() override
    {
        if (!DesktopWords::openSettings(SettingsPane::loginItems))
            qCInfo(lcLoginItems).noquote() << "Zentrove: login items are in" << Paths::autostartFolder();
    }

private:
    static QString entryPath(const QString& identifier)
    {
        return Paths::autostartFolder() + QLatin1Char('/') + identifier + QStringLiteral(".desktop");
    }

    static bool switchedOff(const QString& path)
    {
        QSettings entry(path, QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        const auto isTrue = [](const QVariant& v) { return v.toString().trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0; };
        const auto isFalse = [](const QVariant& v) { return v.toString().trimmed().compare(QLatin1String("false"), Qt::CaseInsensitive) == 0; };
        return isTrue(entry.value(QStringLiteral("Hidden"))) || isFalse(entry.value(QStringLiteral("X-GNOME-Autostart-enabled")));
    }

    // Exec quoting of the desktop entry format: arguments with reserved characters in double quotes.
    static QString quoted(const QString& argument)
    {
        static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
        bool needs = argument.isEmpty();
        for (QChar c : argument)
            needs = needs || reserved.contains(c);
        if (!needs)
            return argument;
        QString escaped;
        for (QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                escaped += QLatin1Char('\\');
            escaped += c;
        }
        escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
        return QLatin1Char('"') + escaped + QLatin1Char('"');
    }

    static QString entryText(const QString& identifier, const QString& program)
    {
        return QStringLiteral("[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=%1\n"
                              "Exec=%2\n"
                              "NoDisplay=true\n"
                              "X-GNOME-Autostart-enabled=true\n"
                              "X-Zentrove-Part=%1\n")
            .arg(identifier, quoted(program));
    }
};

} // namespace

std::unique_ptr<LoginItems> LoginItems::makeSystem()
{
    return std::make_unique<AutostartLoginItems>();
}
