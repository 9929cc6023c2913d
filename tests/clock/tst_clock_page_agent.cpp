#include "brand/brand.h"
#include "clock/style_store.h"
#include "clock/ui/clock_controls.h"
#include "clock/ui/clock_editor.h"
#include "clock/ui/clock_page.h"
#include "core/zentrove.h"
#include "platform/bundle.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"

#include "test_support.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QImage>
#include <QProcess>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The rows of a picture that hold anything but the background colour of its corner.
int inkHeight(const QImage& image)
{
    if (image.isNull())
        return -1;
    const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
        }
    }
    return top < 0 ? 0 : bottom - top + 1;
}

} // namespace

// The page in this process and the real clock agent of the build tree on the test's private bus:
// what the page changes reaches the agent's domain, and the clock the agent draws follows.
class TestClockPageAgent : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    QProcess* agent = nullptr;
    QByteArray log;

    bool waitForLog(const QByteArray& text, qsizetype from, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] {
            log += agent->readAllStandardError();
            return log.indexOf(text, from) >= 0;
        }, timeoutMs);
    }

private slots:
    void initTestCase()
    {
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        // This process plays the control app.
        ProcessIdentity::set(Zentrove::bundleID());
        Brand::registerFonts();
    }
    void init() { home = std::make_unique<TestHome>(); }
    void cleanup()
    {
        if (agent) {
            agent->terminate();
            agent->waitForFinished(5000);
            delete agent;
            agent = nullptr;
        }
        log.clear();
        qunsetenv("ZENTROVE_CLOCK_PICTURE");
        home.reset();
    }

    void aSliderStepReachesTheRunningAgent()
    {
        const QString picture = home->path() + QStringLiteral("/drawn.png");
        qputenv("ZENTROVE_CLOCK_PICTURE", picture.toUtf8());
        StyleStore store(Defaults::domain(Zentrove::vizaVedidID()));
        store.applyPreset(store.customPresets().first());

        agent = new QProcess;
        agent->start(Bundle::agentExecutable(Zentrove::vizaVedidID()), {});
        QVERIFY(agent->waitForStarted(5000));
        QVERIFY2(waitForLog("drawing the clock", 0), log.constData());
        // The picture is written right after the log line.
        QVERIFY(QTest::qWaitFor([&] { return !QImage(picture).isNull(); }, 5000));
        const QImage before(picture);
        const int heightBefore = inkHeight(before);
        QVERIFY(heightBefore > 0);

        ClockPage page(store, nullptr);
        page.resize(1000, 760);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.openEditor(ClockTab::time);
        SliderRow* size = page.editor()->timeTab().size;
        const double start = store.style().timeFont.size;
        const qsizetype seen = log.size();
        size->slider()->setFocus();
        QTest::keyClick(size->slider(), Qt::Key_End);
        QCOMPARE(store.style().timeFont.size, 240.0);

        // The agent reloads the domain and draws the larger clock.
        QVERIFY2(waitForLog("settings reloaded", seen), log.constData());
        QVERIFY2(waitForLog("drawing the clock", seen), log.constData());
        QVERIFY(QTest::qWaitFor([&] { return inkHeight(QImage(picture)) > heightBefore; }, 5000));
        QVERIFY(inkHeight(QImage(picture)) > heightBefore + int(240 - start) / 2);
        QCOMPARE(agent->state(), QProcess::Running);

        Defaults& domain = Defaults::domain(Zentrove::vizaVedidID());
        domain.sync();
        QCOMPARE(ClockStyle::decode(*domain.data(QStringLiteral("style")))->timeFont.size, 240.0);
    }
};

QTEST_MAIN(TestClockPageAgent)
#include "tst_clock_page_agent.moc"
