#pragma once

#include "platform/bundle.h"

#include <QString>

// The identifiers every process of the product shares.
namespace Zentrove {

inline QString bundleID() { return QStringLiteral("app.zentrove"); }
inline QString paneflowID() { return QStringLiteral("app.zentrove.paneflow"); }
inline QString vizaVedidID() { return QStringLiteral("app.zentrove.vizavedid"); }
inline QString taskbarID() { return QStringLiteral("app.zentrove.taskbar"); }
// Posted with a page name as object to bring the control app's window to that page.
inline QString showNotification() { return bundleID() + QStringLiteral(".show"); }
// Where the control app is installed, the same from the app and from its parts.
inline QString hubURL() { return Bundle::hubPath(); }

} // namespace Zentrove
