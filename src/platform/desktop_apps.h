#pragma once

#include <QList>
#include <QString>

#include <optional>

// An application the desktop lists: its desktop entry's id (the file name without ".desktop"),
// its name and its icon (a theme icon name or an absolute file path; empty when it has none).
struct DesktopApp
{
    QString id;
    QString name;
    QString icon;

    bool operator==(const DesktopApp&) const = default;
};

// The parts of a desktop every user has one of, whichever program plays them here.
enum class DesktopRole { fileManager, webBrowser, settings };

// The applications of the XDG application folders, as far as pinning them needs.
namespace DesktopApps {

// Every application entry that is meant to be shown (not hidden, not NoDisplay), by name. An
// entry in an earlier folder hides one of the same id in a later folder.
QList<DesktopApp> installed();
// The entry of one id; none when no folder has it.
std::optional<DesktopApp> find(const QString& id);
// Reads one entry file; none when it is not an application entry that can be read.
std::optional<DesktopApp> read(const QString& path);
// The app playing a role: the user's default from the XDG mimeapps lists, else the first
// well-known program installed; else a stand-in with an empty id, the role's name and a theme icon.
DesktopApp forRole(DesktopRole role);

} // namespace DesktopApps
