#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

// Property lists (XML or binary) to and from QVariant trees: bool, qlonglong, double, QString,
// QByteArray, QDateTime, QVariantList and QVariantMap.
namespace PropertyList {

// Deeper documents are refused before they reach the parser.
inline constexpr int maxDepth = 128;

// nullopt for anything that is not a well-formed property list (or is nested too deeply).
std::optional<QVariant> parse(const QByteArray& bytes);
// Empty when the value holds a type a property list cannot carry.
QByteArray toXml(const QVariant& value);
QByteArray toBinary(const QVariant& value);

} // namespace PropertyList
