// The four page layouts of a service order, read from the pages the preview
// receives: headings, captions, customer, items, totals and footers.

#include "test_orders_print_fixture.h"

#include "core/FakeDialogService.h"
#include "printing/PageModel.h"

#include <QFile>
#include <QImage>

using namespace orderprint;
using brelvo::core::FakeDialogService;
using brelvo::core::ScopedFakeDialogs;
using brelvo::orders::OrderLayout;
using brelvo::printing::PreparedReport;
using namespace brelvo;

Q_DECLARE_METATYPE(brelvo::orders::OrderLayout)

namespace {

const QList<Item> kItems{
    {7891000100103LL, 2.0, 150.25, QStringLiteral("PASTILHA DE FREIO")},
    {1LL, 1.5, 80.0, QStringLiteral("MÃO DE OBRA")},
};

struct Printed {
    bool shown = false;
    PreparedReport pages;
    QStringList texts;   // every text of every page, in order
};

// Runs the printout as the order window does and takes the pages the preview got.
Printed print(ScopedFakeDialogs &dlg, const orders::OrderPrintSource &src, OrderLayout layout)
{
    Printed p;
    dlg->onNamed(QStringLiteral("preview"), [&p](QWidget *, void *object) {
        p.shown = true;
        p.pages = *static_cast<PreparedReport *>(object);
        return 1;
    });
    orders::printOrderLayout(nullptr, src, layout);
    for (int i = 0; i < p.pages.pageCount(); ++i)
        p.texts << p.pages.texts(i);
    return p;
}

// The text printed right after a caption (its value); after the last one
// when the caption is printed more than once.
QString after(const QStringList &texts, const QString &caption)
{
    const qsizetype i = texts.lastIndexOf(caption);
    return i < 0 || i + 1 >= texts.size() ? QStringLiteral("<no %1>").arg(caption) : texts.at(i + 1);
}

void customCaptions(const data::DatabasePtr &db)
{
    setSettings(db, QStringLiteral("tbCamposRef.db"),
                {{"Equipamento", "VEÍCULO DO CLIENTE"}, {"NSerie", "Modelo do carro:"}, {"DadosOS", "Reclamação:"},
                 {"Obs", "Observações:"}, {"Previsao", "PEÇAS E SERVIÇOS"}});
    setSettings(db, QStringLiteral("tb_mensagems.db"),
                {{"Mensagem1", "GARANTIA DE 90 DIAS\nPARA OS SERVIÇOS"},
                 {"Mensagem2", "<p><b>VEÍCULO ENTREGUE</b> EM PERFEITO ESTADO</p>"}});
}

} // namespace

class TestOrderLayouts : public QObject {
    Q_OBJECT
private slots:
    void bands_data();
    void bands();
    void totals_data();
    void totals();
    void noCustomerCodeNoPreview();
    void logo();
    void customerCodeIsBoundNotSpliced();
    void builtInCaptionsWhenTheMainOnesAreEmpty();
    void manyItemsRunOntoMorePages();
    void printingLeavesTheGridWhereItWas();
};

void TestOrderLayouts::bands_data()
{
    QTest::addColumn<OrderLayout>("layout");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<bool>("items");
    QTest::addColumn<bool>("km");
    QTest::addColumn<QString>("anoModelo");
    QTest::addColumn<bool>("notFiscal");
    QTest::addColumn<QString>("footer");

    QTest::newRow("service order") << OrderLayout::ServiceOrder << QStringLiteral("ORDEM DE SERVIÇO Nº 000042")
        << QStringList{"Produto", "Descrição", "Qtd.", "Preço unitario", "SubTotal"} << true << true
        << QStringLiteral("Ano Modelo:") << false << QStringLiteral("GARANTIA DE 90 DIAS");
    QTest::newRow("quote with values") << OrderLayout::QuoteWithValues << QStringLiteral("ORÇAMENTO Nº 000042")
        << QStringList{"Qtd.", "Produto", "Descrição", "Preço unitario", "SubTotal"} << true << true
        << QStringLiteral("Ano Modelo:") << true << QString();
    QTest::newRow("quote without values") << OrderLayout::QuoteWithoutValues << QStringLiteral("ORÇAMENTO Nº 000042")
        << QStringList{"Quantidade", "Descrição"} << true << false << QStringLiteral("Ano Modelo") << true
        << QString();
    QTest::newRow("delivery receipt") << OrderLayout::DeliveryReceipt
        << QStringLiteral("RECIBO DE ENTREGA O.S Nº 000042") << QStringList{} << false << false
        << QStringLiteral("Ano Modelo:") << false << QStringLiteral("VEÍCULO ENTREGUE EM PERFEITO ESTADO");
}

