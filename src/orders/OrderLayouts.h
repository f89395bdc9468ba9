#pragma once
// The four page layouts of a service order, built from what was read of the
// order, its customer and the settings rows.

#include "orders/OrderPrintouts.h"
#include "printing/PrintData.h"

#include <QVariantMap>
#include <vector>

namespace brelvo::printing { class Report; }

namespace brelvo::orders {

// Labels of the order the installation may rename (tbCamposRef.db).
struct OrderCaptions {
    QString equipamento, nSerie, dadosOS, obs, previsao;
    // The form's own captions.
    static OrderCaptions builtIn();
};

struct OrderPrintData {
    QVariantMap order;                 // the order row
    QVariantMap customer;              // the customer row (empty when not found)
    printing::Issuer issuer;
    OrderCaptions captions;
    QString mensagem1, mensagem2;      // footers of the service order / delivery receipt
    std::vector<QVariantMap> items;    // Qtd, ValorUni, Descricao; blank rows left out
    QString logoPath;
};

// Sum of Qtd x ValorUni over the items.
double itemsTotal(const std::vector<QVariantMap> &items);

// Fills the report with the layout. False with *error when the logo cannot be read.
bool buildOrderLayout(printing::Report &report, const OrderPrintData &data, OrderLayout layout, QString *error);

} // namespace brelvo::orders
