// The order window as a record: numbering, the customer and the car, the
// mechanic, the finalised lock and the supervisor unlock, deleting, leaving,
// the field captions and the search panel.

#include "OrderWindowFixture.h"
#include "core/DatasetModel.h"
#include "orders/OrderRules.h"

#include <QAction>
#include <QHeaderView>
#include <QRadioButton>
#include <QTableView>

using namespace brelvo;
using core::Answer;
using core::FakeDialogService;
using orders::TFormOrdem;
using ordertest::button;
using ordertest::child;
using ordertest::edit;
using ordertest::u;

namespace {
QString field(TFormOrdem &w, const char *name) { return w.TabelaControle()->asString(QString::fromLatin1(name)); }
qint64 number(TFormOrdem &w) { return w.TabelaControle()->asInteger(QStringLiteral("Codigo")); }
} // namespace

class TestOrdem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ordertest::initPasswords(); }
    void firstOrderIsNumberOne();
    void startingNumberAndTheNextFreeOne();
    void customerByCode();
    void customerPickerNeedsAnOrder();
    void carsOfTheCustomer();
    void mechanicLookup();
    void finalisedLock();
    void supervisorUnlock();
    void deleteTakesTheItems();
    void leaving();
    void captions();
    void captionPanelRefusesEmptyCaptions();
    void searchPanel();
    void windowKeys();
};

void TestOrdem::firstOrderIsNumberOne()
{
    ordertest::WindowDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QCOMPARE(w->windowTitle(), u("Ordem de Serviços / Orçamento"));
    QVERIFY(w->TabelaControle()->isEmpty());
    button(*w, "btnNovo")->click();
    QCOMPARE(f.count("TOrdemServico.DB"), 1);   // stored at once
    QCOMPARE(number(*w), 1);
    QCOMPARE(field(*w, "Andamento"), u("EM ABERTO"));
    QCOMPARE(field(*w, "ForPagamento"), u("DINHEIRO"));
    QCOMPARE(w->TabelaControle()->asDate(QStringLiteral("Data")), QDate::currentDate());
    QCOMPARE(w->TabelaControle()->asDate(QStringLiteral("DataEntrega")), QDate::currentDate());
    QVERIFY(!w->TabelaControle()->isNull(QStringLiteral("HrOs")));
    QVERIFY(field(*w, "OsOc").isEmpty());
    QCOMPARE(f.orderField(1, "Desconto").toDouble(), 0.0);
    QVERIFY(!f.orderField(1, "Desconto").isNull());
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 0.0);
    // One blank line, stored for the order.
    QCOMPARE(f.itemCount(w->TabelaControle()->asInteger(QStringLiteral("Chave"))), 1);
    QCOMPARE(child<QLabel>(*w, "DBTextCodigo")->text(), u("000001"));
    QVERIFY(!button(*w, "btnGravar")->isEnabled());
    // The next one follows.
    button(*w, "btnNovo")->click();
    QCOMPARE(number(*w), 2);
    QVERIFY(dialogs->clean());
}

void TestOrdem::startingNumberAndTheNextFreeOne()
{
    ordertest::WindowDb f;
    f.order(1, "PV", "EM ABERTO");
    f.order(501, "PV", "FINALIZADO");   // an old order already has 501
    f.order(2, "PV", "EM ABERTO");
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QCOMPARE(number(*w), 2);   // opens on the last order
    child<QAction>(*w, "actInserirNumero")->trigger();
    auto *panel = child<QFrame>(*w, "Panel5");
    QVERIFY(panel->isVisibleTo(w.get()));
    ordertest::retype(edit(*w, "EditNumeroInicial"), QStringLiteral("500"));
    button(*w, "btnGravarSair")->click();
    QVERIFY(!panel->isVisibleTo(w.get()));
    QCOMPARE(f.orderField(500, "Codigo").toInt(), 500);
    QVERIFY(!button(*w, "btnGravar")->isEnabled());

    // Last created + 1 would be 501: taken, so the next free number.
    button(*w, "btnNovo")->click();
    QCOMPARE(number(*w), 502);
    button(*w, "btnNovo")->click();
    QCOMPARE(number(*w), 503);

    // A starting number that is not a number is told and not stored.
    child<QAction>(*w, "actInserirNumero")->trigger();
    ordertest::retype(edit(*w, "EditNumeroInicial"), QStringLiteral("5a"));
    button(*w, "btnGravarSair")->click();
    QVERIFY(panel->isVisibleTo(w.get()));
    QVERIFY(!dialogs->messages().isEmpty());
    button(*w, "btnCancelar")->click();
    QCOMPARE(f.orderField(503, "Codigo").toInt(), 503);
}

