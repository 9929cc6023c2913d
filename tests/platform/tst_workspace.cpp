#include "platform/workspace.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The desktop's calendar and clock apps are found on the PATH, the most likely first.
class TestWorkspace : public QObject
{
    Q_OBJECT

    static void writeProgram(const QString& path, const QString& marker)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("#!/bin/sh\necho started > '%1'\n").arg(marker).toUtf8());
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

private slots:
    void opensTheFirstInstalledAppAndSaysWhenThereIsNone()
    {
        QTemporaryDir bin;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8());
        const std::unique_ptr<Workspace> workspace = Workspace::makeSystem();

        QVERIFY(!workspace->openSystemApp(SystemApp::calendar));
        QVERIFY(!workspace->openSystemApp(SystemApp::clock));

        // Two calendars installed: the one listed first is started, the other is not.
        writeProgram(bin.filePath(QStringLiteral("evolution")), bin.filePath(QStringLiteral("evolution.ran")));
        writeProgram(bin.filePath(QStringLiteral("korganizer")), bin.filePath(QStringLiteral("korganizer.ran")));
        QVERIFY(workspace->openSystemApp(SystemApp::calendar));
        QTRY_VERIFY(QFileInfo::exists(bin.filePath(QStringLiteral("korganizer.ran"))));
        QVERIFY(!QFileInfo::exists(bin.filePath(QStringLiteral("evolution.ran"))));
        // A calendar is no clock.
        QVERIFY(!workspace->openSystemApp(SystemApp::clock));
        qputenv("PATH", oldPath);
    }
};

QTEST_GUILESS_MAIN(TestWorkspace)
#include "tst_workspace.moc"
