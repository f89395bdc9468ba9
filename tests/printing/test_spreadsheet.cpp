// Listings as spreadsheets: typed .xlsx cells read back from the file, and safe CSV.

#include "XlsxReader.h"
#include "printing/Report.h"
#include "printing/Spreadsheet.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace brelvo::printing;

namespace {

const QString kFormula = QStringLiteral("=HYPERLINK(\"http://exemplo.invalid\";\"clique\")");

// A stock listing with the cells that spreadsheets get wrong.
PreparedReport stockListing(int extraRows = 0)
{
    Report r(QStringLiteral("Relatório Estoque"));
    const int bold = r.font(9, true);
    r.title().setHeight(10).label({0, 0, 190, 8}, QStringLiteral("Relatório Estoque"), r.font(14, true), Align::Center);
    r.setPeriod(QDate(2024, 3, 1), QDate(2024, 3, 31));
    Band &h = r.columnHeader().setHeight(6);
    h.label({0, 0, 28, 5}, QStringLiteral("Código"), bold);
    h.label({30, 0, 28, 5}, QStringLiteral("Código de Barras"), bold);
    h.label({60, 0, 60, 5}, QStringLiteral("Descrição"), bold);
    h.label({122, 0, 14, 5}, QStringLiteral("Qtd."), bold, Align::Right);
    h.label({138, 0, 26, 5}, QStringLiteral("Valor"), bold, Align::Right);
    h.label({166, 0, 24, 5}, QStringLiteral("Data"), bold);
    Band &d = r.detail().setHeight(5);
    d.field({0, 0, 28, 5}, QStringLiteral("Codigo"), QStringLiteral("0000000000000"));
    d.field({30, 0, 28, 5}, QStringLiteral("CodBarra"), QStringLiteral("0000000000000"));
    d.field({60, 0, 60, 5}, QStringLiteral("Descricao"));
    d.field({122, 0, 14, 5}, QStringLiteral("Qtd")).setAlign(Align::Right);
    d.field({138, 0, 26, 5}, QStringLiteral("Valor"), QStringLiteral("###,##0.00")).setAlign(Align::Right);
    d.field({166, 0, 24, 5}, QStringLiteral("Data"));
    Band &s = r.summary().setHeight(8);
    s.label({60, 2, 40, 5}, QStringLiteral("Total Geral:"), bold);
    s.sum({122, 2, 14, 5}, QStringLiteral("Qtd")).setAlign(Align::Right);
    s.sum({138, 2, 26, 5}, QStringLiteral("Valor"), QStringLiteral("R$ ###,##0.00"), bold).setAlign(Align::Right);
    std::vector<QVariantMap> rows{
        {{"Codigo", 123LL}, {"CodBarra", 7891000315507LL}, {"Descricao", QStringLiteral("AÇÚCAR CRISTAL SÃO JOÃO")},
         {"Qtd", 1.5}, {"Valor", 1234.56}, {"Data", QDate(2024, 3, 15)}},
        {{"Codigo", 45LL}, {"CodBarra", 7896004000014LL}, {"Descricao", kFormula},
         {"Qtd", 2.0}, {"Valor", 10.0}, {"Data", QDate(2024, 3, 16)}},
        {{"Codigo", 7LL}, {"CodBarra", QVariant()}, {"Descricao", QStringLiteral("-5 PARAFUSOS")},
         {"Qtd", 3.0}, {"Valor", -2.5}, {"Data", QVariant()}}};
    for (int i = 0; i < extraRows; ++i)
        rows.push_back({{"Codigo", 1000LL + i}, {"Descricao", QStringLiteral("ITEM %1").arg(i)}, {"Qtd", 1.0},
                        {"Valor", 1.0}, {"Data", QDate(2024, 3, 1)}});
    r.setRows(std::move(rows));
    return r.prepare();
}

QStringList csvLines(const PreparedReport &p)
{
    const QByteArray bytes = csvBytes(p);
    return QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
}

} // namespace

class TestSpreadsheet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void xlsxCellsAreTyped();
    void xlsxFailuresLeaveNoFile();
    void sheetNames_data();
    void sheetNames();
    void csvFields_data();
    void csvFields();
    void csvOfTheListing();
};

