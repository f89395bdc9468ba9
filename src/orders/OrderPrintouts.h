#pragma once
// Printouts of the current service order: the four page layouts, each shown
// in the print preview, and the text receipt written to the till printer's port.
// The order window calls these from its buttons and keys.

#include "data/Database.h"

#include "printing/PageModel.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace brelvo::data {
class Dataset;
}

namespace brelvo::orders {

enum class OrderLayout { ServiceOrder, QuoteWithValues, QuoteWithoutValues, DeliveryReceipt };

// What a printout reads of the order window: its database, the order row the
// cursor stands on, the order's item rows, and the customer-code box as typed.
struct OrderPrintSource {
    data::DatabasePtr db;
    data::Dataset *order = nullptr;
    data::Dataset *items = nullptr;
    QString customerCodeText;
    // The window's totalizar (stores the current item row and the order's
    // total); the receipt runs it before reading the totals. A DbError it
    // throws is shown and nothing is printed. May be empty.
    std::function<void()> totalize;
};

void printOrderLayout(QWidget *parent, const OrderPrintSource &source, OrderLayout layout);
void printOrderReceipt(QWidget *parent, const OrderPrintSource &source);

// The pages of a layout as the preview shows them. Without a customer code,
// or with a logo that cannot be read, nothing: *error gets the message.
std::optional<printing::PreparedReport> prepareOrderLayout(const OrderPrintSource &source, OrderLayout layout,
                                                           QString *error);

// The bytes of the text receipt of the current order, printed at `now`;
// daruma adds the paper cut at the end.
QByteArray orderReceiptBytes(const OrderPrintSource &source, bool daruma, const QDateTime &now);

} // namespace brelvo::orders
