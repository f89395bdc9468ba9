#include "sales/SaleItemsGrid.h"

#include "core/DatasetModel.h"
#include "core/Widgets.h"

#include <QHeaderView>

namespace brelvo::sales {

core::DbGrid *makeSaleItemsGrid(QWidget *parent, data::Dataset *items)
{
    using core::GridColumn;
    const QString qtd = QStringLiteral("Qtd"), valorUni = QStringLiteral("ValorUni");
    core::DbGrid *g = core::makeGrid(
        parent, items, QStringLiteral("DBGrid1"),
        {GridColumn::make(QStringLiteral("CodBarra"), QStringLiteral("Código"), 14, QStringLiteral("0000000000000")),
         GridColumn::make(QStringLiteral("Descricao"), QStringLiteral("Descrição"), 30),
         GridColumn::make(qtd, QStringLiteral("QT"), 7, QStringLiteral("0.00")),
         GridColumn::make(valorUni, QStringLiteral("Unitário"), 10, QStringLiteral("#,##0.00")),
         GridColumn::calculated(
             QStringLiteral("Total"),
             [qtd, valorUni](const data::Dataset &d) { return QVariant(d.asFloat(qtd) * d.asFloat(valorUni)); },
             QStringLiteral("#,##0.00"), 10)});
    // The whole 13-digit code shows; the description takes the spare width.
    QHeaderView *h = g->horizontalHeader();
    h->setStretchLastSection(false);
    h->resizeSection(0, g->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 16);
    h->setSectionResizeMode(1, QHeaderView::Stretch);
    return g;
}

} // namespace brelvo::sales
