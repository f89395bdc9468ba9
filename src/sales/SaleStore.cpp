#include "sales/SaleStore.h"

#include "data/NamedSql.h"
#include "data/Statement.h"

namespace brelvo::sales {

QVariant lastSaleFinalizada(const data::DatabasePtr &db)
{
    data::Table t(db, QStringLiteral("tbVendas.db"));
    t.open();
    t.last();
    return t.isEmpty() ? QVariant() : t.value(QStringLiteral("Finalizada"));
}

SaleSum::SaleSum(data::DatabasePtr db)
    : m_query(std::make_unique<data::ForwardQuery>(std::move(db), data::sql::saleItemsTotal()))
{
}

SaleSum::~SaleSum() = default;

double SaleSum::itemsTotal(qint64 saleKey)
{
    m_query->setParam(QStringLiteral("link"), saleKey);
    return m_query->scalar().toDouble();
}

} // namespace brelvo::sales
