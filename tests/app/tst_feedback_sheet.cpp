#include "app/ui/app_style.h"
#include "app/ui/feedback_sheet.h"
#include "app/ui/snapshot.h"
#include "brand/ui/toggle_switch.h"
#include "core/zentrove.h"
#include "fake_platform.h"
#include "platform/defaults.h"
#include "platform/system_facts.h"
#include "services/feedback.h"
#include "test_http_server.h"
#include "test_support.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrlQuery>

namespace {

class FixedFacts : public SystemFacts
{
public:
    QString distribution() const override { return QStringLiteral("Debian GNU/Linux 12"); }
    std::optional<QString> hardwareModel() const override { return QStringLiteral("Test Machine"); }
};

// Written only when ZENTROVE_SNAPSHOT_DIR names a folder, for looking at by eye.
void snapshot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("ZENTROVE_SNAPSHOT_DIR");
    if (!folder.isEmpty())
        Snapshot::write(widget, folder + u'/' + name);
}

} // namespace

// The feedback sheet driven as a person types and clicks, against a real HTTP server.
class TestFeedbackSheet : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    TestHttpServer server;
    FixedFacts facts;
    FakeWorkspace workspace;
    int closed = 0;

    std::unique_ptr<FeedbackSheet> makeSheet(const QString& path, int timeoutMs = 20000)
    {
        Feedback::Environment environment = Feedback::environment();
        environment.endpoint = server.url(path);
        environment.timeoutMs = timeoutMs;
        Feedback::setEnvironment(environment);
        auto sheet = std::make_unique<FeedbackSheet>(QSet<QString> {Zentrove::vizaVedidID()}, [this] { ++closed; },
                                                     Defaults::standard(), facts, workspace);
        sheet->resize(560, 460);
        sheet->show();
        return sheet;
    }

