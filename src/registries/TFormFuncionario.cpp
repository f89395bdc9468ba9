#include "registries/TFormFuncionario.h"

#include "core/DataControls.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "core/Widgets.h"
#include "registries/RegistryRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace brelvo::registries {

using core::GridColumn;
using data::Dataset;
using data::Table;

// ---------------------------------------------------------------- employees

TFormFuncionario::TFormFuncionario(data::DatabasePtr db, QWidget *parent) : RecordWindow(parent)
{
    setObjectName(QStringLiteral("TFormFuncionario"));
    setWindowTitle(QStringLiteral("Cadastro Funcionários"));
    resize(900, 640);

    m_table = new Table(db, QStringLiteral("tbFunciocario.db"), this);
    m_table->setObjectName(QStringLiteral("TbFuncionario"));
    m_table->setIndexName(QStringLiteral("ByCodigo"));
    m_table->open();
    m_funcoes = new Table(db, QStringLiteral("tbFuncao.db"), this);
    m_funcoes->setObjectName(QStringLiteral("TbFuncao"));
    m_funcoes->open();
    setMainTable(m_table);
    closeWithWindow(m_funcoes);

    auto *root = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    auto button = [&](const QString &name, const QString &text, When when) {
        QPushButton *b = makeButton(name, text);
        enableWhen(b, when);
        bar->addWidget(b);
        return b;
    };
    QPushButton *novo = button(QStringLiteral("btnNovo"), QStringLiteral("Incluir Novo"), When::Browsing);
    QPushButton *salvar = button(QStringLiteral("btnSalvar"), QStringLiteral("Salvar"), When::Editing);
    QPushButton *deletar = button(QStringLiteral("btnDeletar"), QStringLiteral("Deletar"), When::Always);
    QPushButton *cancelar = button(QStringLiteral("btnCancelar"), QStringLiteral("Cancelar"), When::Editing);
    button(QStringLiteral("btnImprimir"), QStringLiteral("&Imprimir"), When::Always)->hide();   // nothing to print here
    QPushButton *sair = button(QStringLiteral("btnSair"), QStringLiteral("&Sair"), When::Always);
    core::Navigator *nav = makeNavigator();
    enableWhen(nav, When::Browsing);
    bar->addWidget(nav);
    bar->addStretch();
    root->addLayout(bar);

    auto *pages = new QTabWidget(this);
    auto *page = new QWidget;
    pages->addTab(page, QStringLiteral("Funcionário"));
    root->addWidget(pages, 1);
    auto *lay = new QVBoxLayout(page);
    auto *find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("Localizar:"), page));
    find->addWidget(makeSearchBox(QStringLiteral("edtLocalizar"), [this](const QString &t) { localizarChange(t); },
                                  100, page),
                    1);
    lay->addLayout(find);

    auto *group = new QGroupBox(page);
    auto *form = new QGridLayout(group);
    using core::CharCase;
    core::FormBuilder f(form, group, m_table);
    auto edit = [&f](const QString &field, CharCase cc) { return f.edit(field, cc); };
    auto masked = [&f](const QString &field, CharCase cc, const QString &mask) { return f.masked(field, mask, cc); };
    auto put = [&f](QWidget *w, const QString &caption, int r, int c, int span = 1) { f.put(w, caption, r, c, span); };
    put(f.number(QStringLiteral("Codigo"), QStringLiteral("0000")), QStringLiteral("Codigo"), 0, 0);
    m_nome = edit(QStringLiteral("Nome"), CharCase::Upper);
    put(m_nome, QStringLiteral("Nome Funcionário"), 1, 0, 3);
    auto *funcao = new core::DbComboBox(group, true);
    funcao->setObjectName(QStringLiteral("cbFuncao"));
    funcao->setItems(roles());
    funcao->setDataSource(m_table, QStringLiteral("Funcao"));
    m_funcao = funcao;
    put(m_funcao, QStringLiteral("Cargo / Função"), 2, 0);
    put(masked(QStringLiteral("CPF"), CharCase::Upper, QStringLiteral("000.000.000\\-99;1;_")), QStringLiteral("CPF:"), 3, 0);
    put(edit(QStringLiteral("RG"), CharCase::Upper), QStringLiteral("RG:"), 3, 2);
    put(edit(QStringLiteral("Endereco"), CharCase::Upper), QStringLiteral("Endereço"), 4, 0, 3);
    put(edit(QStringLiteral("Bairro"), CharCase::Upper), QStringLiteral("Bairro"), 5, 0);
    put(edit(QStringLiteral("Cidade"), CharCase::Upper), QStringLiteral("Cidade"), 5, 2);
    put(masked(QStringLiteral("CEP"), CharCase::Normal, QStringLiteral("00000\\-999;1;_")), QStringLiteral("CEP"), 6, 0);
    put(edit(QStringLiteral("Email"), CharCase::Lower), QStringLiteral("Email"), 6, 2);
    put(edit(QStringLiteral("Telefone"), CharCase::Normal), QStringLiteral("Telefone"), 7, 0);
    put(edit(QStringLiteral("Celular"), CharCase::Normal), QStringLiteral("Celular"), 7, 2);
    auto *uf = new core::DbComboBox(group);
    uf->setObjectName(QStringLiteral("cbUF"));
    uf->setItems(core::stateCodes());
    uf->setCharCase(CharCase::Upper);
    uf->lineEdit()->setMaxLength(2);
    uf->setDataSource(m_table, QStringLiteral("UF"));
    put(uf, QStringLiteral("UF"), 8, 0);
    auto *com = new QGroupBox(QStringLiteral("Comissionado"), group);
    auto *cl = new QHBoxLayout(com);
    auto *sim = new core::DbCheckBox(QStringLiteral("Sim"), com);
    sim->setObjectName(QStringLiteral("chkComissionario"));
    sim->setValueChecked(QStringLiteral("S"));
    sim->setValueUnchecked(QStringLiteral("N"));
    sim->setDataSource(m_table, QStringLiteral("Comissionario"));
    cl->addWidget(sim);
    cl->addWidget(new QLabel(QStringLiteral("Porcetagem Comissão %"), com));
    auto *pct = new core::DbEdit(com);
    pct->setObjectName(QStringLiteral("edtComissao"));
    pct->setDataSource(m_table, QStringLiteral("Comissao"));
    cl->addWidget(pct);
    form->addWidget(com, 8, 2, 1, 2);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);
    lay->addWidget(group);

    lay->addWidget(core::makeGrid(page, m_table, QStringLiteral("DBGrid1"),
                                  {GridColumn::make(QStringLiteral("Nome"), {}, 45),
                                   GridColumn::make(QStringLiteral("Funcao"), QStringLiteral("Função")),
                                   GridColumn::make(QStringLiteral("Telefone")),
                                   GridColumn::make(QStringLiteral("Celular"))}),
                   1);

    connect(novo, &QPushButton::clicked, this, &TFormFuncionario::btnNovoClick);
    connect(salvar, &QPushButton::clicked, this, &TFormFuncionario::btnSalvarClick);
    connect(cancelar, &QPushButton::clicked, this, &TFormFuncionario::btnCancelarClick);
    connect(deletar, &QPushButton::clicked, this, &TFormFuncionario::btnDeletarClick);
    connect(sair, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList TFormFuncionario::roles() const
{
    QStringList out;
    core::guarded(nullptr, [&] {
        for (m_funcoes->first(); !m_funcoes->eof(); m_funcoes->next())
            out << m_funcoes->asString(QStringLiteral("Funcao"));
    });
    return out;
}

void TFormFuncionario::btnNovoClick()
{
    if (!commitPending())
        return;
    guarded([&] {
        m_table->append();
        m_table->setValue(QStringLiteral("Comissionario"), QStringLiteral("N"));
    });
    m_nome->setFocus();
}

void TFormFuncionario::btnSalvarClick()
{
    if (editing())
        saveRecord();
}

void TFormFuncionario::btnCancelarClick()
{
    discardRecord();
}

void TFormFuncionario::btnDeletarClick()
{
    if (m_table->isEmpty() && !editing())
        return;
    if (core::dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    guarded([&] {
        if (m_table->state() == Dataset::State::Insert)
            m_table->cancel();
        else
            m_table->remove();
    });
}

void TFormFuncionario::localizarChange(const QString &text)
{
    if (commitPending())
        guarded([&] { findNearest(QStringLiteral("ByNome"), text); });
}

// ---------------------------------------------------------------- job roles

namespace {
core::ValueListWindow::Setup roleSetup()
{
    return {QStringLiteral("tbFuncao.db"), QStringLiteral("Funcao"), QStringLiteral("Função : "),
            QStringLiteral("Função"), QStringLiteral("Preencha o nome da Função para adicionar!"),
            // Object names: name box, Adicionar, Remover, Editar, the in-place box.
            QStringLiteral("edtNome"), QStringLiteral("btnAdicionar"), QStringLiteral("btnRemover"),
            QStringLiteral("btnEditar"), QStringLiteral("DBEditFuncao")};
}
} // namespace

TFormFuncao::TFormFuncao(data::DatabasePtr db, QWidget *parent) : ValueListWindow(db, roleSetup(), parent)
{
    setObjectName(QStringLiteral("TFormFuncao"));
    setWindowTitle(QStringLiteral("Cadastro Função"));
    resize(460, 420);
    table()->setObjectName(QStringLiteral("TbFuncao"));
    m_busca = new Table(db, QStringLiteral("tbFuncao.db"), this);
    m_busca->setObjectName(QStringLiteral("TbFuncaoBusca"));
    guarded([&] { m_busca->open(); });
    closeWithWindow(m_busca);
}

bool TFormFuncao::mayAdd(const QString &value)
{
    bool exists = false;
    if (!guarded([&] {
            m_busca->refresh();
            exists = m_busca->locate(QStringLiteral("Funcao"), {value}, Table::PartialKey);
        }))
        return false;
    if (!exists)
        return true;
    core::dialogs().information(this, QString(), QStringLiteral("Função Já Cadastrada"));
    nameBox()->clear();
    discardRecord();
    return false;
}

bool TFormFuncao::mayRemove()
{
    if (!isProtectedRole(table()->asString(QStringLiteral("Funcao"))))
        return true;
    core::dialogs().warning(this, QString(), QStringLiteral("Não pode ser excluído Função Ligada a Ordem de Serviço"));
    return false;
}

bool TFormFuncao::mayEdit()
{
    if (!isProtectedRole(table()->asString(QStringLiteral("Funcao"))))
        return true;
    core::dialogs().warning(this, QString(), QStringLiteral("Não pode ser Editado função ligada a Ordem de Serviço"));
    return false;
}

} // namespace brelvo::registries
