#include "app/TFormMenu.h"

#include "app/MenuCommands.h"
#include "app/MenuPanels.h"

#include "app/Launcher.h"
#include "app/Passwords.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/TAboutBox.h"
#include "app/TFLogin.h"
#include "app/Users.h"
#include "core/AppPaths.h"
#include "core/DialogService.h"
#include "core/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace brelvo::app {

namespace {
// Settings and user windows open modally once their tables could be opened.
template <class Window, class... Args>
void execIfReady(Args &&...args)
{
    Window w(std::forward<Args>(args)...);
    if (w.isReady())
        core::dialogs().exec(&w);
}
} // namespace

using core::dialogs;


TFormMenu::TFormMenu(data::DatabasePtr db, QWidget *parent)
    : QMainWindow(parent), m_db(std::move(db)), m_programDir(app::programDir())
{
    setObjectName(QStringLiteral("FormMenu"));
    setWindowTitle(QStringLiteral("Menu Inicial"));

    auto *central = new QWidget(this);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(6, 6, 6, 6);
    auto *bar = new QWidget(central);
    bar->setObjectName(QStringLiteral("PanelBotoes"));
    outer->addWidget(bar);

    auto *area = new QWidget(central);
    auto *grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    m_image = new QLabel(area);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setMinimumSize(200, 150);
    m_image->setPixmap(designPicture());
    grid->addWidget(m_image, 0, 0);
    outer->addWidget(area, 1);
    setCentralWidget(central);

    m_labAcesso = new QLabel(central);
    m_labAcesso->setObjectName(QStringLiteral("LabAcesso"));
    m_labAcesso->hide();

    m_qLogin = new data::Query(m_db, this);
    m_qLogin->setObjectName(QStringLiteral("QLogin"));

    m_commands = new MenuCommands(this);
    m_commands->addUnboundCommand(QStringLiteral("frenteCaixa"));
    buildMenus();
    buildButtons(bar);
    m_permPanel = new PermissionPanel(m_db, central);
    connect(m_permPanel, &PermissionPanel::saved, this, &TFormMenu::PermissaoAcesso);
    connect(m_permPanel, &PermissionPanel::left, this, &TFormMenu::leavePermissionPanel);
    m_logoPanel = new LogoPanel(m_db, [this](const QString &path) { return loadLogo(path); }, central);
    grid->addWidget(m_permPanel, 0, 0, Qt::AlignCenter);
    grid->addWidget(m_logoPanel, 0, 0, Qt::AlignCenter);

    // Status bar: clock, long date, (unused), version, user.
    auto *sb = new QStatusBar(this);
    sb->setObjectName(QStringLiteral("StatusBar1"));
    sb->setSizeGripEnabled(false);
    const int widths[5] = {90, 320, 60, 200, 0};
    for (int i = 0; i < 5; ++i) {
        m_panels[i] = new QLabel(sb);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        if (widths[i] > 0)
            m_panels[i]->setMinimumWidth(widths[i]);
        sb->addWidget(m_panels[i], widths[i] > 0 ? 0 : 1);
    }
    setStatusBar(sb);
    m_panels[3]->setText(QStringLiteral("Versão 2019 - %1.%2.%3.%4")
                             .arg(BRELVO_VERSION_MAJOR)
                             .arg(BRELVO_VERSION_MINOR)
                             .arg(BRELVO_VERSION_PATCH)
                             .arg(BRELVO_VERSION_BUILD));

    m_clock = new QTimer(this);
    m_clock->setObjectName(QStringLiteral("Timer1"));
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &TFormMenu::updateClock);

    // Held for the window's life: the point of sale needs a product first.
    m_produtos = new data::Table(m_db, QStringLiteral("tbProdutos.DB"), this);
    m_produtos->setObjectName(QStringLiteral("TabelaProdutos"));
    core::guarded(this, [this] {
        m_produtos->open();
        m_produtos->first();
    });

    m_login = new TFLogin(this);

    // The menu's own windows.
    setHandler(QStringLiteral("mnuLogoff"), [this] { logoff(); });
    setHandler(QStringLiteral("mnuSair"), [this] { close(); });
    setHandler(QStringLiteral("btnSair"), [this] { close(); });
    setHandler(QStringLiteral("btnSobre"), [this] { openAbout(); });
    setHandler(QStringLiteral("mnuAlterarSenha"), [this] { openPasswordChange(); });
    setHandler(QStringLiteral("mnuCadastroUsuarios"), [this] { openUsers(); });
    setHandler(QStringLiteral("mnuPermissaoAcesso"), [this] { showPermissionPanel(); });
    setHandler(QStringLiteral("mnuImpressora"), [this] { openPrinterPort(); });
    setHandler(QStringLiteral("mnuDesconto"), [this] { openDiscount(); });
    setHandler(QStringLiteral("mnuLogoMarca"), [this] { m_logoPanel->open(); });
    setHandler(QStringLiteral("mnuBackup"), [this] { BackupAuto(); });
    setHandler(QStringLiteral("mnuAtualizacoes"), [this] { startBesideExecutable(QStringLiteral("Atualizar"), m_programDir); });
    setHandler(QStringLiteral("mnuCalculoConsumo"), [this] { startBesideExecutable(QStringLiteral("Pcalculo"), m_programDir); });
    setHandler(QStringLiteral("mnuCadastroEmpresa"), [this] { openCompany(); });
    setHandler(QStringLiteral("mnuEditarFabricantes"), [this] { editMakers(); });

    // The window sees the function keys before its controls.
    qApp->installEventFilter(this);
}

