#include "app/Settings.h"

#include "core/Widgets.h"
#include "core/DataControls.h"
#include "core/DialogService.h"
#include "core/Format.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace brelvo::app {

using core::dialogs;

namespace {
QString errorText(const std::exception &e)
{
    if (auto *db = dynamic_cast<const data::DbError *>(&e))
        return db->message();
    return QString::fromLocal8Bit(e.what());
}

bool isEditing(const data::Table *t)
{
    return t->state() == data::Dataset::State::Edit || t->state() == data::Dataset::State::Insert;
}

void closeTable(data::Table *t)
{
    if (!t)
        return;
    try {
        if (isEditing(t))
            t->cancel();
        t->close();
    } catch (const std::exception &) {
    }
}

QLineEdit *edit(QWidget *parent, const QString &name, int maxLength)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

} // namespace

// ---------------------------------------------------------------- TF_Empresa

QStringList TF_Empresa::stateCodes()
{
    return QStringLiteral("AC AL AM AP BA CE DF ES GO MA MG MS MT PA PB PE PI PR RJ RN RO RR RS SC SE SP TO")
        .split(QLatin1Char(' '));
}

TF_Empresa::TF_Empresa(data::DatabasePtr db, QWidget *parent) : QDialog(parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("F_Empresa"));
    setWindowTitle(QStringLiteral("Empresa"));
    m_table = new data::Table(m_db, QStringLiteral("empresa.DB"), this);
    m_table->setObjectName(QStringLiteral("TEmpresa"));

    auto *v = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Dados da Empresa"), this);
    heading->setObjectName(QStringLiteral("LabelTitulo"));
    QFont f = heading->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    heading->setFont(f);
    v->addWidget(heading);

    auto bound = [this](const QString &field, int maxLength, core::CharCase c) {
        auto *e = new core::DbEdit(this);
        e->setObjectName(QStringLiteral("DBEdit") + field);
        e->setMaxLength(maxLength);
        e->setCharCase(c);
        e->setDataSource(m_table, field);
        return e;
    };
    auto *eEmpresa = bound(QStringLiteral("Empresa"), 50, core::CharCase::Upper);
    auto *eEnd = bound(QStringLiteral("End"), 100, core::CharCase::Upper);
    auto *eCidade = bound(QStringLiteral("Cidade"), 50, core::CharCase::Upper);
    auto *eTelefone = bound(QStringLiteral("Telefone"), 20, core::CharCase::Upper);
    auto *eBairro = bound(QStringLiteral("Bairro"), 30, core::CharCase::Upper);
    auto *eSite = bound(QStringLiteral("Site"), 200, core::CharCase::Lower);
    auto *eEmail = bound(QStringLiteral("Email"), 200, core::CharCase::Lower);
    auto *eCnpj = bound(QStringLiteral("Cnpj"), 20, core::CharCase::Normal);
    auto *eIE = bound(QStringLiteral("IE"), 25, core::CharCase::Normal);
    auto *eTel2 = bound(QStringLiteral("Telefone2"), 20, core::CharCase::Normal);
    auto *eTel3 = bound(QStringLiteral("Telefone3"), 20, core::CharCase::Normal);
    auto *eCep = new core::DbMaskEdit(this);
    eCep->setObjectName(QStringLiteral("DBEditCep"));
    eCep->setEditMask(QStringLiteral("00000\\-999;1;_"));
    eCep->setDataSource(m_table, QStringLiteral("Cep"));
    auto *cUf = new core::DbComboBox(this);
    cUf->setObjectName(QStringLiteral("DBComboBoxUf"));
    cUf->setItems(stateCodes());
    cUf->setCharCase(core::CharCase::Upper);
    cUf->lineEdit()->setMaxLength(2);
    cUf->setDataSource(m_table, QStringLiteral("Uf"));

    auto *grid = new QGridLayout;
    int r = 0;
    auto add = [&](const QString &caption, QWidget *w, int col, int span = 1) {
        auto *l = new QLabel(caption, this);
        l->setBuddy(w);
        grid->addWidget(l, r, col);
        grid->addWidget(w, r + 1, col, 1, span);
    };
    add(QStringLiteral("Nome "), eEmpresa, 0, 3);
    r += 2;
    add(QStringLiteral("Endereço"), eEnd, 0, 2);
    add(QStringLiteral("Bairro"), eBairro, 2);
    r += 2;
    add(QStringLiteral("Cidade"), eCidade, 0);
    add(QStringLiteral("Uf"), cUf, 1);
    add(QStringLiteral("Cep"), eCep, 2);
    r += 2;
    add(QStringLiteral("Telefone"), eTelefone, 0);
    add(QStringLiteral("Telefone2"), eTel2, 1);
    add(QStringLiteral("Telefone3"), eTel3, 2);
    r += 2;
    add(QStringLiteral("Cnpj / CPF"), eCnpj, 0);
    add(QStringLiteral("IE / RG"), eIE, 1);
    r += 2;
    add(QStringLiteral("Site"), eSite, 0);
    add(QStringLiteral("Email"), eEmail, 1, 2);
    v->addLayout(grid);

    auto *row = new QHBoxLayout;
    m_salvar = new QPushButton(QStringLiteral("Salvar"), this);
    m_salvar->setObjectName(QStringLiteral("btnSalvar"));
    m_salvar->setEnabled(false);
    auto *deletar = new QPushButton(QStringLiteral("Deletar"), this);
    deletar->setObjectName(QStringLiteral("btnDeletar"));
    auto *sair = new QPushButton(QStringLiteral("Sair"), this);
    sair->setObjectName(QStringLiteral("btnSair"));
    row->addStretch(1);
    for (QPushButton *b : {m_salvar, deletar, sair}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    v->addLayout(row);
    connect(m_salvar, &QPushButton::clicked, this, &TF_Empresa::btnSalvarClick);
    connect(deletar, &QPushButton::clicked, this, &TF_Empresa::btnDeletarClick);
    connect(sair, &QPushButton::clicked, this, &QDialog::accept);
    // Any change enables "Salvar".
    connect(m_table, &data::Dataset::stateChanged, this, [this] {
        if (isEditing(m_table))
            m_salvar->setEnabled(true);
    });
    core::EnterMovesFocus::install(this);

    try {
        m_table->open();
        m_table->first();
        m_ready = true;
    } catch (const std::exception &e) {
        dialogs().error(this, QStringLiteral("Erro"), errorText(e));
    }
}

