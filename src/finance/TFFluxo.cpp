#include "finance/TFFluxo.h"

#include "core/DialogService.h"
#include "core/Format.h"
#include "core/Widgets.h"
#include "finance/FinanceUi.h"
#include "finance/TitleFilters.h"
#include "finance/Today.h"
#include "finance/Totals.h"
#include "printing/PrintPreview.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace brelvo::finance {

using core::GridColumn;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
const QString kMoney = QStringLiteral("R$ ###,##0.00");

void bold(QLabel *l, int pointDelta = 0)
{
    QFont f = l->font();
    f.setBold(true);
    if (pointDelta)
        f.setPointSize(f.pointSize() + pointDelta);
    l->setFont(f);
}
} // namespace

TFFluxo::TFFluxo(data::DatabasePtr db, QWidget *parent) : RecordWindow(parent)
{
    setObjectName(QStringLiteral("TFFluxo"));
    setWindowTitle(QStringLiteral("FLUXO DE CAIXA"));
    resize(1180, 780);
    m_flow = new CashFlow(std::move(db), this);
    for (data::Query *q : {m_flow->entradas(), m_flow->saidas(), m_flow->vendasCaixa(), m_flow->vendasOrdens(),
                           m_flow->ordens(), m_flow->itens()})
        closeWithWindow(q);

    auto *root = new QVBoxLayout(this);
    auto *title = new QLabel(u("Analítico"), this);
    title->setObjectName(QStringLiteral("lblAnalitico"));
    bold(title, 2);
    root->addWidget(title);
    root->addWidget(buildPeriodBar());
    root->addWidget(buildLists(), 1);
    root->addWidget(buildDetailPanels());
    root->addWidget(buildBottom());

    // Leaving "Por Periodo: " clears its two choices.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (old && m_porPeriodo->isAncestorOf(old) && !(now && m_porPeriodo->isAncestorOf(now)))
            clearChoices();
    });
    ativar();
}

TFFluxo::~TFFluxo()
{
    disconnect(qApp, nullptr, this, nullptr);
}

