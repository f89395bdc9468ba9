#include "web/HttpGet.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

namespace brelvo::web {

namespace {
QString hostOf(const QUrl &url)
{
    return url.host().isEmpty() ? url.toString() : url.host();
}

bool badUrl(const QUrl &url, HttpReply *out)
{
    if (url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https"))
        return false;
    out->error = QStringLiteral("Endereço inválido: %1").arg(url.toString());
    return true;
}

QNetworkReply *startGet(QNetworkAccessManager &manager, const QUrl &url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Brelvo"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    return manager.get(request);
}

// The outcome of a finished (or aborted on time-out) reply.
HttpReply outcome(QNetworkReply *reply, const QString &host, int timeoutMs, bool timedOut)
{
    HttpReply out;
    out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const auto err = reply->error();
    if (timedOut) {
        out.error = QStringLiteral("Tempo esgotado: o servidor %1 não respondeu em %2 segundos.")
                        .arg(host).arg(timeoutMs / 1000.0, 0, 'g', 3);
    } else if (out.status >= 400 || (out.status == 0 && err >= QNetworkReply::ContentAccessDenied
                                     && err <= QNetworkReply::UnknownServerError)) {
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        out.error = QStringLiteral("O servidor %1 respondeu com erro HTTP %2%3.")
                        .arg(host).arg(out.status).arg(reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason));
    } else if (err == QNetworkReply::ConnectionRefusedError) {
        out.error = QStringLiteral("Não foi possível conectar ao servidor %1: conexão recusada.").arg(host);
    } else if (err == QNetworkReply::HostNotFoundError) {
        out.error = QStringLiteral("Servidor não encontrado: %1. Verifique a conexão com a internet.").arg(host);
    } else if (err == QNetworkReply::RemoteHostClosedError) {
        out.error = QStringLiteral("O servidor %1 fechou a conexão antes de responder.").arg(host);
    } else if (err == QNetworkReply::TimeoutError) {
        out.error = QStringLiteral("Tempo esgotado: o servidor %1 não respondeu.").arg(host);
    } else if (err != QNetworkReply::NoError) {
        out.error = QStringLiteral("Erro de comunicação com o servidor %1: %2").arg(host, reply->errorString());
    } else {
        out.body = reply->readAll();
        out.ok = true;
    }
    return out;
}
} // namespace

HttpReply httpGet(const QUrl &url, int timeoutMs)
{
    HttpReply out;
    if (badUrl(url, &out))
        return out;
    QNetworkAccessManager manager;
    QNetworkReply *reply = startGet(manager, url);

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(std::max(1, timeoutMs));
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    timer.stop();
    out = outcome(reply, hostOf(url), timeoutMs, timedOut);
    delete reply;
    return out;
}

void httpGetAsync(const QUrl &url, int timeoutMs, QObject *context, std::function<void(const HttpReply &)> done)
{
    HttpReply bad;
    if (badUrl(url, &bad)) {
        QTimer::singleShot(0, context, [done, bad] { done(bad); });
        return;
    }
    // The manager lives under the context: destroying the context drops the request.
    auto *manager = new QNetworkAccessManager(context);
    QNetworkReply *reply = startGet(*manager, url);
    auto *timer = new QTimer(manager);
    timer->setSingleShot(true);
    auto timedOut = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, reply, [reply, timedOut] {
        *timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, manager,
                     [manager, reply, timer, timedOut, done = std::move(done), host = hostOf(url), timeoutMs] {
                         timer->stop();
                         const HttpReply out = outcome(reply, host, timeoutMs, *timedOut);
                         reply->deleteLater();
                         manager->deleteLater();
                         done(out);
                     });
    timer->start(std::max(1, timeoutMs));
}

} // namespace brelvo::web
