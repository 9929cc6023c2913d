#pragma once

#include "app/menu_bar_service.h"
#include "platform/notifier.h"

// The menu bar item's on/off choice as the parts read it: stored in the app's own settings and
// announced to every running part. Follows changes made by other processes too.
class MenuBarSetting : public MenuBarService
{
    Q_OBJECT
public:
    explicit MenuBarSetting(QObject* parent = nullptr);

    bool isShown() const override;
    void setShown(bool shown) override;

private:
    NoticeToken m_observer;
};
