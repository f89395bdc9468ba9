// The products window: new rows, saving, the delete guard, the sale price,
// find by code, the stored balance and the stock listing.

#include "StockFixture.h"
#include "core/DatasetModel.h"
#include "core/FakeDialogService.h"
#include "printing/PageModel.h"
#include "stock/TFormProdutos.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QTableView>
#include <QItemSelectionModel>
#include <QTest>

using namespace brelvo;
using brelvo::core::Answer;
using brelvo::core::FakeDialogService;
using brelvo::data::Dataset;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
QLineEdit *edit(QWidget &w, const char *name) { return w.findChild<QLineEdit *>(QString::fromLatin1(name)); }
QPushButton *btn(QWidget &w, const char *name) { return w.findChild<QPushButton *>(QString::fromLatin1(name)); }
void type(QWidget &w, const char *name, const QString &text)
{
    QLineEdit *e = edit(w, name);
    QVERIFY2(e, name);
    e->selectAll();
    QTest::keyClicks(e, text);
}
} // namespace

class TestProdutos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyTableStartsANewProduct();
    void savingNewRows();
    void salePriceFromCostAndMargin();
    void deleteGuardAndDelete();
    void findByCode();
    void searchKeepsTypedChanges();
    void searchGridFollowsTheCursorOrder();
    void navigationStoresTheBalance();
    void listingFiltersByCategoryPrefix();
    void photo();
};

void TestProdutos::emptyTableStartsANewProduct()
{
    stocktest::Db f;
    core::ScopedFakeDialogs dialogs;
    stock::TFormProdutos w(f.db);
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro"));
    data::Table *t = w.produtos();
    QCOMPARE(t->state(), Dataset::State::Insert);
    QVERIFY(!btn(w, "BtGeraBarra")->isHidden());
    QVERIFY(edit(w, "DBEditCodigo")->isEnabled());
    QCOMPARE(t->asString(QStringLiteral("MonitorarEstq")), QStringLiteral("S"));
    QCOMPARE(t->asString(QStringLiteral("PermiteVenda")), QStringLiteral("S"));
    for (const char *field : {"Estoque", "EstoqueMinimo", "PrecoCusto", "Margem"}) {
        QVERIFY2(!t->isNull(QString::fromLatin1(field)), field);
        QCOMPARE(t->asFloat(QString::fromLatin1(field)), 0.0);
    }
    QVERIFY(dialogs->clean());
}

void TestProdutos::savingNewRows()
{
    stocktest::Db f;
    core::ScopedFakeDialogs dialogs;
    stock::TFormProdutos w(f.db);
    w.show();
    type(w, "DBEditCodigo", QStringLiteral("123"));
    type(w, "DBEditDescricao", QStringLiteral("filtro de ar"));
    QCOMPARE(edit(w, "DBEditDescricao")->text(), QStringLiteral("FILTRO DE AR"));   // upper case forced
    btn(w, "BtSalvar")->click();
    QCOMPARE(dialogs->messages(), QStringList{u("Campos Codigo*, Produto*, Preço Venda* são obrigatórios preencha!")});
    QCOMPARE(f.count("tbProdutos.db"), 0);

    type(w, "DBEditValor", QStringLiteral("25,90"));
    btn(w, "BtSalvar")->click();
    QCOMPARE(f.count("tbProdutos.db"), 1);
    QCOMPARE(f.productField(123, "Descricao").toString(), QStringLiteral("FILTRO DE AR"));
    QCOMPARE(f.productField(123, "Valor").toDouble(), 25.9);
    QCOMPARE(f.productField(123, "MonitorarEstq").toString(), QStringLiteral("S"));
    QCOMPARE(edit(w, "DBEditCodigo")->text(), QStringLiteral("0000000000123"));
    QVERIFY(!edit(w, "DBEditCodigo")->isEnabled());        // a code cannot be changed once set
    QVERIFY(btn(w, "BtIncluir")->isEnabled());
    QVERIFY(btn(w, "BtSalvar")->isHidden());
    QVERIFY(btn(w, "BtGeraBarra")->isHidden());

    // Nothing changed: nothing to save.
    dialogs->clearCalls();
    QVERIFY(!btn(w, "Alterar")->isEnabled());
    w.AlterarClick();
    QCOMPARE(dialogs->messages(), QStringList{u("Não foi feita nenhuma alteração")});

    // The same code again is refused, and the first row stays as it was.
    dialogs->clearCalls();
    btn(w, "BtIncluir")->click();
    QCOMPARE(w.produtos()->state(), Dataset::State::Insert);
    QVERIFY(!btn(w, "SpeedButton4")->isEnabled());
    type(w, "DBEditCodigo", QStringLiteral("0000000000123"));
    type(w, "DBEditDescricao", QStringLiteral("OUTRO"));
    type(w, "DBEditValor", QStringLiteral("1"));
    btn(w, "BtSalvar")->click();
    QCOMPARE(dialogs->messages(), QStringList{u("Esse Codigo de Produto Já foi Cadastrado!")});
    QCOMPARE(f.count("tbProdutos.db"), 1);
    QCOMPARE(f.productField(123, "Descricao").toString(), QStringLiteral("FILTRO DE AR"));

    // A code that is no number is refused with a message, nothing stored.
    dialogs->clearCalls();
    type(w, "DBEditCodigo", QStringLiteral("12AB"));
    btn(w, "BtSalvar")->click();
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Error), 1);
    QCOMPARE(f.count("tbProdutos.db"), 1);

    btn(w, "BtCancelar")->click();
    QCOMPARE(w.produtos()->state(), Dataset::State::Browse);
    QCOMPARE(edit(w, "DBEditCodigo")->text(), QStringLiteral("0000000000123"));
}

