#include "sales/SalePrintouts.h"

#include "core/DialogService.h"
#include "core/Format.h"
#include "data/Dataset.h"
#include "printing/PrintPreview.h"
#include "printing/ReceiptWriter.h"
#include "printing/Report.h"

namespace brelvo::sales {

using core::dialogs;
using printing::Align;
using printing::Band;
using printing::Report;

namespace {

const QString kNoData = QStringLiteral("Nenhum dado para impresão! ");
const QString kNumber = QStringLiteral("0000");

bool hasSale(const SalePrintSource &s)
{
    return s.db && s.sale && s.sale->isOpen() && !s.sale->isEmpty();
}

std::vector<SaleLine> saleLines(const SalePrintSource &s)
{
    std::vector<SaleLine> lines;
    if (!s.items || !s.items->isOpen())
        return lines;
    for (const QVariantMap &row : printing::snapshotRows(
             *s.items, {QStringLiteral("CodBarra"), QStringLiteral("Descricao"), QStringLiteral("Qtd"),
                        QStringLiteral("ValorUni")})) {
        lines.push_back({row.value(QStringLiteral("CodBarra")).toDouble(),
                         row.value(QStringLiteral("Descricao")).toString(), row.value(QStringLiteral("Qtd")).toDouble(),
                         row.value(QStringLiteral("ValorUni")).toDouble()});
    }
    return lines;
}

void storePending(const SalePrintSource &s)
{
    if (s.storePending)
        s.storePending();
}

} // namespace

QByteArray saleReceiptBytes(const SaleReceiptData &d, bool daruma)
{
    const QString s50 = QStringLiteral("%-50s");
    printing::ReceiptWriter w;
    w.issuerHeader(d.issuer, daruma);
    w.documentHeader(QStringLiteral("Venda No....: ") + core::formatMask(kNumber, d.codVenda), d.now, d.cliente);
    for (const SaleLine &it : d.items)
        w.itemLine(it.qtd, it.descricao, it.valorUni, it.subTotal());
    w.separatorLine();
    w.totals(d.gross, d.desconto, d.vrVenda);
    w.line(s50, QStringLiteral("Forma Pagamento: ") + d.forPagamento);
    w.separatorLine();
    w.line(s50, QStringLiteral("VENDEDOR: ") + core::shortNumber(d.codVendedor) + QStringLiteral("     Operador(a).: ")
                    + d.operador);
    w.farewell();
    if (daruma)
        w.emptyLines(3).cut();
    else
        w.emptyLines(5);
    return w.bytes();
}

SaleReceiptData readSaleReceipt(const SalePrintSource &source, const QDateTime &now)
{
    data::Dataset &v = *source.sale;
    SaleReceiptData d;
    d.issuer = printing::readIssuer(source.db);
    d.codVenda = v.asFloat(QStringLiteral("CodVenda"));
    d.now = now;
    d.cliente = v.asString(QStringLiteral("NomeCliente"));
    d.items = saleLines(source);
    for (const SaleLine &it : d.items)
        d.gross += it.subTotal();
    d.desconto = v.asFloat(QStringLiteral("VLDesconto"));   // an empty discount counts as 0
    d.vrVenda = v.asFloat(QStringLiteral("VrVenda"));
    d.forPagamento = v.asString(QStringLiteral("ForPagamento"));
    d.codVendedor = v.asFloat(QStringLiteral("CodVendedor"));
    d.operador = source.operador;
    return d;
}

void printSaleReceipt(QWidget *parent, const SalePrintSource &source)
{
    try {
        if (!hasSale(source)) {
            dialogs().information(parent, QString(), kNoData);
            return;
        }
        printing::ReceiptPortSettings port;
        if (!printing::receiptPortReady(parent, source.db, &port))
            return;
        storePending(source);
        const bool daruma = port.isDaruma();
        const QByteArray bytes = saleReceiptBytes(readSaleReceipt(source, QDateTime::currentDateTime()), daruma);
        printing::sendReceipt(parent, port.porta, bytes,
                              daruma ? QStringLiteral("Impressão Enviada com Sucesso!")
                                     : QStringLiteral("Impressão Enviada com Sucesso!!!"));
    } catch (const data::DbError &e) {
        dialogs().error(parent, QStringLiteral("Erro"), e.message());
    }
}

// ------------------------------------------------------------------ A4 form

namespace {

class SaleFormBuilder {
public:
    SaleFormBuilder(Report &r, const SalePrintSource &s) : r(r), s(s)
    {
        r.setPage(printing::PageSetup::a4Portrait());
        r.page().setMargins(10);
        w = r.width();
        normal = r.font(9);
        bold = r.font(9, true);
        big = r.font(12, true);
        number = r.font(14, true);
        caption = r.font(7);
    }

