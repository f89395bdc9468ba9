// Reading and writing outside a cursor: forward-only queries and set-based
// statements in one transaction.

#include "TestDb.h"
#include "data/Statement.h"
#include "data/Transaction.h"

using namespace brelvo::data;
using testdb::addRow;

class TstStatement : public QObject {
    Q_OBJECT

    static void products(const DatabasePtr &db, int n)
    {
        Table t(db, QStringLiteral("tbProdutos.db"));
        t.open();
        for (int i = 1; i <= n; ++i)
            addRow(t, {{"Codigo", double(i)}, {"Descricao", QStringLiteral("P%1").arg(i)}, {"Estoque", 0.0},
                       {"DataVencimento", QDate(2024, 1, i % 28 + 1)}});
    }

private Q_SLOTS:
    void forwardQueryReadsOnceInOrderWithParameters()
    {
        testdb::Fresh f;
        products(f.db, 300);
        ForwardQuery q(f.db, QStringLiteral("SELECT Codigo, Descricao, DataVencimento, (Codigo * 2) AS Dobro"
                                            " FROM \"tbProdutos.db\" WHERE Codigo > :desde ORDER BY Codigo DESC"));
        q.setParam(QStringLiteral(":desde"), 290);
        QList<int> codes;
        while (q.next()) {
            codes << q.value(QStringLiteral("codigo")).toInt();
            // Table columns come in their field type, computed ones as they are.
            QCOMPARE(q.value(2).metaType().id(), QMetaType::QDate);
            QCOMPARE(q.value(QStringLiteral("Dobro")).toInt(), codes.last() * 2);
        }
        QCOMPARE(codes, (QList<int>{300, 299, 298, 297, 296, 295, 294, 293, 292, 291}));
        QCOMPARE(q.columnNames(), (QStringList{"Codigo", "Descricao", "DataVencimento", "Dobro"}));
        // Past the end it stays there, with no current row.
        QVERIFY(!q.next());
        QVERIFY(q.value(0).isNull());

        // Rewound, it runs again with the parameters set by then.
        q.rewind();
        q.setParam(QStringLiteral("desde"), 298);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 300);
        q.rewind();
        QCOMPARE(q.scalar().toInt(), 300);

        // A read left half way does not hold back a writer on another connection.
        ForwardQuery half(f.db, QStringLiteral("SELECT Codigo FROM \"tbProdutos.db\""));
        QVERIFY(half.next());
        auto other = Database::open(f.db->folder(), false);
        other->setBusyTimeout(200);
        Statement zero(other, QStringLiteral("UPDATE \"tbProdutos.db\" SET Estoque = 1"));
        QCOMPARE(zero.run(), 300);

