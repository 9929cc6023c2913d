#pragma once

#include "platform/desktop_apps.h"

#include <QString>
#include <QStringList>

#include <optional>

// The bar's item layout is an ordered list of strings: an app by its identifier, or a token that
// begins with "~".
namespace LayoutToken {

inline QString running() { return QStringLiteral("~running"); }
inline QString trash() { return QStringLiteral("~trash"); }
inline QString downloads() { return QStringLiteral("~downloads"); }
inline QString dividerPrefix() { return QStringLiteral("~divider:"); }
inline QString spacerPrefix() { return QStringLiteral("~spacer:"); }
inline QString folderPrefix() { return QStringLiteral("~folder:"); }

// Each made with 8 characters of a new UUID, so every divider and spacer is distinct.
QString newDivider();
QString newSpacer();

bool isDivider(const QString& item);
bool isSpacer(const QString& item);
bool isApp(const QString& item);

// The standardised absolute path of a folder ("." and ".." resolved, no trailing "/"); a relative
// path is taken from the current folder.
QString standardisedPath(const QString& path);
// "~folder:" + the standardised path.
QString folder(const QString& path);
// The folder a "~folder:" token names, standardised; none for other strings, and for a token
// whose path is empty or relative (it cannot name a folder reliably).
std::optional<QString> folderURL(const QString& item);

// The apps pinned when nothing else is known.
QStringList defaultPinnedApps();
// The stored identities of the apps a fresh layout pins stand for this desktop's file manager,
// browser and settings: the role an app item plays, if it is one of them.
std::optional<DesktopRole> systemRole(const QString& item);
// A new layout: the pinned apps, then running apps, a divider, Downloads and the Trash.
QStringList freshLayout(const QStringList& pinned);
// The layout with the tokens it must always hold: "~running" and "~trash" appended when missing,
// "~downloads" inserted before the first "~trash" when missing.
QStringList withFixedTokens(QStringList layout);

} // namespace LayoutToken
