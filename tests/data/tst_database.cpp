// The database as a whole: installation, reopening, folder lock, the files
// left in the folder, table names, passwords, migrations and transactions.

#include "TestDb.h"
#include "data/Catalogue.h"
#include "data/Statement.h"
#include "data/Transaction.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <map>

using namespace brelvo::data;

class TstDatabase : public QObject {
    Q_OBJECT

    static int scalar(const DatabasePtr &db, const QString &sql)
    {
        const QVariant v = ForwardQuery(db, sql).scalar();
        return v.isNull() ? -1 : v.toInt();
    }

private Q_SLOTS:
    void provisioningCreatesCatalogueAndSeeds()
    {
        QTemporaryDir dir;
        std::map<QString, int> seeds;
        for (const SeedRow &r : seedRows())
            ++seeds[Database::sqlTableName(r.table)];
        {
            auto db = Database::open(dir.path(), true);
            QCOMPARE(db->schemaVersion(), kSchemaVersion);
            db->addPassword(QStringLiteral("8642"));
            for (const TableDef &t : catalogue()) {
                // Every field of the catalogue is a column of the table.
                const std::vector<FieldDef> fields = db->fields(t.fileName);
                QCOMPARE(int(fields.size()), int(t.fields.size()));
                // ... in catalogue order.
                for (size_t i = 0; i < fields.size(); ++i)
                    QCOMPARE(fields[i].name, t.fields[i].name);
                const int rows = scalar(db, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(t.sqlName));
                QCOMPARE(rows, seeds.count(t.sqlName) ? seeds[t.sqlName] : 0);
            }
            // Named indexes exist for ordered reading.
            QVERIFY(scalar(db, db->onServer()
                                   ? QStringLiteral("SELECT count(*) FROM pg_indexes WHERE tablename = 'tbprodutos' "
                                                    "AND indexdef LIKE '%brelvo_ptbr%'")
                                   : QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='index' AND tbl_name='tbprodutos'"))
                    >= 1);
            Table users(db, QStringLiteral("USUARIOS.DB"));
            users.open();
            QCOMPARE(users.asString(QStringLiteral("LOGIN")), QStringLiteral("KOV"));
            QCOMPARE(users.asString(QStringLiteral("ADMIN")), QStringLiteral("S"));
            // Change a seeded row; reopening must keep the change and add no rows.
            users.edit();
            users.setValue(QStringLiteral("NOME"), QStringLiteral("ADMINISTRADOR"));
            users.post();
        }
        auto again = Database::open(dir.path(), true);
        again->addPassword(QStringLiteral("8642"));
        Table users(again, QStringLiteral("usuarios"));
        users.open();
        QCOMPARE(users.recordCount(), 1);
        QCOMPARE(users.asString(QStringLiteral("NOME")), QStringLiteral("ADMINISTRADOR"));
        Table marks(again, QStringLiteral("Checkbox.db"));
        marks.open();
        QCOMPARE(marks.recordCount(), 1);
    }

    void openWithoutProvisioningFails()
    {
        QTemporaryDir dir;
        try {
            Database::open(dir.path(), false);
            QFAIL("opened a folder without a database");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::NotOpen);
            QVERIFY(e.message().contains(QStringLiteral("não encontrado")));
        }
        QVERIFY(!Database::exists(dir.path()));
        try {
            Database::open(dir.filePath(QStringLiteral("nada")), false);
            QFAIL("opened a missing folder");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::NotOpen);
        }
    }

    void folderLockAndFilesLeftAfterClose()
    {
        QTemporaryDir dir;
        QVERIFY(!Database::isInUse(dir.path()));
        {
            auto db = Database::open(dir.path(), true);
            QVERIFY(Database::isInUse(dir.path()));
            {
                auto second = Database::open(dir.path(), false);
                Table t(second, QStringLiteral("tbMarcas.db"));
                t.open();
                testdb::addRow(t, {{"Marca", QStringLiteral("BOSCH")}});
            }
            // The other connection is closed; this one still holds the folder.
            QVERIFY(Database::isInUse(dir.path()));
            Table t(db, QStringLiteral("tbMarcas.db"));
            t.open();
            QCOMPARE(t.asString(QStringLiteral("Marca")), QStringLiteral("BOSCH"));
        }
        QVERIFY(!Database::isInUse(dir.path()));
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        // The single file holds the data; with the database on a server the folder is left empty.
        const bool onServer = !qEnvironmentVariableIsEmpty(Database::kFolderServerVariable);
        QCOMPARE(files, onServer ? QStringList{} : QStringList{QString::fromLatin1(Database::kFileName)});
        auto db = Database::open(dir.path(), false);
        Table t(db, QStringLiteral("TBMARCAS.DB"));
        t.open();
        QCOMPARE(t.recordCount(), 1);
    }

    void exclusiveHolderKeepsProgramsOut()
    {
        QTemporaryDir dir;
        Database::open(dir.path(), true);
        // A restore holds the folder exclusively.
        const QByteArray lock = QFile::encodeName(QDir(dir.path()).filePath(QString::fromLatin1(Database::kLockName)));
        const int fd = ::open(lock.constData(), O_RDWR | O_CREAT, 0666);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
        try {
            Database::open(dir.path(), false);
            QFAIL("opened while held exclusively");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::Busy);
        }
        ::close(fd);
        auto db = Database::open(dir.path(), false);
        QVERIFY(Database::isInUse(dir.path()));
    }

    void tableNamesIgnoreCaseAndExtension()
    {
        for (const char *n : {"tbProdutos.db", "tbProdutos.DB", "TBPRODUTOS", "tbprodutos.Db"})
            QCOMPARE(Database::sqlTableName(QString::fromLatin1(n)), QStringLiteral("tbprodutos"));
        QVERIFY(Database::tableDef(QStringLiteral("tbNaoExiste.db")) == nullptr);
        try {
            Database::sqlTableName(QStringLiteral("tbNaoExiste.db"));
            QFAIL("unknown table accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::TableNotFound);
            QCOMPARE(e.message(), QStringLiteral("Tabela não encontrada: tbNaoExiste.db"));
        }
        testdb::Fresh f;
        Table a(f.db, QStringLiteral("tbProdutos.db"));
        Table b(f.db, QStringLiteral("TBPRODUTOS.DB"));
        a.open();
        b.open();
        testdb::addRow(a, {{"Codigo", 7}, {"Descricao", QStringLiteral("FILTRO")}});
        b.refresh();
        QCOMPARE(b.recordCount(), 1);
        QCOMPARE(b.asString(QStringLiteral("Descricao")), QStringLiteral("FILTRO"));
        Table missing(f.db, QStringLiteral("tbNaoExiste.db"));
        QVERIFY_THROWS_EXCEPTION(DbError, missing.open());
    }

    void usersTableNeedsPassword()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("USUARIOS.DB"));
        try {
            t.open();
            QFAIL("opened without the password");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::WrongPassword);
            QVERIFY(e.message().contains(QStringLiteral("USUARIOS.DB")));
        }
        QVERIFY(!t.isOpen());
        Query q(f.db);
        q.setSql(QStringLiteral("SELECT Login FROM USUARIOS"));
        QVERIFY_THROWS_EXCEPTION(DbError, q.open());
        f.db->addPassword(QStringLiteral("1234"));
        QVERIFY_THROWS_EXCEPTION(DbError, t.open());
        f.db->addPassword(QStringLiteral("8642"));
        t.open();
        q.open();
        QCOMPARE(q.asString(QStringLiteral("Login")), QStringLiteral("KOV"));
    }

    void migrationsRunOnceAndAddReadableColumns()
    {
        QTemporaryDir dir;
        Database::open(dir.path(), true);   // a version 1 database
        int runs = 0;
        Database::registerMigration(2, [&runs](Database &db) {
            ++runs;
            const DatabasePtr self = db.shared_from_this();
            self->addPassword(QStringLiteral("8642"));
            Statement(self, QStringLiteral("ALTER TABLE usuarios ADD COLUMN SenhaHash TEXT")).run();
            Statement up(self, QStringLiteral("UPDATE usuarios SET SenhaHash = :h WHERE LOGIN = :l"));
            up.setParam(QStringLiteral("h"), QStringLiteral("h:kov"));
            up.setParam(QStringLiteral("l"), QStringLiteral("KOV"));
            QCOMPARE(up.run(), 1);
        });
        {
            auto db = Database::open(dir.path(), false);
            QCOMPARE(runs, 1);
            QCOMPARE(db->schemaVersion(), 2);
            db->addPassword(QStringLiteral("8642"));
            Table users(db, QStringLiteral("USUARIOS.DB"));
            users.open();
            QVERIFY(users.fieldNames().contains(QStringLiteral("SenhaHash")));
            QCOMPARE(users.fieldType(QStringLiteral("SenhaHash")), FieldType::Alpha);
            QCOMPARE(users.fieldSize(QStringLiteral("senhahash")), 0);
            QCOMPARE(users.asString(QStringLiteral("SenhaHash")), QStringLiteral("h:kov"));
            users.edit();
            const QString longText(300, QLatin1Char('x'));
            users.setValue(QStringLiteral("SenhaHash"), longText);     // no size: not cut
            users.post();
            QCOMPARE(users.asString(QStringLiteral("SenhaHash")), longText);
        }
        auto again = Database::open(dir.path(), false);
        QCOMPARE(runs, 1);
        // A new database goes through the same migrations.
        QTemporaryDir other;
        auto fresh = Database::open(other.path(), true);
        QCOMPARE(runs, 2);
        QCOMPARE(fresh->schemaVersion(), 2);

        // A failing migration leaves the database as it was.
        Database::registerMigration(3, [](Database &db) {
            Statement(db.shared_from_this(), QStringLiteral("ALTER TABLE tbmarcas ADD COLUMN Pais TEXT")).run();
            throw DbError(DbError::Kind::Generic, QStringLiteral("falhou"));
        });
        QVERIFY_THROWS_EXCEPTION(DbError, Database::open(other.path(), false));
        Database::unregisterMigration(3);
        Database::unregisterMigration(2);
        auto after = Database::open(other.path(), false);
        QCOMPARE(after->schemaVersion(), 2);
        QCOMPARE(int(after->fields(QStringLiteral("tbMarcas.db")).size()), 1);
    }

    void transactionsNestAndRollBack()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("tbCategoria.db"));
        t.open();
        {
            Transaction outer(*f.db);
            testdb::addRow(t, {{"Categoria", QStringLiteral("FILTROS")}});
            {
                Transaction inner(*f.db);
                testdb::addRow(t, {{"Categoria", QStringLiteral("OLEOS")}});
            }   // inner rolled back
            outer.commit();
        }
        t.refresh();
        QCOMPARE(testdb::column(t, QStringLiteral("Categoria")), QStringList{QStringLiteral("FILTROS")});
        {
            Transaction tx(*f.db);
            testdb::addRow(t, {{"Categoria", QStringLiteral("PNEUS")}});
        }
        t.refresh();
        QCOMPARE(t.recordCount(), 1);
        QVERIFY(!f.db->inTransaction());
        QVERIFY_THROWS_EXCEPTION(DbError, f.db->commit());
    }

    void writerWaitsThenReportsBusy()
    {
        testdb::Fresh f;
        auto other = Database::open(f.db->folder(), false);
        other->setBusyTimeout(150);
        Transaction tx(*f.db);           // this program holds the write lock
        Table mine(f.db, QStringLiteral("tbMedidas.db"));
        mine.open();
        testdb::addRow(mine, {{"UnMedida", QStringLiteral("KG")}});
        Table theirs(other, QStringLiteral("tbMedidas.db"));
        theirs.open();
        QVERIFY(theirs.isEmpty());       // readers see the last committed state
        theirs.append();
        theirs.setValue(QStringLiteral("UnMedida"), QStringLiteral("LT"));
        try {
            theirs.post();
            QFAIL("post went through a held write lock");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::Busy);
            QVERIFY(e.message().contains(QStringLiteral("ocupado")));
        }
        QCOMPARE(theirs.state(), Dataset::State::Insert);   // nothing lost: post again later
        // A transaction of theirs cannot start either, and leaves nothing half open.
        try {
            other->transaction();
            QFAIL("transaction went through a held write lock");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::Busy);
        }
        QVERIFY(!other->inTransaction());
        tx.commit();
        theirs.post();
        QCOMPARE(theirs.recordCount(), 2);
        other->transaction();
        theirs.append();
        theirs.setValue(QStringLiteral("UnMedida"), QStringLiteral("CX"));
        theirs.post();
        other->commit();
        QVERIFY(!other->inTransaction());
        Table again(f.db, QStringLiteral("tbMedidas.db"));
        again.open();
        QCOMPARE(again.recordCount(), 3);
    }

    void aliasFolderResolution()
    {
        QTemporaryDir dir;
        qputenv("BrelvoTesteAlias", dir.path().toLocal8Bit());
        QCOMPARE(Database::aliasFolder(QStringLiteral("BrelvoTesteAlias")), QDir(dir.path()).absolutePath());
        qunsetenv("BrelvoTesteAlias");
        // Without the variable or an alias file: "dados" beside the program.
        QCOMPARE(Database::aliasFolder(QStringLiteral("BrelvoTesteAlias")),
                 QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("dados")));
        // A server address is kept as it is, never taken for a relative folder.
        for (const char *uri : {"postgresql://brelvo@servidor:5432/brelvo", "postgres://caixa@10.0.0.2/loja"}) {
            qputenv("BrelvoTesteAlias", uri);
            QCOMPARE(Database::aliasFolder(QStringLiteral("BrelvoTesteAlias")), QString::fromLatin1(uri));
            QVERIFY(Database::isServer(Database::aliasFolder(QStringLiteral("BrelvoTesteAlias"))));
        }
        qunsetenv("BrelvoTesteAlias");
        QVERIFY(!Database::isServer(dir.path()));
        QVERIFY(!Database::isServer(QStringLiteral("dados/postgresql:")));
    }

    void unreachableServerIsAClearError()
    {
        // Nothing listens on port 1: the program says so instead of failing later.
        const QString uri = QStringLiteral("postgresql://brelvo@127.0.0.1:1/brelvo?connect_timeout=2");
        QVERIFY(!Database::exists(uri));
        try {
            Database::open(uri, true);
            QFAIL("opened a server that is not there");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::NotOpen);
            QVERIFY2(e.message().startsWith(QStringLiteral("Não foi possível conectar ao servidor")), qPrintable(e.message()));
        }
    }

    void privateDirIsCreatedOnDemand()
    {
        testdb::Fresh f;
        QTemporaryDir dir;
        const QString p = QDir(dir.path()).filePath(QStringLiteral("Priv"));
        f.db->setPrivateDir(p);
        QVERIFY(!QDir(p).exists());
        QCOMPARE(f.db->privateDir(), p);
        QVERIFY(QDir(p).exists());
    }
};

QTEST_GUILESS_MAIN(TstDatabase)
#include "tst_database.moc"
