#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Font files this process adds to the ones the system offers. Registered files take part in every
// lookup: Qt text, the family lists and the glyph drawing of FontFace.
namespace FontFiles {

// Registers one font file for this process. nullopt on success, else the reason it failed.
std::optional<QString> registerFile(const QString& path);

// The font files (by suffix) directly inside a folder, sorted by name.
QStringList fontFilesIn(const QString& folder);

} // namespace FontFiles
