// The HTTP GET helper and the postal-code lookup, against a local server.

#include "web/CepLookup.h"
#include "web/HttpGet.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <functional>

using namespace brelvo::web;

namespace {

// Answers each request with what the handler returns; a handler returning an
// empty status keeps the connection silent (a server that hangs).
class TinyServer : public QObject {
public:
    struct Answer { int status = 200; QByteArray body; };
    std::function<Answer(const QByteArray &target)> handler;
    QList<QByteArray> targets;

    TinyServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] { onData(s); });
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

private:
    void onData(QTcpSocket *s)
    {
        QByteArray &buf = m_buffers[s];
        buf += s->readAll();
        if (!buf.contains("\r\n\r\n"))
            return;
        const QByteArray target = buf.split(' ').value(1);
        targets << target;
        const Answer a = handler(target);
        if (a.status == 0)
            return;
        const QByteArray reason = a.status == 200 ? "OK" : a.status == 404 ? "Not Found" : "Error";
        s->write("HTTP/1.1 " + QByteArray::number(a.status) + ' ' + reason + "\r\nContent-Type: text/plain\r\n"
                 "Content-Length: " + QByteArray::number(a.body.size()) + "\r\nConnection: close\r\n\r\n" + a.body);
        s->disconnectFromHost();
    }
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

} // namespace

class TestHttpGet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replyBody();
    void httpErrorStatus();
    void timeOut();
    void connectionRefused();
    void withoutWaiting();
    void cepLookup();
    void cepReplyParsing();
    void cepServiceAddress();
};

void TestHttpGet::replyBody()
{
    TinyServer server;
    server.handler = [](const QByteArray &) { return TinyServer::Answer{200, QByteArray("corpo\x00\xE7", 7)}; };
    const HttpReply r = httpGet(QUrl(server.base() + QStringLiteral("/x?a=1")), 5000);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.status, 200);
    QCOMPARE(r.body, QByteArray("corpo\x00\xE7", 7));
    QCOMPARE(server.targets.value(0), QByteArray("/x?a=1"));
}

void TestHttpGet::httpErrorStatus()
{
    TinyServer server;
    server.handler = [](const QByteArray &t) {
        return t.startsWith("/falha") ? TinyServer::Answer{500, "erro interno"} : TinyServer::Answer{404, "nada"};
    };
    HttpReply r = httpGet(QUrl(server.base() + QStringLiteral("/nada")), 5000);
    QVERIFY(!r.ok);
    QCOMPARE(r.status, 404);
    QVERIFY2(r.error.contains(QLatin1String("erro HTTP 404")) && r.error.contains(QLatin1String("127.0.0.1")), qPrintable(r.error));
    QVERIFY(r.body.isEmpty());
    r = httpGet(QUrl(server.base() + QStringLiteral("/falha")), 5000);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QLatin1String("erro HTTP 500")), qPrintable(r.error));
}

void TestHttpGet::timeOut()
{
    TinyServer server;
    server.handler = [](const QByteArray &) { return TinyServer::Answer{0, {}}; };
    QElapsedTimer clock;
    clock.start();
    const HttpReply r = httpGet(QUrl(server.base() + QStringLiteral("/lento")), 300);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.startsWith(QLatin1String("Tempo esgotado")), qPrintable(r.error));
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(server.targets.size(), 1);
}

void TestHttpGet::connectionRefused()
{
    quint16 port;
    {
        QTcpServer s;
        QVERIFY(s.listen(QHostAddress::LocalHost, 0));
        port = s.serverPort();
    }
    const HttpReply r = httpGet(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)), 5000);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("conexão recusada")), qPrintable(r.error));
    const HttpReply bad = httpGet(QUrl(QStringLiteral("ftp://127.0.0.1/x")), 1000);
    QVERIFY(!bad.ok);
    QVERIFY(bad.error.startsWith(QStringLiteral("Endereço inválido")));
}

void TestHttpGet::withoutWaiting()
{
    TinyServer server;
    server.handler = [](const QByteArray &t) {
        return t.startsWith("/lento") ? TinyServer::Answer{0, {}} : TinyServer::Answer{200, "pronto"};
    };
    QList<HttpReply> replies;
    QObject context;
    auto collect = [&replies](const HttpReply &r) { replies << r; };
    httpGetAsync(QUrl(server.base() + QStringLiteral("/ok")), 5000, &context, collect);
    httpGetAsync(QUrl(server.base() + QStringLiteral("/lento")), 300, &context, collect);
    httpGetAsync(QUrl(QStringLiteral("ftp://127.0.0.1/x")), 300, &context, collect);
    // Nothing has been answered yet: the caller went on at once.
    QVERIFY(replies.isEmpty());
    QTRY_COMPARE(replies.size(), 3);
    QStringList outcomes;
    for (const HttpReply &r : replies)
        outcomes << (r.ok ? QString::fromLatin1(r.body) : r.error.section(QLatin1Char(':'), 0, 0));
    outcomes.sort();
    QCOMPARE(outcomes, (QStringList{"Endereço inválido", "Tempo esgotado", "pronto"}));

    // A context destroyed first hears nothing.
    auto *gone = new QObject;
    bool called = false;
    httpGetAsync(QUrl(server.base() + QStringLiteral("/ok")), 5000, gone, [&called](const HttpReply &) { called = true; });
    delete gone;
    QTest::qWait(300);
    QVERIFY(!called);
}

