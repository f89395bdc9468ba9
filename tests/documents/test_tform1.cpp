// The receipts and promissory notes window, driven headless.
#include "core/FakeDialogService.h"
#include "data/Database.h"
#include "data/Dataset.h"
#include "documents/DocumentPrintouts.h"
#include "documents/DocumentWindows.h"
#include "documents/Extenso.h"
#include "documents/TForm1.h"
#include "printing/PageModel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace brelvo;
using namespace brelvo::documents;
using core::Answer;
using Kind = core::FakeDialogService::Kind;
using data::Dataset;
using data::Table;
using printing::PageItem;
using printing::PreparedReport;

namespace {

struct Fixture {
    QTemporaryDir dir;
    data::DatabasePtr db;
    core::ScopedFakeDialogs dialogs;
    std::vector<PreparedReport> previews;
    int customerWindows = 0;

    Fixture()
    {
        db = data::Database::open(dir.path(), true);
        dialogs->onNamed(QStringLiteral("preview"), [this](QWidget *, void *obj) {
            previews.push_back(*static_cast<PreparedReport *>(obj));
            return 0;
        });
        dialogs->onDialog(QStringLiteral("TFormCadastro"), [this](QDialog *) {
            ++customerWindows;
            return 0;
        });
    }

    void add(const QString &table, const QVariantMap &values)
    {
        Table t(db, table);
        t.open();
        t.append();
        for (auto it = values.begin(); it != values.end(); ++it)
            t.setValue(it.key(), it.value());
        t.post();
    }

    void customers()
    {
        add(QStringLiteral("tbCliente.DB"),
            {{"Codigo", 7}, {"Nome", QStringLiteral("MARIA D'ÁVILA")}, {"Endereco", QStringLiteral("RUA DAS FLORES, 10")},
             {"CIC", QStringLiteral("123.456.789-09")}, {"RG", QStringLiteral("11.222.333-4")},
             {"Cidade", QStringLiteral("CAMPINAS")}, {"UF", QStringLiteral("SP")}});
        add(QStringLiteral("tbCliente.DB"),
            {{"Codigo", 8}, {"Nome", QStringLiteral("ANTONIO PRADO")}, {"Endereco", QStringLiteral("AV. B, 2")},
             {"CIC", QStringLiteral("987")}, {"Cidade", QStringLiteral("SANTOS")}, {"UF", QStringLiteral("SP")}});
        add(QStringLiteral("empresa.DB"),
            {{"Empresa", QStringLiteral("AUTO PEÇAS BRELVO")}, {"Cnpj", QStringLiteral("12.345.678/0001-90")},
             {"IE", QStringLiteral("111.222.333")}, {"End", QStringLiteral("AV. BRASIL, 500")}});
    }

    int rows(const QString &table)
    {
        Table t(db, table);
        t.open();
        return t.recordCount();
    }
};

template <typename T> T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

// Types text key by key, accents included.
void type(QWidget *w, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void choose(QComboBox *c, const QString &text)
{
    static_cast<PickList *>(c)->fill();
    const int i = c->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    c->setCurrentIndex(i);
    Q_EMIT c->activated(i);
}

QString today() { return dataPorExtenso(QDate::currentDate()); }

int images(const PreparedReport &p)
{
    int n = 0;
    for (const PageItem &it : p.pages.at(0).items)
        n += it.kind == PageItem::Image;
    return n;
}

} // namespace

class TestTForm1 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // ---------------------------------------------------------------- opening
    void opensOnTheLastRecords()
    {
        Fixture f;
        f.add("cadastro.db", {{"Codigo", 1}, {"Reci", "A"}});
        f.add("cadastro.db", {{"Codigo", 2}, {"Reci", "B"}});
        f.add("BD_NP.db", {{"Codigo", 4.0}, {"Emitente", "C"}});
        TForm1 w(f.db, false);
        QCOMPARE(w.windowTitle(), QStringLiteral("RECIBO"));
        QCOMPARE(w.recibos()->asString("Reci"), QStringLiteral("B"));
        QCOMPARE(w.notas()->asString("Emitente"), QStringLiteral("C"));
        QVERIFY(!child<QPushButton>(&w, "btnGravar")->isEnabled());
        QVERIFY(!child<QPushButton>(&w, "btnCancelar")->isEnabled());
        QVERIFY(!child<QPushButton>(&w, "btnGravarNP")->isEnabled());
        QVERIFY(!child<QPushButton>(&w, "btnCancelarNP")->isEnabled());
        QVERIFY(!child<QRadioButton>(&w, "rbPersonalizada")->isChecked());
        QVERIFY(!child<QRadioButton>(&w, "rbPadrao")->isChecked());
        QVERIFY(child<QRadioButton>(&w, "rbUmaVia")->isChecked());
        QVERIFY(!child<QWidget>(&w, "PanelVias")->isVisibleTo(&w));
        QVERIFY(f.dialogs->clean());
    }

