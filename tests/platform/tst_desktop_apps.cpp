#include "platform/desktop_apps.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Desktop entries and the user's default apps, read from folders the test lays out.
class TestDesktopApps : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

    QString userApps() const { return m_root.filePath(QStringLiteral("home-data/applications")); }
    QString systemApps() const { return m_root.filePath(QStringLiteral("system/applications")); }
    QString userConfig() const { return m_root.filePath(QStringLiteral("config")); }

    static void write(const QString& path, const QByteArray& content)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    static QByteArray entry(const QByteArray& name, const QByteArray& extra = {})
    {
        return "[Desktop Entry]\nType=Application\nName=" + name + "\nIcon=" + name.toLower() + "\nExec=true\n" + extra;
    }

private slots:
    void initTestCase()
    {
        // Before the first QStandardPaths lookup, so the lists below are the only ones seen.
        qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("home-data")).toUtf8());
        qputenv("XDG_DATA_DIRS", m_root.filePath(QStringLiteral("system")).toUtf8());
        qputenv("XDG_CONFIG_HOME", userConfig().toUtf8());
        qputenv("XDG_CONFIG_DIRS", m_root.filePath(QStringLiteral("etc")).toUtf8());
    }

    void listsShownAppsAndLetsTheUsersEntryWin()
    {
        write(systemApps() + "/thunar.desktop", entry("Thunar"));
        write(systemApps() + "/hidden.desktop", entry("Hidden", "NoDisplay=true\n"));
        write(systemApps() + "/link.desktop", "[Desktop Entry]\nType=Link\nName=Link\nURL=https://example.org\n");
        write(systemApps() + "/editor.desktop", entry("Editor, Plain"));
        write(userApps() + "/thunar.desktop", entry("My Thunar"));

        QStringList names;
        for (const DesktopApp& app : DesktopApps::installed())
            names << app.name;
        QCOMPARE(names, (QStringList{QStringLiteral("Editor, Plain"), QStringLiteral("My Thunar")}));
        QCOMPARE(DesktopApps::find(QStringLiteral("thunar"))->name, QStringLiteral("My Thunar"));
        QVERIFY(!DesktopApps::find(QStringLiteral("link")));
        QVERIFY(!DesktopApps::find(QStringLiteral("../system/applications/thunar")));
        QVERIFY(!DesktopApps::find(QString()));
    }

    void rolesFollowTheUsersDefaultThenWellKnownAppsThenAStandIn()
    {
        // Installed: a well-known file manager (thunar, from above), and a browser only as the
        // user's default.
        write(systemApps() + "/org.example.Surf.desktop", entry("Surf"));
        write(systemApps() + "/org.gnome.Nautilus.desktop", entry("Files"));

        // No default named: the first well-known one installed.
        QCOMPARE(DesktopApps::forRole(DesktopRole::fileManager).id, QStringLiteral("org.gnome.Nautilus"));
        // The system's list names a default; the user's list overrides it, and an entry that is
        // not installed is passed over.
        write(systemApps() + "/mimeapps.list", "[Default Applications]\ninode/directory=thunar.desktop\n");
        QCOMPARE(DesktopApps::forRole(DesktopRole::fileManager).id, QStringLiteral("thunar"));
        write(userConfig() + "/mimeapps.list",
              "[Default Applications]\ninode/directory=gone.desktop;org.gnome.Nautilus.desktop;\n"
              "x-scheme-handler/https=org.example.Surf.desktop\n");
        QCOMPARE(DesktopApps::forRole(DesktopRole::fileManager).id, QStringLiteral("org.gnome.Nautilus"));
        const DesktopApp browser = DesktopApps::forRole(DesktopRole::webBrowser);
        QCOMPARE(browser.id, QStringLiteral("org.example.Surf"));
        QCOMPARE(browser.icon, QStringLiteral("surf"));

        // Nothing plays the role: a stand-in that names the role, never an empty tile.
        const DesktopApp settings = DesktopApps::forRole(DesktopRole::settings);
        QVERIFY(settings.id.isEmpty());
        QCOMPARE(settings.name, QStringLiteral("Settings"));
        QCOMPARE(settings.icon, QStringLiteral("preferences-system"));

        // A damaged list is no list.
        write(userConfig() + "/mimeapps.list", QByteArray("\0\xff[Default Applications\n=\n", 25));
        QCOMPARE(DesktopApps::forRole(DesktopRole::fileManager).id, QStringLiteral("thunar"));
    }
};

QTEST_GUILESS_MAIN(TestDesktopApps)
#include "tst_desktop_apps.moc"
