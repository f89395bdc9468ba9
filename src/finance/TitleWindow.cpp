#include "finance/TitleWindow.h"

#include "core/AppPaths.h"
#include "core/DataControls.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "core/Widgets.h"
#include "finance/FinanceUi.h"
#include "finance/PickList.h"
#include "finance/TitleReports.h"
#include "finance/Today.h"
#include "finance/Totals.h"
#include "printing/PrintPreview.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace brelvo::finance {

using core::Answer;
using core::dialogs;
using core::GridColumn;
using data::Dataset;
using data::Table;

namespace {
const QString kFantasia = QStringLiteral("Fantasia");
const QString kNome = QStringLiteral("Nome");
const QString kValor = QStringLiteral("Valordocumento");
const QString kPagamento = QStringLiteral("DataPagamento");
const QString kValorMask = QStringLiteral("###,##0.00");
const QString kConfirm = QStringLiteral("Confirmação");
const QString kErro = QStringLiteral("Erro");

QString u(const char *s) { return QString::fromUtf8(s); }

} // namespace

TitleWindow::TitleWindow(const TitleKind &kind, data::DatabasePtr db, QWidget *parent)
    : RecordWindow(parent), m_kind(kind), m_db(std::move(db))
{
    setObjectName(kind.windowName);
    setWindowTitle(kind.title);
    resize(1060, 700);
    m_today = today();

    m_aviso = new Table(m_db, kind.table, this);
    m_aviso->setObjectName(kind.reminderCursor);
    m_table = new Table(m_db, kind.table, this);
    m_table->setObjectName(kind.mainCursor);
    if (!kind.openIndex.isEmpty())
        m_table->setIndexName(kind.openIndex);
    m_aviso->open();
    m_table->open();
    setMainTable(m_table);
    closeWithWindow(m_aviso);
    // Whatever stores the row (a button, a grid click, a filter), the checks hold;
    // the cursor draws a new row's number when it stores it.
    connect(m_table, &Table::beforePost, this, [this] { checkRow(); });

    auto *root = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addTab(buildEntryPage(), QStringLiteral("Cadastro "));
    m_pages->addTab(buildSearchPage(), QStringLiteral("Pesquisa"));
    root->addWidget(m_pages);
    connect(m_pages, &QTabWidget::currentChanged, this, &TitleWindow::pageChanged);
    addActions();

    connect(m_table, &Dataset::afterScroll, this, [this] {
        updateNavigation();
        PgNaoPg();
    });
    connect(m_table, &Dataset::dataChanged, this, &TitleWindow::updateNavigation);
    connect(m_table, &Dataset::fieldChanged, this, [this](const QString &f) {
        if (f.compare(kFantasia, Qt::CaseInsensitive) == 0 || f.compare(kPagamento, Qt::CaseInsensitive) == 0)
            PgNaoPg();
    });
    connect(m_table, &Dataset::stateChanged, this, [this] {
        updateNavigation();
        PgNaoPg();
    });

    Aviso();
    Aviso_Total();
    filterBox(kind.payable ? BoxChoice::Open : BoxChoice::All);
    setEscapeMovesBack(true);
    loadPickLists();
    updateNavigation();
    PgNaoPg();
}

TitleWindow::~TitleWindow()
{
    // The skeleton closes the cursors after this part of the window is gone.
    m_table->disconnect(this);
    m_aviso->disconnect(this);
}

// ---------------------------------------------------------------- layout

QWidget *TitleWindow::buildEntryPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabCadastro"));
    auto *lay = new QVBoxLayout(page);
    lay->addWidget(buildToolbar(page));
    auto *body = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(buildEntryGroup(page));
    left->addWidget(buildChequeGroup(page), 1);
    left->addWidget(buildReminder(page));
    auto *right = new QVBoxLayout;
    right->addWidget(buildFilterBox(page));
    right->addWidget(buildSideList(page), 1);
    if (m_kind.payable)
        right->addWidget(buildCalendar(page));
    body->addLayout(left, 3);
    body->addLayout(right, 2);
    lay->addLayout(body, 1);
    return page;
}

QWidget *TitleWindow::buildToolbar(QWidget *page)
{
    auto *bar = new QWidget(page);
    auto *lay = new QHBoxLayout(bar);
    lay->setContentsMargins(0, 0, 0, 0);
    core::Navigator *nav = makeNavigator(core::Navigator::Moves, QStringLiteral("DBNavigator1"), bar);
    const QStringList names = {QStringLiteral("nbFirst"), QStringLiteral("nbPrior"), QStringLiteral("nbNext"),
                               QStringLiteral("nbLast")};
    const QStringList hints = {u("Primeiro Registro"), u("Registro Anterior (PgUp)"), u("Próximo Registro (PgDn)"),
                               u("Último Registro")};
    for (int i = 0; i < names.size(); ++i) {
        QToolButton *b = nav->button(names[i]);
        b->setToolTip(hints[i]);
        b->setFocusPolicy(Qt::NoFocus);
        m_nav << b;
    }
    lay->addWidget(nav);
    auto button = [&](const QString &name, const QString &text, const QString &hint, void (TitleWindow::*slot)()) {
        QPushButton *b = makeButton(name, text, bar);
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::ClickFocus);
        connect(b, &QPushButton::clicked, this, slot);
        lay->addWidget(b);
        return b;
    };
    button(QStringLiteral("btnNovo"), m_kind.newCaption, m_kind.newHint, &TitleWindow::novo);
    enableWhen(button(QStringLiteral("btnGravar"), QStringLiteral("&Gravar"), QString(), &TitleWindow::btnGravarClick),
               When::Editing);
    enableWhen(button(QStringLiteral("btnCancelar"), QStringLiteral("&Cancelar"), QString(),
                      &TitleWindow::btnCancelarClick),
               When::Editing);
    button(QStringLiteral("btnApagar"), m_kind.deleteCaption, QString(), &TitleWindow::btnApagarClick);
    button(QStringLiteral("btnPesquisar"), QStringLiteral("Pesquisar"), QStringLiteral("Pesquisar Contas!"),
           &TitleWindow::btnPesquisarClick);
    if (m_kind.payable)
        m_calendarButton = button(QStringLiteral("btnCalendario"), u("Calendário"), u("Calendário Ativar!"),
                                  &TitleWindow::btnCalendarioClick);
    lay->addStretch();
    return bar;
}