void TestProdutos::salePriceFromCostAndMargin()
{
    stocktest::Db f;
    f.product(5, "ESCAPAMENTO", "S", 1);
    core::ScopedFakeDialogs dialogs;
    stock::TFormProdutos w(f.db);
    w.show();
    type(w, "DBEditPrecoCusto", QStringLiteral("10"));
    type(w, "DBEditMargem", QStringLiteral("25"));
    btn(w, "Button1")->click();
    QCOMPARE(edit(w, "DBEditValor")->text(), QStringLiteral("12,5"));
    QCOMPARE(w.produtos()->state(), Dataset::State::Edit);
    QVERIFY(!btn(w, "Alterar")->isHidden() && btn(w, "Alterar")->isEnabled());
    btn(w, "Alterar")->click();
    QCOMPARE(f.productField(5, "Valor").toDouble(), 12.5);
    QCOMPARE(f.productField(5, "PrecoCusto").toDouble(), 10.0);
    QCOMPARE(f.productField(5, "Margem").toDouble(), 25.0);

    // A margin that is no number: the error is shown and the price stays.
    type(w, "DBEditMargem", QStringLiteral("abc"));
    btn(w, "Button1")->click();
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Error), 1);
    QCOMPARE(edit(w, "DBEditValor")->text(), QStringLiteral("12,50"));
    btn(w, "BtCancelar")->click();
    QCOMPARE(f.productField(5, "Margem").toDouble(), 25.0);
}

void TestProdutos::deleteGuardAndDelete()
{
    stocktest::Db f;
    f.product(1, "COM ENTRADA");
    f.product(2, "SEM ENTRADA");
    f.entry(1, 10);
    core::ScopedFakeDialogs dialogs;
    stock::TFormProdutos w(f.db);
    w.show();
    QCOMPARE(edit(w, "DBEditCodigo")->text(), QStringLiteral("0000000000002"));   // opens on the last row

    w.navigate(0);
    QCOMPARE(edit(w, "DBEditCodigo")->text(), QStringLiteral("0000000000001"));
    btn(w, "BtExcluir")->click();
    QCOMPARE(dialogs->messages(),
             QStringList{u("Esse Produto Já foi Dado entrada exclua todas reposições para continuar!")});
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Question), 0);
    QCOMPARE(f.count("tbProdutos.db"), 2);

    // Answered No: nothing happens.
    w.navigate(3);
    dialogs->clearCalls();
    dialogs->answerQuestion(Answer::No);
    btn(w, "BtExcluir")->click();
    QCOMPARE(f.count("tbProdutos.db"), 2);
    QCOMPARE(dialogs->last()->title, u("Exclusão"));
    QCOMPARE(dialogs->last()->text, u("Comfirme a exclusão  do Cadastro!"));

    // Yes: deleted; the row that becomes current gets its balance stored.
    dialogs->clearCalls();
    dialogs->answerQuestion(Answer::Yes);
    btn(w, "BtExcluir")->click();
    QVERIFY(dialogs->messages().contains(u("Cadastro Excluído com Sucesso!")));
    QCOMPARE(f.count("tbProdutos.db"), 1);
    QVERIFY(f.productField(2, "Codigo").isNull());
    QCOMPARE(edit(w, "DBEditCodigo")->text(), QStringLiteral("0000000000001"));
    QCOMPARE(f.productField(1, "Estoque").toDouble(), 10.0);
    QVERIFY(dialogs->clean());
}

