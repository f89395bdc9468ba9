// Suppliers, customer pickers, employees and job roles.

#include "RegTest.h"

#include "core/FakeDialogService.h"
#include "printing/PageModel.h"
#include "registries/CustomerPickers.h"
#include "registries/RegistryRules.h"
#include "registries/RegistryWindows.h"
#include "registries/TF_Fornecedor.h"
#include "registries/TFormCadastro.h"
#include "registries/TFormFuncionario.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

using namespace brelvo;
using namespace brelvo::registries;
using data::Dataset;
using data::Table;
using Kind = core::FakeDialogService::Kind;

namespace {

struct Ctx {
    regtest::Fresh fresh;
    core::ScopedFakeDialogs dialogs;
};

template <typename T = QPushButton>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

void click(QWidget *w, const char *name) { QTest::mouseClick(child(w, name), Qt::LeftButton); }

void addCustomers(data::DatabasePtr db)
{
    Table t(db, "tbCliente.DB");
    t.open();
    regtest::addRow(t, {{"Codigo", 10}, {"Nome", "ANDRÉ"}, {"CIC", "111.111.111-11"}, {"RG", "R1"},
                        {"Fone", "1111"}, {"Celular", "91111"}});
    regtest::addRow(t, {{"Codigo", 20}, {"Nome", "CÉLIA D'ÁVILA"}, {"CIC", "22.222.222/0001-22"},
                        {"Fone", "2222"}, {"Celular", "92222"}});
    regtest::addRow(t, {{"Codigo", 30}, {"Nome", "EDU"}, {"CIC", "333"}, {"Fone", "3333"}});
}

} // namespace

class TestCadastros : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cpfCnpjLayout_data();
    void cpfCnpjLayout();
    void supplierNumberingAndSave();
    void supplierSearchAndListing();
    void pickerForServiceOrder();
    void pickerForSale();
    void employees();
    void jobRoles();
    void menuEntryPoints();
    void employeeBoxesUpperCase();
    void gridHeadersAreCaptions();
    void escapeAsksBeforeDroppingTheRow_data();
    void escapeAsksBeforeDroppingTheRow();
};

void TestCadastros::cpfCnpjLayout_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("cpf digits") << "12345678901" << "123.456.789-01";
    QTest::newRow("cpf laid out") << "123.456.789-01" << "123.456.789-01";
    QTest::newRow("cpf odd separators") << "123/456-789.01" << "123.456.789-01";
    QTest::newRow("cnpj digits") << "12345678000195" << "12.345.678/0001-95";
    QTest::newRow("cnpj laid out") << "12.345.678/0001-95" << "12.345.678/0001-95";
    QTest::newRow("short number") << "98765" << "98765";
    QTest::newRow("short with point") << "987.65" << "98765";
    QTest::newRow("blank counts") << "1234567890 " << "123.456.789-0 ";
    QTest::newRow("letters count") << "ABC-DEF" << "ABCDEF";
    QTest::newRow("empty") << "" << "";
}

void TestCadastros::cpfCnpjLayout()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(formatCpfCnpj(typed), stored);
}

