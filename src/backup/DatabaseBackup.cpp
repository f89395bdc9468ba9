#include "DatabaseBackup.h"

#include "data/DatabaseFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <utility>
#include <vector>

namespace brelvo::backup {

using brelvo::data::DatabaseFiles;
using brelvo::data::DbError;
using Role = DatabaseFiles::Role;

namespace {

// Role of a path inside `folder`, the local folder of `location`: only the
// folder's own files belong to the engine.
Role roleIn(const QString &location, const QString &folder, const QString &path)
{
    const QFileInfo fi(path);
    if (QDir::cleanPath(fi.absolutePath()) != QDir::cleanPath(folder))
        return Role::Ordinary;
    return DatabaseFiles::roleOf(location, fi.fileName());
}

// The local folder of a location; empty (with `message`) when it cannot be made.
QString localFolder(const QString &location, QString *message)
{
    try {
        return DatabaseFiles::backupFolder(location);
    } catch (const DbError &e) {
        *message = e.message();
        return QString();
    }
}

// Puts an archiver event back when the call ends.
template <typename T>
class Restorer {
public:
    explicit Restorer(T &slot) : m_slot(slot), m_saved(slot) {}
    ~Restorer() { m_slot = std::move(m_saved); }
    const T &saved() const { return m_saved; }

private:
    T &m_slot;
    T m_saved;
};

} // namespace

void applyToolSettings(TBackupFile &bf)
{
    bf.BackupTitle = QStringLiteral("Back-up");
    bf.setBackupMode(BackupMode::bmAll);
    bf.compressionLevel = CompressionLevel::clFastest;
    bf.restoreMode = RestoreMode::rmAll;
    bf.MaxSize = 5400000;
    bf.SetArchiveFlag = false;
    bf.RestoreFullPath = false;
    bf.SaveFileID = true;
}

DatabaseBackup::Result DatabaseBackup::backup(const QString &location, const QString &archiveName)
{
    m_message.clear();
    m_skipped.clear();
    const QString folder = localFolder(location, &m_message);
    if (folder.isEmpty())
        return Result::Refused;
    const bool onServer = DatabaseFiles::onServer(location);

    // A file database is copied aside and stored under its own name; a
    // server's dump is written into the folder and archived from there.
    QTemporaryDir work(QDir(QDir::tempPath()).filePath(QStringLiteral("brelvo-backup-XXXXXX")));
    QString snapshot;
    if (onServer || DatabaseFiles::exists(location)) {
        if (!onServer && !work.isValid()) {
            m_message = QStringLiteral("Não foi possível criar a pasta temporária %1").arg(QDir::tempPath());
            return Result::Refused;
        }
        snapshot = onServer ? QDir(folder).filePath(DatabaseFiles::databaseFileName(location))
                            : work.filePath(DatabaseFiles::databaseFileName());
        try {
            DatabaseFiles::snapshot(location, snapshot);
        } catch (const DbError &e) {
            m_message = e.message();
            return Result::Refused;
        }
    }
    struct RemoveDump {
        QString path;
        ~RemoveDump()
        {
            if (!path.isEmpty())
                QFile::remove(path);
        }
    } removeDump{onServer ? snapshot : QString()};

    Restorer keepBackup(m_bf.OnBackupFile);
    Restorer keepSkip(m_bf.OnSkipFile);
    m_bf.OnBackupFile = [&](const QString &fileName, QString &source, bool &store) {
        if (keepBackup.saved())
            keepBackup.saved()(fileName, source, store);
        switch (roleIn(location, folder, fileName)) {
        case Role::Database:
            // Stored under its own name, its data taken from the snapshot
            // (an older dump lying in the folder is not the database).
            if (onServer)
                store = store && !snapshot.isEmpty() && QFileInfo(fileName).fileName() == QFileInfo(snapshot).fileName();
            else
                store = store && !snapshot.isEmpty();
            source = snapshot;
            break;
        case Role::Companion:
        case Role::Lock:
        case Role::Foreign:
            store = false;
            break;
        case Role::Ordinary:
            break;
        }
    };
    m_bf.OnSkipFile = [&](const QString &fileName) {
        m_skipped << fileName;
        if (keepSkip.saved())
            keepSkip.saved()(fileName);
    };
    return m_bf.Backup({folder + QStringLiteral("/*.*")}, archiveName) ? Result::Done : Result::Failed;
}

DatabaseBackup::Result DatabaseBackup::restore(const QString &archiveName, const QString &location)
{
    m_message.clear();
    m_connected.clear();
    const QString folder = localFolder(location, &m_message);
    if (folder.isEmpty())
        return Result::Refused;
    std::unique_ptr<DatabaseFiles::Hold> hold;
    try {
        hold = DatabaseFiles::holdExclusively(location);
    } catch (const DbError &e) {
        m_message = e.message();
        return Result::Refused;
    }
    if (!hold) {
        m_connected = DatabaseFiles::connectedDesks(location);
        return Result::InUse;
    }

    // A restore that was killed may have left its folder behind; with the
    // folder held, no other restore is using one.
    const QStringList stale = QDir(folder).entryList({QStringLiteral(".restauracao-banco-*")},
                                                     QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &d : stale)
        QDir(QDir(folder).filePath(d)).removeRecursively();

    // Everything is unpacked here first (same file system, so each file goes
    // in place with one rename); it disappears with whatever is left in it.
    QTemporaryDir staging(QDir(folder).filePath(QStringLiteral(".restauracao-banco-XXXXXX")));
    if (!staging.isValid()) {
        m_message = QStringLiteral("Não foi possível criar a pasta temporária da restauração em %1")
                        .arg(QDir::toNativeSeparators(folder));
        return Result::Refused;
    }
    const QString stage = staging.path();
    QString stagedDatabase;
    QString foreignDatabase;
    int databases = 0;
    std::vector<std::pair<QString, QString>> moves;   // staged file -> its place

    {
        Restorer keep(m_bf.OnRestoreFile);
        m_bf.OnRestoreFile = [&](QString &fileName, uint32_t date, bool &doRestore) {
            const Role role = roleIn(location, folder, fileName);
            if (role == Role::Lock) {
                doRestore = false;
                return;
            }
            if (role == Role::Foreign) {
                foreignDatabase = QFileInfo(fileName).fileName();
                doRestore = false;
                return;
            }
            if (keep.saved())
                keep.saved()(fileName, date, doRestore);
            if (!doRestore)
                return;
            const QString rel = QDir(folder).relativeFilePath(fileName);
            if (rel.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(rel)) {
                doRestore = false;   // only the folder is restored
                return;
            }
            const QString staged = stage + u'/' + rel;
            // The database and the log files an older archive kept with it
            // stay together under their own names until the check.
            if (role == Role::Database) {
                stagedDatabase = staged;
                ++databases;
            }
            else if (role == Role::Ordinary)
                moves.emplace_back(staged, fileName);
            fileName = staged;
        };
        if (!m_bf.Restore(archiveName, folder))
            return Result::Failed;
    }

    // An archive of the other engine's database, or with two dumps, would
    // leave the database as it is while its plain files went in.
    if (!foreignDatabase.isEmpty() || databases > 1) {
        m_message = !foreignDatabase.isEmpty()
            ? QStringLiteral("O Back-up contém o banco de dados \"%1\", de outro tipo de banco de dados "
                             "(%2), e não pode ser restaurado neste.\nNada foi alterado.")
                  .arg(foreignDatabase,
                       DatabaseFiles::onServer(location) ? QStringLiteral("um banco local, não o do servidor")
                                                         : QStringLiteral("o do servidor, não um banco local"))
            : QStringLiteral("O Back-up contém mais de uma cópia do banco de dados.\nNada foi alterado.");
        return Result::Refused;
    }

    // Nothing is replaced unless every file can go to its place.
    for (const auto &[staged, target] : moves) {
        if (QFileInfo(target).isDir() || !QDir().mkpath(QFileInfo(target).absolutePath())) {
            m_message = QStringLiteral("Não foi possível gravar o arquivo %1.\nNada foi alterado.")
                            .arg(QDir::toNativeSeparators(target));
            return Result::Refused;
        }
    }
    if (!stagedDatabase.isEmpty() && QFileInfo::exists(stagedDatabase)) {
        try {
            DatabaseFiles::replace(*hold, stagedDatabase);
        } catch (const DbError &e) {
            m_message = e.message();
            return Result::Refused;
        }
    }
    for (const auto &[staged, target] : moves) {
        if (!QFileInfo::exists(staged))
            continue;   // the archiver decided not to write it
        if (QFileInfo::exists(target))
            QFile::setPermissions(staged, QFileInfo(target).permissions());
        if (std::rename(QFile::encodeName(staged).constData(), QFile::encodeName(target).constData()) != 0) {
            m_message = QStringLiteral("Não foi possível gravar o arquivo %1.").arg(QDir::toNativeSeparators(target));
            return Result::Refused;
        }
    }
    return Result::Done;
}

} // namespace brelvo::backup
