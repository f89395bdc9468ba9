// The progress search window: its filters and period, colours, the details
// of an order, the printed list and leaving.

#include "OrderFixture.h"
#include "core/FakeDialogService.h"
#include "orders/TForm_Pesquisa.h"
#include "printing/PageModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace brelvo;
using core::Answer;
using orders::TForm_Pesquisa;
using ordertest::u;

namespace {

// Order numbers the cursor shows, in its order.
QList<int> shown(TForm_Pesquisa &w)
{
    QList<int> out;
    data::Table *t = w.T_controle();
    for (t->first(); !t->eof(); t->next())
        out << int(t->asInteger(QStringLiteral("Codigo")));
    return out;
}

void sample(ordertest::Db &f)
{
    const QDate d0(2026, 3, 1);
    f.order(1, "PV", "EM ABERTO", d0, "AAA1111", 100, {{"Tecnico", u("CARLOS")}, {"NomeCliente", u("JOAO SILVA")}});
    f.order(2, "PV", "ENTREGUE", d0.addDays(1), "BBB2222", 200, {{"Tecnico", u("CARLOS")}, {"NomeCliente", u("MARIA")}});
    f.order(3, "OC", "EM ABERTO", d0.addDays(2), "CCC3333", 50.5, {{"Tecnico", u("PEDRO")}, {"NomeCliente", u("JOAQUIM")}});
    f.order(4, "PV", "FINALIZADO", d0.addDays(3), "DDD4444", 80, {{"Tecnico", u("CARLOSÉ")}, {"NomeCliente", u("ANA")}});
    f.order(5, "PV", "FALTANDO PEÇAS", d0.addDays(10), "EEE5555", 10, {{"Tecnico", u("PEDRO")}, {"NomeCliente", u("JOAO")}});
    f.employee(1, "PEDRO", "MECÂNICO");
    f.employee(2, "CARLOS", "MECÂNICO");
    f.employee(3, "ANA", "ATENDENTE");
}
} // namespace

class TestPesquisa : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void progressFilter_data();
    void progressFilter();
    void mechanicAndCustomerReplaceTheFilter();
    void period();
    void coloursAndDetails();
    void printedList();
    void leaving();
};

void TestPesquisa::progressFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("orders");
    QTest::newRow("initial") << QString() << QList<int>{1, 3};
    QTest::newRow("EM") << "EM" << QList<int>{1, 3};
    QTest::newRow("ENTREGUE") << "ENTREGUE" << QList<int>{2};
    QTest::newRow("E") << "E" << QList<int>{1, 2, 3};
    QTest::newRow("FINALIZADO") << "FINALIZADO" << QList<int>{4};
    QTest::newRow("FALTANDO PEÇAS") << u("FALTANDO PEÇAS") << QList<int>{5};
    QTest::newRow("lower case is another text") << "em" << QList<int>{};
}

void TestPesquisa::progressFilter()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, orders);
    ordertest::Db f;
    sample(f);
    core::ScopedFakeDialogs dialogs;
    TForm_Pesquisa w(f.db);
    auto *cb = w.findChild<QComboBox *>(QStringLiteral("cbAndamento"));
    QCOMPARE(cb->currentText(), u("EM ABERTO"));
    QCOMPARE(cb->count(), 10);
    if (!text.isNull())
        cb->setEditText(text);
    QCOMPARE(shown(w), orders);
    QVERIFY(dialogs->clean());
}

void TestPesquisa::mechanicAndCustomerReplaceTheFilter()
{
    ordertest::Db f;
    sample(f);
    core::ScopedFakeDialogs dialogs;
    TForm_Pesquisa w(f.db);
    auto *mec = w.findChild<orders::FillOnOpenCombo *>(QStringLiteral("cbMecanico"));
    QCOMPARE(mec->count(), 0);
    w.fillMecanicos();
    QCOMPARE(mec->count(), 2);
    QCOMPARE(mec->itemText(0), u("CARLOS"));   // mechanics only, by name
    QCOMPARE(mec->itemText(1), u("PEDRO"));
    // After the state filter, the mechanic's orders of every state
    // (a prefix: CARLOSÉ too).
    w.mecanicoChosen(u("CARLOS"));
    QCOMPARE(shown(w), (QList<int>{1, 2, 4}));

    auto *cli = w.findChild<QLineEdit *>(QStringLiteral("edCliente"));
    QCOMPARE(cli->toolTip(), u("Digite o nome do cliente!"));
    QTest::keyClicks(cli, QStringLiteral("joa"));
    QCOMPARE(cli->text(), u("JOA"));
    QCOMPARE(shown(w), (QList<int>{1, 3, 5}));
    QTest::keyClicks(cli, QStringLiteral("o "));
    QCOMPARE(shown(w), (QList<int>{1}));

    w.findChild<QPushButton *>(QStringLiteral("btnMostrarTodas"))->click();
    QCOMPARE(shown(w), (QList<int>{1, 2, 3, 4, 5}));
    QVERIFY(dialogs->clean());
}

