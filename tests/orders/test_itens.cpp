// The order window's lines and money: adding with the stock test, the blank
// row, removing, totals and the discount limit, finalising with the payment
// panel and the change, and the vehicle history.

#include "OrderWindowFixture.h"
#include "core/DatasetModel.h"
#include "orders/OrderTotals.h"

#include <QAction>
#include <QSignalSpy>
#include <QTableView>

using namespace brelvo;
using core::Answer;
using core::FakeDialogService;
using orders::TFormOrdem;
using ordertest::button;
using ordertest::child;
using ordertest::edit;
using ordertest::u;

namespace {

struct ItemsDb : ordertest::WindowDb {
    ItemsDb()
    {
        product(101, "FILTRO DE OLEO", 12.5, "S", "N");      // monitored, not sold without stock
        product(102, "PASTILHA", 187.5, "S", "N");
        product(103, "ALINHAMENTO", 80, "N", "N");           // a service
        product(104, "PALHETA", 30, "S", "S");               // sold without stock
        entry(101, 10);
        entry(102, 1);
    }
};

QString field(TFormOrdem &w, const char *name) { return w.TabelaControle()->asString(QString::fromLatin1(name)); }
double money(TFormOrdem &w, const char *name) { return w.TabelaControle()->asFloat(QString::fromLatin1(name)); }

// Types a product code (and a quantity) and presses Enter in the code box.
void addLine(TFormOrdem &w, const QString &code, const QString &qtd = QString())
{
    if (!qtd.isNull())
        edit(w, "mskQuantidade")->setText(qtd);
    QLineEdit *cod = edit(w, "mskCodigo");
    cod->setText(code);
    Q_EMIT cod->returnPressed();
}

QStringList lines(TFormOrdem &w)
{
    QStringList out;
    data::Table *t = w.TabelaItem();
    const auto bm = t->bookmark();
    for (t->first(); !t->eof(); t->next())
        out << QStringLiteral("%1 x%2").arg(t->asString(QStringLiteral("Descricao")), t->asString(QStringLiteral("Qtd")));
    if (bm.isValid())
        t->gotoBookmark(bm);
    return out;
}
} // namespace

class TestItens : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ordertest::initPasswords(); }
    void addingFillsTheBlankRowFirst();
    void unknownCode();
    void stockTest();
    void badQuantityStoresNothing();
    void removing();
    void popupDeleteRetotals();
    void discountLimit();
    void badDiscountChangesNothing();
    void discountTypedKeyByKey();
    void emptyDiscountLetsTheSaveFinish();
    void finalisingAQuote();
    void finalisingAServiceOrderWithChange();
    void f12FinalisesAtOnce();
    void history();
    void gridEditsAreTotalled();
};

void TestItens::addingFillsTheBlankRowFirst()
{
    ItemsDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    button(*w, "btnNovo")->click();
    QCOMPARE(w->TabelaItem()->recordCount(), 1);   // the blank row
    addLine(*w, QStringLiteral("101"), QStringLiteral("2"));
    QCOMPARE(lines(*w), QStringList{u("FILTRO DE OLEO x2")});
    QCOMPARE(edit(*w, "mskQuantidade")->text(), u("01"));
    QVERIFY(edit(*w, "mskCodigo")->text().isEmpty());
    QCOMPARE(edit(*w, "fldPrecoUnitario")->text(), u("12,50"));
    addLine(*w, QStringLiteral("0000000000103"));
    QCOMPARE(lines(*w), (QStringList{u("FILTRO DE OLEO x2"), u("ALINHAMENTO x1")}));
    QCOMPARE(money(*w, "VrTotal"), 105.0);
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 105.0);
    // The line keeps the product's code, flag and price.
    data::Table *t = w->TabelaItem();
    t->first();
    QCOMPARE(t->asInteger(QStringLiteral("CodBarra")), 101);
    QCOMPARE(t->asString(QStringLiteral("Monitorar")), u("S"));
    QCOMPARE(t->asFloat(QStringLiteral("ValorUni")), 12.5);
    t->next();
    QCOMPARE(t->asString(QStringLiteral("Monitorar")), u("N"));
    // The grid shows the subtotal of each line.
    auto *grid = child<QTableView>(*w, "DBGrid1");
    QCOMPARE(grid->model()->index(0, 3).data().toString(), u("25,00"));
    // A blank row started by "Inserir Linha" is filled too.
    child<QAction>(*w, "actInserirLinha")->trigger();
    addLine(*w, QStringLiteral("104"));
    QCOMPARE(f.itemCount(w->TabelaControle()->asInteger(QStringLiteral("Chave"))), 3);
    QCOMPARE(money(*w, "VrTotal"), 135.0);
    QVERIFY(dialogs->clean());
}

