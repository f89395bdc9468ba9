// Prepared pages on paper, PDF, CSV and in the preview.

#include "core/FakeDialogService.h"
#include "printing/PrintPreview.h"
#include "printing/Report.h"
#include "printing/ReportPainter.h"
#include "printing/Spreadsheet.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QScrollArea>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace brelvo::printing;
using brelvo::core::FakeDialogService;

namespace {

PreparedReport sampleReport(int rows, bool spreadsheet = false)
{
    Report r(QStringLiteral("Lista Clientes"));
    r.setPage(PageSetup::a4Landscape());
    r.setSpreadsheetDefault(spreadsheet);
    const int bold = r.font(11, true);
    r.title().setHeight(10).label({0, 0, 277, 8}, QStringLiteral("Relação de Clientes"), bold, Align::Center);
    r.title().frame({0, 0, 277, 9}, 0.3);
    r.columnHeader().setHeight(6).label({0, 0, 90, 5}, QStringLiteral("Nome"), bold);
    r.columnHeader().label({100, 0, 60, 5}, QStringLiteral("Endereço"), bold);
    r.columnHeader().label({230, 0, 47, 5}, QStringLiteral("Saldo"), bold, Align::Right);
    r.columnHeader().line({0, 5.5}, {277, 5.5});
    r.detail().setHeight(5).field({0, 0, 90, 5}, QStringLiteral("Nome"));
    r.detail().field({100, 0, 120, 5}, QStringLiteral("Endereco"));
    r.detail().field({230, 0, 47, 5}, QStringLiteral("Saldo"), QStringLiteral("###,##0.00")).setAlign(Align::Right);
    r.summary().setHeight(6).label({150, 0, 70, 5}, QStringLiteral("Total Geral:"));
    r.summary().sum({230, 0, 47, 5}, QStringLiteral("Saldo"), QStringLiteral("R$ ###,##0.00")).setAlign(Align::Right);
    r.pageFooter().setHeight(5).pageNumber({200, 0, 77, 5}).setAlign(Align::Right);
    std::vector<QVariantMap> data;
    for (int i = 1; i <= rows; ++i)
        data.push_back({{QStringLiteral("Nome"), QStringLiteral("JOSÉ DA CONCEIÇÃO %1").arg(i)},
                        {QStringLiteral("Endereco"), i == 2 ? QStringLiteral("RUA A; Nº \"5\"") : QStringLiteral("AV. BRASIL")},
                        {QStringLiteral("Saldo"), 1000.25 * i}});
    r.setRows(std::move(data));
    return r.prepare();
}

QString pdfText(const QString &pdf, int page = 0)
{
    QProcess p;
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    args << pdf << QStringLiteral("-");
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int darkPixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qGray(line[x]) < 128)
                ++n;
    }
    return n;
}

} // namespace

class TestReportOutput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void pdfCarriesTheTexts();
    void pdfToAnUnwritablePlaceFails();
    void renderedPagesShowInk();
    void csvForSpreadsheets();
    void previewGoesThroughTheDialogService();
    void previewNavigatesAndSaves();
    void printingThroughThePrinterDialog();
    void saveFollowsTheChosenFormat();
    void saveRemembersFolderAndFormat();
    void proposedFileNames_data();
    void proposedFileNames();

private:
    FakeDialogService *fake = nullptr;
    QTemporaryDir m_config;
};

