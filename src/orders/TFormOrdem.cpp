// The order window: its cursors, layout and panels. The actions are in
// TFormOrdemActions.cpp.

#include "orders/TFormOrdem.h"

#include "core/DataControls.h"
#include "core/DatasetModel.h"
#include "core/DialogService.h"
#include "core/Widgets.h"
#include "orders/OrderRules.h"
#include "orders/OrderTotals.h"
#include "orders/OrderWidgets.h"
#include "orders/OrderWindows.h"
#include "stock/StockBalance.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

namespace brelvo::orders {

using core::CharCase;
using core::GridColumn;
using data::Dataset;
using data::Query;
using data::Table;

// ---------------------------------------------------------------- widgets

void CarListCombo::showPopup()
{
    Q_EMIT aboutToOpen();
    core::DbComboBox::showPopup();
}

ItemsGrid::ItemsGrid(QWidget *parent) : core::DbGrid(parent) {}

void ItemsGrid::keyPressEvent(QKeyEvent *event)
{
    if (state() == EditingState) {
        core::DbGrid::keyPressEvent(event);
        return;
    }
    const QModelIndex cur = currentIndex();
    const int col = cur.isValid() ? cur.column() : -1;
    const int last = model() ? model()->columnCount() - 1 : -1;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (col == 3)
            Q_EMIT totalsWanted();
        if (cur.isValid() && col < last)
            setCurrentIndex(cur.siblingAtColumn(col + 1));
        event->accept();
        return;
    case Qt::Key_Escape:
        if (cur.isValid() && col > 0)
            setCurrentIndex(cur.siblingAtColumn(col - 1));
        event->accept();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (col == 3)
            Q_EMIT totalsWanted();
        break;
    default:
        break;
    }
    core::DbGrid::keyPressEvent(event);
}

OverlayPanel::OverlayPanel(const QString &name, QWidget *window) : QFrame(window)
{
    setObjectName(name);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    hide();
}

void OverlayPanel::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    adjustSize();
    if (QWidget *p = parentWidget())
        move((p->width() - width()) / 2, std::max(0, (p->height() - height()) / 3));
    raise();
}

// ---------------------------------------------------------------- captions

bool OrderCaptions::builtIn() const
{
    return equipamento.isEmpty() && nSerie.isEmpty() && previsao.isEmpty() && dadosOS.isEmpty();
}

OrderCaptions readCaptions(Table &camposRef)
{
    OrderCaptions c;
    if (!camposRef.isOpen() || camposRef.isEmpty())
        return c;
    c.equipamento = camposRef.asString(QStringLiteral("Equipamento"));
    c.nSerie = camposRef.asString(QStringLiteral("NSerie"));
    c.dadosOS = camposRef.asString(QStringLiteral("DadosOS"));
    c.obs = camposRef.asString(QStringLiteral("Obs"));
    c.previsao = camposRef.asString(QStringLiteral("Previsao"));
    return c;
}

// ---------------------------------------------------------------- window

namespace {

QLabel *caption(const QString &text, QWidget *parent, const char *name = nullptr)
{
    auto *l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QString::fromLatin1(name));
    return l;
}

core::DbEdit *boundEdit(QWidget *parent, const char *name, Table *t, const char *field,
                        CharCase c = CharCase::Upper)
{
    auto *e = new core::DbEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setCharCase(c);
    e->setDataSource(t, QString::fromLatin1(field));
    return e;
}

} // namespace

TFormOrdem::TFormOrdem(data::DatabasePtr db, OrderWindowContext context, QWidget *parent)
    : RecordWindow(parent), m_db(std::move(db)), m_ctx(std::move(context))
{
    setObjectName(QStringLiteral("TFormOrdem"));
    setWindowTitle(QStringLiteral("Ordem de Serviços / Orçamento"));
    resize(1180, 800);

    // The day before the window was opened: the history lists orders up to it.
    m_ontem = QDate::currentDate().addDays(-1);

    m_controle = new Table(m_db, QStringLiteral("TOrdemServico.DB"), this);
    m_controle->setObjectName(QStringLiteral("TabelaControle"));
    m_controle->setIndexName(QStringLiteral("ByChave"));
    m_cliente = new Table(m_db, QStringLiteral("tbCliente.DB"), this);
    m_cliente->setObjectName(QStringLiteral("TabelaCliente"));
    m_cliente->setIndexName(QStringLiteral("byCodigo"));
    m_itens = new Table(m_db, QStringLiteral("tbitemsordem.db"), this);
    m_itens->setObjectName(QStringLiteral("TabelaItem"));
    m_itens->setIndexName(QStringLiteral("ByCodVenda"));
    m_itens->setMasterSource(m_controle, QStringLiteral("Chave"), QStringLiteral("CodVenda"));
    m_atendente = new Table(m_db, QStringLiteral("tbFunciocario.DB"), this);
    m_atendente->setObjectName(QStringLiteral("T_Atendente"));
    m_atendente->setIndexName(QStringLiteral("ByNome"));
    m_atendente->setFilter(QStringLiteral("Funcao='ATENDENTE'"));
    m_atendente->setFiltered(true);
    m_camposRef = new Table(m_db, QStringLiteral("tbCamposRef.db"), this);
    m_camposRef->setObjectName(QStringLiteral("TCamposRef"));
    m_produtos = new Table(m_db, QStringLiteral("tbProdutos.DB"), this);
    m_produtos->setObjectName(QStringLiteral("TB_Produtos"));
    m_produtos->setIndexName(QStringLiteral("byCodigo"));
    m_configs = new Table(m_db, QStringLiteral("configExt.db"), this);
    m_configs->setObjectName(QStringLiteral("TbConfigs"));
    m_carros = new Query(m_db, this);
    m_carros->setObjectName(QStringLiteral("QCarros"));
    m_servAnteriores = new Query(m_db, this);
    m_servAnteriores->setObjectName(QStringLiteral("QServAnteriores"));
    m_detalhesVendas = new Query(m_db, this);
    m_detalhesVendas->setObjectName(QStringLiteral("QDetalhesVendas"));

    // Opened in this order; details close before their masters.
    for (Table *t : {m_controle, m_cliente, m_itens, m_atendente, m_camposRef, m_produtos, m_configs})
        t->open();
    setMainTable(m_controle);
    for (Dataset *d : std::initializer_list<Dataset *>{m_cliente, m_atendente, m_camposRef, m_produtos,
                                                       m_configs, m_carros, m_servAnteriores,
                                                       m_detalhesVendas, m_itens})
        closeWithWindow(d);
    m_totals = std::make_unique<OrderTotals>(m_db);
    m_balance = std::make_unique<stock::StockBalance>(m_db);

    auto *lay = new QVBoxLayout(this);
    lay->setSpacing(4);
    buildToolbar(lay);
    buildHeader(lay);
    buildCustomer(lay);
    buildVehicle(lay);
    buildItems(lay);
    buildBottom(lay);
    buildPanels();

    connect(m_controle, &Table::afterEdit, this, [this] {
        m_controle->setValue(QStringLiteral("HrAlteracao"), QTime::currentTime());
    });
    connect(m_controle, &Dataset::afterScroll, this, [this] {
        // Moving to another order hides the password panel (a re-read of the
        // same order, as a store does, leaves it).
        const QVariant chave = hasOrder() ? m_controle->value(QStringLiteral("Chave")) : QVariant();
        if (chave != m_shownChave && m_panAlteraOs)
            m_panAlteraOs->hide();
        m_shownChave = chave;
        Os_Finalizadas();
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        const bool wasIn = old && (old == m_grid || m_grid->isAncestorOf(old));
        const bool isIn = now && (now == m_grid || m_grid->isAncestorOf(now));
        if (!wasIn && isIn) {
            // Entering the grid stores the header and hands the keys to the grid.
            m_keyPreview = false;
            if (m_controle->state() == Dataset::State::Edit || m_controle->state() == Dataset::State::Insert)
                guarded([&] { m_controle->post(); });
        } else if (wasIn && !isIn && now && now->window() == this) {
            m_keyPreview = true;
            totalizar();
        }
    });
    qApp->installEventFilter(this);

    loadAttendants();
    PersonalizaT();
    guarded([&] { m_controle->last(); });
    Os_Finalizadas();
}