void TestOrderLayouts::bands()
{
    QFETCH(OrderLayout, layout);
    QFETCH(QString, heading);
    QFETCH(QStringList, columns);
    QFETCH(bool, items);
    QFETCH(bool, km);
    QFETCH(QString, anoModelo);
    QFETCH(bool, notFiscal);
    QFETCH(QString, footer);

    ScopedFakeDialogs dlg;
    Fixture fx;
    customCaptions(fx.db);
    fx.makeOrder(kItems, 20.5);
    const Printed p = print(dlg, fx.source(), layout);
    QVERIFY(p.shown);
    QVERIFY(dlg->messages().isEmpty());
    QCOMPARE(p.pages.pageCount(), 1);
    const QStringList &t = p.texts;
    const bool delivery = layout == OrderLayout::DeliveryReceipt;

    // Title: the issuer, and the entry date or (delivery receipt) the attendant.
    QVERIFY(t.contains(QStringLiteral("AUTO CENTER SÃO JORGE")));
    QCOMPARE(after(t, QStringLiteral("CNPJ:")), QStringLiteral("12.345.678/0001-95"));
    QCOMPARE(after(t, QStringLiteral("Insc. Estadual:")), QStringLiteral("244.123.456.789"));
    QVERIFY(t.contains(QStringLiteral("RUA DAS OFICINAS, 120")));
    QCOMPARE(after(t, QStringLiteral("Cep:")), QStringLiteral("13010-100"));
    QCOMPARE(after(t, QStringLiteral("Fone(s):")),
             QStringLiteral("(19) 3232-1000 / (19) 99876-5432 / (19) 3232-1001"));
    QVERIFY(t.contains(QStringLiteral("www.saojorge.com.br")));
    QCOMPARE(t.contains(QStringLiteral("Data Entrada:")), !delivery);
    if (delivery)
        QCOMPARE(after(t, QStringLiteral("Atendente:")), QStringLiteral("MARIA"));
    else
        QCOMPARE(after(t, QStringLiteral("Data Entrada:")), QStringLiteral("09/03/2026"));

    // Customer and vehicle, with the installation's captions.
    QVERIFY(t.contains(heading));
    QCOMPARE(after(t, QStringLiteral("Código")), QStringLiteral("0007"));
    QCOMPARE(after(t, QStringLiteral("Cliente")), QStringLiteral("JOSÉ DA SILVA"));
    QCOMPARE(after(t, QStringLiteral("RG:")), QStringLiteral("22.333.444-5"));
    QCOMPARE(after(t, QStringLiteral("CPF/CNPJ:")), QStringLiteral("123.456.789-09"));
    QCOMPARE(after(t, QStringLiteral("Endereço")), QStringLiteral("AV. BRASIL, 500"));
    QCOMPARE(after(t, QStringLiteral("Bairro:")), QStringLiteral("JARDIM PAULISTA"));
    QCOMPARE(after(t, QStringLiteral("Celular:")), QStringLiteral("(19) 98888-7777"));
    QCOMPARE(after(t, QStringLiteral("Telefone:")), QStringLiteral("(19) 3241-5566"));
    QCOMPARE(after(t, QStringLiteral("Cidade")), QStringLiteral("VALINHOS"));
    QCOMPARE(after(t, QStringLiteral("UF:")), QStringLiteral("SP"));
    QCOMPARE(after(t, QStringLiteral("Reclamação:")), QStringLiteral("BARULHO NA SUSPENSÃO DIANTEIRA"));
    QCOMPARE(after(t, QStringLiteral("Observações:")), QStringLiteral("CLIENTE AGUARDA"));
    QVERIFY(t.contains(QStringLiteral("VEÍCULO DO CLIENTE")));
    QCOMPARE(after(t, QStringLiteral("Modelo do carro:")), QStringLiteral("GOL 1.0"));
    QCOMPARE(after(t, QStringLiteral("Fabricante:")), QStringLiteral("VOLKSWAGEN"));
    QCOMPARE(after(t, QStringLiteral("Placa: ")), QStringLiteral("ABC1D23"));
    QCOMPARE(after(t, QStringLiteral("Ano:")), QStringLiteral("2019"));
    QCOMPARE(after(t, anoModelo), QStringLiteral("2020"));
    QCOMPARE(t.contains(QStringLiteral("Km Atual:")), km);
    if (km)
        QCOMPARE(after(t, QStringLiteral("Km Atual:")), QStringLiteral("85400"));
    QCOMPARE(t.contains(QStringLiteral("PEÇAS E SERVIÇOS")), !delivery);
    // None of the built-in captions slipped through.
    QVERIFY(!t.contains(QStringLiteral("Defeito Reclamado")));
    QVERIFY(!t.contains(QStringLiteral("Dados Do Veículo")));

    // Item columns in their order, then the items.
    qsizetype at = t.indexOf(heading);
    for (const QString &c : columns) {
        const qsizetype i = t.indexOf(c, at + 1);
        QVERIFY2(i > at, qPrintable(c));
        at = i;
    }
    QCOMPARE(t.contains(QStringLiteral("PASTILHA DE FREIO")), items);
    QCOMPARE(t.contains(QStringLiteral("MÃO DE OBRA")), items);
    if (items) {
        QVERIFY(t.indexOf(QStringLiteral("PASTILHA DE FREIO")) > at);
        QVERIFY(t.indexOf(QStringLiteral("MÃO DE OBRA")) > t.indexOf(QStringLiteral("PASTILHA DE FREIO")));
        QVERIFY(t.contains(QStringLiteral("1,5")));
    }
    const bool prices = layout == OrderLayout::ServiceOrder || layout == OrderLayout::QuoteWithValues;
    QCOMPARE(t.contains(QStringLiteral("150,25")), prices);   // unit price, ######0.00
    QCOMPARE(t.contains(QStringLiteral("300,50")), prices);   // 2 x 150,25

    // Summary.
    QCOMPARE(t.contains(QStringLiteral("NÃO TEM VALOR FISCAL")), notFiscal);
    const QString other = delivery ? QStringLiteral("GARANTIA DE 90 DIAS") : QStringLiteral("VEÍCULO ENTREGUE");
    QVERIFY(!p.pages.pageText(0).contains(other));
    if (!footer.isEmpty())
        QVERIFY2(p.pages.pageText(0).contains(footer), qPrintable(p.pages.pageText(0)));
    else
        QVERIFY(!p.pages.pageText(0).contains(QStringLiteral("GARANTIA")));
}

