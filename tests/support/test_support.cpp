#include "test_support.h"

#include "build_info.h"
#include "platform/defaults.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QStandardPaths>

namespace {
const char* const variables[4] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"};
}

TestHome::TestHome()
{
    QStandardPaths::setTestModeEnabled(true);
    const QString values[4] = {m_dir.path(), configHome(), dataHome(), m_dir.path() + QStringLiteral("/cache")};
    for (int i = 0; i < 4; ++i) {
        m_saved[i] = qgetenv(variables[i]);
        QDir().mkpath(values[i]);
        qputenv(variables[i], values[i].toUtf8());
    }
    Defaults::forgetAll();
}

TestHome::~TestHome()
{
    for (int i = 0; i < 4; ++i)
        qputenv(variables[i], m_saved[i]);
    Defaults::forgetAll();
}

QString TestSupport::buildDir()
{
    const QString fromEnv = qEnvironmentVariable("ZENTROVE_BUILD_DIR");
    return fromEnv.isEmpty() ? QStringLiteral(ZENTROVE_BINARY_DIR) : fromEnv;
}

QString TestSupport::peerPath()
{
    return buildDir() + QStringLiteral("/tests/zentrove-test-peer");
}

QProcess* TestSupport::startPeer(const QStringList& arguments, QObject* parent)
{
    auto* process = new QProcess(parent);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(peerPath(), arguments);
    process->waitForStarted(5000);
    return process;
}

QString TestSupport::waitForLine(QProcess* process, const QString& prefix, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        while (process->canReadLine()) {
            const QString line = QString::fromUtf8(process->readLine()).trimmed();
            if (line.startsWith(prefix))
                return line;
        }
        if (process->state() == QProcess::NotRunning && !process->canReadLine())
            return {};
        process->waitForReadyRead(int(qMin<qint64>(100, qMax<qint64>(1, deadline.remainingTime()))));
        QCoreApplication::processEvents();
    }
    return {};
}

QString TestSupport::runPeer(const QStringList& arguments, int timeoutMs, int* exitCode)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(peerPath(), arguments);
    process.waitForFinished(timeoutMs);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}
