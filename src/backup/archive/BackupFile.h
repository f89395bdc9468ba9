#pragma once
// TBackupFile: packs files into a ".bck" archive of zlib-compressed blocks,
// optionally split over volumes, and restores such archives.
//
// Layout (integers 32-bit little-endian, texts length-prefixed):
//   header   title, total size, file count
//   entries  name, packed DOS date, data section ("EC2\0", blocks, 0)
//            or a volume mark "NEXT:DISKnnn" (name only)
//   end      0
// A block holds one 16384-byte chunk: L > 0 and a complete zlib stream, or
// L < 0 and -L raw bytes when the stream would not fit in 16384 bytes.
//
// QtCore and zlib only: questions and reports go through callbacks.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;

namespace brelvo::backup {

enum class BackupMode { bmAll, bmIncremental };
enum class CompressionLevel { clFastest, clNone, clDefault, clMax };
enum class RestoreMode { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };

class TBackupFile {
public:
    static constexpr int kBlockSize = 16384;
    static constexpr int kVolumeRoom = kBlockSize + 100;
    static constexpr const char *kMagic = "EC2";          // followed by a zero byte
    static constexpr const char *kFileList = "FILE:LIST";
    static constexpr const char *kNextDisk = "NEXT:DISK";
    static constexpr const char *kStream = ":STREAM";

    enum ErrorCode {
        errNone = 0,
        errReadFile = 1,
        errOverwrite = 2,
        errReadArchive = 3,
        errWriteArchive = 4,
        errArchiveType = 5,
        errCompression = 6,
        errFileIdTemp = 7,
    };
    static QString errorText(int code);

    using ProgressEvent = std::function<void(const QString &fileName, int percent, bool &cont)>;
    using NeedDiskEvent = std::function<void(int diskId, bool &cont)>;
    using RestoreFileEvent = std::function<void(QString &fileName, uint32_t storedDate, bool &doRestore)>;
    using FileRestoredEvent = std::function<void(const QString &fileName, QIODevice *stream)>;
    using ErrorEvent = std::function<void(int code, const QString &text)>;
    // Before a backup stores a listed file: may leave it out, or name another
    // file whose data and date are stored under this file's name.
    using BackupFileEvent = std::function<void(const QString &fileName, QString &source, bool &doStore)>;
    // A matching entry that is not a regular file (FIFO, socket, device) was left out.
    using SkipFileEvent = std::function<void(const QString &fileName)>;

    // Process-wide defaults used when OnError / OnNeedDisk are not set; the
    // program installs them (message boxes). Without them an error goes to
    // qWarning and a disk question is answered with Cancel.
    using DefaultReport = std::function<void(const QString &text)>;
    using DefaultQuestion = std::function<bool(const QString &text)>;   // true = OK
    static void setDefaultReport(DefaultReport report);
    static void setDefaultDiskQuestion(DefaultQuestion question);
    static QString diskQuestionText(int diskId);

    TBackupFile();
    ~TBackupFile();
    TBackupFile(const TBackupFile &) = delete;
    TBackupFile &operator=(const TBackupFile &) = delete;

    static QString Version() { return QStringLiteral("5.10"); }

    QString BackupTitle;
    BackupMode backupMode() const { return m_backupMode; }
    void setBackupMode(BackupMode m);            // bmIncremental also turns SetArchiveFlag on
    CompressionLevel compressionLevel = CompressionLevel::clDefault;
    RestoreMode restoreMode = RestoreMode::rmAll;
    qint64 MaxSize = 0;
    bool SetArchiveFlag = false;
    bool RestoreFullPath = false;
    bool SaveFileID = false;
    // Bare file names never archived (compared without case).
    QStringList excludeNames;

    ProgressEvent OnProgress;
    NeedDiskEvent OnNeedDisk;
    RestoreFileEvent OnRestoreFile;
    FileRestoredEvent OnFileRestored;
    ErrorEvent OnError;
    BackupFileEvent OnBackupFile;
    SkipFileEvent OnSkipFile;
    // Run between blocks so the window stays responsive.
    std::function<void()> processEvents;

    // Devices for the archive name ":STREAM" (not owned).
    QIODevice *inputStream = nullptr;
    QIODevice *outputStream = nullptr;

    bool Backup(const QStringList &fileList, const QString &archiveName);
    bool Restore(const QString &archiveName, const QString &targetFolder);

    // The files the masks name, as Backup would store them.
    QStringList fileListFor(const QStringList &masks, const QString &archiveName) const;

    int errorCode() const { return m_error; }
    // A failure passed to the caller rather than through OnError
    // ("Cannot read archive", "Invalid archive type"); empty when none.
    QString failureText() const { return m_failure; }
    bool cancelled() const { return m_cancelled; }
    int filesDone() const { return m_filesDone; }

    // Name of volume `n` (2, 3, ...) following `name`: extension replaced by ".nnn".
    static QString volumeName(const QString &name, int n);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    BackupMode m_backupMode = BackupMode::bmAll;
    int m_error = 0;
    QString m_failure;
    bool m_cancelled = false;
    int m_filesDone = 0;

    friend struct Impl;
};

} // namespace brelvo::backup
