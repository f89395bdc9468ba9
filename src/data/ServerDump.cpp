#include "data/ServerDump.h"

#include "data/Catalogue.h"
#include "data/FolderLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include <functional>
#include <libpq-fe.h>

namespace brelvo::data::detail {

namespace {

constexpr char kMagic[] = "BRELVO PGDUMP 1";
// First half of the desk lock's key (the second is the schema's).
constexpr qint32 kDeskLockClass = 0x42524c56;

struct Res {
    PGresult *r = nullptr;
    explicit Res(PGresult *p) : r(p) {}
    ~Res() { PQclear(r); }
    Res(const Res &) = delete;
    Res &operator=(const Res &) = delete;
    Res(Res &&o) noexcept : r(o.r) { o.r = nullptr; }
    QString value(int row, int col) const { return QString::fromUtf8(PQgetvalue(r, row, col)); }
    int rows() const { return PQntuples(r); }
};

DbError serverError(PGconn *h, const PGresult *r = nullptr)
{
    const QString why = QString::fromUtf8(r ? PQresultErrorMessage(r) : PQerrorMessage(h)).trimmed();
    const char *state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const bool busy = state && (qstrcmp(state, "55P03") == 0 || qstrcmp(state, "40P01") == 0);
    return DbError(busy ? DbError::Kind::Busy : DbError::Kind::Generic, why);
}

Res run(PGconn *h, const QString &sql)
{
    Res r(PQexec(h, sql.toUtf8().constData()));
    const auto s = PQresultStatus(r.r);
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        throw serverError(h, r.r);
    return r;
}

QString literal(PGconn *h, const QString &text)
{
    const QByteArray b = text.toUtf8();
    char *q = PQescapeLiteral(h, b.constData(), size_t(b.size()));
    if (!q)
        throw serverError(h);
    const QString out = QString::fromUtf8(q);
    PQfreemem(q);
    return out;
}

// Stable 32-bit key of a schema name (FNV-1a).
qint32 schemaKey(const QString &schema)
{
    quint32 h = 2166136261u;
    for (char c : schema.toUtf8()) {
        h ^= quint8(c);
        h *= 16777619u;
    }
    return qint32(h);
}

PGconn *serverHandle(Conn *c)
{
    PGconn *h = pgHandle(c);
    if (!h)
        throw DbError(DbError::Kind::NotOpen, QStringLiteral("O banco de dados não está num servidor."));
    return h;
}

bool tryDeskLock(Conn *c, bool exclusive)
{
    PGconn *h = serverHandle(c);
    Res r = run(h, QStringLiteral("SELECT %1(%2, %3)")
                       .arg(exclusive ? QStringLiteral("pg_try_advisory_lock") : QStringLiteral("pg_try_advisory_lock_shared"))
                       .arg(kDeskLockClass)
                       .arg(schemaKey(pgSchema(c))));
    return r.value(0, 0) == QLatin1String("t");
}

QString qualified(const QString &schema, const QString &name) { return quoteIdent(schema) + u'.' + quoteIdent(name); }

// A table's stored columns (generated ones are left out) with their types
// and spellings (the comment a column added later keeps its name in), and
// its identity columns.
struct Columns {
    QStringList stored, types, spellings;
    QStringList identity;
};

Columns columnsOf(PGconn *h, const QString &schema, const QString &table)
{
    Columns out;
    Res r = run(h, QStringLiteral("SELECT attname, attidentity <> '', attgenerated <> '', "
                                  "format_type(atttypid, atttypmod), coalesce(col_description(attrelid, attnum), '') "
                                  "FROM pg_attribute "
                                  "WHERE attrelid = to_regclass(%1) AND attnum > 0 AND NOT attisdropped ORDER BY attnum")
                       .arg(literal(h, qualified(schema, table))));
    for (int i = 0; i < r.rows(); ++i) {
        if (r.value(i, 2) == QLatin1String("f")) {
            out.stored << r.value(i, 0);
            out.types << r.value(i, 3);
            out.spellings << r.value(i, 4);
        }
        if (r.value(i, 1) == QLatin1String("t"))
            out.identity << r.value(i, 0);
    }
    return out;
}

// Fields of a line, each escaped as COPY text escapes them.
QString joinFields(const QStringList &fields)
{
    QStringList out;
    for (QString f : fields) {
        f.replace(u'\\', QLatin1String("\\\\")).replace(u'\t', QLatin1String("\\t")).replace(u'\n', QLatin1String("\\n"));
        out << f;
    }
    return out.join(u'\t');
}

QStringList splitFields(const QString &line)
{
    QStringList out;
    for (const QString &f : line.split(u'\t')) {
        QString v;
        for (qsizetype i = 0; i < f.size(); ++i) {
            if (f[i] == u'\\' && i + 1 < f.size()) {
                const QChar n = f[++i];
                v += n == u't' ? QChar(u'\t') : n == u'n' ? QChar(u'\n') : n;
            } else {
                v += f[i];
            }
        }
        out << v;
    }
    return out;
}

// A type as the server writes it ("numeric(15,2)", "character varying(40)",
// "double precision"): anything else in a dump is refused.
bool plainType(const QString &type)
{
    static const QRegularExpression re(QStringLiteral("^[a-z][a-z0-9_ ]*(\\([0-9]+(,[0-9]+)?\\))?[a-z ]*(\\[\\])?$"));
    return re.match(type).hasMatch();
}

// ---------------------------------------------------------------- the file
//
//   BRELVO PGDUMP 1
//   versao 2
//   tabela tbvendas                 (for each table)
//   colunas chave<TAB>codvenda ...
//   tipos integer<TAB>numeric(15,2) ...
//   nomes <TAB>CodVenda ...            (spellings kept as comments; may be empty)
//   sequencia chave 57 t            (for each identity column)
//   dados
//   <rows in COPY text form>
//   \.
//   linhas 57
//   fim 31                          (tables)
//   sha256 <hex of everything above>

struct DumpTable {
    QString name;
    QStringList columns, types, spellings;
    struct Counter {
        QString column;
        qint64 value = 1;
        bool called = false;
    };
    QList<Counter> counters;
};

// Reads a dump; the callbacks see each table, its rows (one COPY line each,
// with its newline) and its end. Returns the reason when the file is not a
// whole dump; the callbacks may throw.
class DumpReader {
public:
    std::function<void(int version)> onVersion;
    std::function<void(const DumpTable &)> onTable;
    std::function<void(const QByteArray &line)> onRow;
    std::function<void(const DumpTable &, qint64 rows)> onTableEnd;

