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
#include <QUrl>
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

    // A server that wants a password: the password file's, else the user's
    // answer, asked again while the server refuses it; Cancel ends with a
    // message and no database.
    void serverPasswordIsAskedFor()
    {
        const QString testServer = qEnvironmentVariable(data::Database::kFolderServerVariable);
        if (testServer.isEmpty())
            QSKIP("no test server");
        QUrl url(testServer);
        url.setUserName(QStringLiteral("brelvo_senha"));
        url.setPath(QStringLiteral("/brelvo_senha"));
        const QString uri = url.toString();
        const QString login = QStringLiteral("brelvo_senha no servidor 127.0.0.1:%1").arg(url.port());
        QTemporaryDir tmp;
        qputenv("DBBrelvoVendas", uri.toUtf8());
        const QString passFile = tmp.filePath(QStringLiteral("pgpass"));
        qputenv("PGPASSFILE", passFile.toUtf8());
        auto open = [&] { return app::openProgramDatabase(tmp.path() + QLatin1Char('/')); };

        {   // from the password file: nothing asked
            writeText(passFile, QStringLiteral("127.0.0.1:%1:brelvo_senha:brelvo_senha:senha-de-teste\n")
                                    .arg(url.port()).toUtf8());
            QFile::setPermissions(passFile, QFile::ReadOwner | QFile::WriteOwner);
            core::ScopedFakeDialogs fake;
            fake->setStrict(true);
            auto db = open();
            QVERIFY(db);
            QVERIFY(db->onServer());
            QCOMPARE(fake->calls().size(), 0);
            QFile::remove(passFile);
        }
        {   // cancelled
            core::ScopedFakeDialogs fake;
            fake->cancelInput();
            QVERIFY(!open());
            const auto asked = fake->callsOf(core::FakeDialogService::Kind::Input);
            QCOMPARE(asked.size(), 1);
            QCOMPARE(asked[0].title, QStringLiteral("Senha do banco de dados"));
            QCOMPARE(asked[0].text, QStringLiteral("Senha do usuário %1:").arg(login));
            QCOMPARE(fake->messages(), QStringList{QStringLiteral(
                "Sem a senha do usuário brelvo_senha o banco de dados do servidor 127.0.0.1:%1 não pode ser aberto.")
                                                       .arg(url.port())});
            QVERIFY(fake->clean());
        }
        {   // a wrong answer, asked again, then the right one
            core::ScopedFakeDialogs fake;
            fake->answerInput(QStringLiteral("errada"));
            fake->answerInput(QStringLiteral("senha-de-teste"));
            auto db = open();
            QVERIFY(db);
            const auto asked = fake->callsOf(core::FakeDialogService::Kind::Input);
            QCOMPARE(asked.size(), 2);
            QCOMPARE(asked[1].text, QStringLiteral("A senha não foi aceita.\nSenha do usuário %1:").arg(login));
            QVERIFY(fake->messages().isEmpty());
            QVERIFY(fake->clean());
            // The answer serves the program's later connections too.
            QVERIFY(data::Database::open(uri, false));
        }
        data::Database::setServerPassword(uri, QString());
        qunsetenv("DBBrelvoVendas");
        qunsetenv("PGPASSFILE");
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
