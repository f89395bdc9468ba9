#include "orders/OrderTotals.h"

#include <cmath>

namespace brelvo::orders {

using data::Dataset;
using data::Query;
using data::Table;

double roundMoney(double v)
{
    return std::round(v * 100.0) / 100.0;
}

struct OrderTotals::Impl {
    explicit Impl(data::DatabasePtr db) : sum(std::move(db))
    {
        sum.setSql(QStringLiteral("select sum(Qtd*ValorUni) as Soma from tbitemsordem where CodVenda=:vChave"));
    }
    Query sum;
};

OrderTotals::OrderTotals(data::DatabasePtr db) : d(std::make_unique<Impl>(std::move(db))) {}

OrderTotals::~OrderTotals() = default;

double OrderTotals::sumItems(qint64 orderChave)
{
    d->sum.close();
    d->sum.setParam(QStringLiteral("vChave"), orderChave);
    d->sum.open();
    const double s = d->sum.isEmpty() ? 0.0 : d->sum.asFloat(QStringLiteral("Soma"));
    d->sum.close();
    return s;
}

void OrderTotals::storeCurrentLine(Table &order, Table &items)
{
    // The lines point to the order's Chave: a new order is stored first.
    if (order.state() == Dataset::State::Insert)
        order.post();
    if (items.state() == Dataset::State::Edit || items.state() == Dataset::State::Insert)
        items.post();
    else if (items.isEmpty()) {
        items.append();
        items.post();
    }
}

void OrderTotals::totalizar(Table &order, Table &items)
{
    m_gross = 0;
    storeCurrentLine(order, items);
    const double sum = sumItems(order.asInteger(QStringLiteral("Chave")));
    // A stored order whose total is already right is not stored again.
    if (order.state() == Dataset::State::Browse && !order.isNull(QStringLiteral("Desconto"))
        && !order.isNull(QStringLiteral("VrTotal"))) {
        const double net = roundMoney(sum - order.asFloat(QStringLiteral("Desconto")));
        if (roundMoney(order.asFloat(QStringLiteral("VrTotal"))) == net) {
            m_gross = sum;
            m_last = net;
            return;
        }
    }
    if (order.state() == Dataset::State::Browse)
        order.edit();
    if (order.isNull(QStringLiteral("Desconto")))
        order.setValue(QStringLiteral("Desconto"), 0.0);
    const double net = roundMoney(sum - order.asFloat(QStringLiteral("Desconto")));
    order.setValue(QStringLiteral("VrTotal"), net);
    order.post();
    m_gross = sum;
    m_last = net;
}

void OrderTotals::totalSemDesconto(Table &order, Table &items)
{
    storeCurrentLine(order, items);
    const double sum = sumItems(order.asInteger(QStringLiteral("Chave")));
    if (order.state() == Dataset::State::Browse)
        order.edit();
    order.setValue(QStringLiteral("VrTotal"), roundMoney(sum));
    order.post();
    m_gross = sum;
    m_last = sum;
}

} // namespace brelvo::orders
