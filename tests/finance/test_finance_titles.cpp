// The receivables and payables windows: numbering, saving, the reminder,
// the filters and totals, the payables' status and overdue filter, locating,
// the pick lists and the printed list.

#include "FinanceFixture.h"

#include "core/DataControls.h"
#include "core/Format.h"
#include "core/Widgets.h"
#include "finance/Tfpagar.h"
#include "finance/Tfreceber.h"
#include "finance/Today.h"
#include "printing/PageModel.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

using namespace brelvo;
using namespace fintest;
using finance::TitleWindow;
using Kind = core::FakeDialogService::Kind;
using core::Answer;

namespace {

std::unique_ptr<TitleWindow> open(Fixture &f, bool payable)
{
    if (payable)
        return std::make_unique<finance::Tfpagar>(f.db);
    return std::make_unique<finance::Tfreceber>(f.db);
}

const char *tableOf(bool payable) { return payable ? "tbpagar.db" : "tbreceber.db"; }

void typeName(TitleWindow &w, const QString &name)
{
    QTest::keyClicks(child<QComboBox>(&w, "cbFantasia")->lineEdit(), name);
}

void typeValue(TitleWindow &w, const QString &value)
{
    QTest::keyClicks(child<QLineEdit>(&w, "edtValor"), value);
}

void clickLabel(TitleWindow &w, const char *name)
{
    QTest::mouseClick(child<QLabel>(&w, name), Qt::LeftButton);
}

QStringList shownNames(TitleWindow &w)
{
    return testdb::column(*w.titles(), QStringLiteral("Fantasia"));
}

bool hasFocus(QWidget *w)
{
    QWidget *f = QApplication::focusWidget();
    return f && (f == w || w->isAncestorOf(f));
}

void addKindColumn()
{
    QTest::addColumn<bool>("payable");
    QTest::newRow("receber") << false;
    QTest::newRow("pagar") << true;
}

} // namespace

class TitlesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // ------------------------------------------------------------ numbering and saving

    void firstEntryOfAnEmptyTable_data() { addKindColumn(); }
    void firstEntryOfAnEmptyTable()
    {
        QFETCH(bool, payable);
        Fixture f;
        auto w = open(f, payable);
        click(w.get(), "btnNovo");
        QCOMPARE(child<QLineEdit>(w.get(), "edtCodigo")->text(), QStringLiteral("000001"));
        QCOMPARE(w->titles()->asDate(QStringLiteral("DataEmissao")), QDate::currentDate());
        QCOMPARE(w->titles()->asDate(QStringLiteral("DataVencimento")), QDate::currentDate());
        QVERIFY(child<QPushButton>(w.get(), "btnGravar")->isEnabled());

        typeName(*w, QStringLiteral("aluguel"));
        typeValue(*w, QStringLiteral("1234,5"));
        click(w.get(), "btnGravar");
        QCOMPARE(f.dialogs->messages(), QStringList{QStringLiteral("Despesa Salva com sucesso!")});
        QCOMPARE(f.stored(tableOf(payable), "Codigo"), QStringList{QStringLiteral("1")});
        // Names are kept in upper case; the due date stays today when not typed.
        QCOMPARE(f.stored(tableOf(payable), "Fantasia"), QStringList{QStringLiteral("ALUGUEL")});
        QCOMPARE(f.stored(tableOf(payable), "DataVencimento"), QStringList{core::dateText(today())});
        QVERIFY(!child<QPushButton>(w.get(), "btnGravar")->isEnabled());
    }

    // Whatever the filter shows, the next number follows the highest of the table.
    void numberFollowsTheWholeTable_data() { addKindColumn(); }
    void numberFollowsTheWholeTable()
    {
        QFETCH(bool, payable);
        Fixture f;
        f.title(tableOf(payable), 1, "LUZ", 10, today().addDays(5));
        f.title(tableOf(payable), 7, "AGUA", 10, today().addDays(5));
        auto w = open(f, payable);
        // A paid-only filter that lets nothing through.
        click(w.get(), "rbPaga");
        QVERIFY(w->titles()->isEmpty());
        click(w.get(), "btnNovo");
        QCOMPARE(child<QLineEdit>(w.get(), "edtCodigo")->text(), QStringLiteral("000008"));
        typeName(*w, QStringLiteral("GAS"));
        typeValue(*w, QStringLiteral("5"));
        QVERIFY(w->saveRecord());
        QCOMPARE(f.stored(tableOf(payable), "Codigo"),
                 (QStringList{QStringLiteral("1"), QStringLiteral("7"), QStringLiteral("8")}));
    }

    // The number is drawn again when the row is stored: another program that
    // stored the shown number first does not make a duplicate.
    void numberDrawnWhenStored()
    {
        Fixture f;
        finance::Tfreceber w(f.db);
        click(&w, "btnNovo");
        QCOMPARE(child<QLineEdit>(&w, "edtCodigo")->text(), QStringLiteral("000001"));
        f.receivable(1, "OUTRO CAIXA", 3, today());
        typeName(w, QStringLiteral("VENDA"));
        typeValue(w, QStringLiteral("9"));
        QVERIFY(w.saveRecord());
        QCOMPARE(f.stored("tbreceber.db", "Codigo"), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    }

    // The two required fields, in each window's order; nothing is stored.
    void requiredFields_data()
    {
        QTest::addColumn<bool>("payable");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("receber: neither") << false << QString() << QString() << u("Preencha o nome da entrada!");
        QTest::newRow("receber: no value") << false << u("X") << QString() << u("Preencha o valor da entrada!");
        QTest::newRow("pagar: neither") << true << QString() << QString() << u("Valor da saída em branco. Preencha!");
        QTest::newRow("pagar: no name") << true << QString() << u("3") << u("Preencha o Nome da Saída!");
    }
    void requiredFields()
    {
        QFETCH(bool, payable);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, message);
        Fixture f;
        auto w = open(f, payable);
        click(w.get(), "btnNovo");
        typeName(*w, name);
        typeValue(*w, value);
        click(w.get(), "btnGravar");
        QCOMPARE(f.dialogs->messages(), QStringList{message});
        QVERIFY(f.stored(tableOf(payable), "Codigo").isEmpty());
        QVERIFY(w->editing());
    }

    // Leaving the row another way (navigator, a filter, the search page) goes
    // through the same checks: an incomplete row is never stored.
    void incompleteRowNotStoredByOtherPaths()
    {
        Fixture f;
        f.receivable(1, "LUZ", 10, today());
        finance::Tfreceber w(f.db);
        click(&w, "btnNovo");
        typeValue(w, QStringLiteral("10"));
        w.findChild<core::Navigator *>()->button(QStringLiteral("nbFirst"))->click();
        click(&w, "rbNaoPaga");
        child<QTabWidget>(&w, "PageControl1")->setCurrentIndex(1);
        QCOMPARE(f.dialogs->messages(), QStringList(3, u("Preencha o nome da entrada!")));
        QCOMPARE(child<QTabWidget>(&w, "PageControl1")->currentIndex(), 0);
        QCOMPARE(f.stored("tbreceber.db", "Codigo"), QStringList{QStringLiteral("1")});
        // Cancelling drops the row.
        click(&w, "btnCancelar");
        QVERIFY(!w.editing());
    }

    void badDateIsNotStored()
    {
        Fixture f;
        finance::Tfreceber w(f.db);
        click(&w, "btnNovo");
        typeName(w, QStringLiteral("X"));
        typeValue(w, QStringLiteral("1"));
        auto *due = child<QLineEdit>(&w, "edtDataVencimento");
        due->clear();
        QTest::keyClicks(due, QStringLiteral("31/02/2026"));
        click(&w, "btnGravar");
        QCOMPARE(f.dialogs->callsOf(Kind::Error).size(), 1);
        QVERIFY(f.dialogs->messages().first().contains(QStringLiteral("31/02/2026")));
        QVERIFY(f.stored("tbreceber.db", "Codigo").isEmpty());
    }

    void deleteAsksFirst()
    {
        Fixture f;
        f.payable(1, "LUZ", 10, today());
        f.payable(2, "AGUA", 10, today());
        finance::Tfpagar w(f.db);
        f.dialogs->answerQuestion(Answer::No);
        click(&w, "btnApagar");
        QCOMPARE(f.stored("tbpagar.db", "Codigo").size(), 2);
        f.dialogs->answerQuestion(Answer::Yes);
        click(&w, "btnApagar");
        QCOMPARE(f.dialogs->callsOf(Kind::Question).last().text, u("Deseja apagar este cadastro? "));
        QCOMPARE(f.stored("tbpagar.db", "Codigo").size(), 1);
        // The reminder follows: one bill due today is left.
        QCOMPARE(w.reminderTotal(), 10.0);
        QVERIFY(f.dialogs->clean());
    }

    // ------------------------------------------------------------ reminder

    void reminderListsOpenEntriesDueToday_data() { addKindColumn(); }
    void reminderListsOpenEntriesDueToday()
    {
        QFETCH(bool, payable);
        Fixture f;
        f.title(tableOf(payable), 1, "HOJE", 100, today());
        f.title(tableOf(payable), 2, "ONTEM", 40, today().addDays(-1));
        f.title(tableOf(payable), 3, "PAGA HOJE", 7, today(), today());
        auto w = open(f, payable);
        QCOMPARE(testdb::column(*w->reminder(), QStringLiteral("Fantasia")), QStringList{QStringLiteral("HOJE")});
        QCOMPARE(text(w.get(), "lblAvisoTotal"), QStringLiteral("Total: 100,00"));
        QVERIFY(child<QWidget>(w.get(), "pnlAviso")->isVisibleTo(w.get()));

        // Paid today through the caption shortcut, then saved.
        QVERIFY(w->titles()->locate(QStringLiteral("Codigo"), {1.0}));
        clickLabel(*w, "lblDataPagamento");
        QCOMPARE(w->titles()->asDate(QStringLiteral("DataPagamento")), today());
        click(w.get(), "btnGravar");
        QVERIFY(w->reminder()->isEmpty());
        QCOMPARE(text(w.get(), "lblAvisoTotal"), QStringLiteral("Total: 0,00"));
    }

    // "X" beside the payment date: Yes clears it (to be saved), No stores
    // the pending row with the usual checks.
    void clearPaymentDate()
    {
        Fixture f;
        f.receivable(1, "LUZ", 10, today(), today());
        finance::Tfreceber w(f.db);
        f.dialogs->answerQuestion(Answer::Yes);
        click(&w, "btnLimparPagamento");
        QVERIFY(w.editing());
        QVERIFY(w.titles()->isNull(QStringLiteral("DataPagamento")));
        QCOMPARE(f.stored("tbreceber.db", "DataPagamento"), QStringList{core::dateText(today())});
        f.dialogs->answerQuestion(Answer::No);
        click(&w, "btnLimparPagamento");
        QVERIFY(!w.editing());
        QCOMPARE(f.stored("tbreceber.db", "DataPagamento"), QStringList{QString()});
        QCOMPARE(w.reminderTotal(), 10.0);
    }

    // ------------------------------------------------------------ filters and totals

    void nameFilterIgnoresTypedCase()
    {
        Fixture f;
        f.receivable(1, "ALUGUEL", 100, today().addDays(-40), today());
        f.receivable(2, "LUZ", 20, today());
        f.receivable(3, "ALUGUEL", 50.25, today().addDays(3));
        f.receivable(4, "D'AGUA", 1, today());
        finance::Tfreceber w(f.db);
        child<QTabWidget>(&w, "PageControl1")->setCurrentIndex(1);
        QCOMPARE(text(&w, "lblTotal"), QStringLiteral("Total: 171,25"));

        f.dialogs->answerInput(QStringLiteral("aluguel"));
        click(&w, "btnNomeGeral");
        QCOMPARE(shownNames(w), (QStringList{QStringLiteral("ALUGUEL"), QStringLiteral("ALUGUEL")}));
        QCOMPARE(text(&w, "lblTotal"), QStringLiteral("Total: 150,25"));
        // Paid and open ones of a name; a quote in the name is only text.
        f.dialogs->answerInput(QStringLiteral("aluguel"));
        click(&w, "btnNomePago");
        QCOMPARE(w.total(), 100.0);
        f.dialogs->answerInput(QStringLiteral("aluguel"));
        click(&w, "btnNomeNaoPago");
        QCOMPARE(w.total(), 50.25);
        f.dialogs->answerInput(QStringLiteral("d'agua"));
        click(&w, "btnNomeGeral");
        QCOMPARE(shownNames(w), QStringList{u("D'AGUA")});
        // The prompt offers the current entry's name.
        f.dialogs->answerInput(QStringLiteral("nada"));
        click(&w, "btnNomeGeral");
        QCOMPARE(f.dialogs->callsOf(Kind::Input).last().title, QStringLiteral("Filtrar"));
        QCOMPARE(f.dialogs->callsOf(Kind::Input).last().text, QStringLiteral("Entre com o nome do cliente"));
        QCOMPARE(text(&w, "lblTotal"), QStringLiteral("Total: 0,00"));
        // A cancelled prompt leaves filter and total.
        f.dialogs->cancelInput();
        click(&w, "btnNomeGeral");
        QCOMPARE(text(&w, "lblTotal"), QStringLiteral("Total: 0,00"));
        QVERIFY(w.titles()->isEmpty());
        QVERIFY(f.dialogs->clean());
    }

    void creditorFilter()
    {
        Fixture f;
        f.payable(1, "PECAS", 100, today(), QDate(), "AUTO PECAS SILVA");
        f.payable(2, "PECAS", 30, today(), QDate(), "DISTRIBUIDORA");
        f.payable(3, "LUZ", 12, today(), today(), "AUTO PECAS SILVA");
        finance::Tfpagar w(f.db);
        child<QTabWidget>(&w, "PageControl1")->setCurrentIndex(1);
        f.dialogs->answerInput(QStringLiteral("auto pecas silva"));
        click(&w, "btnCredorGeral");
        QCOMPARE(testdb::column(*w.titles(), QStringLiteral("Codigo")), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
        QCOMPARE(w.total(), 112.0);
        QCOMPARE(f.dialogs->callsOf(Kind::Input).last().text, QStringLiteral("Entre com o nome do credor"));
    }

    void dueRangeFilters()
    {
        Fixture f;
        const QDate d0(2026, 3, 1);
        f.receivable(1, "A", 1, d0.addDays(-1));
        f.receivable(2, "B", 2, d0, d0);
        f.receivable(3, "C", 4, d0.addDays(30));
        f.receivable(4, "D", 8, d0.addDays(31));
        finance::Tfreceber w(f.db);
        child<QTabWidget>(&w, "PageControl1")->setCurrentIndex(1);
        child<QLineEdit>(&w, "edtDePesq")->setText(QStringLiteral("01/03/2026"));
        child<QLineEdit>(&w, "edtAPesq")->setText(QStringLiteral("31/03/2026"));
        w.pesquisaRange();
        QCOMPARE(shownNames(w), (QStringList{QStringLiteral("B"), QStringLiteral("C")}));
        QCOMPARE(w.total(), 6.0);
        click(&w, "btnPago");
        QCOMPARE(shownNames(w), QStringList{QStringLiteral("B")});
        click(&w, "btnNaoPago");
        QCOMPARE(shownNames(w), QStringList{QStringLiteral("C")});
        click(&w, "btnTodos");
        QCOMPARE(w.total(), 15.0);
        QVERIFY(child<QLineEdit>(&w, "edtDePesq")->text().remove(QLatin1Char('/')).trimmed().isEmpty());
    }

    // A date that is not a date is refused; the filter and total in force stay.
    void invalidFilterDateKeepsFilter_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("31 Feb") << u("31/02/2026") << u("10/03/2026");
        QTest::newRow("month 13") << u("01/01/2026") << u("01/13/2026");
        QTest::newRow("half typed") << u("01/01/2026") << u("1/0");
    }
    void invalidFilterDateKeepsFilter()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        Fixture f;
        f.receivable(1, "A", 1, today(), today());
        f.receivable(2, "B", 2, today());
        finance::Tfreceber w(f.db);
        child<QTabWidget>(&w, "PageControl1")->setCurrentIndex(1);
        click(&w, "btnPago");
        QCOMPARE(w.total(), 1.0);
        child<QLineEdit>(&w, "edtDePesq")->setText(from);
        child<QLineEdit>(&w, "edtAPesq")->setText(to);
        click(&w, "btnNaoPago");
        QCOMPARE(f.dialogs->callsOf(Kind::Error).size(), 1);
        QCOMPARE(shownNames(w), QStringList{QStringLiteral("A")});
        QCOMPARE(text(&w, "lblTotal"), QStringLiteral("Total: 1,00"));
        // The entry page's box refuses it too and keeps its choice.
        child<QTabWidget>(&w, "PageControl1")->setCurrentIndex(0);
        child<QLineEdit>(&w, "edtDe")->setText(from);
        child<QLineEdit>(&w, "edtA")->setText(to);
        click(&w, "rbPaga");
        QCOMPARE(f.dialogs->callsOf(Kind::Error).size(), 2);
        QCOMPARE(shownNames(w).size(), 2);
        QVERIFY(child<QRadioButton>(&w, "rbTodas")->isChecked());
    }

    // "Vencidas": open bills due before today.
    void overdueBills()
    {
        Fixture f;
        f.payable(1, "ONTEM ABERTA", 10, today().addDays(-1));
        f.payable(2, "HOJE ABERTA", 20, today());
        f.payable(3, "ONTEM PAGA", 40, today().addDays(-1), today().addDays(-1));
        f.payable(4, "MES PASSADO", 80, today().addDays(-35));
        finance::Tfpagar w(f.db);
        click(&w, "rbVencidas");
        QCOMPARE(shownNames(w), (QStringList{QStringLiteral("MES PASSADO"), QStringLiteral("ONTEM ABERTA")}));
        QCOMPARE(text(&w, "lblFiltro"), QStringLiteral("Vencidas"));
        child<QTabWidget>(&w, "PageControl1")->setCurrentIndex(1);
        click(&w, "btnVencidas");
        QCOMPARE(w.total(), 90.0);
    }

    void payablesOpenOnOpenBillsByDueDate()
    {
        Fixture f;
        f.payable(1, "C", 1, today().addDays(9));
        f.payable(2, "PAGA", 1, today().addDays(-9), today());
        f.payable(3, "A", 1, today().addDays(-3));
        f.payable(4, "B", 1, today());
        finance::Tfpagar w(f.db);
        QCOMPARE(shownNames(w), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        QCOMPARE(text(&w, "lblFiltro"), QStringLiteral("Todas Não Pagas"));
        // The receivables window opens on everything.
        f.receivable(1, "PAGA", 1, today(), today());
        f.receivable(2, "ABERTA", 1, today());
        finance::Tfreceber r(f.db);
        QCOMPARE(shownNames(r).size(), 2);
    }

    // Page switches: receivables show everything on the search page, payables
    // the open ones; back on the entry page, everything again.
    void pageSwitchFilters()
    {
        Fixture f;
        f.payable(1, "ABERTA", 5, today());
        f.payable(2, "PAGA", 7, today(), today());
        finance::Tfpagar w(f.db);
        auto *pages = child<QTabWidget>(&w, "PageControl1");
        pages->setCurrentIndex(1);
        QCOMPARE(w.total(), 5.0);
        pages->setCurrentIndex(0);
        QCOMPARE(shownNames(w).size(), 2);
        QCOMPARE(w.total(), 12.0);
        click(&w, "btnPesquisar");
        QCOMPARE(pages->currentIndex(), 1);
        QCOMPARE(w.total(), 12.0);
    }

    // ------------------------------------------------------------ payables' status

    void statusToggleStoresAtOnce()
    {
        Fixture f;
        f.payable(1, "LUZ", 10, today().addDays(3));
        f.payable(2, "AGUA", 20, today().addDays(4));
        finance::Tfpagar w(f.db);
        QCOMPARE(text(&w, "lblStatus"), u("Não Paga"));
        const QStringList paidLuz = {core::dateText(today()), QString()};
        // Answered No: nothing changes.
        f.dialogs->answerQuestion(Answer::No);
        click(&w, "btnStatus");
        QCOMPARE(f.stored("tbpagar.db", "DataPagamento"), (QStringList{QString(), QString()}));
        // Yes: stored at once; opened on the open bills, the paid one leaves the list.
        f.dialogs->answerQuestion(Answer::Yes);
        click(&w, "btnStatus");
        QCOMPARE(f.dialogs->callsOf(Kind::Question).last().text, QStringLiteral("Deseja quitar essa conta? "));
        QCOMPARE(f.stored("tbpagar.db", "DataPagamento"), paidLuz);
        QVERIFY(!w.editing());
        QCOMPARE(shownNames(w), QStringList{QStringLiteral("AGUA")});
        click(&w, "rbTodas");
        QCOMPARE(w.titles()->asString(QStringLiteral("Fantasia")), QStringLiteral("LUZ"));
        QCOMPARE(text(&w, "lblStatus"), QStringLiteral("Paga"));
        // And back to open.
        f.dialogs->answerQuestion(Answer::Yes);
        click(&w, "btnStatus");
        QCOMPARE(f.dialogs->callsOf(Kind::Question).last().text, u("Deseja Colocar essa conta como Não Paga? "));
        QCOMPARE(f.stored("tbpagar.db", "DataPagamento"), (QStringList{QString(), QString()}));
        QCOMPARE(text(&w, "lblStatus"), u("Não Paga"));
        QVERIFY(f.dialogs->clean());
    }

    void calendarShowsAndHides()
    {
        Fixture f;
        finance::Tfpagar w(f.db);
        auto *panel = child<QWidget>(&w, "pnlCalendario");
        QVERIFY(!panel->isVisibleTo(&w));
        click(&w, "btnCalendario");
        QVERIFY(panel->isVisibleTo(&w));
        QCOMPARE(child<QPushButton>(&w, "btnCalendario")->toolTip(), u("Desativar Calendário"));
        // A page switch closes it.
        child<QTabWidget>(&w, "PageControl1")->setCurrentIndex(1);
        QVERIFY(!panel->isVisibleTo(&w));
        QCOMPARE(child<QPushButton>(&w, "btnCalendario")->toolTip(), u("Ativar Calendário"));
    }

    // ------------------------------------------------------------ locating and keys

    void locateByCodeAndName()
    {
        Fixture f;
        f.receivable(1, "LUZ", 1, today());
        f.receivable(2, "AGUA", 2, today());
        finance::Tfreceber w(f.db);
        f.dialogs->answerInput(QStringLiteral("2"));
        clickLabel(w, "lblCodigo");
        QCOMPARE(w.titles()->asString(QStringLiteral("Fantasia")), QStringLiteral("AGUA"));
        f.dialogs->answerInput(QStringLiteral("99"));
        QTest::keyClick(child<QLineEdit>(&w, "edtCodigo"), Qt::Key_F1);
        QCOMPARE(f.dialogs->messages().last(), u("Código não localizado !!!"));
        QCOMPARE(w.titles()->asString(QStringLiteral("Fantasia")), QStringLiteral("AGUA"));
        f.dialogs->answerInput(QStringLiteral("luz"));
        clickLabel(w, "lblFantasia");
        QCOMPARE(w.titles()->asString(QStringLiteral("Fantasia")), QStringLiteral("LUZ"));
        f.dialogs->answerInput(QStringLiteral("GAS"));
        clickLabel(w, "lblFantasia");
        QCOMPARE(f.dialogs->messages().last(), u("Nome não localizado !!!"));
        // Incremental search on the name.
        QTest::keyClicks(child<QLineEdit>(&w, "edtLocalizar"), QStringLiteral("ag"));
        QCOMPARE(w.titles()->asString(QStringLiteral("Fantasia")), QStringLiteral("AGUA"));
        QVERIFY(f.dialogs->clean());
    }

    void actionsAndNavigation()
    {
        Fixture f;
        f.receivable(1, "A", 1, today());
        f.receivable(2, "B", 1, today());
        finance::Tfreceber w(f.db);
        auto *nav = w.findChild<core::Navigator *>();
        QVERIFY(!nav->button(QStringLiteral("nbFirst"))->isEnabled());
        QVERIFY(nav->button(QStringLiteral("nbLast"))->isEnabled());
        child<QAction>(&w, "avancar")->trigger();
        QCOMPARE(w.titles()->asString(QStringLiteral("Fantasia")), QStringLiteral("B"));
        QVERIFY(nav->button(QStringLiteral("nbPrior"))->isEnabled());
        QVERIFY(!nav->button(QStringLiteral("nbNext"))->isEnabled());
        child<QAction>(&w, "voltar")->trigger();
        QCOMPARE(w.titles()->asString(QStringLiteral("Fantasia")), QStringLiteral("A"));
        QCOMPARE(child<QAction>(&w, "novo")->shortcut(), QKeySequence(Qt::Key_Insert));
        QCOMPARE(child<QAction>(&w, "avancar")->shortcut(), QKeySequence(Qt::Key_PageDown));
        QCOMPARE(child<QAction>(&w, "foco")->shortcut(), QKeySequence(Qt::Key_F2));
        child<QAction>(&w, "novo")->trigger();
        QCOMPARE(w.titles()->state(), data::Dataset::State::Insert);
        QCOMPARE(w.titles()->asInteger(QStringLiteral("Codigo")), qint64(3));
    }

    // Enter moves from box to box on the entry page, also after a visit to
    // the search page.
    void enterMovesOnAfterSearchPage()
    {
        Fixture f;
        f.payable(1, "LUZ", 10, today());
        finance::Tfpagar w(f.db);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        auto *pages = child<QTabWidget>(&w, "PageControl1");
        pages->setCurrentIndex(1);
        pages->setCurrentIndex(0);
        auto *nome = child<QComboBox>(&w, "cbFantasia");
        nome->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(hasFocus(child<QComboBox>(&w, "cbCredor")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(hasFocus(nome));
        QVERIFY(w.isVisible());
    }

    // ------------------------------------------------------------ pick lists

    void pickListsNeedTheirGateFile()
    {
        Fixture f;
        finance::Tfreceber w(f.db);
        QVERIFY(!child<QPushButton>(&w, "btnSalvarNome")->isVisibleTo(&w));
        QVERIFY(!child<QPushButton>(&w, "btnSalvarCredor")->isVisibleTo(&w));
        QCOMPARE(child<QComboBox>(&w, "cbFantasia")->count(), 0);

        f.writeFile("lista_saida.txt", "LUZ\r\nAGUA\r\n");
        f.writeFile("lista_credor.txt", "CEMIG\n\nCOPASA\n");
        finance::Tfpagar p(f.db);
        QVERIFY(child<QPushButton>(&p, "btnSalvarNome")->isVisibleTo(&p));
        auto *nomes = child<QComboBox>(&p, "cbFantasia");
        QCOMPARE(nomes->count(), 2);
        QCOMPARE(nomes->itemText(1), QStringLiteral("AGUA"));
        QCOMPARE(child<QComboBox>(&p, "cbCredor")->count(), 2);
    }

    void savingPickListNames()
    {
        Fixture f;
        f.writeFile("receber_credor.txt", "");
        f.writeFile("lista_receber.txt", "VENDA BALCAO\r\n");
        finance::Tfreceber w(f.db);
        click(&w, "btnNovo");
        auto *salvar = child<QPushButton>(&w, "btnSalvarNome");
        QVERIFY(!salvar->isEnabled());
        // A name already in the list: told, file unchanged.
        typeName(w, QStringLiteral("VENDA BALCAO"));
        QVERIFY(salvar->isEnabled());
        click(&w, "btnSalvarNome");
        QCOMPARE(f.dialogs->messages().last(), u("Entrada já está incluso na lista!"));
        QCOMPARE(f.readFile("lista_receber.txt"), QByteArray("VENDA BALCAO\r\n"));
        QVERIFY(!salvar->isEnabled());
        // A new one, confirmed, is added and offered at once.
        child<QComboBox>(&w, "cbFantasia")->lineEdit()->clear();
        typeName(w, QStringLiteral("conserto"));
        f.dialogs->answerQuestion(Answer::Yes);
        click(&w, "btnSalvarNome");
        QCOMPARE(f.dialogs->callsOf(Kind::Question).last().title, QStringLiteral("Registro"));
        QCOMPARE(f.readFile("lista_receber.txt"), QByteArray("VENDA BALCAO\r\nCONSERTO\r\n"));
        QCOMPARE(child<QComboBox>(&w, "cbFantasia")->count(), 2);
        // The creditor list.
        QTest::keyClicks(child<QComboBox>(&w, "cbCredor")->lineEdit(), QStringLiteral("jose"));
        f.dialogs->answerQuestion(Answer::Yes);
        click(&w, "btnSalvarCredor");
        QCOMPARE(f.readFile("receber_credor.txt"), QByteArray("JOSE\r\n"));
        QVERIFY(f.dialogs->clean());
    }

    // ------------------------------------------------------------ printed list

    void printedList_data() { addKindColumn(); }
    void printedList()
    {
        QFETCH(bool, payable);
        Fixture f;
        f.title(tableOf(payable), 1, "ALUGUEL", 1500, today(), QDate(), "IMOBILIARIA");
        f.title(tableOf(payable), 2, "LUZ", 234.56, today().addDays(1));
        auto w = open(f, payable);
        child<QTabWidget>(w.get(), "PageControl1")->setCurrentIndex(1);
        printing::PreparedReport seen;
        f.dialogs->onNamed(QStringLiteral("preview"), [&](QWidget *, void *obj) {
            seen = *static_cast<printing::PreparedReport *>(obj);
            return 0;
        });
        click(w.get(), "btnImprimir");
        QCOMPARE(seen.pageCount(), 1);
        const QStringList texts = seen.texts(0);
        QVERIFY(texts.contains(payable ? u("SAÍDAS") : QStringLiteral("Entradas")));
        QVERIFY(texts.contains(QStringLiteral("IMOBILIARIA")));
        QVERIFY(texts.contains(QStringLiteral("1.500,00")));
        QVERIFY(texts.contains(QStringLiteral("TOTAL")));
        QVERIFY(texts.contains(QStringLiteral("1.734,56")));
        QCOMPARE(seen.setup.paper, payable ? printing::Paper::A4 : printing::Paper::Letter);
        if (!payable)
            QVERIFY(texts.contains(QStringLiteral("000002")));
    }
};

QTEST_MAIN(TitlesTest)
#include "test_finance_titles.moc"
