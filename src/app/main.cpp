#include "app/ui/main_window.h"
#include "app/zentrove.h"
#include "build_info.h"
#include "platform/process_identity.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentrove"));
    QApplication::setApplicationVersion(QStringLiteral(ZENTROVE_VERSION " (" ZENTROVE_BUILD_NUMBER ")"));
    ProcessIdentity::set(Zentrove::bundleID());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Zentrove: live wallpapers, a lock screen clock and a taskbar."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("show"), QStringLiteral("Open the window on a page."), QStringLiteral("page")});
    parser.addOption({QStringLiteral("snapshot"), QStringLiteral("Write a PNG of the window and quit."), QStringLiteral("file")});
    parser.process(app);

    MainWindow window;
    window.show();
    if (parser.isSet(QStringLiteral("snapshot"))) {
        const QString path = parser.value(QStringLiteral("snapshot"));
        QTimer::singleShot(1500, &app, [&] {
            window.grab().save(path, "PNG");
            QApplication::exit(0);
        });
    }
    return app.exec();
}
