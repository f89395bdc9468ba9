#include "data/NamedSql.h"

namespace brelvo::data::sql {

QString saleItemsTotal()
{
    return QStringLiteral("select Sum(Qtd * ValorUni) as Soma from \"tbItems.DB\" where Link = :link");
}

} // namespace brelvo::data::sql
