#pragma once
// How sales are numbered, summed and deleted. Each of these lives here once,
// so that the windows never number or delete a sale any other way.

#include "data/Dataset.h"

#include <memory>

namespace brelvo::sales {

// The number a sale started now would get: the number of the row added last
// (highest Chave) plus one; 1 for an empty table. Provisional: the number a
// sale keeps is drawn by postNewSale.
qint64 nextSaleNumber(const data::DatabasePtr &db);

// Posts a new sale row (the cursor in insert); its CodVenda is drawn here,
// inside the write transaction that stores the row, so that two tills
// starting sales at once never share a number. Throws DbError.
void postNewSale(data::Table &vendas);

// Deletes the cursor's current sale together with every one of its item
// rows, in one transaction: all of it or, on failure, nothing. Throws DbError.
void deleteSale(data::Table &vendas);

// `Finalizada` of the sale row added last: null when there is no sale.
QVariant lastSaleFinalizada(const data::DatabasePtr &db);

// Sum of Qtd x ValorUni over the items of one sale (its Chave), read from
// the stored rows with one indexed query.
class SaleSum {
public:
    explicit SaleSum(data::DatabasePtr db);
    ~SaleSum();
    double itemsTotal(qint64 saleKey);

private:
    std::unique_ptr<data::Query> m_query;
};

} // namespace brelvo::sales
