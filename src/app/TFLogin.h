#pragma once
// The login dialog. It can be left only by a successful login or by
// "Cancelar", which ends the program.

#include <QComboBox>
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace brelvo::app {

class TFormMenu;

// The login name box: filled with the logins the first time it drops down.
class LoginCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
Q_SIGNALS:
    void aboutToPopup();
};

class TFLogin : public QDialog {
    Q_OBJECT
public:
    explicit TFLogin(TFormMenu *menu);

    // Each time it is shown: table password, focus on the name, both boxes empty.
    void prepare();
    bool succeeded() const { return m_okFlag; }
    // The login name as typed in the last "OK".
    QString loginName() const { return m_loginName; }

    // Fills the name list once (first drop-down).
    void fillNames();

    void Button1Click();   // "OK"
    void Button2Click();   // "Cancelar"

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    TFormMenu *m_menu;
    LoginCombo *m_nome;
    QLineEdit *m_senha;
    QPushButton *m_btnOk;
    QPushButton *m_cancel;
    bool m_okFlag = false;
    bool m_namesFilled = false;
    bool m_leaving = false;
    QString m_loginName;
};

} // namespace brelvo::app