    QString sale(const char *f) const { return s.sale->asString(QString::fromLatin1(f)); }
    QString customer(const char *f) const
    {
        const QVariant v = cust.value(QString::fromLatin1(f));
        if (v.isNull())
            return QString();
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
            return core::shortNumber(v.toDouble());
        return v.toString();
    }

    // A framed box with its caption above the value.
    void box(Band &b, double x, double y, double width, const QString &cap, const QString &value)
    {
        b.frame({x, y, width, 9});
        b.label({x + 1, y + 0.3, width - 2, 3.5}, cap, caption);
        b.label({x + 1, y + 4, width - 2, 4.5}, value, normal);
    }

    bool titleBand(QString *error)
    {
        Band &t = r.title();
        double x = 0;
        if (!logoPath.isEmpty()) {
            if (!t.picture({0, 0, 35, 26}).loadPicture(logoPath, error))
                return false;
            x = 38;
        }
        const printing::Issuer &is = issuer;
        const double cw = 136 - x;
        t.label({x, 0, cw, 6}, is.empresa, big);
        t.label({x, 6.5, cw, 4.5}, is.telefone + QStringLiteral("/") + is.telefone2 + QStringLiteral("  ") + is.site,
                normal);
        t.label({x, 11, cw, 4.5}, QStringLiteral("CNPJ:") + is.cnpj + QStringLiteral("/") + is.ie, normal);
        t.label({x, 15.5, cw, 4.5}, QStringLiteral("CEP:") + is.cep, normal);
        t.label({x, 20, cw, 4.5}, is.end, normal);
        t.label({x, 24.5, cw, 4.5}, is.cidade + QStringLiteral(",") + QStringLiteral("-") + is.uf, normal);
        t.frame({138, 0, w - 138, 20}, 0.4);
        t.label({138, 2, w - 138, 7}, numberText, number, Align::Center);
        t.label({138, 11, w - 138, 5}, QStringLiteral("Documento sem valor Fiscal"), bold, Align::Center);

        const QDateTime now = QDateTime::currentDateTime();
        double y = 31;
        box(t, 0, y, 50, QStringLiteral("Natureza da Operação"), QStringLiteral("Venda no Estado"));
        box(t, 50, y, 50, QStringLiteral("Condições de Pagamento"), sale("ForPagamento"));
        box(t, 100, y, 30, QStringLiteral("Vendedor"), sale("CodVendedor"));
        box(t, 130, y, w - 130, QStringLiteral("Usuário Sistema"), s.operador);
        y += 10;
        box(t, 0, y, 20, QStringLiteral("Codigo"), sale("CodCliente"));
        box(t, 20, y, 95, QStringLiteral("Nome Cliente"), sale("NomeCliente"));
        box(t, 115, y, 45, QStringLiteral("CPF / CNPJ"), customer("Cic"));
        box(t, 160, y, w - 160, QStringLiteral("Data de Emissão"), sale("DtVenda"));
        y += 10;
        box(t, 0, y, 90, QStringLiteral("Endereço"), customer("Endereco"));
        box(t, 90, y, 45, QStringLiteral("Bairro"), customer("CARRO"));
        box(t, 135, y, 25, QStringLiteral("CEP:"), customer("CEP"));
        box(t, 160, y, w - 160, QStringLiteral("Data de Recebimento"), core::dateText(now.date()));
        y += 10;
        box(t, 0, y, 60, QStringLiteral("Municipio"), customer("Cidade"));
        box(t, 60, y, 40, QStringLiteral("Telefone:"), customer("FONE"));
        box(t, 100, y, 15, QStringLiteral("UF"), customer("UF"));
        box(t, 115, y, 45, QStringLiteral("Insc. Estadual"), customer("Rg"));
        box(t, 160, y, w - 160, QStringLiteral("Hora de Saída"), now.time().toString(QStringLiteral("HH:mm:ss")));
        t.setHeight(y + 11);
        return true;
    }

