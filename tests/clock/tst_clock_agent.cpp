#include "clock/presets.h"
#include "clock/style_store.h"
#include "core/zentrove.h"
#include "looks/look.h"
#include "looks/look_request.h"
#include "platform/bundle.h"
#include "platform/defaults.h"

#include "test_support.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QString agent() { return Bundle::agentExecutable(Zentrove::vizaVedidID()); }

int run(const QStringList& arguments, QString* errors = nullptr)
{
    QProcess process;
    process.start(agent(), arguments);
    if (!process.waitForFinished(30000))
        return -1;
    if (errors)
        *errors = QString::fromUtf8(process.readAllStandardError());
    return process.exitCode();
}

std::optional<ClockStyle> storedStyle()
{
    Defaults& domain = Defaults::domain(Zentrove::vizaVedidID());
    domain.sync();
    const auto data = domain.data(QStringLiteral("style"));
    return data ? ClockStyle::decode(*data) : std::nullopt;
}

} // namespace

class TestClockAgent : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestHome> m_home;

private slots:
    void initTestCase() { qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8()); }
    void init() { m_home = std::make_unique<TestHome>(); }
    void cleanup() { m_home.reset(); }

    void rendersEachShippedPreset()
    {
        QTemporaryDir folder;
        QImage previous;
        for (const NamedStyle& preset : Presets::builtIn()) {
            const QString path = folder.filePath(preset.name + QStringLiteral(".png"));
            QCOMPARE(run({QStringLiteral("--render"), path, QStringLiteral("1512x982"), QStringLiteral("--preset"), preset.name,
                          QStringLiteral("--at"), QStringLiteral("2026-03-14T09:41:00")}), 0);
            const QImage image(path);
            QCOMPARE(image.size(), QSize(1512, 982));
            QVERIFY(image != previous);
            previous = image;
        }
        // The corner the preset names holds the clock: Frog Pond sits top left.
        const QImage frog(folder.filePath(QStringLiteral("Frog Pond.png")));
        const QRgb base = frog.pixel(1500, 970);
        int inkTopLeft = 0, inkElsewhere = 0;
        for (int y = 0; y < 982; y += 3)
            for (int x = 0; x < 1512; x += 3)
                if (frog.pixel(x, y) != base)
                    ++((x < 400 && y < 400) ? inkTopLeft : inkElsewhere);
        QVERIFY(inkTopLeft > 500);
        QCOMPARE(inkElsewhere, 0);
    }

    void renderRefusesBadArguments()
    {
        QTemporaryDir folder;
        QString errors;
        QCOMPARE(run({QStringLiteral("--render"), folder.filePath(QStringLiteral("a.png")), QStringLiteral("wide")}, &errors), 1);
        QVERIFY(errors.contains(QStringLiteral("WIDTHxHEIGHT")));
        QCOMPARE(run({QStringLiteral("--render"), folder.filePath(QStringLiteral("a.png")), QStringLiteral("800x600"),
                      QStringLiteral("--preset"), QStringLiteral("Nothing Like It")}), 1);
        QCOMPARE(run({QStringLiteral("--render"), folder.filePath(QStringLiteral("no/such/folder/a.png")), QStringLiteral("800x600")}), 1);
        QCOMPARE(run({QStringLiteral("--render"), folder.filePath(QStringLiteral("now.png")), QStringLiteral("800x600")}), 0);
        QVERIFY(!QImage(folder.filePath(QStringLiteral("now.png"))).isNull());
        // The picture options never start the part on their own.
        QCOMPARE(run({QStringLiteral("--preset"), QStringLiteral("Eclipse")}, &errors), 1);
        QVERIFY(errors.contains(QStringLiteral("--render")));
    }

    void helpListsEveryOption()
    {
        QProcess process;
        process.start(agent(), {QStringLiteral("--help")});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        const QString help = QString::fromUtf8(process.readAllStandardOutput());
        for (const char* option : {"--help", "--version", "--kickstart", "--render <path>", "--preset <preset>", "--at <date>"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
    }

    void appliesTheClockPresetOfNewerLooks()
    {
        const NamedStyle graphite = Presets::builtIn().at(1);
        const NamedStyle infinity = Presets::builtIn().at(2);
        // A look published while the part was not running is caught up at start.
        LookRequest{graphite.id, std::nullopt, LookRequest::now()}.publish(Look::paneflowPrefs());
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(agent(), {});
        QVERIFY(process.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(storedStyle() == std::optional<ClockStyle>(graphite.style), 10000);

        LookRequest{infinity.id, std::nullopt, LookRequest::now() + 1}.publish(Look::paneflowPrefs());
        QTRY_VERIFY_WITH_TIMEOUT(storedStyle() == std::optional<ClockStyle>(infinity.style), 10000);
        // An older request changes nothing.
        LookRequest{graphite.id, std::nullopt, 1000}.publish(Look::paneflowPrefs());
        QTest::qWait(500);
        QCOMPARE(storedStyle(), std::optional<ClockStyle>(infinity.style));

        process.terminate();
        QVERIFY(process.waitForFinished(10000));
    }
};

QTEST_MAIN(TestClockAgent)
#include "tst_clock_agent.moc"