QWidget *TitleWindow::buildEntryGroup(QWidget *page)
{
    auto *box = new QGroupBox(QStringLiteral("Vencimento / Pagamento"), page);
    box->setObjectName(QStringLiteral("GroupBox1"));
    auto *g = new QGridLayout(box);
    auto row = [&](int r, QWidget *caption, QWidget *field, QWidget *extra = nullptr) {
        caption->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
        g->addWidget(caption, r, 0);
        g->addWidget(field, r, 1);
        if (extra)
            g->addWidget(extra, r, 2);
    };
    auto date = [&](const QString &name, const QString &field) {
        auto *d = new core::DbDateEdit(box);
        d->setObjectName(name);
        d->setDataSource(m_table, field);
        d->setMaximumWidth(110);
        return d;
    };
    auto salvar = [&](const QString &name) {
        QPushButton *b = makeButton(name, QStringLiteral("Salvar"), box);
        b->setToolTip(u("Salva nome saida para adição futuras"));
        b->setFocusPolicy(Qt::ClickFocus);
        b->setEnabled(false);
        return b;
    };

    m_codigo = new core::DbEdit(box);
    m_codigo->setObjectName(QStringLiteral("edtCodigo"));
    m_codigo->setDataSource(m_table, QStringLiteral("Codigo"));
    m_codigo->setDisplayMask(QStringLiteral("000000"));
    m_codigo->setReadOnly(true);
    m_codigo->setFocusPolicy(Qt::ClickFocus);
    m_codigo->setMaximumWidth(90);
    m_codigo->installEventFilter(this);
    auto *lblCodigo = clickLabel(QStringLiteral("lblCodigo"), m_kind.codeCaption, QString(), box);
    connect(lblCodigo, &core::ClickLabel::clicked, this, &TitleWindow::localizarCodigo);
    row(0, lblCodigo, m_codigo);

    m_fantasia = new core::DbComboBox(box);
    m_fantasia->setObjectName(QStringLiteral("cbFantasia"));
    m_fantasia->setCharCase(core::CharCase::Upper);
    m_fantasia->setDataSource(m_table, kFantasia);
    m_fantasia->lineEdit()->setMaxLength(30);
    m_fantasia->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_salvarNome = salvar(QStringLiteral("btnSalvarNome"));
    connect(m_salvarNome, &QPushButton::clicked, this, &TitleWindow::btnSalvarNomeClick);
    connect(m_fantasia->lineEdit(), &QLineEdit::textEdited, m_salvarNome, [this] { m_salvarNome->setEnabled(true); });
    auto *lblNome = clickLabel(QStringLiteral("lblFantasia"), m_kind.nameCaption, QString(), box);
    connect(lblNome, &core::ClickLabel::clicked, this, &TitleWindow::localizarNome);
    row(1, lblNome, m_fantasia, m_salvarNome);

    m_credor = new core::DbComboBox(box);
    m_credor->setObjectName(QStringLiteral("cbCredor"));
    m_credor->setCharCase(core::CharCase::Upper);
    m_credor->setDataSource(m_table, kNome);
    m_credor->lineEdit()->setMaxLength(60);
    m_credor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_salvarCredor = salvar(QStringLiteral("btnSalvarCredor"));
    connect(m_salvarCredor, &QPushButton::clicked, this, &TitleWindow::btnSalvarCredorClick);
    connect(m_credor->lineEdit(), &QLineEdit::textEdited, m_salvarCredor, [this] { m_salvarCredor->setEnabled(true); });
    row(2, new QLabel(QStringLiteral("Credor"), box), m_credor, m_salvarCredor);

    row(3, new QLabel(u("Emissão"), box), date(QStringLiteral("edtDataEmissao"), QStringLiteral("DataEmissao")));
    row(4, new QLabel(QStringLiteral("Data Vencimento"), box),
        date(QStringLiteral("edtDataVencimento"), QStringLiteral("DataVencimento")));
    auto *pagamento = date(QStringLiteral("edtDataPagamento"), kPagamento);
    pagamento->setToolTip(m_kind.paidBoxHint);
    auto *lblPag = clickLabel(QStringLiteral("lblDataPagamento"), m_kind.paidCaption,
                              QStringLiteral("Clique para inserir data de hoje!"), box);
    connect(lblPag, &core::ClickLabel::clicked, this, &TitleWindow::lblPagamentoClick);
    QPushButton *limpar = makeButton(QStringLiteral("btnLimparPagamento"), m_kind.clearPaidCaption, box);
    limpar->setToolTip(m_kind.clearPaidHint);
    limpar->setFocusPolicy(Qt::ClickFocus);
    limpar->setMaximumWidth(28);
    connect(limpar, &QPushButton::clicked, this, &TitleWindow::btnLimparPagamentoClick);
    auto *paidRow = new QHBoxLayout;
    paidRow->addWidget(pagamento);
    paidRow->addWidget(limpar);
    paidRow->addStretch();
    lblPag->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    g->addWidget(lblPag, 5, 0);
    g->addLayout(paidRow, 5, 1);

    m_valor = new core::DbEdit(box);
    m_valor->setObjectName(QStringLiteral("edtValor"));
    m_valor->setDataSource(m_table, kValor);
    m_valor->setDisplayMask(kValorMask);
    m_valor->setAlignment(Qt::AlignRight);
    m_valor->setMaximumWidth(140);
    row(6, new QLabel(QStringLiteral("Valor"), box), m_valor);

    if (m_kind.payable) {
        auto *status = new QGroupBox(QStringLiteral("Status"), box);
        status->setObjectName(QStringLiteral("gbStatus"));
        auto *sl = new QHBoxLayout(status);
        m_status = new QLabel(status);
        m_status->setObjectName(QStringLiteral("lblStatus"));
        QFont f = m_status->font();
        f.setBold(true);
        m_status->setFont(f);
        QPushButton *mudar = makeButton(QStringLiteral("btnStatus"), QStringLiteral("Mudar Status"), status);
        mudar->setToolTip(QStringLiteral("Clique aqui para mudar Status desta conta!"));
        mudar->setFocusPolicy(Qt::ClickFocus);
        connect(mudar, &QPushButton::clicked, this, &TitleWindow::btnStatusClick);
        sl->addWidget(m_status, 1);
        sl->addWidget(mudar);
        g->addWidget(status, 7, 0, 1, 3);
    }
    g->setColumnStretch(0, 0);
    g->setColumnStretch(1, 1);
    return box;
}

