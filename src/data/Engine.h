#pragma once
// The engine behind a Database: one connection, its prepared statements and
// the few places where the SQL of the two engines differs (text ordering,
// empty values in an order, the write lock, row identity, schema). Everything
// else in the data layer writes one SQL for both.

#include "data/Catalogue.h"
#include "data/DbError.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;

namespace brelvo::data::detail {

enum class EngineKind { Sqlite, Postgres };

// One prepared statement. Positional '?' parameters, 1-based.
class StmtImpl {
public:
    virtual ~StmtImpl() = default;
    virtual void reset() = 0;                       // ends a read and clears bindings
    virtual void bind(int index, const QVariant &v) = 0;
    virtual bool step() = 0;                        // true when a row is available
    virtual int exec() = 0;                         // runs to completion: rows changed
    virtual int columnCount() const = 0;
    virtual QString columnName(int i) const = 0;
    virtual QVariant column(int i) const = 0;       // storage value
    virtual bool readOnly() const = 0;
    // Table and column a result column reads, and the column's declared type;
    // false for a computed column.
    virtual bool source(int i, QString &table, QString &column, QString &declType) const = 0;
};

class Conn {
public:
    virtual ~Conn() = default;
    virtual EngineKind kind() const = 0;
    virtual std::unique_ptr<StmtImpl> prepare(const QString &sql) = 0;
    virtual void exec(const QString &sql) = 0;      // statements without results
    // Rows changed through this connection so far (tells cursors to re-read).
    virtual qint64 totalChanges() const = 0;
    // Writes made by cursors, counted per table, so that a cursor re-reads
    // only when its own table or something unaccounted for changed.
    void noteTableWrite(const QString &sqlName, qint64 rows)
    {
        m_trackedChanges += rows;
        ++m_tableWrites[sqlName];
    }
    qint64 tableWrites(const QString &sqlName) const { return m_tableWrites.value(sqlName); }
    // Rows changed by anything else (statements, queries, cascades).
    qint64 untrackedChanges() const { return totalChanges() - m_trackedChanges; }
    virtual void setBusyTimeout(int ms) = 0;

    // ---- transactions: the first level holds the database's write lock
    virtual void beginWrite() = 0;
    virtual void commitWrite() = 0;
    virtual void rollbackWrite() = 0;

    // ---- dialect
    // An expression ordered and compared by the Portuguese text rules
    // (case never counts; accents only break ties).
    virtual QString textKey(const QString &expr) const = 0;
    // A text column on the left of a key comparison whose right side is
    // textKey("?").
    virtual QString textKeyColumn(const QString &column) const { return textKey(column); }
    // Ordering terms: empty values first going up, last going down.
    virtual QString ascending(const QString &expr) const { return expr; }
    virtual QString descending(const QString &expr) const { return expr + QStringLiteral(" DESC"); }
    // A table read in creation order (row id) rather than through another
    // index, for a filter that most rows pass.
    virtual QString inCreationOrder(const QString &table) const { return table; }
    // "a IS b" for values that may be empty.
    virtual QString same(const QString &a, const QString &b) const = 0;

    // ---- schema
    virtual bool isEmptyDatabase() = 0;
    virtual int userVersion() = 0;
    virtual void setUserVersion(int v) = 0;
    // Creates a catalogue table with its indexes.
    virtual void createTable(const TableDef &t) = 0;
    // Columns of a table as (name, declared type); empty when it does not exist.
    virtual std::vector<std::pair<QString, QString>> columns(const QString &sqlName) = 0;
    // Stores many rows at once (a whole table being copied); `next` fills
    // the values of one row in `columns` order and returns false at the end.
    virtual void copyIn(const QString &sqlName, const QStringList &columns,
                        const std::function<bool(QVariantList &)> &next);
    // The planner's statistics taken again after many rows came in at once
    // (a copy, a restore); outside a transaction.
    virtual void refreshStatistics() {}
    // SQLite's own handle; null on a server engine.
    virtual sqlite3 *sqliteHandle() const { return nullptr; }

private:
    qint64 m_trackedChanges = 0;
    QHash<QString, qint64> m_tableWrites;
};

// Quotes an identifier for SQL: Codigo -> "codigo". Names are folded to
// lower case: SQLite matches names without case and the server folds them.
QString quoteIdent(const QString &name);
// Quotes a name keeping its case (result column aliases: "Nº_Vendas").
QString quoteName(const QString &name);

// Text as stored beginning with `prefix`, as a range (prefix <= text <
// prefix + the last code point) that an exact index serves. Stored text
// compares by code point on both engines (the server's text columns use the
// "C" collation), so one form serves both.
inline QString storedPrefixRange(const QString &column)
{
    return QStringLiteral("(%1 >= ? AND %1 < ?)").arg(column);
}
inline QVariantList storedPrefixBinds(const QString &prefix)
{
    return {prefix, prefix + QString::fromUcs4(U"\U0010FFFF")};
}

// Column type a field gets in a new table (declared type text).
QString declaredType(const FieldDef &f, EngineKind engine);

// A PostgreSQL connection described by a URI
// (postgresql://user@host:port/dbname); the tables live in `schema`.
// Password from the PostgreSQL password file, or `password` when given.
std::unique_ptr<Conn> connectPostgres(const QString &uri, const QString &schema, const QString &password,
                                      QString *error, bool *needsPassword);

// The user and the server ("host:port") a server address logs in as and to,
// libpq's defaults filling what the address leaves out.
void postgresLogin(const QString &uri, QString *user, QString *server);

// Creates the schema and its helper functions in a new server database
// (inside the provisioning transaction); nothing for SQLite.
void provisionPostgresSchema(Conn *c);
// Brings the server's helpers of an older database up to date; nothing for SQLite.
void upgradePostgresSchema(Conn *c);

} // namespace brelvo::data::detail
