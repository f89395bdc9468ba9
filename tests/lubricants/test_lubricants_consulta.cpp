// The oil-change lookup: makers and typed names restrict the list in
// model-year order, a picked vehicle shows its details and its picture.

#include "LubFixture.h"
#include "core/DatasetModel.h"
#include "core/FakeDialogService.h"
#include "lubricants/TF_consulta.h"
#include "lubricants/VehiclePicture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace brelvo;
using lubtest::u;

namespace {

QStringList listed(lubricants::TF_consulta &w)
{
    QStringList out;
    auto *m = w.list()->datasetModel();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->data(m->index(r, 0)).toString();
    return out;
}

void fill(lubtest::Db &f)
{
    f.vehicle("FIAT", "STRADA", 2012);
    f.vehicle("IVECO-FIAT", "DAILY", 2004);
    f.vehicle("FIAT", "UNO", 2005);
    f.vehicle("FIAT (IMPORTADO)", "500", 2009);
    f.vehicle("VOLKSWAGEN", "PASSAT", 2007);
    f.vehicle("FIAT", "PALIO", 2010);
    f.vehicle("CHEVROLET", "CORSA", 2003);
    f.vehicle("FORD", "COURIER", 2001);
    f.vehicle("RENAULT", "D'ARTAGNAN", 1999);
}

int rowOf(lubricants::TF_consulta &w, const QString &car) { return int(listed(w).indexOf(car)); }

} // namespace

class TestConsulta : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensReadyToSearch();
    void makerListsItsCarsInYearOrder();
    void typedLettersListEveryMaker();
    void typedQuotesAreSearchedNotParsed();
    void pickingShowsTheDetail();
    void pictures();
    void missingDefaultPictureToldOnce();
};

void TestConsulta::opensReadyToSearch()
{
    lubtest::Db f;
    fill(f);
    core::ScopedFakeDialogs dialogs;
    lubricants::TF_consulta w(f.db);
    w.show();
    QCOMPARE(w.windowTitle(), u("Consulta de Lubrificantes Correto"));
    auto *maker = w.findChild<QComboBox *>(u("cbFabricante"));
    QCOMPARE(maker->currentText(), u("FABRICANTE"));
    QCOMPARE(maker->count(), 54);
    QCOMPARE(maker->itemText(0), u("CHEVROLET"));
    QCOMPARE(maker->itemText(5), u("VOLVO"));
    QCOMPARE(maker->itemText(6), u("HONDA"));
    QCOMPARE(w.focusWidget(), w.findChild<QLineEdit *>(u("EditBuscar")));
    QVERIFY(w.detail()->isHidden());
    QCOMPARE(listed(w).size(), 9);

    w.reject();   // closing closes the table
    QVERIFY(!w.table()->isOpen());
    QVERIFY(dialogs->clean());
}

void TestConsulta::makerListsItsCarsInYearOrder()
{
    lubtest::Db f;
    fill(f);
    core::ScopedFakeDialogs dialogs;
    lubricants::TF_consulta w(f.db);
    w.show();
    auto *maker = w.findChild<QComboBox *>(u("cbFabricante"));

    // Chosen from the list.
    maker->setCurrentIndex(maker->findText(u("FIAT")));
    Q_EMIT maker->activated(maker->currentIndex());
    QCOMPARE(listed(w), (QStringList{u("UNO"), u("500"), u("PALIO"), u("STRADA")}));
    QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.list()));
    QVERIFY(w.detail()->isHidden());

    // Typed and confirmed with Enter; lower case becomes upper case.
    maker->lineEdit()->selectAll();
    QTest::keyClicks(maker->lineEdit(), u("chev"));
    QCOMPARE(maker->currentText().left(4), u("CHEV"));
    QTest::keyClick(maker->lineEdit(), Qt::Key_Return);
    QCOMPARE(listed(w), QStringList{u("CORSA")});
    QVERIFY(dialogs->clean());
}

void TestConsulta::typedLettersListEveryMaker()
{
    lubtest::Db f;
    fill(f);
    core::ScopedFakeDialogs dialogs;
    lubricants::TF_consulta w(f.db);
    w.show();
    auto *buscar = w.findChild<QLineEdit *>(u("EditBuscar"));

    QTest::keyClicks(buscar, u("co"));
    QCOMPARE(buscar->text(), u("CO"));
    QCOMPARE(listed(w), (QStringList{u("COURIER"), u("CORSA")}));

    // A maker first, then typed letters: the letters replace the maker's restriction,
    // and each box shows only the restriction in force.
    w.escolherFabricante(u("FIAT"));
    QVERIFY(buscar->text().isEmpty());
    QTest::keyClicks(buscar, u("pa"));
    QCOMPARE(listed(w), (QStringList{u("PASSAT"), u("PALIO")}));
    QCOMPARE(w.findChild<QComboBox *>(u("cbFabricante"))->currentText(), u("FABRICANTE"));
    QTest::keyClick(buscar, Qt::Key_Backspace);
    QCOMPARE(listed(w), (QStringList{u("PASSAT"), u("PALIO")}));
    QTest::keyClick(buscar, Qt::Key_Backspace);
    QCOMPARE(listed(w).size(), 9);
    QTest::keyClicks(buscar, u("x"));
    QVERIFY(listed(w).isEmpty());
    QVERIFY(dialogs->clean());
}