void TestOrdem::customerByCode()
{
    ordertest::WindowDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    button(*w, "btnNovo")->click();
    QLineEdit *cod = edit(*w, "EditCodigo");
    ordertest::retype(cod, QStringLiteral("7"));
    Q_EMIT cod->returnPressed();
    QCOMPARE(field(*w, "NomeCliente"), u("JOAO DA SILVA"));
    QCOMPARE(field(*w, "CPFCNPJ"), u("123.456.789-09"));
    QCOMPARE(field(*w, "Fone"), u("(11) 3333-4444"));
    QCOMPARE(field(*w, "Celular"), u("(11) 99999-0000"));
    QVERIFY(field(*w, "Placa").isEmpty());   // the car is not filled here
    button(*w, "btnGravar")->click();
    QCOMPARE(f.orderField(1, "NomeCliente").toString(), u("JOAO DA SILVA"));
    QVERIFY(dialogs->clean());
    // An unknown code offers the customer window; No leaves the order as it was.
    ordertest::retype(cod, QStringLiteral("99"));
    dialogs->answerQuestion(Answer::No);
    Q_EMIT cod->returnPressed();
    QCOMPARE(dialogs->last()->text, u("Este código de cliente não foi cadastrado, cadastrar agora?"));
    QCOMPARE(dialogs->last()->title, u("Erro"));
    QCOMPARE(field(*w, "NomeCliente"), u("JOAO DA SILVA"));
    dialogs->answerQuestion(Answer::Yes);
    Q_EMIT cod->returnPressed();
    QCOMPARE(dialogs->callsOf(FakeDialogService::Kind::Exec).size(), 1);
    QCOMPARE(dialogs->callsOf(FakeDialogService::Kind::Exec).first().name, u("TFormCadastro"));
    QVERIFY(dialogs->clean());
}

void TestOrdem::customerPickerNeedsAnOrder()
{
    ordertest::WindowDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    button(*w, "bt_localizar")->click();
    QCOMPARE(dialogs->messages(), QStringList{u("Atenção! Clique no botão Nova OS para iniciar uma Ordem de Serviço")});
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Exec), 0);
    button(*w, "btnNovo")->click();
    button(*w, "bt_localizar")->click();
    QCOMPARE(dialogs->callsOf(FakeDialogService::Kind::Exec).size(), 1);
    QCOMPARE(dialogs->callsOf(FakeDialogService::Kind::Exec).first().name, u("TFPesquisaOS"));
}

