// Plays a part at launch for the safety tests:
//
//   zentrove-safety-part PART_ID SHORT_NAME [--crash]
//
// Prints "start true|false" after the safety start, "giveBack" when asked to give back, and
// "quit" on a clean quit. With --crash it dies right after a successful start, as a part that
// crashes at launch would.
#include "platform/process_identity.h"
#include "services/safety.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {
void say(const char* line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return 2;
    ProcessIdentity::set(args[0]);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { say("quit"); });
    const bool running = Safety::start(args[1], [](std::function<void()> completion) {
        say("giveBack");
        QTimer::singleShot(20, completion);
    });
    say(running ? "start true" : "start false");
    if (running && args.contains(QStringLiteral("--crash")))
        _exit(3);
    return app.exec();
}
