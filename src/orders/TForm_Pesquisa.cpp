#include "orders/TForm_Pesquisa.h"

#include "core/DataControls.h"
#include "core/DatasetModel.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "orders/OrderRules.h"
#include "printing/PrintPreview.h"
#include "printing/Report.h"
#include "core/Widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace brelvo::orders {

using data::Dataset;
using data::Table;
using printing::Align;
using core::guarded;

namespace {

const QString kDateMask = QStringLiteral("!99/99/0000;1;_");
constexpr int kSituacaoColumn = 4;

// Paints every cell of a row in the colour of the row's state.
class StateColourDelegate : public QStyledItemDelegate {
public:
    explicit StateColourDelegate(const TForm_Pesquisa *window, QObject *parent)
        : QStyledItemDelegate(parent), m_window(window)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QColor c = m_window->rowColour(index.row());
        if (c.isValid()) {
            option->palette.setColor(QPalette::Text, c);
            option->palette.setColor(QPalette::HighlightedText, c);
        }
    }

private:
    const TForm_Pesquisa *m_window;
};

} // namespace

void FillOnOpenCombo::showPopup()
{
    Q_EMIT aboutToOpen();
    QComboBox::showPopup();
}

TForm_Pesquisa::TForm_Pesquisa(data::DatabasePtr db, QWidget *parent) : QDialog(parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("TForm_Pesquisa"));
    setWindowTitle(QStringLiteral("Pesquisa Andamento das O.S"));
    resize(1100, 640);

    m_controle = new Table(m_db, QStringLiteral("TOrdemServico.DB"), this);
    m_controle->setObjectName(QStringLiteral("T_controle"));
    m_tecnicos = new Table(m_db, QStringLiteral("tbFunciocario.DB"), this);
    m_tecnicos->setObjectName(QStringLiteral("TbTecnicos"));
    m_tecnicos->setIndexName(QStringLiteral("ByNome"));
    m_tecnicos->setFilter(QStringLiteral("Funcao='MECÂNICO'"));
    m_tecnicos->setFiltered(true);
    m_itens = new Table(m_db, QStringLiteral("tbitemsordem.db"), this);
    m_itens->setObjectName(QStringLiteral("TabelaItem"));
    m_itens->setIndexName(QStringLiteral("ByCodVenda"));
    m_itens->setMasterSource(m_controle, QStringLiteral("Chave"), QStringLiteral("CodVenda"));
    m_controle->open();
    m_tecnicos->open();
    m_itens->open();

    auto *lay = new QVBoxLayout(this);

    // Filters.
    auto *filters = new QGridLayout;
    filters->addWidget(new QLabel(QStringLiteral("Filtrar Por Andamento:"), this), 0, 0);
    m_andamento = new QComboBox(this);
    m_andamento->setObjectName(QStringLiteral("cbAndamento"));
    m_andamento->setEditable(true);
    m_andamento->setInsertPolicy(QComboBox::NoInsert);
    m_andamento->addItems(searchStates());
    filters->addWidget(m_andamento, 1, 0);

    filters->addWidget(new QLabel(QStringLiteral("Filtrar Por Mecânico:"), this), 0, 1);
    m_mecanico = new FillOnOpenCombo(this);
    m_mecanico->setObjectName(QStringLiteral("cbMecanico"));
    m_mecanico->setEditable(true);
    m_mecanico->setInsertPolicy(QComboBox::NoInsert);
    m_mecanico->setMinimumWidth(200);
    filters->addWidget(m_mecanico, 1, 1);

    auto *periodo = new QGroupBox(QStringLiteral("Filtro Por Período:"), this);
    auto *pl = new QHBoxLayout(periodo);
    m_lblDe = new QLabel(QStringLiteral("De:"), periodo);
    m_de = new QLineEdit(periodo);
    m_de->setObjectName(QStringLiteral("edDe"));
    m_lblAte = new QLabel(QStringLiteral("a"), periodo);
    m_ate = new QLineEdit(periodo);
    m_ate->setObjectName(QStringLiteral("edAte"));
    for (QLineEdit *e : {m_de, m_ate}) {
        e->setInputMask(core::convertEditMask(kDateMask).inputMask);
        e->setFixedWidth(90);
    }
    auto *ok = new QPushButton(QStringLiteral("OK"), periodo);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setAutoDefault(false);
    pl->addWidget(m_lblDe);
    pl->addWidget(m_de);
    pl->addWidget(m_lblAte);
    pl->addWidget(m_ate);
    pl->addWidget(ok);
    filters->addWidget(periodo, 0, 2, 2, 1);

    filters->addWidget(new QLabel(QStringLiteral("Localizar Cliente:"), this), 0, 3);
    m_cliente = new QLineEdit(this);
    m_cliente->setObjectName(QStringLiteral("edCliente"));
    m_cliente->setToolTip(QStringLiteral("Digite o nome do cliente!"));
    m_cliente->setMaxLength(50);
    core::setTypingCase(m_cliente, core::CharCase::Upper);
    filters->addWidget(m_cliente, 1, 3);
    filters->setColumnStretch(3, 1);
    lay->addLayout(filters);

    // Grid of the orders.
    m_grid = core::makeGrid(
        this, m_controle, QStringLiteral("DBGrid1"),
        {core::GridColumn::make(QStringLiteral("Data"), QStringLiteral("Data OS"), 12),
         core::GridColumn::make(QStringLiteral("Codigo"), QStringLiteral("Nº OS"), 7, QStringLiteral("0000")),
         core::GridColumn::make(QStringLiteral("DataEntrega"), QStringLiteral("Previsão Entrega"), 15),
         core::GridColumn::make(QStringLiteral("NomeCliente"), QStringLiteral("Nome do Cliente"), 30),
         core::GridColumn::make(QStringLiteral("Andamento"), QStringLiteral("Situação"), 25),
         core::GridColumn::make(QStringLiteral("Tecnico"), QStringLiteral("Mecânico"), 24),
         core::GridColumn::make(QStringLiteral("VrTotal"), QString(), 10, QStringLiteral("###,##0.00")),
         core::GridColumn::make(QStringLiteral("DefeitoReclama"), QStringLiteral("Defeito Reclamado"), 40)});
    m_grid->setItemDelegate(new StateColourDelegate(this, m_grid));
    lay->addWidget(m_grid, 1);

    // Legend of the colours.
    auto *legend = new QHBoxLayout;
    for (const QString &state : colouredStates()) {
        auto *l = new QLabel(state, this);
        l->setObjectName(QStringLiteral("legenda_") + QString(state).replace(QLatin1Char(' '), QLatin1Char('_')));
        l->setStyleSheet(QStringLiteral("QLabel { color: %1; font-weight: bold; }").arg(progressColour(state).name()));
        legend->addWidget(l);
    }
    legend->addStretch(1);
    auto *todas = new QPushButton(QStringLiteral("Mostrar Todas O.S"), this);
    todas->setObjectName(QStringLiteral("btnMostrarTodas"));
    auto *imprimirBtn = new QPushButton(QStringLiteral("Imprimir"), this);
    imprimirBtn->setObjectName(QStringLiteral("btnImprimir"));
    auto *sairBtn = new QPushButton(QStringLiteral("&Sair"), this);
    sairBtn->setObjectName(QStringLiteral("btnSair"));
    for (QPushButton *b : {todas, imprimirBtn, sairBtn}) {
        b->setAutoDefault(false);
        legend->addWidget(b);
    }
    lay->addLayout(legend);

    // Items of one order.
    m_detalhes = new QFrame(this);
    m_detalhes->setObjectName(QStringLiteral("PanDetalhesVendas"));
    m_detalhes->setFrameShape(QFrame::Panel);
    auto *dl = new QVBoxLayout(m_detalhes);
    auto *dh = new QHBoxLayout;
    dh->addWidget(new QLabel(QStringLiteral("Detalhes Vendas - Items"), m_detalhes));
    dh->addStretch(1);
    m_detalhesOs = new QLabel(m_detalhes);
    m_detalhesOs->setObjectName(QStringLiteral("lblDetalhesOs"));
    dh->addWidget(m_detalhesOs);
    auto *fechar = new QPushButton(QStringLiteral("Fechar"), m_detalhes);
    fechar->setObjectName(QStringLiteral("btnFecharDetalhes"));
    fechar->setAutoDefault(false);
    dh->addWidget(fechar);
    dl->addLayout(dh);
    dl->addWidget(core::makeGrid(
        m_detalhes, m_itens, QStringLiteral("DBGridItens"),
        {core::GridColumn::make(QStringLiteral("CodBarra"), QString(), 15, QStringLiteral("0000")),
         core::GridColumn::make(QStringLiteral("Descricao"), QString(), 50),
         core::GridColumn::make(QStringLiteral("Qtd"), QString(), 8)}));
    m_detalhes->setMaximumHeight(220);
    m_detalhes->hide();
    lay->addWidget(m_detalhes);

    connect(m_andamento, &QComboBox::currentTextChanged, this, &TForm_Pesquisa::andamentoChange);
    connect(m_mecanico, &FillOnOpenCombo::aboutToOpen, this, &TForm_Pesquisa::fillMecanicos);
    connect(m_mecanico, &QComboBox::textActivated, this, &TForm_Pesquisa::mecanicoChosen);
    connect(m_cliente, &QLineEdit::textChanged, this, &TForm_Pesquisa::clienteChange);
    connect(ok, &QPushButton::clicked, this, &TForm_Pesquisa::periodoOk);
    connect(todas, &QPushButton::clicked, this, &TForm_Pesquisa::mostrarTodas);
    connect(imprimirBtn, &QPushButton::clicked, this, &TForm_Pesquisa::imprimir);
    connect(sairBtn, &QPushButton::clicked, this, &TForm_Pesquisa::sair);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &TForm_Pesquisa::showDetails);
    connect(fechar, &QPushButton::clicked, m_detalhes, &QWidget::hide);
    m_lblDe->installEventFilter(this);
    m_lblAte->installEventFilter(this);
    // Enter in the second date applies the period (also with the mask incomplete).
    m_ate->installEventFilter(this);
    core::EnterMovesFocus::keepEnter(m_ate);
    core::EnterMovesFocus::install(this);

    const QString today = core::dateText(QDate::currentDate());
    m_de->setText(today);
    m_ate->setText(today);
    m_andamento->setCurrentText(QStringLiteral("EM ABERTO"));
    andamentoChange(m_andamento->currentText());
}

