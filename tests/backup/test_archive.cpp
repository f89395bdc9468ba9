#include "ArchiveReader.h"
#include "SocketFile.h"

#include "backup/archive/BackupFile.h"
#include "backup/archive/FileAttrs.h"
#include "backup/archive/FileList.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/xattr.h>

using namespace brelvo::backup;
using namespace testarchive;

namespace {

QByteArray randomBytes(qsizetype n, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray b(n, '\0');
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char(gen.generate() & 0xFF);
    return b;
}

QByteArray textBytes(qsizetype n)
{
    QByteArray b;
    int i = 0;
    while (b.size() < n)
        b += "CLIENTE " + QByteArray::number(i++) + ";RUA DAS FLORES;SAO PAULO;\n";
    return b.left(n);
}

void writeFile(const QString &path, const QByteArray &data, const QDateTime &when = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
    f.flush();
    if (when.isValid())
        QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// 2024-03-05 14:37:22 local, packed by hand.
const QDateTime kWhen(QDate(2024, 3, 5), QTime(14, 37, 22));
constexpr quint32 kWhenPacked = ((44u << 9 | 3u << 5 | 5u) << 16) | (14u << 11 | 37u << 5 | 11u);

} // namespace

class TestArchive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blockLayout_data();
    void blockLayout();
    void bytesEqualFreshCompressorPerBlock_data();
    void bytesEqualFreshCompressorPerBlock();
    void randomDataStoredRawAndRestored();
    void volumesUnderMaxSize();
    void cancelledDiskQuestionStops();
    void sectionWithoutMagicRefused();
    void restoreModes_data();
    void restoreModes();
    void fileIdListFirstAndNotCounted();
    void masks();
    void namesKeepCaseAndForeignNamesRestore();
    void unsafeNamesRefused_data();
    void unsafeNamesRefused();
    void linkedFolderCannotLeadOutside();
    void halfWayFailureLeavesOldFiles_data();
    void halfWayFailureLeavesOldFiles();
    void streamsAndCancel();
    void incrementalUsesArchiveFlag();
    void dosDateTime();
    void namesDifferingOnlyInCaseBothStored();
    void specialFilesLeftOut();
    void backupFileEventRedirectsAndSkips();
};

void TestArchive::blockLayout_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("inflated");
    QTest::newRow("empty") << 0 << QList<int>{};
    QTest::newRow("one block") << 16384 << QList<int>{16384};
    QTest::newRow("one more byte") << 16385 << QList<int>{16384, 1};
    QTest::newRow("three") << 40000 << QList<int>{16384, 16384, 7232};
}

void TestArchive::blockLayout()
{
    QFETCH(int, size);
    QFETCH(QList<int>, inflated);
    QTemporaryDir tmp;
    const QByteArray data = textBytes(size);
    writeFile(tmp.filePath("src/a.db"), data, kWhen);
    TBackupFile bf;
    bf.BackupTitle = "Back-up";
    QVERIFY(bf.Backup({tmp.filePath("src/*.*")}, tmp.filePath("x.bck")));

    const QByteArray raw = readAll(tmp.filePath("x.bck"));
    const Archive a = parse(raw);
    QVERIFY(a.ok);
    QCOMPARE(a.title, QByteArray("Back-up"));
    QCOMPARE(a.total, size);
    QCOMPARE(a.count, 1);
    QCOMPARE(a.entries.size(), 1);
    QCOMPARE(a.entries[0].name, QFile::encodeName(QFileInfo(tmp.filePath("src/a.db")).absoluteFilePath()));
    QCOMPARE(a.entries[0].date, kWhenPacked);
    QCOMPARE(a.entries[0].blocks.size(), inflated.size());
    QByteArray joined;
    for (int i = 0; i < inflated.size(); ++i) {
        const QByteArray part = blockData(a.entries[0].blocks[i]);
        QCOMPARE(part.size(), inflated[i]);
        joined += part;
    }
    QCOMPARE(joined, data);
    if (size == 0) // magic followed directly by L = 0, then the end mark
        QVERIFY(raw.endsWith(le32(qint32(kWhenPacked)) + QByteArray("EC2\0", 4) + le32(0) + le32(0)));

    QVERIFY(bf.Restore(tmp.filePath("x.bck"), tmp.filePath("out")));
    QCOMPARE(readAll(tmp.filePath("out/a.db")), data);
    QCOMPARE(QFileInfo(tmp.filePath("out/a.db")).lastModified(), kWhen);
}