QWidget *TFFluxo::buildPeriodBar()
{
    auto *bar = new QWidget(this);
    auto *h = new QHBoxLayout(bar);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(new QLabel(u("Entre com um período"), bar));
    const QString hint = QStringLiteral("Clique para inserir a data Atual!");
    auto *lblDe = clickLabel(QStringLiteral("lblDe"), QStringLiteral("De"), hint, bar);
    m_de = dateBox(QStringLiteral("edtDe"), bar);
    auto *lblA = clickLabel(QStringLiteral("lblA"), QStringLiteral("a"), hint, bar);
    m_a = dateBox(QStringLiteral("edtA"), bar);
    connect(lblDe, &core::ClickLabel::clicked, this, [this] { m_de->setText(core::dateText(today())); });
    connect(lblA, &core::ClickLabel::clicked, this, [this] { m_a->setText(core::dateText(today())); });
    connect(m_de, &QLineEdit::returnPressed, this, [this] { m_a->setFocus(); });
    connect(m_a, &QLineEdit::returnPressed, this, &TFFluxo::fanalitico);
    // "a" keeps the focus after computing; Esc there goes back to "De"
    // (elsewhere it closes the window).
    core::EnterMovesFocus::keepEnter(m_a);
    m_a->installEventFilter(this);
    h->addWidget(lblDe);
    h->addWidget(m_de);
    h->addWidget(lblA);
    h->addWidget(m_a);
    auto button = [&](const QString &name, const QString &text, void (TFFluxo::*slot)()) {
        QPushButton *b = makeButton(name, text, bar);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    h->addWidget(button(QStringLiteral("btnOk"), QStringLiteral("Ok"), &TFFluxo::btnOkClick));

    m_porPeriodo = new QGroupBox(QStringLiteral("Por Periodo: "), bar);
    m_porPeriodo->setObjectName(QStringLiteral("gbPorPeriodo"));
    auto *g = new QHBoxLayout(m_porPeriodo);
    m_mes = new QRadioButton(u("Mês Atual"), m_porPeriodo);
    m_mes->setObjectName(QStringLiteral("rbMesAtual"));
    m_hoje = new QRadioButton(QStringLiteral("Hoje"), m_porPeriodo);
    m_hoje->setObjectName(QStringLiteral("rbHoje"));
    connect(m_mes, &QRadioButton::clicked, this, &TFFluxo::mesAtualClick);
    connect(m_hoje, &QRadioButton::clicked, this, &TFFluxo::hojeClick);
    g->addWidget(m_mes);
    g->addWidget(m_hoje);
    h->addWidget(m_porPeriodo);
    h->addStretch();
    h->addWidget(button(QStringLiteral("btnImprimir"), QStringLiteral("Imprimir"), &TFFluxo::btnImprimirClick));
    h->addWidget(button(QStringLiteral("btnEntradas"), QStringLiteral("Entradas"), &TFFluxo::btnEntradasClick));
    h->addWidget(button(QStringLiteral("btnSaidas"), u("Saídas"), &TFFluxo::btnSaidasClick));
    return bar;
}

QWidget *TFFluxo::buildLists()
{
    auto *w = new QWidget(this);
    auto *h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    auto *left = new QVBoxLayout;
    auto *entradas = new QGroupBox(QStringLiteral("ENTRADAS"), w);
    auto *el = new QVBoxLayout(entradas);
    el->addWidget(core::makeGrid(entradas, m_flow->entradas(), QStringLiteral("DBGridEntradas"),
                                 {GridColumn::make(QStringLiteral("Cliente"), QStringLiteral("Cliente"), 30),
                                  GridColumn::make(QStringLiteral("Entrada"), QStringLiteral("Entrada"), 13),
                                  GridColumn::make(QStringLiteral("Valor"), QStringLiteral("Valor"), 12,
                                                   QStringLiteral("###,##0.00"))}));
    left->addWidget(entradas, 1);

    auto *os = new QGroupBox(u("Detalhes Entradas Ordem de Serviço"), w);
    os->setObjectName(QStringLiteral("gbEntradasOS"));
    auto *ol = new QHBoxLayout(os);
    const QString hint = u("Clique aqui para ver detalhes das Entrada da Ordem de Serviços !");
    auto *picture = clickLabel(QStringLiteral("imgDetalhesOS"), QString(), hint, os);
    picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(24, 24));
    auto *caption = clickLabel(QStringLiteral("lblTotalOSCaption"), u("Total Entradas O.S:.............. "), hint, os);
    m_totalOS = clickLabel(QStringLiteral("lblTotalOS"), QString(), hint, os);
    bold(m_totalOS);
    for (auto *l : {picture, caption, static_cast<core::ClickLabel *>(m_totalOS)})
        connect(l, &core::ClickLabel::clicked, this, &TFFluxo::detalhesOSClick);
    ol->addWidget(picture);
    ol->addWidget(caption);
    ol->addWidget(m_totalOS);
    ol->addStretch();
    left->addWidget(os);
    h->addLayout(left, 1);

    auto *saidas = new QGroupBox(u("SAÍDAS"), w);
    auto *sl = new QVBoxLayout(saidas);
    sl->addWidget(core::makeGrid(saidas, m_flow->saidas(), QStringLiteral("DBGridSaidas"),
                                 {GridColumn::make(QStringLiteral("Cliente"), QStringLiteral("Cliente"), 30),
                                  GridColumn::make(QStringLiteral("saida"), QStringLiteral("saida"), 13),
                                  GridColumn::make(QStringLiteral("Valor"), QStringLiteral("Valor"), 12,
                                                   QStringLiteral("###,##0.00"))}));
    h->addWidget(saidas, 1);
    return w;
}

