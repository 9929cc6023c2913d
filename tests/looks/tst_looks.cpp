#include "core/record_json.h"
#include "core/zentrove.h"
#include "library/ensemble_theme.h"
#include "library/library_files.h"
#include "looks/display_ensembles.h"
#include "looks/look.h"
#include "looks/look_request.h"
#include "looks/named_ref.h"
#include "platform/defaults.h"
#include "platform/notifier.h"
#include "platform/process_identity.h"

#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTest>

using RecordJson::uuidText;

Q_DECLARE_METATYPE(QList<NamedRef>)

namespace {
NamedRef ref(const char* name)
{
    return NamedRef {QUuid::createUuid(), QString::fromUtf8(name)};
}
} // namespace

class LooksTest : public QObject
{
    Q_OBJECT

private slots:
    void nameMatch_data()
    {
        QTest::addColumn<QString>("ensemble");
        QTest::addColumn<QList<NamedRef>>("refs");
        QTest::addColumn<int>("expected"); // index into refs, -1 for none
        QTest::newRow("longest candidate") << "  DUSK " << QList<NamedRef> {ref("Dusk"), ref("dusk glow")} << 1;
        QTest::newRow("first of equal length") << "  DUSK " << QList<NamedRef> {ref("Dusk"), ref("DUSK")} << 0;
        QTest::newRow("preset longer") << "Dusk" << QList<NamedRef> {ref("Dusk Glow")} << 0;
        QTest::newRow("ensemble longer") << "Dusk Glow" << QList<NamedRef> {ref("Dusk")} << 0;
        QTest::newRow("not a word boundary") << "Dusk" << QList<NamedRef> {ref("Dusky")} << -1;
        QTest::newRow("accent and case") << QString::fromUtf8("\xC3\x89""CLIPSE") << QList<NamedRef> {ref("Eclipse")} << 0;
        QTest::newRow("decomposed accent") << QString::fromUtf8("E\xCC\x81""clipse") << QList<NamedRef> {ref("eclipse")} << 0;
        QTest::newRow("blank reference") << "" << QList<NamedRef> {ref("   ")} << -1;
        QTest::newRow("counted in characters") << "Cafe" << QList<NamedRef> {ref("Cafe\xCC\x81"), ref("CAFE")} << 0;
    }
    void nameMatch()
    {
        QFETCH(QString, ensemble);
        QFETCH(QList<NamedRef>, refs);
        QFETCH(int, expected);
        const auto found = ::nameMatch(ensemble, refs);
        QCOMPARE(found.has_value(), expected >= 0);
        if (found)
            QCOMPARE(*found, refs.at(expected));
    }

