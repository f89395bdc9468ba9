#include "registries/TFormFuncionario.h"

#include "core/DataControls.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "registries/RegistryRules.h"
#include "core/Widgets.h"
#include "registries/RegistryUi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace brelvo::registries {

using data::Dataset;
using data::Table;

namespace {
const QString kExclusao = QStringLiteral("Exclusão");

} // namespace

// ---------------------------------------------------------------- employees

TFormFuncionario::TFormFuncionario(data::DatabasePtr db, QWidget *parent) : QDialog(parent)
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
    numberOnPost(m_table, this);

    auto *root = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    auto button = [&](const QString &name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        bar->addWidget(b);
        return b;
    };
    m_btnNovo = button(QStringLiteral("btnNovo"), QStringLiteral("Incluir Novo"));
    m_btnSalvar = button(QStringLiteral("btnSalvar"), QStringLiteral("Salvar"));
    m_btnDeletar = button(QStringLiteral("btnDeletar"), QStringLiteral("Deletar"));
    m_btnCancelar = button(QStringLiteral("btnCancelar"), QStringLiteral("Cancelar"));
    m_btnImprimir = button(QStringLiteral("btnImprimir"), QStringLiteral("&Imprimir"));
    m_btnImprimir->hide();   // nothing to print here
    m_btnSair = button(QStringLiteral("btnSair"), QStringLiteral("&Sair"));
    m_nav = new core::Navigator(m_table, core::Navigator::Moves, this);
    m_nav->setObjectName(QStringLiteral("DBNavigator1"));
    bar->addWidget(m_nav);
    bar->addStretch();
    root->addLayout(bar);

    auto *pages = new QTabWidget(this);
    auto *page = new QWidget;
    pages->addTab(page, QStringLiteral("Funcionário"));
    root->addWidget(pages, 1);
    auto *lay = new QVBoxLayout(page);
    auto *find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("Localizar:"), page));
    auto *localizar = new QLineEdit(page);
    localizar->setObjectName(QStringLiteral("edtLocalizar"));
    localizar->setMaxLength(100);
    core::setTypingCase(localizar, core::CharCase::Upper);
    find->addWidget(localizar, 1);
    lay->addLayout(find);

    auto *group = new QGroupBox(page);
    auto *form = new QGridLayout(group);
    using core::CharCase;
    auto edit = [&](const QString &field, CharCase cc) {
        auto *e = new core::DbEdit(group);
        e->setObjectName(QStringLiteral("edt") + field);
        e->setCharCase(cc);
        e->setDataSource(m_table, field);
        return e;
    };
    auto masked = [&](const QString &field, CharCase cc, const QString &mask) {
        auto *e = new core::DbMaskEdit(group);
        e->setObjectName(QStringLiteral("edt") + field);
        e->setCharCase(cc);
        e->setEditMask(mask);
        e->setDataSource(m_table, field);
        return e;
    };
    auto put = [&](QWidget *w, const QString &caption, int r, int c, int span = 1) {
        form->addWidget(new QLabel(caption, group), r, c);
        form->addWidget(w, r, c + 1, 1, span);
    };
    auto *codigo = edit(QStringLiteral("Codigo"), CharCase::Normal);
    codigo->setDisplayMask(QStringLiteral("0000"));
    codigo->setReadOnly(true);
    codigo->setFocusPolicy(Qt::NoFocus);
    put(codigo, QStringLiteral("Codigo"), 0, 0);
    m_nome = edit(QStringLiteral("Nome"), CharCase::Upper);
    put(m_nome, QStringLiteral("Nome Funcionário"), 1, 0, 3);
    auto *funcao = new core::DbComboBox(group, true);
    funcao->setObjectName(QStringLiteral("cbFuncao"));
    funcao->setItems(roles());
    funcao->setDataSource(m_table, QStringLiteral("Funcao"));
    m_funcao = funcao;
    put(m_funcao, QStringLiteral("Cargo / Função"), 2, 0);
    put(masked(QStringLiteral("CPF"), CharCase::Upper, QStringLiteral("000.000.000\\-99;1;_")), QStringLiteral("CPF:"), 3, 0);
    put(edit(QStringLiteral("RG"), CharCase::Normal), QStringLiteral("RG:"), 3, 2);
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

    auto *g = core::makeGrid(page, m_table, QStringLiteral("DBGrid1"),
                       {core::GridColumn::make(QStringLiteral("Nome"), {}, 45),
                        core::GridColumn::make(QStringLiteral("Funcao")),
                        core::GridColumn::make(QStringLiteral("Telefone")),
                        core::GridColumn::make(QStringLiteral("Celular"))});
    lay->addWidget(g, 1);

    connect(m_btnNovo, &QPushButton::clicked, this, &TFormFuncionario::btnNovoClick);
    connect(m_btnSalvar, &QPushButton::clicked, this, &TFormFuncionario::btnSalvarClick);
    connect(m_btnCancelar, &QPushButton::clicked, this, &TFormFuncionario::btnCancelarClick);
    connect(m_btnDeletar, &QPushButton::clicked, this, &TFormFuncionario::btnDeletarClick);
    connect(m_btnSair, &QPushButton::clicked, this, &QDialog::reject);
    connect(localizar, &QLineEdit::textChanged, this, &TFormFuncionario::localizarChange);
    connect(m_table, &Dataset::stateChanged, this, [this](Dataset::State s) {
        if (s == Dataset::State::Edit || s == Dataset::State::Insert)
            editing(true);
    });
    connect(m_table, &Table::afterPost, this, [this] { editing(false); });
    connect(m_table, &Table::afterCancel, this, [this] { editing(false); });
    connect(m_table, &Table::afterDelete, this, [this] { editing(false); });
    editing(false);
    core::EnterMovesFocus::install(this);
}