TFormMenu::~TFormMenu()
{
    qApp->removeEventFilter(this);
}

// ---------------------------------------------------------------- building

QMenu *TFormMenu::addMenu(QWidget *parentMenu, const QString &name, const QString &caption)
{
    QMenu *m = nullptr;
    if (auto *mb = qobject_cast<QMenuBar *>(parentMenu))
        m = mb->addMenu(caption);
    else
        m = static_cast<QMenu *>(parentMenu)->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    m->setToolTipsVisible(true);
    return m;
}

QAction *TFormMenu::addItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    m_commands->bind(name, a);
    return a;
}

void TFormMenu::buildMenus()
{
    QMenuBar *mb = menuBar();
    mb->setObjectName(QStringLiteral("MainMenu1"));

    QMenu *arquivo = addMenu(mb, QStringLiteral("mnuArquivo"), QStringLiteral("&Arquivo"));
    m_logoff = addItem(arquivo, QStringLiteral("mnuLogoff"), QStringLiteral("Logoff de:"));
    addItem(arquivo, QStringLiteral("mnuSair"), QStringLiteral("&Sair"));

    QMenu *senha = addMenu(mb, QStringLiteral("mnuSenhaAcesso"), QStringLiteral("Sen&ha de Acesso"));
    addItem(senha, QStringLiteral("mnuAlterarSenha"), QStringLiteral("Alterar Senha"));

    QMenu *acesso = addMenu(mb, QStringLiteral("mnuControleAcesso"), QStringLiteral("Controle de Ac&esso"));
    addItem(acesso, QStringLiteral("mnuCadastroUsuarios"), QStringLiteral("Cadastro Usuarios"));
    addItem(acesso, QStringLiteral("mnuPermissaoAcesso"), QStringLiteral("Permissão de Acesso"));

    QMenu *adm = addMenu(mb, QStringLiteral("mnuAdministrativo"), QStringLiteral("Auxiliar A&dministrativo"));
    addItem(adm, QStringLiteral("mnuRelatoriosGerais"), QStringLiteral("Relatórios &Gerais"));
    addItem(adm, QStringLiteral("mnuComissaoMecanicos"), QStringLiteral("Comis&são Mecanicos"));
    addItem(adm, QStringLiteral("mnuRelatoriosProdutos"), QStringLiteral("Relatórios de &Produtos"));

    QMenu *conf = addMenu(mb, QStringLiteral("mnuConfiguracoes"), QStringLiteral("Con&figurações"));
    QMenu *rodape = addMenu(conf, QStringLiteral("mnuMensagemRodape"), QStringLiteral("Mensagem Rodapé O.S"));
    addItem(rodape, QStringLiteral("mnuMsgOrdemServico"), QStringLiteral("Ordem de Serviço"));
    addItem(rodape, QStringLiteral("mnuMsgReciboEntrega"), QStringLiteral("Recibo de Entrega"));
    addItem(conf, QStringLiteral("mnuImpressora"), QStringLiteral("Impressora Não Fiscal"));
    addItem(conf, QStringLiteral("mnuDesconto"), QStringLiteral("Desconto Permtido"));
    addItem(conf, QStringLiteral("mnuLogoMarca"), QStringLiteral("Logo Marca"));

    QMenu *ferr = addMenu(mb, QStringLiteral("mnuFerramentas"), QStringLiteral("Ferramen&tas"));
    addItem(ferr, QStringLiteral("mnuBackup"), QStringLiteral("Backu-Up"));
    addItem(ferr, QStringLiteral("mnuAtualizacoes"), QStringLiteral("Checar Atualizações"));
    addItem(ferr, QStringLiteral("mnuGoogleMaps"), QStringLiteral("Google Maps"));
    addItem(ferr, QStringLiteral("mnuRastreador"), QStringLiteral("Rastreador Correios"));
    addItem(ferr, QStringLiteral("mnuCalculoConsumo"), QStringLiteral("Calculo Consumo"));

    QMenu *emp = addMenu(mb, QStringLiteral("mnuEmpresa"), QStringLiteral("&Empresa"));
    addItem(emp, QStringLiteral("mnuCadastroEmpresa"), QStringLiteral("Cadastro Empresa"));
    QAction *empFunc = emp->addAction(QStringLiteral("Cadastro de Funcionários"));
    empFunc->setObjectName(QStringLiteral("mnuEmpresaFuncionarios"));
    m_commands->bind(QStringLiteral("mnuCadastroFuncionarios"), empFunc);

    QMenu *rec = addMenu(mb, QStringLiteral("mnuRecibosNP"), QStringLiteral("Recibos e &NP"));
    addItem(rec, QStringLiteral("mnuRecibo"), QStringLiteral("Recibo"));
    addItem(rec, QStringLiteral("mnuNotaPromissoria"), QStringLiteral("Nota Promissoria"));

    // The till and the exchanges, open to every user as the till's F3 is.
    QMenu *vendas = addMenu(mb, QStringLiteral("mnuVendas"), QStringLiteral("&Vendas"));
    QAction *caixaPdv = vendas->addAction(QStringLiteral("Caixa (F3)"));
    caixaPdv->setObjectName(QStringLiteral("mnuFrenteCaixa"));
    m_commands->bind(QStringLiteral("frenteCaixa"), caixaPdv, QString(), [this] { openPointOfSale(); });
    addItem(vendas, QStringLiteral("mnuTrocaDevolucoes"), QStringLiteral("Troca && Devoluções"));

    QMenu *caixa = addMenu(mb, QStringLiteral("mnuCaixaFluxo"), QStringLiteral("Caixa Fluxo"));
    addItem(caixa, QStringLiteral("mnuContasPagar"), QStringLiteral("Contas a Pagar"));
    addItem(caixa, QStringLiteral("mnuContasReceber"), QStringLiteral("Contas a Receber"));
    addItem(caixa, QStringLiteral("mnuFluxoEntrada"), QStringLiteral("Fluxo Entrada Geral"));

    QMenu *cad = addMenu(mb, QStringLiteral("mnuCadastros"), QStringLiteral("&Cadastros"));
    addItem(cad, QStringLiteral("mnuCadastroClientes"), QStringLiteral("Cadastro Clientes"));
    QAction *fornec = addItem(cad, QStringLiteral("mnuCadastroFornecedores"), QStringLiteral("Cadastro Fornecedores"));
    QAction *func = addItem(cad, QStringLiteral("mnuCadastroFuncionarios"), QStringLiteral("Cadastro de Funcionários"));
    QMenu *categ = addMenu(cad, QStringLiteral("mnuCadastroCategorias"), QStringLiteral("Cadastro Cate&gorias"));
    addItem(categ, QStringLiteral("mnuMarcas"), QStringLiteral("&Marcas"));
    addItem(categ, QStringLiteral("mnuMedidas"), QStringLiteral("M&edidas"));
    addItem(categ, QStringLiteral("mnuCategoria"), QStringLiteral("&Categoria"));
    QAction *funcao = addItem(cad, QStringLiteral("mnuCadastroFuncao"), QStringLiteral("Cadastro de Função"));
    addItem(cad, QStringLiteral("mnuCadastroLubrificantes"), QStringLiteral("Cadastro de Lubrificantes"));
    addItem(cad, QStringLiteral("mnuEditarFabricantes"), QStringLiteral("Editar Fabricantes"));
    QMenu *prod = addMenu(cad, QStringLiteral("mnuProdutosServicos"), QStringLiteral("&Produtos e Serviços"));
    addItem(prod, QStringLiteral("mnuCadastrarProdutos"), QStringLiteral("Cadastrar Produtos e Serviços"));
    addItem(prod, QStringLiteral("mnuEntradaMercadorias"), QStringLiteral("Entrada de Mercadorias"));

    // Controls governed by the permission fields.
    m_governed[QStringLiteral("03")] = adm->menuAction();
    m_governed[QStringLiteral("04")] = acesso->menuAction();
    m_governed[QStringLiteral("05")] = conf->menuAction();
    m_governed[QStringLiteral("06")] = emp->menuAction();
    m_governed[QStringLiteral("07")] = prod->menuAction();
    m_governed[QStringLiteral("08")] = func;
    m_governed[QStringLiteral("09")] = fornec;
    m_governed[QStringLiteral("10")] = categ->menuAction();
    m_governed[QStringLiteral("11")] = senha->menuAction();
    m_governed[QStringLiteral("14")] = funcao;
    m_governed[QStringLiteral("15")] = ferr->menuAction();
    m_governed[QStringLiteral("16")] = findChild<QAction *>(QStringLiteral("mnuBackup"));
    m_governed[QStringLiteral("18")] = caixa->menuAction();
}