    QString read(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QStringLiteral("não foi possível ler %1").arg(QDir::toNativeSeparators(path));
        QCryptographicHash hash(QCryptographicHash::Sha256);
        enum class State { Magic, Version, Columns, Types, Spellings, Counters, Rows, RowCount, Trailer, Done } state = State::Magic;
        DumpTable table;
        qint64 rows = 0;
        int tables = 0;
        bool ended = false;
        const QString damaged = QStringLiteral("cópia do banco de dados danificada");
        while (!f.atEnd()) {
            QByteArray line = f.readLine(1 << 26);
            if (!line.endsWith('\n'))
                return QStringLiteral("cópia do banco de dados incompleta");
            if (state == State::Rows && line != "\\.\n") {
                hash.addData(line);
                ++rows;
                if (onRow)
                    onRow(line);
                continue;
            }
            const QByteArray text = line.chopped(1);
            if (state == State::Done)
                return damaged + QStringLiteral(" (dados após o fim)");
            if (state != State::Trailer || !text.startsWith("sha256 "))
                hash.addData(line);
            const QString word = QString::fromUtf8(text.left(text.indexOf(' ')));
            const QString rest = text.contains(' ') ? QString::fromUtf8(text.mid(text.indexOf(' ') + 1)) : QString();
            bool ok = true;
            switch (state) {
            case State::Magic:
                if (text != kMagic)
                    return QStringLiteral("o arquivo não é uma cópia do banco de dados do servidor");
                state = State::Version;
                break;
            case State::Version: {
                const int v = rest.toInt(&ok);
                if (word != QLatin1String("versao") || !ok || v < 0)
                    return damaged;
                if (onVersion)
                    onVersion(v);
                state = State::Trailer;
                break;
            }
            case State::Columns:
                if (word != QLatin1String("colunas") || rest.isEmpty())
                    return damaged;
                table.columns = rest.split(u'\t');
                state = State::Types;
                break;
            case State::Types:
                if (word != QLatin1String("tipos"))
                    return damaged;
                table.types = rest.split(u'\t');
                for (const QString &t : std::as_const(table.types))
                    if (!plainType(t))
                        return damaged + QStringLiteral(" (tipo %1)").arg(t);
                state = State::Spellings;
                break;
            case State::Spellings:
                if (word != QLatin1String("nomes"))
                    return damaged;
                table.spellings = splitFields(rest);
                if (table.types.size() != table.columns.size() || table.spellings.size() != table.columns.size())
                    return damaged + QStringLiteral(" (tabela %1)").arg(table.name);
                state = State::Counters;
                break;
            case State::Counters:
                if (word == QLatin1String("sequencia")) {
                    const QStringList p = rest.split(u' ');
                    DumpTable::Counter c;
                    if (p.size() != 3 || !table.columns.contains(p[0]) || (p[2] != u't' && p[2] != u'f'))
                        return damaged;
                    c.column = p[0];
                    c.value = p[1].toLongLong(&ok);
                    c.called = p[2] == u't';
                    if (!ok)
                        return damaged;
                    table.counters << c;
                } else if (text == "dados") {
                    if (onTable)
                        onTable(table);
                    rows = 0;
                    state = State::Rows;
                } else {
                    return damaged;
                }
                break;
            case State::Rows:   // the end mark
                state = State::RowCount;
                break;
            case State::RowCount:
                if (word != QLatin1String("linhas") || rest.toLongLong(&ok) != rows || !ok)
                    return damaged + QStringLiteral(" (tabela %1)").arg(table.name);
                if (onTableEnd)
                    onTableEnd(table, rows);
                ++tables;
                state = State::Trailer;
                break;
            case State::Trailer:
                if (word == QLatin1String("tabela") && !rest.isEmpty() && !ended) {
                    table = DumpTable();
                    table.name = rest;
                    state = State::Columns;
                } else if (word == QLatin1String("fim") && !ended) {
                    if (rest.toInt(&ok) != tables || !ok)
                        return damaged;
                    ended = true;
                } else if (word == QLatin1String("sha256") && ended) {
                    if (QString::fromLatin1(hash.result().toHex()) != rest)
                        return damaged + QStringLiteral(" (soma de verificação diferente)");
                    state = State::Done;
                } else {
                    return damaged;
                }
                break;
            case State::Done:
                break;
            }
        }
        if (f.error() != QFile::NoError)
            return QStringLiteral("não foi possível ler %1: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        if (state != State::Done)
            return QStringLiteral("cópia do banco de dados incompleta");
        return QString();
    }
};

// Ends a COPY FROM STDIN that is being abandoned.
void cancelCopy(PGconn *h)
{
    PQputCopyEnd(h, "cancelado");
    while (PGresult *r = PQgetResult(h))
        PQclear(r);
}

} // namespace

void attachDesk(Conn *c)
{
    for (int waited = 0;; waited += 50) {
        if (tryDeskLock(c, false))
            return;
        if (waited >= 1000)
            throw DbError(DbError::Kind::Busy, restoringMessage());
        QThread::msleep(50);
    }
}

bool holdDesksOut(Conn *c, int waitMs)
{
    for (int waited = 0;; waited += 50) {
        if (tryDeskLock(c, true))
            return true;
        if (waited >= waitMs)
            return false;
        QThread::msleep(50);
    }
}

QStringList connectedDesks(Conn *c)
{
    PGconn *h = serverHandle(c);
    // Sessions of other users show no details to an ordinary user: the
    // process number then stands for them.
    Res r = run(h, QStringLiteral(
                       "SELECT coalesce(nullif(a.application_name, ''), 'sessão ' || l.pid), "
                       "coalesce(a.client_hostname, host(a.client_addr), 'local'), coalesce(a.usename, '?'), "
                       "coalesce(to_char(a.backend_start, 'DD/MM/YYYY HH24:MI'), '?') "
                       "FROM pg_locks l LEFT JOIN pg_stat_activity a ON a.pid = l.pid "
                       "WHERE l.locktype = 'advisory' AND l.granted AND l.pid <> pg_backend_pid() "
                       "AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database()) "
                       "AND l.classid = %1 AND l.objid = %2 AND l.objsubid = 2 "
                       "ORDER BY a.backend_start, l.pid")
                       .arg(quint32(kDeskLockClass))
                       .arg(quint32(schemaKey(pgSchema(c)))));
    QStringList out;
    for (int i = 0; i < r.rows(); ++i)
        out << QStringLiteral("%1 (%2, usuário %3, desde %4)")
                   .arg(r.value(i, 0), r.value(i, 1), r.value(i, 2), r.value(i, 3));
    return out;
}

QString dumpFileName(const QString &uri)
{
    const QUrl url(uri);
    QString name = url.path().section(u'/', 1, 1);
    if (name.isEmpty())
        name = url.userName();
    QString safe;
    for (const QChar ch : std::as_const(name))
        safe += ch.isLetterOrNumber() || ch == u'_' || ch == u'-' ? ch : QChar(u'_');
    if (safe.isEmpty())
        safe = QStringLiteral("brelvo");
    return safe + QStringLiteral(".pgdump");
}

bool isDumpFileName(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".pgdump"), Qt::CaseInsensitive);
}

