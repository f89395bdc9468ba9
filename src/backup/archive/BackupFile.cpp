#include "BackupFile.h"

#include "FileAttrs.h"
#include "FileList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtEndian>
#include <QtGlobal>

#include <zlib.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace brelvo::backup {

namespace {

TBackupFile::DefaultReport &defaultReport()
{
    static TBackupFile::DefaultReport r;
    return r;
}

TBackupFile::DefaultQuestion &defaultQuestion()
{
    static TBackupFile::DefaultQuestion q;
    return q;
}

// Windows-1252 for 0x80..0x9F; the rest of the 8-bit range is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// Names are written in Windows-1252 when they fit (archives stay readable
// where they came from); other names keep their UTF-8 bytes.
QByteArray encodeName(const QString &s)
{
    QByteArray out;
    out.reserve(s.size());
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(char(u));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] == u && u != 0xFFFD)
                found = i;
        if (found < 0)
            return s.toUtf8();
        out.append(char(0x80 + found));
    }
    return out;
}

QString decodeName(const QByteArray &b)
{
    bool ascii = true;
    for (char c : b)
        if (uchar(c) >= 0x80)
            ascii = false;
    if (ascii)
        return QString::fromLatin1(b);
    const QString utf8 = QString::fromUtf8(b);
    if (!utf8.contains(QChar::ReplacementCharacter))
        return utf8;
    QString out;
    out.reserve(b.size());
    for (char c : b) {
        const uchar u = uchar(c);
        out.append(u >= 0x80 && u < 0xA0 ? QChar(kCp1252High[u - 0x80]) : QChar(u));
    }
    return out;
}

bool isVolumeMark(const QByteArray &name)
{
    return name.size() == 12 && name.startsWith(TBackupFile::kNextDisk);
}

bool hasDrive(const QString &s)
{
    return s.size() >= 2 && s[1] == u':' && s[0].isLetter();
}

bool hasDotDot(const QString &path)
{
    const QStringList parts = path.split(u'/');
    for (const QString &p : parts)
        if (p == QLatin1String(".."))
            return true;
    return false;
}

// Opens a file for reading only when it is a regular file: a FIFO put in a
// listed file's place would block the open and the reads for ever.
bool openRegularFile(QFile &file, const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)
        || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

int percentOf(qint64 done, qint64 total)
{
    if (total <= 0)
        return 100;
    const qint64 p = (done * 100 + total / 2) / total;
    return int(qBound(qint64(0), p, qint64(100)));
}

} // namespace

struct TBackupFile::Impl {
    TBackupFile &q;
    std::vector<char> inBuf = std::vector<char>(kBlockSize);
    std::vector<char> outBuf = std::vector<char>(kBlockSize);
    z_stream zs {};
    bool zsInit = false;
    bool deflating = false;
    bool cont = true;
    qint64 total = 0;
    qint64 done = 0;
    QString currentFile;

    // Archive side.
    QIODevice *dev = nullptr;
    std::unique_ptr<QFile> volFile;
    QString volName;
    int volNo = 1;
    qint64 volLen = 0;

    explicit Impl(TBackupFile &owner) : q(owner) {}
    ~Impl() { endZ(); }

    void endZ()
    {
        if (!zsInit)
            return;
        if (deflating)
            deflateEnd(&zs);
        else
            inflateEnd(&zs);
        zsInit = false;
    }

    bool startDeflate(int level)
    {
        endZ();
        zs = z_stream {};
        if (deflateInit(&zs, level) != Z_OK)
            return false;
        zsInit = true;
        deflating = true;
        return true;
    }

    bool startInflate()
    {
        endZ();
        zs = z_stream {};
        if (inflateInit(&zs) != Z_OK)
            return false;
        zsInit = true;
        deflating = false;
        return true;
    }

    void fail(int code)
    {
        if (q.m_error == 0)
            q.m_error = code;
        cont = false;
    }

    void failText(int code)
    {
        if (q.m_failure.isEmpty() && q.m_error == 0)
            q.m_failure = errorText(code);
        cont = false;
    }

    void progress(const QString &file, int percent)
    {
        if (!q.OnProgress)
            return;
        bool c = true;
        q.OnProgress(file, percent, c);
        if (!c) {
            q.m_cancelled = true;
            cont = false;
        }
    }

