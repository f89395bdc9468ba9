// Back-up of a database on a PostgreSQL server: the dump archived like the
// database file, restored whole or not at all, refused while a desk is
// connected. Runs against the test server (BRELVO_DB_SERVER).

#include "ArchiveReader.h"
#include "BackupTestDb.h"

#include "app/Passwords.h"
#include "backup/DatabaseBackup.h"
#include "backup/TFBackup.h"
#include "core/FakeDialogService.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace backuptest;
using brelvo::backup::DatabaseBackup;
using brelvo::backup::TBackupFile;
using brelvo::backup::TFBackup;
using brelvo::core::Answer;
using brelvo::core::ScopedFakeDialogs;
using brelvo::data::DbError;
using Kind = brelvo::core::FakeDialogService::Kind;
using Result = DatabaseBackup::Result;

Q_DECLARE_METATYPE(Result)

namespace {


// A dump edited by hand, its checksum made right again: only the layout
// check or the restore itself can refuse it.
QByteArray resealed(QByteArray dump)
{
    const qsizetype at = dump.lastIndexOf("sha256 ");
    dump.truncate(at);
    return dump + "sha256 " + QCryptographicHash::hash(dump, QCryptographicHash::Sha256).toHex() + '\n';
}

// The first user's password hash (a column the password migration adds).
QString userHash(const brelvo::data::DatabasePtr &db)
{
    db->addPassword(QString::fromLatin1(brelvo::app::kUsersTablePassword));
    Table users(db, "USUARIOS.DB");
    users.open();
    users.first();
    return users.value("SenhaHash").toString();
}

QStringList fieldNames(const brelvo::data::DatabasePtr &db, const QString &table)
{
    QStringList out;
    for (const auto &f : db->fields(table))
        out << f.name;
    return out;
}

} // namespace

