#pragma once

#include <QList>
#include <QString>

#include <optional>

// The pages of the main window, in sidebar order.
enum class Page { looks, settings, paneflow, vizavedid, taskbar };

namespace Pages {
QList<Page> all();
QString rawValue(Page page);
std::optional<Page> fromRawValue(const QString& raw);
} // namespace Pages