void TestCadastros::supplierNumberingAndSave()
{
    Ctx c;
    TF_Fornecedor w(c.fresh.db);
    auto *salvar = child(&w, "btnSalvar");
    QVERIFY(!salvar->isEnabled());
    click(&w, "btnSalvar");   // nothing to save (a disabled button ignores the click)
    w.btnSalvarClick();
    QCOMPARE(c.dialogs->messages(), QStringList{"Não Teve Alteração Edite!"});

    auto add = [&](const QString &name, const QString &doc) {
        click(&w, "btnNovo");
        QVERIFY(salvar->isEnabled());
        regtest::type(child<QLineEdit>(&w, "edtNome"), name);
        regtest::type(child<QLineEdit>(&w, "edtCNPJ_CPF"), doc);
        click(&w, "btnSalvar");
        QVERIFY(!salvar->isEnabled());
    };
    add("peças sul", "12345678000195");
    add("auto d'oeste", "12.345.678/0001-95");
    add("óleo ltda", "12345678901");
    add("zeta", "987.65");
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbfornecedor.db", "Codigo", "Codigo"),
             (QStringList{"1", "2", "3", "4"}));
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbfornecedor.db", "CNPJ_CPF", "Codigo"),
             (QStringList{"12.345.678/0001-95", "12.345.678/0001-95", "123.456.789-01", "98765"}));
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbfornecedor.db", "Nome", "Codigo"),
             (QStringList{"PEÇAS SUL", "AUTO D'OESTE", "ÓLEO LTDA", "ZETA"}));
    QCOMPARE(c.dialogs->messages().count("Cadastro Salvo com Sucesso!"), 4);

    // Deleting the highest number gives it again; No deletes nothing.
    w.TbFornecedor()->setIndexName("byCodigo");
    w.TbFornecedor()->last();
    c.dialogs->answerQuestion(core::Answer::No);
    click(&w, "btnDeletar");
    QCOMPARE(w.TbFornecedor()->recordCount(), 4);
    c.dialogs->answerQuestion(core::Answer::Yes);
    click(&w, "btnDeletar");
    QCOMPARE(w.TbFornecedor()->recordCount(), 3);
    click(&w, "btnNovo");
    QCOMPARE(w.TbFornecedor()->asInteger("Codigo"), 4);
    QCOMPARE(child<QLineEdit>(&w, "edtCodigo")->text(), QStringLiteral("0004"));
    click(&w, "btnCancelar");
    QVERIFY(!salvar->isEnabled());
    QCOMPARE(w.TbFornecedor()->recordCount(), 3);

    // Editing a stored supplier enables Salvar; the situation is a choice.
    w.TbFornecedor()->first();
    child<QRadioButton>(&w, "rbInativo")->click();
    QVERIFY(salvar->isEnabled());
    click(&w, "btnSalvar");
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbfornecedor.db", "Situacao", "Codigo").value(0),
             QStringLiteral("Inativo"));
    QVERIFY(c.dialogs->clean());
}

void TestCadastros::supplierSearchAndListing()
{
    Ctx c;
    {
        Table t(c.fresh.db, "tbfornecedor.db");
        t.open();
        regtest::addRow(t, {{"Codigo", 1.0}, {"Nome", "BETA PEÇAS"}, {"Contato", "ZÉ"}, {"CNPJ_CPF", "98765"},
                            {"TipoServico", "FREIOS"}, {"Telefone", "3333-4444"}, {"Transportadora", "JAMEF"},
                            {"CndPagamento", "Boleto"}, {"Desconto", 7.5}, {"EntregaDias", 3.0},
                            {"Situacao", "Ativo"}});
        regtest::addRow(t, {{"Codigo", 2.0}, {"Nome", "D'ÁGUA DISTRIBUIDORA"}});
        regtest::addRow(t, {{"Codigo", 3.0}, {"Nome", QString(100, QLatin1Char('X'))}});
    }
    TF_Fornecedor w(c.fresh.db);
    auto *find = child<QLineEdit>(&w, "edtLocalizar");
    regtest::type(find, "d'á");
    QCOMPARE(w.TbFornecedor()->asString("Nome"), QStringLiteral("D'ÁGUA DISTRIBUIDORA"));
    find->setText("C");
    QCOMPARE(w.TbFornecedor()->asString("Nome"), QStringLiteral("D'ÁGUA DISTRIBUIDORA"));
    find->setText(QString(100, QLatin1Char('X')));
    QCOMPARE(w.TbFornecedor()->asInteger("Codigo"), 3);
    QCOMPARE(c.dialogs->count(Kind::Error), 0);

    printing::PreparedReport seen;
    int previews = 0;
    c.dialogs->onNamed("preview", [&](QWidget *, void *obj) {
        seen = *static_cast<printing::PreparedReport *>(obj);
        ++previews;
        return 0;
    });
    click(&w, "btnImprimir");
    QCOMPARE(previews, 1);
    QCOMPARE(seen.title, QStringLiteral("Fornecedor"));
    QCOMPARE(seen.setup.orientation, QPageLayout::Portrait);
    const QStringList texts = seen.texts(0);
    for (const char *t : {"Fornecedor", "Nome:", "Contato:", "CPF/CNPJ:", "Tipo Serviço:", "Telefone:",
                          "Trasnportadora:", "Condição Pagamento:", "Desconto %:", "Entrega (Dias):",
                          "Situação:", "BETA PEÇAS", "ZÉ", "98765", "FREIOS", "3333-4444", "JAMEF", "Boleto",
                          "7,50", "3", "Ativo", "D'ÁGUA DISTRIBUIDORA"})
        QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
    // In the window's current order (by name): BETA, D'ÁGUA, XXX.
    const int beta = texts.indexOf("BETA PEÇAS");
    const int agua = texts.indexOf("D'ÁGUA DISTRIBUIDORA");
    QVERIFY(beta < agua);
    QCOMPARE(w.TbFornecedor()->asInteger("Codigo"), 3);   // the cursor stays put
}