void TestItens::unknownCode()
{
    ItemsDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    button(*w, "btnNovo")->click();
    addLine(*w, QStringLiteral("999"), QStringLiteral("3"));
    QCOMPARE(dialogs->messages(), QStringList{u("Codigo 999 não cadastrado digite novamente!")});
    QCOMPARE(edit(*w, "mskQuantidade")->text(), u("01"));
    QCOMPARE(edit(*w, "fldPrecoUnitario")->text(), u("0,00"));
    QVERIFY(edit(*w, "mskCodigo")->text().isEmpty());
    QCOMPARE(lines(*w), QStringList{u(" x")});

    // Without an order there is nowhere to add a line.
    ItemsDb g;
    auto empty = ordertest::window(g);
    dialogs->clearCalls();
    addLine(*empty, QStringLiteral("101"));
    QCOMPARE(dialogs->messages(), QStringList{u("Atenção! Clique no botão Nova OS para iniciar uma Ordem de Serviço")});
    QCOMPARE(g.count("tbitemsordem.db"), 0);
}

void TestItens::stockTest()
{
    ItemsDb f;
    f.product(105, "AMORTECEDOR", 300, "S", "N");   // stock 0
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    button(*w, "btnNovo")->click();
    addLine(*w, QStringLiteral("105"));
    QCOMPARE(dialogs->messages(), QStringList{u("Produto Sem Estoque!E o mesmo não permite venda nesta condição!")});
    QCOMPARE(f.count("tbitemsordem.db"), 1);   // the blank row only
    dialogs->clearCalls();
    // A stock of 1 is enough for any quantity.
    addLine(*w, QStringLiteral("102"), QStringLiteral("5"));
    addLine(*w, QStringLiteral("103"), QStringLiteral("2"));   // services always
    addLine(*w, QStringLiteral("104"), QStringLiteral("4"));   // sold without stock
    QCOMPARE(lines(*w), (QStringList{u("PASTILHA x5"), u("ALINHAMENTO x2"), u("PALHETA x4")}));
    QVERIFY(dialogs->clean());
}

void TestItens::badQuantityStoresNothing()
{
    ItemsDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    button(*w, "btnNovo")->click();
    addLine(*w, QStringLiteral("101"), QStringLiteral("2"));
    for (const QString &bad : {QStringLiteral("dois"), QString()}) {
        dialogs->clearCalls();
        addLine(*w, QStringLiteral("103"), bad);
        QCOMPARE(dialogs->count(FakeDialogService::Kind::Warning), 1);
        QVERIFY(edit(*w, "mskQuantidade")->hasFocus());
        QCOMPARE(edit(*w, "mskCodigo")->text(), u("103"));
        QCOMPARE(lines(*w), QStringList{u("FILTRO DE OLEO x2")});
        QCOMPARE(f.count("tbitemsordem.db"), 1);
        QCOMPARE(w->TabelaItem()->state(), data::Dataset::State::Browse);
        QCOMPARE(money(*w, "VrTotal"), 25.0);
    }
    QVERIFY(dialogs->messages().first().contains(u("dois")));
}

