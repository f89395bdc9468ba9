// The tracking and map addresses, where their sites come from, and the
// page pane without the embedded browser.

#include "core/AppPaths.h"
#include "web/BrowserView.h"
#include "web/WebAddresses.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

using namespace brelvo;
using namespace brelvo::web;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
}

class TestWebAddresses : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mapSearch_data();
    void mapSearch();
    void tracking_data();
    void tracking();
    void sitesFromSettings();
    void paneWithoutEmbeddedBrowser();
};

void TestWebAddresses::mapSearch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("query");   // the q parameter as sent
    QTest::newRow("address") << addressSearchText(u("GOIÂNIA"), u("GO"), u("RUA 10"))
                             << u("GOI%C3%82NIA%20-%20GO%20RUA%2010");
    QTest::newRow("ampersand and hash stay in the value")
        << addressSearchText(u("ANÁPOLIS"), u("GO"), u("AV A & B #12 +1"))
        << u("AN%C3%81POLIS%20-%20GO%20AV%20A%20%26%20B%20%2312%20%2B1");
    QTest::newRow("empty postal code") << u("     -   ") << u("%20%20%20%20%20-%20%20%20");
    QTest::newRow("postal code") << u("74000-100") << u("74000-100");
}

void TestWebAddresses::mapSearch()
{
    QFETCH(QString, text);
    QFETCH(QString, query);
    const QUrl url = mapUrl(text, u("https://mapas.example/"));
    QCOMPARE(url.toString(QUrl::FullyEncoded),
             u("https://mapas.example/maps?f=q&source=s_q&hl=pt-BR&geocode=&q=") + query);
    // The site reads back exactly what was typed, as one parameter.
    const QUrlQuery q(url);
    QCOMPARE(q.queryItemValue(u("q"), QUrl::FullyDecoded), text);
    QCOMPARE(q.queryItems().size(), 5);
}

void TestWebAddresses::tracking_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("sent");
    QTest::newRow("code") << u("SS123456789BR") << u("SS123456789BR");
    QTest::newRow("empty code sent as it is") << QString() << QString();
    QTest::newRow("odd characters") << u("AB 1&2#") << u("AB%201%262%23");
}

void TestWebAddresses::tracking()
{
    QFETCH(QString, code);
    QFETCH(QString, sent);
    const QUrl url = trackingUrl(code, u("http://rastreio.example"));
    QCOMPARE(url.toString(QUrl::FullyEncoded),
             u("http://rastreio.example/sro_bin/txect01$.QueryList?P_LINGUA=001&P_TIPO=001&P_COD_UNI=") + sent);
    QCOMPARE(QUrlQuery(url).queryItemValue(u("P_COD_UNI"), QUrl::FullyDecoded), code);
}

void TestWebAddresses::sitesFromSettings()
{
    QTemporaryDir dir;
    core::setProgramFolder(dir.path());
    qunsetenv("BRELVO_RASTREIO_URL");
    qunsetenv("BRELVO_MAPAS_URL");
    QCOMPARE(trackingSite(), QString::fromLatin1(kDefaultTrackingSite));
    QCOMPARE(mapSite(), QString::fromLatin1(kDefaultMapSite));
    QVERIFY(mapUrl(u("X")).toString().startsWith(QString::fromLatin1(kDefaultMapSite) + u("/maps?")));

    QFile ini(dir.filePath(u("web.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[web]\nrastreio=http://rastreio.local/\nmapas=http://mapas.local:8080\n");
    ini.close();
    QCOMPARE(trackingSite(), u("http://rastreio.local"));
    QCOMPARE(mapSite(), u("http://mapas.local:8080"));
    QCOMPARE(trackingUrl(u("A")).host(), u("rastreio.local"));

    qputenv("BRELVO_MAPAS_URL", "http://outro.local");
    QCOMPARE(mapSite(), u("http://outro.local"));
    QCOMPARE(trackingSite(), u("http://rastreio.local"));
    qunsetenv("BRELVO_MAPAS_URL");
    core::setProgramFolder(QString());
}

void TestWebAddresses::paneWithoutEmbeddedBrowser()
{
    // The opener answers "could not open" the second time.
    bool opens = true;
    QList<QUrl> opened;
    const bool wasEnabled = embeddedBrowserEnabled();
    setEmbeddedBrowserEnabled(false);
    PageOpener previous = setPageOpener([&](const QUrl &url) { opened << url; return opens; });

    BrowserView view;
    QVERIFY(!view.embedded());
    QVERIFY(view.notice().contains(u("navegador padrão")));
    const QUrl first = mapUrl(u("A & B"), u("http://m.example"));
    view.load(first);
    QCOMPARE(opened, QList<QUrl>{first});
    QCOMPARE(view.url(), first);
    QVERIFY(view.notice().contains(u("aberta no seu navegador padrão")));
    QVERIFY(view.notice().contains(first.toString(QUrl::FullyEncoded).toHtmlEscaped()));

    opens = false;
    view.load(trackingUrl(u("X"), u("http://r.example")));
    QCOMPARE(opened.size(), 2);
    QVERIFY(view.notice().startsWith(u("Não foi possível abrir o navegador padrão.")));

    setPageOpener(previous);
    setEmbeddedBrowserEnabled(wasEnabled);
    QCOMPARE(embeddedBrowserEnabled(), embeddedBrowserBuilt() && wasEnabled);
}

QTEST_MAIN(TestWebAddresses)
#include "test_web_addresses.moc"
