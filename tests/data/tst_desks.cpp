// Several desks on one database, each a separate program: sales and orders
// posted at once, edits of one row racing each other, and a desk killed in
// the middle of its work.

#include "TestDb.h"
#include "data/Statement.h"

#include <QProcess>
#include <QSet>
#include <QThread>
#include <csignal>

using namespace brelvo::data;

namespace {

constexpr int kEach = 500;      // sales and orders per desk

void say(const QByteArray &line)
{
    fputs(line.constData(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

// A sale with two lines, posted as the till does: the sale first (its number
// drawn then), then each line.
void postSale(Table &sales, Table &items, int i)
{
    sales.append();
    sales.setValue(QStringLiteral("DtVenda"), QDate::currentDate());
    sales.setValue(QStringLiteral("NomeCliente"), QStringLiteral("DESK %1").arg(QCoreApplication::applicationPid()));
    sales.setValue(QStringLiteral("VrVenda"), 10.0 + i);
    sales.post();
    const qint64 chave = sales.asInteger(QStringLiteral("Chave"));
    for (int l = 0; l < 2; ++l) {
        items.append();
        items.setValue(QStringLiteral("Link"), chave);
        items.setValue(QStringLiteral("CodBarra"), 1000 + l);
        items.setValue(QStringLiteral("Qtd"), 1);
        items.setValue(QStringLiteral("ValorUni"), 5.0);
        items.post();
    }
    say("S " + QByteArray::number(chave) + ' ' + QByteArray::number(sales.asInteger(QStringLiteral("CodVenda"))));
}

void postOrder(Table &orders, Table &items, int i)
{
    orders.append();
    orders.setValue(QStringLiteral("Data"), QDate::currentDate());
    orders.setValue(QStringLiteral("OsOc"), QStringLiteral("PV"));
    orders.setValue(QStringLiteral("Andamento"), QStringLiteral("EM ABERTO"));
    orders.setValue(QStringLiteral("Placa"), QStringLiteral("ABC%1").arg(i % 10000, 4, 10, QLatin1Char('0')));
    orders.post();
    const qint64 chave = orders.asInteger(QStringLiteral("Chave"));
    for (int l = 0; l < 2; ++l) {
        items.append();
        items.setValue(QStringLiteral("CodVenda"), chave);
        items.setValue(QStringLiteral("CodBarra"), 2000 + l);
        items.setValue(QStringLiteral("Qtd"), 2);
        items.setValue(QStringLiteral("ValorUni"), 7.5);
        items.post();
    }
    say("O " + QByteArray::number(chave) + ' ' + QByteArray::number(orders.asInteger(QStringLiteral("Codigo"))));
}

// Desk program: `count` sales and `count` orders, one after the other,
// each acknowledged on stdout once stored.
int postingDesk(const QString &folder, int count)
{
    try {
        auto db = Database::open(folder, false);
        db->setBusyTimeout(60000);
        Table sales(db, QStringLiteral("tbVendas.db")), saleItems(db, QStringLiteral("tbItems.DB"));
        Table orders(db, QStringLiteral("TOrdemServico.DB")), orderItems(db, QStringLiteral("tbitemsordem.db"));
        for (Table *t : {&sales, &saleItems, &orders, &orderItems})
            t->open();
        for (int i = 0; i < count; ++i) {
            postSale(sales, saleItems, i);
            postOrder(orders, orderItems, i);
        }
    } catch (const DbError &e) {
        fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}

// Desk program: adds 1 to the price of product 1, `count` times, as a window
// edit does (read, change, store). A store over a row another desk changed
// since it was read is refused; the desk then reads it again and retries.
int bumpingDesk(const QString &folder, int count)
{
    int refused = 0;
    try {
        auto db = Database::open(folder, false);
        db->setBusyTimeout(60000);
        Table t(db, QStringLiteral("tbProdutos.DB"));
        t.setIndexName(QStringLiteral("byCodigo"));
        t.open();
        for (int done = 0; done < count;) {
            t.refresh();
            if (!t.findKey({1}))
                return 2;
            t.edit();
            t.setValue(QStringLiteral("Valor"), t.asFloat(QStringLiteral("Valor")) + 1);
            QThread::usleep(1000);      // the operator's typing time
            try {
                t.post();
                ++done;
            } catch (const DbError &e) {
                if (e.kind() != DbError::Kind::RecordLocked)
                    throw;
                t.cancel();
                ++refused;
            }
        }
    } catch (const DbError &e) {
        fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    say("refused " + QByteArray::number(refused));
    return 0;
}

QProcess *startDesk(QObject *parent, const QString &mode, const QString &folder, int count)
{
    auto *p = new QProcess(parent);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->setReadChannel(QProcess::StandardOutput);
    p->start(QCoreApplication::applicationFilePath(), {mode, folder, QString::number(count)});
    return p;
}

// "S chave number" / "O chave number" lines of a desk.
struct Acks {
    QList<QPair<qint64, qint64>> sales, orders;
    void read(QProcess *p)
    {
        while (p->canReadLine()) {
            const QList<QByteArray> w = p->readLine().trimmed().split(' ');
            if (w.size() != 3)
                continue;
            (w[0] == "S" ? sales : orders) << qMakePair(w[1].toLongLong(), w[2].toLongLong());
        }
    }
};

QList<qint64> column(const DatabasePtr &db, const QString &sql)
{
    QList<qint64> out;
    ForwardQuery q(db, sql);
    while (q.next())
        out << q.value(0).toLongLong();
    return out;
}

qint64 scalar(const DatabasePtr &db, const QString &sql)
{
    const QList<qint64> v = column(db, sql);
    return v.isEmpty() ? -1 : v.first();
}

// Numbers 1..n, each once.
bool oneToN(QList<qint64> numbers, qint64 n)
{
    std::sort(numbers.begin(), numbers.end());
    if (numbers.size() != n)
        return false;
    for (qint64 i = 0; i < n; ++i)
        if (numbers[int(i)] != i + 1)
            return false;
    return true;
}

} // namespace

class TstDesks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoDesksPostSalesAndOrdersAtOnce()
    {
        testdb::Fresh f;
        QList<QProcess *> desks{startDesk(this, QStringLiteral("--post"), f.db->folder(), kEach),
                                startDesk(this, QStringLiteral("--post"), f.db->folder(), kEach)};
        Acks acks;
        for (QProcess *p : desks) {
            QVERIFY(p->waitForFinished(600000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
            acks.read(p);
        }
        QCOMPARE(acks.sales.size(), 2 * kEach);
        QCOMPARE(acks.orders.size(), 2 * kEach);

        // Every row there, none twice; visible numbers 1..1000 without a repeat.
        QVERIFY(oneToN(column(f.db, QStringLiteral("SELECT CodVenda FROM tbvendas")), 2 * kEach));
        QVERIFY(oneToN(column(f.db, QStringLiteral("SELECT Codigo FROM tordemservico")), 2 * kEach));
        QCOMPARE(scalar(f.db, QStringLiteral("SELECT count(*) FROM tbitems")), qint64(4 * kEach));
        QCOMPARE(scalar(f.db, QStringLiteral("SELECT count(*) FROM tbitemsordem")), qint64(4 * kEach));
        // Each line belongs to a sale or order of its desk's acknowledgement.
        QCOMPARE(scalar(f.db, QStringLiteral("SELECT count(*) FROM tbitems i JOIN tbvendas v ON v.Chave = i.Link")),
                 qint64(4 * kEach));
        QCOMPARE(scalar(f.db, QStringLiteral("SELECT count(*) FROM tbitemsordem i JOIN tordemservico o "
                                             "ON o.Chave = i.CodVenda")),
                 qint64(4 * kEach));
        // What a desk was told is what is stored.
        for (const auto &[chave, number] : std::as_const(acks.sales))
            QCOMPARE(scalar(f.db, QStringLiteral("SELECT CodVenda FROM tbvendas WHERE Chave = %1").arg(chave)), number);
        for (const auto &[chave, number] : std::as_const(acks.orders))
            QCOMPARE(scalar(f.db, QStringLiteral("SELECT Codigo FROM tordemservico WHERE Chave = %1").arg(chave)),
                     number);
    }

    void editsOfOneRowNeverOverwriteEachOther()
    {
        testdb::Fresh f;
        {
            Table p(f.db, QStringLiteral("tbProdutos.DB"));
            p.open();
            testdb::addRow(p, {{"Codigo", 1}, {"Descricao", QStringLiteral("FILTRO")}, {"Valor", 0.0}});
        }
        constexpr int kBumps = 200;
        QList<QProcess *> desks{startDesk(this, QStringLiteral("--bump"), f.db->folder(), kBumps),
                                startDesk(this, QStringLiteral("--bump"), f.db->folder(), kBumps)};
        int refused = 0;
        for (QProcess *p : desks) {
            QVERIFY(p->waitForFinished(600000));
            QCOMPARE(p->exitCode(), 0);
            const QByteArray out = p->readAllStandardOutput().trimmed();
            QVERIFY2(out.startsWith("refused "), out.constData());
            refused += out.mid(8).toInt();
        }
        // 400 stores went through and every one counted: a store over a changed
        // row was refused, never written over the other desk's.
        Table p(f.db, QStringLiteral("tbProdutos.DB"));
        p.open();
        QCOMPARE(p.asFloat(QStringLiteral("Valor")), double(2 * kBumps));
        qInfo("stores refused and retried: %d", refused);
    }

    void aKilledDeskLosesNothingItWasToldWasStored()
    {
        testdb::Fresh f;
        QProcess *desk = startDesk(this, QStringLiteral("--post"), f.db->folder(), 100000);
        Acks acks;
        QElapsedTimer clock;
        clock.start();
        while (acks.sales.size() < 150 && clock.elapsed() < 120000) {
            desk->waitForReadyRead(1000);
            acks.read(desk);
        }
        QVERIFY(acks.sales.size() >= 150);
        ::kill(pid_t(desk->processId()), SIGKILL);
        QVERIFY(desk->waitForFinished(30000));
        acks.read(desk);

        auto db = Database::open(f.db->folder(), false);
        for (const auto &[chave, number] : std::as_const(acks.sales))
            QCOMPARE(scalar(db, QStringLiteral("SELECT CodVenda FROM tbvendas WHERE Chave = %1").arg(chave)), number);
        for (const auto &[chave, number] : std::as_const(acks.orders))
            QCOMPARE(scalar(db, QStringLiteral("SELECT Codigo FROM tordemservico WHERE Chave = %1").arg(chave)),
                     number);
        // A desk started afterwards carries on: nothing left locked, no number given twice.
        QProcess *next = startDesk(this, QStringLiteral("--post"), f.db->folder(), 20);
        QVERIFY(next->waitForFinished(120000));
        QCOMPARE(next->exitCode(), 0);
        const qint64 sales = scalar(db, QStringLiteral("SELECT count(*) FROM tbvendas"));
        QCOMPARE(scalar(db, QStringLiteral("SELECT count(DISTINCT CodVenda) FROM tbvendas")), sales);
        QCOMPARE(scalar(db, QStringLiteral("SELECT max(CodVenda) FROM tbvendas")), sales);
        const qint64 orders = scalar(db, QStringLiteral("SELECT count(*) FROM tordemservico"));
        QCOMPARE(scalar(db, QStringLiteral("SELECT count(DISTINCT Codigo) FROM tordemservico")), orders);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--post") == 0)
        return postingDesk(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    if (argc == 4 && qstrcmp(argv[1], "--bump") == 0)
        return bumpingDesk(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    TstDesks t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "tst_desks.moc"
