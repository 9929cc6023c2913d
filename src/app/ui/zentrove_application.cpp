#include "app/ui/zentrove_application.h"

#include "platform/quit_signals.h"

#include <QDialog>
#include <QTimer>

ZentroveApplication::ZentroveApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // The session asks programs to end with signals; end as a Quit from the menu would.
    QuitSignals::install([this](int) { terminate(); });
}

void ZentroveApplication::terminate()
{
    if (dropSheets)
        dropSheets();
    for (QWidget* widget : topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible() && dialog->parentWidget())
            dialog->reject();
    quit();
}
