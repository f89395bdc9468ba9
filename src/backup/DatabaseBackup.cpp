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

// Role of a path inside `folder`: only the folder's own files belong to the engine.
Role roleIn(const QString &folder, const QString &path)
{
    const QFileInfo fi(path);
    if (QDir::cleanPath(fi.absolutePath()) != QDir::cleanPath(folder))
        return Role::Ordinary;
    return DatabaseFiles::roleOf(fi.fileName());
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

DatabaseBackup::Result DatabaseBackup::backup(const QString &folderIn, const QString &archiveName)
{
    m_message.clear();
    m_skipped.clear();
    const QString folder = QDir(folderIn).absolutePath();

    QTemporaryDir work(QDir(QDir::tempPath()).filePath(QStringLiteral("brelvo-backup-XXXXXX")));
    QString snapshot;
    if (DatabaseFiles::exists(folder)) {
        if (!work.isValid()) {
            m_message = QStringLiteral("Não foi possível criar a pasta temporária %1").arg(QDir::tempPath());
            return Result::Refused;
        }
        snapshot = work.filePath(DatabaseFiles::databaseFileName());
        try {
            DatabaseFiles::snapshot(folder, snapshot);
        } catch (const DbError &e) {
            m_message = e.message();
            return Result::Refused;
        }
    }

    Restorer keepBackup(m_bf.OnBackupFile);
    Restorer keepSkip(m_bf.OnSkipFile);
    m_bf.OnBackupFile = [&](const QString &fileName, QString &source, bool &store) {
        if (keepBackup.saved())
            keepBackup.saved()(fileName, source, store);
        switch (roleIn(folder, fileName)) {
        case Role::Database:
            // Stored under its own name, its data taken from the snapshot.
            store = store && !snapshot.isEmpty();
            source = snapshot;
            break;
        case Role::Companion:
        case Role::Lock:
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

DatabaseBackup::Result DatabaseBackup::restore(const QString &archiveName, const QString &folderIn)
{
    m_message.clear();
    const QString folder = QDir(folderIn).absolutePath();
    std::unique_ptr<DatabaseFiles::Hold> hold;
    try {
        hold = DatabaseFiles::holdExclusively(folder);
    } catch (const DbError &e) {
        m_message = e.message();
        return Result::Refused;
    }
    if (!hold)
        return Result::InUse;

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
    std::vector<std::pair<QString, QString>> moves;   // staged file -> its place

    {
        Restorer keep(m_bf.OnRestoreFile);
        m_bf.OnRestoreFile = [&](QString &fileName, uint32_t date, bool &doRestore) {
            const Role role = roleIn(folder, fileName);
            if (role == Role::Lock) {
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
            if (role == Role::Database)
                stagedDatabase = staged;
            else if (role == Role::Ordinary)
                moves.emplace_back(staged, fileName);
            fileName = staged;
        };
        if (!m_bf.Restore(archiveName, folder))
            return Result::Failed;
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
