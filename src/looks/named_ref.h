#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// The id and name of a clock preset or taskbar theme, read from the record that owns it (any
// other keys of the record are ignored).
struct NamedRef
{
    QUuid id;
    QString name;

    bool operator==(const NamedRef&) const = default;

    // A whole JSON array of presets or themes; empty unless every element has both fields.
    static QList<NamedRef> decodeList(const QByteArray& bytes);
};

inline size_t qHash(const NamedRef& ref, size_t seed = 0)
{
    return qHashMulti(seed, ref.id, ref.name);
}

// Pairs an ensemble name with a preset or theme name, ignoring case, accents and surrounding
// white space: equal names, or one name followed by a space and more words ("Dusk" and
// "Dusk Glow", not "Dusky"). Among several candidates the longest name wins, the earliest of
// equally long ones.
std::optional<NamedRef> nameMatch(const QString& ensembleName, const QList<NamedRef>& refs);

// Case and diacritic folding without a locale, trimmed.
QString foldedName(const QString& name);