TF_Empresa::~TF_Empresa() = default;

void TF_Empresa::btnSalvarClick()
{
    if (!m_table)
        return;
    try {
        if (!isEditing(m_table))
            m_table->edit();
        m_table->post();
        m_salvar->setEnabled(false);
    } catch (const std::exception &e) {
        dialogs().error(this, QStringLiteral("Erro"), errorText(e));
    }
}

void TF_Empresa::btnDeletarClick()
{
    if (!m_table)
        return;
    if (dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    try {
        if (m_table->state() == data::Dataset::State::Insert) {
            m_table->cancel();
        } else {
            if (isEditing(m_table))
                m_table->cancel();
            if (!m_table->isEmpty())
                m_table->remove();
        }
        m_salvar->setEnabled(false);
    } catch (const std::exception &e) {
        dialogs().error(this, QStringLiteral("Erro"), errorText(e));
    }
}

void TF_Empresa::done(int r)
{
    closeTable(m_table);
    QDialog::done(r);
}

// ---------------------------------------------------------------- TFPortaImpressora

TFPortaImpressora::TFPortaImpressora(data::DatabasePtr db, QWidget *parent) : QDialog(parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("FPortaImpressora"));
    setWindowTitle(QStringLiteral("Porta da Impressora"));
    m_table = new data::Table(m_db, QStringLiteral("tbPortaImpressora.db"), this);
    m_table->setObjectName(QStringLiteral("TabelaPorta"));

    auto *v = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Porta De Comunicação Ex: LPT1, COM1, COM2..."), this);
    auto *porta = new core::DbEdit(this);
    porta->setObjectName(QStringLiteral("DBEditPorta"));
    porta->setMaxLength(255);
    porta->setDataSource(m_table, QStringLiteral("Porta"));
    label->setBuddy(porta);
    v->addWidget(label);
    v->addWidget(porta);

    auto group = [&](const QString &name, const QString &caption, const QString &field, const QString &prefix) {
        auto *g = new core::DbRadioGroup(caption, this);
        g->setObjectName(name);
        g->setItems({QStringLiteral("Sim"), QStringLiteral("Não")}, {QStringLiteral("S"), QStringLiteral("N")});
        g->button(0)->setObjectName(prefix + QStringLiteral("Sim"));
        g->button(1)->setObjectName(prefix + QStringLiteral("Nao"));
        g->setDataSource(m_table, field);
        v->addWidget(g);
    };
    group(QStringLiteral("DBRadioGroupImprimir"),
          QStringLiteral("Imprimir Cupom Não fiscal  Automatico ao fechar a venda?"), QStringLiteral("Imprimir"),
          QStringLiteral("rbImprimir"));
    group(QStringLiteral("DBRadioGroupDaruma"), QStringLiteral("Daruma DR700 ou DR600 Acionar Guilhotina ?"),
          QStringLiteral("Daruma"), QStringLiteral("rbDaruma"));

    auto *row = new QHBoxLayout;
    m_salvar = new QPushButton(QStringLiteral("Salvar"), this);
    m_salvar->setObjectName(QStringLiteral("btnSalvar"));
    m_salvar->setAutoDefault(false);
    m_salvar->setEnabled(false);
    row->addStretch(1);
    row->addWidget(m_salvar);
    v->addLayout(row);
    connect(m_salvar, &QPushButton::clicked, this, &TFPortaImpressora::btnSalvarClick);
    connect(m_table, &data::Dataset::stateChanged, this, [this] { m_salvar->setEnabled(isEditing(m_table)); });
    core::EnterMovesFocus::install(this);

    try {
        m_table->open();
        m_table->first();
        m_ready = true;
    } catch (const std::exception &e) {
        dialogs().error(this, QStringLiteral("Erro"), errorText(e));
    }
}

