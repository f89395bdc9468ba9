#pragma once
// The till's rules that need no window: payment methods, the stock test of a
// new item, the discount limit, the change, and the voucher's place and date.

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace brelvo::sales {

// Payment methods as the payment panel offers them (captions) and as
// tbVendas.db `ForPagamento` stores them (codes), in the same order.
QStringList paymentCaptions();
QStringList paymentCodes();

// What the stock test says about a new item.
enum class StockVerdict {
    Add,            // add the item
    MoreThanStock,  // more than the stock on hand
    NoStock,        // no stock, and the product may not be sold without it
};

// The stock test of a new item of `qtd` units whose availability (entries
// less sale exits) is `availability`. A fractional quantity (a sale by weight
// or measure) is never tested; a service (MonitorarEstq "N") or a product
// that may be sold without stock (PermiteVenda "S") passes when there is none.
StockVerdict checkStock(double qtd, double availability, const QString &monitorarEstq, const QString &permiteVenda);
bool hasFraction(double qtd);

// The largest discount allowed on a sale total: total x percent / 100. A
// discount passes when it is not negative and, in cents, not above the limit.
double discountLimit(double saleTotal, double percent);
bool discountAllowed(double discount, double saleTotal, double percent);

// A typed quantity: a number above zero. On failure *error gets the message.
std::optional<double> parseQuantity(const QString &text, QString *error);

// Change shown to the operator: received less the sale total as displayed
// ("######0.00"), with the mask "########0.00". Empty received text gives
// "0,00"; text that is not a number gives nothing (the display keeps its text).
std::optional<QString> changeText(const QString &received, double saleTotal);

// Rounds to cents, as amounts are shown and compared.
double cents(double value);

// "CAMPINAS-SP, 08 de dezembro de 2026".
QString placeAndDate(const QString &cidade, const QString &uf, const QDate &date);

// The messages the till shows more than once.
namespace msg {
QString vendaJaFinalizada();        // "Venda Ja finalizada não é Possivel Modificações!"
QString vendaFinalizadaCodigo();    // on typing a code into a finalised sale
QString descontoNaoPermitido();
QString fecharCaixa();              // closing with an open sale
} // namespace msg

} // namespace brelvo::sales
