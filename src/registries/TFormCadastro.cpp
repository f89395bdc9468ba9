#include "registries/TFormCadastro.h"

#include "core/AppPaths.h"
#include "core/DataControls.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "registries/RegistryReports.h"
#include "registries/RegistryRules.h"
#include "core/Widgets.h"
#include "web/CepLookup.h"
#include "web/HttpGet.h"

#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace brelvo::registries {

using data::Dataset;
using data::Table;

namespace {
const QString kExclusao = QStringLiteral("Exclusão");

QLineEdit *plainBox(QWidget *parent, const QString &name, core::CharCase mode)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    core::setTypingCase(e, mode);
    return e;
}
} // namespace

TFormCadastro::TFormCadastro(data::DatabasePtr db, bool isAdmin, QWidget *parent)
    : RecordWindow(parent), m_db(std::move(db)), m_isAdmin(isAdmin)
{
    setObjectName(QStringLiteral("TFormCadastro"));
    setWindowTitle(QStringLiteral("CADASTRO DE CIENTES"));
    resize(1060, 700);

    m_clientes = new Table(m_db, QStringLiteral("tbCliente.DB"), this);
    m_clientes->setObjectName(QStringLiteral("TabelaCadastro"));
    m_carros = new Table(m_db, QStringLiteral("TCadastroCarros.db"), this);
    m_carros->setObjectName(QStringLiteral("TbCadastroCarros"));

    m_clientes->setIndexName(QStringLiteral("byCodigo"));
    m_clientes->open();
    m_carros->setIndexName(QStringLiteral("ByLink"));
    m_carros->setMasterSource(m_clientes, QStringLiteral("Codigo"), QStringLiteral("Link"));
    m_carros->open();
    m_clientes->last();
    setMainTable(m_clientes);
    closeWithWindow(m_carros);

    auto *root = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    root->addWidget(m_pages);
    auto *cadastro = new QWidget;
    cadastro->setObjectName(QStringLiteral("TabCadastro"));
    auto *listagem = new QWidget;
    listagem->setObjectName(QStringLiteral("TabListagem"));
    m_pages->addTab(cadastro, QStringLiteral("Cadastro"));
    m_pages->addTab(listagem, QStringLiteral("Listagem"));
    buildCadastroPage(cadastro);
    buildListagemPage(listagem);

    for (QPushButton *b : findChildren<QPushButton *>())
        b->setAutoDefault(false);

    connect(m_dataIni, &QLineEdit::returnPressed, m_dataFim, [this] { m_dataFim->setFocus(); });
    connect(m_dataFim, &QLineEdit::returnPressed, this, &TFormCadastro::listagemOkClick);
    // Changing page discards a pending change.
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int) { discardRecord(); });

    enableWhen(m_btnGravar, When::Editing);
    enableWhen(m_btnCancelar, When::Editing);
    enableWhen(m_btnNovo, When::Browsing);
    enableWhen(m_nav, When::Browsing);
    connect(m_clientes, &Table::afterDelete, this, &TFormCadastro::rowDeleted);
    connect(m_clientes, &Dataset::afterScroll, this, &TFormCadastro::rowChanged);
    for (auto sig : {&Table::afterInsert, &Table::afterCancel, &Table::afterDelete})
        connect(m_clientes, sig, this, &TFormCadastro::rowChanged);
    // A stored row keeps its place; what was stored is the new baseline.
    connect(m_clientes, &Table::afterPost, this,
            [this] { m_cepBaseline = m_clientes->value(QStringLiteral("CEP")); });
    rowChanged();
    m_btnDeletar->setEnabled(m_isAdmin);
}

