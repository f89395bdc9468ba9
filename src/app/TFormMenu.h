#pragma once
// The main menu window: menu bar, buttons, function keys, status bar, the
// permission panel and the logo panel.
//
// Wiring a window into the menu (later subsystems), one line each:
//
//     menu->setHandler("mnuCadastroClientes", [menu] { ... open TFormCadastro ... });
//
// setHandler(command, fn) stores fn for the command and enables every control
// bound to it (a command may be reached from a menu item, a button and a key;
// the tooltip "Em desenvolvimento" is dropped). Until then those controls are
// present but disabled. Commands, named after their menu item or button:
//   mnuRelatoriosGerais (also btnRelatorios, F4), mnuComissaoMecanicos,
//   mnuRelatoriosProdutos, mnuMsgOrdemServico, mnuMsgReciboEntrega,
//   mnuGoogleMaps, mnuRastreador, mnuCadastroFuncionarios (also the item of
//   "&Empresa"), mnuRecibo, mnuNotaPromissoria, mnuContasPagar,
//   mnuContasReceber, mnuFluxoEntrada (also btnFluxoCaixa),
//   mnuCadastroClientes (also btnCadastroCliente, F2), mnuCadastroFornecedores
//   (also btnFornecedores, F5), mnuMarcas, mnuMedidas, mnuCategoria,
//   mnuCadastroFuncao, mnuCadastroLubrificantes, mnuCadastrarProdutos,
//   mnuEntradaMercadorias,
//   btnOrdemServico, btnTrocaOleo,
//   frenteCaixa (F3 and "Caixa (F3)" of "&Vendas": run only after the product
//   table was found non-empty; the handler reads the operator from
//   loggedUser().nome), mnuTrocaDevolucoes ("Troca & Devoluções" of "&Vendas";
//   like the till, shown to every user).
// The windows of this library (users, password, settings, logo, permissions,
// backup and the outside programs) are wired by the menu itself.

#include "data/Dataset.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <functional>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace brelvo::app {

class LogoPanel;
class MenuCommands;
class PermissionPanel;
class TFLogin;

struct LoggedUser {
    qint64 id = 0;
    QString nome;
    QString login;
    QString admin;      // "S" administrator, "N" ordinary user
};

class TFormMenu : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMenu(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFormMenu() override;

    data::DatabasePtr database() const { return m_db; }

    // Menu registry (see the header comment).
    void setHandler(const QString &command, std::function<void()> handler);
    bool hasHandler(const QString &command) const;
    // Runs a command's handler; false when none is registered.
    bool runCommand(const QString &command);
    QStringList commands() const;

    // Folder of the executables, with a trailing separator (for the programs
    // the menu starts).
    QString programDir() const { return m_programDir; }
    void setProgramDir(const QString &dir);

    // The logged-in user (valid after a login) and the administrator marker.
    const LoggedUser &loggedUser() const { return m_user; }
    QString labAcesso() const;
    // The login query holding the matched USUARIOS row (other windows read NOME).
    data::Query *qLogin() const { return m_qLogin; }
    TFLogin *loginDialog() const { return m_login; }

    // First activation: product refresh, splash hidden (signal activated),
    // status bar, the login, then the logo.
    void FormActivate();
    // Shows the login dialog until a login succeeds; false if the user gave up.
    bool runLogin();
    // Called by the login dialog on success.
    void applyLogin(const LoggedUser &user);

    void VerificaAdmin();
    void PermissaoAcesso();
    void BackupAuto();
    // True when the permission field ("01".."18") is granted to ordinary users.
    bool permissionGranted(const QString &field) const;
    // The control governed by a permission field (QPushButton or QAction).
    QObject *governedControl(const QString &field) const;
    static QStringList permissionFields();

    // Status-bar panels 0..4.
    QString panelText(int panel) const;
    // Loads a picture into the central image; tells the user when it cannot.
    bool loadLogo(const QString &path);
    bool logoShown() const { return m_logoLoaded; }

    // Actions reachable from keys and buttons.
    void openReports();      // F4 / "&Relatórios (F4)"
    void openSuppliers();    // F5 / "&Fornecedores (F5)"
    void openPointOfSale();  // F3
    void openCustomers();    // F2
    void editMakers();       // "Editar Fabricantes"
    void logoff();           // "Logoff de:"

    // Ends the program without asking (the splash window closes).
    void endProgram();
    bool ending() const { return m_ending; }

Q_SIGNALS:
    void activated();       // the first activation began: stop and hide the splash
    void programEnd();      // the program must end

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildButtons(QWidget *bar);
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption);
    QMenu *addMenu(QWidget *parentMenu, const QString &name, const QString &caption);
    void setControlShown(QObject *control, bool shown);
    bool controlShown(QObject *control) const;
    void updateClock();
    void showPermissionPanel();
    void leavePermissionPanel();
    void openUsers();
    void openPasswordChange();
    void openPrinterPort();
    void openDiscount();
    void openCompany();
    void openAbout();
    void showNoPermission();
    QPixmap designPicture() const;

    data::DatabasePtr m_db;
    QString m_programDir;
    LoggedUser m_user;
    bool m_activatedOnce = false;
    bool m_ending = false;
    bool m_logoLoaded = false;

    data::Table *m_produtos = nullptr;    // tbProdutos.DB
    data::Query *m_qLogin = nullptr;
    TFLogin *m_login = nullptr;

    MenuCommands *m_commands = nullptr;
    QMap<QString, QObject *> m_governed;          // permission field -> control

    QAction *m_logoff = nullptr;
    QLabel *m_labAcesso = nullptr;
    QLabel *m_image = nullptr;
    QLabel *m_panels[5] = {};
    QTimer *m_clock = nullptr;
    PermissionPanel *m_permPanel = nullptr;
    LogoPanel *m_logoPanel = nullptr;
    QPushButton *m_btnRelatorios = nullptr;
    QPushButton *m_btnFornecedores = nullptr;
};

} // namespace brelvo::app