void TestReportOutput::initTestCase()
{
    // The save dialog's memory in a folder of this run's own: out of the user's folder, and apart from
    // the other run of these tests that ctest may start at the same time.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void TestReportOutput::init()
{
    QFile::remove(saveSettingsPath());
    auto f = std::make_unique<FakeDialogService>();
    fake = f.get();
    brelvo::core::setDialogService(std::move(f));
}

void TestReportOutput::pdfCarriesTheTexts()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    const PreparedReport p = sampleReport(60);
    QCOMPARE(p.pageCount(), 2);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("lista.pdf"));
    QString error;
    QVERIFY2(writePdf(p, pdf, &error), qPrintable(error));
    const QString page1 = pdfText(pdf, 1), page2 = pdfText(pdf, 2);
    QVERIFY2(page1.contains(QStringLiteral("Relação de Clientes")), qPrintable(page1));
    QVERIFY(page1.contains(QStringLiteral("JOSÉ DA CONCEIÇÃO 1 ")));
    QVERIFY(page1.contains(QStringLiteral("Página 1 de 2")));
    QVERIFY(!page1.contains(QStringLiteral("Total Geral")));
    QVERIFY(page2.contains(QStringLiteral("JOSÉ DA CONCEIÇÃO 60")));
    QVERIFY(page2.contains(QStringLiteral("Página 2 de 2")));
    QVERIFY(page2.contains(QStringLiteral("Total Geral:")));
    QVERIFY2(page2.contains(QStringLiteral("R$ 1.830.457,50")), qPrintable(page2));   // 1000,25 * 60*61/2
    QVERIFY(!page2.contains(QStringLiteral("Relação de Clientes")));
    // Right alignment: the amounts end in the same column.
    int col = -1;
    for (const QString &line : page1.split(u'\n')) {
        if (!line.contains(QStringLiteral("JOSÉ")))
            continue;
        const int last = int(line.lastIndexOf(QRegularExpression(QStringLiteral("\\d"))));
        if (col < 0)
            col = last;
        QVERIFY2(qAbs(last - col) <= 1, qPrintable(line));
    }
}

void TestReportOutput::pdfToAnUnwritablePlaceFails()
{
    const PreparedReport p = sampleReport(3);
    QTemporaryDir dir;
    QString error;
    const QString path = dir.filePath(QStringLiteral("nao/existe/x.pdf"));
    QVERIFY(!writePdf(p, path, &error));
    QVERIFY2(error.startsWith(QStringLiteral("Não foi possível gravar o arquivo %1").arg(path)), qPrintable(error));
    QVERIFY(!writeCsv(p, path, &error));
    QVERIFY(error.contains(path));
}

void TestReportOutput::renderedPagesShowInk()
{
    const PreparedReport p = sampleReport(10);
    const QImage img = renderPage(p, 0, 50);
    QCOMPARE(img.width(), qRound(297 / 25.4 * 50));
    const int ink = darkPixels(img);
    QVERIFY2(ink > 500, qPrintable(QString::number(ink)));
    // The frame around the title is drawn where the layout put it (top-left at the margins).
    const int x = qRound(10 / 25.4 * 50) + 20, y = qRound(10 / 25.4 * 50);
    bool frameFound = false;
    for (int dy = -1; dy <= 1; ++dy)
        frameFound |= qGray(img.pixel(x, y + dy)) < 128;
    QVERIFY(frameFound);
    // Out of range: nothing drawn, no crash.
    QCOMPARE(darkPixels(renderPage(p, 5, 20)), 0);
}

void TestReportOutput::csvForSpreadsheets()
{
    const PreparedReport p = sampleReport(3, true);
    QVERIFY(p.spreadsheetDefault);
    const QByteArray csv = csvBytes(p);
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(csv.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 5);           // header, 3 rows, the empty rest after the last CRLF
    QCOMPARE(lines[0], QStringLiteral("Nome;Endereço;Saldo"));
    QCOMPARE(lines[1], QStringLiteral("JOSÉ DA CONCEIÇÃO 1;AV. BRASIL;1.000,25"));
    QCOMPARE(lines[2], QStringLiteral("JOSÉ DA CONCEIÇÃO 2;\"RUA A; Nº \"\"5\"\"\";2.000,50"));
    QCOMPARE(lines[4], QString());
}

