#pragma once

#include "core/built_in_marks.h"
#include "core/unique_name.h"
#include "platform/defaults.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <algorithm>
#include <optional>

// The lifecycle of the named looks a store ships with (clock presets, bar styles): each is seeded
// once into the user's list with a built-in mark, follows what ships while the user leaves it as
// shipped, is offered back after a delete with the id it had, and can be reset to its shipped look.
// The store owns the list; it writes, announces and signals after each call that changed it, and
// keeps to itself what is its own (which look is active, what counts as edited).
//
// Look has `id` (QUuid), `name` (QString) and `builtIn` (std::optional<QString>, the shipped name).
// Traits gives:
//   static const QList<Look>& shipped();                  the shipped looks, in shipped order
//   static bool sameLook(const Look& a, const Look& b);    equal looks, identity aside
//   static Look withLookOf(Look identity, const Look& look); identity's id, name and mark, look's look
//   static QByteArray encode(const Look& look);            the look as recorded when it shipped
//   static std::optional<Look> decode(const QByteArray&);  nullopt when unreadable
template<typename Look, typename Traits>
class ShippedLooks
{
public:
    // Where the bookkeeping lives in the store's settings domain.
    struct Keys
    {
        QString seeded;  // names of the shipped looks ever added
        QString removed; // deleted built-ins, name to id
        QString shipped; // the look each shipped with last time, by name
    };

    ShippedLooks(QString domain, Keys keys) : m_domain(std::move(domain)), m_keys(std::move(keys)) {}

    static QStringList names(const QList<Look>& list, const std::optional<QUuid>& except = std::nullopt)
    {
        QStringList result;
        for (const Look& look : list)
            if (!except || look.id != *except)
                result.append(look.name);
        return result;
    }

    static qsizetype indexOf(const QList<Look>& list, const QUuid& id)
    {
        for (qsizetype i = 0; i < list.size(); ++i)
            if (list[i].id == id)
                return i;
        return -1;
    }

    static std::optional<Look> shippedNamed(const QString& name)
    {
        for (const Look& look : Traits::shipped())
            if (look.name == name)
                return look;
        return std::nullopt;
    }

    // Adds each shipped look never seeded before whose id is not in the list, marked and uniquely
    // named, and records the names seeded. True when the list changed.
    bool seed(QList<Look>& list) const
    {
        Defaults& domain = Defaults::domain(m_domain);
        QStringList seeded;
        for (const QVariant& name : domain.array(m_keys.seeded).value_or(QVariantList()))
            if (name.typeId() == QMetaType::QString)
                seeded.append(name.toString());
        const QStringList before = seeded;
        bool added = false;
        for (const Look& shipped : Traits::shipped()) {
            if (seeded.contains(shipped.name))
                continue;
            if (indexOf(list, shipped.id) < 0) {
                Look copy = shipped;
                copy.builtIn = shipped.name;
                copy.name = UniqueName::make(shipped.name, names(list));
                list.append(copy);
                added = true;
            }
            seeded.append(shipped.name);
        }
        if (seeded != before || !domain.contains(m_keys.seeded))
            domain.set(m_keys.seeded, QVariantList(seeded.cbegin(), seeded.cend()));
        return added;
    }

    struct Refreshed
    {
        Look before;
        Look after;
    };

    // Gives each built-in that still looks as it last shipped the look that ships now (one the
    // user edited keeps the edits), and records what ships now. The looks it changed.
    QList<Refreshed> refresh(QList<Look>& list) const
    {
        ShippedBuiltIns record(m_domain, m_keys.shipped);
        QList<Refreshed> changed;
        for (Look& look : list) {
            if (!look.builtIn)
                continue;
            const std::optional<Look> now = shippedNamed(*look.builtIn);
            const std::optional<QByteArray> lastData = record.look(*look.builtIn);
            const std::optional<Look> last = lastData ? Traits::decode(*lastData) : std::nullopt;
            if (!now || !last || !Traits::sameLook(*last, look))
                continue; // edited by the user, or never recorded: keep it
            const Look updated = Traits::withLookOf(look, *now);
            if (Traits::sameLook(updated, look))
                continue;
            changed.append({look, updated});
            look = updated;
        }
        const QList<Look>& shipped = Traits::shipped();
        const bool known = std::all_of(shipped.cbegin(), shipped.cend(),
                                       [&](const Look& look) { return record.look(look.name) == Traits::encode(look); });
        if (!known)
            record.remember<Look>(shipped, [](const Look& look) { return look.name; }, &Traits::encode);
        return changed;
    }