void TFormMenu::buildButtons(QWidget *bar)
{
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    auto make = [&](const QString &name, const QString &caption, const QString &command,
                    const QString &hint = QString()) {
        auto *b = new QPushButton(caption, bar);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
        b->setMinimumHeight(40);
        row->addWidget(b);
        // These two buttons obey the permissions, as their keys do.
        std::function<void()> click;
        if (name == QLatin1String("btnRelatorios"))
            click = [this] { openReports(); };
        else if (name == QLatin1String("btnFornecedores"))
            click = [this] { openSuppliers(); };
        m_commands->bind(command, b, hint, click);
        return b;
    };
    make(QStringLiteral("btnCadastroCliente"), QStringLiteral("&Cadastro Cliente (F2)"),
         QStringLiteral("mnuCadastroClientes"));
    make(QStringLiteral("btnSair"), QStringLiteral("&Sair (F7)"), QStringLiteral("btnSair"));
    make(QStringLiteral("btnSobre"), QStringLiteral("&Sobre"), QStringLiteral("btnSobre"));
    m_btnFornecedores = make(QStringLiteral("btnFornecedores"), QStringLiteral("&Fornecedores (F5)"),
                             QStringLiteral("mnuCadastroFornecedores"));
    m_btnRelatorios = make(QStringLiteral("btnRelatorios"), QStringLiteral("&Relatórios (F4)"),
                           QStringLiteral("mnuRelatoriosGerais"));
    auto *os = make(QStringLiteral("btnOrdemServico"), QStringLiteral("Or&dem de Serviço"),
                    QStringLiteral("btnOrdemServico"), QStringLiteral("Abrir Form Ordem de Serviço!"));
    make(QStringLiteral("btnTrocaOleo"), QStringLiteral("Troca de Oleo"), QStringLiteral("btnTrocaOleo"),
         QStringLiteral("Consultar Lubrificnate Correto para veículo!"));
    auto *fluxo = make(QStringLiteral("btnFluxoCaixa"), QStringLiteral("Fluxo de Caixa"),
                       QStringLiteral("mnuFluxoEntrada"), QStringLiteral("Abrir Fluxo de Caixa"));
    row->addStretch(1);

    m_governed[QStringLiteral("01")] = m_btnRelatorios;
    m_governed[QStringLiteral("02")] = m_btnFornecedores;
    m_governed[QStringLiteral("12")] = fluxo;
    m_governed[QStringLiteral("17")] = os;
}

