#pragma once

#include <QString>

#include <optional>

// The steps of the first-run setup, in the order they can be shown.
enum class SetupStep { look, changes, permissions, done };

namespace SetupSteps {
// "look", "changes", "permissions", "done".
QString rawValue(SetupStep step);
std::optional<SetupStep> fromRawValue(const QString& raw);
} // namespace SetupSteps
