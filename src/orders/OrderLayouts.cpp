#include "orders/OrderLayouts.h"

#include "core/Format.h"
#include "printing/Report.h"

#include <QDate>
#include <QFontMetricsF>
#include <QImage>
#include <QTime>
#include <algorithm>

namespace brelvo::orders {

using printing::Align;
using printing::Band;
using printing::MapRows;
using printing::PageSetup;
using printing::Report;

OrderCaptions OrderCaptions::builtIn()
{
    return {QStringLiteral("Dados Do Veículo"), QStringLiteral("Modelo:"), QStringLiteral("Defeito Reclamado"),
            QStringLiteral("Obs:"), QStringLiteral("SERVIÇOS / PEÇAS")};
}

double itemsTotal(const std::vector<QVariantMap> &items)
{
    double sum = 0;
    for (const QVariantMap &it : items)
        sum += it.value(QStringLiteral("Qtd")).toDouble() * it.value(QStringLiteral("ValorUni")).toDouble();
    return sum;
}

namespace {

const QString kPrice = QStringLiteral("######0.00");

QString plain(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Int: case QMetaType::LongLong:
    case QMetaType::UInt: case QMetaType::ULongLong:
        return core::shortNumber(v.toDouble());
    case QMetaType::QDate:
        return core::dateText(v.toDate());
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm"));
    default:
        return v.toString();
    }
}

QString masked(const QVariant &v, const QString &mask)
{
    return v.isNull() || !v.isValid() ? QString() : core::formatMask(mask, v.toDouble());
}

// Texts of one layout, placed on its bands.
class LayoutBuilder {
public:
    LayoutBuilder(Report &r, const OrderPrintData &d, OrderLayout layout) : r(r), d(d), layout(layout)
    {
        r.setPage(PageSetup::a4Portrait());
        r.page().setMargins(10);
        w = r.width();
        normal = r.font(9);
        bold = r.font(9, true);
        big = r.font(12, true);
        heading = r.font(13, true);
        small = r.font(8);
        // Captions are measured as the report measures its texts.
        ref = QImage(1, 1, QImage::Format_Mono);
        ref.setDotsPerMeterX(qRound(1200 / 0.0254));
        ref.setDotsPerMeterY(qRound(1200 / 0.0254));
    }

    double textWidth(int font, const QString &text) const
    {
        return QFontMetricsF(r.fonts().at(size_t(font)), &ref).horizontalAdvance(text) * 25.4 / 1200;
    }

    QString order(const char *f) const { return plain(d.order.value(QString::fromLatin1(f))); }
    QString customer(const char *f) const { return plain(d.customer.value(QString::fromLatin1(f))); }

    // A caption in bold and its value after it, on one line; the caption
    // takes at least capW and never less than its text. Returns where the
    // value ends.
    double pair(Band &b, double x, double y, double capW, const QString &caption, const QString &value, double valW)
    {
        capW = std::max(capW, textWidth(bold, caption) + 1.5);
        valW = std::max(2.0, std::min(valW, w - x - capW));
        b.label({x, y, capW, 4.5}, caption, bold);
        b.label({x + capW, y, valW, 4.5}, value, normal);
        return x + capW + valW;
    }

    bool titleBand(QString *error);
    void customerBand();
    void itemBand();
    void summaryBand();

