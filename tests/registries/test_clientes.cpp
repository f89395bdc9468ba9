// The customer window: numbering, toolbar states, names that are hard on
// queries, vehicles, the postal-code lookup against a local server, e-mail,
// makers' file, the listing and both printouts.

#include "RegTest.h"

#include "core/AppPaths.h"
#include "core/FakeDialogService.h"
#include "printing/PageModel.h"
#include "registries/RegistryRules.h"
#include "registries/RegistryWindows.h"
#include "registries/TFormCadastro.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

using namespace brelvo;
using namespace brelvo::registries;
using core::FakeDialogService;
using data::Table;
using Kind = core::FakeDialogService::Kind;

namespace {

struct Ctx {
    regtest::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
    Ctx()
    {
        core::setProgramFolder(fresh.dir.path());
        QFile f(fresh.dir.filePath(QStringLiteral("fabricantes.txt")));
        f.open(QIODevice::WriteOnly);
        f.write("FIAT\nVOLKSWAGEN\n\nCITROËN\n");
    }
    void customers(std::initializer_list<std::pair<int, QString>> rows)
    {
        Table t(fresh.db, QStringLiteral("tbCliente.DB"));
        t.open();
        for (const auto &[code, name] : rows)
            regtest::addRow(t, {{"Codigo", code}, {"Nome", name}, {"Data", QDate(2024, 5, code % 28 + 1)}});
    }
};

template <typename T = QPushButton>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

// Enabled state of Gravar, Novo, Cancelar and the navigator, as "GNC+" letters.
QString states(TFormCadastro &w)
{
    QString s;
    s += child(&w, "btnGravar")->isEnabled() ? 'G' : '-';
    s += child(&w, "btnNovo")->isEnabled() ? 'N' : '-';
    s += child(&w, "btnCancelar")->isEnabled() ? 'C' : '-';
    s += child<QWidget>(&w, "DBNavigator1")->isEnabled() ? 'V' : '-';
    return s;
}

} // namespace

class TestClientes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { setUrlOpener({}); setCepServiceBase({}); }
    void numbering();
    void toolbarStatesAndDelete();
    void hardNamesStoredAndFound();
    void findByCode();
    void vehicles();
    void cepLookup();
    void cepUnchangedKeepsStoredAddress();
    void cepReplyAfterLeavingTheRow_data();
    void cepReplyAfterLeavingTheRow();
    void emailAndMakers();
    void listingAndPrintouts();
    void openedFromTheMenuEntryPoint();
};

void TestClientes::numbering()
{
    {
        // Typed straight into an empty table, no "Novo": still numbered.
        Ctx c;
        TFormCadastro w(c.fresh.db, true);
        regtest::type(child<QLineEdit>(&w, "edtNome"), "avulso");
        QTest::mouseClick(child(&w, "btnGravar"), Qt::LeftButton);
        QCOMPARE(regtest::columnOf(c.fresh.db, "tbCliente.DB", "Codigo"), QStringList{"1"});
        QVERIFY(c.dialogs->clean());
    }
    {
        Ctx c;
        TFormCadastro w(c.fresh.db, true);
        QTest::mouseClick(child(&w, "btnNovo"), Qt::LeftButton);
        QCOMPARE(w.TabelaCadastro()->asInteger("Codigo"), 1);
        QCOMPARE(w.TabelaCadastro()->asDate("Data"), QDate::currentDate());
        regtest::type(child<QLineEdit>(&w, "edtNome"), "primeiro");
        QTest::mouseClick(child(&w, "btnGravar"), Qt::LeftButton);
        QCOMPARE(regtest::columnOf(c.fresh.db, "tbCliente.DB", "Nome"), QStringList{"PRIMEIRO"});
    }
    Ctx c;
    c.customers({{5, "E"}, {41, "ZULU"}, {12, "ALFA"}});
    TFormCadastro w(c.fresh.db, true);
    // The current row is not the highest code; the order is by name.
    w.TabelaCadastro()->setIndexName("byNome");
    w.TabelaCadastro()->first();
    QCOMPARE(w.TabelaCadastro()->asString("Nome"), QStringLiteral("ALFA"));
    QTest::mouseClick(child(&w, "btnNovo"), Qt::LeftButton);
    QCOMPARE(w.TabelaCadastro()->asInteger("Codigo"), 42);
    QTest::mouseClick(child(&w, "btnGravar"), Qt::LeftButton);

    // The highest number deleted: given again.
    w.TabelaCadastro()->setIndexName("byCodigo");
    w.TabelaCadastro()->last();
    c.dialogs->answerQuestion(core::Answer::Yes);
    QTest::mouseClick(child(&w, "btnDeletar"), Qt::LeftButton);
    QTest::mouseClick(child(&w, "btnNovo"), Qt::LeftButton);
    QCOMPARE(w.TabelaCadastro()->asInteger("Codigo"), 42);
    QTest::mouseClick(child(&w, "btnCancelar"), Qt::LeftButton);

    // A period filter hiding the highest code does not bring an old number back.
    w.findChild<QTabWidget *>()->setCurrentIndex(1);
    child<QLineEdit>(&w, "edtDataIni")->setText("01/01/2024");
    child<QLineEdit>(&w, "edtDataFim")->setText("06/05/2024");
    QTest::mouseClick(child(&w, "btnOK"), Qt::LeftButton);
    QCOMPARE(regtest::column(*w.TabelaCadastro(), "Codigo"), QStringList{"5"});
    w.findChild<QTabWidget *>()->setCurrentIndex(0);
    QTest::mouseClick(child(&w, "btnNovo"), Qt::LeftButton);
    QCOMPARE(w.TabelaCadastro()->asInteger("Codigo"), 42);
    QVERIFY(c.dialogs->clean());
}