    void finalProgress()
    {
        bool c = true;
        if (q.OnProgress)
            q.OnProgress(QString(), 100, c);
    }

    bool askDisk(int disk)
    {
        bool c = true;
        if (q.OnNeedDisk)
            q.OnNeedDisk(disk, c);
        else if (defaultQuestion())
            c = defaultQuestion()(diskQuestionText(disk));
        else
            c = false;
        if (!c) {
            q.m_cancelled = true;
            cont = false;
        }
        return c;
    }

    void report()
    {
        if (q.m_error == 0)
            return;
        const QString text = errorText(q.m_error);
        if (q.OnError)
            q.OnError(q.m_error, text);
        else if (defaultReport())
            defaultReport()(text);
        else
            qWarning("%s", qPrintable(text));
    }

    // ---- writing -------------------------------------------------------

    bool put(const char *data, qint64 n)
    {
        if (n > 0 && dev->write(data, n) != n) {
            fail(errWriteArchive);
            return false;
        }
        volLen += n;
        return true;
    }

    bool putInt(qint32 v)
    {
        const qint32 le = qToLittleEndian(v);
        return put(reinterpret_cast<const char *>(&le), 4);
    }

    bool putText(const QByteArray &b)
    {
        return putInt(qint32(b.size())) && put(b.constData(), b.size());
    }

    bool putMagic() { return put("EC2\0", 4); }

    bool openVolume(const QString &name)
    {
        volFile = std::make_unique<QFile>(name);
        if (!volFile->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            volFile.reset();
            dev = nullptr;
            fail(errWriteArchive);
            return false;
        }
        dev = volFile.get();
        volName = name;
        volLen = 0;
        return true;
    }

    bool closeVolume()
    {
        bool ok = true;
        if (volFile) {
            if (!volFile->flush() || volFile->error() != QFileDevice::NoError)
                ok = false;
            volFile->close();
            volFile.reset();
        }
        dev = nullptr;   // a caller's stream stays open
        if (!ok)
            fail(errWriteArchive);
        return ok;
    }

    bool nextVolume()
    {
        const int next = volNo + 1;
        const QByteArray mark = QByteArray(kNextDisk) + QByteArray::number(next).rightJustified(3, '0').right(3);
        if (!putInt(0) || !putText(mark))
            return false;
        if (!closeVolume())
            return false;
        if (!askDisk(next))
            return false;
        volNo = next;
        return openVolume(volumeName(volName, next)) && putMagic();
    }

    // Stores the rest of `in` as one or more data sections.
    bool storeData(QIODevice &in, bool splitAllowed)
    {
        if (!putMagic())
            return false;
        for (;;) {
            const qint64 n = in.read(inBuf.data(), kBlockSize);
            if (n < 0) {
                fail(errReadFile);
                return false;
            }
            if (n == 0)
                break;
            if (splitAllowed && q.MaxSize > 0 && volLen >= q.MaxSize - kVolumeRoom && !nextVolume())
                return false;
            deflateReset(&zs);
            zs.next_in = reinterpret_cast<Bytef *>(inBuf.data());
            zs.avail_in = uInt(n);
            zs.next_out = reinterpret_cast<Bytef *>(outBuf.data());
            zs.avail_out = uInt(kBlockSize);
            const int r = deflate(&zs, Z_FINISH);
            if (r == Z_STREAM_END) {
                const qint64 len = qint64(zs.total_out);
                if (!putInt(qint32(len)) || !put(outBuf.data(), len))
                    return false;
            } else if (r == Z_OK || r == Z_BUF_ERROR) {
                if (!putInt(qint32(-n)) || !put(inBuf.data(), n))
                    return false;
            } else {
                fail(errCompression);
                return false;
            }
            if (q.processEvents)
                q.processEvents();
            done += n;
            progress(currentFile, percentOf(done, total));
            if (!cont)
                return false;
        }
        return putInt(0);
    }

    // ---- reading -------------------------------------------------------

    bool get(char *data, qint64 n)
    {
        qint64 got = 0;
        while (got < n) {
            const qint64 r = dev->read(data + got, n - got);
            if (r < 0)
                return false;
            if (r == 0) {
                if (!dev->isSequential() || !dev->waitForReadyRead(30000))
                    return false;
                continue;
            }
            got += r;
        }
        return true;
    }