TFormOrdem::~TFormOrdem()
{
    qApp->removeEventFilter(this);
}

void TFormOrdem::buildToolbar(QVBoxLayout *lay)
{
    auto *bar = new QHBoxLayout;
    m_btnNovo = makeButton(QStringLiteral("btnNovo"), QStringLiteral("&Novo Registro"), this);
    m_btnGravar = makeButton(QStringLiteral("btnGravar"), QStringLiteral("&Gravar"), this);
    m_btnCancelar = makeButton(QStringLiteral("btnCancelar"), QStringLiteral("&Cancelar"), this);
    m_btnDeletar = makeButton(QStringLiteral("btnDeletar"), QStringLiteral("&Deletar"), this);
    auto *localizar = makeButton(QStringLiteral("SpeedButton3"), QStringLiteral("Localizar"), this);
    auto *sair = makeButton(QStringLiteral("bt_sair"), QStringLiteral("&Sair"), this);
    for (QPushButton *b : {m_btnNovo, m_btnGravar, m_btnCancelar, m_btnDeletar, localizar, sair})
        bar->addWidget(b);
    bar->addSpacing(16);
    const struct { const char *name, *text, *tip; } moves[] = {
        {"Bt_Inicio", "|<", "Primeiro"}, {"Bt_anterior", "<", "Anterior"},
        {"SpeedButton8", ">", "Próximo"}, {"SpeedButton9", ">|", "Último"}};
    for (int i = 0; i < 4; ++i) {
        QPushButton *b = makeButton(QString::fromLatin1(moves[i].name), QString::fromUtf8(moves[i].text), this);
        b->setToolTip(QString::fromUtf8(moves[i].tip));
        b->setFixedWidth(36);
        connect(b, &QPushButton::clicked, this, [this, i] { navigate(i); });
        bar->addWidget(b);
    }
    bar->addSpacing(16);
    m_btnDesconto = makeButton(QStringLiteral("btnDesconto"), QStringLiteral("Desconto"), this);
    bar->addWidget(m_btnDesconto);
    bar->addStretch(1);
    lay->addLayout(bar);

    enableWhen(m_btnGravar, When::Editing);
    connect(m_btnNovo, &QPushButton::clicked, this, &TFormOrdem::btnNovoClick);
    connect(m_btnGravar, &QPushButton::clicked, this, &TFormOrdem::btnGravarClick);
    connect(m_btnCancelar, &QPushButton::clicked, this, &TFormOrdem::btnCancelarClick);
    connect(m_btnDeletar, &QPushButton::clicked, this, &TFormOrdem::btnDeletarClick);
    connect(localizar, &QPushButton::clicked, this, &TFormOrdem::showLocalizar);
    connect(sair, &QPushButton::clicked, this, &TFormOrdem::bt_sairClick);
    connect(m_btnDesconto, &QPushButton::clicked, this, &TFormOrdem::btnDescontoClick);
}

