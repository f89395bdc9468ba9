// The rules under the finance windows: date boxes, the list filters as the
// data layer applies them, the numbering and the pick-list files.

#include "FinanceFixture.h"

#include "finance/PickList.h"
#include "finance/TitleFilters.h"

using namespace brelvo;
using namespace brelvo::finance;
using namespace fintest;

class RulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dateBoxes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QDate>("date");
        QTest::newRow("nothing typed") << u("  /  /    ") << true << QDate();
        QTest::newRow("mask blanks") << u("__/__/____") << true << QDate();
        QTest::newRow("empty") << QString() << true << QDate();
        QTest::newRow("date") << u("29/02/2028") << true << QDate(2028, 2, 29);
        QTest::newRow("not a leap year") << u("29/02/2027") << false << QDate();
        QTest::newRow("day 32") << u("32/01/2026") << false << QDate();
        QTest::newRow("month 13") << u("01/13/2026") << false << QDate();
        QTest::newRow("half typed") << u("12/0_/____") << false << QDate();
        QTest::newRow("two-digit year") << u("01/02/26__") << false << QDate();
    }
    void dateBoxes()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QDate, date);
        QDate got(1999, 1, 1);
        QString error;
        QCOMPARE(readDateBox(text, &got, &error), ok);
        QCOMPARE(got, date);
        QCOMPARE(error.isEmpty(), ok);
    }

    void ranges()
    {
        QString error;
        auto r = readRange(u("01/03/2026"), u("31/03/2026"), &error);
        QVERIFY(r && r->isSet());
        QCOMPARE(r->to, QDate(2026, 3, 31));
        r = readRange(u("01/03/2026"), u("  /  /    "), &error);
        QVERIFY(r && !r->isSet());
        r = readRange(u("31/04/2026"), u("  /  /    "), &error);
        QVERIFY(!r);
        QVERIFY(error.contains(u("31/04/2026")));
    }

    // Which rows each filter lets through, as the data layer applies it.
    void filtersSelectRows_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("codes");
        const DueRange march{QDate(2026, 3, 1), QDate(2026, 3, 31)};
        QTest::newRow("none") << titleFilter({}, PaidState::Any) << QStringList{"1", "2", "3", "4", "5", "6"};
        QTest::newRow("open") << titleFilter({}, PaidState::Open) << QStringList{"1", "3", "5"};
        QTest::newRow("paid") << titleFilter({}, PaidState::Paid) << QStringList{"2", "4", "6"};
        QTest::newRow("range") << titleFilter(march, PaidState::Any) << QStringList{"2", "3", "4"};
        QTest::newRow("range, open") << titleFilter(march, PaidState::Open) << QStringList{"3"};
        QTest::newRow("range, paid") << titleFilter(march, PaidState::Paid) << QStringList{"2", "4"};
        QTest::newRow("name in lower case") << titleFilter({}, PaidState::Any, u("Fantasia"), u("luz"))
                                            << QStringList{"1", "2"};
        QTest::newRow("name, paid") << titleFilter({}, PaidState::Paid, u("Fantasia"), u("luz")) << QStringList{"2"};
        QTest::newRow("range, name, open") << titleFilter(march, PaidState::Open, u("Fantasia"), u("Água"))
                                           << QStringList{"3"};
        QTest::newRow("name with a quote") << titleFilter({}, PaidState::Any, u("Fantasia"), u("d'or"))
                                           << QStringList{"6"};
        QTest::newRow("creditor") << titleFilter({}, PaidState::Any, u("Nome"), u("cemig")) << QStringList{"1", "2"};
        QTest::newRow("overdue before 15/03") << overdueFilter(QDate(2026, 3, 15)) << QStringList{"1"};
        QTest::newRow("reminder 31/03") << reminderFilter(QDate(2026, 3, 31)) << QStringList{"3"};
        QTest::newRow("reminder 01/03 (paid)") << reminderFilter(QDate(2026, 3, 1)) << QStringList{};
    }
    void filtersSelectRows()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, codes);
        Fixture f;
        f.receivable(1, "LUZ", 1, QDate(2026, 2, 28), QDate(), "CEMIG");
        f.receivable(2, "LUZ", 1, QDate(2026, 3, 1), QDate(2026, 3, 1), "CEMIG");
        f.receivable(3, "ÁGUA", 1, QDate(2026, 3, 31));
        f.receivable(4, "ÁGUA", 1, QDate(2026, 3, 20), QDate(1985, 5, 5));
        f.receivable(5, "GAS", 1, QDate(2026, 4, 1));
        f.receivable(6, "D'OR", 1, QDate(2026, 4, 2), QDate(2026, 4, 2));
        data::Table t(f.db, QStringLiteral("tbreceber.db"));
        t.setIndexName(QStringLiteral("byCodigo"));
        t.open();
        t.setFilter(filter);
        t.setFiltered(!filter.isEmpty());
        QCOMPARE(testdb::column(t, QStringLiteral("Codigo")), codes);
    }

    // Both title tables number over the whole table, whatever a cursor's filter
    // shows, and two desks appending at once never store the same number.
    void numbering_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("receber") << u("tbreceber.db");
        QTest::newRow("pagar") << u("tbpagar.db");
    }
    void numbering()
    {
        QFETCH(QString, table);
        Fixture f;
        f.title(table.toLatin1().constData(), 41, "A", 1, today());
        f.title(table.toLatin1().constData(), 7, "B", 1, today(), today());

        // A filter that shows only the paid row (the lower number).
        data::Table mine(f.db, table);
        mine.open();
        mine.setFilter(titleFilter({}, PaidState::Paid));
        mine.setFiltered(true);
        QCOMPARE(testdb::column(mine, u("Codigo")), QStringList{u("7")});

        auto otherDb = data::Database::open(f.db->folder(), false);
        data::Table theirs(otherDb, table);
        theirs.open();

        mine.append();
        theirs.append();
        QCOMPARE(mine.asInteger(u("Codigo")), qint64(42));
        QCOMPARE(theirs.asInteger(u("Codigo")), qint64(42));
        mine.setValue(u("Fantasia"), u("C"));
        mine.setValue(u("DataPagamento"), today()); // stays in the filter once stored
        theirs.setValue(u("Fantasia"), u("D"));
        theirs.post();
        mine.post();
        QCOMPARE(theirs.asInteger(u("Codigo")), qint64(42));
        QCOMPARE(mine.asInteger(u("Codigo")), qint64(43));

        // Editing keeps the number.
        mine.edit();
        mine.setValue(u("Fantasia"), u("E"));
        mine.post();
        QCOMPARE(f.stored(table.toLatin1().constData(), "Codigo"), (QStringList{"7", "41", "42", "43"}));
    }

    void pickListFiles()
    {
        Fixture f;
        QVERIFY(loadPickList(f.file("nao_existe.txt")).isEmpty());
        // Windows line ends, blank lines, a byte-order mark.
        f.writeFile("a.txt", "\xEF\xBB\xBFLUZ\r\n\r\nÁGUA\r\n  \r\nGAS");
        QCOMPARE(loadPickList(f.file("a.txt")), (QStringList{u("LUZ"), u("ÁGUA"), u("GAS")}));
        // A list written by an older installation in Windows-1252.
        f.writeFile("b.txt", "MANUTEN\xC7\xC3O\r\nPE\xC7" "AS\r\n");
        QCOMPARE(loadPickList(f.file("b.txt")), (QStringList{u("MANUTENÇÃO"), u("PEÇAS")}));
        QString error;
        QVERIFY(savePickList(f.file("c.txt"), {u("JOSÉ"), u("MARIA")}, &error));
        QCOMPARE(f.readFile("c.txt"), QByteArray("JOS\xC3\x89\r\nMARIA\r\n"));
        QCOMPARE(loadPickList(f.file("c.txt")), (QStringList{u("JOSÉ"), u("MARIA")}));
        QVERIFY(!savePickList(f.file("sem/pasta/c.txt"), {u("X")}, &error));
        QVERIFY(error.contains(u("Não foi possível gravar")));
    }
};

QTEST_MAIN(RulesTest)
#include "test_finance_rules.moc"