QPixmap TFormMenu::designPicture() const
{
    QPixmap pix(640, 360);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 360);
    g.setColorAt(0, QColor(0x1f, 0x3c, 0x6e));
    g.setColorAt(1, QColor(0x0d, 0x1b, 0x33));
    p.fillRect(pix.rect(), g);
    p.setPen(QColor(0xf2, 0xb1, 0x34));
    p.setBrush(Qt::NoBrush);
    QPen pen = p.pen();
    pen.setWidth(6);
    p.setPen(pen);
    p.drawEllipse(QPoint(320, 130), 70, 70);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(320, 130);
        p.rotate(i * 45);
        p.fillRect(QRect(-10, -92, 20, 22), QColor(0xf2, 0xb1, 0x34));
        p.restore();
    }
    QFont title(QStringLiteral("Sans Serif"), 40, QFont::Bold);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 220, 640, 70), Qt::AlignCenter, QStringLiteral("Brelvo"));
    QFont sub(QStringLiteral("Sans Serif"), 14);
    p.setFont(sub);
    p.setPen(QColor(0xc8, 0xd3, 0xe6));
    p.drawText(QRect(0, 290, 640, 40), Qt::AlignCenter, QStringLiteral("Oficina Mecânica e Autopeças"));
    return pix;
}