void TFormCadastro::buildCadastroPage(QWidget *page)
{
    auto *lay = new QVBoxLayout(page);

    // Toolbar.
    auto *bar = new QHBoxLayout;
    auto button = [&](const QString &name, const QString &text) {
        QPushButton *b = makeButton(name, text, page);
        bar->addWidget(b);
        return b;
    };
    m_btnNovo = button(QStringLiteral("btnNovo"), QStringLiteral("&Novo"));
    m_btnGravar = button(QStringLiteral("btnGravar"), QStringLiteral("&Gravar"));
    m_btnDeletar = button(QStringLiteral("btnDeletar"), QStringLiteral("&Deletar"));
    m_btnImprimir = button(QStringLiteral("btnImprimir"), QStringLiteral("&Imprimir"));
    m_btnCancelar = button(QStringLiteral("btnCancelar"), QStringLiteral("Cancelar"));
    m_btnSair = button(QStringLiteral("btnSair"), QStringLiteral("&Sair"));
    m_nav = makeNavigator(core::Navigator::Moves, QStringLiteral("DBNavigator1"), page);
    bar->addWidget(m_nav);
    bar->addStretch();
    lay->addLayout(bar);
    connect(m_btnNovo, &QPushButton::clicked, this, &TFormCadastro::btnNovoClick);
    connect(m_btnGravar, &QPushButton::clicked, this, &TFormCadastro::btnGravarClick);
    connect(m_btnCancelar, &QPushButton::clicked, this, &TFormCadastro::btnCancelarClick);
    connect(m_btnDeletar, &QPushButton::clicked, this, &TFormCadastro::btnDeletarClick);
    connect(m_btnImprimir, &QPushButton::clicked, this, &TFormCadastro::btnImprimirClick);
    connect(m_btnSair, &QPushButton::clicked, this, &QDialog::reject);

    // Search and order.
    auto *find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("Localizar"), page));
    m_localizar = makeSearchBox(QStringLiteral("edtLocalizar"), [this](const QString &t) { localizarChange(t); },
                                50, page);
    find->addWidget(m_localizar, 1);
    auto *order = new QGroupBox(QStringLiteral("Ordenar por:"), page);
    order->setObjectName(QStringLiteral("rgOrdenar"));
    auto *ol = new QHBoxLayout(order);
    ol->setContentsMargins(6, 2, 6, 2);
    m_rbNome = new QRadioButton(QStringLiteral("A-Z"), order);
    m_rbNome->setObjectName(QStringLiteral("rbAZ"));
    m_rbCodigo = new QRadioButton(QStringLiteral("Codigo"), order);
    m_rbCodigo->setObjectName(QStringLiteral("rbCodigo"));
    m_rbCodigo->setChecked(true);
    ol->addWidget(m_rbNome);
    ol->addWidget(m_rbCodigo);
    find->addWidget(order);
    lay->addLayout(find);
    connect(m_rbNome, &QRadioButton::clicked, this, [this] { setOrder(QStringLiteral("byNome")); });
    connect(m_rbCodigo, &QRadioButton::clicked, this, [this] { setOrder(QStringLiteral("byCodigo")); });

    // Customer boxes beside the list of names.
    auto *middle = new QHBoxLayout;
    auto *form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(4);
    int row = 0;
    core::FormBuilder f(form, page, m_clientes);
    auto addBox = [&f](QWidget *w, const QString &caption, int r, int c, int span = 1) { f.put(w, caption, r, c, span); };
    auto edit = [&f](const QString &field, core::CharCase cc) { return f.edit(field, cc); };
    using core::CharCase;

    auto *codigo = f.number(QStringLiteral("Codigo"), QStringLiteral("000000"));
    auto *lblCodigo = new core::ClickLabel(QStringLiteral("<u>Código</u>"), page);
    lblCodigo->setObjectName(QStringLiteral("lblCodigo"));
    lblCodigo->setCursor(Qt::PointingHandCursor);
    lblCodigo->setToolTip(QStringLiteral("Procurar pelo código"));
    connect(lblCodigo, &core::ClickLabel::clicked, this, &TFormCadastro::procurarCodigo);
    f.put(codigo, lblCodigo, row, 0);
    auto *data = new core::DbDateEdit(page);
    data->setObjectName(QStringLiteral("edtData"));
    data->setDataSource(m_clientes, QStringLiteral("Data"));
    addBox(data, QStringLiteral("Data"), row++, 2);
    m_nome = edit(QStringLiteral("Nome"), CharCase::Upper);
    addBox(m_nome, QStringLiteral("Nome"), row++, 0, 3);
    addBox(edit(QStringLiteral("CIC"), CharCase::Upper), QStringLiteral("CPF/CNPJ"), row, 0);
    addBox(edit(QStringLiteral("RG"), CharCase::Upper), QStringLiteral("RG / IE"), row++, 2);
    addBox(edit(QStringLiteral("Fone"), CharCase::Normal), QStringLiteral("Fone"), row, 0);
    addBox(edit(QStringLiteral("Celular"), CharCase::Upper), QStringLiteral("Celular"), row++, 2);
    m_cep = f.masked(QStringLiteral("CEP"), QStringLiteral("00000\\-999;1;_"));
    m_cep->installEventFilter(this);
    addBox(m_cep, QStringLiteral("CEP"), row++, 0);
    m_endereco = edit(QStringLiteral("Endereco"), CharCase::Upper);
    addBox(m_endereco, QStringLiteral("Endereço"), row++, 0, 3);
    m_bairro = edit(QStringLiteral("CARRO"), CharCase::Upper);
    addBox(m_bairro, QStringLiteral("Bairro"), row, 0);
    m_cidade = edit(QStringLiteral("Cidade"), CharCase::Upper);
    addBox(m_cidade, QStringLiteral("Cidade"), row++, 2);
    auto *uf = new core::DbComboBox(page);
    uf->setObjectName(QStringLiteral("cbUF"));
    uf->setItems(core::stateCodes());
    uf->setCharCase(CharCase::Upper);
    uf->lineEdit()->setMaxLength(2);
    uf->setDataSource(m_clientes, QStringLiteral("UF"));
    m_uf = uf;
    addBox(m_uf, QStringLiteral("UF"), row, 0);
    addBox(edit(QStringLiteral("Apelido"), CharCase::Upper), QStringLiteral("Contato"), row++, 2);
    m_email = edit(QStringLiteral("Email"), CharCase::Lower);
    auto *btnEmail = new QPushButton(QStringLiteral("email"), page);
    btnEmail->setObjectName(QStringLiteral("btnEmail"));
    btnEmail->setToolTip(QStringLiteral("Enviar Email via Outlook!"));
    connect(btnEmail, &QPushButton::clicked, this, &TFormCadastro::emailClick);
    addBox(m_email, QStringLiteral("Email"), row, 0, 2);
    form->addWidget(btnEmail, row++, 3);
    auto *obs = new core::DbMemo(page);
    obs->setObjectName(QStringLiteral("edtObs"));
    obs->setMaximumHeight(60);
    obs->setDataSource(m_clientes, QStringLiteral("Obs"));
    addBox(obs, QStringLiteral("Observação"), row++, 0, 3);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);
    middle->addLayout(form, 3);

    auto *names = core::makeGrid(page, m_clientes, QStringLiteral("DBGridNomes"), {core::GridColumn::make(QStringLiteral("Nome"))});
    middle->addWidget(names, 2);
    lay->addLayout(middle);

    // Vehicles.
    auto *veh = new QGroupBox(QStringLiteral("Cadastrar Veículo"), page);
    veh->setObjectName(QStringLiteral("gbVeiculo"));
    auto *vl = new QGridLayout(veh);
    vl->setVerticalSpacing(2);
    m_modelo = plainBox(veh, QStringLiteral("edtModelo"), core::CharCase::Upper);
    m_modelo->setMaxLength(50);
    auto yearValidator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,4}")), veh);
    m_anoFab = plainBox(veh, QStringLiteral("edtAnoFab"), core::CharCase::Upper);
    m_anoFab->setValidator(yearValidator);
    m_anoMod = plainBox(veh, QStringLiteral("edtAnoMod"), core::CharCase::Upper);
    m_anoMod->setValidator(yearValidator);
    m_fabricante = new QComboBox(veh);
    m_fabricante->setObjectName(QStringLiteral("cbFabricante"));
    m_fabricante->setEditable(true);
    m_fabricante->lineEdit()->setMaxLength(50);
    core::setTypingCase(m_fabricante, core::CharCase::Upper);
    m_cor = plainBox(veh, QStringLiteral("edtCor"), core::CharCase::Upper);
    m_cor->setMaxLength(30);
    m_placa = plainBox(veh, QStringLiteral("edtPlaca"), core::CharCase::Upper);
    m_placa->setMaxLength(10);
    m_combustivel = new QComboBox(veh);
    m_combustivel->setObjectName(QStringLiteral("cbCombustivel"));
    m_combustivel->setEditable(true);
    m_combustivel->addItems(fuelChoices());
    m_combustivel->setCurrentIndex(-1);
    m_combustivel->lineEdit()->setMaxLength(50);
    core::setTypingCase(m_combustivel, core::CharCase::Upper);
    auto *lblFab = new core::ClickLabel(QStringLiteral("<u>FABRICANTE</u>"), veh);
    lblFab->setObjectName(QStringLiteral("lblFabricante"));
    lblFab->setCursor(Qt::PointingHandCursor);
    connect(lblFab, &core::ClickLabel::clicked, this, &TFormCadastro::fabricanteClick);
    auto *years = new QHBoxLayout;
    years->addWidget(m_anoFab);
    years->addWidget(new QLabel(QStringLiteral("/"), veh));
    years->addWidget(m_anoMod);
    vl->addWidget(new QLabel(QStringLiteral("MODELO"), veh), 0, 0);
    vl->addWidget(new QLabel(QStringLiteral("Ano Fab   /  Ano Mod."), veh), 0, 1);
    vl->addWidget(lblFab, 0, 2);
    vl->addWidget(new QLabel(QStringLiteral("COR"), veh), 0, 3);
    vl->addWidget(new QLabel(QStringLiteral("PLACA"), veh), 0, 4);
    vl->addWidget(new QLabel(QStringLiteral("COMBUSTIVEL"), veh), 0, 5);
    vl->addWidget(m_modelo, 1, 0);
    vl->addLayout(years, 1, 1);
    vl->addWidget(m_fabricante, 1, 2);
    vl->addWidget(m_cor, 1, 3);
    vl->addWidget(m_placa, 1, 4);
    vl->addWidget(m_combustivel, 1, 5);
    m_anoFab->setMaximumWidth(60);
    m_anoMod->setMaximumWidth(60);
    m_placa->setMaximumWidth(100);
    vl->setColumnStretch(0, 4);
    vl->setColumnStretch(2, 3);
    vl->setColumnStretch(3, 2);
    vl->setColumnStretch(5, 3);
    auto *btnCad = new QPushButton(QStringLiteral("Cadastrar"), veh);
    btnCad->setObjectName(QStringLiteral("btnCadastrarVeiculo"));
    auto *btnDelV = new QPushButton(QStringLiteral("&Deletar Veículo Selecionado"), veh);
    btnDelV->setObjectName(QStringLiteral("btnDeletarVeiculo"));
    vl->addWidget(btnCad, 1, 6);
    vl->addWidget(btnDelV, 2, 6);
    connect(btnCad, &QPushButton::clicked, this, &TFormCadastro::cadastrarVeiculoClick);
    connect(btnDelV, &QPushButton::clicked, this, &TFormCadastro::deletarVeiculoClick);
    auto *lblGrid = new QLabel(QStringLiteral("Veículos Cadastrados"), veh);
    vl->addWidget(lblGrid, 2, 0);
    auto *vgrid = core::makeGrid(veh, m_carros, QStringLiteral("DBGridVeiculos"),
                           {core::GridColumn::make(QStringLiteral("Modelo")),
                            core::GridColumn::make(QStringLiteral("Anofabrica"), QStringLiteral("Fabricação")),
                            core::GridColumn::make(QStringLiteral("AnoModelo"), QStringLiteral("Ano Modelo")),
                            core::GridColumn::make(QStringLiteral("Fabricante")),
                            core::GridColumn::make(QStringLiteral("Cor")),
                            core::GridColumn::make(QStringLiteral("Placa")),
                            core::GridColumn::make(QStringLiteral("Combustivel"))});
    vgrid->setMinimumHeight(110);
    for (int col : {0, 3})
        vgrid->setColumnWidth(col, 200);
    vgrid->setColumnWidth(4, 110);
    vgrid->setColumnWidth(5, 100);
    vl->addWidget(vgrid, 3, 0, 1, 7);
    lay->addWidget(veh, 1);
}