void TestOrderLayouts::totals_data()
{
    QTest::addColumn<OrderLayout>("layout");
    // caption -> the texts printed after it
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("service order") << OrderLayout::ServiceOrder
        << QStringList{"SubTotal", "R$", "420,50", "Descontos", "R$", "20,50", "Valor à Pagar:", "R$", "400,00",
                       "Previsão de Entrega:", "12/03/2026", "às", "17:30", "Atendente:", "MARIA"};
    QTest::newRow("quote with values") << OrderLayout::QuoteWithValues
        << QStringList{"SubTotal", "R$ 420,50", "Descontos", "R$ 20,50", "Valor Total:", "400,00",
                       "Validade Desse Orçamento :", "12/03/2026", "Atendente:", "MARIA"};
    QTest::newRow("quote without values") << OrderLayout::QuoteWithoutValues
        << QStringList{"Validade Desse Orçamento :", "12/03/2026", "Atendente:", "MARIA"};
    QTest::newRow("delivery receipt") << OrderLayout::DeliveryReceipt
        << QStringList{"Previsão de Entrega:", "12/03/2026", "às", "17:30"};
}

void TestOrderLayouts::totals()
{
    QFETCH(OrderLayout, layout);
    QFETCH(QStringList, expected);
    ScopedFakeDialogs dlg;
    Fixture fx;
    // The stored total (999.999,00) is stale: the printout adds up the items.
    fx.makeOrder(kItems, 20.5);
    const Printed p = print(dlg, fx.source(), layout);
    QVERIFY(p.shown);
    // The summary is the last thing printed: its texts run in this order there.
    const qsizetype start = p.texts.lastIndexOf(expected.first());
    QVERIFY(start >= 0);
    QCOMPARE(p.texts.mid(start, expected.size()), expected);
    QVERIFY(!p.texts.join(u'|').contains(QStringLiteral("999")));
    if (layout == OrderLayout::QuoteWithoutValues || layout == OrderLayout::DeliveryReceipt)
        QVERIFY(!p.texts.join(u'|').contains(QStringLiteral("420,50")));
}