void TestArchive::bytesEqualFreshCompressorPerBlock_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("zlevel");
    QTest::newRow("fastest") << int(CompressionLevel::clFastest) << 1;
    QTest::newRow("none") << int(CompressionLevel::clNone) << 0;
    QTest::newRow("default") << int(CompressionLevel::clDefault) << int(Z_DEFAULT_COMPRESSION);
    QTest::newRow("max") << int(CompressionLevel::clMax) << 9;
}

void TestArchive::bytesEqualFreshCompressorPerBlock()
{
    QFETCH(int, level);
    QFETCH(int, zlevel);
    QTemporaryDir tmp;
    // Mixed: text, random, zeros and a short tail, so blocks go both ways.
    const QByteArray a = textBytes(50000) + randomBytes(20000, 7) + QByteArray(30000, '\0') + "fim";
    const QByteArray b = randomBytes(100, 9);
    writeFile(tmp.filePath("d/a.db"), a, kWhen);
    writeFile(tmp.filePath("d/b.px"), b, kWhen);
    TBackupFile bf;
    bf.BackupTitle = "T";
    bf.compressionLevel = CompressionLevel(level);
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("x.bck")));

    QByteArray expected = le32(1) + "T" + le32(a.size() + b.size()) + le32(2);
    for (const auto &[name, data] : {std::pair{QString("d/a.db"), a}, std::pair{QString("d/b.px"), b}}) {
        const QByteArray path = QFile::encodeName(QFileInfo(tmp.filePath(name)).absoluteFilePath());
        expected += le32(path.size()) + path + le32(qint32(kWhenPacked)) + referenceSection(data, zlevel);
    }
    expected += le32(0);
    QCOMPARE(readAll(tmp.filePath("x.bck")), expected);
}

void TestArchive::randomDataStoredRawAndRestored()
{
    QTemporaryDir tmp;
    const QByteArray data = randomBytes(40000, 1);
    writeFile(tmp.filePath("d/r.bin"), data);
    TBackupFile bf;
    bf.compressionLevel = CompressionLevel::clMax;
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("x.bck")));
    const Archive a = parse(readAll(tmp.filePath("x.bck")));
    QVERIFY(a.ok);
    // Full chunks do not shrink: stored raw. The short tail fits even
    // uncompressed inside a 16384-byte stream, so it is a zlib stream.
    const QList<Block> &blocks = a.entries[0].blocks;
    QCOMPARE(blocks.size(), 3);
    QCOMPARE(blocks[0].len, -16384);
    QCOMPARE(blocks[1].len, -16384);
    QCOMPARE(blocks[0].bytes, data.left(16384));
    QVERIFY(blocks[2].len > 7232);
    QCOMPARE(blockData(blocks[2]), data.mid(32768));
    QVERIFY(bf.Restore(tmp.filePath("x.bck"), tmp.filePath("out")));
    QCOMPARE(readAll(tmp.filePath("out/r.bin")), data);
}

void TestArchive::volumesUnderMaxSize()
{
    QTemporaryDir tmp;
    QByteArray all;
    for (int i = 0; i < 3; ++i) {
        const QByteArray data = randomBytes(4 * 1024 * 1024, 100 + i);
        writeFile(tmp.filePath(QString("d/f%1.db").arg(i)), data);
        all += data;
    }
    TBackupFile bf;
    bf.MaxSize = 5400000;
    QList<int> asked;
    bf.OnNeedDisk = [&](int disk, bool &) { asked << disk; };
    QVERIFY(QDir().mkpath(tmp.filePath("v")));
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("v/x.bck")));
    QCOMPARE(asked, (QList<int>{2, 3}));
    QCOMPARE(filesIn(tmp.filePath("v")), (QStringList{"x.002", "x.003", "x.bck"}));
    qint64 sum = 0;
    for (const QString &f : filesIn(tmp.filePath("v"))) {
        const qint64 size = QFileInfo(tmp.filePath("v/" + f)).size();
        QVERIFY2(size < 5400000, qPrintable(f));
        sum += size;
    }
    QVERIFY(sum > all.size());

    asked.clear();
    QVERIFY(bf.Restore(tmp.filePath("v/x.bck"), tmp.filePath("out")));
    QCOMPARE(asked, (QList<int>{2, 3}));
    QByteArray back;
    for (int i = 0; i < 3; ++i)
        back += readAll(tmp.filePath(QString("out/f%1.db").arg(i)));
    QVERIFY(back == all);
    QCOMPARE(bf.filesDone(), 3);
}

