#pragma once

#include <QString>

#include <functional>
#include <optional>

// Why a part stood down on its own: the safety list switched it off, or it kept crashing.
struct StandDown
{
    bool crashed = false;
    QString reason;

    bool operator==(const StandDown&) const = default;
};

// The safety list as the control app consults it. This base answers "nothing stood down, nothing
// is switched off" and has nothing to refresh.
class SafetyService
{
public:
    virtual ~SafetyService() = default;

    // Fetches the list when it is due; `done` runs on the main thread afterwards.
    virtual void refreshIfDue(std::function<void()> done) { done(); }
    virtual std::optional<StandDown> stoodDown(const QString& /*partID*/) const { return std::nullopt; }
    virtual void clearStoodDown(const QString& /*partID*/) {}
    // The text that switches the part off on this system, if the list says so.
    virtual std::optional<QString> offMessage(const QString& /*partShortName*/) const { return std::nullopt; }
};