void TestSpreadsheet::xlsxCellsAreTyped()
{
    if (!xlsxtest::unzipAvailable())
        QSKIP("unzip is not installed (scripts/deps.sh installs it)");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("estoque.xlsx"));
    QString error;
    QVERIFY2(writeXlsx(stockListing(), path, &error), qPrintable(error));
    const xlsxtest::Sheet s = xlsxtest::read(path);
    QVERIFY2(s.error.isEmpty(), qPrintable(s.error));
    QCOMPARE(s.name, QStringLiteral("Relatório Estoque"));

    // Title and period on top, the captions as a frozen header row.
    QCOMPARE(s.text("A1"), QStringLiteral("Relatório Estoque"));
    QVERIFY(s.bold("A1"));
    QCOMPARE(s.text("A2"), QStringLiteral("Período: 01/03/2024 a 31/03/2024"));
    const QStringList captions{"Código", "Código de Barras", "Descrição", "Qtd.", "Valor", "Data"};
    for (int c = 0; c < captions.size(); ++c) {
        const QString ref = QChar(u'A' + c) + QStringLiteral("4");
        QCOMPARE(s.text(ref), captions[c]);
        QVERIFY(s.bold(ref));
    }
    QCOMPARE(s.paneState, QStringLiteral("frozen"));
    QCOMPARE(s.paneYSplit, QStringLiteral("4"));

    // Codes are text with their zeros, never numbers.
    QVERIFY(s.isText("A5"));
    QCOMPARE(s.text("A5"), QStringLiteral("0000000000123"));
    QVERIFY(s.isText("B5"));
    QCOMPARE(s.text("B5"), QStringLiteral("7891000315507"));
    QCOMPARE(s.format("B5"), QStringLiteral("@"));
    QCOMPARE(s.text("A7"), QStringLiteral("0000000000007"));
    QVERIFY(!s.cells.contains("B7"));                          // no code: an empty cell
    // Texts as they are, accents included; one that looks like a formula stays text.
    QCOMPARE(s.text("C5"), QStringLiteral("AÇÚCAR CRISTAL SÃO JOÃO"));
    QVERIFY(s.isText("C6"));
    QCOMPARE(s.text("C6"), kFormula);
    QCOMPARE(s.text("C7"), QStringLiteral("-5 PARAFUSOS"));
    QVERIFY(!s.anyFormula);
    // Quantities and amounts are numbers; amounts in reais.
    QVERIFY(s.isNumber("D5"));
    QCOMPARE(s.number("D5"), 1.5);
    QVERIFY(s.isNumber("E5"));
    QCOMPARE(s.number("E5"), 1234.56);
    QVERIFY2(s.format("E5").contains(QLatin1String("R$")) && s.format("E5").contains(QLatin1String("#,##0.00")),
             qPrintable(s.format("E5")));
    QCOMPARE(s.number("E7"), -2.5);
    // Dates are dates shown dd/mm/yyyy.
    QVERIFY(s.isNumber("F5"));
    QCOMPARE(s.number("F5"), double(QDate(1899, 12, 30).daysTo(QDate(2024, 3, 15))));
    QCOMPARE(s.format("F5"), QStringLiteral("dd/mm/yyyy"));
    QVERIFY(!s.cells.contains("F7"));
    // The summary's totals below the lines, under their columns.
    QCOMPARE(s.text("C9"), QStringLiteral("Total Geral:"));
    QVERIFY(s.isNumber("D9"));
    QCOMPARE(s.number("D9"), 6.5);
    QVERIFY(s.isNumber("E9"));
    QCOMPARE(s.number("E9"), 1242.06);
    QVERIFY(s.format("E9").contains(QLatin1String("R$")));
    QVERIFY(s.bold("E9"));
    // Columns as wide as what they hold.
    QVERIFY2(s.widths.value(1) >= 13 && s.widths.value(3) >= 23, qPrintable(QString::number(s.widths.value(3))));
    QVERIFY(s.widths.value(4) < s.widths.value(3));
}