TForm_Pesquisa::~TForm_Pesquisa()
{
    try {
        m_itens->close();
        m_tecnicos->close();
        m_controle->close();
    } catch (...) {
    }
}

QColor TForm_Pesquisa::rowColour(int row) const
{
    const QAbstractItemModel *m = m_grid->model();
    if (!m || row < 0 || row >= m->rowCount())
        return QColor();
    return progressColour(m->index(row, kSituacaoColumn).data().toString());
}

void TForm_Pesquisa::applyPrefixFilter(const QString &field, const QString &text)
{
    guarded(this, [&] {
        m_controle->setFilter(field + QLatin1Char('=') + Table::quoted(text + QLatin1Char('*')));
        m_controle->setFiltered(true);
    });
}

void TForm_Pesquisa::andamentoChange(const QString &text)
{
    // The filter puts the grid on its first order, which is also the first
    // whose state begins with the text: no separate search is needed.
    applyPrefixFilter(QStringLiteral("Andamento"), text);
}

void TForm_Pesquisa::fillMecanicos()
{
    const QString typed = m_mecanico->currentText();
    QStringList names;
    guarded(this, [&] {
        m_tecnicos->refresh();
        for (m_tecnicos->first(); !m_tecnicos->eof(); m_tecnicos->next())
            names << core::upper(m_tecnicos->asString(QStringLiteral("Nome")));
    });
    m_mecanico->blockSignals(true);
    m_mecanico->clear();
    m_mecanico->addItems(names);
    m_mecanico->setCurrentText(typed);
    m_mecanico->blockSignals(false);
}

