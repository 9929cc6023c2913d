#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// A login item's state as the session sees it. The numbers are stable: they are shown and logged.
enum class LoginItemStatus {
    notRegistered = 0,
    enabled = 1,
    requiresApproval = 2, // registered, but switched off in the desktop's start-up settings
    notFound = 3,         // the item's program is missing
};

// Programs the session starts at login, one per identifier.
class LoginItems
{
public:
    // Empty on success, else the system's description of the failure.
    using Failure = std::optional<QString>;

    virtual ~LoginItems() = default;

    virtual LoginItemStatus status(const QString& identifier) const = 0;
    virtual Failure registerItem(const QString& identifier) = 0;
    virtual Failure unregisterItem(const QString& identifier) = 0;
    // Unregisters and calls `done` on a later main-loop turn.
    virtual void unregisterLater(const QString& identifier, std::function<void(Failure)> done) = 0;
    // Shows the desktop's own start-up settings, where the user allows or blocks login items.
    virtual void openSettings() = 0;

    // The backend of this platform: XDG autostart entries that start the agents of Bundle.
    static std::unique_ptr<LoginItems> makeSystem();
};
