#pragma once

#include "platform/status_item.h"
#include "platform/workspace.h"

#include <QList>
#include <QSet>

// A status area that keeps what the items were given.
class FakeStatusItem : public StatusItem
{
public:
    static inline int live = 0;
    static inline FakeStatusItem* last = nullptr;
    QList<QImage> masks;
    QString name;

    FakeStatusItem()
    {
        ++live;
        last = this;
    }
    ~FakeStatusItem() override
    {
        --live;
        if (last == this)
            last = nullptr;
    }
    void setIcon(const QList<QImage>& images) override { masks = images; }
    void setAccessibleName(const QString& text) override { name = text; }
    bool isRegistered() const override { return true; }
    void click() { emit activated(QPoint(100, 10)); }

    static void install()
    {
        StatusItem::setFactory([](const QString&) { return std::make_unique<FakeStatusItem>(); });
    }
};

// Running parts by identifier; terminate ends them at once.
class MenuWorkspace : public Workspace
{
public:
    QSet<QString> running;
    QStringList terminated;

    void run(const QString& id)
    {
        running.insert(id);
        emit runningApplicationsChanged();
    }
    void end(const QString& id)
    {
        running.remove(id);
        emit runningApplicationsChanged();
    }

    QSet<QString> runningIdentifiers(const QStringList& ids) const override
    {
        QSet<QString> result;
        for (const QString& id : ids)
            if (running.contains(id))
                result.insert(id);
        return result;
    }
    QList<RunningApplication> runningApplications(const QString& id) const override
    {
        if (!running.contains(id))
            return {};
        return {RunningApplication {id, 4242, 1}};
    }
    bool terminate(const RunningApplication& application) override
    {
        terminated << application.identifier;
        end(application.identifier);
        return true;
    }
    bool isTerminated(const RunningApplication& application) const override { return !running.contains(application.identifier); }
    void watch(const QStringList&) override {}
    bool openURL(const QUrl&) override { return true; }
    void openApplication(const QString&, const QStringList&, std::function<void(bool)> done) override { done(true); }
    bool revealFile(const QString&) override { return true; }
    bool openSystemApp(SystemApp) override { return true; }
};
