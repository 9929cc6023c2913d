#pragma once

#include "platform/font_face.h"

#include <QString>
#include <QStringList>

#include <optional>

// The font families offered to the user. Each list is computed once per process.
namespace FontLibrary {

// Well-known display families, those of them that are installed, in a fixed order.
const QStringList& curated();
// The families that ship with the application: display, interface, monospaced.
const QStringList& bundled();
// Every other family the user installed (not hidden, curated, bundled or part of the system),
// sorted case-insensitively by the locale's rules.
const QStringList& userInstalled();

// The family's member at the font manager's integer weight (2 to 11), falling back to the regular
// weight, then to a face of that name.
std::optional<FontFace> font(const QString& family, int managerWeight, double size);

// The 100...900 weight of a font manager weight.
int weightForManagerWeight(int managerWeight);

} // namespace FontLibrary
