#pragma once

#include "app/setup_step.h"

#include <QString>
#include <QStringList>

#include <optional>

// The setup's fixed texts. Texts that name the desktop's own things come filled with the desktop
// words in use.
namespace SetupTexts {

QString title(SetupStep step);
// The paragraph under the title; empty for the done step, whose texts follow its outcome.
QString intro(SetupStep step);

// A shipped ensemble's three lines (wallpaper, clock, bar), by its built-in name; none for others.
std::optional<QStringList> builtInLines(const QString& builtInName);

// The rows of the changes step, by part.
QString partTitle(const QString& partID);
// The icon name of a part's row.
QString partIcon(const QString& partID);
// `name` is the picked ensemble's name, or none.
QString wallpaperDetail(const std::optional<QString>& name, bool lockScreen);
QString clockDetail(const std::optional<QString>& name);
QString taskbarDetail(const std::optional<QString>& name, bool chosen, bool dockApps);

// The note about the system's own lock screen clock.
QString systemClockTitle();
QString systemClockText();
// Where the setting lives in the desktop's settings app.
QString systemClockPlace();

// The two rows of the permissions step.
struct Permission
{
    QString icon;
    QString title;
    QString why;
    QString without;
    QString how;
};
Permission accessibility();
Permission fullDiskAccess();

// The done step: a headline and a line under it.
QString nothingOnTitle();
QString nothingOnText();
QString lateTitle();
QString lateText();
QString startedTitle();
QString startedText();
QString partLate(const QString& partName);
QString needsApproval();
QString openLoginItems();
QString lockScreenProgress(double fraction);
QString lockScreenSetupTitle();

} // namespace SetupTexts
