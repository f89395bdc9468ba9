#include "web/CepLookup.h"

#include "core/AppPaths.h"
#include "core/Codepage.h"
#include "web/HttpGet.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStringDecoder>
#include <QUrlQuery>

namespace brelvo::web {

QString cepServiceBaseUrl()
{
    const QString env = qEnvironmentVariable("BRELVO_CEP_URL").trimmed();
    if (!env.isEmpty())
        return env;
    if (QCoreApplication::instance()) {
        const QString ini = core::workFile(QStringLiteral("cep.ini"));
        if (QFile::exists(ini)) {
            const QString url = QSettings(ini, QSettings::IniFormat).value(QStringLiteral("cep/url")).toString().trimmed();
            if (!url.isEmpty())
                return url;
        }
    }
    return QString::fromLatin1(kDefaultCepService);
}

QUrl cepRequestUrl(const QString &cep, const QString &baseUrl)
{
    QString base = baseUrl.trimmed();
    while (base.endsWith(u'/'))
        base.chop(1);
    QUrl url(base + QStringLiteral("/web_cep.php"));
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("cep"), QString::fromLatin1(QUrl::toPercentEncoding(cep)));
    q.addQueryItem(QStringLiteral("formato"), QStringLiteral("query_string"));
    url.setQuery(q.toString(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}

static QString decodeComponent(const QByteArray &raw)
{
    QByteArray bytes;
    bytes.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '+') {
            bytes += ' ';
        } else if (c == '%' && i + 2 < raw.size()) {
            bool ok = false;
            const int v = raw.mid(i + 1, 2).toInt(&ok, 16);
            if (ok && v >= 1) {
                bytes += char(v);
                i += 2;
            } else {
                bytes += c;
            }
        } else {
            bytes += c;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return core::fromCp1252(bytes);
}

QMap<QString, QString> parseCepReply(const QByteArray &body)
{
    QMap<QString, QString> out;
    QByteArray text = body;
    text.replace("\r", "");
    for (const QByteArray &line : text.split('\n')) {
        for (const QByteArray &pair : line.split('&')) {
            if (pair.trimmed().isEmpty())
                continue;
            const qsizetype eq = pair.indexOf('=');
            const QByteArray name = eq < 0 ? pair : pair.left(eq);
            const QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
            out.insert(decodeComponent(name).trimmed(), decodeComponent(value));
        }
    }
    return out;
}

CepAddress cepAddress(const QMap<QString, QString> &reply)
{
    CepAddress a;
    a.endereco = reply.value(QStringLiteral("TIPO_LOGRADOURO")) + u' ' + reply.value(QStringLiteral("LOGRADOURO"));
    a.bairro = reply.value(QStringLiteral("BAIRRO"));
    a.cidade = reply.value(QStringLiteral("CIDADE"));
    a.uf = reply.value(QStringLiteral("UF"));
    return a;
}

bool lookupCep(const QString &cep, CepAddress *address, QString *error, int timeoutMs)
{
    const HttpReply r = httpGet(cepRequestUrl(cep), timeoutMs);
    if (!r.ok) {
        if (error)
            *error = r.error;
        return false;
    }
    if (address)
        *address = cepAddress(parseCepReply(r.body));
    return true;
}

} // namespace brelvo::web
