#pragma once
// SQL texts the subsystems run through ForwardQuery and Statement, named here
// so that every SQL text stays in this library. Written as for Query (table
// file names, :named parameters).

#include <QString>

namespace brelvo::data::sql {

// Sum of Qtd x ValorUni over the items of one sale. Parameter :link (the
// sale's Chave); one column, Soma (null when the sale has no item).
QString saleItemsTotal();

// The stock sums of one product in one row: entries, monitored exits of
// sales ("PV" headers) and of service orders ("PV"). Parameter :codigo; a
// sum is null when the product has no such movement.
QString productStockSums();

} // namespace brelvo::data::sql
