#include "MemDataset.h"
#include "core/DataControls.h"
#include "core/FakeDialogService.h"

#include "data/Database.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace brelvo::core;
using brelvo::data::Dataset;
using brelvo::data::FieldType;
using K = FakeDialogService::Kind;

namespace {
// Types text, accented letters included (QTest::keyClicks takes ASCII only).
void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 128) QTest::keyClick(w, c.toLatin1());
        else QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Name, price, flag, date, time, logical, CEP
QList<MemDataset::Field> fields()
{
    return {{"Nome", FieldType::Alpha, 10}, {"Valor", FieldType::Money, 0}, {"Flag", FieldType::Alpha, 1},
            {"Data", FieldType::Date, 0},   {"Hora", FieldType::Time, 0},   {"Ativo", FieldType::Logical, 0},
            {"Cep", FieldType::Alpha, 9},   {"Qtd", FieldType::Integer, 0}, {"Obs", FieldType::Memo, 0}};
}
} // namespace

class TestDataControls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void editTypingEditsAndWrites();
    void editForcesCase();
    void editShowsRowsAndMask();
    void editRejectsBadNumbers();
    void editOnReadOnlyCursorReverts();
    void checkBoxValues();
    void radioGroupValues();
    void comboBoxes();
    void dateEdit();
    void maskConversion_data();
    void maskConversion();
    void maskEditValues();
    void memoForcesCase();
    void enterMovesFocus();
    void realTable();

private:
    void realTableBody();
    std::unique_ptr<QTemporaryDir> m_dir;
    brelvo::data::DatabasePtr m_db;
    MemDataset *m_ds = nullptr;
    QWidget *m_window = nullptr;
    std::unique_ptr<ScopedFakeDialogs> m_fake;
};

void TestDataControls::initTestCase()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_db = brelvo::data::Database::open(m_dir->path(), true);
}

void TestDataControls::init()
{
    m_fake = std::make_unique<ScopedFakeDialogs>();
    m_ds = new MemDataset(m_db, fields());
    m_ds->addRow({"ANA", 1234.56, "S", QDate(2020, 2, 3), QTime(8, 30), true, "12345-678", 3, "x"});
    m_ds->addRow({"BRUNO", 7.5, "N", QVariant(), QVariant(), false, QVariant(), 4, QVariant()});
    m_ds->open();
    m_window = new QWidget;
    new QVBoxLayout(m_window);
}

void TestDataControls::cleanup()
{
    delete m_window;
    delete m_ds;
    m_fake.reset();
}

void TestDataControls::editTypingEditsAndWrites()
{
    auto *e = new DbEdit(m_window);
    e->setDataSource(m_ds, "Nome");
    QCOMPARE(e->text(), QStringLiteral("ANA"));
    QCOMPARE(e->maxLength(), 10);
    QCOMPARE(m_ds->state(), Dataset::State::Browse);
    e->clear();
    QTest::keyClicks(e, "CARLOS");
    QCOMPARE(m_ds->state(), Dataset::State::Edit);
    QCOMPARE(m_ds->value("Nome").toString(), QStringLiteral("CARLOS"));
    QCOMPARE(e->text(), QStringLiteral("CARLOS"));   // the first key survived the switch to editing
    // Emptied text is stored as an empty (null) field.
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_Delete);
    QVERIFY(m_ds->value("Nome").isNull());
    // Another control on the same field follows.
    auto *label = new DbLabel(m_window);
    label->setDataSource(m_ds, "Nome");
    QTest::keyClicks(e, "ZE");
    QCOMPARE(label->text(), QStringLiteral("ZE"));
    QVERIFY(m_fake->fake().clean());
}

void TestDataControls::editForcesCase()
{
    auto *e = new DbEdit(m_window);
    e->setDataSource(m_ds, "Nome");
    e->setCharCase(CharCase::Upper);
    e->clear();
    typeText(e, QStringLiteral("joão ç"));
    QCOMPARE(e->text(), QStringLiteral("JOÃO Ç"));
    QCOMPARE(m_ds->value("Nome").toString(), QStringLiteral("JOÃO Ç"));
    // Typing in the middle keeps the cursor where it was.
    e->setCursorPosition(1);
    QTest::keyClicks(e, "x");
    QCOMPARE(e->text(), QStringLiteral("JXOÃO Ç"));
    QCOMPARE(e->cursorPosition(), 2);

    auto *pw = new DbEdit(m_window);
    pw->setCharCase(CharCase::Lower);   // unbound boxes force case too
    QTest::keyClicks(pw, "SeNhA");
    QCOMPARE(pw->text(), QStringLiteral("senha"));
}