void TestClientes::toolbarStatesAndDelete()
{
    Ctx c;
    c.customers({{1, "ANA"}, {2, "BRUNO"}});
    {
        TFormCadastro user(c.fresh.db, false);
        user.activate();
        QVERIFY(!child(&user, "btnDeletar")->isEnabled());
        // Even a direct call deletes nothing for an ordinary user.
        user.btnDeletarClick();
        QCOMPARE(regtest::columnOf(c.fresh.db, "tbCliente.DB", "Nome").size(), 2);
    }
    TFormCadastro w(c.fresh.db, true);
    w.activate();
    QVERIFY(child(&w, "btnDeletar")->isEnabled());
    QCOMPARE(w.TabelaCadastro()->asString("Nome"), QStringLiteral("BRUNO"));   // opens on the last code
    QCOMPARE(states(w), QStringLiteral("-N-V"));

    QTest::mouseClick(child(&w, "btnNovo"), Qt::LeftButton);
    QCOMPARE(states(w), QStringLiteral("G-C-"));
    QTest::mouseClick(child(&w, "btnCancelar"), Qt::LeftButton);
    QCOMPARE(states(w), QStringLiteral("-N-V"));
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbCliente.DB", "Nome").size(), 2);

    // Typing in a box edits the current row.
    regtest::type(child<QLineEdit>(&w, "edtCidade"), "santos");
    QCOMPARE(states(w), QStringLiteral("G-C-"));
    QTest::mouseClick(child(&w, "btnGravar"), Qt::LeftButton);
    QCOMPARE(states(w), QStringLiteral("-N-V"));

    // Changing page discards a pending change.
    regtest::type(child<QLineEdit>(&w, "edtCidade"), "x");
    w.findChild<QTabWidget *>()->setCurrentIndex(1);
    QCOMPARE(states(w), QStringLiteral("-N-V"));
    w.findChild<QTabWidget *>()->setCurrentIndex(0);
    Table check(c.fresh.db, "tbCliente.DB");
    check.open();
    QVERIFY(check.locate("Nome", {"BRUNO"}));
    QCOMPARE(check.asString("Cidade"), QStringLiteral("SANTOS"));

    // The customer's vehicles go with the customer.
    Table cars(c.fresh.db, "TCadastroCarros.db");
    cars.open();
    regtest::addRow(cars, {{"Link", 2}, {"Modelo", "GOL"}, {"Placa", "ABC1234"}});

    c.dialogs->answerQuestion(core::Answer::No);
    QTest::mouseClick(child(&w, "btnDeletar"), Qt::LeftButton);
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbCliente.DB", "Nome").size(), 2);
    c.dialogs->answerQuestion(core::Answer::Yes);
    QTest::mouseClick(child(&w, "btnDeletar"), Qt::LeftButton);
    const auto q = c.dialogs->callsOf(Kind::Question);
    QCOMPARE(q.size(), 2);
    QCOMPARE(q[1].title, QStringLiteral("Exclusão"));
    QCOMPARE(q[1].text, QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"));
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbCliente.DB", "Nome"), QStringList{"ANA"});
    QCOMPARE(states(w), QStringLiteral("GN--"));
    QCOMPARE(regtest::columnOf(c.fresh.db, "TCadastroCarros.db", "Placa"), QStringList{});
    QVERIFY(c.dialogs->clean());
}

void TestClientes::hardNamesStoredAndFound()
{
    Ctx c;
    c.customers({{1, "ZÉLIA"}, {2, "BRUNO"}});
    TFormCadastro w(c.fresh.db, true);
    const QString longName = QString(60, QLatin1Char('m'));
    QTest::mouseClick(child(&w, "btnNovo"), Qt::LeftButton);
    regtest::type(child<QLineEdit>(&w, "edtNome"), QStringLiteral("joão d'ávila & filhos ç"));
    regtest::type(child<QLineEdit>(&w, "edtEndereco"), QStringLiteral("rua d'água, 5 'a' \"b\" ãé"));
    QTest::mouseClick(child(&w, "btnGravar"), Qt::LeftButton);
    QTest::mouseClick(child(&w, "btnNovo"), Qt::LeftButton);
    regtest::type(child<QLineEdit>(&w, "edtNome"), longName);
    QTest::mouseClick(child(&w, "btnGravar"), Qt::LeftButton);

    Table t(c.fresh.db, "tbCliente.DB");
    t.setIndexName("byCodigo");
    t.open();
    t.last();
    QCOMPARE(t.asString("Nome"), QString(50, QLatin1Char('M')));
    t.prior();
    QCOMPARE(t.asString("Nome"), QStringLiteral("JOÃO D'ÁVILA & FILHOS Ç"));
    QCOMPARE(t.asString("Endereco"), QStringLiteral("RUA D'ÁGUA, 5 'A' \"B\" ÃÉ"));

    auto *find = child<QLineEdit>(&w, "edtLocalizar");
    regtest::type(find, QStringLiteral("joão d'"));
    QCOMPARE(find->text(), QStringLiteral("JOÃO D'"));
    QCOMPARE(w.TabelaCadastro()->asString("Nome"), QStringLiteral("JOÃO D'ÁVILA & FILHOS Ç"));
    QVERIFY(child<QRadioButton>(&w, "rbAZ")->isChecked());
    find->setText(QStringLiteral("Z"));
    QCOMPARE(w.TabelaCadastro()->asString("Nome"), QStringLiteral("ZÉLIA"));
    find->setText(QStringLiteral("C"));   // between two names: the next one
    QCOMPARE(w.TabelaCadastro()->asString("Nome"), QStringLiteral("JOÃO D'ÁVILA & FILHOS Ç"));
    find->setText(QString(50, QLatin1Char('M')));
    QCOMPARE(w.TabelaCadastro()->asString("Nome"), QString(50, QLatin1Char('M')));
    find->setText(QStringLiteral("' OR 1=1 --"));
    find->setText(QStringLiteral("%_\\'\""));
    QCOMPARE(c.dialogs->count(Kind::Error), 0);
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbCliente.DB", "Nome").size(), 4);
}

void TestClientes::findByCode()
{
    Ctx c;
    c.customers({{7, "SETE"}, {9, "NOVE"}, {3, "TRES"}});
    TFormCadastro w(c.fresh.db, true);
    auto *label = child<QLabel>(&w, "lblCodigo");
    c.dialogs->answerInput("7");
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(w.TabelaCadastro()->asString("Nome"), QStringLiteral("SETE"));
    const auto in = c.dialogs->callsOf(Kind::Input);
    QCOMPARE(in.size(), 1);
    QCOMPARE(in[0].title, QStringLiteral("Procura"));
    QCOMPARE(in[0].text, QStringLiteral("Entre com o código do cliente!"));

    c.dialogs->answerInput("8");
    QTest::mouseClick(label, Qt::LeftButton);
    c.dialogs->answerInput("7' or '1'='1");
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(c.dialogs->messages(), (QStringList{"Código não encontrado", "Código não encontrado"}));
    c.dialogs->cancelInput();
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(c.dialogs->messages().size(), 2);
    QVERIFY(c.dialogs->clean());
}

void TestClientes::vehicles()
{
    Ctx c;
    c.customers({{1, "ANA"}, {2, "BRUNO"}});
    TFormCadastro w(c.fresh.db, true);
    auto *fuel = child<QComboBox>(&w, "cbCombustivel");
    QStringList fuels;
    for (int i = 0; i < fuel->count(); ++i)
        fuels << fuel->itemText(i);
    QCOMPARE(fuels, fuelChoices());
    QCOMPARE(fuels.first(), QStringLiteral("ÁLCOOL"));

    auto fill = [&](const QString &model, const QString &plate, bool withFuel = true) {
        regtest::type(child<QLineEdit>(&w, "edtModelo"), model);
        regtest::type(child<QLineEdit>(&w, "edtAnoFab"), "2019");
        regtest::type(child<QLineEdit>(&w, "edtAnoMod"), "2020x");
        child<QComboBox>(&w, "cbFabricante")->setEditText("FIAT");
        regtest::type(child<QLineEdit>(&w, "edtCor"), "prata");
        regtest::type(child<QLineEdit>(&w, "edtPlaca"), plate);
        if (withFuel)
            fuel->setCurrentIndex(5);
    };
    // One empty box: message, nothing stored, boxes kept.
    fill("uno", "abc1d23", false);
    QTest::mouseClick(child(&w, "btnCadastrarVeiculo"), Qt::LeftButton);
    QCOMPARE(c.dialogs->messages(), QStringList{"Preecha Todos os campos!"});
    QCOMPARE(regtest::columnOf(c.fresh.db, "TCadastroCarros.db", "Modelo").size(), 0);
    QCOMPARE(child<QLineEdit>(&w, "edtModelo")->text(), QStringLiteral("UNO"));

    fuel->setCurrentIndex(5);
    QTest::mouseClick(child(&w, "btnCadastrarVeiculo"), Qt::LeftButton);
    QCOMPARE(c.dialogs->messages().last(), QStringLiteral("Veículo adcionado com sucesso ao cadastro!"));
    QVERIFY(child<QLineEdit>(&w, "edtModelo")->text().isEmpty());
    QVERIFY(child<QLineEdit>(&w, "edtPlaca")->text().isEmpty());
    fill("palio weekend", "xyz9876");
    QTest::mouseClick(child(&w, "btnCadastrarVeiculo"), Qt::LeftButton);

    Table cars(c.fresh.db, "TCadastroCarros.db");
    cars.open();
    QCOMPARE(cars.recordCount(), 2);
    for (cars.first(); !cars.eof(); cars.next()) {
        QCOMPARE(cars.asInteger("Link"), 2);
        QCOMPARE(cars.asInteger("Anofabrica"), 2019);
        QCOMPARE(cars.asInteger("AnoModelo"), 2020);   // the letter was refused by the box
        QCOMPARE(cars.asString("Cor"), QStringLiteral("PRATA"));
        QCOMPARE(cars.asString("Combustivel"), QStringLiteral("TOTAL FLEX"));
    }
    QCOMPARE(regtest::column(cars, "Placa"), (QStringList{"ABC1D23", "XYZ9876"}));
    QCOMPARE(w.TbCadastroCarros()->recordCount(), 2);

    // A blank vehicle row of the customer is filled rather than a new one added.
    regtest::addRow(cars, {{"Link", 1}, {"Modelo", "RASCUNHO"}});
    w.TabelaCadastro()->first();
    QCOMPARE(w.TbCadastroCarros()->recordCount(), 1);
    fill("ka", "kkk1111");
    QTest::mouseClick(child(&w, "btnCadastrarVeiculo"), Qt::LeftButton);
    QCOMPARE(w.TbCadastroCarros()->recordCount(), 1);
    QCOMPARE(w.TbCadastroCarros()->asString("Modelo"), QStringLiteral("KA"));

    // Deleting the selected vehicle: two dialogs, No keeps it.
    w.TabelaCadastro()->last();
    w.TbCadastroCarros()->first();
    c.dialogs->clearCalls();
    c.dialogs->answerQuestion(core::Answer::No);
    QTest::mouseClick(child(&w, "btnDeletarVeiculo"), Qt::LeftButton);
    QCOMPARE(c.dialogs->messages(),
             (QStringList{"Excluir o Veículo Selecionado Modelo: UNO ", "COMFIRMA A EXCLUSÃO DO MESMO?"}));
    QCOMPARE(w.TbCadastroCarros()->recordCount(), 2);
    c.dialogs->answerQuestion(core::Answer::Yes);
    QTest::mouseClick(child(&w, "btnDeletarVeiculo"), Qt::LeftButton);
    QCOMPARE(regtest::column(*w.TbCadastroCarros(), "Modelo"), QStringList{"PALIO WEEKEND"});
    QVERIFY(c.dialogs->clean());
}

namespace {
// The postal-code service: 01001-000 and 01310-100 are known.
void serveCeps(regtest::HttpStub &server)
{
    server.reply = [](const QUrlQuery &q, const QString &path) -> QByteArray {
        if (path != QLatin1String("/web_cep.php") || q.queryItemValue("formato") != QLatin1String("query_string"))
            return "resultado=0";
        if (q.queryItemValue("cep") == QLatin1String("01001-000"))
            // Latin-1 escapes and '+' blanks, names in the service's own case.
            return "resultado=1&resultado_txt=sucesso&uf=SP&cidade=S%E3o+Paulo&bairro=S%E9"
                   "&tipo_logradouro=Pra%E7a&logradouro=da+S%E9";
        if (q.queryItemValue("cep") == QLatin1String("01310-100"))
            return "resultado=1&uf=SP&cidade=S%E3o+Paulo&bairro=Bela+Vista&tipo_logradouro=Avenida"
                   "&logradouro=Paulista";
        return "resultado=0&resultado_txt=servi%E7o+indispon%EDvel+-+cep+n%E3o+encontrado";
    };
    QVERIFY(server.listen(QHostAddress::LocalHost));
    setCepServiceBase(server.base());
    setCepTimeout(5000);
}
} // namespace

// Types over the masked CEP box from its start, as the operator does.
void retype(QLineEdit *cep, const char *digits)
{
    QTest::keyClick(cep, Qt::Key_End);
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(cep, Qt::Key_Backspace);
    regtest::type(cep, QString::fromLatin1(digits));
}

void TestClientes::cepLookup()
{
    Ctx c;
    c.customers({{1, "ANA"}});
    regtest::HttpStub server;
    serveCeps(server);

    TFormCadastro w(c.fresh.db, true);
    auto *cep = child<QLineEdit>(&w, "edtCEP");
    auto *endereco = child<QLineEdit>(&w, "edtEndereco");
    QTest::keyClick(cep, Qt::Key_Home);
    regtest::type(cep, "01001000");
    QCOMPARE(cep->text(), QStringLiteral("01001-000"));
    w.cepExit();
    const Table *t = w.TabelaCadastro();
    // The window is not held while the service answers.
    QVERIFY(w.cepPending());
    QVERIFY(t->asString("Endereco").isEmpty());
    QTRY_COMPARE(server.requests.size(), 1);
    QVERIFY(server.requests[0].startsWith("/web_cep.php?cep=01001-000&formato=query_string"));
    QTRY_VERIFY(!w.cepPending());
    QCOMPARE(t->asString("Endereco"), QStringLiteral("PRAÇA DA SÉ"));
    QCOMPARE(t->asString("CARRO"), QStringLiteral("SÉ"));
    QCOMPARE(t->asString("Cidade"), QStringLiteral("SÃO PAULO"));
    QCOMPARE(t->asString("UF"), QStringLiteral("SP"));
    QCOMPARE(endereco->text(), QStringLiteral("PRAÇA DA SÉ"));
    QCOMPARE(t->state(), data::Dataset::State::Edit);
    // Leaving the same code again asks nothing.
    w.cepExit();
    QVERIFY(!w.cepPending());
    QTest::mouseClick(child(&w, "btnGravar"), Qt::LeftButton);
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbCliente.DB", "CEP"), QStringList{"01001-000"});

    // Unknown code: a single space and three blanks.
    retype(cep, "99999999");
    w.cepExit();
    QTRY_VERIFY(!w.cepPending());
    QCOMPARE(server.requests.size(), 2);
    QCOMPARE(t->asString("Endereco"), QStringLiteral(" "));
    QVERIFY(t->asString("CARRO").isEmpty());
    QVERIFY(t->asString("Cidade").isEmpty());
    QVERIFY(t->asString("UF").isEmpty());
    QTest::mouseClick(child(&w, "btnCancelar"), Qt::LeftButton);

    // An unfinished code asks nothing and keeps the address.
    retype(cep, "0100");
    w.cepExit();
    QVERIFY(!w.cepPending());
    QCOMPARE(server.requests.size(), 2);
    QCOMPARE(t->asString("Cidade"), QStringLiteral("SÃO PAULO"));

    // Server down: the error, values kept, still editing.
    server.close();
    retype(cep, "01310100");
    w.cepExit();
    QTRY_VERIFY(!w.cepPending());
    QCOMPARE(c.dialogs->count(Kind::Error), 1);
    QVERIFY(!c.dialogs->callsOf(Kind::Error)[0].text.isEmpty());
    QCOMPARE(t->asString("Endereco"), QStringLiteral("PRAÇA DA SÉ"));
    QCOMPARE(t->asString("Cidade"), QStringLiteral("SÃO PAULO"));
    QCOMPARE(t->state(), data::Dataset::State::Edit);

    // On screen, leaving the box is what asks; a filled address moves on to the e-mail.
    QVERIFY(server.listen(QHostAddress::LocalHost));
    setCepServiceBase(server.base());
    server.requests.clear();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    cep->setFocus();
    retype(cep, "01310100");
    endereco->setFocus();
    QTRY_COMPARE(server.requests.size(), 1);
    QTRY_VERIFY(child<QLineEdit>(&w, "edtEmail")->hasFocus());
    QCOMPARE(t->asString("Endereco"), QStringLiteral("AVENIDA PAULISTA"));
    QCOMPARE(c.dialogs->count(Kind::Error), 1);
    QVERIFY(c.dialogs->clean());
}

void TestClientes::cepUnchangedKeepsStoredAddress()
{
    Ctx c;
    {
        Table t(c.fresh.db, QStringLiteral("tbCliente.DB"));
        t.open();
        regtest::addRow(t, {{"Codigo", 1}, {"Nome", "ANA"}, {"CEP", "01001-000"},
                            {"Endereco", "PRAÇA DA SÉ, 100 - SALA 2"}, {"CARRO", "CENTRO"},
                            {"Cidade", "SÃO PAULO"}, {"UF", "SP"}});
    }
    regtest::HttpStub server;
    serveCeps(server);
    TFormCadastro w(c.fresh.db, true);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // Tabbing through the stored code, then searching.
    child<QLineEdit>(&w, "edtCEP")->setFocus();
    child<QLineEdit>(&w, "edtEndereco")->setFocus();
    w.cepExit();
    QTest::qWait(200);
    QVERIFY(!w.cepPending());
    QCOMPARE(server.requests.size(), 0);
    regtest::type(child<QLineEdit>(&w, "edtLocalizar"), "A");
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbCliente.DB", "Endereco"), QStringList{"PRAÇA DA SÉ, 100 - SALA 2"});
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbCliente.DB", "CARRO"), QStringList{"CENTRO"});
    QVERIFY(c.dialogs->clean());
}

void TestClientes::cepReplyAfterLeavingTheRow_data()
{
    QTest::addColumn<QString>("leave");
    QTest::newRow("next customer") << "next";
    QTest::newRow("code typed again") << "retype";
    QTest::newRow("window closed") << "close";
}

void TestClientes::cepReplyAfterLeavingTheRow()
{
    QFETCH(QString, leave);
    Ctx c;
    c.customers({{1, "ANA"}, {2, "BIA"}});
    regtest::HttpStub server;
    serveCeps(server);
    auto w = std::make_unique<TFormCadastro>(c.fresh.db, true);
    w->TabelaCadastro()->first();
    auto *cep = child<QLineEdit>(w.get(), "edtCEP");
    QTest::keyClick(cep, Qt::Key_Home);
    regtest::type(cep, "01001000");
    w->cepExit();
    QVERIFY(w->cepPending());
    if (leave == "next") {
        QTest::mouseClick(child(w.get(), "btnGravar"), Qt::LeftButton);
        QTest::mouseClick(child<QToolButton>(w.get(), "nbNext"), Qt::LeftButton);
        QCOMPARE(w->TabelaCadastro()->asString("Nome"), QStringLiteral("BIA"));
    } else if (leave == "retype") {
        retype(cep, "01310");
    } else {
        c.dialogs->answerQuestion(core::Answer::Yes);
        w->reject();
        w.reset();
    }
    // A closed window drops its request.
    if (w)
        QTRY_COMPARE(server.requests.size(), 1);
    QTest::qWait(200);
    // Neither customer gets the address of a code it is not showing.
    const QStringList addresses = regtest::columnOf(c.fresh.db, "tbCliente.DB", "Endereco", "Codigo");
    QCOMPARE(addresses, (QStringList{"", ""}));
    if (w) {
        QVERIFY(!w->cepPending());
        QVERIFY(w->TabelaCadastro()->asString("Endereco").isEmpty());
    }
    QCOMPARE(c.dialogs->count(Kind::Error), 0);
    QVERIFY(c.dialogs->clean());
}

void TestClientes::emailAndMakers()
{
    Ctx c;
    c.customers({{1, "JOSÉ D'ÁVILA & CIA?"}});
    QList<QUrl> opened;
    setUrlOpener([&](const QUrl &u) { opened << u; return true; });
    TFormCadastro w(c.fresh.db, true);
    regtest::type(child<QLineEdit>(&w, "edtEmail"), "Jose@Example.COM");
    QTest::mouseClick(child(&w, "btnEmail"), Qt::LeftButton);
    QCOMPARE(opened.size(), 1);
    const QUrl u = opened[0];
    QCOMPARE(u.scheme(), QStringLiteral("mailto"));
    QCOMPARE(u.path(), QStringLiteral("jose@example.com"));
    const QUrlQuery q(u);
    QCOMPARE(q.queryItemValue("subject", QUrl::FullyDecoded), QStringLiteral("Ordem de Serviço"));
    QCOMPARE(q.queryItemValue("Body", QUrl::FullyDecoded), QStringLiteral("Olâ Sr.(a) JOSÉ D'ÁVILA & CIA?"));

    // Enter moves on to the next box.
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    child<QLineEdit>(&w, "edtNome")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(child<QLineEdit>(&w, "edtCIC")->hasFocus());

    w.activate();
    QCOMPARE(w.makers(), (QStringList{"FIAT", "VOLKSWAGEN", "CITROËN"}));
    QCOMPARE(child<QComboBox>(&w, "cbFabricante")->count(), 3);
    QTest::mouseClick(child<QLabel>(&w, "lblFabricante"), Qt::LeftButton);
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened[1].toLocalFile(), c.fresh.dir.filePath("fabricantes.txt"));

    // The file edited meanwhile is read on the next activation; a missing one
    // is reported once, not at every activation.
    QFile f(c.fresh.dir.filePath("fabricantes.txt"));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("RENAULT\n");
    f.close();
    w.activate();
    QCOMPARE(w.makers(), QStringList{"RENAULT"});
    QVERIFY(f.remove());
    w.activate();
    w.activate();
    QCOMPARE(c.dialogs->count(Kind::Error), 1);
    QVERIFY(c.dialogs->callsOf(Kind::Error)[0].text.contains("fabricantes.txt"));
    QCOMPARE(w.makers(), QStringList{"RENAULT"});
}

