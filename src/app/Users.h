#pragma once
// The users window and the password-change window.

#include "core/RecordWindow.h"
#include "data/Dataset.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace brelvo::app {

class TFUsuarios : public core::RecordWindow {
    Q_OBJECT
public:
    TFUsuarios(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFUsuarios() override;
    bool isReady() const { return m_ready; }
    data::Table *table() const { return m_table; }

    // The built-in-administrator rule on the current row.
    void applyAdminRule();

    void btnNovoClick();
    void btnGravarClick();
    void btnExcluirClick();
    void btnSairClick();
    void moveBy(int step);

    // Stores the row and a typed password. A login that is empty or already
    // another user's (in any letter case) is refused with a message.
    bool saveRecord() override;
    void discardRecord() override;

private:
    void clearPassword();

    data::DatabasePtr m_db;
    data::Table *m_table = nullptr;
    bool m_ready = false;
    bool m_passwordTyped = false;
    QLineEdit *m_id, *m_dtInc, *m_dtAlt, *m_nome, *m_login, *m_senha;
    QCheckBox *m_bloqueado;
    QGroupBox *m_admin;
    QLabel *m_aviso;
    QPushButton *m_novo, *m_gravar, *m_excluir, *m_sair, *m_prior, *m_next;
};

class TFAlteraSenha : public core::RecordWindow {
    Q_OBJECT
public:
    // loginName: the name the user logged in with.
    TFAlteraSenha(data::DatabasePtr db, const QString &loginName, QWidget *parent = nullptr);
    ~TFAlteraSenha() override;
    bool isReady() const { return m_ready; }

    void btnOKClick();

    // Something typed in the three boxes is pending until it is applied.
    bool hasPendingChanges() const override;
    // Checks the current password (of exactly the logged-in login) and stores the new one.
    bool saveRecord() override;
    void discardRecord() override;

private:
    data::DatabasePtr m_db;
    QString m_loginName;
    data::Table *m_table = nullptr;
    bool m_ready = false;
    QLineEdit *m_atual, *m_nova, *m_repetir;
    QPushButton *m_ok, *m_cancel;
};

} // namespace brelvo::app
