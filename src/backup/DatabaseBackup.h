#pragma once
// Backup and restore of the database folder. The archiver stores the
// folder's plain files as they are and the database as the data layer's
// consistent snapshot (under the database's own file name, without the
// engine's log files; for a server database, its dump). A restore holds the folder exclusively from start to
// end, unpacks everything beside the folder first, and puts the files in
// place only when the whole archive was read and the database passed its
// check. The archive format is the archiver's, unchanged.

#include "backup/archive/BackupFile.h"

#include <QString>
#include <QStringList>

namespace brelvo::backup {

// The Back-up tool's archiver settings: title "Back-up", every file, fastest
// compression, every stored file restored, volumes of 5 400 000 bytes, the
// file-ID list stored.
void applyToolSettings(TBackupFile &archiver);

class DatabaseBackup {
public:
    enum class Result {
        Done,      // archive written / archive restored
        Failed,    // the archiver failed or was cancelled (it reported through its events)
        Refused,   // nothing written or nothing replaced; message() says why
        InUse,     // restore only: a program has the database open; nothing changed
    };

    // Uses (and for the length of a call, extends) the archiver's settings
    // and events.
    explicit DatabaseBackup(TBackupFile &archiver) : m_bf(archiver) {}

    // `location` is what the alias names: a folder, or a server address
    // whose plain files live in DatabaseFiles::backupFolder().
    // Every file of the folder (the mask folder + "*.*") into `archiveName`;
    // for a server the database's dump is one of them.
    Result backup(const QString &location, const QString &archiveName);
    // `archiveName` into the database at `location`.
    Result restore(const QString &archiveName, const QString &location);

    // Portuguese reason of the last Refused.
    QString message() const { return m_message; }
    // Entries of the folder left out by the last backup because they are not
    // regular files (FIFOs, sockets, devices).
    QStringList skipped() const { return m_skipped; }
    // After InUse on a server: the programs connected to the database.
    QStringList connected() const { return m_connected; }

private:
    TBackupFile &m_bf;
    QString m_message;
    QStringList m_skipped;
    QStringList m_connected;
};

} // namespace brelvo::backup