QWidget *TitleWindow::buildChequeGroup(QWidget *page)
{
    auto *box = new QGroupBox(m_kind.chequeGroup, page);
    box->setObjectName(QStringLiteral("GroupBox2"));
    auto *g = new QGridLayout(box);
    auto edit = [&](const QString &field, int r, int c, const QString &caption) {
        auto *e = new core::DbEdit(box);
        e->setObjectName(QStringLiteral("edt") + field);
        e->setCharCase(core::CharCase::Upper);
        e->setDataSource(m_table, field);
        g->addWidget(new QLabel(caption, box), r, c);
        g->addWidget(e, r, c + 1);
        return e;
    };
    edit(QStringLiteral("CodBanco"), 0, 0, u("Nº Banco"));
    edit(QStringLiteral("CodAgencia"), 0, 2, u("Cód. Agência"));
    edit(QStringLiteral("NConta"), 1, 0, u("Número da Conta"));
    edit(QStringLiteral("NTituloBanco"), 1, 2, u("Número do Cheque"));
    auto *bom = new core::DbDateEdit(box);
    bom->setObjectName(QStringLiteral("edtPrazoProt"));
    bom->setDataSource(m_table, QStringLiteral("PrazoProt"));
    g->addWidget(new QLabel(QStringLiteral("Bom Para"), box), 2, 0);
    g->addWidget(bom, 2, 1);
    auto *mostrar = clickLabel(QStringLiteral("lblMostrarAviso"), QStringLiteral("M"), m_kind.reminderShowHint, box);
    connect(mostrar, &core::ClickLabel::clicked, this, [this] { m_avisoPanel->show(); });
    g->addWidget(mostrar, 2, 3, Qt::AlignRight);
    auto *memo = new core::DbMemo(box);
    memo->setObjectName(QStringLiteral("memObs"));
    memo->setDataSource(m_table, m_kind.memoField);
    g->addWidget(new QLabel(QStringLiteral("Obs:"), box), 3, 0, Qt::AlignTop);
    g->addWidget(memo, 3, 1, 1, 3);
    g->setRowStretch(3, 1);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    return box;
}

QWidget *TitleWindow::buildFilterBox(QWidget *page)
{
    auto *box = new QGroupBox(QStringLiteral("Filtro"), page);
    box->setObjectName(QStringLiteral("gbFiltro"));
    auto *v = new QVBoxLayout(box);
    auto *dates = new QHBoxLayout;
    auto *lblDe = clickLabel(QStringLiteral("lblDe"), QStringLiteral("De:"), m_kind.fromHint, box);
    m_de = dateBox(QStringLiteral("edtDe"), box);
    auto *lblA = clickLabel(QStringLiteral("lblA"), QStringLiteral("A:"), QStringLiteral("Inserir data atual!"), box);
    m_a = dateBox(QStringLiteral("edtA"), box);
    m_a->installEventFilter(this);
    connect(lblDe, &core::ClickLabel::clicked, this, [this] { m_de->setText(core::dateText(today())); });
    connect(lblA, &core::ClickLabel::clicked, this, [this] { m_a->setText(core::dateText(today())); });
    connect(m_de, &QLineEdit::returnPressed, this, [this] { m_a->setFocus(); });
    connect(m_a, &QLineEdit::returnPressed, this, &TitleWindow::filterBoxRange);
    // Payables keep the focus in "A:" after the range is applied.
    if (m_kind.payable)
        core::EnterMovesFocus::keepEnter(m_a);
    dates->addWidget(lblDe);
    dates->addWidget(m_de);
    dates->addWidget(lblA);
    dates->addWidget(m_a);
    dates->addStretch();
    v->addLayout(dates);

    auto *choices = new QHBoxLayout;
    m_choices = new QButtonGroup(box);
    auto radio = [&](const QString &name, const QString &text, BoxChoice c) {
        auto *r = new QRadioButton(text, box);
        r->setObjectName(name);
        m_choices->addButton(r, int(c));
        choices->addWidget(r);
    };
    radio(QStringLiteral("rbNaoPaga"), u("Não Paga"), BoxChoice::Open);
    radio(QStringLiteral("rbPaga"), QStringLiteral("Paga"), BoxChoice::Paid);
    radio(QStringLiteral("rbTodas"), QStringLiteral("Todas"), BoxChoice::All);
    if (m_kind.payable)
        radio(QStringLiteral("rbVencidas"), QStringLiteral("Vencidas"), BoxChoice::Overdue);
    connect(m_choices, &QButtonGroup::idClicked, this, [this](int id) { filterBox(BoxChoice(id)); });
    choices->addStretch();
    v->addLayout(choices);
    m_boxCaption = new QLabel(box);
    m_boxCaption->setObjectName(QStringLiteral("lblFiltro"));
    QFont f = m_boxCaption->font();
    f.setBold(true);
    m_boxCaption->setFont(f);
    v->addWidget(m_boxCaption);
    return box;
}

