// PostgreSQL behind the data layer, through libpq: statements prepared once
// on the server, each parameter sent as text of unknown type so that the
// server reads it as the column it meets ('0012' against a number column is
// the number 12, as in SQLite), binary values as bytea.
//
// The same contract as SQLite:
//  - a write transaction holds one database-wide lock (an advisory lock of
//    the schema) from its start, so writers take turns as in SQLite and a
//    number drawn inside it is never drawn twice;
//  - a failed statement inside a transaction leaves the transaction usable
//    (it runs under a savepoint);
//  - text keys order and compare by brelvo_ptbr(), a byte key that puts
//    the letters first without accents, then with them, case never counting;
//    indexes are built on it, so keyset cursors stay index-driven;
//  - every table has a "rowid" column: its own identity, or a copy of its
//    AutoInc field.

#include "data/Catalogue.h"
#include "data/Database.h"
#include "data/Engine.h"
#include "data/ServerDump.h"
#include "data/SqliteStmt.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSysInfo>
#include <charconv>
#include <cmath>
#include <libpq-fe.h>
#include <optional>

namespace brelvo::data::detail {

namespace {

constexpr const char *kUpperFrom = "abcdefghijklmnopqrstuvwxyzàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿ";
constexpr const char *kUpperTo = "ABCDEFGHIJKLMNOPQRSTUVWXYZÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞŸ";
constexpr const char *kBaseFrom = "ÀÁÂÃÄÅÇÈÉÊËÌÍÎÏÑÒÓÔÕÖØÙÚÛÜÝ";
constexpr const char *kBaseTo = "AAAAAACEEEEIIIINOOOOOOUUUUY";

QString sqlText(const char *s)
{
    QString t = QString::fromUtf8(s);
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

DbError pgError(PGconn *c, const PGresult *r, const QString &sql = QString())
{
    const char *state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const QString code = state ? QString::fromLatin1(state) : QString();
    QString engine = QString::fromUtf8(r ? PQresultErrorMessage(r) : PQerrorMessage(c)).trimmed();
    if (code.startsWith(QLatin1String("23")))
        return DbError(DbError::Kind::KeyViolation, QStringLiteral("Violação de chave."));
    if (code == QLatin1String("55P03") || code == QLatin1String("40001") || code == QLatin1String("40P01")
        || code == QLatin1String("57014"))
        return DbError(DbError::Kind::Busy,
                       QStringLiteral("Banco de dados ocupado por outro usuário. Tente novamente em instantes."));
    if (code == QLatin1String("22P02") || code == QLatin1String("22003"))
        return DbError(DbError::Kind::InvalidValue, QStringLiteral("Valor inválido: %1").arg(engine));
    if (code == QLatin1String("42P01") || code == QLatin1String("42703")) {
        // The name as the SQL text spells it: relation "tbnada" -> tbNada.
        static const QRegularExpression quoted(QStringLiteral("\"([^\"]+)\""));
        QString name = quoted.match(engine).captured(1);
        name = name.section(QLatin1Char('.'), -1);
        if (!name.isEmpty() && !sql.isEmpty()) {
            const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(name)),
                                          QRegularExpression::CaseInsensitiveOption);
            const auto m = word.match(sql);
            if (m.hasMatch())
                name = m.captured(0);
        }
        return code == QLatin1String("42P01")
            ? DbError(DbError::Kind::TableNotFound, QStringLiteral("Tabela não encontrada: %1").arg(name))
            : DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(name));
    }
    if (PQstatus(c) != CONNECTION_OK)
        return DbError(DbError::Kind::NotOpen,
                       QStringLiteral("A conexão com o servidor do banco de dados caiu: %1").arg(engine));
    return DbError(DbError::Kind::SqlError, QStringLiteral("Erro no banco de dados: %1").arg(engine));
}

struct Result {
    PGresult *r = nullptr;
    Result() = default;
    explicit Result(PGresult *p) : r(p) {}
    ~Result() { PQclear(r); }
    Result(const Result &) = delete;
    Result &operator=(const Result &) = delete;
    Result(Result &&o) noexcept : r(o.r) { o.r = nullptr; }
    Result &operator=(Result &&o) noexcept
    {
        std::swap(r, o.r);
        return *this;
    }
    bool ok() const
    {
        const auto s = PQresultStatus(r);
        return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_EMPTY_QUERY;
    }
};

