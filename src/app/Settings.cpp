#include "app/Settings.h"

#include "core/DataControls.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "core/Widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace brelvo::app {

using core::dialogs;

// ---------------------------------------------------------------- TF_Empresa

TF_Empresa::TF_Empresa(data::DatabasePtr db, QWidget *parent)
    : SingleRowEditor(std::move(db), QStringLiteral("empresa.DB"), QStringLiteral("TEmpresa"), parent)
{
    setObjectName(QStringLiteral("F_Empresa"));
    setWindowTitle(QStringLiteral("Empresa"));

    auto *v = new QVBoxLayout(this);
    v->addWidget(core::heading(this, QStringLiteral("LabelTitulo"), QStringLiteral("Dados da Empresa"), 1.4));

    auto bound = [this](const QString &field, int maxLength, core::CharCase c) {
        auto *e = new core::DbEdit(this);
        e->setObjectName(QStringLiteral("DBEdit") + field);
        e->setMaxLength(maxLength);
        e->setCharCase(c);
        e->setDataSource(table(), field);
        return e;
    };
    auto *eCep = new core::DbMaskEdit(this);
    eCep->setObjectName(QStringLiteral("DBEditCep"));
    eCep->setEditMask(QStringLiteral("00000\\-999;1;_"));
    eCep->setDataSource(table(), QStringLiteral("Cep"));
    auto *cUf = new core::DbComboBox(this);
    cUf->setObjectName(QStringLiteral("DBComboBoxUf"));
    cUf->setItems(core::stateCodes());
    cUf->setCharCase(core::CharCase::Upper);
    cUf->lineEdit()->setMaxLength(2);
    cUf->setDataSource(table(), QStringLiteral("Uf"));

    // Caption above its box; Enter follows the rows of this grid.
    auto *grid = new QGridLayout;
    int r = 0;
    auto add = [&](const QString &caption, QWidget *w, int col, int span = 1) {
        auto *l = new QLabel(caption, this);
        l->setBuddy(w);
        grid->addWidget(l, r, col);
        grid->addWidget(w, r + 1, col, 1, span);
    };
    using core::CharCase;
    add(QStringLiteral("Nome "), bound(QStringLiteral("Empresa"), 50, CharCase::Upper), 0, 3);
    r += 2;
    add(QStringLiteral("Endereço"), bound(QStringLiteral("End"), 100, CharCase::Upper), 0, 2);
    add(QStringLiteral("Bairro"), bound(QStringLiteral("Bairro"), 30, CharCase::Upper), 2);
    r += 2;
    add(QStringLiteral("Cidade"), bound(QStringLiteral("Cidade"), 50, CharCase::Upper), 0);
    add(QStringLiteral("Uf"), cUf, 1);
    add(QStringLiteral("Cep"), eCep, 2);
    r += 2;
    add(QStringLiteral("Telefone"), bound(QStringLiteral("Telefone"), 20, CharCase::Upper), 0);
    add(QStringLiteral("Telefone2"), bound(QStringLiteral("Telefone2"), 20, CharCase::Normal), 1);
    add(QStringLiteral("Telefone3"), bound(QStringLiteral("Telefone3"), 20, CharCase::Normal), 2);
    r += 2;
    add(QStringLiteral("Cnpj / CPF"), bound(QStringLiteral("Cnpj"), 20, CharCase::Normal), 0);
    add(QStringLiteral("IE / RG"), bound(QStringLiteral("IE"), 25, CharCase::Normal), 1);
    r += 2;
    add(QStringLiteral("Site"), bound(QStringLiteral("Site"), 200, CharCase::Lower), 0);
    add(QStringLiteral("Email"), bound(QStringLiteral("Email"), 200, CharCase::Lower), 1, 2);
    v->addLayout(grid);

    auto *row = new QHBoxLayout;
    // "Salvar" is enabled by any change and stays so until the row is stored.
    QPushButton *salvar = makeButton(QStringLiteral("btnSalvar"), QStringLiteral("Salvar"));
    enableWhen(salvar, When::Editing);
    QPushButton *deletar = makeButton(QStringLiteral("btnDeletar"), QStringLiteral("Deletar"));
    QPushButton *sair = makeButton(QStringLiteral("btnSair"), QStringLiteral("Sair"));
    row->addStretch(1);
    for (QPushButton *b : {salvar, deletar, sair})
        row->addWidget(b);
    v->addLayout(row);
    connect(salvar, &QPushButton::clicked, this, &TF_Empresa::btnSalvarClick);
    connect(deletar, &QPushButton::clicked, this, &TF_Empresa::btnDeletarClick);
    connect(sair, &QPushButton::clicked, this, &QDialog::accept);
    openRow();
}

bool TF_Empresa::saveRecord()
{
    return guarded([this] {
        if (!editing())
            table()->edit();
        table()->post();
    });
}

void TF_Empresa::btnSalvarClick()
{
    saveRecord();
}