void TestOrdem::carsOfTheCustomer()
{
    ordertest::WindowDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    button(*w, "btnNovo")->click();
    auto *modelos = child<QComboBox>(*w, "CombModelos");
    auto *placas = child<QComboBox>(*w, "DBEdit15");
    // No customer yet: no list.
    w->ListaModelos();
    QCOMPARE(dialogs->messages(), QStringList{u("Nenhum Cliente Foi Selecionado não é possivel Criar Lista de carros!")});
    QCOMPARE(modelos->count(), 0);

    ordertest::retype(edit(*w, "EditCodigo"), QStringLiteral("7"));
    w->ListaModelos();
    QCOMPARE(modelos->count(), 2);
    QCOMPARE(modelos->itemText(1), u("UNO"));
    QCOMPARE(placas->itemText(1), u("BBB2222"));

    // Choosing a model copies that car.
    modelos->setCurrentIndex(1);
    Q_EMIT modelos->activated(1);
    QCOMPARE(field(*w, "Modelo"), u("UNO"));
    QCOMPARE(field(*w, "Placa"), u("BBB2222"));
    QCOMPARE(w->TabelaControle()->asInteger(QStringLiteral("AnoFabrica")), 2005);
    QCOMPARE(w->TabelaControle()->asInteger(QStringLiteral("Ano")), 2006);
    QCOMPARE(field(*w, "Fabricante"), u("FIAT"));
    QCOMPARE(field(*w, "Combustivel"), u("ALCOOL"));

    // A plate by its beginning copies that car, model included.
    placas->setEditText(QStringLiteral("AAA"));
    w->placaEscolhida(true);
    QCOMPARE(field(*w, "Modelo"), u("GOL"));
    QCOMPARE(field(*w, "Placa"), u("AAA1111"));

    // A model the customer has no car of keeps what was typed.
    w->TabelaControle()->setValue(QStringLiteral("Modelo"), u("FUSCA"));
    modelos->setEditText(u("FUSCA"));
    w->modeloEscolhido(false);
    QCOMPARE(field(*w, "Modelo"), u("FUSCA"));
    QCOMPARE(field(*w, "Placa"), u("AAA1111"));
    QCOMPARE(field(*w, "Fabricante"), u("VW"));
}

void TestOrdem::mechanicLookup()
{
    ordertest::WindowDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    button(*w, "btnNovo")->click();
    QLineEdit *cod = edit(*w, "CodMecanico");
    ordertest::retype(cod, QStringLiteral("3"));
    Q_EMIT cod->editingFinished();
    QCOMPARE(field(*w, "Tecnico"), u("CARLOS"));
    // Any employee's code is taken; an unknown one empties the name.
    ordertest::retype(cod, QStringLiteral("4"));
    Q_EMIT cod->editingFinished();
    QCOMPARE(field(*w, "Tecnico"), u("BEATRIZ"));
    ordertest::retype(cod, QStringLiteral("77"));
    Q_EMIT cod->editingFinished();
    QVERIFY(field(*w, "Tecnico").isEmpty());
    button(*w, "btnGravar")->click();
    QVERIFY(dialogs->clean());

    // Letters: told, nothing stored, the focus stays in the box.
    ordertest::retype(cod, QStringLiteral("3x"));
    edit(*w, "EditDefeito")->setFocus();
    QCoreApplication::processEvents();
    QCOMPARE(dialogs->count(FakeDialogService::Kind::Error), 1);
    QTRY_VERIFY(cod->hasFocus());
    QCOMPARE(w->TabelaControle()->asInteger(QStringLiteral("CodVendedor")), 77);
    button(*w, "btnGravar")->click();
    QCOMPARE(f.orderField(1, "CodVendedor").toInt(), 77);
    QVERIFY(f.orderField(1, "Tecnico").toString().isEmpty());
}