void TFormOrdem::buildHeader(QVBoxLayout *lay)
{
    auto *row = new QHBoxLayout;
    auto *num = new QVBoxLayout;
    auto *lbl = new core::ClickLabel(QStringLiteral("Nº Ordem:"), this);
    lbl->setObjectName(QStringLiteral("lblNumOrdem"));
    m_lblNumOrdem = lbl;
    num->addWidget(lbl);
    m_numero = new core::DbLabel(this);
    m_numero->setObjectName(QStringLiteral("DBTextCodigo"));
    m_numero->setDataSource(m_controle, QStringLiteral("Codigo"));
    m_numero->setDisplayMask(QStringLiteral("000000"));
    QFont big = m_numero->font();
    big.setPointSize(22);
    big.setBold(true);
    m_numero->setFont(big);
    QPalette red = m_numero->palette();
    red.setColor(QPalette::WindowText, QColor(0xFF, 0, 0));
    m_numero->setPalette(red);
    num->addWidget(m_numero);
    row->addLayout(num);
    connect(lbl, &core::ClickLabel::clicked, this, &TFormOrdem::showLocalizar);

    // Pop-up of the number display and the captions.
    auto *numMenu = new QMenu(this);
    numMenu->setObjectName(QStringLiteral("PopupNumero"));
    QAction *inserir = numMenu->addAction(QStringLiteral("Inserir Nº O.S Inicial"));
    inserir->setObjectName(QStringLiteral("actInserirNumero"));
    QAction *personalizar = numMenu->addAction(QStringLiteral("Personalizar Campos"));
    personalizar->setObjectName(QStringLiteral("actPersonalizar"));
    connect(inserir, &QAction::triggered, this, &TFormOrdem::showNumeroInicial);
    connect(personalizar, &QAction::triggered, this, &TFormOrdem::showPersonalize);
    for (QWidget *w : {static_cast<QWidget *>(m_numero), static_cast<QWidget *>(lbl)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [numMenu, w](const QPoint &p) { numMenu->popup(w->mapToGlobal(p)); });
    }

    m_tipo = new core::DbRadioGroup(QStringLiteral("Selecione o Tipo"), this);
    m_tipo->setObjectName(QStringLiteral("RadioTipo"));
    m_tipo->setItems({QStringLiteral("Ordem de Serviço"), QStringLiteral("Orçamento")}, {kServiceOrder, kQuote});
    m_tipo->setDataSource(m_controle, QStringLiteral("OsOc"));
    row->addWidget(m_tipo);

    m_gbMecanico = new QGroupBox(this);
    m_gbMecanico->setObjectName(QStringLiteral("GroupMecanico"));
    auto *mg = new QGridLayout(m_gbMecanico);
    mg->addWidget(caption(QStringLiteral("Codigo Mecânico : "), m_gbMecanico), 0, 0);
    m_codMecanico = boundEdit(m_gbMecanico, "CodMecanico", m_controle, "CodVendedor", CharCase::Normal);
    m_codMecanico->setDisplayMask(QStringLiteral("00000"));
    m_codMecanico->setMaximumWidth(80);
    mg->addWidget(m_codMecanico, 0, 1);
    auto *tecnico = new core::DbLabel(m_gbMecanico);
    tecnico->setObjectName(QStringLiteral("DBTextTecnico"));
    tecnico->setDataSource(m_controle, QStringLiteral("Tecnico"));
    tecnico->setMinimumWidth(160);
    mg->addWidget(tecnico, 0, 2);
    mg->addWidget(caption(QStringLiteral("Atendente: "), m_gbMecanico), 1, 0);
    m_editAtendente = new core::DbComboBox(m_gbMecanico, true);
    m_editAtendente->setObjectName(QStringLiteral("EditAtendente"));
    m_editAtendente->setDataSource(m_controle, QStringLiteral("Atendente"));
    mg->addWidget(m_editAtendente, 1, 1, 1, 2);
    mg->addWidget(caption(QStringLiteral("Andamento O.S / OC: "), m_gbMecanico), 2, 0);
    // The list offers the nine states; the box shows any state, "FINALIZADO" too.
    m_andamento = new core::DbComboBox(m_gbMecanico, false);
    m_andamento->lineEdit()->setReadOnly(true);
    m_andamento->setObjectName(QStringLiteral("DBComboBox1"));
    m_andamento->setItems(progressStates());
    m_andamento->setDataSource(m_controle, QStringLiteral("Andamento"));
    mg->addWidget(m_andamento, 2, 1, 1, 2);
    row->addWidget(m_gbMecanico, 1);
    lay->addLayout(row);

    connect(m_codMecanico, &QLineEdit::editingFinished, this, &TFormOrdem::BuscaTecnico);
    connect(m_editAtendente, &QComboBox::activated, this, [this] {
        // A click on the list puts the order in editing.
        if (hasOrder() && m_controle->state() == Dataset::State::Browse)
            guarded([&] { m_controle->edit(); });
    });
    connect(m_andamento, &QComboBox::activated, this, [this] { Os_Finalizadas(); });
}

void TFormOrdem::buildCustomer(QVBoxLayout *lay)
{
    m_gbCliente = new QGroupBox(QStringLiteral("Idetificar Cliente"), this);
    m_gbCliente->setObjectName(QStringLiteral("GroupCliente"));
    auto *g = new QGridLayout(m_gbCliente);
    g->addWidget(caption(QStringLiteral("Data"), m_gbCliente), 0, 0);
    m_editData = new core::DbDateEdit(m_gbCliente);
    m_editData->setObjectName(QStringLiteral("EditData"));
    m_editData->setDataSource(m_controle, QStringLiteral("Data"));
    g->addWidget(m_editData, 1, 0);
    auto *lblCod = new core::ClickLabel(QStringLiteral("Cod. Cliente"), m_gbCliente);
    lblCod->setObjectName(QStringLiteral("lblCodCliente"));
    g->addWidget(lblCod, 0, 1);
    m_editCodigo = boundEdit(m_gbCliente, "EditCodigo", m_controle, "CodCliente", CharCase::Normal);
    m_editCodigo->setDisplayMask(QStringLiteral("0000"));
    g->addWidget(m_editCodigo, 1, 1);
    m_btLocalizar = makeButton(QStringLiteral("bt_localizar"), QStringLiteral("(F3)"), m_gbCliente);
    g->addWidget(m_btLocalizar, 1, 2);
    const struct { const char *caption, *name, *field; int stretch; } boxes[] = {
        {"Nome", "EditNome", "NomeCliente", 4}, {"CPF/CNPJ", "EditCPF", "CPFCNPJ", 2},
        {"Telefone", "EditFone", "Fone", 2}, {"Celular", "EditCelular", "Celular", 2}};
    int col = 3;
    for (const auto &b : boxes) {
        g->addWidget(caption(QString::fromUtf8(b.caption), m_gbCliente), 0, col);
        core::DbEdit *e = boundEdit(m_gbCliente, b.name, m_controle, b.field);
        e->setReadOnly(true);
        e->link()->setReadOnly(true);
        m_customerBoxes << e;
        g->addWidget(e, 1, col);
        g->setColumnStretch(col, b.stretch);
        ++col;
    }
    lay->addWidget(m_gbCliente);

    auto *row = new QHBoxLayout;
    auto *entrega = new QGroupBox(QStringLiteral("Previsão de entrega / Validade da O.S"), this);
    entrega->setObjectName(QStringLiteral("GroupEntrega"));
    auto *el = new QHBoxLayout(entrega);
    m_editDataEntrega = new core::DbDateEdit(entrega);
    m_editDataEntrega->setObjectName(QStringLiteral("EditDataEntrega"));
    m_editDataEntrega->setDataSource(m_controle, QStringLiteral("DataEntrega"));
    el->addWidget(m_editDataEntrega);
    el->addWidget(caption(QStringLiteral("às"), entrega));
    m_editPrevisao = new core::DbMaskEdit(entrega);
    m_editPrevisao->setObjectName(QStringLiteral("EditPrevisao"));
    m_editPrevisao->setEditMask(QStringLiteral("!90:00;1;_"));
    m_editPrevisao->setDataSource(m_controle, QStringLiteral("HoraEntrega"));
    m_editPrevisao->setMaximumWidth(70);
    el->addWidget(m_editPrevisao);
    row->addWidget(entrega);

    auto *queixa = new QGroupBox(this);
    queixa->setObjectName(QStringLiteral("GroupDefeito"));
    auto *ql = new QGridLayout(queixa);
    m_lblDefeito = caption(QStringLiteral("Defeito Reclamado"), queixa, "lblDefeito");
    ql->addWidget(m_lblDefeito, 0, 0);
    m_editDefeito = boundEdit(queixa, "EditDefeito", m_controle, "DefeitoReclama");
    ql->addWidget(m_editDefeito, 0, 1);
    m_lblObs = caption(QStringLiteral("Obs:"), queixa, "lblObs");
    ql->addWidget(m_lblObs, 1, 0);
    m_editObs = boundEdit(queixa, "EditObs", m_controle, "Obs");
    ql->addWidget(m_editObs, 1, 1);
    row->addWidget(queixa, 1);
    lay->addLayout(row);

    connect(m_editCodigo, &QLineEdit::returnPressed, this, &TFormOrdem::EditCodigoEnter);
    connect(m_btLocalizar, &QPushButton::clicked, this, &TFormOrdem::bt_localizarClick);
    connect(lblCod, &core::ClickLabel::clicked, this, &TFormOrdem::pesquisarCliente);
}