void TFormCadastro::buildListagemPage(QWidget *page)
{
    auto *lay = new QVBoxLayout(page);
    auto *period = new QGroupBox(QStringLiteral("Entre com um período"), page);
    auto *pl = new QHBoxLayout(period);
    m_dataIni = new QLineEdit(period);
    m_dataIni->setObjectName(QStringLiteral("edtDataIni"));
    m_dataIni->setInputMask(QStringLiteral("99/99/9999;_"));
    m_dataFim = new QLineEdit(period);
    m_dataFim->setObjectName(QStringLiteral("edtDataFim"));
    m_dataFim->setInputMask(QStringLiteral("99/99/9999;_"));
    core::homeOnFocus(m_dataIni);
    core::homeOnFocus(m_dataFim);
    auto *ok = new QPushButton(QStringLiteral("&OK"), period);
    ok->setObjectName(QStringLiteral("btnOK"));
    pl->addWidget(m_dataIni);
    pl->addWidget(new QLabel(QStringLiteral("a"), period));
    pl->addWidget(m_dataFim);
    pl->addWidget(ok);
    pl->addStretch();
    connect(ok, &QPushButton::clicked, this, &TFormCadastro::listagemOkClick);
    lay->addWidget(period);

    auto *grid = core::makeGrid(page, m_clientes, QStringLiteral("DBGridListagem"),
                          {core::GridColumn::make(QStringLiteral("Data")),
                           core::GridColumn::make(QStringLiteral("Codigo"), QStringLiteral("Código"), 0, QStringLiteral("000000")),
                           core::GridColumn::make(QStringLiteral("Nome")),
                           core::GridColumn::make(QStringLiteral("Endereco"), QStringLiteral("Endereço"))});
    lay->addWidget(grid, 1);
    auto *print = new QPushButton(QStringLiteral("Imprimir lista"), page);
    print->setObjectName(QStringLiteral("btnImprimirLista"));
    connect(print, &QPushButton::clicked, this, &TFormCadastro::imprimirListaClick);
    auto *bl = new QHBoxLayout;
    bl->addStretch();
    bl->addWidget(print);
    lay->addLayout(bl);
}