void TestDataControls::editShowsRowsAndMask()
{
    auto *e = new DbEdit(m_window);
    e->setDataSource(m_ds, "Valor");
    e->setDisplayMask("###,##0.00");
    QCOMPARE(e->text(), QStringLiteral("1.234,56"));
    auto *d = new DbLabel(m_window);
    d->setDataSource(m_ds, "Data");
    QCOMPARE(d->text(), QStringLiteral("03/02/2020"));
    m_ds->next();
    QCOMPARE(e->text(), QStringLiteral("7,50"));
    QCOMPARE(d->text(), QString());
    m_ds->close();
    QCOMPARE(e->text(), QString());
}

void TestDataControls::editRejectsBadNumbers()
{
    auto *e = new DbEdit(m_window);
    m_window->layout()->addWidget(e);
    auto *other = new QLineEdit(m_window);
    m_window->layout()->addWidget(other);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    e->setDataSource(m_ds, "Valor");
    e->setFocus();
    e->clear();
    QTest::keyClicks(e, "12,5");
    QCOMPARE(m_ds->value("Valor").toDouble(), 12.5);
    QVERIFY(e->isValidInput());
    QTest::keyClicks(e, "x");
    QCOMPARE(e->text(), QStringLiteral("12,5x"));          // text kept
    QCOMPARE(m_ds->value("Valor").toDouble(), 12.5);       // nothing stored
    QVERIFY(!e->isValidInput());
    QCOMPARE(invalidControls(m_window), QList<QWidget *>{e});
    // Leaving the box tells the operator once.
    other->setFocus();
    QCOMPARE(m_fake->fake().count(K::Error), 1);
    QVERIFY(m_fake->fake().calls().last().text.contains(QStringLiteral("'12,5x' não é um valor válido")));
    // Fixing the text stores it and clears the mark.
    e->setFocus();
    QTest::keyClick(e, Qt::Key_Backspace);
    QVERIFY(e->isValidInput());
    QVERIFY(invalidControls(m_window).isEmpty());
    // With a display mask the number is typed plain and shown masked afterwards.
    e->setDisplayMask("###,##0.00");
    other->setFocus();
    e->clear();
    e->setFocus();
    QTest::keyClicks(e, "1234,5");
    other->setFocus();
    QCOMPARE(e->text(), QStringLiteral("1.234,50"));
    e->setFocus();
    QCOMPARE(e->text(), QStringLiteral("1234,5"));

    // Integers refuse fractions.
    auto *q = new DbEdit(m_window);
    q->setDataSource(m_ds, "Qtd");
    q->clear();
    QTest::keyClicks(q, "1,5");
    QVERIFY(!q->isValidInput());
    QCOMPARE(m_ds->value("Qtd"), QVariant(1));   // the last acceptable text, never 1,5 cut down
}

void TestDataControls::editOnReadOnlyCursorReverts()
{
    m_ds->setEditable(false);
    auto *e = new DbEdit(m_window);
    e->setDataSource(m_ds, "Nome");
    QTest::keyClicks(e, "X");
    QCOMPARE(e->text(), QStringLiteral("ANA"));
    QCOMPARE(m_ds->state(), Dataset::State::Browse);

    m_ds->setEditable(true);
    e->setReadOnly(true);
    QTest::keyClicks(e, "X");
    QCOMPARE(m_ds->state(), Dataset::State::Browse);
}

void TestDataControls::checkBoxValues()
{
    auto *c = new DbCheckBox("Sim", m_window);
    c->setValueChecked("S");
    c->setValueUnchecked("N");
    c->setDataSource(m_ds, "Flag");
    QVERIFY(c->isChecked());
    c->click();
    QCOMPARE(m_ds->value("Flag").toString(), QStringLiteral("N"));
    QCOMPARE(m_ds->state(), Dataset::State::Edit);
    m_ds->post();
    m_ds->next();
    QVERIFY(!c->isChecked());

    // Inverted meaning: checked = "N".
    auto *blocked = new DbCheckBox("Bloqueado", m_window);
    blocked->setValueChecked("N");
    blocked->setValueUnchecked("S");
    blocked->setDataSource(m_ds, "Flag");
    QVERIFY(blocked->isChecked());
    blocked->click();
    QCOMPARE(m_ds->value("Flag").toString(), QStringLiteral("S"));

    // Logical field.
    auto *l = new DbCheckBox("Ativo", m_window);
    l->setDataSource(m_ds, "Ativo");
    QVERIFY(!l->isChecked());
    l->click();
    QCOMPARE(m_ds->value("Ativo"), QVariant(true));
}

void TestDataControls::radioGroupValues()
{
    auto *g = new DbRadioGroup("Administrador", m_window);
    g->setItems({"SIM", QStringLiteral("NÃO")}, {"S", "N"});
    g->setDataSource(m_ds, "Flag");
    QCOMPARE(g->itemIndex(), 0);
    g->button(1)->click();
    QCOMPARE(m_ds->value("Flag").toString(), QStringLiteral("N"));
    m_ds->post();
    m_ds->next();
    QCOMPARE(g->itemIndex(), 1);
    m_ds->edit();
    m_ds->setValue("Flag", "X");   // a value outside the items: nothing chosen
    QCOMPARE(g->itemIndex(), -1);
}

