#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>

#include <functional>

struct HttpRequest
{
    QUrl url;
    QList<QPair<QByteArray, QByteArray>> headers;
    // The whole exchange must end within this time.
    int timeoutMs = 15000;
    // A longer body fails the request instead of filling memory.
    qint64 maxBytes = 1024 * 1024;
    // Always ask the server; never answer from a local cache.
    bool ignoreCache = true;
};

struct HttpResponse
{
    bool completed = false; // false: no answer (network error, timeout, too large, not HTTP)
    int status = 0;         // the HTTP status code when completed
    QByteArray body;
    QString error;          // why it did not complete
};

// Plain GET and POST requests.
namespace Http {

// Sends the request; `done` runs once on `context`'s thread, unless `context` is gone by then.
void get(const HttpRequest& request, QObject* context, std::function<void(const HttpResponse&)> done);
// Sends `body` with the request's headers (the caller names its content type among them).
void post(const HttpRequest& request, const QByteArray& body, QObject* context, std::function<void(const HttpResponse&)> done);

} // namespace Http
