#include "app/ui/main_window.h"

#include "app/ui/main_view.h"
#include "app/ui/sheet_host.h"
#include "platform/defaults.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

MainWindow::MainWindow(const ViewContext& context, const ViewRegistry& views, QWidget* parent)
    : QMainWindow(parent)
    , m_view(new MainView(context, views, this))
{
    setWindowTitle(QStringLiteral("Zentrove"));
    setCentralWidget(m_view);
    m_sheets = new SheetHost(context, views, this);
}

void MainWindow::placeAtLaunch()
{
    const std::optional<QByteArray> frame = Defaults::standard().data(frameKey());
    if (!frame || !restoreGeometry(*frame)) {
        resize(1180, 820);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect box = frameGeometry();
            box.moveCenter(screen->availableGeometry().center());
            move(box.topLeft());
        }
    }
    m_placed = true;
}

void MainWindow::rememberFrame()
{
    // Only frames the user made count, not the ones of building and placing the window.
    if (m_placed && isVisible())
        Defaults::standard().set(frameKey(), saveGeometry());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    rememberFrame();
    event->accept();
}
