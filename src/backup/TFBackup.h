#pragma once
// The Back-up tool's window: automatic (by date, beside the program) or
// manual backups of the database folder, and their restore.

#include "backup/archive/BackupFile.h"

#include <QDate>
#include <QWidget>
#include <functional>

class QGroupBox;
class QRadioButton;
class QPushButton;
class QProgressBar;
class QListWidget;

namespace brelvo::backup {

class TFBackup : public QWidget {
    Q_OBJECT
public:
    // What the window needs from outside; empty members take the real thing.
    struct Env {
        std::function<QString()> databaseFolder;            // folder or server address; throws DbError when unknown
        QString toolFolder;                                 // core::programFolder()
        std::function<QDate()> today;
        bool runAtStart = true;                             // the backup action on creation
    };

    explicit TFBackup(QWidget *parent = nullptr);
    explicit TFBackup(Env env, QWidget *parent = nullptr);
    ~TFBackup() override;

    void btnBackupClick();
    void btnRestauraClick();

    TBackupFile &backupFile() { return BackupFile; }
    QString automaticArchiveName(int daysBack) const;

    // Default question and report of the archiver through the dialog service.
    static void installArchiverDialogs();

    // The tool's log beside the program: entries left out of a backup.
    static constexpr const char *kLogName = "Back-Up.log";

private:
    bool findDatabaseFolder(QString *location, QString *folder);
    bool runBackup(const QString &location, const QString &archive);
    bool runRestore(const QString &archive, const QString &location);
    void logSkipped(const QStringList &entries);
    void setIdle(bool idle);

    Env m_env;
    TBackupFile BackupFile;

    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *rbManual = nullptr;
    QRadioButton *rbAutomatico = nullptr;
    QPushButton *btnBackup = nullptr;
    QPushButton *btnRestaura = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QListWidget *ListBox1 = nullptr;
};

} // namespace brelvo::backup
