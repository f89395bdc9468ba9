// The same rows on SQLite and on the PostgreSQL server must read back the
// same: Portuguese ordering of text keys, searches, filters and ranges.
// Runs only where the test harness gives a server.

#include "TestDb.h"
#include "data/Database.h"
#include "data/DatabaseCopy.h"
#include "data/Dataset.h"
#include "data/Statement.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace brelvo::data;

namespace {

// Names chosen to tell the rules apart: accents only break ties, case never
// counts, code point order for the rest (digits and signs before letters).
const QStringList kNames = {
    u"ÁGUA"_qs,  u"agua"_qs,   u"Água"_qs,   u"AGUA 2"_qs, u"AGUAS"_qs,  u"ABACAXI"_qs, u"árvore"_qs,
    u"ARVORE"_qs, u"Çedilha"_qs, u"cedilha"_qs, u"CEDRO"_qs, u"ZEBRA"_qs, u"zé"_qs,     u"ZÉ"_qs,
    u"ZE"_qs,    u"É"_qs,      u"e"_qs,      u"a b"_qs,    u"a-b"_qs,    u"ab"_qs,      u"1ABC"_qs,
    u"Ñandu"_qs, u"nandu"_qs,  u"ÿ"_qs,      u"ß"_qs,      u"O'BRIEN"_qs, u"ÔNIBUS"_qs, u"onibus"_qs,
    u"Ønibus"_qs, u"JOÃO"_qs,  u"joao"_qs,   u"João"_qs,   u"JOAQUIM"_qs, u"~TIL"_qs,   u"ZZ"_qs,
};

struct Pair {
    QTemporaryDir sqliteDir, serverDir;
    DatabasePtr lite, server;

    Pair()
    {
        const QByteArray uri = qgetenv(Database::kFolderServerVariable);
        qunsetenv(Database::kFolderServerVariable);
        lite = Database::open(sqliteDir.path(), true);
        qputenv(Database::kFolderServerVariable, uri);
        server = Database::open(serverDir.path(), true);
    }

    static void fill(const DatabasePtr &db)
    {
        Table t(db, u"tbCliente.DB"_qs);
        t.open();
        int n = 0;
        for (const QString &name : kNames)
            testdb::addRow(t, {{"Nome", name}, {"Cidade", n++ % 3 == 0 ? QVariant() : QVariant(u"LINS"_qs)}});
        testdb::addRow(t, {{"Cidade", u"SEM NOME"_qs}});      // an empty key sorts first
    }
};

QStringList names(Table &t)
{
    QStringList out;
    t.first();
    while (!t.eof()) {
        out << (t.isNull(u"Nome"_qs) ? u"<vazio>"_qs : t.asString(u"Nome"_qs));
        t.next();
    }
    return out;
}

QStringList namesBackwards(Table &t)
{
    QStringList out;
    t.last();
    while (!t.bof()) {
        out.prepend(t.isNull(u"Nome"_qs) ? u"<vazio>"_qs : t.asString(u"Nome"_qs));
        t.prior();
    }
    return out;
}

} // namespace