void TestArchive::cancelledDiskQuestionStops()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("d/big.db"), randomBytes(200000, 3));
    TBackupFile bf;
    bf.MaxSize = 100000;
    int errors = 0;
    bf.OnError = [&](int, const QString &) { ++errors; };
    bf.OnNeedDisk = [](int, bool &cont) { cont = false; };
    QVERIFY(!bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("x.bck")));
    QVERIFY(bf.cancelled());
    QVERIFY(!QFileInfo::exists(tmp.filePath("x.002")));

    // A full set, then the second volume goes missing: the reader asks
    // again until cancelled, and the target stays untouched.
    bf.OnNeedDisk = [](int, bool &) {};
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("x.bck")));
    QVERIFY(QFile::remove(tmp.filePath("x.002")));
    writeFile(tmp.filePath("out/big.db"), "old");
    int asks = 0;
    bf.OnNeedDisk = [&](int disk, bool &cont) {
        QCOMPARE(disk, 2);
        cont = ++asks < 3;
    };
    QVERIFY(!bf.Restore(tmp.filePath("x.bck"), tmp.filePath("out")));
    QCOMPARE(asks, 3);
    QCOMPARE(errors, 0);
    QCOMPARE(readAll(tmp.filePath("out/big.db")), QByteArray("old"));
    QCOMPARE(filesIn(tmp.filePath("out")), QStringList{"big.db"});
}

void TestArchive::sectionWithoutMagicRefused()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("d/a.db"), textBytes(1000));
    writeFile(tmp.filePath("d/b.db"), textBytes(2000));
    TBackupFile bf;
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("x.bck")));
    QByteArray raw = readAll(tmp.filePath("x.bck"));
    const qsizetype at = raw.indexOf(QByteArray("EC2\0", 4), raw.indexOf("b.db"));
    QVERIFY(at > 0);
    raw[at + 2] = '3';
    writeFile(tmp.filePath("bad.bck"), raw);

    // Restored and skipped entries alike.
    for (RestoreMode mode : {RestoreMode::rmAll, RestoreMode::rmNoOverwrite}) {
        writeFile(tmp.filePath("out/b.db"), "old");
        QFile::remove(tmp.filePath("out/a.db"));
        bf.restoreMode = mode;
        int reported = 0;
        bf.OnError = [&](int, const QString &) { ++reported; };
        QVERIFY(!bf.Restore(tmp.filePath("bad.bck"), tmp.filePath("out")));
        QCOMPARE(bf.failureText(), QString("Invalid archive type"));
        QCOMPARE(reported, 0);
        QCOMPARE(readAll(tmp.filePath("out/b.db")), QByteArray("old"));
        QCOMPARE(filesIn(tmp.filePath("out")), QStringList{"b.db"});
    }
}

void TestArchive::restoreModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("targetAgeSecs");   // -1: no target; else stored date minus this
    QTest::addColumn<bool>("restored");
    const int all = int(RestoreMode::rmAll), noOver = int(RestoreMode::rmNoOverwrite),
              newer = int(RestoreMode::rmNewer), existing = int(RestoreMode::rmExisting),
              exNewer = int(RestoreMode::rmExistingNewer);
    QTest::newRow("all, same date") << all << 0 << true;
    QTest::newRow("no overwrite, present") << noOver << 100 << false;
    QTest::newRow("no overwrite, absent") << noOver << -1 << true;
    QTest::newRow("newer, same date") << newer << 0 << false;
    QTest::newRow("newer, same date within 2 s") << newer << 0 << false;
    QTest::newRow("newer, older target") << newer << 100 << true;
    QTest::newRow("newer, absent") << newer << -1 << true;
    QTest::newRow("existing, absent") << existing << -1 << false;
    QTest::newRow("existing, present") << existing << 0 << true;
    QTest::newRow("existing newer, same") << exNewer << 0 << false;
    QTest::newRow("existing newer, older") << exNewer << 100 << true;
    QTest::newRow("existing newer, absent") << exNewer << -1 << false;
}

