// The database's files as the backup tool handles them: which files are the
// engine's, a consistent snapshot, the exclusive hold, and the checked,
// atomic replace.

#include "TestDb.h"

#include "data/DatabaseFiles.h"
#include "data/Transaction.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

using namespace brelvo::data;

namespace {

QStringList marcas(const DatabasePtr &db)
{
    Table t(db, QStringLiteral("tbMarcas.db"));
    t.open();
    return testdb::column(t, QStringLiteral("Marca"));
}

void addMarca(const DatabasePtr &db, const QString &m)
{
    Table t(db, QStringLiteral("tbMarcas.db"));
    t.open();
    testdb::addRow(t, {{"Marca", m}});
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// A database folder with the brands given, closed.
QString makeDatabase(QTemporaryDir &tmp, const QString &name, const QStringList &brands)
{
    const QString folder = tmp.filePath(name);
    auto db = Database::open(folder, true);
    for (const QString &b : brands)
        addMarca(db, b);
    return folder;
}

QString dbFile(const QString &folder) { return QDir(folder).filePath(QStringLiteral("brelvo.sqlite")); }

} // namespace

class TestDataFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        using R = DatabaseFiles::Role;
        QTest::newRow("database") << "brelvo.sqlite" << int(R::Database);
        QTest::newRow("log") << "brelvo.sqlite-wal" << int(R::Companion);
        QTest::newRow("index") << "brelvo.sqlite-shm" << int(R::Companion);
        QTest::newRow("journal") << "brelvo.sqlite-journal" << int(R::Companion);
        QTest::newRow("lock") << "brelvo.lock" << int(R::Lock);
        QTest::newRow("other case") << "Brelvo.sqlite" << int(R::Ordinary);
        QTest::newRow("copy") << "brelvo.sqlite.bak" << int(R::Ordinary);
        QTest::newRow("plain") << "Notas.txt" << int(R::Ordinary);
    }
    void roles()
    {
        QFETCH(QString, name);
        QFETCH(int, role);
        QCOMPARE(int(DatabaseFiles::roleOf(name)), role);
    }

    void snapshotHoldsCommittedStateOnly()
    {
        QTemporaryDir tmp;
        const QString folder = makeDatabase(tmp, "dados", {"BOSCH"});
        auto db = Database::open(folder, false);
        addMarca(db, "NGK");   // committed, still only in the log file
        QVERIFY(QFileInfo(folder + "/brelvo.sqlite-wal").size() > 0);
        Transaction tx(*db);   // holds the write lock with a row not committed
        addMarca(db, "VARTA");

        const QString snap = tmp.filePath("copia/brelvo.sqlite");
        QDir().mkpath(tmp.filePath("copia"));
        DatabaseFiles::snapshot(folder, snap);
        QCOMPARE(filesIn(tmp.filePath("copia")), QStringList{"brelvo.sqlite"});
        tx.rollback();
        QCOMPARE(DatabaseFiles::check(snap), QString());
        QCOMPARE(marcas(Database::open(tmp.filePath("copia"), false)), (QStringList{"BOSCH", "NGK"}));
        // The program's own connection is untouched.
        QCOMPARE(marcas(db), (QStringList{"BOSCH", "NGK"}));
        // An existing target is replaced.
        addMarca(db, "MAHLE");
        DatabaseFiles::snapshot(folder, snap);
        QCOMPARE(marcas(Database::open(tmp.filePath("copia"), false)), (QStringList{"BOSCH", "MAHLE", "NGK"}));
    }

    void snapshotOfMissingDatabaseRefused()
    {
        QTemporaryDir tmp;
        try {
            DatabaseFiles::snapshot(tmp.path(), tmp.filePath("x"));
            QFAIL("snapshot of nothing");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::NotOpen);
        }
        QVERIFY(!QFileInfo::exists(tmp.filePath("x")));
    }

    void holdKeepsEveryoneOut()
    {
        QTemporaryDir tmp;
        const QString folder = makeDatabase(tmp, "dados", {"BOSCH"});
        {
            auto db = Database::open(folder, false);
            QElapsedTimer t;
            t.start();
            QVERIFY(!DatabaseFiles::holdExclusively(folder, 100));   // a program has it open
            QVERIFY(t.elapsed() < 2000);
        }
        auto hold = DatabaseFiles::holdExclusively(folder);
        QVERIFY(hold);
        QVERIFY(DatabaseFiles::isInUse(folder));
        QVERIFY(!DatabaseFiles::holdExclusively(folder, 0));   // nor a second restore
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                if (attempt == 0)
                    Database::open(folder, true);
                else
                    DatabaseFiles::snapshot(folder, tmp.filePath("x"));
                QFAIL("got in while the folder was held");
            } catch (const DbError &e) {
                QCOMPARE(e.kind(), DbError::Kind::Busy);
                QCOMPARE(e.message(), QString::fromUtf8("Uma restauração do Back-up está em andamento no banco de dados.\n"
                                                        "Aguarde o fim da restauração e abra o programa novamente."));
            }
        }
        hold.reset();
        QVERIFY(!DatabaseFiles::isInUse(folder));
        QCOMPARE(filesIn(folder), QStringList{"brelvo.sqlite"});   // the lock file goes with the last holder
        QCOMPARE(marcas(Database::open(folder, false)), QStringList{"BOSCH"});
    }

    void replacePutsCheckedCandidateInPlace()
    {
        QTemporaryDir tmp;
        const QString folder = makeDatabase(tmp, "dados", {"VELHA"});
        const QString source = makeDatabase(tmp, "origem", {"NOVA1", "NOVA2"});
        QFile::setPermissions(dbFile(folder), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        // Log files a crashed program left beside the current database.
        QFile::copy(dbFile(source), dbFile(folder) + "-wal");
        QFile(dbFile(folder) + "-shm").open(QIODevice::WriteOnly);

        const QString candidate = folder + "/.candidato.sqlite";
        QVERIFY(QFile::copy(dbFile(source), candidate));
        {
            auto hold = DatabaseFiles::holdExclusively(folder);
            QVERIFY(hold);
            DatabaseFiles::replace(*hold, candidate);
        }
        QCOMPARE(filesIn(folder), QStringList{"brelvo.sqlite"});
        QCOMPARE(QFileInfo(dbFile(folder)).permissions() & 0x7777,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
        QCOMPARE(marcas(Database::open(folder, false)), (QStringList{"NOVA1", "NOVA2"}));
    }

    void candidateWithItsLogIsFoldedIn()
    {
        // A database copied with its log file, as older archives stored it.
        QTemporaryDir tmp;
        const QString folder = makeDatabase(tmp, "dados", {"VELHA"});
        const QString source = makeDatabase(tmp, "origem", {"A"});
        const QString candidate = folder + "/.candidato.sqlite";
        {
            auto db = Database::open(source, false);
            addMarca(db, "B");   // only in the log while db stays open
            QVERIFY(QFile::copy(dbFile(source), candidate));
            QVERIFY(QFile::copy(dbFile(source) + "-wal", candidate + "-wal"));
            QFile(candidate + "-shm").open(QIODevice::WriteOnly);   // a stale index
        }
        auto hold = DatabaseFiles::holdExclusively(folder);
        DatabaseFiles::replace(*hold, candidate);
        hold.reset();
        QCOMPARE(filesIn(folder), QStringList{"brelvo.sqlite"});
        QCOMPARE(marcas(Database::open(folder, false)), (QStringList{"A", "B"}));
    }

    void failedCheckKeepsCurrentDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("damaged pages") << "pages";
        QTest::newRow("not a database") << "text";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("truncated") << "half";
    }
    void failedCheckKeepsCurrentDatabase()
    {
        QFETCH(QString, kind);
        QTemporaryDir tmp;
        const QString folder = makeDatabase(tmp, "dados", {"ATUAL"});
        const QString source = makeDatabase(tmp, "origem", {});
        {
            auto db = Database::open(source, false);
            Transaction tx(*db);
            for (int i = 0; i < 3000; ++i)
                addMarca(db, QStringLiteral("MARCA %1").arg(i));
            tx.commit();
        }
        QByteArray bytes = bytesOf(dbFile(source));
        QVERIFY(bytes.size() > 40 * 4096);
        if (kind == "pages")
            bytes.replace(4096, 6 * 4096, QByteArray(6 * 4096, char(0xA5)));
        else if (kind == "text")
            bytes = "isto não é um banco de dados";
        else if (kind == "empty")
            bytes.clear();
        else
            bytes.truncate(bytes.size() / 2);
        const QString candidate = folder + "/.candidato.sqlite";
        {
            QFile f(candidate);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        QVERIFY(!DatabaseFiles::check(candidate).isEmpty());

        // The same through replace: refused, candidate gone, database as it was.
        QFile c(candidate);
        QVERIFY(c.open(QIODevice::WriteOnly));
        c.write(bytes);
        c.close();
        const QByteArray before = bytesOf(dbFile(folder));
        auto hold = DatabaseFiles::holdExclusively(folder);
        try {
            DatabaseFiles::replace(*hold, candidate);
            QFAIL("a damaged database was put in place");
        } catch (const DbError &e) {
            QVERIFY2(e.message().startsWith(QString::fromUtf8("O banco de dados do Back-up está danificado")),
                     qPrintable(e.message()));
        }
        hold.reset();
        QCOMPARE(bytesOf(dbFile(folder)), before);
        QCOMPARE(filesIn(folder), QStringList{"brelvo.sqlite"});
        QCOMPARE(marcas(Database::open(folder, false)), QStringList{"ATUAL"});
    }
};

QTEST_GUILESS_MAIN(TestDataFiles)
#include "test_data_files.moc"
