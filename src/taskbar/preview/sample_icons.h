#pragma once

#include <QImage>
#include <QString>

// Icons for the apps and places a preview shows: from the desktop's icon theme when it has them,
// otherwise drawn placeholders (a rounded tile in a colour of the app's own, with its initial).
namespace SampleIcons {

// `id` is an app identifier or a layout token ("~trash", "~downloads"); `size` in pixels.
QImage icon(const QString& id, int size);

} // namespace SampleIcons