void TestArchive::restoreModes()
{
    QFETCH(int, mode);
    QFETCH(int, targetAgeSecs);
    QFETCH(bool, restored);
    QTemporaryDir tmp;
    writeFile(tmp.filePath("d/a.db"), "stored", kWhen);
    TBackupFile bf;
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("x.bck")));
    if (targetAgeSecs >= 0) {
        // Same date but a second later still packs to the same 2-second slot.
        const QDateTime when = QString(QTest::currentDataTag()).contains("within")
                                   ? kWhen.addSecs(1) : kWhen.addSecs(-targetAgeSecs);
        writeFile(tmp.filePath("out/a.db"), "present", when);
    }
    bf.restoreMode = RestoreMode(mode);
    QVERIFY(bf.Restore(tmp.filePath("x.bck"), tmp.filePath("out")));
    const QByteArray now = readAll(tmp.filePath("out/a.db"));
    if (restored)
        QCOMPARE(now, QByteArray("stored"));
    else
        QVERIFY(now != "stored");
    QCOMPARE(bf.filesDone(), restored ? 1 : 0);
}

void TestArchive::fileIdListFirstAndNotCounted()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("d/a.db"), textBytes(3000), kWhen);
    writeFile(tmp.filePath("d/b.db"), QByteArray(), kWhen);
    TBackupFile bf;
    bf.SaveFileID = true;
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("x.bck")));
    const Archive a = parse(readAll(tmp.filePath("x.bck")));
    QVERIFY(a.ok);
    QCOMPARE(a.count, 2);
    QCOMPARE(a.entries.size(), 3);
    QCOMPARE(a.entries[0].name, QByteArray("FILE:LIST"));
    QByteArray text;
    for (const Block &b : a.entries[0].blocks)
        text += blockData(b);
    const QByteArray pa = QFile::encodeName(QFileInfo(tmp.filePath("d/a.db")).absoluteFilePath());
    const QByteArray pb = QFile::encodeName(QFileInfo(tmp.filePath("d/b.db")).absoluteFilePath());
    const QByteArray stamp = QByteArray::number(kWhenPacked);
    QCOMPARE(text, pa + "\t" + stamp + "=3000\r\n" + pb + "\t" + stamp + "=0\r\n");
    QCOMPARE(a.total, 3000 + text.size());
    QCOMPARE(a.entries[1].name, pa);

    QVERIFY(bf.Restore(tmp.filePath("x.bck"), tmp.filePath("out")));
    QCOMPARE(filesIn(tmp.filePath("out")), (QStringList{"a.db", "b.db"}));
}

void TestArchive::masks()
{
    QTemporaryDir tmp;
    const QString root = QFileInfo(tmp.path()).absoluteFilePath();
    for (const char *f : {"top.db", "README", "Notas.TXT", "sub1/b.db", "sub1/deep/c.db", "sub2/d.db", "x.bck",
                          "ontem.bck", "brelvo.lock"})
        writeFile(tmp.filePath(f), "x");
    auto names = [&](const QStringList &list) {
        QStringList out;
        for (const QString &p : list)
            out << p.mid(root.size() + 1);
        return out;
    };
    TBackupFile bf;
    // Subfolders first (depth first), then the folder's own files; the
    // archive itself is skipped, older archives are not.
    QCOMPARE(names(bf.fileListFor({root + "/*.db /s"}, root + "/x.bck")),
             (QStringList{"sub1/deep/c.db", "sub1/b.db", "sub2/d.db", "top.db"}));
    QCOMPARE(names(bf.fileListFor({root + "/*.*"}, root + "/x.bck")),
             (QStringList{"Notas.TXT", "README", "brelvo.lock", "ontem.bck", "top.db"}));
    // Already listed: compared without case, so "*.txt" adds nothing twice.
    QCOMPARE(names(bf.fileListFor({root + "/*.txt", root + "/NOTAS.*", root + "/???.db"}, ":STREAM")),
             (QStringList{"Notas.TXT", "top.db"}));
    bf.excludeNames = {"BRELVO.LOCK"};
    QVERIFY(!names(bf.fileListFor({root + "/*.*"}, ":STREAM")).contains("brelvo.lock"));
    QVERIFY(names(bf.fileListFor({root + "/nada/*.*"}, ":STREAM")).isEmpty());

    QVERIFY(maskMatches("*.*", "README"));
    QVERIFY(maskMatches("read*.*", "README"));
    QVERIFY(maskMatches("a?c.d*", "ABC.DB"));
    QVERIFY(!maskMatches("a?c.d*", "ac.db"));
    QVERIFY(!maskMatches("*.db", "x.dbf"));
    QVERIFY(maskMatches("*.db*", "x.dbf"));
}