void TestProdutos::findByCode()
{
    stocktest::Db f;
    f.product(456, "AMORTECEDOR");
    f.product(789, "MOLA");
    core::ScopedFakeDialogs dialogs;
    stock::TFormProdutos w(f.db);
    dialogs->answerInput(QStringLiteral("0000000000456"));
    w.Localizar();
    QCOMPARE(dialogs->last()->title, QStringLiteral("Procura"));
    QCOMPARE(dialogs->last()->text, u("Entre com o código do produto!"));
    QCOMPARE(edit(w, "DBEditDescricao")->text(), QStringLiteral("AMORTECEDOR"));

    dialogs->answerInput(QStringLiteral("999"));
    w.Localizar();
    QCOMPARE(dialogs->last()->text, u("Código não encontrado"));
    QCOMPARE(edit(w, "DBEditDescricao")->text(), QStringLiteral("AMORTECEDOR"));   // stays put

    // A pending change is stored before searching, not dropped.
    type(w, "DBEditDescricao", QStringLiteral("AMORTECEDOR XYZ"));
    QCOMPARE(w.produtos()->state(), Dataset::State::Edit);
    dialogs->answerInput(QStringLiteral("789"));
    w.Localizar();
    QCOMPARE(edit(w, "DBEditDescricao")->text(), QStringLiteral("MOLA"));
    QCOMPARE(f.productField(456, "Descricao").toString(), QStringLiteral("AMORTECEDOR XYZ"));
    QVERIFY(dialogs->clean());
}

void TestProdutos::searchKeepsTypedChanges()
{
    stocktest::Db f;
    f.product(1, "BIELA", "S", 30);
    f.product(2, "MANCAL", "S", 40);
    core::ScopedFakeDialogs dialogs;
    stock::TFormProdutos w(f.db);
    w.show();
    w.navigate(0);
    QCOMPARE(edit(w, "DBEditDescricao")->text(), QStringLiteral("BIELA"));
    type(w, "DBEditValor", QStringLiteral("35,5"));
    // The search box stores the typed price before it moves.
    w.openSearch();
    type(w, "EditLocalizar", QStringLiteral("MAN"));
    QCOMPARE(edit(w, "DBEditDescricao")->text(), QStringLiteral("MANCAL"));
    QCOMPARE(f.productField(1, "Valor").toDouble(), 35.5);

    // A row that cannot be stored stays as typed, with the reason, and nothing moves.
    edit(w, "DBEditDescricao")->selectAll();
    QTest::keyClick(edit(w, "DBEditDescricao"), Qt::Key_Delete);
    QCOMPARE(w.produtos()->state(), Dataset::State::Edit);
    type(w, "EditLocalizar", QStringLiteral("BI"));
    QCOMPARE(w.produtos()->state(), Dataset::State::Edit);
    QCOMPARE(w.produtos()->asFloat("Codigo"), 2.0);
    QVERIFY(edit(w, "DBEditDescricao")->text().isEmpty());
    QVERIFY(dialogs->messages().contains(u("Campos Codigo*, Produto*, Preço Venda* são obrigatórios preencha!")));
    QCOMPARE(f.productField(2, "Descricao").toString(), QStringLiteral("MANCAL"));

    // Closing now asks; "Não" drops the change.
    dialogs->clearCalls();
    dialogs->answerQuestion(Answer::No);
    w.reject();
    QVERIFY(!w.isVisible());
    QCOMPARE(f.productField(2, "Descricao").toString(), QStringLiteral("MANCAL"));
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Question), 1);
    QVERIFY(dialogs->clean());
}

