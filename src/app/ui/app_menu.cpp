#include "app/ui/app_menu.h"

#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* add(QMenu* menu, const QString& title, const QKeySequence& keys, std::function<void()> run)
{
    QAction* action = menu->addAction(title);
    action->setShortcut(keys);
    QObject::connect(action, &QAction::triggered, menu, [run = std::move(run)] {
        if (run)
            run();
    });
    return action;
}

// Edit commands go to whichever text field has the focus.
std::function<void()> toFocus(const char* slot)
{
    return [slot] {
        if (QWidget* focus = QApplication::focusWidget())
            QMetaObject::invokeMethod(focus, slot);
    };
}

} // namespace

AppMenu::AppMenu(Actions actions, QObject* parent)
    : QObject(parent)
    , m_actions(std::move(actions))
{
}

void AppMenu::attach(QMenuBar* bar) const
{
    const Actions& a = m_actions;
    QMenu* app = bar->addMenu(QStringLiteral("Zentrove"));
    add(app, QStringLiteral("About Zentrove"), {}, a.about);
    add(app, QStringLiteral("Check for Updates…"), {}, a.checkForUpdates);
    app->addSeparator();
    add(app, QStringLiteral("Settings…"), QKeySequence(Qt::CTRL | Qt::Key_Comma), a.settings);
    add(app, QStringLiteral("Uninstall Zentrove…"), {}, a.uninstall);
    app->addSeparator();
    add(app, QStringLiteral("Hide Zentrove"), QKeySequence(Qt::CTRL | Qt::Key_H), a.hide);
    add(app, QStringLiteral("Quit Zentrove"), QKeySequence(Qt::CTRL | Qt::Key_Q), a.quit);

    QMenu* edit = bar->addMenu(QStringLiteral("Edit"));
    add(edit, QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), toFocus("undo"));
    add(edit, QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), toFocus("redo"));
    edit->addSeparator();
    add(edit, QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), toFocus("cut"));
    add(edit, QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), toFocus("copy"));
    add(edit, QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), toFocus("paste"));
    add(edit, QStringLiteral("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A), toFocus("selectAll"));

    QMenu* window = bar->addMenu(QStringLiteral("Window"));
    add(window, QStringLiteral("Minimize"), QKeySequence(Qt::CTRL | Qt::Key_M), a.minimize);
    add(window, QStringLiteral("Close"), QKeySequence(Qt::CTRL | Qt::Key_W), a.close);

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    add(help, QStringLiteral("Zentrove Help"), QKeySequence(Qt::CTRL | Qt::Key_Question), a.help);
    add(help, QStringLiteral("Send Feedback…"), {}, a.feedback);
}