void TForm_Pesquisa::mecanicoChosen(const QString &name)
{
    applyPrefixFilter(QStringLiteral("Tecnico"), name);
}

void TForm_Pesquisa::clienteChange(const QString &typed)
{
    // The box forces upper case; a change may arrive before the forcing did.
    applyPrefixFilter(QStringLiteral("NomeCliente"), core::upper(typed));
}

QString TForm_Pesquisa::dateBoxText(QLineEdit *box) const
{
    return core::maskedValue(core::convertEditMask(kDateMask), box->displayText());
}

void TForm_Pesquisa::periodoOk()
{
    const QString de = dateBoxText(m_de);
    const QString ate = dateBoxText(m_ate);
    std::optional<QDate> from, to;
    if (!de.isEmpty() && !ate.isEmpty()) {
        from = core::parseDate(de);
        to = core::parseDate(ate);
        if (!from || !to) {
            core::dialogs().warning(this, QStringLiteral("Período"),
                                    QStringLiteral("Data inválida no período. Digite as datas como dd/mm/aaaa."));
            (from ? m_ate : m_de)->setFocus();
            return;
        }
    }
    guarded(this, [&] {
        m_controle->cancelRange();
        m_controle->setFiltered(false);
        if (from && to) {
            m_controle->setIndexName(QStringLiteral("byData"));
            m_controle->setRange({*from}, {*to});
        }
    });
}

void TForm_Pesquisa::mostrarTodas()
{
    guarded(this, [&] {
        m_controle->cancelRange();
        m_controle->setFiltered(false);
    });
}

