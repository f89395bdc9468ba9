#include <chrono>
#include <cstdio>
#include "data/Database.h"

#include "data/Catalogue.h"
#include "data/FolderLock.h"
#include "data/SqliteStmt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QStandardPaths>
#include <QTextStream>
#include <atomic>
#include <map>

namespace brelvo::data {

using namespace detail;

DbError::DbError(Kind kind, const QString &message)
    : std::runtime_error(message.toStdString()), m_kind(kind), m_message(message)
{
}

namespace {

std::map<int, Database::Migration> &migrations()
{
    static std::map<int, Database::Migration> m;
    return m;
}

QString g_filesFolder;

QString filesDir()
{
    if (!g_filesFolder.isEmpty())
        return g_filesFolder;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

// "tbProdutos.DB", "TBPRODUTOS", "\"tbProdutos.db\"" -> "tbprodutos"
QString normalName(const QString &name)
{
    QString n = name.trimmed();
    if (n.size() >= 2 && (n.startsWith(QLatin1Char('"')) || n.startsWith(QLatin1Char('\''))))
        n = n.mid(1, n.size() - 2);
    n = QFileInfo(n).fileName();
    const int dot = n.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        n.truncate(dot);
    return n.toLower();
}

const QHash<QString, const TableDef *> &tableIndex()
{
    static const QHash<QString, const TableDef *> idx = [] {
        QHash<QString, const TableDef *> h;
        for (const TableDef &t : catalogue())
            h.insert(t.sqlName.toLower(), &t);
        return h;
    }();
    return idx;
}

bool isText(FieldType t) { return t == FieldType::Alpha || t == FieldType::Memo; }

QString declType(const FieldDef &f)
{
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

std::atomic<int> connectionCounter{0};

} // namespace

struct Database::Impl {
    QString folder;
    QString connName;
    QSqlDatabase conn;
    sqlite3 *h = nullptr;
    FolderLock folderLock;
    QSet<QString> passwords;
    QString privateDir;
    int txDepth = 0;
    int version = 0;
    mutable std::map<QString, std::vector<FieldDef>> schema;

    void lockFolder();
    void unlockFolder();
    void provision();
    int userVersion();
};

void Database::Impl::lockFolder()
{
    // An exclusive holder (a restore, or a program closing the database at
    // this very moment) is waited for about one second.
    if (!folderLock.acquire(folder, FolderLock::Mode::Shared, 1000))
        throw DbError(DbError::Kind::Busy, restoringMessage());
}

void Database::Impl::unlockFolder() { folderLock.release(); }

int Database::Impl::userVersion()
{
    Stmt s(h, QStringLiteral("PRAGMA user_version"));
    return s.step() ? int(s.column(0).toLongLong()) : 0;
}

void Database::Impl::provision()
{
    execSimple(h, QStringLiteral("BEGIN IMMEDIATE"));
    try {
        Stmt count(h, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%'"));
        count.step();
        const bool empty = count.column(0).toLongLong() == 0;
        count.reset();
        if (empty) {
            for (const TableDef &t : catalogue()) {
                QStringList cols;
                for (const FieldDef &f : t.fields)
                    cols << quoteIdent(f.name) + QLatin1Char(' ') + declType(f);
                execSimple(h, QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdent(t.sqlName), cols.join(QStringLiteral(", "))));

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
                        if (isText(f->type) && !ix.primary && !ix.exact)
                            p += QStringLiteral(" COLLATE ") + QLatin1String(kTextCollation);
                        parts << p;
                    }
                    if (parts.isEmpty() || onlyRowid)
                        continue;   // the AutoInc field is the row id itself
                    const QString sig = (ix.unique ? QStringLiteral("U:") : QStringLiteral("N:")) + parts.join(QLatin1Char(','));
                    if (made.contains(sig))
                        continue;
                    made.insert(sig);
                    execSimple(h, QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                                      .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(),
                                           quoteIdent(QStringLiteral("ix_%1_%2").arg(t.sqlName).arg(++n)),
                                           quoteIdent(t.sqlName), parts.join(QStringLiteral(", "))));
                }
            }
            for (const SeedRow &r : seedRows()) {
                const TableDef *t = Database::tableDef(r.table);
                if (!t)
                    continue;
                QStringList cols, marks;
                QVariantList values;
                for (const auto &[name, value] : r.values) {
                    const FieldDef *f = t->field(name);
                    if (!f)
                        continue;
                    cols << quoteIdent(f->name);
                    marks << QStringLiteral("?");
                    values << toStorage(*f, value);
                }
                const QString sql = cols.isEmpty()
                    ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdent(t->sqlName))
                    : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(quoteIdent(t->sqlName), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
                Stmt ins(h, sql);
                ins.bindAll(values);
                ins.exec();
            }
            execSimple(h, QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
        }
        execSimple(h, QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

// ---------------------------------------------------------------- Database

Database::Database(const QString &folder) : d(std::make_unique<Impl>())
{
    d->folder = QDir(folder).absolutePath();
}

Database::~Database()
{
    if (d->h) {
        dropStmtCache(d->h);
        while (d->txDepth > 0) {
            try {
                rollback();
            } catch (...) {
                d->txDepth = 0;
            }
        }
        // Fold the write-ahead log into the database file; when this is the
        // last connection SQLite then removes the -wal and -shm files.
        sqlite3_wal_checkpoint_v2(d->h, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    }
    d->conn.close();
    d->conn = QSqlDatabase();
    if (!d->connName.isEmpty())
        QSqlDatabase::removeDatabase(d->connName);
    d->unlockFolder();
}

void Database::setFilesFolder(const QString &folder)
{
    g_filesFolder = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

QString Database::filesFolder() { return filesDir(); }

QString Database::aliasFolder(const QString &alias)
{
    const QString env = qEnvironmentVariable(alias.toLocal8Bit().constData());
    if (!env.isEmpty())
        return QDir(env).absolutePath();
    const QString dir = filesDir();
    QFile ini(QDir(dir).filePath(QStringLiteral("aliases.ini")));
    if (ini.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&ini);
        while (!in.atEnd()) {
            const QString line = in.readLine().trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))
                || line.startsWith(QLatin1Char('[')))
                continue;
            const int eq = line.indexOf(QLatin1Char('='));
            if (eq <= 0)
                continue;
            if (line.left(eq).trimmed().compare(alias, Qt::CaseInsensitive) != 0)
                continue;
            const QString path = line.mid(eq + 1).trimmed();
            if (!path.isEmpty())
                return QDir(dir).absoluteFilePath(path);
        }
    }
    return QDir(dir).filePath(QStringLiteral("dados"));
}

std::shared_ptr<Database> Database::open(const QString &folder, bool provisionIfMissing)
{
    std::shared_ptr<Database> db(new Database(folder));
    Impl &d = *db->d;
    QDir dir(d.folder);
    if (!dir.exists()) {
        if (!provisionIfMissing || !QDir().mkpath(d.folder))
            throw DbError(DbError::Kind::NotOpen,
                          QStringLiteral("Pasta do banco de dados não encontrada: %1").arg(d.folder));
    }
    d.lockFolder();
    const bool present = exists(d.folder);
    if (!present && !provisionIfMissing)
        throw DbError(DbError::Kind::NotOpen,
                      QStringLiteral("Banco de dados não encontrado em %1").arg(QDir::toNativeSeparators(d.folder)));

    d.connName = QStringLiteral("brelvo_db_%1").arg(++connectionCounter);
    d.conn = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d.connName);
    d.conn.setDatabaseName(db->filePath());
    d.conn.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!d.conn.open())
        throw DbError(DbError::Kind::NotOpen,
                      QStringLiteral("Não foi possível abrir o banco de dados: %1").arg(d.conn.lastError().text()));
    const QVariant hv = d.conn.driver()->handle();
    if (!hv.isValid() || qstrcmp(hv.typeName(), "sqlite3*") != 0)
        throw DbError(DbError::Kind::NotOpen, QStringLiteral("Driver do banco de dados inesperado."));
    d.h = *static_cast<sqlite3 *const *>(hv.constData());