QWidget *TitleWindow::buildSideList(QWidget *page)
{
    auto *w = new QWidget(page);
    auto *v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    auto *find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("Localizar"), w));
    m_localizar = makeSearchBox(
        QStringLiteral("edtLocalizar"), [this](const QString &t) { findNearest(QStringLiteral("byfantasia"), t); }, 30,
        w);
    find->addWidget(m_localizar, 1);
    v->addLayout(find);
    QList<GridColumn> cols = {GridColumn::make(kFantasia, m_kind.sideNameHead, 24),
                              GridColumn::make(kNome, QStringLiteral("Credor"), 24)};
    if (!m_kind.payable)
        cols << GridColumn::make(kValor, QStringLiteral("Valor"), 10, kValorMask);
    v->addWidget(core::makeGrid(w, m_table, QStringLiteral("DBGrid1"), cols), 1);
    return w;
}

QWidget *TitleWindow::buildReminder(QWidget *page)
{
    m_avisoPanel = new QGroupBox(m_kind.reminderTitle, page);
    m_avisoPanel->setObjectName(QStringLiteral("pnlAviso"));
    auto *v = new QVBoxLayout(m_avisoPanel);
    auto *head = new QHBoxLayout;
    auto *dia = new QLabel(core::dateText(m_today), m_avisoPanel);
    dia->setObjectName(QStringLiteral("lblAvisoData"));
    head->addWidget(dia);
    head->addStretch();
    QPushButton *fechar = makeButton(QStringLiteral("btnFecharLembrete"), QStringLiteral("Fechar Lembrete"), m_avisoPanel);
    fechar->setFocusPolicy(Qt::ClickFocus);
    connect(fechar, &QPushButton::clicked, m_avisoPanel, &QWidget::hide);
    head->addWidget(fechar);
    v->addLayout(head);
    auto *grid = core::makeGrid(m_avisoPanel, m_aviso, QStringLiteral("DBGridAviso"),
                                {GridColumn::make(kFantasia, u("Saída"), 22), GridColumn::make(kNome, QStringLiteral("Credor"), 22),
                                 GridColumn::make(QStringLiteral("DataVencimento"), QStringLiteral("Vencimento"), 12),
                                 GridColumn::make(kValor, QStringLiteral("Valor"), 10, kValorMask)});
    grid->setFocusPolicy(Qt::ClickFocus);
    grid->setMaximumHeight(130);
    v->addWidget(grid);
    m_avisoTotalLabel = new QLabel(m_avisoPanel);
    m_avisoTotalLabel->setObjectName(QStringLiteral("lblAvisoTotal"));
    m_avisoTotalLabel->setAlignment(Qt::AlignRight);
    v->addWidget(m_avisoTotalLabel);
    return m_avisoPanel;
}

QWidget *TitleWindow::buildCalendar(QWidget *page)
{
    m_calendarPanel = new QWidget(page);
    m_calendarPanel->setObjectName(QStringLiteral("pnlCalendario"));
    auto *v = new QVBoxLayout(m_calendarPanel);
    v->setContentsMargins(0, 0, 0, 0);
    QPushButton *fechar = makeButton(QStringLiteral("btnFecharCalendario"), QStringLiteral("X"), m_calendarPanel);
    fechar->setToolTip(u("Fechar Calendário!"));
    fechar->setFocusPolicy(Qt::ClickFocus);
    fechar->setMaximumWidth(28);
    connect(fechar, &QPushButton::clicked, this, [this] {
        m_calendarPanel->hide();
        m_calendarButton->setToolTip(u("Ativar Calendário"));
    });
    v->addWidget(fechar, 0, Qt::AlignRight);
    m_calendar = new QCalendarWidget(m_calendarPanel);
    m_calendar->setObjectName(QStringLiteral("MonthCalendar1"));
    m_calendar->setFocusPolicy(Qt::ClickFocus);
    v->addWidget(m_calendar);
    m_calendarPanel->hide();
    return m_calendarPanel;
}