void TFormOrdem::buildVehicle(QVBoxLayout *lay)
{
    m_gbVeiculo = new QGroupBox(QStringLiteral("Dados Do Veículo"), this);
    m_gbVeiculo->setObjectName(QStringLiteral("GroupBox12"));
    auto *g = new QHBoxLayout(m_gbVeiculo);
    g->addWidget(caption(QStringLiteral("Kilometragem (Km) Atual:"), m_gbVeiculo));
    m_km = boundEdit(m_gbVeiculo, "EditKm", m_controle, "Km", CharCase::Normal);
    m_km->setMinimumWidth(80);
    m_km->setMaximumWidth(100);
    g->addWidget(m_km);
    m_lblModelo = caption(QStringLiteral("Modelo:"), m_gbVeiculo, "lblModelo");
    g->addWidget(m_lblModelo);
    m_modelos = new CarListCombo(m_gbVeiculo);
    m_modelos->setObjectName(QStringLiteral("CombModelos"));
    m_modelos->setCharCase(CharCase::Upper);
    m_modelos->setDataSource(m_controle, QStringLiteral("Modelo"));
    m_modelos->setMinimumWidth(150);
    g->addWidget(m_modelos, 2);
    g->addWidget(caption(QStringLiteral("Ano Fab    / Ano Mod"), m_gbVeiculo));
    core::DbEdit *anoFab = boundEdit(m_gbVeiculo, "EditAnoFab", m_controle, "AnoFabrica", CharCase::Normal);
    core::DbEdit *ano = boundEdit(m_gbVeiculo, "EditAno", m_controle, "Ano", CharCase::Normal);
    for (core::DbEdit *e : {anoFab, ano}) {
        e->setMaxLength(4);
        e->setMinimumWidth(48);
        e->setMaximumWidth(55);
        g->addWidget(e);
    }
    g->addWidget(caption(QStringLiteral("Placa:"), m_gbVeiculo));
    m_placa = new CarListCombo(m_gbVeiculo);
    m_placa->setObjectName(QStringLiteral("DBEdit15"));
    m_placa->setCharCase(CharCase::Upper);
    m_placa->setDataSource(m_controle, QStringLiteral("Placa"));
    m_placa->setMinimumWidth(110);
    g->addWidget(m_placa, 1);
    const struct { const char *caption, *name, *field; } texts[] = {
        {"Combustivel", "EditCombustivel", "Combustivel"}, {"Fabricante", "EditFabricante", "Fabricante"}};
    for (const auto &t : texts) {
        g->addWidget(caption(QString::fromLatin1(t.caption), m_gbVeiculo));
        core::DbEdit *e = boundEdit(m_gbVeiculo, t.name, m_controle, t.field);
        e->setMinimumWidth(110);
        g->addWidget(e, 1);
    }
    auto *hist = makeButton(QStringLiteral("BtServicosAnteriosres"), QStringLiteral("(F4)"), m_gbVeiculo);
    hist->setToolTip(QStringLiteral("Ver Serviços Anteriores"));
    g->addWidget(hist);
    lay->addWidget(m_gbVeiculo);

    for (CarListCombo *c : {m_modelos, m_placa})
        connect(c, &CarListCombo::aboutToOpen, this, &TFormOrdem::ListaModelos);
    connect(m_modelos, &QComboBox::activated, this, [this] { modeloEscolhido(true); });
    connect(m_placa, &QComboBox::activated, this, [this] { placaEscolhida(true); });
    connect(hist, &QPushButton::clicked, this, &TFormOrdem::BtServicosAnteriosresClick);
}

