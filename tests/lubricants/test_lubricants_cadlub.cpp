// The lubricant editor: new rows, saving, moving, the delete question, the
// picture dialog, and loading / saving the table as a file.

#include "LubFixture.h"
#include "core/FakeDialogService.h"
#include "lubricants/LubricantCsv.h"
#include "lubricants/TF_Cad_Lub.h"
#include "lubricants/TF_ImportaLub.h"
#include "lubricants/VehiclePicture.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace brelvo;
using brelvo::core::Answer;
using brelvo::core::FakeDialogService;
using brelvo::data::Dataset;
using lubtest::u;

namespace {
QPushButton *btn(QWidget &w, const char *name) { return w.findChild<QPushButton *>(QString::fromLatin1(name)); }
QLineEdit *edit(QWidget &w, const char *name) { return w.findChild<QLineEdit *>(QString::fromLatin1(name)); }
void type(QWidget &w, const char *name, const QString &text)
{
    QLineEdit *e = edit(w, name);
    if (!e) e = w.findChild<QComboBox *>(QString::fromLatin1(name))->lineEdit();
    e->selectAll();
    QTest::keyClicks(e, text);
}
QString carro(lubricants::TF_Cad_Lub &w) { return w.table()->asString(QStringLiteral("Carro")); }
} // namespace

class TestCadLub : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void movesInYearOrder();
    void newRowIsTypedAndSaved();
    void badYearIsRefused();
    void deleteAsks_data();
    void deleteAsks();
    void pictureDialog();
    void importAndExport();
};

void TestCadLub::movesInYearOrder()
{
    lubtest::Db f;
    f.vehicle("FIAT", "PALIO", 2010);
    f.vehicle("FORD", "KA", 2001);
    f.vehicle("FIAT", "UNO", 2005);
    core::ScopedFakeDialogs dialogs;
    lubricants::TF_Cad_Lub w(f.db);
    w.show();
    QCOMPARE(w.windowTitle(), u("Cadastro de Veiculo e seus Lubrificantes"));
    QVERIFY(!btn(w, "BtSalvar")->isEnabled());
    QCOMPARE(carro(w), u("KA"));
    btn(w, "BtProxima")->click();
    QCOMPARE(carro(w), u("UNO"));
    btn(w, "BtProxima")->click();
    btn(w, "BtProxima")->click();
    QCOMPARE(carro(w), u("PALIO"));
    btn(w, "BtAnterior")->click();
    QCOMPARE(carro(w), u("UNO"));
    QCOMPARE(edit(w, "DBAno")->text(), u("2005"));

    // A change moves on with the row stored.
    type(w, "DBLubrificante", u("5W30"));
    QVERIFY(btn(w, "BtSalvar")->isEnabled());
    btn(w, "BtProxima")->click();
    QCOMPARE(carro(w), u("PALIO"));
    w.table()->prior();
    QCOMPARE(w.table()->asString(QStringLiteral("Lubrificane")), u("5W30"));
    QVERIFY(dialogs->clean());
}

void TestCadLub::newRowIsTypedAndSaved()
{
    lubtest::Db f;
    f.vehicle("FORD", "KA", 2001);
    core::ScopedFakeDialogs dialogs;
    lubricants::TF_Cad_Lub w(f.db);
    w.show();
    auto *maker = w.findChild<QComboBox *>(u("DBFabricante"));
    QCOMPARE(maker->count(), 54);
    QVERIFY(maker->findText(u("CHAMONIX,")) >= 0);
    QCOMPARE(w.findChild<QComboBox *>(u("DBNormaAPI"))->itemText(7), u("API SM"));

    btn(w, "BtNovo")->click();
    QCOMPARE(w.table()->state(), Dataset::State::Insert);
    QVERIFY(btn(w, "BtSalvar")->isEnabled());
    type(w, "DBFabricante", u("mahindra"));
    type(w, "DBCarro", u("scorpio"));
    type(w, "DBAno", u("2011"));
    type(w, "DBLitros", u("6,5"));
    auto *fuel = w.findChild<QComboBox *>(u("DBCombustivel"));
    fuel->setCurrentIndex(1);
    Q_EMIT fuel->activated(1);
    btn(w, "BtSalvar")->click();

    QCOMPARE(w.table()->state(), Dataset::State::Browse);
    QVERIFY(!btn(w, "BtSalvar")->isEnabled());
    QCOMPARE(f.count(), 2);
    w.table()->last();
    QCOMPARE(w.table()->asString(QStringLiteral("Fabricante")), u("MAHINDRA"));
    QCOMPARE(carro(w), u("SCORPIO"));
    QCOMPARE(w.table()->asFloat(QStringLiteral("Ano")), 2011.0);
    QCOMPARE(w.table()->asFloat(QStringLiteral("Litros_Carter")), 6.5);
    QCOMPARE(w.table()->asString(QStringLiteral("Combustivel")), u("Diesel"));
    // The new row has no picture: the default one.
    QCOMPARE(w.picture()->path(), lubricants::defaultPicturePath());
    QVERIFY(dialogs->clean());
}