void TestItens::removing()
{
    ItemsDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    button(*w, "btnNovo")->click();
    addLine(*w, QStringLiteral("101"));
    addLine(*w, QStringLiteral("103"));
    w->TabelaItem()->first();
    dialogs->answerQuestion(Answer::No);
    button(*w, "BitBtn2")->click();
    // The subtotal as a plain number: 12,5, not 12,50.
    QCOMPARE(dialogs->messages(), (QStringList{u("Remover Item: FILTRO DE OLEO?   Total de R$ 12,5 ?"),
                                               u("Comfirme a remoção do item!")}));
    QCOMPARE(dialogs->last()->title, u("Exclusão"));
    QCOMPARE(lines(*w).size(), 2);
    dialogs->answerQuestion(Answer::Yes);
    w->TabelaItem()->first();
    button(*w, "BitBtn2")->click();
    QCOMPARE(lines(*w), QStringList{u("ALINHAMENTO x1")});
    QCOMPARE(money(*w, "VrTotal"), 80.0);
    QCOMPARE(edit(*w, "mskQuantidade")->text(), u("01"));

    // A blank row goes without a question.
    dialogs->clearCalls();
    child<QAction>(*w, "actInserirLinha")->trigger();
    QCOMPARE(w->TabelaItem()->state(), data::Dataset::State::Insert);
    button(*w, "BitBtn2")->click();
    QVERIFY(dialogs->messages().isEmpty());
    QCOMPARE(lines(*w), QStringList{u("ALINHAMENTO x1")});
    QVERIFY(dialogs->clean());
}

void TestItens::popupDeleteRetotals()
{
    ItemsDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    button(*w, "btnNovo")->click();
    addLine(*w, QStringLiteral("101"));
    addLine(*w, QStringLiteral("103"));
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 92.5);
    w->TabelaItem()->last();
    child<QAction>(*w, "actDeletarItem")->trigger();
    QVERIFY(dialogs->messages().isEmpty());   // no question
    QCOMPARE(lines(*w), QStringList{u("FILTRO DE OLEO x1")});
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 12.5);
}

void TestItens::discountLimit()
{
    ItemsDb f;
    f.setting("configExt.db", "Desconto", 10.0);
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    button(*w, "btnNovo")->click();
    addLine(*w, QStringLiteral("101"));   // 12,50
    addLine(*w, QStringLiteral("102"));   // 187,50: 200,00 in all
    w->TabelaControle()->edit();
    w->TabelaControle()->setValue(QStringLiteral("Desconto"), 5.0);
    button(*w, "btnGravar")->click();
    QCOMPARE(money(*w, "VrTotal"), 195.0);

    auto *panel = child<QFrame>(*w, "PanelDesconto");
    button(*w, "btnDesconto")->click();
    QVERIFY(panel->isVisible());
    QCOMPARE(money(*w, "VrTotal"), 200.0);   // shown without discount while open
    QCOMPARE(w->totals().lastTotal(), 200.0);
    QLineEdit *box = edit(*w, "EditDesconto");
    QVERIFY(box->hasFocus());

    ordertest::retype(box, QStringLiteral("20,01"));
    button(*w, "BtDesconto")->click();
    QCOMPARE(dialogs->messages(), QStringList{u("Prezado Operador: Valor do Desconto não Permitido !")});
    QCOMPARE(box->text(), u("0,00"));
    QVERIFY(panel->isVisible());
    QCOMPARE(money(*w, "Desconto"), 0.0);

    // Exactly the limit is accepted; F1 confirms while the panel is open.
    ordertest::retype(box, QStringLiteral("20,00"));
    QTest::keyClick(box, Qt::Key_F1);
    QVERIFY(!panel->isVisible());
    QCOMPARE(f.orderField(1, "Desconto").toDouble(), 20.0);
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 180.0);
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Exec), 0);   // not the product picker
    QCOMPARE(dialogs->messages().size(), 1);
}