// ---------------------------------------------------------------- states

void TFormCadastro::rowDeleted()
{
    m_btnGravar->setEnabled(true);
    m_btnNovo->setEnabled(true);
    m_btnCancelar->setEnabled(false);
    m_nav->setEnabled(false);
}

void TFormCadastro::rowChanged()
{
    // Another row (or the same row stored or discarded): its CEP is the baseline.
    ++m_row;
    m_cepBaseline = m_clientes->isOpen() && !m_clientes->isEmpty() && m_clientes->state() != Dataset::State::Insert
        ? m_clientes->value(QStringLiteral("CEP"))
        : QVariant();
}

bool TFormCadastro::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show)
        activate();
    return RecordWindow::event(e);
}

void TFormCadastro::activate()
{
    m_btnDeletar->setEnabled(m_isAdmin);
    const QString path = core::sharedFile(QStringLiteral("fabricantes.txt"));
    const auto list = readMakers(path);
    if (!list) {
        // Reported once: closing the message box activates the window again.
        if (!m_makersFailed) {
            m_makersFailed = true;
            core::dialogs().error(this, QStringLiteral("Erro"),
                                  QStringLiteral("Não foi possível abrir o arquivo \"%1\".")
                                      .arg(QDir::toNativeSeparators(path)));
        }
        return;
    }
    m_makersFailed = false;
    if (*list == m_makers)
        return;
    m_makers = *list;
    const QString typed = m_fabricante->currentText();
    m_fabricante->clear();
    m_fabricante->addItems(m_makers);
    m_fabricante->setEditText(typed);
}