    void lookRequestDecoding_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("valid");
        QTest::newRow("stamp only") << QByteArray("{\"stamp\":12.5}") << true;
        QTest::newRow("no stamp") << QByteArray("{\"clockPreset\":\"0D2F7A52-6C0E-4C59-9D1B-1F0E8A7B3C41\"}") << false;
        QTest::newRow("stamp as text") << QByteArray("{\"stamp\":\"12\"}") << false;
        QTest::newRow("theme of the wrong type") << QByteArray("{\"stamp\":1,\"taskbarTheme\":[]}") << false;
        QTest::newRow("array") << QByteArray("[1]") << false;
        QTest::newRow("truncated") << QByteArray("{\"stamp\":1") << false;
    }
    void lookRequestDecoding()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, valid);
        QCOMPARE(LookRequest::decode(json).has_value(), valid);
    }

    void lookRequestRoundTripsWithoutAbsentKeys()
    {
        const LookRequest request {std::nullopt, QUuid::createUuid(), 1733480000.125};
        const QByteArray bytes = request.encode();
        QVERIFY(!bytes.contains("clockPreset"));
        QCOMPARE(LookRequest::decode(bytes), request);
    }

    void displayMapIsReadTolerantly()
    {
        TestHome home;
        ProcessIdentity::set(Zentrove::bundleID());
        const QUuid id = QUuid::createUuid();
        Defaults& prefs = Look::paneflowPrefs();
        prefs.set(QStringLiteral("displayEnsembles"), QVariantMap {{QStringLiteral("A"), uuidText(id)}, {QStringLiteral("B"), QStringLiteral("junk")}});
        QCOMPARE(DisplayEnsembles::saved(), (DisplayMap {{QStringLiteral("A"), id}}));
        prefs.set(QStringLiteral("displayEnsembles"), QVariantMap {{QStringLiteral("A"), uuidText(id)}, {QStringLiteral("B"), qlonglong(3)}});
        QVERIFY(DisplayEnsembles::saved().isEmpty());
        prefs.set(QStringLiteral("displayEnsembles"), QStringLiteral("A"));
        QVERIFY(DisplayEnsembles::saved().isEmpty());

        QCOMPARE(DisplayEnsembles::decode(DisplayEnsembles::encode({{QStringLiteral("X"), id}})), (DisplayMap {{QStringLiteral("X"), id}}));
        QCOMPARE(DisplayEnsembles::encode({}), QStringLiteral("{}"));
        QVERIFY(!DisplayEnsembles::decode(QStringLiteral("{\"X\":1}")));
        QVERIFY(!DisplayEnsembles::decode(QStringLiteral("\"X\"")));
    }

    void ownEnsembleIgnoresTheMainDisplay()
    {
        const ScreenInfo main {7, QStringLiteral("M"), {}}, side {8, QStringLiteral("S"), {}}, nameless {9, std::nullopt, {}};
        const QUuid a = QUuid::createUuid(), b = QUuid::createUuid();
        const DisplayMap map {{QStringLiteral("M"), a}, {QStringLiteral("S"), b}};
        Screens::setOverride(QList<ScreenInfo> {main});
        QVERIFY(!DisplayEnsembles::ownEnsemble(main, map)); // single display: every entry ignored
        Screens::setOverride(QList<ScreenInfo> {main, side, nameless});
        QVERIFY(!DisplayEnsembles::ownEnsemble(main, map));
        QCOMPARE(DisplayEnsembles::ownEnsemble(side, map), std::optional<QUuid>(b));
        QVERIFY(!DisplayEnsembles::ownEnsemble(nameless, map));
        Screens::setOverride(std::nullopt);
    }

    void chooseWritesTheSharedSettingsWhenThePartIsNotRunning()
    {
        TestHome home;
        ProcessIdentity::set(Zentrove::bundleID());
        const LibraryLocations where = LibraryLocations::standard();
        QDir().mkpath(where.root);
        const QUuid id = QUuid::createUuid(), wallpaper = QUuid::createUuid(), theme = QUuid::createUuid();
        QFile file(where.ensemblesFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[{\"id\":\"" + uuidText(id).toLatin1() + "\",\"name\":\"N\",\"wallpaper\":\"" + uuidText(wallpaper).toLatin1()
                   + "\",\"taskbarTheme\":\"" + uuidText(theme).toLatin1() + "\",\"builtIn\":\"N\"}]");
        file.close();
        QCOMPARE(EnsembleTheme::all().size(), 1);
        QString accentFrom;
        EnsembleTheme::setAccentRefresh([&](const QString& path) { accentFrom = path; });

        EnsembleTheme::choose(QUuid::createUuid()); // unknown: nothing
        QVERIFY(!EnsembleTheme::currentID());
        EnsembleTheme::choose(id);
        QCOMPARE(EnsembleTheme::currentID(), std::optional<QUuid>(id));
        QCOMPARE(Look::paneflowPrefs().string(QStringLiteral("currentID")), uuidText(wallpaper));
        QCOMPARE(LookRequest::latest()->taskbarTheme, std::optional<QUuid>(theme));
        QCOMPARE(accentFrom, EnsembleTheme::thumbnailPath(wallpaper));
        QVERIFY(accentFrom.endsWith(QStringLiteral("/Paneflow/Thumbnails/") + uuidText(wallpaper) + QStringLiteral(".png")));

        // One malformed entry empties the list.
        QVERIFY(file.open(QIODevice::Append));
        file.seek(file.size() - 1);
        file.write(",{\"id\":\"nope\"}]");
        file.close();
        QVERIFY(EnsembleTheme::all().isEmpty());
        EnsembleTheme::setAccentRefresh({});
    }

    void chooseAsksARunningPart()
    {
        TestHome home;
        bool asked = false;
        std::optional<QString> object;
        NoticeToken token = Notifier::observe(EnsembleTheme::chooseNotification(), [&](const std::optional<QString>& o) { object = o; });
        EnsembleTheme::setPartRunningCheck([&] { asked = true; return true; });
        const QUuid id = QUuid::createUuid();
        EnsembleTheme::choose(id);
        QVERIFY(asked);
        QTRY_COMPARE(object, std::optional<QString>(uuidText(id)));
        QVERIFY(!EnsembleTheme::currentID());
        EnsembleTheme::setPartRunningCheck({});
    }
};

QTEST_GUILESS_MAIN(LooksTest)
#include "tst_looks.moc"
