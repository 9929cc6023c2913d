#include "clock/clock_hours.h"
#include "clock/clock_style.h"
#include "clock/date_text.h"
#include "clock/presets.h"

#include <QJsonDocument>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <unicode/locid.h>

namespace {

QByteArray withKey(const char* key, const QJsonValue& value)
{
    QJsonObject object = ClockStyle().toJson();
    object.insert(QLatin1String(key), value);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

template<typename E>
void checkRoundTrip()
{
    QStringList raws;
    for (const E value : allCases<E>()) {
        const QString raw = rawValue(value);
        QVERIFY(!raw.isEmpty());
        QVERIFY(!title(value).isEmpty());
        QCOMPARE(enumFromRaw<E>(raw), std::optional<E>(value));
        raws << raw;
    }
    QCOMPARE(QSet<QString>(raws.begin(), raws.end()).size(), raws.size());
    QCOMPARE(enumFromRaw<E>(QStringLiteral("Nonsense")), std::nullopt);
}

} // namespace

class TestClockStyle : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { ClockHours::shared().setFormat(ClockTimeFormat::mac); }

    void enumerationsRoundTripTheirStoredNames()
    {
        checkRoundTrip<FontDesign>();
        checkRoundTrip<FontWeightOption>();
        checkRoundTrip<ScreenPosition>();
        checkRoundTrip<TextAlign>();
        checkRoundTrip<DateFormatOption>();
        checkRoundTrip<TimeArrangement>();
        checkRoundTrip<TimeSeparator>();
        checkRoundTrip<DigitFinish>();
        checkRoundTrip<DatePlacement>();
        checkRoundTrip<LinePlacement>();
        checkRoundTrip<ClockTimeFormat>();
        // Stored names are case-sensitive.
        QCOMPARE(enumFromRaw<TimeArrangement>(QStringLiteral("OneLine")), std::nullopt);
    }

    void enumerationFacts()
    {
        QCOMPARE(managerWeight(FontWeightOption::semibold), 8);
        QCOMPARE(axisValue(FontWeightOption::semibold), 600);
        QCOMPARE(managerWeight(FontWeightOption::medium), 6);
        QCOMPARE(axisValue(FontWeightOption(42)), 400);
        QCOMPARE(title(FontWeightOption::ultraLight), QStringLiteral("Ultra Light"));
        QCOMPARE(title(DatePlacement::around), QStringLiteral("Split"));
        QCOMPARE(title(TextAlign::trailing), QStringLiteral("Right"));
        QCOMPARE(textAlign(ScreenPosition::bottomRight), TextAlign::trailing);
        QCOMPARE(textAlign(ScreenPosition::center), TextAlign::center);
        QCOMPARE(text(TimeSeparator::dot), QString(QChar(0x00B7)));
        QCOMPARE(pattern(DateFormatOption::numericUS), QStringLiteral("M/d/yyyy"));
        QCOMPARE(allCases<ScreenPosition>().first(), ScreenPosition::topLeft);
    }

    void emptyObjectDecodesToTheDefaultStyle()
    {
        QCOMPARE(ClockStyle::decode(QByteArray("{}")), std::optional<ClockStyle>(ClockStyle()));
        const auto seconds = ClockStyle::decode(QByteArray(R"({"showSeconds":true})"));
        QVERIFY(seconds);
        ClockStyle expected;
        expected.showSeconds = true;
        QCOMPARE(*seconds, expected);
    }

    void everyStyleSurvivesEncoding()
    {
        for (const NamedStyle& preset : Presets::builtIn())
            QCOMPARE(ClockStyle::decode(preset.style.encode()), std::optional<ClockStyle>(preset.style));
        QCOMPARE(ClockStyle::decode(Presets::bold().encode()), std::optional<ClockStyle>(Presets::bold()));
    }