void writeServerDump(Conn *c, const QString &target)
{
    PGconn *h = serverHandle(c);
    const QString schema = pgSchema(c);
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw DbError(DbError::Kind::Generic, QStringLiteral("Não foi possível criar a cópia do banco de dados %1: %2")
                                                  .arg(QDir::toNativeSeparators(target), out.errorString()));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    auto write = [&](const QByteArray &bytes) {
        hash.addData(bytes);
        if (out.write(bytes) != bytes.size())
            throw DbError(DbError::Kind::Generic, QStringLiteral("Não foi possível gravar a cópia do banco de dados %1: %2")
                                                      .arg(QDir::toNativeSeparators(target), out.errorString()));
    };
    auto line = [&](const QString &text) { write(text.toUtf8() + '\n'); };

    // One snapshot for every table.
    run(h, QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    try {
        line(QString::fromLatin1(kMagic));
        line(QStringLiteral("versao %1").arg(c->userVersion()));
        int tables = 0;
        for (const TableDef &t : catalogue()) {
            const Columns cols = columnsOf(h, schema, t.sqlName);
            if (cols.stored.isEmpty())
                continue;   // not there: a restore creates it empty
            line(QStringLiteral("tabela %1").arg(t.sqlName.toLower()));
            line(QStringLiteral("colunas %1").arg(cols.stored.join(u'\t')));
            line(QStringLiteral("tipos %1").arg(cols.types.join(u'\t')));
            line(QStringLiteral("nomes %1").arg(joinFields(cols.spellings)));
            for (const QString &col : cols.identity) {
                Res seq = run(h, QStringLiteral("SELECT pg_get_serial_sequence(%1, %2)")
                                     .arg(literal(h, qualified(schema, t.sqlName)), literal(h, col)));
                if (seq.rows() == 0 || PQgetisnull(seq.r, 0, 0))
                    continue;
                Res v = run(h, QStringLiteral("SELECT last_value, is_called FROM %1").arg(seq.value(0, 0)));
                line(QStringLiteral("sequencia %1 %2 %3").arg(col, v.value(0, 0), v.value(0, 1)));
            }
            line(QStringLiteral("dados"));
            QStringList quoted;
            for (const QString &col : cols.stored)
                quoted << quoteIdent(col);
            Res start(PQexec(h, QStringLiteral("COPY (SELECT %1 FROM %2 ORDER BY rowid) TO STDOUT")
                                    .arg(quoted.join(u','), qualified(schema, t.sqlName))
                                    .toUtf8()
                                    .constData()));
            if (PQresultStatus(start.r) != PGRES_COPY_OUT)
                throw serverError(h, start.r);
            qint64 rows = 0;
            for (;;) {
                char *buf = nullptr;
                const int n = PQgetCopyData(h, &buf, 0);
                if (n < 0)
                    break;
                try {
                    write(QByteArray(buf, n));
                } catch (...) {
                    PQfreemem(buf);
                    while (PGresult *r = PQgetResult(h))
                        PQclear(r);
                    throw;
                }
                PQfreemem(buf);
                ++rows;
            }
            Res end(PQgetResult(h));
            while (PGresult *more = PQgetResult(h))
                PQclear(more);
            if (PQresultStatus(end.r) != PGRES_COMMAND_OK)
                throw serverError(h, end.r);
            line(QStringLiteral("\\."));
            line(QStringLiteral("linhas %1").arg(rows));
            ++tables;
        }
        line(QStringLiteral("fim %1").arg(tables));
        run(h, QStringLiteral("COMMIT"));
    } catch (const DbError &e) {
        PQclear(PQexec(h, "ROLLBACK"));
        out.close();
        QFile::remove(target);
        throw DbError(e.kind(), QStringLiteral("Não foi possível copiar o banco de dados: %1").arg(e.message()));
    }
    const QByteArray trailer = "sha256 " + hash.result().toHex() + '\n';
    if (out.write(trailer) != trailer.size() || !out.flush()) {
        const QString why = out.errorString();
        out.close();
        QFile::remove(target);
        throw DbError(DbError::Kind::Generic, QStringLiteral("Não foi possível gravar a cópia do banco de dados %1: %2")
                                                  .arg(QDir::toNativeSeparators(target), why));
    }
}

QString checkServerDump(const QString &file) { return DumpReader().read(file); }

void restoreServerDump(Conn *c, const QString &file)
{
    PGconn *h = serverHandle(c);
    const QString schema = pgSchema(c);
    c->beginWrite();
    bool copying = false;
    try {
        // Every table rebuilt as a new database has it, then filled.
        for (const TableDef &t : catalogue())
            run(h, QStringLiteral("DROP TABLE IF EXISTS %1 CASCADE").arg(qualified(schema, t.sqlName)));
        provisionPostgresSchema(c);
        for (const TableDef &t : catalogue())
            c->createTable(t);

        DumpReader reader;
        int version = 0;
        QByteArray pending;
        auto send = [&] {
            if (!pending.isEmpty() && PQputCopyData(h, pending.constData(), int(pending.size())) != 1)
                throw serverError(h);
            pending.clear();
        };
        reader.onVersion = [&](int v) { version = v; };
        reader.onTable = [&](const DumpTable &t) {
            const TableDef *def = nullptr;
            for (const TableDef &d : catalogue())
                if (d.sqlName.compare(t.name, Qt::CaseInsensitive) == 0)
                    def = &d;
            if (!def)
                throw DbError(DbError::Kind::Generic,
                              QStringLiteral("o Back-up tem a tabela %1, que esta versão do programa não conhece").arg(t.name));
            const Columns live = columnsOf(h, schema, def->sqlName);
            const QString table = qualified(schema, def->sqlName);
            QStringList quoted;
            for (qsizetype i = 0; i < t.columns.size(); ++i) {
                const QString &col = t.columns[i];
                const QString column = table + u'.' + quoteIdent(col);
                // Columns that migrations added after the table was made come
                // back with their type and spelling.
                if (!live.stored.contains(col))
                    run(h, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, quoteIdent(col), t.types[i]));
                if (!t.spellings[i].isEmpty())
                    run(h, QStringLiteral("COMMENT ON COLUMN %1 IS %2").arg(column, literal(h, t.spellings[i])));
                quoted << quoteIdent(col);
            }
            Res start(PQexec(h, QStringLiteral("COPY %1 (%2) FROM STDIN")
                                    .arg(qualified(schema, def->sqlName), quoted.join(u','))
                                    .toUtf8()
                                    .constData()));
            if (PQresultStatus(start.r) != PGRES_COPY_IN)
                throw serverError(h, start.r);
            copying = true;
        };
        reader.onRow = [&](const QByteArray &row) {
            pending += row;
            if (pending.size() > (1 << 20))
                send();
        };
        reader.onTableEnd = [&](const DumpTable &t, qint64) {
            send();
            copying = false;
            if (PQputCopyEnd(h, nullptr) != 1)
                throw serverError(h);
            Res end(PQgetResult(h));
            while (PGresult *more = PQgetResult(h))
                PQclear(more);
            if (PQresultStatus(end.r) != PGRES_COMMAND_OK)
                throw serverError(h, end.r);
            // Numbers carry on where they were, never below a stored one.
            for (const DumpTable::Counter &k : t.counters) {
                const QString table = qualified(schema, t.name);
                run(h, QStringLiteral("SELECT setval(pg_get_serial_sequence(%1, %2), greatest(%3, m, 1), "
                                      "CASE WHEN m > %3 THEN true ELSE %4 END) "
                                      "FROM (SELECT coalesce(max(%5), 0) AS m FROM %6) x")
                           .arg(literal(h, table), literal(h, k.column))
                           .arg(k.value)
                           .arg(k.called ? QStringLiteral("true") : QStringLiteral("false"))
                           .arg(quoteIdent(k.column), table));
            }
        };
        const QString why = reader.read(file);
        if (!why.isEmpty())
            throw DbError(DbError::Kind::Generic, why);
        c->setUserVersion(version);
        c->commitWrite();
    } catch (...) {
        if (copying)
            cancelCopy(h);
        try {
            c->rollbackWrite();
        } catch (...) {
        }
        throw;
    }
    try {
        c->refreshStatistics();
    } catch (const DbError &) {
        // the rows are in; the server's own upkeep takes the statistics later
    }
}

} // namespace brelvo::data::detail
