#include "stock/StockBalance.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QVariant>

namespace brelvo::stock {

using data::Database;
using data::DbError;

namespace {

QString t(const char *fileName) { return Database::sqlTableName(QString::fromLatin1(fileName)); }

[[noreturn]] void fail(const QSqlQuery &q)
{
    throw DbError(DbError::Kind::SqlError,
                  QStringLiteral("Erro ao calcular o estoque: %1").arg(q.lastError().text()));
}

} // namespace

QString StockBalance::totalEntradaSql()
{
    return QStringLiteral("Select Codigo, Sum(Qtd) as Soma From %1 Where Codigo = :codigo Group by Codigo")
        .arg(t("tbReposicao.DB"));
}

QString StockBalance::totalSaidaSql()
{
    return QStringLiteral("Select i.CodBarra as CodBarra, Sum(i.Qtd) as Soma From %1 i, %2 v"
                          " Where i.CodBarra = :codigo and i.Monitorar = 'S' and v.VenOs = 'PV'"
                          " and v.Chave = i.Link group by i.CodBarra")
        .arg(t("tbItems.DB"), t("tbVendas.db"));
}

QString StockBalance::saidaOrdemSql()
{
    return QStringLiteral("Select i.CodBarra as CodBarra, Sum(i.Qtd) as Soma From %1 i, %2 o"
                          " Where i.CodBarra = :codigo and i.Monitorar = 'S' and o.OsOc = 'PV'"
                          " and o.Chave = i.CodVenda group by i.CodBarra")
        .arg(t("tbitemsordem.db"), t("TOrdemServico.DB"));
}

QString StockBalance::refreshAllSql()
{
    // Each movement table is summed once and looked up by code for every
    // product. An item counts only when its header is a "PV" row; rather than
    // probing the header of each of a million items, the few header keys that
    // are not "PV" (or have no header at all) are gathered first, and their
    // items' sums are taken off the sums of all monitored items.
    return QStringLiteral(
               "WITH e(Codigo, Soma) AS MATERIALIZED"
               "   (SELECT Codigo, Sum(Qtd) FROM %1 GROUP BY Codigo),"
               " sBad(Link) AS MATERIALIZED"
               "   (SELECT Link FROM (SELECT DISTINCT Link FROM %2) l"
               "    WHERE NOT EXISTS (SELECT 1 FROM %3 v WHERE v.Chave = l.Link AND v.VenOs = 'PV')),"
               " s(CodBarra, Soma) AS MATERIALIZED"
               "   (SELECT CodBarra, Sum(Qtd) FROM %2 WHERE Monitorar = 'S' AND Link IS NOT NULL GROUP BY CodBarra),"
               " sOff(CodBarra, Soma) AS MATERIALIZED"
               "   (SELECT CodBarra, Sum(Qtd) FROM %2 WHERE Monitorar = 'S' AND Link IN sBad GROUP BY CodBarra),"
               " oBad(CodVenda) AS MATERIALIZED"
               "   (SELECT CodVenda FROM (SELECT DISTINCT CodVenda FROM %4) l"
               "    WHERE NOT EXISTS (SELECT 1 FROM %5 h WHERE h.Chave = l.CodVenda AND h.OsOc = 'PV')),"
               " o(CodBarra, Soma) AS MATERIALIZED"
               "   (SELECT CodBarra, Sum(Qtd) FROM %4 WHERE Monitorar = 'S' AND CodVenda IS NOT NULL GROUP BY CodBarra),"
               " oOff(CodBarra, Soma) AS MATERIALIZED"
               "   (SELECT CodBarra, Sum(Qtd) FROM %4 WHERE Monitorar = 'S' AND CodVenda IN oBad GROUP BY CodBarra)"
               " UPDATE %6 SET Estoque ="
               "   coalesce((SELECT Soma FROM e WHERE e.Codigo = %6.Codigo), 0)"
               " - (coalesce((SELECT Soma FROM s WHERE s.CodBarra = %6.Codigo), 0)"
               "    - coalesce((SELECT Soma FROM sOff WHERE sOff.CodBarra = %6.Codigo), 0))"
               " - (coalesce((SELECT Soma FROM o WHERE o.CodBarra = %6.Codigo), 0)"
               "    - coalesce((SELECT Soma FROM oOff WHERE oOff.CodBarra = %6.Codigo), 0))"
               " WHERE Codigo IS NOT NULL")
        .arg(t("tbReposicao.DB"), t("tbItems.DB"), t("tbVendas.db"), t("tbitemsordem.db"),
             t("TOrdemServico.DB"), t("tbProdutos.db"));
}

struct StockBalance::Impl {
    data::DatabasePtr db;
    QSqlQuery entrada, saida, ordem, write;
    bool prepared = false;