// ---------------------------------------------------------------- toolbar

void TFormCadastro::btnNovoClick()
{
    if (!commitPending())
        return;
    guarded([&] {
        m_rbCodigo->setChecked(true);
        m_clientes->append();
        m_clientes->setValue(QStringLiteral("Data"), QDate::currentDate());
    });
    m_pages->setCurrentIndex(0);
    m_nome->setFocus();
    m_btnGravar->setEnabled(true);
}

void TFormCadastro::btnGravarClick()
{
    if (saveRecord())
        guarded([&] { m_clientes->refresh(); });
    m_btnGravar->setEnabled(editing());
}

void TFormCadastro::btnCancelarClick()
{
    discardRecord();
}

void TFormCadastro::btnDeletarClick()
{
    if (!m_isAdmin || m_clientes->isEmpty())
        return;
    if (core::dialogs().question(this, kExclusao, QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    guarded([&] {
        if (m_clientes->state() == Dataset::State::Insert) {
            m_clientes->cancel();
            return;
        }
        m_clientes->remove();
    });
}

void TFormCadastro::btnImprimirClick()
{
    if (m_clientes->isEmpty() || !commitPending())
        return;
    printing::PreparedReport r;
    if (runBusy([&] { r = customerSheetReport(*m_clientes, *m_carros); }))
        previewReport(r, this);
}

void TFormCadastro::syncOrder()
{
    const QString ix = m_clientes->indexName();
    if (ix.compare(QLatin1String("byNome"), Qt::CaseInsensitive) == 0)
        m_rbNome->setChecked(true);
    else if (ix.compare(QLatin1String("byCodigo"), Qt::CaseInsensitive) == 0)
        m_rbCodigo->setChecked(true);
}

void TFormCadastro::setOrder(const QString &index)
{
    if (commitPending())
        guarded([&] { m_clientes->setIndexName(index); });
    syncOrder();
}

void TFormCadastro::localizarChange(const QString &text)
{
    if (commitPending())
        guarded([&] { findNearest(QStringLiteral("byNome"), text); });
    syncOrder();
}

void TFormCadastro::procurarCodigo()
{
    QString value;
    if (!core::dialogs().input(this, QStringLiteral("Procura"), QStringLiteral("Entre com o código do cliente!"),
                               &value))
        return;
    bool ok = false;
    const qlonglong code = value.trimmed().toLongLong(&ok);
    bool found = false;
    if (!commitPending())
        return;
    guarded([&] {
        m_clientes->setIndexName(QStringLiteral("byCodigo"));
        if (ok)
            found = m_clientes->findKey({code});
    });
    syncOrder();
    if (!found)
        core::dialogs().information(this, QString(), QStringLiteral("Código não encontrado"));
}

// ---------------------------------------------------------------- CEP

bool TFormCadastro::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_cep && e->type() == QEvent::FocusOut) {
        // Closing the window or a message box of our own is no reason to ask.
        const auto reason = static_cast<QFocusEvent *>(e)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && isVisible())
            QTimer::singleShot(0, this, &TFormCadastro::cepExit);
    }
    return RecordWindow::eventFilter(watched, e);
}

