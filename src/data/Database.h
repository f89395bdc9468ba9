#pragma once
// The database: one SQLite file inside the folder the alias points to, or a
// PostgreSQL database when the alias holds its address
// (postgresql://user@host:port/dbname) so that several desks share it.
// All tables of the catalogue live there; windows name them by their
// historical file names ("tbProdutos.db"), matched without case or extension.
// Nothing outside the data layer knows which engine runs.

#include "data/DbError.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;

namespace brelvo::data {

struct TableDef;
struct FieldDef;
class Database;

namespace detail {
class Conn;
// The engine connection behind a Database (data layer internals), and
// SQLite's own handle, null on a server (the data generator; see SqliteStmt.h).
Conn *conn(const Database &db);
sqlite3 *handle(const Database &db);
} // namespace detail

class Database : public std::enable_shared_from_this<Database> {
public:
    static constexpr const char *kDefaultAlias = "DBBrelvoVendas";
    static constexpr const char *kFileName = "brelvo.sqlite";   // inside the alias folder
    static constexpr const char *kLockName = "brelvo.lock";     // held shared while open
    // When set to a server address, the database of every folder lives on
    // that server (one schema per folder) instead of in the folder's file;
    // the test harness runs the suites on the server engine with it.
    static constexpr const char *kFolderServerVariable = "BRELVO_DB_SERVER";

    // Folder of an alias: the environment variable named after the alias wins,
    // then the alias file ("aliases.ini" in the program's files folder, key =
    // folder, relative to that folder), otherwise "dados" in it. A server
    // address (postgresql://...) is returned as it is.
    static QString aliasFolder(const QString &alias = QString::fromLatin1(kDefaultAlias));
    // The program's files folder holding "aliases.ini" and the default
    // "dados": the executable's folder until the start-up chooses another
    // (core/AppPaths). Empty restores the executable's folder.
    static void setFilesFolder(const QString &folder);
    static QString filesFolder();
    // True for a server address rather than a folder.
    static bool isServer(const QString &location);
    // A server address's password, used by every later connection to it in
    // this program instead of the PostgreSQL password file (~/.pgpass). When
    // the server asks for a password that neither gives, or refuses the one
    // given, opening fails with DbError::Kind::PasswordNeeded.
    static void setServerPassword(const QString &uri, const QString &password);
    // The user and the server ("host:port") a server address logs in as and to.
    static void serverLogin(const QString &uri, QString *user, QString *server);
    // Programs connected to the server database at `uri`, this one excluded
    // ("Brelvo caixa (192.168.0.5, usuário ana, desde dd/MM/yyyy hh:mm)").
    static QStringList connectedDesks(const QString &uri);

    // Opens the database in `folder` (or at a server address). With provisionIfMissing, a folder that
    // holds no database gets a new one (every table, index and single row);
    // a present database is never altered except by schema migrations.
    // Throws DbError.
    static std::shared_ptr<Database> open(const QString &folder, bool provisionIfMissing = false);
    static std::shared_ptr<Database> openAlias(const QString &alias = QString::fromLatin1(kDefaultAlias),
                                               bool provisionIfMissing = false);

    // True when the folder already holds a database file.
    static bool exists(const QString &folder);
    // True while any program (this one included) has the database in `folder` open.
    // A crashed program leaves nothing behind (the lock is an OS file lock).
    static bool isInUse(const QString &folder);

    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    QString folder() const;             // the server address for a server database
    QString filePath() const;           // the file, or the server address
    bool onServer() const;
    QString serverUri() const;
    int schemaVersion() const;

    // Table passwords ("8642" for USUARIOS.DB) registered with the session.
    void addPassword(const QString &password);
    void removePassword(const QString &password);
    bool hasPassword(const QString &password) const;

    // The private working folder of this running program (created on demand).
    QString privateDir() const;
    void setPrivateDir(const QString &path);

    // Catalogue lookup by historical file name, without case or extension.
    // Returns nullptr for an unknown table.
    static const TableDef *tableDef(const QString &name);
    // SQLite name of a catalogue table ("tbprodutos"); throws TableNotFound.
    static QString sqlTableName(const QString &name);

    // Runs statements in one transaction (used by bulk tools and migrations).
    // Calls nest: an inner transaction is a savepoint of the outer one.
    // A transaction holds the write lock from its start: another program's
    // writer waits (busy time-out) until it commits or rolls back.
    void transaction();
    void commit();
    void rollback();
    bool inTransaction() const;

    // Schema migrations: on open, every registered migration whose toVersion
    // is above the database's user_version runs in its own transaction, in
    // ascending order, and then user_version = toVersion. A new database gets
    // the base schema (version kSchemaVersion) and then the same migrations.
    using Migration = std::function<void(Database &)>;
    static void registerMigration(int toVersion, Migration m);
    static void unregisterMigration(int toVersion);

    // Fields of the actual table (PRAGMA table_info), with types and sizes
    // from the catalogue where it knows the field. Throws TableNotFound.
    std::vector<FieldDef> fields(const QString &tableName) const;
    // Re-reads table layouts (after a migration changed them).
    void refreshSchema();

    // How long a writer waits for another program's write lock before the
    // statement fails with DbError Busy (default 5000 ms).
    void setBusyTimeout(int milliseconds);

private:
    friend sqlite3 *detail::handle(const Database &db);
    friend detail::Conn *detail::conn(const Database &db);
    explicit Database(const QString &folder);
    static std::shared_ptr<Database> openServer(const QString &uri, const QString &schema, const QString &folder,
                                                bool provisionIfMissing);
    struct Impl;
    std::unique_ptr<Impl> d;
};

using DatabasePtr = std::shared_ptr<Database>;

} // namespace brelvo::data