        QCOMPARE(ForwardQuery(f.db, QStringLiteral("SELECT Codigo FROM tbProdutos WHERE Codigo < 0")).scalar(), QVariant());
    }

    void forwardQueryRefusals()
    {
        testdb::Fresh f;
        // The users table keeps its password here too.
        try {
            ForwardQuery(f.db, QStringLiteral("SELECT LOGIN FROM USUARIOS")).next();
            QFAIL("read without the table password");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::WrongPassword);
        }
        ForwardQuery noParam(f.db, QStringLiteral("SELECT Codigo FROM tbProdutos WHERE Codigo = :c"));
        QVERIFY_THROWS_EXCEPTION(DbError, noParam.next());
        ForwardQuery noField(f.db, QStringLiteral("SELECT Nada FROM tbProdutos"));
        try {
            noField.next();
            QFAIL("unknown column read");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::FieldNotFound);
        }
    }

    void statementChangesAllRowsOrNone()
    {
        testdb::Fresh f;
        products(f.db, 50);
        Statement up(f.db, QStringLiteral("UPDATE \"tbProdutos.db\" SET Estoque = Codigo * :k WHERE Codigo <= :ate"));
        up.setParam(QStringLiteral("k"), 3);
        up.setParam(QStringLiteral("ate"), 20);
        QCOMPARE(up.run(), 20);
        QCOMPARE(ForwardQuery(f.db, QStringLiteral("SELECT Sum(Estoque) FROM tbProdutos")).scalar().toDouble(),
                 3.0 * 210);
        // Run again with other values: the same statement, rebound.
        up.setParam(QStringLiteral("k"), 0);
        up.setParam(QStringLiteral("ate"), 50);
        QCOMPARE(up.run(), 50);
        QVERIFY(!f.db->inTransaction());

        // A failure half way (the 2nd row would take the 1st one's code) leaves every row as it was.
        Statement clash(f.db, QStringLiteral("UPDATE \"tbProdutos.db\" SET Codigo = 1, Estoque = 9"));
        try {
            clash.run();
            QFAIL("key violation accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::KeyViolation);
        }
        QVERIFY(!f.db->inTransaction());
        QCOMPARE(ForwardQuery(f.db, QStringLiteral("SELECT Sum(Estoque) FROM tbProdutos")).scalar().toDouble(), 0.0);

        // Inside the caller's transaction it is one step of it: its failure
        // keeps the caller's earlier work, the caller's rollback undoes it.
        Table cats(f.db, QStringLiteral("tbCategoria.db"));
        cats.open();
        {
            Transaction tx(*f.db);
            addRow(cats, {{"Categoria", QStringLiteral("FILTROS")}});
            QVERIFY_THROWS_EXCEPTION(DbError, clash.run());
            Statement(f.db, QStringLiteral("UPDATE \"tbProdutos.db\" SET Estoque = 5")).run();
            QVERIFY(f.db->inTransaction());
            tx.commit();
        }
        cats.refresh();
        QCOMPARE(cats.recordCount(), 1);
        {
            Transaction tx(*f.db);
            Statement(f.db, QStringLiteral("UPDATE \"tbProdutos.db\" SET Estoque = 7")).run();
        }
        QCOMPARE(ForwardQuery(f.db, QStringLiteral("SELECT Max(Estoque) FROM tbProdutos")).scalar().toDouble(), 5.0);
    }

    void largeScanGivesTheMemoryBack()
    {
        testdb::Fresh f;
        products(f.db, 10);
        auto pragma = [&f](const char *name) {
            return ForwardQuery(f.db, QStringLiteral("PRAGMA ") + QLatin1String(name)).scalar().toLongLong();
        };
        const qint64 cache = pragma("cache_size"), mmap = pragma("mmap_size");
        Statement big(f.db, QStringLiteral("UPDATE \"tbProdutos.db\" SET Estoque = 1"));
        big.setLargeScan(true);
        QCOMPARE(big.run(), 10);
        QCOMPARE(pragma("cache_size"), cache);
        QCOMPARE(pragma("mmap_size"), mmap);
        // Also after a failure.
        Statement bad(f.db, QStringLiteral("UPDATE \"tbProdutos.db\" SET Codigo = 1"));
        bad.setLargeScan(true);
        QVERIFY_THROWS_EXCEPTION(DbError, bad.run());
        QCOMPARE(pragma("cache_size"), cache);
        QCOMPARE(pragma("mmap_size"), mmap);
    }

    void schemaChangeIsSeenByNewCursors()
    {
        testdb::Fresh f;
        Statement(f.db, QStringLiteral("ALTER TABLE tbMarcas ADD COLUMN Pais TEXT")).run();
        Table t(f.db, QStringLiteral("tbMarcas.db"));
        t.open();
        addRow(t, {{"Marca", QStringLiteral("BOSCH")}, {"Pais", QStringLiteral("ALEMANHA")}});
        QCOMPARE(t.asString(QStringLiteral("Pais")), QStringLiteral("ALEMANHA"));
    }
};

QTEST_GUILESS_MAIN(TstStatement)
#include "tst_statement.moc"