    // The shipped looks no item of the list is marked with, each with its mark and the id it had
    // when it was deleted (else its shipped id). One whose id another item has taken is left out,
    // so a restore never makes two items with one id.
    QList<Look> missing(const QList<Look>& list) const
    {
        QList<Look> result = RemovedBuiltIns::missing<Look, Look, Look>(
            Traits::shipped(), [](const Look& look) { return look.name; }, list,
            [](const Look& look) { return look.builtIn; }, removed().ids(),
            [](const Look& shipped, std::optional<QUuid> id) {
                Look restored = shipped;
                restored.id = id.value_or(shipped.id);
                restored.builtIn = shipped.name;
                return restored;
            });
        result.removeIf([&](const Look& look) { return indexOf(list, look.id) >= 0; });
        return result;
    }

    // Adds every missing look back, uniquely named. True when the list changed.
    bool restoreAll(QList<Look>& list) const
    {
        QList<Look> restored = missing(list);
        if (restored.isEmpty())
            return false;
        UniqueName::fix(restored, &Look::name, names(list));
        RemovedBuiltIns marks = removed();
        for (const Look& look : restored)
            marks.forget(*look.builtIn);
        list.append(restored);
        return true;
    }

    // Adds back the missing look shipped as `name`, uniquely named; nullopt when none is missing
    // under that name.
    std::optional<Look> restore(QList<Look>& list, const QString& name) const
    {
        for (Look look : missing(list)) {
            if (look.builtIn != name)
                continue;
            look.name = UniqueName::make(look.name, names(list));
            removed().forget(name);
            list.append(look);
            return look;
        }
        return std::nullopt;
    }

    // The item with the look it shipped with, when it is a built-in whose look differs from that.
    std::optional<Look> original(const QList<Look>& list, const QUuid& id) const
    {
        const qsizetype at = indexOf(list, id);
        if (at < 0 || !list[at].builtIn)
            return std::nullopt;
        const std::optional<Look> shipped = shippedNamed(*list[at].builtIn);
        if (!shipped || Traits::sameLook(*shipped, list[at]))
            return std::nullopt;
        return Traits::withLookOf(list[at], *shipped);
    }

    // Gives the item its shipped look back; the item as it is now, or nullopt when nothing changed.
    std::optional<Look> reset(QList<Look>& list, const QUuid& id) const
    {
        const std::optional<Look> shipped = original(list, id);
        if (!shipped)
            return std::nullopt;
        list[indexOf(list, id)] = *shipped;
        return shipped;
    }

    // Renames the item to the trimmed name, made unique among the others. False when there is no
    // such item or the name is blank.
    static bool rename(QList<Look>& list, const QUuid& id, const QString& name)
    {
        const QString trimmed = name.trimmed();
        const qsizetype at = indexOf(list, id);
        if (at < 0 || trimmed.isEmpty())
            return false;
        list[at].name = UniqueName::make(trimmed, names(list, id));
        return true;
    }

    // Removes the item; a built-in's id is remembered so a restore gives it back. False when there
    // is no such item.
    bool remove(QList<Look>& list, const QUuid& id) const
    {
        const qsizetype at = indexOf(list, id);
        if (at < 0)
            return false;
        if (list[at].builtIn)
            removed().remember(*list[at].builtIn, id);
        list.removeAt(at);
        return true;
    }

private:
    RemovedBuiltIns removed() const { return RemovedBuiltIns(m_domain, m_keys.removed); }

    QString m_domain;
    Keys m_keys;
};
