#include "ArchiveReader.h"
#include "BackupTestDb.h"
#include "SocketFile.h"

#include "backup/TFBackup.h"
#include "core/FakeDialogService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>


using namespace brelvo::backup;
using brelvo::core::Answer;
using brelvo::core::FakeDialogService;
using brelvo::core::MsgIcon;
using brelvo::core::ScopedFakeDialogs;
using Kind = FakeDialogService::Kind;
using namespace backuptest;

namespace {

const QDate kToday(2026, 12, 9);


const QString kAutoRestoreQuestion = QStringLiteral(
    "Se optar por sim o Banco de Dados será restaurado conforme a última versão do Back-up Automático.\n"
    "Se você tiver uma versão de Back-up Manual mais recente, é aconselhável restaurá-la ao invés do Automático.");
const QString kAutoRestoreFailed =
    QStringLiteral("Não foi Possivel restaurar o Banco de dados automaticamente.\nTente de forma manual");
const QString kManualRestoreFailed = QStringLiteral(
    "Não foi Possivel restaurar o Banco de dados.\nO arquivo de Back-up pode estar corrompido, ou o disco "
    "danificado.\nTente outro arquivo.");

} // namespace

class TestTool : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    QString m_db, m_tool;

    TFBackup::Env env(bool runAtStart = true)
    {
        TFBackup::Env e;
        e.toolFolder = m_tool;
        e.today = [] { return kToday; };
        e.runAtStart = runAtStart;
        return e;
    }
    // A real database with sales 1..3, and a plain file beside it.
    void seedDatabase()
    {
        QDir(m_db).removeRecursively();
        postSales(Database::open(m_db, true), 1, 3);
        writeFile(m_db + "/Notas.txt", "notas");
    }
    Sales sales() { return readSales(m_db); }
    static QStringList messages(FakeDialogService &f, Kind kind)
    {
        QStringList out;
        for (const auto &c : f.callsOf(kind))
            out << c.title + " | " + c.text;
        return out;
    }

