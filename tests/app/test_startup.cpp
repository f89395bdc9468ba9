// First-start work in a program folder, and the single running copy.

#include "app/Startup.h"
#include "app/TFormInicial.h"
#include "core/FakeDialogService.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace brelvo;

namespace {
void writeText(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
qint64 sizeOf(const QString &path) { return QFileInfo(path).size(); }
} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartCreatesPrivAndEightEmptyFiles()
    {
        core::ScopedFakeDialogs fake;
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        QVERIFY(app::createPrivateDir(tmp.path()));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("PRIV"))).isDir());
        QVERIFY(app::createWorkingFiles(tmp.path()));
        const QStringList names = app::workingFileNames();
        QCOMPARE(names.size(), 8);
        for (const QString &n : names) {
            QVERIFY2(QFile::exists(dir.filePath(n)), qPrintable(n));
            QCOMPARE(sizeOf(dir.filePath(n)), 0);
        }
        QCOMPARE(dir.entryList(QDir::Files).size(), 8);
        QVERIFY(fake->calls().isEmpty());
        // Creating PRIV again is harmless.
        QVERIFY(app::createPrivateDir(tmp.path()));
    }

    void secondStartCreatesNothingAndKeepsContents()
    {
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        QVERIFY(app::createWorkingFiles(tmp.path()));
        writeText(dir.filePath(QStringLiteral("lista_credor.txt")), "OFICINA\nPOSTO\n");
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("emitente_rg.txt"))));
        QVERIFY(!app::createWorkingFiles(tmp.path()));
        QCOMPARE(sizeOf(dir.filePath(QStringLiteral("lista_credor.txt"))), 14);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("emitente_rg.txt"))));
    }

    void missingListaSaidaTruncatesAllEight()
    {
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        QVERIFY(app::createWorkingFiles(tmp.path()));
        for (const QString &n : app::workingFileNames())
            writeText(dir.filePath(n), "ALGO\n");
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("lista_saida.txt"))));
        QVERIFY(app::createWorkingFiles(tmp.path()));
        for (const QString &n : app::workingFileNames())
            QCOMPARE(sizeOf(dir.filePath(n)), 0);
    }

    void privateDirFailureIsToldAndStartGoesOn()
    {
        core::ScopedFakeDialogs fake;
        QTemporaryDir tmp;
        // A file named PRIV blocks the folder.
        writeText(QDir(tmp.path()).filePath(QStringLiteral("PRIV")), "x");
        QVERIFY(!app::createPrivateDir(tmp.path()));
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("Não foi possível criar o sub-diretório MeuSubDir.")});
        QVERIFY(app::createWorkingFiles(tmp.path()));
    }

    void slowStartupMessageDoesNotLoseTheMenu()
    {
        core::ScopedFakeDialogs fake;
        app::TFormInicial splash;
        QSignalSpy menu(&splash, &app::TFormInicial::showMenu);
        splash.timer1()->setInterval(100);
        splash.show();
        // The operator takes long over the private-folder message; the menu
        // is not wired yet, so nothing may be asked of it meanwhile.
        QTest::qWait(400);
        QCOMPARE(menu.count(), 0);
        // Once ready, the countdown runs and asks for the menu once.
        splash.start();
        QTRY_COMPARE(menu.count(), 1);
        QTest::qWait(300);
        QCOMPARE(menu.count(), 1);
        splash.finish();
        QVERIFY(splash.isHidden());
    }

    void secondCopyIsRefusedAndFirstKeepsRunning()
    {
        QTemporaryDir tmp;
        app::SingleInstance first(tmp.path());
        QVERIFY(first.tryAcquire());
        app::SingleInstance second(tmp.path());
        QVERIFY(!second.tryAcquire());
        QVERIFY(first.isHeld());
        QVERIFY(QFile::exists(first.lockPath()));
        first.release();
        QVERIFY(second.tryAcquire());

        core::ScopedFakeDialogs fake;
        app::showAlreadyRunning();
        QCOMPARE(fake->calls().size(), 1);
        QCOMPARE(fake->calls().first().title, QStringLiteral("Atenção"));
        QCOMPARE(fake->calls().first().text, QStringLiteral("Atenção o programa já está aberto!."));
    }

    void lockOfACrashedCopyIsTakenOver()
    {
        QTemporaryDir tmp;
        // A process that has ended leaves its lock file behind.
        QProcess p;
        p.start(QStringLiteral("/bin/true"));
        QVERIFY(p.waitForStarted());
        const qint64 deadPid = p.processId();
        QVERIFY(p.waitForFinished());
        QVERIFY(deadPid > 0);
        app::SingleInstance probe(tmp.path());
        writeText(probe.lockPath(), QByteArray::number(deadPid) + "\nBrelvo\n"
                                        + QSysInfo::machineHostName().toUtf8() + "\n");
        QVERIFY(QFile::exists(probe.lockPath()));
        QVERIFY(probe.tryAcquire());
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