    void prepare()
    {
        if (prepared)
            return;
        const QSqlDatabase c = db->sql();
        entrada = QSqlQuery(c);
        saida = QSqlQuery(c);
        ordem = QSqlQuery(c);
        write = QSqlQuery(c);
        for (auto [q, sql] : {std::pair{&entrada, totalEntradaSql()}, std::pair{&saida, totalSaidaSql()},
                              std::pair{&ordem, saidaOrdemSql()},
                              std::pair{&write, QStringLiteral("UPDATE %1 SET Estoque = :estoque WHERE Codigo = :codigo")
                                                    .arg(t("tbProdutos.db"))}}) {
            q->setForwardOnly(true);
            if (!q->prepare(sql))
                fail(*q);
        }
        prepared = true;
    }

    static double sum(QSqlQuery &q, qint64 code)
    {
        q.bindValue(QStringLiteral(":codigo"), code);
        if (!q.exec())
            fail(q);
        double s = 0;
        if (q.next())
            s = q.value(1).toDouble();
        q.finish();
        return s;
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
    StockSums s;
    s.entries = Impl::sum(d->entrada, code);
    s.saleExits = Impl::sum(d->saida, code);
    s.orderExits = Impl::sum(d->ordem, code);
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
    d->write.bindValue(QStringLiteral(":estoque"), b);
    d->write.bindValue(QStringLiteral(":codigo"), code);
    if (!d->write.exec())
        fail(d->write);
    const int n = d->write.numRowsAffected();
    d->write.finish();
    return n > 0;
}

int StockBalance::refreshAll()
{
    QSqlDatabase c = d->db->sql();
    // A larger page cache, and reads through a memory map, for the one pass
    // over the movement tables; both are put back afterwards.
    QSqlQuery pragma(c);
    auto setting = [&](const QString &name) {
        QVariant v;
        if (pragma.exec(QStringLiteral("PRAGMA ") + name) && pragma.next())
            v = pragma.value(0);
        pragma.finish();
        return v;
    };
    const QVariant oldCache = setting(QStringLiteral("cache_size"));
    const QVariant oldMmap = setting(QStringLiteral("mmap_size"));
    pragma.exec(QStringLiteral("PRAGMA cache_size = -65536"));
    pragma.finish();
    pragma.exec(QStringLiteral("PRAGMA mmap_size = 268435456"));
    pragma.finish();
    auto restoreCache = [&] {
        if (oldCache.isValid())
            pragma.exec(QStringLiteral("PRAGMA cache_size = %1").arg(oldCache.toLongLong()));
        pragma.finish();
        if (oldMmap.isValid())
            pragma.exec(QStringLiteral("PRAGMA mmap_size = %1").arg(oldMmap.toLongLong()));
        pragma.finish();
    };

    d->db->transaction();
    QSqlQuery q(c);
    if (!q.exec(refreshAllSql())) {
        const QString msg = q.lastError().text();
        q.finish();
        d->db->rollback();
        restoreCache();
        throw DbError(DbError::Kind::SqlError, QStringLiteral("Erro ao calcular o estoque: %1").arg(msg));
    }
    const int n = q.numRowsAffected();
    q.finish();
    try {
        d->db->commit();
    } catch (...) {
        restoreCache();
        throw;
    }
    restoreCache();
    return n;
}

bool StockBalance::isLowStock(const QString &monitorarEstq, double estoque, double estoqueMinimo)
{
    return monitorarEstq.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0
           && estoque <= estoqueMinimo;
}

} // namespace brelvo::stock