    // The menu's two entries open the same window on its two pages.
    void menuEntriesOpenTheirPage()
    {
        Fixture f;
        QStringList pages;
        f.dialogs->onDialog(QStringLiteral("TForm1"), [&](QDialog *d) {
            auto *tabs = child<QTabWidget>(d, "PageControl1");
            pages << tabs->tabText(tabs->currentIndex());
            return 0;
        });
        openRecibo(nullptr, f.db, false);
        openNotaPromissoria(nullptr, f.db, false);
        QCOMPARE(pages, (QStringList{QStringLiteral("Emitir Recibo"), QStringLiteral("Emitir Nota Promissória ")}));
    }

    // ---------------------------------------------------------------- numbering
    void firstReceiptIsOneNextIsTwo()
    {
        Fixture f;
        TForm1 w(f.db, false);
        auto *codigo = child<QLineEdit>(&w, "DBEditCodigo");
        QTest::mouseClick(child<QPushButton>(&w, "btnNovo"), Qt::LeftButton);
        QCOMPARE(codigo->text(), QStringLiteral("000001"));
        QVERIFY(child<QPushButton>(&w, "btnGravar")->isEnabled());
        type(child<QLineEdit>(&w, "DBEditReferente"), "CONSERTO");
        // "&Novo" with the receipt still pending stores it first.
        QTest::mouseClick(child<QPushButton>(&w, "btnNovo"), Qt::LeftButton);
        QCOMPARE(codigo->text(), QStringLiteral("000002"));
        QCOMPARE(f.rows("cadastro.db"), 1);
        QTest::mouseClick(child<QPushButton>(&w, "btnGravar"), Qt::LeftButton);
        QCOMPARE(f.rows("cadastro.db"), 2);
        QCOMPARE(w.recibos()->asInteger("Codigo"), 2);
        QVERIFY(!child<QPushButton>(&w, "btnGravar")->isEnabled());
        QVERIFY(f.dialogs->clean());
    }

    void firstNoteIsOneAndNothingElseStored()
    {
        Fixture f;
        TForm1 w(f.db, false);
        w.setPagina(TForm1::PaginaNota);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovoNP"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(&w, "DBEditCodigoNP")->text(), QStringLiteral("000001"));
        QVERIFY(child<QPushButton>(&w, "btnCancelarNP")->isEnabled());
        QCOMPARE(f.rows("BD_NP.db"), 0);
        QTest::mouseClick(child<QPushButton>(&w, "btnGravarNP"), Qt::LeftButton);
        QCOMPARE(f.rows("BD_NP.db"), 1);
        QCOMPARE(f.rows("cadastro.db"), 0);
        Table t(f.db, "BD_NP.db");
        t.open();
        QCOMPARE(t.asInteger("Codigo"), 1);
        QVERIFY(f.dialogs->clean());
    }

