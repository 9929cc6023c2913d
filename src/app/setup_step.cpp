#include "app/setup_step.h"

#include <array>

namespace {
constexpr std::array<const char*, 4> rawValues {"look", "changes", "permissions", "done"};
} // namespace

QString SetupSteps::rawValue(SetupStep step)
{
    return QString::fromLatin1(rawValues[size_t(step)]);
}

std::optional<SetupStep> SetupSteps::fromRawValue(const QString& raw)
{
    for (size_t i = 0; i < rawValues.size(); ++i)
        if (raw == QLatin1StringView(rawValues[i]))
            return SetupStep(i);
    return std::nullopt;
}