class TestBackupServer : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_server;
    QStringList m_databases;
    int m_serial = 0;

    // createdb/dropdb against the test server.
    bool runClient(const QString &program, const QStringList &args)
    {
        const QUrl u(m_server);
        QProcess p;
        p.start(program, QStringList{"-h", u.host(), "-p", QString::number(u.port()), "-U", u.userName()} + args);
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            qWarning("%s: %s", qPrintable(program), p.readAllStandardError().constData());
            return false;
        }
        return true;
    }

    // A new, empty place for a database: a folder whose database lives on
    // the server, or a server database named by its address.
    QString freshLocation(bool address)
    {
        ++m_serial;
        if (!address)
            return m_tmp.filePath(QString("pasta%1").arg(m_serial));
        const QString name = QString("bk_%1_%2").arg(QCoreApplication::applicationPid()).arg(m_serial);
        if (!runClient("createdb", {name}))
            return QString();
        m_databases << name;
        QUrl u(m_server);
        u.setPath("/" + name);
        return u.toString();
    }

    static DatabaseBackup::Result backup(const QString &location, const QString &archive, QString *message = nullptr)
    {
        TBackupFile bf;
        brelvo::backup::applyToolSettings(bf);
        bf.OnNeedDisk = [](int, bool &) {};
        DatabaseBackup job(bf);
        const Result r = job.backup(location, archive);
        if (message)
            *message = job.message();
        return r;
    }
    static DatabaseBackup::Result restore(const QString &archive, const QString &location, QString *message = nullptr,
                                          QStringList *connected = nullptr)
    {
        TBackupFile bf;
        brelvo::backup::applyToolSettings(bf);
        bf.OnNeedDisk = [](int, bool &) {};
        DatabaseBackup job(bf);
        const Result r = job.restore(archive, location);
        if (message)
            *message = job.message();
        if (connected)
            *connected = job.connected();
        return r;
    }
    // An archive of the files of `folder`, packed as they are.
    static bool pack(const QString &folder, const QString &archive)
    {
        TBackupFile bf;
        brelvo::backup::applyToolSettings(bf);
        bf.OnNeedDisk = [](int, bool &) {};
        return bf.Backup({folder + "/*.*"}, archive);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_server = qEnvironmentVariable(Database::kFolderServerVariable);
        QVERIFY2(Database::isServer(m_server), "runs against the test server only");
        // As in the program: the users' table gets a column after it was made.
        brelvo::app::registerPasswordMigration();
        QVERIFY(m_tmp.isValid());
    }

    void cleanupTestCase()
    {
        for (const QString &name : std::as_const(m_databases)) {
            runClient("dropdb", {"--force", name});
            QDir(QCoreApplication::applicationDirPath() + "/dados-" + name).removeRecursively();
        }
    }

    void roundTrip_data()
    {
        QTest::addColumn<bool>("address");
        QTest::newRow("pasta com o banco no servidor") << false;
        QTest::newRow("endereço do servidor") << true;
    }
    void roundTrip()
    {
        QFETCH(bool, address);
        const QString loc = freshLocation(address);
        QVERIFY(!loc.isEmpty());
        {
            // Sale 21 drawn and removed: its number is not given again.
            auto db = Database::open(loc, true);
            postSales(db, 1, 21);
            Table vendas(db, "tbVendas.db");
            vendas.open();
            QVERIFY(vendas.locate("CodVenda", {21}));
            vendas.remove();
            Table itens(db, "tbItems.DB");
            itens.open();
            QVERIFY(!itens.locate("CodVenda", {21}));      // its lines went with it
            QCOMPARE(db->schemaVersion(), 2);
        }
        const QString hash = userHash(Database::open(loc, false));
        QVERIFY(!hash.isEmpty());
        const QString area = DatabaseFiles::backupFolder(loc);
        QCOMPARE(QDir(area).exists(), true);
        writeFile(area + "/Notas.txt", "antes");
        const QString dumpName = DatabaseFiles::databaseFileName(loc);
        QCOMPARE(dumpName, address ? loc.section('/', -1) + ".pgdump" : QString("brelvo.pgdump"));

        const QString archive = m_tmp.filePath(QString("ida%1.bck").arg(m_serial));
        QCOMPARE(backup(loc, archive), Result::Done);
        // The dump is stored like a database file, beside the plain file,
        // and does not stay in the folder.
        const testarchive::Archive a = testarchive::parse(readAll(archive));
        QVERIFY(a.ok);
        QStringList names;
        QByteArray dump;
        for (const auto &e : a.entries) {
            names << QString::fromUtf8(e.name).section('/', -1);
            if (e.name.endsWith("/" + dumpName.toUtf8()))
                for (const auto &b : e.blocks)
                    dump += testarchive::blockData(b);
        }
        QCOMPARE(names, (QStringList{"FILE:LIST", "Notas.txt", dumpName}));
        QVERIFY(dump.startsWith("BRELVO PGDUMP 1\n"));
        QVERIFY(!QFile::exists(area + "/" + dumpName));

        // Rows added, changed and removed after the backup.
        {
            auto db = Database::open(loc, false);
            postSales(db, 21, 30);
            Table vendas(db, "tbVendas.db");
            vendas.open();
            QVERIFY(vendas.locate("CodVenda", {5}));
            vendas.remove();
            QVERIFY(vendas.locate("CodVenda", {6}));
            vendas.edit();
            vendas.setValue("CodVenda", 600);
            vendas.post();
        }
        writeFile(area + "/Notas.txt", "depois");

        QString why;
        QCOMPARE(restore(archive, loc, &why), Result::Done);
        QCOMPARE(why, QString());
        QCOMPARE(readSales(loc), salesUpTo(20));
        QCOMPARE(readAll(area + "/Notas.txt"), QByteArray("antes"));
        QVERIFY(!QFile::exists(area + "/" + dumpName));
        // The column added after the table was made is back, spelled as it was.
        {
            auto db = Database::open(loc, false);
            QCOMPARE(db->schemaVersion(), 2);
            QVERIFY2(fieldNames(db, "USUARIOS.DB").contains("SenhaHash"), qPrintable(fieldNames(db, "USUARIOS.DB").join(',')));
            QCOMPARE(userHash(db), hash);
        }

        // Numbers carry on from the archived state: the next row is 22,
        // neither one drawn before the backup nor one drawn after it.
        auto db = Database::open(loc, false);
        Table vendas(db, "tbVendas.db");
        vendas.open();
        vendas.append();
        vendas.setValue("CodVenda", 21);
        vendas.post();
        QCOMPARE(vendas.asInteger("Chave"), qint64(22));
    }

    void restoreRefusedWhileADeskIsConnected()
    {
        const QString loc = freshLocation(true);
        QVERIFY(!loc.isEmpty());
        postSales(Database::open(loc, true), 1, 5);
        const QString archive = m_tmp.filePath("mesa.bck");
        QCOMPARE(backup(loc, archive), Result::Done);

        auto desk = Database::open(loc, false);
        postSales(desk, 6, 8);
        const QString deskName = QCoreApplication::applicationName() + " " + QSysInfo::machineHostName();
        QStringList connected;
        QCOMPARE(restore(archive, loc, nullptr, &connected), Result::InUse);
        QCOMPARE(connected.size(), 1);
        QVERIFY2(connected[0].startsWith(deskName + " (127.0.0.1, usuário "), qPrintable(connected[0]));
        QCOMPARE(DatabaseFiles::connectedDesks(loc), connected);
        QVERIFY(DatabaseFiles::isInUse(loc));

        // The window says so, naming the desk, and nothing else.
        {
            ScopedFakeDialogs dlg;
            TFBackup::Env env;
            env.databaseFolder = [loc] { return loc; };
            env.toolFolder = m_tmp.filePath("ferramenta");
            env.runAtStart = false;
            TFBackup w(env);
            w.findChild<QRadioButton *>("rbManual")->setChecked(true);
            dlg->answerFile(archive);
            w.btnRestauraClick();
            const auto errors = dlg->callsOf(Kind::Error);
            QCOMPARE(errors.size(), 1);
            QCOMPARE(errors[0].title, QString("A Restauração Falhou"));
            QVERIFY2(errors[0].text.contains("Conectados ao banco de dados:\n" + deskName), qPrintable(errors[0].text));
            QVERIFY(dlg->clean());
        }
        QCOMPARE(readSales(desk), salesUpTo(8));

        // Once the desk closes, the restore goes through.
        desk.reset();
        QVERIFY(!DatabaseFiles::isInUse(loc));
        QCOMPARE(restore(archive, loc), Result::Done);
        QCOMPARE(readSales(loc), salesUpTo(5));
    }

    void noDeskOpensWhileARestoreHoldsTheDatabase()
    {
        const QString loc = freshLocation(true);
        QVERIFY(!loc.isEmpty());
        Database::open(loc, true);
        auto hold = DatabaseFiles::holdExclusively(loc);
        QVERIFY(hold);
        try {
            Database::open(loc, false);
            QFAIL("a desk opened the database during a restore");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::Busy);
            QVERIFY2(e.message().startsWith("Uma restauração do Back-up está em andamento"), qPrintable(e.message()));
        }
        // A second restore is kept out as well.
        QVERIFY(!DatabaseFiles::holdExclusively(loc, 100));
        hold.reset();
        QVERIFY(Database::open(loc, false));
    }

    void damagedDumpLeavesTheDatabaseAlone_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("cortada ao meio") << "cut" << "incompleta";
        QTest::newRow("sem a soma de verificação") << "notrailer" << "incompleta";
        QTest::newRow("um byte trocado") << "flip" << "soma de verificação diferente";
        QTest::newRow("vazia") << "empty" << "incompleta";
        QTest::newRow("outro arquivo") << "other" << "não é uma cópia";
        QTest::newRow("uma linha a menos, soma refeita") << "row" << "danificada (tabela";
        QTest::newRow("tabela desconhecida, soma refeita") << "table" << "tabela tbnada";
        QTest::newRow("campo a mais sem dados, soma refeita") << "field" << "não foi restaurado (";
        QTest::newRow("tipo com um comando, soma refeita") << "type" << "(tipo integer; drop table";
    }
    void damagedDumpLeavesTheDatabaseAlone()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        const QString loc = freshLocation(false);
        postSales(Database::open(loc, true), 1, 10);

        const QString src = m_tmp.filePath(QString("dump%1").arg(m_serial));
        QVERIFY(QDir().mkpath(src));
        const QString file = src + "/" + DatabaseFiles::databaseFileName(loc);
        DatabaseFiles::snapshot(loc, file);
        QVERIFY(DatabaseFiles::check(file).isEmpty());
        QByteArray d = readAll(file);
        const qsizetype rows = d.indexOf("\ndados\n", d.indexOf("tabela tbvendas\n")) + 7;
        QVERIFY(rows > 7);
        if (damage == "cut")
            d.truncate(d.size() / 2);
        else if (damage == "notrailer")
            d.truncate(d.lastIndexOf("sha256 "));
        else if (damage == "flip")
            d[rows] = d[rows] == '1' ? '2' : '1';
        else if (damage == "empty")
            d.clear();
        else if (damage == "other")
            d = "SQLite format 3\n" + d;
        else if (damage == "row")
            d = resealed(d.remove(rows, d.indexOf('\n', rows) + 1 - rows));
        else if (damage == "table")
            d = resealed(d.replace("tabela tbvendas\n", "tabela tbnada\n"));
        else if (damage == "field" || damage == "type") {
            const qsizetype table = d.indexOf("tabela tbvendas\n");
            const qsizetype types = d.indexOf("\ntipos ", table) + 7;
            if (damage == "type") {
                d.replace(types, d.indexOf('\t', types) - types, "integer; drop table tbitems");
            } else {
                d.insert(d.indexOf("\nnomes ", table) + 7, "\t");
                d.insert(types, "text\t");
                d.insert(d.indexOf("\ncolunas ", table) + 9, "nada\t");
            }
            d = resealed(d);
        }
        writeFile(file, d);
        QCOMPARE(DatabaseFiles::check(file).isEmpty(), damage == "table" || damage == "field");
        const QString archive = src + ".bck";
        QVERIFY(pack(src, archive));

        postSales(Database::open(loc, false), 11, 12);
        QString why;
        QCOMPARE(restore(archive, loc, &why), Result::Refused);
        QVERIFY2(why.contains(reason) && why.endsWith("O banco de dados atual foi mantido."), qPrintable(why));
        // Everything as it was, and the database still takes posts.
        auto db = Database::open(loc, false);
        QCOMPARE(readSales(db), salesUpTo(12));
        postSales(db, 13, 13);
        QCOMPARE(readSales(db), salesUpTo(13));
    }

    void archiveOfTheOtherEngineIsRefused()
    {
        // A local database's archive offered to the server database ...
        const QString loc = freshLocation(false);
        postSales(Database::open(loc, true), 1, 3);
        const QString src = m_tmp.filePath("local");
        QVERIFY(QDir().mkpath(src));
        writeFile(src + "/brelvo.sqlite", "SQLite format 3");
        writeFile(src + "/Notas.txt", "de outro banco");
        QVERIFY(pack(src, src + ".bck"));
        QString why;
        QCOMPARE(restore(src + ".bck", loc, &why), Result::Refused);
        QVERIFY2(why.contains("brelvo.sqlite") && why.contains("Nada foi alterado"), qPrintable(why));
        QCOMPARE(readSales(loc), salesUpTo(3));
        QVERIFY(!QFile::exists(loc + "/Notas.txt"));

        // ... and a server archive offered to a local database.
        const QString archive = m_tmp.filePath("servidor.bck");
        QCOMPARE(backup(loc, archive), Result::Done);
        qunsetenv(Database::kFolderServerVariable);
        const QString local = m_tmp.filePath("local-db");
        postSales(Database::open(local, true), 1, 2);
        const Result r = restore(archive, local, &why);
        const Sales after = readSales(local);
        qputenv(Database::kFolderServerVariable, m_server.toUtf8());
        QCOMPARE(r, Result::Refused);
        QVERIFY2(why.contains("brelvo.pgdump"), qPrintable(why));
        QCOMPARE(after, salesUpTo(2));
    }

    void unreachableServerIsReported()
    {
        // Nothing listens on port 1: no archive, no restore, and the reason.
        const QString loc = "postgresql://brelvo@127.0.0.1:1/inalcancavel";
        const QString archive = m_tmp.filePath("inalcancavel.bck");
        QString why;
        QCOMPARE(backup(loc, archive, &why), Result::Refused);
        QVERIFY2(why.startsWith("Não foi possível conectar ao servidor"), qPrintable(why));
        QVERIFY(!QFile::exists(archive));

        const QString other = freshLocation(false);
        postSales(Database::open(other, true), 1, 1);
        QCOMPARE(backup(other, archive), Result::Done);
        QCOMPARE(restore(archive, loc, &why), Result::Refused);
        QVERIFY2(why.startsWith("Não foi possível conectar ao servidor"), qPrintable(why));
        QDir(DatabaseFiles::backupFolder(loc)).removeRecursively();
    }

    // A server that wants a password the password file has not got: Back-Up
    // asks for it as Brelvo does; Cancel stops with the message and no archive.
    void serverPasswordIsAskedFor()
    {
        QUrl url(m_server);
        url.setUserName("brelvo_senha");
        url.setPath("/brelvo_senha");
        const QString loc = url.toString();
        qputenv("PGPASSFILE", m_tmp.filePath("sem-pgpass").toUtf8());
        Database::setServerPassword(loc, "senha-de-teste");     // a database to back up
        Database::open(loc, true).reset();
        Database::setServerPassword(loc, QString());
        TFBackup::Env env;
        env.databaseFolder = [loc] { return loc; };
        env.toolFolder = m_tmp.filePath("ferramenta-senha");
        env.runAtStart = false;
        QDir().mkpath(env.toolFolder);
        const QString archive = m_tmp.filePath("senha.bck");
        {
            ScopedFakeDialogs dlg;
            TFBackup w(env);
            w.findChild<QRadioButton *>("rbManual")->setChecked(true);
            dlg->cancelInput();
            w.btnBackupClick();
            const auto asked = dlg->callsOf(Kind::Input);
            QCOMPARE(asked.size(), 1);
            QCOMPARE(asked[0].title, QString("Senha do banco de dados"));
            QCOMPARE(dlg->messages(), QStringList{QString("Sem a senha do usuário brelvo_senha o banco de dados do "
                                                          "servidor 127.0.0.1:%1 não pode ser aberto.").arg(url.port())});
            QVERIFY(!QFile::exists(archive));
            QVERIFY(dlg->clean());
        }
        {
            ScopedFakeDialogs dlg;
            TFBackup w(env);
            w.findChild<QRadioButton *>("rbManual")->setChecked(true);
            dlg->answerInput("errada");
            dlg->answerInput("senha-de-teste");
            dlg->answerFile(archive);
            w.btnBackupClick();
            QCOMPARE(dlg->callsOf(Kind::Input).size(), 2);
            QCOMPARE(dlg->messages(), QStringList{QString("Back-up efetuado com sucesso.")});
            QVERIFY(QFile::exists(archive));
            QVERIFY(dlg->clean());
        }
        Database::setServerPassword(loc, QString());
        qunsetenv("PGPASSFILE");
    }

    void backupsWhileADeskPostsAreEachOneState()
    {
        const QString loc = freshLocation(true);
        QVERIFY(!loc.isEmpty());
        Database::open(loc, true);
        QProcess writer;
        writer.start(BACKUP_HELPER, {"post", loc, "1", "300", "3000"});
        QVERIFY(writer.waitForStarted());
        QStringList archives;
        bool running = true;
        while (running) {
            running = writer.state() != QProcess::NotRunning;   // one more once it has ended
            const QString a = m_tmp.filePath(QString("durante%1.bck").arg(archives.size()));
            QCOMPARE(backup(loc, a), Result::Done);
            archives << a;
            writer.waitForFinished(150);
        }
        QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer.exitCode(), 0);
        QVERIFY2(archives.size() >= 3, qPrintable(QString::number(archives.size())));

        // Each archive restores to sales 1..n, every item with its header.
        int last = -1, growing = 0;
        for (const QString &a : std::as_const(archives)) {
            QCOMPARE(restore(a, loc), Result::Done);
            const Sales s = readSales(loc);
            QCOMPARE(s, salesUpTo(int(s.headers.size())));
            growing += int(s.headers.size()) > last ? 1 : 0;
            QVERIFY(int(s.headers.size()) >= last);
            last = int(s.headers.size());
        }
        QCOMPARE(last, 300);
        QVERIFY(growing >= 2);
    }
};

QTEST_MAIN(TestBackupServer)
#include "test_server.moc"