    void itemBands()
    {
        Band &h = r.columnHeader();
        h.label({0, 0, 26, 4.5}, QStringLiteral("Código"), bold);
        h.label({27, 0, 88, 4.5}, QStringLiteral("Descrição"), bold);
        h.label({117, 0, 18, 4.5}, QStringLiteral("Qtd."), bold, Align::Right);
        h.label({137, 0, 25, 4.5}, QStringLiteral("Valor Unit."), bold, Align::Right);
        h.label({164, 0, w - 164, 4.5}, QStringLiteral("Valor Total"), bold, Align::Right);
        h.line({0, 5}, {w, 5});
        h.setHeight(6);

        Band &d = r.detail();
        d.field({0, 0, 26, 4.5}, QStringLiteral("CodBarra"), QStringLiteral("0000000000000"), normal);
        d.field({27, 0, 88, 4.5}, QStringLiteral("Descricao"), QString(), normal);
        d.field({117, 0, 18, 4.5}, QStringLiteral("Qtd"), QStringLiteral("0.00"), normal).setAlign(Align::Right);
        d.field({137, 0, 25, 4.5}, QStringLiteral("ValorUni"), QStringLiteral("#,##0.00"), normal)
            .setAlign(Align::Right);
        d.field({164, 0, w - 164, 4.5}, QStringLiteral("SubTotal"), QStringLiteral("#,##0.00"), normal)
            .setAlign(Align::Right);
        d.setHeight(5);
    }

    void summaryBand()
    {
        Band &f = r.summary();
        f.line({0, 1}, {w, 1});
        auto amount = [&](double y, const QString &cap) {
            f.label({120, y, 35, 4.5}, cap, bold);
            return QRectF(155, y, w - 155, 4.5);
        };
        f.label({0, 2, 30, 4.5}, QStringLiteral("Total de Itens:"), bold);
        f.sum({30, 2, 25, 4.5}, QStringLiteral("Qtd"), QStringLiteral("###0.00"), normal);
        f.sum(amount(2, QStringLiteral("SubTotal")), QStringLiteral("SubTotal"), QStringLiteral("R$ ###,##0.00"),
              normal)
            .setAlign(Align::Right);
        f.label(amount(7, QStringLiteral("Descontos:")), s.discountText, normal, Align::Right);
        f.label(amount(12, QStringLiteral("Valor Total:")), totalText, bold, Align::Right);
        f.label({0, 19, w, 4.5}, QStringLiteral("DADOS ADICIONAIS / OBS:"), bold);
        f.richText({0, 24, w, 4.5}, sale("Obs"), normal);
        f.frame({0, 31, w, 24});
        f.label({2, 32, 30, 4.5}, QStringLiteral("Recebi(emos) de"), normal);
        f.label({32, 32, 120, 4.5}, issuer.empresa, bold);
        f.label({2, 38, 40, 4}, QStringLiteral("Data de Recebimento"), caption);
        f.label({2, 43, 40, 4.5}, QStringLiteral("  /  /  "), normal);
        f.line({50, 48}, {150, 48});
        f.label({50, 49, 100, 4}, QStringLiteral("Identificação Assinatura de Recebedor"), caption, Align::Center);
        f.label({152, 40, w - 154, 6}, numberText, big, Align::Center);
        f.setHeight(56);
    }

