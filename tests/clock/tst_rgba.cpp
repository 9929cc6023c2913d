#include "clock/rgba.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

class TestRGBA : public QObject
{
    Q_OBJECT
private slots:
    void hexSplitsIntoComponents()
    {
        const RGBA colour = RGBA::fromHex(0x336699);
        QCOMPARE(colour, RGBA(0.2, 0.4, 0.6, 1));
        QVERIFY(!colour.isLight());
        QCOMPARE(RGBA::fromHex(0xFF0000, 0.5), RGBA(1, 0, 0, 0.5));
    }

    void lightnessIsStrictlyAboveHalf_data()
    {
        QTest::addColumn<RGBA>("colour");
        QTest::addColumn<bool>("light");
        QTest::newRow("white") << RGBA(1, 1, 1) << true;
        QTest::newRow("black") << RGBA(0, 0, 0) << false;
        QTest::newRow("exactly half") << RGBA(0.5, 0.5, 0.5) << false;
        QTest::newRow("pure green") << RGBA(0, 1, 0) << true;
        QTest::newRow("pure red") << RGBA(1, 0, 0) << false;
    }
    void lightnessIsStrictlyAboveHalf()
    {
        QFETCH(RGBA, colour);
        QFETCH(bool, light);
        QCOMPARE(colour.isLight(), light);
    }

    void colourRoundTrip()
    {
        QCOMPARE(RGBA::fromColor(QColor()), RGBA(1, 1, 1, 1));
        const RGBA fromHsv = RGBA::fromColor(QColor::fromHsvF(0, 1, 1, 0.5f));
        QVERIFY(qAbs(fromHsv.r - 1) < 1e-4 && qAbs(fromHsv.g) < 1e-4 && qAbs(fromHsv.b) < 1e-4);
        QVERIFY(qAbs(fromHsv.a - 0.5) < 1e-4);
        const QColor colour = RGBA(0.2, 0.4, 0.6, 0.8).color();
        QCOMPARE(colour.red(), 51);
        QCOMPARE(colour.blue(), 153);
        QCOMPARE(colour.alpha(), 204);
    }

    void jsonNeedsAllFourNumbers_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");
        QTest::newRow("complete") << QByteArray(R"({"r":0.1,"g":0.2,"b":0.3,"a":0.4})") << true;
        QTest::newRow("extra key") << QByteArray(R"({"r":0,"g":0,"b":0,"a":1,"x":"y"})") << true;
        QTest::newRow("integers") << QByteArray(R"({"r":1,"g":0,"b":0,"a":1})") << true;
        QTest::newRow("missing a") << QByteArray(R"({"r":0.1,"g":0.2,"b":0.3})") << false;
        QTest::newRow("string component") << QByteArray(R"({"r":"1","g":0,"b":0,"a":1})") << false;
        QTest::newRow("null component") << QByteArray(R"({"r":null,"g":0,"b":0,"a":1})") << false;
        QTest::newRow("array") << QByteArray(R"([1,0,0,1])") << false;
    }
    void jsonNeedsAllFourNumbers()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, decodes);
        const QJsonDocument document = QJsonDocument::fromJson(json);
        const QJsonValue value = document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
        QCOMPARE(RGBA::fromJson(value).has_value(), decodes);
    }

    void jsonRoundTripKeepsFullPrecision()
    {
        const RGBA colour(0.96078431372549022, 0.8901960784313725, 0.85098039215686272, 0.7);
        const QByteArray json = QJsonDocument(colour.toJson()).toJson(QJsonDocument::Compact);
        QCOMPARE(RGBA::fromJson(QJsonDocument::fromJson(json).object()), colour);
        QVERIFY(json.contains("\"r\":") && json.contains("\"a\":0.7"));
    }
};

QTEST_GUILESS_MAIN(TestRGBA)
#include "tst_rgba.moc"
