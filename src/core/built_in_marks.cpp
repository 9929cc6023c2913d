#include "core/built_in_marks.h"

#include "core/record_json.h"
#include "platform/defaults.h"

QMap<QString, QUuid> RemovedBuiltIns::ids() const
{
    QMap<QString, QUuid> result;
    const auto stored = Defaults::domain(m_domain).dictionary(m_key);
    if (!stored)
        return result;
    for (auto it = stored->cbegin(); it != stored->cend(); ++it) {
        if (it.value().typeId() != QMetaType::QString)
            continue;
        if (const auto id = RecordJson::parseUuid(QStringView(it.value().toString())))
            result.insert(it.key(), *id);
    }
    return result;
}

void RemovedBuiltIns::store(const QMap<QString, QUuid>& ids)
{
    if (ids.isEmpty()) {
        clear();
        return;
    }
    QVariantMap map;
    for (auto it = ids.cbegin(); it != ids.cend(); ++it)
        map.insert(it.key(), RecordJson::uuidText(it.value()));
    Defaults::domain(m_domain).set(m_key, map);
}

void RemovedBuiltIns::remember(const QString& name, const QUuid& id)
{
    QMap<QString, QUuid> current = ids();
    current.insert(name, id);
    store(current);
}

void RemovedBuiltIns::forget(const QString& name)
{
    QMap<QString, QUuid> current = ids();
    if (current.remove(name))
        store(current);
}

void RemovedBuiltIns::clear()
{
    Defaults::domain(m_domain).remove(m_key);
}

std::optional<QByteArray> ShippedBuiltIns::look(const QString& name) const
{
    const QVariant value = storedMap().value(name);
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

QVariantMap ShippedBuiltIns::storedMap() const
{
    return Defaults::domain(m_domain).dictionary(m_key).value_or(QVariantMap {});
}

void ShippedBuiltIns::store(const QVariantMap& map)
{
    Defaults::domain(m_domain).set(m_key, map);
}