    Report &r;
    const SalePrintSource &s;
    printing::Issuer issuer;
    QVariantMap cust;
    QString logoPath, numberText, totalText;
    double w = 190;
    int normal = 0, bold = 0, big = 0, number = 0, caption = 0;
};

} // namespace

std::optional<printing::PreparedReport> prepareSaleForm(const SalePrintSource &source, QString *error)
{
    if (!hasSale(source) || source.customerCodeText.trimmed().isEmpty()) {
        *error = kNoData;
        return std::nullopt;
    }
    storePending(source);
    Report report(QStringLiteral("Impressão c\\ Logo"));
    SaleFormBuilder b(report, source);
    b.issuer = printing::readIssuer(source.db);
    b.cust = printing::readCustomer(source.db, source.customerCodeText);
    b.logoPath = printing::readLogoPath(source.db);
    b.numberText = QStringLiteral("Nº ") + core::formatMask(kNumber, source.sale->asFloat(QStringLiteral("CodVenda")));
    b.totalText = core::formatMask(QStringLiteral("######0.00"), source.sale->asFloat(QStringLiteral("VrVenda")));

    Band &top = report.pageHeader();
    top.systemDate({0, 0, 25, 4});
    top.systemTime({25, 0, 25, 4});
    top.setHeight(5);
    if (!b.titleBand(error))
        return std::nullopt;
    b.itemBands();
    b.summaryBand();
    report.pageFooter().setHeight(6).pageNumber({b.w - 40, 1, 40, 4}, QStringLiteral("Page %1"), b.normal)
        .setAlign(Align::Right);

    std::vector<QVariantMap> rows;
    for (const SaleLine &it : saleLines(source))
        rows.push_back({{QStringLiteral("CodBarra"), it.codBarra},
                        {QStringLiteral("Descricao"), it.descricao},
                        {QStringLiteral("Qtd"), it.qtd},
                        {QStringLiteral("ValorUni"), it.valorUni},
                        {QStringLiteral("SubTotal"), it.subTotal()}});
    report.setRows(std::move(rows));
    return report.prepare();
}

void printSaleForm(QWidget *parent, const SalePrintSource &source)
{
    try {
        QString error;
        std::optional<printing::PreparedReport> pages = prepareSaleForm(source, &error);
        if (!pages) {
            if (error == kNoData)
                dialogs().information(parent, QString(), error);
            else
                dialogs().error(parent, QStringLiteral("Erro"), error);
            return;
        }
        printing::showPreview(*pages, parent);
    } catch (const data::DbError &e) {
        dialogs().error(parent, QStringLiteral("Erro"), e.message());
    }
}

// ------------------------------------------------------------------ voucher

QString voucherValueText(double valor)
{
    return QStringLiteral("*** ") + core::money(valor) + QStringLiteral(" ***");
}

QString voucherWordsText(const QString &extenso)
{
    return QStringLiteral("*** ") + extenso + QStringLiteral(" ***");
}

std::optional<printing::PreparedReport> prepareVoucher(const Voucher &v, QString *error)
{
    Report r(QStringLiteral("BÔNUS TROCA E DEVOLUÇÕES"));
    r.setPage(printing::PageSetup::a4Portrait());
    r.page().setMargins(10);
    const double w = r.width();
    const int normal = r.font(11);
    const int bold = r.font(11, true);
    const int head = r.font(15, true);
    Band &b = r.title();
    b.frame({0, 0, w, 100}, 0.5);
    b.label({5, 4, 118, 9}, QStringLiteral("BÔNUS TROCA E DEVOLUÇÕES "), head);
    b.label({124, 4, 3, 9}, QStringLiteral("|"), head);
    b.label({127, 4, w - 135, 9}, voucherValueText(v.valor), head, Align::Center);
    b.label({w - 8, 4, 3, 9}, QStringLiteral("|"), head);
    b.line({5, 14}, {w - 5, 14});
    b.label({5, 18, 40, 6}, QStringLiteral("Pague por este"), normal);
    b.label({5, 25, 40, 6}, QStringLiteral("Vale a quantia de "), normal);
    b.richText({45, 25, w - 50, 6}, voucherWordsText(v.extenso), bold);
    b.label({5, 38, 10, 6}, QStringLiteral("em"), normal);
    b.label({15, 38, 60, 6}, v.em, bold);
    b.label({5, 46, 10, 6}, QStringLiteral("A"), normal);
    b.label({15, 46, w - 20, 6}, v.nome, bold);
    b.label({w - 105, 56, 100, 6}, v.localData, normal, Align::Right);
    if (!v.logoPath.isEmpty() && !b.picture({5, 58, 45, 30}).loadPicture(v.logoPath, error))
        return std::nullopt;
    b.line({w - 95, 80}, {w - 5, 80});
    b.label({w - 95, 81, 90, 6}, v.empresa, bold, Align::Center);
    b.richText({5, 91, w - 10, 6}, QStringLiteral("Obs: ") + v.obs, normal);
    b.setHeight(102);
    return r.prepare();
}

} // namespace brelvo::sales