void TestClientes::listingAndPrintouts()
{
    Ctx c;
    {
        Table t(c.fresh.db, "tbCliente.DB");
        t.open();
        regtest::addRow(t, {{"Codigo", 1}, {"Nome", "ANA"}, {"Data", QDate(2024, 1, 31)}, {"CIC", "111"},
                            {"Cidade", "SANTOS"}, {"UF", "SP"}, {"CARRO", "CENTRO"}, {"Obs", "PAGA EM DIA"}});
        regtest::addRow(t, {{"Codigo", 2}, {"Nome", "BRUNO"}, {"Data", QDate(2024, 2, 1)}});
        regtest::addRow(t, {{"Codigo", 3}, {"Nome", "CAIO"}, {"Data", QDate(2024, 2, 29)}});
        regtest::addRow(t, {{"Codigo", 4}, {"Nome", "DORA"}, {"Data", QDate(2024, 3, 1)}});
        Table cars(c.fresh.db, "TCadastroCarros.db");
        cars.open();
        regtest::addRow(cars, {{"Link", 1}, {"Modelo", "GOL"}, {"Placa", "AAA1111"}, {"Anofabrica", 2010}});
        regtest::addRow(cars, {{"Link", 1}, {"Modelo", "UNO"}, {"Placa", "BBB2222"}});
        regtest::addRow(cars, {{"Link", 2}, {"Modelo", "KA"}, {"Placa", "CCC3333"}});
    }
    std::vector<printing::PreparedReport> seen;
    c.dialogs->onNamed("preview", [&](QWidget *, void *obj) {
        seen.push_back(*static_cast<printing::PreparedReport *>(obj));
        return 0;
    });
    TFormCadastro w(c.fresh.db, true);
    w.findChild<QTabWidget *>()->setCurrentIndex(1);
    auto *ini = child<QLineEdit>(&w, "edtDataIni");
    auto *fim = child<QLineEdit>(&w, "edtDataFim");
    QTest::keyClick(ini, Qt::Key_Home);
    regtest::type(ini, "01022024");
    ini->setFocus();
    QTest::keyClick(ini, Qt::Key_Return);      // Enter in the first box goes to the second
    QTest::keyClick(fim, Qt::Key_Home);
    regtest::type(fim, "29022024");
    QTest::keyClick(fim, Qt::Key_Return);      // Enter in the second runs OK
    QCOMPARE(regtest::column(*w.TabelaCadastro(), "Nome"), (QStringList{"BRUNO", "CAIO"}));

    QTest::mouseClick(child(&w, "btnImprimirLista"), Qt::LeftButton);
    QCOMPARE(seen.size(), size_t(1));
    const printing::PreparedReport &list = seen[0];
    QCOMPARE(list.title, QStringLiteral("Lista Clientes"));
    QCOMPARE(list.setup.orientation, QPageLayout::Landscape);
    QVERIFY(list.spreadsheetDefault);
    QCOMPARE(list.csvRows.size(), size_t(2));
    QCOMPARE(list.csvRows[0].value(0), QStringLiteral("BRUNO"));
    const QStringList texts = list.texts(0);
    for (const char *caption : {"Nome", "CNPJ/ CPF", "RG/ IE", "CEP", "Endereço", "Bairro", "Cidade", "UF"})
        QVERIFY2(texts.contains(QString::fromUtf8(caption)), caption);
    QVERIFY(texts.contains("CAIO"));
    QVERIFY(!texts.contains("ANA") && !texts.contains("DORA"));
    // The window is where it was.
    QCOMPARE(w.TabelaCadastro()->recordCount(), 2);

    // Both boxes emptied: every customer again; the sheet of the first.
    ini->clear();
    fim->clear();
    QTest::mouseClick(child(&w, "btnOK"), Qt::LeftButton);
    QCOMPARE(w.TabelaCadastro()->recordCount(), 4);
    w.TabelaCadastro()->setIndexName("byCodigo");
    w.TabelaCadastro()->first();
    w.findChild<QTabWidget *>()->setCurrentIndex(0);
    QTest::mouseClick(child(&w, "btnImprimir"), Qt::LeftButton);
    QCOMPARE(seen.size(), size_t(2));
    const printing::PreparedReport &sheet = seen[1];
    QCOMPARE(sheet.setup.orientation, QPageLayout::Portrait);
    const QStringList s = sheet.texts(0);
    for (const char *t : {"Dados Cliente", "Codigo", "000001", "ANA", "CPF/CNPJ", "111", "SANTOS", "CENTRO",
                          "Observações:", "PAGA EM DIA", " Veículos Cadastrado ", "Ano Fabricação",
                          "Combustivel", "GOL", "AAA1111", "2010", "UNO", "BBB2222"})
        QVERIFY2(s.contains(QString::fromUtf8(t)), t);
    QVERIFY(!s.contains("CCC3333"));   // another customer's vehicle
    QCOMPARE(w.TabelaCadastro()->asString("Nome"), QStringLiteral("ANA"));
}

void TestClientes::openedFromTheMenuEntryPoint()
{
    Ctx c;
    c.customers({{3, "TRES"}});
    QString title;
    bool deleteEnabled = true;
    c.dialogs->onDialog("TFormCadastro", [&](QDialog *d) {
        title = d->windowTitle();
        deleteEnabled = d->findChild<QPushButton *>("btnDeletar")->isEnabled();
        return 0;
    });
    openClientes(nullptr, c.fresh.db, false);
    QCOMPARE(title, QStringLiteral("CADASTRO DE CIENTES"));
    QVERIFY(!deleteEnabled);
}

QTEST_MAIN(TestClientes)
#include "test_clientes.moc"
