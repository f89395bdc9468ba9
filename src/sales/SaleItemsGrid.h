#pragma once
// The grid of a sale's items, as the till and the exchanges window show it:
// "Código", "Descrição", "QT", "Unitário", "Total" (Qtd x ValorUni).

namespace brelvo::core { class DbGrid; }
namespace brelvo::data { class Dataset; }
class QWidget;

namespace brelvo::sales {

core::DbGrid *makeSaleItemsGrid(QWidget *parent, data::Dataset *items);

} // namespace brelvo::sales