void TFormCadastro::cepExit()
{
    if (!m_clientes->isOpen() || (m_clientes->isEmpty() && m_clientes->state() == Dataset::State::Browse))
        return;
    const QString cep = m_cep->text();
    // An unfinished code is not asked for: it would only blank the address.
    QString digits = cep;
    digits.remove(QRegularExpression(QStringLiteral("\\D")));
    if (digits.size() != 8)
        return;
    // Passing through the code the row already had keeps its stored address.
    if (static_cast<core::DbMaskEdit *>(m_cep)->value() == m_cepBaseline.toString())
        return;
    if (!guarded([&] {
            if (m_clientes->state() == Dataset::State::Browse)
                m_clientes->edit();
        }))
        return;
    const quint64 request = ++m_cepRequest;
    const quint64 row = m_row;
    web::httpGetAsync(web::cepRequestUrl(cep, cepServiceBase()), cepTimeout(), this,
                      [this, request, row, cep](const web::HttpReply &reply) {
                          // Only the latest request counts.
                          if (request != m_cepRequest)
                              return;
                          m_cepAnswered = request;
                          if (!m_clientes->isOpen() || row != m_row || m_cep->text() != cep)
                              return;
                          if (!reply.ok) {
                              core::dialogs().error(this, QStringLiteral("Erro"), reply.error);
                              return;
                          }
                          applyCepReply(cep, row, reply.body);
                      });
}