void TestConsulta::typedQuotesAreSearchedNotParsed()
{
    lubtest::Db f;
    fill(f);
    core::ScopedFakeDialogs dialogs;
    lubricants::TF_consulta w(f.db);
    w.show();
    auto *buscar = w.findChild<QLineEdit *>(u("EditBuscar"));
    QTest::keyClicks(buscar, u("d'a"));
    QCOMPARE(listed(w), QStringList{u("D'ARTAGNAN")});
    buscar->clear();
    QTest::keyClicks(buscar, u("' or '1'='1"));
    QVERIFY(listed(w).isEmpty());
    w.escolherFabricante(u("FIAT' OR Carro='UNO"));
    QVERIFY(listed(w).isEmpty());
    QVERIFY2(dialogs->clean(), qPrintable(dialogs->problems().join(u("\n"))));
    QVERIFY(dialogs->messages().isEmpty());
}

void TestConsulta::pickingShowsTheDetail()
{
    lubtest::Db f;
    fill(f);
    core::ScopedFakeDialogs dialogs;
    lubricants::TF_consulta w(f.db);
    w.show();
    w.escolherFabricante(u("FIAT"));
    const int row = rowOf(w, u("PALIO"));
    QVERIFY(row >= 0);
    const QRect cell = w.list()->visualRect(w.list()->datasetModel()->index(row, 0));
    QTest::mouseClick(w.list()->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(!w.detail()->isHidden());
    QCOMPARE(w.findChild<QLabel *>(u("lbCarro"))->text(), u("PALIO"));
    QCOMPARE(w.findChild<QLabel *>(u("lbAno"))->text(), u("2010"));
    QCOMPARE(w.findChild<QLabel *>(u("lbLubrificante"))->text(), u("15W40"));
    QCOMPARE(w.findChild<QLabel *>(u("lbNormaAPI"))->text(), u("API SL"));
    QCOMPARE(w.findChild<QLabel *>(u("lbLitros"))->text(), u("3,5"));

    // A new search hides the detail again.
    QTest::keyClicks(w.findChild<QLineEdit *>(u("EditBuscar")), u("C"));
    QVERIFY(w.detail()->isHidden());
}

void TestConsulta::pictures()
{
    lubtest::Db f;
    const QString red = f.picture("vermelho.png", Qt::red);
    f.vehicle("FIAT", "UNO", 2005, red);
    f.vehicle("FIAT", "PALIO", 2010);
    f.vehicle("FIAT", "SIENA", 2011, f.pictures.filePath(u("sumiu.jpg")));
    f.vehicle("FIAT", "IDEA", 2012, u("Veiculos/imagem.png"));   // relative to the program folder
    core::ScopedFakeDialogs dialogs;
    lubricants::TF_consulta w(f.db);
    w.show();
    auto *pic = w.picture();
    const QString shipped = lubricants::defaultPicturePath();
    QVERIFY(QFile::exists(shipped));

    w.mostrarCarro(rowOf(w, u("UNO")));
    QCOMPARE(pic->path(), red);
    QVERIFY(!pic->pixmap().isNull());
    QCOMPARE(pic->pixmap().toImage().pixelColor(pic->pixmap().width() / 2, pic->pixmap().height() / 2), QColor(Qt::red));

    w.mostrarCarro(rowOf(w, u("PALIO")));   // no picture: the default one
    QCOMPARE(pic->path(), shipped);
    w.mostrarCarro(rowOf(w, u("UNO")));
    w.mostrarCarro(rowOf(w, u("SIENA")));   // file gone: the previous picture stays
    QCOMPARE(pic->path(), red);
    w.mostrarCarro(rowOf(w, u("IDEA")));
    QCOMPARE(QFileInfo(pic->path()).canonicalFilePath(), QFileInfo(shipped).canonicalFilePath());
    QVERIFY(dialogs->clean());
}

void TestConsulta::missingDefaultPictureToldOnce()
{
    lubtest::Db f;
    f.vehicle("FIAT", "UNO", 2005);
    f.vehicle("FIAT", "PALIO", 2010);
    QTemporaryDir empty;
    core::setProgramFolder(empty.path());
    core::ScopedFakeDialogs dialogs;
    lubricants::TF_consulta w(f.db);
    w.show();
    w.mostrarCarro(0);
    w.mostrarCarro(1);
    QCOMPARE(dialogs->count(core::FakeDialogService::Kind::Error), 1);
    QVERIFY(dialogs->messages().first().startsWith(u("Não foi possível abrir o arquivo")));
    QVERIFY(dialogs->messages().first().contains(u("imagem.png")));
}

QTEST_MAIN(TestConsulta)
#include "test_lubricants_consulta.moc"