void TestArchive::namesKeepCaseAndForeignNamesRestore()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("d/Clientes.DB"), "c");
    TBackupFile bf;
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("x.bck")));
    QVERIFY(readAll(tmp.filePath("x.bck")).contains("/Clientes.DB"));
    QVERIFY(bf.Restore(tmp.filePath("x.bck"), tmp.filePath("out")));
    QCOMPARE(filesIn(tmp.filePath("out")), QStringList{"Clientes.DB"});

    // An archive made elsewhere: lower-case drive paths, Windows-1252 name.
    const QByteArray data = textBytes(500);
    QByteArray raw = le32(7) + "Back-up" + le32(1000) + le32(2);
    for (const QByteArray &name : {QByteArray("c:\\dados\\tbprodutos.db"), QByteArray("c:\\dados\\op\xe7\xe3o.db")})
        raw += le32(name.size()) + name + le32(qint32(kWhenPacked)) + referenceSection(data, 1);
    raw += le32(0);
    writeFile(tmp.filePath("win.bck"), raw);
    QVERIFY(bf.Restore(tmp.filePath("win.bck"), tmp.filePath("w")));
    QCOMPARE(filesIn(tmp.filePath("w")), (QStringList{QString::fromUtf8("opção.db"), "tbprodutos.db"}));
    QCOMPARE(readAll(tmp.filePath("w/tbprodutos.db")), data);
    bf.RestoreFullPath = true;
    QVERIFY(bf.Restore(tmp.filePath("win.bck"), tmp.filePath("f")));
    QCOMPARE(readAll(tmp.filePath("f/dados/tbprodutos.db")), data);
    QCOMPARE(QFileInfo(tmp.filePath("f/dados/tbprodutos.db")).lastModified(), kWhen);
}

void TestArchive::unsafeNamesRefused_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("fullPath");
    QTest::newRow("dot-dot file part") << QByteArray("c:\\dados\\..") << false;
    QTest::newRow("empty file part") << QByteArray("c:\\dados\\") << false;
    QTest::newRow("dot-dot in full path") << QByteArray("c:\\dados\\..\\..\\fora.db") << true;
    QTest::newRow("absolute dot-dot") << QByteArray("/x/../../../fora.db") << true;
    QTest::newRow("unix dot-dot") << QByteArray("../fora.db") << true;
}

void TestArchive::unsafeNamesRefused()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, fullPath);
    QTemporaryDir tmp;
    QByteArray raw = le32(1) + "T" + le32(5) + le32(2);
    const QByteArray good = "c:\\dados\\bom.db";
    raw += le32(good.size()) + good + le32(0) + referenceSection("bom", 1);
    raw += le32(name.size()) + name + le32(0) + referenceSection("fora", 1);
    raw += le32(0);
    writeFile(tmp.filePath("evil.bck"), raw);
    QDir().mkpath(tmp.filePath("t/a/b"));
    TBackupFile bf;
    bf.RestoreFullPath = fullPath;
    QList<int> codes;
    bf.OnError = [&](int code, const QString &) { codes << code; };
    QVERIFY(!bf.Restore(tmp.filePath("evil.bck"), tmp.filePath("t/a/b")));
    QCOMPARE(codes, QList<int>{1});
    QCOMPARE(bf.errorCode(), 1);
    // Nothing outside the target, and the good entry was not left half-done.
    QCOMPARE(filesIn(tmp.path()), QStringList{"evil.bck"});
    QCOMPARE(filesIn(tmp.filePath("t")), QStringList{});
    QCOMPARE(filesIn(tmp.filePath("t/a")), QStringList{});
    QVERIFY(!QFileInfo::exists(tmp.filePath("t/a/fora.db")));
    QVERIFY(filesIn(tmp.filePath("t/a/b")).isEmpty());
}

