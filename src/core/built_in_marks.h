#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QUuid>
#include <QVariantMap>

#include <functional>
#include <optional>

// Built-ins the user removed, by name, with the id each had, so a restore can give it back.
class RemovedBuiltIns
{
public:
    RemovedBuiltIns(QString domain, QString key) : m_domain(std::move(domain)), m_key(std::move(key)) {}

    // Entries whose value is not UUID text are left out.
    QMap<QString, QUuid> ids() const;
    void remember(const QString& name, const QUuid& id);
    void forget(const QString& name);
    void clear();

    // The shipped items whose name is not the tag of any current item, in shipped order, each
    // made by `make` from the item and the id remembered for its name.
    template<typename Shipped, typename Current, typename Made>
    static QList<Made> missing(const QList<Shipped>& shipped, std::function<QString(const Shipped&)> name,
                               const QList<Current>& current, std::function<std::optional<QString>(const Current&)> tag,
                               const QMap<QString, QUuid>& ids,
                               std::function<Made(const Shipped&, std::optional<QUuid>)> make)
    {
        QSet<QString> present;
        for (const Current& item : current) {
            if (const auto t = tag(item))
                present.insert(*t);
        }
        QList<Made> result;
        for (const Shipped& item : shipped) {
            const QString n = name(item);
            if (present.contains(n))
                continue;
            const auto remembered = ids.constFind(n);
            result.append(make(item, remembered == ids.cend() ? std::nullopt : std::optional<QUuid>(*remembered)));
        }
        return result;
    }

private:
    void store(const QMap<QString, QUuid>& ids);
    QString m_domain;
    QString m_key;
};

// The look of each shipped item as last shipped, by name, so a store can tell when a new version
// of the app ships a different look.
class ShippedBuiltIns
{
public:
    ShippedBuiltIns(QString domain, QString key) : m_domain(std::move(domain)), m_key(std::move(key)) {}

    std::optional<QByteArray> look(const QString& name) const;

    template<typename Item>
    void remember(const QList<Item>& items, std::function<QString(const Item&)> name, std::function<QByteArray(const Item&)> look)
    {
        QVariantMap stored = storedMap();
        for (const Item& item : items)
            stored.insert(name(item), look(item));
        store(stored);
    }

private:
    QVariantMap storedMap() const;
    void store(const QVariantMap& map);
    QString m_domain;
    QString m_key;
};
