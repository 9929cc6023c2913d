#pragma once

// Test doubles of the platform seams the parts model drives. Each records what was asked of it
// and answers from state the test sets.

#include "app/install_service.h"
#include "app/safety_service.h"
#include "platform/launcher.h"
#include "platform/login_items.h"
#include "platform/workspace.h"

#include <QCoreApplication>
#include <QMap>
#include <QStringList>
#include <QTimer>

class FakeLoginItems : public LoginItems
{
public:
    QMap<QString, LoginItemStatus> statuses;
    std::optional<QString> registerFailure;
    std::optional<QString> unregisterFailure;
    QStringList calls; // "register ID", "unregister ID", "openSettings"

    LoginItemStatus status(const QString& id) const override { return statuses.value(id, LoginItemStatus::notRegistered); }

    Failure registerItem(const QString& id) override
    {
        calls << QStringLiteral("register ") + id;
        if (registerFailure)
            return registerFailure;
        statuses[id] = LoginItemStatus::enabled;
        return std::nullopt;
    }

    Failure unregisterItem(const QString& id) override
    {
        calls << QStringLiteral("unregister ") + id;
        if (unregisterFailure)
            return unregisterFailure;
        statuses[id] = LoginItemStatus::notRegistered;
        return std::nullopt;
    }

    void unregisterLater(const QString& id, std::function<void(Failure)> done) override
    {
        QTimer::singleShot(0, QCoreApplication::instance(), [this, id, done] { done(unregisterItem(id)); });
    }

    void openSettings() override { calls << QStringLiteral("openSettings"); }
};

class FakeWorkspace : public Workspace
{
public:
    struct Process
    {
        RunningApplication application;
        bool ignoresTerminate = false;
        bool terminated = false;
    };
    QList<Process> processes;
    QStringList terminated; // identifiers, in the order their processes were asked to quit
    QStringList watched;
    QList<QUrl> openedURLs;
    QList<QStringList> openedApplications; // program, then its arguments
    QStringList revealed;

    void run(const QString& id, bool ignoresTerminate = false)
    {
        processes.append({{id, nextPid++, 1}, ignoresTerminate, false});
        emit runningApplicationsChanged();
    }

    QSet<QString> runningIdentifiers(const QStringList& ids) const override
    {
        QSet<QString> result;
        for (const Process& p : processes)
            if (!p.terminated && ids.contains(p.application.identifier))
                result.insert(p.application.identifier);
        return result;
    }

    QList<RunningApplication> runningApplications(const QString& id) const override
    {
        QList<RunningApplication> result;
        for (const Process& p : processes)
            if (!p.terminated && p.application.identifier == id)
                result << p.application;
        return result;
    }

    bool terminate(const RunningApplication& application) override
    {
        terminated << application.identifier;
        for (Process& p : processes)
            if (p.application == application && !p.ignoresTerminate && !p.terminated) {
                p.terminated = true;
                emit runningApplicationsChanged();
                return true;
            }
        return false;
    }

    bool isTerminated(const RunningApplication& application) const override
    {
        for (const Process& p : processes)
            if (p.application == application)
                return p.terminated;
        return true;
    }

    void watch(const QStringList& ids) override { watched = ids; }
    bool openURL(const QUrl& url) override
    {
        openedURLs << url;
        return true;
    }
    void openApplication(const QString& program, const QStringList& arguments, std::function<void(bool)> done) override
    {
        openedApplications << QStringList {program} + arguments;
        done(true);
    }
    bool revealFile(const QString& path) override
    {
        revealed << path;
        return true;
    }
    bool openSystemApp(SystemApp) override { return true; }

private:
    qint64 nextPid = 1000;
};

class FakeLauncher : public Launcher
{
public:
    QStringList started;
    Outcome outcome;
    // When set, a started part shows up as running in this workspace.
    FakeWorkspace* workspace = nullptr;

    void start(const QString& id, std::function<void(const Outcome&)> done) override
    {
        started << id;
        QTimer::singleShot(0, QCoreApplication::instance(), [this, id, done] {
            if (workspace && outcome.kind == Outcome::Kind::started)
                workspace->run(id);
            done(outcome);
        });
    }
};

class FakeSafety : public SafetyService
{
public:
    QMap<QString, StandDown> records;
    QMap<QString, QString> offMessages; // by short name
    QStringList cleared;

    std::optional<StandDown> stoodDown(const QString& id) const override
    {
        return records.contains(id) ? std::optional(records.value(id)) : std::nullopt;
    }
    void clearStoodDown(const QString& id) override
    {
        cleared << id;
        records.remove(id);
    }
    std::optional<QString> offMessage(const QString& shortName) const override
    {
        return offMessages.contains(shortName) ? std::optional(offMessages.value(shortName)) : std::nullopt;
    }
};

class FakeInstall : public InstallService
{
public:
    int givenBack = 0;
    void giveBackWallpaper(std::function<void()> done) override
    {
        ++givenBack;
        done();
    }
};