void TFormOrdem::buildItems(QVBoxLayout *lay)
{
    m_gbItens = new QGroupBox(QStringLiteral("Adicionar Produtos / Serviços - Cadastrados"), this);
    m_gbItens->setObjectName(QStringLiteral("GroupItens"));
    auto *g = new QHBoxLayout(m_gbItens);
    g->addWidget(caption(QStringLiteral("Codigo:"), m_gbItens));
    m_mskCodigo = new QLineEdit(m_gbItens);
    m_mskCodigo->setObjectName(QStringLiteral("mskCodigo"));
    m_mskCodigo->setMaxLength(13);
    m_mskCodigo->setMinimumWidth(130);
    g->addWidget(m_mskCodigo);
    g->addWidget(caption(QStringLiteral("Valor Un.:"), m_gbItens));
    m_preco = new QLineEdit(m_gbItens);
    m_preco->setObjectName(QStringLiteral("fldPrecoUnitario"));
    m_preco->setReadOnly(true);
    m_preco->setFocusPolicy(Qt::NoFocus);
    m_preco->setMaximumWidth(110);
    m_preco->setAlignment(Qt::AlignRight);
    g->addWidget(m_preco);
    g->addWidget(caption(QStringLiteral("Qtd:"), m_gbItens));
    m_mskQuantidade = new QLineEdit(QStringLiteral("01"), m_gbItens);
    m_mskQuantidade->setObjectName(QStringLiteral("mskQuantidade"));
    m_mskQuantidade->setMaximumWidth(70);
    g->addWidget(m_mskQuantidade);
    m_btnF1 = makeButton(QStringLiteral("btnLocalizarProduto"), QStringLiteral("(F1)"), m_gbItens);
    g->addWidget(m_btnF1);
    m_btnRemover = makeButton(QStringLiteral("BitBtn2"), QStringLiteral("Remover"), m_gbItens);
    m_btnRemover->setToolTip(QStringLiteral("Remove o item selecionado abaixo!"));
    g->addWidget(m_btnRemover);
    g->addStretch(1);
    lay->addWidget(m_gbItens);
    for (QWidget *w : {static_cast<QWidget *>(m_mskCodigo), static_cast<QWidget *>(m_mskQuantidade)})
        core::EnterMovesFocus::keepEnter(w);
    setTabOrder(m_mskCodigo, m_mskQuantidade);

    m_grid = new ItemsGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    GridColumn sub = GridColumn::calculated(
        QStringLiteral("SubTotal"),
        [](const Dataset &d) -> QVariant {
            if (d.isNull(QStringLiteral("Qtd")) && d.isNull(QStringLiteral("ValorUni")))
                return QVariant();
            return d.asFloat(QStringLiteral("Qtd")) * d.asFloat(QStringLiteral("ValorUni"));
        },
        QStringLiteral("######0.00"), 14);
    m_grid->setDataset(m_itens, {GridColumn::make(QStringLiteral("Descricao"), QStringLiteral("Produto / Serviços"), 60,
                                                  QString(), false),
                                 GridColumn::make(QStringLiteral("Qtd"), QStringLiteral("Qtd"), 8, QString(), false),
                                 GridColumn::make(QStringLiteral("ValorUni"), QStringLiteral("Preço Unitario"), 15,
                                                  QStringLiteral("######0.00"), false),
                                 sub});
    m_grid->setGridReadOnly(false);
    core::styleGrid(m_grid);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                            | QAbstractItemView::AnyKeyPressed);
    lay->addWidget(m_grid, 1);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *locCli = m_popup->addAction(QStringLiteral("Locali&zar O.S Cliente"));
    locCli->setObjectName(QStringLiteral("actLocalizarOSCliente"));
    QAction *del = m_popup->addAction(QStringLiteral("Deletar Item Selecionado!"));
    del->setObjectName(QStringLiteral("actDeletarItem"));
    QAction *ins = m_popup->addAction(QStringLiteral("Inserir Linha"));
    ins->setObjectName(QStringLiteral("actInserirLinha"));
    m_popup->addSeparator();
    QAction *pesquisa = m_popup->addAction(QStringLiteral("Pesquisa Andamento das O.S"));
    pesquisa->setObjectName(QStringLiteral("actPesquisaAndamento"));
    connect(del, &QAction::triggered, this, &TFormOrdem::deletarItemSelecionado);
    connect(ins, &QAction::triggered, this, &TFormOrdem::inserirLinha);
    connect(pesquisa, &QAction::triggered, this, [this] {
        if (commitPending())
            openPesquisaAndamento(this, m_db);
    });
    for (QWidget *w : {static_cast<QWidget *>(m_grid), static_cast<QWidget *>(m_gbCliente)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &p) { m_popup->popup(w->mapToGlobal(p)); });
    }

    connect(m_mskCodigo, &QLineEdit::returnPressed, this, &TFormOrdem::mskCodigoEnter);
    connect(m_mskQuantidade, &QLineEdit::returnPressed, this, [this] {
        m_mskCodigo->setFocus();
        m_mskCodigo->selectAll();
    });
    connect(m_btnF1, &QPushButton::clicked, this, &TFormOrdem::LocalizarProdut);
    connect(m_btnRemover, &QPushButton::clicked, this, &TFormOrdem::BitBtn2Click);
    connect(m_grid, &ItemsGrid::totalsWanted, this, &TFormOrdem::queueTotalizar);
    connect(m_grid, &QAbstractItemView::clicked, this, &TFormOrdem::queueTotalizar);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionMoved, this, &TFormOrdem::queueTotalizar);
    // Only a column change of the operator: the grid re-reading its rows
    // (as every store of the order makes it do) starts from no current cell.
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentColumnChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                if (current.isValid() && previous.isValid())
                    queueTotalizar();
            });
}

void TFormOrdem::buildBottom(QVBoxLayout *lay)
{
    auto *row = new QHBoxLayout;
    auto *orc = makeButton(QStringLiteral("btnImprimirOrcamento"), QStringLiteral("Imprimir Orçamento"), this);
    orc->setToolTip(QStringLiteral("Imprimir/Visualizar Orçamento"));
    auto *os = makeButton(QStringLiteral("btnImprimir"), QStringLiteral("Ordem de serviço"), this);
    os->setToolTip(QStringLiteral("Imprimir ordem de serviço!"));
    auto *recibo = makeButton(QStringLiteral("btnReciboEntrega"), QStringLiteral("Recibo de Entrega"), this);
    recibo->setToolTip(QStringLiteral("Imprimir recibo de entrega!"));
    m_btnFinalizar = makeButton(QStringLiteral("Br_finalizar"), QStringLiteral("Finalizar (F2)"), this);
    m_btAlterar = makeButton(QStringLiteral("Bt_alterar"), QStringLiteral("Alterar O.S"), this);
    m_btAlterar->hide();
    for (QPushButton *b : {orc, os, recibo, m_btnFinalizar, m_btAlterar})
        row->addWidget(b);
    row->addStretch(1);
    row->addWidget(caption(QStringLiteral("Valor total: "), this));
    auto *total = new core::DbLabel(this);
    total->setObjectName(QStringLiteral("DBTextTotal"));
    total->setDataSource(m_controle, QStringLiteral("VrTotal"));
    total->setDisplayMask(QStringLiteral("R$ ###,##0.00"));
    QFont f = total->font();
    f.setPointSize(16);
    f.setBold(true);
    total->setFont(f);
    row->addWidget(total);
    lay->addLayout(row);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    status->showMessage(QStringLiteral("Comandos Atalhos: | Imprimir Cupom Não Fiscal - Ctrl+F | Localizar "
                                       "Produtos/Serviços Cadastrado Ctrl+L |  Personalizar Campos da O.S Ctrl+G "
                                       "| F4 Ver Serviços Anteriores"));
    lay->addWidget(status);

    connect(orc, &QPushButton::clicked, this, &TFormOrdem::btnImprimirOrcamentoClick);
    connect(os, &QPushButton::clicked, this, &TFormOrdem::imprimirOrdem);
    connect(recibo, &QPushButton::clicked, this, &TFormOrdem::imprimirReciboEntrega);
    connect(m_btnFinalizar, &QPushButton::clicked, this, &TFormOrdem::Br_finalizarClick);
    connect(m_btAlterar, &QPushButton::clicked, this, &TFormOrdem::Bt_alterarClick);
}

