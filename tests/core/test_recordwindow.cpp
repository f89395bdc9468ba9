// The record-window skeleton: closing with a pending row, Enter and Esc in
// screen order, navigator and search storing the pending row, buttons
// following the cursor, the settings base, and the grid while a row is typed.

#include "data/TestDb.h"

#include "core/DataControls.h"
#include "core/FakeDialogService.h"
#include "core/RecordWindow.h"

#include <QApplication>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace brelvo;
using core::Answer;
using core::RecordWindow;
using data::Dataset;
using data::Table;
using Kind = core::FakeDialogService::Kind;

namespace {

// A small supplier window: name and contact boxes, Salvar, Sair, navigator
// and search. A name "RECUSADO" is refused when saving.
class Suppliers : public RecordWindow {
public:
    explicit Suppliers(data::DatabasePtr db)
    {
        table = new Table(db, QStringLiteral("tbfornecedor.db"), this);
        table->setIndexName(QStringLiteral("byCodigo"));
        table->open();
        setMainTable(table);
        auto *lay = new QVBoxLayout(this);
        nav = makeNavigator();
        lay->addWidget(nav);
        search = makeSearchBox(QStringLiteral("edtLocalizar"),
                               [this](const QString &t) { findNearest(QStringLiteral("Nome"), t); });
        lay->addWidget(search);
        nome = new core::DbEdit(this);
        nome->setObjectName(QStringLiteral("edtNome"));
        nome->setCharCase(core::CharCase::Upper);
        nome->setDataSource(table, QStringLiteral("Nome"));
        lay->addWidget(nome);
        salvar = makeButton(QStringLiteral("btnSalvar"), QStringLiteral("Salvar"));
        enableWhen(salvar, When::Editing);
        connect(salvar, &QPushButton::clicked, this, [this] { saveRecord(); });
        novo = makeButton(QStringLiteral("btnNovo"), QStringLiteral("Novo"));
        enableWhen(novo, When::Browsing);
        sair = makeButton(QStringLiteral("btnSair"), QStringLiteral("&Sair"));
        connect(sair, &QPushButton::clicked, this, &QDialog::reject);
        for (QWidget *w : {static_cast<QWidget *>(salvar), static_cast<QWidget *>(novo), static_cast<QWidget *>(sair)})
            lay->addWidget(w);
    }
    bool saveRecord() override
    {
        if (editing() && table->asString(QStringLiteral("Nome")) == QLatin1String("RECUSADO")) {
            core::dialogs().warning(this, QString(), QStringLiteral("Nome recusado"));
            return false;
        }
        return RecordWindow::saveRecord();
    }
    Table *table;
    core::Navigator *nav;
    QLineEdit *search;
    core::DbEdit *nome;
    QPushButton *salvar, *novo, *sair;
};

void addSupplier(data::DatabasePtr db, int code, const QString &name)
{
    Table t(db, QStringLiteral("tbfornecedor.db"));
    t.open();
    testdb::addRow(t, {{"Codigo", code}, {"Nome", name}});
}

QStringList names(data::DatabasePtr db)
{
    Table t(db, QStringLiteral("tbfornecedor.db"));
    t.setIndexName(QStringLiteral("byCodigo"));
    t.open();
    return testdb::column(t, QStringLiteral("Nome"));
}

void typeInto(QWidget *w, const QString &text)
{
    QTest::keyClicks(w, text);
}

// Focus in a shown window, as the operator has it.
void showAndFocus(QWidget *window, QWidget *box)
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QApplication::setActiveWindow(window);
    box->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), box);
}

} // namespace

class TestRecordWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void closingWithPendingRow_data();
    void closingWithPendingRow();
    void closingWithNothingPendingAsksNothing();
    void refusedSaveKeepsWindowOpen();
    void navigatorAndSearchStoreThePendingRow();
    void refusedRowIsNotLeft();
    void buttonsFollowTheCursor();
    void enterFollowsScreenOrder();
    void escapeMovesBackWhereAsked();
    void singleRowEditor();
    void gridKeepsStoredRowsWhileTyping();
    void fieldCaptions_data();
    void fieldCaptions();
};

void TestRecordWindow::closingWithPendingRow_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QStringList>("stored");
    const QStringList before{"ACME"};
    const QStringList saved{"ACME ALTERADA"};
    for (const char *how : {"esc", "sair", "closebox"}) {
        QTest::addRow("%s-sim", how) << how << int(Answer::Yes) << true << saved;
        QTest::addRow("%s-nao", how) << how << int(Answer::No) << true << before;
        QTest::addRow("%s-cancelar", how) << how << int(Answer::Cancel) << false << before;
    }
}

