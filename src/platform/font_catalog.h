#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The font families this process can use: the system's plus the files registered with FontFiles.
namespace FontCatalog {

// Every family name, as the font system reports them (unsorted, no duplicates).
QStringList families();
// Whether the family has at least one member (case-insensitive).
bool hasFamily(const QString& family);
// The file of the family's first member, if any.
std::optional<QString> firstMemberFile(const QString& family);
// Whether a font file belongs to the operating system rather than the user or an application.
bool isSystemFile(const QString& path);

} // namespace FontCatalog
