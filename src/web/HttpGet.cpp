#include "web/HttpGet.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace brelvo::web {

HttpReply httpGet(const QUrl &url, int timeoutMs)
{
    HttpReply out;
    const QString host = url.host().isEmpty() ? url.toString() : url.host();
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https")) {
        out.error = QStringLiteral("Endereço inválido: %1").arg(url.toString());
        return out;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Brelvo"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = manager.get(request);

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
    delete reply;
    return out;
}

} // namespace brelvo::web