void TestArchive::linkedFolderCannotLeadOutside()
{
    QTemporaryDir tmp;
    QDir().mkpath(tmp.filePath("t"));
    QDir().mkpath(tmp.filePath("outside"));
    QVERIFY(QFile::link(tmp.filePath("outside"), tmp.filePath("t/link")));
    QByteArray raw = le32(1) + "T" + le32(4) + le32(1);
    const QByteArray name = "c:\\link\\novo\\x.db";
    raw += le32(name.size()) + name + le32(0) + referenceSection("fora", 1) + le32(0);
    writeFile(tmp.filePath("l.bck"), raw);
    TBackupFile bf;
    bf.RestoreFullPath = true;
    bf.OnError = [](int, const QString &) {};
    QVERIFY(!bf.Restore(tmp.filePath("l.bck"), tmp.filePath("t")));
    QCOMPARE(bf.errorCode(), 1);
    QVERIFY(QDir(tmp.filePath("outside")).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

void TestArchive::halfWayFailureLeavesOldFiles_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("bad zlib stream") << "zlib";
    QTest::newRow("block too long") << "length";
    QTest::newRow("cut short") << "cut";
}

void TestArchive::halfWayFailureLeavesOldFiles()
{
    QFETCH(QString, damage);
    QTemporaryDir tmp;
    writeFile(tmp.filePath("d/a.db"), textBytes(40000));
    writeFile(tmp.filePath("d/b.db"), textBytes(40000) + "B");
    TBackupFile bf;
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("x.bck")));
    QByteArray raw = readAll(tmp.filePath("x.bck"));
    // Damage the second block of the second file.
    const Archive a = parse(raw);
    QVERIFY(a.ok && a.entries.size() == 2 && a.entries[1].blocks.size() == 3);
    const qsizetype sec = raw.indexOf(QByteArray("EC2\0", 4), raw.indexOf("b.db"));
    const qsizetype second = sec + 4 + 4 + a.entries[1].blocks[0].bytes.size();
    if (damage == "zlib")
        raw[second + 4 + 10] = char(raw[second + 4 + 10] ^ 0x55);
    else if (damage == "length")
        raw.replace(second, 4, le32(16385));
    else
        raw.truncate(second + 100);
    writeFile(tmp.filePath("bad.bck"), raw);

    writeFile(tmp.filePath("out/a.db"), "old a");
    writeFile(tmp.filePath("out/b.db"), "old b");
    int restoredEvents = 0;
    bf.OnFileRestored = [&](const QString &, QIODevice *) { ++restoredEvents; };
    bf.OnError = [](int, const QString &) {};
    QVERIFY(!bf.Restore(tmp.filePath("bad.bck"), tmp.filePath("out")));
    QVERIFY(bf.errorCode() == 1 || bf.errorCode() == 6);
    QCOMPARE(readAll(tmp.filePath("out/a.db")), QByteArray("old a"));
    QCOMPARE(readAll(tmp.filePath("out/b.db")), QByteArray("old b"));
    QCOMPARE(filesIn(tmp.filePath("out")), (QStringList{"a.db", "b.db"}));
    QCOMPARE(restoredEvents, 1);

    // The intact archive still restores both.
    QVERIFY(bf.Restore(tmp.filePath("x.bck"), tmp.filePath("out")));
    QCOMPARE(readAll(tmp.filePath("out/b.db")), textBytes(40000) + "B");
    QCOMPARE(filesIn(tmp.filePath("out")), (QStringList{"a.db", "b.db"}));
}

