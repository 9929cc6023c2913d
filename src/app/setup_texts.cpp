#include "app/setup_texts.h"

#include "app/setup_keys.h"
#include "core/zentrove.h"
#include "platform/desktop_words.h"

#include <array>

namespace {

QString filled(QStringView text)
{
    return DesktopWords::current().fill(text);
}

struct BuiltInLook
{
    const char* name;
    const char* wallpaper;
    const char* clock;
    const char* bar;
};

constexpr std::array<BuiltInLook, 4> builtInLooks {{
    {"Eclipse", "A dark ring with light passing behind it", "Bricolage, cream to lavender", "Glass pill along the bottom"},
    {"Graphite", "Graphite folds, slowly drifting", "Light, narrow clock at the top", "Full-width glass bar"},
    {"Infinity", "Water running round an endless canal", "Coral-to-plum mono clock at the top", "Plum bar on the left edge"},
    {"Frog Pond", "Frogs and lily pads on a little pond", "Stacked green clock in the corner", "Sage pill along the bottom"},
}};

QString nameOr(const std::optional<QString>& name)
{
    return name ? *name : QStringLiteral("The ensemble");
}

} // namespace

QString SetupTexts::title(SetupStep step)
{
    switch (step) {
    case SetupStep::look: return QStringLiteral("Pick your look");
    case SetupStep::changes: return QStringLiteral("What should change?");
    case SetupStep::permissions: return QStringLiteral("Give Taskbar a few permissions");
    case SetupStep::done: return {};
    }
    return {};
}

QString SetupTexts::intro(SetupStep step)
{
    switch (step) {
    case SetupStep::look:
        return QStringLiteral("An ensemble is a moving wallpaper, a lock screen clock and a taskbar made to go together. "
                              "Switch any time, or make your own from a video or photo.");
    case SetupStep::changes:
        return QStringLiteral("Each part starts by itself when you log in. You can turn any of them off later.");
    case SetupStep::permissions:
        return filled(u"Each one is optional. {systemName} keeps them in {settingsApp} → {privacy}.");
    case SetupStep::done: return {};
    }
    return {};
}

std::optional<QStringList> SetupTexts::builtInLines(const QString& builtInName)
{
    for (const BuiltInLook& look : builtInLooks)
        if (builtInName == QLatin1StringView(look.name))
            return QStringList {QString::fromUtf8(look.wallpaper), QString::fromUtf8(look.clock), QString::fromUtf8(look.bar)};
    return std::nullopt;
}

QString SetupTexts::partTitle(const QString& partID)
{
    if (partID == Zentrove::paneflowID())
        return QStringLiteral("Wallpaper");
    if (partID == Zentrove::vizaVedidID())
        return QStringLiteral("Lock Screen Clock");
    return filled(u"Taskbar instead of the {dock}");
}

QString SetupTexts::partIcon(const QString& partID)
{
    if (partID == Zentrove::paneflowID())
        return QStringLiteral("play.rectangle");
    if (partID == Zentrove::vizaVedidID())
        return QStringLiteral("clock");
    return QStringLiteral("dock.rectangle");
}

QString SetupTexts::wallpaperDetail(const std::optional<QString>& name, bool lockScreen)
{
    return nameOr(name) + QStringLiteral(" plays on your ")
        + (lockScreen ? QStringLiteral("desktop and lock screen") : QStringLiteral("desktop"));
}

QString SetupTexts::clockDetail(const std::optional<QString>& name)
{
    return nameOr(name) + filled(u"'s clock instead of the one {systemName} draws.");
}

QString SetupTexts::taskbarDetail(const std::optional<QString>& name, bool chosen, bool dockApps)
{
    QString text = nameOr(name) + filled(u"'s bar takes the {dock}'s place");
    if (dockApps)
        text += filled(u", with your {dock} apps in the same order");
    if (!chosen)
        return text + filled(u" · your {dock} stays");
    return text + filled(u". The {dock} hides while the bar runs and comes back when you turn it off.");
}

QString SetupTexts::systemClockTitle()
{
    return filled(u"Turn off the {systemName} clock");
}

QString SetupTexts::systemClockPlace()
{
    return QStringLiteral("Lock Screen");
}

QString SetupTexts::systemClockText()
{
    return filled(u"{systemName} shows its own large clock on the lock screen too. In {settingsApp} → ") + systemClockPlace()
        + QStringLiteral(", set Show large clock to Never.");
}

SetupTexts::Permission SetupTexts::accessibility()
{
    return {QStringLiteral("macwindow"), Setup::accessibilityName(), QStringLiteral("Keeps maximized windows above the bar."),
            QStringLiteral("Without it, windows can slide under the bar. Turning on auto-hide avoids that."),
            QStringLiteral("Turn on Zentrove Taskbar.")};
}

SetupTexts::Permission SetupTexts::fullDiskAccess()
{
    return {QStringLiteral("trash"), QStringLiteral("Full Disk Access"),
            QStringLiteral("Shows when the Trash is full, and empties it directly."),
            QStringLiteral("Without it, the Trash icon is a few seconds late."),
            filled(u"Turn on Zentrove. If {systemName} offers to quit it, choose Later.")};
}

QString SetupTexts::nothingOnTitle() { return QStringLiteral("Nothing is on yet"); }
QString SetupTexts::nothingOnText() { return QStringLiteral("Turn them on any time in Settings."); }
QString SetupTexts::lateTitle() { return QStringLiteral("Not everything started"); }
QString SetupTexts::lateText() { return QStringLiteral("Try again, or turn it on later in Settings."); }
QString SetupTexts::startedTitle() { return QStringLiteral("Zentrove starts by itself when you log in."); }

QString SetupTexts::startedText()
{
    return filled(u"Switch ensembles from this icon in the {menuBar}, or on the Ensembles page.");
}

QString SetupTexts::partLate(const QString& partName)
{
    return partName + QStringLiteral(" hasn't started.");
}

QString SetupTexts::needsApproval()
{
    return filled(u"It needs your OK in {settingsApp} → General → {loginItems}.");
}

QString SetupTexts::openLoginItems()
{
    return filled(u"Open {loginItems}");
}

QString SetupTexts::lockScreenProgress(double fraction)
{
    return QStringLiteral("Getting your lock screen ready… %1%").arg(qRound(qBound(0.0, fraction, 1.0) * 100));
}

QString SetupTexts::lockScreenSetupTitle()
{
    return QStringLiteral("One step for the lock screen");
}
