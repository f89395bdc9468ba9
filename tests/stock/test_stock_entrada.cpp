// Replenishment entries and the brand/measure/category lists.

#include "StockFixture.h"
#include "core/FakeDialogService.h"
#include "stock/LookupWindows.h"
#include "stock/StockBalance.h"
#include "stock/TFormEntradaMercadorias.h"
#include "stock/TFormProdutos.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace brelvo;
using brelvo::core::Answer;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
template <typename T = QLineEdit>
T *child(QWidget &w, const char *name) { return w.findChild<T *>(QString::fromLatin1(name)); }
void fillLine(QWidget &w, const QString &code, const QString &qtd, const QString &preco)
{
    child(w, "EditCodigo")->setText(code);
    child(w, "EditQtd")->setText(qtd);
    child(w, "EditPrecoCompra")->setText(preco);
}
} // namespace

class TestEntrada : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deliveryRaisesTheBalance();
    void refusedLines();
    void listingAndRemoval();
    void newUserRoad();
    void pickerChosenWithEnter();
    void lookupLists();
};

void TestEntrada::deliveryRaisesTheBalance()
{
    stocktest::Db f;
    f.add("tbProdutos.db", {{"Codigo", 7891000315507.0}, {"Descricao", QStringLiteral("OLEO 15W40")},
                            {"Valor", 30.0}, {"Estoque", 0.0}, {"Marca", QStringLiteral("LUBRAX")},
                            {"Categoria", QStringLiteral("LUBRIFICANTES")}, {"MonitorarEstq", QStringLiteral("S")}});
    f.add("tbfornecedor.db", {{"Codigo", 1.0}, {"Nome", QStringLiteral("DISTRIBUIDORA SUL")}});
    const qint64 sale = f.sale();
    f.saleItem(sale, 7891000315507.0, 2);
    core::ScopedFakeDialogs dialogs;
    stock::TFormEntradaMercadorias w(f.db);
    QCOMPARE(w.windowTitle(), QStringLiteral("Entrada de Mercadorias"));
    auto *forn = child<QComboBox>(w, "CbFornecedor");
    QVERIFY(forn->findText(QStringLiteral("DISTRIBUIDORA SUL")) > 0);
    forn->setCurrentText(QStringLiteral("DISTRIBUIDORA SUL"));
    child(w, "EditNFiscal")->setText(QStringLiteral("4521"));
    child<QDateEdit>(w, "EditData")->setDate(QDate(2026, 12, 1));
    fillLine(w, QStringLiteral("7891000315507"), QStringLiteral("12"), QStringLiteral("18,75"));
    QVERIFY(w.Lancar());
    QVERIFY(dialogs->clean());

    brelvo::data::Table r(f.db, QStringLiteral("tbReposicao.DB"));
    r.open();
    QCOMPARE(r.recordCount(), 1);
    r.first();
    QCOMPARE(r.asFloat(QStringLiteral("Codigo")), 7891000315507.0);
    QCOMPARE(r.asString(QStringLiteral("Descricao")), QStringLiteral("OLEO 15W40"));
    QCOMPARE(r.asString(QStringLiteral("Marca")), QStringLiteral("LUBRAX"));
    QCOMPARE(r.asString(QStringLiteral("Categoria")), QStringLiteral("LUBRIFICANTES"));
    QCOMPARE(r.asFloat(QStringLiteral("Qtd")), 12.0);
    QCOMPARE(r.asFloat(QStringLiteral("PrecoCompra")), 18.75);
    QCOMPARE(r.asFloat(QStringLiteral("NFiscal")), 4521.0);
    QCOMPARE(r.asString(QStringLiteral("Finalizada")), QStringLiteral("S"));
    QCOMPARE(r.asString(QStringLiteral("Fornecedor")), QStringLiteral("DISTRIBUIDORA SUL"));
    QCOMPARE(r.asDate(QStringLiteral("Data")), QDate(2026, 12, 1));
    // The stored balance is refreshed at once: 12 in, 2 sold.
    QCOMPARE(f.productField(7891000315507.0, "Estoque").toDouble(), 10.0);
    // The line is listed (the period widened to take it in) and the form is ready for the next one.
    QCOMPARE(w.grid()->rowCount(), 1);
    QVERIFY(child(w, "EditCodigo")->text().isEmpty());
    QCOMPARE(child(w, "EditNFiscal")->text(), QStringLiteral("4521"));

    // Enter moves on: a scanned code (digits + Enter) goes on to the quantity.
    w.show();
    QApplication::setActiveWindow(&w);
    child(w, "EditCodigo")->setFocus();
    QTest::keyClicks(child(w, "EditCodigo"), QStringLiteral("7891000315507"));
    QTest::keyClick(child(w, "EditCodigo"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child(w, "EditQtd"));
    QCOMPARE(child<QLabel>(w, "LabDescricao")->text(), QStringLiteral("OLEO 15W40"));

    // A second line of the same invoice adds up.
    fillLine(w, QStringLiteral("7891000315507"), QStringLiteral("0,5"), QStringLiteral("18,75"));
    QVERIFY(w.Lancar());
    QCOMPARE(f.productField(7891000315507.0, "Estoque").toDouble(), 10.5);
}

void TestEntrada::refusedLines()
{
    stocktest::Db f;
    f.product(1, "PECA");
    f.product(2, "MAO DE OBRA", "N");
    core::ScopedFakeDialogs dialogs;
    stock::TFormEntradaMercadorias w(f.db);
    struct Case { const char *fornecedor, *code, *qtd, *preco, *message; };
    const Case cases[] = {
        {"", "1", "1", "1", "Informe o fornecedor!"},
        {"AUTO PECAS", "", "1", "1", "Informe o código do produto!"},
        {"AUTO PECAS", "3", "1", "1", "Produto não cadastrado!"},
        {"AUTO PECAS", "2", "1", "1", "Esse código é de um serviço: serviços não têm estoque!"},
        {"AUTO PECAS", "1", "0", "1", "Informe uma quantidade maior que zero!"},
        {"AUTO PECAS", "1", "-2", "1", "Informe uma quantidade maior que zero!"},
        {"AUTO PECAS", "1", "x", "1", "Informe uma quantidade maior que zero!"},
        {"AUTO PECAS", "1", "1", "", "Informe o preço de compra!"},
    };
    for (const Case &c : cases) {
        dialogs->clearCalls();
        child<QComboBox>(w, "CbFornecedor")->setCurrentText(QString::fromLatin1(c.fornecedor));
        fillLine(w, QString::fromLatin1(c.code), QString::fromLatin1(c.qtd), QString::fromLatin1(c.preco));
        QVERIFY2(!w.Lancar(), c.message);
        QCOMPARE(dialogs->messages(), QStringList{u(c.message)});
    }
    QCOMPARE(f.count("tbReposicao.DB"), 0);
    QCOMPARE(f.productField(1, "Estoque").toDouble(), 0.0);
}

void TestEntrada::listingAndRemoval()
{
    stocktest::Db f;
    f.product(1, "PECA A");
    f.product(2, "PECA B");
    core::ScopedFakeDialogs dialogs;
    stock::TFormEntradaMercadorias w(f.db);
    child<QComboBox>(w, "CbFornecedor")->setCurrentText(QStringLiteral("FORNECEDOR X"));
    auto *data = child<QDateEdit>(w, "EditData");
    const struct { QDate date; const char *code; const char *qtd; } lines[] = {
        {QDate(2026, 1, 10), "1", "5"}, {QDate(2026, 2, 10), "1", "7"}, {QDate(2026, 2, 15), "2", "3"}};
    for (const auto &l : lines) {
        data->setDate(l.date);
        fillLine(w, QString::fromLatin1(l.code), QString::fromLatin1(l.qtd), QStringLiteral("1"));
        QVERIFY(w.Lancar());
    }
    QCOMPARE(f.productField(1, "Estoque").toDouble(), 12.0);

    // By period.
    child<QDateEdit>(w, "EditDe")->setDate(QDate(2026, 2, 1));
    child<QDateEdit>(w, "EditAte")->setDate(QDate(2026, 2, 28));
    w.Pesquisar();
    QCOMPARE(w.grid()->rowCount(), 2);
    // By period and product.
    child(w, "EditFiltroCodigo")->setText(QStringLiteral("0000000000001"));
    w.Pesquisar();
    QCOMPARE(w.grid()->rowCount(), 1);
    QCOMPARE(w.grid()->item(0, 5)->text(), QStringLiteral("7"));

    // Removing asks first; No keeps the line.
    w.grid()->setCurrentCell(0, 0);
    dialogs->answerQuestion(Answer::No);
    w.ExcluirEntrada();
    QCOMPARE(dialogs->last()->text, QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"));
    QCOMPARE(dialogs->last()->title, u("Exclusão"));
    QCOMPARE(f.count("tbReposicao.DB"), 3);
    dialogs->answerQuestion(Answer::Yes);
    w.ExcluirEntrada();
    QCOMPARE(f.count("tbReposicao.DB"), 2);
    QCOMPARE(w.grid()->rowCount(), 0);
    QCOMPARE(f.productField(1, "Estoque").toDouble(), 5.0);
    QCOMPARE(f.productField(2, "Estoque").toDouble(), 3.0);
    QVERIFY(dialogs->clean());
}

// A new user: registers a product, records a delivery of 10, sells nothing,
// and sees the balance 10 in the products window.
void TestEntrada::newUserRoad()
{
    stocktest::Db f;
    core::ScopedFakeDialogs dialogs;
    dialogs->onDialog(QStringLiteral("TFormEntradaMercadorias"), [](QDialog *d) {
        auto &w = *static_cast<stock::TFormEntradaMercadorias *>(d);
        child<QComboBox>(w, "CbFornecedor")->setCurrentText(QStringLiteral("AUTO PECAS BRASIL"));
        child(w, "EditNFiscal")->setText(QStringLiteral("100"));
        fillLine(w, QStringLiteral("7891000315507"), QStringLiteral("10"), QStringLiteral("12,00"));
        return w.Lancar() ? 1 : 0;
    });
    stock::TFormProdutos w(f.db);
    w.show();
    child(w, "DBEditCodigo")->setText(QStringLiteral("7891000315507"));
    QTest::keyClicks(child(w, "DBEditDescricao"), QStringLiteral("PASTILHA DE FREIO"));
    QTest::keyClicks(child(w, "DBEditValor"), QStringLiteral("89,90"));
    child<QPushButton>(w, "BtSalvar")->click();
    QCOMPARE(f.count("tbProdutos.db"), 1);
    child<QPushButton>(w, "BtEntradaMercadorias")->click();
    QCOMPARE(f.count("tbReposicao.DB"), 1);
    QCOMPARE(child(w, "DBEditEstoque")->text(), QStringLiteral("10"));
    QCOMPARE(f.productField(7891000315507.0, "Estoque").toDouble(), 10.0);
    QVERIFY(dialogs->clean());
}

void TestEntrada::lookupLists()
{
    stocktest::Db f;
    f.add("tbCategoria.db", {{"Categoria", QStringLiteral("SUSPENSAO")}});
    f.add("tbProdutos.db", {{"Codigo", 1.0}, {"Descricao", QStringLiteral("MOLA")}, {"Valor", 1.0},
                            {"Categoria", QStringLiteral("SUSPENSAO")}});
    core::ScopedFakeDialogs dialogs;

    stock::TFormMarcas marcas(f.db);
    QCOMPARE(marcas.windowTitle(), QStringLiteral("Cadastro Marcas"));
    marcas.Adicionar();
    QCOMPARE(dialogs->messages(), QStringList{QStringLiteral("Preencha o nome da marca para adicionar!")});
    QCOMPARE(f.count("tbMarcas.db"), 0);
    QTest::keyClicks(child(marcas, "EditNome"), QStringLiteral("bosch"));
    marcas.Adicionar();
    QCOMPARE(marcas.values(), QStringList{QStringLiteral("BOSCH")});
    QVERIFY(child(marcas, "EditNome")->text().isEmpty());

    // Editing in place.
    marcas.Editar();
    auto *field = child(marcas, "DBEdit1");
    QVERIFY(!field->isHidden());
    QVERIFY(!child<QPushButton>(marcas, "BtAdicionar")->isEnabled());
    field->setText(QStringLiteral("BOSCH BRASIL"));
    marcas.Post();
    QCOMPARE(marcas.values(), QStringList{QStringLiteral("BOSCH BRASIL")});
    QVERIFY(field->isHidden());
    QVERIFY(child<QPushButton>(marcas, "BtEditar")->isEnabled());

    // The same message in the other two windows; measures are short.
    dialogs->clearCalls();
    stock::TFormMedidas medidas(f.db);
    QCOMPARE(medidas.windowTitle(), QStringLiteral("Cadastro Medidas"));
    medidas.Adicionar();
    QCOMPARE(dialogs->messages(), QStringList{QStringLiteral("Preencha o nome da marca para adicionar!")});
    QTest::keyClicks(child(medidas, "EditNome"), QStringLiteral("PCT123456"));
    medidas.Adicionar();
    QCOMPARE(medidas.values(), QStringList{QStringLiteral("PCT12")});
    // Nothing stops two equal values.
    QTest::keyClicks(child(medidas, "EditNome"), QStringLiteral("PCT12"));
    medidas.Adicionar();
    QCOMPARE(medidas.values(), (QStringList{QStringLiteral("PCT12"), QStringLiteral("PCT12")}));
    QVERIFY(dialogs->callsOf(core::FakeDialogService::Kind::Error).isEmpty());

    // Removing a category leaves the products' text alone.
    dialogs->clearCalls();
    stock::TFormCategoria categorias(f.db);
    QCOMPARE(categorias.windowTitle(), QStringLiteral("Cadastro Categorias"));
    dialogs->answerQuestion(Answer::Yes);
    categorias.Remover();
    QCOMPARE(dialogs->last()->text, QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"));
    QCOMPARE(f.count("tbCategoria.db"), 0);
    QCOMPARE(f.productField(1, "Categoria").toString(), QStringLiteral("SUSPENSAO"));
    QVERIFY(dialogs->clean());
}

void TestEntrada::pickerChosenWithEnter()
{
    stocktest::Db f;
    f.product(7891000315507.0, "MOLA DIANTEIRA");
    f.product(42, "AMORTECEDOR");
    f.product(43, "PASTILHA");
    core::ScopedFakeDialogs dialogs;
    stock::TFormEntradaMercadorias w(f.db);
    dialogs->onDialog(QStringLiteral("TFPesquisaProduto"), [](QDialog *d) {
        d->show();
        if (!QTest::qWaitForWindowExposed(d))
            return 0;
        QApplication::setActiveWindow(d);
        auto *text = child(*d, "EditPesquisa");
        text->setFocus();
        // The operator types, Enter moves to the list, Enter chooses.
        QTest::keyClicks(text, QStringLiteral("mol"));
        QTest::keyClick(text, Qt::Key_Return);
        QWidget *list = QApplication::focusWidget();
        if (!list || list->objectName() != QLatin1String("GridProdutos"))
            return 0;
        QTest::keyClick(list, Qt::Key_Return);
        return d->result();
    });
    w.Procurar();
    QCOMPARE(child(w, "EditCodigo")->text(), QStringLiteral("7891000315507"));
    QCOMPARE(child<QLabel>(w, "LabDescricao")->text(), QStringLiteral("MOLA DIANTEIRA"));
    QVERIFY(dialogs->clean());
}

QTEST_MAIN(TestEntrada)
#include "test_stock_entrada.moc"