void TestOrdem::finalisedLock()
{
    ordertest::WindowDb f;
    const qint64 chave = f.order(1, "PV", "FINALIZADO", QDate::currentDate(), "AAA1111", 30);
    f.orderItem(chave, 11, "FILTRO", 1, 30);
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    QVERIFY(w->isFinalised());
    for (const char *name : {"EditCodigo", "GroupBox12", "DBGrid1", "Br_finalizar", "BitBtn2", "RadioTipo",
                             "EditAtendente", "DBComboBox1", "EditDefeito", "bt_localizar", "EditData"})
        QVERIFY2(!child(*w, name)->isEnabled(), name);
    QVERIFY(button(*w, "Bt_alterar")->isVisible());

    // The read-only customer boxes still take the focus: entering one tells why.
    edit(*w, "EditNome")->setFocus(Qt::TabFocusReason);
    QCOMPARE(dialogs->messages(),
             QStringList{u("Essa O.S foi finalizada para alterá-la clique no botão alterar abaixo!")});
    dialogs->clearCalls();
    edit(*w, "mskCodigo")->setFocus(Qt::MouseFocusReason);
    QCOMPARE(dialogs->messages(),
             QStringList{u("Essa O.S foi finalizada para alterá-la clique no botão alterar O.S abaixo!")});
    dialogs->clearCalls();

    // No line comes or goes, by any way, and the total stays.
    QTest::keyClicks(edit(*w, "mskCodigo"), QStringLiteral("11"));
    Q_EMIT edit(*w, "mskCodigo")->returnPressed();
    QCOMPARE(dialogs->messages(), QStringList{u("Prezado Operador:\r\nRegistro já finalizada Não Possivel mais "
                                                "Alteração!\r\n     Para Inserir um Novo Tecle (F5)!")});
    dialogs->clearCalls();
    button(*w, "BitBtn2")->click();   // disabled: nothing
    w->BitBtn2Click();
    child<QAction>(*w, "actDeletarItem")->trigger();
    QCOMPARE(dialogs->messages(), (QStringList{u("Venda Ja finalizada não é Possivel Modificações!"),
                                               u("Venda Ja finalizada não é Possivel Modificações!")}));
    QCOMPARE(f.itemCount(chave), 1);
    dialogs->clearCalls();
    button(*w, "btnDesconto")->click();
    QCOMPARE(dialogs->messages(), QStringList{u("Registro já finalizado não sendo possivel alteração!")});
    QVERIFY(!child<QFrame>(*w, "PanelDesconto")->isVisible());
    QCOMPARE(f.orderField(1, "Andamento").toString(), u("FINALIZADO"));

    // F5 still starts a new order, which is open.
    dialogs->clearCalls();
    QTest::keyClick(edit(*w, "EditNome"), Qt::Key_F5);
    QCOMPARE(number(*w), 2);
    QVERIFY(!w->isFinalised());
    QVERIFY(child(*w, "EditCodigo")->isEnabled());
    QVERIFY(!button(*w, "Bt_alterar")->isVisible());
    QVERIFY(dialogs->clean());
}

void TestOrdem::supervisorUnlock()
{
    ordertest::WindowDb f;
    f.operatorUser(QStringLiteral("JOSE"), QStringLiteral("jose123"));
    f.order(1, "PV", "FINALIZADO");
    f.order(2, "PV", "FINALIZADO");
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    auto *panel = child<QFrame>(*w, "PanAlteraOs");
    button(*w, "Bt_alterar")->click();
    QVERIFY(panel->isVisible());
    button(*w, "Bt_anterior")->click();   // another order: the panel goes
    QCOMPARE(number(*w), 1);
    QVERIFY(!panel->isVisible());
    button(*w, "Bt_alterar")->click();
    QVERIFY(panel->isVisible());
    // The button toggles the panel.
    button(*w, "Bt_alterar")->click();
    QVERIFY(!panel->isVisible());
    button(*w, "Bt_alterar")->click();
    // A store of the same order leaves it; moving to another order hides it.
    w->totalizar();
    QVERIFY(panel->isVisible());
    QCOMPARE(child<QComboBox>(*w, "DBComboBox1")->currentText(), u("FINALIZADO"));

    // The logged-in operator's own password does not open it.
    QLineEdit *senha = edit(*w, "EditSenha");
    QTest::keyClicks(senha, QStringLiteral("jose123"));
    QCOMPARE(senha->text(), QStringLiteral("JOSE123"));   // typed in upper case
    button(*w, "btnOkSenha")->click();
    QCOMPARE(dialogs->messages(), QStringList{u("Senha Do Administrador Errada! Digite a Senha do Usuário KOV "
                                                "Corretamente para continuar!")});
    QVERIFY(senha->text().isEmpty());
    QVERIFY(panel->isVisible());
    QVERIFY(w->isFinalised());

    // The supervisor's, in any case, does; the change is stored by the next save.
    QTest::keyClicks(senha, QStringLiteral("kov"));
    button(*w, "btnOkSenha")->click();
    QVERIFY(!panel->isVisible());
    QCOMPARE(field(*w, "Andamento"), u("EM ABERTO"));
    QVERIFY(!w->isFinalised());
    QVERIFY(child(*w, "EditCodigo")->isEnabled());
    QVERIFY(!button(*w, "Bt_alterar")->isVisible());
    QCOMPARE(f.orderField(1, "Andamento").toString(), u("FINALIZADO"));
    button(*w, "btnGravar")->click();
    QCOMPARE(f.orderField(1, "Andamento").toString(), u("EM ABERTO"));
    QCOMPARE(dialogs->messages().size(), 1);
}