private slots:
    void initTestCase()
    {
        AppStyle::apply(*qApp);
        server.answer("/ok", {"200 OK", "{}"});
        server.answer("/refused", {"500 Internal Server Error", R"({"message":"The inbox is full"})"});
        server.answer("/slow", {"200 OK", "{}", 3000});
    }

    void init()
    {
        home = std::make_unique<TestHome>();
        closed = 0;
        workspace.openedURLs.clear();
    }

    void cleanup()
    {
        Feedback::resetEnvironment();
        home.reset();
    }

    void onlyWhiteSpaceCannotBeSent()
    {
        auto sheet = makeSheet(QStringLiteral("/ok"));
        QTRY_VERIFY(sheet->messageField()->hasFocus());
        QVERIFY(!sheet->sendButton()->isEnabled());
        QTest::keyClicks(sheet->messageField(), QStringLiteral("   "));
        QTest::keyClick(sheet->messageField(), Qt::Key_Return);
        QTest::keyClicks(sheet->messageField(), QStringLiteral(" "));
        QVERIFY(!sheet->sendButton()->isEnabled());
        QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
        QCOMPARE(server.requests, 0);
        QTest::keyClicks(sheet->messageField(), QStringLiteral("x"));
        QVERIFY(sheet->sendButton()->isEnabled());
        QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
        QCOMPARE(closed, 1);
        snapshot(sheet.get(), QStringLiteral("feedback-form-empty.png"));
    }

    void sentMessageShowsThanksWithTheReplyAddress()
    {
        auto sheet = makeSheet(QStringLiteral("/ok"));
        QTest::keyClicks(sheet->messageField(), QStringLiteral("The taskbar is lovely."));
        QTest::keyClick(sheet->messageField(), Qt::Key_Return);
        QTest::keyClicks(sheet->messageField(), QStringLiteral("More clock fonts, please!"));
        QTest::keyClicks(sheet->emailField(), QStringLiteral("ada@example.org"));
        QVERIFY(sheet->detailsSwitch()->isChecked());
        snapshot(sheet.get(), QStringLiteral("feedback-form.png"));
        const int before = server.requests;
        QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
        QVERIFY(sheet->isSending());
        QVERIFY(!sheet->sendButton()->isEnabled());
        QTRY_VERIFY(sheet->isSent());
        QCOMPARE(server.requests, before + 1);
        const QJsonObject body = QJsonDocument::fromJson(server.lastBody).object();
        QCOMPARE(body.value(QStringLiteral("message")).toString(), QStringLiteral("The taskbar is lovely.\nMore clock fonts, please!"));
        QCOMPARE(body.value(QStringLiteral("email")).toString(), QStringLiteral("ada@example.org"));
        QVERIFY(body.value(QStringLiteral("details")).toString().endsWith(QStringLiteral("Running: Lock Screen Clock")));
        QCOMPARE(sheet->thanksText()->text(),
                 QStringLiteral("Your feedback is on its way. Every message gets read, and a reply goes to ada@example.org"));
        QTRY_VERIFY(sheet->doneButton()->isVisible());
        snapshot(sheet.get(), QStringLiteral("feedback-thanks.png"));
        QTest::mouseClick(sheet->doneButton(), Qt::LeftButton);
        QCOMPARE(closed, 1);
    }

    void detailsSwitchIsRememberedAndLeavesDetailsOut()
    {
        {
            auto sheet = makeSheet(QStringLiteral("/ok"));
            QTest::mouseClick(sheet->detailsSwitch(), Qt::LeftButton);
            QVERIFY(!sheet->detailsSwitch()->isChecked());
            QTest::keyClicks(sheet->messageField(), QStringLiteral("hello"));
            QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
            QTRY_VERIFY(sheet->isSent());
            QVERIFY(!QJsonDocument::fromJson(server.lastBody).object().contains(QStringLiteral("details")));
            QCOMPARE(sheet->thanksText()->text(), QStringLiteral("Your feedback is on its way. Every message gets read."));
        }
        QCOMPARE(Defaults::standard().boolean(Feedback::includeDetailsKey()), std::optional<bool>(false));
        auto again = makeSheet(QStringLiteral("/ok"));
        QVERIFY(!again->detailsSwitch()->isChecked());
    }

    void refusalKeepsTheTextAndOffersNoMail()
    {
        auto sheet = makeSheet(QStringLiteral("/refused"));
        QTest::keyClicks(sheet->messageField(), QStringLiteral("Keep this text"));
        QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
        QTRY_VERIFY(sheet->errorLine()->isVisible());
        QCOMPARE(sheet->errorLine()->text(), QStringLiteral("Couldn't send: The inbox is full"));
        QVERIFY(!sheet->emailInsteadButton()->isVisible());
        QVERIFY(!sheet->isSent());
        QCOMPARE(sheet->messageField()->toPlainText(), QStringLiteral("Keep this text"));
        QVERIFY(sheet->sendButton()->isEnabled());
    }

    void offlineOffersMailWithTheSameText()
    {
        auto sheet = makeSheet(QStringLiteral("/slow"), 200);
        QTest::keyClicks(sheet->messageField(), QStringLiteral("The clock skips a second & stutters"));
        QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
        QTRY_VERIFY(sheet->emailInsteadButton()->isVisible());
        QCOMPARE(sheet->errorLine()->text(), QStringLiteral("Couldn't send. Check your connection and try again."));
        snapshot(sheet.get(), QStringLiteral("feedback-error.png"));
        QTest::mouseClick(sheet->emailInsteadButton(), Qt::LeftButton);
        QCOMPARE(workspace.openedURLs.size(), 1);
        const QUrl mail = workspace.openedURLs.first();
        QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
        const QString body = QUrlQuery(mail).queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
        QVERIFY(body.startsWith(QStringLiteral("The clock skips a second & stutters\n\n---\nZentrove ")));
        QVERIFY(body.contains(QStringLiteral("Computer: Test Machine")) || body.contains(QStringLiteral("Mac: Test Machine")));
        // Sending again hides the old failure while it runs.
        QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
        QVERIFY(!sheet->errorLine()->isVisible());
        QVERIFY(!sheet->emailInsteadButton()->isVisible());
        QTRY_VERIFY(sheet->emailInsteadButton()->isVisible());
    }
};

QTEST_MAIN(TestFeedbackSheet)
#include "tst_feedback_sheet.moc"
