#include "orders/OrderPrintouts.h"

#include "core/DialogService.h"
#include "core/Format.h"
#include "data/Dataset.h"
#include "orders/OrderLayouts.h"
#include "printing/PrintPreview.h"
#include "printing/ReceiptWriter.h"
#include "printing/Report.h"

namespace brelvo::orders {

using core::dialogs;

namespace {

const QString kNoData = QStringLiteral("Nenhum dado para impresão! ");

bool hasOrder(const OrderPrintSource &s)
{
    return s.db && s.order && s.order->isOpen() && !s.order->isEmpty();
}

// The order's item rows that carry something: the blank row an order without
// items is given is left out.
std::vector<QVariantMap> itemRows(const OrderPrintSource &s)
{
    std::vector<QVariantMap> rows;
    if (!s.items)
        return rows;
    for (QVariantMap &row : printing::snapshotRows(
             *s.items, {QStringLiteral("CodBarra"), QStringLiteral("Qtd"), QStringLiteral("ValorUni"),
                        QStringLiteral("Descricao")})) {
        if (row.value(QStringLiteral("CodBarra")).isNull()
            && row.value(QStringLiteral("Descricao")).toString().trimmed().isEmpty())
            continue;
        rows.push_back(std::move(row));
    }
    return rows;
}

// The captions row; when the four main captions are all empty the form's
// own captions are kept, as the order window does.
OrderCaptions readCaptions(const data::DatabasePtr &db)
{
    data::Table t(db, QStringLiteral("tbCamposRef.db"));
    t.open();
    t.first();
    if (t.eof())
        return OrderCaptions::builtIn();
    OrderCaptions c{t.asString(QStringLiteral("Equipamento")), t.asString(QStringLiteral("NSerie")),
                    t.asString(QStringLiteral("DadosOS")), t.asString(QStringLiteral("Obs")),
                    t.asString(QStringLiteral("Previsao"))};
    if (c.equipamento.isEmpty() && c.nSerie.isEmpty() && c.previsao.isEmpty() && c.dadosOS.isEmpty())
        return OrderCaptions::builtIn();
    return c;
}

QVariantMap orderRow(data::Dataset &order)
{
    QVariantMap row;
    for (const char *f : {"Codigo", "Data", "CodCliente", "NomeCliente", "DefeitoReclama", "Obs", "Modelo",
                          "Fabricante", "Placa", "AnoFabrica", "Ano", "Km", "DataEntrega", "HoraEntrega",
                          "Atendente", "Desconto", "CodVendedor", "VrTotal"}) {
        const QString name = QString::fromLatin1(f);
        row.insert(name, order.hasField(name) ? order.value(name) : QVariant());
    }
    return row;
}

QString layoutTitle(OrderLayout layout)
{
    switch (layout) {
    case OrderLayout::ServiceOrder: return QStringLiteral("Ordem de Serviço");
    case OrderLayout::QuoteWithValues: return QStringLiteral("Orçamento");
    case OrderLayout::QuoteWithoutValues: return QStringLiteral("Orçamento sem valores");
    case OrderLayout::DeliveryReceipt: return QStringLiteral("Recibo de Entrega");
    }
    return QString();
}

} // namespace

std::optional<printing::PreparedReport> prepareOrderLayout(const OrderPrintSource &source, OrderLayout layout,
                                                           QString *error)
{
    if (!hasOrder(source) || source.customerCodeText.trimmed().isEmpty()) {
        *error = kNoData;
        return std::nullopt;
    }
    OrderPrintData d;
    d.order = orderRow(*source.order);
    d.customer = printing::readCustomer(source.db, source.customerCodeText);
    d.issuer = printing::readIssuer(source.db);
    d.captions = readCaptions(source.db);
    {
        data::Table m(source.db, QStringLiteral("tb_mensagems.db"));
        m.open();
        m.first();
        if (!m.eof()) {
            d.mensagem1 = m.asString(QStringLiteral("Mensagem1"));
            d.mensagem2 = m.asString(QStringLiteral("Mensagem2"));
        }
    }
    if (layout != OrderLayout::DeliveryReceipt)
        d.items = itemRows(source);
    d.logoPath = printing::readLogoPath(source.db);

    const QString number = core::formatMask(QStringLiteral("000000"), d.order.value(QStringLiteral("Codigo")).toDouble());
    printing::Report report(layoutTitle(layout) + QLatin1Char(' ') + number);
    if (!buildOrderLayout(report, d, layout, error))
        return std::nullopt;
    return report.prepare();
}

void printOrderLayout(QWidget *parent, const OrderPrintSource &source, OrderLayout layout)
{
    try {
        QString error;
        std::optional<printing::PreparedReport> pages = prepareOrderLayout(source, layout, &error);
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

QByteArray orderReceiptBytes(const OrderPrintSource &source, bool daruma, const QDateTime &now)
{
    data::Dataset &o = *source.order;
    printing::ReceiptWriter w;
    w.issuerHeader(printing::readIssuer(source.db));
    w.documentHeader(QStringLiteral("O.S No......: ")
                         + core::formatMask(QStringLiteral("000000"), o.asFloat(QStringLiteral("Codigo"))),
                     now, o.asString(QStringLiteral("NomeCliente")));
    const std::vector<QVariantMap> items = itemRows(source);
    for (const QVariantMap &it : items) {
        const double qtd = it.value(QStringLiteral("Qtd")).toDouble();
        const double uni = it.value(QStringLiteral("ValorUni")).toDouble();
        w.itemLine(qtd, it.value(QStringLiteral("Descricao")).toString(), uni, qtd * uni);
    }
    w.separatorLine();
    const double gross = itemsTotal(items);
    const double desconto = o.asFloat(QStringLiteral("Desconto"));   // empty counts as 0
    w.totals(gross, desconto, gross - desconto);
    w.line(QStringLiteral("%-50s"), QStringLiteral("VENDEDOR: ") + core::shortNumber(o.asFloat(QStringLiteral("CodVendedor")))
                                        + QStringLiteral("     Atendente....: ") + o.asString(QStringLiteral("Atendente")));
    w.farewell();
    w.emptyLines(5);
    if (daruma)
        w.cut();
    return w.bytes();
}

void printOrderReceipt(QWidget *parent, const OrderPrintSource &source)
{
    try {
        if (!hasOrder(source)) {
            dialogs().information(parent, QString(), kNoData);
            return;
        }
        printing::ReceiptPortSettings port;
        if (!printing::receiptPortReady(parent, source.db, &port))
            return;
        if (source.totalize)
            source.totalize();
        const QByteArray bytes = orderReceiptBytes(source, port.isDaruma(), QDateTime::currentDateTime());
        printing::sendReceipt(parent, port.porta, bytes, QStringLiteral("Impressão Enviada com Sucesso!!!"));
    } catch (const data::DbError &e) {
        dialogs().error(parent, QStringLiteral("Erro"), e.message());
    }
}

} // namespace brelvo::orders