void TestOrdem::deleteTakesTheItems()
{
    ordertest::WindowDb f;
    const qint64 a = f.order(1, "PV", "EM ABERTO");
    const qint64 b = f.order(2, "PV", "EM ABERTO");
    f.orderItem(a, 11, "A", 1, 1);
    f.orderItem(b, 11, "B1", 1, 1);
    f.orderItem(b, 12, "B2", 1, 1);
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    dialogs->answerQuestion(Answer::No);
    button(*w, "btnDeletar")->click();
    QCOMPARE(dialogs->last()->text, u("Deseja apagar este registro?"));
    QCOMPARE(dialogs->last()->title, u("Exclusão"));
    QCOMPARE(f.count("TOrdemServico.DB"), 2);
    dialogs->answerQuestion(Answer::Yes);
    button(*w, "btnDeletar")->click();
    QCOMPARE(f.count("TOrdemServico.DB"), 1);
    QCOMPARE(f.itemCount(b), 0);
    QCOMPARE(f.itemCount(a), 1);
    QCOMPARE(number(*w), 1);
    QCOMPARE(w->TabelaItem()->recordCount(), 1);
    QVERIFY(dialogs->clean());
}

void TestOrdem::leaving()
{
    ordertest::WindowDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    w->show();
    dialogs->answerQuestion(Answer::No);
    button(*w, "bt_sair")->click();
    QVERIFY(w->isVisible());
    QCOMPARE(dialogs->last()->title, u("SAIR"));
    QCOMPARE(dialogs->last()->text, u("Deseja mesmo sair da tela de Ordem de Serviço?"));
    // The close box asks the same.
    dialogs->answerQuestion(Answer::No);
    w->close();
    QVERIFY(w->isVisible());
    dialogs->answerQuestion(Answer::Yes);
    button(*w, "bt_sair")->click();
    QVERIFY(!w->isVisible());
    QVERIFY(!w->TabelaControle()->isOpen());
    QVERIFY(dialogs->clean());
}

