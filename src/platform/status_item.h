#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

// One icon in the desktop's status area (the tray), present for as long as the object lives.
//
// The icon is a mask: only its alpha counts, and the backend tints it for the panel it sits on,
// light on a dark panel and dark on a light one.
class StatusItem : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~StatusItem() override = default;

    // The same picture at several sizes (device pixels), smallest first.
    virtual void setIcon(const QList<QImage>& masks) = 0;
    // Read aloud and shown as the item's tool tip.
    virtual void setAccessibleName(const QString& name) = 0;
    // Whether the desktop has accepted the item (there is a status area to show it in).
    virtual bool isRegistered() const = 0;

    // The process's backend: `identifier` names the item to the desktop (the process's identifier).
    static std::unique_ptr<StatusItem> make(const QString& identifier);
    // Replaces the backend for this process (tests); an empty function restores the system one.
    static void setFactory(std::function<std::unique_ptr<StatusItem>(const QString&)> factory);

signals:
    // The user clicked the item. `at` is the click's place on the screen, or null when the
    // desktop does not tell.
    void activated(QPoint at);
    void registeredChanged(bool registered);
};
