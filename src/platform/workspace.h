#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

// One running process of the product, as found by its identifier.
struct RunningApplication
{
    QString identifier;
    qint64 pid = 0;
    quint64 startTime = 0; // tells a process from a later one that reuses its pid

    bool operator==(const RunningApplication&) const = default;
};

// The desktop's own apps that the product opens for the user (the taskbar clock's click).
enum class SystemApp { calendar, clock };

// The running processes of the product and the desktop's "open" operations.
class Workspace : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Workspace() override = default;

    // Identifiers whose process runs, out of `identifiers`.
    virtual QSet<QString> runningIdentifiers(const QStringList& identifiers) const = 0;
    virtual QList<RunningApplication> runningApplications(const QString& identifier) const = 0;
    // Asks the process to quit (as a user's Quit would). false when it was already gone.
    virtual bool terminate(const RunningApplication& application) = 0;
    virtual bool isTerminated(const RunningApplication& application) const = 0;
    // From now on, runningApplicationsChanged fires when one of these starts or ends.
    virtual void watch(const QStringList& identifiers) = 0;

    virtual bool openURL(const QUrl& url) = 0;
    // Starts the program with arguments; `done` runs on a later main-loop turn, started or not.
    virtual void openApplication(const QString& program, const QStringList& arguments, std::function<void(bool started)> done) = 0;
    virtual bool revealFile(const QString& path) = 0;
    // Starts this desktop's app for `app`; false, with a log line, when none is installed.
    virtual bool openSystemApp(SystemApp app) = 0;

    static std::unique_ptr<Workspace> makeSystem();

signals:
    void runningApplicationsChanged();
};
