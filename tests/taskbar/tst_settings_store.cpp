#include "core/notices.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/notifier.h"
#include "taskbar/layout_token.h"
#include "taskbar/settings_store.h"
#include "test_support.h"

#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

Defaults& domain()
{
    return Defaults::domain(Zentrove::taskbarID());
}

AppCatalog noApps()
{
    AppCatalog catalog;
    catalog.knows = [](const QString&) { return false; };
    catalog.identifierAt = [](const QString&) { return std::nullopt; };
    return catalog;
}

std::unique_ptr<SettingsStore> openStore(bool syncs = true)
{
    return std::make_unique<SettingsStore>(domain(), syncs, nullptr, noApps());
}

QStringList names(const QList<Theme>& themes)
{
    QStringList result;
    for (const Theme& t : themes)
        result << t.name;
    return result;
}

std::optional<Theme> named(const SettingsStore& store, const QString& name)
{
    for (const Theme& t : store.themes())
        if (t.name == name)
            return t;
    return std::nullopt;
}

// Counts the settings-changed notices of the taskbar domain, own ones included.
class NoticeCounter
{
public:
    NoticeCounter()
        : m_token(Notifier::observe(Notices::settingsChanged(Zentrove::taskbarID()),
                                    [this](const std::optional<QString>&) { ++count; }))
    {
    }
    int count = 0;

private:
    NoticeToken m_token;
};

// Identity of the domain file: any write replaces it.
QString fileStamp()
{
    const QFileInfo info(domain().filePath());
    return QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char('/') + QString::number(info.size())
        + QLatin1Char('/') + QString::number(info.birthTime().toMSecsSinceEpoch())
        + QLatin1Char('/') + QString::number(info.metadataChangeTime().toMSecsSinceEpoch());
}

