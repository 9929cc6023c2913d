#pragma once

#include "core/settings_sync.h"

#include <QString>

#include <utility>

// The one rule every persistent store property follows: assign; unless the store is reloading,
// write the value and announce the domain (coalesced per main-loop turn); then tell observers.
// A value equal to the current one changes nothing and emits nothing. A store that does not sync
// (a private copy) writes without announcing.
class ChangeRule
{
public:
    explicit ChangeRule(QString domain, bool announces = true) : m_domain(std::move(domain)), m_announces(announces) {}

    const QString& domain() const { return m_domain; }
    bool isReloading() const { return m_reloading; }

    // `write` persists the new value; `notify` emits the property's change signal.
    template<typename T, typename U, typename Write, typename Notify>
    bool assign(T& field, U&& value, Write&& write, Notify&& notify)
    {
        if (field == value)
            return false;
        field = std::forward<U>(value);
        if (!m_reloading) {
            write();
            if (m_announces)
                SettingsSync::changed(m_domain);
        }
        notify();
        return true;
    }

    // Announce a write made outside assign (a file, several keys at once).
    void announce()
    {
        if (!m_reloading && m_announces)
            SettingsSync::changed(m_domain);
    }

    // Runs `body` with writes and announcements switched off: reloads assign only.
    template<typename Body>
    void reloading(Body&& body)
    {
        const bool was = std::exchange(m_reloading, true);
        body();
        m_reloading = was;
    }

private:
    QString m_domain;
    bool m_announces = true;
    bool m_reloading = false;
};