QWidget *TFFluxo::buildDetailPanels()
{
    auto *w = new QWidget(this);
    auto *h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);

    m_detalhes = new QGroupBox(QStringLiteral("Detalhes Registros O.S: "), w);
    m_detalhes->setObjectName(QStringLiteral("pnlDetalhes"));
    auto *dl = new QVBoxLayout(m_detalhes);
    m_ordensGrid = core::makeGrid(m_detalhes, m_flow->ordens(), QStringLiteral("DBGridOrdens"),
                                  {GridColumn::make(QStringLiteral("Data_OS"), QStringLiteral("Data_OS"), 13),
                                   GridColumn::make(QStringLiteral("HrOS"), QStringLiteral("HrOS"), 10),
                                   GridColumn::make(QStringLiteral("Cod_OS"), QStringLiteral("Cod_OS"), 8, QStringLiteral("000")),
                                   GridColumn::make(QStringLiteral("NomeCliente"), QStringLiteral("NomeCliente"), 26),
                                   GridColumn::make(QStringLiteral("ForPagamento"), QStringLiteral("ForPagamento"), 16),
                                   GridColumn::make(QStringLiteral("VLDesconto"), QStringLiteral("VLDesconto"), 13, kMoney),
                                   GridColumn::make(QStringLiteral("Total_Venda"), QStringLiteral("Total_Venda"), 12, kMoney)});
    m_ordensGrid->setToolTip(u("Dê duplo clique na venda desejada para detalhes da venda!"));
    connect(m_ordensGrid, &core::DbGrid::rowChosen, this, &TFFluxo::ordemChosen);
    dl->addWidget(m_ordensGrid, 1);
    auto *db = new QHBoxLayout;
    QPushButton *ver = makeButton(QStringLiteral("btnVisualizar"), QStringLiteral("Vizualizar / Imprimir"), m_detalhes);
    connect(ver, &QPushButton::clicked, this, &TFFluxo::btnVisualizarClick);
    QPushButton *fechar = makeButton(QStringLiteral("btnFecharDetalhes"), QStringLiteral("Fechar"), m_detalhes);
    connect(fechar, &QPushButton::clicked, m_detalhes, &QWidget::hide);
    db->addStretch();
    db->addWidget(ver);
    db->addWidget(fechar);
    dl->addLayout(db);
    h->addWidget(m_detalhes, 3);

    m_itens = new QGroupBox(QStringLiteral("Detalhes Items Vendidos : "), w);
    m_itens->setObjectName(QStringLiteral("pnlItens"));
    auto *il = new QVBoxLayout(m_itens);
    m_itensGrid = core::makeGrid(m_itens, m_flow->itens(), QStringLiteral("DBGridItens"),
                                 {GridColumn::make(QStringLiteral("Descricao"), u("Descrição"), 26),
                                  GridColumn::make(QStringLiteral("Qtd"), QStringLiteral("Qtd"), 6),
                                  GridColumn::make(QStringLiteral("ValorUni"), QStringLiteral("ValorUni"), 11, kMoney),
                                  GridColumn::make(QStringLiteral("SubTotal"), QStringLiteral("SubTotal"), 11, kMoney)});
    il->addWidget(m_itensGrid, 1);
    QPushButton *fecharItens = makeButton(QStringLiteral("btnFecharItens"), QStringLiteral("Fechar (x)"), m_itens);
    connect(fecharItens, &QPushButton::clicked, m_itens, &QWidget::hide);
    il->addWidget(fecharItens, 0, Qt::AlignRight);
    h->addWidget(m_itens, 2);

    m_detalhes->hide();
    m_itens->hide();
    return w;
}

QWidget *TFFluxo::buildBottom()
{
    auto *w = new QWidget(this);
    auto *h = new QHBoxLayout(w);
    auto caption = [&](const QString &name) {
        auto *l = new QLabel(w);
        l->setObjectName(name);
        bold(l, 1);
        h->addWidget(l, 1);
        return l;
    };
    m_totalEntradas = caption(QStringLiteral("lblTotalEntradas"));
    m_totalSaidas = caption(QStringLiteral("lblTotalSaidas"));
    m_saldo = caption(QStringLiteral("lblSaldo"));
    return w;
}

// ---------------------------------------------------------------- period

bool TFFluxo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_a && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        m_de->setFocus();
        return true;
    }
    return RecordWindow::eventFilter(watched, event);
}

std::optional<Period> TFFluxo::period()
{
    QString error;
    const std::optional<DueRange> r = readRange(m_de->text(), m_a->text(), &error);
    if (!r) {
        core::dialogs().error(this, QStringLiteral("Erro"), error);
        return std::nullopt;
    }
    if (!r->isSet())
        return std::nullopt;
    return Period{r->from, r->to};
}

PeriodText TFFluxo::periodText() const
{
    return {m_de->text(), m_a->text()};
}

void TFFluxo::clearChoices()
{
    for (QRadioButton *r : {m_mes, m_hoje}) {
        r->setAutoExclusive(false);
        r->setChecked(false);
        r->setAutoExclusive(true);
    }
}

void TFFluxo::ativar()
{
    const QString day = core::dateText(today());
    m_de->setText(day);
    m_a->setText(day);
    btnOkClick();
}

