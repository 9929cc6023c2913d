#include "taskbar/locale_patterns.h"
#include "taskbar/taskbar_settings.h"

#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

#include <functional>

#include <unicode/locid.h>

namespace {

TaskbarSettings decodeOrFail(const char* json)
{
    const std::optional<TaskbarSettings> decoded = TaskbarSettings::decode(QByteArray(json));
    if (!decoded)
        qWarning("did not decode: %s", json);
    return decoded.value_or(TaskbarSettings());
}

// The defaults as a record written before the running-apps split would read.
TaskbarSettings legacyDefaults()
{
    TaskbarSettings s;
    s.indicatorFollowsWallpaper = false;
    return s;
}

RGBA randomColour(QRandomGenerator& random)
{
    return RGBA(random.generateDouble(), random.generateDouble(), random.generateDouble(), random.generateDouble());
}

template<typename E>
E randomCase(QRandomGenerator& random)
{
    const QList<E> cases = TaskbarEnum::allCases<E>();
    return cases[random.bounded(int(cases.size()))];
}

TaskbarSettings randomSettings(QRandomGenerator& random)
{
    TaskbarSettings s;
    TaskbarSettings::forEachField(s, [&](const QString&, auto& field) {
        using T = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<T, bool>)
            field = random.bounded(2) == 1;
        else if constexpr (std::is_same_v<T, double>)
            field = (random.generateDouble() - 0.3) * 1000;
        else if constexpr (std::is_same_v<T, std::optional<double>>)
            field = random.bounded(2) ? std::optional<double>(random.generateDouble() * 40) : std::nullopt;
        else if constexpr (std::is_same_v<T, RGBA>)
            field = randomColour(random);
        else if constexpr (std::is_same_v<T, QString>)
            field = QStringLiteral("EEE d. MMM \"%1\" ü").arg(random.generate());
        else
            field = randomCase<T>(random);
    });
    return s;
}

} // namespace

class TestTaskbarSettings : public QObject
{
    Q_OBJECT

private slots:
    void enumerationsRoundTripAndRejectTitles()
    {
        for (BarEdge edge : TaskbarEnum::allCases<BarEdge>())
            QCOMPARE(TaskbarEnum::fromRaw<BarEdge>(TaskbarEnum::rawValue(edge)), edge);
        QCOMPARE(TaskbarEnum::rawValue(ClickAction::hideOthers), QStringLiteral("hideOthers"));
        QCOMPARE(TaskbarEnum::title(NowPlayingStyle::full), QStringLiteral("Artwork and song"));
        QVERIFY(!TaskbarEnum::fromRaw<BackgroundStyle>(u"Solid"));
        QVERIFY(!TaskbarEnum::fromRaw<BackgroundStyle>(u""));
        QCOMPARE(TaskbarEnum::allCases<IndicatorStyle>(),
                 (QList<IndicatorStyle> {IndicatorStyle::pill, IndicatorStyle::dot, IndicatorStyle::line, IndicatorStyle::none}));
    }

    void cornerTitlesFollowTheEdge()
    {
        QCOMPARE(title(BarCorners::top, BarEdge::bottom), QStringLiteral("Top only"));
        QCOMPARE(title(BarCorners::top, BarEdge::top), QStringLiteral("Bottom only"));
        QCOMPARE(title(BarCorners::top, BarEdge::left), QStringLiteral("Right only"));
        QCOMPARE(title(BarCorners::top, BarEdge::right), QStringLiteral("Left only"));
        QCOMPARE(title(BarCorners::all, BarEdge::left), QStringLiteral("All"));
        QCOMPARE(title(BarCorners::square, BarEdge::top), QStringLiteral("Square"));
    }

    void emptyObjectIsTheDefaultsOfAnOldRecord()
    {
        QCOMPARE(decodeOrFail("{}"), legacyDefaults());
        // A record that has the newer key keeps following the wallpaper.
        QCOMPARE(decodeOrFail(R"({"separateRunningApps": false})"), TaskbarSettings());
    }

