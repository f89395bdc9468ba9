#include <chrono>
#include <cstdio>
#include "data/Database.h"

#include "data/Catalogue.h"
#include "data/DatabaseCopy.h"
#include "data/FolderLock.h"
#include "data/ServerDump.h"
#include "data/SqliteStmt.h"

#include <QCoreApplication>
#include <QCryptographicHash>
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

// The planner's statistics (how many rows a value of an index matches):
// without them SQLite takes any equality for narrower than any range, and a
// month's report walked every order of a mechanic. Taken by sampling once
// the database has grown past a few megabytes; "optimize" at each close keeps
// them up to date. A busy or read-only file is left as it is.
bool g_statistics = true;

void sampleStatistics(sqlite3 *h)
{
    if (!h || !g_statistics)
        return;
    auto scalar = [h](const char *sql) {
        sqlite3_stmt *st = nullptr;
        qint64 v = -1;
        if (sqlite3_prepare_v2(h, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            v = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        return v;
    };
    if (scalar("SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_stat1'") != 0)
        return;
    if (scalar("PRAGMA page_count") < 2048)
        return;
    sqlite3_exec(h, "PRAGMA analysis_limit=400; ANALYZE", nullptr, nullptr, nullptr);
}

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

std::atomic<int> connectionCounter{0};

} // namespace

struct Database::Impl {
    QString folder;
    QString serverUri;                  // set when a server holds the database
    QString connName;
    QSqlDatabase conn;
    sqlite3 *h = nullptr;               // SQLite only
    std::unique_ptr<Conn> engine;
    FolderLock folderLock;
    QSet<QString> passwords;
    QString privateDir;
    int txDepth = 0;
    int version = 0;
    mutable std::map<QString, std::vector<FieldDef>> schema;

    void lockFolder();
    void unlockFolder();
    void provision();
    void migrate(Database &db);
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

int Database::Impl::userVersion() { return engine->userVersion(); }

void Database::Impl::provision()
{
    engine->beginWrite();
    try {
        if (engine->isEmptyDatabase()) {
            provisionPostgresSchema(engine.get());
            for (const TableDef &t : catalogue())
                engine->createTable(t);
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
                Stmt ins(engine.get(), sql);
                ins.bindAll(values);
                ins.exec();
            }
            engine->setUserVersion(kSchemaVersion);
        }
        engine->commitWrite();
    } catch (...) {
        try {
            engine->rollbackWrite();
        } catch (...) {
        }
        throw;
    }
}

// ---------------------------------------------------------------- Database

namespace {

bool isServerUri(const QString &s)
{
    return s.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || s.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

// The value of an alias: its environment variable, then the alias file.
// Empty when neither names it.
QString aliasValue(const QString &alias, bool *fromEnvironment)
{
    const QString env = qEnvironmentVariable(alias.toLocal8Bit().constData());
    *fromEnvironment = !env.isEmpty();
    if (!env.isEmpty())
        return env;
    QFile ini(QDir(filesDir()).filePath(QStringLiteral("aliases.ini")));
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
            const QString value = line.mid(eq + 1).trimmed();
            if (!value.isEmpty())
                return value;
        }
    }
    return QString();
}

// A server that holds the database of every folder (each folder one schema);
// the test harness sets it to run every suite on the server engine.
QString folderServer() { return qEnvironmentVariable(Database::kFolderServerVariable); }

QString folderSchema(const QString &folder)
{
    const QByteArray path = QDir(folder).absolutePath().toUtf8();
    return QStringLiteral("f_") + QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(24));
}

QHash<QString, QString> &serverPasswords()
{
    static QHash<QString, QString> passwords;
    return passwords;
}

std::unique_ptr<Conn> connectServer(const QString &uri, const QString &schema)
{
    QString error;
    bool needsPassword = false;
    auto c = connectPostgres(uri, schema, serverPasswords().value(uri), &error, &needsPassword);
    if (!c && needsPassword) {
        QString user, server;
        postgresLogin(uri, &user, &server);
        throw DbError(DbError::Kind::PasswordNeeded,
                      QStringLiteral("O servidor %1 pede a senha do usuário %2: %3").arg(server, user, error));
    }
    if (!c)
        throw DbError(DbError::Kind::NotOpen,
                      QStringLiteral("Não foi possível conectar ao servidor do banco de dados: %1").arg(error));
    return c;
}

} // namespace

