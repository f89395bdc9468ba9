// Receipt and note numbers drawn when saving.
#include "data/Database.h"
#include "data/Dataset.h"
#include "documents/Numbering.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace brelvo;
using data::Table;

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
        QCOMPARE(documents::proximoNumero(db, table), 1);
        Table t(db, table);
        t.open();
        for (int n : {5, 12, 7}) {
            t.append();
            t.setValue(QStringLiteral("Codigo"), n);
            t.post();
        }
        QCOMPARE(documents::proximoNumero(db, table), 13);
    }

    // Two programs start a new receipt at once: both show 1, the second to
    // save gets 2; an edited receipt keeps its number.
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
        QCOMPARE(documents::proximoNumero(a, table), 1);
        QCOMPARE(documents::proximoNumero(b, table), 1);
        documents::gravarNumerado(ta);
        documents::gravarNumerado(tb);
        QCOMPARE(ta.asInteger(QStringLiteral("Codigo")), 1);
        QCOMPARE(tb.asInteger(QStringLiteral("Codigo")), 2);

        ta.refresh();
        ta.first();
        ta.edit();
        ta.setValue(QStringLiteral("Cidade"), QStringLiteral("CAMPINAS"));
        documents::gravarNumerado(ta);
        QCOMPARE(ta.asInteger(QStringLiteral("Codigo")), 1);
        QCOMPARE(documents::proximoNumero(a, table), 3);
        QCOMPARE(ta.recordCount(), 2);
        QVERIFY(!a->inTransaction());
    }
};

QTEST_GUILESS_MAIN(TestNumbering)
#include "test_numbering.moc"