void TestHttpGet::cepLookup()
{
    TinyServer server;
    server.handler = [](const QByteArray &t) {
        if (t.contains("cep=01001-000"))
            return TinyServer::Answer{200, "resultado=1&resultado_txt=sucesso+-+cep+completo&UF=SP&CIDADE=S%E3o+Paulo"
                                           "&BAIRRO=S%E9&TIPO_LOGRADOURO=Pra%E7a&LOGRADOURO=da+S%E9"};
        return TinyServer::Answer{200, "resultado=0&resultado_txt=servi%E7o+indispon%EDvel%2Fcep+n%E3o+encontrado"};
    };
    qputenv("BRELVO_CEP_URL", server.base().toUtf8() + "/");
    CepAddress a;
    QString error;
    QVERIFY2(lookupCep(QStringLiteral("01001-000"), &a, &error, 5000), qPrintable(error));
    QCOMPARE(server.targets.value(0), QByteArray("/web_cep.php?cep=01001-000&formato=query_string"));
    QCOMPARE(a.endereco, QStringLiteral("Praça da Sé"));
    QCOMPARE(a.bairro, QStringLiteral("Sé"));
    QCOMPARE(a.cidade, QStringLiteral("São Paulo"));
    QCOMPARE(a.uf, QStringLiteral("SP"));
    // Unknown code: the address becomes one space, the rest empty.
    QVERIFY(lookupCep(QStringLiteral("99999-999"), &a, &error, 5000));
    QCOMPARE(a.endereco, QStringLiteral(" "));
    QVERIFY(a.bairro.isEmpty() && a.cidade.isEmpty() && a.uf.isEmpty());
    // What the operator typed is encoded, never pasted into the request.
    QVERIFY(lookupCep(QStringLiteral("1&x=2 3"), &a, &error, 5000));
    QCOMPARE(server.targets.last(), QByteArray("/web_cep.php?cep=1%26x%3D2%203&formato=query_string"));
    // Service down: the error, address untouched.
    a.cidade = QStringLiteral("MANTIDA");
    server.handler = [](const QByteArray &) { return TinyServer::Answer{503, {}}; };
    QVERIFY(!lookupCep(QStringLiteral("01001-000"), &a, &error, 5000));
    QVERIFY(error.contains(QLatin1String("503")));
    QCOMPARE(a.cidade, QStringLiteral("MANTIDA"));
    qunsetenv("BRELVO_CEP_URL");
}

void TestHttpGet::cepReplyParsing()
{
    // UTF-8 replies decode as UTF-8; single-byte replies as Windows-1252.
    auto m = parseCepReply("CIDADE=S%C3%A3o+Paulo&BAIRRO=Cai%E7ara&LOGRADOURO=A%26B+%3D+C&UF=SP\r\n");
    QCOMPARE(m.value(QStringLiteral("CIDADE")), QStringLiteral("São Paulo"));
    QCOMPARE(m.value(QStringLiteral("BAIRRO")), QStringLiteral("Caiçara"));
    QCOMPARE(m.value(QStringLiteral("LOGRADOURO")), QStringLiteral("A&B = C"));
    QCOMPARE(m.value(QStringLiteral("UF")), QStringLiteral("SP"));
    m = parseCepReply("X=%00a%zz&Y");
    QCOMPARE(m.value(QStringLiteral("X")), QStringLiteral("%00a%zz"));
    QVERIFY(m.contains(QStringLiteral("Y")));
    QCOMPARE(cepAddress({}).endereco, QStringLiteral(" "));
}

void TestHttpGet::cepServiceAddress()
{
    qunsetenv("BRELVO_CEP_URL");
    QCOMPARE(cepServiceBaseUrl(), QString::fromLatin1(kDefaultCepService));
    qputenv("BRELVO_CEP_URL", "http://exemplo.local:8080/cep");
    QCOMPARE(cepServiceBaseUrl(), QStringLiteral("http://exemplo.local:8080/cep"));
    QCOMPARE(cepRequestUrl(QStringLiteral("70040-010")).toString(),
             QStringLiteral("http://exemplo.local:8080/cep/web_cep.php?cep=70040-010&formato=query_string"));
    qunsetenv("BRELVO_CEP_URL");
}

QTEST_MAIN(TestHttpGet)
#include "test_httpget.moc"
