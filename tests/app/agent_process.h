#pragma once

// Runs the real part agents of the build tree in tests.

#include "platform/bundle.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QString>
#include <QTest>

namespace AgentProcess {

inline bool isOnBus(const QString& identifier)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(identifier).value();
}

// Starts the agent directly (not detached); returns once it owns its name, or nullptr.
inline QProcess* start(const QString& identifier, QObject* parent, const QStringList& arguments = {})
{
    auto* process = new QProcess(parent);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->start(Bundle::agentExecutable(identifier), arguments);
    if (!process->waitForStarted(5000))
        return nullptr;
    if (!QTest::qWaitFor([&] { return isOnBus(identifier); }, 5000))
        return nullptr;
    return process;
}

// Waits for a line on the agent's standard error that contains `text`.
inline bool waitForLog(QProcess* process, const QString& text, int timeoutMs = 5000)
{
    QByteArray seen;
    return QTest::qWaitFor([&] {
        seen += process->readAllStandardError();
        return seen.contains(text.toUtf8());
    }, timeoutMs);
}

// What was wrong with how an agent ended once its X server went away: empty when it ended by
// itself within ten seconds, with exit code 1 and saying the connection broke, rather than hanging
// on or crashing.
inline QString wrongEndAfterLostServer(QProcess& agent)
{
    if (!agent.waitForFinished(10000))
        return QStringLiteral("still running");
    const QString log = QString::fromLocal8Bit(agent.readAllStandardError());
    if (agent.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("crashed: ") + log;
    if (!log.contains(QLatin1String("X11 connection broke")))
        return QStringLiteral("did not say why: ") + log;
    if (agent.exitCode() != 1)
        return QStringLiteral("exit code %1").arg(agent.exitCode());
    return {};
}

} // namespace AgentProcess
