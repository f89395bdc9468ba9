#include "app/Users.h"

#include "core/Widgets.h"
#include "core/DataControls.h"
#include "app/Passwords.h"
#include "core/DialogService.h"

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

QString errorText(const std::exception &e)
{
    if (auto *db = dynamic_cast<const data::DbError *>(&e))
        return db->message();
    return QString::fromLocal8Bit(e.what());
}

QLineEdit *makeEdit(QWidget *parent, const QString &name, int maxLength)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

bool isEditing(const data::Table *t)
{
    return t->state() == data::Dataset::State::Edit || t->state() == data::Dataset::State::Insert;
}
} // namespace

// ---------------------------------------------------------------- TFUsuarios

TFUsuarios::TFUsuarios(data::DatabasePtr db, QWidget *parent)
    : QDialog(parent, kNoCloseBox), m_db(std::move(db))
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
    m_novo = new QPushButton(QStringLiteral("Novo"), this);
    m_novo->setObjectName(QStringLiteral("btnNovo"));
    m_gravar = new QPushButton(QStringLiteral("Gravar"), this);
    m_gravar->setObjectName(QStringLiteral("btnGravar"));
    m_gravar->setEnabled(false);
    m_excluir = new QPushButton(QStringLiteral("Excluir"), this);
    m_excluir->setObjectName(QStringLiteral("btnExcluir"));
    m_sair = new QPushButton(QStringLiteral("&SAIR"), this);
    m_sair->setObjectName(QStringLiteral("btnSair"));
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
        if (isEditing(m_table))
            m_gravar->setEnabled(true);
    });
    connect(m_senha, &QLineEdit::textEdited, this, [this] {
        try {
            if (!isEditing(m_table))
                m_table->edit();
            m_passwordTyped = true;
        } catch (const std::exception &e) {
            showError(e);
        }
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
    core::EnterMovesFocus::install(this);

    try {
        m_db->addPassword(QString::fromLatin1(kUsersTablePassword));
        m_table->open();
        m_table->first();
        m_ready = true;
    } catch (const std::exception &e) {
        showError(e);
    }
    applyAdminRule();
}

TFUsuarios::~TFUsuarios() = default;

void TFUsuarios::showError(const std::exception &e)
{
    dialogs().error(this, QStringLiteral("Erro"), errorText(e));
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
    if (!m_table)
        return;
    try {
        if (isEditing(m_table) && !saveRow())
            return;
        m_table->append();
        m_senha->clear();
        m_passwordTyped = false;
        m_gravar->setEnabled(true);
        applyAdminRule();
        m_nome->setFocus();
    } catch (const std::exception &e) {
        showError(e);
    }
}

bool TFUsuarios::saveRow()
{
    try {
        if (isEditing(m_table)) {
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
        }
        m_senha->clear();
        m_passwordTyped = false;
        m_gravar->setEnabled(false);
        applyAdminRule();
        return true;
    } catch (const std::exception &e) {
        showError(e);
        return false;
    }
}

void TFUsuarios::btnGravarClick()
{
    if (m_table)
        saveRow();
}

void TFUsuarios::btnExcluirClick()
{
    if (!m_table || m_table->isEmpty() || m_login->text() == QLatin1String("KOV"))
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
            m_table->remove();
        }
        m_gravar->setEnabled(false);
        m_senha->clear();
        m_passwordTyped = false;
    } catch (const std::exception &e) {
        showError(e);
    }
    applyAdminRule();
}

void TFUsuarios::moveBy(int step)
{
    if (!m_table)
        return;
    if (isEditing(m_table) && !saveRow())
        return;
    try {
        if (step < 0)
            m_table->prior();
        else
            m_table->next();
    } catch (const std::exception &e) {
        showError(e);
    }
    applyAdminRule();
}

void TFUsuarios::btnSairClick()
{
    accept();
}

void TFUsuarios::done(int r)
{
    if (m_table) {
        try {
            if (isEditing(m_table))
                m_table->cancel();
            m_table->close();
        } catch (const std::exception &) {
        }
    }
    QDialog::done(r);
}

// ---------------------------------------------------------------- TFAlteraSenha

TFAlteraSenha::TFAlteraSenha(data::DatabasePtr db, const QString &loginName, QWidget *parent)
    : QDialog(parent, kNoCloseBox), m_db(std::move(db)), m_loginName(loginName)
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
    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancelar"));
    row->addStretch(1);
    for (QPushButton *b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    v->addLayout(row);
    connect(m_ok, &QPushButton::clicked, this, &TFAlteraSenha::btnOKClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    core::EnterMovesFocus::install(this);

    try {
        m_db->addPassword(QString::fromLatin1(kUsersTablePassword));
        m_table = new data::Table(m_db, QStringLiteral("USUARIOS.DB"), this);
        m_table->open();
        m_ready = true;
    } catch (const std::exception &e) {
        dialogs().error(this, QStringLiteral("Erro"), errorText(e));
    }
    m_atual->setFocus();
}

TFAlteraSenha::~TFAlteraSenha() = default;

void TFAlteraSenha::btnOKClick()
{
    if (!m_table)
        return;
    try {
        m_table->setFilter(QStringLiteral("LOGIN = ") + data::Table::quoted(m_loginName));
        m_table->setFiltered(true);
        m_table->first();
        qint64 id = 0;
        QString hash;
        if (!m_table->isEmpty()) {
            id = m_table->asInteger(QStringLiteral("ID"));
            hash = storedUserHash(m_db, id);
        }
        const QString typed = m_atual->text();
        const bool matches = !m_table->isEmpty()
            && (hash.isEmpty() ? typed.isEmpty() : verifyPassword(hash, typed));
        if (!matches) {
            dialogs().error(this, QStringLiteral("Erro"), QStringLiteral("Senha Atual Incorreta"));
            m_atual->setFocus();
            return;
        }
        if (m_nova->text() != m_repetir->text()) {
            dialogs().error(this, QStringLiteral("Erro"),
                            QStringLiteral("A Nova Senha não confere com Repetir Nova Senha!"));
            m_nova->setFocus();
            return;
        }
        storeUserPassword(m_db, id, m_nova->text());
    } catch (const std::exception &e) {
        dialogs().error(this, QStringLiteral("Erro"), errorText(e));
        return;
    }
    dialogs().information(this, QStringLiteral("Confiração"), QStringLiteral("Senha Alterada com Sucesso!"));
    accept();
}

void TFAlteraSenha::done(int r)
{
    if (m_table) {
        try {
            m_table->close();
        } catch (const std::exception &) {
        }
    }
    m_atual->clear();
    m_nova->clear();
    m_repetir->clear();
    QDialog::done(r);
}

} // namespace brelvo::app
