#include "platform/defaults.h"
#include "taskbar/dock_apps.h"
#include "taskbar/layout_token.h"
#include "test_support.h"

#include <QStandardPaths>
#include <QTest>

namespace {

QVariantMap appTile(const QString& id)
{
    return {{QStringLiteral("tile-data"), QVariantMap {{QStringLiteral("bundle-identifier"), id}}}};
}

QVariantMap urlTile(const QString& url)
{
    return {{QStringLiteral("tile-data"),
             QVariantMap {{QStringLiteral("file-data"), QVariantMap {{QStringLiteral("_CFURLString"), url}}}}}};
}

QVariantMap spacerTile()
{
    return {{QStringLiteral("tile-type"), QStringLiteral("small-spacer-tile")}};
}

AppCatalog fakeCatalog(const QStringList& installed)
{
    AppCatalog catalog;
    catalog.knows = [installed](const QString& id) { return installed.contains(id); };
    catalog.identifierAt = [](const QString& url) -> std::optional<QString> {
        if (url == QLatin1String("file:///Applications/Mail.app/"))
            return QStringLiteral("com.apple.mail");
        return std::nullopt;
    };
    return catalog;
}

void writeDock(const QVariant& apps)
{
    Defaults::domain(DockApps::domain()).setValue(QStringLiteral("persistent-apps"), apps);
}

} // namespace

class TestLayoutToken : public QObject
{
    Q_OBJECT

private slots:
    void tokensAreRecognised()
    {
        const QString divider = LayoutToken::newDivider();
        QVERIFY(LayoutToken::isDivider(divider));
        QCOMPARE(divider.size(), QStringLiteral("~divider:").size() + 8);
        QVERIFY(divider != LayoutToken::newDivider());
        QVERIFY(LayoutToken::isSpacer(LayoutToken::newSpacer()));
        QVERIFY(!LayoutToken::isApp(QStringLiteral("~trash")));
        QVERIFY(LayoutToken::isApp(QStringLiteral("org.kde.dolphin")));
        QVERIFY(!LayoutToken::isDivider(QStringLiteral("~spacer:12345678")));
    }

    void foldersAreStandardised()
    {
        QCOMPARE(LayoutToken::folder(QStringLiteral("/home/u/Work/../Music/./Live/")),
                 QStringLiteral("~folder:/home/u/Music/Live"));
        QCOMPARE(LayoutToken::folderURL(QStringLiteral("~folder:/a//b/../c/")), std::optional<QString>("/a/c"));
        QCOMPARE(LayoutToken::folderURL(QStringLiteral("/a/b")), std::nullopt);
        QCOMPARE(LayoutToken::folderURL(QStringLiteral("~folder:")), std::nullopt);
        QCOMPARE(LayoutToken::folderURL(QStringLiteral("~folder:../etc")), std::nullopt);
        QCOMPARE(LayoutToken::folderURL(QStringLiteral("~folder:/../../etc")), std::optional<QString>("/etc"));
    }

    void fixUpAddsTheTokensInPlace()
    {
        QCOMPARE(LayoutToken::withFixedTokens({"x", "~trash"}), (QStringList {"x", "~downloads", "~trash", "~running"}));
        QCOMPARE(LayoutToken::withFixedTokens({}), (QStringList {"~running", "~downloads", "~trash"}));
        const QStringList complete {"~downloads", "a", "~running", "~trash"};
        QCOMPARE(LayoutToken::withFixedTokens(complete), complete);
    }

    void freshLayoutHasPinnedAppsThenTokens()
    {
        const QStringList fresh = LayoutToken::freshLayout(LayoutToken::defaultPinnedApps());
        QCOMPARE(fresh.size(), 7);
        QCOMPARE(fresh.mid(0, 4), (QStringList {"com.apple.finder", "com.apple.Safari", "com.apple.systempreferences", "~running"}));
        QVERIFY(LayoutToken::isDivider(fresh[4]));
        QCOMPARE(fresh.mid(5), (QStringList {"~downloads", "~trash"}));
    }

    void dockListIsReadInOrder()
    {
        TestHome home;
        QCOMPARE(DockApps::layout(fakeCatalog({"com.apple.finder"})), std::nullopt);

        writeDock(QVariantList {appTile("com.apple.finder"), spacerTile(), appTile("com.apple.finder")});
        QCOMPARE(DockApps::layout(fakeCatalog({"com.apple.finder"})), std::nullopt);

        writeDock(QVariantList {appTile("com.apple.finder"), spacerTile(), appTile("com.apple.Notes"),
                                appTile("com.gone.app"), appTile("com.apple.Notes"), urlTile("file:///Applications/Mail.app/"),
                                urlTile("file:///nowhere"), appTile("~trash"), QVariantMap {}});
        const std::optional<QStringList> apps =
            DockApps::layout(fakeCatalog({"com.apple.finder", "com.apple.Notes", "com.apple.mail", "~trash"}));
        QVERIFY(apps);
        QCOMPARE(apps->size(), 4);
        QCOMPARE(apps->at(0), QStringLiteral("com.apple.finder"));
        QVERIFY(LayoutToken::isSpacer(apps->at(1)));
        QCOMPARE(apps->mid(2), (QStringList {"com.apple.Notes", "com.apple.mail"}));

        writeDock(QVariantList {appTile("com.apple.Notes"), QStringLiteral("not a tile")});
        QCOMPARE(DockApps::layout(fakeCatalog({"com.apple.Notes"})), std::nullopt);
        writeDock(QStringLiteral("not a list"));
        QCOMPARE(DockApps::layout(fakeCatalog({"com.apple.Notes"})), std::nullopt);
    }

    void systemCatalogUsesDesktopEntries()
    {
        TestHome home;
        const QString apps = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
        QVERIFY(QDir().mkpath(apps));
        QFile entry(apps + QStringLiteral("/org.example.Editor.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Editor\nExec=editor\n");
        entry.close();

        const AppCatalog catalog = AppCatalog::system();
        QVERIFY(catalog.knows(QStringLiteral("org.example.Editor")));
        QVERIFY(!catalog.knows(QStringLiteral("org.example.Missing")));
        QVERIFY(!catalog.knows(QStringLiteral("../applications/org.example.Editor")));
        QCOMPARE(catalog.identifierAt(QUrl::fromLocalFile(entry.fileName()).toString()),
                 std::optional<QString>("org.example.Editor"));
    }
};

QTEST_GUILESS_MAIN(TestLayoutToken)
#include "tst_layout_token.moc"
