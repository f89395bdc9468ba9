#include "orders/OrderPrintouts.h"

#include "core/DialogService.h"

namespace brelvo::orders {

// The layouts and the receipt are not written yet: the operator is told so.
void printOrderLayout(QWidget *parent, const OrderPrintSource &, OrderLayout)
{
    core::dialogs().information(parent, QString(), QStringLiteral("Em desenvolvimento"));
}

void printOrderReceipt(QWidget *parent, const OrderPrintSource &)
{
    core::dialogs().information(parent, QString(), QStringLiteral("Em desenvolvimento"));
}

} // namespace brelvo::orders
