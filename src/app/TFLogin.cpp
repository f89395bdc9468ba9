#include "app/TFLogin.h"

#include "core/Widgets.h"
#include "app/Passwords.h"
#include "app/TFormMenu.h"
#include "core/DialogService.h"
#include "data/Dataset.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brelvo::app {

using core::dialogs;

void LoginCombo::showPopup()
{
    Q_EMIT aboutToPopup();
    QComboBox::showPopup();
}

TFLogin::TFLogin(TFormMenu *menu)
    : QDialog(menu, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_menu(menu)
{
    setObjectName(QStringLiteral("FLogin"));
    setWindowTitle(QStringLiteral("Login do Sistema"));
    setModal(true);

    auto *v = new QVBoxLayout(this);
    v->addWidget(core::heading(this, QStringLiteral("Label1"), QStringLiteral("Logando no Sistema..."), 1.2));

    auto *grid = new QGridLayout;
    auto *lNome = new QLabel(QStringLiteral("Usuário :"), this);
    auto *lSenha = new QLabel(QStringLiteral("Senha :"), this);
    m_nome = new LoginCombo(this);
    m_nome->setObjectName(QStringLiteral("ValorNome"));
    m_nome->setEditable(true);
    m_nome->setInsertPolicy(QComboBox::NoInsert);
    m_nome->lineEdit()->setMaxLength(15);
    core::setTypingCase(m_nome->lineEdit(), core::CharCase::Upper);
    m_nome->setMinimumWidth(220);
    m_senha = new QLineEdit(this);
    m_senha->setObjectName(QStringLiteral("ValorSenha"));
    m_senha->setEchoMode(QLineEdit::Password);
    m_senha->setMaxLength(15);
    core::setTypingCase(m_senha, core::CharCase::Lower);
    m_senha->setToolTip(QStringLiteral("Digite a sua senha ... Senha padrão e login é: KOV"));
    lNome->setBuddy(m_nome);
    lSenha->setBuddy(m_senha);
    grid->addWidget(lNome, 0, 0);
    grid->addWidget(m_nome, 0, 1);
    grid->addWidget(lSenha, 1, 0);
    grid->addWidget(m_senha, 1, 1);
    v->addLayout(grid);

    auto *row = new QHBoxLayout;
    m_btnOk = new QPushButton(QStringLiteral("OK"), this);
    m_btnOk->setObjectName(QStringLiteral("Button1"));
    m_cancel = new QPushButton(QStringLiteral("Cancelar"), this);
    m_cancel->setObjectName(QStringLiteral("Button2"));
    // Enter on a focused button presses it; in the boxes Enter only moves on.
    for (QPushButton *b : {m_btnOk, m_cancel}) {
        b->setAutoDefault(true);
        b->setDefault(false);
    }
    row->addStretch(1);
    row->addWidget(m_btnOk);
    row->addWidget(m_cancel);
    v->addLayout(row);

    setTabOrder(m_nome, m_senha);
    setTabOrder(m_senha, m_btnOk);
    setTabOrder(m_btnOk, m_cancel);

    m_nome->installEventFilter(this);
    m_nome->lineEdit()->installEventFilter(this);
    m_senha->installEventFilter(this);
    connect(m_nome, &LoginCombo::aboutToPopup, this, &TFLogin::fillNames);
    connect(m_btnOk, &QPushButton::clicked, this, &TFLogin::Button1Click);
    connect(m_cancel, &QPushButton::clicked, this, &TFLogin::Button2Click);

    try {
        menu->database()->addPassword(QString::fromLatin1(kUsersTablePassword));
    } catch (const std::exception &) {
    }
}

void TFLogin::prepare()
{
    m_menu->database()->addPassword(QString::fromLatin1(kUsersTablePassword));
    m_okFlag = false;
    m_leaving = false;
    m_nome->setEditText(QString());
    m_senha->clear();
    m_nome->setFocus();
}

void TFLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_nome->setFocus();
}

