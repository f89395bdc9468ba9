#include "app/TFormMenu.h"

#include "app/Launcher.h"
#include "app/Passwords.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/TAboutBox.h"
#include "app/TFLogin.h"
#include "app/Users.h"
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

namespace {
const QString kEmDesenvolvimento = QStringLiteral("Em desenvolvimento");

struct PermissionInfo {
    const char *field;
    const char *caption;
};
// Field, caption of its check box.
const PermissionInfo kPermissions[] = {
    {"01", "Botão Relatórios"},
    {"02", "Botão Fornecedores"},
    {"03", "Menu Administrativo"},
    {"04", "Menu Controle de Acesso"},
    {"05", "Menu Configurações"},
    {"06", "Menu Empresa"},
    {"07", "Menu Produtos/ Serviços"},
    {"08", "Cadastrar / Alterar Funcionários"},
    {"09", "Cadastrar / Alterar Fornecedores"},
    {"10", "Cadastro de Categorias"},
    {"11", "Alterar Senha de Acesso"},
    {"12", "Fluxo Caixa"},
    {"14", "Cadastro de Cargo / Função"},
    {"15", "Menu Ferramentas Sistema"},
    {"16", "Menu Backup"},
    {"17", "Ordem de Serviço"},
    {"18", "Menu Caixa Fluxo"},
};

QString permissionCaption(const QString &field)
{
    for (const auto &p : kPermissions)
        if (field == QLatin1String(p.field))
            return QString::fromUtf8(p.caption);
    return QString();
}

} // namespace

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

    buildMenus();
    buildButtons(bar);
    buildPermissionPanel();
    buildLogoPanel();
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

    // Tables held for the window's life.
    m_checkbox = new data::Table(m_db, QStringLiteral("Checkbox.db"), this);
    m_checkbox->setObjectName(QStringLiteral("TabelaCheckbox"));
    m_logoTable = new data::Table(m_db, QStringLiteral("logo.db"), this);
    m_logoTable->setObjectName(QStringLiteral("TabelaLogo"));
    m_produtos = new data::Table(m_db, QStringLiteral("tbProdutos.DB"), this);
    m_produtos->setObjectName(QStringLiteral("TabelaProdutos"));
    for (data::Table *t : {m_checkbox, m_logoTable, m_produtos}) {
        try {
            t->open();
            t->first();
        } catch (const std::exception &e) {
            core::showError(this, e);
        }
    }
    connect(m_logoTable, &data::Dataset::fieldChanged, this, [this] { updateLogoPath(); });
    connect(m_logoTable, &data::Dataset::afterScroll, this, [this] { updateLogoPath(); });
    connect(m_logoTable, &data::Dataset::dataChanged, this, [this] { updateLogoPath(); });
    connect(m_logoTable, &data::Table::afterCancel, this, [this] { updateLogoPath(); });
    connect(m_checkbox, &data::Table::afterCancel, this, [this] { loadPermissionBoxes(); });
    connect(m_checkbox, &data::Dataset::dataChanged, this, [this] { loadPermissionBoxes(); });
    updateLogoPath();
    loadPermissionBoxes();

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
    setHandler(QStringLiteral("mnuLogoMarca"), [this] { showLogoPanel(); });
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
    bind(name, a);
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
    bind(QStringLiteral("mnuCadastroFuncionarios"), empFunc);

    QMenu *rec = addMenu(mb, QStringLiteral("mnuRecibosNP"), QStringLiteral("Recibos e &NP"));
    addItem(rec, QStringLiteral("mnuRecibo"), QStringLiteral("Recibo"));
    addItem(rec, QStringLiteral("mnuNotaPromissoria"), QStringLiteral("Nota Promissoria"));

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
        if (!hint.isEmpty())
            m_hints[b] = hint;
        row->addWidget(b);
        bind(command, b);
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
    for (const QString &cmd : m_bound.keys())
        refreshCommandState(cmd);
}