    // A writer waits up to 5 s for another writer before giving up (Busy).
    sqlite3_busy_timeout(d.h, 5000);
    registerCollation(d.h);
    // BRELVO_SQL_TRACE=1 prints every statement with its time to stderr (diagnosis only).
    if (qEnvironmentVariableIsSet("BRELVO_SQL_TRACE"))
        sqlite3_trace_v2(
            d.h, SQLITE_TRACE_STMT | SQLITE_TRACE_PROFILE,
            [](unsigned what, void *, void *stmt, void *) -> int {
                static std::chrono::steady_clock::time_point started;
                if (what == SQLITE_TRACE_STMT) {
                    started = std::chrono::steady_clock::now();
                    return 0;
                }
                const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
                char *sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt *>(stmt));
                fprintf(stderr, "[sql %8.3f ms] %s\n", ms, sql ? sql : "?");
                sqlite3_free(sql);
                return 0;
            },
            nullptr);
    try {
        // Write-ahead log with synchronous=NORMAL: a killed program loses
        // nothing it committed (the log is synced at checkpoints, and a
        // committed transaction survives a process crash); only a power cut
        // can drop the last few commits, never corrupt the file.
        execSimple(d.h, QStringLiteral("PRAGMA journal_mode=WAL"));
        execSimple(d.h, QStringLiteral("PRAGMA synchronous=NORMAL"));
        execSimple(d.h, QStringLiteral("PRAGMA foreign_keys=OFF"));
        // 32 MB of page cache: the grids' row counts and positions re-read the
        // same index pages on every move.
        execSimple(d.h, QStringLiteral("PRAGMA cache_size=-32768"));
        if (!present)
            d.provision();
        d.version = d.userVersion();
        // Migrations of the schema; a present database is otherwise never altered.
        const auto pending = migrations();
        for (const auto &[toVersion, m] : pending) {
            if (toVersion <= d.version)
                continue;
            db->transaction();
            try {
                if (d.userVersion() < toVersion) {   // another program may have done it meanwhile
                    m(*db);
                    execSimple(d.h, QStringLiteral("PRAGMA user_version = %1").arg(toVersion));
                }
                db->commit();
            } catch (...) {
                db->rollback();
                throw;
            }
            d.version = toVersion;
            db->refreshSchema();
        }
    } catch (const DbError &) {
        throw;
    }
    return db;
}