// ---------------------------------------------------------------- registry

void TFormMenu::setHandler(const QString &command, std::function<void()> handler)
{
    m_commands->setHandler(command, std::move(handler));
}

bool TFormMenu::hasHandler(const QString &command) const
{
    return m_commands->hasHandler(command);
}

bool TFormMenu::runCommand(const QString &command)
{
    return m_commands->run(command);
}

QStringList TFormMenu::commands() const
{
    return m_commands->commands();
}

void TFormMenu::setProgramDir(const QString &dir)
{
    m_programDir = dir;
    if (!m_programDir.endsWith(QLatin1Char('/')))
        m_programDir += QLatin1Char('/');
}

// ---------------------------------------------------------------- life

void TFormMenu::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_activatedOnce) {
        m_activatedOnce = true;
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
}

void TFormMenu::FormActivate()
{
    m_activatedOnce = true;
    try {
        m_produtos->refresh();
    } catch (const std::exception &e) {
        core::showError(this, e);
    }
    Q_EMIT activated();
    updateClock();
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    const QDate today = QDate::currentDate();
    m_panels[1]->setText(br.dayName(today.dayOfWeek(), QLocale::LongFormat) + QStringLiteral(", ")
                         + today.toString(QStringLiteral("dd")) + QStringLiteral(" de ")
                         + br.monthName(today.month(), QLocale::LongFormat) + QStringLiteral(" de ")
                         + today.toString(QStringLiteral("yyyy")));
    m_clock->start();

    if (!runLogin()) {
        if (!m_ending)
            endProgram();
        return;
    }
    const QString path = m_logoPanel->storedPath();
    if (!path.isEmpty())
        loadLogo(path);
}

bool TFormMenu::runLogin()
{
    m_login->prepare();
    dialogs().exec(m_login);
    return m_login->succeeded() && !m_ending;
}

void TFormMenu::applyLogin(const LoggedUser &user)
{
    m_user = user;
    m_logoff->setText(QStringLiteral("Logoff de: ") + user.login);
    m_logoff->setToolTip(QStringLiteral("Logoff de: ") + user.login);
    m_logoff->setStatusTip(QStringLiteral("Logoff de: ") + user.login);
    m_labAcesso->setText(user.admin);
    m_panels[4]->setText(QStringLiteral("Usuário: ") + user.nome);
}

QString TFormMenu::labAcesso() const
{
    return m_labAcesso->text();
}

void TFormMenu::logoff()
{
    if (!runLogin() && !m_ending)
        endProgram();
}