void TestReportOutput::previewGoesThroughTheDialogService()
{
    PreparedReport p = sampleReport(60);
    const PreparedReport *seen = nullptr;
    int pagesSeen = 0;
    fake->onNamed(QStringLiteral("preview"), [&](QWidget *window, void *object) {
        seen = static_cast<const PreparedReport *>(object);
        pagesSeen = seen->pageCount();
        auto *preview = qobject_cast<PrintPreview *>(window);
        return preview && preview->windowState().testFlag(Qt::WindowMaximized) ? 1 : 0;
    });
    QCOMPARE(showPreview(p), 1);
    QCOMPARE(seen, &p);
    QCOMPARE(pagesSeen, 2);
    QCOMPARE(fake->count(FakeDialogService::Kind::ExecNamed), 1);
}

void TestReportOutput::previewNavigatesAndSaves()
{
    PreparedReport p = sampleReport(200);
    QVERIFY(p.pageCount() >= 5);
    PrintPreview preview(p);
    QCOMPARE(preview.currentPage(), 0);
    QCOMPARE(preview.zoom(), PrintPreview::Zoom::PageWidth);
    preview.priorPage();
    QCOMPARE(preview.currentPage(), 0);
    preview.nextPage();
    preview.nextPage();
    QCOMPARE(preview.currentPage(), 2);
    preview.lastPage();
    QCOMPARE(preview.currentPage(), p.pageCount() - 1);
    preview.nextPage();
    QCOMPARE(preview.currentPage(), p.pageCount() - 1);
    auto *box = preview.findChild<QSpinBox *>(QStringLiteral("edtPagina"));
    QVERIFY(box);
    QCOMPARE(box->value(), p.pageCount());
    box->setValue(2);
    QCOMPARE(preview.currentPage(), 1);
    preview.firstPage();
    QCOMPARE(box->value(), 1);
    // Page width fills the visible area once the window is laid out.
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QCoreApplication::processEvents();
    auto *scroll = preview.findChild<QScrollArea *>();
    QVERIFY(scroll && scroll->widget());
    QVERIFY2(scroll->widget()->width() > scroll->viewport()->width() * 8 / 10,
             qPrintable(QStringLiteral("%1 of %2").arg(scroll->widget()->width()).arg(scroll->viewport()->width())));
    preview.hide();
    preview.setZoom(PrintPreview::Zoom::WholePage);
    preview.setZoom(PrintPreview::Zoom::Actual);

    QTemporaryDir dir;
    // Save proposes PDF and writes it.
    const QString pdf = dir.filePath(QStringLiteral("saida.pdf"));
    fake->answerFile(pdf);
    QVERIFY(preview.save());
    const auto saves = fake->callsOf(FakeDialogService::Kind::SaveFile);
    QCOMPARE(saves.size(), 1);
    QVERIFY2(saves[0].filter.startsWith(QLatin1String("Documento PDF")), qPrintable(saves[0].filter));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
    // Cancelled: nothing written, no error.
    fake->answerFile(QString());
    QVERIFY(!preview.save());
    QCOMPARE(fake->count(FakeDialogService::Kind::Error), 0);
    // A spreadsheet report proposes CSV first.
    PreparedReport sheet = sampleReport(2, true);
    PrintPreview sp(sheet);
    const QString csv = dir.filePath(QStringLiteral("saida.csv"));
    fake->answerFile(csv);
    QVERIFY(sp.save());
    QVERIFY(fake->callsOf(FakeDialogService::Kind::SaveFile).last().filter.startsWith(QLatin1String("Planilha")));
    QFile c(csv);
    QVERIFY(c.open(QIODevice::ReadOnly));
    QCOMPARE(c.readAll(), csvBytes(sheet));
    // A save that fails reports the error.
    fake->answerFile(dir.filePath(QStringLiteral("nao/existe.pdf")));
    QVERIFY(!preview.save());
    QCOMPARE(fake->count(FakeDialogService::Kind::Error), 1);
    QVERIFY(fake->clean());
}