// SQL of the data layer and the windows, as the server reads it:
// '?' -> $n, unquoted names in lower case, upper/lower over every letter,
// LIKE without case (ASCII, as SQLite), ifnull -> coalesce. Quoted text and
// names are left alone.
QString serverSql(const QString &sql, int *params)
{
    static const QHash<QString, QString> words = {
        {QStringLiteral("upper"), QStringLiteral("brelvo_upper")},
        {QStringLiteral("lower"), QStringLiteral("brelvo_lower")},
        {QStringLiteral("ifnull"), QStringLiteral("coalesce")},
        {QStringLiteral("like"), QStringLiteral("ILIKE")},
        {QStringLiteral("instr"), QStringLiteral("strpos")},
    };
    QString out;
    out.reserve(sql.size() + 16);
    int n = 0;
    const int len = int(sql.size());
    for (int i = 0; i < len;) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < len) {
                if (sql[j] == c) {
                    if (j + 1 < len && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(sql).mid(i, j + 1 - i);
            i = j + 1;
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++n);
            ++i;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int j = i;
            while (j < len && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_')))
                ++j;
            const QString word = sql.mid(i, j - i);
            const bool qualified = i > 0 && sql[i - 1] == QLatin1Char('.');
            auto it = qualified ? words.constEnd() : words.constFind(word.toLower());
            // Unquoted names match without case, accents included, as in SQLite.
            out += it != words.constEnd() ? *it : word.toLower();
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    if (params)
        *params = n;
    return out;
}

// The text with `column` added to its last GROUP BY list; empty when it has none.
QString withGroupColumn(const QString &sql, const QString &column)
{
    static const QRegularExpression groupBy(QStringLiteral("\\bgroup\\s+by\\b"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression clause(QStringLiteral("^(having|order\\s+by|limit|offset|union|except|intersect)\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    qsizetype at = -1;
    for (auto it = groupBy.globalMatch(sql); it.hasNext();)
        at = it.next().capturedEnd();
    if (at < 0)
        return QString();
    // The list ends at the next clause or closing parenthesis of its own level.
    qsizetype stop = sql.size();
    int depth = 0;
    for (qsizetype i = at; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype close = sql.indexOf(c, i + 1);
            i = close < 0 ? sql.size() : close;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')') || c == QLatin1Char(';')) {
            if (depth-- == 0) {
                stop = i;
                break;
            }
        } else if (depth == 0 && c.isLetter() && (i == 0 || !sql[i - 1].isLetterOrNumber())
                   && clause.match(QStringView(sql).mid(i)).hasMatch()) {
            stop = i;
            break;
        }
    }
    QString col = column;
    const int dot = int(col.indexOf(QLatin1Char('.')));
    if (dot > 0)
        col = quoteIdent(col.left(dot)) + QLatin1Char('.') + quoteIdent(col.mid(dot + 1));
    else
        col = quoteIdent(col);
    QString out = sql;
    out.insert(stop, QStringLiteral(", %1 ").arg(col));
    return out;
}

// DDL: statements prepared before it may describe other columns.
bool changesSchema(const QString &sql)
{
    const QString t = sql.trimmed().left(6).toUpper();
    return t.startsWith(QLatin1String("CREATE")) || t.startsWith(QLatin1String("ALTER"))
           || t.startsWith(QLatin1String("DROP"));
}

bool startsReadOnly(const QString &sql)
{
    const QString t = sql.trimmed().left(8).toUpper();
    if (t.startsWith(QLatin1String("SELECT")) || t.startsWith(QLatin1String("VALUES"))
        || t.startsWith(QLatin1String("SHOW")))
        return true;
    if (t.startsWith(QLatin1String("WITH"))) {
        static const QRegularExpression writes(QStringLiteral("\\b(INSERT|UPDATE|DELETE)\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
        return !writes.match(sql).hasMatch();
    }
    return false;
}

// 1 for a whole-number parameter type, 2 for a fractional one, 0 otherwise.
int numberKind(Oid type)
{
    switch (type) {
    case 20: case 21: case 23: return 1;            // int8, int2, int4
    case 700: case 701: case 1700: return 2;        // float4, float8, numeric
    default: return 0;
    }
}

// The value as the number a column of that kind would store: trimmed text
// ("  0007 " -> 7, "7.0" -> 7 for a whole number, "1e3" -> 1000); none when
// it spells no number, or a fraction where only whole numbers are kept.
std::optional<QByteArray> numberText(const QVariant &v, bool whole)
{
    bool ok = false;
    double d = 0;
    switch (v.metaType().id()) {
    case QMetaType::Bool: return QByteArray(v.toBool() ? "1" : "0");
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::Short: case QMetaType::UShort:
        return QByteArray::number(v.toLongLong());
    case QMetaType::Double: case QMetaType::Float:
        d = v.toDouble();
        ok = true;
        break;
    default: {
        const QString t = bindText(v).trimmed();
        if (const qlonglong n = t.toLongLong(&ok); ok)
            return QByteArray::number(n);
        d = t.toDouble(&ok);   // C locale: '.' decimal point, exponents
        break;
    }
    }
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    const bool integral = d == std::trunc(d) && std::fabs(d) < 9.2e18;
    if (whole)
        return integral ? std::optional<QByteArray>(QByteArray::number(qint64(d))) : std::nullopt;
    return QByteArray::number(d, 'g', 17);
}

class PgConn;

class PgStmtImpl final : public StmtImpl {
public:
    PgStmtImpl(PgConn *c, const QString &sql);
    ~PgStmtImpl() override;

    void reset() override
    {
        m_res = Result();
        m_row = -1;
        for (auto &p : m_params)
            p = Param{true, false, QByteArray(), p.type};
    }
    void bind(int index, const QVariant &v) override;
    bool step() override;
    int exec() override;
    int columnCount() const override;
    QString columnName(int i) const override;
    QVariant column(int i) const override;
    bool readOnly() const override { return m_readOnly; }
    bool source(int i, QString &table, QString &column, QString &declType) const override;

private:
    struct Param {
        bool null = true;
        bool binary = false;
        QByteArray bytes;
        Oid type = InvalidOid;  // as the server reads the parameter
    };
    void prepareNew(const QString &server, int n);
    void describeColumns(int n);
    void run();
    void runOnce();
    void keepAddedColumnName();
    int visible(int i) const { return m_cols.isEmpty() ? i : m_cols[i]; }

    PgConn *m_c;
    QByteArray m_name;
    quint64 m_generation = 0;   // the connection's schema generation when prepared
    bool m_stalePlan = false;   // the last run failed on a plan the schema outdated
    QString m_sql;
    bool m_readOnly = false;
    std::vector<Param> m_params;
    QString m_key;              // the text as sent at first, the pool's key
    std::shared_ptr<Result> m_desc;     // the result's columns, known from the prepare
    Result m_res;
    int m_row = -1;
    QList<int> m_cols;          // result columns shown (a table's rowid is hidden unless asked for)
};

class PgConn final : public Conn {
public:
    PgConn(PGconn *c, const QString &schema) : m_c(c), m_schema(schema) {}
    ~PgConn() override { PQfinish(m_c); }

    EngineKind kind() const override { return EngineKind::Postgres; }
    PGconn *raw() const { return m_c; }
    const QString &schema() const { return m_schema; }

    std::unique_ptr<StmtImpl> prepare(const QString &sql) override
    {
        flushDeallocations();
        return std::make_unique<PgStmtImpl>(this, sql);
    }

    Result run(const QString &sql)
    {
        if (changesSchema(sql))
            schemaChanged();
        Result r(PQexec(m_c, sql.toUtf8().constData()));
        if (!r.ok())
            throw pgError(m_c, r.r);
        return r;
    }
    void exec(const QString &sql) override { run(serverSql(sql, nullptr)); }

    qint64 totalChanges() const override { return m_changes; }
    void addChanges(qint64 n) { m_changes += n; }
    void setBusyTimeout(int ms) override { run(QStringLiteral("SET lock_timeout = %1").arg(qMax(0, ms))); }

    // One round trip: the transaction and the writers' lock in one request.
    void beginWrite() override
    {
        flushDeallocations();
        try {
            run(QStringLiteral("BEGIN; ") + lockSql());
        } catch (...) {
            if (inTransaction())
                PQclear(PQexec(m_c, "ROLLBACK"));
            throw;
        }
    }
    // The writers' lock of this database, held to the end of the transaction.
    QString lockSql() const
    {
        return QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(%1))").arg(sqlText(m_schema.toUtf8().constData()));
    }
    void commitWrite() override { run(QStringLiteral("COMMIT")); }
    void rollbackWrite() override { run(QStringLiteral("ROLLBACK")); }

    bool inTransaction() const { return PQtransactionStatus(m_c) != PQTRANS_IDLE; }

    QString textKey(const QString &expr) const override { return QStringLiteral("brelvo_ptbr(%1)").arg(expr); }
    QString ascending(const QString &expr) const override { return expr + QStringLiteral(" NULLS FIRST"); }
    QString descending(const QString &expr) const override { return expr + QStringLiteral(" DESC NULLS LAST"); }
    QString same(const QString &a, const QString &b) const override
    {
        return a + QStringLiteral(" IS NOT DISTINCT FROM ") + b;
    }

    bool isEmptyDatabase() override
    {
        Result r = run(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = %1")
                           .arg(sqlText(m_schema.toUtf8().constData())));
        return QByteArray(PQgetvalue(r.r, 0, 0)).toLongLong() == 0;
    }

    int userVersion() override
    {
        Result r = run(QStringLiteral("SELECT obj_description(oid, 'pg_namespace') FROM pg_namespace WHERE nspname = %1")
                           .arg(sqlText(m_schema.toUtf8().constData())));
        if (PQntuples(r.r) == 0 || PQgetisnull(r.r, 0, 0))
            return 0;
        const QString text = QString::fromUtf8(PQgetvalue(r.r, 0, 0));
        return text.section(QLatin1Char(' '), -1).toInt();
    }
    void setUserVersion(int v) override
    {
        run(QStringLiteral("COMMENT ON SCHEMA %1 IS 'brelvo %2'").arg(quoteIdent(m_schema)).arg(v));
    }

    // Inside the write transaction of an empty schema: the schema, its text
    // functions and nothing else yet.
    void provisionSchema()
    {
        run(QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1").arg(quoteIdent(m_schema)));
        const QString upper = QStringLiteral("translate($1, %1, %2)").arg(sqlText(kUpperFrom), sqlText(kUpperTo));
        const QString base = QStringLiteral("translate(%1, %2, %3)").arg(upper, sqlText(kBaseFrom), sqlText(kBaseTo));
        run(QStringLiteral("CREATE OR REPLACE FUNCTION brelvo_ptbr(text) RETURNS bytea LANGUAGE sql IMMUTABLE STRICT "
                           "PARALLEL SAFE AS $f$ SELECT convert_to(%1 || chr(1) || %2, 'UTF8') $f$")
                .arg(base, upper));
        // Case functions over every letter, as the SQLite connection registers them.
        Result icu = run(QStringLiteral("SELECT 1 FROM pg_collation WHERE collname = 'und-x-icu'"));
        const bool hasIcu = PQntuples(icu.r) > 0;
        for (const auto &[name, fn] : {std::pair{"brelvo_upper", "upper"}, std::pair{"brelvo_lower", "lower"}}) {
            const QString body = hasIcu
                ? QStringLiteral("SELECT %1($1 COLLATE \"und-x-icu\") COLLATE \"C\"").arg(QLatin1String(fn))
                : QStringLiteral("SELECT translate($1, %1, %2)")
                      .arg(qstrcmp(fn, "upper") == 0 ? sqlText(kUpperFrom) : sqlText(kUpperTo),
                           qstrcmp(fn, "upper") == 0 ? sqlText(kUpperTo) : sqlText(kUpperFrom));
            run(QStringLiteral("CREATE OR REPLACE FUNCTION %1(text) RETURNS text LANGUAGE sql IMMUTABLE STRICT "
                               "PARALLEL SAFE AS $f$ %2 $f$")
                    .arg(QLatin1String(name), body));
        }
    }

    void refreshStatistics() override
    {
        Result r = run(QStringLiteral("SELECT string_agg(format('%I.%I', schemaname, tablename), ', ') "
                                      "FROM pg_tables WHERE schemaname = %1")
                           .arg(sqlText(m_schema.toUtf8().constData())));
        const QString tables = QString::fromUtf8(PQgetvalue(r.r, 0, 0));
        if (!tables.isEmpty())
            run(QStringLiteral("ANALYZE ") + tables);
    }

    // A row stored with its AutoInc number given moves the number on. One
    // function per table with its names written in, so that its statement is
    // planned once per connection rather than at every insert.
    void autoIncTrigger(const QString &sqlName, const QString &column)
    {
        const QString table = quoteIdent(m_schema) + QLatin1Char('.') + quoteIdent(sqlName);
        const QString col = quoteIdent(column);
        Result seq = run(QStringLiteral("SELECT pg_get_serial_sequence(%1, %2)")
                             .arg(sqlText(table.toUtf8().constData()), sqlText(column.toLower().toUtf8().constData())));
        const QString seqName = sqlText(PQgetvalue(seq.r, 0, 0)) + QStringLiteral("::regclass");
        const QString name = quoteIdent(sqlName + QStringLiteral("_autoinc"));
        const QString fn = quoteIdent(m_schema) + QLatin1Char('.') + name;
        run(QStringLiteral("CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $f$ BEGIN "
                           "PERFORM setval(%2, m) FROM (SELECT max(%3) AS m FROM %4) a "
                           "WHERE m > coalesce(pg_sequence_last_value(%2), 0); RETURN NULL; END $f$")
                .arg(fn, seqName, col, table));
        run(QStringLiteral("DROP TRIGGER IF EXISTS %1 ON %2").arg(name, table));
        run(QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 FOR EACH STATEMENT EXECUTE FUNCTION %3()")
                .arg(name, table, fn));
    }

    // Databases made by earlier versions: triggers that call the shared
    // function (which builds and plans its statements at every insert), and
    // tables without the index of their key as a double.
    void upgradeSchema()
    {
        const QString schema = sqlText(m_schema.toUtf8().constData());
        QSet<QString> present, doubled;
        Result tables(run(QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = %1").arg(schema)));
        for (int i = 0; i < PQntuples(tables.r); ++i)
            present.insert(QString::fromUtf8(PQgetvalue(tables.r, i, 0)));
        Result ix(run(QStringLiteral("SELECT tablename FROM pg_indexes WHERE schemaname = %1 "
                                     "AND indexdef LIKE '%::double precision)%'")
                          .arg(schema)));
        for (int i = 0; i < PQntuples(ix.r); ++i)
            doubled.insert(QString::fromUtf8(PQgetvalue(ix.r, i, 0)));
        std::vector<std::pair<QString, QString>> missing;
        for (const TableDef &t : catalogue()) {
            const QString autoInc = autoIncOf(t);
            if (present.contains(t.sqlName) && !doubled.contains(t.sqlName) && wantsDoubleKey(t, autoInc))
                missing.emplace_back(t.sqlName, autoInc);
        }
        upgradeAutoIncTriggers(missing);
    }

    void upgradeAutoIncTriggers(const std::vector<std::pair<QString, QString>> &missingDouble)
    {
        Result r = run(QStringLiteral(
                           "SELECT c.relname, pg_get_triggerdef(t.oid) FROM pg_trigger t "
                           "JOIN pg_class c ON c.oid = t.tgrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
                           "JOIN pg_proc p ON p.oid = t.tgfoid WHERE n.nspname = %1 AND p.proname = 'brelvo_autoinc'")
                           .arg(sqlText(m_schema.toUtf8().constData())));
        std::vector<std::pair<QString, QString>> old;
        static const QRegularExpression arg(QStringLiteral("brelvo_autoinc\\('([^']+)'\\)"));
        for (int i = 0; i < PQntuples(r.r); ++i) {
            const auto m = arg.match(QString::fromUtf8(PQgetvalue(r.r, i, 1)));
            if (m.hasMatch())
                old.emplace_back(QString::fromUtf8(PQgetvalue(r.r, i, 0)), m.captured(1));
        }
        if (old.empty() && missingDouble.empty())
            return;
        beginWrite();
        try {
            for (const auto &[table, column] : old)
                autoIncTrigger(table, column);
            for (const auto &[table, column] : missingDouble)
                run(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2.%3 ((%4::double precision))")
                        .arg(quoteIdent(table + QLatin1Char('_') + column.toLower() + QStringLiteral("_double")),
                             quoteIdent(m_schema),
                             quoteIdent(table), quoteIdent(column)));
            commitWrite();
        } catch (...) {
            rollbackWrite();
            throw;
        }
    }

    void createTable(const TableDef &t) override
    {
        const QString table = quoteIdent(t.sqlName);
        QStringList cols;
        QString autoInc;
        for (const FieldDef &f : t.fields) {
            QString c = quoteIdent(f.name) + QLatin1Char(' ') + declaredType(f, EngineKind::Postgres);
            if (f.type == FieldType::AutoInc && autoInc.isEmpty()) {
                autoInc = f.name;
                c += QStringLiteral(" GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
            }
            cols << c;
        }
        if (autoInc.isEmpty())
            cols << QStringLiteral("rowid bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
        else
            cols << QStringLiteral("rowid bigint GENERATED ALWAYS AS (%1) STORED UNIQUE").arg(quoteIdent(autoInc));
        run(QStringLiteral("CREATE TABLE %1 (%2)").arg(table, cols.join(QStringLiteral(", "))));
        if (!autoInc.isEmpty())
            autoIncTrigger(t.sqlName, autoInc);

        QSet<QString> made;
        int n = 0;
        auto make = [&](bool unique, const QStringList &parts) {
            const QString sig = (unique ? QStringLiteral("U:") : QStringLiteral("N:")) + parts.join(QLatin1Char(','));
            if (made.contains(sig))
                return;
            made.insert(sig);
            run(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                    .arg(unique ? QStringLiteral("UNIQUE ") : QString(),
                         quoteIdent(QStringLiteral("ix_%1_%2").arg(t.sqlName).arg(++n)), table,
                         parts.join(QStringLiteral(", "))));
        };
        for (const IndexDef &ix : t.indexes) {
            QStringList ordered, uniqueParts;
            bool onlyRowid = ix.fields.size() == 1;
            for (const QString &fn : ix.fields) {
                const FieldDef *f = t.field(fn);
                if (!f)
                    continue;
                if (f->type != FieldType::AutoInc)
                    onlyRowid = false;
                const bool text = f->type == FieldType::Alpha || f->type == FieldType::Memo;
                const QString col = quoteIdent(f->name);
                // An exact index keeps text as stored (the columns compare by code point).
                ordered << (text && !ix.exact ? textKey(col) : col) + QStringLiteral(" NULLS FIRST");
                uniqueParts << (text && !ix.primary && !ix.exact ? textKey(col) : col);
            }
            if (ordered.isEmpty() || onlyRowid)
                continue;
            // The order a cursor reads (key fields, then the row id) ...
            make(false, QStringList(ordered) << QStringLiteral("rowid"));
            // ... and the rule of a unique index (text without case, as the
            // SQLite index with its collation; a primary field as stored).
            if (ix.unique)
                make(true, uniqueParts);
        }
        if (wantsDoubleKey(t, autoInc))
            make(false, {QStringLiteral("(%1::double precision)").arg(quoteIdent(autoInc))});
    }

    // A detail's Number field that holds the AutoInc (an order's lines by
    // CodVenda) meets it as a double; the server then compares the key as
    // one, which the key's own index cannot answer: the key gets an index as
    // a double too.
    static bool wantsDoubleKey(const TableDef &t, const QString &autoInc)
    {
        for (const DetailDef &d : t.details) {
            const TableDef *detail = Database::tableDef(d.table);
            if (autoInc.isEmpty() || !detail || d.fields.size() != 1 || d.masterFields.size() != 1
                || d.masterFields.first().compare(autoInc, Qt::CaseInsensitive) != 0)
                continue;
            const FieldDef *f = detail->field(d.fields.first());
            if (f && (f->type == FieldType::Number || f->type == FieldType::Money))
                return true;
        }
        return false;
    }

    static QString autoIncOf(const TableDef &t)
    {
        for (const FieldDef &f : t.fields) {
            if (f.type == FieldType::AutoInc)
                return f.name;
        }
        return {};
    }

    std::vector<std::pair<QString, QString>> columns(const QString &sqlName) override
    {
        std::vector<std::pair<QString, QString>> out;
        Result r = run(QStringLiteral(
                           "SELECT coalesce(col_description(a.attrelid, a.attnum), a.attname), "
                           "format_type(a.atttypid, a.atttypmod) FROM pg_attribute a "
                           "WHERE a.attrelid = to_regclass(%1) AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum")
                           .arg(sqlText(quoteIdent(sqlName).toUtf8().constData())));
        for (int i = 0; i < PQntuples(r.r); ++i) {
            const QString name = QString::fromUtf8(PQgetvalue(r.r, i, 0));
            if (name == QLatin1String("rowid"))
                continue;
            out.emplace_back(name, QString::fromUtf8(PQgetvalue(r.r, i, 1)));
        }
        return out;
    }

    // COPY ... FROM STDIN in text form: the fastest way in for many rows.
    void copyIn(const QString &sqlName, const QStringList &columns,
                const std::function<bool(QVariantList &)> &next) override
    {
        QStringList cols;
        for (const QString &c : columns)
            cols << quoteIdent(c);
        Result start(PQexec(m_c, QStringLiteral("COPY %1 (%2) FROM STDIN")
                                     .arg(quoteIdent(sqlName), cols.join(QLatin1Char(',')))
                                     .toUtf8()
                                     .constData()));
        if (PQresultStatus(start.r) != PGRES_COPY_IN)
            throw pgError(m_c, start.r);
        QVariantList row;
        QByteArray buf;
        auto flush = [&] {
            if (PQputCopyData(m_c, buf.constData(), int(buf.size())) != 1)
                throw pgError(m_c, nullptr);
            buf.clear();
        };
        try {
            while (next(row)) {
                for (int i = 0; i < row.size(); ++i) {
                    if (i)
                        buf += '\t';
                    buf += copyText(row[i]);
                }
                buf += '\n';
                if (buf.size() > (1 << 20))
                    flush();
            }
            flush();
        } catch (...) {
            PQputCopyEnd(m_c, "cancelado");
            PQclear(PQgetResult(m_c));
            throw;
        }
        if (PQputCopyEnd(m_c, nullptr) != 1)
            throw pgError(m_c, nullptr);
        Result end(PQgetResult(m_c));
        while (PGresult *more = PQgetResult(m_c))
            PQclear(more);
        if (!end.ok())
            throw pgError(m_c, end.r);
        m_changes += QByteArray(PQcmdTuples(end.r)).toLongLong();
    }

    static QByteArray copyText(const QVariant &v)
    {
        if (!v.isValid() || v.isNull())
            return QByteArrayLiteral("\\N");
        QByteArray t;
        switch (v.metaType().id()) {
        case QMetaType::QByteArray:
            t = "\\x" + v.toByteArray().toHex();
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            return QByteArray::number(v.toDouble(), 'g', 17);
        case QMetaType::Bool:
            return v.toBool() ? "1" : "0";
        default:
            t = bindText(v).toUtf8();
            break;
        }
        QByteArray out;
        out.reserve(t.size());
        for (char c : std::as_const(t)) {
            switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
            }
        }
        return out;
    }

    // Table and column names of a result column's source, cached.
    bool sourceOf(Oid table, int column, QString &tableName, QString &columnName, QString &declType)
    {
        const qint64 key = (qint64(table) << 16) | column;
        auto it = m_sources.constFind(key);
        if (it == m_sources.constEnd()) {
            Result r = run(QStringLiteral("SELECT c.relname, a.attname, format_type(a.atttypid, a.atttypmod) "
                                          "FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
                                          "WHERE a.attrelid = %1 AND a.attnum = %2")
                               .arg(table)
                               .arg(column));
            QStringList v;
            if (PQntuples(r.r) > 0)
                v << QString::fromUtf8(PQgetvalue(r.r, 0, 0)) << QString::fromUtf8(PQgetvalue(r.r, 0, 1))
                  << QString::fromUtf8(PQgetvalue(r.r, 0, 2));
            it = m_sources.insert(key, v);
        }
        if (it->isEmpty())
            return false;
        tableName = (*it)[0];
        columnName = (*it)[1];
        declType = (*it)[2];
        return true;
    }

    QByteArray nextName() { return "brelvo_s" + QByteArray::number(++m_stmtCounter); }

    // Prepares a statement and describes it in one round trip; `desc` gets
    // the description when the prepare succeeded.
    Result prepareDescribed(const QByteArray &name, const QString &text, int params, Result &desc)
    {
        const QByteArray t = text.toUtf8();
        if (!PQenterPipelineMode(m_c)) {
            Result r(PQprepare(m_c, name.constData(), t.constData(), params, nullptr));
            if (r.ok())
                desc = Result(PQdescribePrepared(m_c, name.constData()));
            return r;
        }
        const bool sent = PQsendPrepare(m_c, name.constData(), t.constData(), params, nullptr)
                          && PQsendDescribePrepared(m_c, name.constData()) && PQpipelineSync(m_c);
        Result prep, described;
        if (sent) {
            prep = Result(PQgetResult(m_c));
            while (PGresult *more = PQgetResult(m_c))
                PQclear(more);
            described = Result(PQgetResult(m_c));
            while (PGresult *more = PQgetResult(m_c))
                PQclear(more);
            Result sync(PQgetResult(m_c));
        }
        PQexitPipelineMode(m_c);
        if (!prep.r)
            throw pgError(m_c, nullptr, text);
        if (prep.ok())
            desc = std::move(described);
        return prep;
    }

    // Texts the server wanted grouped by more columns, as corrected the first time.
    QString groupedText(const QString &text) const { return m_grouped.value(text, text); }
    void rememberGrouped(const QString &text, const QString &grouped) { m_grouped.insert(text, grouped); }
    void deallocateLater(const QByteArray &name) { m_unused << name; }

    // Statements no cursor or query holds any more stay prepared, by text, so
    // that the same SQL run again (a report, a lookup) skips the prepare's
    // round trip and the server's planning. The least recently given back go
    // first when there are too many; a schema change drops them all.
    bool takeIdle(const QString &key, QByteArray &name, std::shared_ptr<Result> &desc, quint64 &generation)
    {
        auto it = m_idle.find(key);
        if (it == m_idle.end())
            return false;
        name = it->name;
        desc = std::move(it->desc);
        generation = m_generation;
        m_idle.erase(it);
        return true;
    }
    void giveBack(const QString &key, const QByteArray &name, std::shared_ptr<Result> desc, quint64 generation)
    {
        if (generation != m_generation || m_idle.contains(key)) {
            deallocateLater(name);
            return;
        }
        if (m_idle.size() >= kMaxIdle) {
            auto oldest = m_idle.begin();
            for (auto it = m_idle.begin(); it != m_idle.end(); ++it) {
                if (it->used < oldest->used)
                    oldest = it;
            }
            deallocateLater(oldest->name);
            m_idle.erase(oldest);
        }
        m_idle.insert(key, Idle{name, std::move(desc), ++m_tick});
    }
    void schemaChanged()
    {
        ++m_generation;
        for (const Idle &i : std::as_const(m_idle))
            deallocateLater(i.name);
        m_idle.clear();
    }
    quint64 generation() const { return m_generation; }

    void flushDeallocations()
    {
        if (m_unused.isEmpty() || PQtransactionStatus(m_c) == PQTRANS_INERROR)
            return;
        QByteArray sql;
        for (const QByteArray &n : std::as_const(m_unused))
            sql += "DEALLOCATE " + n + ";";
        m_unused.clear();
        PQclear(PQexec(m_c, sql.constData()));
    }

private:
    PGconn *m_c;
    QString m_schema;
    qint64 m_changes = 0;
    quint64 m_stmtCounter = 0;
    QList<QByteArray> m_unused;
    QHash<qint64, QStringList> m_sources;
    QHash<QString, QString> m_grouped;
    struct Idle {
        QByteArray name;
        std::shared_ptr<Result> desc;
        quint64 used = 0;
    };
    static constexpr qsizetype kMaxIdle = 128;
    QHash<QString, Idle> m_idle;
    quint64 m_tick = 0;
    quint64 m_generation = 0;
};

PgStmtImpl::PgStmtImpl(PgConn *c, const QString &sql) : m_c(c), m_sql(sql)
{
    int n = 0;
    m_key = serverSql(sql, &n);
    m_params.resize(size_t(n));
    m_readOnly = startsReadOnly(sql);
    if (!c->takeIdle(m_key, m_name, m_desc, m_generation))
        prepareNew(m_key, n);
    describeColumns(n);
}

void PgStmtImpl::prepareNew(const QString &server, int n)
{
    PgConn *c = m_c;
    if (!m_name.isEmpty())
        c->deallocateLater(m_name);
    m_name = c->nextName();
    m_generation = c->generation();
    QString text = c->groupedText(server);
    Result desc;
    Result r = c->prepareDescribed(m_name, text, n, desc);
    // SQLite lets a grouped query show a column it does not group by (one
    // row's value; in the windows' reports a value of the group's key row,
    // such as the mechanic's commission): the server is told to group by it too.
    for (int tries = 0; !r.ok() && tries < 8; ++tries) {
        const char *state = PQresultErrorField(r.r, PG_DIAG_SQLSTATE);
        if (!state || qstrcmp(state, "42803") != 0)
            break;
        static const QRegularExpression missing(QStringLiteral("column \"([^\"]+)\" must appear in the GROUP BY"));
        const auto m = missing.match(QString::fromUtf8(PQresultErrorMessage(r.r)));
        const QString grouped = m.hasMatch() ? withGroupColumn(text, m.captured(1)) : QString();
        if (grouped.isEmpty())
            break;
        text = grouped;
        r = c->prepareDescribed(m_name, text, n, desc);
    }
    if (!r.ok()) {
        m_name.clear();
        throw pgError(c->raw(), r.r, m_sql);
    }
    if (text != server)
        c->rememberGrouped(server, text);
    if (!desc.ok())
        throw pgError(c->raw(), desc.r);
    m_desc = std::make_shared<Result>(std::move(desc));
}

void PgStmtImpl::describeColumns(int n)
{
    const PGresult *d = m_desc->r;
    for (int i = 0; i < n && i < PQnparams(d); ++i)
        m_params[size_t(i)].type = PQparamtype(d, i);
    // A table's "rowid" is not one of its fields: hidden unless the text asks for it.
    m_cols.clear();
    const int nf = PQnfields(d);
    if (!m_sql.contains(QLatin1String("rowid"), Qt::CaseInsensitive)) {
        bool hidden = false;
        for (int i = 0; i < nf; ++i) {
            if (qstrcmp(PQfname(d, i), "rowid") == 0 && PQftable(d, i) != InvalidOid)
                hidden = true;
            else
                m_cols << i;
        }
        if (!hidden)
            m_cols.clear();
    }
}

PgStmtImpl::~PgStmtImpl()
{
    if (!m_name.isEmpty())
        m_c->giveBack(m_key, m_name, std::move(m_desc), m_generation);
}

void PgStmtImpl::bind(int index, const QVariant &v)
{
    if (index < 1 || index > int(m_params.size()))
        throw DbError(DbError::Kind::SqlError, QStringLiteral("Parâmetro fora da consulta: %1").arg(index));
    Param &p = m_params[size_t(index - 1)];
    p = Param{true, false, QByteArray(), p.type};
    if (!v.isValid() || v.isNull())
        return;
    if (const int kind = numberKind(p.type); kind != 0 && v.metaType().id() != QMetaType::QByteArray) {
        // A number column meets text: the number it spells, as SQLite's column
        // affinity reads it. Text that is no such number can equal no row:
        // a read finds nothing (no error); a write is refused by the server.
        const std::optional<QByteArray> number = numberText(v, kind == 1);
        if (number) {
            p.null = false;
            p.bytes = *number;
        } else if (!m_readOnly) {
            p.null = false;
            p.bytes = bindText(v).toUtf8();
        }
        return;
    }
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        if (!v.toDate().isValid())
            return;
        break;
    case QMetaType::Bool:
        p.null = false;
        p.bytes = v.toBool() ? "1" : "0";
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        p.null = false;
        p.bytes = QByteArray::number(v.toDouble(), 'g', 17);
        return;
    case QMetaType::QByteArray:
        p.null = false;
        p.binary = true;
        p.bytes = v.toByteArray();
        return;
    default:
        break;
    }
    p.null = false;
    p.bytes = bindText(v).toUtf8();
}

// A statement prepared before another desk changed a table's columns is
// refused by the server ("cached plan must not change result type"); it is
// prepared again and run once more.
void PgStmtImpl::run()
{
    try {
        runOnce();
    } catch (const DbError &) {
        if (!m_stalePlan || PQtransactionStatus(m_c->raw()) == PQTRANS_INERROR)
            throw;
        prepareNew(m_key, int(m_params.size()));
        describeColumns(int(m_params.size()));
        runOnce();
    }
}

bool stalePlan(const PGresult *r)
{
    const char *state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    return state && qstrcmp(state, "0A000") == 0;
}

void PgStmtImpl::runOnce()
{
    m_stalePlan = false;
    const int n = int(m_params.size());
    const auto count = static_cast<size_t>(n);
    std::vector<const char *> values(count);
    std::vector<int> lengths(count), formats(count);
    for (int i = 0; i < n; ++i) {
        const Param &p = m_params[size_t(i)];
        values[size_t(i)] = p.null ? nullptr : p.bytes.constData();
        lengths[size_t(i)] = int(p.bytes.size());
        formats[size_t(i)] = p.binary ? 1 : 0;
    }
    PGconn *c = m_c->raw();
    if (m_readOnly) {
        m_res = Result(PQexecPrepared(c, m_name.constData(), n, values.data(), lengths.data(), formats.data(), 0));
        if (!m_res.ok()) {
            m_stalePlan = stalePlan(m_res.r);
            DbError e = pgError(c, m_res.r, m_sql);
            m_res = Result();
            throw e;
        }
        m_row = -1;
        return;
    }
    // Inside a transaction a failing write must not spoil what came before
    // (a savepoint around it); outside one a write is a transaction of its
    // own that takes its turn with the other writers, as in SQLite. Either
    // way the statement and its brackets go to the server in one round trip.
    const bool guard = m_c->inTransaction();
    QList<QByteArray> before, after;
    if (guard) {
        before << "SAVEPOINT brelvo_stmt";
        after << "RELEASE SAVEPOINT brelvo_stmt";
    } else {
        m_c->flushDeallocations();
        before << "BEGIN" << m_c->lockSql().toUtf8();
        after << "COMMIT";
    }
    if (!PQenterPipelineMode(c))
        throw pgError(c, nullptr, m_sql);
    bool sent = true;
    for (const QByteArray &q : std::as_const(before))
        sent = sent && PQsendQueryParams(c, q.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
    sent = sent && PQsendQueryPrepared(c, m_name.constData(), n, values.data(), lengths.data(), formats.data(), 0);
    for (const QByteArray &q : std::as_const(after))
        sent = sent && PQsendQueryParams(c, q.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
    sent = sent && PQpipelineSync(c);
    // One result per request (each followed by a null), then the sync's.
    std::vector<Result> results;
    std::optional<DbError> failure;
    const int expected = int(before.size() + 1 + after.size());
    for (int i = 0; sent && i < expected; ++i) {
        Result r(PQgetResult(c));
        if (!r.r) {
            sent = false;
            break;
        }
        while (PGresult *extra = PQgetResult(c))
            PQclear(extra);
        const ExecStatusType st = PQresultStatus(r.r);
        if (!failure && st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
            failure = pgError(c, r.r, i == int(before.size()) ? m_sql : QString());
            m_stalePlan = i == int(before.size()) && stalePlan(r.r);
        }
        results.push_back(std::move(r));
    }
    if (sent) {
        Result sync(PQgetResult(c));
        sent = sync.r && PQresultStatus(sync.r) == PGRES_PIPELINE_SYNC;
    }
    if (!sent && !failure)
        failure = pgError(c, nullptr, m_sql);
    PQexitPipelineMode(c);
    if (failure) {
        m_res = Result();
        if (PQtransactionStatus(c) == PQTRANS_INERROR) {
            // A failed savepoint request leaves nothing to undo; a failed
            // statement goes back to its savepoint, or the whole transaction.
            const bool savepointMade = guard && results.size() > size_t(before.size())
                                       && PQresultStatus(results[0].r) == PGRES_COMMAND_OK;
            if (savepointMade)
                PQclear(PQexec(c, "ROLLBACK TO SAVEPOINT brelvo_stmt; RELEASE SAVEPOINT brelvo_stmt"));
            else if (!guard)
                PQclear(PQexec(c, "ROLLBACK"));
        } else if (!guard && PQtransactionStatus(c) == PQTRANS_INTRANS) {
            PQclear(PQexec(c, "ROLLBACK"));
        }
        throw *failure;
    }
    m_res = std::move(results[size_t(before.size())]);
    if (changesSchema(m_sql))
        m_c->schemaChanged();
    keepAddedColumnName();
    m_c->addChanges(QByteArray(PQcmdTuples(m_res.r)).toLongLong());
    m_row = -1;
}

// The server folds a new column's name to lower case; its spelling
// ("SenhaHash") is kept as the column's comment and read back as its name.
void PgStmtImpl::keepAddedColumnName()
{
    static const QRegularExpression addColumn(
        QStringLiteral("^\\s*alter\\s+table\\s+(\"[^\"]+\"|\\S+)\\s+add\\s+(?:column\\s+)?(?:if\\s+not\\s+exists\\s+)?(\"[^\"]+\"|[\\w]+)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    const auto m = addColumn.match(m_sql);
    if (!m.hasMatch())
        return;
    QString table = m.captured(1), column = m.captured(2);
    for (QString *n : {&table, &column}) {
        if (n->startsWith(QLatin1Char('"')))
            *n = n->mid(1, n->size() - 2);
    }
    Result r(PQexec(m_c->raw(), QStringLiteral("COMMENT ON COLUMN %1.%2 IS %3")
                                    .arg(quoteIdent(table), quoteIdent(column), sqlText(column.toUtf8().constData()))
                                    .toUtf8()
                                    .constData()));
    if (!r.ok())
        m_res = std::move(r);       // reported as the statement's failure
}

bool PgStmtImpl::step()
{
    if (!m_res.r)
        run();
    if (m_row + 1 < PQntuples(m_res.r)) {
        ++m_row;
        return true;
    }
    m_row = PQntuples(m_res.r);
    return false;
}

int PgStmtImpl::exec()
{
    run();
    const int n = m_readOnly ? 0 : QByteArray(PQcmdTuples(m_res.r)).toInt();
    m_res = Result();
    m_row = -1;
    return n;
}

int PgStmtImpl::columnCount() const
{
    return m_cols.isEmpty() ? PQnfields(m_desc->r) : int(m_cols.size());
}

QString PgStmtImpl::columnName(int i) const
{
    const QString name = QString::fromUtf8(PQfname(m_desc->r, visible(i)));
    // The server folds names to lower case: give back the spelling of the SQL text.
    const auto word = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    for (qsizetype at = m_sql.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = m_sql.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + name.size();
        if ((at == 0 || !word(m_sql[at - 1])) && (end >= m_sql.size() || !word(m_sql[end])))
            return m_sql.mid(at, name.size());
    }
    return name;
}

QVariant PgStmtImpl::column(int i) const
{
    const int c = visible(i);
    if (!m_res.r || m_row < 0 || m_row >= PQntuples(m_res.r) || PQgetisnull(m_res.r, m_row, c))
        return QVariant();
    const char *v = PQgetvalue(m_res.r, m_row, c);
    const char *end = v + PQgetlength(m_res.r, m_row, c);
    switch (PQftype(m_res.r, c)) {
    case 16: // bool
        return QVariant(qint64(v[0] == 't' ? 1 : 0));
    case 20: case 21: case 23: case 26: { // integers, oid
        qint64 n = 0;
        if (std::from_chars(v, end, n).ec == std::errc())
            return QVariant(n);
        return QVariant(QByteArray(v).toLongLong());
    }
    case 700: case 701: {
        double d = 0;
        if (std::from_chars(v, end, d).ec == std::errc())
            return QVariant(d);
        return QVariant(QByteArray(v).toDouble());
    }
    case 1700: { // numeric: a whole sum stays whole
        const QByteArray b(v);
        if (!b.contains('.') && !b.contains('e') && !b.contains('E') && b.size() < 19)
            return QVariant(b.toLongLong());
        return QVariant(b.toDouble());
    }
    case 17: { // bytea, hex text
        size_t len = 0;
        unsigned char *raw = PQunescapeBytea(reinterpret_cast<const unsigned char *>(v), &len);
        QByteArray out(reinterpret_cast<const char *>(raw), qsizetype(len));
        PQfreemem(raw);
        return QVariant(out);
    }
    default:
        return QVariant(QString::fromUtf8(v, PQgetlength(m_res.r, m_row, c)));
    }
}

bool PgStmtImpl::source(int i, QString &table, QString &column, QString &declType) const
{
    const int c = visible(i);
    const Oid t = PQftable(m_desc->r, c);
    const int col = PQftablecol(m_desc->r, c);
    if (t == InvalidOid || col <= 0)
        return false;
    return m_c->sourceOf(t, col, table, column, declType);
}

} // namespace

std::unique_ptr<Conn> connectPostgres(const QString &uri, const QString &schema, const QString &password,
                                      QString *error, bool *needsPassword)
{
    const QByteArray u = uri.toUtf8(), pw = password.toUtf8();
    const char *keys[] = {"dbname", "password", "application_name", "client_encoding", nullptr};
    const QByteArray app = deskName().toUtf8();
    const char *vals[] = {u.constData(), password.isEmpty() ? nullptr : pw.constData(), app.constData(), "UTF8",
                          nullptr};
    PGconn *c = PQconnectdbParams(keys, vals, 1);
    if (needsPassword)
        *needsPassword = false;
    if (!c || PQstatus(c) != CONNECTION_OK) {
        // No password at hand, or one (given or from the password file) refused.
        if (needsPassword && c)
            *needsPassword = PQconnectionNeedsPassword(c) != 0 || PQconnectionUsedPassword(c) != 0;
        if (error)
            *error = c ? QString::fromUtf8(PQerrorMessage(c)).trimmed() : QStringLiteral("sem memória");
        PQfinish(c);
        return nullptr;
    }
    auto conn = std::make_unique<PgConn>(c, schema);
    try {
        conn->run(QStringLiteral("SET search_path TO %1, public").arg(quoteIdent(schema)));
        conn->run(QStringLiteral("SET lock_timeout = 5000"));
        conn->run(QStringLiteral("SET client_min_messages = warning"));
    } catch (const DbError &e) {
        if (error)
            *error = e.message();
        return nullptr;
    }
    return conn;
}

QString deskName()
{
    QString program = QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
    if (program.isEmpty())
        program = QStringLiteral("Brelvo");
    QString name = program + QLatin1Char(' ') + QSysInfo::machineHostName();
    // The server keeps 63 bytes of it.
    while (name.toUtf8().size() > 63)
        name.chop(1);
    return name;
}

PGconn *pgHandle(Conn *c)
{
    auto *pg = dynamic_cast<PgConn *>(c);
    return pg ? pg->raw() : nullptr;
}

QString pgSchema(Conn *c)
{
    auto *pg = dynamic_cast<PgConn *>(c);
    return pg ? pg->schema() : QString();
}

void postgresLogin(const QString &uri, QString *user, QString *server)
{
    PQconninfoOption *opts = PQconninfoParse(uri.toUtf8().constData(), nullptr);
    PQconninfoOption *defaults = PQconndefaults();
    auto value = [](PQconninfoOption *list, const char *key) {
        for (PQconninfoOption *o = list; o && o->keyword; ++o) {
            if (qstrcmp(o->keyword, key) == 0 && o->val && *o->val)
                return QString::fromUtf8(o->val);
        }
        return QString();
    };
    auto either = [&](const char *key) {
        const QString v = value(opts, key);
        return v.isEmpty() ? value(defaults, key) : v;
    };
    *user = either("user");
    QString host = either("host");
    if (host.isEmpty() || host.startsWith(QLatin1Char('/')))
        host = QStringLiteral("localhost");
    const QString port = either("port");
    *server = port.isEmpty() ? host : host + QLatin1Char(':') + port;
    PQconninfoFree(opts);
    PQconninfoFree(defaults);
}

void provisionPostgresSchema(Conn *c)
{
    if (auto *pg = dynamic_cast<PgConn *>(c))
        pg->provisionSchema();
}

void upgradePostgresSchema(Conn *c)
{
    if (auto *pg = dynamic_cast<PgConn *>(c))
        pg->upgradeSchema();
}

} // namespace brelvo::data::detail