void TestOrderLayouts::noCustomerCodeNoPreview()
{
    for (OrderLayout layout : {OrderLayout::ServiceOrder, OrderLayout::QuoteWithValues,
                               OrderLayout::QuoteWithoutValues, OrderLayout::DeliveryReceipt}) {
        ScopedFakeDialogs dlg;
        Fixture fx;
        fx.makeOrder(kItems);
        const Printed p = print(dlg, fx.source(QStringLiteral("  ")), layout);
        QVERIFY(!p.shown);
        QCOMPARE(dlg->messages(), QStringList{QStringLiteral("Nenhum dado para impresão! ")});
    }
}

void TestOrderLayouts::logo()
{
    ScopedFakeDialogs dlg;
    Fixture fx;
    fx.makeOrder(kItems);

    // A file that is no picture: the load error, and no preview.
    const QString junk = fx.dir.filePath(QStringLiteral("logo.png"));
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("isto nao e uma imagem");
    f.close();
    setSettings(fx.db, QStringLiteral("logo.db"), {{"LogoCaminho", junk}});
    Printed p = print(dlg, fx.source(), OrderLayout::ServiceOrder);
    QVERIFY(!p.shown);
    QCOMPARE(dlg->count(FakeDialogService::Kind::Error), 1);
    QCOMPARE(dlg->messages(), QStringList{QStringLiteral("Não foi possível carregar a imagem: %1").arg(junk)});

    // A path that names nothing.
    dlg->clearCalls();
    const QString missing = fx.dir.filePath(QStringLiteral("sumiu.jpg"));
    setSettings(fx.db, QStringLiteral("logo.db"), {{"LogoCaminho", missing}});
    p = print(dlg, fx.source(), OrderLayout::DeliveryReceipt);
    QVERIFY(!p.shown);
    QCOMPARE(dlg->messages(), QStringList{QStringLiteral("Arquivo não encontrado: %1").arg(missing)});

    // A readable picture is printed in the title.
    dlg->clearCalls();
    const QString good = fx.dir.filePath(QStringLiteral("marca.png"));
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(Qt::darkBlue);
    QVERIFY(img.save(good));
    setSettings(fx.db, QStringLiteral("logo.db"), {{"LogoCaminho", good}});
    p = print(dlg, fx.source(), OrderLayout::QuoteWithValues);
    QVERIFY(p.shown);
    QCOMPARE(p.pages.images.size(), size_t(1));
    QCOMPARE(p.pages.images.front().size(), QSize(60, 40));
    bool drawn = false;
    for (const auto &item : p.pages.pages.front().items)
        drawn = drawn || item.kind == printing::PageItem::Image;
    QVERIFY(drawn);
}

