#pragma once

#include "app/safety_service.h"

// The control app's view of the safety list, over the list and records the Safety functions keep.
class SafetyListService : public SafetyService
{
public:
    void refreshIfDue(std::function<void()> done) override;
    std::optional<StandDown> stoodDown(const QString& partID) const override;
    void clearStoodDown(const QString& partID) override;
    std::optional<QString> offMessage(const QString& partShortName) const override;
};