void TestSpreadsheet::xlsxFailuresLeaveNoFile()
{
    QTemporaryDir dir;
    const PreparedReport p = stockListing(300);
    QString error;
    const QString missing = dir.filePath(QStringLiteral("nao/existe/lista.xlsx"));
    QVERIFY(!writeXlsx(p, missing, &error));
    QVERIFY2(error.startsWith(QStringLiteral("Não foi possível gravar o arquivo %1").arg(missing)), qPrintable(error));
    QVERIFY(!writeXlsx(p, dir.path(), &error));
    QVERIFY(error.contains(QStringLiteral("pasta")));
    // Replacing a file: the new workbook, and nothing left beside it.
    const QString path = dir.filePath(QStringLiteral("lista.xlsx"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("antigo");
    old.close();
    QVERIFY2(writeXlsx(p, path, &error), qPrintable(error));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.read(2), QByteArray("PK"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("lista.xlsx")});
    if (xlsxtest::unzipAvailable()) {
        const xlsxtest::Sheet s = xlsxtest::read(path);
        QCOMPARE(s.text(QStringLiteral("C%1").arg(4 + 303)), QStringLiteral("ITEM 299"));
    }
}

void TestSpreadsheet::sheetNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Lista Clientes" << "Lista Clientes";
    QTest::newRow("forbidden characters") << "Vendas 01/03 a 31/03: [PV]*?" << "Vendas 0103 a 3103 PV";
    QTest::newRow("too long") << "Relatório de Serviços por Forma de Pagamento" << "Relatório de Serviços por Forma";
    QTest::newRow("empty") << "" << "Relatório";
    QTest::newRow("quotes around") << "'Caixa'" << "Caixa";
}

void TestSpreadsheet::sheetNames()
{
    QFETCH(QString, title);
    QFETCH(QString, name);
    QCOMPARE(sheetName(title), name);
    QVERIFY(sheetName(title).size() <= 31);
}

void TestSpreadsheet::csvFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("field");
    const int text = int(CellKind::Text), code = int(CellKind::Identifier), money = int(CellKind::Money);
    QTest::newRow("formula") << "=1+1" << text << "'=1+1";
    QTest::newRow("plus") << "+55 11 5555" << text << "'+55 11 5555";
    QTest::newRow("minus") << "-5 PARAFUSOS" << text << "'-5 PARAFUSOS";
    QTest::newRow("at") << "@SOMA(A1)" << text << "'@SOMA(A1)";
    QTest::newRow("tab") << "\tX" << text << "'\tX";
    QTest::newRow("carriage return") << "\rX" << text << "\"'\rX\"";
    QTest::newRow("code") << "0000000000123" << code << "'0000000000123";
    QTest::newRow("digits in a text column") << "0123" << text << "'0123";
    QTest::newRow("date-like text") << "12/03" << text << "'12/03";
    QTest::newRow("plain text") << "AÇÚCAR" << text << "AÇÚCAR";
    QTest::newRow("separator") << "A;B" << text << "\"A;B\"";
    QTest::newRow("quotes") << "TUBO 1/2\"" << text << "\"TUBO 1/2\"\"\"";
    QTest::newRow("amount as printed") << "1.234,56" << money << "1.234,56";
    QTest::newRow("negative amount") << "-2,50" << money << "-2,50";
    QTest::newRow("date") << "15/03/2024" << int(CellKind::Date) << "15/03/2024";
    QTest::newRow("empty") << "" << code << "";
}

void TestSpreadsheet::csvFields()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QString, field);
    QCOMPARE(QString::fromUtf8(csvField(text, CellKind(kind))), field);
}

void TestSpreadsheet::csvOfTheListing()
{
    const PreparedReport p = stockListing();
    const QStringList lines = csvLines(p);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QStringLiteral("Código;Código de Barras;Descrição;Qtd.;Valor;Data"));
    QCOMPARE(lines[1], QStringLiteral("'0000000000123;'7891000315507;AÇÚCAR CRISTAL SÃO JOÃO;1,5;1.234,56;15/03/2024"));
    QCOMPARE(lines[2], QStringLiteral("'0000000000045;'7896004000014;"
                                      "\"'=HYPERLINK(\"\"http://exemplo.invalid\"\";\"\"clique\"\")\";2;10,00;16/03/2024"));
    QCOMPARE(lines[3], QStringLiteral("'0000000000007;;'-5 PARAFUSOS;3;-2,50;"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("estoque.csv"));
    QString error;
    QVERIFY2(writeCsv(p, path, &error), qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), csvBytes(p));
}

QTEST_MAIN(TestSpreadsheet)
#include "test_spreadsheet.moc"
