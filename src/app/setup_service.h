#pragma once

#include <QString>

// The first-run setup as start-up needs it. This base knows no steps.
class SetupService
{
public:
    virtual ~SetupService() = default;

    virtual bool isStep(const QString& /*name*/) const { return false; }
    // The step the setup sheet opens on next time it is shown.
    virtual void startAt(const QString& /*step*/) {}
};