void TestItens::badDiscountChangesNothing()
{
    ItemsDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    button(*w, "btnNovo")->click();
    addLine(*w, QStringLiteral("102"));
    button(*w, "btnDesconto")->click();
    for (const QString &bad : {QStringLiteral("dez"), QString(), QStringLiteral("-5")}) {
        dialogs->clearCalls();
        ordertest::retype(edit(*w, "EditDesconto"), bad);
        button(*w, "BtDesconto")->click();
        QCOMPARE(dialogs->messages().size(), 1);
        QVERIFY(child<QFrame>(*w, "PanelDesconto")->isVisible());
        QCOMPARE(f.orderField(1, "Desconto").toDouble(), 0.0);
    }
    // "Fechar (x)" only hides the panel.
    button(*w, "btnFecharDesconto")->click();
    QVERIFY(!child<QFrame>(*w, "PanelDesconto")->isVisible());

    // An empty limit in the settings is told; nothing changes.
    f.setting("configExt.db", "Desconto", QVariant());
    button(*w, "btnDesconto")->click();
    dialogs->clearCalls();
    ordertest::retype(edit(*w, "EditDesconto"), QStringLiteral("1"));
    button(*w, "BtDesconto")->click();
    QCOMPARE(dialogs->messages().size(), 1);
    QVERIFY(child<QFrame>(*w, "PanelDesconto")->isVisible());
    QCOMPARE(f.orderField(1, "Desconto").toDouble(), 0.0);
}

// Typed as an operator does, with the event loop running between the keys:
// the decimal comma and the digits after it stay in the box.
void TestItens::discountTypedKeyByKey()
{
    ItemsDb f;
    f.setting("configExt.db", "Desconto", 10.0);
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    button(*w, "btnNovo")->click();
    addLine(*w, QStringLiteral("102"));   // 187,50
    button(*w, "btnDesconto")->click();
    QLineEdit *box = edit(*w, "EditDesconto");
    QVERIFY(box->hasFocus());
    box->selectAll();
    for (const QChar c : QStringLiteral("12,01")) {
        QTest::keyClick(box, c.toLatin1());
        QTest::qWait(5);
    }
    QCOMPARE(box->text(), QStringLiteral("12,01"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(dialogs->messages(), QStringList{});
    QCOMPARE(f.orderField(1, "Desconto").toDouble(), 12.01);
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 175.49);

    // Left alone, the window stores nothing (no totals run feeding itself).
    QSignalSpy posts(w->TabelaControle(), &data::Table::afterPost);
    QTest::qWait(100);
    QCOMPARE(posts.count(), 0);
}

void TestItens::emptyDiscountLetsTheSaveFinish()
{
    ItemsDb f;
    const qint64 chave = f.order(1, "PV", "EM ABERTO", QDate::currentDate(), "", 0, {{"Desconto", QVariant()}});
    f.orderItem(chave, 101, "FILTRO DE OLEO", 2, 12.5);
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    w->TabelaControle()->edit();
    w->TabelaControle()->setValue(QStringLiteral("Obs"), u("TROCAR"));
    QVERIFY(button(*w, "btnGravar")->isEnabled());
    button(*w, "btnGravar")->click();
    QVERIFY(!f.orderField(1, "Desconto").isNull());
    QCOMPARE(f.orderField(1, "Desconto").toDouble(), 0.0);
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 25.0);
    QCOMPARE(f.orderField(1, "Obs").toString(), u("TROCAR"));
    QVERIFY(!button(*w, "btnGravar")->isEnabled());
    QVERIFY(dialogs->clean());
}