std::shared_ptr<Database> Database::openAlias(const QString &alias, bool provisionIfMissing)
{
    return open(aliasFolder(alias), provisionIfMissing);
}

bool Database::exists(const QString &folder)
{
    const QFileInfo fi(QDir(folder).filePath(QLatin1String(kFileName)));
    return fi.exists() && fi.isFile() && fi.size() > 0;
}

bool Database::isInUse(const QString &folder) { return FolderLock::inUse(folder); }

QString Database::folder() const { return d->folder; }
QString Database::filePath() const { return QDir(d->folder).filePath(QLatin1String(kFileName)); }
int Database::schemaVersion() const { return d->version; }
void Database::setBusyTimeout(int milliseconds) { sqlite3_busy_timeout(d->h, milliseconds); }

void Database::addPassword(const QString &password) { d->passwords.insert(password); }
void Database::removePassword(const QString &password) { d->passwords.remove(password); }
bool Database::hasPassword(const QString &password) const { return d->passwords.contains(password); }

QString Database::privateDir() const
{
    if (d->privateDir.isEmpty()) {
        d->privateDir = QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
                            .filePath(QStringLiteral("brelvo-priv-%1").arg(QCoreApplication::applicationPid()));
    }
    QDir().mkpath(d->privateDir);
    return d->privateDir;
}

void Database::setPrivateDir(const QString &path) { d->privateDir = QDir(path).absolutePath(); }

const TableDef *Database::tableDef(const QString &name)
{
    return tableIndex().value(normalName(name), nullptr);
}

QString Database::sqlTableName(const QString &name)
{
    const TableDef *t = tableDef(name);
    if (!t)
        throw DbError(DbError::Kind::TableNotFound, QStringLiteral("Tabela não encontrada: %1").arg(name));
    return t->sqlName;
}

void Database::transaction()
{
    if (d->txDepth == 0)
        execSimple(d->h, QStringLiteral("BEGIN IMMEDIATE"));
    else
        execSimple(d->h, QStringLiteral("SAVEPOINT brelvo_sp%1").arg(d->txDepth));
    ++d->txDepth;
}

void Database::commit()
{
    if (d->txDepth == 0)
        throw DbError(DbError::Kind::Generic, QStringLiteral("Nenhuma transação em andamento."));
    if (d->txDepth == 1)
        execSimple(d->h, QStringLiteral("COMMIT"));
    else
        execSimple(d->h, QStringLiteral("RELEASE brelvo_sp%1").arg(d->txDepth - 1));
    --d->txDepth;
}

void Database::rollback()
{
    if (d->txDepth == 0)
        throw DbError(DbError::Kind::Generic, QStringLiteral("Nenhuma transação em andamento."));
    --d->txDepth;
    if (d->txDepth == 0)
        execSimple(d->h, QStringLiteral("ROLLBACK"));
    else
        execSimple(d->h, QStringLiteral("ROLLBACK TO brelvo_sp%1; RELEASE brelvo_sp%1").arg(d->txDepth));
    d->schema.clear();
}

bool Database::inTransaction() const { return d->txDepth > 0; }

void Database::registerMigration(int toVersion, Migration m) { migrations()[toVersion] = std::move(m); }
void Database::unregisterMigration(int toVersion) { migrations().erase(toVersion); }

std::vector<FieldDef> Database::fields(const QString &tableName) const
{
    const TableDef *def = tableDef(tableName);
    const QString sqlName = def ? def->sqlName : normalName(tableName);
    auto it = d->schema.find(sqlName);
    if (it != d->schema.end())
        return it->second;
    std::vector<FieldDef> out;
    Stmt s(d->h, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(sqlName)));
    while (s.step()) {
        const QString name = s.column(1).toString();
        const QString decl = s.column(2).toString();
        const FieldDef *known = def ? def->field(name) : nullptr;
        out.push_back(known ? *known : fieldFromDeclType(name, decl));
    }
    if (out.empty())
        throw DbError(DbError::Kind::TableNotFound, QStringLiteral("Tabela não encontrada: %1").arg(tableName));
    d->schema.emplace(sqlName, out);
    return out;
}

void Database::refreshSchema()
{
    d->schema.clear();
    dropStmtCache(d->h);
}

namespace detail {
sqlite3 *handle(const Database &db) { return db.d->h; }
} // namespace detail

} // namespace brelvo::data
