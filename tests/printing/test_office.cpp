// The stock listing and the customer list saved from the preview as .xlsx and
// CSV, then opened by LibreOffice as a user's spreadsheet would open them.
// Skipped when LibreOffice (soffice) is not installed.

#include "XlsxReader.h"
#include "core/FakeDialogService.h"
#include "data/Database.h"
#include "data/Dataset.h"
#include "printing/PrintPreview.h"
#include "registries/RegistryReports.h"
#include "stock/TFormProdutos.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace brelvo;

namespace {

const QString kXlsx = QStringLiteral("Planilha Excel (*.xlsx)");
const QString kCsv = QStringLiteral("Planilha CSV (*.csv)");

void add(data::DatabasePtr db, const char *table, const QVariantMap &values)
{
    data::Table t(db, QString::fromLatin1(table));
    t.open();
    t.append();
    for (auto it = values.begin(); it != values.end(); ++it)
        t.setValue(it.key(), it.value());
    t.post();
}

} // namespace

class TestOffice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void listingsOpenInLibreOffice();

private:
    // Saves the report from the preview as a user would: a name and a format.
    void saveFromPreview(printing::PreparedReport &report, const QString &path, const QString &filter);
    // LibreOffice converts the files to .xlsx in `out`; CSV read as a Brazilian user's import does.
    void convert(const QStringList &files, const QString &out, bool csv);

    QString m_soffice;
    QTemporaryDir m_dir;
};

void TestOffice::initTestCase()
{
    m_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (m_soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed: the spreadsheet check against LibreOffice is skipped");
    if (!xlsxtest::unzipAvailable())
        QSKIP("unzip is not installed (scripts/deps.sh installs it)");
    QStandardPaths::setTestModeEnabled(true);
}

void TestOffice::saveFromPreview(printing::PreparedReport &report, const QString &path, const QString &filter)
{
    core::ScopedFakeDialogs dialogs;
    printing::PrintPreview preview(report);
    dialogs->answerFile(path, filter);
    QVERIFY(preview.save());
    QVERIFY2(dialogs->clean(), qPrintable(dialogs->problems().join(u'\n')));
}

void TestOffice::convert(const QStringList &files, const QString &out, bool csv)
{
    QStringList args{QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("perfil")),
                     QStringLiteral("--headless")};
    if (csv)   // ';' separated, quoted with '"', UTF-8, from line 1, Portuguese (Brazil)
        args << QStringLiteral("--infilter=CSV:59,34,76,1,,1046");
    args << QStringLiteral("--convert-to") << QStringLiteral("xlsx") << QStringLiteral("--outdir") << out << files;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(m_soffice, args);
    QVERIFY(p.waitForFinished(300000));
    QVERIFY2(p.exitCode() == 0, p.readAll().constData());
}

