#pragma once

#include <QObject>

#include <functional>

class QMenuBar;

// The app's menus: Zentrove, Edit, Window, Help. Built once at launch and attached to each
// window that has a menu bar.
class AppMenu : public QObject
{
    Q_OBJECT
public:
    struct Actions
    {
        std::function<void()> about;
        std::function<void()> checkForUpdates;
        std::function<void()> settings;
        std::function<void()> uninstall;
        std::function<void()> hide;
        std::function<void()> quit;
        std::function<void()> minimize;
        std::function<void()> close;
        std::function<void()> help;
        std::function<void()> feedback;
    };

    AppMenu(Actions actions, QObject* parent = nullptr);

    void attach(QMenuBar* bar) const;

    static QString supportAddress() { return QStringLiteral("https://zentrove.app/support"); }

private:
    Actions m_actions;
};