QWidget *TitleWindow::buildSearchPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabPesquisa"));
    auto *v = new QVBoxLayout(page);
    auto *box = new QGroupBox(QStringLiteral("Filtros (Data Vencimento)"), page);
    box->setObjectName(QStringLiteral("gbFiltros"));
    auto *bl = new QVBoxLayout(box);
    auto *dates = new QHBoxLayout;
    auto *lblDe = clickLabel(QStringLiteral("lblDePesq"), QStringLiteral("De:"), QStringLiteral("Inserir data atual!"), box);
    m_dePesq = dateBox(QStringLiteral("edtDePesq"), box);
    auto *lblA = clickLabel(QStringLiteral("lblAPesq"), QStringLiteral("A:"), QStringLiteral("Inserir data atual!"), box);
    m_aPesq = dateBox(QStringLiteral("edtAPesq"), box);
    m_aPesq->installEventFilter(this);
    connect(lblDe, &core::ClickLabel::clicked, this, [this] { m_dePesq->setText(core::dateText(today())); });
    connect(lblA, &core::ClickLabel::clicked, this, [this] {
        m_aPesq->setText(core::dateText(today()));
        m_aPesq->setFocus();
    });
    connect(m_dePesq, &QLineEdit::returnPressed, this, [this] { m_aPesq->setFocus(); });
    connect(m_aPesq, &QLineEdit::returnPressed, this, &TitleWindow::pesquisaRange);
    dates->addWidget(lblDe);
    dates->addWidget(m_dePesq);
    dates->addWidget(lblA);
    dates->addWidget(m_aPesq);
    dates->addStretch();
    bl->addLayout(dates);
    auto *buttons = new QHBoxLayout;
    auto button = [&](const QString &name, const QString &text, std::function<void()> fn) {
        QPushButton *b = makeButton(name, text, box);
        connect(b, &QPushButton::clicked, this, std::move(fn));
        buttons->addWidget(b);
    };
    button(QStringLiteral("btnPago"), QStringLiteral("Pago"), [this] { pesquisaPago(); });
    button(QStringLiteral("btnNaoPago"), u("Não Pago"), [this] { pesquisaNaoPago(); });
    button(QStringLiteral("btnNomeGeral"), m_kind.nameAllButton, [this] { pesquisaNome(PaidState::Any); });
    button(QStringLiteral("btnNomePago"), m_kind.namePaidButton, [this] { pesquisaNome(PaidState::Paid); });
    button(QStringLiteral("btnNomeNaoPago"), m_kind.nameOpenButton, [this] { pesquisaNome(PaidState::Open); });
    if (m_kind.payable) {
        button(QStringLiteral("btnCredorGeral"), QStringLiteral("Credor (Geral)"), [this] { pesquisaCredor(); });
        button(QStringLiteral("btnVencidas"), QStringLiteral("Vencidas"), [this] { pesquisaVencidas(); });
    }
    button(QStringLiteral("btnTodos"), QStringLiteral("Todos"), [this] { pesquisaTodos(); });
    button(QStringLiteral("btnImprimir"), QStringLiteral("Imprimir"), [this] { imprimir(); });
    buttons->addStretch();
    bl->addLayout(buttons);
    v->addWidget(box);

    m_searchGrid = core::makeGrid(page, m_table, QStringLiteral("DBGrid2"),
                                  {GridColumn::make(QStringLiteral("DataEmissao"), u("Data Emissão"), 14),
                                   GridColumn::make(QStringLiteral("DataVencimento"), QStringLiteral("Data Vencimento"), 16),
                                   GridColumn::make(kFantasia, m_kind.searchNameHead, 24),
                                   GridColumn::make(kNome, m_kind.searchCreditorHead, 28),
                                   GridColumn::make(kPagamento, m_kind.searchPaidHead, 16),
                                   GridColumn::make(kValor, QStringLiteral("Valor"), 10, kValorMask)});
    m_searchGrid->installEventFilter(this);
    v->addWidget(m_searchGrid, 1);
    m_totalLabel = new QLabel(totalLine(0), page);
    m_totalLabel->setObjectName(QStringLiteral("lblTotal"));
    m_totalLabel->setAlignment(Qt::AlignRight);
    QFont f = m_totalLabel->font();
    f.setBold(true);
    m_totalLabel->setFont(f);
    v->addWidget(m_totalLabel);

    // Enter keeps its own meaning on this page.
    for (QWidget *w : page->findChildren<QWidget *>())
        core::EnterMovesFocus::keepEnter(w);
    return page;
}

void TitleWindow::addActions()
{
    auto action = [&](const QString &name, const QKeySequence &key, void (TitleWindow::*slot)()) {
        auto *a = new QAction(this);
        a->setObjectName(name);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        QWidget::addAction(a);
    };
    action(QStringLiteral("novo"), QKeySequence(Qt::Key_Insert), &TitleWindow::novo);
    action(QStringLiteral("avancar"), QKeySequence(Qt::Key_PageDown), &TitleWindow::avancar);
    action(QStringLiteral("voltar"), QKeySequence(Qt::Key_PageUp), &TitleWindow::voltar);
    action(QStringLiteral("foco"), QKeySequence(Qt::Key_F2), &TitleWindow::foco);
}

// ---------------------------------------------------------------- state

void TitleWindow::updateNavigation()
{
    if (m_nav.size() != 4 || !m_table->isOpen())
        return;
    int at = -1, count = 0;
    core::guarded(this, [&] {
        if (!m_table->isEmpty() && m_table->state() == Dataset::State::Browse) {
            at = m_table->recNo();
            count = m_table->recordCount();
        }
    });
    // While a row is being changed every move stays offered: moving stores it.
    const bool ed = editing();
    const bool notFirst = ed || at > 0;
    const bool notLast = ed || (at >= 0 && at < count - 1);
    m_nav[0]->setEnabled(notFirst);
    m_nav[1]->setEnabled(notFirst);
    m_nav[2]->setEnabled(notLast);
    m_nav[3]->setEnabled(notLast);
}