void TFormMenu::buildPermissionPanel()
{
    m_permPanel = new QFrame(centralWidget());
    m_permPanel->setObjectName(QStringLiteral("PanelPermissao"));
    m_permPanel->setFrameShape(QFrame::StyledPanel);
    m_permPanel->setAutoFillBackground(true);
    auto *v = new QVBoxLayout(m_permPanel);
    auto *title = new QLabel(QStringLiteral("Permissões dos Usuários Secundários"), m_permPanel);
    title->setObjectName(QStringLiteral("LabelPermissoes"));
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    title->setFont(f);
    v->addWidget(title);
    auto *groups = new QHBoxLayout;
    auto group = [&](const QString &name, const QString &caption, const QStringList &fields) {
        auto *g = new QGroupBox(caption, m_permPanel);
        g->setObjectName(name);
        auto *gl = new QVBoxLayout(g);
        for (const QString &field : fields) {
            auto *c = new QCheckBox(permissionCaption(field), g);
            c->setObjectName(QStringLiteral("chk") + field);
            gl->addWidget(c);
            m_permBoxes[field] = c;
            connect(c, &QCheckBox::clicked, this,
                    [this, field](bool checked) { permissionToggled(field, checked); });
        }
        gl->addStretch(1);
        groups->addWidget(g);
    };
    group(QStringLiteral("GroupVizualizar"), QStringLiteral("Vizualizar : "),
          {QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03"), QStringLiteral("04"),
           QStringLiteral("06"), QStringLiteral("05"), QStringLiteral("07"), QStringLiteral("18")});
    group(QStringLiteral("GroupCadastro"), QStringLiteral("Cadastro Permitir:"),
          {QStringLiteral("08"), QStringLiteral("09"), QStringLiteral("10"), QStringLiteral("11"),
           QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("15"), QStringLiteral("16"),
           QStringLiteral("17")});
    v->addLayout(groups);
    auto *buttons = new QHBoxLayout;
    auto *save = new QPushButton(QStringLiteral("Salvar / Testar"), m_permPanel);
    save->setObjectName(QStringLiteral("btnSalvarPermissao"));
    save->setAutoDefault(false);
    auto *leave = new QPushButton(QStringLiteral("Sair"), m_permPanel);
    leave->setObjectName(QStringLiteral("btnSairPermissao"));
    leave->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(leave);
    v->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, [this] { savePermissions(); });
    connect(leave, &QPushButton::clicked, this, [this] { leavePermissionPanel(); });
    m_permPanel->hide();
}

