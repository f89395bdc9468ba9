#include "data/Numbering.h"

#include "data/Database.h"
#include "data/SqliteStmt.h"

#include <cmath>
#include <optional>

namespace brelvo::data {

using namespace detail;

namespace {

struct Target {
    QString table;      // quoted SQLite name
    QString field;      // quoted column
};

Target target(Database &db, const QString &table, const Numbering &n)
{
    const QString sqlName = Database::sqlTableName(table);
    for (const FieldDef &f : db.fields(table)) {
        if (f.name.compare(n.field, Qt::CaseInsensitive) == 0)
            return {quoteIdent(sqlName), quoteIdent(f.name)};
    }
    throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(n.field));
}

// The first column of the first row as a whole number; nullopt when no row.
std::optional<qint64> wholeNumber(Database &db, const QString &sql, const QVariantList &binds = {})
{
    Stmt s(handle(db), sql);
    s.bindAll(binds);
    if (!s.step())
        return std::nullopt;
    const QVariant v = s.column(0);
    if (v.isNull())
        return std::nullopt;
    return qint64(std::llround(v.toDouble()));
}

bool taken(Database &db, const Target &t, qint64 number)
{
    Stmt s(handle(db), QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1").arg(t.table, t.field));
    s.bind(1, number);
    return s.step();
}

qint64 compute(Database &db, const QString &table, const Numbering &n)
{
    if (!n.isSet())
        throw DbError(DbError::Kind::Generic, QStringLiteral("A tabela %1 não tem numeração.").arg(table));
    const Target t = target(db, table, n);
    switch (n.rule) {
    case NumberRule::None:
        break;
    case NumberRule::HighestPlusOne: {
        const auto top = wholeNumber(db, QStringLiteral("SELECT max(%1) FROM %2").arg(t.field, t.table));
        return top ? *top + 1 : n.first;
    }
    case NumberRule::LastPlusOne:
    case NumberRule::LastPlusOneFree: {
        const auto last = wholeNumber(
            db, QStringLiteral("SELECT %1 FROM %2 WHERE %1 IS NOT NULL ORDER BY rowid DESC LIMIT 1").arg(t.field, t.table));
        qint64 next = last ? *last + 1 : n.first;
        if (n.rule == NumberRule::LastPlusOneFree) {
            while (taken(db, t, next))
                ++next;
        }
        return next;
    }
    }
    return n.first;
}

} // namespace

qint64 provisionalNumber(Database &db, const QString &table, const Numbering &numbering)
{
    return compute(db, table, numbering);
}

qint64 drawNumber(Database &db, const QString &table, const Numbering &numbering)
{
    if (!db.inTransaction())
        throw DbError(DbError::Kind::Generic,
                      QStringLiteral("O número de %1 só pode ser tirado dentro da gravação do registro.").arg(table));
    return compute(db, table, numbering);
}

bool numberTaken(Database &db, const QString &table, const Numbering &numbering, qint64 number)
{
    return taken(db, target(db, table, numbering), number);
}

} // namespace brelvo::data
