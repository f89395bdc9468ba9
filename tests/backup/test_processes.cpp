// Backup and restore beside other running programs: a writer killed in the
// middle of its work, backups taken while another program posts, a program
// starting while a restore runs, and a FIFO in the database folder.

#include "ArchiveReader.h"
#include "BackupTestDb.h"
#include "SocketFile.h"

#include "app/Startup.h"
#include "backup/DatabaseBackup.h"
#include "core/FakeDialogService.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/stat.h>

using namespace backuptest;
using brelvo::backup::DatabaseBackup;
using brelvo::backup::TBackupFile;
using brelvo::core::FakeDialogService;
using brelvo::core::ScopedFakeDialogs;
using brelvo::data::DbError;
using Result = DatabaseBackup::Result;

namespace {

const QString kHelper = QStringLiteral(BACKUP_HELPER);

// Runs the helper to its end; its exit status (-1 when it did not end in time).
int runHelper(const QStringList &args, QByteArray *out = nullptr, int timeoutMs = 60000)
{
    QProcess p;
    p.start(kHelper, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Reads the helper's lines until one satisfies `done`; false on time-out or end.
bool readUntil(QProcess &p, const std::function<bool(const QByteArray &)> &done, int timeoutMs = 30000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        while (p.canReadLine())
            if (done(p.readLine().trimmed()))
                return true;
        if (p.state() == QProcess::NotRunning && !p.canReadLine())
            return false;
        p.waitForReadyRead(200);
    }
    return false;
}

void startWriter(QProcess &p, const QString &folder, int first, int count, int pauseUs)
{
    p.start(kHelper, {QStringLiteral("post"), folder, QString::number(first), QString::number(count),
                      QString::number(pauseUs)});
    QVERIFY(p.waitForStarted());
}

TBackupFile &toolArchiver()
{
    static TBackupFile bf;
    static bool ready = false;
    if (!ready) {
        brelvo::backup::applyToolSettings(bf);
        bf.OnNeedDisk = [](int, bool &) {};
        bf.OnError = [](int, const QString &text) { qWarning("archiver: %s", qPrintable(text)); };
        ready = true;
    }
    return bf;
}

Result backupOf(const QString &folder, const QString &archive)
{
    DatabaseBackup job(toolArchiver());
    const Result r = job.backup(folder, archive);
    if (r != Result::Done)
        qWarning("backup: %s", qPrintable(job.message()));
    return r;
}

Result restoreOf(const QString &archive, const QString &folder, QString *message = nullptr)
{
    DatabaseBackup job(toolArchiver());
    const Result r = job.restore(archive, folder);
    if (message)
        *message = job.message();
    return r;
}

QStringList entryNames(const QString &archive)
{
    QFile f(archive);
    f.open(QIODevice::ReadOnly);
    QStringList out;
    for (const auto &e : testarchive::parse(f.readAll()).entries)
        out << QString::fromUtf8(e.name.mid(e.name.lastIndexOf('/') + 1));
    return out;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestProcesses : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWriterThenRestoreOfEarlierArchive_data()
    {
        QTest::addColumn<int>("killAfter");
        QTest::newRow("early") << 20;
        QTest::newRow("later") << 400;
    }

    void killedWriterThenRestoreOfEarlierArchive()
    {
        QFETCH(int, killAfter);
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("dados");
        QCOMPARE(runHelper({"post", folder, "1", "40", "0"}), 0);
        const QString archive = tmp.filePath("antes.bck");
        QCOMPARE(backupOf(folder, archive), Result::Done);

        QProcess writer;
        startWriter(writer, folder, 41, 1000000, 200);
        QVERIFY(readUntil(writer, [&](const QByteArray &l) { return l.toInt() >= 40 + killAfter; }));
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished());
        // The killed writer's log holds rows the database file does not.
        QVERIFY(QFileInfo(folder + "/brelvo.sqlite-wal").size() > 0);

        QCOMPARE(restoreOf(archive, folder), Result::Done);
        QCOMPARE(logFiles(folder), QStringList());
        QCOMPARE(DatabaseFiles::check(databaseFile(folder)), QString());
        QCOMPARE(readSales(folder), salesUpTo(40));
    }

    void olderArchiveWithLogFilesRestoresConsistently()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("dados");
        QCOMPARE(runHelper({"post", folder, "1", "30", "0"}), 0);
        QProcess writer;
        startWriter(writer, folder, 31, 1000000, 200);
        QVERIFY(readUntil(writer, [](const QByteArray &l) { return l.toInt() >= 200; }));
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished());