void TestArchive::streamsAndCancel()
{
    QTemporaryDir tmp;
    const QByteArray data = textBytes(70000);
    writeFile(tmp.filePath("d/a.db"), data);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    TBackupFile bf;
    bf.outputStream = &out;
    bf.MaxSize = 20000;   // volumes make no sense on a stream
    QList<int> percents;
    bf.OnProgress = [&](const QString &, int p, bool &) { percents << p; };
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, ":STREAM"));
    QVERIFY(!out.data().contains("NEXT:DISK"));
    QCOMPARE(percents.first(), 0);
    QCOMPARE(percents.last(), 100);
    QVERIFY(std::is_sorted(percents.begin(), percents.end()));
    QVERIFY(percents.size() >= 5 + 2);

    QBuffer in;
    in.setData(out.data());
    in.open(QIODevice::ReadOnly);
    bf.inputStream = &in;
    QVERIFY(bf.Restore(":STREAM", tmp.filePath("out")));
    QCOMPARE(readAll(tmp.filePath("out/a.db")), data);

    // Cancelling from the progress event: no end mark, no report, false.
    int reports = 0;
    bf.OnError = [&](int, const QString &) { ++reports; };
    bf.OnProgress = [](const QString &f, int p, bool &cont) { cont = !(p > 30 && !f.isEmpty()); };
    QVERIFY(!bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("c.bck")));
    QVERIFY(bf.cancelled());
    QVERIFY(!parse(readAll(tmp.filePath("c.bck"))).endMark);
    bf.OnProgress = nullptr;
    QCOMPARE(reports, 0);
    // Reading it stops at the cut, inside the file's data: code 1.
    QVERIFY(!bf.Restore(tmp.filePath("c.bck"), tmp.filePath("out2")));
    QCOMPARE(bf.errorCode(), 1);
    QCOMPARE(reports, 1);
    QVERIFY(filesIn(tmp.filePath("out2")).isEmpty());

    // A missing archive fails quietly.
    QVERIFY(!bf.Restore(tmp.filePath("nada.bck"), tmp.filePath("out")));
    QCOMPARE(reports, 1);
    QVERIFY(bf.failureText().isEmpty());
}

void TestArchive::incrementalUsesArchiveFlag()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("d/a.db"), "a");
    writeFile(tmp.filePath("d/b.db"), "b");
    if (::setxattr(QFile::encodeName(tmp.filePath("d/a.db")).constData(), "user.probe", "1", 1, 0) != 0)
        QSKIP("no user extended attributes on this file system");
    TBackupFile bf;
    bf.setBackupMode(BackupMode::bmIncremental);
    QVERIFY(bf.SetArchiveFlag);
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("1.bck")));
    QCOMPARE(parse(readAll(tmp.filePath("1.bck"))).count, 2);
    QVERIFY(!archiveFlag(tmp.filePath("d/a.db")));
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("2.bck")));
    QCOMPARE(parse(readAll(tmp.filePath("2.bck"))).count, 0);
    // A changed file counts as "set" again, even with the same size.
    writeFile(tmp.filePath("d/b.db"), "B", QDateTime::currentDateTime().addSecs(5));
    QVERIFY(archiveFlag(tmp.filePath("d/b.db")));
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("3.bck")));
    const Archive a = parse(readAll(tmp.filePath("3.bck")));
    QCOMPARE(a.count, 1);
    QVERIFY(a.entries[0].name.endsWith("/b.db"));
    // Restored files are new files: flag set.
    bf.setBackupMode(BackupMode::bmAll);
    QVERIFY(bf.Restore(tmp.filePath("1.bck"), tmp.filePath("out")));
    QVERIFY(archiveFlag(tmp.filePath("out/a.db")));
}

void TestArchive::dosDateTime()
{
    QCOMPARE(toDosDateTime(kWhen), kWhenPacked);
    QCOMPARE(fromDosDateTime(kWhenPacked), kWhen);
    QCOMPARE(fromDosDateTime(toDosDateTime(kWhen.addSecs(1))), kWhen);   // 2-second slots
    QCOMPARE(toDosDateTime(QDateTime(QDate(1975, 6, 1), QTime(10, 0))), quint32((0u << 9 | 1u << 5 | 1u) << 16));
    QVERIFY(!fromDosDateTime(0).isValid());                 // month 0
    QVERIFY(!fromDosDateTime((13u << 5 | 1u) << 16).isValid());
}