void TFormOrdem::buildPanels()
{
    // Supervisor password.
    m_panAlteraOs = new OverlayPanel(QStringLiteral("PanAlteraOs"), this);
    {
        auto *l = new QVBoxLayout(m_panAlteraOs);
        l->addWidget(caption(QStringLiteral("Digite A senha do Usuário (KOV) para Continuar..."), m_panAlteraOs));
        m_senha = new QLineEdit(m_panAlteraOs);
        m_senha->setObjectName(QStringLiteral("EditSenha"));
        m_senha->setEchoMode(QLineEdit::Password);
        m_senha->setMaxLength(15);
        core::setTypingCase(m_senha, CharCase::Upper);
        core::EnterMovesFocus::keepEnter(m_senha);
        l->addWidget(m_senha);
        auto *b = new QHBoxLayout;
        auto *ok = makeButton(QStringLiteral("btnOkSenha"), QStringLiteral("Ok"), m_panAlteraOs);
        auto *cancel = makeButton(QStringLiteral("btnCancelarSenha"), QStringLiteral("Cancelar"), m_panAlteraOs);
        b->addWidget(ok);
        b->addWidget(cancel);
        l->addLayout(b);
        connect(ok, &QPushButton::clicked, this, &TFormOrdem::senhaOkClick);
        connect(m_senha, &QLineEdit::returnPressed, this, &TFormOrdem::senhaOkClick);
        connect(cancel, &QPushButton::clicked, this, &TFormOrdem::senhaCancelarClick);
    }

    // Starting number.
    m_panel5 = new OverlayPanel(QStringLiteral("Panel5"), this);
    {
        auto *l = new QVBoxLayout(m_panel5);
        l->addWidget(caption(QStringLiteral("Digite aqui o numero da O.S  Inicial:"), m_panel5));
        m_numeroInicial = boundEdit(m_panel5, "EditNumeroInicial", m_controle, "Codigo", CharCase::Normal);
        l->addWidget(m_numeroInicial);
        auto *gravar = makeButton(QStringLiteral("btnGravarSair"), QStringLiteral("Gravar e Sair"), m_panel5);
        l->addWidget(gravar);
        connect(gravar, &QPushButton::clicked, this, &TFormOrdem::gravarNumeroInicialClick);
    }

    // Discount.
    m_panDesconto = new OverlayPanel(QStringLiteral("PanelDesconto"), this);
    {
        auto *l = new QHBoxLayout(m_panDesconto);
        l->addWidget(caption(QStringLiteral("Valor Desconto R$ :"), m_panDesconto));
        m_desconto = boundEdit(m_panDesconto, "EditDesconto", m_controle, "Desconto", CharCase::Normal);
        m_desconto->setDisplayMask(QStringLiteral("######0.00"));
        m_desconto->setMaximumWidth(110);
        core::EnterMovesFocus::keepEnter(m_desconto);
        l->addWidget(m_desconto);
        auto *ok = makeButton(QStringLiteral("BtDesconto"), QStringLiteral("Comfirmar (F1)"), m_panDesconto);
        auto *fechar = makeButton(QStringLiteral("btnFecharDesconto"), QStringLiteral("Fechar (x)"), m_panDesconto);
        // The buttons leave the focus in the box: what is typed is read as typed.
        ok->setFocusPolicy(Qt::NoFocus);
        fechar->setFocusPolicy(Qt::NoFocus);
        l->addWidget(ok);
        l->addWidget(fechar);
        connect(ok, &QPushButton::clicked, this, &TFormOrdem::BtDescontoClick);
        connect(m_desconto, &QLineEdit::returnPressed, this, &TFormOrdem::BtDescontoClick);
        connect(fechar, &QPushButton::clicked, m_panDesconto, &QWidget::hide);
    }

    buildLocalizar();
    buildPersonalize();
    buildImpreOrcamento();
}

void TFormOrdem::buildImpreOrcamento()
{
    m_impreOrcamento = new OverlayPanel(QStringLiteral("ImpreOrcamento"), this);
    auto *l = new QVBoxLayout(m_impreOrcamento);
    auto *group = new QGroupBox(QStringLiteral("Selecione Opção: "), m_impreOrcamento);
    group->setObjectName(QStringLiteral("RgOpcaoOrcamento"));
    auto *gl = new QVBoxLayout(group);
    m_rbComValores = new QRadioButton(QStringLiteral("Impressão c\\ Valores"), group);
    m_rbComValores->setObjectName(QStringLiteral("RbComValores"));
    m_rbSemValores = new QRadioButton(QStringLiteral("Impressão Sem Valores"), group);
    m_rbSemValores->setObjectName(QStringLiteral("RbSemValores"));
    gl->addWidget(m_rbComValores);
    gl->addWidget(m_rbSemValores);
    l->addWidget(group);
    auto *b = new QHBoxLayout;
    m_btnImprimirOcV = makeButton(QStringLiteral("ImprimirOcV"), QStringLiteral("  Imprimir (Ctrl+A)"), m_impreOrcamento);
    m_btnImprimirOSs = makeButton(QStringLiteral("ImprimriOSs"), QStringLiteral("  Imprimir (Ctrl+B)"), m_impreOrcamento);
    auto *sair = makeButton(QStringLiteral("btnSairOrcamento"), QStringLiteral("Sair"), m_impreOrcamento);
    b->addWidget(m_btnImprimirOcV);
    b->addWidget(m_btnImprimirOSs);
    b->addWidget(sair);
    l->addLayout(b);
    // Each option shows only its own print button.
    auto showButton = [this] {
        m_btnImprimirOcV->setVisible(m_rbComValores->isChecked());
        m_btnImprimirOSs->setVisible(m_rbSemValores->isChecked());
    };
    connect(m_rbComValores, &QRadioButton::toggled, this, showButton);
    connect(m_rbSemValores, &QRadioButton::toggled, this, showButton);
    connect(m_btnImprimirOcV, &QPushButton::clicked, this, [this] { imprimirOrcamento(true); });
    connect(m_btnImprimirOSs, &QPushButton::clicked, this, [this] { imprimirOrcamento(false); });
    connect(sair, &QPushButton::clicked, m_impreOrcamento, &QWidget::hide);
}