    void legacyKeysMigrate()
    {
        struct Case
        {
            const char* json;
            std::function<void(TaskbarSettings&)> expect;
        };
        const QList<Case> cases {
            {R"({"corner": "timeDateTrash", "separateRunningApps": false, "showDate": false})",
             [](TaskbarSettings& s) { s.indicatorFollowsWallpaper = true; s.showDate = true; s.trash = TrashPlacement::corner; }},
            {R"({"corner": "time", "showDate": true})", [](TaskbarSettings& s) { s.showDate = false; s.trash = TrashPlacement::apps; }},
            {R"({"corner": "timeDate", "showDate": false})", [](TaskbarSettings& s) { s.showDate = true; }},
            {R"({"corner": "time", "trash": "hidden"})", [](TaskbarSettings& s) { s.trash = TrashPlacement::hidden; }},
            {R"({"corner": 3, "showDate": false})", [](TaskbarSettings& s) { s.showDate = false; }},
            {R"({"blur": true})", [](TaskbarSettings& s) { s.backgroundStyle = BackgroundStyle::glass; }},
            {R"({"blur": true, "backgroundStyle": "solid"})", [](TaskbarSettings&) {}},
            {R"({"blur": "yes"})", [](TaskbarSettings&) {}},
            {R"({"bottomGap": 12})", [](TaskbarSettings& s) { s.edgeGap = 12; }},
            {R"({"bottomGap": 12, "edgeGap": 3})", [](TaskbarSettings& s) { s.edgeGap = 3; }},
            {R"({"overflow": "runPast"})", [](TaskbarSettings& s) { s.overflow = BarOverflow::menu; }},
            {R"({"overflow": "trim"})", [](TaskbarSettings& s) { s.overflow = BarOverflow::menu; }},
            {R"({"clickFocusedHides": true})", [](TaskbarSettings& s) { s.clickActive = ClickAction::hide; }},
            {R"({"clickFocusedHides": false, "clickActive": "hideOthers"})",
             [](TaskbarSettings& s) { s.clickActive = ClickAction::hideOthers; }},
            {R"({"nowPlaying": "lyrics"})", [](TaskbarSettings& s) { s.nowPlaying = NowPlayingStyle::full; }},
            {R"({"indicatorFollowsWallpaper": true})", [](TaskbarSettings&) {}},
            {R"({"corner": "timeDateTrash", "blur": true, "bottomGap": 4, "overflow": "trim", "clickFocusedHides": true, "futureKey": [1]})",
             [](TaskbarSettings& s) {
                 s.showDate = true; s.trash = TrashPlacement::corner; s.backgroundStyle = BackgroundStyle::glass;
                 s.edgeGap = 4; s.overflow = BarOverflow::menu; s.clickActive = ClickAction::hide;
             }},
        };
        for (const Case& c : cases) {
            TaskbarSettings expected = legacyDefaults();
            c.expect(expected);
            QVERIFY2(TaskbarSettings::decode(QByteArray(c.json)) == expected, c.json);
        }
    }

