#include "ArchiveReader.h"

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

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace brelvo::backup;
using brelvo::core::Answer;
using brelvo::core::FakeDialogService;
using brelvo::core::MsgIcon;
using brelvo::core::ScopedFakeDialogs;
using Kind = FakeDialogService::Kind;

namespace {

const QDate kToday(2026, 12, 9);

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

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
    void seedDatabase()
    {
        QDir(m_db).removeRecursively();
        writeFile(m_db + "/brelvo.sqlite", QByteArray(50000, 'S') + "fim");
        writeFile(m_db + "/Notas.txt", "notas");
        writeFile(m_db + "/brelvo.lock", "");
    }
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
        ScopedFakeDialogs dlg;
        dlg->answerQuestion(Answer::Yes);
        TFBackup w(env());
        const QString archive = m_tool + "/09-12-2026.bck";
        QCOMPARE(w.windowTitle(), QString("Back-up"));
        QCOMPARE(messages(dlg.fake(), Kind::Question), QStringList{"Back-up Automático | Realizar Back-up automático?"});
        QCOMPARE(messages(dlg.fake(), Kind::Information),
                 QStringList{"Back-up automático efetuado | Arquivo gravado em\n\"" + m_tool + "\""});
        QVERIFY(dlg->clean());

        const testarchive::Archive a = testarchive::parse(readAll(archive));
        QVERIFY(a.ok);
        QCOMPARE(a.title, QByteArray("Back-up"));
        QCOMPARE(a.count, 2);                         // the lock file is not stored
        QCOMPARE(a.entries.size(), 3);
        QCOMPARE(a.entries[0].name, QByteArray("FILE:LIST"));
        QVERIFY(a.entries[1].name.endsWith("/dados/Notas.txt"));
        QVERIFY(a.entries[2].name.endsWith("/dados/brelvo.sqlite"));
        QCOMPARE(w.findChild<QListWidget *>("ListBox1")->item(0)->text(), QDir(m_db).absolutePath() + "/*.*");
        QCOMPARE(w.findChild<QProgressBar *>("ProgressBar1")->value(), 100);
        QVERIFY(w.findChild<QPushButton *>("btnBackup")->isEnabled());
        QVERIFY(w.findChild<QPushButton *>("btnRestaura")->isEnabled());
        QVERIFY(w.findChild<QRadioButton *>("rbAutomatico")->isChecked());

        // A second start the same day replaces that day's archive.
        writeFile(m_db + "/Notas.txt", "notas novas e mais longas");
        dlg->answerQuestion(Answer::Yes);
        TFBackup again(env());
        QVERIFY(readAll(archive) != QByteArray());
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

        // Yesterday's archive is taken; the lock file is left alone.
        TBackupFile bf;
        bf.SaveFileID = true;
        QVERIFY(bf.Backup({m_db + "/*.*"}, m_tool + "/08-12-2026.bck"));
        writeFile(m_db + "/brelvo.sqlite", "estragado");
        writeFile(m_db + "/brelvo.lock", "do outro");
        dlg->clearCalls();
        dlg->answerQuestion(Answer::Yes);
        w.btnRestauraClick();
        QCOMPARE(messages(dlg.fake(), Kind::Information), QStringList{"Back-up Restaurado | Back-up restaurado com sucesso."});
        QCOMPARE(readAll(m_db + "/brelvo.sqlite"), QByteArray(50000, 'S') + "fim");
        QCOMPARE(readAll(m_db + "/brelvo.lock"), QByteArray("do outro"));
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

