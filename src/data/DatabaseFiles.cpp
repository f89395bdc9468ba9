#include "data/DatabaseFiles.h"

#include "data/Database.h"
#include "data/FolderLock.h"
#include "data/ServerDump.h"
#include "data/SqliteStmt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace brelvo::data {

using namespace detail;

namespace {

// The engine's working files beside a database file.
constexpr const char *kCompanionSuffixes[] = {"-wal", "-shm", "-journal"};

struct FileConn {
    sqlite3 *h = nullptr;
    FileConn() = default;
    FileConn(const FileConn &) = delete;
    FileConn &operator=(const FileConn &) = delete;
    ~FileConn() { close(); }
    int open(const QString &path, int flags)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &h, flags, nullptr);
        if (h)
            sqlite3_busy_timeout(h, 5000);
        return rc;
    }
    void close()
    {
        if (h)
            sqlite3_close_v2(h);
        h = nullptr;
    }
    QString error() const { return h ? QString::fromUtf8(sqlite3_errmsg(h)) : QStringLiteral("sem memória"); }
};

// First column of every row of `sql`; false (with `error`) when it fails.
bool rows(sqlite3 *h, const char *sql, QStringList *out, QString *error)
{
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            *out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    }
    if (rc != SQLITE_DONE)
        *error = QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_finalize(st);
    return rc == SQLITE_DONE;
}

// Flushes a file or folder to disk; false on failure.
bool syncPath(const QString &path, bool folder)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | (folder ? O_DIRECTORY : 0) | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void removeWithCompanions(const QString &file)
{
    QFile::remove(file);
    for (const char *s : kCompanionSuffixes)
        QFile::remove(file + QLatin1String(s));
}

QString liveFile(const QString &folder) { return QDir(folder).filePath(QLatin1String(Database::kFileName)); }

} // namespace

DatabaseFiles::Role DatabaseFiles::roleOf(const QString &fileName)
{
    const QString db = QLatin1String(Database::kFileName);
    if (fileName == db)
        return Role::Database;
    if (fileName == QLatin1String(Database::kLockName))
        return Role::Lock;
    for (const char *s : kCompanionSuffixes)
        if (fileName == db + QLatin1String(s))
            return Role::Companion;
    return Role::Ordinary;
}

QString DatabaseFiles::databaseFileName() { return QString::fromLatin1(Database::kFileName); }
QString DatabaseFiles::aliasFolder(const QString &alias) { return Database::aliasFolder(alias); }
bool DatabaseFiles::exists(const QString &folder) { return Database::exists(folder); }

bool DatabaseFiles::onServer(const QString &location)
{
    QString uri, schema;
    return serverOf(location, &uri, &schema);
}

DatabaseFiles::Role DatabaseFiles::roleOf(const QString &location, const QString &fileName)
{
    if (!onServer(location))
        return isDumpFileName(fileName) ? Role::Foreign : roleOf(fileName);
    if (isDumpFileName(fileName))
        return Role::Database;
    const Role r = roleOf(fileName);
    return r == Role::Database || r == Role::Companion ? Role::Foreign : r;
}

QString DatabaseFiles::databaseFileName(const QString &location)
{
    QString uri, schema;
    return serverOf(location, &uri, &schema) ? dumpFileName(uri) : databaseFileName();
}

QString DatabaseFiles::backupFolder(const QString &location)
{
    if (!Database::isServer(location))
        return QDir(location).absolutePath();
    // Beside aliases.ini: the program's folder, or the user's data folder when installed.
    const QString name = dumpFileName(location);
    const QString folder = QDir(Database::filesFolder()).filePath(QStringLiteral("dados-") + name.left(name.lastIndexOf(u'.')));
    if (!QDir().mkpath(folder))
        throw DbError(DbError::Kind::Generic, QStringLiteral("Não foi possível criar a pasta %1")
                                                  .arg(QDir::toNativeSeparators(folder)));
    return folder;
}

void DatabaseFiles::checkServerLogin(const QString &location)
{
    if (onServer(location))
        connectToServerOf(location);
}

QStringList DatabaseFiles::connectedDesks(const QString &location)
{
    if (!onServer(location))
        return {};
    try {
        auto c = connectToServerOf(location);
        return detail::connectedDesks(c.get());
    } catch (const DbError &) {
        return {};
    }
}

