#include "stock/StockBalance.h"

#include "data/NamedSql.h"
#include "data/Statement.h"

#include <QVariant>

namespace brelvo::stock {

using data::DbError;

QString StockBalance::refreshAllSql()
{
    // Each movement table is summed once and looked up by code for every
    // product. An item counts only when its header is a "PV" row; rather than
    // probing the header of each of a million items, the few header keys that
    // are not "PV" (or have no header at all) are gathered first, and their
    // items' sums are taken off the sums of all monitored items.
    return QStringLiteral(
        "WITH e(Codigo, Soma) AS MATERIALIZED"
        "   (SELECT Codigo, Sum(Qtd) FROM \"tbReposicao.DB\" GROUP BY Codigo),"
        " sBad(Link) AS MATERIALIZED"
        "   (SELECT Link FROM (SELECT DISTINCT Link FROM \"tbItems.DB\") l"
        "    WHERE NOT EXISTS (SELECT 1 FROM \"tbVendas.db\" v WHERE v.Chave = l.Link AND v.VenOs = 'PV')),"
        " s(CodBarra, Soma) AS MATERIALIZED"
        "   (SELECT CodBarra, Sum(Qtd) FROM \"tbItems.DB\" WHERE Monitorar = 'S' AND Link IS NOT NULL GROUP BY CodBarra),"
        " sOff(CodBarra, Soma) AS MATERIALIZED"
        "   (SELECT CodBarra, Sum(Qtd) FROM \"tbItems.DB\""
        "    WHERE Monitorar = 'S' AND Link IN (SELECT Link FROM sBad) GROUP BY CodBarra),"
        " oBad(CodVenda) AS MATERIALIZED"
        "   (SELECT CodVenda FROM (SELECT DISTINCT CodVenda FROM \"tbitemsordem.db\") l"
        "    WHERE NOT EXISTS (SELECT 1 FROM \"TOrdemServico.DB\" h WHERE h.Chave = l.CodVenda AND h.OsOc = 'PV')),"
        " o(CodBarra, Soma) AS MATERIALIZED"
        "   (SELECT CodBarra, Sum(Qtd) FROM \"tbitemsordem.db\" WHERE Monitorar = 'S' AND CodVenda IS NOT NULL"
        "    GROUP BY CodBarra),"
        " oOff(CodBarra, Soma) AS MATERIALIZED"
        "   (SELECT CodBarra, Sum(Qtd) FROM \"tbitemsordem.db\""
        "    WHERE Monitorar = 'S' AND CodVenda IN (SELECT CodVenda FROM oBad) GROUP BY CodBarra)"
        " UPDATE \"tbProdutos.db\" SET Estoque ="
        "   coalesce((SELECT Soma FROM e WHERE e.Codigo = tbProdutos.Codigo), 0)"
        " - (coalesce((SELECT Soma FROM s WHERE s.CodBarra = tbProdutos.Codigo), 0)"
        "    - coalesce((SELECT Soma FROM sOff WHERE sOff.CodBarra = tbProdutos.Codigo), 0))"
        " - (coalesce((SELECT Soma FROM o WHERE o.CodBarra = tbProdutos.Codigo), 0)"
        "    - coalesce((SELECT Soma FROM oOff WHERE oOff.CodBarra = tbProdutos.Codigo), 0))"
        " WHERE Codigo IS NOT NULL");
}

struct StockBalance::Impl {
    data::DatabasePtr db;
    std::unique_ptr<data::ForwardQuery> all;
    std::unique_ptr<data::Statement> write;

    void prepare()
    {
        if (write)
            return;
        all = std::make_unique<data::ForwardQuery>(db, data::sql::productStockSums());
        write = std::make_unique<data::Statement>(
            db, QStringLiteral("UPDATE \"tbProdutos.db\" SET Estoque = :estoque WHERE Codigo = :codigo"));
    }

};
StockBalance::StockBalance(data::DatabasePtr db) : d(std::make_unique<Impl>())
{
    d->db = std::move(db);
}

StockBalance::~StockBalance() = default;

std::optional<qint64> StockBalance::parseCode(const QString &text)
{
    QString digits;
    for (QChar ch : text) {
        if (ch.isSpace())
            continue;
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return std::nullopt;
        digits += ch;
    }
    if (digits.isEmpty() || digits.size() > 13) {
        // Leading zeros beyond 13 digits still name a 13-digit code.
        while (digits.size() > 13 && digits.startsWith(QLatin1Char('0')))
            digits.remove(0, 1);
        if (digits.isEmpty() || digits.size() > 13)
            return std::nullopt;
    }
    return digits.toLongLong();
}

StockSums StockBalance::sums(qint64 code)
{
    d->prepare();
    data::ForwardQuery &q = *d->all;
    q.rewind();
    q.setParam(QStringLiteral("codigo"), code);
    StockSums s;
    if (q.next()) {
        s.entries = q.value(0).toDouble();
        s.saleExits = q.value(1).toDouble();
        s.orderExits = q.value(2).toDouble();
    }
    q.rewind();
    return s;
}

double StockBalance::balance(const QString &codeText)
{
    const auto code = parseCode(codeText);
    return code ? balance(*code) : 0.0;
}

double StockBalance::availability(const QString &codeText)
{
    const auto code = parseCode(codeText);
    return code ? availability(*code) : 0.0;
}

bool StockBalance::store(qint64 code, double *balanceOut)
{
    const double b = balance(code);
    if (balanceOut)
        *balanceOut = b;
    d->write->setParam(QStringLiteral("estoque"), b);
    d->write->setParam(QStringLiteral("codigo"), code);
    return d->write->run() > 0;
}

int StockBalance::refreshAll()
{
    data::Statement refresh(d->db, refreshAllSql());
    refresh.setLargeScan(true);
    try {
        return refresh.run();
    } catch (const DbError &e) {
        throw DbError(e.kind(), QStringLiteral("Erro ao calcular o estoque: %1").arg(e.message()));
    }
}

bool StockBalance::isLowStock(const QString &monitorarEstq, double estoque, double estoqueMinimo)
{
    return monitorarEstq.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0
           && estoque <= estoqueMinimo;
}

} // namespace brelvo::stock