void TestOffice::listingsOpenInLibreOffice()
{
    auto db = data::Database::open(m_dir.filePath(QStringLiteral("dados")), true);
    add(db, "tbProdutos.db", {{"Codigo", 123.0}, {"Descricao", QStringLiteral("AÇÚCAR CRISTAL")}, {"Valor", 1234.56},
                              {"Estoque", 2.0}, {"MonitorarEstq", "S"}, {"PermiteVenda", "S"}});
    add(db, "tbProdutos.db", {{"Codigo", 7891000315507.0}, {"Descricao", QStringLiteral("=1+1 ÓLEO")}, {"Valor", 10.0},
                              {"Estoque", 1.5}, {"MonitorarEstq", "S"}, {"PermiteVenda", "S"}});
    add(db, "tbCliente.DB", {{"Codigo", 1}, {"Nome", QStringLiteral("JOSÉ DA CONCEIÇÃO")}, {"CIC", "01234567890"},
                             {"CEP", "01310-100"}, {"Endereco", QStringLiteral("AV. PAULISTA, 1000")},
                             {"CARRO", "BELA VISTA"}, {"Cidade", QStringLiteral("SÃO PAULO")}, {"UF", "SP"}});
    add(db, "tbCliente.DB", {{"Codigo", 2}, {"Nome", QStringLiteral("@SOMA(1;2)")}, {"CIC", "00123"},
                             {"Cidade", "SANTOS"}, {"UF", "SP"}});

    const QString in = m_dir.filePath(QStringLiteral("salvos"));
    QVERIFY(QDir().mkpath(in));
    {
        core::ScopedFakeDialogs quiet;
        stock::TFormProdutos w(db);
        printing::PreparedReport stock = w.prepareListing();
        saveFromPreview(stock, in + QStringLiteral("/estoque"), kXlsx);
        saveFromPreview(stock, in + QStringLiteral("/estoque"), kCsv);
    }
    {
        data::Table clientes(db, QStringLiteral("tbCliente.DB"));
        clientes.setIndexName(QStringLiteral("byCodigo"));
        clientes.open();
        printing::PreparedReport list = registries::customerListReport(clientes);
        saveFromPreview(list, in + QStringLiteral("/clientes"), kXlsx);
        saveFromPreview(list, in + QStringLiteral("/clientes"), kCsv);
    }
    const QString fromXlsx = m_dir.filePath(QStringLiteral("de-xlsx")), fromCsv = m_dir.filePath(QStringLiteral("de-csv"));
    convert({in + QStringLiteral("/estoque.xlsx"), in + QStringLiteral("/clientes.xlsx")}, fromXlsx, false);
    convert({in + QStringLiteral("/estoque.csv"), in + QStringLiteral("/clientes.csv")}, fromCsv, true);

    // Finds a row by a text that starts one of its cells; returns that row's number.
    auto rowOf = [](const xlsxtest::Sheet &s, const QString &start) {
        for (auto it = s.cells.begin(); it != s.cells.end(); ++it)
            if (it->text.startsWith(start) || it->text.startsWith(u'\'' + start))
                return it.key().mid(1);
        return QString();
    };
    for (const QString &folder : {fromXlsx, fromCsv}) {
        const bool csv = folder == fromCsv;
        const QString quote = csv ? QStringLiteral("'") : QString();
        const xlsxtest::Sheet stock = xlsxtest::read(folder + QStringLiteral("/estoque.xlsx"));
        QVERIFY2(stock.error.isEmpty(), qPrintable(folder + QStringLiteral(": ") + stock.error));
        const QString r1 = rowOf(stock, QStringLiteral("AÇÚCAR")), r2 = rowOf(stock, QStringLiteral("=1+1"));
        QVERIFY2(!r1.isEmpty() && !r2.isEmpty(), qPrintable(folder));
        // Codes keep their zeros, as text (CSV: behind the apostrophe that keeps them text).
        QVERIFY(stock.isText(QStringLiteral("A") + r1));
        QCOMPARE(stock.text(QStringLiteral("A") + r1), quote + QStringLiteral("0000000000123"));
        QCOMPARE(stock.text(QStringLiteral("A") + r2), quote + QStringLiteral("7891000315507"));
        // Amounts are numbers.
        QVERIFY2(stock.isNumber(QStringLiteral("E") + r1), qPrintable(stock.cell(QStringLiteral("E") + r1).type));
        QCOMPARE(stock.number(QStringLiteral("E") + r1), 1234.56);
        // Nothing runs as a formula.
        QCOMPARE(stock.text(QStringLiteral("B") + r2), quote + QStringLiteral("=1+1 ÓLEO"));
        QVERIFY(!stock.anyFormula);

        const xlsxtest::Sheet list = xlsxtest::read(folder + QStringLiteral("/clientes.xlsx"));
        QVERIFY2(list.error.isEmpty(), qPrintable(list.error));
        const QString c1 = rowOf(list, QStringLiteral("JOSÉ")), c2 = rowOf(list, QStringLiteral("@SOMA"));
        QVERIFY(!c1.isEmpty() && !c2.isEmpty());
        QVERIFY(list.isText(QStringLiteral("B") + c1));
        QCOMPARE(list.text(QStringLiteral("B") + c1), quote + QStringLiteral("01234567890"));
        QCOMPARE(list.text(QStringLiteral("B") + c2), quote + QStringLiteral("00123"));
        QCOMPARE(list.text(QStringLiteral("D") + c1), QStringLiteral("01310-100"));
        QCOMPARE(list.text(QStringLiteral("A") + c2), quote + QStringLiteral("@SOMA(1;2)"));
        QCOMPARE(list.text(QStringLiteral("G") + c1), QStringLiteral("SÃO PAULO"));
        QVERIFY(!list.anyFormula);
    }
}

QTEST_MAIN(TestOffice)
#include "test_office.moc"
