// Loading the lubricant table from a ';'-separated file and saving it back:
// splitting, encodings, the preview's verdicts, and no second copy of a row.

#include "data/TestDb.h"
#include "lubricants/LubricantCsv.h"
#include "lubricants/LubricantLists.h"

#include <QtTest>

using namespace brelvo;
using namespace brelvo::lubricants;

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }

QStringList reasons(const ImportPlan &plan)
{
    QStringList out;
    for (const ImportRow &r : plan.rows)
        out << QStringLiteral("%1:%2").arg(r.line).arg(r.accepted() ? QStringLiteral("ok") : r.reason);
    return out;
}

int rowCount(const data::DatabasePtr &db)
{
    data::Table t(db, QString::fromLatin1(kTable));
    t.open();
    return t.recordCount();
}

// Rows as "FABRICANTE|CARRO|Ano|Combustivel|Lubrificane|NormaAPI|Litros" in model-year order.
QStringList rows(const data::DatabasePtr &db)
{
    data::Table t(db, QString::fromLatin1(kTable));
    t.setIndexName(QString::fromLatin1(kOrder));
    t.open();
    QStringList out;
    for (t.first(); !t.eof(); t.next()) {
        QStringList cells;
        for (const char *f : {"Fabricante", "Carro", "Ano", "Combustivel", "Lubrificane", "NormaAPI", "Litros_Carter"})
            cells << t.asString(QString::fromLatin1(f));
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

const char *kSample =
    "Fabricante;Carro / Modelo;Ano;Combustível;Lubrificante Recomendado;Norma API;Qtd. Litros motor;Cor\r\n"
    "fiat;palio 1.0;2010;Total Flex;15W40;SL;3,5;azul\r\n"
    "VOLKSWAGEN;GOL 1.6;2008;gasolina;\"20W50; mineral\";api sj;4.5;\r\n"
    "\r\n"
    ";UNO;2005;;;;;\r\n"
    "FORD;KA;dois mil;;;;;\r\n"
    "FORD;FIESTA;2012;;;;-1;\r\n"
    "fiat;Palio 1.0;2010;total flex;5W30;;3;\r\n"
    "FIAT;STRADA;2011;;;;;;x\r\n"
    "FIAT;STRADA;2011;;;;;;;;\r\n";

} // namespace

class TestLubricantsCsv : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitting_data();
    void splitting();
    void encodings();
    void previewVerdicts();
    void secondRunAddsNothing();
    void fileErrors_data();
    void fileErrors();
    void exportReadsBack();
};

void TestLubricantsCsv::splitting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("records");   // fields joined by '|', records in order
    QTest::addColumn<QList<int>>("lines");

    QTest::newRow("plain, trimmed") << u("a ; b;c\nd;e;f\n") << QStringList{u("a|b|c"), u("d|e|f")} << QList<int>{1, 2};
    QTest::newRow("CRLF and blank lines") << u("a;b\r\n\r\n;;\r\nc;d") << QStringList{u("a|b"), u("c|d")}
                                          << QList<int>{1, 4};
    QTest::newRow("quoted separator and quote") << u("\"x;y\";\"diz \"\"oi\"\"\";\" z \"\n")
                                                << QStringList{u("x;y|diz \"oi\"| z ")} << QList<int>{1};
    QTest::newRow("line break inside quotes") << u("\"um\ndois\";b\nc;d\n") << QStringList{u("um\ndois|b"), u("c|d")}
                                              << QList<int>{1, 3};
    QTest::newRow("empty fields kept") << u("a;;c;\n") << QStringList{u("a||c|")} << QList<int>{1};
    QTest::newRow("quoted empty last field") << u("a;\"\"") << QStringList{u("a|")} << QList<int>{1};
}