void TestProdutos::searchGridFollowsTheCursorOrder()
{
    stocktest::Db f;
    // Accented and mixed names, more rows than a page of the grid.
    const QStringList names{u("ÓLEO 5W30"), QStringLiteral("OLEO 10W40"), u("ÁGUA DESMINERALIZADA"),
                            QStringLiteral("AZUL"), QStringLiteral("abraçadeira"), u("ÉTER")};
    double code = 1;
    for (int round = 0; round < 60; ++round)
        for (const QString &n : names)
            f.product(code++, (n + QStringLiteral(" %1").arg(round, 2, 10, QLatin1Char('0'))).toUtf8().constData());
    core::ScopedFakeDialogs dialogs;
    stock::TFormProdutos w(f.db);
    w.show();
    w.openSearch();
    type(w, "EditLocalizar", QStringLiteral("A"));
    auto *grid = w.findChild<QTableView *>(QStringLiteral("DBGrid1"));
    auto *model = grid->model();
    QCOMPARE(model->rowCount(), int(names.size()) * 60);
    // The grid is the cursor itself: no whole-table read to open it.
    auto *dm = qobject_cast<core::DatasetModel *>(model);
    QVERIFY(dm);
    QVERIFY2(dm->pageReads() <= 4, qPrintable(QString::number(dm->pageReads())));
    // Row by row, the grid lists what the cursor's own order gives.
    data::Table t(f.db, QStringLiteral("tbProdutos.db"));
    t.setIndexName(QStringLiteral("ByDescricao"));
    t.open();
    int row = 0;
    for (t.first(); !t.eof(); t.next(), ++row)
        QCOMPARE(model->index(row, 1).data().toString(), t.asString("Descricao"));
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Codigo"));
    QCOMPARE(model->index(0, 0).data().toString().size(), 13);
    QVERIFY(dialogs->clean());
}

void TestProdutos::navigationStoresTheBalance()
{
    stocktest::Db f;
    f.product(10, "CABO");
    f.product(20, "PINO");
    f.entry(10, 10);
    const qint64 sale = f.sale();
    f.saleItem(sale, 10, 4);
    f.orderItem(f.order("PV"), 10, 1);
    core::ScopedFakeDialogs dialogs;
    stock::TFormProdutos w(f.db);
    QCOMPARE(f.productField(10, "Estoque").toDouble(), 0.0);   // stale until shown this way
    w.navigate(0);
    QCOMPARE(f.productField(10, "Estoque").toDouble(), 5.0);
    QCOMPARE(edit(w, "DBEditEstoque")->text(), QStringLiteral("5"));
    QCOMPARE(f.productField(10, "Descricao").toString(), QStringLiteral("CABO"));
    w.navigate(2);
    QCOMPARE(edit(w, "DBEditDescricao")->text(), QStringLiteral("PINO"));
    QCOMPARE(f.productField(20, "Estoque").toDouble(), 0.0);

    // The search panel finds by name and stores the balance of what it finds.
    f.entry(20, 3);
    w.show();
    w.openSearch();
    QVERIFY(w.findChild<QWidget *>(QStringLiteral("PanLocalizar"))->isVisible());
    type(w, "EditLocalizar", QStringLiteral("PI"));
    QCOMPARE(edit(w, "DBEditDescricao")->text(), QStringLiteral("PINO"));
    QCOMPARE(f.productField(20, "Estoque").toDouble(), 3.0);
    // The grid follows: the found row is the selected one.
    auto *grid = w.findChild<QTableView *>(QStringLiteral("DBGrid1"));
    const QModelIndexList selected = grid->selectionModel()->selectedRows(1);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().data().toString(), QStringLiteral("PINO"));
    // Clicking another row of the grid moves the window there.
    const QModelIndex cabo = grid->model()->index(0, 1);
    QCOMPARE(cabo.data().toString(), QStringLiteral("CABO"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cabo).center());
    QCOMPARE(edit(w, "DBEditDescricao")->text(), QStringLiteral("CABO"));
    QVERIFY(dialogs->clean());
}

