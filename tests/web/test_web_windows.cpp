// The tracking and map windows: what they hand to the browser, the fill-in
// message, and the notice shown without the embedded browser.

#include "core/FakeDialogService.h"
#include "web/BrowserView.h"
#include "web/TF_GoMaps.h"
#include "web/TFormRastrear.h"
#include "web/WebAddresses.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QUrlQuery>
#include <QtTest>

using namespace brelvo;
using namespace brelvo::web;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
QString q(const QUrl &url, const char *item) { return QUrlQuery(url).queryItemValue(QString::fromLatin1(item), QUrl::FullyDecoded); }
const QString kFillIn = QStringLiteral("Preencha os campos acima para pesquisar! Cidade, UF e Rua");
} // namespace

class TestWebWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addressSearch();
    void fillInMessage_data();
    void fillInMessage();
    void postalCode_data();
    void postalCode();
    void tracking();
};

void TestWebWindows::addressSearch()
{
    ScopedPageOpener pages;
    core::ScopedFakeDialogs dialogs;
    TF_GoMaps w;
    w.show();
    QCOMPARE(w.windowTitle(), u("Localizar Endereço"));
    auto *estado = w.findChild<QComboBox *>(u("cbEstado"));
    QCOMPARE(estado->currentText(), u("UF"));
    QCOMPARE(estado->count(), 27);

    QTest::keyClicks(w.findChild<QLineEdit *>(u("EditCidade")), u("goiania"));
    estado->lineEdit()->selectAll();
    QTest::keyClicks(estado->lineEdit(), u("go"));
    QTest::keyClicks(w.findChild<QLineEdit *>(u("EditRua")), u("rua 3 & av. 4 #10"));
    w.findChild<QPushButton *>(u("btnBuscar"))->click();

    QCOMPARE(pages.urls.size(), 1);
    const QUrl url = pages.urls.first();
    QCOMPARE(url, mapUrl(u("GOIANIA - GO RUA 3 & AV. 4 #10")));
    QCOMPARE(q(url, "q"), u("GOIANIA - GO RUA 3 & AV. 4 #10"));
    QCOMPARE(q(url, "hl"), u("pt-BR"));
    QCOMPARE(url.path(), u("/maps"));
    QCOMPARE(w.browser()->url(), url);

    // Keyboard: Enter in the street box moves to the button, Enter there searches.
    auto *rua = w.findChild<QLineEdit *>(u("EditRua"));
    rua->setFocus();
    QTest::keyClick(rua, Qt::Key_Return);
    auto *buscar = w.findChild<QPushButton *>(u("btnBuscar"));
    QCOMPARE(w.focusWidget(), static_cast<QWidget *>(buscar));
    QTest::keyClick(buscar, Qt::Key_Return);
    QCOMPARE(pages.urls.size(), 2);
    QCOMPARE(pages.urls.last(), url);
    QVERIFY(dialogs->messages().isEmpty());
}

void TestWebWindows::fillInMessage_data()
{
    QTest::addColumn<QString>("cidade");
    QTest::addColumn<QString>("estado");
    QTest::addColumn<QString>("rua");
    QTest::newRow("state left at UF") << u("GOIANIA") << u("UF") << u("RUA 1");
    QTest::newRow("no city") << u("") << u("GO") << u("RUA 1");
    QTest::newRow("no street") << u("GOIANIA") << u("GO") << u("  ");
    QTest::newRow("state cleared") << u("GOIANIA") << u("") << u("RUA 1");
}

void TestWebWindows::fillInMessage()
{
    QFETCH(QString, cidade);
    QFETCH(QString, estado);
    QFETCH(QString, rua);
    ScopedPageOpener pages;
    core::ScopedFakeDialogs dialogs;
    TF_GoMaps w;
    w.show();
    // A map already shown stays.
    w.findChild<QLineEdit *>(u("EditCep"))->setText(u("74000100"));
    w.BuscarCep();
    const QUrl before = w.browser()->url();

    w.findChild<QLineEdit *>(u("EditCidade"))->setText(cidade);
    w.findChild<QComboBox *>(u("cbEstado"))->setEditText(estado);
    w.findChild<QLineEdit *>(u("EditRua"))->setText(rua);
    w.findChild<QPushButton *>(u("btnBuscar"))->click();

    QCOMPARE(dialogs->messages(), QStringList{kFillIn});
    QCOMPARE(dialogs->count(core::FakeDialogService::Kind::Information), 1);
    QCOMPARE(pages.urls.size(), 1);
    QCOMPARE(w.browser()->url(), before);
}

void TestWebWindows::postalCode_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent");
    QTest::newRow("empty box sends its blank mask") << u("") << u("     -   ");
    QTest::newRow("full code") << u("74000100") << u("74000-100");
    QTest::newRow("part of a code") << u("7400") << u("7400 -   ");
}

void TestWebWindows::postalCode()
{
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    ScopedPageOpener pages;
    core::ScopedFakeDialogs dialogs;
    TF_GoMaps w;
    w.show();
    auto *cep = w.findChild<QLineEdit *>(u("EditCep"));
    cep->setFocus();
    cep->setCursorPosition(0);
    QTest::keyClicks(cep, typed);
    QCOMPARE(w.cepText(), sent);
    w.findChild<QPushButton *>(u("btnBuscarCep"))->click();
    QCOMPARE(pages.urls.size(), 1);
    QCOMPARE(q(pages.urls.first(), "q"), sent);
    QCOMPARE(pages.urls.first(), mapUrl(sent));
    QVERIFY(dialogs->messages().isEmpty());
}

void TestWebWindows::tracking()
{
    ScopedPageOpener pages;
    core::ScopedFakeDialogs dialogs;
    TFormRastrear w;
    w.show();
    QCOMPARE(w.windowTitle(), u("Rastreamento de Sedex, Encomenda PAC, AR etc."));
    auto *codigo = w.findChild<QLineEdit *>(u("EditCodigo"));
    auto *button = w.findChild<QPushButton *>(u("btnRastrear"));
    QCOMPARE(button->text(), u("Rastrear Agora!"));
    QCOMPARE(button->toolTip(), u("Clique aqui para rastrear sua encomenda!"));

    // An empty code is sent as it is.
    button->click();
    QCOMPARE(pages.urls.size(), 1);
    QCOMPARE(pages.urls.last(), trackingUrl(QString()));
    QVERIFY(pages.urls.last().toString(QUrl::FullyEncoded).endsWith(u("P_COD_UNI=")));

    QTest::keyClicks(codigo, u("ss123456789br"));
    QCOMPARE(codigo->text(), u("SS123456789BR"));
    button->click();
    QCOMPARE(q(pages.urls.last(), "P_COD_UNI"), u("SS123456789BR"));
    QCOMPARE(pages.urls.last().path(), u("/sro_bin/txect01$.QueryList"));
    QCOMPARE(q(pages.urls.last(), "P_LINGUA"), u("001"));

    // Enter in the box tracks too; a click selects the whole code for the next one.
    codigo->setFocus();
    QTest::keyClick(codigo, Qt::Key_Return);
    QCOMPARE(pages.urls.size(), 3);
    codigo->deselect();
    QTest::mouseClick(codigo, Qt::LeftButton);
    QCOMPARE(codigo->selectedText(), u("SS123456789BR"));

    // Without the embedded browser the window says where the page went.
    QVERIFY(!w.browser()->embedded());
    QVERIFY(w.browser()->notice().contains(u("navegador padrão")));
    QVERIFY(dialogs->messages().isEmpty());
}

QTEST_MAIN(TestWebWindows)
#include "test_web_windows.moc"