void TFormCadastro::applyCepReply(const QString &cep, quint64 row, const QByteArray &body)
{
    // Names are matched without case, whatever case the service writes them in.
    QMap<QString, QString> values;
    const auto parsed = web::parseCepReply(body);
    for (auto it = parsed.begin(); it != parsed.end(); ++it)
        if (!values.contains(it.key().toUpper()))
            values.insert(it.key().toUpper(), it.value());
    const web::CepAddress a = web::cepAddress(values);
    const bool applied = guarded([&] {
        if (m_clientes->state() == Dataset::State::Browse)
            m_clientes->edit();
        auto put = [&](const QString &field, const QString &value) {
            QString v = core::upper(value);
            const int size = m_clientes->fieldSize(field);
            if (size > 0)
                v = v.left(size);
            m_clientes->setValue(field, v);
        };
        put(QStringLiteral("Endereco"), a.endereco);
        put(QStringLiteral("CARRO"), a.bairro);
        put(QStringLiteral("Cidade"), a.cidade);
        put(QStringLiteral("UF"), a.uf);
    });
    if (!applied || row != m_row)
        return;
    m_cepBaseline = cep;
    if (!m_endereco->text().isEmpty() && !m_bairro->text().isEmpty() && !m_cidade->text().isEmpty())
        m_email->setFocus();
}

// ---------------------------------------------------------------- e-mail, makers

void TFormCadastro::emailClick()
{
    openUrl(customerMailUrl(m_email->text(), m_nome->text()));
}

void TFormCadastro::fabricanteClick()
{
    openUrl(QUrl::fromLocalFile(core::sharedFile(QStringLiteral("fabricantes.txt"))));
}

// ---------------------------------------------------------------- vehicles