        writeFile(m_db + "/brelvo.sqlite", "perdido");
        QFile::remove(m_db + "/Notas.txt");
        dlg->clearCalls();
        dlg->answerFile(chosen + ".bck");
        w.findChild<QPushButton *>("btnRestaura")->click();
        QCOMPARE(dlg->callsOf(Kind::OpenFile).first().title, QString("Restaurando Back-up"));
        QCOMPARE(messages(dlg.fake(), Kind::Information), QStringList{"Back-up Restaurado | Back-up restaurado com sucesso."});
        QCOMPARE(readAll(m_db + "/brelvo.sqlite"), QByteArray(50000, 'S') + "fim");
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
        TBackupFile bf;
        QVERIFY(bf.Backup({m_db + "/*.*"}, m_tmp.filePath("dano.bck")));
        QByteArray raw = readAll(m_tmp.filePath("dano.bck"));
        const qsizetype at = raw.indexOf(QByteArray("EC2\0", 4), raw.indexOf("brelvo.sqlite"));
        raw[at + 8 + 12] = char(raw[at + 8 + 12] ^ 0x5A);
        writeFile(m_tmp.filePath("dano.bck"), raw);
        writeFile(m_db + "/brelvo.sqlite", "atual");
        dlg->clearCalls();
        dlg->answerFile(m_tmp.filePath("dano.bck"));
        w.btnRestauraClick();
        QCOMPARE(messages(dlg.fake(), Kind::Error),
                 (QStringList{"Atenção | Não foi possível realizar o Back-up.", "A Restauração Falhou | " + kManualRestoreFailed}));
        QCOMPARE(readAll(m_db + "/brelvo.sqlite"), QByteArray("atual"));
        QVERIFY(w.findChild<QPushButton *>("btnRestaura")->isEnabled());
    }

    void restoreRefusedWhileDatabaseInUse()
    {
        ScopedFakeDialogs dlg;
        TFBackup w(env(false));
        TBackupFile bf;
        QVERIFY(bf.Backup({m_db + "/*.*"}, m_tool + "/08-12-2026.bck"));
        writeFile(m_db + "/brelvo.sqlite", "em uso");

        // Another program holds the database: a shared lock on the lock file.
        const int fd = ::open(QFile::encodeName(m_db + "/brelvo.lock").constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_SH), 0);
        dlg->answerQuestion(Answer::Yes);
        w.btnRestauraClick();
        QCOMPARE(dlg->count(Kind::Error), 1);
        QVERIFY(dlg->callsOf(Kind::Error)[0].text.contains("aberto"));
        QCOMPARE(dlg->count(Kind::Information), 0);
        QCOMPARE(readAll(m_db + "/brelvo.sqlite"), QByteArray("em uso"));

        ::close(fd);
        dlg->clearCalls();
        dlg->answerQuestion(Answer::Yes);
        w.btnRestauraClick();
        QCOMPARE(dlg->count(Kind::Error), 0);
        QCOMPARE(readAll(m_db + "/brelvo.sqlite"), QByteArray(50000, 'S') + "fim");
    }

    void volumesAskThroughDialogs()
    {
        QRandomGenerator gen(5);
        QByteArray big(6 * 1024 * 1024, '\0');
        for (auto &c : big)
            c = char(gen.generate());
        writeFile(m_db + "/brelvo.sqlite", big);
        ScopedFakeDialogs dlg;
        dlg->answerQuestion(Answer::Yes);    // automatic backup?
        dlg->answerQuestion(Answer::Yes);    // disk 2
        TFBackup w(env());
        const auto qs = dlg->callsOf(Kind::Question);
        QCOMPARE(qs.size(), 2);
        QCOMPARE(qs[1].text, QString("Please insert disk 2 and click OK to continue."));
        QVERIFY(QFileInfo::exists(m_tool + "/09-12-2026.002"));
        QVERIFY(QFileInfo(m_tool + "/09-12-2026.bck").size() < 5400000);

        // Restoring asks again; Cancel stops and leaves the database as it was.
        QFile::rename(m_tool + "/09-12-2026.bck", m_tool + "/08-12-2026.bck");
        QFile::rename(m_tool + "/09-12-2026.002", m_tool + "/08-12-2026.002");
        writeFile(m_db + "/brelvo.sqlite", "novo");
        dlg->clearCalls();
        dlg->answerQuestion(Answer::Yes);    // restore?
        dlg->answerQuestion(Answer::No);     // disk 2: cancel
        w.btnRestauraClick();
        QCOMPARE(readAll(m_db + "/brelvo.sqlite"), QByteArray("novo"));
        QCOMPARE(messages(dlg.fake(), Kind::Error), QStringList{"A Restauração Falhou | " + kAutoRestoreFailed});
        dlg->clearCalls();
        dlg->answerQuestion(Answer::Yes);
        dlg->answerQuestion(Answer::Yes);
        w.btnRestauraClick();
        QVERIFY(readAll(m_db + "/brelvo.sqlite") == big);
        QVERIFY(dlg->clean());
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
