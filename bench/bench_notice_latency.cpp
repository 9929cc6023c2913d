// Time from a settings change in this process to the reload in another one.
//
//   dbus-run-session -- build/bench/bench_notice_latency [ROUNDS]
//
// Starts zentrove-test-peer watching the live-wallpaper domain, then, ROUNDS times: writes a key,
// announces the domain, and waits for the peer's reload line, which carries the peer's monotonic
// clock at the moment it had re-read the value. Prints the median and the 90th percentile.
#include "build_info.h"
#include "core/settings_sync.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

qint64 monotonicNs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

QString readLine(QProcess& peer, const char* prefix)
{
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        while (peer.canReadLine()) {
            const QString line = QString::fromUtf8(peer.readLine()).trimmed();
            if (line.startsWith(QLatin1String(prefix)))
                return line;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        peer.waitForReadyRead(1);
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    ProcessIdentity::set(QStringLiteral("app.zentrove"));
    const QString domain = QStringLiteral("app.zentrove.paneflow");
    Defaults& defaults = Defaults::domain(domain);
    for (int i = 0; i < 200; ++i)
        defaults.set(QStringLiteral("key%1").arg(i), qlonglong(i));

    QProcess peer;
    peer.start(QStringLiteral(ZENTROVE_BINARY_DIR "/tests/zentrove-test-peer"),
               {QStringLiteral("--id"), domain, QStringLiteral("watch"), domain, QStringLiteral("currentID")});
    if (readLine(peer, "ready").isEmpty()) {
        std::fprintf(stderr, "the peer did not start (is there a session bus?)\n");
        return 1;
    }
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        const QString value = QStringLiteral("V%1").arg(i);
        const qint64 start = monotonicNs();
        defaults.set(QStringLiteral("currentID"), value);
        SettingsSync::changed(domain);
        const QString line = readLine(peer, "reload");
        const QStringList parts = line.split(QLatin1Char(' '));
        if (parts.size() != 3 || parts[1] != value) {
            std::fprintf(stderr, "round %d: unexpected answer '%s'\n", i, qPrintable(line));
            return 1;
        }
        ms.push_back(double(parts[2].toLongLong() - start) / 1e6);
    }
    peer.kill();
    peer.waitForFinished();
    std::sort(ms.begin(), ms.end());
    std::printf("change in A to reload in B over %d rounds: median %.3f ms, p90 %.3f ms, min %.3f ms\n", rounds,
                ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.front());
    return 0;
}
