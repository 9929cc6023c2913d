#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Points HOME and the XDG folders of this process (and of the processes it starts) at a fresh
// temporary folder, and forgets cached settings domains, for the lifetime of the object.
class TestHome
{
public:
    TestHome();
    ~TestHome();
    QString path() const { return m_dir.path(); }
    QString configHome() const { return m_dir.path() + QStringLiteral("/config"); }
    QString dataHome() const { return m_dir.path() + QStringLiteral("/data"); }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved[4];
};

namespace TestSupport {

// The build tree (from ZENTROVE_BUILD_DIR, set by CTest, or the compiled-in default).
QString buildDir();
// The helper that plays "another process": see peer_main.cpp for its commands.
QString peerPath();
// Starts the peer with the given arguments; stdout is read line by line by the caller.
QProcess* startPeer(const QStringList& arguments, QObject* parent = nullptr);
// Waits until the process printed a line starting with `prefix`; returns that line (empty on timeout).
QString waitForLine(QProcess* process, const QString& prefix, int timeoutMs = 20000);
// Runs the peer to completion; returns its standard output.
QString runPeer(const QStringList& arguments, int timeoutMs = 30000, int* exitCode = nullptr);

} // namespace TestSupport