void TestLubricantsCsv::splitting()
{
    QFETCH(QString, text);
    QFETCH(QStringList, records);
    QFETCH(QList<int>, lines);
    QList<int> got;
    QStringList joined;
    for (const QStringList &r : splitCsv(text, &got))
        joined << r.join(QLatin1Char('|'));
    QCOMPARE(joined, records);
    QCOMPARE(got, lines);
}

void TestLubricantsCsv::encodings()
{
    bool utf8 = false;
    QCOMPARE(decodeText(QByteArray("\xEF\xBB\xBF") + u("Álcool").toUtf8(), &utf8), u("Álcool"));
    QVERIFY(utf8);
    QCOMPARE(decodeText(QByteArray("\xC1lcool;G\xC1S"), &utf8), u("Álcool;GÁS"));
    QVERIFY(!utf8);

    // A Windows-1252 file reads the same as its UTF-8 twin.
    testdb::Fresh f;
    const QString text = u("Fabricante;Carro;Combustivel\nCITROËN;C3;Álcool\n");
    const ImportPlan a = planImport(text.toUtf8(), f.db);
    const ImportPlan b = planImport(text.toLatin1(), f.db);
    QCOMPARE(a.acceptedCount(), 1);
    QCOMPARE(b.rows.value(0).values, a.rows.value(0).values);
    QCOMPARE(b.rows.value(0).values.value(QStringLiteral("Fabricante")).toString(), u("CITROËN"));
}

void TestLubricantsCsv::previewVerdicts()
{
    testdb::Fresh f;
    const ImportPlan plan = planImport(QByteArray(kSample), f.db);
    QVERIFY2(plan.error.isEmpty(), qPrintable(plan.error));
    QCOMPARE(plan.ignoredColumns, QStringList{u("Cor")});
    QCOMPARE(reasons(plan), (QStringList{u("2:ok"), u("3:ok"), u("5:Fabricante em branco"),
                                         u("6:Ano inválido: 'dois mil'"), u("7:Litros do cárter inválido: '-1'"),
                                         u("8:Repete a linha 2"), u("9:A linha tem 9 colunas e o cabeçalho tem 8"),
                                         u("10:ok")}));
    QCOMPARE(plan.acceptedCount(), 3);
    QCOMPARE(plan.refusedCount(), 5);

    // Names and codes in upper case, the lists' own spelling, decimal comma or point.
    const QVariantMap gol = plan.rows[1].values;
    QCOMPARE(gol.value(QStringLiteral("Carro")).toString(), u("GOL 1.6"));
    QCOMPARE(gol.value(QStringLiteral("Combustivel")).toString(), u("Gasolina"));
    QCOMPARE(gol.value(QStringLiteral("Lubrificane")).toString(), u("20W50; mineral"));
    QCOMPARE(gol.value(QStringLiteral("NormaAPI")).toString(), u("API SJ"));
    QCOMPARE(gol.value(QStringLiteral("Litros_Carter")).toDouble(), 4.5);
    QCOMPARE(plan.rows[0].values.value(QStringLiteral("Fabricante")).toString(), u("FIAT"));
    QCOMPARE(plan.rows[0].values.value(QStringLiteral("Litros_Carter")).toDouble(), 3.5);

    // The preview stores nothing.
    QCOMPARE(rowCount(f.db), 0);

    const ImportResult r = runImport(plan, f.db);
    QCOMPARE(r.added, 3);
    QCOMPARE(r.refused.size(), 5);
    QCOMPARE(rows(f.db), (QStringList{u("VOLKSWAGEN|GOL 1.6|2008|Gasolina|20W50; mineral|API SJ|4,5"),
                                      u("FIAT|PALIO 1.0|2010|Total Flex|15W40|API SL|3,5"),
                                      u("FIAT|STRADA|2011||||")}));
}

