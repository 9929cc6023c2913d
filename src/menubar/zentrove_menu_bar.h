#pragma once

#include "menubar/ensemble_menu.h"
#include "menubar/ensemble_menu_model.h"
#include "platform/notifier.h"

#include <QImage>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class MenuBarPopover;
class Workspace;

// The menu bar item of one process. Of all running parts exactly one shows it: the first in
// `order()` that runs (this process counts as running). The setting "showMenuBarItem" of the
// control app's domain turns it off everywhere at once.
class ZentroveMenuBar : public QObject
{
    Q_OBJECT
public:
    // Builds the popover's content each time the item is made.
    using Content = std::function<std::unique_ptr<EnsembleMenu>(ZentroveMenuBar&)>;

    // `quitSelf` ends this process once the other parts were asked to quit.
    ZentroveMenuBar(Content content, Workspace& workspace, std::function<void()> quitSelf, QObject* parent = nullptr);
    ~ZentroveMenuBar() override;

    // The precedence for owning the item.
    static QStringList order();
    // Posted with "1" or "0" when the setting changes.
    static QString shownChanged();
    static QString shownKey() { return QStringLiteral("showMenuBarItem"); }
    static QString olderKey() { return QStringLiteral("showMenuBarIcon"); }
    // The setting; absent or unreadable, the older keys of the live-wallpaper and clock parts decide
    // (hidden only when both say so), then shown.
    static bool isShown();
    // Stores the setting and tells every process.
    static void setShown(bool shown);

    EnsembleMenuModel& model() { return m_model; }
    bool shown() const { return m_shown; }
    // The item while this process shows it.
    MenuBarPopover* item() const { return m_item.get(); }

    // Shows or removes the item as the setting and the running parts say.
    void update();

    bool paused() const { return m_paused; }
    void setPaused(bool paused);

    // The item's picture, a mask of 18 x 18 points at `scale` device pixels per point.
    static QImage icon(bool paused, double scale = 1);
    static QString accessibleName(bool paused);

    // The rows' actions, for contents built by the hosting process.
    MenuActions actions();
    void openZentrove();
    void sendFeedback();
    // Asks every other running part to quit, then ends this process.
    static void quitZentrove(Workspace& workspace, const std::function<void()>& quitSelf);

signals:
    void itemChanged(bool shown);

private:
    void showItem();
    void removeItem();
    QList<QImage> icons() const;

    Content m_content;
    Workspace& m_workspace;
    std::function<void()> m_quitSelf;
    EnsembleMenuModel m_model;
    std::unique_ptr<MenuBarPopover> m_item;
    bool m_shown = true;
    bool m_paused = false;
    bool m_updateQueued = false;
    NoticeToken m_shownObserver;
};
