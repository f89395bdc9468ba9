#include "registries/TF_Fornecedor.h"

#include "core/DataControls.h"
#include "core/DialogService.h"
#include "registries/RegistryReports.h"
#include "registries/RegistryRules.h"
#include "registries/RegistryUi.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace brelvo::registries {

using data::Dataset;
using data::Table;


TF_Fornecedor::TF_Fornecedor(data::DatabasePtr db, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TF_Fornecedor"));
    setWindowTitle(QStringLiteral("Fornecedores"));
    resize(900, 620);

    m_table = new Table(db, QStringLiteral("tbfornecedor.db"), this);
    m_table->setObjectName(QStringLiteral("TbFornecedor"));
    m_table->setIndexName(QStringLiteral("byCodigo"));
    m_table->open();
    numberOnPost(m_table, this);

    auto *root = new QVBoxLayout(this);
    auto *pages = new QTabWidget(this);
    auto *page = new QWidget;
    pages->addTab(page, QStringLiteral("Cadastro de Fornecedores"));
    root->addWidget(pages);
    auto *lay = new QVBoxLayout(page);

    auto *bar = new QHBoxLayout;
    m_nav = new Navigator(m_table, Navigator::Moves, page);
    m_nav->setObjectName(QStringLiteral("DBNavigator1"));
    bar->addWidget(m_nav);
    auto button = [&](const QString &name, const QString &text) {
        auto *b = new QPushButton(text, page);
        b->setObjectName(name);
        b->setAutoDefault(false);
        bar->addWidget(b);
        return b;
    };
    m_btnNovo = button(QStringLiteral("btnNovo"), QStringLiteral("Incluir Novo"));
    m_btnSalvar = button(QStringLiteral("btnSalvar"), QStringLiteral("Salvar"));
    m_btnCancelar = button(QStringLiteral("btnCancelar"), QStringLiteral("Cancelar"));
    m_btnDeletar = button(QStringLiteral("btnDeletar"), QStringLiteral("Deletar"));
    m_btnImprimir = button(QStringLiteral("btnImprimir"), QStringLiteral("&Imprimir"));
    bar->addStretch();
    bar->addWidget(new QLabel(QStringLiteral("Localizar:"), page));
    auto *localizar = new QLineEdit(page);
    localizar->setObjectName(QStringLiteral("edtLocalizar"));
    localizar->setMaxLength(100);
    forceCase(localizar, CaseMode::Upper);
    bar->addWidget(localizar, 1);
    lay->addLayout(bar);

    auto *form = new QGridLayout;
    using core::CharCase;
    auto edit = [&](const QString &field, CharCase cc) {
        auto *e = new core::DbEdit(page);
        e->setObjectName(QStringLiteral("edt") + field);
        e->setCharCase(cc);
        e->setDataSource(m_table, field);
        return e;
    };
    auto put = [&](QWidget *w, const QString &caption, int r, int c, int span = 1) {
        form->addWidget(new QLabel(caption, page), r, c);
        form->addWidget(w, r, c + 1, 1, span);
    };
    auto *codigo = edit(QStringLiteral("Codigo"), CharCase::Normal);
    codigo->setDisplayMask(QStringLiteral("0000"));
    codigo->setReadOnly(true);
    codigo->setFocusPolicy(Qt::NoFocus);
    put(codigo, QStringLiteral("Codigo"), 0, 0);
    m_nome = edit(QStringLiteral("Nome"), CharCase::Upper);
    put(m_nome, QStringLiteral("Nome"), 1, 0, 3);
    put(edit(QStringLiteral("Contato"), CharCase::Upper), QStringLiteral("Contato"), 2, 0);
    put(edit(QStringLiteral("Telefone"), CharCase::Normal), QStringLiteral("Telefone"), 2, 2);
    m_cnpj = edit(QStringLiteral("CNPJ_CPF"), CharCase::Normal);
    put(m_cnpj, QStringLiteral("CNPJ / CPF"), 3, 0);
    put(edit(QStringLiteral("TipoServico"), CharCase::Upper), QStringLiteral("Tipo de Serviço"), 4, 0, 3);
    auto *cnd = new core::DbComboBox(page);
    cnd->setObjectName(QStringLiteral("cbCndPagamento"));
    cnd->setItems({QStringLiteral("Boleto"), QStringLiteral("Dinheiro"), QStringLiteral("Cartão"),
                   QStringLiteral("Parcelado"), QStringLiteral("Cheque"), QStringLiteral("Avista"),
                   QStringLiteral("Todas")});
    cnd->lineEdit()->setMaxLength(50);
    cnd->setDataSource(m_table, QStringLiteral("CndPagamento"));
    put(cnd, QStringLiteral("Condição de Pagamento"), 5, 0);
    auto *desconto = edit(QStringLiteral("Desconto"), CharCase::Normal);
    put(desconto, QStringLiteral("Desconto %"), 5, 2);
    auto *entrega = edit(QStringLiteral("EntregaDias"), CharCase::Normal);
    put(entrega, QStringLiteral("Entrega (Dias)"), 6, 0);
    put(edit(QStringLiteral("Transportadora"), CharCase::Upper), QStringLiteral("Trasportadora"), 6, 2);
    auto *sit = new core::DbRadioGroup(QStringLiteral("Situação"), page);
    sit->setObjectName(QStringLiteral("rgSituacao"));
    sit->setItems({QStringLiteral("Ativo"), QStringLiteral("Inativo")});
    sit->button(0)->setObjectName(QStringLiteral("rbAtivo"));
    sit->button(1)->setObjectName(QStringLiteral("rbInativo"));
    sit->setDataSource(m_table, QStringLiteral("Situacao"));
    form->addWidget(sit, 7, 0, 1, 4);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);
    lay->addLayout(form);

    auto *grid = makeGrid(page, m_table, QStringLiteral("DBGrid1"),
                          {core::GridColumn::make(QStringLiteral("Nome"), {}, 45),
                           core::GridColumn::make(QStringLiteral("Contato")),
                           core::GridColumn::make(QStringLiteral("EntregaDias")),
                           core::GridColumn::make(QStringLiteral("Telefone"))});
    lay->addWidget(grid, 1);
    connect(m_btnNovo, &QPushButton::clicked, this, &TF_Fornecedor::btnNovoClick);
    connect(m_btnSalvar, &QPushButton::clicked, this, &TF_Fornecedor::btnSalvarClick);
    connect(m_btnCancelar, &QPushButton::clicked, this, &TF_Fornecedor::btnCancelarClick);
    connect(m_btnDeletar, &QPushButton::clicked, this, &TF_Fornecedor::btnDeletarClick);
    connect(m_btnImprimir, &QPushButton::clicked, this, &TF_Fornecedor::btnImprimirClick);
    connect(localizar, &QLineEdit::textChanged, this, &TF_Fornecedor::localizarChange);

    connect(m_table, &Dataset::stateChanged, this, [this](Dataset::State s) {
        const bool editing = s == Dataset::State::Edit || s == Dataset::State::Insert;
        m_btnSalvar->setEnabled(editing);
    });
    m_btnSalvar->setEnabled(false);
    core::EnterMovesFocus::install(this);
}

