#pragma once

#include "services/install.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class Workspace;

// Shown at launch when the app runs from an app image outside the applications folder: copies it
// there and starts it again from the copy.
class MoveSheet : public QWidget
{
    Q_OBJECT
public:
    // What the sheet acts on; the running app's own values by default, tests give their own.
    struct Actions
    {
        QString appImage;
        QString home;
        // Starts the moved copy once this process ended; false when it could not be started.
        std::function<bool(const QString& destination)> relaunch;
        std::function<void()> quit;
        static Actions running();
    };

    MoveSheet(Actions actions, Workspace& workspace, QWidget* parent = nullptr);

    QLabel* textLabel() const { return m_text; }
    QLabel* errorLine() const { return m_error; }
    QLabel* dragHint() const { return m_dragHint; }
    QPushButton* showButton() const { return m_show; }
    QPushButton* quitButton() const { return m_quit; }
    QPushButton* moveButton() const { return m_move; }

private:
    void move();
    void moved(const Install::MoveResult& result);

    Actions m_actions;
    Workspace& m_workspace;
    QLabel* m_text = nullptr;
    QLabel* m_error = nullptr;
    QLabel* m_dragHint = nullptr;
    QPushButton* m_show = nullptr;
    QPushButton* m_quit = nullptr;
    QPushButton* m_move = nullptr;
};