void TestProdutos::listingFiltersByCategoryPrefix()
{
    stocktest::Db f;
    f.add("tbCategoria.db", {{"Categoria", QStringLiteral("FREIO")}});
    f.add("tbCategoria.db", {{"Categoria", QStringLiteral("FREIOS ABS")}});
    f.add("tbProdutos.db", {{"Codigo", 1.0}, {"Descricao", QStringLiteral("DISCO")}, {"Valor", 100.0},
                            {"Estoque", 2.0}, {"Categoria", QStringLiteral("FREIO")}, {"MonitorarEstq", QStringLiteral("S")}});
    f.add("tbProdutos.db", {{"Codigo", 2.0}, {"Descricao", QStringLiteral("SENSOR")}, {"Valor", 50.5},
                            {"Estoque", 1.0}, {"Categoria", QStringLiteral("FREIOS ABS")}, {"MonitorarEstq", QStringLiteral("S")}});
    f.add("tbProdutos.db", {{"Codigo", 3.0}, {"Descricao", QStringLiteral("PISTAO")}, {"Valor", 70.0},
                            {"Estoque", 9.0}, {"Categoria", QStringLiteral("MOTOR")}, {"MonitorarEstq", QStringLiteral("S")}});
    f.add("tbProdutos.db", {{"Codigo", 4.0}, {"Descricao", QStringLiteral("ALINHAMENTO")}, {"Valor", 80.0},
                            {"Estoque", 0.0}, {"Categoria", QStringLiteral("FREIO")}, {"MonitorarEstq", QStringLiteral("N")}});
    core::ScopedFakeDialogs dialogs;
    QStringList texts;
    dialogs->onNamed(QStringLiteral("preview"), [&](QWidget *, void *object) {
        auto *r = static_cast<printing::PreparedReport *>(object);
        texts.clear();
        for (int p = 0; p < r->pageCount(); ++p)
            texts << r->texts(p);
        return 1;
    });
    stock::TFormProdutos w(f.db);
    w.openReport();
    auto *cb = w.findChild<QComboBox *>(QStringLiteral("CbCategoria"));
    w.findChild<QRadioButton *>(QStringLiteral("RbCategoria"))->setChecked(true);
    cb->setEditText(QStringLiteral("freio"));
    w.printFiltro();
    QVERIFY(texts.contains(u("Relatório Estoque")));
    QVERIFY(texts.contains(QStringLiteral("DISCO")));
    QVERIFY(texts.contains(QStringLiteral("SENSOR")));          // "FREIOS ABS" starts with "FREIO"
    QVERIFY(texts.contains(QStringLiteral("ALINHAMENTO")));
    QVERIFY(!texts.contains(QStringLiteral("PISTAO")));
    const int count = int(texts.indexOf(QStringLiteral("Total Registro Encontrados:")));
    QVERIFY(count >= 0);
    QCOMPARE(texts.at(count + 1), QStringLiteral("3"));
    QVERIFY(texts.contains(QStringLiteral("R$ 250,50")));       // 100 x 2 + 50,5 x 1 + 80 x 0

    // "Produtos" lists monitored rows only; "Serviços" the others.
    w.findChild<QRadioButton *>(QStringLiteral("RbProdutos"))->setChecked(true);
    w.printCadastro();
    QVERIFY(texts.contains(QStringLiteral("PISTAO")));
    QVERIFY(!texts.contains(QStringLiteral("ALINHAMENTO")));
    w.findChild<QRadioButton *>(QStringLiteral("RbServicos"))->setChecked(true);
    w.printCadastro();
    QVERIFY(texts.contains(QStringLiteral("ALINHAMENTO")));
    QVERIFY(!texts.contains(QStringLiteral("DISCO")));
    QCOMPARE(dialogs->count(FakeDialogService::Kind::ExecNamed), 3);
}

void TestProdutos::photo()
{
    stocktest::Db f;
    f.product(1, "COM FOTO");
    f.product(2, "SEM FOTO");
    const QString pic = f.dir.filePath(QStringLiteral("peca.jpg"));
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::red);
    QVERIFY(img.save(pic));
    core::ScopedFakeDialogs dialogs;
    stock::TFormProdutos w(f.db);
    auto *label = w.findChild<QWidget *>(QStringLiteral("Image1"));
    // No photo: the placeholder beside the program.
    QCOMPARE(label->property("fotoPath").toString(), stock::TFormProdutos::placeholderPath());

    w.navigate(0);
    dialogs->answerFile(pic);
    w.choosePhoto();
    QCOMPARE(w.produtos()->state(), Dataset::State::Edit);
    QCOMPARE(label->property("fotoPath").toString(), pic);
    w.AlterarClick();
    QCOMPARE(f.productField(1, "FotoProduto").toString(), pic);

    // Cancelled file dialog: nothing changes.
    dialogs->answerFile(QString());
    w.choosePhoto();
    QCOMPARE(w.produtos()->state(), Dataset::State::Browse);

    // The file is gone: no error, the picture on screen stays.
    w.navigate(3);
    QCOMPARE(label->property("fotoPath").toString(), stock::TFormProdutos::placeholderPath());
    w.navigate(0);
    QVERIFY(QFile::remove(pic));
    w.navigate(3);
    w.navigate(0);
    QCOMPARE(label->property("fotoPath").toString(), stock::TFormProdutos::placeholderPath());
    QVERIFY(dialogs->clean());
}

QTEST_MAIN(TestProdutos)
#include "test_stock_produtos.moc"