// Lets queued notices go out and come back.
void settle()
{
    QTest::qWait(150);
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void firstStartSeedsLayoutAndStyles()
    {
        TestHome home;
        auto store = openStore();
        const QStringList layout = store->layout();
        QCOMPARE(layout.size(), 7);
        QCOMPARE(layout.mid(0, 4), (QStringList {"com.apple.finder", "com.apple.Safari", "com.apple.systempreferences", "~running"}));
        QVERIFY(LayoutToken::isDivider(layout[4]));
        QCOMPARE(layout.mid(5), (QStringList {"~downloads", "~trash"}));
        QCOMPARE(store->pinned(), LayoutToken::defaultPinnedApps());
        QCOMPARE(names(store->themes()), (QStringList {"Eclipse", "Graphite", "Infinity", "Frog Pond"}));
        for (const Theme& t : store->themes())
            QCOMPARE(t.builtIn, std::optional<QString>(t.name));
        QCOMPARE(domain().array(SettingsStore::layoutKey())->size(), 7);
        QCOMPARE(domain().array(SettingsStore::seededThemesKey())->size(), 4);
        QVERIFY(Themes::decode(*domain().data(SettingsStore::themesKey())) == store->themes());
        QCOMPARE(store->settings(), TaskbarSettings());
        QVERIFY(!store->accessibilityTrusted());

        // The next start finds everything in place and changes nothing.
        const QString stamp = fileStamp();
        auto again = openStore();
        QCOMPARE(again->layout(), layout);
        QCOMPARE(again->themes(), store->themes());
        QCOMPARE(fileStamp(), stamp);
    }

    void pinnedAppsComeFromTheSeedOrTheDock()
    {
        {
            TestHome home;
            domain().set(SettingsStore::pinnedKey(), QVariantList {"org.kde.kate", "org.kde.dolphin"});
            QCOMPARE(openStore()->pinned(), (QStringList {"org.kde.kate", "org.kde.dolphin"}));
        }
        {
            TestHome home;
            Defaults::domain(DockApps::domain())
                .set(QStringLiteral("persistent-apps"),
                     QVariantList {QVariantMap {{"tile-data", QVariantMap {{"bundle-identifier", "org.gnome.Maps"}}}}});
            AppCatalog maps = noApps();
            maps.knows = [](const QString& id) { return id == QLatin1String("org.gnome.Maps"); };
            SettingsStore store(domain(), false, nullptr, maps);
            QCOMPARE(store.pinned(), QStringList {"org.gnome.Maps"});
        }
    }

    void storedLayoutIsFixedAndWrittenBack()
    {
        TestHome home;
        domain().set(SettingsStore::layoutKey(), QVariantList {"x", "~trash"});
        auto store = openStore();
        const QStringList fixed {"x", "~downloads", "~trash", "~running"};
        QCOMPARE(store->layout(), fixed);
        QCOMPARE(*domain().array(SettingsStore::layoutKey()), QVariantList(fixed.cbegin(), fixed.cend()));

        // Elements that are not strings are dropped, not the user's whole layout.
        domain().set(SettingsStore::layoutKey(), QVariantList {"a", 5, QVariantMap {}, "~running", "~downloads", "~trash"});
        auto reread = openStore();
        QCOMPARE(reread->layout(), (QStringList {"a", "~running", "~downloads", "~trash"}));
        QCOMPARE(domain().array(SettingsStore::layoutKey())->size(), 4);
    }

    void pinUnpinFoldersAndInsert()
    {
        TestHome home;
        domain().set(SettingsStore::layoutKey(), QVariantList {"a", "~running", "~downloads", "~trash"});
        auto store = openStore();
        QSignalSpy changed(store.get(), &SettingsStore::layoutChanged);

        store->pin(QStringLiteral("a"));
        QCOMPARE(changed.count(), 0);
        store->pin(QStringLiteral("b"));
        QCOMPARE(store->layout(), (QStringList {"a", "b", "~running", "~downloads", "~trash"}));
        QCOMPARE(changed.count(), 1);

        store->addFolder(QStringLiteral("/home/u/Music/../Work/"));
        store->addFolder(QStringLiteral("/home/u/Work"));
        store->addFolder(QStringLiteral("/home/u/Work/Reports"));
        store->addFolder(QStringLiteral("/home/u/Workshop"));
        QCOMPARE(store->layout().mid(3, 4), (QStringList {"~folder:/home/u/Work", "~folder:/home/u/Work/Reports",
                                                          "~folder:/home/u/Workshop", "~downloads"}));
        store->unpinFolders(QStringLiteral("/home/u/Work/"));
        QCOMPARE(store->layout(), (QStringList {"a", "b", "~running", "~folder:/home/u/Workshop", "~downloads", "~trash"}));

        store->insert(QStringLiteral("c"), QStringLiteral("a"));
        store->insert(QStringLiteral("d"), QStringLiteral("missing"));
        store->insert(QStringLiteral("e"));
        QCOMPARE(store->pinned(), (QStringList {"a", "c", "b", "d", "e"}));

        store->unpin(QStringLiteral("b"));
        store->unpin(QStringLiteral("~trash")); // the fix-up keeps the Trash
        QCOMPARE(store->layout(), (QStringList {"a", "c", "~running", "~folder:/home/u/Workshop", "~downloads", "d", "e", "~trash"}));
        QCOMPARE(*domain().array(SettingsStore::layoutKey()), QVariantList(store->layout().cbegin(), store->layout().cend()));
    }

    void deletedBuiltInStaysDeletedUntilRestored()
    {
        TestHome home;
        const QUuid graphite = Theme::builtInNamed(QStringLiteral("Graphite"))->id;
        {
            auto store = openStore();
            store->deleteTheme(graphite);
            QCOMPARE(names(store->themes()), (QStringList {"Eclipse", "Infinity", "Frog Pond"}));
            store->deleteTheme(QUuid::createUuid()); // unknown: nothing
            QCOMPARE(store->themes().size(), 3);
        }
        auto store = openStore();
        QCOMPARE(names(store->themes()), (QStringList {"Eclipse", "Infinity", "Frog Pond"}));
        const QList<Theme> missing = store->missingBuiltInThemes();
        QCOMPARE(missing.size(), 1);
        QCOMPARE(missing[0].id, graphite);
        QCOMPARE(missing[0].builtIn, std::optional<QString>("Graphite"));

        store->saveCurrentAsTheme(QStringLiteral("graphite "));
        store->restoreBuiltInThemes();
        QCOMPARE(names(store->themes()), (QStringList {"Eclipse", "Infinity", "Frog Pond", "graphite ", "Graphite 2"}));
        QVERIFY(store->missingBuiltInThemes().isEmpty());
        QVERIFY(!domain().dictionary(SettingsStore::removedThemesKey()).value_or(QVariantMap()).contains("Graphite"));

        // Restoring by name gives the present one back, or adds the missing one once.
        QCOMPARE(store->restoreBuiltInTheme(QStringLiteral("Graphite"))->id, graphite);
        store->deleteTheme(Theme::builtInNamed(QStringLiteral("Infinity"))->id);
        const std::optional<QUuid> restored = store->restoreShipped(Theme::builtInNamed(QStringLiteral("Infinity"))->id);
        QCOMPARE(restored, Theme::builtInNamed(QStringLiteral("Infinity"))->id);
        QCOMPARE(store->themes().size(), 5);
        QCOMPARE(store->restoreBuiltInTheme(QStringLiteral("Nonesuch")), std::nullopt);
    }

    void permissionReportsWriteAndAnnounceOnce()
    {
        TestHome home;
        auto store = openStore();
        settle();
        NoticeCounter notices;
        QSignalSpy changed(store.get(), &SettingsStore::accessibilityTrustedChanged);
        store->reportTrusted(true);
        settle();
        const QString stamp = fileStamp();
        store->reportTrusted(true);
        settle();
        QCOMPARE(notices.count, 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(fileStamp(), stamp);
        QCOMPARE(domain().boolean(QStringLiteral("accessibilityTrusted")), std::optional<bool>(true));
        QVERIFY(store->accessibilityTrusted());
        store->reportScreenRecording(false); // absent key: false is written once
        QCOMPARE(domain().boolean(QStringLiteral("screenRecording")), std::optional<bool>(false));
    }

    void reloadAssignsOnlyWhatChanged()
    {
        TestHome home;
        auto store = openStore();
        settle();
        NoticeCounter notices;
        QSignalSpy settingsSpy(store.get(), &SettingsStore::settingsChanged);
        QSignalSpy themesSpy(store.get(), &SettingsStore::themesChanged);
        QSignalSpy layoutSpy(store.get(), &SettingsStore::layoutChanged);
        QSignalSpy activeSpy(store.get(), &SettingsStore::activeThemeIDChanged);
        const QString stamp = fileStamp();

        store->reload();
        settle();
        QCOMPARE(settingsSpy.count() + themesSpy.count() + layoutSpy.count() + activeSpy.count(), 0);
        QCOMPARE(notices.count, 0);
        QCOMPARE(fileStamp(), stamp);

        // Another process changes the bar height.
        TaskbarSettings other = store->settings();
        other.barHeight = 64;
        domain().set(SettingsStore::settingsKey(), *other.encode());
        domain().set(SettingsStore::activeThemeKey(), QStringLiteral("not a uuid"));
        domain().set(QStringLiteral("screenRecording"), true);
        QSignalSpy recordingSpy(store.get(), &SettingsStore::screenRecordingChanged);
        const QString written = fileStamp();
        store->reload();
        settle();
        QCOMPARE(store->settings().barHeight, 64.0);
        QCOMPARE(settingsSpy.count(), 1);
        QVERIFY(store->screenRecording());
        QCOMPARE(recordingSpy.count(), 1);
        QCOMPARE(themesSpy.count() + layoutSpy.count() + activeSpy.count(), 0);
        QCOMPARE(notices.count, 0);
        QCOMPARE(fileStamp(), written);
    }

    void changesAreWrittenAndAnnounced()
    {
        TestHome home;
        auto store = openStore();
        settle();
        NoticeCounter notices;
        TaskbarSettings s = store->settings();
        s.autoHide = true;
        store->setSettings(s);
        s.edge = BarEdge::top;
        store->setSettings(s);
        store->setSettings(s); // unchanged: nothing
        settle();
        QCOMPARE(notices.count, 1); // one notice per main-loop turn
        QCOMPARE(TaskbarSettings::decode(*domain().data(SettingsStore::settingsKey())), std::optional<TaskbarSettings>(s));

        // A value JSON cannot hold is kept in memory; the stored one stays.
        TaskbarSettings broken = s;
        broken.barHeight = std::numeric_limits<double>::infinity();
        store->setSettings(broken);
        QCOMPARE(TaskbarSettings::decode(*domain().data(SettingsStore::settingsKey())), std::optional<TaskbarSettings>(s));

        // A store that does not sync writes but stays quiet.
        auto quiet = openStore(false);
        settle();
        notices.count = 0;
        quiet->pin(QStringLiteral("org.example.Quiet"));
        settle();
        QCOMPARE(notices.count, 0);
        QVERIFY(domain().array(SettingsStore::layoutKey())->contains(QStringLiteral("org.example.Quiet")));
    }

    void activeStyleAndEdits()
    {
        TestHome home;
        auto store = openStore(false);
        const Theme eclipse = *named(*store, QStringLiteral("Eclipse"));
        QCOMPARE(store->activeTheme(), std::nullopt);
        QVERIFY(!store->activeThemeEdited());

        store->applyTheme(eclipse);
        QCOMPARE(store->activeThemeID(), std::optional<QUuid>(eclipse.id));
        QCOMPARE(store->activeTheme()->id, eclipse.id);
        QCOMPARE(store->currentTheme()->id, eclipse.id);
        QVERIFY(!store->activeThemeEdited());
        QCOMPARE(domain().string(SettingsStore::activeThemeKey()), std::optional<QString>(eclipse.id.toString(QUuid::WithoutBraces).toUpper()));

        TaskbarSettings s = store->settings();
        s.barHeight = 60;
        store->setSettings(s);
        QCOMPARE(store->currentTheme(), std::nullopt);
        QCOMPARE(store->activeTheme()->id, eclipse.id); // no longer matching, still active
        QVERIFY(store->activeThemeEdited());
        QVERIFY(store->originalTheme(eclipse.id) == std::nullopt); // the style itself is unedited

        store->saveCurrentToActiveTheme();
        QVERIFY(!store->activeThemeEdited());
        const Theme saved = *named(*store, QStringLiteral("Eclipse"));
        QCOMPARE(saved.id, eclipse.id);
        QCOMPARE(saved.builtIn, std::optional<QString>("Eclipse"));
        QCOMPARE(saved.layout->barHeight, 60.0);

        // The edited built-in can be reset, and being active, it is applied again.
        const std::optional<Theme> original = store->originalTheme(eclipse.id);
        QVERIFY(original);
        QCOMPARE(original->layout->barHeight, 52.0);
        store->resetTheme(eclipse.id);
        QCOMPARE(store->settings().barHeight, 52.0);
        QCOMPARE(*named(*store, QStringLiteral("Eclipse")), eclipse);

        // Another style that matches takes over as active when the active one does not match.
        const Theme graphite = *named(*store, QStringLiteral("Graphite"));
        store->setSettings(graphite.applied(store->settings()));
        QCOMPARE(store->activeTheme()->id, graphite.id);

        // The hour format is the user's: changing it is not an edit.
        s = store->settings();
        s.use24Hour = !s.use24Hour;
        store->setSettings(s);
        QVERIFY(!store->activeThemeEdited());
    }

    void absentPartsOfTheActiveStyleAreNotEdits()
    {
        TestHome home;
        auto store = openStore(false);
        Theme bare;
        bare.id = QUuid::createUuid();
        bare.name = QStringLiteral("Bare");
        bare.style = BackgroundStyle::solid;
        bare.background = RGBA(0.2, 0.2, 0.2, 1);
        bare.background2 = RGBA(0.9, 0, 0, 1);
        bare.foreground = RGBA(1, 1, 1, 1);
        bare.indicator = RGBA(1, 1, 0, 1);
        store->setThemes(store->themes() + QList<Theme> {bare});
        store->applyTheme(bare);
        TaskbarSettings s = store->settings();
        s.background2 = RGBA(0, 0, 1, 1); // unused by a solid fill
        store->setSettings(s);
        QVERIFY(!store->activeThemeEdited());
        s.topBorderOpacity = 0.5; // the border is part of the style
        store->setSettings(s);
        QVERIFY(store->activeThemeEdited());
    }

    void duplicateRenameAndSaveAs()
    {
        TestHome home;
        auto store = openStore(false);
        const QUuid eclipse = named(*store, QStringLiteral("Eclipse"))->id;
        const std::optional<QUuid> copy = store->duplicateTheme(eclipse);
        QVERIFY(copy && *copy != eclipse);
        QCOMPARE(names(store->themes()).mid(0, 2), (QStringList {"Eclipse", "Eclipse 2"}));
        QCOMPARE(store->themes()[1].builtIn, std::nullopt);
        QCOMPARE(store->duplicateTheme(QUuid::createUuid()), std::nullopt);

        store->renameTheme(*copy, QStringLiteral("graphite"));
        QCOMPARE(store->themes()[1].name, QStringLiteral("graphite 2"));
        store->renameTheme(*copy, QStringLiteral("graphite 2")); // its own name is not taken
        QCOMPARE(store->themes()[1].name, QStringLiteral("graphite 2"));

        const QUuid mine = store->saveCurrentAsTheme(QStringLiteral("Eclipse"));
        QCOMPARE(store->themes().last().name, QStringLiteral("Eclipse 2")); // the copy was renamed, so the name is free again
        QCOMPARE(store->activeThemeID(), std::optional<QUuid>(mine));
        QCOMPARE(store->originalTheme(mine), std::nullopt);
    }

    void uneditedBuiltInsFollowANewVersion()
    {
        TestHome home;
        const Theme eclipse = *Theme::builtInNamed(QStringLiteral("Eclipse"));
        const Theme graphite = *Theme::builtInNamed(QStringLiteral("Graphite"));
        {
            auto store = openStore(false);
            store->applyTheme(*named(*store, QStringLiteral("Eclipse")));
        }
        // Pretend an older version shipped both styles with another height; the user edited Graphite.
        const auto older = [](Theme t) {
            t.layout->barHeight = 40;
            return t;
        };
        QVariantMap shipped = *domain().dictionary(SettingsStore::shippedThemesKey());
        shipped.insert("Eclipse", QJsonDocument(older(eclipse).toJson()).toJson(QJsonDocument::Compact));
        shipped.insert("Graphite", QJsonDocument(older(graphite).toJson()).toJson(QJsonDocument::Compact));
        domain().set(SettingsStore::shippedThemesKey(), shipped);
        QList<Theme> stored = Themes::decode(*domain().data(SettingsStore::themesKey()));
        stored[0] = older(stored[0]);
        stored[1].layout->barHeight = 30;
        domain().set(SettingsStore::themesKey(), *Themes::encode(stored));
        TaskbarSettings s = stored[0].applied(TaskbarSettings());
        domain().set(SettingsStore::settingsKey(), *s.encode());

        auto store = openStore(false);
        QCOMPARE(named(*store, QStringLiteral("Eclipse"))->layout->barHeight, 52.0);
        QCOMPARE(named(*store, QStringLiteral("Graphite"))->layout->barHeight, 30.0);
        QCOMPARE(store->settings().barHeight, 52.0); // the bar followed its active style
        QVERIFY(Theme::fromJson(QJsonDocument::fromJson(
                    domain().dictionary(SettingsStore::shippedThemesKey())->value("Eclipse").toByteArray()).object())
                == eclipse);
    }

    void settingsForADisplay()
    {
        TestHome home;
        auto store = openStore(false);
        TaskbarSettings s = store->settings();
        s.indicatorFollowsWallpaper = true;
        s.indicatorColor = RGBA::fromHex(0xF0A08A, 0.9);
        store->setSettings(s);
        store->displayWallpapers.insert(7, WallpaperColours {0x336699});

        const TaskbarSettings seven = store->settings(7);
        QCOMPARE(seven.indicatorColor, RGBA::fromHex(0x336699, 0.9));
        QVERIFY(!seven.indicatorFollowsWallpaper);
        QCOMPARE(store->settings(8), s);

        // A display's own style comes first; one that does not follow the wallpaper keeps its colour.
        const Theme infinity = *named(*store, QStringLiteral("Infinity"));
        store->displayThemes.insert(7, infinity.id);
        QCOMPARE(store->settings(7).indicatorColor, infinity.indicator);
        QCOMPARE(store->settings(7).edge, BarEdge::left);
        store->displayThemes.insert(8, QUuid::createUuid()); // unknown style: ignored
        QCOMPARE(store->settings(8), s);

        store->contentLengths.insert(7, 5000);
        const BarScreen screen {7, QRectF(0, 0, 1440, 900), 875};
        QCOMPARE(store->barFrame(screen), QRectF(8, 0, 62, 875));
    }

    void wallpaperColoursFromAThumbnail()
    {
        TestHome home;
        const QString red = home.path() + QStringLiteral("/red.png");
        QImage picture(64, 64, QImage::Format_RGB32);
        picture.fill(QColor(255, 0, 0));
        for (int x = 0; x < 64; ++x)
            for (int y = 56; y < 64; ++y)
                picture.setPixelColor(x, y, Qt::white); // a bright bottom edge
        QVERIFY(picture.save(red));
        const std::optional<WallpaperColours> colours = WallpaperColours::fromThumbnail(red);
        QVERIFY(colours && colours->accent);
        QVERIFY((*colours->accent >> 16) > ((*colours->accent >> 8) & 0xFF)); // reddish
        QVERIFY(colours->edges.bottom > 0.9);
        QVERIFY(colours->edges.top < 0.3);
        QCOMPARE(WallpaperColours::fromThumbnail(home.path() + QStringLiteral("/missing.png")), std::nullopt);
        QFile junk(home.path() + QStringLiteral("/junk.png"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a picture");
        junk.close();
        QCOMPARE(WallpaperColours::fromThumbnail(junk.fileName()), std::nullopt);
    }

    void damagedStoredValuesReadAsDefaults()
    {
        TestHome home;
        domain().set(SettingsStore::settingsKey(), QByteArray(R"({"overflow": "wrap"})"));
        domain().set(SettingsStore::themesKey(), QByteArray("not json"));
        domain().set(SettingsStore::activeThemeKey(), qlonglong(5));
        domain().set(SettingsStore::seededThemesKey(), QStringLiteral("Eclipse"));
        domain().set(QStringLiteral("accessibilityTrusted"), QStringLiteral("yes"));
        auto store = openStore(false);
        QCOMPARE(store->settings(), TaskbarSettings());
        QCOMPARE(store->activeThemeID(), std::nullopt);
        QVERIFY(!store->accessibilityTrusted());
        QCOMPARE(store->themes().size(), 4); // seeded, as the bookkeeping was unreadable
        // The unreadable settings stay stored until the user changes something.
        QCOMPARE(*domain().data(SettingsStore::settingsKey()), QByteArray(R"({"overflow": "wrap"})"));
    }
};

QTEST_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