void TitleWindow::PgNaoPg()
{
    if (!m_status)
        return;
    if (!m_table->isOpen() || (m_table->isEmpty() && !editing()))
        m_status->setText(QString());
    else
        m_status->setText(m_table->isNull(kPagamento) ? u("Não Paga") : QStringLiteral("Paga"));
}

bool TitleWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F1 && (watched == m_codigo || watched == m_searchGrid)) {
            localizarCodigo();
            return true;
        }
        if (watched == m_aPesq && key->key() == Qt::Key_Escape) {
            m_dePesq->setFocus();
            return true;
        }
        if (watched == m_a && key->key() != Qt::Key_Escape && key->key() != Qt::Key_Return
            && key->key() != Qt::Key_Enter)
            setBoxCaption(m_kind.payable ? QStringLiteral("Todas") : QString());
    }
    return RecordWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- records

QString TitleWindow::missingField() const
{
    const bool noName = m_table->asString(kFantasia).trimmed().isEmpty();
    const bool noValue = m_table->isNull(kValor);
    if (m_kind.valueFirst && noValue)
        return m_kind.noValueText;
    if (noName)
        return m_kind.noNameText;
    if (noValue)
        return m_kind.noValueText;
    return QString();
}

void TitleWindow::checkRow()
{
    const QString missing = missingField();
    if (!missing.isEmpty())
        throw data::DbError(data::DbError::Kind::InvalidValue, missing);
}

bool TitleWindow::saveRecord()
{
    if (!editing())
        return true;
    (m_kind.focusCreditorOnSave ? m_credor : m_fantasia)->setFocus();
    const QList<QWidget *> bad = core::invalidControls(this);
    if (!bad.isEmpty()) {
        auto *control = dynamic_cast<core::DataControl *>(bad.first());
        dialogs().error(this, kErro, control->inputError());
        bad.first()->setFocus();
        return false;
    }
    const QString missing = missingField();
    if (!missing.isEmpty()) {
        dialogs().error(this, kErro, missing);
        (missing == m_kind.noValueText ? static_cast<QWidget *>(m_valor) : m_fantasia)->setFocus();
        return false;
    }
    if (!guarded([this] { m_table->post(); }))
        return false;
    Aviso();
    Aviso_Total();
    return true;
}

void TitleWindow::novo()
{
    if (!commitPending())
        return;
    if (m_pages->currentIndex() != 0)
        m_pages->setCurrentIndex(0);
    guarded([this] {
        m_table->append();
        m_table->setValue(QStringLiteral("DataEmissao"), today());
        m_table->setValue(QStringLiteral("DataVencimento"), today());
    });
    m_fantasia->setFocus();
}

void TitleWindow::avancar()
{
    if (commitPending())
        guarded([this] { m_table->next(); });
}

void TitleWindow::voltar()
{
    if (commitPending())
        guarded([this] { m_table->prior(); });
}

void TitleWindow::foco()
{
    if (m_pages->currentIndex() == 0 && !m_localizar->hasFocus())
        m_localizar->setFocus();
}

void TitleWindow::btnGravarClick()
{
    if (!editing())
        return;
    if (saveRecord())
        dialogs().information(this, QString(), QStringLiteral("Despesa Salva com sucesso!"));
}

void TitleWindow::btnCancelarClick()
{
    discardRecord();
}

void TitleWindow::btnApagarClick()
{
    if (m_table->isEmpty() && !editing())
        return;
    if (dialogs().question(this, kConfirm, QStringLiteral("Deseja apagar este cadastro? ")) == Answer::Yes) {
        guarded([this] {
            if (m_table->state() == Dataset::State::Insert)
                m_table->cancel();
            else
                m_table->remove();
        });
    }
    Aviso();
    Aviso_Total();
}

void TitleWindow::lblPagamentoClick()
{
    if (m_table->isEmpty() && !editing())
        return;
    guarded([this] {
        m_table->edit();
        m_table->setValue(kPagamento, today());
    });
}

void TitleWindow::btnLimparPagamentoClick()
{
    if (m_table->isEmpty() && !editing())
        return;
    if (dialogs().question(this, kConfirm, QStringLiteral("Deseja limpar a data de recebimento? ")) == Answer::Yes) {
        guarded([this] {
            m_table->edit();
            m_table->clearField(kPagamento);
        });
    } else if (editing()) {
        // Pending changes are stored with the usual checks.
        saveRecord();
    }
}

void TitleWindow::btnStatusClick()
{
    if (m_table->isEmpty() && !editing())
        return;
    if (m_table->isNull(kPagamento))
        IncluiData();
    else
        Retirardata();
}

void TitleWindow::IncluiData()
{
    if (dialogs().question(this, kConfirm, QStringLiteral("Deseja quitar essa conta? ")) != Answer::Yes)
        return;
    if (guarded([this] {
            m_table->edit();
            m_table->setValue(kPagamento, today());
        }))
        saveRecord();
    PgNaoPg();
}

