#include "agents/agent_main.h"

#include "core/zentrove.h"
#include "build_info.h"
#include "platform/display_session.h"
#include "platform/kickstart.h"
#include "platform/machine.h"
#include "platform/process_identity.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

// --help and --version print and end: no screen needed. Matched as QCommandLineParser does, up to
// a lone "--".
bool onlyPrints(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            return false;
        for (const char* option : {"--help", "-h", "-?", "--help-all", "--version", "-v"})
            if (argument == option)
                return true;
    }
    return false;
}

// Set once the event loop has returned: an exit() before that comes from elsewhere.
std::atomic<bool> loopEnded {false};

} // namespace

int runAgent(int argc, char* argv[], const AgentProgram& program)
{
    Kickstart::detachIfAsked(argc, argv);

    // Decided before the application object exists: without a display it would abort.
    if (onlyPrints(argc, argv)) {
        DisplaySession::useOffscreen();
    } else if (!DisplaySession::available()) {
        std::fprintf(stderr, "%s\n", qPrintable(DisplaySession::missingText(program.displayName)));
        Kickstart::report(1);
        return 1;
    }

    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(program.displayName);
    QGuiApplication::setApplicationVersion(QStringLiteral(ZENTROVE_VERSION " (" ZENTROVE_BUILD_NUMBER ")"));
    QGuiApplication::setQuitOnLastWindowClosed(false);
    ProcessIdentity::set(program.identifier);

    QCommandLineParser parser;
    QString description = program.displayName + QStringLiteral(", a part of Zentrove. Started by Zentrove and at login.");
    if (program.identifier == Zentrove::paneflowID())
        description += QStringLiteral("\n\nPerformance log: ") + Machine::energyNote();
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QString::fromLatin1(Kickstart::option).mid(2), QStringLiteral("Start in the background and exit once running.")});
    parser.addOptions(program.extraOptions);
    parser.process(app);

    const std::unique_ptr<PartAgent> agent = program.make();
    switch (agent->start()) {
    case PartAgent::Start::alreadyRunning:
        Kickstart::report(0);
        return 0;
    case PartAgent::Start::failed:
        Kickstart::report(1);
        return 1;
    case PartAgent::Start::running:
        break;
    }
    Kickstart::report(0);
    // Qt's X11 connection ends the process with exit() from its own reader thread when the X
    // server goes away; destroying the statics then, while this thread still runs, crashes. The
    // process ends at once instead (Qt has already said why).
    std::atexit([] {
        if (!loopEnded.load())
            std::_Exit(1);
    });
    const int result = QGuiApplication::exec();
    loopEnded.store(true);
    return result;
}
