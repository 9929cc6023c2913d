#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Names that differ from every taken name, ignoring case and surrounding white space:
// "Sunset" among "sunset " gives "Sunset 2"; "Sunset 2" among "Sunset", "Sunset 2" gives "Sunset 3".
namespace UniqueName {

QString make(const QString& name, const QStringList& among);

// Makes each item's name unique in turn, each new name joining the taken ones, so a batch gets
// distinct names. `name` is a pointer to the item's name member.
template<typename Item>
void fix(QList<Item>& items, QString Item::*name, QStringList among)
{
    for (Item& item : items) {
        item.*name = make(item.*name, among);
        among.append(item.*name);
    }
}

} // namespace UniqueName