void TestItens::finalisingAQuote()
{
    ItemsDb f;
    // A quote whose discount was emptied still finalises, with its lock.
    const qint64 chave = f.order(1, "", "EM ABERTO", QDate::currentDate(), "", 0, {{"Desconto", QVariant()}});
    f.orderItem(chave, 103, "ALINHAMENTO", 1, 80, "N");
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    button(*w, "Br_finalizar")->click();
    QCOMPARE(dialogs->messages(), QStringList{u("Selecione se é Orçamento ou Ordem de Serviço")});
    dialogs->clearCalls();
    child(*w, "RadioTipo")->findChildren<QAbstractButton *>().at(1)->click();   // Orçamento
    QCOMPARE(field(*w, "OsOc"), u("OC"));
    button(*w, "Br_finalizar")->click();
    QCOMPARE(dialogs->messages(), QStringList{u("Salve para finalizar!")});
    dialogs->clearCalls();
    button(*w, "btnGravar")->click();
    button(*w, "Br_finalizar")->click();
    QCOMPARE(dialogs->messages(), QStringList{u("Orçamento finalizado com sucesso!")});
    QCOMPARE(f.orderField(1, "Andamento").toString(), u("FINALIZADO"));
    QCOMPARE(f.orderField(1, "Desconto").toDouble(), 0.0);
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 80.0);
    QVERIFY(w->isFinalised());
    QVERIFY(!child(*w, "EditCodigo")->isEnabled());
    QVERIFY(!button(*w, "Bt_alterar")->isHidden());
    QVERIFY(!child<QFrame>(*w, "P_Recebimento")->isVisible());
    QVERIFY(dialogs->clean());
}

void TestItens::finalisingAServiceOrderWithChange()
{
    ItemsDb f;
    const qint64 chave = f.order(1, "PV", "EM ABERTO", QDate::currentDate(), "", 0);
    f.orderItem(chave, 103, "ALINHAMENTO", 1, 80, "N");
    f.orderItem(chave, 101, "FILTRO DE OLEO", 2, 35, "S");
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    w->totalizar();
    QCOMPARE(money(*w, "VrTotal"), 150.0);
    dialogs->answerQuestion(Answer::No);
    button(*w, "Br_finalizar")->click();
    QCOMPARE(dialogs->last()->text, u("Deseja Mesmo Finalizar essa O.S?"));
    QCOMPARE(dialogs->last()->title, u("Comfirmar"));
    auto *panel = child<QFrame>(*w, "P_Recebimento");
    QVERIFY(!panel->isVisible());
    dialogs->answerQuestion(Answer::Yes);
    button(*w, "Br_finalizar")->click();
    QVERIFY(panel->isVisible());
    QLineEdit *recebido = edit(*w, "EditValorRecebido");
    QVERIFY(recebido->hasFocus());
    QCOMPARE(w->TabelaControle()->asDate(QStringLiteral("DtOs")), QDate::currentDate());

    QTest::keyClicks(recebido, QStringLiteral("200"));
    QCOMPARE(edit(*w, "EditTroco")->text(), u("50,00"));
    recebido->clear();
    QTest::keyClicks(recebido, QStringLiteral("100"));
    QCOMPARE(edit(*w, "EditTroco")->text(), u("-50,00"));
    QVERIFY(w->Calcula_Receber());
    QCOMPARE(recebido->text(), u("100,00"));
    // Letters are told on leaving; the focus stays.
    recebido->setText(QStringLiteral("cem"));
    QVERIFY(!w->Calcula_Receber());
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Warning), 1);
    recebido->setText(QStringLiteral("200"));

    child(*w, "RadioRecebimento")->findChildren<QAbstractButton *>().at(4)->click();
    QCOMPARE(field(*w, "ForPagamento"), u("CARTAO CREDITO"));
    button(*w, "Bt_Pago")->click();
    QVERIFY(dialogs->messages().contains(u("O.S finalizada com sucesso!")));
    QVERIFY(!panel->isVisible());
    QCOMPARE(f.orderField(1, "Andamento").toString(), u("FINALIZADO"));
    QCOMPARE(f.orderField(1, "ForPagamento").toString(), u("CARTAO CREDITO"));
    QCOMPARE(f.orderField(1, "DtOs").toDate(), QDate::currentDate());
    QVERIFY(w->isFinalised());
    QVERIFY(button(*w, "Bt_alterar")->isVisible());
}

void TestItens::f12FinalisesAtOnce()
{
    ItemsDb f;
    f.order(1, "OC", "EM ABERTO");
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    QTest::keyClick(edit(*w, "mskCodigo"), Qt::Key_F12);
    QCOMPARE(dialogs->messages(), QStringList{u("O.S finalizada com sucesso!")});
    QCOMPARE(f.orderField(1, "Andamento").toString(), u("FINALIZADO"));
    QVERIFY(w->isFinalised());
}