bool DatabaseFiles::isInUse(const QString &folder)
{
    if (!Database::isServer(folder) && FolderLock::inUse(folder))
        return true;
    return !connectedDesks(folder).isEmpty();
}

void DatabaseFiles::snapshot(const QString &folder, const QString &target)
{
    if (onServer(folder)) {
        // An unreachable server says why; it is not an empty database.
        auto c = connectToServerOf(folder);
        if (c->isEmptyDatabase())
            throw DbError(DbError::Kind::NotOpen, QStringLiteral("Banco de dados não encontrado em %1")
                                                      .arg(QDir::toNativeSeparators(folder)));
        // Connected as a desk: a restoration cannot start meanwhile.
        attachDesk(c.get());
        writeServerDump(c.get(), target);
        return;
    }
    // Held shared like any program that opens the database: a restoration
    // cannot start meanwhile, and a running one keeps the copy out.
    FolderLock lock;
    if (!lock.acquire(folder, FolderLock::Mode::Shared, 1000))
        throw DbError(DbError::Kind::Busy, restoringMessage());
    if (!Database::exists(folder))
        throw DbError(DbError::Kind::NotOpen, QStringLiteral("Banco de dados não encontrado em %1")
                                                  .arg(QDir::toNativeSeparators(folder)));
    removeWithCompanions(target);

    FileConn src;
    if (src.open(liveFile(folder), SQLITE_OPEN_READWRITE) != SQLITE_OK)
        throw DbError(DbError::Kind::NotOpen,
                      QStringLiteral("Não foi possível abrir o banco de dados: %1").arg(src.error()));
    {
        FileConn dst;
        if (dst.open(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) != SQLITE_OK)
            throw DbError(DbError::Kind::Generic,
                          QStringLiteral("Não foi possível criar a cópia do banco de dados: %1").arg(dst.error()));
        sqlite3_exec(dst.h, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        sqlite3_backup *b = sqlite3_backup_init(dst.h, "main", src.h, "main");
        if (!b)
            throw DbError(DbError::Kind::Generic,
                          QStringLiteral("Não foi possível copiar o banco de dados: %1").arg(dst.error()));
        // All pages in one step: the copy is read inside one read transaction
        // of the source, so it is one committed state whatever others write.
        int rc = SQLITE_OK;
        for (int attempt = 0; attempt < 200; ++attempt) {
            rc = sqlite3_backup_step(b, -1);
            if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
                break;
            ::usleep(50000);
        }
        sqlite3_backup_finish(b);
        if (rc != SQLITE_DONE) {
            const QString why = QString::fromUtf8(sqlite3_errstr(rc));
            dst.close();
            removeWithCompanions(target);
            throw DbError(rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? DbError::Kind::Busy : DbError::Kind::Generic,
                          QStringLiteral("Não foi possível copiar o banco de dados: %1").arg(why));
        }
    }
    src.close();
    lock.release();

    // The copy is one file in the plain journal mode: no log files to carry.
    FileConn dst;
    QStringList mode;
    QString why;
    if (dst.open(target, SQLITE_OPEN_READWRITE) != SQLITE_OK
        || !rows(dst.h, "PRAGMA journal_mode=DELETE", &mode, &why) || mode != QStringList{QStringLiteral("delete")}) {
        if (why.isEmpty())
            why = dst.error();
        dst.close();
        removeWithCompanions(target);
        throw DbError(DbError::Kind::Generic, QStringLiteral("Não foi possível copiar o banco de dados: %1").arg(why));
    }
}

DatabaseFiles::Hold::Hold() : m_lock(std::make_unique<FolderLock>()) {}
DatabaseFiles::Hold::~Hold() = default;

std::unique_ptr<DatabaseFiles::Hold> DatabaseFiles::holdExclusively(const QString &folder, int waitMs)
{
    std::unique_ptr<Hold> hold(new Hold);
    if (Database::isServer(folder)) {
        hold->m_folder = folder;
    } else {
        hold->m_folder = QDir(folder).absolutePath();
        if (!hold->m_lock->acquire(hold->m_folder, FolderLock::Mode::Exclusive, waitMs))
            return nullptr;
    }
    if (onServer(folder)) {
        hold->m_server = connectToServerOf(folder);
        if (!holdDesksOut(hold->m_server.get(), waitMs))
            return nullptr;
    }
    return hold;
}

QString DatabaseFiles::check(const QString &candidate)
{
    if (!QFileInfo(candidate).isFile())
        return QStringLiteral("arquivo não encontrado");
    if (isDumpFileName(candidate))
        return checkServerDump(candidate);
    // The shared-memory index is rebuilt from the log; one copied from
    // elsewhere is never trusted.
    QFile::remove(candidate + QStringLiteral("-shm"));
    FileConn c;
    if (c.open(candidate, SQLITE_OPEN_READWRITE) != SQLITE_OK)
        return c.error();
    registerCollation(c.h);
    QStringList result, tables, mode;
    QString why;
    // Reading replays the companion log, as the engine does after a crash.
    if (!rows(c.h, "PRAGMA integrity_check", &result, &why))
        return why;
    if (result != QStringList{QStringLiteral("ok")})
        return result.mid(0, 3).join(QStringLiteral("; "));
    if (!rows(c.h, "SELECT name FROM sqlite_master WHERE type='table' LIMIT 1", &tables, &why))
        return why;
    if (tables.isEmpty())
        return QStringLiteral("o arquivo não contém tabelas");
    if (!rows(c.h, "PRAGMA journal_mode=DELETE", &mode, &why))
        return why;
    c.close();
    for (const char *s : kCompanionSuffixes)
        if (QFileInfo::exists(candidate + QLatin1String(s)))
            return QStringLiteral("o registro de transações não pôde ser incorporado");
    return QString();
}

void DatabaseFiles::replace(const Hold &hold, const QString &candidate)
{
    if (hold.m_server.get() != nullptr || isDumpFileName(candidate)) {
        replaceOnServer(hold, candidate);
        return;
    }
    const QString reason = check(candidate);
    if (!reason.isEmpty()) {
        removeWithCompanions(candidate);
        throw DbError(DbError::Kind::Generic,
                      QStringLiteral("O banco de dados do Back-up está danificado e não foi restaurado (%1).\n"
                                     "O banco de dados atual foi mantido.")
                          .arg(reason));
    }
    const QString live = liveFile(hold.folder());
    const QFileInfo old(live);
    if (old.exists())
        QFile::setPermissions(candidate, old.permissions());
    if (!syncPath(candidate, false))
        throw DbError(DbError::Kind::Generic,
                      QStringLiteral("Não foi possível gravar o banco de dados restaurado: %1").arg(candidate));
    // The old database's logs go first: a log left beside the new file would
    // be replayed over it.
    for (const char *s : kCompanionSuffixes) {
        const QByteArray path = QFile::encodeName(live + QLatin1String(s));
        if (::unlink(path.constData()) != 0 && errno != ENOENT)
            throw DbError(DbError::Kind::Generic,
                          QStringLiteral("Não foi possível remover o arquivo %1: %2\nO banco de dados atual foi mantido.")
                              .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (::rename(QFile::encodeName(candidate).constData(), QFile::encodeName(live).constData()) != 0)
        throw DbError(DbError::Kind::Generic,
                      QStringLiteral("Não foi possível substituir o banco de dados: %1\nO banco de dados atual foi mantido.")
                          .arg(QString::fromLocal8Bit(std::strerror(errno))));
    syncPath(hold.folder(), true);
}

void DatabaseFiles::replaceOnServer(const Hold &hold, const QString &candidate)
{
    const QString kept = QStringLiteral("\nO banco de dados atual foi mantido.");
    QString reason;
    if (!hold.m_server || !isDumpFileName(candidate))
        reason = QStringLiteral("o Back-up é de um banco de dados de outro tipo");
    else
        reason = checkServerDump(candidate);
    if (!reason.isEmpty()) {
        QFile::remove(candidate);
        throw DbError(DbError::Kind::Generic,
                      QStringLiteral("O banco de dados do Back-up está danificado e não foi restaurado (%1).").arg(reason)
                          + kept);
    }
    try {
        restoreServerDump(hold.m_server.get(), candidate);
    } catch (const DbError &e) {
        QFile::remove(candidate);
        throw DbError(e.kind(), QStringLiteral("O banco de dados do Back-up não foi restaurado (%1).").arg(e.message())
                                    + kept);
    }
    QFile::remove(candidate);
}

} // namespace brelvo::data
