#include "app/menu_bar_setting.h"

#include "menubar/zentrove_menu_bar.h"

MenuBarSetting::MenuBarSetting(QObject* parent)
    : MenuBarService(parent)
{
    m_observer = Notifier::observe(ZentroveMenuBar::shownChanged(), [this](const std::optional<QString>&) { emit shownChanged(); });
}

bool MenuBarSetting::isShown() const
{
    return ZentroveMenuBar::isShown();
}

void MenuBarSetting::setShown(bool shown)
{
    ZentroveMenuBar::setShown(shown);
}
