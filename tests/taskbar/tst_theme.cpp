#include "taskbar/theme.h"

#include <QJsonDocument>
#include <QSet>
#include <QTest>

namespace {

Theme styleWithoutLayoutAndClock()
{
    Theme t;
    t.id = QUuid::createUuid();
    t.name = QStringLiteral("Plain");
    t.style = BackgroundStyle::gradient;
    t.background = RGBA(0.1, 0.2, 0.3, 0.8);
    t.background2 = RGBA(0.3, 0.2, 0.1, 1);
    t.foreground = RGBA(0.9, 0.9, 0.9, 1);
    t.indicator = RGBA(1, 0, 0, 1);
    t.border = 0.25;
    return t;
}

// Settings that differ from the defaults everywhere a style could reach.
TaskbarSettings customised()
{
    TaskbarSettings s;
    s.use24Hour = false;
    s.barHeight = 70;
    s.edge = BarEdge::right;
    s.indicatorGap = 3;
    s.showClock = false;
    s.clockScale = 1.4;
    s.nowPlaying = NowPlayingStyle::song;
    s.autoHide = true;
    s.overflow = BarOverflow::scroll;
    s.trash = TrashPlacement::corner;
    s.clickActive = ClickAction::hide;
    return s;
}

} // namespace

class TestTheme : public QObject
{
    Q_OBJECT

private slots:
    // The shipped styles are stored the way the user's are: each survives being written and read,
    // carries no built-in mark of its own (the store adds it when seeding), and has its own id and
    // name, so restoring one never finds another.
    void builtInsStoreLikeTheUsersStyles()
    {
        const QList<Theme>& all = Theme::builtIns();
        QSet<QUuid> ids;
        QSet<QString> names;
        for (const Theme& t : all) {
            ids.insert(t.id);
            names.insert(t.name);
            QVERIFY(!t.builtIn);
            const std::optional<Theme> read = Theme::fromJson(QJsonDocument::fromJson(QJsonDocument(t.toJson()).toJson()).object());
            QVERIFY2(read && *read == t, qPrintable(t.name));
            QCOMPARE(Theme::builtInNamed(t.name), std::optional<Theme>(t));
        }
        QCOMPARE(ids.size(), all.size());
        QCOMPARE(names.size(), all.size());
        QVERIFY(!all.isEmpty());
    }

    void applyingAStyleWithoutLayoutOrClockGivesTheDefaults()
    {
        const Theme style = styleWithoutLayoutAndClock();
        const TaskbarSettings before = customised();
        const TaskbarSettings after = style.applied(before);
        const TaskbarSettings defaults;

        QCOMPARE(after.backgroundStyle, BackgroundStyle::gradient);
        QCOMPARE(after.background2, style.background2);
        QCOMPARE(after.indicatorColor, style.indicator);
        QCOMPARE(after.indicatorFollowsWallpaper, false);
        QCOMPARE(after.topBorderOpacity, 0.25);
        QCOMPARE(ThemeLayout(after), ThemeLayout(defaults));
        QCOMPARE(after.indicatorGap, std::nullopt);
        QCOMPARE(after.nowPlaying, NowPlayingStyle::off);
        QCOMPARE(after.clockScale, 1.0);
        // The user's hour format and the behaviour stay.
        QCOMPARE(after.use24Hour, false);
        QCOMPARE(after.autoHide, true);
        QCOMPARE(after.overflow, BarOverflow::scroll);
        QCOMPARE(after.trash, TrashPlacement::corner);
        QCOMPARE(after.clickActive, ClickAction::hide);
    }

    void anAppliedStyleMatches()
    {
        for (Theme style : Theme::builtIns() + QList<Theme> {styleWithoutLayoutAndClock()}) {
            TaskbarSettings s = style.applied(customised());
            QVERIFY2(style.matches(s), qPrintable(style.name));
            s.topBorderOpacity += 0.3; // the border is not compared
            QVERIFY(style.matches(s));
            s.use24Hour = !s.use24Hour;
            QVERIFY(style.matches(s));
            s.barHeight += 1;
            QVERIFY(!style.matches(s));
        }
    }

    void secondColourCountsOnlyForGradients()
    {
        Theme style = Theme::builtIns()[2]; // solid
        TaskbarSettings s = style.applied(TaskbarSettings());
        s.background2 = RGBA(0, 1, 0, 1);
        QVERIFY(style.matches(s));
        style.style = BackgroundStyle::gradient;
        s.backgroundStyle = BackgroundStyle::gradient;
        QVERIFY(!style.matches(s));
        s.background2 = style.background2;
        QVERIFY(style.matches(s));
    }

