#include "registries/TF_Fornecedor.h"

#include "core/DataControls.h"
#include "core/DialogService.h"
#include "registries/RegistryReports.h"
#include "registries/RegistryRules.h"
#include "core/Widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace brelvo::registries {

using core::GridColumn;
using data::Dataset;
using data::Table;

TF_Fornecedor::TF_Fornecedor(data::DatabasePtr db, QWidget *parent) : RecordWindow(parent)
{
    setObjectName(QStringLiteral("TF_Fornecedor"));
    setWindowTitle(QStringLiteral("Fornecedores"));
    resize(900, 620);

    m_table = new Table(db, QStringLiteral("tbfornecedor.db"), this);
    m_table->setObjectName(QStringLiteral("TbFornecedor"));
    m_table->setIndexName(QStringLiteral("byCodigo"));
    m_table->open();
    setMainTable(m_table);

    auto *root = new QVBoxLayout(this);
    auto *pages = new QTabWidget(this);
    auto *page = new QWidget;
    pages->addTab(page, QStringLiteral("Cadastro de Fornecedores"));
    root->addWidget(pages);
    auto *lay = new QVBoxLayout(page);

    auto *bar = new QHBoxLayout;
    bar->addWidget(makeNavigator(core::Navigator::Moves, QStringLiteral("DBNavigator1"), page));
    auto button = [&](const QString &name, const QString &text, void (TF_Fornecedor::*slot)()) {
        QPushButton *b = makeButton(name, text, page);
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    button(QStringLiteral("btnNovo"), QStringLiteral("Incluir Novo"), &TF_Fornecedor::btnNovoClick);
    enableWhen(button(QStringLiteral("btnSalvar"), QStringLiteral("Salvar"), &TF_Fornecedor::btnSalvarClick),
               When::Editing);
    button(QStringLiteral("btnCancelar"), QStringLiteral("Cancelar"), &TF_Fornecedor::btnCancelarClick);
    button(QStringLiteral("btnDeletar"), QStringLiteral("Deletar"), &TF_Fornecedor::btnDeletarClick);
    button(QStringLiteral("btnImprimir"), QStringLiteral("&Imprimir"), &TF_Fornecedor::btnImprimirClick);
    bar->addStretch();
    bar->addWidget(new QLabel(QStringLiteral("Localizar:"), page));
    m_localizar = makeSearchBox(QStringLiteral("edtLocalizar"), [this](const QString &t) { localizarChange(t); },
                                100, page);
    bar->addWidget(m_localizar, 1);
    lay->addLayout(bar);

    auto *form = new QGridLayout;
    using core::CharCase;
    core::FormBuilder f(form, page, m_table);
    auto edit = [&f](const QString &field, CharCase cc) { return f.edit(field, cc); };
    auto put = [&f](QWidget *w, const QString &caption, int r, int c, int span = 1) { f.put(w, caption, r, c, span); };
    put(f.number(QStringLiteral("Codigo"), QStringLiteral("0000")), QStringLiteral("Codigo"), 0, 0);
    m_nome = edit(QStringLiteral("Nome"), CharCase::Upper);
    put(m_nome, QStringLiteral("Nome"), 1, 0, 3);
    put(edit(QStringLiteral("Contato"), CharCase::Upper), QStringLiteral("Contato"), 2, 0);
    put(edit(QStringLiteral("Telefone"), CharCase::Normal), QStringLiteral("Telefone"), 2, 2);
    put(edit(QStringLiteral("CNPJ_CPF"), CharCase::Normal), QStringLiteral("CNPJ / CPF"), 3, 0);
    put(edit(QStringLiteral("TipoServico"), CharCase::Upper), QStringLiteral("Tipo de Serviço"), 4, 0, 3);
    auto *cnd = new core::DbComboBox(page);
    cnd->setObjectName(QStringLiteral("cbCndPagamento"));
    cnd->setItems({QStringLiteral("Boleto"), QStringLiteral("Dinheiro"), QStringLiteral("Cartão"),
                   QStringLiteral("Parcelado"), QStringLiteral("Cheque"), QStringLiteral("Avista"),
                   QStringLiteral("Todas")});
    cnd->lineEdit()->setMaxLength(50);
    cnd->setDataSource(m_table, QStringLiteral("CndPagamento"));
    put(cnd, QStringLiteral("Condição de Pagamento"), 5, 0);
    put(edit(QStringLiteral("Desconto"), CharCase::Normal), QStringLiteral("Desconto %"), 5, 2);
    put(edit(QStringLiteral("EntregaDias"), CharCase::Normal), QStringLiteral("Entrega (Dias)"), 6, 0);
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

    lay->addWidget(core::makeGrid(page, m_table, QStringLiteral("DBGrid1"),
                                  {GridColumn::make(QStringLiteral("Nome"), {}, 45),
                                   GridColumn::make(QStringLiteral("Contato")),
                                   GridColumn::make(QStringLiteral("EntregaDias"), QStringLiteral("Entrega (Dias)")),
                                   GridColumn::make(QStringLiteral("Telefone"))}),
                   1);
}

bool TF_Fornecedor::saveRecord()
{
    return guarded([&] {
        if (!editing())
            return;
        const QString doc = m_table->asString(QStringLiteral("CNPJ_CPF"));
        if (!doc.isEmpty())
            m_table->setValue(QStringLiteral("CNPJ_CPF"), formatCpfCnpj(doc));
        m_table->post();
    });
}

void TF_Fornecedor::btnNovoClick()
{
    if (!commitPending())
        return;
    guarded([&] {
        m_table->append();
    });
    m_nome->setFocus();
}

void TF_Fornecedor::btnSalvarClick()
{
    if (!editing()) {
        core::dialogs().information(this, QString(), QStringLiteral("Não Teve Alteração Edite!"));
        return;
    }
    if (saveRecord())
        core::dialogs().information(this, QString(), QStringLiteral("Cadastro Salvo com Sucesso!"));
}

void TF_Fornecedor::btnCancelarClick()
{
    discardRecord();
}

void TF_Fornecedor::btnDeletarClick()
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

void TF_Fornecedor::btnImprimirClick()
{
    if (!commitPending())
        return;
    printing::PreparedReport r;
    if (runBusy([&] { r = supplierListReport(*m_table); }))
        previewReport(r, this);
}

void TF_Fornecedor::localizarChange(const QString &text)
{
    if (commitPending())
        guarded([&] { findNearest(QStringLiteral("Nome"), text); });
}

} // namespace brelvo::registries