void TestArchive::namesDifferingOnlyInCaseBothStored()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("d/Abc.db"), "maiusculas");
    writeFile(tmp.filePath("d/abc.db"), "minusculas");
    writeFile(tmp.filePath("d/X.BCK"), "outro arquivo");
    TBackupFile bf;
    // Another file whose name differs from the archive's only in case is no archive.
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("d/x.bck")));
    const Archive a = parse(readAll(tmp.filePath("d/x.bck")));
    QVERIFY(a.ok);
    QCOMPARE(a.count, 3);
    QCOMPARE(a.entries.size(), 3);
    QVERIFY(bf.Restore(tmp.filePath("d/x.bck"), tmp.filePath("out")));
    QCOMPARE(filesIn(tmp.filePath("out")), (QStringList{"Abc.db", "X.BCK", "abc.db"}));
    QCOMPARE(readAll(tmp.filePath("out/Abc.db")), QByteArray("maiusculas"));
    QCOMPARE(readAll(tmp.filePath("out/abc.db")), QByteArray("minusculas"));
    QCOMPARE(bf.filesDone(), 3);
}

void TestArchive::specialFilesLeftOut()
{
    QTemporaryDir tmp;
    const QString d = QFileInfo(tmp.path()).absoluteFilePath() + "/d";
    writeFile(d + "/a.db", "a");
    QCOMPARE(::mkfifo(QFile::encodeName(d + "/fila").constData(), 0600), 0);
    const backuptest::SocketFile sock(d + "/tomada");
    QVERIFY(sock.ok());
    QVERIFY(QFile::link(d + "/nada", d + "/quebrado.db"));   // a link to nothing

    TBackupFile bf;
    QStringList skipped;
    bf.OnSkipFile = [&](const QString &f) { skipped << f; };
    QVERIFY(bf.Backup({d + "/*.*", d + "/fila"}, tmp.filePath("x.bck")));
    skipped.sort();
    QCOMPARE(skipped, (QStringList{d + "/fila", d + "/quebrado.db", d + "/tomada"}));   // each once
    const Archive a = parse(readAll(tmp.filePath("x.bck")));
    QCOMPARE(a.count, 1);
    QVERIFY(a.entries[0].name.endsWith("/d/a.db"));

    // A FIFO put in a listed file's place is refused, not waited on.
    bf.OnBackupFile = [&](const QString &, QString &source, bool &) { source = d + "/fila"; };
    int code = 0;
    bf.OnError = [&](int c, const QString &) { code = c; };
    QVERIFY(!bf.Backup({d + "/a.db"}, tmp.filePath("y.bck")));
    QCOMPARE(code, int(TBackupFile::errReadFile));
}

void TestArchive::backupFileEventRedirectsAndSkips()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("d/banco.db"), "vivo, mudando");
    writeFile(tmp.filePath("d/banco.db-log"), "registro");
    writeFile(tmp.filePath("d/notas.txt"), "notas");
    writeFile(tmp.filePath("copia"), "instantaneo consistente", kWhen);
    TBackupFile bf;
    bf.SaveFileID = true;
    bf.OnBackupFile = [&](const QString &name, QString &source, bool &store) {
        if (name.endsWith("/banco.db"))
            source = tmp.filePath("copia");
        if (name.endsWith("-log"))
            store = false;
    };
    QVERIFY(bf.Backup({tmp.filePath("d/*.*")}, tmp.filePath("x.bck")));
    const Archive a = parse(readAll(tmp.filePath("x.bck")));
    QVERIFY(a.ok);
    QCOMPARE(a.count, 2);
    QCOMPARE(a.total, qint32(23 + 5 + blockData(a.entries[0].blocks[0]).size()));
    QCOMPARE(a.entries.size(), 3);
    // Stored under the listed name, with the source's data and date.
    QVERIFY(a.entries[1].name.endsWith("/d/banco.db"));
    QCOMPARE(blockData(a.entries[1].blocks[0]), QByteArray("instantaneo consistente"));
    QCOMPARE(a.entries[1].date, kWhenPacked);
    const QByteArray ids = blockData(a.entries[0].blocks[0]);
    QVERIFY(ids.contains("/d/banco.db\t" + QByteArray::number(kWhenPacked) + "=23\r\n"));
    QVERIFY(!ids.contains("-log"));
    QVERIFY(bf.Restore(tmp.filePath("x.bck"), tmp.filePath("out")));
    QCOMPARE(filesIn(tmp.filePath("out")), (QStringList{"banco.db", "notas.txt"}));
}

QTEST_GUILESS_MAIN(TestArchive)
#include "test_archive.moc"