void TestPesquisa::period()
{
    ordertest::Db f;
    sample(f);
    core::ScopedFakeDialogs dialogs;
    TForm_Pesquisa w(f.db);
    auto *de = w.findChild<QLineEdit *>(QStringLiteral("edDe"));
    auto *ate = w.findChild<QLineEdit *>(QStringLiteral("edAte"));
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    QCOMPARE(de->text(), today);
    QCOMPARE(ate->text(), today);

    // Inclusive on both ends, every state, in date order.
    de->setText(QStringLiteral("02/03/2026"));
    ate->setText(QStringLiteral("04/03/2026"));
    w.findChild<QPushButton *>(QStringLiteral("btnOk"))->click();
    QCOMPARE(shown(w), (QList<int>{2, 3, 4}));

    // Enter in the second box applies it too; an empty box means no period.
    ate->clear();
    QTest::keyClick(ate, Qt::Key_Return);
    QCOMPARE(shown(w), (QList<int>{1, 2, 3, 4, 5}));

    // A date that does not exist is told and changes nothing.
    de->setText(QStringLiteral("02/03/2026"));
    ate->setText(QStringLiteral("31/02/2026"));
    w.periodoOk();
    QCOMPARE(dialogs->messages(), QStringList{u("Data inválida no período. Digite as datas como dd/mm/aaaa.")});
    QCOMPARE(shown(w), (QList<int>{1, 2, 3, 4, 5}));
}

void TestPesquisa::coloursAndDetails()
{
    ordertest::Db f;
    const qint64 a = f.order(1, "PV", "EM ABERTO", QDate(2026, 1, 1));
    f.order(2, "PV", "FINALIZADO", QDate(2026, 1, 2));
    f.order(3, "PV", "CANCELADO", QDate(2026, 1, 3));
    f.order(4, "PV", "AGUARDANDO PEÇAS", QDate(2026, 1, 4));
    f.order(5, "PV", "FALTANDO PEÇAS", QDate(2026, 1, 5));
    f.order(6, "PV", "ENTREGUE", QDate(2026, 1, 6));
    f.orderItem(a, 7891000100103, "FILTRO", 2, 10);
    f.orderItem(a, 15, "MAO DE OBRA", 1, 80, "N");
    core::ScopedFakeDialogs dialogs;
    TForm_Pesquisa w(f.db);
    w.mostrarTodas();
    const QList<QColor> expected{QColor(0x80, 0, 0), QColor(0, 0x80, 0), QColor(0xFF, 0, 0),
                                 QColor(0, 0x40, 0x80), QColor(0x51, 0x51, 0), QColor()};
    for (int row = 0; row < expected.size(); ++row)
        QCOMPARE(w.rowColour(row), expected[row]);
    QVERIFY(w.findChild<QLabel *>(u("legenda_AGUARDANDO_PEÇAS")));

    w.show();
    auto *grid = w.findChild<QAbstractItemView *>(QStringLiteral("DBGrid1"));
    const QRect r = grid->visualRect(grid->model()->index(0, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    auto *panel = w.findChild<QFrame *>(QStringLiteral("PanDetalhesVendas"));
    QVERIFY(panel->isVisible());
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lblDetalhesOs"))->text(), u("OS Nº..: 0001"));
    QCOMPARE(w.TabelaItem()->recordCount(), 2);
    w.findChild<QPushButton *>(QStringLiteral("btnFecharDetalhes"))->click();
    QVERIFY(!panel->isVisible());
}

void TestPesquisa::printedList()
{
    ordertest::Db f;
    sample(f);
    core::ScopedFakeDialogs dialogs;
    QStringList texts;
    dialogs->onNamed(QStringLiteral("preview"), [&](QWidget *, void *object) {
        texts = static_cast<printing::PreparedReport *>(object)->texts(0);
        return 0;
    });
    TForm_Pesquisa w(f.db);
    w.findChild<QLineEdit *>(QStringLiteral("edDe"))->setText(QStringLiteral("01/03/2026"));
    w.findChild<QLineEdit *>(QStringLiteral("edAte"))->setText(QStringLiteral("31/03/2026"));
    // The list prints what the grid shows: "EM ABERTO" orders 1 and 3.
    w.findChild<QPushButton *>(QStringLiteral("btnImprimir"))->click();
    QVERIFY(texts.contains(u("Relatório de Serviços")));
    QVERIFY(texts.contains(u("De: 01/03/2026  a: 31/03/2026")));
    QVERIFY(texts.contains(u("JOAO SILVA")));
    QVERIFY(texts.contains(u("JOAQUIM")));
    QVERIFY(!texts.contains(u("MARIA")));
    QVERIFY(texts.contains(u("0003")));
    QCOMPARE(texts.at(texts.indexOf(u("Total de Registro(s):")) + 1), u("2"));
    QVERIFY(texts.contains(u("150,50")));
    // The grid's cursor is where it was.
    QCOMPARE(w.T_controle()->asInteger(QStringLiteral("Codigo")), 1);
}

void TestPesquisa::leaving()
{
    ordertest::Db f;
    core::ScopedFakeDialogs dialogs;
    TForm_Pesquisa w(f.db);
    w.show();
    dialogs->answerQuestion(Answer::No);
    w.findChild<QPushButton *>(QStringLiteral("btnSair"))->click();
    QVERIFY(w.isVisible());
    QCOMPARE(dialogs->last()->title, u("SAIR"));
    QCOMPARE(dialogs->last()->text, u("Deseja sair da tela de pesquisa?"));
    // Esc moves back a control; it does not close.
    QTest::keyClick(w.findChild<QLineEdit *>(QStringLiteral("edCliente")), Qt::Key_Escape);
    QVERIFY(w.isVisible());
    dialogs->answerQuestion(Answer::Yes);
    w.findChild<QPushButton *>(QStringLiteral("btnSair"))->click();
    QVERIFY(!w.isVisible());
    QVERIFY(dialogs->clean());
}

QTEST_MAIN(TestPesquisa)
#include "test_pesquisa.moc"
