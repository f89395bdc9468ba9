#include "web/WebAddresses.h"

#include "core/AppPaths.h"

#include <QFile>
#include <QSettings>

namespace brelvo::web {

namespace {

QString configuredSite(const char *envName, const QString &iniKey, const char *fallback)
{
    QString site = qEnvironmentVariable(envName).trimmed();
    if (site.isEmpty()) {
        const QString ini = core::workFile(QStringLiteral("web.ini"));
        if (QFile::exists(ini))
            site = QSettings(ini, QSettings::IniFormat).value(iniKey).toString().trimmed();
    }
    if (site.isEmpty())
        site = QString::fromLatin1(fallback);
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site;
}

QUrl build(const QString &site, const QString &path, const QString &fixedQuery, const QString &value)
{
    QString s = site;
    while (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    QUrl url(s + path);
    url.setQuery(fixedQuery + QString::fromLatin1(QUrl::toPercentEncoding(value)), QUrl::StrictMode);
    return url;
}

} // namespace

QString trackingSite()
{
    return configuredSite("BRELVO_RASTREIO_URL", QStringLiteral("web/rastreio"), kDefaultTrackingSite);
}

QString mapSite() { return configuredSite("BRELVO_MAPAS_URL", QStringLiteral("web/mapas"), kDefaultMapSite); }

QUrl trackingUrl(const QString &code, const QString &site)
{
    return build(site, QStringLiteral("/sro_bin/txect01$.QueryList"),
                 QStringLiteral("P_LINGUA=001&P_TIPO=001&P_COD_UNI="), code);
}

QUrl mapUrl(const QString &searchText, const QString &site)
{
    return build(site, QStringLiteral("/maps"), QStringLiteral("f=q&source=s_q&hl=pt-BR&geocode=&q="), searchText);
}

QString addressSearchText(const QString &city, const QString &state, const QString &street)
{
    return city + QStringLiteral(" - ") + state + QLatin1Char(' ') + street;
}

} // namespace brelvo::web