    void badRecordsFailAsAWhole_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("not json") << QByteArray("{\"barHeight\": ");
        QTest::newRow("array") << QByteArray("[]");
        QTest::newRow("string") << QByteArray("\"settings\"");
        QTest::newRow("number as text") << QByteArray(R"({"barHeight": "52"})");
        QTest::newRow("bool as number") << QByteArray(R"({"showClock": 1})");
        QTest::newRow("unknown overflow") << QByteArray(R"({"overflow": "wrap"})");
        QTest::newRow("title instead of raw") << QByteArray(R"({"edge": "Bottom"})");
        QTest::newRow("null required") << QByteArray(R"({"edge": null})");
        QTest::newRow("colour lacking a") << QByteArray(R"({"background": {"r": 0, "g": 0, "b": 0}})");
        QTest::newRow("bottomGap text") << QByteArray(R"({"bottomGap": "12"})");
        QTest::newRow("gap of wrong type") << QByteArray(R"({"indicatorGap": "8"})");
        QTest::newRow("nowPlaying number") << QByteArray(R"({"nowPlaying": 2})");
        QTest::newRow("bad trash beside corner") << QByteArray(R"({"corner": "time", "trash": 5})");
    }
    void badRecordsFailAsAWhole()
    {
        QFETCH(QByteArray, json);
        QVERIFY(!TaskbarSettings::decode(json));
    }

    void indicatorGapIsOptional()
    {
        TaskbarSettings s;
        QVERIFY(!s.toJson().contains(QStringLiteral("indicatorGap")));
        QCOMPARE(decodeOrFail(R"({"indicatorGap": null, "separateRunningApps": false})").indicatorGap, std::nullopt);
        s.indicatorGap = 0;
        QCOMPARE(TaskbarSettings::decode(*s.encode())->indicatorGap, std::optional<double>(0));
    }

    void strictDecoderNeedsEveryKey()
    {
        QJsonObject json = TaskbarSettings().toJson();
        QVERIFY(TaskbarSettings::fromJson(json));
        json.remove(QStringLiteral("autoHide"));
        QVERIFY(!TaskbarSettings::fromJson(json));
    }

    void encodeThenDecodeGivesTheSameRecord()
    {
        QRandomGenerator random(20261206);
        for (int i = 0; i < 300; ++i) {
            const TaskbarSettings original = randomSettings(random);
            const std::optional<QByteArray> data = original.encode();
            QVERIFY(data);
            const std::optional<TaskbarSettings> decoded = TaskbarSettings::decode(*data);
            QVERIFY2(decoded == original, data->constData());
        }
    }

    void numbersJsonCannotCarryAreNotEncoded()
    {
        TaskbarSettings s;
        s.barHeight = std::numeric_limits<double>::infinity();
        QVERIFY(!s.encode());
        s.barHeight = 52;
        s.indicatorColor.a = std::numeric_limits<double>::quiet_NaN();
        QVERIFY(!s.encode());
    }

    void dateFormatFollowsTheLocalesMonthDayOrder()
    {
        QCOMPARE(TaskbarSettings::macDateFormat(QStringLiteral("en_US")), QStringLiteral("EEE MMM d"));
        QCOMPARE(TaskbarSettings::macDateFormat(QStringLiteral("en_GB")), QStringLiteral("EEE d MMM"));
        QCOMPARE(TaskbarSettings::macDateFormat(QStringLiteral("de_DE")), QStringLiteral("EEE d MMM"));
        QCOMPARE(LocalePatterns::bestPattern(QStringLiteral("MMMd"), QStringLiteral("en_US")), QStringLiteral("MMM d"));

        // New records follow the current locale, whichever it is at the time.
        const icu::Locale saved = icu::Locale::getDefault();
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale("en_US"), status);
        QCOMPARE(TaskbarSettings().use24Hour, false);
        QCOMPARE(TaskbarSettings().dateFormat, QStringLiteral("EEE MMM d"));
        icu::Locale::setDefault(icu::Locale("de_DE"), status);
        QCOMPARE(TaskbarSettings().use24Hour, true);
        QCOMPARE(TaskbarSettings().dateFormat, QStringLiteral("EEE d MMM"));
        icu::Locale::setDefault(saved, status);
    }

    void indicatorTintFollowsTheWallpaperAtItsOwnOpacity()
    {
        TaskbarSettings s;
        QCOMPARE(s.indicatorTint(0x336699), RGBA::fromHex(0x336699, 0.9));
        s.indicatorFollowsWallpaper = false;
        QCOMPARE(s.indicatorTint(0x336699), s.indicatorColor);
    }
};

QTEST_GUILESS_MAIN(TestTaskbarSettings)
#include "tst_taskbar_settings.moc"