TFormFuncionario::~TFormFuncionario()
{
    try {
        m_table->close();
        m_funcoes->close();
    } catch (...) {
    }
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

void TFormFuncionario::editing(bool on)
{
    m_btnSalvar->setEnabled(on);
    m_btnCancelar->setEnabled(on);
    m_btnNovo->setEnabled(!on);
    m_nav->setEnabled(!on);
}

void TFormFuncionario::btnNovoClick()
{
    core::guarded(this, [&] {
        const qint64 n = highestCode(*m_table);
        m_table->append();
        m_table->setValue(QStringLiteral("Codigo"), double(n + 1));
        m_table->setValue(QStringLiteral("Comissionario"), QStringLiteral("N"));
    });
    m_nome->setFocus();
}

void TFormFuncionario::btnSalvarClick()
{
    if (m_table->state() != Dataset::State::Edit && m_table->state() != Dataset::State::Insert)
        return;
    core::guarded(this, [&] { m_table->post(); });
}

void TFormFuncionario::btnCancelarClick()
{
    core::guarded(this, [&] {
        if (m_table->state() != Dataset::State::Browse)
            m_table->cancel();
    });
    editing(false);
}

void TFormFuncionario::btnDeletarClick()
{
    if (m_table->isEmpty() && m_table->state() == Dataset::State::Browse)
        return;
    if (core::dialogs().question(this, kExclusao, QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    core::guarded(this, [&] {
        if (m_table->state() == Dataset::State::Insert)
            m_table->cancel();
        else
            m_table->remove();
    });
    editing(false);
}

void TFormFuncionario::localizarChange(const QString &text)
{
    core::guarded(this, [&] {
        if (m_table->state() != Dataset::State::Browse)
            m_table->post();
        m_table->setIndexName(QStringLiteral("ByNome"));
        m_table->findNearest({text});
    });
}

// ---------------------------------------------------------------- job roles

TFormFuncao::TFormFuncao(data::DatabasePtr db, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormFuncao"));
    setWindowTitle(QStringLiteral("Cadastro Função"));
    resize(460, 420);

    m_table = new Table(db, QStringLiteral("tbFuncao.db"), this);
    m_table->setObjectName(QStringLiteral("TbFuncao"));
    m_table->open();
    m_busca = new Table(db, QStringLiteral("tbFuncao.db"), this);
    m_busca->setObjectName(QStringLiteral("TbFuncaoBusca"));
    m_busca->open();

    auto *root = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Função : "), this);
    auto *gl = new QGridLayout(group);
    gl->addWidget(new QLabel(QStringLiteral("Nome:"), group), 0, 0);
    m_nome = new QLineEdit(group);
    m_nome->setObjectName(QStringLiteral("edtNome"));
    m_nome->setMaxLength(30);
    core::setTypingCase(m_nome, core::CharCase::Upper);
    gl->addWidget(m_nome, 0, 1);
    auto *dbFuncao = new core::DbEdit(group);
    dbFuncao->setObjectName(QStringLiteral("DBEditFuncao"));
    dbFuncao->setCharCase(core::CharCase::Upper);
    dbFuncao->setDataSource(m_table, QStringLiteral("Funcao"));
    m_dbFuncao = dbFuncao;
    m_dbFuncao->hide();
    gl->addWidget(m_dbFuncao, 1, 1);
    auto *bl = new QHBoxLayout;
    auto button = [&](const QString &name, const QString &text) {
        auto *b = new QPushButton(text, group);
        b->setObjectName(name);
        b->setAutoDefault(false);
        bl->addWidget(b);
        return b;
    };
    m_btnAdicionar = button(QStringLiteral("btnAdicionar"), QStringLiteral("Adicionar"));
    m_btnRemover = button(QStringLiteral("btnRemover"), QStringLiteral("Remover"));
    m_btnEditar = button(QStringLiteral("btnEditar"), QStringLiteral("Editar"));
    auto *nav = new core::Navigator(m_table, core::Navigator::Post, group);
    nav->setObjectName(QStringLiteral("DBNavigator1"));
    bl->addWidget(nav);
    gl->addLayout(bl, 2, 0, 1, 2);
    root->addWidget(group);

    root->addWidget(new QLabel(QStringLiteral("Cadastradas"), this));
    root->addWidget(core::makeGrid(this, m_table, QStringLiteral("DBGrid1"),
                             {core::GridColumn::make(QStringLiteral("Funcao"), QStringLiteral("Função"))}),
                    1);

    connect(m_btnAdicionar, &QPushButton::clicked, this, &TFormFuncao::btnAdicionarClick);
    connect(m_btnRemover, &QPushButton::clicked, this, &TFormFuncao::btnRemoverClick);
    connect(m_btnEditar, &QPushButton::clicked, this, &TFormFuncao::btnEditarClick);
    connect(nav, &core::Navigator::postClicked, this, &TFormFuncao::postClick);
    connect(m_table, &Table::afterPost, this, &TFormFuncao::afterPost);
    connect(m_table, &Table::afterCancel, this, &TFormFuncao::afterPost);
}

TFormFuncao::~TFormFuncao()
{
    try {
        m_table->close();
        m_busca->close();
    } catch (...) {
    }
}

void TFormFuncao::btnAdicionarClick()
{
    const QString name = m_nome->text().trimmed();
    if (name.isEmpty()) {
        core::dialogs().information(this, QString(), QStringLiteral("Preencha o nome da Função para adicionar!"));
        return;
    }
    bool exists = false;
    if (!core::guarded(this, [&] {
            m_busca->refresh();
            exists = m_busca->locate(QStringLiteral("Funcao"), {name}, Table::PartialKey);
        }))
        return;
    if (exists) {
        core::dialogs().information(this, QString(), QStringLiteral("Função Já Cadastrada"));
        m_nome->clear();
        core::guarded(this, [&] {
            if (m_table->state() != Dataset::State::Browse)
                m_table->cancel();
        });
        return;
    }
    const bool ok = core::guarded(this, [&] {
        if (m_table->state() != Dataset::State::Browse)
            m_table->cancel();
        m_table->append();
        m_table->setValue(QStringLiteral("Funcao"), name);
        m_table->post();
    });
    if (!ok) {
        core::guarded(this, [&] { if (m_table->state() != Dataset::State::Browse) m_table->cancel(); });
        return;
    }
    m_nome->clear();
}

void TFormFuncao::btnRemoverClick()
{
    if (m_table->isEmpty())
        return;
    if (isProtectedRole(m_table->asString(QStringLiteral("Funcao")))) {
        core::dialogs().warning(this, QString(),
                                QStringLiteral("Não pode ser excluído Função Ligada a Ordem de Serviço"));
        return;
    }
    if (core::dialogs().question(this, kExclusao, QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    core::guarded(this, [&] {
        if (m_table->state() != Dataset::State::Browse)
            m_table->cancel();
        m_table->remove();
    });
}

void TFormFuncao::btnEditarClick()
{
    if (m_table->isEmpty())
        return;
    if (isProtectedRole(m_table->asString(QStringLiteral("Funcao")))) {
        core::dialogs().warning(this, QString(),
                                QStringLiteral("Não pode ser Editado função ligada a Ordem de Serviço"));
        return;
    }
    if (!core::guarded(this, [&] { m_table->edit(); }))
        return;
    m_dbFuncao->show();
    m_dbFuncao->setFocus();
    m_btnEditar->setEnabled(false);
    m_btnAdicionar->setEnabled(false);
}

void TFormFuncao::postClick()
{
    if (m_table->state() != Dataset::State::Edit && m_table->state() != Dataset::State::Insert)
        return;
    // A role needs a name; an emptied box is not stored.
    if (m_table->asString(QStringLiteral("Funcao")).trimmed().isEmpty()) {
        core::dialogs().information(this, QString(), QStringLiteral("Preencha o nome da Função!"));
        return;
    }
    core::guarded(this, [&] { m_table->post(); });
}

void TFormFuncao::afterPost()
{
    m_dbFuncao->hide();
    m_btnEditar->setEnabled(true);
    m_btnAdicionar->setEnabled(true);
}

} // namespace brelvo::registries