void TestRecordWindow::closingWithPendingRow()
{
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(QStringList, stored);
    testdb::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
    addSupplier(fresh.db, 1, "ACME");
    Suppliers w(fresh.db);
    showAndFocus(&w, w.nome);
    typeInto(w.nome, " alterada");
    QVERIFY(w.editing());

    dialogs->answerQuestion(Answer(answer));
    if (how == "esc")
        QTest::keyClick(w.nome, Qt::Key_Escape);
    else if (how == "sair")
        QTest::mouseClick(w.sair, Qt::LeftButton);
    else
        w.close();
    QCOMPARE(dialogs->count(Kind::Question), 1);
    QCOMPARE(dialogs->callsOf(Kind::Question).value(0).text, RecordWindow::closeQuestionText());
    QCOMPARE(w.isVisible(), !closed);
    QCOMPARE(names(fresh.db), stored);
    // Staying keeps the typed row on screen, still pending.
    if (!closed) {
        QVERIFY(w.editing());
        QCOMPARE(w.nome->text(), QStringLiteral("ACME ALTERADA"));
    }
    QVERIFY(dialogs->clean());
}

void TestRecordWindow::closingWithNothingPendingAsksNothing()
{
    testdb::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
    addSupplier(fresh.db, 1, "ACME");
    Suppliers w(fresh.db);
    showAndFocus(&w, w.nome);
    QTest::keyClick(w.nome, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QCOMPARE(dialogs->calls().size(), 0);
    QVERIFY(!w.table->isOpen());   // the window's cursors close with it
}

void TestRecordWindow::refusedSaveKeepsWindowOpen()
{
    testdb::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
    Suppliers w(fresh.db);
    showAndFocus(&w, w.nome);
    typeInto(w.nome, "recusado");
    dialogs->answerQuestion(Answer::Yes);
    w.reject();
    QVERIFY(w.isVisible());
    QCOMPARE(dialogs->messages(), (QStringList{RecordWindow::closeQuestionText(), "Nome recusado"}));
    QVERIFY(w.editing());
    QCOMPARE(names(fresh.db), QStringList());
}

void TestRecordWindow::navigatorAndSearchStoreThePendingRow()
{
    testdb::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
    addSupplier(fresh.db, 1, "ALFA");
    addSupplier(fresh.db, 2, "BETA");
    Suppliers w(fresh.db);
    w.table->first();
    typeInto(w.nome, "X");
    QTest::mouseClick(w.nav->button("nbNext"), Qt::LeftButton);
    QCOMPARE(w.table->asString("Nome"), QStringLiteral("BETA"));
    QCOMPARE(names(fresh.db), (QStringList{"ALFAX", "BETA"}));

    // Typing then searching: the typed change is stored, not dropped.
    typeInto(w.nome, "Y");
    typeInto(w.search, "alf");
    QCOMPARE(w.table->asString("Nome"), QStringLiteral("ALFAX"));
    QCOMPARE(names(fresh.db), (QStringList{"ALFAX", "BETAY"}));
    QVERIFY(dialogs->clean());
}

void TestRecordWindow::refusedRowIsNotLeft()
{
    testdb::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
    addSupplier(fresh.db, 1, "ALFA");
    addSupplier(fresh.db, 2, "BETA");
    Suppliers w(fresh.db);
    w.table->first();
    w.nome->selectAll();
    typeInto(w.nome, "recusado");
    QTest::mouseClick(w.nav->button("nbNext"), Qt::LeftButton);
    QVERIFY(w.editing());
    QCOMPARE(w.table->asString("Nome"), QStringLiteral("RECUSADO"));
    typeInto(w.search, "b");
    QVERIFY(w.editing());
    QCOMPARE(w.table->asString("Nome"), QStringLiteral("RECUSADO"));
    QCOMPARE(names(fresh.db), (QStringList{"ALFA", "BETA"}));
    QCOMPARE(dialogs->messages(), (QStringList{"Nome recusado", "Nome recusado"}));
}

void TestRecordWindow::buttonsFollowTheCursor()
{
    testdb::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
    addSupplier(fresh.db, 1, "ALFA");
    Suppliers w(fresh.db);
    QVERIFY(!w.salvar->isEnabled() && w.novo->isEnabled());
    typeInto(w.nome, "X");
    QVERIFY(w.salvar->isEnabled() && !w.novo->isEnabled());
    QTest::mouseClick(w.salvar, Qt::LeftButton);
    QVERIFY(!w.salvar->isEnabled() && w.novo->isEnabled());
    w.table->append();
    QVERIFY(w.salvar->isEnabled());
    w.table->cancel();
    QVERIFY(!w.salvar->isEnabled());
}

namespace {
// Boxes created in one order and laid out in another, as the company window does.
struct Shuffled : QDialog {
    QLineEdit *a, *b, *c, *d, *e;
    Shuffled()
    {
        auto *g = new QGridLayout(this);
        auto make = [this](const char *name) {
            auto *x = new QLineEdit(this);
            x->setObjectName(name);
            return x;
        };
        a = make("a"); e = make("e"); c = make("c"); b = make("b"); d = make("d");
        g->addWidget(a, 0, 0, 1, 2);
        g->addWidget(b, 1, 0);
        g->addWidget(c, 1, 1);
        g->addWidget(d, 2, 1);
        g->addWidget(e, 2, 0);
        core::EnterMovesFocus::install(this);
    }
};
} // namespace

void TestRecordWindow::enterFollowsScreenOrder()
{
    Shuffled w;
    showAndFocus(&w, w.a);
    QStringList seen{"a"};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        seen << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(seen, (QStringList{"a", "b", "c", "e", "d", "a"}));
    // Without the escape meaning, Esc closes the window.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!w.isVisible());
}

void TestRecordWindow::escapeMovesBackWhereAsked()
{
    testdb::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
    Suppliers w(fresh.db);
    w.setEscapeMovesBack(true);
    showAndFocus(&w, w.nome);
    QTest::keyClick(w.nome, Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.search));
    QTest::keyClick(w.search, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.nome));
    QVERIFY(w.isVisible());
    QCOMPARE(dialogs->calls().size(), 0);
}

