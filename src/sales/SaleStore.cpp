#include "sales/SaleStore.h"

#include "data/Transaction.h"

namespace brelvo::sales {

namespace {
const QString kVendas = QStringLiteral("tbVendas.db");

// The sale row added last, read through a cursor of its own.
template <typename Fn>
auto withLastSale(const data::DatabasePtr &db, Fn fn)
{
    data::Table t(db, kVendas);
    t.open();
    t.last();
    return fn(t);
}
} // namespace

qint64 nextSaleNumber(const data::DatabasePtr &db)
{
    return withLastSale(db, [](data::Table &t) {
        return t.isEmpty() ? qint64(1) : qint64(t.asFloat(QStringLiteral("CodVenda"))) + 1;
    });
}

void postNewSale(data::Table &vendas)
{
    data::Transaction tx(*vendas.database());
    vendas.setValue(QStringLiteral("CodVenda"), double(nextSaleNumber(vendas.database())));
    vendas.post();
    tx.commit();
}

void deleteSale(data::Table &vendas)
{
    if (vendas.isEmpty())
        return;
    const qint64 chave = vendas.asInteger(QStringLiteral("Chave"));
    data::Transaction tx(*vendas.database());
    data::Query items(vendas.database());
    items.setSql(QStringLiteral("delete from tbItems where Link = :link"));
    items.setParam(QStringLiteral("link"), chave);
    items.execSql();
    vendas.remove();
    tx.commit();
}

QVariant lastSaleFinalizada(const data::DatabasePtr &db)
{
    return withLastSale(db, [](data::Table &t) {
        return t.isEmpty() ? QVariant() : t.value(QStringLiteral("Finalizada"));
    });
}

SaleSum::SaleSum(data::DatabasePtr db) : m_query(std::make_unique<data::Query>(std::move(db)))
{
    m_query->setSql(QStringLiteral("select Sum(Qtd * ValorUni) as Soma from tbItems where Link = :link"));
}

SaleSum::~SaleSum() = default;

double SaleSum::itemsTotal(qint64 saleKey)
{
    m_query->setParam(QStringLiteral("link"), saleKey);
    m_query->open();
    const double total = m_query->isEmpty() ? 0.0 : m_query->asFloat(QStringLiteral("Soma"));
    m_query->close();
    return total;
}

} // namespace brelvo::sales