void TestDataControls::comboBoxes()
{
    auto *list = new DbComboBox(m_window, true);
    list->setItems({"S", "N"});
    list->setDataSource(m_ds, "Flag");
    QCOMPARE(list->currentText(), QStringLiteral("S"));
    list->setCurrentIndex(1);
    Q_EMIT list->activated(1);   // as when the operator picks it
    QCOMPARE(m_ds->value("Flag").toString(), QStringLiteral("N"));

    auto *free = new DbComboBox(m_window);
    free->setItems({"ANA", "BIA"});
    free->setCharCase(CharCase::Upper);
    free->setDataSource(m_ds, "Nome");
    QCOMPARE(free->currentText(), QStringLiteral("ANA"));
    free->lineEdit()->clear();
    QTest::keyClicks(free->lineEdit(), "novo");
    QCOMPARE(m_ds->value("Nome").toString(), QStringLiteral("NOVO"));
    QCOMPARE(free->count(), 2);   // typed text is not added to the list
}

void TestDataControls::dateEdit()
{
    auto *d = new DbDateEdit(m_window);
    m_window->layout()->addWidget(d);
    auto *other = new QLineEdit(m_window);
    m_window->layout()->addWidget(other);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    d->setDataSource(m_ds, "Data");
    QCOMPARE(d->displayText(), QStringLiteral("03/02/2020"));
    d->setFocus();
    d->selectAll();
    QTest::keyClicks(d, "31022020");
    QVERIFY(!d->isValidInput());
    QCOMPARE(m_ds->value("Data").toDate(), QDate(2020, 2, 3));
    other->setFocus();
    QCOMPARE(m_fake->fake().count(K::Error), 1);
    d->setFocus();
    d->selectAll();
    QTest::keyClicks(d, "01032021");
    QVERIFY(d->isValidInput());
    QCOMPARE(m_ds->value("Data").toDate(), QDate(2021, 3, 1));
    // Emptied box: null date.
    d->selectAll();
    QTest::keyClick(d, Qt::Key_Delete);
    QVERIFY(d->isValidInput());
    QVERIFY(m_ds->value("Data").isNull());
    m_ds->post();
    m_ds->next();
    QCOMPARE(d->date(), std::nullopt);
}

void TestDataControls::maskConversion_data()
{
    QTest::addColumn<QString>("old");
    QTest::addColumn<QString>("qt");
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("trim");
    QTest::newRow("cep") << "00000\\-999;1;_" << "99999-000;_" << true << false;
    QTest::newRow("hora") << "!90:00;1;_" << "09:99;_" << true << true;
    QTest::newRow("cpf") << "000.000.000\\-99;1;_" << "999.999.999-00;_" << true << false;
    QTest::newRow("data") << "!99/99/0000;1;_" << "00/00/9999;_" << true << true;
    QTest::newRow("no literals") << "00000\\-999;0;_" << "99999-000;_" << false << false;
    QTest::newRow("letters and escapes") << ">LL\\A-0;1; " << ">AA\\A-9; " << true << false;
}

void TestDataControls::maskConversion()
{
    QFETCH(QString, old);
    QFETCH(QString, qt);
    QFETCH(bool, save);
    QFETCH(bool, trim);
    const EditMask m = convertEditMask(old);
    QCOMPARE(m.inputMask, qt);
    QCOMPARE(m.saveLiterals, save);
    QCOMPARE(m.trimLeading, trim);
}

void TestDataControls::maskEditValues()
{
    const EditMask cep = convertEditMask("00000\\-999;1;_");
    QCOMPARE(maskedValue(cep, "12345-678"), QStringLiteral("12345-678"));
    QCOMPARE(maskedValue(cep, "12345-___"), QStringLiteral("12345-"));
    QCOMPARE(maskedValue(cep, "_____-___"), QString());
    QVERIFY(maskComplete(cep, "12345-___"));
    QVERIFY(!maskComplete(cep, "1234_-___"));
    QVERIFY(maskComplete(cep, "_____-___"));
    const EditMask bare = convertEditMask("00000\\-999;0;_");
    QCOMPARE(maskedValue(bare, "12345-678"), QStringLiteral("12345678"));

    auto *m = new DbMaskEdit(m_window);
    m->setEditMask("00000\\-999;1;_");
    m->setDataSource(m_ds, "Cep");
    QCOMPARE(m->displayText(), QStringLiteral("12345-678"));
    m->selectAll();
    QTest::keyClick(m, Qt::Key_Delete);
    QVERIFY(m_ds->value("Cep").isNull());
    m->setCursorPosition(0);
    QTest::keyClicks(m, "7654");
    QVERIFY(!m->isValidInput());   // a required digit is missing
    QVERIFY(m_ds->value("Cep").isNull());
    QTest::keyClicks(m, "3210");
    QVERIFY(m->isValidInput());
    QCOMPARE(m_ds->value("Cep").toString(), QStringLiteral("76543-210"));

    auto *h = new DbMaskEdit(m_window);
    h->setEditMask("!90:00;1;_");
    h->setDataSource(m_ds, "Hora");
    QCOMPARE(h->displayText(), QStringLiteral("08:30"));
    h->selectAll();
    h->setCursorPosition(0);
    QTest::keyClicks(h, "1745");
    QCOMPARE(m_ds->value("Hora").toTime(), QTime(17, 45));
    h->setCursorPosition(0);
    QTest::keyClicks(h, "2999");
    QVERIFY(!h->isValidInput());
    QCOMPARE(m_ds->value("Hora").toTime(), QTime(17, 45));
}

