#include "data/SqliteStmt.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>
#include <cmath>
#include <optional>

namespace brelvo::data::detail {

DbError sqliteError(sqlite3 *h, int rc, const QString &context)
{
    const int primary = rc & 0xff;
    const QString engine = h ? QString::fromUtf8(sqlite3_errmsg(h)) : QString::fromUtf8(sqlite3_errstr(rc));
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return DbError(DbError::Kind::Busy,
                       QStringLiteral("Banco de dados ocupado por outro usuário. Tente novamente em instantes."));
    if (primary == SQLITE_CONSTRAINT)
        return DbError(DbError::Kind::KeyViolation, QStringLiteral("Violação de chave."));
    QString msg = QStringLiteral("Erro no banco de dados: %1").arg(engine);
    if (!context.isEmpty())
        msg += QStringLiteral(" (%1)").arg(context);
    return DbError(DbError::Kind::SqlError, msg);
}

QString quoteIdent(const QString &name)
{
    QString q = name.toLower();
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString quoteName(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// ---------------------------------------------------------------- collation

namespace {

inline unsigned upperCp(unsigned c)
{
    if (c >= 'a' && c <= 'z')
        return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 32;
    if (c == 0xFF)
        return 0x178;
    return c;
}

// Letter without accent, for the first comparison pass (upper case input).
inline unsigned baseCp(unsigned c)
{
    if (c < 0xC0 || c > 0xDD)
        return c;
    if (c <= 0xC5) return 'A';
    if (c == 0xC7) return 'C';
    if (c >= 0xC8 && c <= 0xCB) return 'E';
    if (c >= 0xCC && c <= 0xCF) return 'I';
    if (c == 0xD1) return 'N';
    if ((c >= 0xD2 && c <= 0xD6) || c == 0xD8) return 'O';
    if (c >= 0xD9 && c <= 0xDC) return 'U';
    if (c == 0xDD) return 'Y';
    return c;
}

inline unsigned decode(const unsigned char *s, int n, int &i)
{
    unsigned c = s[i++];
    if (c < 0x80)
        return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    c &= extra == 3 ? 0x07 : extra == 2 ? 0x0F : 0x1F;
    while (extra-- > 0 && i < n && (s[i] & 0xC0) == 0x80)
        c = (c << 6) | (s[i++] & 0x3F);
    return c;
}

int comparePass(const unsigned char *a, int na, const unsigned char *b, int nb, bool accents)
{
    int i = 0, j = 0;
    while (i < na && j < nb) {
        unsigned ca, cb;
        if (a[i] < 0x80 && b[j] < 0x80) {
            ca = upperCp(a[i++]);
            cb = upperCp(b[j++]);
        } else {
            ca = upperCp(decode(a, na, i));
            cb = upperCp(decode(b, nb, j));
            if (!accents) {
                ca = baseCp(ca);
                cb = baseCp(cb);
            }
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < na)
        return 1;
    if (j < nb)
        return -1;
    return 0;
}

int collate(void *, int na, const void *a, int nb, const void *b)
{
    auto *pa = static_cast<const unsigned char *>(a);
    auto *pb = static_cast<const unsigned char *>(b);
    // Letters first without accents (so "ÁGUA" sorts with "AGUA"), then with
    // accents; letter case never counts.
    const int r = comparePass(pa, na, pb, nb, false);
    return r != 0 ? r : comparePass(pa, na, pb, nb, true);
}

} // namespace

namespace {
// UPPER/LOWER over every letter, not only ASCII ("joão" -> "JOÃO").
void caseFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const QString s = QString::fromUtf8(t, sqlite3_value_bytes(argv[0]));
    const QByteArray r = (sqlite3_user_data(ctx) ? s.toUpper() : s.toLower()).toUtf8();
    sqlite3_result_text(ctx, r.constData(), int(r.size()), SQLITE_TRANSIENT);
}
} // namespace

void registerCollation(sqlite3 *h)
{
    sqlite3_create_collation(h, kTextCollation, SQLITE_UTF8, nullptr, &collate);
    static int upperTag = 1;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(h, "upper", 1, flags, &upperTag, &caseFunction, nullptr, nullptr);
    sqlite3_create_function(h, "lower", 1, flags, nullptr, &caseFunction, nullptr, nullptr);
}

// ---------------------------------------------------------------- statements

namespace {

class SqliteStmtImpl final : public StmtImpl {
public:
    SqliteStmtImpl(sqlite3 *h, const QString &sql) : m_h(h)
    {
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v3(h, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                                          &m_stmt, nullptr);
        if (rc != SQLITE_OK) {
            DbError e = sqliteError(h, rc);
            const QString engine = QString::fromUtf8(sqlite3_errmsg(h));
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
            if (engine.startsWith(QLatin1String("no such table")))
                throw DbError(DbError::Kind::TableNotFound,
                              QStringLiteral("Tabela não encontrada: %1").arg(engine.section(QLatin1Char(':'), 1).trimmed()));
            if (engine.startsWith(QLatin1String("no such column")))
                throw DbError(DbError::Kind::FieldNotFound,
                              QStringLiteral("Campo não encontrado: %1").arg(engine.section(QLatin1Char(':'), 1).trimmed()));
            throw e;
        }
    }
    ~SqliteStmtImpl() override { sqlite3_finalize(m_stmt); }

    void reset() override
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

    void bind(int index, const QVariant &v) override
    {
        int rc = SQLITE_OK;
        if (!v.isValid() || v.isNull() || (v.metaType().id() == QMetaType::QDate && !v.toDate().isValid())) {
            rc = sqlite3_bind_null(m_stmt, index);
        } else {
            switch (v.metaType().id()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int(m_stmt, index, v.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::LongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::ULong:
            case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob64(m_stmt, index, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray t = bindText(v).toUtf8();
                rc = sqlite3_bind_text64(m_stmt, index, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT,
                                         SQLITE_UTF8);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            throw sqliteError(m_h, rc);
    }

    bool step() override
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        DbError e = sqliteError(m_h, rc);
        sqlite3_reset(m_stmt);
        throw e;
    }

    int exec() override
    {
        while (step()) {
        }
        const int n = sqlite3_changes(m_h);
        sqlite3_reset(m_stmt);
        return n;
    }

    int columnCount() const override { return sqlite3_column_count(m_stmt); }
    QString columnName(int i) const override { return QString::fromUtf8(sqlite3_column_name(m_stmt, i)); }

    QVariant column(int i) const override
    {
        switch (sqlite3_column_type(m_stmt, i)) {
        case SQLITE_INTEGER:
            return QVariant(qint64(sqlite3_column_int64(m_stmt, i)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_stmt, i));
        case SQLITE_TEXT: {
            auto *t = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
            return QVariant(QString::fromUtf8(t, sqlite3_column_bytes(m_stmt, i)));
        }
        case SQLITE_BLOB: {
            auto *b = static_cast<const char *>(sqlite3_column_blob(m_stmt, i));
            return QVariant(QByteArray(b, sqlite3_column_bytes(m_stmt, i)));
        }
        default:
            return QVariant();
        }
    }

    bool readOnly() const override { return sqlite3_stmt_readonly(m_stmt) != 0; }

    bool source(int i, QString &table, QString &column, QString &declType) const override
    {
        const char *t = sqlite3_column_table_name(m_stmt, i);
        const char *o = sqlite3_column_origin_name(m_stmt, i);
        if (!t || !o)
            return false;
        table = QString::fromUtf8(t);
        column = QString::fromUtf8(o);
        const char *decl = sqlite3_column_decltype(m_stmt, i);
        declType = decl ? QString::fromUtf8(decl) : QString();
        return true;
    }

private:
    sqlite3 *m_h;
    sqlite3_stmt *m_stmt = nullptr;
};

class SqliteConn final : public Conn {
public:
    explicit SqliteConn(sqlite3 *h) : m_h(h) {}
    EngineKind kind() const override { return EngineKind::Sqlite; }
    sqlite3 *sqliteHandle() const override { return m_h; }

    std::unique_ptr<StmtImpl> prepare(const QString &sql) override
    {
        return std::make_unique<SqliteStmtImpl>(m_h, sql);
    }

    void exec(const QString &sql) override
    {
        char *err = nullptr;
        const int rc = sqlite3_exec(m_h, sql.toUtf8().constData(), nullptr, nullptr, &err);
        sqlite3_free(err);
        if (rc != SQLITE_OK)
            throw sqliteError(m_h, rc);
    }

    qint64 totalChanges() const override { return sqlite3_total_changes64(m_h); }
    void setBusyTimeout(int ms) override { sqlite3_busy_timeout(m_h, ms); }

    // BEGIN IMMEDIATE takes the write lock at once: another program's writer
    // waits (busy time-out) until this one ends.
    void beginWrite() override { exec(QStringLiteral("BEGIN IMMEDIATE")); }
    void commitWrite() override { exec(QStringLiteral("COMMIT")); }
    void rollbackWrite() override { exec(QStringLiteral("ROLLBACK")); }

    QString textKey(const QString &expr) const override
    {
        return expr + QStringLiteral(" COLLATE ") + QLatin1String(kTextCollation);
    }
    // The collation on the value side lets SQLite search the index.
    QString textKeyColumn(const QString &column) const override { return column; }
    QString same(const QString &a, const QString &b) const override { return a + QStringLiteral(" IS ") + b; }
    // NOT INDEXED still walks the row id.
    QString inCreationOrder(const QString &table) const override { return table + QStringLiteral(" NOT INDEXED"); }

    bool isEmptyDatabase() override
    {
        Stmt count(this, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%'"));
        count.step();
        return count.column(0).toLongLong() == 0;
    }
    int userVersion() override
    {
        Stmt s(this, QStringLiteral("PRAGMA user_version"));
        return s.step() ? int(s.column(0).toLongLong()) : 0;
    }
    void setUserVersion(int v) override { exec(QStringLiteral("PRAGMA user_version = %1").arg(v)); }

    void createTable(const TableDef &t) override
    {
        QStringList cols;
        for (const FieldDef &f : t.fields)
            cols << quoteName(f.name) + QLatin1Char(' ') + declaredType(f, EngineKind::Sqlite);   // SQLite reports names as created
        exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdent(t.sqlName), cols.join(QStringLiteral(", "))));
        QSet<QString> made;
        int n = 0;
        for (const IndexDef &ix : t.indexes) {
            QStringList parts;
            bool onlyRowid = ix.fields.size() == 1;
            for (const QString &fn : ix.fields) {
                const FieldDef *f = t.field(fn);
                if (!f)
                    continue;
                if (f->type != FieldType::AutoInc)
                    onlyRowid = false;
                QString p = quoteIdent(f->name);
                if ((f->type == FieldType::Alpha || f->type == FieldType::Memo) && !ix.primary && !ix.exact)
                    p = textKey(p);
                parts << p;
            }
            if (parts.isEmpty() || onlyRowid)
                continue;   // the AutoInc field is the row id itself
            const QString sig = (ix.unique ? QStringLiteral("U:") : QStringLiteral("N:")) + parts.join(QLatin1Char(','));
            if (made.contains(sig))
                continue;
            made.insert(sig);
            exec(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                     .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(),
                          quoteIdent(QStringLiteral("ix_%1_%2").arg(t.sqlName).arg(++n)), quoteIdent(t.sqlName),
                          parts.join(QStringLiteral(", "))));
        }
    }

    std::vector<std::pair<QString, QString>> columns(const QString &sqlName) override
    {
        std::vector<std::pair<QString, QString>> out;
        Stmt s(this, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(sqlName)));
        while (s.step())
            out.emplace_back(s.column(1).toString(), s.column(2).toString());
        return out;
    }

private:
    sqlite3 *m_h;
};

} // namespace

std::unique_ptr<Conn> sqliteConn(sqlite3 *h) { return std::make_unique<SqliteConn>(h); }

QString bindText(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::QDate: return v.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime: return v.toDateTime().date().toString(Qt::ISODate);
    case QMetaType::QTime: return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    default: return v.toString();
    }
}

QString declaredType(const FieldDef &f, EngineKind engine)
{
    if (engine == EngineKind::Sqlite) {
        switch (f.type) {
        case FieldType::AutoInc: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
        case FieldType::Integer: return QStringLiteral("INTEGER");
        case FieldType::Number: return QStringLiteral("REAL");
        case FieldType::Money: return QStringLiteral("MONEY REAL");
        case FieldType::Alpha: return QStringLiteral("VARCHAR(%1)").arg(f.size);
        case FieldType::Date: return QStringLiteral("DATE TEXT");
        case FieldType::Time: return QStringLiteral("TIME TEXT");
        case FieldType::Memo: return QStringLiteral("MEMO TEXT");
        case FieldType::Graphic: return QStringLiteral("BLOB");
        case FieldType::Logical: return QStringLiteral("BOOLEAN INTEGER");
        }
        return QString();
    }
    // The server keeps the same storage forms (dates as ISO text, logical
    // values as 0/1); text compares by code point as in SQLite.
    switch (f.type) {
    case FieldType::AutoInc: return QStringLiteral("bigint");
    case FieldType::Integer: return QStringLiteral("bigint");
    case FieldType::Number: return QStringLiteral("double precision");
    case FieldType::Money: return QStringLiteral("double precision");
    case FieldType::Alpha: return QStringLiteral("varchar(%1) COLLATE \"C\"").arg(f.size > 0 ? f.size : 255);
    case FieldType::Date: return QStringLiteral("varchar(10) COLLATE \"C\"");
    case FieldType::Time: return QStringLiteral("varchar(8) COLLATE \"C\"");
    case FieldType::Memo: return QStringLiteral("text COLLATE \"C\"");
    case FieldType::Graphic: return QStringLiteral("bytea");
    case FieldType::Logical: return QStringLiteral("smallint");
    }
    return QString();
}

void Conn::copyIn(const QString &sqlName, const QStringList &columns,
                  const std::function<bool(QVariantList &)> &next)
{
    QStringList cols, marks;
    for (const QString &c : columns) {
        cols << quoteIdent(c);
        marks << QStringLiteral("?");
    }
    Stmt ins(this, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(quoteIdent(sqlName), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    QVariantList row;
    while (next(row)) {
        ins.reset();
        ins.bindAll(row);
        ins.exec();
    }
}

QVariantList Stmt::row() const
{
    const int n = columnCount();
    QVariantList r;
    r.reserve(n);
    for (int i = 0; i < n; ++i)
        r.append(column(i));
    return r;
}

namespace {
using StmtCache = QHash<QString, std::shared_ptr<Stmt>>;
QHash<Conn *, StmtCache> &stmtCaches()
{
    static QHash<Conn *, StmtCache> caches;
    return caches;
}
constexpr int kMaxCachedStmts = 256;
} // namespace

std::shared_ptr<Stmt> cachedStmt(Conn *c, const QString &sql)
{
    StmtCache &cache = stmtCaches()[c];
    auto it = cache.constFind(sql);
    if (it != cache.constEnd()) {
        (*it)->reset();
        return *it;
    }
    if (cache.size() >= kMaxCachedStmts)
        cache.clear();      // statements in use stay alive through their owners
    auto s = std::make_shared<Stmt>(c, sql);
    cache.insert(sql, s);
    return s;
}

void dropStmtCache(Conn *c) { stmtCaches().remove(c); }

// ---------------------------------------------------------------- values

namespace {

DbError invalid(const FieldDef &f, const QVariant &v)
{
    return DbError(DbError::Kind::InvalidValue,
                   QStringLiteral("'%1' não é um valor válido para o campo %2.").arg(v.toString(), f.name));
}

std::optional<double> parseNumberText(QString s)
{
    s = s.trimmed();
    s.remove(QLatin1Char(' '));
    if (s.isEmpty())
        return std::nullopt;
    if (s.contains(QLatin1Char(','))) {
        s.remove(QLatin1Char('.'));
        s.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    const double d = s.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

QDate parseDateText(const QString &text)
{
    const QString s = text.trimmed();
    QDate d = QDate::fromString(s, QStringLiteral("d/M/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(s, Qt::ISODate);
    return d;
}

QTime parseTimeText(const QString &text)
{
    const QString s = text.trimmed();
    for (const char *fmt : {"H:m:s", "H:m", "HH:mm:ss.zzz"}) {
        const QTime t = QTime::fromString(s, QLatin1String(fmt));
        if (t.isValid())
            return t;
    }
    return QTime();
}

bool isBlankMask(const QString &s)
{
    for (QChar c : s) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('/') && c != QLatin1Char(':') && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

} // namespace

namespace {
// An empty date or time value (QDate()) is an empty field.
bool isEmptyValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return true;
    switch (v.metaType().id()) {
    case QMetaType::QDate: return !v.toDate().isValid();
    case QMetaType::QTime: return !v.toTime().isValid();
    case QMetaType::QDateTime: return !v.toDateTime().isValid();
    default: return false;
    }
}
} // namespace

QVariant toStorage(const FieldDef &f, const QVariant &v)
{
    if (isEmptyValue(v))
        return QVariant();
    const int tid = v.metaType().id();
    switch (f.type) {
    case FieldType::Alpha:
    case FieldType::Memo: {
        QString s = tid == QMetaType::QDate ? v.toDate().toString(QStringLiteral("dd/MM/yyyy")) : v.toString();
        if (s.isEmpty())
            return QVariant();          // an empty text is a blank field, as before
        if (f.type == FieldType::Alpha && f.size > 0 && s.size() > f.size)
            s.truncate(f.size);
        return s;
    }
    case FieldType::Date: {
        QDate d;
        if (tid == QMetaType::QDate)
            d = v.toDate();
        else if (tid == QMetaType::QDateTime)
            d = v.toDateTime().date();
        else {
            const QString s = v.toString();
            if (isBlankMask(s))
                return QVariant();
            d = parseDateText(s);
        }
        if (!d.isValid())
            throw DbError(DbError::Kind::InvalidValue,
                          QStringLiteral("'%1' não é uma data válida.").arg(v.toString()));
        return d.toString(Qt::ISODate);
    }
    case FieldType::Time: {
        QTime t;
        if (tid == QMetaType::QTime)
            t = v.toTime();
        else if (tid == QMetaType::QDateTime)
            t = v.toDateTime().time();
        else {
            const QString s = v.toString();
            if (isBlankMask(s))
                return QVariant();
            t = parseTimeText(s);
        }
        if (!t.isValid())
            throw DbError(DbError::Kind::InvalidValue,
                          QStringLiteral("'%1' não é uma hora válida.").arg(v.toString()));
        return t.toString(QStringLiteral("HH:mm:ss"));
    }
    case FieldType::Number:
    case FieldType::Money:
    case FieldType::Integer:
    case FieldType::AutoInc: {
        double d = 0;
        if (tid == QMetaType::QString) {
            if (v.toString().trimmed().isEmpty())
                return QVariant();
            const auto p = parseNumberText(v.toString());
            if (!p)
                throw invalid(f, v);
            d = *p;
        } else if (tid == QMetaType::Bool) {
            d = v.toBool() ? 1 : 0;
        } else {
            bool ok = false;
            d = v.toDouble(&ok);
            if (!ok || !std::isfinite(d))
                throw invalid(f, v);
        }
        if (f.type == FieldType::Number || f.type == FieldType::Money)
            return d;
        const double r = std::round(d);
        if (r > 2147483647.0 || r < -2147483648.0)
            throw DbError(DbError::Kind::InvalidValue,
                          QStringLiteral("Valor fora da faixa permitida para o campo %1.").arg(f.name));
        return qint64(r);
    }
    case FieldType::Logical: {
        if (tid == QMetaType::QString) {
            const QString s = v.toString().trimmed().toUpper();
            if (s.isEmpty())
                return QVariant();
            if (s == QLatin1String("S") || s == QLatin1String("TRUE") || s == QLatin1String("1")
                || s == QLatin1String("T") || s == QLatin1String("SIM"))
                return qint64(1);
            if (s == QLatin1String("N") || s == QLatin1String("FALSE") || s == QLatin1String("0")
                || s == QLatin1String("F") || s == QString::fromUtf8("NÃO"))
                return qint64(0);
            throw invalid(f, v);
        }
        return qint64(v.toBool() ? 1 : 0);
    }
    case FieldType::Graphic:
        return v.toByteArray();
    }
    return v;
}

namespace {
// Dates and times as stored ("yyyy-MM-dd", "HH:mm:ss") read without the
// general parser, which costs more than the rest of reading a row.
bool digitsAt(const QString &s, int at, int n, int &out)
{
    out = 0;
    for (int i = at; i < at + n; ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        out = out * 10 + (c - u'0');
    }
    return true;
}

QDate storedDate(const QString &s)
{
    int y, m, d;
    if (s.size() == 10 && s[4] == QLatin1Char('-') && s[7] == QLatin1Char('-') && digitsAt(s, 0, 4, y)
        && digitsAt(s, 5, 2, m) && digitsAt(s, 8, 2, d))
        return QDate(y, m, d);
    return QDate::fromString(s, Qt::ISODate);
}

QTime storedTime(const QString &s)
{
    int h, m, sec;
    if (s.size() == 8 && s[2] == QLatin1Char(':') && s[5] == QLatin1Char(':') && digitsAt(s, 0, 2, h)
        && digitsAt(s, 3, 2, m) && digitsAt(s, 6, 2, sec))
        return QTime(h, m, sec);
    return QTime::fromString(s, QStringLiteral("HH:mm:ss"));
}
} // namespace

QVariant fromStorage(FieldType t, const QVariant &s)
{
    if (!s.isValid() || s.isNull())
        return QVariant();
    switch (t) {
    case FieldType::Alpha:
    case FieldType::Memo:
        return s.toString();
    case FieldType::Date: {
        const QDate d = storedDate(s.toString());
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldType::Time: {
        const QTime tm = storedTime(s.toString());
        return tm.isValid() ? QVariant(tm) : QVariant();
    }
    case FieldType::Number:
    case FieldType::Money:
        return s.toDouble();
    case FieldType::Integer:
    case FieldType::AutoInc:
        return int(s.toLongLong());
    case FieldType::Logical:
        return s.toLongLong() != 0;
    case FieldType::Graphic:
        return s.toByteArray();
    }
    return s;
}

FieldDef fieldFromDeclType(const QString &name, const QString &declType)
{
    const QString t = declType.toUpper();
    FieldDef f{name, FieldType::Alpha, 0};
    if (t.startsWith(QLatin1String("DATE")))
        f.type = FieldType::Date;
    else if (t.startsWith(QLatin1String("TIME")))
        f.type = FieldType::Time;
    else if (t.startsWith(QLatin1String("BOOL")))
        f.type = FieldType::Logical;
    else if (t.startsWith(QLatin1String("MONEY")))
        f.type = FieldType::Money;
    else if (t.startsWith(QLatin1String("MEMO")))
        f.type = FieldType::Memo;
    else if (t.contains(QLatin1String("INT")))
        f.type = FieldType::Integer;
    else if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("CLOB"))) {
        f.type = FieldType::Alpha;
        static const QRegularExpression size(QStringLiteral("\\((\\d+)\\)"));
        const auto m = size.match(t);
        if (m.hasMatch())
            f.size = m.captured(1).toInt();
    } else if (t.contains(QLatin1String("BLOB")) || t.isEmpty())
        f.type = t.isEmpty() ? FieldType::Alpha : FieldType::Graphic;
    else
        f.type = FieldType::Number;
    return f;
}

} // namespace brelvo::data::detail
