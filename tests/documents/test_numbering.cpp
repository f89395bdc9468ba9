// Receipt and note numbers: provisional while typed, drawn when saved.
#include "data/Database.h"
#include "data/Dataset.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace brelvo;
using data::Table;

namespace {
qint64 codigo(Table &t) { return qint64(t.asFloat(QStringLiteral("Codigo"))); }
} // namespace

class TestNumbering : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nextNumber_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("receipts") << "cadastro.db";
        QTest::newRow("notes") << "BD_NP.db";
    }
    // 1 for an empty table, then the highest number plus one, whatever the
    // order the rows were stored in.
    void nextNumber()
    {
        QFETCH(QString, table);
        QTemporaryDir dir;
        auto db = data::Database::open(dir.path(), true);
        Table t(db, table);
        t.open();
        t.append();
        QCOMPARE(codigo(t), 1);
        t.cancel();
        for (int n : {5, 12, 7}) {
            t.append();
            t.setValue(QStringLiteral("Codigo"), n);
            t.post();
        }
        t.append();
        QCOMPARE(codigo(t), 13);
        t.post();
        QCOMPARE(codigo(t), 13);
    }

    // Two programs start a new document at once: both show 1, the second to
    // save gets 2; an edited document keeps its number.
    void twoProgramsNeverShareANumber_data() { nextNumber_data(); }
    void twoProgramsNeverShareANumber()
    {
        QFETCH(QString, table);
        QTemporaryDir dir;
        auto a = data::Database::open(dir.path(), true);
        auto b = data::Database::open(dir.path());
        Table ta(a, table), tb(b, table);
        ta.open();
        tb.open();
        ta.append();
        tb.append();
        QCOMPARE(codigo(ta), 1);
        QCOMPARE(codigo(tb), 1);
        ta.post();
        tb.post();
        QCOMPARE(codigo(ta), 1);
        QCOMPARE(codigo(tb), 2);

        ta.refresh();
        ta.first();
        ta.edit();
        ta.setValue(QStringLiteral("Cidade"), QStringLiteral("CAMPINAS"));
        ta.post();
        QCOMPARE(codigo(ta), 1);
        ta.append();
        QCOMPARE(codigo(ta), 3);
        ta.cancel();
        QCOMPARE(ta.recordCount(), 2);
        QVERIFY(!a->inTransaction());
    }
};

QTEST_GUILESS_MAIN(TestNumbering)
#include "test_numbering.moc"
