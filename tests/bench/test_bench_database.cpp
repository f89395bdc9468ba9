// Where the benchmarks find their generated database: the location from the
// environment, a folder opened as it is, a server address never generated into.

#include "BenchDatabase.h"

#include "data/Statement.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace brelvo;

class TestBenchDatabase : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        qunsetenv(data::Database::kFolderServerVariable);
        for (const char *v : {"BENCH_A", "BENCH_B"})
            qunsetenv(v);
    }

    void location_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none set") << QString() << QString() << "/fallback";
        QTest::newRow("first wins") << "/pasta/a" << "/pasta/b" << "/pasta/a";
        QTest::newRow("blank skipped") << "   " << "postgresql://u@h:5432/b" << "postgresql://u@h:5432/b";
        QTest::newRow("second only") << QString() << "/pasta/b" << "/pasta/b";
        QTest::newRow("trimmed") << " /pasta/a " << QString() << "/pasta/a";
    }
    void location()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, expected);
        if (!a.isNull())
            qputenv("BENCH_A", a.toUtf8());
        if (!b.isNull())
            qputenv("BENCH_B", b.toUtf8());
        QCOMPARE(bench::benchLocation({"BENCH_A", "BENCH_B"}, QStringLiteral("/fallback")), expected);
    }

    // A folder that holds a database is opened as it is: nothing generated into it.
    void existingFolderOpenedAsItIs()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        data::Database::open(dir.path(), true).reset();
        auto db = bench::openGenerated(dir.path());
        QVERIFY(db);
        QVERIFY(!db->onServer());
        data::ForwardQuery q(db, QStringLiteral("SELECT count(*) FROM \"tbProdutos.db\""));
        QCOMPARE(q.scalar().toLongLong(), 0);
    }

    // A server address without a database is refused with the way to fill it,
    // and no folder named after the address appears.
    void serverWithoutDatabaseRefused()
    {
        QTemporaryDir cwd;
        QVERIFY(cwd.isValid());
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(cwd.path()));
        const QString uri = QStringLiteral("postgresql://brelvo@127.0.0.1:1/brelvo");
        bool refused = false;
        try {
            bench::openGenerated(uri);
        } catch (const data::DbError &e) {
            refused = true;
            QCOMPARE(e.kind(), data::DbError::Kind::NotOpen);
            QVERIFY2(e.message().contains(QLatin1String("brelvo-pgcopy")), qPrintable(e.message()));
            QVERIFY(e.message().contains(uri));
        }
        const QStringList left = QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QDir::setCurrent(before);
        QVERIFY(refused);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(','))));
    }
};

QTEST_GUILESS_MAIN(TestBenchDatabase)
#include "test_bench_database.moc"