void TForm_Pesquisa::showDetails()
{
    if (m_controle->isEmpty())
        return;
    m_detalhesOs->setText(QStringLiteral("OS Nº..: ")
                          + core::formatMask(QStringLiteral("0000"), m_controle->asFloat(QStringLiteral("Codigo"))));
    m_detalhes->show();
}

printing::PreparedReport TForm_Pesquisa::servicesReport(Table &orders, const QString &de, const QString &a)
{
    using printing::Report;
    Report r(QStringLiteral("Relatório de Serviços"));
    r.setPage(printing::PageSetup::a4Portrait());
    const int titleFont = r.font(14, true);
    const int bold = r.font(8, true);
    const int normal = r.font(8);
    const double w = r.width();   // 190 mm

    struct Col { double x, w; const char *caption; const char *field; const char *mask; Align align; };
    const Col cols[] = {{0, 18, "Data Entrada", "Data", "", Align::Left},
                        {19, 12, "Nº O.S", "Codigo", "0000", Align::Left},
                        {32, 42, "Cliente", "NomeCliente", "", Align::Left},
                        {75, 28, "Andamento", "Andamento", "", Align::Left},
                        {104, 24, "Equipamento", "Equopamento", "", Align::Left},
                        {129, 26, "Mecânico", "Tecnico", "", Align::Left},
                        {156, 17, "Pre. Entrega", "DataEntrega", "", Align::Left},
                        {174, 16, "Total", "VrTotal", "####0.00", Align::Right}};

    auto &title = r.title().setHeight(24);
    title.systemDate({0, 0, 30, 4}, QStringLiteral("dd/mm/yyyy"), normal);
    title.systemTime({31, 0, 20, 4}, QStringLiteral("hh:nn:ss"), normal);
    title.label({0, 5, w, 7}, QStringLiteral("Relatório de Serviços"), titleFont, Align::Center);
    title.label({0, 13, w, 4}, QStringLiteral("De: ") + de + QStringLiteral("  a: ") + a, normal, Align::Center);
    for (const Col &c : cols)
        title.label({c.x, 19, c.w, 4}, QString::fromUtf8(c.caption), bold, c.align);
    title.line({0, 23.5}, {w, 23.5});

    auto &detail = r.detail().setHeight(4.5);
    for (const Col &c : cols)
        detail.field({c.x, 0, c.w, 4}, QString::fromUtf8(c.field), QString::fromLatin1(c.mask), normal)
            .setAlign(c.align);

    auto &sum = r.summary().setHeight(12);
    sum.line({0, 1}, {w, 1});
    sum.label({0, 3, 40, 4}, QStringLiteral("Total de Registro(s):"), bold);
    sum.count({41, 3, 20, 4}, QString(), normal);
    sum.label({120, 3, 25, 4}, QStringLiteral("Total Geral:"), bold);
    sum.label({146, 3, 8, 4}, QStringLiteral("R$"), bold);
    sum.sum({154, 3, 36, 4}, QStringLiteral("VrTotal"), QStringLiteral("####0.00"), normal).setAlign(Align::Right);

    // The grid shows the same cursor: nothing may follow it while the report walks it.
    const data::Bookmark here = orders.bookmark();
    orders.disableControls();
    printing::PreparedReport prepared;
    try {
        r.setRows(&orders);
        prepared = r.prepare();
    } catch (...) {
        orders.enableControls();
        throw;
    }
    if (here.isValid())
        orders.gotoBookmark(here);
    orders.enableControls();
    return prepared;
}

void TForm_Pesquisa::imprimir()
{
    const QString de = m_de->displayText();
    const QString ate = m_ate->displayText();
    guarded(this, [&] {
        printing::PreparedReport prepared = servicesReport(*m_controle, de, ate);
        printing::showPreview(prepared, this);
    });
}

void TForm_Pesquisa::sair()
{
    if (core::dialogs().question(this, QStringLiteral("SAIR"), QStringLiteral("Deseja sair da tela de pesquisa?"))
        == core::Answer::Yes)
        accept();
}

void TForm_Pesquisa::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        // Esc goes back to the previous control; it does not close the window.
        focusPreviousChild();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool TForm_Pesquisa::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonRelease && (watched == m_lblDe || watched == m_lblAte)) {
        (watched == m_lblDe ? m_de : m_ate)->setText(core::dateText(QDate::currentDate()));
        return true;
    }
    if (watched == m_ate && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            periodoOk();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

} // namespace brelvo::orders