void TestOrdem::captions()
{
    {
        // Only Obs filled: every built-in caption stays.
        ordertest::WindowDb f;
        for (const char *c : {"Equipamento", "NSerie", "DadosOS", "Previsao"})
            f.setting("tbCamposRef.db", c, QVariant());
        f.setting("tbCamposRef.db", "Obs", u("NOTAS:"));
        core::ScopedFakeDialogs dialogs;
        auto w = ordertest::window(f);
        QCOMPARE(child<QGroupBox>(*w, "GroupBox12")->title(), u("Dados Do Veículo"));
        QCOMPARE(child<QLabel>(*w, "lblObs")->text(), u("Obs:"));
        QCOMPARE(child<QLabel>(*w, "lblModelo")->text(), u("Modelo:"));
    }
    ordertest::WindowDb f;
    f.setting("tbCamposRef.db", "Equipamento", u("EQUIPAMENTO"));
    f.setting("tbCamposRef.db", "NSerie", u("Nº SÉRIE:"));
    f.setting("tbCamposRef.db", "DadosOS", u("PROBLEMA"));
    f.setting("tbCamposRef.db", "Obs", u("NOTAS:"));
    f.setting("tbCamposRef.db", "Previsao", u("ITENS"));
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QCOMPARE(child<QGroupBox>(*w, "GroupBox12")->title(), u("EQUIPAMENTO"));
    QCOMPARE(child<QGroupBox>(*w, "gbEquipamentoCampo")->title(), u("EQUIPAMENTO"));
    QCOMPARE(child<QLabel>(*w, "lblModelo")->text(), u("Nº SÉRIE:"));
    QCOMPARE(child<QLabel>(*w, "lblNSerieCampo")->text(), u("Nº SÉRIE:"));
    QCOMPARE(child<QGroupBox>(*w, "gbServicosCampo")->title(), u("ITENS"));
    QCOMPARE(child<QLabel>(*w, "lblDefeito")->text(), u("PROBLEMA"));
    QCOMPARE(child<QLabel>(*w, "lblDadosOSCampo")->text(), u("PROBLEMA"));
    QCOMPARE(child<QLabel>(*w, "lblObs")->text(), u("NOTAS:"));
    QVERIFY(!w->findChild<QTableView *>(QStringLiteral("DBGridLocalizar")));   // made when the panel opens
    w->showLocalizar();
    auto *grid = child<QTableView>(*w, "DBGridLocalizar");
    QCOMPARE(grid->model()->headerData(3, Qt::Horizontal).toString(), u("Nº SÉRIE:"));
    w->hideLocalizar();

    // Ctrl+G applies what another window stored meanwhile.
    f.setting("tbCamposRef.db", "Equipamento", u("MÁQUINA"));
    QVERIFY(ordertest::showActive(*w));
    QTest::keyClick(edit(*w, "mskCodigo"), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(child<QGroupBox>(*w, "GroupBox12")->title(), u("MÁQUINA"));
    QVERIFY(dialogs->clean());
}

void TestOrdem::captionPanelRefusesEmptyCaptions()
{
    ordertest::WindowDb f;
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    child<QAction>(*w, "actPersonalizar")->trigger();
    QVERIFY(child<QFrame>(*w, "PanPersonalize")->isVisible());
    QVERIFY(!button(*w, "btnAlterarCampos")->isEnabled());
    ordertest::retype(edit(*w, "EditCampoNSerie"), QString());
    QVERIFY(button(*w, "btnAlterarCampos")->isEnabled());
    button(*w, "btnAlterarCampos")->click();
    QCOMPARE(dialogs->messages(), QStringList{u("Nenhum Campo pode ser Vazio Corrija!")});
    data::Table t(f.db, QStringLiteral("tbCamposRef.db"));
    t.open();
    QCOMPARE(t.asString(QStringLiteral("NSerie")), u("Modelo:"));

    ordertest::retype(edit(*w, "EditCampoEquipamento"), u("MOTO"));
    button(*w, "btnAlterarCampos")->click();
    t.refresh();
    QCOMPARE(t.asString(QStringLiteral("Equipamento")), u("MOTO"));
    QCOMPARE(child<QGroupBox>(*w, "GroupBox12")->title(), u("MOTO"));
    QVERIFY(!button(*w, "btnAlterarCampos")->isEnabled());

    // "Sair" keeps nothing that was not stored with "Alterar".
    ordertest::retype(edit(*w, "EditCampoDadosOS"), QString());
    button(*w, "btnSairPersonalize")->click();
    QVERIFY(!child<QFrame>(*w, "PanPersonalize")->isVisible());
    t.refresh();
    QCOMPARE(t.asString(QStringLiteral("DadosOS")), u("Defeito Reclamado"));
}

void TestOrdem::searchPanel()
{
    ordertest::WindowDb f;
    f.order(10, "PV", "EM ABERTO", QDate::currentDate(), "XYZ9876", 0, {{"NomeCliente", u("MARIA")}});
    f.order(11, "PV", "EM ABERTO", QDate::currentDate(), "ABC1234", 0, {{"NomeCliente", u("JOAO")}});
    f.order(12, "PV", "EM ABERTO", QDate::currentDate(), "ABC0001", 0, {{"NomeCliente", u("JOAQUIM")}});
    f.order(13, "PV", "EM ABERTO", QDate::currentDate(), "abc5555", 0, {{"NomeCliente", u("ANA")}});
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    child<QLabel>(*w, "lblNumOrdem");
    button(*w, "SpeedButton3")->click();
    auto *panel = child<QFrame>(*w, "Panel_Localizar");
    QVERIFY(panel->isVisible());
    QCOMPARE(child<QLabel>(*w, "lblDigite")->text(), u("Digite Nº da O.S"));
    QLineEdit *numero = edit(*w, "EditLocNumero");
    QTest::keyClicks(numero, QStringLiteral("1x1"));   // digits only
    QCOMPARE(numero->text(), QStringLiteral("11"));
    QCOMPARE(number(*w), 11);
    QTest::keyClicks(numero, QStringLiteral("9"));   // 119: none, stays
    QCOMPARE(number(*w), 11);

    child<QRadioButton>(*w, "rbPlaca")->click();
    QCOMPARE(child<QLabel>(*w, "lblDigite")->text(), u("Digite Nº Placa"));
    QLineEdit *placa = edit(*w, "EditLocPlaca");
    QVERIFY(placa->isVisible() && !numero->isVisible());
    QTest::keyClicks(placa, QStringLiteral("abc"));   // upper case: the first ABC in creation order
    QCOMPARE(number(*w), 11);
    QTest::keyClicks(placa, QStringLiteral("0"));
    QCOMPARE(number(*w), 12);

    child<QRadioButton>(*w, "rbNome")->click();
    QCOMPARE(child<QLabel>(*w, "lblDigite")->text(), u("Digite Nome Cliente"));
    QTest::keyClicks(edit(*w, "EditLocNome"), QStringLiteral("mar"));
    QCOMPARE(number(*w), 10);
    button(*w, "btnSairPesquisa")->click();
    QVERIFY(!panel->isVisible());
    QVERIFY(dialogs->clean());
}

void TestOrdem::windowKeys()
{
    ordertest::WindowDb f;
    f.product(11, "FILTRO", 10, "N");
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    QTest::keyClick(edit(*w, "mskCodigo"), Qt::Key_F5);
    QCOMPARE(number(*w), 1);
    // F1 and Ctrl+L open the product picker; F3 the customer picker.
    QTest::keyClick(edit(*w, "mskCodigo"), Qt::Key_F1);
    QTest::keyClick(edit(*w, "mskCodigo"), Qt::Key_L, Qt::ControlModifier);
    QTest::keyClick(edit(*w, "EditDefeito"), Qt::Key_F3);
    const auto execs = dialogs->callsOf(core::FakeDialogService::Kind::Exec);
    QCOMPARE(execs.size(), 3);
    QCOMPARE(execs[0].name, u("TFConsulta"));
    QCOMPARE(execs[1].name, u("TFConsulta"));
    QCOMPARE(execs[2].name, u("TFPesquisaOS"));

    // While the items grid has the focus, the keys are the grid's.
    auto *grid = child<QTableView>(*w, "DBGrid1");
    grid->setFocus();
    QTRY_VERIFY(!w->keyPreview());
    QTest::keyClick(grid, Qt::Key_F5);
    QCOMPARE(number(*w), 1);
    edit(*w, "mskCodigo")->setFocus();
    QTRY_VERIFY(w->keyPreview());
    QTest::keyClick(edit(*w, "mskCodigo"), Qt::Key_F5);
    QCOMPARE(number(*w), 2);
}

QTEST_MAIN(TestOrdem)
#include "test_ordem.moc"
