#include "platform/http.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace {

QNetworkAccessManager& manager()
{
    // One per thread, as QNetworkAccessManager wants.
    thread_local QNetworkAccessManager* nam = new QNetworkAccessManager;
    return *nam;
}

QNetworkRequest networkRequest(const HttpRequest& request)
{
    QNetworkRequest r(request.url);
    r.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                   request.ignoreCache ? QNetworkRequest::AlwaysNetwork : QNetworkRequest::PreferCache);
    r.setAttribute(QNetworkRequest::CacheSaveControlAttribute, !request.ignoreCache);
    r.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    for (const auto& [name, value] : request.headers)
        r.setRawHeader(name, value);
    r.setTransferTimeout(request.timeoutMs);
    return r;
}

void follow(QNetworkReply* reply, const HttpRequest& request, QObject* context, std::function<void(const HttpResponse&)> done)
{
    QPointer<QObject> guard(context);
    auto finished = std::make_shared<bool>(false);
    auto finish = [reply, guard, finished, done = std::move(done)](HttpResponse response) {
        if (std::exchange(*finished, true))
            return;
        reply->disconnect();
        reply->abort();
        reply->deleteLater();
        if (!guard)
            return;
        QMetaObject::invokeMethod(guard.data(), [done, response] { done(response); }, Qt::AutoConnection);
    };

    // The transfer timeout only notices silence; a server that trickles bytes forever is cut off
    // by this overall deadline.
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, [finish] {
        finish({false, 0, {}, QStringLiteral("timed out")});
    });
    deadline->start(request.timeoutMs);

    const qint64 maxBytes = request.maxBytes;
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply, maxBytes, finish](qint64 received, qint64 total) {
        if (received > maxBytes || total > maxBytes)
            finish({false, 0, {}, QStringLiteral("the answer is too large")});
        Q_UNUSED(reply);
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, maxBytes, finish] {
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (reply->error() != QNetworkReply::NoError && !status.isValid()) {
            finish({false, 0, {}, reply->errorString()});
            return;
        }
        if (!status.isValid()) {
            finish({false, 0, {}, QStringLiteral("not an HTTP answer")});
            return;
        }
        QByteArray body = reply->read(maxBytes + 1);
        if (body.size() > maxBytes) {
            finish({false, 0, {}, QStringLiteral("the answer is too large")});
            return;
        }
        finish({true, status.toInt(), body, {}});
    });
}

} // namespace

void Http::get(const HttpRequest& request, QObject* context, std::function<void(const HttpResponse&)> done)
{
    follow(manager().get(networkRequest(request)), request, context, std::move(done));
}

void Http::post(const HttpRequest& request, const QByteArray& body, QObject* context, std::function<void(const HttpResponse&)> done)
{
    follow(manager().post(networkRequest(request), body), request, context, std::move(done));
}