// ---------------------------------------------------------------- actions

void TFFluxo::fanalitico()
{
    const std::optional<Period> p = period();
    if (p && runBusy([&] { m_flow->analitico(*p); }))
        showFigures();
}

void TFFluxo::CalculoGeral()
{
    const std::optional<Period> p = period();
    if (p && runBusy([&] { m_flow->calculoGeral(*p); }))
        showFigures();
}

void TFFluxo::totalizar()
{
    if (runBusy([&] { m_flow->totalizar(); }))
        showFigures();
}

void TFFluxo::showFigures()
{
    const CashFigures &f = m_flow->figures();
    m_totalOS->setText(f.orderRevenueEmpty ? QString() : core::formatMask(QStringLiteral("R$ ####,##0.00"), f.orderRevenue));
    const QStringList lines = bottomLines();
    m_totalEntradas->setText(lines[0]);
    m_totalSaidas->setText(lines[1]);
    m_saldo->setText(lines[2]);
}

QStringList TFFluxo::bottomLines() const
{
    const CashFigures &f = m_flow->figures();
    return {QStringLiteral("Total das Entradas: ") + amountText(f.totalIn),
            u("Total das Saídas: ") + amountText(f.paid), QStringLiteral("Saldo: ") + amountText(f.balance())};
}

void TFFluxo::VendasOS()
{
    const std::optional<Period> p = period();
    if (p)
        runBusy([&] { m_flow->vendasOS(*p); });
}

void TFFluxo::DetItemsOrdem(qint64 chave)
{
    runBusy([&] { m_flow->detItemsOrdem(chave); });
}

void TFFluxo::btnOkClick()
{
    // fanalitico computes the revenue sums already; a second run would only
    // read the same rows again.
    fanalitico();
}

void TFFluxo::mesAtualClick()
{
    const Period p = monthOf(today());
    m_de->setText(core::dateText(p.from));
    m_a->setText(core::dateText(p.to));
    m_hoje->setAutoExclusive(false);
    m_hoje->setChecked(false);
    m_hoje->setAutoExclusive(true);
    m_mes->setChecked(true);
    btnOkClick();
}

void TFFluxo::hojeClick()
{
    const QString day = core::dateText(today());
    m_de->setText(day);
    m_a->setText(day);
    m_mes->setAutoExclusive(false);
    m_mes->setChecked(false);
    m_mes->setAutoExclusive(true);
    m_hoje->setChecked(true);
    btnOkClick();
}

void TFFluxo::detalhesOSClick()
{
    VendasOS();
    m_detalhes->setTitle(QStringLiteral("Detalhes Registros O.S: "));
    m_detalhes->show();
}

void TFFluxo::ordemChosen(int row)
{
    data::Query *q = m_flow->ordens();
    if (!q->isOpen() || q->isEmpty())
        return;
    qint64 chave = 0;
    if (!guarded([&] {
            q->moveTo(row);
            chave = q->asInteger(QStringLiteral("Chave"));
        }))
        return;
    m_itens->show();
    m_itensGrid->setFocus();
    DetItemsOrdem(chave);
}

void TFFluxo::preview(printing::PreparedReport &report)
{
    printing::showPreview(report, this);
    // Coming back from the printout, the window starts again from today.
    ativar();
}

void TFFluxo::btnVisualizarClick()
{
    printing::PreparedReport r;
    if (m_flow->ordens()->isOpen() && runBusy([&] { r = cashOrdersReport(periodText(), *m_flow->ordens()); }))
        preview(r);
}

void TFFluxo::btnImprimirClick()
{
    clearChoices();
    printing::PreparedReport r;
    if (runBusy([&] { r = cashSummaryReport(periodText(), m_flow->figures(), bottomLines()); }))
        preview(r);
}

void TFFluxo::btnEntradasClick()
{
    clearChoices();
    printing::PreparedReport r;
    if (m_flow->entradas()->isOpen() && runBusy([&] { r = cashEntriesReport(periodText(), *m_flow->entradas()); }))
        preview(r);
}

void TFFluxo::btnSaidasClick()
{
    clearChoices();
    printing::PreparedReport r;
    if (m_flow->saidas()->isOpen() && runBusy([&] { r = cashExitsReport(periodText(), *m_flow->saidas()); }))
        preview(r);
}

} // namespace brelvo::finance
