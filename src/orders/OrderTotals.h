#pragma once
// The totals of a service order: the sum of its lines (Qtd x ValorUni), the
// discount and the stored total VrTotal = sum - Desconto. The order window
// runs totalizar after nearly every action; the discount panel shows the
// total without discount while it is open.

#include "data/Dataset.h"

#include <memory>

namespace brelvo::orders {

class OrderTotals {
public:
    explicit OrderTotals(data::DatabasePtr db);
    ~OrderTotals();
    OrderTotals(const OrderTotals &) = delete;
    OrderTotals &operator=(const OrderTotals &) = delete;

    // Stores the current line (an order without lines gets one blank line),
    // sums the lines and stores VrTotal = sum - Desconto on the order. An
    // empty Desconto becomes 0,00 and the total is still stored.
    void totalizar(data::Table &order, data::Table &items);
    // Stores the current line, sums the lines and stores VrTotal = sum (the
    // discount is left as it is).
    void totalSemDesconto(data::Table &order, data::Table &items);

    // Sum of Qtd x ValorUni of the lines of the order with that Chave.
    double sumItems(qint64 orderChave);

    // As of the last totalisation: the sum of the lines, and the total the
    // discount limit is computed from (net after totalizar, gross after
    // totalSemDesconto).
    double gross() const { return m_gross; }
    double lastTotal() const { return m_last; }

private:
    void storeCurrentLine(data::Table &order, data::Table &items);
    struct Impl;
    std::unique_ptr<Impl> d;
    double m_gross = 0;
    double m_last = 0;
};

// Money rounded to the cent.
double roundMoney(double v);

} // namespace brelvo::orders
