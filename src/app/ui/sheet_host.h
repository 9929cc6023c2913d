#pragma once

#include "app/ui/view_registry.h"

#include <QObject>
#include <QPointer>

class QDialog;
class QWidget;

// Shows the window's sheets while their navigation flags are up (one at a time: setup, move,
// uninstall, feedback), lowers a flag when its sheet closes, and asks the Dock question while
// the parts model wants it asked.
class SheetHost : public QObject
{
    Q_OBJECT
public:
    SheetHost(const ViewContext& context, ViewRegistry views, QWidget* window);

    // The sheet or dialog on the window now, if any.
    QWidget* current() const;
    // Closes whatever is up without acting on it (before quitting).
    void dropAll();

private:
    enum class Sheet { setup, move, uninstall, feedback };
    void sync();
    void syncDockConsent();
    bool flag(Sheet sheet) const;
    void lower(Sheet sheet);

    ViewContext m_context;
    ViewRegistry m_views;
    QWidget* m_window;
    QPointer<QDialog> m_sheet;
    Sheet m_shown = Sheet::setup;
    QPointer<QDialog> m_dockConsent;
};
