#pragma once

#include <QApplication>

#include <functional>

// The control app's application object. Quitting first drops whatever sheet is up, so no sheet
// is left half-done by a quit from the menu, the session, or a signal.
class ZentroveApplication : public QApplication
{
    Q_OBJECT
public:
    ZentroveApplication(int& argc, char** argv);

    static ZentroveApplication* instance() { return static_cast<ZentroveApplication*>(QCoreApplication::instance()); }

    // Set by the window while a sheet is presented; run before quitting.
    std::function<void()> dropSheets;

    // Drops sheets, closes the dialogs on every window, then quits the event loop.
    void terminate();
};