void TestCadastros::pickerForServiceOrder()
{
    Ctx c;
    addCustomers(c.fresh.db);
    Table ordem(c.fresh.db, "TOrdemServico.DB");
    ordem.open();
    regtest::addRow(ordem, {{"Codigo", 1.0}, {"NomeCliente", "ANTIGO"}, {"Fone", "0000"}});

    {
        TFPesquisaOS p(c.fresh.db, &ordem);
        QCOMPARE(p.windowTitle(), QStringLiteral("Pesquisar Cliente"));
        auto *busca = child<QLineEdit>(&p, "edtBusca");
        regtest::type(busca, "b");   // between ANDRÉ and CÉLIA: the next name
        QCOMPARE(p.T_pesquisa()->asString("Nome"), QStringLiteral("CÉLIA D'ÁVILA"));
        QVERIFY(child<QLabel>(&p, "lblSelecionado")->text().contains("000020"));
        busca->clear();
        QCOMPARE(p.T_pesquisa()->asString("Nome"), QStringLiteral("ANDRÉ"));
        regtest::type(busca, "célia d'");
        QCOMPARE(busca->text(), QStringLiteral("CÉLIA D'"));
        QTest::keyClick(&p, Qt::Key_F3);
        QCOMPARE(p.choice(), CustomerPicker::Choice::Key);
        QCOMPARE(p.result(), int(QDialog::Accepted));
    }
    QCOMPARE(ordem.state(), Dataset::State::Edit);
    QCOMPARE(ordem.asInteger("CodCliente"), 20);
    QCOMPARE(ordem.asString("NomeCliente"), QStringLiteral("CÉLIA D'ÁVILA"));
    QCOMPARE(ordem.asString("CPFCNPJ"), QStringLiteral("22.222.222/0001-22"));
    QCOMPARE(ordem.asString("Fone"), QStringLiteral("2222"));
    QCOMPARE(ordem.asString("Celular"), QStringLiteral("92222"));
    // The picker stores nothing: the caller does.
    QCOMPARE(regtest::columnOf(c.fresh.db, "TOrdemServico.DB", "NomeCliente"), QStringList{"ANTIGO"});
    ordem.post();
    QCOMPARE(regtest::columnOf(c.fresh.db, "TOrdemServico.DB", "NomeCliente"), QStringList{"CÉLIA D'ÁVILA"});

    // F3 pressed in the grid chooses as well.
    {
        TFPesquisaOS p(c.fresh.db, &ordem);
        QTest::keyClick(child<QTableView>(&p, "DBGrid1"), Qt::Key_F3);
        QCOMPARE(p.choice(), CustomerPicker::Choice::Key);
    }
    QCOMPARE(ordem.asString("NomeCliente"), QStringLiteral("ANDRÉ"));
    ordem.post();

    // Closing without a choice leaves the order as it was.
    {
        TFPesquisaOS p(c.fresh.db, &ordem);
        regtest::type(child<QLineEdit>(&p, "edtBusca"), "EDU");
        p.reject();
        QCOMPARE(p.choice(), CustomerPicker::Choice::None);
    }
    QCOMPARE(ordem.state(), Dataset::State::Browse);
    QCOMPARE(ordem.asInteger("CodCliente"), 10);

    // A click on a row chooses it; the picker opens through its entry point.
    c.dialogs->onDialog("TFPesquisaOS", [](QDialog *d) {
        d->show();
        if (!QTest::qWaitForWindowExposed(d))
            return -1;
        auto *grid = d->findChild<QTableView *>("DBGrid1");
        const QRect r = grid->visualRect(grid->model()->index(2, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        return d->result();
    });
    QVERIFY(pesquisarClienteOS(nullptr, c.fresh.db, &ordem));
    QCOMPARE(ordem.asString("NomeCliente"), QStringLiteral("EDU"));
    QCOMPARE(ordem.asString("CPFCNPJ"), QStringLiteral("333"));
    QVERIFY(ordem.isNull("Celular"));   // the customer has none: the old value does not linger
    ordem.cancel();
}

void TestCadastros::pickerForSale()
{
    Ctx c;
    addCustomers(c.fresh.db);
    Table venda(c.fresh.db, "tbVendas.db");
    venda.open();
    regtest::addRow(venda, {{"CodVenda", 5.0}, {"Obs", "X"}});

    QWidget sale;
    auto *codCliente = new QLineEdit(&sale);
    auto *nomeCliente = new QLineEdit("NOME ANTERIOR", &sale);
    auto *codVendedor = new QLineEdit("007", &sale);
    sale.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sale));
    SaleFocusBoxes boxes{codCliente, nomeCliente, codVendedor};

    {
        TF_Pesquisa p(c.fresh.db, &venda, boxes);
        regtest::type(child<QLineEdit>(&p, "edtBusca"), "AND");
        click(&p, "btnInserir");
        QCOMPARE(p.choice(), CustomerPicker::Choice::Key);
    }
    QCOMPARE(venda.state(), Dataset::State::Edit);
    QCOMPARE(venda.asInteger("CodCliente"), 10);
    QCOMPARE(venda.asString("NomeCliente"), QStringLiteral("ANDRÉ"));
    QCOMPARE(venda.asString("Obs"), QStringLiteral("X"));
    QCOMPARE(codVendedor->selectedText(), QStringLiteral("007"));
    QCOMPARE(sale.focusWidget(), codVendedor);

    {
        TF_Pesquisa p(c.fresh.db, &venda, boxes);
        auto *grid = child<QTableView>(&p, "DBGrid1");
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        const QRect r = grid->visualRect(grid->model()->index(1, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(p.choice(), CustomerPicker::Choice::Click);
    }
    QCOMPARE(venda.asInteger("CodCliente"), 20);
    QCOMPARE(venda.asString("NomeCliente"), QStringLiteral("CÉLIA D'ÁVILA"));
    QCOMPARE(nomeCliente->selectedText(), QStringLiteral("NOME ANTERIOR"));
    QCOMPARE(sale.focusWidget(), codCliente);
    venda.post();
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbVendas.db", "CodCliente"), QStringList{"20"});
}

void TestCadastros::employees()
{
    Ctx c;
    TFormFuncionario w(c.fresh.db);
    QVERIFY(w.roles().contains(QStringLiteral("MECÂNICO")));
    QVERIFY(w.roles().contains(QStringLiteral("ATENDENTE")));
    auto *salvar = child(&w, "btnSalvar");
    auto *cancelar = child(&w, "btnCancelar");
    auto *novo = child(&w, "btnNovo");
    auto *nav = child<QWidget>(&w, "DBNavigator1");
    QVERIFY(!salvar->isEnabled() && !cancelar->isEnabled() && novo->isEnabled() && nav->isEnabled());
    QVERIFY(child(&w, "btnImprimir")->isHidden());

    w.btnSalvarClick();   // nothing pending: nothing happens
    QCOMPARE(c.dialogs->calls().size(), 0);
    QCOMPARE(w.TbFuncionario()->recordCount(), 0);

    auto add = [&](const QString &name, const QString &role) {
        click(&w, "btnNovo");
        QVERIFY(salvar->isEnabled() && cancelar->isEnabled() && !novo->isEnabled() && !nav->isEnabled());
        QCOMPARE(w.TbFuncionario()->asString("Comissionario"), QStringLiteral("N"));
        regtest::type(child<QLineEdit>(&w, "edtNome"), name);
        auto *cb = child<QComboBox>(&w, "cbFuncao");
        // A choice from the list, as the popup makes it.
        cb->setCurrentIndex(cb->findText(role));
        Q_EMIT cb->activated(cb->currentIndex());
        click(&w, "btnSalvar");
        QVERIFY(!salvar->isEnabled() && !cancelar->isEnabled() && novo->isEnabled() && nav->isEnabled());
    };
    add("joão d'ávila", "MECÂNICO");
    add("maria", "ATENDENTE");
    add("jorge", "MECÂNICO");
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbFunciocario.db", "Codigo", "Codigo"), (QStringList{"1", "2", "3"}));
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbFunciocario.db", "Funcao", "Codigo"),
             (QStringList{"MECÂNICO", "ATENDENTE", "MECÂNICO"}));

    // Lower numbers deleted: still the highest plus one.
    w.TbFuncionario()->setIndexName("ByCodigo");
    w.TbFuncionario()->first();
    c.dialogs->answerQuestion(core::Answer::Yes);
    click(&w, "btnDeletar");
    click(&w, "btnNovo");
    QCOMPARE(w.TbFuncionario()->asInteger("Codigo"), 4);
    child<QCheckBox>(&w, "chkComissionario")->click();
    regtest::type(child<QLineEdit>(&w, "edtComissao"), "12,5");
    regtest::type(child<QLineEdit>(&w, "edtNome"), "ana");
    click(&w, "btnSalvar");
    Table t(c.fresh.db, "tbFunciocario.db");
    t.open();
    QVERIFY(t.locate("Codigo", {4}));
    QCOMPARE(t.asString("Comissionario"), QStringLiteral("S"));
    QCOMPARE(t.asFloat("Comissao"), 12.5);

    // Cancel restores the buttons and stores nothing.
    regtest::type(child<QLineEdit>(&w, "edtCidade"), "x");
    QVERIFY(salvar->isEnabled());
    click(&w, "btnCancelar");
    QVERIFY(!salvar->isEnabled() && novo->isEnabled());

    auto *find = child<QLineEdit>(&w, "edtLocalizar");
    regtest::type(find, "jo");
    QCOMPARE(w.TbFuncionario()->asString("Nome"), QStringLiteral("JORGE"));   // JOÃO was deleted
    find->setText("JOS");
    QCOMPARE(w.TbFuncionario()->asString("Nome"), QStringLiteral("MARIA"));
    QVERIFY(c.dialogs->clean());
}

void TestCadastros::jobRoles()
{
    Ctx c;
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbFuncao.db", "Funcao", "Funcao"),
             (QStringList{"ATENDENTE", "MECÂNICO"}));
    TFormFuncao w(c.fresh.db);
    auto *nome = child<QLineEdit>(&w, "edtNome");

    click(&w, "btnAdicionar");
    regtest::type(nome, "mec");
    click(&w, "btnAdicionar");
    QVERIFY(nome->text().isEmpty());
    regtest::type(nome, "lavador d'água");
    click(&w, "btnAdicionar");
    QVERIFY(nome->text().isEmpty());
    QCOMPARE(c.dialogs->messages(),
             (QStringList{"Preencha o nome da Função para adicionar!", "Função Já Cadastrada"}));
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbFuncao.db", "Funcao", "Funcao"),
             (QStringList{"ATENDENTE", "LAVADOR D'ÁGUA", "MECÂNICO"}));
    // "MECÂNICO CHEFE" is no prefix of a stored role.
    regtest::type(nome, "mecânico chefe");
    click(&w, "btnAdicionar");
    QCOMPARE(w.TbFuncao()->recordCount(), 4);

    c.dialogs->clearCalls();
    auto select = [&](const QString &role) { QVERIFY(w.TbFuncao()->locate("Funcao", {role})); };
    select("ATENDENTE");
    click(&w, "btnRemover");
    click(&w, "btnEditar");
    select("MECÂNICO");
    click(&w, "btnRemover");
    QCOMPARE(c.dialogs->messages(),
             (QStringList{"Não pode ser excluído Função Ligada a Ordem de Serviço",
                          "Não pode ser Editado função ligada a Ordem de Serviço",
                          "Não pode ser excluído Função Ligada a Ordem de Serviço"}));
    QCOMPARE(w.TbFuncao()->state(), Dataset::State::Browse);

    select("MECÂNICO CHEFE");
    c.dialogs->answerQuestion(core::Answer::No);
    click(&w, "btnRemover");
    QCOMPARE(w.TbFuncao()->recordCount(), 4);
    c.dialogs->answerQuestion(core::Answer::Yes);
    click(&w, "btnRemover");
    QCOMPARE(w.TbFuncao()->recordCount(), 3);
    QCOMPARE(c.dialogs->callsOf(Kind::Question).value(0).text, QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"));

    // Edit in place through the hidden box and the navigator's Post.
    select("LAVADOR D'ÁGUA");
    auto *box = child<QLineEdit>(&w, "DBEditFuncao");
    QVERIFY(box->isHidden());
    click(&w, "btnEditar");
    QVERIFY(!box->isHidden());
    QVERIFY(!child(&w, "btnEditar")->isEnabled() && !child(&w, "btnAdicionar")->isEnabled());
    box->selectAll();
    regtest::type(box, "lavador");
    QTest::mouseClick(child<QToolButton>(&w, "nbPost"), Qt::LeftButton);
    QVERIFY(box->isHidden());
    QVERIFY(child(&w, "btnEditar")->isEnabled() && child(&w, "btnAdicionar")->isEnabled());
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbFuncao.db", "Funcao", "Funcao"),
             (QStringList{"ATENDENTE", "LAVADOR", "MECÂNICO"}));
    QVERIFY(c.dialogs->clean());
}

