#include "platform/desktop_words.h"

#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QSysInfo>

#include <array>

Q_LOGGING_CATEGORY(lcDesktopWords, "zentrove.platform.desktop")

namespace {

struct Slot
{
    QLatin1StringView name;
    QString DesktopWords::*word;
};

constexpr std::array<Slot, 10> placeholders {{
    {QLatin1StringView("computer"), &DesktopWords::computer},
    {QLatin1StringView("systemName"), &DesktopWords::systemName},
    {QLatin1StringView("fileManager"), &DesktopWords::fileManager},
    {QLatin1StringView("settingsApp"), &DesktopWords::settingsApp},
    {QLatin1StringView("dock"), &DesktopWords::dock},
    {QLatin1StringView("menuBar"), &DesktopWords::menuBar},
    {QLatin1StringView("applications"), &DesktopWords::applications},
    {QLatin1StringView("applicationsFolder"), &DesktopWords::applicationsFolder},
    {QLatin1StringView("loginItems"), &DesktopWords::loginItems},
    {QLatin1StringView("privacy"), &DesktopWords::privacy},
}};

// NAME= of an os-release file, without its quotes; empty when the file or the key is missing.
QString osReleaseName(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.startsWith("NAME="))
            continue;
        QString value = QString::fromUtf8(line.mid(5)).trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value.trimmed();
    }
    return {};
}

DesktopWords& processWords()
{
    static DesktopWords words = DesktopWords::linuxDesktop();
    return words;
}

} // namespace

QString DesktopWords::fill(QStringView text) const
{
    QString out;
    out.reserve(text.size() + 32);
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(u'{', i);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'}', open + 1);
        if (close < 0) {
            out += text.mid(i);
            break;
        }
        out += text.mid(i, open - i);
        const QStringView key = text.mid(open + 1, close - open - 1);
        const QString* word = nullptr;
        bool capital = false;
        for (const Slot& slot : placeholders) {
            // {dock} or {Dock}: only the first letter's case may differ from the name.
            if (key.size() != slot.name.size() || key.mid(1) != slot.name.mid(1)
                || key.front().toLower() != QChar(slot.name.front()))
                continue;
            word = &(this->*slot.word);
            capital = key.front().isUpper();
        }
        if (word) {
            out += capital && !word->isEmpty() ? word->front().toUpper() + word->mid(1) : *word;
        } else {
            out += text.mid(open, close - open + 1);
        }
        i = close + 1;
    }
    return out;
}

const DesktopWords& DesktopWords::current()
{
    return processWords();
}

void DesktopWords::setCurrent(const DesktopWords& words)
{
    processWords() = words;
}

DesktopWords DesktopWords::original()
{
    DesktopWords w;
    w.computer = QStringLiteral("Mac");
    w.systemName = QStringLiteral("macOS");
    w.fileManager = QStringLiteral("Finder");
    w.settingsApp = QStringLiteral("System Settings");
    w.dock = QStringLiteral("Dock");
    w.menuBar = QStringLiteral("menu bar");
    w.applications = QStringLiteral("Applications");
    w.applicationsFolder = QStringLiteral("your Applications folder");
    w.loginItems = QStringLiteral("Login Items");
    w.privacy = QStringLiteral("Privacy & Security");
    return w;
}

DesktopWords DesktopWords::linuxDesktop(const QString& osRelease)
{
    DesktopWords w;
    w.computer = QStringLiteral("computer");
    w.systemName = osReleaseName(osRelease);
    if (w.systemName.isEmpty())
        w.systemName = QSysInfo::kernelType() == QLatin1String("linux") ? QStringLiteral("Linux") : QSysInfo::kernelType();
    w.fileManager = QStringLiteral("Files");
    w.settingsApp = QStringLiteral("Settings");
    w.dock = QStringLiteral("dock or panel");
    w.menuBar = QStringLiteral("top bar");
    w.applications = QStringLiteral("your applications folder");
    w.applicationsFolder = QStringLiteral("the Applications folder in your home folder");
    w.loginItems = QStringLiteral("Startup Applications");
    w.privacy = QStringLiteral("Privacy");
    return w;
}

std::optional<QStringList> DesktopWords::settingsCommand(SettingsPane pane, const QString& desktop)
{
    // The nearest place of each desktop's settings app, by pane in the order of SettingsPane:
    // start-up list, wallpaper, lock screen, date and time, accessibility, screen recording.
    struct Desktop
    {
        std::array<const char*, 4> names; // as in XDG_CURRENT_DESKTOP, lower case
        std::array<const char*, 6> commands;
    };
    static constexpr std::array<Desktop, 3> desktops {{
        {{"gnome", "unity", "budgie", "pantheon"},
         {"gnome-control-center applications", "gnome-control-center background", "gnome-control-center privacy",
          "gnome-control-center datetime", "gnome-control-center privacy", "gnome-control-center privacy"}},
        {{"kde", nullptr, nullptr, nullptr},
         {"systemsettings kcm_autostart", "systemsettings kcm_wallpaper", "systemsettings kcm_screenlocker",
          "systemsettings kcm_clock", "systemsettings", "systemsettings"}},
        {{"xfce", nullptr, nullptr, nullptr},
         {"xfce4-session-settings", "xfdesktop-settings", "xfce4-screensaver-preferences", "xfce4-settings-manager",
          "xfce4-settings-manager", "xfce4-settings-manager"}},
    }};
    // A colon-separated list, most specific first ("ubuntu:GNOME").
    const QStringList names = desktop.toLower().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const Desktop& known : desktops) {
        for (const char* name : known.names) {
            if (name && names.contains(QLatin1StringView(name)))
                return QString::fromLatin1(known.commands[size_t(pane)]).split(QLatin1Char(' '));
        }
    }
    return std::nullopt;
}

bool DesktopWords::openSettings(SettingsPane pane)
{
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const std::optional<QStringList> command = settingsCommand(pane, desktop);
    if (!command) {
        qCInfo(lcDesktopWords).noquote() << "Zentrove: no settings app known for the desktop"
                                         << (desktop.isEmpty() ? QStringLiteral("(unnamed)") : desktop) << "; nothing opened";
        return false;
    }
    if (!QProcess::startDetached(command->first(), command->mid(1))) {
        qCInfo(lcDesktopWords).noquote() << "Zentrove: could not start" << command->join(QLatin1Char(' '));
        return false;
    }
    return true;
}
