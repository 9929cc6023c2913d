#include "app/app_services.h"
#include "app/command_line.h"
#include "app/ui/app_delegate.h"
#include "app/ui/view_registry.h"
#include "app/ui/zentrove_application.h"
#include "core/zentrove.h"
#include "build_info.h"
#include "library/import/import_command.h"
#include "library/import/media_services.h"
#include "platform/bundle.h"
#include "platform/bus_identity.h"
#include "platform/display_session.h"
#include "platform/process_identity.h"

#include <QCoreApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Decided before any application object exists: without a display a GUI one aborts.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);

    // The options are read by the launch sequence; --help, --version and --import end here.
    if (given.contains(QStringLiteral("--help")) || given.contains(QStringLiteral("-h"))) {
        std::fputs(CommandLine::helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (given.contains(QStringLiteral("--version"))) {
        std::printf("Zentrove %s\n", ZENTROVE_VERSION " (" ZENTROVE_BUILD_NUMBER ")");
        return 0;
    }

    // Imports from the command line run the library's own pipeline and print, never show a
    // window: no screen, and no GUI platform at all.
    if (given.contains(QStringLiteral("--import"))) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Zentrove"));
        QCoreApplication::setApplicationVersion(QStringLiteral(ZENTROVE_VERSION " (" ZENTROVE_BUILD_NUMBER ")"));
        ProcessIdentity::set(Zentrove::bundleID());
        return ImportCommand::run(CommandLine(given).values(QStringLiteral("--import")));
    }

    if (!DisplaySession::available()) {
        // A snapshot is drawn off screen; everything else shows a window and needs a display.
        if (!given.contains(QStringLiteral("--snapshot"))) {
            std::fprintf(stderr, "%s\n", qPrintable(DisplaySession::missingText(QStringLiteral("Zentrove"))));
            return 1;
        }
        DisplaySession::useOffscreen();
    }

    ZentroveApplication app(argc, argv);
    ZentroveApplication::setApplicationName(QStringLiteral("Zentrove"));
    ZentroveApplication::setApplicationVersion(QStringLiteral(ZENTROVE_VERSION " (" ZENTROVE_BUILD_NUMBER ")"));
    ZentroveApplication::setDesktopFileName(QStringLiteral("app.zentrove"));
    ProcessIdentity::set(Zentrove::bundleID());
    const QStringList arguments = app.arguments().mid(1);

    // One control app per session: a later launch hands its arguments to the running one.
    BusIdentity identity;
    if (identity.claim(Zentrove::bundleID()) == BusIdentity::Claim::takenByAnother) {
        if (BusIdentity::activate(Zentrove::bundleID(), arguments))
            return 0;
        qWarning().noquote() << "Zentrove: another instance runs but does not answer; starting anyway";
    }

    // The library's thumbnails and imports run on the media code in this process.
    MediaServices::install();

    app.setWindowIcon(QIcon::fromTheme(QStringLiteral("app.zentrove"), QIcon(Bundle::resourcesFolder() + QStringLiteral("/icons/app.zentrove.svg"))));
    AppDelegate delegate(app, AppDelegate::Platform::system(), AppServices::standard(), ViewRegistry::standard());
    QObject::connect(&identity, &BusIdentity::activated, &delegate, &AppDelegate::handleLaterLaunch);
    QObject::connect(&identity, &BusIdentity::quitRequested, &app, &ZentroveApplication::terminate);
    delegate.didFinishLaunching(arguments);
    return ZentroveApplication::exec();
}