void TFLogin::fillNames()
{
    if (m_namesFilled)
        return;
    m_namesFilled = true;
    try {
        m_menu->database()->addPassword(QString::fromLatin1(kUsersTablePassword));
        data::Query q(m_menu->database());
        q.setObjectName(QStringLiteral("QLogin"));
        q.setSql(QStringLiteral("SELECT Login FROM USUARIOS"));
        q.open();
        const QString typed = m_nome->currentText();
        for (q.first(); !q.eof(); q.next())
            m_nome->addItem(q.asString(QStringLiteral("Login")));
        m_nome->setEditText(typed);
    } catch (const data::DbError &e) {
        dialogs().error(this, QStringLiteral("Erro"), e.message());
    }
}

void TFLogin::Button1Click()
{
    const data::DatabasePtr db = m_menu->database();
    const QString name = m_nome->currentText();
    const QString pass = m_senha->text();
    try {
        db->addPassword(QString::fromLatin1(kUsersTablePassword));
        if (name.isEmpty() || pass.isEmpty())
            return;
        m_loginName = name;

        // Every row with this login whose password matches exactly.
        data::Query q(db);
        q.setSql(QStringLiteral(" SELECT ID, LOGIN, STATUS, SenhaHash FROM USUARIOS WHERE Login = :vNome"));
        q.setParam(QStringLiteral("vNome"), name);
        q.open();
        QList<qint64> matches;
        QStringList status;
        for (q.first(); !q.eof(); q.next()) {
            // Exact comparison: case and trailing characters count.
            if (q.asString(QStringLiteral("LOGIN")) == name
                && verifyPassword(q.asString(QStringLiteral("SenhaHash")), pass)) {
                matches << q.asInteger(QStringLiteral("ID"));
                status << q.asString(QStringLiteral("STATUS"));
            }
        }
        if (matches.size() != 1) {
            dialogs().error(this, QStringLiteral("Login não autorizado"),
                            QStringLiteral("Nome ou senha do usuário inválidos.\n\nSe você esqueceu sua senha, "
                                           "consulte\no administrador do sistema."));
            m_senha->clear();
            m_nome->setFocus();
            return;
        }
        if (status.first() != QLatin1String("S")) {
            dialogs().error(this, QStringLiteral("Login não autorizado"),
                            QStringLiteral("Você foi Bloqueado!\nConsulte o administrador do sistema."));
            return;
        }

        // The menu's login query keeps the matched row.
        data::Query *ql = m_menu->qLogin();
        ql->close();
        ql->setSql(QStringLiteral(" SELECT * FROM USUARIOS WHERE ID = :vId"));
        ql->setParam(QStringLiteral("vId"), matches.first());
        ql->open();
        LoggedUser user;
        user.id = matches.first();
        user.nome = ql->asString(QStringLiteral("NOME"));
        user.login = ql->asString(QStringLiteral("LOGIN"));
        user.admin = ql->asString(QStringLiteral("ADMIN"));
        m_menu->applyLogin(user);
        m_okFlag = true;
    } catch (const data::DbError &e) {
        dialogs().error(this, QStringLiteral("Erro"), e.message());
        return;
    }
    m_leaving = true;
    accept();
    m_menu->VerificaAdmin();
}

void TFLogin::Button2Click()
{
    m_leaving = true;
    QDialog::reject();
    m_menu->endProgram();
}

void TFLogin::reject()
{
    // Esc and the close box: refused until a login succeeded.
    if (m_okFlag)
        QDialog::reject();
}

void TFLogin::closeEvent(QCloseEvent *event)
{
    if (m_okFlag || m_leaving)
        event->accept();
    else
        event->ignore();
}

bool TFLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            if (watched == m_nome || watched == m_nome->lineEdit())
                m_senha->setFocus();
            else if (watched == m_senha)
                m_btnOk->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace brelvo::app
