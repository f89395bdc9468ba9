#include "data/DatabaseCopy.h"

#include "data/Catalogue.h"
#include "data/SqliteStmt.h"
#include "data/Transaction.h"

#include <cmath>

namespace brelvo::data {

using namespace detail;

namespace {

bool isText(FieldType t) { return t == FieldType::Alpha || t == FieldType::Memo; }
bool isNumber(FieldType t)
{
    return t == FieldType::Integer || t == FieldType::AutoInc || t == FieldType::Number || t == FieldType::Money
        || t == FieldType::Logical;
}

// count(*), then one figure per number field (its sum) and text field (its
// total length), in field order.
QVariantList figures(Database &db, const TableDef &t, QStringList *labels)
{
    QStringList terms{QStringLiteral("count(*)")};
    if (labels)
        labels->clear();
    for (const FieldDef &f : db.fields(t.fileName)) {
        if (isNumber(f.type)) {
            terms << QStringLiteral("sum(%1)").arg(quoteIdent(f.name));
            if (labels)
                *labels << QStringLiteral("soma de %1").arg(f.name);
        } else if (isText(f.type)) {
            terms << QStringLiteral("sum(length(%1))").arg(quoteIdent(f.name));
            if (labels)
                *labels << QStringLiteral("tamanho total de %1").arg(f.name);
        }
    }
    Stmt s(conn(db), QStringLiteral("SELECT %1 FROM %2").arg(terms.join(QLatin1Char(',')), quoteIdent(t.sqlName)));
    s.step();
    return s.row();
}

bool sameFigure(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    const double x = a.toDouble(), y = b.toDouble();
    return std::fabs(x - y) <= 1e-9 * std::max({1.0, std::fabs(x), std::fabs(y)});
}

TableCheck check(Database &from, Database &to, const TableDef &t)
{
    TableCheck c;
    c.table = t.fileName;
    QStringList labels;
    const QVariantList a = figures(from, t, &labels);
    const QVariantList b = figures(to, t, nullptr);
    c.sourceRows = a.value(0).toLongLong();
    c.targetRows = b.value(0).toLongLong();
    if (c.sourceRows != c.targetRows)
        c.differences << QStringLiteral("registros: %1 na origem, %2 no destino").arg(c.sourceRows).arg(c.targetRows);
    for (int i = 1; i < a.size() && i < b.size(); ++i) {
        if (!sameFigure(a[i], b[i]))
            c.differences << QStringLiteral("%1: %2 na origem, %3 no destino")
                                 .arg(labels.value(i - 1), a[i].toString(), b[i].toString());
    }
    return c;
}

} // namespace

bool CopyReport::ok() const
{
    for (const TableCheck &t : tables) {
        if (!t.ok())
            return false;
    }
    return !tables.empty();
}

QStringList CopyReport::lines() const
{
    QStringList out;
    for (const TableCheck &t : tables) {
        if (t.ok())
            out << QStringLiteral("%1: %2 registros conferidos").arg(t.table).arg(t.targetRows);
        else
            out << QStringLiteral("%1: DIFERENÇAS - %2").arg(t.table, t.differences.join(QStringLiteral("; ")));
    }
    out << (ok() ? QStringLiteral("Cópia conferida: %1 registros em %2 tabelas, contagens e somas iguais.")
                       .arg(rows)
                       .arg(tables.size())
                 : QStringLiteral("A cópia NÃO confere com a origem. Não use o banco de destino."));
    return out;
}

CopyReport compareDatabases(Database &from, Database &to)
{
    CopyReport r;
    for (const TableDef &t : catalogue()) {
        r.tables.push_back(check(from, to, t));
        r.rows += r.tables.back().targetRows;
    }
    return r;
}

CopyReport copyDatabase(Database &from, Database &to,
                        const std::function<void(const QString &table, qint64 rows)> &progress)
{
    Conn *src = conn(from);
    Conn *dst = conn(to);
    {
        Transaction tx(to);
        for (const TableDef &t : catalogue()) {
            // Only the rows a new database starts with may be there.
            Stmt count(dst, QStringLiteral("SELECT count(*) FROM %1").arg(quoteIdent(t.sqlName)));
            count.step();
            qint64 seeded = 0;
            for (const SeedRow &r : seedRows())
                seeded += Database::tableDef(r.table) == Database::tableDef(t.fileName) ? 1 : 0;
            if (count.column(0).toLongLong() > seeded)
                throw DbError(DbError::Kind::Generic,
                              QStringLiteral("O banco de destino já tem dados (tabela %1). A cópia só é feita num banco novo.")
                                  .arg(t.fileName));
            count.reset();
            Stmt(dst, QStringLiteral("DELETE FROM %1").arg(quoteIdent(t.sqlName))).exec();

            QStringList cols, quoted;
            std::vector<FieldType> types;
            for (const FieldDef &f : from.fields(t.fileName)) {
                cols << f.name;
                quoted << quoteIdent(f.name);
                types.push_back(f.type);
            }
            Stmt read(src, QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                               .arg(quoted.join(QLatin1Char(',')), quoteIdent(t.sqlName)));
            qint64 n = 0;
            dst->copyIn(t.sqlName, cols, [&](QVariantList &row) {
                if (!read.step())
                    return false;
                row = read.row();
                // Stored forms are shared; numbers kept whole or real as their field says.
                for (int i = 0; i < row.size(); ++i) {
                    const FieldType ft = types[size_t(i)];
                    if (row[i].isNull() || !isNumber(ft))
                        continue;
                    bool ok = true;
                    const double v = row[i].metaType().id() == QMetaType::QString ? row[i].toString().toDouble(&ok)
                                                                                  : row[i].toDouble();
                    if (!ok)
                        throw DbError(DbError::Kind::InvalidValue,
                                      QStringLiteral("Valor não numérico em %1, campo %2: '%3'. Corrija-o antes de copiar.")
                                          .arg(t.fileName, cols[i], row[i].toString()));
                    if (ft != FieldType::Number && ft != FieldType::Money)
                        row[i] = qint64(std::llround(v));
                    else
                        row[i] = v;
                }
                if (progress && ++n % 50000 == 0)
                    progress(t.fileName, n);
                return true;
            });
            if (progress)
                progress(t.fileName, -1);
        }
        tx.commit();
    }
    try {
        dst->refreshStatistics();
    } catch (const DbError &) {
        // the rows are in; the server's own upkeep takes the statistics later
    }
    to.refreshSchema();
    return compareDatabases(from, to);
}

} // namespace brelvo::data