void TestDataControls::memoForcesCase()
{
    auto *memo = new DbMemo(m_window);
    memo->setCharCase(CharCase::Upper);
    memo->setDataSource(m_ds, "Obs");
    QCOMPARE(memo->toPlainText(), QStringLiteral("x"));
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "yz");
    QCOMPARE(memo->toPlainText(), QStringLiteral("XYZ"));
    QCOMPARE(m_ds->value("Obs").toString(), QStringLiteral("XYZ"));
    QCOMPARE(memo->textCursor().position(), 3);
}

void TestDataControls::enterMovesFocus()
{
    auto *a = new QLineEdit(m_window);
    auto *b = new DbEdit(m_window);
    auto *hidden = new QLineEdit(m_window);
    auto *c = new QLineEdit(m_window);
    auto *memo = new QPlainTextEdit(m_window);
    auto *btn = new QPushButton("OK", m_window);
    for (QWidget *w : {static_cast<QWidget *>(a), static_cast<QWidget *>(b), static_cast<QWidget *>(hidden),
                       static_cast<QWidget *>(c), static_cast<QWidget *>(memo), static_cast<QWidget *>(btn)})
        m_window->layout()->addWidget(w);
    hidden->hide();
    EnterMovesFocus::install(m_window);
    QCOMPARE(EnterMovesFocus::install(m_window), m_window->findChild<EnterMovesFocus *>());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));

    int returns = 0;
    connect(a, &QLineEdit::returnPressed, [&] { ++returns; });
    a->setFocus();
    QTest::keyClick(a, Qt::Key_Return);
    QCOMPARE(returns, 1);                  // the box's own handler ran
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(b));
    QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(c));   // hidden box skipped

    // A handler that moves the focus itself wins.
    connect(c, &QLineEdit::returnPressed, [&] { a->setFocus(); });
    QTest::keyClick(c, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(a));

    // Multi-line text keeps Enter.
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(memo));
    QCOMPARE(memo->toPlainText(), QStringLiteral("\n"));

    // Buttons keep Enter.
    btn->setFocus();
    QTest::keyClick(btn, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(btn));

    // Marked controls keep it too.
    EnterMovesFocus::keepEnter(b);
    b->setFocus();
    QTest::keyClick(b, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(b));
}

void TestDataControls::realTable()
{
    try {
        realTableBody();
    } catch (const brelvo::data::DbError &e) {
        QFAIL(qPrintable(e.message()));
    }
}

void TestDataControls::realTableBody()
{
    brelvo::data::Table t(m_db, "tbFuncao.db");
    t.open();
    const int before = t.recordCount();
    t.append();
    t.setValue("Funcao", "ZZ PROVA");
    t.post();
    QVERIFY(t.locate("Funcao", {"ZZ PROVA"}));
    auto *e = new DbEdit(m_window);
    e->setCharCase(CharCase::Upper);
    e->setDataSource(&t, "Funcao");
    QCOMPARE(e->text(), QStringLiteral("ZZ PROVA"));
    e->clear();
    typeText(e, QStringLiteral("zz funilaria ç"));
    QCOMPARE(t.state(), Dataset::State::Edit);
    t.post();
    QCOMPARE(e->text(), QStringLiteral("ZZ FUNILARIA Ç"));
    brelvo::data::Table check(m_db, "tbFuncao.db");
    check.open();
    QCOMPARE(check.recordCount(), before + 1);
    QVERIFY(check.locate("Funcao", {QStringLiteral("ZZ FUNILARIA Ç")}));
    QVERIFY(!check.locate("Funcao", {"ZZ PROVA"}));
    QVERIFY(m_fake->fake().clean());
}

QTEST_MAIN(TestDataControls)
#include "test_datacontrols.moc"
