#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The places of the desktop's settings app that the product sends the user to.
enum class SettingsPane { loginItems, wallpaper, lockScreen, dateTime, accessibility, screenRecording };

// What the desktop calls its own things. Every text that names the computer, the system, the file
// manager, the settings app, the dock, the top bar, the apps folder, the start-up list or the
// privacy settings is written with {placeholders} and filled from here, so it reads the way the
// user's own desktop names them.
class DesktopWords
{
public:
    // The computer as a noun ("this {computer}", "the {computer}").
    QString computer;
    // The operating system's name ("the distribution's name").
    QString systemName;
    QString fileManager;
    QString settingsApp;
    // The strip of app icons along an edge ("the {dock}").
    QString dock;
    // The bar along the top of the screen ("the {menuBar}").
    QString menuBar;
    // The folder apps are installed in.
    QString applications;
    // The same folder as a place one lives in ("live in {applicationsFolder}").
    QString applicationsFolder;
    // The settings list of apps that start at log-in.
    QString loginItems;
    // The settings section where apps are given permissions.
    QString privacy;

    // Replaces each {name} with the word of that name and each {Name} with it capitalised (for a
    // word at the start of a sentence). Unknown names are left as they are.
    QString fill(QStringView text) const;

    // The words of the running desktop; the first use decides them for the process unless
    // setCurrent() replaced them.
    static const DesktopWords& current();
    // Replaces the process's words (tests; a second backend).
    static void setCurrent(const DesktopWords& words);
    // The words the product's texts were first written with; filled with these, every text reads
    // exactly as the product's own original wording.
    static DesktopWords original();
    // A Linux desktop's words, naming the system after the os-release file at `osRelease`.
    static DesktopWords linuxDesktop(const QString& osRelease = QStringLiteral("/etc/os-release"));

    // The command that opens the settings app of `desktop` (as in XDG_CURRENT_DESKTOP) closest to
    // `pane`; none when that desktop has no settings app the product knows.
    static std::optional<QStringList> settingsCommand(SettingsPane pane, const QString& desktop);
    // Opens the running desktop's settings app near `pane`. False, with a log line, when there is
    // none to open.
    static bool openSettings(SettingsPane pane);
};
