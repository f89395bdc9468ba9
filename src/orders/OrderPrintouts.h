#pragma once
// Printouts of the current service order: the four page layouts, each shown
// in the print preview, and the text receipt written to the till printer's port.
// The order window calls these from its buttons and keys.

#include "data/Database.h"

#include <QString>

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
};

void printOrderLayout(QWidget *parent, const OrderPrintSource &source, OrderLayout layout);
void printOrderReceipt(QWidget *parent, const OrderPrintSource &source);

} // namespace brelvo::orders