    bool getInt(qint32 &v)
    {
        qint32 le = 0;
        if (!get(reinterpret_cast<char *>(&le), 4))
            return false;
        v = qFromLittleEndian(le);
        return true;
    }

    bool getBytes(QByteArray &out, qint32 len)
    {
        out.resize(len);
        return get(out.data(), len);
    }

    bool skip(qint64 n)
    {
        if (!dev->isSequential()) {
            const qint64 to = dev->pos() + n;
            if (to > dev->size())
                return false;
            return dev->seek(to);
        }
        while (n > 0) {
            const qint64 chunk = qMin<qint64>(n, kBlockSize);
            if (!get(inBuf.data(), chunk))
                return false;
            n -= chunk;
        }
        return true;
    }

    // One data section into `out`, or skipped when `out` is null.
    bool readSection(QIODevice *out)
    {
        char magic[4];
        if (!get(magic, 4)) {
            out ? fail(errReadFile) : failText(errReadArchive);
            return false;
        }
        if (memcmp(magic, "EC2\0", 4) != 0) {
            failText(errArchiveType);
            return false;
        }
        for (;;) {
            qint32 len = 0;
            if (!getInt(len)) {
                out ? fail(errReadFile) : failText(errReadArchive);
                return false;
            }
            if (len == 0)
                return true;
            const qint64 size = len < 0 ? -qint64(len) : qint64(len);
            if (size > kBlockSize) {
                out ? fail(errReadFile) : failText(errReadArchive);
                return false;
            }
            if (!out) {
                if (!skip(size)) {
                    failText(errReadArchive);
                    return false;
                }
                continue;
            }
            if (!get(inBuf.data(), size)) {
                fail(errReadFile);
                return false;
            }
            const char *data = inBuf.data();
            qint64 n = size;
            if (len > 0) {
                inflateReset(&zs);
                zs.next_in = reinterpret_cast<Bytef *>(inBuf.data());
                zs.avail_in = uInt(size);
                zs.next_out = reinterpret_cast<Bytef *>(outBuf.data());
                zs.avail_out = uInt(kBlockSize);
                const int r = inflate(&zs, Z_FINISH);
                if (r != Z_STREAM_END || zs.avail_in != 0) {
                    fail(errCompression);
                    return false;
                }
                data = outBuf.data();
                n = qint64(zs.total_out);
            }
            if (out->write(data, n) != n) {
                fail(errReadFile);
                return false;
            }
            if (q.processEvents)
                q.processEvents();
            done += n;
            progress(currentFile, percentOf(done, total));
            if (!cont)
                return false;
        }
    }

    bool openForReading(const QString &name)
    {
        volFile = std::make_unique<QFile>(name);
        if (!volFile->open(QIODevice::ReadOnly)) {
            volFile.reset();
            dev = nullptr;
            return false;
        }
        dev = volFile.get();
        volName = name;
        return true;
    }
};

// ---------------------------------------------------------------------------

QString TBackupFile::errorText(int code)
{
    switch (code) {
    case errReadFile: return QStringLiteral("Cannot read file");
    case errOverwrite: return QStringLiteral("Overwriting file failed");
    case errReadArchive: return QStringLiteral("Cannot read archive");
    case errWriteArchive: return QStringLiteral("Cannot write to archive");
    case errArchiveType: return QStringLiteral("Invalid archive type");
    case errCompression: return QStringLiteral("Compression error");
    case errFileIdTemp: return QStringLiteral("Cannot create temporary file to save the file IDs");
    default: return QString();
    }
}

void TBackupFile::setDefaultReport(DefaultReport report) { defaultReport() = std::move(report); }
void TBackupFile::setDefaultDiskQuestion(DefaultQuestion question) { defaultQuestion() = std::move(question); }

QString TBackupFile::diskQuestionText(int diskId)
{
    return QStringLiteral("Please insert disk %1 and click OK to continue.").arg(diskId);
}

TBackupFile::TBackupFile() : d(std::make_unique<Impl>(*this)) {}
TBackupFile::~TBackupFile() = default;

void TBackupFile::setBackupMode(BackupMode m)
{
    m_backupMode = m;
    if (m == BackupMode::bmIncremental)
        SetArchiveFlag = true;
}