        // An archive as earlier versions wrote it: the folder's files copied
        // as they are, log files included.
        const QString archive = tmp.filePath("antigo.bck");
        TBackupFile raw;
        brelvo::backup::applyToolSettings(raw);
        raw.excludeNames = {"brelvo.lock"};
        QVERIFY(raw.Backup({folder + "/*.*"}, archive));
        QVERIFY(entryNames(archive).contains("brelvo.sqlite-wal"));
        QVERIFY(entryNames(archive).contains("brelvo.sqlite-shm"));

        // What the archived files held: the committed rows of the killed writer.
        const Sales archived = readSales(folder);
        QVERIFY(archived.headers.size() >= 200);
        QCOMPARE(archived.items, archived.headers);
        QCOMPARE(runHelper({"post", folder, "5000", "10", "0"}), 0);

        QCOMPARE(restoreOf(archive, folder), Result::Done);
        QCOMPARE(logFiles(folder), QStringList());
        QCOMPARE(DatabaseFiles::check(databaseFile(folder)), QString());
        QCOMPARE(readSales(folder), archived);
    }

    void backupsWhileAnotherProgramPosts()
    {
        QTemporaryDir tmp;
        int partial = 0, archives = 0;
        for (int round = 0; round < 3; ++round) {
            const QString folder = tmp.filePath(QStringLiteral("dados%1").arg(round));
            QCOMPARE(runHelper({"post", folder, "1", "0", "0"}), 0);   // an empty database
            QProcess writer;
            startWriter(writer, folder, 1, 1000, 300);
            QStringList taken;
            while (writer.state() != QProcess::NotRunning) {
                const QString archive = tmp.filePath(QStringLiteral("r%1-%2.bck").arg(round).arg(taken.size()));
                QCOMPARE(backupOf(folder, archive), Result::Done);
                // The database under its own name, never the writer's log files.
                QCOMPARE(entryNames(archive), (QStringList{"FILE:LIST", "brelvo.sqlite"}));
                taken << archive;
                writer.waitForFinished(20);
            }
            QCOMPARE(writer.exitCode(), 0);
            taken << tmp.filePath(QStringLiteral("r%1-fim.bck").arg(round));
            QCOMPARE(backupOf(folder, taken.last()), Result::Done);

            int previous = 0;
            for (const QString &archive : taken) {
                const QString into = tmp.filePath(QStringLiteral("restaurado%1").arg(archives++));
                QVERIFY(QDir().mkpath(into));
                QCOMPARE(restoreOf(archive, into), Result::Done);
                QCOMPARE(DatabaseFiles::check(databaseFile(into)), QString());
                const Sales s = readSales(into);
                const int k = int(s.headers.size());
                QCOMPARE(s, salesUpTo(k));   // a prefix of the posts, every sale with its item
                QVERIFY2(k >= previous, qPrintable(archive));
                previous = k;
                if (k > 0 && k < 1000)
                    ++partial;
            }
            QCOMPARE(previous, 1000);
        }
        // The backups really ran while the posts went on.
        qInfo("%d backups restored, %d of them taken while the posts went on", archives, partial);
        QVERIFY2(partial >= 3, qPrintable(QString::number(partial)));
    }

    void programStartingDuringRestoreIsRefused()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("dados");
        QCOMPARE(runHelper({"post", folder, "1", "20", "0"}), 0);
        const QString archive = tmp.filePath("copia.bck");
        QCOMPARE(backupOf(folder, archive), Result::Done);
        QCOMPARE(runHelper({"post", folder, "21", "5", "0"}), 0);
        const QByteArray before = bytesOf(databaseFile(folder));

        QProcess restore;
        restore.start(kHelper, {"restore", archive, folder, "hold"});
        QVERIFY(readUntil(restore, [](const QByteArray &l) { return l == "restaurando"; }));

        // Opened as the main program opens it: it waits, then gives up.
        QElapsedTimer t;
        t.start();
        try {
            Database::open(folder, true);
            QFAIL("the database opened during a restore");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::Busy);
            QVERIFY2(e.message().contains(QString::fromUtf8("restauração do Back-up está em andamento")),
                     qPrintable(e.message()));
        }
        QVERIFY(t.elapsed() >= 900);

        // The program's start-up tells the user and ends.
        qputenv("DBBrelvoVendas", QFile::encodeName(folder));
        {
            ScopedFakeDialogs dlg;
            bool splashClosed = false;
            const QString prog = tmp.filePath("prog") + "/";
            QVERIFY(!brelvo::app::openProgramDatabase(prog, [&] { splashClosed = true; }));
            QVERIFY(splashClosed);
            QCOMPARE(dlg->count(FakeDialogService::Kind::Error), 1);
            QVERIFY(dlg->last()->text.contains(QString::fromUtf8("restauração do Back-up está em andamento")));
        }
        // Another backup keeps out as well.
        try {
            DatabaseFiles::snapshot(folder, tmp.filePath("instantaneo"));
            QFAIL("snapshot taken during a restore");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::Busy);
        }
        QCOMPARE(bytesOf(databaseFile(folder)), before);

        restore.write("\n");
        QVERIFY(restore.waitForFinished(30000));
        QCOMPARE(restore.exitCode(), 0);
        QCOMPARE(readSales(folder), salesUpTo(20));
    }

    void restoreRefusedWhileAnotherProgramHasItOpen()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("dados");
        QCOMPARE(runHelper({"post", folder, "1", "10", "0"}), 0);
        const QString archive = tmp.filePath("copia.bck");
        QCOMPARE(backupOf(folder, archive), Result::Done);

        QProcess writer;
        startWriter(writer, folder, 11, 1000000, 2000);
        QVERIFY(readUntil(writer, [](const QByteArray &l) { return l.toInt() >= 12; }));
        QByteArray out;
        QCOMPARE(runHelper({"restore", archive, folder}, &out), 2);
        writer.kill();
        writer.waitForFinished();
        QVERIFY(readSales(folder).headers.size() > 10);
    }

    void specialFilesDoNotHangTheBackup()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("dados");
        QCOMPARE(runHelper({"post", folder, "1", "3", "0"}), 0);
        QCOMPARE(::mkfifo(QFile::encodeName(folder + "/fila").constData(), 0600), 0);
        const SocketFile sock(folder + "/tomada");
        QVERIFY(sock.ok());

        QByteArray out;
        const QString archive = tmp.filePath("copia.bck");
        QCOMPARE(runHelper({"backup", folder, archive}, &out, 60000), 0);
        QVERIFY2(out.contains("ignorado " + QFile::encodeName(folder) + "/fila"), out.constData());
        QVERIFY2(out.contains("ignorado " + QFile::encodeName(folder) + "/tomada"), out.constData());
        QCOMPARE(entryNames(archive), (QStringList{"FILE:LIST", "brelvo.sqlite"}));

        const QString into = tmp.filePath("restaurado");
        QVERIFY(QDir().mkpath(into));
        QCOMPARE(runHelper({"restore", archive, into}), 0);
        QCOMPARE(readSales(into), salesUpTo(3));
    }
};

QTEST_MAIN(TestProcesses)
#include "test_processes.moc"
