// The till's printouts: the receipt's bytes in both variants against bytes
// spelled out here, what the operator is told when the port works or fails,
// the A4 order form and the exchange voucher as the preview receives them.

#include "SalesFixture.h"

#include "printing/PageModel.h"
#include "sales/SalePrintouts.h"

#include <QFile>
#include <QFileInfo>

using namespace salestest;
using namespace brelvo;

namespace {

QByteArray padR(QByteArray s, int n)
{
    while (s.size() < n)
        s += ' ';
    return s;
}
QByteArray L(const QByteArray &s) { return s + "\r\n"; }
const QByteArray kSep(54, '-');
const QByteArray kDeco = QByteArray::fromHex(QByteArray(
    "40 23 24 25 A8 26 2A 2A 26 A8 25 25 24 24 23 A8 25 24 23 40 21 26 25 A8 24 23 40 21 40 23 24 23 24 25 A8 24 "
    "40 23 40 40 24 25 24 A8 25 24 23 40 21 24 24 21 23").replace(' ', ""));
const QDateTime kNow(QDate(2026, 12, 8), QTime(9, 7, 5));

// A sale of 100,00 less 5: one filter and a third of a kilo of grease.
struct SaleDb : Db {
    qint64 chave = 0;
    SaleDb()
    {
        setting("empresa.DB", "Empresa", QStringLiteral("AUTO CENTER SÃO JORGE"));
        setting("empresa.DB", "End", QStringLiteral("RUA DAS OFICINAS, 120"));
        setting("empresa.DB", "Bairro", QStringLiteral("CENTRO"));
        setting("empresa.DB", "Cidade", QStringLiteral("CAMPINAS"));
        setting("empresa.DB", "Uf", QStringLiteral("SP"));
        setting("empresa.DB", "Telefone", QStringLiteral("(19) 3232-1000"));
        setting("empresa.DB", "Telefone2", QStringLiteral("(19) 99876-5432"));
        setting("empresa.DB", "Cnpj", QStringLiteral("12.345.678/0001-95"));
        setting("empresa.DB", "IE", QStringLiteral("244.123.456.789"));
        chave = add("tbVendas.db", {{"CodVenda", 42}, {"Finalizada", QStringLiteral("S")}, {"VenOs", QStringLiteral("PV")},
                                    {"VLDesconto", 5.0}, {"VrVenda", 95.0}, {"CodVendedor", 3},
                                    {"NomeCliente", ordertest::u("JOSÉ DA SILVA")}, {"CodCliente", 7},
                                    {"ForPagamento", QStringLiteral("CARTAO CREDITO")}, {"DtVenda", QDate(2026, 12, 8)},
                                    {"Obs", QStringLiteral("ENTREGAR NA PORTARIA")}});
        saleItem(chave, 42, 7891000100103LL, "FILTRO DE OLEO MOTOR 1.0 8V FLEX ORIGINAL", 1, 70);
        saleItem(chave, 42, 1234, "GRAXA", 0.3333, 90.01);
    }
};

// The sale window's cursors over that sale.
struct Source {
    data::Table sale, items;
    Source(const data::DatabasePtr &db, qint64 chave)
        : sale(db, QStringLiteral("tbVendas.db")), items(db, QStringLiteral("tbItems.DB"))
    {
        sale.open();
        sale.locate(QStringLiteral("Chave"), {chave});
        items.setIndexName(QStringLiteral("ByLink"));
        items.setMasterSource(&sale, QStringLiteral("Chave"), QStringLiteral("Link"));
        items.open();
    }
    sales::SalePrintSource of(const data::DatabasePtr &db, const QString &customerCode = QStringLiteral("7"))
    {
        sales::SalePrintSource s;
        s.db = db;
        s.sale = &sale;
        s.items = &items;
        s.operador = QStringLiteral("MARIA");
        s.customerCodeText = customerCode;
        s.discountText = QStringLiteral("5,00");
        return s;
    }
};

QByteArray expected(bool daruma)
{
    QByteArray r = "\x0F";
    r += daruma ? L(padR("\x1B" "EAUTO CENTER S\xC3O JORGE\x1B" "F", 50)) : L(padR("AUTO CENTER S\xC3O JORGE", 50));
    r += L(padR("RUA DAS OFICINAS, 120 - CENTRO", 50));
    r += L(padR("CAMPINAS-SP - Fone: (19) 3232-1000 / (19) 99876-5432", 50));
    r += L(padR("CNPJ:12.345.678/0001-95 - IE:244.123.456.789", 50));
    r += L(kSep);
    r += L(padR("Venda No....: 0042", 50));
    r += L("Data........: 08/12/2026 Hora: 09:07:05");
    r += L(padR("Cliente.....: JOS\xC9 DA SILVA", 50));
    r += L("");
    r += L("QTDE. PRODUTO                    VALOR UN  VALOR TOTAL");
    r += L(kSep);
    // The description cut to 28; the quantity 0,3333 cut to 5 characters.
    r += "1     " + QByteArray("FILTRO DE OLEO MOTOR 1.0 8V FLEX ORIGINAL").left(28) + padR("R$ 70,00", 12)
         + L("R$ 70,00");
    r += "0,333 " + padR("GRAXA", 28) + padR("R$ 90,01", 12) + L("R$ 30,00");
    r += L(kSep);
    r += "\x0F" + padR("SUB-TOTAL R$...:", 36) + "\x12" + L("R$ 100,00");
    r += "\x0F" + padR("DESCONTO R$....:", 36) + "\x12" + L("R$ 5,00");
    r += "\x0F" + padR("VALOR TOTAL R$.:", 36) + "\x12" + L("R$ 95,00");
    r += "\x0F" + L(kSep);
    r += L(padR("Forma Pagamento: CARTAO CREDITO", 50));
    r += L(kSep);
    r += L(padR("VENDEDOR: 3     Operador(a).: MARIA", 50));
    r += L(kSep);
    r += L(padR("AGRADECEMOS A PREFERENCIA !", 50));
    r += L(kSep);
    r += L(padR(kDeco, 50));
    if (daruma)
        r += "\r\n\r\n\r\n\x1Bm\r\n";
    else
        r += "\r\n\r\n\r\n\r\n\r\n";
    return r;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class PrintoutsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void receiptBytes_data()
    {
        QTest::addColumn<bool>("daruma");
        QTest::newRow("plain") << false;
        QTest::newRow("Daruma") << true;
    }
    void receiptBytes()
    {
        QFETCH(bool, daruma);
        QCOMPARE(kDeco.size(), 53);
        SaleDb db;
        Source src(db.db, db.chave);
        const QByteArray bytes = sales::saleReceiptBytes(sales::readSaleReceipt(src.of(db.db), kNow), daruma);
        if (bytes != expected(daruma)) {
            const QList<QByteArray> got = bytes.split('\n'), want = expected(daruma).split('\n');
            for (int i = 0; i < std::max(got.size(), want.size()); ++i)
                QCOMPARE(got.value(i), want.value(i));
        }
        QCOMPARE(bytes, expected(daruma));
    }

    void printingToAPort_data()
    {
        QTest::addColumn<QString>("daruma");
        QTest::addColumn<QString>("success");
        QTest::newRow("plain") << "N" << QStringLiteral("Impressão Enviada com Sucesso!!!");
        QTest::newRow("Daruma") << "S" << QStringLiteral("Impressão Enviada com Sucesso!");
    }
    void printingToAPort()
    {
        QFETCH(QString, daruma);
        QFETCH(QString, success);
        core::ScopedFakeDialogs fake;
        SaleDb db;
        const QString port = db.dir.filePath(QStringLiteral("cupom.prn"));
        db.setting("tbPortaImpressora.db", "Porta", port);
        db.setting("tbPortaImpressora.db", "Daruma", daruma);
        Source src(db.db, db.chave);
        sales::printSaleReceipt(nullptr, src.of(db.db));
        QCOMPARE(fake->messages(), QStringList{success});
        const QByteArray bytes = readFile(port);
        QVERIFY(bytes.contains("Venda No....: 0042"));
        QCOMPARE(bytes.endsWith("\x1Bm\r\n"), daruma == QLatin1String("S"));
    }

    void aFailingPortNeverReportsSuccess()
    {
        QStringList ports{QStringLiteral("%1/nao/existe/cupom.prn")};
        if (QFileInfo::exists(QStringLiteral("/dev/full")))
            ports << QStringLiteral("/dev/full");   // takes nothing: fails on the first write
        for (const QString &p : ports) {
            core::ScopedFakeDialogs fake;
            SaleDb db;
            const QString port = p.contains(QLatin1String("%1")) ? p.arg(db.dir.path()) : p;
            db.setting("tbPortaImpressora.db", "Porta", port);
            Source src(db.db, db.chave);
            sales::printSaleReceipt(nullptr, src.of(db.db));
            QCOMPARE(fake->count(Kind::Information), 0);
            QCOMPARE(fake->count(Kind::Error), 1);
            QVERIFY(fake->callsOf(Kind::Error).first().text.contains(port));
        }
    }

    void noPortNoReceipt()
    {
        core::ScopedFakeDialogs fake;
        SaleDb db;
        db.setting("tbPortaImpressora.db", "Porta", QVariant());
        Source src(db.db, db.chave);
        sales::printSaleReceipt(nullptr, src.of(db.db));
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("Porta Impressora Não fiscal não foi informada!")});
    }

    void theOrderForm()
    {
        core::ScopedFakeDialogs fake;
        SaleDb db;
        db.add("tbCliente.DB", {{"Codigo", 7}, {"Nome", ordertest::u("JOSÉ DA SILVA")},
                                {"CIC", QStringLiteral("123.456.789-09")}, {"Endereco", QStringLiteral("AV. BRASIL, 500")},
                                {"CARRO", QStringLiteral("JARDIM PAULISTA")}, {"Cidade", QStringLiteral("VALINHOS")},
                                {"UF", QStringLiteral("SP")}, {"RG", QStringLiteral("22.333.444-5")}});
        Source src(db.db, db.chave);
        QString error;
        const auto pages = sales::prepareSaleForm(src.of(db.db), &error);
        QVERIFY2(pages, qPrintable(error));
        QCOMPARE(pages->title, QStringLiteral("Impressão c\\ Logo"));
        QCOMPARE(pages->pageCount(), 1);
        const QStringList t = pages->texts(0);
        for (const char *s : {"Nº 0042", "Documento sem valor Fiscal", "Venda no Estado", "CARTAO CREDITO", "MARIA",
                              "JOSÉ DA SILVA", "123.456.789-09", "AV. BRASIL, 500", "JARDIM PAULISTA", "VALINHOS",
                              "22.333.444-5", "08/12/2026", "7891000100103", "0000000001234", "0,33", "90,01",
                              "R$ 100,00", "5,00", "95,00", "ENTREGAR NA PORTARIA", "AUTO CENTER SÃO JORGE",
                              "  /  /  ", "Identificação Assinatura de Recebedor", "Page 1"})
            QVERIFY2(t.contains(QString::fromUtf8(s)), qPrintable(QString::fromUtf8(s) + " in " + t.join('|')));
        QVERIFY(t.contains(QStringLiteral("Total de Itens:")));
        QVERIFY(t.contains(QStringLiteral("1,33")));   // 1 + 0,3333 items

        // Without a customer code nothing is printed.
        QVERIFY(!sales::prepareSaleForm(src.of(db.db, QStringLiteral(" ")), &error));
        QCOMPARE(error, QStringLiteral("Nenhum dado para impresão! "));
    }

    void theCustomerCodeIsBoundNeverPasted()
    {
        SaleDb db;
        db.add("tbCliente.DB", {{"Codigo", 1}, {"Nome", QStringLiteral("PRIMEIRO")}, {"CIC", QStringLiteral("111")}});
        // Pasted into the query, this text would select every customer.
        const QVariantMap c = printing::readCustomer(db.db, QStringLiteral("0 or 1=1"));
        QVERIFY(c.isEmpty());
        QCOMPARE(printing::readCustomer(db.db, QStringLiteral("1")).value(QStringLiteral("Cic")).toString(),
                 QStringLiteral("111"));
    }

    void theVoucher()
    {
        sales::Voucher v;
        v.valor = 150.5;
        v.extenso = QStringLiteral("Cento e Cinquenta Reais, e Cinquenta Centavos.");
        v.nome = QStringLiteral("JOSÉ DA SILVA");
        v.localData = QStringLiteral("CAMPINAS-SP, 08 de dezembro de 2026");
        v.obs = QStringLiteral("TROCA DE PASTILHA");
        v.em = QStringLiteral("Dinheiro");
        v.empresa = QStringLiteral("AUTO CENTER SÃO JORGE");
        QString error;
        const auto pages = sales::prepareVoucher(v, &error);
        QVERIFY2(pages, qPrintable(error));
        const QString text = pages->pageText(0);
        for (const QString &s : {QStringLiteral("BÔNUS TROCA E DEVOLUÇÕES "), QStringLiteral("*** R$ 150,50 ***"),
                                 QStringLiteral("Pague por este"), QStringLiteral("Vale a quantia de "),
                                 QStringLiteral("Dinheiro"), v.nome, v.localData, v.empresa,
                                 QStringLiteral("Obs: TROCA DE PASTILHA")})
            QVERIFY2(text.contains(s), qPrintable(s));
        QVERIFY(text.contains(QStringLiteral("*** Cento e Cinquenta Reais,")));
        QVERIFY(text.contains(QStringLiteral("Cinquenta Centavos. ***")));
    }
};

QTEST_MAIN(PrintoutsTest)
#include "test_printouts.moc"
