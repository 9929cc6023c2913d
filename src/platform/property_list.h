#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

// Property lists (XML or binary) to and from QVariant trees: bool, qlonglong, double, QString,
// QByteArray, QDateTime, QVariantList and QVariantMap.
namespace PropertyList {

// Deeper documents are refused before they reach the parser, binary ones included.
inline constexpr int maxDepth = 128;

// nullopt for anything that is not a well-formed property list, is nested too deeply, or is a
// binary one the parser cannot take safely (cycles, objects shared past any tree's size, keys
// holding a NUL). Strings are read whole, NUL characters included.
std::optional<QVariant> parse(const QByteArray& bytes);
// Empty when the value holds a type a property list cannot carry. Strings are written up to
// their first NUL character: the library stores them as C strings.
QByteArray toXml(const QVariant& value);
QByteArray toBinary(const QVariant& value);

} // namespace PropertyList
