#pragma once
// What the sale windows read about sales outside their cursors. Numbering and
// deleting are the data layer's: tbVendas.db draws CodVenda when a new row is
// posted (the number of the sale added last + 1) and deletes a sale's items
// with it (Table::remove).

#include "data/Dataset.h"

#include <memory>

namespace brelvo::data { class ForwardQuery; }

namespace brelvo::sales {

// `Finalizada` of the sale row added last: null when there is no sale.
QVariant lastSaleFinalizada(const data::DatabasePtr &db);

// Sum of Qtd x ValorUni over the items of one sale (its Chave), read from
// the stored rows with one indexed query prepared once.
class SaleSum {
public:
    explicit SaleSum(data::DatabasePtr db);
    ~SaleSum();
    double itemsTotal(qint64 saleKey);

private:
    std::unique_ptr<data::ForwardQuery> m_query;
};

} // namespace brelvo::sales
