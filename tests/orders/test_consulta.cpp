// The product picker: the two modes and their keys, the prefix filter, the
// picture shown for the current product.

#include "OrderFixture.h"
#include "core/AppPaths.h"
#include "core/FakeDialogService.h"
#include "orders/TFConsulta.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace brelvo;
using orders::TFConsulta;
using ordertest::u;

namespace {
QLineEdit *descricao(TFConsulta &w) { return w.findChild<QLineEdit *>(QStringLiteral("edtDescricao")); }

QStringList shownDescriptions(TFConsulta &w)
{
    QStringList out;
    data::Table *t = w.QrProdutos();
    const auto bm = t->bookmark();
    for (t->first(); !t->eof(); t->next())
        out << t->asString(QStringLiteral("Descricao"));
    t->gotoBookmark(bm);
    return out;
}

void catalogue(ordertest::Db &f)
{
    f.product(7891000100103, "FILTRO DE AR", 35.5, "S", "N", QString(), "TECFIL");
    f.product(7891000100110, "FILTRO DE OLEO", 22, "S", "N", QString(), "FRAM");
    f.product(7891000100127, "FREIO DIANTEIRO", 120);
    f.product(15, "ALINHAMENTO", 80, "N");
}
} // namespace

class TestConsulta : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void modesAndKeys_data();
    void modesAndKeys();
    void doubleClickChoosesInEitherMode();
    void prefixFilterAndF2();
    void picture();
};

void TestConsulta::modesAndKeys_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("chooses");
    QTest::newRow("F1 mode, F1") << "F1" << int(Qt::Key_F1) << true;
    QTest::newRow("F1 mode, F3") << "F1" << int(Qt::Key_F3) << false;
    QTest::newRow("F3 mode, F3") << "F3" << int(Qt::Key_F3) << true;
    QTest::newRow("F3 mode, F1") << "F3" << int(Qt::Key_F1) << false;
}

void TestConsulta::modesAndKeys()
{
    QFETCH(QString, mode);
    QFETCH(int, key);
    QFETCH(bool, chooses);
    ordertest::Db f;
    catalogue(f);
    core::ScopedFakeDialogs dialogs;
    QWidget caller;
    auto *codeBox = new QLineEdit(&caller);
    codeBox->setText(QStringLiteral("999"));
    TFConsulta w(f.db, mode, codeBox);
    QCOMPARE(w.windowTitle(), u("Consulta Produtos"));
    QCOMPARE(w.findChild<QStatusBar *>(QStringLiteral("StatusBar1"))->currentMessage(),
             mode == QLatin1String("F1")
                 ? u(" Tecle (F2) Para Descrição | Selecionar Codigo e Sair Tecle (F1)")
                 : u(" Tecle (F2) Para Descrição | Selecionar Codigo e Sair Tecle (F3)"));
    w.show();
    QTest::keyClicks(descricao(w), QStringLiteral("filtro de o"));
    QCOMPARE(w.QrProdutos()->asString(QStringLiteral("Descricao")), u("FILTRO DE OLEO"));
    QTest::keyClick(descricao(w), Qt::Key(key));
    if (chooses) {
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(codeBox->text(), QStringLiteral("7891000100110"));
        QCOMPARE(w.chosenCode(), QStringLiteral("7891000100110"));
    } else {
        QVERIFY(w.isVisible());
        QCOMPARE(codeBox->text(), QStringLiteral("999"));
        QVERIFY(w.chosenCode().isEmpty());
    }
    QVERIFY(dialogs->clean());
}

void TestConsulta::doubleClickChoosesInEitherMode()
{
    for (const QString &mode : {QStringLiteral("F1"), QStringLiteral("F3"), QStringLiteral("X")}) {
        ordertest::Db f;
        catalogue(f);
        core::ScopedFakeDialogs dialogs;
        QLineEdit codeBox;
        TFConsulta w(f.db, mode, &codeBox);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *grid = w.findChild<QAbstractItemView *>(QStringLiteral("DBGrid1"));
        QVERIFY(grid);
        // The fourth row in code order is the last product added: 7891000100127.
        const QRect r = grid->visualRect(grid->model()->index(3, 1));
        QVERIFY(r.isValid());
        // A double click arrives after the press of its first click.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(codeBox.text(), QStringLiteral("7891000100127"));
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }
}