void TestCadLub::badYearIsRefused()
{
    lubtest::Db f;
    core::ScopedFakeDialogs dialogs;
    lubricants::TF_Cad_Lub w(f.db);
    w.show();
    btn(w, "BtNovo")->click();
    type(w, "DBCarro", u("GOL"));
    type(w, "DBAno", u("20x1"));
    btn(w, "BtSalvar")->click();
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Error), 1);
    QVERIFY(dialogs->messages().first().contains(u("20x1")));
    QCOMPARE(w.table()->state(), Dataset::State::Insert);
    QCOMPARE(f.count(), 0);

    type(w, "DBAno", u("2001"));
    btn(w, "BtSalvar")->click();
    QCOMPARE(f.count(), 1);
}

void TestCadLub::deleteAsks_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("newRow");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("yes deletes") << true << false << QStringList{u("UNO")};
    QTest::newRow("no keeps") << false << false << QStringList{u("KA"), u("UNO")};
    QTest::newRow("yes on a new row drops only it") << true << true << QStringList{u("KA"), u("UNO")};
}

void TestCadLub::deleteAsks()
{
    QFETCH(bool, yes);
    QFETCH(bool, newRow);
    QFETCH(QStringList, left);
    lubtest::Db f;
    f.vehicle("FORD", "KA", 2001);
    f.vehicle("FIAT", "UNO", 2005);
    core::ScopedFakeDialogs dialogs;
    dialogs->answerQuestion(yes ? Answer::Yes : Answer::No);
    lubricants::TF_Cad_Lub w(f.db);
    w.show();
    if (newRow) {
        btn(w, "BtNovo")->click();
        type(w, "DBCarro", u("NOVO"));
    }
    btn(w, "BtDeletar")->click();
    const auto q = dialogs->callsOf(FakeDialogService::Kind::Question);
    QCOMPARE(q.size(), 1);
    QCOMPARE(q.first().title, u("Exclusão"));
    QCOMPARE(q.first().text, u("DESEJA EXCLUIR ESTE REGISTRO?"));
    if (!yes || !newRow)
        QCOMPARE(w.table()->state(), newRow ? Dataset::State::Insert : Dataset::State::Browse);
    else
        QCOMPARE(w.table()->state(), Dataset::State::Browse);
    QCOMPARE(testdb::column(*w.table(), QStringLiteral("Carro")), left);
    QVERIFY(dialogs->clean());
}

void TestCadLub::pictureDialog()
{
    lubtest::Db f;
    const QString blue = f.picture("azul.bmp", Qt::blue);
    f.vehicle("FORD", "KA", 2001);
    f.vehicle("FIAT", "UNO", 2005, blue);
    QFile notAPicture(f.pictures.filePath(u("falsa.jpg")));
    QVERIFY(notAPicture.open(QIODevice::WriteOnly));
    notAPicture.write("not a picture");
    notAPicture.close();
    const QString green = f.picture("verde.png", Qt::green);

    core::ScopedFakeDialogs dialogs;
    lubricants::TF_Cad_Lub w(f.db);
    w.show();
    auto *pic = w.picture();
    QCOMPARE(pic->path(), lubricants::defaultPicturePath());

    // Cancelled: nothing changes.
    dialogs->answerFile(QString());
    QTest::mouseClick(pic, Qt::LeftButton);
    const auto open = dialogs->callsOf(FakeDialogService::Kind::OpenFile);
    QCOMPARE(open.size(), 1);
    QVERIFY(open.first().text.contains(u("*.jpg")) && open.first().text.contains(u("*.bmp"))
            && open.first().text.contains(u("*.ico")));
    QVERIFY(!open.first().text.contains(u("*.wmf")));
    QCOMPARE(w.table()->state(), Dataset::State::Browse);
    QVERIFY(w.table()->isNull(QStringLiteral("Image")));
    QVERIFY(!btn(w, "BtSalvar")->isEnabled());
    QCOMPARE(pic->path(), lubricants::defaultPicturePath());

    // A file that is no picture: told, nothing changes.
    dialogs->answerFile(notAPicture.fileName());
    w.ImageClick();
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Error), 1);
    QCOMPARE(w.table()->state(), Dataset::State::Browse);
    QCOMPARE(pic->path(), lubricants::defaultPicturePath());

    // A picture: the row is being changed, the path stored and shown.
    dialogs->answerFile(green);
    w.ImageClick();
    QCOMPARE(w.table()->state(), Dataset::State::Edit);
    QVERIFY(btn(w, "BtSalvar")->isEnabled());
    QCOMPARE(w.table()->asString(QStringLiteral("Image")), green);
    QCOMPARE(pic->path(), green);
    btn(w, "BtSalvar")->click();
    QCOMPARE(w.table()->state(), Dataset::State::Browse);

    // Moving shows each row's own picture.
    btn(w, "BtProxima")->click();
    QCOMPARE(pic->path(), blue);
    btn(w, "BtAnterior")->click();
    QCOMPARE(pic->path(), green);
    QVERIFY(dialogs->clean());
}