// Built on first use (finalising): most openings of the window never show it.
void TFormOrdem::buildPayment()
{
    if (m_recebimento)
        return;
    m_recebimento = new OverlayPanel(QStringLiteral("P_Recebimento"), this);
    auto *l = new QVBoxLayout(m_recebimento);
    auto *formas = new core::DbRadioGroup(QStringLiteral("Selecione o Tipo Recebimento"), m_recebimento);
    formas->setObjectName(QStringLiteral("RadioRecebimento"));
    QStringList captions, codes;
    for (const PaymentMethod &p : paymentMethods()) {
        captions << p.caption;
        codes << p.code;
    }
    formas->setItems(captions, codes);
    formas->setDataSource(m_controle, QStringLiteral("ForPagamento"));
    // Four columns.
    delete formas->layout();
    auto *grid = new QGridLayout(formas);
    for (int i = 0; i < captions.size(); ++i) {
        grid->addWidget(formas->button(i), i / 4, i % 4);
        connect(formas->button(i), &QRadioButton::clicked, this, [this] { m_valorRecebido->setFocus(); });
    }
    l->addWidget(formas);

    auto *g = new QGridLayout;
    g->addWidget(caption(QStringLiteral("Valor à Pagar ="), m_recebimento), 0, 0);
    core::DbEdit *pagar = boundEdit(m_recebimento, "EditValorPagar", m_controle, "VrTotal", CharCase::Normal);
    pagar->setReadOnly(true);
    pagar->link()->setReadOnly(true);
    pagar->setDisplayMask(QStringLiteral("#####0.00"));
    g->addWidget(pagar, 0, 1);
    g->addWidget(caption(QStringLiteral("Valor Recebido"), m_recebimento), 1, 0);
    m_valorRecebido = new QLineEdit(m_recebimento);
    m_valorRecebido->setObjectName(QStringLiteral("EditValorRecebido"));
    m_valorRecebido->setAlignment(Qt::AlignRight);
    g->addWidget(m_valorRecebido, 1, 1);
    g->addWidget(caption(QStringLiteral("Troco ="), m_recebimento), 2, 0);
    m_troco = new QLineEdit(m_recebimento);
    m_troco->setObjectName(QStringLiteral("EditTroco"));
    m_troco->setReadOnly(true);
    m_troco->setFocusPolicy(Qt::NoFocus);
    m_troco->setAlignment(Qt::AlignRight);
    g->addWidget(m_troco, 2, 1);
    g->addWidget(caption(QStringLiteral("Data Recebimento:"), m_recebimento), 3, 0);
    auto *dtOs = new core::DbDateEdit(m_recebimento);
    dtOs->setObjectName(QStringLiteral("EditDtOs"));
    dtOs->setDataSource(m_controle, QStringLiteral("DtOs"));
    g->addWidget(dtOs, 3, 1);
    l->addLayout(g);
    auto *b = new QHBoxLayout;
    auto *pago = makeButton(QStringLiteral("Bt_Pago"), QStringLiteral("Comfirmar (F12)"), m_recebimento);
    m_btnSairRecebimento = makeButton(QStringLiteral("btnSairRecebimento"), QStringLiteral("Sair"), m_recebimento);
    b->addWidget(pago);
    b->addWidget(m_btnSairRecebimento);
    l->addLayout(b);

    connect(m_valorRecebido, &QLineEdit::textEdited, this, &TFormOrdem::valorRecebidoChange);
    connect(pago, &QPushButton::clicked, this, &TFormOrdem::Bt_PagoClick);
    connect(m_btnSairRecebimento, &QPushButton::clicked, m_recebimento, &QWidget::hide);
}

// Built on first use (F4): most openings of the window never show it.
void TFormOrdem::buildHistory()
{
    m_panDetalhes = new OverlayPanel(QStringLiteral("PanDetalhes"), this);
    auto *l = new QVBoxLayout(m_panDetalhes);
    l->addWidget(caption(QStringLiteral("Serviços Anteriores: "), m_panDetalhes));
    m_gridAnteriores = core::makeGrid(
        m_panDetalhes, m_servAnteriores, QStringLiteral("DBGridAnteriores"),
        {GridColumn::make(QStringLiteral("Data_OS"), QStringLiteral("Data_OS"), 12),
         GridColumn::make(QStringLiteral("HrOS"), QStringLiteral("HrOS"), 8),
         GridColumn::make(QStringLiteral("NomeCliente"), QStringLiteral("NomeCliente"), 30),
         GridColumn::make(QStringLiteral("Modelo"), QStringLiteral("Modelo"), 20),
         GridColumn::make(QStringLiteral("Placa"), QStringLiteral("Placa"), 10),
         GridColumn::make(QStringLiteral("Total"), QStringLiteral("Total"), 10, QStringLiteral("R$ ###,##0.00"))});
    m_gridAnteriores->setMinimumSize(720, 160);
    l->addWidget(m_gridAnteriores);
    auto *boxes = new QHBoxLayout;
    auto addBox = [&](const QString &text, const char *name) {
        boxes->addWidget(caption(text, m_panDetalhes));
        auto *v = new QLabel(m_panDetalhes);
        v->setObjectName(QString::fromLatin1(name));
        v->setFrameShape(QFrame::StyledPanel);
        v->setMinimumWidth(70);
        boxes->addWidget(v);
        return v;
    };
    m_histData = addBox(QStringLiteral("Data : "), "lblHistData");
    m_histHora = addBox(QStringLiteral("Hora : "), "lblHistHora");
    m_histPlaca = addBox(QStringLiteral("Placa : "), "lblHistPlaca");
    m_histModelo = addBox(QStringLiteral("Modelo : "), "lblHistModelo");
    m_histNumero = addBox(QStringLiteral("Nº OS : "), "lblHistNumero");
    l->addLayout(boxes);
    l->addWidget(caption(QStringLiteral("Serviços Executados: "), m_panDetalhes));
    m_gridExecutados = core::makeGrid(
        m_panDetalhes, m_detalhesVendas, QStringLiteral("DBGridExecutados"),
        {GridColumn::make(QStringLiteral("Descricao"), QStringLiteral("Descricao")),
         GridColumn::make(QStringLiteral("Qtd"), QStringLiteral("Qtd")),
         GridColumn::make(QStringLiteral("ValorUni"), QStringLiteral("ValorUni"), 0, QStringLiteral("R$ ###,##0.00")),
         GridColumn::make(QStringLiteral("SubTotal"), QStringLiteral("SubTotal"), 0, QStringLiteral("R$ ###,##0.00"))});
    m_gridExecutados->setMinimumSize(720, 140);
    l->addWidget(m_gridExecutados);
    auto *fechar = makeButton(QStringLiteral("btnFecharDetalhes"), QStringLiteral("Fechar"), m_panDetalhes);
    l->addWidget(fechar, 0, Qt::AlignRight);
    connect(fechar, &QPushButton::clicked, m_panDetalhes, &QWidget::hide);
    connect(m_gridAnteriores->datasetModel(), &core::DatasetModel::currentRowChanged, this,
            &TFormOrdem::DetalhesItems);
    connect(m_gridAnteriores, &QAbstractItemView::doubleClicked, this, &TFormOrdem::DetalhesItems);
    connect(m_gridAnteriores, &QAbstractItemView::clicked, this, &TFormOrdem::DetalhesItems);
}