void TestCadastros::menuEntryPoints()
{
    Ctx c;
    QStringList titles;
    for (const char *name : {"TF_Fornecedor", "TFormFuncionario", "TFormFuncao"})
        c.dialogs->onDialog(name, [&](QDialog *d) { titles << d->windowTitle(); return 0; });
    openFornecedores(nullptr, c.fresh.db);
    openFuncionarios(nullptr, c.fresh.db);
    openFuncoes(nullptr, c.fresh.db);
    QCOMPARE(titles, (QStringList{"Fornecedores", "Cadastro Funcionários", "Cadastro Função"}));
}

void TestCadastros::employeeBoxesUpperCase()
{
    Ctx c;
    TFormFuncionario w(c.fresh.db);
    click(&w, "btnNovo");
    regtest::type(child<QLineEdit>(&w, "edtNome"), "rui");
    regtest::type(child<QLineEdit>(&w, "edtRG"), "mg-12.345 sp");
    QCOMPARE(child<QLineEdit>(&w, "edtRG")->text(), QStringLiteral("MG-12.345 SP"));
    click(&w, "btnSalvar");
    QCOMPARE(regtest::columnOf(c.fresh.db, "tbFunciocario.db", "RG"), QStringList{"MG-12.345 SP"});
    QVERIFY(c.dialogs->clean());
}