void TF_Empresa::btnDeletarClick()
{
    if (dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    guarded([this] {
        if (table()->state() == data::Dataset::State::Insert) {
            table()->cancel();
        } else {
            if (editing())
                table()->cancel();
            if (!table()->isEmpty())
                table()->remove();
        }
    });
}

// ---------------------------------------------------------------- TFPortaImpressora

TFPortaImpressora::TFPortaImpressora(data::DatabasePtr db, QWidget *parent)
    : SingleRowEditor(std::move(db), QStringLiteral("tbPortaImpressora.db"), QStringLiteral("TabelaPorta"), parent)
{
    setObjectName(QStringLiteral("FPortaImpressora"));
    setWindowTitle(QStringLiteral("Porta da Impressora"));

    auto *v = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Porta De Comunicação Ex: LPT1, COM1, COM2..."), this);
    auto *porta = new core::DbEdit(this);
    porta->setObjectName(QStringLiteral("DBEditPorta"));
    porta->setMaxLength(255);
    porta->setDataSource(table(), QStringLiteral("Porta"));
    label->setBuddy(porta);
    v->addWidget(label);
    v->addWidget(porta);

    auto group = [&](const QString &name, const QString &caption, const QString &field, const QString &prefix) {
        auto *g = new core::DbRadioGroup(caption, this);
        g->setObjectName(name);
        g->setItems({QStringLiteral("Sim"), QStringLiteral("Não")}, {QStringLiteral("S"), QStringLiteral("N")});
        g->button(0)->setObjectName(prefix + QStringLiteral("Sim"));
        g->button(1)->setObjectName(prefix + QStringLiteral("Nao"));
        g->setDataSource(table(), field);
        v->addWidget(g);
    };
    group(QStringLiteral("DBRadioGroupImprimir"),
          QStringLiteral("Imprimir Cupom Não fiscal  Automatico ao fechar a venda?"), QStringLiteral("Imprimir"),
          QStringLiteral("rbImprimir"));
    group(QStringLiteral("DBRadioGroupDaruma"), QStringLiteral("Daruma DR700 ou DR600 Acionar Guilhotina ?"),
          QStringLiteral("Daruma"), QStringLiteral("rbDaruma"));

    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(makeSaveButton(QStringLiteral("btnSalvar"), QStringLiteral("Salvar")));
    v->addLayout(row);
    openRow();
}

// ---------------------------------------------------------------- TConfigs

TConfigs::TConfigs(data::DatabasePtr db, QWidget *parent)
    : SingleRowEditor(std::move(db), QStringLiteral("configExt.db"), QStringLiteral("TabelaConfig"), parent)
{
    setObjectName(QStringLiteral("Configs"));
    setWindowTitle(QStringLiteral("Configurações"));
    auto *v = new QVBoxLayout(this);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    auto *page = new QWidget(tabs);
    page->setObjectName(QStringLiteral("TabDesconto"));
    auto *pv = new QVBoxLayout(page);
    auto *label = new QLabel(QStringLiteral("Desconto  Maximo Permitido %"), page);
    m_desconto = new QLineEdit(page);
    m_desconto->setObjectName(QStringLiteral("DBEditDesconto"));
    label->setBuddy(m_desconto);
    auto *note = new QLabel(
        QStringLiteral("Coloque aqui a porcetagem de desconto maximo permitido no valor total da venda! "), page);
    note->setWordWrap(true);
    pv->addWidget(label);
    pv->addWidget(m_desconto);
    pv->addWidget(note);
    pv->addStretch(1);
    tabs->addTab(page, QStringLiteral("Desconto Maximo Permitido"));
    v->addWidget(tabs);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(makeSaveButton(QStringLiteral("btnSalvar"), QStringLiteral("&Salvar")));
    v->addLayout(row);

    openRow();
    load();
    // Typing starts editing the row; the number is checked when saving.
    connect(m_desconto, &QLineEdit::textEdited, this, [this] {
        if (!isReady() || editing())
            return;
        guarded([this] {
            if (table()->isEmpty())
                table()->append();
            else
                table()->edit();
        });
    });
}

void TConfigs::load()
{
    if (!isReady() || table()->isEmpty() || table()->isNull(QStringLiteral("Desconto")))
        m_desconto->clear();
    else
        m_desconto->setText(core::shortNumber(table()->asFloat(QStringLiteral("Desconto"))));
}

void TConfigs::showEvent(QShowEvent *event)
{
    SingleRowEditor::showEvent(event);
    m_desconto->setFocus();
    m_desconto->selectAll();
}

bool TConfigs::saveRecord()
{
    if (!isReady() || !editing())
        return true;
    const QString text = m_desconto->text().trimmed();
    QVariant value;
    if (!text.isEmpty()) {
        QString why;
        const std::optional<double> n = core::parseNumber(text, &why);
        if (!n) {
            dialogs().error(this, QStringLiteral("Erro"),
                            why.isEmpty() ? QStringLiteral("'%1' não é um valor válido").arg(text) : why);
            m_desconto->setFocus();
            return false;
        }
        if (*n < 0 || *n > 100) {
            dialogs().error(this, QStringLiteral("Erro"), QStringLiteral("O desconto máximo deve estar entre 0 e 100%."));
            m_desconto->setFocus();
            return false;
        }
        value = *n;
    }
    const bool ok = guarded([&] {
        table()->setValue(QStringLiteral("Desconto"), value);
        table()->post();
    });
    if (ok)
        load();
    return ok;
}

} // namespace brelvo::app