void TitleWindow::Retirardata()
{
    if (dialogs().question(this, kConfirm, QStringLiteral("Deseja Colocar essa conta como Não Paga? ")) != Answer::Yes)
        return;
    if (guarded([this] {
            m_table->edit();
            m_table->clearField(kPagamento);
        }))
        saveRecord();
    PgNaoPg();
}

void TitleWindow::btnCalendarioClick()
{
    const bool show = m_calendarPanel->isHidden();
    if (show)
        m_calendar->setSelectedDate(today());
    m_calendarPanel->setVisible(show);
    m_calendarButton->setToolTip(show ? u("Desativar Calendário") : u("Ativar Calendário"));
}

void TitleWindow::localizarCodigo()
{
    QString text = m_lastPrompt;
    if (!dialogs().input(this, m_kind.locateCodeTitle, u("Digite aqui, o código a ser localizado:"), &text))
        return;
    m_lastPrompt.clear();
    if (!commitPending())
        return;
    bool number = false;
    const qint64 code = text.trimmed().toLongLong(&number);
    bool found = false;
    if (!guarded([&] { found = number && m_table->locate(QStringLiteral("Codigo"), {double(code)}); }))
        return;
    if (!found)
        dialogs().information(this, QString(), m_kind.codeNotFound);
}

void TitleWindow::localizarNome()
{
    QString text = m_lastPrompt;
    if (!dialogs().input(this, m_kind.locateNameTitle, QStringLiteral("Digite aqui, o nome a ser localizado:"), &text))
        return;
    m_lastPrompt.clear();
    if (!commitPending())
        return;
    bool found = false;
    if (!guarded([&] { found = m_table->locate(kFantasia, {core::upper(text.trimmed())}); }))
        return;
    if (!found)
        dialogs().information(this, QString(), u("Nome não localizado !!!"));
}

// ---------------------------------------------------------------- pick lists

void TitleWindow::loadPickLists()
{
    if (!QFileInfo::exists(core::workFile(m_kind.gateFile))) {
        m_salvarNome->hide();
        m_salvarCredor->hide();
        return;
    }
    m_salvarNome->show();
    m_salvarCredor->show();
    m_fantasia->setItems(loadPickList(core::workFile(m_kind.namesFile)));
    m_credor->setItems(loadPickList(core::workFile(m_kind.creditorsFile)));
}

void TitleWindow::btnSalvarNomeClick() { savePickList(false); }

void TitleWindow::btnSalvarCredorClick() { savePickList(true); }

void TitleWindow::savePickList(bool creditors)
{
    const bool gate = QFileInfo::exists(core::workFile(m_kind.gateFile));
    if (!gate && !(creditors && m_kind.creditorWritesWithoutGate)) {
        m_salvarNome->hide();
        m_salvarCredor->hide();
        return;
    }
    if (!gate)
        dialogs().information(this, QString(), QStringLiteral("Arquivo inexistente"));
    core::DbComboBox *box = creditors ? m_credor : m_fantasia;
    (creditors ? m_salvarCredor : m_salvarNome)->setEnabled(false);
    if (creditors)
        m_salvarNome->setEnabled(false);
    const QString text = box->currentText().trimmed();
    if (text.isEmpty())
        return;
    QStringList names;
    for (int i = 0; i < box->count(); ++i)
        names << box->itemText(i);
    if (names.contains(text)) {
        dialogs().information(this, QString(), creditors ? m_kind.creditorListed : m_kind.nameListed);
        return;
    }
    if (dialogs().question(this, QStringLiteral("Registro"),
                           u("Deseja salvar essa saída para inclusão posterior?")) == Answer::Yes)
        names << text;
    QString error;
    const QString file = core::workFile(creditors ? m_kind.creditorsFile : m_kind.namesFile);
    if (!finance::savePickList(file, names, &error))
        dialogs().error(this, kErro, error);
    loadPickLists();
}

// ---------------------------------------------------------------- filters and totals

std::optional<DueRange> TitleWindow::rangeOf(QLineEdit *from, QLineEdit *to)
{
    QString error;
    std::optional<DueRange> r = readRange(from->text(), to->text(), &error);
    if (!r) {
        dialogs().error(this, kErro, error);
        QDate d;
        (readDateBox(from->text(), &d, nullptr) ? to : from)->setFocus();
    }
    return r;
}

bool TitleWindow::applyFilter(const QString &expression)
{
    if (!commitPending())
        return false;
    const QString previous = m_table->filtered() ? m_table->filter() : QString();
    return runBusy([&] {
        try {
            if (expression.isEmpty()) {
                m_table->setFiltered(false);
                m_table->setFilter(QString());
            } else if (m_table->filtered()) {
                m_table->setFilter(expression);
            } else {
                m_table->setFilter(expression);
                m_table->setFiltered(true);
            }
        } catch (...) {
            m_table->setFilter(previous);
            m_table->setFiltered(!previous.isEmpty());
            throw;
        }
    });
}

void TitleWindow::setBoxCaption(const QString &text)
{
    m_boxCaption->setText(text);
}