    void damagedStylesFail_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("not json") << QByteArray("{\"timeFont\":");
        QTest::newRow("array") << QByteArray("[]");
        QTest::newRow("string") << QByteArray("\"style\"");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("time font without size")
            << QByteArray(R"({"timeFont":{"family":"","design":"rounded","weight":"bold"}})");
        QTest::newRow("size as text")
            << QByteArray(R"({"timeFont":{"family":"","design":"rounded","weight":"bold","size":"104"}})");
        QTest::newRow("width as text")
            << QByteArray(R"({"timeFont":{"family":"","design":"rounded","weight":"bold","size":9,"width":"x"}})");
        QTest::newRow("unknown weight")
            << QByteArray(R"({"labelFont":{"family":"","design":"standard","weight":"chunky","size":9}})");
        QTest::newRow("colour without alpha") << QByteArray(R"({"timeColor":{"r":1,"g":1,"b":1}})");
        QTest::newRow("number as boolean") << QByteArray(R"({"showDate":1})");
        QTest::newRow("unknown position") << QByteArray(R"({"position":"middle"})");
        QTest::newRow("own line look incomplete") << QByteArray(R"({"ownLineLook":{"tracking":1}})");
        QTest::newRow("null for a required key") << QByteArray(R"({"lineSpacing":null})");
    }
    void damagedStylesFail()
    {
        QFETCH(QByteArray, data);
        QCOMPARE(ClockStyle::decode(data), std::nullopt);
    }

    void tolerantDecodingKeepsWhatIsGood()
    {
        // Extra keys are ignored; optional keys may be null or absent; width is optional.
        const auto style = ClockStyle::decode(withKey("futureKey", QJsonObject{{"a", 1}}));
        QCOMPARE(style, std::optional<ClockStyle>(ClockStyle()));
        QCOMPARE(ClockStyle::decode(withKey("ownLineLook", QJsonValue::Null)), std::optional<ClockStyle>(ClockStyle()));
        const auto aligned = ClockStyle::decode(withKey("labelAlign", QStringLiteral("trailing")));
        QVERIFY(aligned && aligned->labelAlign == TextAlign::trailing);
        const auto wide = ClockStyle::decode(
            QByteArray(R"({"timeFont":{"family":"X","design":"serif","weight":"black","size":80,"width":120}})"));
        QVERIFY(wide);
        QCOMPARE(wide->timeFont, (FontSpec{QStringLiteral("X"), FontDesign::serif, FontWeightOption::black, 80, 120.0}));
        QCOMPARE(wide->labelFont, ClockStyle().labelFont);
        // An absent width is left out when encoding.
        QVERIFY(!ClockStyle().toJson().value(QStringLiteral("timeFont")).toObject().contains(QStringLiteral("width")));
        QVERIFY(!ClockStyle().toJson().contains(QStringLiteral("ownLineLook")));
    }

    void derivedValues()
    {
        ClockStyle style;
        QCOMPARE(style.canvasPadding(), 38.0);
        style.shadowRadius = 1;
        QCOMPARE(style.canvasPadding(), 16.0);
        style.position = ScreenPosition::topRight;
        QCOMPARE(style.textAlign(), TextAlign::trailing);
        const TextLook look = style.labelLook();
        QCOMPARE(look.font, style.labelFont);
        QCOMPARE(look.color, style.labelColor);
        QVERIFY(!look.uppercase);
    }

    void timeParts_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<ClockTimeFormat>("format");
        QTest::addColumn<bool>("leadingZero");
        QTest::addColumn<bool>("showSeconds");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("24h no zero") << QTime(9, 5, 7) << ClockTimeFormat::twentyFour << false << false << QStringList{"9", "05"};
        QTest::newRow("24h zero secs") << QTime(9, 5, 7) << ClockTimeFormat::twentyFour << true << true << QStringList{"09", "05", "07"};
        QTest::newRow("12h zero evening") << QTime(21, 5) << ClockTimeFormat::twelve << true << false << QStringList{"09", "05"};
        QTest::newRow("12h no zero evening") << QTime(21, 5) << ClockTimeFormat::twelve << false << false << QStringList{"9", "05"};
        QTest::newRow("24h evening") << QTime(21, 5) << ClockTimeFormat::twentyFour << true << false << QStringList{"21", "05"};
        QTest::newRow("12h midnight") << QTime(0, 0) << ClockTimeFormat::twelve << false << false << QStringList{"12", "00"};
    }
    void timeParts()
    {
        QFETCH(QTime, time);
        QFETCH(ClockTimeFormat, format);
        QFETCH(bool, leadingZero);
        QFETCH(bool, showSeconds);
        QFETCH(QStringList, parts);
        ClockHours::shared().setFormat(format);
        ClockStyle style;
        style.use24Hour = format != ClockTimeFormat::twentyFour; // the style's own flag is not consulted
        style.leadingZero = leadingZero;
        style.showSeconds = showSeconds;
        const QDateTime date(QDate(2026, 3, 14), time);
        QCOMPARE(style.timeParts(date), parts);
        // An explicit request overrides showSeconds.
        QCOMPARE(style.timeParts(date, true).size(), 3);
        QCOMPARE(style.timeParts(date, false).size(), 2);
    }

    // "Follow macOS" takes the default locale's hour cycle, and a changed locale is followed even
    // though the answer is kept between frames.
    void systemHourCycleFollowsTheLocale()
    {
        const icu::Locale saved = icu::Locale::getDefault();
        UErrorCode status = U_ZERO_ERROR;
        ClockHours::shared().setFormat(ClockTimeFormat::mac);
        icu::Locale::setDefault(icu::Locale("en_US"), status);
        QVERIFY(!ClockHours::shared().uses24Hour());
        icu::Locale::setDefault(icu::Locale("de_DE"), status);
        QVERIFY(ClockHours::shared().uses24Hour());
        icu::Locale::setDefault(icu::Locale("en_US"), status);
        QVERIFY(!ClockHours::systemUses24Hour());
        icu::Locale::setDefault(saved, status);
        QVERIFY(U_SUCCESS(status));
    }

    // The parts come in the locale's own digits, each on its own.
    void timePartsInTheLocaleDigits()
    {
        ClockHours::shared().setFormat(ClockTimeFormat::twentyFour);
        ClockStyle style;
        style.localeID = QStringLiteral("ar_EG");
        const QDateTime date(QDate(2026, 3, 14), QTime(9, 5, 7));
        QCOMPARE(style.timeParts(date, true),
                 (QStringList{QStringLiteral("\u0660\u0669"), QStringLiteral("\u0660\u0665"), QStringLiteral("\u0660\u0667")}));
    }

    void hoursChangeIsAnnouncedOnce()
    {
        QSignalSpy spy(&ClockHours::shared(), &ClockHours::formatChanged);
        ClockHours::shared().setFormat(ClockTimeFormat::twelve);
        ClockHours::shared().setFormat(ClockTimeFormat::twelve);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!ClockHours::shared().uses24Hour());
        QCOMPARE(ClockHours::shared().uses24Hour(), is24Hour(ClockTimeFormat::twelve));
    }

    void dateTextUsesTheLocaleAndCachesFormatters()
    {
        const QDateTime date(QDate(2026, 3, 14), QTime(9, 5));
        QCOMPARE(DateText::string(QStringLiteral("EEEE"), date), QStringLiteral("Saturday"));
        QCOMPARE(DateText::string(QStringLiteral("EEEE"), QStringLiteral("de_DE"), date), QStringLiteral("Samstag"));
        QCOMPARE(DateText::string(QStringLiteral("d MMMM"), QStringLiteral("fr_FR"), date), QStringLiteral("14 mars"));
        // A locale that does not exist still formats digits and does not crash.
        QCOMPARE(DateText::string(QStringLiteral("d.M.yyyy"), QStringLiteral("zz_ZZ@bogus;;"), date), QStringLiteral("14.3.2026"));
        QVERIFY(!DateText::string(QStringLiteral("EEEE"), QString(), date).isEmpty());
        const int before = DateText::cachedFormatterCount();
        DateText::string(QStringLiteral("EEEE"), QStringLiteral("de_DE"), date.addDays(1));
        QCOMPARE(DateText::cachedFormatterCount(), before);
        DateText::string(QStringLiteral("EEEE"), QStringLiteral("it_IT"), date);
        QCOMPARE(DateText::cachedFormatterCount(), before + 1);
    }
};

QTEST_GUILESS_MAIN(TestClockStyle)
#include "tst_clock_style.moc"
