#pragma once
// SQL as the windows write it, translated once, prepared once and bound by
// parameter name on each run. Shared by Query, ForwardQuery and Statement.

#include "data/Database.h"
#include "data/SqlTranslator.h"
#include "data/SqliteStmt.h"

#include <QHash>
#include <QVariant>
#include <memory>

namespace brelvo::data::detail {

// Type of a result column that reads a table column: from the catalogue, or
// from the declared type of a column the catalogue does not know. Returns
// false for a computed column (out then holds its name only).
bool sourceColumn(const Stmt &s, int column, FieldDef &out);

class PreparedSql {
public:
    void setSql(const QString &sql);
    const QString &sql() const { return m_sql; }
    const TranslatedSql &translated();

    void setParam(const QString &name, const QVariant &value);   // with or without ':'
    void clearParams() { m_params.clear(); }

    // The statement, reset and bound with the current parameters. Checks the
    // passwords of the tables the text names. Throws DbError.
    Stmt &bound(const Database &db);
    // The prepared statement, if any (no reset).
    Stmt *current() const { return m_stmt.get(); }
    void finalize() { m_stmt.reset(); }

private:
    QString m_sql;
    bool m_translated = false;
    TranslatedSql m_tr;
    QHash<QString, QVariant> m_params;     // lower-case name -> value
    std::unique_ptr<Stmt> m_stmt;
};

} // namespace brelvo::data::detail