void TestOrderLayouts::customerCodeIsBoundNotSpliced()
{
    ScopedFakeDialogs dlg;
    Fixture fx;
    fx.makeOrder(kItems);
    // Text that would widen a spliced query matches nobody.
    Printed p = print(dlg, fx.source(QStringLiteral("1 or codigo=7")), OrderLayout::ServiceOrder);
    QVERIFY(p.shown);
    QVERIFY(!p.texts.contains(QStringLiteral("22.333.444-5")));
    QVERIFY(!p.texts.contains(QStringLiteral("11.111.111-1")));
    // Leading zeros and blanks as the box may show them.
    p = print(dlg, fx.source(QStringLiteral(" 0007 ")), OrderLayout::ServiceOrder);
    QCOMPARE(after(p.texts, QStringLiteral("RG:")), QStringLiteral("22.333.444-5"));
    p = print(dlg, fx.source(QStringLiteral("1")), OrderLayout::ServiceOrder);
    QCOMPARE(after(p.texts, QStringLiteral("RG:")), QStringLiteral("11.111.111-1"));
}

void TestOrderLayouts::builtInCaptionsWhenTheMainOnesAreEmpty()
{
    ScopedFakeDialogs dlg;
    Fixture fx;
    setSettings(fx.db, QStringLiteral("tbCamposRef.db"),
                {{"Equipamento", QVariant()}, {"NSerie", QVariant()}, {"DadosOS", QVariant()},
                 {"Previsao", QVariant()}, {"Obs", "NOTAS:"}});
    fx.makeOrder(kItems);
    const Printed p = print(dlg, fx.source(), OrderLayout::ServiceOrder);
    for (const char *c : {"Dados Do Veículo", "Defeito Reclamado", "Obs:", "SERVIÇOS / PEÇAS"})
        QVERIFY2(p.texts.contains(QString::fromUtf8(c)), c);
    QCOMPARE(after(p.texts, QStringLiteral("Modelo:")), QStringLiteral("GOL 1.0"));
    QVERIFY(!p.texts.contains(QStringLiteral("NOTAS:")));
}

void TestOrderLayouts::manyItemsRunOntoMorePages()
{
    ScopedFakeDialogs dlg;
    Fixture fx;
    QList<Item> many;
    for (int i = 1; i <= 70; ++i)
        many << Item{i, 1.0, 10.0, QStringLiteral("ITEM %1").arg(i)};
    fx.makeOrder(many, 0.0);
    const Printed p = print(dlg, fx.source(), OrderLayout::ServiceOrder);
    QVERIFY(p.pages.pageCount() >= 2);
    for (int i = 1; i <= 70; ++i)
        QVERIFY(p.texts.contains(QStringLiteral("ITEM %1").arg(i)));
    // Title on the first page only; the total on the last.
    QCOMPARE(p.pages.texts(0).count(QStringLiteral("AUTO CENTER SÃO JORGE")), 1);
    QVERIFY(!p.pages.texts(1).contains(QStringLiteral("Data Entrada:")));
    const QStringList last = p.pages.texts(p.pages.pageCount() - 1);
    QCOMPARE(after(last, QStringLiteral("Valor à Pagar:")), QStringLiteral("R$"));
    QVERIFY(last.contains(QStringLiteral("700,00")));
}

void TestOrderLayouts::printingLeavesTheGridWhereItWas()
{
    ScopedFakeDialogs dlg;
    Fixture fx;
    fx.makeOrder(kItems);
    fx.items->first();
    fx.items->next();
    int scrolls = 0;
    connect(fx.items.get(), &data::Dataset::afterScroll, this, [&] { ++scrolls; });
    const Printed p = print(dlg, fx.source(), OrderLayout::ServiceOrder);
    QVERIFY(p.shown);
    QCOMPARE(fx.items->asString(QStringLiteral("Descricao")), QStringLiteral("MÃO DE OBRA"));
    // Bound controls hear one refresh at the end, not a scroll per item.
    QCOMPARE(scrolls, 1);
}

QTEST_MAIN(TestOrderLayouts)
#include "test_orders_printlayouts.moc"
