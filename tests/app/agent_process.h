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

} // namespace AgentProcess