void TestReportOutput::printingThroughThePrinterDialog()
{
    PreparedReport p = sampleReport(120);
    QVERIFY(p.pageCount() >= 3);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("impresso.pdf"));
    bool cancel = true;
    fake->onDialog(QStringLiteral("PrintDialog"), [&](QDialog *d) {
        if (cancel)
            return int(QDialog::Rejected);
        QPrinter *printer = static_cast<QPrintDialog *>(d)->printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(out);
        printer->setPrintRange(QPrinter::PageRange);
        printer->setFromTo(2, 3);
        return int(QDialog::Accepted);
    });
    PrintPreview preview(p);
    preview.print();                      // cancelled: nothing printed
    QVERIFY(!QFile::exists(out));
    cancel = false;
    preview.print();
    QVERIFY(QFile::exists(out));
    QCOMPARE(fake->count(FakeDialogService::Kind::Error), 0);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    const QString text = pdfText(out);
    QVERIFY2(text.contains(QStringLiteral("Página 2 de %1").arg(p.pageCount())), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Página 3 de %1").arg(p.pageCount())));
    QVERIFY(!text.contains(QStringLiteral("Página 1 de")));
    QVERIFY(!text.contains(QStringLiteral("Página 4 de")));
}

namespace {
const QString kPdf = QStringLiteral("Documento PDF (*.pdf)");
const QString kXlsx = QStringLiteral("Planilha Excel (*.xlsx)");
const QString kCsv = QStringLiteral("Planilha CSV (*.csv)");

QByteArray head(const QString &path, int n)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}
}

