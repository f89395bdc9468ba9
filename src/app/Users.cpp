#include "app/Users.h"

#include "core/Widgets.h"
#include "core/DataControls.h"
#include "app/Passwords.h"
#include "core/DialogService.h"
#include "core/Format.h"

#include <QCheckBox>
#include <QDate>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace brelvo::app {

using core::dialogs;

namespace {
const Qt::WindowFlags kNoCloseBox = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

QLineEdit *makeEdit(QWidget *parent, const QString &name, int maxLength)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

// Row of `table` whose LOGIN is exactly `login` (no pattern, letter case
// counts); false when there is none.
bool findLogin(data::Table &table, const QString &login)
{
    for (table.first(); !table.eof(); table.next())
        if (table.asString(QStringLiteral("LOGIN")) == login)
            return true;
    return false;
}
} // namespace

// ---------------------------------------------------------------- TFUsuarios

TFUsuarios::TFUsuarios(data::DatabasePtr db, QWidget *parent)
    : RecordWindow(parent, kNoCloseBox), m_db(std::move(db))
{
    setObjectName(QStringLiteral("FUsuarios"));
    setWindowTitle(QStringLiteral("Cadastro de Usuários..."));
    m_table = new data::Table(m_db, QStringLiteral("USUARIOS.DB"), this);
    m_table->setObjectName(QStringLiteral("TabelaUsuarios"));

    auto bound = [this](const QString &field, int maxLength, core::CharCase c, bool readOnly) {
        auto *e = new core::DbEdit(this);
        e->setObjectName(QStringLiteral("DBEdit") + field);
        if (maxLength > 0)
            e->setMaxLength(maxLength);
        e->setCharCase(c);
        if (readOnly) {
            e->setReadOnly(true);
            e->setFocusPolicy(Qt::NoFocus);
        }
        e->setDataSource(m_table, field);
        return e;
    };
    auto *v = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_id = bound(QStringLiteral("ID"), 0, core::CharCase::Normal, true);
    m_dtInc = bound(QStringLiteral("DT_INC"), 0, core::CharCase::Normal, true);
    m_dtAlt = bound(QStringLiteral("DT_ALT"), 0, core::CharCase::Normal, true);
    m_nome = bound(QStringLiteral("NOME"), 30, core::CharCase::Upper, false);
    m_login = bound(QStringLiteral("LOGIN"), 15, core::CharCase::Upper, false);
    // The password is never shown: typing here sets a new one when saving.
    m_senha = makeEdit(this, QStringLiteral("DBEditSENHA"), 15);
    m_senha->setEchoMode(QLineEdit::Password);
    core::setTypingCase(m_senha, core::CharCase::Lower);
    form->addRow(QStringLiteral("ID-Código:"), m_id);
    form->addRow(QStringLiteral("Dt. Inclusão:"), m_dtInc);
    form->addRow(QStringLiteral("Dt. Alteração:"), m_dtAlt);
    form->addRow(QStringLiteral("Nome:"), m_nome);
    form->addRow(QStringLiteral("Login:"), m_login);
    form->addRow(QStringLiteral("Senha:"), m_senha);
    v->addLayout(form);

    auto *bloq = new core::DbCheckBox(QStringLiteral("Bloqueado"), this);
    bloq->setObjectName(QStringLiteral("DBCheckBoxSTATUS"));
    bloq->setValueChecked(QStringLiteral("N"));
    bloq->setValueUnchecked(QStringLiteral("S"));
    bloq->setDataSource(m_table, QStringLiteral("STATUS"));
    m_bloqueado = bloq;
    v->addWidget(m_bloqueado);
    auto *admin = new core::DbRadioGroup(QStringLiteral("Administrador"), this);
    admin->setObjectName(QStringLiteral("DBRadioGroupADMIN"));
    admin->setItems({QStringLiteral("SIM"), QStringLiteral("NÃO")}, {QStringLiteral("S"), QStringLiteral("N")});
    admin->button(0)->setObjectName(QStringLiteral("rbAdminSim"));
    admin->button(1)->setObjectName(QStringLiteral("rbAdminNao"));
    admin->setDataSource(m_table, QStringLiteral("ADMIN"));
    m_admin = admin;
    v->addWidget(m_admin);
    m_aviso = new QLabel(QStringLiteral("Esse Usuario não pode ser deletado Administrador Padrão!"), this);
    m_aviso->setObjectName(QStringLiteral("LabelAdminPadrao"));
    m_aviso->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    m_aviso->hide();
    v->addWidget(m_aviso);

    auto *nav = new QHBoxLayout;
    m_prior = new QPushButton(QStringLiteral("<"), this);
    m_prior->setObjectName(QStringLiteral("btnPrior"));
    m_prior->setToolTip(QStringLiteral("Anterior"));
    m_next = new QPushButton(QStringLiteral(">"), this);
    m_next->setObjectName(QStringLiteral("btnNext"));
    m_next->setToolTip(QStringLiteral("Próximo"));
    nav->addWidget(m_prior);
    nav->addWidget(m_next);
    nav->addStretch(1);
    v->addLayout(nav);

    auto *row = new QHBoxLayout;
    m_novo = makeButton(QStringLiteral("btnNovo"), QStringLiteral("Novo"));
    m_gravar = makeButton(QStringLiteral("btnGravar"), QStringLiteral("Gravar"));
    m_gravar->setEnabled(false);
    m_excluir = makeButton(QStringLiteral("btnExcluir"), QStringLiteral("Excluir"));
    m_sair = makeButton(QStringLiteral("btnSair"), QStringLiteral("&SAIR"));
    for (QPushButton *b : {m_prior, m_next, m_novo, m_gravar, m_excluir, m_sair}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    v->addLayout(row);

    connect(m_novo, &QPushButton::clicked, this, &TFUsuarios::btnNovoClick);
    connect(m_gravar, &QPushButton::clicked, this, &TFUsuarios::btnGravarClick);
    connect(m_excluir, &QPushButton::clicked, this, &TFUsuarios::btnExcluirClick);
    connect(m_sair, &QPushButton::clicked, this, &TFUsuarios::btnSairClick);
    connect(m_prior, &QPushButton::clicked, this, [this] { moveBy(-1); });
    connect(m_next, &QPushButton::clicked, this, [this] { moveBy(1); });

    // A new row: ordinary, active user created today. An edit: changed today.
    connect(m_table, &data::Table::afterInsert, this, [this] {
        m_table->setValue(QStringLiteral("ADMIN"), QStringLiteral("N"));
        m_table->setValue(QStringLiteral("STATUS"), QStringLiteral("S"));
        m_table->setValue(QStringLiteral("DT_INC"), QDate::currentDate());
    });
    connect(m_table, &data::Table::afterEdit, this,
            [this] { m_table->setValue(QStringLiteral("DT_ALT"), QDate::currentDate()); });
    connect(m_table, &data::Dataset::stateChanged, this, [this] {
        if (editing())
            m_gravar->setEnabled(true);
    });
    connect(m_senha, &QLineEdit::textEdited, this, [this] {
        guarded([&] {
            if (!editing())
                m_table->edit();
            m_passwordTyped = true;
        });
    });
    // A move clears the password box: passwords are never shown.
    connect(m_table, &data::Dataset::afterScroll, this, [this] {
        m_senha->clear();
        m_passwordTyped = false;
        applyAdminRule();
    });
    for (auto sig : {&data::Table::afterInsert, &data::Table::afterPost, &data::Table::afterDelete,
                     &data::Table::afterCancel})
        connect(m_table, sig, this, &TFUsuarios::applyAdminRule);

    m_ready = guarded([&] {
        m_db->addPassword(QString::fromLatin1(kUsersTablePassword));
        m_table->open();
        m_table->first();
    });
    setMainTable(m_table);
    applyAdminRule();
}

TFUsuarios::~TFUsuarios() = default;

void TFUsuarios::clearPassword()
{
    m_senha->clear();
    m_passwordTyped = false;
}

void TFUsuarios::applyAdminRule()
{
    const bool builtIn = m_login->text() == QLatin1String("KOV");
    m_login->setEnabled(!builtIn);
    m_excluir->setEnabled(!builtIn);
    m_bloqueado->setVisible(!builtIn);
    m_admin->setVisible(!builtIn);
    m_aviso->setVisible(builtIn);
}

void TFUsuarios::btnNovoClick()
{
    if (!m_table || !m_table->isOpen() || !commitPending())
        return;
    if (!guarded([&] { m_table->append(); }))
        return;
    clearPassword();
    m_gravar->setEnabled(true);
    applyAdminRule();
    m_nome->setFocus();
}

bool TFUsuarios::saveRecord()
{
    if (!editing()) {
        m_gravar->setEnabled(false);
        return true;
    }
    const QString login = m_table->asString(QStringLiteral("LOGIN")).trimmed();
    if (login.isEmpty()) {
        dialogs().warning(this, QStringLiteral("Atenção"), QStringLiteral("Informe o login do usuário."));
        m_login->setFocus();
        return false;
    }
    // Another row with the same login (in any letter case) would lock one of them out.
    bool taken = false;
    const QVariant id = m_table->value(QStringLiteral("ID"));
    if (!guarded([&] {
            data::Table others(m_db, QStringLiteral("USUARIOS.DB"));
            others.open();
            for (others.first(); !others.eof() && !taken; others.next())
                taken = others.value(QStringLiteral("ID")) != id
                    && core::upper(others.asString(QStringLiteral("LOGIN")).trimmed()) == core::upper(login);
        }))
        return false;
    if (taken) {
        dialogs().warning(this, QStringLiteral("Atenção"),
                          QStringLiteral("Já existe um usuário com o login \"%1\".").arg(login));
        m_login->setFocus();
        return false;
    }
    const bool ok = guarded([&] {
        // The built-in administrator stays active and an administrator.
        if (m_table->asString(QStringLiteral("LOGIN")) == QLatin1String("KOV")
            && m_table->oldValue(QStringLiteral("LOGIN")).toString() == QLatin1String("KOV")) {
            m_table->setValue(QStringLiteral("STATUS"), QStringLiteral("S"));
            m_table->setValue(QStringLiteral("ADMIN"), QStringLiteral("S"));
        }
        const QString password = m_senha->text();
        const bool typed = m_passwordTyped;
        m_table->post();
        if (typed)
            storeUserPassword(m_db, m_table->asInteger(QStringLiteral("ID")), password);
    });
    if (!ok)
        return false;
    clearPassword();
    m_gravar->setEnabled(false);
    applyAdminRule();
    return true;
}

void TFUsuarios::discardRecord()
{
    RecordWindow::discardRecord();
    clearPassword();
    m_gravar->setEnabled(editing());
    applyAdminRule();
}

void TFUsuarios::btnGravarClick()
{
    if (m_table)
        saveRecord();
}

void TFUsuarios::btnExcluirClick()
{
    if (!m_table || m_table->isEmpty() || m_login->text() == QLatin1String("KOV"))
        return;
    if (dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    guarded([&] {
        if (m_table->state() == data::Dataset::State::Insert) {
            m_table->cancel();
        } else {
            if (editing())
                m_table->cancel();
            m_table->remove();
        }
        m_gravar->setEnabled(false);
        clearPassword();
    });
    applyAdminRule();
}

void TFUsuarios::moveBy(int step)
{
    if (!m_table || !commitPending())
        return;
    guarded([&] {
        if (step < 0)
            m_table->prior();
        else
            m_table->next();
    });
    applyAdminRule();
}

void TFUsuarios::btnSairClick()
{
    accept();
}

// ---------------------------------------------------------------- TFAlteraSenha

TFAlteraSenha::TFAlteraSenha(data::DatabasePtr db, const QString &loginName, QWidget *parent)
    : RecordWindow(parent, kNoCloseBox), m_db(std::move(db)), m_loginName(loginName)
{
    setObjectName(QStringLiteral("FAlteraSenha"));
    setWindowTitle(QStringLiteral("Alteração de Senha"));
    auto *v = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_atual = makeEdit(this, QStringLiteral("edtSenhaAtual"), 15);
    m_nova = makeEdit(this, QStringLiteral("edtNovaSenha"), 15);
    m_repetir = makeEdit(this, QStringLiteral("edtRepetirSenha"), 15);
    for (QLineEdit *e : {m_atual, m_nova, m_repetir}) {
        e->setEchoMode(QLineEdit::Password);
        core::setTypingCase(e, core::CharCase::Lower);
    }
    form->addRow(QStringLiteral("Senha Atual :"), m_atual);
    form->addRow(QStringLiteral("Nova Senha :"), m_nova);
    form->addRow(QStringLiteral("Repetir Nova Senha :"), m_repetir);
    v->addLayout(form);
    auto *row = new QHBoxLayout;
    m_ok = makeButton(QStringLiteral("btnOK"), QStringLiteral("&OK"));
    m_cancel = makeButton(QStringLiteral("btnCancelar"), QStringLiteral("&Cancelar"));
    row->addStretch(1);
    for (QPushButton *b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    v->addLayout(row);
    connect(m_ok, &QPushButton::clicked, this, &TFAlteraSenha::btnOKClick);
    // "&Cancelar" leaves without applying what was typed.
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        discardRecord();
        reject();
    });

    m_table = new data::Table(m_db, QStringLiteral("USUARIOS.DB"), this);
    m_ready = guarded([&] {
        m_db->addPassword(QString::fromLatin1(kUsersTablePassword));
        m_table->open();
    });
    closeWithWindow(m_table);
    m_atual->setFocus();
}

TFAlteraSenha::~TFAlteraSenha() = default;

bool TFAlteraSenha::hasPendingChanges() const
{
    return !m_atual->text().isEmpty() || !m_nova->text().isEmpty() || !m_repetir->text().isEmpty();
}

void TFAlteraSenha::discardRecord()
{
    m_atual->clear();
    m_nova->clear();
    m_repetir->clear();
}

bool TFAlteraSenha::saveRecord()
{
    if (!m_table || !m_table->isOpen())
        return false;
    qint64 id = 0;
    QString hash;
    bool found = false;
    if (!guarded([&] {
            // Exactly this login: no pattern, so "*" or "?" in a name match only themselves.
            found = findLogin(*m_table, m_loginName);
            if (found) {
                id = m_table->asInteger(QStringLiteral("ID"));
                hash = storedUserHash(m_db, id);
            }
        }))
        return false;
    const QString typed = m_atual->text();
    const bool matches = found && (hash.isEmpty() ? typed.isEmpty() : verifyPassword(hash, typed));
    if (!matches) {
        dialogs().error(this, QStringLiteral("Erro"), QStringLiteral("Senha Atual Incorreta"));
        m_atual->setFocus();
        return false;
    }
    if (m_nova->text() != m_repetir->text()) {
        dialogs().error(this, QStringLiteral("Erro"), QStringLiteral("A Nova Senha não confere com Repetir Nova Senha!"));
        m_nova->setFocus();
        return false;
    }
    if (!guarded([&] { storeUserPassword(m_db, id, m_nova->text()); }))
        return false;
    discardRecord();
    return true;
}

void TFAlteraSenha::btnOKClick()
{
    if (!saveRecord())
        return;
    dialogs().information(this, QStringLiteral("Confiração"), QStringLiteral("Senha Alterada com Sucesso!"));
    accept();
}

} // namespace brelvo::app