void TestCadastros::gridHeadersAreCaptions()
{
    Ctx c;
    auto headers = [](QWidget *w, const char *grid) {
        QAbstractItemModel *m = child<QTableView>(w, grid)->model();
        QStringList out;
        for (int i = 0; i < m->columnCount(); ++i)
            out << m->headerData(i, Qt::Horizontal).toString();
        return out;
    };
    TF_Fornecedor f(c.fresh.db);
    QCOMPARE(headers(&f, "DBGrid1"), (QStringList{"Nome", "Contato", "Entrega (Dias)", "Telefone"}));
    TFormFuncionario e(c.fresh.db);
    QCOMPARE(headers(&e, "DBGrid1"), (QStringList{"Nome", "Função", "Telefone", "Celular"}));
    TFormCadastro k(c.fresh.db, true);
    QCOMPARE(headers(&k, "DBGridVeiculos"),
             (QStringList{"Modelo", "Fabricação", "Ano Modelo", "Fabricante", "Cor", "Placa", "Combustível"}));
    TFormFuncao r(c.fresh.db);
    QCOMPARE(headers(&r, "DBGrid1"), QStringList{"Função"});
}

void TestCadastros::escapeAsksBeforeDroppingTheRow_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("table");
    QTest::newRow("fornecedores") << "TF_Fornecedor" << "tbfornecedor.db";
    QTest::newRow("funcionarios") << "TFormFuncionario" << "tbFunciocario.db";
    QTest::newRow("clientes") << "TFormCadastro" << "tbCliente.DB";
}

