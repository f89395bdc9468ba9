#include "data/NamedSql.h"

namespace brelvo::data::sql {

QString saleItemsTotal()
{
    return QStringLiteral("select Sum(Qtd * ValorUni) as Soma from \"tbItems.DB\" where Link = :link");
}

QString productStockSums()
{
    return QStringLiteral(
        "SELECT (SELECT Sum(Qtd) FROM \"tbReposicao.DB\" WHERE Codigo = :codigo),"
        " (SELECT Sum(i.Qtd) FROM \"tbItems.DB\" i, \"tbVendas.db\" v"
        "   WHERE i.CodBarra = :codigo and i.Monitorar = 'S' and v.VenOs = 'PV' and v.Chave = i.Link),"
        " (SELECT Sum(i.Qtd) FROM \"tbitemsordem.db\" i, \"TOrdemServico.DB\" o"
        "   WHERE i.CodBarra = :codigo and i.Monitorar = 'S' and o.OsOc = 'PV' and o.Chave = i.CodVenda)");
}

} // namespace brelvo::data::sql
