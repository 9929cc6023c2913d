#include "core/notices.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/notifier.h"
#include "services/safety.h"
#include "test_support.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray goodList = R"({"off":[{"feature":"paneflow","macOS":"14","message":"Paused for this macOS"}]})";

// A small HTTP/1.1 server on 127.0.0.1 that answers by path.
class ListServer : public QObject
{
public:
    QByteArray lastRequest;
    int requests = 0;

    ListServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onRequest(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

private:
    void onRequest(QTcpSocket* socket)
    {
        m_buffer[socket] += socket->readAll();
        if (!m_buffer[socket].contains("\r\n\r\n"))
            return;
        lastRequest = m_buffer.take(socket);
        ++requests;
        const QByteArray path = lastRequest.split(' ').value(1);
        if (path == "/safety.json")
            answer(socket, "200 OK", goodList);
        else if (path == "/other.json")
            answer(socket, "200 OK", R"({"off":[]})");
        else if (path == "/bad.json")
            answer(socket, "200 OK", "{\"off\": [ this is not json");
        else if (path == "/wrong-types.json")
            answer(socket, "200 OK", R"({"off":[{"feature":"paneflow","macOS":14,"message":"m"}]})");
        else if (path == "/missing.json")
            answer(socket, "404 Not Found", "no such list");
        else if (path == "/broken.json")
            answer(socket, "500 Internal Server Error", goodList);
        else if (path == "/silent.json")
            ; // accepted, never answered
        else if (path == "/endless.json")
            endless(socket);
    }

    static void answer(QTcpSocket* socket, const QByteArray& status, const QByteArray& body)
    {
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: application/json\r\nContent-Length: "
                      + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    // Claims a 100 MB body and keeps sending it, 64 KiB every few milliseconds.
    static void endless(QTcpSocket* socket)
    {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 100000000\r\n\r\n{\"off\":[");
        auto* timer = new QTimer(socket);
        QPointer<QTcpSocket> guard(socket);
        connect(timer, &QTimer::timeout, socket, [guard] {
            if (guard && guard->state() == QAbstractSocket::ConnectedState && guard->bytesToWrite() < 1024 * 1024)
                guard->write(QByteArray(64 * 1024, ' '));
        });
        timer->start(5);
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffer;
};

} // namespace

class TestSafetyFetch : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<ListServer> server;
    int notices = 0;
    NoticeToken token;

    static Defaults& hub() { return Defaults::domain(Zentrove::bundleID()); }

    void use(const QString& path, int timeoutMs = 15000)
    {
        Safety::Environment env;
        env.systemVersion = QStringLiteral("14.5.0");
        env.appBuild = 321;
        env.listURL = server->url(path);
        env.timeoutMs = timeoutMs;
        Safety::setEnvironment(env);
    }

    // Runs a refresh to its end; returns how long it took.
    qint64 refresh()
    {
        bool done = false;
        QElapsedTimer clock;
        clock.start();
        Safety::refreshIfDue(this, [&] { done = true; });
        [&] { QTRY_VERIFY_WITH_TIMEOUT(done, 20000); }();
        QTest::qWait(100); // let a notice, if any, arrive
        return clock.elapsed();
    }

    void forgetFetchDate() { hub().remove(Safety::fetchedKey()); }

private slots:
    void init()
    {
        home = std::make_unique<TestHome>();
        server = std::make_unique<ListServer>();
        notices = 0;
        token = Notifier::observe(Notices::safetyChanged(), [this](const std::optional<QString>&) { ++notices; });
    }

    void cleanup()
    {
        token.reset();
        Safety::resetEnvironment();
        server.reset();
        home.reset();
    }

    void goodListIsStoredAndAnnouncedOnce()
    {
        use(QStringLiteral("/safety.json"));
        refresh();
        QCOMPARE(server->requests, 1);
        QVERIFY(server->lastRequest.contains("\r\nUser-Agent: Zentrove/321\r\n"));
        QCOMPARE(hub().data(Safety::listKey()), std::optional<QByteArray>(goodList));
        QCOMPARE(hub().string(Safety::fetchedOnKey()), std::optional<QString>(QStringLiteral("14.5.0")));
        QCOMPARE(notices, 1);
        QCOMPARE(Safety::offMessage(QStringLiteral("paneflow")), std::optional<QString>(QStringLiteral("Paused for this macOS")));

        refresh(); // fresh: no request at all
        QCOMPARE(server->requests, 1);

        forgetFetchDate();
        refresh(); // the same bytes again: stored date only, no notice
        QCOMPARE(server->requests, 2);
        QVERIFY(hub().date(Safety::fetchedKey()));
        QCOMPARE(notices, 1);

        forgetFetchDate();
        use(QStringLiteral("/other.json"));
        refresh();
        QCOMPARE(notices, 2);
        QVERIFY(!Safety::offMessage(QStringLiteral("paneflow")));
    }

    void failedAnswersLeaveTheStoredListAlone_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("timeoutMs");
        QTest::newRow("404") << QStringLiteral("/missing.json") << 15000;
        QTest::newRow("500 with a good body") << QStringLiteral("/broken.json") << 15000;
        QTest::newRow("not JSON") << QStringLiteral("/bad.json") << 15000;
        QTest::newRow("entries of the wrong type") << QStringLiteral("/wrong-types.json") << 15000;
        QTest::newRow("never answers") << QStringLiteral("/silent.json") << 1000;
        QTest::newRow("a body that never ends") << QStringLiteral("/endless.json") << 15000;
    }

    void failedAnswersLeaveTheStoredListAlone()
    {
        QFETCH(QString, path);
        QFETCH(int, timeoutMs);
        const QByteArray stored = R"({"off":[{"feature":"taskbar","macOS":"1","message":"kept"}]})";
        hub().set(Safety::listKey(), stored);
        use(path, timeoutMs);
        const qint64 took = refresh();
        QCOMPARE(server->requests, 1);
        QCOMPARE(hub().data(Safety::listKey()), std::optional<QByteArray>(stored));
        QVERIFY(!hub().contains(Safety::fetchedKey())); // still due: the next launch tries again
        QVERIFY(Safety::isDue());
        QCOMPARE(notices, 0);
        QVERIFY2(took < 10000, "the size cap ends an endless body long before the timeout");
    }

    void nothingListens()
    {
        use(QStringLiteral("/safety.json"));
        Safety::Environment env = Safety::environment();
        env.listURL = QUrl(QStringLiteral("http://127.0.0.1:1/safety.json"));
        Safety::setEnvironment(env);
        refresh();
        QVERIFY(!hub().contains(Safety::listKey()));
        QCOMPARE(notices, 0);
    }
};

QTEST_GUILESS_MAIN(TestSafetyFetch)
#include "tst_safety_fetch.moc"
