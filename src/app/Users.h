#pragma once
// The users window and the password-change window.

#include "data/Dataset.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace brelvo::app {

class TFUsuarios : public QDialog {
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

protected:
    void done(int r) override;

private:
    bool saveRow();
    void showError(const std::exception &e);

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

class TFAlteraSenha : public QDialog {
    Q_OBJECT
public:
    // loginName: the name the user logged in with.
    TFAlteraSenha(data::DatabasePtr db, const QString &loginName, QWidget *parent = nullptr);
    ~TFAlteraSenha() override;
    bool isReady() const { return m_ready; }

    void btnOKClick();

protected:
    void done(int r) override;

private:
    data::DatabasePtr m_db;
    QString m_loginName;
    data::Table *m_table = nullptr;
    bool m_ready = false;
    QLineEdit *m_atual, *m_nova, *m_repetir;
    QPushButton *m_ok, *m_cancel;
};

} // namespace brelvo::app
