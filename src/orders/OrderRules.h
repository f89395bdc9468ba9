#pragma once
// Rules of the service orders that need no window: the coded lists, the
// stock test, the discount limit, the change, the texts built from values,
// and the typed numbers the boxes accept.

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace brelvo::orders {

// An order is finalised exactly when Andamento is this text.
inline const QString kFinalizado = QStringLiteral("FINALIZADO");
inline const QString kEmAberto = QStringLiteral("EM ABERTO");
inline const QString kServiceOrder = QStringLiteral("PV");
inline const QString kQuote = QStringLiteral("OC");

// The nine states of the order window's progress box, in its order
// ("FINALIZADO" is not among them).
QStringList progressStates();
// The ten states of the search window's list, in its order.
QStringList searchStates();

struct PaymentMethod {
    QString code;       // stored in ForPagamento
    QString caption;    // shown
};
// The twelve payment methods in their order.
QList<PaymentMethod> paymentMethods();

// Stock test before a line is added: true when the available stock is at
// least 1, or the product is not monitored, or it may be sold without stock.
// The quantity asked for is not compared with the stock.
bool mayAddProduct(double available, const QString &monitorarEstq, const QString &permiteVenda);

// Largest discount allowed: total x percent / 100.
double discountLimit(double lastTotal, double limitPercent);
// True when the discount does not exceed the limit (to the cent).
bool discountAllowed(double discount, double lastTotal, double limitPercent);

// Change for the customer: received - total (negative when short).
double change(double received, double total);

// "Remover Item: <descricao>?   Total de R$ <subtotal as a plain number> ?"
QString removalText(const QString &descricao, double subtotal);

// Numbers typed into the boxes (quantity, discount, received amount,
// mechanic code). Empty or unreadable text gives nullopt and a Portuguese
// message naming the box.
std::optional<double> parseTyped(const QString &text, const QString &what, QString *message);
// A whole number (mechanic code, order number).
std::optional<qint64> parseWhole(const QString &text, const QString &what, QString *message);

// Text colour of a search-grid row for its state; invalid for the grid's normal colour.
QColor progressColour(const QString &andamento);
// The states with a colour, in the legend's order.
QStringList colouredStates();

} // namespace brelvo::orders