void TestItens::history()
{
    ItemsDb f;
    const QDate today = QDate::currentDate();
    const qint64 old = f.order(7, "PV", "FINALIZADO", today.addDays(-40), "ABC1234", 150,
                               {{"NomeCliente", u("JOAO")}, {"Modelo", u("GOL")}});
    f.orderItem(old, 103, "ALINHAMENTO", 1, 80, "N");
    f.orderItem(old, 101, "FILTRO DE OLEO", 2, 35);
    f.order(8, "PV", "EM ABERTO", today.addDays(-1), "ABC1234", 60);
    f.order(9, "OC", "EM ABERTO", today.addDays(-2), "ABC1234", 60);        // a quote
    f.order(10, "PV", "EM ABERTO", today.addDays(-2), "abc1234", 60);       // another plate
    f.order(11, "PV", "EM ABERTO", today, "ABC1234", 99);                   // today's, this one
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    QCOMPARE(w->TabelaControle()->asInteger(QStringLiteral("Codigo")), 11);
    QTest::keyClick(edit(*w, "mskCodigo"), Qt::Key_F4);
    QVERIFY(child<QFrame>(*w, "PanDetalhes")->isVisible());
    data::Query *q = w->QServAnteriores();
    QStringList got;
    for (q->first(); !q->eof(); q->next())
        got << q->asString(QStringLiteral("Codigo"));
    QCOMPARE(got, (QStringList{u("8"), u("7")}));

    // The lines of the chosen earlier order.
    q->last();
    w->DetalhesItems();
    QCOMPARE(child<QLabel>(*w, "lblHistNumero")->text(), u("0007"));
    QCOMPARE(child<QLabel>(*w, "lblHistModelo")->text(), u("GOL"));
    QCOMPARE(w->QDetalhesVendas()->recordCount(), 2);
    auto *exec = child<QTableView>(*w, "DBGridExecutados");
    QCOMPARE(exec->columnWidth(0), 265);
    QCOMPARE(exec->model()->index(1, 3).data().toString(), u("R$ 70,00"));
    button(*w, "btnFecharDetalhes")->click();
    QVERIFY(!child<QFrame>(*w, "PanDetalhes")->isVisible());

    // No plate, no history.
    button(*w, "btnNovo")->click();
    dialogs->clearCalls();
    button(*w, "BtServicosAnteriosres")->click();
    QCOMPARE(dialogs->messages(),
             QStringList{u("Impossivel Identificar serviços anteriores sem a placa do veículo selecionada!")});
}

void TestItens::gridEditsAreTotalled()
{
    ItemsDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    button(*w, "btnNovo")->click();
    addLine(*w, QStringLiteral("101"));
    addLine(*w, QStringLiteral("103"));
    auto *grid = child<QTableView>(*w, "DBGrid1");
    grid->setFocus();
    QTRY_VERIFY(!w->keyPreview());
    // A new quantity typed into the grid; Enter walks the columns and, on the
    // subtotal, stores and totals.
    QVERIFY(grid->model()->setData(grid->model()->index(0, 1), QStringLiteral("4")));
    grid->setCurrentIndex(grid->model()->index(0, 2));
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(grid->currentIndex().column(), 3);
    QTest::keyClick(grid, Qt::Key_Escape);
    QCOMPARE(grid->currentIndex().column(), 2);
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Return);
    QTRY_COMPARE(f.orderField(1, "VrTotal").toDouble(), 130.0);
    // A quantity that is not a number is refused by the grid and not stored.
    QVERIFY(!grid->model()->setData(grid->model()->index(1, 1), QStringLiteral("um")));
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Error), 1);
    // Leaving the grid totals as well.
    QVERIFY(grid->model()->setData(grid->model()->index(1, 1), QStringLiteral("2")));
    edit(*w, "mskCodigo")->setFocus();
    QTRY_VERIFY(w->keyPreview());
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 210.0);
}

QTEST_MAIN(TestItens)
#include "test_itens.moc"