void TFormCadastro::cadastrarVeiculoClick()
{
    const QStringList values{m_modelo->text().trimmed(), m_anoFab->text().trimmed(), m_anoMod->text().trimmed(),
                             m_fabricante->currentText().trimmed(), m_cor->text().trimmed(),
                             m_placa->text().trimmed(), m_combustivel->currentText().trimmed()};
    for (const QString &v : values) {
        if (v.isEmpty()) {
            core::dialogs().warning(this, QString(), QStringLiteral("Preecha Todos os campos!"));
            return;
        }
    }
    // The vehicle belongs to a stored customer: a pending one is stored first.
    if (!commitPending())
        return;
    if (m_clientes->isEmpty() || m_clientes->isNull(QStringLiteral("Codigo"))) {
        core::dialogs().warning(this, QString(), QStringLiteral("Cadastre o cliente antes do veículo!"));
        return;
    }
    bool ok = guarded([&] {
        if (!m_carros->isEmpty() && m_carros->asString(QStringLiteral("Placa")).trimmed().isEmpty())
            m_carros->edit();
        else
            m_carros->append();
        m_carros->setValue(QStringLiteral("Link"), m_clientes->asInteger(QStringLiteral("Codigo")));
        m_carros->setValue(QStringLiteral("Modelo"), values[0]);
        m_carros->setValue(QStringLiteral("Anofabrica"), values[1].toDouble());
        m_carros->setValue(QStringLiteral("AnoModelo"), values[2].toDouble());
        m_carros->setValue(QStringLiteral("Fabricante"), values[3]);
        m_carros->setValue(QStringLiteral("Cor"), values[4]);
        m_carros->setValue(QStringLiteral("Placa"), values[5]);
        m_carros->setValue(QStringLiteral("Combustivel"), values[6]);
        m_carros->post();
    });
    if (!ok) {
        guarded([&] {
            if (m_carros->state() != Dataset::State::Browse)
                m_carros->cancel();
        });
        return;
    }
    for (QLineEdit *e : {m_modelo, m_anoFab, m_anoMod, m_cor, m_placa})
        e->clear();
    m_fabricante->setEditText(QString());
    m_combustivel->setCurrentIndex(-1);
    m_combustivel->setEditText(QString());
    core::dialogs().information(this, QString(), QStringLiteral("Veículo adcionado com sucesso ao cadastro!"));
}

void TFormCadastro::deletarVeiculoClick()
{
    if (!m_carros->isOpen() || m_carros->isEmpty())
        return;
    core::dialogs().information(this, kExclusao,
                                QStringLiteral("Excluir o Veículo Selecionado Modelo: ")
                                    + m_carros->asString(QStringLiteral("Modelo")) + QStringLiteral(" "));
    if (core::dialogs().question(this, kExclusao, QStringLiteral("COMFIRMA A EXCLUSÃO DO MESMO?"))
        != core::Answer::Yes)
        return;
    guarded([&] { m_carros->remove(); });
}

// ---------------------------------------------------------------- listing

void TFormCadastro::listagemOkClick()
{
    const QString empty = QStringLiteral("  /  /    ");
    const QString a = m_dataIni->displayText().replace(QLatin1Char('_'), QLatin1Char(' '));
    const QString b = m_dataFim->displayText().replace(QLatin1Char('_'), QLatin1Char(' '));
    if (a == empty && b == empty) {
        // Both boxes emptied: every customer again.
        guarded([&] { m_clientes->setFiltered(false); });
        return;
    }
    if (a == empty || b == empty)
        return;
    const auto from = core::parseDate(a.trimmed());
    const auto to = core::parseDate(b.trimmed());
    if (!from || !to) {
        core::dialogs().warning(this, QString(), QStringLiteral("Data inválida!"));
        return;
    }
    guarded([&] {
        if (m_clientes->state() != Dataset::State::Browse)
            m_clientes->cancel();
        m_clientes->setIndexName(QStringLiteral("byData"));
        m_clientes->setFilter(QStringLiteral("Data >= ") + Table::quoted(core::dateText(*from))
                              + QStringLiteral(" and Data <= ") + Table::quoted(core::dateText(*to)));
        m_clientes->setFiltered(true);
        m_clientes->first();
    });
    syncOrder();
}

void TFormCadastro::imprimirListaClick()
{
    if (!commitPending())
        return;
    printing::PreparedReport r;
    if (runBusy([&] { r = customerListReport(*m_clientes); }))
        previewReport(r, this);
}

} // namespace brelvo::registries