void TestReportOutput::saveFollowsTheChosenFormat()
{
    QTemporaryDir dir;
    PreparedReport p = sampleReport(3);
    PrintPreview preview(p);
    // No extension typed: the format chosen in the dialog decides and names the file.
    fake->answerFile(dir.filePath(QStringLiteral("saida")), kCsv);
    QVERIFY(preview.save());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("saida"))));
    QCOMPARE(head(dir.filePath(QStringLiteral("saida.csv")), 100000), csvBytes(p));
    fake->answerFile(dir.filePath(QStringLiteral("planilha")), kXlsx);
    QVERIFY(preview.save());
    QCOMPARE(head(dir.filePath(QStringLiteral("planilha.xlsx")), 2), QByteArray("PK"));
    fake->answerFile(dir.filePath(QStringLiteral("documento")), kPdf);
    QVERIFY(preview.save());
    QCOMPARE(head(dir.filePath(QStringLiteral("documento.pdf")), 5), QByteArray("%PDF-"));
    // An extension typed over the proposed one says the format.
    QFile::remove(saveSettingsPath());            // PDF proposed again
    fake->answerFile(dir.filePath(QStringLiteral("lista.CSV")), kPdf);
    QVERIFY(preview.save());
    QCOMPARE(head(dir.filePath(QStringLiteral("lista.CSV")), 3), QByteArray("\xEF\xBB\xBF"));
    // The proposed extension left as it was while another format was chosen: the choice wins.
    QFile::remove(saveSettingsPath());
    fake->answerFile(dir.filePath(QStringLiteral("relatorio.pdf")), kXlsx);
    QVERIFY(preview.save());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("relatorio.pdf"))));
    QCOMPARE(head(dir.filePath(QStringLiteral("relatorio.xlsx")), 2), QByteArray("PK"));
    // The added extension names a file that exists: asked first, kept on "No".
    QFile existing(dir.filePath(QStringLiteral("saida.csv")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("MEU ARQUIVO");
    existing.close();
    fake->answerFile(dir.filePath(QStringLiteral("saida")), kCsv);
    fake->answerQuestion(brelvo::core::Answer::No);
    QVERIFY(!preview.save());
    QCOMPARE(head(existing.fileName(), 100), QByteArray("MEU ARQUIVO"));
    QVERIFY(fake->messages().last().contains(QStringLiteral("saida.csv já existe")));
    fake->answerFile(dir.filePath(QStringLiteral("saida")), kCsv);
    fake->answerQuestion(brelvo::core::Answer::Yes);
    QVERIFY(preview.save());
    QCOMPARE(head(existing.fileName(), 100000), csvBytes(p));
    QCOMPARE(fake->count(FakeDialogService::Kind::Error), 0);
    QVERIFY(fake->clean());
}

void TestReportOutput::saveRemembersFolderAndFormat()
{
    QTemporaryDir dir;
    const QString today = QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy"));
    PreparedReport page = sampleReport(2);
    PreparedReport sheet = sampleReport(2, true);
    PrintPreview pagePreview(page), sheetPreview(sheet);
    auto lastSave = [this] { return fake->callsOf(FakeDialogService::Kind::SaveFile).last(); };

    // First time: PDF for a page report, Excel for a listing, named after the title and the date.
    fake->answerFile(QString());
    QVERIFY(!pagePreview.save());
    QCOMPARE(lastSave().filter, kPdf);
    QCOMPARE(QFileInfo(lastSave().dir).fileName(), QStringLiteral("Lista Clientes %1.pdf").arg(today));
    QVERIFY(QFileInfo(QFileInfo(lastSave().dir).path()).isDir());
    fake->answerFile(QString());
    QVERIFY(!sheetPreview.save());
    QCOMPARE(lastSave().filter, kXlsx);
    QCOMPARE(QFileInfo(lastSave().dir).fileName(), QStringLiteral("Lista Clientes %1.xlsx").arg(today));

    // Saved as CSV in a folder: both propose that folder and CSV next time.
    const QString folder = dir.filePath(QStringLiteral("exportados"));
    QVERIFY(QDir().mkpath(folder));
    fake->answerFile(folder + QStringLiteral("/clientes"), kCsv);
    QVERIFY(pagePreview.save());
    for (PrintPreview *preview : {&pagePreview, &sheetPreview}) {
        fake->answerFile(QString());
        QVERIFY(!preview->save());
        QCOMPARE(lastSave().filter, kCsv);
        QCOMPARE(lastSave().dir, folder + QStringLiteral("/Lista Clientes %1.csv").arg(today));
    }
    // After a PDF, a listing still proposes the last spreadsheet format.
    fake->answerFile(folder + QStringLiteral("/pagina.pdf"));
    QVERIFY(pagePreview.save());
    fake->answerFile(QString());
    QVERIFY(!pagePreview.save());
    QCOMPARE(lastSave().filter, kPdf);
    fake->answerFile(QString());
    QVERIFY(!sheetPreview.save());
    QCOMPARE(lastSave().filter, kCsv);
    // A remembered folder that is gone is not proposed.
    QVERIFY(QDir(folder).removeRecursively());
    fake->answerFile(QString());
    QVERIFY(!pagePreview.save());
    QVERIFY(!lastSave().dir.startsWith(folder));
    QVERIFY(fake->clean());
}

void TestReportOutput::proposedFileNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("name");
    QTest::newRow("listing") << "Lista Clientes" << int(SaveFormat::Xlsx) << "Lista Clientes 15-03-2024.xlsx";
    QTest::newRow("characters a file name cannot hold")
        << "Vendas 01/03 a 31/03: \"PV\" <loja>|*?" << int(SaveFormat::Pdf) << "Vendas 0103 a 3103 PV loja 15-03-2024.pdf";
    QTest::newRow("no title") << "" << int(SaveFormat::Csv) << "Relatório 15-03-2024.csv";
    QTest::newRow("trailing dot and blanks") << "  Caixa.  " << int(SaveFormat::Pdf) << "Caixa 15-03-2024.pdf";
}

void TestReportOutput::proposedFileNames()
{
    QFETCH(QString, title);
    QFETCH(int, format);
    QFETCH(QString, name);
    QCOMPARE(proposedFileName(title, QDate(2024, 3, 15), SaveFormat(format)), name);
}

QTEST_MAIN(TestReportOutput)
#include "test_report_output.moc"