    void absentWallpaperFollowingMatchesOnlyFalse()
    {
        Theme style = styleWithoutLayoutAndClock();
        TaskbarSettings s = style.applied(TaskbarSettings());
        QVERIFY(style.matches(s));
        s.indicatorFollowsWallpaper = true;
        QVERIFY(!style.matches(s));
        style.indicatorFollowsWallpaper = true;
        QVERIFY(style.matches(s));
    }

    void nowPlayingOffIsStoredAbsent()
    {
        TaskbarSettings s;
        s.nowPlaying = NowPlayingStyle::off;
        const ThemeClock clock(s);
        QVERIFY(!clock.nowPlaying);
        QVERIFY(!clock.toJson().contains(QStringLiteral("nowPlaying")));
        s.nowPlaying = NowPlayingStyle::artwork;
        clock.apply(s);
        QCOMPARE(s.nowPlaying, NowPlayingStyle::off);
    }

    void clockEqualityIgnoresTheHourFormat()
    {
        ThemeClock a(TaskbarSettings {});
        ThemeClock b = a;
        b.use24Hour = !a.use24Hour;
        QCOMPARE(a, b);
        b.dateFormat = QStringLiteral("d");
        QVERIFY(!(a == b));
    }

    void styleFromSettingsCopiesTheLook()
    {
        TaskbarSettings s = customised();
        s.indicatorFollowsWallpaper = true;
        const Theme t(QStringLiteral("Mine"), s);
        QVERIFY(!t.id.isNull());
        QCOMPARE(t.indicatorFollowsWallpaper, std::optional<bool>(true));
        QCOMPARE(t.layout, std::optional<ThemeLayout>(ThemeLayout(s)));
        QVERIFY(t.matches(s));
        QVERIFY(!t.builtIn);
        QVERIFY(Theme(QStringLiteral("Other"), s).id != t.id);
    }

    void jsonRoundTripAndOlderLayouts()
    {
        Theme t = Theme::builtIns()[2];
        t.builtIn = QStringLiteral("Infinity");
        t.clock->nowPlaying = NowPlayingStyle::song;
        const QJsonObject json = t.toJson();
        QCOMPARE(json.value(QStringLiteral("id")).toString(), QStringLiteral("3FEBBEB0-1B4A-4581-BDD5-6E8FD114F729"));
        QCOMPARE(Theme::fromJson(json), std::optional<Theme>(t));

        QJsonObject layout = json.value(QStringLiteral("layout")).toObject();
        layout.remove(QStringLiteral("indicator"));
        layout.remove(QStringLiteral("hoverZoom"));
        layout.remove(QStringLiteral("indicatorGap"));
        const std::optional<ThemeLayout> older = ThemeLayout::fromJson(layout);
        QVERIFY(older);
        QCOMPARE(older->indicator, IndicatorStyle::pill);
        QCOMPARE(older->hoverZoom, 1.0);
        QCOMPARE(older->indicatorGap, std::nullopt);
        layout.remove(QStringLiteral("barHeight"));
        QVERIFY(!ThemeLayout::fromJson(layout));
    }

    void storedListsKeepEveryReadableStyle()
    {
        const QByteArray good = *Themes::encode(Theme::builtIns());
        QCOMPARE(Themes::decode(good), Theme::builtIns());

        QJsonArray array = QJsonDocument::fromJson(good).array();
        QJsonObject broken = array[1].toObject();
        broken.insert(QStringLiteral("style"), QStringLiteral("neon"));
        array[1] = broken;
        QJsonObject badId = array[2].toObject();
        badId.insert(QStringLiteral("id"), QStringLiteral("not-a-uuid"));
        array[2] = badId;
        array.append(42);
        array.append(QStringLiteral("theme"));
        const QList<Theme> kept = Themes::decode(QJsonDocument(array).toJson());
        QCOMPARE(kept.size(), 2);
        QCOMPARE(kept[0].name, QStringLiteral("Eclipse"));
        QCOMPARE(kept[1].name, QStringLiteral("Frog Pond"));

        QVERIFY(Themes::decode("{}").isEmpty());
        QVERIFY(Themes::decode("[").isEmpty());

        Theme infinite = Theme::builtIns()[0];
        infinite.border = std::numeric_limits<double>::infinity();
        QVERIFY(!Themes::encode({infinite}));
    }
};

QTEST_GUILESS_MAIN(TestTheme)
#include "tst_theme.moc"