void TFormOrdem::buildLocalizar()
{
    m_localizar = new OverlayPanel(QStringLiteral("Panel_Localizar"), this);
    auto *l = new QVBoxLayout(m_localizar);
    l->addWidget(caption(QStringLiteral("Localizar Ordem de Serviço por:"), m_localizar));
    auto *radios = new QHBoxLayout;
    m_rbNumero = new QRadioButton(QStringLiteral("Numéro da OS"), m_localizar);
    m_rbNumero->setObjectName(QStringLiteral("rbNumero"));
    m_rbNome = new QRadioButton(QStringLiteral("Nome Cliente"), m_localizar);
    m_rbNome->setObjectName(QStringLiteral("rbNome"));
    m_rbPlaca = new QRadioButton(QStringLiteral("Nº Placa"), m_localizar);
    m_rbPlaca->setObjectName(QStringLiteral("rbPlaca"));
    m_rbNumero->setChecked(true);
    for (QRadioButton *r : {m_rbNumero, m_rbNome, m_rbPlaca})
        radios->addWidget(r);
    l->addLayout(radios);
    m_lblDigite = caption(QStringLiteral("Digite Nº da O.S"), m_localizar, "lblDigite");
    l->addWidget(m_lblDigite);
    m_locNumero = new QLineEdit(m_localizar);
    m_locNumero->setObjectName(QStringLiteral("EditLocNumero"));
    m_locNumero->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_locNumero));
    m_locNome = new QLineEdit(m_localizar);
    m_locNome->setObjectName(QStringLiteral("EditLocNome"));
    m_locPlaca = new QLineEdit(m_localizar);
    m_locPlaca->setObjectName(QStringLiteral("EditLocPlaca"));
    for (QLineEdit *e : {m_locNome, m_locPlaca})
        core::setTypingCase(e, CharCase::Upper);
    for (QLineEdit *e : {m_locNumero, m_locNome, m_locPlaca}) {
        l->addWidget(e);
        connect(e, &QLineEdit::textChanged, this, &TFormOrdem::localizarChange);
    }
    m_locNome->hide();
    m_locPlaca->hide();
    // The grid is made when the panel opens and dropped when it closes: a grid
    // over the order cursor would otherwise follow every change of the order.
    m_localizarLayout = l;
    m_localizarGridAt = l->count();
    auto *sair = makeButton(QStringLiteral("btnSairPesquisa"), QStringLiteral("Sair da &Pesquisa"), m_localizar);
    l->addWidget(sair, 0, Qt::AlignRight);
    connect(sair, &QPushButton::clicked, this, &TFormOrdem::hideLocalizar);

    auto switchTo = [this](QLineEdit *box, const QString &label) {
        for (QLineEdit *e : {m_locNumero, m_locNome, m_locPlaca})
            e->setVisible(e == box);
        m_lblDigite->setText(label);
        box->setFocus();
    };
    connect(m_rbNumero, &QRadioButton::toggled, this, [this, switchTo](bool on) {
        if (on)
            switchTo(m_locNumero, QStringLiteral("Digite Nº da O.S"));
    });
    connect(m_rbNome, &QRadioButton::toggled, this, [this, switchTo](bool on) {
        if (on)
            switchTo(m_locNome, QStringLiteral("Digite Nome Cliente"));
    });
    connect(m_rbPlaca, &QRadioButton::toggled, this, [this, switchTo](bool on) {
        if (on)
            switchTo(m_locPlaca, QStringLiteral("Digite Nº Placa"));
    });
}

void TFormOrdem::buildPersonalize()
{
    m_personalize = new OverlayPanel(QStringLiteral("PanPersonalize"), this);
    auto *l = new QVBoxLayout(m_personalize);
    l->addWidget(caption(QStringLiteral("Altere aqui a Descrição dos campos e Personalize sua OS "), m_personalize));
    m_gbEquipamentoCampo = new QGroupBox(QStringLiteral("Equipamento"), m_personalize);
    m_gbEquipamentoCampo->setObjectName(QStringLiteral("gbEquipamentoCampo"));
    auto *eq = new QGridLayout(m_gbEquipamentoCampo);
    eq->addWidget(boundEdit(m_gbEquipamentoCampo, "EditCampoEquipamento", m_camposRef, "Equipamento",
                            CharCase::Normal), 0, 0, 1, 2);
    m_lblNSerieCampo = caption(QStringLiteral("Nº Serie"), m_gbEquipamentoCampo, "lblNSerieCampo");
    eq->addWidget(m_lblNSerieCampo, 1, 0);
    eq->addWidget(boundEdit(m_gbEquipamentoCampo, "EditCampoNSerie", m_camposRef, "NSerie", CharCase::Normal), 1, 1);
    l->addWidget(m_gbEquipamentoCampo);
    m_gbServicosCampo = new QGroupBox(QStringLiteral("SERVIÇOS / PEÇAS"), m_personalize);
    m_gbServicosCampo->setObjectName(QStringLiteral("gbServicosCampo"));
    auto *sv = new QGridLayout(m_gbServicosCampo);
    sv->addWidget(boundEdit(m_gbServicosCampo, "EditCampoPrevisao", m_camposRef, "Previsao", CharCase::Normal),
                  0, 0, 1, 2);
    m_lblDadosOSCampo = caption(QStringLiteral("Defeito Reclamado"), m_gbServicosCampo, "lblDadosOSCampo");
    sv->addWidget(m_lblDadosOSCampo, 1, 0);
    sv->addWidget(boundEdit(m_gbServicosCampo, "EditCampoDadosOS", m_camposRef, "DadosOS", CharCase::Normal), 1, 1);
    m_lblObsCampo = caption(QStringLiteral("Obs:"), m_gbServicosCampo, "lblObsCampo");
    sv->addWidget(m_lblObsCampo, 2, 0);
    sv->addWidget(boundEdit(m_gbServicosCampo, "EditCampoObs", m_camposRef, "Obs", CharCase::Normal), 2, 1);
    l->addWidget(m_gbServicosCampo);
    auto *b = new QHBoxLayout;
    m_btnAlterarCampos = makeButton(QStringLiteral("btnAlterarCampos"), QStringLiteral("Alterar"), m_personalize);
    auto *sair = makeButton(QStringLiteral("btnSairPersonalize"), QStringLiteral("Sair"), m_personalize);
    b->addWidget(m_btnAlterarCampos);
    b->addWidget(sair);
    l->addLayout(b);
    m_btnAlterarCampos->setEnabled(false);
    connect(m_camposRef, &Dataset::stateChanged, this, [this](Dataset::State s) {
        m_btnAlterarCampos->setEnabled(s == Dataset::State::Edit || s == Dataset::State::Insert);
    });
    connect(m_btnAlterarCampos, &QPushButton::clicked, this, &TFormOrdem::alterarCamposClick);
    connect(sair, &QPushButton::clicked, this, &TFormOrdem::sairPersonalizeClick);
}

} // namespace brelvo::orders
