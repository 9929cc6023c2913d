#pragma once

#include <QObject>

// The menu bar item's on/off choice. This base shows no item and keeps no choice.
class MenuBarService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isShown() const { return false; }
    virtual void setShown(bool /*shown*/) {}

signals:
    void shownChanged();
};