private Q_SLOTS:
    void init()
    {
        m_db = m_tmp.filePath("dados");
        m_tool = m_tmp.filePath("tool");
        QDir(m_tool).removeRecursively();
        QDir().mkpath(m_tool);
        qputenv("DBBrelvoVendas", QFile::encodeName(m_db));
        seedDatabase();
        TFBackup::installArchiverDialogs();
    }

    void automaticBackupAtStart()
    {
        // The main program has the database open and has just posted: the
        // sale lives only in its log file until it closes.
        auto open = Database::open(m_db, false);
        postSales(open, 4, 4);
        QVERIFY(!logFiles(m_db).isEmpty());

        ScopedFakeDialogs dlg;
        dlg->answerQuestion(Answer::Yes);
        TFBackup w(env());
        const QString archive = m_tool + "/09-12-2026.bck";
        QCOMPARE(w.windowTitle(), QString("Back-up"));
        QCOMPARE(messages(dlg.fake(), Kind::Question), QStringList{"Back-up Automático | Realizar Back-up automático?"});
        QCOMPARE(messages(dlg.fake(), Kind::Information),
                 QStringList{"Back-up automático efetuado | Arquivo gravado em\n\"" + m_tool + "\""});
        QVERIFY(dlg->clean());

        // The database under its own name, without log or lock files.
        const testarchive::Archive a = testarchive::parse(readAll(archive));
        QVERIFY(a.ok);
        QCOMPARE(a.title, QByteArray("Back-up"));
        QCOMPARE(a.count, 2);
        QCOMPARE(a.entries.size(), 3);
        QCOMPARE(a.entries[0].name, QByteArray("FILE:LIST"));
        QVERIFY(a.entries[1].name.endsWith("/dados/Notas.txt"));
        QVERIFY(a.entries[2].name.endsWith("/dados/brelvo.sqlite"));
        QVERIFY(testarchive::blockData(a.entries[2].blocks[0]).startsWith(QByteArray("SQLite format 3\0", 16)));
        // The file-ID list gives the stored copy's size.
        qint64 stored = 0;
        for (const auto &b : a.entries[2].blocks)
            stored += testarchive::blockData(b).size();
        const QByteArray ids = [&] {
            QByteArray all;
            for (const auto &b : a.entries[0].blocks)
                all += testarchive::blockData(b);
            return all;
        }();
        QVERIFY2(ids.contains("/dados/brelvo.sqlite\t") && ids.contains("=" + QByteArray::number(stored) + "\r\n"),
                 ids.constData());
        QCOMPARE(w.findChild<QListWidget *>("ListBox1")->item(0)->text(), QDir(m_db).absolutePath() + "/*.*");
        QCOMPARE(w.findChild<QProgressBar *>("ProgressBar1")->value(), 100);
        QVERIFY(w.findChild<QPushButton *>("btnBackup")->isEnabled());
        QVERIFY(w.findChild<QPushButton *>("btnRestaura")->isEnabled());
        QVERIFY(w.findChild<QRadioButton *>("rbAutomatico")->isChecked());

        // The copy holds the committed sale the log file had.
        open.reset();
        postSales(Database::open(m_db, false), 5, 6);
        writeFile(m_db + "/Notas.txt", "notas novas e mais longas");
        const QString into = m_tmp.filePath("conferencia");
        QDir(into).removeRecursively();
        QVERIFY(QDir().mkpath(into));
        QVERIFY(w.backupFile().Restore(archive, into));
        QCOMPARE(readSales(into).headers, range(1, 4));

        // A second start the same day replaces that day's archive.
        dlg->answerQuestion(Answer::Yes);
        TFBackup again(env());
        const testarchive::Archive b = testarchive::parse(readAll(archive));
        QVERIFY(b.ok);
        QCOMPARE(testarchive::blockData(b.entries[1].blocks[0]), QByteArray("notas novas e mais longas"));
        QCOMPARE(QDir(m_tool).entryList(QDir::Files), QStringList{"09-12-2026.bck"});
    }

    void answeringNoDoesNothing()
    {
        ScopedFakeDialogs dlg;
        dlg->answerQuestion(Answer::No);
        TFBackup w(env());
        QCOMPARE(dlg->calls().size(), 1);
        QVERIFY(QDir(m_tool).isEmpty());
    }

    void automaticRestore()
    {
        ScopedFakeDialogs dlg;
        TFBackup w(env(false));
        QVERIFY(dlg->calls().isEmpty());

        // No archive from yesterday: the automatic failure message.
        dlg->answerQuestion(Answer::Yes);
        w.btnRestauraClick();
        QCOMPARE(messages(dlg.fake(), Kind::Question), QStringList{"Realizar Back-up automático? | " + kAutoRestoreQuestion});
        QCOMPARE(messages(dlg.fake(), Kind::Error), QStringList{"A Restauração Falhou | " + kAutoRestoreFailed});
        QCOMPARE(dlg->callsOf(Kind::Error).first().icon, MsgIcon::Error);

        // Yesterday's archive is taken.
        dlg->clearCalls();
        w.findChild<QRadioButton *>("rbManual")->setChecked(true);
        dlg->answerFile(m_tool + "/08-12-2026.bck");
        w.btnBackupClick();
        w.findChild<QRadioButton *>("rbAutomatico")->setChecked(true);
        postSales(Database::open(m_db, false), 4, 9);
        // What a killed restore left behind goes; a plain file keeps its permissions.
        writeFile(m_db + "/.restauracao-banco-AbC123/brelvo.sqlite", "meio restaurado");
        const auto privateMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        QVERIFY(QFile::setPermissions(m_db + "/Notas.txt", privateMode));
        dlg->clearCalls();
        dlg->answerQuestion(Answer::Yes);
        w.btnRestauraClick();
        QCOMPARE(QFile::permissions(m_db + "/Notas.txt") & 0x0777, QFileDevice::Permissions(0x0600));
        QCOMPARE(messages(dlg.fake(), Kind::Information), QStringList{"Back-up Restaurado | Back-up restaurado com sucesso."});
        QCOMPARE(sales(), salesUpTo(3));
        // Nothing of the restore's own work is left in the folder.
        QCOMPARE(QDir(m_db).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"brelvo.sqlite", "Notas.txt"}));
        QVERIFY(dlg->clean());
    }

    void manualBackupAndRestore()
    {
        ScopedFakeDialogs dlg;
        TFBackup w(env(false));
        w.findChild<QRadioButton *>("rbManual")->setChecked(true);
        const QString chosen = m_tmp.filePath("manual/copia");
        QDir().mkpath(m_tmp.filePath("manual"));
        dlg->answerFile(chosen);
        w.findChild<QPushButton *>("btnBackup")->click();
        const auto saves = dlg->callsOf(Kind::SaveFile);
        QCOMPARE(saves.size(), 1);
        QCOMPARE(saves[0].title, QString("Back-up"));
        QCOMPARE(saves[0].text, QString("Back-up (*.bck)"));
        QCOMPARE(messages(dlg.fake(), Kind::Information), QStringList{"Back-up efetuado | Back-up efetuado com sucesso."});
        QVERIFY(QFileInfo::exists(chosen + ".bck"));

        postSales(Database::open(m_db, false), 4, 5);
        QFile::remove(m_db + "/Notas.txt");
        dlg->clearCalls();
        dlg->answerFile(chosen + ".bck");
        w.findChild<QPushButton *>("btnRestaura")->click();
        QCOMPARE(dlg->callsOf(Kind::OpenFile).first().title, QString("Restaurando Back-up"));
        QCOMPARE(messages(dlg.fake(), Kind::Information), QStringList{"Back-up Restaurado | Back-up restaurado com sucesso."});
        QCOMPARE(sales(), salesUpTo(3));
        QCOMPARE(readAll(m_db + "/Notas.txt"), QByteArray("notas"));

        // Cancelling the dialog does nothing.
        dlg->clearCalls();
        dlg->answerFile(QString());
        w.btnRestauraClick();
        QCOMPARE(dlg->calls().size(), 1);
        QVERIFY(dlg->clean());
    }

    void damagedArchives()
    {
        ScopedFakeDialogs dlg;
        TFBackup w(env(false));
        w.findChild<QRadioButton *>("rbManual")->setChecked(true);

        // Not an archive at all: the archiver's own text, nothing else.
        writeFile(m_tmp.filePath("lixo.bck"), "xx");
        dlg->answerFile(m_tmp.filePath("lixo.bck"));
        w.btnRestauraClick();
        QCOMPARE(messages(dlg.fake(), Kind::Error), QStringList{"Back-Up | Cannot read archive"});

        // Damaged data: the archiver's report, then the manual failure; the
        // database is untouched.
        dlg->clearCalls();
        dlg->answerFile(m_tmp.filePath("dano.bck"));
        w.btnBackupClick();
        QByteArray raw = readAll(m_tmp.filePath("dano.bck"));
        const qsizetype at = raw.indexOf(QByteArray("EC2\0", 4), raw.indexOf("brelvo.sqlite"));
        raw[at + 8 + 12] = char(raw[at + 8 + 12] ^ 0x5A);
        writeFile(m_tmp.filePath("dano.bck"), raw);
        postSales(Database::open(m_db, false), 4, 4);
        const QByteArray current = readAll(m_db + "/brelvo.sqlite");
        dlg->clearCalls();
        dlg->answerFile(m_tmp.filePath("dano.bck"));
        w.btnRestauraClick();
        QCOMPARE(messages(dlg.fake(), Kind::Error),
                 (QStringList{"Atenção | Não foi possível realizar o Back-up.", "A Restauração Falhou | " + kManualRestoreFailed}));
        QCOMPARE(readAll(m_db + "/brelvo.sqlite"), current);
        QVERIFY(w.findChild<QPushButton *>("btnRestaura")->isEnabled());
    }

    void damagedDatabaseInArchiveKeepsTheCurrentOne()
    {
        // A well-formed archive whose database fails the check, made the way
        // earlier versions copied the folder.
        const QString old = m_tmp.filePath("antigo");
        QDir(old).removeRecursively();
        postSales(Database::open(old, true), 1, 50);
        QVERIFY(damagePages(old + "/brelvo.sqlite"));
        writeFile(old + "/Notas.txt", "notas do arquivo");
        TBackupFile raw;
        QVERIFY(raw.Backup({old + "/*.*"}, m_tmp.filePath("antigo.bck")));

        ScopedFakeDialogs dlg;
        TFBackup w(env(false));
        w.findChild<QRadioButton *>("rbManual")->setChecked(true);
        const QByteArray current = readAll(m_db + "/brelvo.sqlite");
        dlg->answerFile(m_tmp.filePath("antigo.bck"));
        w.btnRestauraClick();
        const QStringList errors = messages(dlg.fake(), Kind::Error);
        QCOMPARE(errors.size(), 2);
        QVERIFY2(errors[0].startsWith(QString::fromUtf8("Atenção | O banco de dados do Back-up está danificado")),
                 qPrintable(errors[0]));
        QVERIFY(errors[0].endsWith(QString::fromUtf8("O banco de dados atual foi mantido.")));
        QCOMPARE(errors[1], "A Restauração Falhou | " + kManualRestoreFailed);
        QCOMPARE(dlg->count(Kind::Information), 0);
        // Neither the database nor the plain files changed.
        QCOMPARE(readAll(m_db + "/brelvo.sqlite"), current);
        QCOMPARE(readAll(m_db + "/Notas.txt"), QByteArray("notas"));
        QCOMPARE(sales(), salesUpTo(3));
        QCOMPARE(QDir(m_db).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"brelvo.sqlite", "Notas.txt"}));
    }

    void restoreRefusedWhileDatabaseInUse()
    {
        ScopedFakeDialogs dlg;
        TFBackup w(env(false));
        w.findChild<QRadioButton *>("rbManual")->setChecked(true);
        dlg->answerFile(m_tool + "/08-12-2026.bck");
        w.btnBackupClick();
        w.findChild<QRadioButton *>("rbAutomatico")->setChecked(true);
        postSales(Database::open(m_db, false), 4, 4);

        {
            auto open = Database::open(m_db, false);   // as the main program holds it
            dlg->clearCalls();
            dlg->answerQuestion(Answer::Yes);
            w.btnRestauraClick();
            QCOMPARE(dlg->count(Kind::Error), 1);
            QVERIFY(dlg->callsOf(Kind::Error)[0].text.contains("aberto"));
            QCOMPARE(dlg->count(Kind::Information), 0);
            QCOMPARE(readSales(open).headers, range(1, 4));
        }
        dlg->clearCalls();
        dlg->answerQuestion(Answer::Yes);
        w.btnRestauraClick();
        QCOMPARE(dlg->count(Kind::Error), 0);
        QCOMPARE(sales(), salesUpTo(3));
    }

    void volumesAskThroughDialogs()
    {
        QRandomGenerator gen(5);
        QByteArray big(6 * 1024 * 1024, '\0');
        for (auto &c : big)
            c = char(gen.generate());
        writeFile(m_db + "/foto.jpg", big);
        ScopedFakeDialogs dlg;
        dlg->answerQuestion(Answer::Yes);    // automatic backup?
        dlg->answerQuestion(Answer::Ok);     // disk 2
        TFBackup w(env());
        const auto qs = dlg->callsOf(Kind::Question);
        QCOMPARE(qs.size(), 2);
        QCOMPARE(qs[1].text, QString("Please insert disk 2 and click OK to continue."));
        QCOMPARE(qs[1].answer, QString("OK"));
        QVERIFY(QFileInfo::exists(m_tool + "/09-12-2026.002"));
        QVERIFY(QFileInfo(m_tool + "/09-12-2026.bck").size() < 5400000);

        // Restoring asks again; Cancel stops and leaves the folder as it was.
        QFile::rename(m_tool + "/09-12-2026.bck", m_tool + "/08-12-2026.bck");
        QFile::rename(m_tool + "/09-12-2026.002", m_tool + "/08-12-2026.002");
        writeFile(m_db + "/foto.jpg", "novo");
        postSales(Database::open(m_db, false), 4, 4);
        dlg->clearCalls();
        dlg->answerQuestion(Answer::Yes);       // restore?
        dlg->answerQuestion(Answer::Cancel);    // disk 2
        w.btnRestauraClick();
        QCOMPARE(readAll(m_db + "/foto.jpg"), QByteArray("novo"));
        QCOMPARE(sales().headers, range(1, 4));
        QCOMPARE(messages(dlg.fake(), Kind::Error), QStringList{"A Restauração Falhou | " + kAutoRestoreFailed});
        dlg->clearCalls();
        dlg->answerQuestion(Answer::Yes);
        dlg->answerQuestion(Answer::Ok);
        w.btnRestauraClick();
        QVERIFY(readAll(m_db + "/foto.jpg") == big);
        QCOMPARE(sales(), salesUpTo(3));
        QVERIFY(dlg->clean());
    }

    void namesDifferingInCaseBothKept()
    {
        writeFile(m_db + "/Abc.db", "maiusculas");
        writeFile(m_db + "/abc.db", "minusculas");
        ScopedFakeDialogs dlg;
        dlg->answerQuestion(Answer::Yes);
        TFBackup w(env());
        QFile::remove(m_db + "/Abc.db");
        writeFile(m_db + "/abc.db", "mudou");
        dlg->clearCalls();
        w.findChild<QRadioButton *>("rbManual")->setChecked(true);
        dlg->answerFile(m_tool + "/09-12-2026.bck");
        w.btnRestauraClick();
        QCOMPARE(messages(dlg.fake(), Kind::Information), QStringList{"Back-up Restaurado | Back-up restaurado com sucesso."});
        QCOMPARE(readAll(m_db + "/Abc.db"), QByteArray("maiusculas"));
        QCOMPARE(readAll(m_db + "/abc.db"), QByteArray("minusculas"));
    }

    void specialFilesSkippedAndLogged()
    {
        // A socket in the folder: listed, left out, and written to the log.
        const SocketFile sock(m_db + "/tomada");
        QVERIFY(sock.ok());

        ScopedFakeDialogs dlg;
        dlg->answerQuestion(Answer::Yes);
        TFBackup w(env());
        QCOMPARE(dlg->count(Kind::Information), 1);
        const QString line = QString::fromUtf8("Ignorado (não é um arquivo comum): ") + m_db + "/tomada";
        auto *list = w.findChild<QListWidget *>("ListBox1");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(), line);
        const QByteArray log = readAll(m_tool + "/Back-Up.log");
        QVERIFY2(log.contains(line.toUtf8()), log.constData());
        const testarchive::Archive a = testarchive::parse(readAll(m_tool + "/09-12-2026.bck"));
        QVERIFY(a.ok);
        for (const auto &e : a.entries)
            QVERIFY(!e.name.contains("tomada"));
    }

    void backupRefusedWhileRestoreHoldsTheFolder()
    {
        auto hold = DatabaseFiles::holdExclusively(m_db);
        QVERIFY(hold);
        ScopedFakeDialogs dlg;
        dlg->answerQuestion(Answer::Yes);
        TFBackup w(env());
        const QStringList errors = messages(dlg.fake(), Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith(QString::fromUtf8("Atenção | Não foi possível realizar o Back-up.\nUma restauração")),
                 qPrintable(errors[0]));
        QCOMPARE(dlg->count(Kind::Information), 0);
        QVERIFY(!QFileInfo::exists(m_tool + "/09-12-2026.bck"));
    }

    void missingDatabaseFolder()
    {
        qputenv("DBBrelvoVendas", QFile::encodeName(m_tmp.filePath("nao-existe")));
        ScopedFakeDialogs dlg;
        TFBackup w(env());   // no question: the folder is checked first
        QCOMPARE(dlg->count(Kind::Question), 0);
        QCOMPARE(dlg->count(Kind::Error), 1);
        QVERIFY(QDir(m_tool).isEmpty());
        QVERIFY(w.findChild<QPushButton *>("btnBackup")->isEnabled());
    }
};

QTEST_MAIN(TestTool)
#include "test_tool.moc"
