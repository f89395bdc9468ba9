#pragma once
// Thin wrapper over sqlite3 prepared statements, used inside the data layer.
// Statements are prepared once and reset between uses.

#include "data/Catalogue.h"
#include "data/Database.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <sqlite3.h>

namespace brelvo::data::detail {

// The sqlite3 handle behind a Database.
sqlite3 *handle(const Database &db);

// A DbError for a failed sqlite call (Portuguese text; kind from the code).
DbError sqliteError(sqlite3 *h, int rc, const QString &context = QString());

// Quotes an identifier for SQL: Codigo -> "Codigo", Dia mes -> "Dia mes".
QString quoteIdent(const QString &name);

// Name of the text collation of secondary indexes (case-insensitive; "Ç" = "ç").
inline constexpr const char *kTextCollation = "PTBR";
// Registers kTextCollation and Unicode upper()/lower() on a connection.
void registerCollation(sqlite3 *h);

class Stmt {
public:
    Stmt() = default;
    Stmt(sqlite3 *h, const QString &sql);
    ~Stmt();
    Stmt(const Stmt &) = delete;
    Stmt &operator=(const Stmt &) = delete;
    Stmt(Stmt &&o) noexcept;
    Stmt &operator=(Stmt &&o) noexcept;

    bool isValid() const { return m_stmt != nullptr; }
    const QString &sql() const { return m_sql; }
    sqlite3_stmt *raw() const { return m_stmt; }

    void reset();                                   // also clears bindings
    void bind(int index, const QVariant &v);        // 1-based
    void bindAll(const QVariantList &values, int from = 1);
    // Steps once: true when a row is available.
    bool step();
    // Runs to completion; returns rows changed.
    int exec();

    int columnCount() const;
    QString columnName(int i) const;
    QVariant column(int i) const;                  // raw storage value
    QVariantList row() const;

private:
    sqlite3 *m_h = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_sql;
};

// Prepared statements shared by all cursors of one connection, by SQL text.
// A statement is reset before it is handed out and must be reset after use.
std::shared_ptr<Stmt> cachedStmt(sqlite3 *h, const QString &sql);
// Finalizes the cached statements of a connection (before it closes).
void dropStmtCache(sqlite3 *h);

// Plain statement without results ("PRAGMA ...", "BEGIN").
void execSimple(sqlite3 *h, const QString &sql);

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
