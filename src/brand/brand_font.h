#pragma once

#include <QFont>
#include <QString>

// The three families that ship with the product. Each call gives the family's font at that size
// and weight when it is installed (registered at start), else the system font, monospaced for mono.
namespace BrandFont {

inline QString displayFamily() { return QStringLiteral("Bricolage Grotesque"); }
inline QString uiFamily() { return QStringLiteral("IBM Plex Sans"); }
inline QString monoFamily() { return QStringLiteral("IBM Plex Mono"); }

QFont display(double size, QFont::Weight weight = QFont::Normal);
QFont ui(double size, QFont::Weight weight = QFont::Normal);
QFont mono(double size, QFont::Weight weight = QFont::Normal);
// Small labels: the interface family, medium weight.
QFont label(double size);

// Looked up once per family and remembered.
bool isInstalled(const QString& family);

} // namespace BrandFont
