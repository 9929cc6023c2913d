#include "app/safety_list_service.h"

#include "services/safety.h"

void SafetyListService::refreshIfDue(std::function<void()> done)
{
    Safety::refreshIfDue(nullptr, std::move(done));
}

std::optional<StandDown> SafetyListService::stoodDown(const QString& partID) const
{
    const auto record = Safety::stoodDown(partID);
    if (!record)
        return std::nullopt;
    return StandDown {record->crashed, record->reason};
}

void SafetyListService::clearStoodDown(const QString& partID)
{
    Safety::clearStoodDown(partID);
}

std::optional<QString> SafetyListService::offMessage(const QString& partShortName) const
{
    return Safety::offMessage(partShortName);
}
