#pragma once

#include <QDBusMessage>
#include <QDBusVariant>
#include <QObject>

#include <functional>

// Receives the settings portal's change signal for Appearance (the bus needs a slot by name).
class PortalListener : public QObject
{
    Q_OBJECT
public:
    PortalListener(QString group, QString key, std::function<void(const QVariant&)> take, QObject* parent)
        : QObject(parent)
        , m_group(std::move(group))
        , m_key(std::move(key))
        , m_take(std::move(take))
    {
    }

public slots:
    void onSettingChanged(const QDBusMessage& message)
    {
        const QVariantList args = message.arguments();
        if (args.size() == 3 && args[0].toString() == m_group && args[1].toString() == m_key)
            m_take(args[2]);
    }

private:
    QString m_group;
    QString m_key;
    std::function<void(const QVariant&)> m_take;
};
