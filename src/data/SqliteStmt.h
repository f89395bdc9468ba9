#pragma once
// Prepared statements of the engine behind a Database, used inside the data
// layer, and the storage form of values. Statements are prepared once and
// reset between uses.

#include "data/Catalogue.h"
#include "data/Database.h"
#include "data/Engine.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <sqlite3.h>

namespace brelvo::data::detail {

// The connection behind a Database, and SQLite's own handle (null on a
// server engine; used by the data generator).
Conn *conn(const Database &db);
sqlite3 *handle(const Database &db);

// A DbError for a failed sqlite call (Portuguese text; kind from the code).
DbError sqliteError(sqlite3 *h, int rc, const QString &context = QString());

// Name of the text collation of secondary indexes (case-insensitive; "Ç" = "ç").
inline constexpr const char *kTextCollation = "PTBR";
// Registers kTextCollation and Unicode upper()/lower() on a connection.
void registerCollation(sqlite3 *h);

// A SQLite connection over an open handle (not owned).
std::unique_ptr<Conn> sqliteConn(sqlite3 *h);

// A prepared statement of either engine.
class Stmt {
public:
    Stmt() = default;
    Stmt(Conn *c, const QString &sql) : m_impl(c->prepare(sql)), m_sql(sql) {}
    Stmt(Stmt &&o) noexcept = default;
    Stmt &operator=(Stmt &&o) noexcept = default;

    bool isValid() const { return m_impl != nullptr; }
    const QString &sql() const { return m_sql; }

    void reset() { m_impl->reset(); }                   // also clears bindings
    void bind(int index, const QVariant &v) { m_impl->bind(index, v); }   // 1-based
    void bindAll(const QVariantList &values, int from = 1)
    {
        for (int i = 0; i < values.size(); ++i)
            bind(from + i, values[i]);
    }
    bool step() { return m_impl->step(); }              // true when a row is available
    int exec() { return m_impl->exec(); }               // runs to completion; rows changed
    bool readOnly() const { return m_impl->readOnly(); }

    int columnCount() const { return m_impl->columnCount(); }
    QString columnName(int i) const { return m_impl->columnName(i); }
    QVariant column(int i) const { return m_impl->column(i); }   // raw storage value
    QVariantList row() const;
    bool source(int i, QString &table, QString &column, QString &declType) const
    {
        return m_impl->source(i, table, column, declType);
    }

private:
    std::unique_ptr<StmtImpl> m_impl;
    QString m_sql;
};

// Prepared statements shared by all cursors of one connection, by SQL text.
// A statement is reset before it is handed out and must be reset after use.
std::shared_ptr<Stmt> cachedStmt(Conn *c, const QString &sql);
// Drops the cached statements of a connection (before it closes).
void dropStmtCache(Conn *c);

// Plain statement without results.
inline void execSimple(Conn *c, const QString &sql) { c->exec(sql); }

// Text form of a bound date, time or other value (dates as ISO text).
QString bindText(const QVariant &v);

// Storage form of a value for a field type (Date -> ISO text, Logical -> 0/1,
// Alpha truncated to size). Throws InvalidValue on text that is no value of
// the type.
QVariant toStorage(const FieldDef &f, const QVariant &v);
// Value form of a stored value (ISO text -> QDate ...). Null stays null.
QVariant fromStorage(FieldType t, const QVariant &stored);

// Column information of an actual table.
struct Column {
    FieldDef def;           // name as in the table; type/size from the catalogue or the declared type
    bool inCatalogue = false;
};

// Field type for a declared SQL type of a column unknown to the catalogue.
FieldDef fieldFromDeclType(const QString &name, const QString &declType);

} // namespace brelvo::data::detail