    // Another program saved receipt 1 meanwhile: this one keeps number 2.
    void numberDrawnWhenSaving()
    {
        Fixture f;
        TForm1 w(f.db, false);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovo"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(&w, "DBEditCodigo")->text(), QStringLiteral("000001"));
        f.add("cadastro.db", {{"Codigo", 1}, {"Reci", "OUTRO"}});
        QTest::mouseClick(child<QPushButton>(&w, "btnGravar"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(&w, "DBEditCodigo")->text(), QStringLiteral("000002"));
    }

    // ---------------------------------------------------------------- the value box
    void valueBecomesWordsAndDate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("words");
        QTest::newRow("plain") << "1555,23" << "1.555,23"
                               << QStringLiteral("Um Mil, e Quinhentos e Cinqüenta e Cinco Reais, e Vinte e Três Centavos.");
        QTest::newRow("with thousands dot") << "1.555,23" << "1.555,23"
                               << QStringLiteral("Um Mil, e Quinhentos e Cinqüenta e Cinco Reais, e Vinte e Três Centavos.");
        QTest::newRow("whole") << "300" << "300,00" << "Trezentos Reais.";
        QTest::newRow("zero") << "0" << "0,00" << "";
    }
    void valueBecomesWordsAndDate()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, words);
        Fixture f;
        TForm1 w(f.db, false);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovo"), Qt::LeftButton);
        auto *valor = child<QLineEdit>(&w, "DBEditValor");
        type(valor, typed);
        w.valorReciboExit();
        QCOMPARE(valor->text(), shown);
        QCOMPARE(child<QLineEdit>(&w, "DBEditImportancia")->text(), words);
        QCOMPARE(child<QLineEdit>(&w, "DBEditDiaMes")->text(), today());
        // Leaving the box again keeps the value and the words.
        w.valorReciboExit();
        QCOMPARE(valor->text(), shown);
        QCOMPARE(child<QLineEdit>(&w, "DBEditImportancia")->text(), words);
        QVERIFY2(f.dialogs->messages().isEmpty(), qPrintable(f.dialogs->messages().join('|')));
        // The note page follows the same rule.
        w.setPagina(TForm1::PaginaNota);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovoNP"), Qt::LeftButton);
        type(child<QLineEdit>(&w, "DBEditValorNP"), typed);
        w.valorNotaExit();
        QCOMPARE(child<QLineEdit>(&w, "DBEditValorNP")->text(), shown);
        QCOMPARE(child<QLineEdit>(&w, "DBEditOu")->text(), words);
        QCOMPARE(child<QLineEdit>(&w, "DBEditDataExtenso")->text(), today());
    }

    // Bad or empty text: a message, and the words and date stay as they were.
    void badValueChangesNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << "12a" << "'12a' não é um valor válido";
        QTest::newRow("two commas") << "1,5,5" << "'1,5,5' não é um valor válido";
        QTest::newRow("empty") << "" << "Valor Não pode ser nulo!";
    }
    void badValueChangesNothing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Fixture f;
        f.add("cadastro.db", {{"Codigo", 1}, {"Valor2", "10,00"}, {"Importancia", "Dez Reais."},
                              {"Dia mes", "01 de janeiro de 2020"}});
        TForm1 w(f.db, false);
        auto *valor = child<QLineEdit>(&w, "DBEditValor");
        valor->selectAll();
        QTest::keyClick(valor, Qt::Key_Delete);
        type(valor, typed);
        QCOMPARE(w.recibos()->state(), Dataset::State::Edit);
        w.valorReciboExit();
        QCOMPARE(f.dialogs->messages(), QStringList{message});
        QCOMPARE(f.dialogs->callsOf(Kind::Error).size(), 1);
        QCOMPARE(valor->text(), typed);
        QCOMPARE(w.recibos()->asString("Importancia"), QStringLiteral("Dez Reais."));
        QCOMPARE(w.recibos()->asString("Dia mes"), QStringLiteral("01 de janeiro de 2020"));
    }

    // Out of range: the warning, empty words, the value still reformatted.
    void valueOutOfRange()
    {
        Fixture f;
        TForm1 w(f.db, false);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovo"), Qt::LeftButton);
        auto *valor = child<QLineEdit>(&w, "DBEditValor");
        type(valor, "1000000");
        w.valorReciboExit();
        QCOMPARE(f.dialogs->messages(), QStringList{mensagemForaDoIntervalo()});
        QCOMPARE(valor->text(), QStringLiteral("1.000.000,00"));
        QCOMPARE(child<QLineEdit>(&w, "DBEditImportancia")->text(), QString());
        QCOMPARE(child<QLineEdit>(&w, "DBEditDiaMes")->text(), today());
    }

    // Passing through a stored receipt's value box leaves it untouched.
    void passingThroughAStoredReceipt()
    {
        Fixture f;
        f.add("cadastro.db", {{"Codigo", 1}, {"Valor2", "10,00"}, {"Dia mes", "01 de janeiro de 2020"}});
        TForm1 w(f.db, false);
        w.valorReciboExit();
        QCOMPARE(w.recibos()->state(), Dataset::State::Browse);
        QCOMPARE(w.recibos()->asString("Dia mes"), QStringLiteral("01 de janeiro de 2020"));
        QVERIFY(f.dialogs->calls().isEmpty());
    }

    // On screen: leaving with Enter reformats and goes on to "Referente";
    // coming back and leaving again keeps the value.
    void leavingOnScreen()
    {
        Fixture f;
        TForm1 w(f.db, false);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::mouseClick(child<QPushButton>(&w, "btnNovo"), Qt::LeftButton);
        auto *valor = child<QLineEdit>(&w, "DBEditValor");
        valor->setFocus();
        QTRY_VERIFY(valor->hasFocus());
        type(valor, "1555,23");
        QTest::keyClick(valor, Qt::Key_Return);
        QTRY_COMPARE(valor->text(), QStringLiteral("1.555,23"));
        QTRY_VERIFY(child<QLineEdit>(&w, "DBEditReferente")->hasFocus());
        valor->setFocus();
        QTRY_VERIFY(valor->hasFocus());
        child<QLineEdit>(&w, "DBEditCidade")->setFocus();
        QTest::qWait(20);
        QCOMPARE(valor->text(), QStringLiteral("1.555,23"));
        QCOMPARE(w.recibos()->asString("Importancia"),
                 QStringLiteral("Um Mil, e Quinhentos e Cinqüenta e Cinco Reais, e Vinte e Três Centavos."));
        QVERIFY2(f.dialogs->messages().isEmpty(), qPrintable(f.dialogs->messages().join('|')));

        // An empty value: the message, and the focus goes back to the box.
        valor->setFocus();
        QTRY_VERIFY(valor->hasFocus());
        valor->selectAll();
        QTest::keyClick(valor, Qt::Key_Delete);
        child<QLineEdit>(&w, "DBEditCidade")->setFocus();
        QTRY_COMPARE(f.dialogs->messages(), QStringList{QStringLiteral("Valor Não pode ser nulo!")});
        QTRY_VERIFY(valor->hasFocus());
        w.discardRecord();
    }

    // Enter goes on in the order the operator fills a receipt or a note.
    void enterFlowOnScreen()
    {
        Fixture f;
        TForm1 w(f.db, false);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::mouseClick(child<QPushButton>(&w, "btnNovo"), Qt::LeftButton);
        QTRY_VERIFY(child<QWidget>(&w, "DBEditCodigoCliente")->hasFocus());
        auto enterFrom = [&](QWidget *from, const char *to) {
            from->setFocus();
            QTRY_VERIFY(from->hasFocus());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY2(child<QWidget>(&w, to)->hasFocus(), to);
        };
        auto *recebi = child<QComboBox>(&w, "cbRecebi");
        type(recebi->lineEdit(), "FULANO");
        enterFrom(recebi->lineEdit(), "DBEditValor");
        type(child<QLineEdit>(&w, "DBEditValor"), "10");
        enterFrom(child<QWidget>(&w, "DBEditValor"), "DBEditReferente");
        enterFrom(child<QWidget>(&w, "DBEditReferente"), "DBEditCidade");
        enterFrom(child<QWidget>(&w, "DBEditCpf"), "DBEditRgEmitente");
        enterFrom(child<QWidget>(&w, "DBEditRgEmitente"), "DBEditObs");
        // Esc goes back.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(child<QWidget>(&w, "DBEditRgEmitente")->hasFocus());
        QVERIFY(w.isVisible());

        w.setPagina(TForm1::PaginaNota);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovoNP"), Qt::LeftButton);
        enterFrom(child<QComboBox>(&w, "cbPagarei")->lineEdit(), "DBEditValorNP");
        QVERIFY(f.dialogs->messages().isEmpty());
        w.discardRecord();
    }

    // ---------------------------------------------------------------- payers and issuers
    void customerCodeFillsThePayer()
    {
        Fixture f;
        f.customers();
        TForm1 w(f.db, false);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovo"), Qt::LeftButton);
        auto *codigo = child<QLineEdit>(&w, "DBEditCodigoCliente");
        type(codigo, "7");
        QTest::keyClick(codigo, Qt::Key_Return);
        QCOMPARE(w.recibos()->asString("Reci"), QStringLiteral("MARIA D'ÁVILA"));
        QCOMPARE(w.recibos()->asString("End"), QStringLiteral("RUA DAS FLORES, 10"));
        QCOMPARE(w.recibos()->asString("Cpfpagador"), QStringLiteral("123.456.789-09"));
        QCOMPARE(f.customerWindows, 0);
        // An unknown code opens the customer window, without a message.
        codigo->selectAll();
        QTest::keyClick(codigo, Qt::Key_Delete);
        type(codigo, "99");
        QTest::keyClick(codigo, Qt::Key_Return);
        QCOMPARE(f.customerWindows, 1);
        QCOMPARE(w.recibos()->asString("Reci"), QStringLiteral("MARIA D'ÁVILA"));
        QVERIFY(f.dialogs->messages().isEmpty());
    }

    // A name with an apostrophe is found and copied with all its fields.
    void pickedPayerAndIssuer()
    {
        Fixture f;
        f.customers();
        TForm1 w(f.db, false);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovo"), Qt::LeftButton);
        auto *recebi = child<QComboBox>(&w, "cbRecebi");
        choose(recebi, QStringLiteral("MARIA D'ÁVILA"));
        QCOMPARE(recebi->count(), 2);
        QCOMPARE(recebi->itemText(0), QStringLiteral("ANTONIO PRADO"));   // name order
        Table *r = w.recibos();
        QCOMPARE(r->asString("Reci"), QStringLiteral("MARIA D'ÁVILA"));
        QCOMPARE(r->asString("End"), QStringLiteral("RUA DAS FLORES, 10"));
        QCOMPARE(r->asString("Cpfpagador"), QStringLiteral("123.456.789-09"));
        QCOMPARE(r->asInteger("Codigo2"), 7);
        QCOMPARE(r->asString("Cidade"), QStringLiteral("CAMPINAS"));
        QCOMPARE(r->asString("UF"), QStringLiteral("SP"));

        choose(child<QComboBox>(&w, "cbEmitente"), QStringLiteral("AUTO PEÇAS BRELVO"));
        QCOMPARE(r->asString("Emitente"), QStringLiteral("AUTO PEÇAS BRELVO"));
        QCOMPARE(r->asString("Cpf"), QStringLiteral("12.345.678/0001-90"));
        QCOMPARE(r->asString("Rgemitente"), QStringLiteral("111.222.333"));
        QCOMPARE(r->asString("End2"), QStringLiteral("AV. BRASIL, 500"));

        // Typing the issuer instead shows a plain box on the same field.
        QTest::mouseClick(child<QRadioButton>(&w, "rbDigitarEmitente"), Qt::LeftButton);
        QVERIFY(child<QLineEdit>(&w, "DBEditEmitente")->isVisibleTo(&w));
        QVERIFY(!child<QComboBox>(&w, "cbEmitente")->isVisibleTo(&w));
        QCOMPARE(child<QLineEdit>(&w, "DBEditEmitente")->text(), QStringLiteral("AUTO PEÇAS BRELVO"));
        QVERIFY(f.dialogs->clean());
    }

    // A name no longer in the table: nothing is copied.
    void pickedNameGoneCopiesNothing()
    {
        Fixture f;
        f.customers();
        TForm1 w(f.db, false);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovo"), Qt::LeftButton);
        w.recibos()->setValue("End", "ANTES");
        w.recebiChosen(QStringLiteral("NINGUÉM"));
        QCOMPARE(w.recibos()->asString("End"), QStringLiteral("ANTES"));
    }

    void notePayeeAndMaker()
    {
        Fixture f;
        f.customers();
        TForm1 w(f.db, false);
        w.setPagina(TForm1::PaginaNota);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovoNP"), Qt::LeftButton);
        choose(child<QComboBox>(&w, "cbPagarei"), QStringLiteral("AUTO PEÇAS BRELVO"));
        Table *n = w.notas();
        QCOMPARE(n->asString("Pagarei"), QStringLiteral("AUTO PEÇAS BRELVO"));
        QCOMPARE(n->asString("Cpf"), QStringLiteral("12.345.678/0001-90"));
        choose(child<QComboBox>(&w, "cbEmitenteNP"), QStringLiteral("MARIA D'ÁVILA"));
        QCOMPARE(n->asString("Emitente"), QStringLiteral("MARIA D'ÁVILA"));
        QCOMPARE(n->asString("End_emitente"), QStringLiteral("RUA DAS FLORES, 10"));
        QCOMPARE(n->asString("Cpf_emitente"), QStringLiteral("123.456.789-09"));
        QCOMPARE(n->asString("Rg_emitente"), QStringLiteral("11.222.333-4"));
        QCOMPARE(n->asString("Cidade"), QStringLiteral("CAMPINAS"));
        QCOMPARE(n->asString("Uf"), QStringLiteral("SP"));
        QVERIFY(f.dialogs->clean());
    }

    // ---------------------------------------------------------------- searching
    void searches()
    {
        Fixture f;
        f.add("cadastro.db", {{"Codigo", 1}, {"Reci", "ZÉ"}});
        f.add("cadastro.db", {{"Codigo", 2}, {"Reci", "MARIA D'ÁVILA"}});
        f.add("cadastro.db", {{"Codigo", 3}, {"Reci", "MARIA D'ANGELO"}});
        f.add("BD_NP.db", {{"Codigo", 1.0}, {"Emitente", "PEDRO"}});
        f.add("BD_NP.db", {{"Codigo", 2.0}, {"Emitente", "ANA O'HARA"}});
        f.add("BD_NP.db", {{"Codigo", 3.0}, {"Emitente", "ZULMIRA"}});
        TForm1 w(f.db, false);
        type(child<QLineEdit>(&w, "edtLocalizarCliente"), QStringLiteral("MARIA D'ÁV"));
        QCOMPARE(w.recibos()->asInteger("Codigo"), 2);
        type(child<QLineEdit>(&w, "edtLocalizarEmitente"), QStringLiteral("ANA O'"));
        QCOMPARE(w.notas()->asInteger("Codigo"), 2);
        QCOMPARE(w.recibos()->asInteger("Codigo"), 2);   // the receipts stay put
        QVERIFY(f.dialogs->clean());
    }

    // ---------------------------------------------------------------- buttons
    // Each page's "&Cancelar" drops its own pending change only.
    void cancelEachPage()
    {
        Fixture f;
        f.add("cadastro.db", {{"Codigo", 1}, {"Referente", "ANTES"}});
        f.add("BD_NP.db", {{"Codigo", 1.0}, {"Aos", "ANTES"}});
        TForm1 w(f.db, false);
        auto *ref = child<QLineEdit>(&w, "DBEditReferente");
        type(ref, "X");
        type(child<QLineEdit>(&w, "DBEditAos"), "Y");
        QVERIFY(child<QPushButton>(&w, "btnCancelar")->isEnabled());
        QVERIFY(child<QPushButton>(&w, "btnCancelarNP")->isEnabled());
        QTest::mouseClick(child<QPushButton>(&w, "btnCancelar"), Qt::LeftButton);
        QCOMPARE(w.recibos()->state(), Dataset::State::Browse);
        QCOMPARE(ref->text(), QStringLiteral("ANTES"));
        QCOMPARE(w.notas()->state(), Dataset::State::Edit);
        QVERIFY(!child<QPushButton>(&w, "btnCancelar")->isEnabled());
        QTest::mouseClick(child<QPushButton>(&w, "btnCancelarNP"), Qt::LeftButton);
        QCOMPARE(w.notas()->asString("Aos"), QStringLiteral("ANTES"));
        QVERIFY(!child<QPushButton>(&w, "btnCancelarNP")->isEnabled());
    }

    void deleteAsksFirst()
    {
        Fixture f;
        f.add("cadastro.db", {{"Codigo", 1}});
        f.add("BD_NP.db", {{"Codigo", 1.0}});
        TForm1 w(f.db, false);
        f.dialogs->answerQuestion(Answer::No);
        QTest::mouseClick(child<QPushButton>(&w, "btnApagar"), Qt::LeftButton);
        QCOMPARE(f.rows("cadastro.db"), 1);
        f.dialogs->answerQuestion(Answer::Yes);
        QTest::mouseClick(child<QPushButton>(&w, "btnApagar"), Qt::LeftButton);
        QCOMPARE(f.rows("cadastro.db"), 0);
        f.dialogs->answerQuestion(Answer::Yes);
        QTest::mouseClick(child<QPushButton>(&w, "btnApagarNP"), Qt::LeftButton);
        QCOMPARE(f.rows("BD_NP.db"), 0);
        const auto q = f.dialogs->callsOf(Kind::Question);
        QCOMPARE(q.size(), 3);
        QCOMPARE(q[0].title, QStringLiteral("Exclusão"));
        QCOMPARE(q[0].text, QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"));
        QCOMPARE(q[2].title, QStringLiteral("Exclusão"));
        QCOMPARE(q[2].text, QStringLiteral("Deseja realmente apagar essa nota?"));
        QVERIFY(f.dialogs->clean());
    }

    // Closing with a pending note asks; "Sim" stores it with its number.
    void closingWithPendingNoteAsks()
    {
        Fixture f;
        TForm1 w(f.db, false);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovoNP"), Qt::LeftButton);
        type(child<QLineEdit>(&w, "DBEditAos"), "DEZ DIAS");
        f.dialogs->answerQuestion(Answer::Yes);
        w.reject();
        QCOMPARE(f.rows("BD_NP.db"), 1);
        QCOMPARE(f.dialogs->count(Kind::Question), 1);
    }

    // ---------------------------------------------------------------- printing
    void personalisedPrintsTwoCopies()
    {
        Fixture f;
        f.add("cadastro.db", {{"Codigo", 3}, {"Reci", "MARIA D'ÁVILA"}, {"Valor2", "1.555,23"}});
        TForm1 w(f.db, false);
        QTest::mouseClick(child<QRadioButton>(&w, "rbPersonalizada"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(&w, "btnImprimir"), Qt::LeftButton);
        QCOMPARE(f.previews.size(), size_t(1));
        const PreparedReport &p = f.previews[0];
        QCOMPARE(p.pageCount(), 1);
        const QString text = p.pageText(0);
        QCOMPARE(text.count(QStringLiteral("Nº 000003")), 2);
        QCOMPARE(text.count(QStringLiteral("***1.555,23***")), 2);
        // The printing date and time: once, on the first copy.
        const QRegularExpression stamp(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
        int stamps = 0;
        for (const PageItem &it : p.pages[0].items)
            if (it.kind == PageItem::Text && stamp.match(it.text).hasMatch()) {
                ++stamps;
                QVERIFY(it.y < 150);
            }
        QCOMPARE(stamps, 1);
        QVERIFY(!child<QWidget>(&w, "PanelVias")->isVisibleTo(&w));
    }

    // "Padrão" (or no choice) opens the copies panel; the copies choice
    // swaps the buttons; printing hides the panel.
    void standardThroughTheCopiesPanel()
    {
        Fixture f;
        f.add("cadastro.db", {{"Codigo", 3}, {"Reci", "MARIA"}});
        TForm1 w(f.db, false);
        auto *painel = child<QWidget>(&w, "PanelVias");
        auto *imprimir = child<QPushButton>(&w, "btnImprimir");
        QTest::mouseClick(imprimir, Qt::LeftButton);
        QVERIFY(painel->isVisibleTo(&w));
        QTest::mouseClick(imprimir, Qt::LeftButton);
        QVERIFY(!painel->isVisibleTo(&w));
        QTest::mouseClick(child<QRadioButton>(&w, "rbPadrao"), Qt::LeftButton);
        QTest::mouseClick(imprimir, Qt::LeftButton);
        QVERIFY(painel->isVisibleTo(&w));
        QVERIFY(child<QPushButton>(&w, "btnImprimir1Via")->isVisibleTo(&w));
        QVERIFY(!child<QPushButton>(&w, "btnImprimir2Vias")->isVisibleTo(&w));
        QTest::mouseClick(child<QRadioButton>(&w, "rbDuasVias"), Qt::LeftButton);
        QVERIFY(!child<QPushButton>(&w, "btnImprimir1Via")->isVisibleTo(&w));
        QVERIFY(child<QPushButton>(&w, "btnImprimir2Vias")->isVisibleTo(&w));
        QTest::mouseClick(child<QPushButton>(&w, "btnImprimir2Vias"), Qt::LeftButton);
        QVERIFY(!painel->isVisibleTo(&w));
        QCOMPARE(f.previews.size(), size_t(1));
        QCOMPARE(images(f.previews[0]), 4);     // two frames, two logos
        QCOMPARE(f.previews[0].pageText(0).count(QStringLiteral("Nº 000003")), 2);
    }

    // With no logo set the default picture prints; a set logo prints instead;
    // an unreadable one is told and nothing is previewed.
    void logoInTheStandardLayout()
    {
        Fixture f;
        f.add("cadastro.db", {{"Codigo", 3}});
        TForm1 w(f.db, false);
        w.imprimirPadrao(1);
        QCOMPARE(f.previews.size(), size_t(1));
        const QImage padrao = QImage(arquivoLogoPadrao()).convertToFormat(QImage::Format_ARGB32);
        bool found = false;
        for (const QImage &img : f.previews[0].images)
            found |= img.convertToFormat(QImage::Format_ARGB32) == padrao;
        QVERIFY(found);

        const QString broken = f.dir.filePath("logo.png");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("nada");
        file.close();
        Table logo(f.db, "logo.db");
        logo.open();
        logo.first();
        logo.edit();
        logo.setValue("LogoCaminho", broken);
        logo.post();
        w.imprimirPadrao(2);
        QCOMPARE(f.previews.size(), size_t(1));
        QCOMPARE(f.dialogs->messages(), QStringList{QStringLiteral("Não foi possível carregar a imagem: ") + broken});
    }

    void noteDueLineAsChosen()
    {
        Fixture f;
        TForm1 w(f.db, false);
        w.setPagina(TForm1::PaginaNota);
        QTest::mouseClick(child<QPushButton>(&w, "btnNovoNP"), Qt::LeftButton);
        auto pick = [&](const char *name, const QString &text) {
            auto *c = child<QComboBox>(&w, name);
            const int i = c->findText(text);
            QVERIFY2(i >= 0, qPrintable(text));
            c->setCurrentIndex(i);
            Q_EMIT c->activated(i);
        };
        pick("cbDia", "05");
        pick("cbMes", QStringLiteral("Março"));
        pick("cbAno", "2031");
        QCOMPARE(w.notas()->asFloat("Dia"), 5.0);
        QCOMPARE(w.notas()->asFloat("Ano"), 2031.0);
        QVERIFY(child<QPushButton>(&w, "btnGravarNP")->isEnabled());
        QTest::mouseClick(child<QPushButton>(&w, "btnGravarNP"), Qt::LeftButton);
        // Shown again as chosen after the note is read back.
        QCOMPARE(child<QComboBox>(&w, "cbDia")->currentText(), QStringLiteral("05"));
        QTest::mouseClick(child<QPushButton>(&w, "btnImprimirNP"), Qt::LeftButton);
        QCOMPARE(f.previews.size(), size_t(1));
        QVERIFY(f.previews[0].texts(0).contains(QStringLiteral("Vencimento, 05 de Março de 2031")));
        QVERIFY(f.previews[0].texts(0).contains(QStringLiteral("Nº 000001")));
        QVERIFY(f.dialogs->clean());
    }
};

QTEST_MAIN(TestTForm1)
#include "test_tform1.moc"
