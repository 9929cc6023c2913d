#pragma once

#include "app/setup_step.h"

#include <QString>

#include <optional>

// The first-run setup as start-up needs it. This base knows no steps.
class SetupService
{
public:
    virtual ~SetupService() = default;

    virtual bool isStep(const QString& /*name*/) const { return false; }
    // The step the setup sheet opens on next time it is shown.
    virtual void startAt(const QString& /*step*/) {}
    // The step set by startAt(); none: the first step.
    virtual std::optional<SetupStep> firstStep() const { return std::nullopt; }
};
