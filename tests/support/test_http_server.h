#pragma once

#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

// A small HTTP/1.1 server on 127.0.0.1 for tests: answers each path as told and keeps the last
// request it read in full (head and body).
class TestHttpServer : public QObject
{
public:
    struct Answer
    {
        QByteArray status = "200 OK";
        QByteArray body;
        int delayMs = 0;       // waits this long before answering
        qint64 claimedSize = -1; // sends this Content-Length and keeps trickling bytes (a huge answer)
    };

    QByteArray lastHead;
    QByteArray lastBody;
    int requests = 0;

    TestHttpServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    bool isListening() const { return m_server.isListening(); }
    void answer(const QByteArray& path, Answer answer) { m_answers.insert(path, std::move(answer)); }
    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    // The value of a header of the last request, by name in any case.
    QByteArray header(const QByteArray& name) const
    {
        for (const QByteArray& line : lastHead.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }

private:
    void read(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        const QByteArray head = buffer.left(headEnd);
        qint64 length = 0;
        for (const QByteArray& line : head.split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        if (buffer.size() - headEnd - 4 < length)
            return;
        lastHead = head;
        lastBody = buffer.mid(headEnd + 4, length);
        m_buffers.remove(socket);
        ++requests;
        const QByteArray path = head.split(' ').value(1);
        const Answer answer = m_answers.value(path, Answer {"404 Not Found", "no such path"});
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(answer.delayMs, this, [guard, answer] {
            if (guard)
                send(guard, answer);
        });
    }

    static void send(QTcpSocket* socket, const Answer& answer)
    {
        if (answer.claimedSize >= 0) {
            socket->write("HTTP/1.1 " + answer.status + "\r\nContent-Type: application/json\r\nContent-Length: "
                          + QByteArray::number(answer.claimedSize) + "\r\n\r\n" + answer.body);
            auto* timer = new QTimer(socket);
            QObject::connect(timer, &QTimer::timeout, socket, [socket] {
                if (socket->bytesToWrite() < 1024 * 1024)
                    socket->write(QByteArray(64 * 1024, ' '));
            });
            timer->start(2);
            return;
        }
        socket->write("HTTP/1.1 " + answer.status + "\r\nContent-Type: application/json\r\nContent-Length: "
                      + QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n\r\n" + answer.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QMap<QByteArray, Answer> m_answers;
};
