#include "data/PreparedSql.h"

namespace brelvo::data::detail {

bool sourceColumn(const Stmt &s, int column, FieldDef &out)
{
    out = {s.columnName(column), FieldType::Alpha, 0};
    QString table, origin, decl;
    if (!s.source(column, table, origin, decl))
        return false;
    if (const TableDef *def = Database::tableDef(table)) {
        if (const FieldDef *f = def->field(origin)) {
            out.type = f->type;
            out.size = f->size;
            return true;
        }
    }
    if (!decl.isEmpty()) {
        out = fieldFromDeclType(out.name, decl);
        return true;
    }
    return false;
}

void PreparedSql::setSql(const QString &sql)
{
    if (m_translated && sql == m_sql)
        return;         // the same text again: translated and prepared already
    m_sql = sql;
    m_translated = false;
    m_stmt.reset();
}

const TranslatedSql &PreparedSql::translated()
{
    if (!m_translated) {
        if (m_sql.trimmed().isEmpty())
            throw DbError(DbError::Kind::SqlError, QStringLiteral("Consulta sem texto SQL."));
        m_tr = translateSql(m_sql);
        m_translated = true;
        m_stmt.reset();
    }
    return m_tr;
}

void PreparedSql::setParam(const QString &name, const QVariant &value)
{
    QString n = name.trimmed();
    if (n.startsWith(QLatin1Char(':')))
        n.remove(0, 1);
    m_params.insert(n.toLower(), value);
}

Stmt &PreparedSql::bound(const Database &db)
{
    const TranslatedSql &tr = translated();
    for (const QString &t : tr.tables) {
        const TableDef *def = Database::tableDef(t);
        if (def && !def->password.isEmpty() && !db.hasPassword(def->password))
            throw DbError(DbError::Kind::WrongPassword,
                          QStringLiteral("Senha inválida para a tabela %1.").arg(def->fileName));
    }
    if (!m_stmt)
        m_stmt = std::make_unique<Stmt>(conn(db), tr.sql);
    m_stmt->reset();
    for (int i = 0; i < tr.params.size(); ++i) {
        auto it = m_params.constFind(tr.params[i].toLower());
        if (it == m_params.constEnd())
            throw DbError(DbError::Kind::SqlError, QStringLiteral("Parâmetro sem valor: %1").arg(tr.params[i]));
        m_stmt->bind(i + 1, *it);
    }
    return *m_stmt;
}

} // namespace brelvo::data::detail
