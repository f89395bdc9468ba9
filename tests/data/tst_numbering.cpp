// Visible sequence numbers: the rules, the provisional number of a new row,
// and two desks (two connections, two programs) adding rows at once.

#include "TestDb.h"
#include "data/Numbering.h"
#include "data/Statement.h"
#include "data/Transaction.h"

#include <QProcess>
#include <QSet>

using namespace brelvo::data;
using testdb::addRow;

namespace {

// The writer run as a separate program: adds `count` customers to the
// database in `folder` the way a window does, as fast as it can.
int writer(const QString &folder, int count)
{
    try {
        auto db = Database::open(folder, false);
        db->setBusyTimeout(30000);
        Table t(db, QStringLiteral("tbCliente.DB"));
        t.open();
        for (int i = 0; i < count; ++i) {
            t.append();
            t.setValue(QStringLiteral("Nome"), QStringLiteral("DESK %1 ROW %2").arg(QCoreApplication::applicationPid()).arg(i));
            t.post();
        }
    } catch (const DbError &e) {
        fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}

QList<qint64> numbers(const DatabasePtr &db, const QString &table, const QString &field)
{
    QList<qint64> out;
    ForwardQuery q(db, QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY Chave").arg(field, table));
    while (q.next())
        out << q.value(0).toLongLong();
    return out;
}

} // namespace

class TstNumbering : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rules_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QList<int>>("existing");   // numbers in the order the rows were added
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("expected");
        const int highest = int(NumberRule::HighestPlusOne), last = int(NumberRule::LastPlusOne),
                  free = int(NumberRule::LastPlusOneFree);
        QTest::newRow("highest: empty table") << highest << QList<int>{} << 1 << 1;
        QTest::newRow("highest: whatever the order") << highest << QList<int>{5, 41, 12} << 1 << 42;
        QTest::newRow("last: empty table starts at first") << last << QList<int>{} << 500 << 500;
        QTest::newRow("last: not the highest") << last << QList<int>{5, 41, 12} << 1 << 13;
        QTest::newRow("last: a number no row has") << free << QList<int>{5, 41, 12} << 1 << 13;
        QTest::newRow("last: the next free one") << free << QList<int>{13, 14, 16, 12} << 1 << 15;
        QTest::newRow("last: starting number set on the last row") << free << QList<int>{3, 1000} << 1 << 1001;
        QTest::newRow("last: empty table") << free << QList<int>{} << 1 << 1;
    }

    void rules()
    {
        QFETCH(int, rule);
        QFETCH(QList<int>, existing);
        QFETCH(int, first);
        QFETCH(int, expected);
        testdb::Fresh f;
        const Numbering n{QStringLiteral("Codigo"), NumberRule(rule), first};
        Table t(f.db, QStringLiteral("TOrdemServico.DB"));
        t.setNumbering(n);
        t.open();
        for (int number : existing)
            addRow(t, {{"Codigo", number}});
        QCOMPARE(numbers(f.db, QStringLiteral("TOrdemServico.DB"), QStringLiteral("Codigo")),
                 QList<qint64>(existing.begin(), existing.end()));
        QCOMPARE(provisionalNumber(*f.db, QStringLiteral("TOrdemServico.DB"), n), qint64(expected));
        // The cursor shows it on a new row and stores it.
        t.append();
        QCOMPARE(t.asInteger(QStringLiteral("Codigo")), qint64(expected));
        t.post();
        QCOMPARE(t.asInteger(QStringLiteral("Codigo")), qint64(expected));
    }

    void drawnOnlyInsideTheWriteTransaction()
    {
        testdb::Fresh f;
        const Numbering n{QStringLiteral("Codigo"), NumberRule::HighestPlusOne, 1};
        QVERIFY_THROWS_EXCEPTION(DbError, drawNumber(*f.db, QStringLiteral("tbCliente.DB"), n));
        Transaction tx(*f.db);
        QCOMPARE(drawNumber(*f.db, QStringLiteral("tbCliente.DB"), n), 1);
        const Numbering wrong{QStringLiteral("Nada"), NumberRule::HighestPlusOne, 1};
        QVERIFY_THROWS_EXCEPTION(DbError, drawNumber(*f.db, QStringLiteral("tbCliente.DB"), wrong));
    }

    void twoDesksTypingAtOnce_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("customers") << "tbCliente.DB";
        QTest::newRow("suppliers") << "tbfornecedor.db";
        QTest::newRow("employees") << "tbFunciocario.db";
    }

    void twoDesksTypingAtOnce()
    {
        QFETCH(QString, table);
        testdb::Fresh f;
        auto other = Database::open(f.db->folder(), false);
        Table a(f.db, table), b(other, table);
        a.open();
        b.open();
        addRow(a, {{"Nome", QStringLiteral("ANTES")}});
        b.refresh();

        // Both desks start a new row and see the same provisional number, the
        // way the windows have always shown it (the highest number + 1).
        a.append();
        b.append();
        QCOMPARE(a.asInteger(QStringLiteral("Codigo")), 2);
        QCOMPARE(b.asInteger(QStringLiteral("Codigo")), 2);
        a.setValue(QStringLiteral("Codigo"), 2);     // a window that sets it itself
        a.setValue(QStringLiteral("Nome"), QStringLiteral("DESK A"));
        b.setValue(QStringLiteral("Nome"), QStringLiteral("DESK B"));
        a.post();
        b.post();
        QCOMPARE(a.asInteger(QStringLiteral("Codigo")), 2);
        QCOMPARE(b.asInteger(QStringLiteral("Codigo")), 3);     // the cursor shows the drawn number
        QCOMPARE(numbers(f.db, table, QStringLiteral("Codigo")), (QList<qint64>{1, 2, 3}));

        // A number typed over the provisional one stays when it is free, and
        // gives way to a drawn one when another row holds it.
        a.append();
        a.setValue(QStringLiteral("Codigo"), 50);
        a.post();
        b.append();
        b.setValue(QStringLiteral("Codigo"), 3);
        b.post();
        QCOMPARE(numbers(f.db, table, QStringLiteral("Codigo")), (QList<qint64>{1, 2, 3, 50, 51}));
        // A row whose number was cleared gets one.
        a.append();
        a.clearField(QStringLiteral("Codigo"));
        a.post();
        QCOMPARE(a.asInteger(QStringLiteral("Codigo")), 52);
    }

    void twoProgramsPostingAtOnce()
    {
        testdb::Fresh f;
        constexpr int kEach = 60;
        QList<QProcess *> desks;
        for (int i = 0; i < 2; ++i) {
            auto *p = new QProcess(this);
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--desk"), f.db->folder(), QString::number(kEach)});
            desks << p;
        }
        for (QProcess *p : desks) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }
        const QList<qint64> got = numbers(f.db, QStringLiteral("tbCliente.DB"), QStringLiteral("Codigo"));
        QCOMPARE(got.size(), 2 * kEach);
        QList<qint64> sorted = got;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < sorted.size(); ++i)
            QCOMPARE(sorted[i], qint64(i + 1));      // 1 .. 120, none twice, none skipped
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--desk") == 0)
        return writer(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    TstNumbering t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "tst_numbering.moc"