void TitleWindow::filterBox(BoxChoice choice)
{
    bool done = false;
    switch (choice) {
    case BoxChoice::Open:
    case BoxChoice::Paid: {
        const std::optional<DueRange> range = rangeOf(m_de, m_a);
        if (range && applyFilter(titleFilter(*range, choice == BoxChoice::Open ? PaidState::Open : PaidState::Paid))) {
            setBoxCaption(choice == BoxChoice::Open ? m_kind.openShown : m_kind.paidShown);
            done = true;
        }
        break;
    }
    case BoxChoice::All:
        if (applyFilter(QString())) {
            m_de->clear();
            m_a->clear();
            setBoxCaption(m_kind.allShown);
            if (m_kind.payable)
                totalizar();
            done = true;
        }
        break;
    case BoxChoice::Overdue:
        if (applyFilter(overdueFilter(m_today))) {
            setBoxCaption(QStringLiteral("Vencidas"));
            done = true;
        }
        break;
    }
    if (done) {
        if (QAbstractButton *b = m_choices->button(int(choice)))
            b->setChecked(true);
    } else if (QAbstractButton *b = m_choices->checkedButton()) {
        // Refused: the choice in force stays marked.
        m_choices->setExclusive(false);
        b->setChecked(false);
        m_choices->setExclusive(true);
        if (QAbstractButton *was = m_choices->button(int(m_boxChoice)))
            was->setChecked(true);
    }
    if (done)
        m_boxChoice = choice;
}

void TitleWindow::filterBoxRange()
{
    const std::optional<DueRange> range = rangeOf(m_de, m_a);
    if (range && range->isSet())
        applyFilter(titleFilter(*range, PaidState::Any));
}

void TitleWindow::pesquisaPago()
{
    const std::optional<DueRange> range = rangeOf(m_dePesq, m_aPesq);
    if (range && applyFilter(titleFilter(*range, PaidState::Paid)))
        totalizar();
}

void TitleWindow::pesquisaNaoPago()
{
    const std::optional<DueRange> range = rangeOf(m_dePesq, m_aPesq);
    if (range && applyFilter(titleFilter(*range, PaidState::Open)))
        totalizar();
}

bool TitleWindow::askName(const QString &prompt, const QString &prefill, QString *name)
{
    *name = prefill.isEmpty() ? m_lastPrompt : prefill;
    if (!dialogs().input(this, QStringLiteral("Filtrar"), prompt, name))
        return false;
    m_lastPrompt = *name;
    return true;
}

void TitleWindow::pesquisaNome(PaidState state)
{
    const std::optional<DueRange> range = rangeOf(m_dePesq, m_aPesq);
    if (!range)
        return;
    const QString current = m_table->isEmpty() ? QString() : m_table->asString(kFantasia);
    QString name;
    if (!askName(state == PaidState::Any ? m_kind.nameAllPrompt : m_kind.nameStatePrompt, current, &name))
        return;
    if (applyFilter(titleFilter(*range, state, kFantasia, name.trimmed())))
        totalizar();
}

void TitleWindow::pesquisaCredor()
{
    const std::optional<DueRange> range = rangeOf(m_dePesq, m_aPesq);
    if (!range)
        return;
    const QString current = m_table->isEmpty() ? QString() : m_table->asString(kNome);
    QString name;
    if (!askName(QStringLiteral("Entre com o nome do credor"), current, &name))
        return;
    if (applyFilter(titleFilter(*range, PaidState::Any, kNome, name.trimmed())))
        totalizar();
}

void TitleWindow::pesquisaVencidas()
{
    if (applyFilter(overdueFilter(m_today)))
        totalizar();
}

void TitleWindow::pesquisaTodos()
{
    if (!applyFilter(QString()))
        return;
    m_dePesq->clear();
    m_aPesq->clear();
    totalizar();
}

void TitleWindow::pesquisaRange()
{
    const std::optional<DueRange> range = rangeOf(m_dePesq, m_aPesq);
    if (range && range->isSet() && applyFilter(titleFilter(*range, PaidState::Any)))
        totalizar();
}

void TitleWindow::totalizar()
{
    if (!commitPending())
        return;
    double sum = 0;
    if (runBusy([&] { sum = sumField(*m_table, kValor); })) {
        m_total = sum;
        m_totalLabel->setText(totalLine(m_total));
    }
}

void TitleWindow::Aviso()
{
    guarded([this] {
        m_aviso->setFilter(reminderFilter(m_today));
        if (!m_aviso->filtered())
            m_aviso->setFiltered(true);
    });
}

void TitleWindow::Aviso_Total()
{
    double sum = 0;
    if (guarded([&] { sum = sumField(*m_aviso, kValor); })) {
        m_avisoTotal = sum;
        m_avisoTotalLabel->setText(totalLine(m_avisoTotal));
    }
}

void TitleWindow::imprimir()
{
    if (!commitPending())
        return;
    printing::PreparedReport report;
    if (runBusy([&] { report = titleListReport(m_kind, *m_table); }))
        printing::showPreview(report, this);
}

// ---------------------------------------------------------------- pages

void TitleWindow::btnPesquisarClick()
{
    if (m_pages->currentIndex() == 1)
        return;
    m_toolbarSearch = true;
    m_pages->setCurrentIndex(1);
    m_toolbarSearch = false;
}

void TitleWindow::pageChanged(int index)
{
    if (m_switching)
        return;
    if (m_calendarPanel && !m_calendarPanel->isHidden()) {
        m_calendarPanel->hide();
        m_calendarButton->setToolTip(u("Ativar Calendário"));
    }
    if (!commitPending()) {
        m_switching = true;
        m_pages->setCurrentIndex(index == 1 ? 0 : 1);
        m_switching = false;
        return;
    }
    if (index == 1) {
        setEscapeMovesBack(false);
        if (m_kind.payable && !m_toolbarSearch)
            pesquisaNaoPago();
        else
            pesquisaTodos();
    } else {
        setEscapeMovesBack(true);
        filterBox(BoxChoice::All);
    }
}

} // namespace brelvo::finance