    Report &r;
    const OrderPrintData &d;
    OrderLayout layout;
    double w = 190;
    int normal = 0, bold = 0, big = 0, heading = 0, small = 0;
    QImage ref;
};

bool LayoutBuilder::titleBand(QString *error)
{
    Band &t = r.title();
    t.setHeight(33);
    double x = 0;
    if (!d.logoPath.isEmpty()) {
        printing::Element &logo = t.picture({0, 0, 40, 28});
        if (!logo.loadPicture(d.logoPath, error))
            return false;
        x = 44;
    }
    const printing::Issuer &is = d.issuer;
    const double cw = 140 - x;   // company block width, left of the date or attendant
    t.label({x, 0, cw, 6}, is.empresa, big);
    double next = pair(t, x, 7, 11, QStringLiteral("CNPJ:"), is.cnpj, 34);
    pair(t, next + 2, 7, 24, QStringLiteral("Insc. Estadual:"), is.ie, 40);
    t.label({x, 11.5, cw, 4.5}, is.end, normal);
    next = pair(t, x, 16, 9, QStringLiteral("Cep:"), is.cep, 22);
    t.label({next + 2, 16, cw - (next + 2 - x), 4.5}, is.cidade, normal);
    pair(t, x, 20.5, 16, QStringLiteral("Fone(s):"),
         is.telefone + QStringLiteral(" / ") + is.telefone2 + QStringLiteral(" / ") + is.telefone3, cw - 16);
    t.label({x, 25, cw, 4.5}, is.site, normal);
    if (layout == OrderLayout::DeliveryReceipt)
        pair(t, 142, 0, 18, QStringLiteral("Atendente:"), order("Atendente"), w);
    else
        pair(t, 142, 0, 23, QStringLiteral("Data Entrada:"), order("Data"), w);
    t.line({0, 31}, {w, 31}, 0.4);
    return true;
}

void LayoutBuilder::customerBand()
{
    const OrderCaptions &c = d.captions;
    Band &b = r.detail();
    QString prefix;
    switch (layout) {
    case OrderLayout::ServiceOrder: prefix = QStringLiteral("ORDEM DE SERVIÇO Nº "); break;
    case OrderLayout::QuoteWithValues:
    case OrderLayout::QuoteWithoutValues: prefix = QStringLiteral("ORÇAMENTO Nº "); break;
    case OrderLayout::DeliveryReceipt: prefix = QStringLiteral("RECIBO DE ENTREGA O.S Nº "); break;
    }
    double y = 0;
    b.label({0, y, w, 7}, prefix + masked(d.order.value(QStringLiteral("Codigo")), QStringLiteral("000000")),
            heading, Align::Center);
    y += 9;
    double x = pair(b, 0, y, 13, QStringLiteral("Código"), masked(d.order.value(QStringLiteral("CodCliente")),
                                                                    QStringLiteral("0000")), 14);
    x = pair(b, x, y, 13, QStringLiteral("Cliente"), order("NomeCliente"), 72);
    x = pair(b, x, y, 8, QStringLiteral("RG:"), customer("Rg"), 24);
    pair(b, x, y, 18, QStringLiteral("CPF/CNPJ:"), customer("Cic"), w);
    y += 5;
    x = pair(b, 0, y, 17, QStringLiteral("Endereço"), customer("Endereco"), 105);
    pair(b, x, y, 13, QStringLiteral("Bairro:"), customer("CARRO"), w);
    y += 5;
    x = pair(b, 0, y, 15, QStringLiteral("Celular:"), customer("Celular"), 33);
    x = pair(b, x, y, 17, QStringLiteral("Telefone:"), customer("FONE"), 33);
    x = pair(b, x, y, 13, QStringLiteral("Cidade"), customer("Cidade"), 48);
    pair(b, x, y, 8, QStringLiteral("UF:"), customer("UF"), w);
    y += 6;
    // The complaint and the remarks wrap and push the rest down.
    b.label({0, y, 40, 4.5}, c.dadosOS, bold);
    b.richText({40, y, w - 40, 4.5}, order("DefeitoReclama"), normal);
    y += 5;
    b.label({0, y, 40, 4.5}, c.obs, bold);
    b.richText({40, y, w - 40, 4.5}, order("Obs"), normal);
    y += 6;
    b.label({0, y, w, 5}, c.equipamento, big);
    b.line({0, y + 5.5}, {w, y + 5.5});
    y += 6.5;
    const bool noValues = layout == OrderLayout::QuoteWithoutValues;
    x = pair(b, 0, y, 20, c.nSerie, order("Modelo"), 35);
    x = pair(b, x, y, 20, QStringLiteral("Fabricante:"), order("Fabricante"), 30);
    x = pair(b, x, y, 12, QStringLiteral("Placa: "), order("Placa"), 19);
    x = pair(b, x, y, 9, QStringLiteral("Ano:"), order("AnoFabrica"), 11);
    pair(b, x, y, 20, noValues ? QStringLiteral("Ano Modelo") : QStringLiteral("Ano Modelo:"), order("Ano"), w);
    y += 5;
    if (layout == OrderLayout::DeliveryReceipt) {
        b.setHeight(y + 1);
        return;
    }
    if (!noValues) {
        pair(b, 0, y, 18, QStringLiteral("Km Atual:"), order("Km"), 30);
        y += 5;
    }
    y += 1;
    b.label({0, y, w, 5}, c.previsao, big);
    b.line({0, y + 5.5}, {w, y + 5.5});
    y += 6.5;
    switch (layout) {
    case OrderLayout::ServiceOrder:
        b.label({0, y, 20, 4.5}, QStringLiteral("Produto"), bold);
        b.label({20, y, 90, 4.5}, QStringLiteral("Descrição"), bold);
        b.label({112, y, 18, 4.5}, QStringLiteral("Qtd."), bold, Align::Right);
        b.label({132, y, 28, 4.5}, QStringLiteral("Preço unitario"), bold, Align::Right);
        b.label({162, y, 28, 4.5}, QStringLiteral("SubTotal"), bold, Align::Right);
        break;
    case OrderLayout::QuoteWithValues:
        b.label({0, y, 16, 4.5}, QStringLiteral("Qtd."), bold, Align::Right);
        b.label({20, y, 20, 4.5}, QStringLiteral("Produto"), bold);
        b.label({40, y, 90, 4.5}, QStringLiteral("Descrição"), bold);
        b.label({132, y, 28, 4.5}, QStringLiteral("Preço unitario"), bold, Align::Right);
        b.label({162, y, 28, 4.5}, QStringLiteral("SubTotal"), bold, Align::Right);
        break;
    default:
        b.label({0, y, 22, 4.5}, QStringLiteral("Quantidade"), bold, Align::Right);
        b.label({28, y, w - 28, 4.5}, QStringLiteral("Descrição"), bold);
        break;
    }
    b.line({0, y + 5}, {w, y + 5});
    b.setHeight(y + 5.5);
}

void LayoutBuilder::itemBand()
{
    if (layout == OrderLayout::DeliveryReceipt)
        return;
    printing::SubDetail &sd = r.addSubDetail();
    const std::vector<QVariantMap> items = d.items;
    sd.rows = [items](const printing::RowContext &) { return std::make_unique<MapRows>(items); };
    Band &b = sd.band;
    b.setHeight(5);
    const QString qtd = QStringLiteral("Qtd"), desc = QStringLiteral("Descricao"), uni = QStringLiteral("ValorUni");
    auto subTotal = [](const printing::RowContext &c) {
        return QVariant(c.value(QStringLiteral("Qtd")).toDouble() * c.value(QStringLiteral("ValorUni")).toDouble());
    };
    switch (layout) {
    case OrderLayout::ServiceOrder:
        b.field({0, 0, 110, 4.5}, desc, QString(), normal);
        b.field({112, 0, 18, 4.5}, qtd, QString(), normal).setAlign(Align::Right);
        b.field({132, 0, 28, 4.5}, uni, kPrice, normal).setAlign(Align::Right);
        b.expression({162, 0, 28, 4.5}, subTotal, kPrice, normal).setAlign(Align::Right);
        break;
    case OrderLayout::QuoteWithValues:
        b.field({0, 0, 16, 4.5}, qtd, QString(), normal).setAlign(Align::Right);
        b.field({20, 0, 110, 4.5}, desc, QString(), normal);
        b.field({132, 0, 28, 4.5}, uni, kPrice, normal).setAlign(Align::Right);
        b.expression({162, 0, 28, 4.5}, subTotal, kPrice, normal).setAlign(Align::Right);
        break;
    default:
        b.field({0, 0, 22, 4.5}, qtd, QString(), normal).setAlign(Align::Right);
        b.field({28, 0, w - 28, 4.5}, desc, QString(), normal);
        break;
    }
}

void LayoutBuilder::summaryBand()
{
    Band &s = r.summary();
    const double gross = itemsTotal(d.items);
    const QVariant descontoV = d.order.value(QStringLiteral("Desconto"));
    const double desconto = descontoV.toDouble();
    const QString money = QStringLiteral("###,##0.00");
    auto amountLine = [&](double y, const QString &caption, const QString &prefix, const QString &value, int font) {
        s.label({112, y, 38, 4.5}, caption, bold);
        if (!prefix.isEmpty())
            s.label({150, y, 8, 4.5}, prefix, font);
        s.label({158, y, 32, 4.5}, value, font, Align::Right);
    };
    auto forecast = [&](double y) {
        double x = pair(s, 0, y, 37, QStringLiteral("Previsão de Entrega:"), order("DataEntrega"), 20);
        pair(s, x, y, 6, QStringLiteral("às"), order("HoraEntrega"), 15);
    };
    s.line({0, 1}, {w, 1});
    switch (layout) {
    case OrderLayout::ServiceOrder: {
        amountLine(2, QStringLiteral("SubTotal"), QStringLiteral("R$"), core::formatMask(money, gross), normal);
        amountLine(7, QStringLiteral("Descontos"), QStringLiteral("R$"), masked(descontoV, money), normal);
        amountLine(12, QStringLiteral("Valor à Pagar:"), QStringLiteral("R$"), core::formatMask(money, gross - desconto),
                   bold);
        forecast(18);
        pair(s, 0, 23, 19, QStringLiteral("Atendente:"), order("Atendente"), 80);
        s.richText({0, 29, w, 4.5}, d.mensagem1, small);
        s.label({0, 37, w, 4.5}, QStringLiteral("Recebemos: _______/_______/______"), normal);
        s.line({55, 50}, {w - 55, 50});
        s.label({55, 51, w - 110, 4.5}, QStringLiteral("Assinatura do Cliente"), normal, Align::Center);
        s.label({0, 56, w, 4.5}, d.issuer.empresa, bold, Align::Center);
        s.setHeight(61);
        break;
    }
    case OrderLayout::QuoteWithValues:
        amountLine(2, QStringLiteral("SubTotal"), QString(), core::formatMask(QStringLiteral("R$ ###,##0.00"), gross),
                   normal);
        amountLine(7, QStringLiteral("Descontos"), QString(), masked(descontoV, QStringLiteral("R$ ####,##0.00")),
                   normal);
        amountLine(12, QStringLiteral("Valor Total:"), QString(), core::formatMask(money, gross - desconto), bold);
        pair(s, 0, 18, 47, QStringLiteral("Validade Desse Orçamento :"), order("DataEntrega"), 25);
        pair(s, 0, 23, 19, QStringLiteral("Atendente:"), order("Atendente"), 80);
        s.label({0, 30, w, 6}, QStringLiteral("NÃO TEM VALOR FISCAL"), heading, Align::Center);
        s.setHeight(37);
        break;
    case OrderLayout::QuoteWithoutValues:
        pair(s, 0, 3, 47, QStringLiteral("Validade Desse Orçamento :"), order("DataEntrega"), 25);
        pair(s, 0, 8, 19, QStringLiteral("Atendente:"), order("Atendente"), 80);
        s.label({0, 15, w, 6}, QStringLiteral("NÃO TEM VALOR FISCAL"), heading, Align::Center);
        s.setHeight(22);
        break;
    case OrderLayout::DeliveryReceipt:
        forecast(3);
        s.richText({0, 9, w, 4.5}, d.mensagem2, small);
        s.setHeight(15);
        break;
    }
}

} // namespace

bool buildOrderLayout(Report &report, const OrderPrintData &data, OrderLayout layout, QString *error)
{
    LayoutBuilder b(report, data, layout);
    if (!b.titleBand(error))
        return false;
    b.customerBand();
    b.itemBand();
    b.summaryBand();
    report.setRows(std::vector<QVariantMap>{data.order});
    return true;
}

} // namespace brelvo::orders
