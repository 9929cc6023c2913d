#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What the desktop knows about installed applications, as far as the pinned apps need it.
struct AppCatalog
{
    // Whether an application with this identifier is installed.
    std::function<bool(const QString& id)> knows;
    // The identifier of the application at a file URL; none when there is none.
    std::function<std::optional<QString>(const QString& url)> identifierAt;

    // The desktop's applications: a desktop entry "<id>.desktop" in the XDG application folders
    // means the app is installed; a URL names an app through its desktop entry file or an app
    // bundle's Info.plist.
    static AppCatalog system();
};

// The Dock's own list of pinned apps, read from its settings domain "com.apple.dock".
namespace DockApps {

inline QString domain() { return QStringLiteral("com.apple.dock"); }

// The pinned apps and spacers in Dock order; none when the Dock has no list, or its list holds no
// installed app other than the file manager.
std::optional<QStringList> layout(const AppCatalog& apps = AppCatalog::system());

} // namespace DockApps
