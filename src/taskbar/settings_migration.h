#pragma once

#include <QJsonObject>

// Rewrites the keys older versions of the bar stored into today's keys, in place.
namespace SettingsMigration {

// Applied to a stored settings object before it is merged over the defaults. Each step only
// acts when today's key is not already there, so a record written now is left as it is.
void migrate(QJsonObject& stored);

} // namespace SettingsMigration
