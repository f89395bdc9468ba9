#pragma once
// The database's own files in its folder. A program that copies the folder
// (the backup tool) asks here instead of treating them as plain files: the
// database is copied as one consistent state while other programs keep
// working, and it is put back only whole, checked, and with the folder held
// so that no program opens it half-replaced.
//
// Engine-neutral on purpose: for a server database the snapshot is a dump
// and the replacement a restore of that dump. A "location" is what the alias
// names: a folder, or a server address (postgresql://...). The files of a
// server database (its dump while a backup runs, and any plain files kept
// with it) live in a local backup folder.

#include "data/DbError.h"

#include <QString>
#include <memory>

namespace brelvo::data {

namespace detail {
class FolderLock;
class Conn;
}

class DatabaseFiles {
public:
    // What a file of the database folder is to the engine.
    enum class Role {
        Ordinary,    // not the engine's: copied as it is
        Database,    // the database itself: archived through snapshot(), put back through replace()
        Companion,   // the engine's working files (logs): never archived; in older archives they
                     // belong beside the database file they came with
        Lock,        // tells who has the database open: never archived nor put back
        Foreign,     // the database of the other engine: never archived; a restore refuses it
    };
    // `fileName` is a bare file name as found in the folder.
    static Role roleOf(const QString &fileName);
    static QString databaseFileName();
    // The same for the database at `location`: on a server, its dump
    // ("brelvo.pgdump", named after the server database) is the database.
    static Role roleOf(const QString &location, const QString &fileName);
    static QString databaseFileName(const QString &location);

    // True when the database at `location` lives on a server.
    static bool onServer(const QString &location);
    // The local folder of `location`'s files: the folder itself, or for a
    // server address the folder "dados-<database>" beside the program
    // (created when missing). Throws DbError when it cannot be made.
    static QString backupFolder(const QString &location);
    // Programs connected to the server database at `location`, in Portuguese
    // ("Brelvo caixa (192.168.0.5, usuário ana, desde 09/12/2026 14:03)");
    // empty for a SQLite folder or when the server cannot be asked.
    static QStringList connectedDesks(const QString &location);
    // For a server database: connects once and lets go. Throws DbError
    // (PasswordNeeded when the server wants a password it has not got).
    static void checkServerLogin(const QString &location);

    // Folder of the alias (see Database::aliasFolder).
    static QString aliasFolder(const QString &alias = QStringLiteral("DBBrelvoVendas"));
    // True when the folder holds a database.
    static bool exists(const QString &folder);
    // True while any program has the database in `folder` open.
    static bool isInUse(const QString &folder);

    // Writes one consistent state of the database in `folder` (a location)
    // to the file `target` (replaced when present), while other programs keep
    // reading and writing. The copy is a single self-contained file: the
    // database file, or the server's dump. Throws DbError; Busy while a
    // restoration holds the database.
    static void snapshot(const QString &folder, const QString &target);

    // The folder held exclusively: while a Hold lives no program opens the
    // database, and programs that try are told a restoration is in progress.
    class Hold {
    public:
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;
        QString folder() const { return m_folder; }   // the location held

    private:
        friend class DatabaseFiles;
        Hold();
        QString m_folder;
        std::unique_ptr<detail::FolderLock> m_lock;
        std::unique_ptr<detail::Conn> m_server;        // holds the server's desks out
    };
    // Null when some program has the database open (after waiting `waitMs`);
    // on a server every desk is held out, whichever machine it runs on.
    // Throws DbError when the folder cannot be locked or the server reached.
    static std::unique_ptr<Hold> holdExclusively(const QString &folder, int waitMs = 500);

    // Checks a database file (or a server dump, by its name) that is not in use: empty when it is sound,
    // otherwise the reason in Portuguese. Companion files beside it (under
    // its name plus the engine's suffixes) are folded in first, so that on
    // success it is one self-contained file.
    static QString check(const QString &candidate);

    // With the folder held: checks `candidate` (written by snapshot(), or
    // restored from an older archive with its companion files beside it) and
    // puts it in place of the folder's database in one atomic step, removing
    // the folder's stale companion files first. The candidate must lie on the
    // folder's file system. When the check fails the candidate is deleted, the
    // database stays exactly as it was, and DbError says why. On a server the
    // candidate is a dump, restored in one transaction.
    static void replace(const Hold &hold, const QString &candidate);

private:
    static void replaceOnServer(const Hold &hold, const QString &candidate);
};

} // namespace brelvo::data