void TestCadastros::escapeAsksBeforeDroppingTheRow()
{
    QFETCH(QString, window);
    QFETCH(QString, table);
    Ctx c;
    std::unique_ptr<QDialog> w;
    if (window == "TF_Fornecedor")
        w = std::make_unique<TF_Fornecedor>(c.fresh.db);
    else if (window == "TFormFuncionario")
        w = std::make_unique<TFormFuncionario>(c.fresh.db);
    else
        w = std::make_unique<TFormCadastro>(c.fresh.db, true);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QApplication::setActiveWindow(w.get());
    click(w.get(), "btnNovo");
    auto *nome = child<QLineEdit>(w.get(), "edtNome");
    regtest::type(nome, "typed row");
    // Esc: stay, and the row is still there; Esc again: save.
    c.dialogs->answerQuestion(core::Answer::Cancel);
    QTest::keyClick(nome, Qt::Key_Escape);
    QVERIFY(w->isVisible());
    QCOMPARE(nome->text(), QStringLiteral("TYPED ROW"));
    c.dialogs->answerQuestion(core::Answer::Yes);
    QTest::keyClick(nome, Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    QCOMPARE(regtest::columnOf(c.fresh.db, table, "Nome"), QStringList{"TYPED ROW"});
    QCOMPARE(c.dialogs->count(Kind::Question), 2);
    QVERIFY(c.dialogs->clean());
}

QTEST_MAIN(TestCadastros)
#include "test_cadastros.moc"