QString TBackupFile::volumeName(const QString &name, int n)
{
    const QString digits = QString::number(n).rightJustified(3, u'0').right(3);
    const qsizetype slash = qMax(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot > slash ? name.left(dot) : name;
    return base + u'.' + digits;
}

QStringList TBackupFile::fileListFor(const QStringList &masks, const QString &archiveName) const
{
    FileListOptions opt;
    if (archiveName != QLatin1String(kStream))
        opt.excludeArchive = archiveName;
    opt.excludeNames = excludeNames;
    if (m_backupMode == BackupMode::bmIncremental)
        opt.accept = [](const QString &path) { return archiveFlag(path); };
    opt.skipped = OnSkipFile;
    return buildFileList(masks, opt);
}

bool TBackupFile::Backup(const QStringList &fileList, const QString &archiveName)
{
    Impl &s = *d;
    m_error = 0;
    m_failure.clear();
    m_cancelled = false;
    m_filesDone = 0;
    s.cont = true;
    s.done = 0;
    s.volNo = 1;
    s.currentFile.clear();

    const QStringList files = fileListFor(fileList, archiveName);
    s.progress(QString(), 0);

    struct Item {
        QString path;     // the name stored
        QString source;   // where its data and date are read
        bool fileIds;
    };
    std::vector<Item> listed;
    for (const QString &f : files) {
        QString source = f;
        bool store = true;
        if (OnBackupFile)
            OnBackupFile(f, source, store);
        if (store)
            listed.push_back({f, source, false});
    }
    std::vector<Item> items;
    quint32 headerTotal = 0;
    qint64 total = 0;
    QByteArray ids;
    for (const Item &it : listed) {
        const QFileInfo fi(it.source);
        if (!fi.exists())
            continue;
        headerTotal += quint32(quint64(fi.size()));
        total += fi.size();
        if (SaveFileID)
            ids += encodeName(it.path) + '\t' + QByteArray::number(fileDosDateTime(it.source)) + '='
                   + QByteArray::number(fi.size()) + "\r\n";
    }
    QTemporaryFile idFile(QDir::tempPath() + QStringLiteral("/FIDXXXXXX"));
    if (SaveFileID) {
        if (idFile.open() && idFile.write(ids) == ids.size() && idFile.flush()) {
            idFile.close();
            items.push_back({idFile.fileName(), idFile.fileName(), true});
            headerTotal += quint32(ids.size());
            total += ids.size();
        } else {
            s.fail(errFileIdTemp);
            s.cont = true;   // the archive is still created with its header
        }
    }
    items.insert(items.end(), listed.begin(), listed.end());
    s.total = total;

    bool result = false;
    const bool toStream = archiveName == QLatin1String(kStream);
    if (toStream) {
        s.dev = outputStream;
        s.volLen = 0;
        if (!s.dev || !s.dev->isWritable())
            s.fail(errWriteArchive);
    } else {
        s.openVolume(archiveName);
    }
    if (s.dev) {
        const qint32 count = qint32(items.size()) - (SaveFileID && m_error == 0 ? 1 : 0);
        const bool headerOk = s.putText(encodeName(BackupTitle)) && s.putInt(qint32(headerTotal))
                              && s.putInt(m_error == errFileIdTemp ? qint32(listed.size()) : count);
        if (headerOk && m_error == 0) {
            if (!s.startDeflate(compressionLevel == CompressionLevel::clFastest ? 1
                                : compressionLevel == CompressionLevel::clNone  ? 0
                                : compressionLevel == CompressionLevel::clMax   ? 9
                                                                                : Z_DEFAULT_COMPRESSION))
                s.fail(errCompression);
            for (const Item &it : items) {
                if (!s.cont || m_error)
                    break;
                if (!QFileInfo::exists(it.source))
                    continue;
                QFile in;
                if (!openRegularFile(in, it.source)) {
                    s.fail(errReadFile);
                    break;
                }
                s.currentFile = it.fileIds ? QString::fromLatin1(kFileList) : it.path;
                const bool stored = s.putText(it.fileIds ? QByteArray(kFileList) : encodeName(it.path))
                                    && s.putInt(qint32(fileDosDateTime(it.source)))
                                    && s.storeData(in, !toStream);
                in.close();
                if (!stored)
                    break;
                if (SetArchiveFlag && !it.fileIds)
                    clearArchiveFlag(it.path);
                if (!it.fileIds)
                    ++m_filesDone;
            }
            s.endZ();
            if (s.cont && m_error == 0 && s.putInt(0))
                result = true;
        }
        if (toStream) {
            s.dev = nullptr;
        } else if (s.volFile && !s.closeVolume()) {
            result = false;
        }
    }
    if (m_error)
        result = false;
    s.currentFile.clear();
    s.finalProgress();
    s.report();
    return result;
}

bool TBackupFile::Restore(const QString &archiveName, const QString &targetFolderIn)
{
    Impl &s = *d;
    m_error = 0;
    m_failure.clear();
    m_cancelled = false;
    m_filesDone = 0;
    s.cont = true;
    s.done = 0;
    s.currentFile.clear();

    const bool fromStream = archiveName == QLatin1String(kStream);
    if (!fromStream && !QFileInfo(archiveName).isFile())
        return false;

    QString targetFolder = targetFolderIn;
    targetFolder.replace(u'\\', u'/');
    if (!targetFolder.isEmpty() && !targetFolder.endsWith(u'/'))
        targetFolder += u'/';
    const QString rootClean = targetFolder.isEmpty() ? QString() : QDir::cleanPath(targetFolder);
    QString rootCanon;
    if (!targetFolder.isEmpty()) {
        QDir().mkpath(rootClean);
        rootCanon = QFileInfo(rootClean).canonicalFilePath();
    }
    // A folder lies inside the target when its deepest existing ancestor does
    // (checked before anything is created, so links cannot lead outside).
    auto insideTarget = [&](const QString &folder) {
        if (targetFolder.isEmpty())
            return true;
        if (rootCanon.isEmpty())
            return false;
        QString p = folder;
        while (!QFileInfo::exists(p)) {
            const QString up = QFileInfo(p).path();
            if (up == p)
                return false;
            p = up;
        }
        const QString canon = QFileInfo(p).canonicalFilePath();
        return canon == rootCanon || canon.startsWith(rootCanon + u'/');
    };

    if (fromStream) {
        s.dev = inputStream;
        if (!s.dev || !s.dev->isReadable())
            s.dev = nullptr;
    } else {
        s.openForReading(archiveName);
    }
    QByteArray title;
    qint32 totalSize = 0, fileCount = 0, titleLen = 0;
    if (!s.dev || !s.getInt(titleLen) || titleLen < 0 || titleLen > 4096 || !s.getBytes(title, titleLen)
        || !s.getInt(totalSize) || !s.getInt(fileCount)) {
        m_failure = errorText(errReadArchive);
        s.volFile.reset();
        s.dev = nullptr;
        return false;
    }
    s.total = qint64(quint32(totalSize));
    if (!s.startInflate())
        s.fail(errCompression);

    // Complete files wait under a temporary name until the whole archive has
    // been read; a failure anywhere leaves every target as it was.
    struct Done {
        QString temp;
        QString target;
    };
    std::vector<Done> finished;
    std::unique_ptr<QTemporaryFile> current;
    QString currentTarget;
    uint32_t currentDate = 0;

    auto finishCurrent = [&]() -> bool {
        if (!current)
            return true;
        bool ok = current->flush();
        if (ok && OnFileRestored)
            OnFileRestored(currentTarget, current.get());
        ok = ok && current->flush() && current->error() == QFileDevice::NoError;
        const QDateTime when = fromDosDateTime(currentDate);
        if (ok && when.isValid())
            current->setFileTime(when, QFileDevice::FileModificationTime);
        current->close();
        current->setAutoRemove(false);
        if (!ok) {
            QFile::remove(current->fileName());
            current.reset();
            s.fail(errReadFile);
            return false;
        }
        finished.push_back({current->fileName(), currentTarget});
        current.reset();
        return true;
    };

    bool reachedEnd = false;
    while (s.cont && m_error == 0) {
        qint32 len = 0;
        if (!s.getInt(len)) {
            s.failText(errReadArchive);
            break;
        }
        if (len == 0) {
            reachedEnd = true;
            break;
        }
        if (len < 0)
            continue;
        QByteArray rawName;
        if (len > 4096 || !s.getBytes(rawName, len)) {
            s.failText(errReadArchive);
            break;
        }
        if (isVolumeMark(rawName)) {
            bool digits = true;
            const int disk = rawName.right(3).toInt(&digits);
            if (!digits || fromStream) {
                s.failText(errReadArchive);
                break;
            }
            s.volFile.reset();
            s.dev = nullptr;
            const QString next = volumeName(s.volName, disk);
            if (!s.askDisk(disk))
                break;
            while (!QFileInfo(next).isFile())
                if (!s.askDisk(disk))
                    break;
            if (!s.cont)
                break;
            if (!s.openForReading(next)) {
                s.failText(errReadArchive);
                break;
            }
            s.readSection(current.get());
            continue;
        }

        if (!finishCurrent())
            break;
        qint32 date = 0;
        if (!s.getInt(date)) {
            s.failText(errReadArchive);
            break;
        }
        const QString name = decodeName(rawName);
        const bool isIdList = rawName == kFileList;
        s.currentFile = name;

        QString target;
        bool safe = true;
        if (!isIdList) {
            QString norm = name;
            norm.replace(u'\\', u'/');
            if (targetFolder.isEmpty()) {
                safe = !hasDrive(norm) && !hasDotDot(norm) && !norm.isEmpty();
                target = norm;
            } else if (RestoreFullPath) {
                QString rest = norm;
                if (hasDrive(rest))
                    rest = rest.mid(2);
                while (rest.startsWith(u'/'))
                    rest.remove(0, 1);
                safe = !rest.isEmpty() && !hasDotDot(rest);
                target = QDir::cleanPath(targetFolder + rest);
                safe = safe && target.startsWith(rootClean + u'/');
            } else {
                const QString part = norm.mid(norm.lastIndexOf(u'/') + 1);
                safe = !part.isEmpty() && part != QLatin1String(".") && part != QLatin1String("..");
                target = targetFolder + part;
            }
            if (safe && target.contains(QChar(0)))
                safe = false;
        }
        if (!safe) {
            s.fail(errReadFile);
            break;
        }

        bool doRestore = false;
        if (!isIdList) {
            const QFileInfo ti(target);
            const bool exists = ti.exists();
            const uint32_t a = exists ? fileDosDateTime(target) : 0;
            const uint32_t dd = uint32_t(date);
            switch (restoreMode) {
            case RestoreMode::rmAll: doRestore = true; break;
            case RestoreMode::rmNoOverwrite: doRestore = !exists; break;
            case RestoreMode::rmNewer: doRestore = !exists || a < dd; break;
            case RestoreMode::rmExisting: doRestore = exists; break;
            case RestoreMode::rmExistingNewer: doRestore = exists && a < dd; break;
            }
            if (OnRestoreFile)
                OnRestoreFile(target, dd, doRestore);
            if (doRestore) {
                const QString folder = QFileInfo(target).absolutePath();
                if (!insideTarget(folder)) {
                    s.fail(errReadFile);
                    break;
                }
                QDir().mkpath(folder);
                if (!QFileInfo(folder).isDir() || !insideTarget(folder))
                    doRestore = false;
            }
        }
        if (doRestore) {
            const QFileInfo ti(target);
            if (ti.isDir()) {
                s.fail(errReadFile);
                break;
            }
            current = std::make_unique<QTemporaryFile>(ti.absolutePath() + QStringLiteral("/.restauracao-XXXXXX"));
            current->setAutoRemove(true);
            if (!current->open()) {
                current.reset();
                s.fail(errReadFile);
                break;
            }
            current->setPermissions(ti.exists() ? ti.permissions()
                                                : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                      | QFileDevice::ReadGroup | QFileDevice::ReadOther);
            currentTarget = target;
            currentDate = uint32_t(date);
        }
        s.readSection(current.get());
    }

    if (reachedEnd && s.cont && m_error == 0 && m_failure.isEmpty() && finishCurrent()) {
        for (const Done &f : finished) {
            const QByteArray from = QFile::encodeName(f.temp);
            const QByteArray to = QFile::encodeName(f.target);
            if (std::rename(from.constData(), to.constData()) != 0) {
                s.fail(errReadFile);
                break;
            }
            ++m_filesDone;
        }
    }
    // Whatever was not renamed into place goes away.
    current.reset();
    for (const Done &f : finished)
        QFile::remove(f.temp);

    s.endZ();
    s.volFile.reset();
    s.dev = nullptr;
    s.currentFile.clear();
    s.finalProgress();
    s.report();
    return m_error == 0 && !m_cancelled && m_failure.isEmpty();
}

} // namespace brelvo::backup
