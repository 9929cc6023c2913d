#pragma once

#include <QImage>
#include <QString>

// Icons for the apps and places a preview shows: from the desktop's icon theme when it has them,
// otherwise drawn placeholders (a rounded tile in a colour of the app's own, with its initial).
namespace SampleIcons {

// `id` is an app identifier or a layout token ("~trash", "~downloads"); `size` in pixels.
QImage icon(const QString& id, int size);

// Without a desktop platform theme (headless renders) Qt knows no icon folders: points it at the
// freedesktop ones, so QIcon::fromTheme finds what the desktop would.
void useAThemeWhenNoneIsSet();

} // namespace SampleIcons