void TFormMenu::updateClock()
{
    m_panels[0]->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

QString TFormMenu::panelText(int panel) const
{
    return panel >= 0 && panel < 5 ? m_panels[panel]->text() : QString();
}

void TFormMenu::closeEvent(QCloseEvent *event)
{
    if (m_ending) {
        event->accept();
        return;
    }
    if (labAcesso() == QLatin1String("S")) {
        event->accept();
        BackupAuto();
        return;
    }
    const core::Answer a = dialogs().question(this, QStringLiteral("Back-Up"),
                                              QStringLiteral("Deseja realmente sair do Programa?"));
    if (a == core::Answer::Yes) {
        event->accept();
        endProgram();
    } else {
        event->ignore();
    }
}

void TFormMenu::BackupAuto()
{
    const core::Answer a = dialogs().question(this, QStringLiteral("Back-Up"),
                                              QStringLiteral("Deseja Fazer Backup da Base de Dados?"));
    endProgram();
    if (a == core::Answer::Yes)
        startBesideExecutable(QStringLiteral("Back-Up"), m_programDir);
}

void TFormMenu::endProgram()
{
    if (m_ending)
        return;
    m_ending = true;
    m_clock->stop();
    Q_EMIT programEnd();
}

bool TFormMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || m_ending)
        return QMainWindow::eventFilter(watched, event);
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this || QApplication::activePopupWidget())
        return QMainWindow::eventFilter(watched, event);
    auto *ke = static_cast<QKeyEvent *>(event);
    if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return QMainWindow::eventFilter(watched, event);
    switch (ke->key()) {
    case Qt::Key_F2: openCustomers(); return true;
    case Qt::Key_F3: openPointOfSale(); return true;
    case Qt::Key_F4: openReports(); return true;
    case Qt::Key_F5: openSuppliers(); return true;
    case Qt::Key_F7: close(); return true;
    default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- permissions

QStringList TFormMenu::permissionFields()
{
    return PermissionPanel::fields();
}

QObject *TFormMenu::governedControl(const QString &field) const
{
    return m_governed.value(field);
}

bool TFormMenu::permissionGranted(const QString &field) const
{
    return m_permPanel->granted(field);
}

void TFormMenu::setControlShown(QObject *control, bool shown)
{
    if (auto *a = qobject_cast<QAction *>(control))
        a->setVisible(shown);
    else if (auto *w = qobject_cast<QWidget *>(control))
        w->setVisible(shown);
}

bool TFormMenu::controlShown(QObject *control) const
{
    if (auto *a = qobject_cast<QAction *>(control))
        return a->isVisible();
    if (auto *w = qobject_cast<QWidget *>(control))
        return !w->isHidden();
    return false;
}

void TFormMenu::PermissaoAcesso()
{
    for (const QString &field : permissionFields())
        setControlShown(m_governed.value(field), permissionGranted(field));
}

void TFormMenu::VerificaAdmin()
{
    if (labAcesso() != QLatin1String("S")) {
        PermissaoAcesso();
        return;
    }
    for (QObject *c : m_governed)
        setControlShown(c, true);
}

void TFormMenu::showPermissionPanel()
{
    m_permPanel->load();
    m_image->hide();
    m_permPanel->show();
    m_permPanel->raise();
}

void TFormMenu::leavePermissionPanel()
{
    m_permPanel->hide();
    m_image->show();
    VerificaAdmin();
}

void TFormMenu::showNoPermission()
{
    dialogs().information(this, QStringLiteral("Atenção"),
                          QStringLiteral("Você não tem permissão de acesso a esse comando!"));
}

// ---------------------------------------------------------------- keys and buttons

void TFormMenu::openReports()
{
    if (m_btnRelatorios->isHidden()) {
        showNoPermission();
        return;
    }
    runCommand(QStringLiteral("mnuRelatoriosGerais"));
}

void TFormMenu::openSuppliers()
{
    if (m_btnFornecedores->isHidden()) {
        showNoPermission();
        return;
    }
    runCommand(QStringLiteral("mnuCadastroFornecedores"));
}

void TFormMenu::openCustomers()
{
    runCommand(QStringLiteral("mnuCadastroClientes"));
}

void TFormMenu::openPointOfSale()
{
    try {
        if (!m_produtos->isOpen())
            m_produtos->open();
        m_produtos->refresh();
        m_produtos->first();
        if (m_produtos->isEmpty() || m_produtos->isNull(QStringLiteral("Codigo"))) {
            dialogs().information(this, QStringLiteral("Atenção"),
                                  QStringLiteral("Cadastre pelo menos um Produto para venda!"));
            return;
        }
    } catch (const std::exception &e) {
        core::showError(this, e);
        return;
    }
    runCommand(QStringLiteral("frenteCaixa"));
}

void TFormMenu::editMakers()
{
    openWithDesktop(core::sharedFile(QStringLiteral("fabricantes.txt")));
}

// ---------------------------------------------------------------- logo

bool TFormMenu::loadLogo(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage img = reader.read();
    if (img.isNull()) {
        dialogs().error(this, QStringLiteral("Erro"),
                        QStringLiteral("Não foi possível carregar a imagem \"%1\".").arg(path));
        return false;
    }
    QPixmap pix = QPixmap::fromImage(img);
    const QSize box(900, 560);
    if (pix.width() > box.width() || pix.height() > box.height())
        pix = pix.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_image->setPixmap(pix);
    m_logoLoaded = true;
    return true;
}

// ---------------------------------------------------------------- windows

void TFormMenu::openUsers()
{
    execIfReady<TFUsuarios>(m_db, this);
}

void TFormMenu::openPasswordChange()
{
    execIfReady<TFAlteraSenha>(m_db, m_login->loginName(), this);
}

void TFormMenu::openPrinterPort()
{
    execIfReady<TFPortaImpressora>(m_db, this);
}

void TFormMenu::openDiscount()
{
    execIfReady<TConfigs>(m_db, this);
}

void TFormMenu::openCompany()
{
    execIfReady<TF_Empresa>(m_db, this);
}

void TFormMenu::openAbout()
{
    TAboutBox w(this);
    dialogs().exec(&w);
}

} // namespace brelvo::app
