#pragma once

#include "platform/defaults.h"

#include <QStringList>

// A defaults key holding an array of strings; elements of other types are skipped.
inline QStringList readStringList(const Defaults& defaults, const QString& key)
{
    QStringList strings;
    for (const QVariant& value : defaults.array(key).value_or(QVariantList {})) {
        if (value.typeId() == QMetaType::QString)
            strings.append(value.toString());
    }
    return strings;
}

inline void writeStringList(Defaults& defaults, const QString& key, const QStringList& strings)
{
    QVariantList values;
    values.reserve(strings.size());
    for (const QString& s : strings)
        values.append(s);
    defaults.set(key, values);
}
