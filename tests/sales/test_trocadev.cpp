// "Troca & Devoluções": finding a sale, giving back one item or the whole
// sale (finalised or not, without a password), saving, and the voucher as
// the preview receives it.

#include "SalesFixture.h"

#include "printing/PageModel.h"
#include "sales/TFTrocaDev.h"

#include <QFrame>
#include <QRadioButton>

using namespace salestest;
using namespace brelvo;

namespace {

struct Exchange {
    core::ScopedFakeDialogs fake;
    Db db;
    qint64 first = 0, second = 0;
    std::unique_ptr<sales::TFTrocaDev> w;
    std::optional<printing::PreparedReport> preview;

    // Sale 1: two filters and a spark plug, less 5, finalised. Sale 2: one
    // item, open, the last one.
    Exchange()
    {
        db.setting("empresa.DB", "Empresa", QStringLiteral("AUTO CENTER SÃO JORGE"));
        db.setting("empresa.DB", "Cidade", QStringLiteral("CAMPINAS"));
        db.setting("empresa.DB", "Uf", QStringLiteral("SP"));
        first = db.add("tbVendas.db", {{"CodVenda", 1}, {"Finalizada", QStringLiteral("S")},
                                       {"VenOs", QStringLiteral("PV")}, {"VLDesconto", 5.0},
                                       {"NomeCliente", ordertest::u("JOSÉ DA SILVA")}});
        db.saleItem(first, 1, 1001, "FILTRO", 2, 30);
        db.saleItem(first, 1, 1002, "VELA", 1, 20);
        second = db.sale(2, "N");
        db.saleItem(second, 2, 1003, "PALHETA", 1, 15);
        fake->onNamed(QStringLiteral("preview"), [this](QWidget *, void *object) {
            preview = *static_cast<printing::PreparedReport *>(object);
            return 1;
        });
        w = std::make_unique<sales::TFTrocaDev>(db.db);
        w->show();
    }
    template <typename T = QLineEdit>
    T *get(const char *name)
    {
        T *c = w->findChild<T *>(QString::fromLatin1(name));
        if (!c)
            qFatal("control %s not found", name);
        return c;
    }
    void find(const QString &number)
    {
        QLineEdit *e = get("edtCodVenda");
        e->clear();
        QTest::keyClicks(e, number);
        QTest::keyClick(e, Qt::Key_Return);
    }
    void click(const char *button) { get<QPushButton>(button)->click(); }
    double saleTotal() { return w->TbVendas()->asFloat(QStringLiteral("VrVenda")); }
    QString lastMessage() { return fake->messages().value(fake->messages().size() - 1); }
};

} // namespace

class TrocaDevTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsASaleByNumber()
    {
        Exchange x;
        QCOMPARE(x.w->windowTitle(), QStringLiteral("Troca & Devoluções"));
        // It opens on the last sale.
        QCOMPARE(x.get<QLabel>("DBTextCodVenda")->text(), QStringLiteral("0002"));
        x.find(QStringLiteral("1"));
        QCOMPARE(x.get<QLabel>("DBTextCodVenda")->text(), QStringLiteral("0001"));
        QCOMPARE(x.w->TbItems()->recordCount(), 2);
        QCOMPARE(x.get<QLabel>("DBTextVLDesconto")->text(), QStringLiteral("5,00"));

        // An unknown number: told, and the sale shown stays.
        x.find(QStringLiteral("99"));
        QCOMPARE(x.lastMessage(), QStringLiteral("Venda não Encontrada !"));
        QCOMPARE(x.get<QLabel>("DBTextCodVenda")->text(), QStringLiteral("0001"));
        QVERIFY(x.fake->clean());
    }

    void returningItemsOfAFinalisedSale()
    {
        Exchange x;
        x.find(QStringLiteral("1"));
        x.w->TbItems()->first();   // FILTRO, 2 x 30

        // Answered No: nothing is removed.
        x.fake->answerQuestion(Answer::No);
        x.click("btnCancelarItem");
        QCOMPARE(x.fake->messages().first(), QStringLiteral("Remover Item: FILTRO Total de R$ 60,00 ?"));
        const auto q = x.fake->callsOf(Kind::Question).last();
        QCOMPARE(q.title, QStringLiteral("Exclusão"));
        QCOMPARE(q.text, QStringLiteral("Comfirme o cancelamento do item?"));
        QCOMPARE(x.db.itemsOf(x.first), 2);

        // Yes: the item goes and the total drops by its subtotal: 20 - 5.
        x.fake->answerQuestion(Answer::Yes);
        x.click("btnCancelarItem");
        QCOMPARE(x.db.itemsOf(x.first), 1);
        QCOMPARE(x.saleTotal(), 15.0);
        QCOMPARE(x.db.saleField(1, "VrVenda").toDouble(), 15.0);

        // The last item gone, the total is minus the discount.
        x.fake->answerQuestion(Answer::Yes);
        x.click("btnCancelarItem");
        QCOMPARE(x.db.itemsOf(x.first), 0);
        QCOMPARE(x.db.saleField(1, "VrVenda").toDouble(), -5.0);
        QCOMPARE(x.db.saleField(1, "Finalizada").toString(), QStringLiteral("S"));
        QCOMPARE(x.db.itemsOf(x.second), 1);
        QVERIFY(x.fake->clean());
    }

    void cancellingAWholeSaleDeletesItsItemsWithoutAPassword()
    {
        Exchange x;
        x.find(QStringLiteral("1"));
        x.fake->answerQuestion(Answer::No);
        x.click("btnCancelarCupom");
        QCOMPARE(x.fake->callsOf(Kind::Question).last().text, QStringLiteral("Comfirme o cancelamento do cupom?"));
        QCOMPARE(x.db.saleNumbers(), (QList<double>{1, 2}));

        x.fake->answerQuestion(Answer::Yes);
        x.click("btnCancelarCupom");
        QCOMPARE(x.db.saleNumbers(), QList<double>{2});
        QCOMPARE(x.db.itemsOf(x.first), 0);
        QCOMPARE(x.db.itemsOf(x.second), 1);
        // The sale now shown has been totalled again: 15 less nothing.
        QCOMPARE(x.db.saleField(2, "VrVenda").toDouble(), 15.0);
        QCOMPARE(x.fake->count(Kind::Input), 0);   // no password asked
        QVERIFY(x.fake->clean());
    }

    void saving()
    {
        Exchange x;
        x.click("btnSalvar");
        QCOMPARE(x.lastMessage(), QStringLiteral("Modificações salva com sucesso!"));
    }

    void theVoucher()
    {
        Exchange x;
        x.find(QStringLiteral("1"));
        QVERIFY(x.get<QFrame>("PanelVale")->isHidden());
        x.get<QRadioButton>("rbDinheiro")->setChecked(true);
        x.click("btnGerarVale");
        QVERIFY(!x.get<QFrame>("PanelVale")->isHidden());
        // Opening the panel selects "Compras" again and fills name, place and date.
        QVERIFY(x.get<QRadioButton>("rbCompras")->isChecked());
        QCOMPARE(x.get("edtNomeVale")->text(), QStringLiteral("JOSÉ DA SILVA"));
        QVERIFY(x.get("edtLocalData")->text().startsWith(QStringLiteral("CAMPINAS-SP, ")));

        // No value: nothing printed.
        x.click("btnGerar");
        QCOMPARE(x.lastMessage(), QStringLiteral("Valor não Preenchido!"));
        QVERIFY(!x.preview);

        // Only digits and the comma are taken.
        QTest::keyClicks(x.get("edtValorVale"), QStringLiteral("15a0,5x0"));
        QCOMPARE(x.get("edtValorVale")->text(), QStringLiteral("150,50"));
        QCOMPARE(x.get<QLabel>("lblValorVale")->text(), QStringLiteral("R$ 150,50"));
        x.get<QRadioButton>("rbDinheiro")->setChecked(true);
        QTest::keyClicks(x.get("edtObsVale"), QStringLiteral("TROCA DE PALHETA"));
        x.click("btnGerar");
        QVERIFY(x.preview);
        const QString text = x.preview->pageText(0);
        for (const QString &s :
             {QStringLiteral("BÔNUS TROCA E DEVOLUÇÕES "), QStringLiteral("*** R$ 150,50 ***"),
              QStringLiteral("*** Cento e Cinqüenta Reais, e Cinqüenta Centavos. ***"),
              QStringLiteral("Dinheiro"), QStringLiteral("JOSÉ DA SILVA"), QStringLiteral("AUTO CENTER SÃO JORGE"),
              QStringLiteral("Obs: TROCA DE PALHETA")})
            QVERIFY2(text.contains(s), qPrintable(s + QStringLiteral(" in ") + text));

        // "Fechar" hides the panel.
        x.click("btnFechar");
        QVERIFY(x.get<QFrame>("PanelVale")->isHidden());
    }
};

QTEST_MAIN(TrocaDevTest)
#include "test_trocadev.moc"
