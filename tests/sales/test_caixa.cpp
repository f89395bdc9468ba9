// The till "Caixa" driven as the operator drives it: keys, boxes and buttons
// by object name, every message and question through the dialog fake, and
// the rows it leaves in tbVendas.db and tbItems.DB.

#include "SalesFixture.h"

#include "core/DataControls.h"
#include "core/Format.h"
#include "sales/SaleRules.h"

#include <QRadioButton>

#include <QFile>
#include <QTemporaryDir>

using namespace salestest;
using namespace brelvo;

namespace {
const QString kFinalizadoCodigo = sales::msg::vendaFinalizadaCodigo();
const QString kJaFinalizada = sales::msg::vendaJaFinalizada();
const QString kNaoPermitido = sales::msg::descontoNaoPermitido();
const QString kSenhaErrada =
    QStringLiteral("Senha Do Administrador Errada! Digite a Senha do Usuário KOV Corretamente para continuar!");
} // namespace

class CaixaTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // ---------------------------------------------------------- numbering

    void salesAreNumberedFromTheLastOne()
    {
        Till t;
        t.db.product(1001, "OLEO 5W30", 42.5);
        t.db.entry(1001, 10);
        t.open();
        // An empty table: the first sale is 1, open, anonymous until confirmed.
        QCOMPARE(t.db.saleNumbers(), QList<double>{1});
        QCOMPARE(t.db.saleField(1, "Finalizada").toString(), QStringLiteral("N"));
        QCOMPARE(t.db.saleField(1, "VenOs").toString(), QStringLiteral("PV"));
        QCOMPARE(t.db.saleField(1, "ForPagamento").toString(), QStringLiteral("DINHEIRO"));
        QVERIFY(!t.get<QFrame>("PanTipoLan")->isHidden());

        t.consumidor();
        t.sell(QStringLiteral("1001"));
        t.type("edtValorRecebido", QStringLiteral("50"));
        t.key(Qt::Key_F11);
        t.key(Qt::Key_F5);
        QCOMPARE(t.db.saleNumbers(), (QList<double>{1, 2}));
        QCOMPARE(t.text("DBTextCodVenda"), QStringLiteral("0002"));

        // Sale 2 cancelled (F4): the window then asks whether to leave; it stays.
        t.fake->answerQuestion(Answer::No);
        t.key(Qt::Key_F4);
        QCOMPARE(t.db.saleNumbers(), QList<double>{1});
        QCOMPARE(t.fake->callsOf(Kind::Question).last().text, QStringLiteral("Deseja Sair da tela de Venda?"));
        QVERIFY(t.w->isVisible());
        // The newest sale gone, its number is given again.
        t.key(Qt::Key_F5);
        QCOMPARE(t.db.saleNumbers(), (QList<double>{1, 2}));
        QVERIFY(t.fake->clean());
    }

    void aNewSaleWaitsForTheOpenOne()
    {
        Till t;
        t.db.product(1001, "OLEO 5W30", 42.5);
        const qint64 open = t.db.sale(7, "N");
        t.db.saleItem(open, 7, 1001, "OLEO 5W30", 1, 42.5);
        t.open();
        // Taken up again, not replaced.
        QCOMPARE(t.db.saleNumbers(), QList<double>{7});
        QCOMPARE(t.text("fldTitulo"), QStringLiteral("ÚLTIMA VENDA NÃO FINALIZADA"));
        QCOMPARE(t.items(), 1);
        t.key(Qt::Key_F5);
        QCOMPARE(t.lastMessage(), QStringLiteral("Finalize a venda iniciada para inciar outra!"));
        QCOMPARE(t.db.saleNumbers(), QList<double>{7});
    }

    // ---------------------------------------------------------- items and stock

    void stockTestOfANewItem_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("qtd");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QString>("message");
        const QString more = QStringLiteral("Quantidade que deseja vender Maior que estoque atual Corrija!");
        const QString none = QStringLiteral("Produto Sem Estoque!E o mesmo não permite venda nesta condição!");
        // 2001: 3 received, 1 sold before (availability 2), may not be sold without stock.
        QTest::newRow("3 with 2 available") << "2001" << "3" << false << more;
        QTest::newRow("2 with 2 available") << "2001" << "2" << true << QString();
        // 2002: never received, may be sold without stock.
        QTest::newRow("3 with none, may sell") << "2002" << "3" << true << QString();
        // 2003: never received nor sold, monitored, may not.
        QTest::newRow("1 with none, may not") << "2003" << "1" << false << none;
        QTest::newRow("0,5 with none skips the test") << "2003" << "0,5" << true << QString();
        // 2004: a service.
        QTest::newRow("a service") << "2004" << "4" << true << QString();
        QTest::newRow("scanned with leading zeros") << "0000000002004" << "1" << true << QString();
        QTest::newRow("unknown code") << "999" << "1" << false
                                      << QStringLiteral("Codigo 999 não cadastrado digite novamente!");
    }
    void stockTestOfANewItem()
    {
        QFETCH(QString, code);
        QFETCH(QString, qtd);
        QFETCH(bool, added);
        QFETCH(QString, message);
        Till t;
        t.db.product(2001, "PASTILHA FREIO", 80, "S", "N");
        t.db.entry(2001, 3);
        const qint64 old = t.db.sale(1, "S");
        t.db.saleItem(old, 1, 2001, "PASTILHA FREIO", 1, 80);
        t.db.product(2002, "PALHETA", 25, "S", "S");
        t.db.product(2003, "FILTRO AR", 30, "S", "N");
        t.db.product(2004, "MAO DE OBRA", 60, "N", "N");
        t.open();
        t.consumidor();
        t.fake->clearCalls();
        t.sell(code, qtd);
        QCOMPARE(t.items(), added ? 1 : 0);
        if (added) {
            QVERIFY2(t.fake->messages().isEmpty(), qPrintable(t.fake->messages().join('|')));
            QCOMPARE(t.w->TbItems()->asFloat(QStringLiteral("Qtd")), *core::parseNumber(qtd));
            QCOMPARE(t.get("mskQuantidade")->text(), QStringLiteral("01"));
            QCOMPARE(t.w->TbItems()->asString(QStringLiteral("Monitorar")),
                     code.endsWith(QLatin1String("2004")) ? QStringLiteral("N") : QStringLiteral("S"));
        } else {
            QCOMPARE(t.lastMessage(), message);
        }
    }

    void anItemCarriesTheProductAsSoldAndTheTotalFollows()
    {
        Till t;
        t.db.product(3001, "DISCO FREIO DIANTEIRO", 89.999, "N");
        t.db.product(3002, "LAMPADA H4", 12.5, "N");
        t.open();
        t.consumidor();
        t.sell(QStringLiteral("3001"), QStringLiteral("2"));
        t.sell(QStringLiteral("3002"), QStringLiteral("0,5"));
        QCOMPARE(t.items(), 2);
        data::Table *it = t.w->TbItems();
        it->first();
        QCOMPARE(it->asFloat(QStringLiteral("CodBarra")), 3001.0);
        QCOMPARE(it->asString(QStringLiteral("Descricao")), QStringLiteral("DISCO FREIO DIANTEIRO"));
        QCOMPARE(it->asFloat(QStringLiteral("ValorUni")), 90.0);   // the price in cents
        QCOMPARE(it->asFloat(QStringLiteral("CodVenda")), 1.0);
        QCOMPARE(it->asInteger(QStringLiteral("Link")), t.w->TbVendas()->asInteger(QStringLiteral("Chave")));
        QCOMPARE(t.field("VrVenda"), 186.25);
        QCOMPARE(t.w->grossTotal(), 186.25);
        QCOMPARE(t.text("DBTextVrVenda"), QStringLiteral("186,25"));
        QCOMPARE(t.text("fldTitulo"), QStringLiteral("LAMPADA H4"));
        QCOMPARE(t.w->currentCode(), QStringLiteral("3002"));
        QCOMPARE(t.db.saleField(1, "DtVenda").toDate(), QDate::currentDate());
        QCOMPARE(t.db.saleField(1, "DtModifica").toDate(), QDate::currentDate());
    }

    void aQuantityThatIsNoNumberStoresNothing()
    {
        Till t;
        t.db.product(3001, "DISCO FREIO", 90, "N");
        t.open();
        t.consumidor();
        t.fake->clearCalls();
        t.sell(QStringLiteral("3001"), QStringLiteral("2x"));
        QCOMPARE(t.items(), 0);
        QVERIFY(t.lastMessage().startsWith(QStringLiteral("Quantidade inválida")));
        QCOMPARE(t.w->focusWidget(), t.get("mskQuantidade"));
        QCOMPARE(t.get("mskQuantidade")->text(), QStringLiteral("2x"));
        // Enter in the quantity box tells it at once and keeps the focus there.
        t.fake->clearCalls();
        t.enter("mskQuantidade");
        QCOMPARE(t.fake->count(Kind::Information), 1);
        QCOMPARE(t.w->focusWidget(), t.get("mskQuantidade"));
    }

    void aFinalisedSaleTakesNoChange()
    {
        Till t;
        t.db.product(3001, "DISCO FREIO", 90, "N");
        t.open();
        t.consumidor();
        t.sell(QStringLiteral("3001"));
        t.type("edtValorRecebido", QStringLiteral("100"));
        t.key(Qt::Key_F11);
        QCOMPARE(t.text("fldTitulo"), QStringLiteral("VENDA FINALIZADA"));
        t.fake->clearCalls();

        t.sell(QStringLiteral("3001"));
        QCOMPARE(t.lastMessage(), kFinalizadoCodigo);
        t.get<QPushButton>("btnExcluirItem")->click();
        QCOMPARE(t.lastMessage(), kJaFinalizada);
        t.key(Qt::Key_F1);
        QCOMPARE(t.lastMessage(), kJaFinalizada);
        QVERIFY(t.get<QFrame>("PanelDesconto")->isHidden());
        // Typing into a box bound to the sale is refused as well.
        QTest::keyClicks(t.get("DBEditObs"), QStringLiteral("X"));
        QCOMPARE(t.lastMessage(), kJaFinalizada);
        QCOMPARE(t.w->TbVendas()->state(), data::Dataset::State::Browse);
        QCOMPARE(t.items(), 1);
        QCOMPARE(t.db.saleField(1, "VrVenda").toDouble(), 90.0);
        QCOMPARE(t.fake->count(Kind::Question), 0);
    }

    void removingTheOnlyItemLeavesMinusTheDiscount()
    {
        Till t;
        t.db.product(3001, "DISCO FREIO", 100, "N");
        t.open();
        t.consumidor();
        t.sell(QStringLiteral("3001"));
        t.key(Qt::Key_F1);
        t.type("edtDesconto", QStringLiteral("5"));
        t.enter("edtDesconto");
        QCOMPARE(t.field("VrVenda"), 95.0);

        t.fake->clearCalls();
        t.fake->answerQuestion(Answer::Yes);
        t.get<QPushButton>("btnExcluirItem")->click();
        QCOMPARE(t.fake->messages().first(), QStringLiteral("Remover Item: DISCO FREIO Total de R$ 100,00 ?"));
        const auto q = t.fake->callsOf(Kind::Question).first();
        QCOMPARE(q.title, QStringLiteral("Exclusão"));
        QCOMPARE(q.text, QStringLiteral("Comfirme a remoção do item!"));
        QCOMPARE(t.items(), 0);
        QCOMPARE(t.db.saleField(1, "VrVenda").toDouble(), -5.0);
        QVERIFY(t.fake->clean());
    }

    // ---------------------------------------------------------- customer panel

    void theCustomerPanel()
    {
        Till t;
        t.db.customer(12, "JOSÉ DA SILVA");
        t.open();
        // Confirmed without a customer: the sale is the consumer's, code 0.
        t.key(Qt::Key_F9);
        QVERIFY(t.get<QFrame>("PanTipoLan")->isHidden());
        QCOMPARE(t.db.saleField(1, "NomeCliente").toString(), QStringLiteral("CONSUMIDOR"));
        QCOMPARE(t.db.saleField(1, "CodCliente").toDouble(), 0.0);

        // Ctrl+C shows it again; a known code copies the customer.
        t.key(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(!t.get<QFrame>("PanTipoLan")->isHidden());
        t.type("DBEditCodCliente", QStringLiteral("12"));
        t.enter("DBEditCodCliente");
        QCOMPARE(t.w->focusWidget(), t.get("DBEditCodVendedor"));
        t.type("DBEditCodVendedor", QStringLiteral("4"));
        t.enter("DBEditCodVendedor");
        t.key(Qt::Key_F9);
        QCOMPARE(t.db.saleField(1, "NomeCliente").toString(), QStringLiteral("JOSÉ DA SILVA"));
        QCOMPARE(t.db.saleField(1, "CodCliente").toDouble(), 12.0);
        QCOMPARE(t.db.saleField(1, "CodVendedor").toDouble(), 4.0);

        // An unknown code offers to register the customer.
        t.key(Qt::Key_C, Qt::ControlModifier);
        t.fake->answerQuestion(Answer::No);
        t.type("DBEditCodCliente", QStringLiteral("99"));
        t.enter("DBEditCodCliente");
        const auto q = t.fake->callsOf(Kind::Question).last();
        QCOMPARE(q.title, QStringLiteral("Erro"));
        QCOMPARE(q.text, QStringLiteral("Este código de cliente não foi cadastrado, cadastrar agora?"));
        QVERIFY(t.fake->clean());

        // Ctrl+O toggles the panel with the remarks focused.
        t.key(Qt::Key_F9);
        t.key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(t.w->focusWidget(), t.get("DBEditObs"));
        t.key(Qt::Key_O, Qt::ControlModifier);
        QVERIFY(t.get<QFrame>("PanTipoLan")->isHidden());
    }

    // ---------------------------------------------------------- discount, change, finalising

    void discountLimit()
    {
        Till t;   // the settings allow 10 %
        t.db.product(4001, "PNEU", 100, "N");
        t.open();
        t.consumidor();
        t.sell(QStringLiteral("4001"), QStringLiteral("2"));
        QCOMPARE(t.field("VrVenda"), 200.0);

        t.key(Qt::Key_F1);
        QVERIFY(!t.get<QFrame>("PanelDesconto")->isHidden());
        t.type("edtDesconto", QStringLiteral("20,01"));
        t.enter("edtDesconto");
        QCOMPARE(t.lastMessage(), kNaoPermitido);
        QVERIFY(!t.get<QFrame>("PanelDesconto")->isHidden());
        QCOMPARE(t.db.saleField(1, "VLDesconto").toDouble(), 0.0);

        t.type("edtDesconto", QStringLiteral("20"));
        t.get<QPushButton>("btnComfirmarDesconto")->click();
        QVERIFY(t.get<QFrame>("PanelDesconto")->isHidden());
        QCOMPARE(t.db.saleField(1, "VLDesconto").toDouble(), 20.0);
        QCOMPARE(t.db.saleField(1, "VrVenda").toDouble(), 180.0);

        // The next discount is limited by the total after the first: 10 % of 180.
        t.key(Qt::Key_F1);
        t.type("edtDesconto", QStringLiteral("18,01"));
        t.enter("edtDesconto");
        QCOMPARE(t.lastMessage(), kNaoPermitido);
        t.type("edtDesconto", QStringLiteral("18"));
        t.enter("edtDesconto");
        QCOMPARE(t.db.saleField(1, "VrVenda").toDouble(), 182.0);

        // A discount setting of 0 refuses any discount.
        t.db.setting("configExt.db", "Desconto", 0.0);
        t.key(Qt::Key_F1);
        t.type("edtDesconto", QStringLiteral("0,01"));
        t.enter("edtDesconto");
        QCOMPARE(t.lastMessage(), kNaoPermitido);
    }

    void closingTheDiscountPanelNeverAppliesARefusedDiscount()
    {
        Till t;
        t.db.product(4001, "PNEU", 100, "N");
        t.open();
        t.consumidor();
        t.sell(QStringLiteral("4001"), QStringLiteral("2"));

        // F1 closes the panel: a value over the limit is dropped and said so.
        t.key(Qt::Key_F1);
        t.type("edtDesconto", QStringLiteral("50"));
        t.fake->clearCalls();
        t.key(Qt::Key_F1);
        QVERIFY(t.get<QFrame>("PanelDesconto")->isHidden());
        QVERIFY(t.lastMessage().startsWith(kNaoPermitido));
        QCOMPARE(t.db.saleField(1, "VLDesconto").toDouble(), 0.0);
        // The next totalizar (another item) does not bring it back.
        t.sell(QStringLiteral("4001"));
        QCOMPARE(t.db.saleField(1, "VrVenda").toDouble(), 300.0);

        // "Fechar (x)" with a value within the limit keeps it.
        t.key(Qt::Key_F1);
        t.type("edtDesconto", QStringLiteral("30"));
        t.get<QPushButton>("btnFecharDesconto")->click();
        QCOMPARE(t.db.saleField(1, "VLDesconto").toDouble(), 30.0);
        QCOMPARE(t.db.saleField(1, "VrVenda").toDouble(), 270.0);

        // Text that is no amount: told, nothing stored, the focus kept.
        t.key(Qt::Key_F1);
        t.type("edtDesconto", QStringLiteral("dez"));
        t.fake->clearCalls();
        t.enter("edtDesconto");
        QVERIFY(t.lastMessage().contains(QStringLiteral("não é um valor válido")));
        QCOMPARE(t.w->focusWidget(), t.get("edtDesconto"));
        QCOMPARE(t.db.saleField(1, "VLDesconto").toDouble(), 30.0);
    }

    void changeAndFinalising()
    {
        Till t;
        t.db.product(5001, "ADITIVO", 42.5, "N");
        t.open();
        t.consumidor();
        t.sell(QStringLiteral("5001"));
        t.key(Qt::Key_F6);
        QVERIFY(!t.get<QFrame>("P_Recebimento")->isHidden());
        QCOMPARE(t.w->focusWidget(), t.get("edtValorRecebido"));

        t.type("edtValorRecebido", QStringLiteral("50"));
        QCOMPARE(t.text("fldTotalRecibido"), QStringLiteral("7,50"));   // as typed
        t.type("edtValorRecebido", QStringLiteral("40"));
        t.enter("edtValorRecebido");
        QCOMPARE(t.text("fldTotalRecibido"), QStringLiteral("-2,50"));
        QCOMPARE(t.db.saleField(1, "VrRecebido").toDouble(), 40.0);

        // Text that is no amount: told, the change keeps its text, nothing finalised.
        t.get("edtValorRecebido")->setText(QStringLiteral("quarenta"));   // pasted
        t.fake->clearCalls();
        t.key(Qt::Key_F11);
        QVERIFY(t.lastMessage().contains(QStringLiteral("não é um valor válido")));
        QCOMPARE(t.text("fldTotalRecibido"), QStringLiteral("-2,50"));
        QCOMPARE(t.db.saleField(1, "Finalizada").toString(), QStringLiteral("N"));
        QCOMPARE(t.w->focusWidget(), t.get("edtValorRecebido"));

        // Too little received still finalises; the method is recorded.
        t.type("edtValorRecebido", QStringLiteral("40"));
        t.get<core::DbRadioGroup>("RadioGroupForma")->button(5)->click();   // "Cartão de Débito"
        t.fake->clearCalls();
        t.key(Qt::Key_F11);
        QCOMPARE(t.lastMessage(), QStringLiteral("Venda Finalizada com Sucesso!"));
        QCOMPARE(t.db.saleField(1, "Finalizada").toString(), QStringLiteral("S"));
        QCOMPARE(t.db.saleField(1, "ForPagamento").toString(), QStringLiteral("CARTAO DEBITO"));
        QCOMPARE(t.db.saleField(1, "VrRecebido").toDouble(), 40.0);
        QCOMPARE(t.db.saleField(1, "VrVenda").toDouble(), 42.5);
        QVERIFY(t.get<QFrame>("P_Recebimento")->isHidden());
        QCOMPARE(t.text("fldTitulo"), QStringLiteral("VENDA FINALIZADA"));
    }

    void finalisingWantsTheAmountReceived_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("finalised");
        QTest::newRow("0,00 as shown") << "0,00" << false;
        QTest::newRow("nothing") << "" << false;
        QTest::newRow("0 typed") << "0" << true;
        QTest::newRow("0,0 typed") << "0,0" << true;
    }
    void finalisingWantsTheAmountReceived()
    {
        QFETCH(QString, typed);
        QFETCH(bool, finalised);
        Till t;
        t.db.product(5001, "ADITIVO", 42.5, "N");
        t.open();
        t.consumidor();
        t.sell(QStringLiteral("5001"));
        t.get("edtValorRecebido")->setText(typed);
        t.fake->clearCalls();
        t.key(Qt::Key_F11);
        QCOMPARE(t.db.saleField(1, "Finalizada").toString(), finalised ? QStringLiteral("S") : QStringLiteral("N"));
        QCOMPARE(t.lastMessage(), finalised ? QStringLiteral("Venda Finalizada com Sucesso!")
                                            : QStringLiteral("É necessario digitar o valor recebido!"));
    }

    void finalisingPrintsTheReceiptWhenTheSettingsAskForIt()
    {
        Till t;
        QTemporaryDir spool;
        const QString port = spool.filePath(QStringLiteral("cupom.prn"));
        t.db.setting("tbPortaImpressora.db", "Porta", port);
        t.db.setting("tbPortaImpressora.db", "Imprimir", QStringLiteral("S"));
        t.db.product(5001, "ADITIVO", 42.5, "N");
        t.open();
        t.consumidor();
        t.sell(QStringLiteral("5001"));
        t.type("edtValorRecebido", QStringLiteral("50"));
        t.key(Qt::Key_F11);
        QFile f(port);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.contains("Venda No....: 0001"));
        QVERIFY(bytes.contains("Forma Pagamento: DINHEIRO"));
        QVERIFY(bytes.contains("Operador(a).: MARIA"));
        QCOMPARE(t.lastMessage(), QStringLiteral("Impressão Enviada com Sucesso!!!"));
    }

    // ---------------------------------------------------------- cancelling and closing

    void cancellingAnOpenSaleDeletesEveryItem()
    {
        Till t;
        t.db.product(6001, "VELA", 20, "N");
        const qint64 first = t.db.sale(1, "S");
        t.db.saleItem(first, 1, 6001, "VELA", 2, 20);
        t.open();
        t.consumidor();
        for (int i = 0; i < 3; ++i)
            t.sell(QStringLiteral("6001"));
        const qint64 chave = t.w->TbVendas()->asInteger(QStringLiteral("Chave"));
        QCOMPARE(t.db.itemsOf(chave), 3);
        t.fake->answerQuestion(Answer::Yes);   // "Deseja Sair da tela de Venda?"
        t.get<QPushButton>("btnCancelar")->click();
        QCOMPARE(t.db.saleNumbers(), QList<double>{1});
        QCOMPARE(t.db.itemsOf(chave), 0);
        QCOMPARE(t.db.itemsOf(first), 1);   // the other sale keeps its items
        QVERIFY(!t.w->isVisible());
        QVERIFY(t.fake->clean());
    }

    void aFinalisedSaleIsCancelledOnlyWithTheSupervisorPassword()
    {
        Till t;
        t.db.product(6001, "VELA", 20, "N");
        t.open();
        t.consumidor();
        t.sell(QStringLiteral("6001"));
        t.sell(QStringLiteral("6001"));
        const qint64 chave = t.w->TbVendas()->asInteger(QStringLiteral("Chave"));
        t.type("edtValorRecebido", QStringLiteral("50"));
        t.key(Qt::Key_F11);

        // F4 does not cancel a finalised sale.
        t.fake->clearCalls();
        t.key(Qt::Key_F4);
        QCOMPARE(t.lastMessage(), kJaFinalizada);
        QCOMPARE(t.db.itemsOf(chave), 2);

        t.key(Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!t.get<QFrame>("PanAltera")->isHidden());
        t.type("edtSenha", QStringLiteral("abc"));
        t.key(Qt::Key_F7);
        QCOMPARE(t.lastMessage(), kSenhaErrada);
        QVERIFY(t.get("edtSenha")->text().isEmpty());
        QVERIFY(!t.get<QFrame>("PanAltera")->isHidden());
        QCOMPARE(t.db.itemsOf(chave), 2);

        t.type("edtSenha", QStringLiteral("kov"));
        QCOMPARE(t.get("edtSenha")->text(), QStringLiteral("KOV"));   // typed in upper case
        t.enter("edtSenha");
        QVERIFY(t.get<QFrame>("PanAltera")->isHidden());
        QVERIFY(t.db.saleNumbers().isEmpty());
        QCOMPARE(t.db.itemsOf(chave), 0);
        QCOMPARE(t.text("fldTitulo"), QStringLiteral("CAIXA LIVRE"));
    }

    void closingRules()
    {
        Till t;
        t.db.product(6001, "VELA", 20, "N");
        t.open();
        t.consumidor();
        t.sell(QStringLiteral("6001"));
        // The last sale open: refused with the long message.
        t.key(Qt::Key_F12);
        QCOMPARE(t.lastMessage(), sales::msg::fecharCaixa());
        QVERIFY(t.w->isVisible());
        t.w->close();
        QVERIFY(t.w->isVisible());

        t.type("edtValorRecebido", QStringLiteral("20"));
        t.key(Qt::Key_F11);
        t.fake->answerQuestion(Answer::No);
        t.key(Qt::Key_F12);
        const auto q = t.fake->callsOf(Kind::Question).last();
        QCOMPARE(q.title, QStringLiteral("Sair"));
        QCOMPARE(q.text, QStringLiteral("Deseja Sair da tela de Venda?"));
        QVERIFY(t.w->isVisible());
        t.fake->answerQuestion(Answer::Yes);
        t.get<QPushButton>("btnSair")->click();
        QVERIFY(!t.w->isVisible());
        QVERIFY(t.fake->clean());
    }

    // ---------------------------------------------------------- locating

    void locatingAnEarlierSale()
    {
        Till t;
        t.db.product(6001, "VELA", 20, "N");
        const qint64 old = t.db.sale(1, "S");
        t.db.saleItem(old, 1, 6001, "VELA", 3, 20);
        t.open();   // a new sale, 2
        t.consumidor();
        t.fake->answerInput(QStringLiteral("1"));
        QTest::mouseClick(t.get<QLabel>("DBTextCodVenda"), Qt::LeftButton);
        const auto in = t.fake->callsOf(Kind::Input).last();
        QCOMPARE(in.title, QStringLiteral("Localizar "));
        QCOMPARE(in.text, QStringLiteral("Digite aqui, o numéro da OS ou PV a ser localizado:"));
        QCOMPARE(t.text("DBTextCodVenda"), QStringLiteral("0001"));
        QCOMPARE(t.items(), 1);
        QCOMPARE(t.text("fldTitulo"), QStringLiteral("VENDA JÁ FINALIZADA"));

        t.fake->answerInput(QStringLiteral("55"));
        QTest::mouseClick(t.get<QLabel>("DBTextCodVenda"), Qt::LeftButton);
        QCOMPARE(t.lastMessage(), QStringLiteral("Não localizado !!!"));
        QCOMPARE(t.text("DBTextCodVenda"), QStringLiteral("0001"));
        QVERIFY(t.fake->clean());
    }
};

QTEST_MAIN(CaixaTest)
#include "test_caixa.moc"