TFPortaImpressora::~TFPortaImpressora() = default;

void TFPortaImpressora::btnSalvarClick()
{
    if (!m_table || !isEditing(m_table))
        return;
    try {
        m_table->post();
    } catch (const std::exception &e) {
        dialogs().error(this, QStringLiteral("Erro"), errorText(e));
    }
    m_salvar->setEnabled(isEditing(m_table));
}

void TFPortaImpressora::done(int r)
{
    closeTable(m_table);
    QDialog::done(r);
}

// ---------------------------------------------------------------- TConfigs

TConfigs::TConfigs(data::DatabasePtr db, QWidget *parent) : QDialog(parent), m_db(std::move(db))
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
    m_desconto = edit(page, QStringLiteral("DBEditDesconto"), 0);
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
    m_salvar = new QPushButton(QStringLiteral("&Salvar"), this);
    m_salvar->setObjectName(QStringLiteral("btnSalvar"));
    m_salvar->setAutoDefault(false);
    m_salvar->setEnabled(false);
    row->addStretch(1);
    row->addWidget(m_salvar);
    v->addLayout(row);
    connect(m_salvar, &QPushButton::clicked, this, &TConfigs::btnSalvarClick);
    core::EnterMovesFocus::install(this);

    try {
        m_table = new data::Table(m_db, QStringLiteral("configExt.db"), this);
        m_table->setObjectName(QStringLiteral("TabelaConfig"));
        connect(m_table, &data::Dataset::stateChanged, this,
                [this] { m_salvar->setEnabled(isEditing(m_table)); });
        m_table->open();
        m_table->first();
        load();
        m_ready = true;
    } catch (const std::exception &e) {
        dialogs().error(this, QStringLiteral("Erro"), errorText(e));
    }
    // Typing starts editing the row; the number is checked when saving.
    connect(m_desconto, &QLineEdit::textEdited, this, [this] {
        if (!m_table || isEditing(m_table))
            return;
        try {
            if (m_table->isEmpty())
                m_table->append();
            else
                m_table->edit();
        } catch (const std::exception &e) {
            dialogs().error(this, QStringLiteral("Erro"), errorText(e));
        }
    });
}

TConfigs::~TConfigs() = default;

void TConfigs::load()
{
    if (!m_table || !m_table->isOpen() || m_table->isEmpty() || m_table->isNull(QStringLiteral("Desconto")))
        m_desconto->clear();
    else
        m_desconto->setText(core::shortNumber(m_table->asFloat(QStringLiteral("Desconto"))));
}

void TConfigs::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_desconto->setFocus();
    m_desconto->selectAll();
}

void TConfigs::btnSalvarClick()
{
    if (!m_table || !isEditing(m_table))
        return;
    const QString text = m_desconto->text().trimmed();
    QVariant value;
    if (!text.isEmpty()) {
        QString why;
        const std::optional<double> n = core::parseNumber(text, &why);
        if (!n) {
            dialogs().error(this, QStringLiteral("Erro"),
                            why.isEmpty() ? QStringLiteral("'%1' não é um valor válido").arg(text) : why);
            m_desconto->setFocus();
            return;
        }
        if (*n < 0 || *n > 100) {
            dialogs().error(this, QStringLiteral("Erro"),
                            QStringLiteral("O desconto máximo deve estar entre 0 e 100%."));
            m_desconto->setFocus();
            return;
        }
        value = *n;
    }
    try {
        m_table->setValue(QStringLiteral("Desconto"), value);
        m_table->post();
    } catch (const std::exception &e) {
        dialogs().error(this, QStringLiteral("Erro"), errorText(e));
        return;
    }
    load();
}

void TConfigs::done(int r)
{
    closeTable(m_table);
    QDialog::done(r);
}

} // namespace brelvo::app
