#include "registries/RegistryRules.h"

#include "core/Format.h"
#include "web/CepLookup.h"

#include <QDesktopServices>
#include <QFile>

namespace brelvo::registries {

QString formatCpfCnpj(const QString &text)
{
    QString s = text;
    s.remove(QLatin1Char('.')).remove(QLatin1Char('-')).remove(QLatin1Char('/'));
    if (s.size() == 11)
        return s.left(3) + '.' + s.mid(3, 3) + '.' + s.mid(6, 3) + '-' + s.mid(9, 2);
    if (s.size() == 14)
        return s.left(2) + '.' + s.mid(2, 3) + '.' + s.mid(5, 3) + '/' + s.mid(8, 4) + '-' + s.mid(12, 2);
    return s;
}

namespace {
QString g_cepBase;
int g_cepTimeout = 15000;
UrlOpener g_opener;
} // namespace

void setCepServiceBase(const QString &base) { g_cepBase = base; }
QString cepServiceBase() { return g_cepBase.isEmpty() ? web::cepServiceBaseUrl() : g_cepBase; }
void setCepTimeout(int ms) { g_cepTimeout = ms; }
int cepTimeout() { return g_cepTimeout; }

// ---------------------------------------------------------------- desktop

UrlOpener setUrlOpener(UrlOpener opener)
{
    UrlOpener old = std::move(g_opener);
    g_opener = std::move(opener);
    return old;
}

bool openUrl(const QUrl &url)
{
    if (g_opener)
        return g_opener(url);
    return QDesktopServices::openUrl(url);
}

QUrl customerMailUrl(const QString &email, const QString &name)
{
    const QByteArray subject = QUrl::toPercentEncoding(QStringLiteral("Ordem de Serviço"));
    const QByteArray body = QUrl::toPercentEncoding(QStringLiteral("Olâ Sr.(a) ") + name);
    const QByteArray address = QUrl::toPercentEncoding(email.trimmed(), "@.+-_");
    return QUrl::fromEncoded("mailto:" + address + "?subject=" + subject + "&Body=" + body, QUrl::StrictMode);
}

std::optional<QStringList> readMakers(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QByteArray bytes = f.readAll();
    // Written by any text editor: UTF-8 when it decodes cleanly, else Latin-1.
    QString text = QString::fromUtf8(bytes);
    if (text.contains(QChar::ReplacementCharacter))
        text = QString::fromLatin1(bytes);
    QStringList out;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (!line.isEmpty())
            out << line;
    }
    return out;
}

QStringList fuelChoices()
{
    return {QStringLiteral("ÁLCOOL"), QStringLiteral("DIESEL"), QStringLiteral("GÁS DE COZINHA (GLP)"),
            QStringLiteral("GÁS NATURAL VEICULAR (GNV)"), QStringLiteral("GASOLINA"),
            QStringLiteral("TOTAL FLEX")};
}

bool isProtectedRole(const QString &role)
{
    const QString r = role.trimmed();
    return r == QStringLiteral("MECÂNICO") || r == QStringLiteral("ATENDENTE");
}

} // namespace brelvo::registries