void TestCadLub::importAndExport()
{
    lubtest::Db f;
    f.vehicle("FORD", "KA", 2001);
    QTemporaryDir dir;
    const QString csv = dir.filePath(u("veiculos.csv"));
    {
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // Windows-1252, as a spreadsheet on that system saves it.
        file.write("Fabricante;Carro;Ano;Combust\xEDvel;Lubrificante\r\n"
                   "FORD;KA;2001;;\r\n"
                   "fiat;uno;2005;\xC1lcool;20W50\r\n"
                   "FIAT;PALIO;dois mil;;\r\n"
                   "VOLKSWAGEN;GOL;2008;Gasolina;15W40\r\n");
    }

    core::ScopedFakeDialogs dialogs;
    lubricants::TF_Cad_Lub w(f.db);
    w.show();

    // First run: the preview, then the counts.
    QString summary;
    int previewRows = 0;
    dialogs->answerFile(csv);
    dialogs->onDialog(u("TF_ImportaLub"), [&](QDialog *d) {
        auto *p = static_cast<lubricants::TF_ImportaLub *>(d);
        summary = p->summary();
        previewRows = p->grid()->rowCount();
        return btn(*p, "btnImportar")->isEnabled() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    btn(w, "BtImportar")->click();
    QCOMPARE(summary, u("2 linha(s) serão adicionadas; 2 recusada(s)."));
    QCOMPARE(previewRows, 4);
    QCOMPARE(dialogs->messages(), QStringList{u("2 veículo(s) adicionado(s); 2 linha(s) recusada(s).")});
    QCOMPARE(f.count(), 3);
    QCOMPARE(testdb::column(*w.table(), QStringLiteral("Carro")), (QStringList{u("KA"), u("UNO"), u("GOL")}));
    w.table()->first();
    w.table()->next();
    QCOMPARE(w.table()->asString(QStringLiteral("Combustivel")), u("Álcool"));

    // Second run on the same file: nothing to add, nothing stored.
    dialogs->clearCalls();
    dialogs->answerFile(csv);
    btn(w, "BtImportar")->click();
    QCOMPARE(summary, u("0 linha(s) serão adicionadas; 4 recusada(s)."));
    QVERIFY(dialogs->messages().isEmpty());
    QCOMPARE(f.count(), 3);

    // A file without a header naming the columns: told, no preview.
    const QString bad = dir.filePath(u("ruim.csv"));
    {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("FIAT;UNO;2005\n");
    }
    dialogs->clearCalls();
    summary.clear();
    dialogs->answerFile(bad);
    btn(w, "BtImportar")->click();
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Warning), 1);
    QVERIFY(summary.isEmpty());

    // Cancelling the file dialog does nothing.
    dialogs->clearCalls();
    dialogs->answerFile(QString());
    btn(w, "BtImportar")->click();
    QVERIFY(dialogs->messages().isEmpty());

    // Saving the table: what the import reads back.
    const QString out = dir.filePath(u("saida.csv"));
    dialogs->answerFile(out);
    btn(w, "BtExportar")->click();
    QFile saved(out);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QCOMPARE(bytes.count("\r\n"), 4);
    QCOMPARE(lubricants::planImport(bytes, f.db).refusedCount(), 3);
    QCOMPARE(dialogs->messages().last(), u("Tabela salva em \"%1\".").arg(out));
    QVERIFY(dialogs->clean());
}

QTEST_MAIN(TestCadLub)
#include "test_lubricants_cadlub.moc"