void TestConsulta::prefixFilterAndF2()
{
    ordertest::Db f;
    catalogue(f);
    core::ScopedFakeDialogs dialogs;
    QLineEdit codeBox;
    TFConsulta w(f.db, QStringLiteral("F1"), &codeBox);
    w.show();
    QCOMPARE(shownDescriptions(w).size(), 4);

    QTest::keyClicks(descricao(w), QStringLiteral("f"));
    QCOMPARE(descricao(w)->text(), QStringLiteral("F"));   // upper case forced
    QCOMPARE(shownDescriptions(w), (QStringList{u("FILTRO DE AR"), u("FILTRO DE OLEO"), u("FREIO DIANTEIRO")}));
    QTest::keyClicks(descricao(w), QStringLiteral("il"));
    QCOMPARE(shownDescriptions(w), (QStringList{u("FILTRO DE AR"), u("FILTRO DE OLEO")}));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lblDescricao"))->text(), u("FILTRO DE AR"));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lblCodigo"))->text(), u("7891000100103"));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lblPreco"))->text(), u("35,50"));
    // A prefix, not a substring: "DE" matches nothing.
    descricao(w)->setText(QStringLiteral("DE"));
    QVERIFY(shownDescriptions(w).isEmpty());
    // A quote in the text is a plain character of the filter.
    descricao(w)->setText(QStringLiteral("D'AGUA"));
    QVERIFY(shownDescriptions(w).isEmpty());
    QVERIFY(dialogs->clean());

    descricao(w)->setText(QStringLiteral("FR"));
    QCOMPARE(shownDescriptions(w), QStringList{u("FREIO DIANTEIRO")});
    QTest::keyClick(descricao(w), Qt::Key_F2);
    QCOMPARE(shownDescriptions(w).size(), 4);
    QCOMPARE(descricao(w)->selectedText(), QStringLiteral("FR"));
    QVERIFY(w.isVisible());
}

void TestConsulta::picture()
{
    QTemporaryDir folder;
    QImage placeholder(8, 8, QImage::Format_RGB32);
    placeholder.fill(Qt::gray);
    QVERIFY(placeholder.save(folder.filePath(QStringLiteral("sem_img.jpg"))));
    QImage photo(8, 8, QImage::Format_RGB32);
    photo.fill(Qt::red);
    const QString photoPath = folder.filePath(QStringLiteral("filtro.png"));
    QVERIFY(photo.save(photoPath));
    core::setProgramFolder(folder.path());

    ordertest::Db f;
    f.product(1, "AMORTECEDOR", 10, "S", "N", photoPath);
    f.product(2, "BATERIA", 10, "S", "N", QString());
    f.product(3, "CORREIA", 10, "S", "N", folder.filePath(QStringLiteral("sumiu.png")));
    core::ScopedFakeDialogs dialogs;
    QLineEdit codeBox;
    TFConsulta w(f.db, QStringLiteral("F1"), &codeBox);
    QCOMPARE(w.picturePath(), photoPath);
    w.QrProdutos()->next();
    QCOMPARE(w.picturePath(), folder.filePath(QStringLiteral("sem_img.jpg")));
    w.QrProdutos()->next();   // missing file: the previous picture stays
    QCOMPARE(w.picturePath(), folder.filePath(QStringLiteral("sem_img.jpg")));
    // After a filter the picture follows the product found.
    w.descricaoChange(QStringLiteral("AMO"));
    QCOMPARE(w.picturePath(), photoPath);
    QVERIFY(!w.findChild<QLabel *>(QStringLiteral("ImgFoto"))->pixmap().isNull());
    core::setProgramFolder(QString());
}

QTEST_MAIN(TestConsulta)
#include "test_consulta.moc"