class TstEngines : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty(Database::kFolderServerVariable))
            QSKIP("no test server");
    }

    void sameOrderOnBothEngines()
    {
        Pair p;
        QVERIFY(!p.lite->onServer());
        QVERIFY(p.server->onServer());
        Pair::fill(p.lite);
        Pair::fill(p.server);
        Table a(p.lite, u"tbCliente.DB"_qs), b(p.server, u"tbCliente.DB"_qs);
        for (Table *t : {&a, &b}) {
            t->setIndexName(u"byNome"_qs);
            t->open();
        }
        const QStringList order = names(a);
        QCOMPARE(order.size(), kNames.size() + 1);
        QCOMPARE(names(b), order);
        QCOMPARE(namesBackwards(b), order);
        QCOMPARE(order.first(), u"<vazio>"_qs);
        // Accents and case only break ties: every AGUA before AGUA 2, ÁGUA with agua.
        QVERIFY(order.indexOf(u"agua"_qs) < order.indexOf(u"AGUA 2"_qs));
        QVERIFY(order.indexOf(u"ÁGUA"_qs) < order.indexOf(u"AGUA 2"_qs));
        QVERIFY(order.indexOf(u"JOAQUIM"_qs) > order.indexOf(u"João"_qs));
    }

    void sameSearchesFiltersAndRanges_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("nearest");
        QTest::addColumn<QString>("rangeFrom");
        QTest::addColumn<QString>("rangeTo");
        QTest::newRow("prefix") << u"Nome = 'AGUA*'"_qs << u"agu"_qs << u"A"_qs << u"B"_qs;
        QTest::newRow("accented value") << u"Nome = 'João'"_qs << u"JOÃ"_qs << u"J"_qs << u"JOAO"_qs;
        QTest::newRow("comparison and empty") << u"Nome < 'C' or Cidade = null"_qs << u"ç"_qs << u"c"_qs << u"z"_qs;
        QTest::newRow("not and quotes") << u"not Nome = 'O''BRIEN' and Cidade = 'LINS'"_qs << u"o'b"_qs << u"O"_qs
                                        << u"P"_qs;
        QTest::newRow("beyond the end") << u"Nome > 'ZZ'"_qs << u"ZZZ"_qs << u"ZZZ"_qs << u"ZZZZ"_qs;
    }

    void sameSearchesFiltersAndRanges()
    {
        QFETCH(QString, filter);
        QFETCH(QString, nearest);
        QFETCH(QString, rangeFrom);
        QFETCH(QString, rangeTo);
        Pair p;
        Pair::fill(p.lite);
        Pair::fill(p.server);
        Table a(p.lite, u"tbCliente.DB"_qs), b(p.server, u"tbCliente.DB"_qs);
        QStringList seen[2];
        int i = 0;
        for (Table *t : {&a, &b}) {
            t->setIndexName(u"byNome"_qs);
            t->open();
            QStringList &out = seen[i++];
            t->findNearest({nearest});
            out << u"nearest:"_qs + (t->eof() ? u"<fim>"_qs : t->asString(u"Nome"_qs));
            out << u"findKey:"_qs + (t->findKey({nearest}) ? t->asString(u"Nome"_qs) : u"<não>"_qs);
            out << u"locate:"_qs
                    + (t->locate(u"Nome"_qs, {nearest}, Table::CaseInsensitive | Table::PartialKey)
                           ? t->asString(u"Nome"_qs)
                           : u"<não>"_qs);
            t->setFilter(filter);
            t->setFiltered(true);
            out << u"filter:"_qs << names(*t);
            t->setFiltered(false);
            t->setRange({rangeFrom}, {rangeTo});
            out << u"range:"_qs << names(*t) << namesBackwards(*t);
            t->cancelRange();
        }
        QCOMPARE(seen[1], seen[0]);
        QVERIFY(seen[0].size() > 5);
    }

    void copyFromSqliteChecksOut()
    {
        Pair p;
        Pair::fill(p.lite);
        {
            Table brands(p.lite, u"tbMarcas.db"_qs);
            brands.open();
            testdb::addRow(brands, {{"Marca", u"TAB\tE\\BARRA\nLINHA"_qs}});   // COPY's own signs
        }
        const CopyReport report = copyDatabase(*p.lite, *p.server);
        QVERIFY2(report.ok(), qPrintable(report.lines().join(u'\n')));
        QCOMPARE(report.lines().last().left(15), u"Cópia conferida"_qs);
        auto rowsOf = [](const DatabasePtr &db) {
            Table t(db, u"tbCliente.DB"_qs);
            t.open();
            QStringList out;
            for (t.first(); !t.eof(); t.next())
                out << t.asString(u"Chave"_qs) + u':' + t.asString(u"Codigo"_qs) + u':' + t.asString(u"Nome"_qs);
            return out;
        };
        QCOMPARE(rowsOf(p.server), rowsOf(p.lite));
        Table brands(p.server, u"tbMarcas.db"_qs);
        brands.open();
        QVERIFY(brands.locate(u"Marca"_qs, {u"TAB\tE\\BARRA\nLINHA"_qs}));
        // AutoInc keys and visible numbers carry on after the copied ones.
        Table a(p.lite, u"tbCliente.DB"_qs), b(p.server, u"tbCliente.DB"_qs);
        for (Table *t : {&a, &b}) {
            t->open();
            testdb::addRow(*t, {{"Nome", u"NOVO"_qs}});
        }
        QCOMPARE(b.asString(u"Chave"_qs), a.asString(u"Chave"_qs));
        QCOMPARE(b.asString(u"Codigo"_qs), a.asString(u"Codigo"_qs));
        // The check sees a difference, and a second copy into a used database is refused.
        const CopyReport after = compareDatabases(*p.lite, *p.server);
        QVERIFY(after.ok());
        Statement(p.server, u"UPDATE tbCliente SET Codigo = Codigo + 1 WHERE Nome = 'ZEBRA'"_qs).run();
        const CopyReport changed = compareDatabases(*p.lite, *p.server);
        QVERIFY(!changed.ok());
        QVERIFY(changed.lines().join(u'\n').contains(u"soma de Codigo"_qs));
        QVERIFY_THROWS_EXCEPTION(DbError, copyDatabase(*p.lite, *p.server));
    }

    // Text against a number column reads as the number it spells, and text
    // that spells none finds nothing, without an error, on either engine.
    void textAgainstNumberColumns_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("rows");
        const QString byCode = u"select Nome from tbCliente where Codigo = :v"_qs;
        const QString byValue = u"select Chave from tbVendas where VrVenda = :v"_qs;
        QTest::newRow("letters") << byCode << QVariant(u"abc"_qs) << 0;
        QTest::newRow("widening text") << byCode << QVariant(u"0 or 1=1"_qs) << 0;
        QTest::newRow("zeros and blanks") << byCode << QVariant(u" 0007 "_qs) << 1;
        QTest::newRow("whole with a point") << byCode << QVariant(u"7.0"_qs) << 1;
        QTest::newRow("fraction in a whole column") << byCode << QVariant(u"7.5"_qs) << 0;
        QTest::newRow("exponent") << byCode << QVariant(u"1e1"_qs) << 1;
        QTest::newRow("too big") << byCode << QVariant(u"99999999999999999999"_qs) << 0;
        QTest::newRow("fraction as a number") << byCode << QVariant(7.5) << 0;
        QTest::newRow("money as text") << byValue << QVariant(u"12.50"_qs) << 1;
        QTest::newRow("money with a comma") << byValue << QVariant(u"12,50"_qs) << 0;
        QTest::newRow("money as letters") << byValue << QVariant(u"doze"_qs) << 0;
    }

    void textAgainstNumberColumns()
    {
        QFETCH(QString, sql);
        QFETCH(QVariant, value);
        QFETCH(int, rows);
        Pair p;
        for (const DatabasePtr &db : {p.lite, p.server}) {
            Pair::fill(db);
            Table sales(db, u"tbVendas.db"_qs);
            sales.open();
            testdb::addRow(sales, {{"VrVenda", 12.5}});
            testdb::addRow(sales, {{"VrVenda", 3.0}});
            Query q(db);
            q.setSql(sql);
            q.setParam(u"v"_qs, value);
            q.open();
            QCOMPARE(q.recordCount(), rows);
        }
    }

    // A write with such text is refused with a clear message, never stored.
    void textIntoANumberColumnIsRefused()
    {
        Pair p;
        Pair::fill(p.server);
        try {
            Statement st(p.server, u"UPDATE tbCliente SET Codigo = :v WHERE Nome = 'ZEBRA'"_qs);
            st.setParam(u"v"_qs, u"abc"_qs);
            st.run();
            QFAIL("text stored in a number column");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::InvalidValue);
            QVERIFY2(e.message().startsWith(u"Valor inválido"_qs), qPrintable(e.message()));
        }
        ForwardQuery q(p.server, u"select count(*) from tbCliente where Codigo is null"_qs);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }

    // A case-sensitive prefix locate reads a range of an index comparing
    // text as stored; the same rows on both engines.
    void storedPrefixLocate()
    {
        Pair p;
        QStringList found[2];
        int i = 0;
        for (const DatabasePtr &db : {p.lite, p.server}) {
            Table orders(db, u"TOrdemServico.DB"_qs);
            orders.open();
            for (const char *plate : {"ABC1234", "abc1235", "ABD0001", "AB", "ABC"})
                testdb::addRow(orders, {{"Placa", QString::fromLatin1(plate)}, {"OsOc", u"OS"_qs}});
            for (const QString &prefix : {u"ABC"_qs, u"abc"_qs, u"AB"_qs, u"ABE"_qs}) {
                found[i] << prefix + u':'
                        + (orders.locate(u"Placa"_qs, {prefix}, Table::PartialKey) ? orders.asString(u"Placa"_qs)
                                                                                   : u"<não>"_qs);
            }
            ++i;
        }
        QCOMPARE(found[1], found[0]);
        QVERIFY(found[0].contains(u"abc:abc1235"_qs));
        QVERIFY(found[0].contains(u"ABE:<não>"_qs));
        for (const char *off : {"enable_seqscan", "enable_bitmapscan"})
            Statement(p.server, u"SET "_qs + QLatin1String(off) + u" = off"_qs).run();
        ForwardQuery plan(p.server, u"EXPLAIN SELECT rowid FROM TOrdemServico WHERE (Placa >= 'AB' AND Placa < 'AC')"_qs);
        QString text;
        while (plan.next())
            text += plan.value(0).toString() + u'\n';
        QVERIFY2(text.contains(u"Index"_qs) && text.contains(u"placa"_qs), qPrintable(text));
        for (const char *off : {"enable_seqscan", "enable_bitmapscan"})
            Statement(p.server, u"RESET "_qs + QLatin1String(off)).run();
    }

    void textKeysAreReadThroughTheirIndex()
    {
        Pair p;
        Pair::fill(p.server);
        // With whole-table and bitmap reads ruled out the plan must walk an
        // index on the text key: the order and the keyset comparison use the
        // expression the index is built on, so no sort is needed.
        for (const char *off : {"enable_seqscan", "enable_bitmapscan"})
            Statement(p.server, u"SET "_qs + QLatin1String(off) + u" = off"_qs).run();
        ForwardQuery plan(p.server, u"EXPLAIN SELECT rowid FROM tbCliente WHERE brelvo_ptbr(Nome) > brelvo_ptbr('M') "
                                    "ORDER BY brelvo_ptbr(Nome) NULLS FIRST, rowid LIMIT 32"_qs);
        QString text;
        while (plan.next())
            text += plan.value(0).toString() + u'\n';
        QVERIFY2(text.contains(u"Index Scan using ix_tbcliente"_qs) && !text.contains(u"Sort"_qs), qPrintable(text));
        for (const char *off : {"enable_seqscan", "enable_bitmapscan"})
            Statement(p.server, u"RESET "_qs + QLatin1String(off)).run();
    }

    // A Number field that refers to an AutoInc (an order's lines by CodVenda,
    // as the stock balance joins them) finds its row through an index, not by
    // reading every order.
    void numberToAutoIncJoinUsesAnIndex()
    {
        Pair p;
        Statement(p.server, u"SET enable_seqscan = off"_qs).run();
        ForwardQuery plan(p.server, u"EXPLAIN SELECT SUM(i.Qtd) FROM tbitemsordem i JOIN TOrdemServico o "
                                    "ON o.Chave = i.CodVenda WHERE i.CodBarra = 7 AND o.OsOc = 'PV'"_qs);
        QString text;
        while (plan.next())
            text += plan.value(0).toString() + u'\n';
        Statement(p.server, u"RESET enable_seqscan"_qs).run();
        QVERIFY2(text.contains(u"Index Cond: ((chave)::double precision = i.codvenda)"_qs), qPrintable(text));
        QVERIFY2(!text.contains(u"Seq Scan on tordemservico"_qs), qPrintable(text));
    }

    // A server database made by an earlier version (the shared numbering
    // trigger, no index of the order key as a double) is brought up to date
    // when a program connects to it.
    void olderServerDatabaseIsUpgraded()
    {
        Pair p;
        const auto one = [&](const QString &sql) {
            ForwardQuery q(p.server, sql);
            return q.next() ? q.value(0).toString() : QString();
        };
        const QString doubleIndex = u"SELECT CAST(indexname AS text) FROM pg_indexes WHERE schemaname = current_schema() "
                                    "AND tablename = 'tordemservico' AND indexdef LIKE '%::double precision)%'"_qs;
        const QString triggerFunction = u"SELECT CAST(p.proname AS text) FROM pg_trigger t JOIN pg_proc p ON p.oid = t.tgfoid "
                                        "WHERE t.tgname = 'tbitems_autoinc' AND t.tgrelid = CAST('tbitems' AS regclass)"_qs;
        const QString ix = one(doubleIndex);
        QVERIFY(!ix.isEmpty());
        Statement(p.server, u"DROP INDEX "_qs + ix).run();
        Statement(p.server, u"CREATE FUNCTION brelvo_autoinc() RETURNS trigger LANGUAGE plpgsql "
                            "AS 'BEGIN RETURN NULL; END'"_qs).run();
        Statement(p.server, u"DROP TRIGGER tbitems_autoinc ON tbitems"_qs).run();
        Statement(p.server, u"CREATE TRIGGER tbitems_autoinc AFTER INSERT ON tbitems FOR EACH STATEMENT "
                            "EXECUTE FUNCTION brelvo_autoinc('chave')"_qs).run();
        QVERIFY(one(doubleIndex).isEmpty());
        QCOMPARE(one(triggerFunction), u"brelvo_autoinc"_qs);

        DatabasePtr again = Database::open(p.serverDir.path(), false);
        QVERIFY(!one(doubleIndex).isEmpty());
        QCOMPARE(one(triggerFunction), u"tbitems_autoinc"_qs);
        // and the trigger does its work: a row given its number moves the numbering on
        Statement(again, u"INSERT INTO tbItems (Chave, Descricao) VALUES (500, 'DADO')"_qs).run();
        Table items(again, u"tbItems.DB"_qs);
        items.open();
        testdb::addRow(items, {{"Descricao", u"NOVO"_qs}});
        QCOMPARE(items.asInteger(u"Chave"_qs), 501);
    }

    // The same SQL run again by a new query finds the server's statement
    // still prepared; the kept statements are bounded, and a table whose
    // columns changed (here, or at another desk) is read with its new columns.
    void preparedStatementsAreKeptAndFollowTheSchema()
    {
        Pair p;
        Pair::fill(p.server);
        const auto one = [&](const QString &sql) {
            ForwardQuery q(p.server, sql);
            return q.next() ? q.value(0).toString() : QString();
        };
        const QString reportSql = u"SELECT Nome, 'relatorio' AS Marca FROM tbCliente WHERE Cidade = :CIDADE"_qs;
        const QString nameOfReport = u"SELECT CAST(string_agg(name, ' ') AS text) FROM pg_prepared_statements "
                                     "WHERE statement LIKE '%''relat' || 'orio''%'"_qs;
        QString first;
        for (int run = 0; run < 3; ++run) {
            Query q(p.server);
            q.setSql(reportSql);
            q.setParam(u"CIDADE"_qs, u"LINS"_qs);
            q.open();
            QCOMPARE(q.recordCount(), 23);
            q.close();
            q.setSql(reportSql);
            q.setParam(u"CIDADE"_qs, u"SEM NOME"_qs);
            q.open();
            QCOMPARE(q.recordCount(), 1);
            if (run == 0)
                first = one(nameOfReport);
            QVERIFY(!first.isEmpty() && !first.contains(u' '));
            QCOMPARE(one(nameOfReport), first);
        }

        for (int i = 0; i < 300; ++i)
            QCOMPARE(one(u"SELECT %1 + count(*) FROM tbCliente WHERE Nome = 'nada'"_qs.arg(i)).toInt(), i);
        const int kept = one(u"SELECT count(*) FROM pg_prepared_statements"_qs).toInt();
        QVERIFY2(kept >= 100 && kept <= 140, qPrintable(QString::number(kept)));

        Statement(p.server, u"CREATE TABLE tbTeste (a integer)"_qs).run();
        Statement(p.server, u"INSERT INTO tbTeste (a) VALUES (1)"_qs).run();
        const auto columns = [&] {
            ForwardQuery q(p.server, u"SELECT * FROM tbTeste"_qs);
            return q.next() ? q.columnCount() : -1;
        };
        QCOMPARE(columns(), 1);
        DatabasePtr otherDesk = Database::open(p.serverDir.path(), false);
        Statement(otherDesk, u"ALTER TABLE tbTeste ADD COLUMN b integer"_qs).run();
        QCOMPARE(columns(), 2);
        Statement(p.server, u"ALTER TABLE tbTeste ADD COLUMN c integer"_qs).run();
        QCOMPARE(columns(), 3);
    }
};

QTEST_GUILESS_MAIN(TstEngines)
#include "tst_engines.moc"
