// A small program that plays "another process of the product" in tests and benchmarks.
//
//   zentrove-test-peer --id IDENTIFIER COMMAND ARGS...
//
//   set DOMAIN KEY VALUE        store a string, announce the domain, exit once the notice is out
//   write-many DOMAIN PREFIX N  store PREFIX0..PREFIX(N-1) one by one, printing "wrote I" after each
//   burst DOMAIN N              N writes and N announcements in one main-loop turn, then exit
//   watch DOMAIN KEY            print "ready", then "reload VALUE MONOTONIC_NS" on each reload
//   count NAME                  print "ready", then "notice OBJECT|<none>" for each notice NAME
//   post NAME [OBJECT]          post a notice and exit
//   command DOMAIN COMMAND      send a command to a part and exit
//   on-command DOMAIN COMMAND   print "ready", then "ran" each time the command arrives
//   loopback NAME OBJECT        observe NAME, post it, print "got OBJECT" on delivery and exit
//   own NAME [ignore-term]      own the bus name NAME (as a part does), print "ready"; with
//                               ignore-term, a part that does not quit on SIGTERM
#include "core/settings_sync.h"
#include "platform/bus_identity.h"
#include "platform/defaults.h"
#include "platform/notifier.h"
#include "platform/process_identity.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <ctime>

namespace {

void say(const QString& line)
{
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

qint64 monotonicNs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Leaves the event loop after the queued notices of this turn have gone out.
void quitSoon()
{
    QTimer::singleShot(50, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() >= 2 && args[0] == QLatin1String("--id")) {
        ProcessIdentity::set(args[1]);
        args = args.mid(2);
    }
    if (args.isEmpty()) {
        std::fputs("usage: zentrove-test-peer [--id ID] COMMAND ARGS...\n", stderr);
        return 2;
    }
    const QString command = args.takeFirst();
    const auto arg = [&](int i) { return i < args.size() ? args[i] : QString(); };
    NoticeToken token;

    if (command == QLatin1String("set")) {
        Defaults::domain(arg(0)).set(arg(1), arg(2));
        SettingsSync::changed(arg(0));
        quitSoon();
    } else if (command == QLatin1String("write-many")) {
        Defaults& domain = Defaults::domain(arg(0));
        const int n = arg(2).toInt();
        for (int i = 0; i < n; ++i) {
            domain.set(arg(1) + QString::number(i), qlonglong(i));
            say(QStringLiteral("wrote %1").arg(i));
        }
        return 0;
    } else if (command == QLatin1String("burst")) {
        const int n = arg(1).toInt();
        for (int i = 0; i < n; ++i) {
            Defaults::domain(arg(0)).set(QStringLiteral("burst"), qlonglong(i));
            SettingsSync::changed(arg(0));
        }
        quitSoon();
    } else if (command == QLatin1String("watch")) {
        const QString domain = arg(0), key = arg(1);
        token = SettingsSync::observe(domain, [domain, key] {
            const QString value = Defaults::domain(domain).string(key).value_or(QStringLiteral("<none>"));
            say(QStringLiteral("reload %1 %2").arg(value).arg(monotonicNs()));
        });
        say(QStringLiteral("ready"));
    } else if (command == QLatin1String("count")) {
        token = Notifier::observe(arg(0), [](const std::optional<QString>& object) {
            say(QStringLiteral("notice ") + object.value_or(QStringLiteral("<none>")));
        });
        say(QStringLiteral("ready"));
    } else if (command == QLatin1String("post")) {
        Notifier::post(arg(0), args.size() > 1 ? std::optional<QString>(arg(1)) : std::nullopt);
        quitSoon();
    } else if (command == QLatin1String("command")) {
        SettingsSync::send(arg(1), arg(0));
        quitSoon();
    } else if (command == QLatin1String("on-command")) {
        token = SettingsSync::onCommand(arg(1), arg(0), [] { say(QStringLiteral("ran")); });
        say(QStringLiteral("ready"));
    } else if (command == QLatin1String("loopback")) {
        token = Notifier::observe(arg(0), [](const std::optional<QString>& object) {
            say(QStringLiteral("got ") + object.value_or(QStringLiteral("<none>")));
            QCoreApplication::exit(0);
        });
        Notifier::post(arg(0), arg(1));
        QTimer::singleShot(5000, QCoreApplication::instance(), [] { QCoreApplication::exit(1); });
    } else if (command == QLatin1String("own")) {
        if (arg(1) == QLatin1String("ignore-term"))
            std::signal(SIGTERM, SIG_IGN);
        auto* identity = new BusIdentity(&app);
        if (identity->claim(arg(0)) != BusIdentity::Claim::owned) {
            say(QStringLiteral("taken"));
            return 1;
        }
        say(QStringLiteral("ready"));
    } else {
        std::fprintf(stderr, "unknown command %s\n", qPrintable(command));
        return 2;
    }
    return app.exec();
}
