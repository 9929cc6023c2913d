#pragma once

#include "app/ui/view_registry.h"

#include <QMainWindow>

class MainView;
class SheetHost;

// The control app's window: the main view with its sheets, created once and kept when closed.
// Its frame is remembered between launches.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(const ViewContext& context, const ViewRegistry& views, QWidget* parent = nullptr);

    MainView* view() const { return m_view; }
    SheetHost* sheets() const { return m_sheets; }
    // Puts the window where it was last time, or centred at its standard size.
    void placeAtLaunch();

    static QString frameKey() { return QStringLiteral("windowFrame"); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void rememberFrame();

    MainView* m_view;
    SheetHost* m_sheets;
    bool m_placed = false;
};
