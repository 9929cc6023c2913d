#pragma once

#include <QColor>

// The product's fixed dark palette and the sizes every page shares.
namespace Brand {

// Opaque sRGB unless noted.
inline QColor base() { return QColor(0x1A, 0x1B, 0x1E); }       // page background
inline QColor sidebar() { return QColor(0x14, 0x15, 0x17); }    // sidebar
inline QColor line() { return QColor(0x2C, 0x2D, 0x31); }       // separators, outlines
inline QColor raised() { return QColor::fromRgbF(1, 1, 1, 0.035f); } // raised boxes and cards
inline QColor text() { return QColor(0xE9, 0xE6, 0xE1); }       // text
inline QColor muted() { return QColor(0x8F, 0x8C, 0x87); }      // secondary text
inline QColor off() { return QColor(0x3A, 0x3B, 0x40); }        // switched-off controls
inline QColor ok() { return QColor(0x6F, 0xD1, 0x9A); }         // success states
inline QColor warning() { return QColor(0xF3, 0xB7, 0x65); }    // warnings
inline QColor failure() { return QColor(0xFF, 0x6B, 0x6B); }    // failures

inline constexpr double radius = 8;
inline constexpr double pagePadding = 30;

// Registers every font file shipped in the resources' "fonts" folder for this process, so the
// brand families resolve in Qt text and in the clock's own glyph drawing. Each file that cannot
// be registered is logged as "Zentrove: font not registered: <reason>". Returns how many were
// registered. Call once at start; later calls do nothing.
int registerFonts();
// Same, from an explicit folder (tests, tools). Not guarded against repeats.
int registerFonts(const QString& folder);
// The shipped fonts folder: share/zentrove/fonts of the install prefix or the build tree.
QString fontsFolder();

} // namespace Brand