TF_Fornecedor::~TF_Fornecedor()
{
    try {
        m_table->close();
    } catch (...) {
    }
}

void TF_Fornecedor::btnNovoClick()
{
    guarded(this, [&] {
        if (m_table->state() != Dataset::State::Browse)
            m_table->post();
        const qint64 n = highestCode(*m_table);
        m_table->append();
        m_table->setValue(QStringLiteral("Codigo"), double(n + 1));
    });
    m_nome->setFocus();
    m_btnSalvar->setEnabled(m_table->state() != Dataset::State::Browse);
}

void TF_Fornecedor::btnSalvarClick()
{
    if (m_table->state() != Dataset::State::Edit && m_table->state() != Dataset::State::Insert) {
        core::dialogs().information(this, QString(), QStringLiteral("Não Teve Alteração Edite!"));
        return;
    }
    const bool ok = guarded(this, [&] {
        const QString doc = m_table->asString(QStringLiteral("CNPJ_CPF"));
        if (!doc.isEmpty())
            m_table->setValue(QStringLiteral("CNPJ_CPF"), formatCpfCnpj(doc));
        m_table->post();
    });
    if (!ok)
        return;
    m_btnSalvar->setEnabled(false);
    core::dialogs().information(this, QString(), QStringLiteral("Cadastro Salvo com Sucesso!"));
}

void TF_Fornecedor::btnCancelarClick()
{
    guarded(this, [&] {
        if (m_table->state() != Dataset::State::Browse)
            m_table->cancel();
    });
    m_btnSalvar->setEnabled(false);
}

void TF_Fornecedor::btnDeletarClick()
{
    if (m_table->isEmpty() && m_table->state() == Dataset::State::Browse)
        return;
    if (core::dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    guarded(this, [&] {
        if (m_table->state() == Dataset::State::Insert)
            m_table->cancel();
        else
            m_table->remove();
    });
    m_btnSalvar->setEnabled(false);
}

void TF_Fornecedor::btnImprimirClick()
{
    guarded(this, [&] {
        if (m_table->state() != Dataset::State::Browse)
            m_table->post();
        printing::PreparedReport r = supplierListReport(*m_table);
        previewReport(r, this);
    });
}

void TF_Fornecedor::localizarChange(const QString &text)
{
    guarded(this, [&] {
        if (m_table->state() != Dataset::State::Browse)
            m_table->post();
        m_table->setIndexFieldNames(QStringLiteral("Nome"));
        m_table->findNearest({text});
    });
}

} // namespace brelvo::registries
