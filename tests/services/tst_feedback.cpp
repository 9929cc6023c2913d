#include "core/zentrove.h"
#include "platform/bundle.h"
#include "platform/desktop_words.h"
#include "platform/system_facts.h"
#include "services/feedback.h"
#include "test_http_server.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <sys/stat.h>

namespace {

class FixedFacts : public SystemFacts
{
public:
    QString distribution() const override { return QStringLiteral("Debian GNU/Linux 12"); }
    std::optional<QString> hardwareModel() const override { return model; }
    std::optional<QString> model = QStringLiteral("ThinkPad X1 Carbon Gen 11");
};

struct Outcome
{
    bool done = false;
    std::optional<Feedback::Failure> failure;
};

} // namespace

// Sending a message to a real HTTP server on this machine, the body and details it carries, and
// the mail link used instead.
class TestFeedback : public QObject
{
    Q_OBJECT

    TestHttpServer server;

    void useServer(const QString& path, int timeoutMs = 20000)
    {
        Feedback::Environment environment = Feedback::environment();
        environment.endpoint = server.url(path);
        environment.timeoutMs = timeoutMs;
        Feedback::setEnvironment(environment);
    }

    Outcome send(const std::optional<QString>& details = std::nullopt)
    {
        Outcome outcome;
        Feedback::send(QStringLiteral("Love the clock"), QStringLiteral("me@example.org"), details, this,
                       [&outcome](std::optional<Feedback::Failure> failure) {
            outcome.done = true;
            outcome.failure = failure;
        });
        [&] { QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 10000); }();
        return outcome;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.isListening());
        server.answer("/ok", {"200 OK", "{}"});
        server.answer("/refused", {"500 Internal Server Error", R"({"message":"Too many messages today"})"});
        server.answer("/plain500", {"500 Internal Server Error", "<html>oops</html>"});
        server.answer("/empty-message", {"503 Service Unavailable", R"({"message":"   "})"});
        server.answer("/slow", {"200 OK", "{}", 3000});
    }

    void cleanup() { Feedback::resetEnvironment(); }

    void endpointComesFromTheEnvironment()
    {
        qputenv("ZENTROVE_FEEDBACK_URL", "http://127.0.0.1:1/feedback");
        QCOMPARE(Feedback::environment().endpoint, QUrl(QStringLiteral("http://127.0.0.1:1/feedback")));
        QCOMPARE(Feedback::environment().timeoutMs, 20000);
        qunsetenv("ZENTROVE_FEEDBACK_URL");
        QCOMPARE(Feedback::environment().endpoint.scheme(), QStringLiteral("https"));
    }

    void postsTheMessageWithItsHeaders()
    {
        useServer(QStringLiteral("/ok"));
        const Outcome outcome = send(QStringLiteral("Zentrove 1\nRunning: nothing"));
        QVERIFY(!outcome.failure);
        QVERIFY(server.lastHead.startsWith("POST /ok HTTP/1.1"));
        QCOMPARE(server.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(server.header("X-Zentrove"), QByteArray("1"));
        const QJsonObject body = QJsonDocument::fromJson(server.lastBody).object();
        QCOMPARE(body.value(QStringLiteral("message")).toString(), QStringLiteral("Love the clock"));
        QCOMPARE(body.value(QStringLiteral("email")).toString(), QStringLiteral("me@example.org"));
        QCOMPARE(body.value(QStringLiteral("details")).toString(), QStringLiteral("Zentrove 1\nRunning: nothing"));
    }

    void withoutDetailsTheBodyHasNoDetailsKey()
    {
        useServer(QStringLiteral("/ok"));
        QVERIFY(!send().failure);
        const QJsonObject sent = QJsonDocument::fromJson(server.lastBody).object();
        QCOMPARE(sent.keys(), QStringList({QStringLiteral("email"), QStringLiteral("message")}));
        // An empty reply address is still sent, as typed.
        const QJsonObject empty = QJsonDocument::fromJson(Feedback::body(QStringLiteral("m"), {}, std::nullopt)).object();
        QVERIFY(empty.contains(QStringLiteral("email")));
        QVERIFY(!empty.contains(QStringLiteral("details")));
    }

    void answersOtherThan200AreRefusals_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::newRow("500 with a message") << "/refused" << "Couldn't send: Too many messages today";
        QTest::newRow("500 without JSON") << "/plain500" << "Couldn't send: error 500";
        QTest::newRow("blank message") << "/empty-message" << "Couldn't send: error 503";
        QTest::newRow("unknown path") << "/nowhere" << "Couldn't send: error 404";
    }

    void answersOtherThan200AreRefusals()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        useServer(path);
        const Outcome outcome = send();
        QVERIFY(outcome.failure);
        QCOMPARE(outcome.failure->kind, Feedback::Failure::Kind::refused);
        QCOMPARE(outcome.failure->text(), text);
    }

    void noAnswerInTimeIsOffline()
    {
        useServer(QStringLiteral("/slow"), 300);
        QElapsedTimer timer;
        timer.start();
        const Outcome outcome = send();
        QVERIFY(outcome.failure);
        QCOMPARE(*outcome.failure, Feedback::Failure::offline());
        QCOMPARE(outcome.failure->text(), QStringLiteral("Couldn't send. Check your connection and try again."));
        QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
    }

    void nobodyListeningIsOffline()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        Feedback::Environment environment = Feedback::environment();
        environment.endpoint = QUrl(QStringLiteral("http://127.0.0.1:%1/feedback").arg(port));
        Feedback::setEnvironment(environment);
        const Outcome outcome = send();
        QVERIFY(outcome.failure);
        QCOMPARE(outcome.failure->kind, Feedback::Failure::Kind::offline);
    }

    void detailLinesNameAppSystemModelAndRunningParts()
    {
        FixedFacts facts;
        const QString app = QStringLiteral("Zentrove %1 (%2)").arg(Bundle::version(), Bundle::buildNumber());
        DesktopWords::setCurrent(DesktopWords::original());
        QCOMPARE(Feedback::detailLines({}, facts),
                 QStringList({app, QStringLiteral("Debian GNU/Linux 12"), QStringLiteral("Mac: ThinkPad X1 Carbon Gen 11"),
                              QStringLiteral("Running: nothing")}));
        DesktopWords::setCurrent(DesktopWords::linuxDesktop());
        // Parts in their usual order, whatever order the set holds them in.
        const QSet<QString> running {Zentrove::taskbarID(), Zentrove::paneflowID()};
        const QStringList lines = Feedback::detailLines(running, facts);
        QCOMPARE(lines.value(2), QStringLiteral("Computer: ThinkPad X1 Carbon Gen 11"));
        QCOMPARE(lines.value(3), QStringLiteral("Running: Live Wallpaper, Taskbar"));
        // A model the system does not tell leaves its line out.
        facts.model.reset();
        QCOMPARE(Feedback::detailLines(running, facts).size(), 3);
        QCOMPARE(Feedback::details(running, facts), Feedback::detailLines(running, facts).join(u'\n'));
    }

    void systemFactsReadTheirFilesTolerantly()
    {
        QTemporaryDir dir;
        const QString release = dir.filePath(QStringLiteral("os-release"));
        const QString product = dir.filePath(QStringLiteral("product_name"));
        QFile file(release);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("# comment\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\nVERSION_ID='12'\n");
        file.close();
        QFile model(product);
        QVERIFY(model.open(QIODevice::WriteOnly));
        model.write("  20HRCTO1WW \n");
        model.close();
        auto facts = SystemFacts::makeSystem({release, product});
        QCOMPARE(facts->distribution(), QStringLiteral("Debian GNU/Linux 12"));
        QCOMPARE(facts->hardwareModel(), std::optional<QString>(QStringLiteral("20HRCTO1WW")));

        // Missing files, an empty model and a FIFO in place of the model: no crash, no hang.
        auto missing = SystemFacts::makeSystem({dir.filePath(QStringLiteral("none")), dir.filePath(QStringLiteral("none"))});
        QVERIFY(!missing->distribution().isEmpty());
        QVERIFY(!missing->hardwareModel());
        QVERIFY(model.open(QIODevice::WriteOnly | QIODevice::Truncate));
        model.write("\n");
        model.close();
        QVERIFY(!facts->hardwareModel());
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!SystemFacts::makeSystem({fifo, fifo})->hardwareModel());
        QVERIFY(timer.elapsed() < 1000);
    }

    void mailLinkCarriesSubjectBodyAndDetails()
    {
        const QString message = QStringLiteral("Fish & chips = 1+1?\nSecond line é");
        const QUrl withDetails = Feedback::mailURL(message, QStringLiteral("Zentrove 1\nRunning: nothing"));
        QCOMPARE(withDetails.scheme(), QStringLiteral("mailto"));
        QVERIFY(withDetails.path().contains(u'@'));
        const QUrlQuery query(withDetails);
        QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), QStringLiteral("Zentrove feedback"));
        QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
                 message + QStringLiteral("\n\n---\nZentrove 1\nRunning: nothing"));
        // Survives the round trip through text, as the mail program receives it.
        const QUrlQuery reread(QUrl(withDetails.toString(QUrl::FullyEncoded)));
        QCOMPARE(reread.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded).left(message.size()), message);
        QCOMPARE(QUrlQuery(Feedback::mailURL(message, std::nullopt)).queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), message);
    }
};

QTEST_GUILESS_MAIN(TestFeedback)
#include "tst_feedback.moc"