void TestLubricantsCsv::secondRunAddsNothing()
{
    testdb::Fresh f;
    {
        data::Table t(f.db, QString::fromLatin1(kTable));
        t.open();
        testdb::addRow(t, {{"Fabricante", u("FORD")}, {"Carro", u("KA")}, {"Ano", 2009}});
    }
    const QByteArray file = u("Fabricante;Carro;Ano\nFORD;KA;2009\nFORD;KA;2010\nford ; ka ;2011\nFORD;KA;\n").toUtf8();
    const ImportPlan first = planImport(file, f.db);
    QCOMPARE(reasons(first), (QStringList{u("2:Veículo já cadastrado"), u("3:ok"), u("4:ok"), u("5:ok")}));
    QCOMPARE(runImport(first, f.db).added, 3);
    QCOMPARE(rowCount(f.db), 4);

    const ImportPlan second = planImport(file, f.db);
    QCOMPARE(second.acceptedCount(), 0);
    QCOMPARE(runImport(second, f.db).added, 0);

    // A plan made before another import ran is checked again when it is stored.
    testdb::Fresh g;
    const ImportPlan stale = planImport(file, g.db);
    QCOMPARE(runImport(stale, g.db).added, 4);
    const ImportResult again = runImport(stale, g.db);
    QCOMPARE(again.added, 0);
    QCOMPARE(again.refused.size(), 4);
    QCOMPARE(again.refused.first().reason, u("Veículo já cadastrado"));
    QCOMPARE(rowCount(g.db), 4);
}

void TestLubricantsCsv::fileErrors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray("\r\n\r\n") << u("O arquivo está vazio.");
    QTest::newRow("commas") << QByteArray("Fabricante,Carro,Ano\nFIAT,UNO,2001\n")
                            << u("As colunas do arquivo devem ser separadas por ponto e vírgula (;).");
    QTest::newRow("no header") << QByteArray("FIAT;UNO;2001\n")
                               << u("A primeira linha do arquivo deve dar os nomes das colunas; faltam: Fabricante, Carro.");
    QTest::newRow("no car column") << QByteArray("Fabricante;Ano\nFIAT;2001\n")
                                   << u("A primeira linha do arquivo deve dar os nomes das colunas; faltam: Carro.");
    QTest::newRow("column twice") << QByteArray("Fabricante;Carro;Veiculo\n")
                                  << u("A coluna Carro aparece mais de uma vez no cabeçalho.");
}

void TestLubricantsCsv::fileErrors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    testdb::Fresh f;
    const ImportPlan plan = planImport(bytes, f.db);
    QCOMPARE(plan.error, error);
    QVERIFY(plan.rows.isEmpty());
}

void TestLubricantsCsv::exportReadsBack()
{
    testdb::Fresh f;
    {
        data::Table t(f.db, QString::fromLatin1(kTable));
        t.open();
        testdb::addRow(t, {{"Fabricante", u("FIAT")}, {"Carro", u("UNO \"MILLE\"; 1.0")}, {"Ano", 1998},
                           {"Combustivel", u("Álcool")}, {"Lubrificane", u("20W50")}, {"NormaAPI", u("API SJ")},
                           {"Litros_Carter", 3.25}, {"Image", u("/fotos/uno.jpg")}});
        testdb::addRow(t, {{"Fabricante", u("RENAULT")}, {"Carro", u("CLIO")}});
    }
    const QByteArray csv = exportCsv(f.db);
    QVERIFY(csv.startsWith("\xEF\xBB\xBF" "Fabricante;Carro;Modelo;Ano;Combustivel;Lubrificante;NormaAPI;Litros_Carter;Image\r\n"));

    testdb::Fresh g;
    const ImportPlan plan = planImport(csv, g.db);
    QCOMPARE(plan.acceptedCount(), 2);
    QCOMPARE(runImport(plan, g.db).added, 2);
    QCOMPARE(rows(g.db), rows(f.db));
    QCOMPARE(planImport(csv, f.db).acceptedCount(), 0);
}

QTEST_GUILESS_MAIN(TestLubricantsCsv)
#include "test_lubricants_csv.moc"