namespace {
class Discount : public core::SingleRowEditor {
public:
    explicit Discount(data::DatabasePtr db)
        : SingleRowEditor(std::move(db), QStringLiteral("configExt.db"), QStringLiteral("TabelaConfig"))
    {
        auto *lay = new QVBoxLayout(this);
        box = new core::DbEdit(this);
        box->setDataSource(table(), QStringLiteral("Desconto"));
        lay->addWidget(box);
        salvar = makeSaveButton(QStringLiteral("btnSalvar"), QStringLiteral("&Salvar"));
        lay->addWidget(salvar);
        openRow();
    }
    core::DbEdit *box;
    QPushButton *salvar;
};
} // namespace

void TestRecordWindow::singleRowEditor()
{
    testdb::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
    {
        Table t(fresh.db, QStringLiteral("configExt.db"));
        t.open();
        while (!t.isEmpty())
            t.remove();
    }
    Discount w(fresh.db);
    QVERIFY(w.isReady());
    QVERIFY(!w.salvar->isEnabled());
    typeInto(w.box, "15");
    QVERIFY(w.salvar->isEnabled());
    QTest::mouseClick(w.salvar, Qt::LeftButton);
    QVERIFY(!w.salvar->isEnabled());
    Table t(fresh.db, QStringLiteral("configExt.db"));
    t.open();
    QCOMPARE(t.recordCount(), 1);
    QCOMPARE(t.asFloat("Desconto"), 15.0);
    QVERIFY(dialogs->clean());
}

void TestRecordWindow::gridKeepsStoredRowsWhileTyping()
{
    testdb::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
    for (int i = 1; i <= 12; ++i)
        addSupplier(fresh.db, i, QStringLiteral("F%1").arg(i, 2, 10, QLatin1Char('0')));
    Table t(fresh.db, QStringLiteral("tbfornecedor.db"));
    t.setIndexName(QStringLiteral("byCodigo"));
    t.open();
    core::DatasetModel model(&t);
    model.setPageSize(4);
    model.setColumns({core::GridColumn::make(QStringLiteral("Nome"))});
    // Only the first page has been drawn when the new row starts.
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("F01"));
    t.append();
    t.setValue(QStringLiteral("Codigo"), 13);
    t.setValue(QStringLiteral("Nome"), QStringLiteral("NOVO"));
    QCOMPARE(model.rowCount(), 13);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("F01"));
    QCOMPARE(model.data(model.index(11, 0)).toString(), QStringLiteral("F12"));
    QCOMPARE(model.data(model.index(12, 0)).toString(), QStringLiteral("NOVO"));
    t.post();
    QCOMPARE(model.rowCount(), 13);
    QCOMPARE(model.data(model.index(12, 0)).toString(), QStringLiteral("NOVO"));
}

void TestRecordWindow::fieldCaptions_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("caption");
    QTest::newRow("two words") << "EntregaDias" << "Entrega Dias";
    QTest::newRow("accent") << "Funcao" << "Função";
    QTest::newRow("year") << "AnoModelo" << "Ano Modelo";
    QTest::newRow("one word") << "Nome" << "Nome";
    QTest::newRow("capitals") << "CNPJ_CPF" << "CNPJ CPF";
    QTest::newRow("accent inside") << "PrecoCusto" << "Preço Custo";
}

void TestRecordWindow::fieldCaptions()
{
    QFETCH(QString, field);
    QFETCH(QString, caption);
    QCOMPARE(core::fieldCaption(field), caption);
}

QTEST_MAIN(TestRecordWindow)
#include "test_recordwindow.moc"