bool detail::serverOf(const QString &location, QString *uri, QString *schema)
{
    if (isServerUri(location)) {
        *uri = location;
        *schema = QStringLiteral("public");
        return true;
    }
    const QString server = folderServer();
    if (server.isEmpty())
        return false;
    *uri = server;
    *schema = folderSchema(location);
    return true;
}

std::unique_ptr<Conn> detail::connectToServerOf(const QString &location)
{
    QString uri, schema;
    if (!serverOf(location, &uri, &schema))
        throw DbError(DbError::Kind::NotOpen, QStringLiteral("O banco de dados não está num servidor."));
    return connectServer(uri, schema);
}

Database::Database(const QString &folder) : d(std::make_unique<Impl>())
{
    d->folder = isServerUri(folder) ? folder : QDir(folder).absolutePath();
}

Database::~Database()
{
    if (d->engine) {
        dropStmtCache(d->engine.get());
        while (d->txDepth > 0) {
            try {
                rollback();
            } catch (...) {
                d->txDepth = 0;
            }
        }
        // Statistics brought up to date where this connection's searches
        // showed they are missing or stale (usually nothing to do).
        if (d->h && g_statistics)
            sqlite3_exec(d->h, "PRAGMA analysis_limit=400; PRAGMA optimize", nullptr, nullptr, nullptr);
        // Fold the write-ahead log into the database file; when this is the
        // last connection SQLite then removes the -wal and -shm files.
        if (d->h)
            sqlite3_wal_checkpoint_v2(d->h, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
        d->engine.reset();
    }
    d->conn.close();
    d->conn = QSqlDatabase();
    if (!d->connName.isEmpty())
        QSqlDatabase::removeDatabase(d->connName);
    d->unlockFolder();
}

QString Database::aliasFolder(const QString &alias)
{
    bool fromEnvironment = false;
    const QString value = aliasValue(alias, &fromEnvironment);
    if (isServerUri(value))
        return value;
    if (fromEnvironment)
        return QDir(value).absolutePath();
    const QString dir = filesDir();
    if (value.isEmpty())
        return QDir(dir).filePath(QStringLiteral("dados"));
    return QDir(dir).absoluteFilePath(value);
}

void Database::setFilesFolder(const QString &folder)
{
    g_filesFolder = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

QString Database::filesFolder() { return filesDir(); }

bool Database::isServer(const QString &location) { return isServerUri(location); }

void Database::setServerPassword(const QString &uri, const QString &password)
{
    serverPasswords().insert(uri, password);
}

void Database::serverLogin(const QString &uri, QString *user, QString *server)
{
    postgresLogin(uri, user, server);
}

void Database::Impl::migrate(Database &db)
{
    version = userVersion();
    // Migrations of the schema; a present database is otherwise never altered.
    const auto pending = migrations();
    for (const auto &[toVersion, m] : pending) {
        if (toVersion <= version)
            continue;
        db.transaction();
        try {
            if (userVersion() < toVersion) {   // another program may have done it meanwhile
                m(db);
                engine->setUserVersion(toVersion);
            }
            db.commit();
        } catch (...) {
            db.rollback();
            throw;
        }
        version = toVersion;
        db.refreshSchema();
    }
}

std::shared_ptr<Database> Database::openServer(const QString &uri, const QString &schema, const QString &folder,
                                               bool provisionIfMissing)
{
    std::shared_ptr<Database> db(new Database(folder.isEmpty() ? uri : folder));
    Impl &d = *db->d;
    d.serverUri = uri;
    if (!folder.isEmpty()) {
        if (!QDir(d.folder).exists() && (!provisionIfMissing || !QDir().mkpath(d.folder)))
            throw DbError(DbError::Kind::NotOpen,
                          QStringLiteral("Pasta do banco de dados não encontrada: %1").arg(d.folder));
        d.lockFolder();
    }
    d.engine = connectServer(uri, schema);
    attachDesk(d.engine.get());
    const bool present = !d.engine->isEmptyDatabase();
    if (!present && !provisionIfMissing)
        throw DbError(DbError::Kind::NotOpen, QStringLiteral("Banco de dados não encontrado em %1").arg(d.folder));
    if (!present)
        d.provision();
    else
        upgradePostgresSchema(d.engine.get());
    d.migrate(*db);
    return db;
}

std::shared_ptr<Database> Database::open(const QString &folder, bool provisionIfMissing)
{
    if (isServerUri(folder))
        return openServer(folder, QStringLiteral("public"), QString(), provisionIfMissing);
    if (const QString server = folderServer(); !server.isEmpty())
        return openServer(server, folderSchema(folder), folder, provisionIfMissing);

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
    d.engine = sqliteConn(d.h);

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
    // Write-ahead log with synchronous=NORMAL: a killed program loses
    // nothing it committed (the log is synced at checkpoints, and a
    // committed transaction survives a process crash); only a power cut
    // can drop the last few commits, never corrupt the file.
    execSimple(d.engine.get(), QStringLiteral("PRAGMA journal_mode=WAL"));
    execSimple(d.engine.get(), QStringLiteral("PRAGMA synchronous=NORMAL"));
    execSimple(d.engine.get(), QStringLiteral("PRAGMA foreign_keys=OFF"));
    // 32 MB of page cache: the grids' row counts and positions re-read the
    // same index pages on every move.
    execSimple(d.engine.get(), QStringLiteral("PRAGMA cache_size=-32768"));
    if (!present)
        d.provision();
    d.migrate(*db);
    sampleStatistics(d.h);
    return db;
}

std::shared_ptr<Database> Database::openAlias(const QString &alias, bool provisionIfMissing)
{
    return open(aliasFolder(alias), provisionIfMissing);
}

bool Database::exists(const QString &folder)
{
    const QString server = isServerUri(folder) ? folder : folderServer();
    if (!server.isEmpty()) {
        if (!isServerUri(folder) && !QDir(folder).exists())
            return false;
        try {
            auto c = connectServer(server, isServerUri(folder) ? QStringLiteral("public") : folderSchema(folder));
            return !c->isEmptyDatabase();
        } catch (const DbError &) {
            return false;
        }
    }
    const QFileInfo fi(QDir(folder).filePath(QLatin1String(kFileName)));
    return fi.exists() && fi.isFile() && fi.size() > 0;
}

bool Database::isInUse(const QString &folder)
{
    if (isServerUri(folder))
        return !connectedDesks(folder).isEmpty();
    return FolderLock::inUse(folder);
}

QStringList Database::connectedDesks(const QString &uri)
{
    auto c = connectToServerOf(uri);
    return detail::connectedDesks(c.get());
}

QString Database::folder() const { return d->folder; }
QString Database::filePath() const
{
    if (!d->serverUri.isEmpty())
        return d->serverUri;
    return QDir(d->folder).filePath(QLatin1String(kFileName));
}
bool Database::onServer() const { return !d->serverUri.isEmpty(); }
QString Database::serverUri() const { return d->serverUri; }
int Database::schemaVersion() const { return d->version; }
void Database::setBusyTimeout(int milliseconds) { d->engine->setBusyTimeout(milliseconds); }

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
        d->engine->beginWrite();
    else
        execSimple(d->engine.get(), QStringLiteral("SAVEPOINT brelvo_sp%1").arg(d->txDepth));
    ++d->txDepth;
}

void Database::commit()
{
    if (d->txDepth == 0)
        throw DbError(DbError::Kind::Generic, QStringLiteral("Nenhuma transação em andamento."));
    if (d->txDepth == 1)
        d->engine->commitWrite();
    else
        execSimple(d->engine.get(), QStringLiteral("RELEASE brelvo_sp%1").arg(d->txDepth - 1));
    --d->txDepth;
}

void Database::rollback()
{
    if (d->txDepth == 0)
        throw DbError(DbError::Kind::Generic, QStringLiteral("Nenhuma transação em andamento."));
    --d->txDepth;
    if (d->txDepth == 0)
        d->engine->rollbackWrite();
    else
        execSimple(d->engine.get(), QStringLiteral("ROLLBACK TO brelvo_sp%1; RELEASE brelvo_sp%1").arg(d->txDepth));
    d->schema.clear();
}

bool Database::inTransaction() const { return d->txDepth > 0; }

void keepSourcesUntouched() { g_statistics = false; }

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
    for (const auto &[name, decl] : d->engine->columns(sqlName)) {
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
    dropStmtCache(d->engine.get());
}

namespace detail {
Conn *conn(const Database &db) { return db.d->engine.get(); }
sqlite3 *handle(const Database &db) { return db.d->h; }
} // namespace detail

} // namespace brelvo::data
