#include "app/setup_start.h"

bool SetupStart::isStep(const QString& name) const
{
    return SetupSteps::fromRawValue(name).has_value();
}

void SetupStart::startAt(const QString& step)
{
    // A name that is no step leaves the start as it was.
    if (const std::optional<SetupStep> known = SetupSteps::fromRawValue(step))
        m_first = known;
}