void TFormMenu::buildLogoPanel()
{
    m_logoPanel = new QFrame(centralWidget());
    m_logoPanel->setObjectName(QStringLiteral("PanelLogo"));
    m_logoPanel->setFrameShape(QFrame::StyledPanel);
    m_logoPanel->setAutoFillBackground(true);
    m_logoPanel->setMinimumWidth(520);
    auto *v = new QVBoxLayout(m_logoPanel);
    auto *top = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("Logo Marca"), m_logoPanel);
    QFont f = caption->font();
    f.setBold(true);
    caption->setFont(f);
    top->addWidget(caption);
    top->addStretch(1);
    auto *x = new QPushButton(QStringLiteral("X"), m_logoPanel);
    x->setObjectName(QStringLiteral("btnFecharLogo"));
    x->setAutoDefault(false);
    x->setFixedWidth(32);
    top->addWidget(x);
    v->addLayout(top);
    m_logoPath = new QLineEdit(m_logoPanel);
    m_logoPath->setObjectName(QStringLiteral("edtLogoCaminho"));
    m_logoPath->setReadOnly(true);
    v->addWidget(m_logoPath);
    auto *row = new QHBoxLayout;
    auto *change = new QPushButton(QStringLiteral("Alterar Logo Marca"), m_logoPanel);
    change->setObjectName(QStringLiteral("btnAlterarLogo"));
    auto *saveClose = new QPushButton(QStringLiteral("Salvar e Fechar"), m_logoPanel);
    saveClose->setObjectName(QStringLiteral("btnSalvarFecharLogo"));
    auto *reset = new QPushButton(QStringLiteral("Deixar Padrão"), m_logoPanel);
    reset->setObjectName(QStringLiteral("btnDeixarPadrao"));
    for (QPushButton *b : {change, saveClose, reset}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    v->addLayout(row);
    connect(change, &QPushButton::clicked, this, [this] { changeLogo(); });
    connect(saveClose, &QPushButton::clicked, this, [this] { saveLogoAndClose(); });
    connect(reset, &QPushButton::clicked, this, [this] { resetLogo(); });
    connect(x, &QPushButton::clicked, this, [this] { closeLogoPanel(); });
    m_logoPanel->hide();
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

void TFormMenu::bind(const QString &command, QObject *control)
{
    m_bound[command].append(control);
    if (auto *a = qobject_cast<QAction *>(control)) {
        connect(a, &QAction::triggered, this, [this, command] { runCommand(command); });
    } else if (auto *b = qobject_cast<QPushButton *>(control)) {
        const QString name = b->objectName();
        connect(b, &QPushButton::clicked, this, [this, command, name] {
            if (name == QLatin1String("btnRelatorios"))
                openReports();
            else if (name == QLatin1String("btnFornecedores"))
                openSuppliers();
            else
                runCommand(command);
        });
    }
    refreshCommandState(command);
}

void TFormMenu::refreshCommandState(const QString &command)
{
    const bool wired = m_handlers.contains(command);
    for (QObject *c : m_bound.value(command)) {
        const QString hint = wired ? m_hints.value(c) : kEmDesenvolvimento;
        if (auto *a = qobject_cast<QAction *>(c)) {
            a->setEnabled(wired);
            a->setToolTip(hint.isEmpty() ? a->text().remove(QLatin1Char('&')) : hint);
        } else if (auto *w = qobject_cast<QWidget *>(c)) {
            w->setEnabled(wired);
            w->setToolTip(hint);
        }
    }
}

void TFormMenu::setHandler(const QString &command, std::function<void()> handler)
{
    if (handler)
        m_handlers[command] = std::move(handler);
    else
        m_handlers.remove(command);
    refreshCommandState(command);
}

bool TFormMenu::hasHandler(const QString &command) const
{
    return m_handlers.contains(command);
}

bool TFormMenu::runCommand(const QString &command)
{
    auto it = m_handlers.constFind(command);
    if (it == m_handlers.constEnd())
        return false;
    const std::function<void()> fn = it.value();   // a handler may replace itself
    try {
        fn();
    } catch (const std::exception &e) {
        core::showError(this, e);
    }
    return true;
}

QStringList TFormMenu::commands() const
{
    QStringList all = m_bound.keys();
    if (!all.contains(QStringLiteral("frenteCaixa")))
        all << QStringLiteral("frenteCaixa");
    return all;
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
    try {
        m_logoTable->first();
        const QVariant path = m_logoTable->value(QStringLiteral("LogoCaminho"));
        if (!path.isNull() && !path.toString().isEmpty())
            loadLogo(path.toString());
    } catch (const std::exception &e) {
        core::showError(this, e);
    }
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
    QStringList f;
    for (const auto &p : kPermissions)
        f << QString::fromLatin1(p.field);
    return f;
}

QObject *TFormMenu::governedControl(const QString &field) const
{
    return m_governed.value(field);
}

bool TFormMenu::permissionGranted(const QString &field) const
{
    try {
        if (!m_checkbox->isOpen() || m_checkbox->isEmpty())
            return true;
        const QVariant v = m_checkbox->value(field);
        return v.isNull() || m_checkbox->asBool(field);
    } catch (const std::exception &) {
        return true;
    }
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

void TFormMenu::loadPermissionBoxes()
{
    m_loadingBoxes = true;
    for (auto it = m_permBoxes.begin(); it != m_permBoxes.end(); ++it)
        it.value()->setChecked(permissionGranted(it.key()));
    m_loadingBoxes = false;
}

void TFormMenu::permissionToggled(const QString &field, bool checked)
{
    if (m_loadingBoxes)
        return;
    try {
        if (m_checkbox->state() == data::Dataset::State::Browse) {
            if (m_checkbox->isEmpty())
                m_checkbox->append();
            else
                m_checkbox->edit();
        }
        m_checkbox->setValue(field, checked);
    } catch (const std::exception &e) {
        core::showError(this, e);
        loadPermissionBoxes();
    }
}

void TFormMenu::showPermissionPanel()
{
    loadPermissionBoxes();
    m_image->hide();
    m_permPanel->show();
    m_permPanel->raise();
}

void TFormMenu::savePermissions()
{
    try {
        const auto st = m_checkbox->state();
        if (st == data::Dataset::State::Edit || st == data::Dataset::State::Insert)
            m_checkbox->post();
    } catch (const std::exception &e) {
        core::showError(this, e);
        return;
    }
    PermissaoAcesso();
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
    openWithDesktop(m_programDir + QStringLiteral("fabricantes.txt"));
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

void TFormMenu::updateLogoPath()
{
    try {
        m_logoPath->setText(m_logoTable->isOpen() && !m_logoTable->isEmpty()
                                ? m_logoTable->asString(QStringLiteral("LogoCaminho"))
                                : QString());
    } catch (const std::exception &) {
        m_logoPath->clear();
    }
}

bool TFormMenu::logoEditing() const
{
    const auto st = m_logoTable->state();
    return st == data::Dataset::State::Edit || st == data::Dataset::State::Insert;
}

void TFormMenu::showLogoPanel()
{
    updateLogoPath();
    m_logoPanel->show();
    m_logoPanel->raise();
}

void TFormMenu::changeLogo()
{
    QStringList patterns;
    for (const QByteArray &fmt : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(fmt);
    const QString file = dialogs().openFile(this, QStringLiteral("Logo Marca"), QString(),
                                            QStringLiteral("Imagens (%1);;Todos (*)").arg(patterns.join(u' ')));
    if (file.isEmpty())
        return;
    // An unreadable picture is told and leaves the stored path as it was.
    if (!loadLogo(file))
        return;
    try {
        if (!logoEditing()) {
            if (m_logoTable->isEmpty())
                m_logoTable->append();
            else
                m_logoTable->edit();
        }
        m_logoTable->setValue(QStringLiteral("LogoCaminho"), file);
    } catch (const std::exception &e) {
        core::showError(this, e);
    }
    updateLogoPath();
}

void TFormMenu::saveLogoAndClose()
{
    if (!logoEditing()) {
        dialogs().information(this, QStringLiteral("Atenção"), QStringLiteral("Não esta em modo de edição!"));
        return;
    }
    try {
        m_logoTable->post();
    } catch (const std::exception &e) {
        core::showError(this, e);
        return;
    }
    m_logoPanel->hide();
}

void TFormMenu::resetLogo()
{
    try {
        if (!logoEditing()) {
            if (m_logoTable->isEmpty())
                m_logoTable->append();
            else
                m_logoTable->edit();
        }
        m_logoTable->setValue(QStringLiteral("LogoCaminho"), QVariant());
        m_logoPanel->hide();
        m_logoTable->post();
    } catch (const std::exception &e) {
        core::showError(this, e);
        return;
    }
    updateLogoPath();
    dialogs().information(this, QStringLiteral("Atenção"),
                          QStringLiteral("Reinicie o programa para validar o comando!"));
}

void TFormMenu::closeLogoPanel()
{
    if (logoEditing()) {
        dialogs().information(this, QStringLiteral("Atenção"),
                              QStringLiteral("Salve para sair!  clique em salvar e fechar"));
        return;
    }
    m_logoPanel->hide();
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
