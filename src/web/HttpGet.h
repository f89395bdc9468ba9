#pragma once
// One HTTP GET, synchronous for the caller: a local event loop runs until the
// reply or the time-out, so the window keeps painting (user input is held
// back meanwhile, so nothing re-enters the caller).
//
//   auto r = brelvo::web::httpGet(url, 10000);
//   if (!r.ok) dialogs().error(window, QStringLiteral("Erro"), r.error);

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>

class QObject;

namespace brelvo::web {

struct HttpReply {
    bool ok = false;
    int status = 0;          // HTTP status when a reply came
    QByteArray body;
    QString error;           // Portuguese, when !ok
};

HttpReply httpGet(const QUrl &url, int timeoutMs = 15000);

// The same GET without waiting: the window stays usable and `done` runs on
// the user-interface thread when the reply or the time-out comes. Nothing
// runs when `context` is destroyed first (the request is dropped with it).
void httpGetAsync(const QUrl &url, int timeoutMs, QObject *context,
                  std::function<void(const HttpReply &)> done);

} // namespace brelvo::web
