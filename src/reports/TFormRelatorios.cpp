#include "reports/TFormRelatorios.h"

#include "core/DialogService.h"
#include "core/Format.h"
#include "printing/PrintPreview.h"
#include "reports/ReportPrintouts.h"
#include "stock/StockBalance.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace brelvo::reports {

using core::dialogs;
using data::Query;
using data::Table;

namespace {
const QString kEmDesenvolvimento = QStringLiteral("Em desenvolvimento");
const QString kDataMask = QStringLiteral("!99/99/0000;1;_");
} // namespace

TFormRelatorios::TFormRelatorios(data::DatabasePtr db, QWidget *parent)
    : RecordWindow(parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("TFormRelatorios"));
    setWindowTitle(QStringLiteral("Relatórios Geral"));

    auto query = [this](const char *name) {
        auto *q = new Query(m_db, this);
        q->setObjectName(QString::fromLatin1(name));
        closeWithWindow(q);
        return q;
    };
    QrProdutos = query("QrProdutos");
    QueryVendas = query("QueryVendas");
    QrVendasCx = query("QrVendasCx");
    QrVendasOs = query("QrVendasOs");
    QComissaoOS = query("QComissaoOS");
    QrFuncionario = query("QrFuncionario");

    TbFuncionarios = new Table(m_db, QStringLiteral("tbFunciocario.db"), this);
    TbFuncionarios->setObjectName(QStringLiteral("TbFuncionarios"));
    TbFuncionarios->setIndexName(QStringLiteral("ByNome"));
    TbFuncionarios->open();
    closeWithWindow(TbFuncionarios);
    TabelaEntrada = new Table(m_db, QStringLiteral("tbProdutos.db"), this);
    TabelaEntrada->setObjectName(QStringLiteral("TabelaEntrada"));
    TabelaEntrada->setIndexName(QStringLiteral("ByCodigo"));
    TabelaEntrada->open();
    closeWithWindow(TabelaEntrada);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(criarPaginaGeral(), QStringLiteral("Geral"));
    PageControl1->addTab(criarPaginaProdutos(), QStringLiteral("Produtos"));
    PageControl1->addTab(criarPaginaComissao(), QStringLiteral("Comissão"));
    PageControl1->addTab(criarPaginaOrdens(), QStringLiteral("Ordem De Serviços"));
    PageControl1->addTab(criarPaginaCaixa(), QStringLiteral("Caixa Geral"));

    auto *main = new QVBoxLayout(this);
    main->addWidget(PageControl1, 1);
    main->addWidget(criarPeriodo());

    // Both boxes start with today's date.
    const QString hoje = core::dateText(QDate::currentDate());
    MaskEdit1->setText(hoje);
    MaskEdit2->setText(hoje);
    setPesquisaOS({});
    preencherVendedores();
    mostrarCaixa();

    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == PaginaComissao)
            guarded([this] { preencherVendedores(); });
        calculoCaixaG(false);
    });
    qApp->installEventFilter(this);
    resize(760, 520);
}

TFormRelatorios::~TFormRelatorios() = default;

// ---------------------------------------------------------------- layout

QPushButton *TFormRelatorios::botao(QWidget *parent, const QString &name, const QString &text,
                                    void (TFormRelatorios::*acao)())
{
    QPushButton *b = makeButton(name, text, parent);
    b->setMinimumSize(150, 56);
    connect(b, &QPushButton::clicked, this, [this, acao] { (this->*acao)(); });
    return b;
}

QWidget *TFormRelatorios::criarPaginaGeral()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabGeral"));
    m_geral = new QStackedWidget(page);

    auto *botoes = new QWidget;
    auto *grid = new QGridLayout(botoes);
    grid->addWidget(botao(botoes, QStringLiteral("BtnF5"), QStringLiteral("F5\nTabela Preços"),
                          &TFormRelatorios::tabelaPrecos), 0, 0);
    grid->addWidget(botao(botoes, QStringLiteral("BtnEntradasOrdems"), QStringLiteral("Entradas Ordems"),
                          &TFormRelatorios::entradasOrdens), 0, 1);
    grid->addWidget(botao(botoes, QStringLiteral("BtnRecebimentosOS"), QStringLiteral("Recebimentos O.S"),
                          &TFormRelatorios::recebimentosOS), 0, 2);
    QPushButton *pesquisa = botao(botoes, QStringLiteral("BtnRelatoriosOS"), QStringLiteral("Relatorios O.S "),
                                  &TFormRelatorios::relatoriosOS);
    m_botoesPesquisaOS << pesquisa;
    grid->addWidget(pesquisa, 1, 0);
    grid->addWidget(botao(botoes, QStringLiteral("BtnComissaoMecanico"), QStringLiteral("Comissão Mecânico\nServiços"),
                          &TFormRelatorios::comissaoMecanicos), 1, 1);
    auto *teclas = new QLabel(QStringLiteral("F1  Lista Estoque Produtos\nF2  Vendas Caixa\nF3  Entrada Caixa\n"
                                             "F4  Produtos em Falta\nF5  Tabela Preços"), botoes);
    teclas->setObjectName(QStringLiteral("LabTeclas"));
    grid->addWidget(teclas, 1, 2);
    grid->setRowStretch(2, 1);

    m_geral->addWidget(botoes);
    m_geral->addWidget(criarPainelEstoque());
    auto *lay = new QVBoxLayout(page);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_geral);
    return page;
}

QWidget *TFormRelatorios::criarPainelEstoque()
{
    auto *panel = new QFrame;
    panel->setObjectName(QStringLiteral("PanelEstoque"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto *lay = new QVBoxLayout(panel);
    auto *titulo = new QLabel(QStringLiteral("LISTA ESTOQUE PRODUTOS"), panel);
    titulo->setObjectName(QStringLiteral("LabListaEstoque"));
    QFont f = titulo->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    titulo->setFont(f);
    titulo->setAlignment(Qt::AlignCenter);
    lay->addWidget(titulo);

    auto *progresso = new QHBoxLayout;
    ProgressEstoque = new QProgressBar(panel);
    ProgressEstoque->setObjectName(QStringLiteral("ProgressEstoque"));
    ProgressEstoque->setRange(0, 3);
    ProgressEstoque->setValue(0);
    ProgressEstoque->setFormat(QStringLiteral("%p%"));
    LabProgresso = new QLabel(panel);
    LabProgresso->setObjectName(QStringLiteral("LabProgresso"));
    progresso->addWidget(ProgressEstoque, 1);
    progresso->addWidget(LabProgresso, 2);
    lay->addLayout(progresso);

    using core::GridColumn;
    lay->addWidget(core::makeGrid(panel, TabelaEntrada, QStringLiteral("DBGridEstoque"),
                                  {GridColumn::make(QStringLiteral("Codigo"), QStringLiteral("Codigo"), 18,
                                                    QStringLiteral("0000000000000")),
                                   GridColumn::make(QStringLiteral("Descricao"), QStringLiteral("Descrição"), 36),
                                   GridColumn::make(QStringLiteral("Marca"), QString(), 12),
                                   GridColumn::make(QStringLiteral("Categoria"), QString(), 14),
                                   GridColumn::make(QStringLiteral("Valor"), QString(), 10, QStringLiteral("###,##0.00")),
                                   GridColumn::make(QStringLiteral("Estoque"), QString(), 8)}),
                  1);
    auto *botoes = new QHBoxLayout;
    botoes->addStretch(1);
    QPushButton *imprimir = makeButton(QStringLiteral("BtnImprimirEstoque"), QStringLiteral("Imprimir"), panel);
    connect(imprimir, &QPushButton::clicked, this, &TFormRelatorios::imprimirEstoque);
    QPushButton *sair = makeButton(QStringLiteral("BtnSairEstoque"), QStringLiteral("Sair"), panel);
    connect(sair, &QPushButton::clicked, this, &TFormRelatorios::sairEstoque);
    botoes->addWidget(imprimir);
    botoes->addWidget(sair);
    lay->addLayout(botoes);
    return panel;
}

QWidget *TFormRelatorios::criarPaginaProdutos()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabProdutos"));
    auto *grid = new QGridLayout(page);
    grid->addWidget(botao(page, QStringLiteral("BtnTabelaPrecos"), QStringLiteral("Tabela Preços"),
                          &TFormRelatorios::tabelaPrecos), 0, 0);
    grid->addWidget(botao(page, QStringLiteral("BtnMaisVendidos"), QStringLiteral("Mais Vendidos"),
                          &TFormRelatorios::maisVendidos), 0, 1);
    QPushButton *nunca = botao(page, QStringLiteral("BtnNuncaVendidos"), QStringLiteral("Nunca Vendidos"),
                               &TFormRelatorios::nuncaVendidos);
    nunca->setToolTip(QStringLiteral("Produtos Cadastrado e nunca vendidos!"));
    grid->addWidget(nunca, 0, 2);
    grid->setRowStretch(1, 1);
    return page;
}

QWidget *TFormRelatorios::criarPaginaComissao()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabComissao"));
    auto *lay = new QVBoxLayout(page);

    auto *vendedor = new QGroupBox(QStringLiteral("Selecione Mecânico ou Codigo"), page);
    vendedor->setObjectName(QStringLiteral("GroupVendedor"));
    auto *g = new QGridLayout(vendedor);
    g->addWidget(new QLabel(QStringLiteral("Codigo"), vendedor), 0, 0);
    g->addWidget(new QLabel(QStringLiteral("Selcione"), vendedor), 0, 1);
    Edit1CodVendedor = new QLineEdit(vendedor);
    Edit1CodVendedor->setObjectName(QStringLiteral("Edit1CodVendedor"));
    Edit1CodVendedor->setMaximumWidth(100);
    connect(Edit1CodVendedor, &QLineEdit::editingFinished, this, [this] { guarded([this] { codigoVendedorExit(); }); });
    ComboVendedor = new QComboBox(vendedor);
    ComboVendedor->setObjectName(QStringLiteral("ComboVendedor"));
    ComboVendedor->setEditable(true);
    ComboVendedor->setInsertPolicy(QComboBox::NoInsert);
    ComboVendedor->setMinimumWidth(300);
    core::setTypingCase(ComboVendedor, core::CharCase::Upper);
    connect(ComboVendedor, &QComboBox::textActivated, this,
            [this](const QString &nome) { guarded([this, nome] { vendedorEscolhido(nome); }); });
    g->addWidget(Edit1CodVendedor, 1, 0);
    g->addWidget(ComboVendedor, 1, 1);
    g->setColumnStretch(2, 1);
    lay->addWidget(vendedor);

    auto *filtro = new QGroupBox(QStringLiteral("Selecione Filtro "), page);
    filtro->setObjectName(QStringLiteral("RadioFiltro"));
    auto *f = new QHBoxLayout(filtro);
    RadioProdutos = new QRadioButton(QStringLiteral("Por Produtos"), filtro);
    RadioProdutos->setObjectName(QStringLiteral("RadioProdutos"));
    RadioServicos = new QRadioButton(QStringLiteral("Por Serviços  (Mão De Obra)"), filtro);
    RadioServicos->setObjectName(QStringLiteral("RadioServicos"));
    RadioTodos = new QRadioButton(QStringLiteral("Todos"), filtro);
    RadioTodos->setObjectName(QStringLiteral("RadioTodos"));
    f->addWidget(RadioProdutos);
    f->addWidget(RadioServicos);
    f->addWidget(RadioTodos);
    f->addStretch(1);
    lay->addWidget(filtro);

    auto *linha = new QHBoxLayout;
    linha->addWidget(botao(page, QStringLiteral("BtnVizualizar"), QStringLiteral("Vizualizar Consulta"),
                           &TFormRelatorios::vizualizarConsulta));
    linha->addStretch(1);
    lay->addLayout(linha);
    lay->addStretch(1);
    return page;
}

QWidget *TFormRelatorios::criarPaginaOrdens()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabOrdens"));
    auto *grid = new QGridLayout(page);
    grid->addWidget(botao(page, QStringLiteral("BtnEntradasOrdems2"), QStringLiteral("Entradas Ordems"),
                          &TFormRelatorios::entradasOrdens), 0, 0);
    grid->addWidget(botao(page, QStringLiteral("BtnRecebimentosOS2"), QStringLiteral("Recebimentos O.S"),
                          &TFormRelatorios::recebimentosOS), 0, 1);
    QPushButton *pesquisa = botao(page, QStringLiteral("BtnRelatoriosOS2"), QStringLiteral("Relatorios O.S "),
                                  &TFormRelatorios::relatoriosOS);
    m_botoesPesquisaOS << pesquisa;
    grid->addWidget(pesquisa, 0, 2);
    grid->addWidget(botao(page, QStringLiteral("BtnMaisVendidos2"), QStringLiteral("Mais Vendidos"),
                          &TFormRelatorios::maisVendidos), 1, 0);
    grid->addWidget(botao(page, QStringLiteral("BtnComissaoMecanico2"), QStringLiteral("Comissão Mecânico\nServiços"),
                          &TFormRelatorios::comissaoMecanicos), 1, 1);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget *TFormRelatorios::criarPaginaCaixa()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabCaixaGeral"));
    auto *lay = new QGridLayout(page);
    QFont grande = page->font();
    grande.setPointSizeF(grande.pointSizeF() * 1.4);
    grande.setBold(true);
    auto linha = [&](int row, const QString &caption, const QString &name) {
        auto *c = new QLabel(caption, page);
        c->setFont(grande);
        auto *v = new QLabel(page);
        v->setObjectName(name);
        v->setFont(grande);
        v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lay->addWidget(c, row, 0);
        lay->addWidget(v, row, 1);
        return v;
    };
    LabTotalOS = linha(0, QStringLiteral("Total Entradas O.S:.............. "), QStringLiteral("LabTotalOS"));
    LabTotalGeral = linha(1, QStringLiteral("Total Geral:........................."), QStringLiteral("LabTotalGeral"));
    auto *botoes = new QHBoxLayout;
    QPushButton *recalcular = makeButton(QStringLiteral("BtnRecalcular"), QStringLiteral("Recalcular"), page);
    recalcular->setMinimumSize(150, 56);
    connect(recalcular, &QPushButton::clicked, this, [this] { calculoCaixaG(true); });
    botoes->addWidget(recalcular);
    botoes->addWidget(botao(page, QStringLiteral("BtnImprimirCaixa"), QStringLiteral("Imprirmir"),
                            &TFormRelatorios::imprimirCaixa));
    botoes->addStretch(1);
    lay->addLayout(botoes, 2, 0, 1, 2);
    lay->setColumnStretch(2, 1);
    lay->setRowStretch(3, 1);
    return page;
}

QWidget *TFormRelatorios::criarPeriodo()
{
    auto *foot = new QWidget(this);
    auto *lay = new QHBoxLayout(foot);
    lay->setContentsMargins(0, 0, 0, 0);
    auto *group = new QGroupBox(QStringLiteral("Entre o Período  "), foot);
    group->setObjectName(QStringLiteral("GroupPeriodo"));
    auto *g = new QHBoxLayout(group);
    const core::EditMask mask = core::convertEditMask(kDataMask);
    auto dateBox = [&](const char *name) {
        auto *e = new QLineEdit(group);
        e->setObjectName(QString::fromLatin1(name));
        e->setInputMask(mask.inputMask);
        e->setMaximumWidth(100);
        core::homeOnFocus(e);
        connect(e, &QLineEdit::textEdited, this, [this] {
            RadioMesAtual->setChecked(false);
            RadioHoje->setChecked(false);
        });
        return e;
    };
    MaskEdit1 = dateBox("MaskEdit1");
    MaskEdit2 = dateBox("MaskEdit2");
    RadioMesAtual = new QRadioButton(QStringLiteral("Mês Atual"), group);
    RadioMesAtual->setObjectName(QStringLiteral("RadioMesAtual"));
    RadioMesAtual->setAutoExclusive(false);
    connect(RadioMesAtual, &QRadioButton::clicked, this, &TFormRelatorios::mesAtualClick);
    RadioHoje = new QRadioButton(QStringLiteral("Hoje"), group);
    RadioHoje->setObjectName(QStringLiteral("RadioHoje"));
    RadioHoje->setAutoExclusive(false);
    connect(RadioHoje, &QRadioButton::clicked, this, &TFormRelatorios::hojeClick);
    QPushButton *limpar = makeButton(QStringLiteral("BtnLimpar"), QStringLiteral("Limpar"), group);
    connect(limpar, &QPushButton::clicked, this, &TFormRelatorios::limparClick);
    g->addWidget(MaskEdit1);
    g->addWidget(new QLabel(QStringLiteral("Á"), group));
    g->addWidget(MaskEdit2);
    g->addSpacing(12);
    g->addWidget(RadioMesAtual);
    g->addWidget(RadioHoje);
    g->addWidget(limpar);
    lay->addWidget(group);
    lay->addStretch(1);
    QPushButton *sair = makeButton(QStringLiteral("BtnSair"), QStringLiteral("&Sair"), foot);
    connect(sair, &QPushButton::clicked, this, &QDialog::reject);
    lay->addWidget(sair, 0, Qt::AlignBottom);
    return foot;
}

// ---------------------------------------------------------------- pages and keys

void TFormRelatorios::setPagina(Pagina p)
{
    PageControl1->setCurrentIndex(int(p));
}

TFormRelatorios::Pagina TFormRelatorios::pagina() const
{
    return Pagina(PageControl1->currentIndex());
}

void TFormRelatorios::setPesquisaOS(std::function<void(QWidget *)> abrir)
{
    m_pesquisaOS = std::move(abrir);
    for (QPushButton *b : std::as_const(m_botoesPesquisaOS)) {
        b->setEnabled(bool(m_pesquisaOS));
        b->setToolTip(m_pesquisaOS ? QString() : kEmDesenvolvimento);
    }
}

bool TFormRelatorios::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->modifiers() == Qt::NoModifier || k->modifiers() == Qt::KeypadModifier) {
            void (TFormRelatorios::*acao)() = nullptr;
            switch (k->key()) {
            case Qt::Key_F1: acao = &TFormRelatorios::listaEstoque; break;
            case Qt::Key_F2: acao = &TFormRelatorios::vendasCaixa; break;
            case Qt::Key_F3: acao = &TFormRelatorios::entradaCaixaDia; break;
            case Qt::Key_F4: acao = &TFormRelatorios::produtosEmFalta; break;
            case Qt::Key_F5: acao = &TFormRelatorios::tabelaPrecos; break;
            default: break;
            }
            if (acao) {
                (this->*acao)();
                return true;
            }
        }
    }
    return RecordWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- period

QString TFormRelatorios::deTexto() const
{
    return core::maskedValue(core::convertEditMask(kDataMask), MaskEdit1->displayText());
}

QString TFormRelatorios::ateTexto() const
{
    return core::maskedValue(core::convertEditMask(kDataMask), MaskEdit2->displayText());
}

bool TFormRelatorios::periodo(Periodo *p, bool avisar)
{
    const PeriodoLido lido = lerPeriodo(deTexto(), ateTexto());
    if (lido.estado == PeriodoLido::Estado::Invalido && avisar)
        dialogs().error(this, QStringLiteral("Erro"), lido.erro);
    if (lido.estado != PeriodoLido::Estado::Completo)
        return false;
    *p = lido.periodo;
    return true;
}

void TFormRelatorios::mesAtualClick()
{
    const Periodo p = mesAtual(QDate::currentDate());
    MaskEdit1->setText(core::dateText(p.de));
    MaskEdit2->setText(core::dateText(p.ate));
    RadioMesAtual->setChecked(true);
    RadioHoje->setChecked(false);
    calculoCaixaG(false);
}

void TFormRelatorios::hojeClick()
{
    const QString hoje = core::dateText(QDate::currentDate());
    MaskEdit1->setText(hoje);
    MaskEdit2->setText(hoje);
    RadioHoje->setChecked(true);
    RadioMesAtual->setChecked(false);
    calculoCaixaG(false);
}

void TFormRelatorios::limparClick()
{
    MaskEdit1->clear();
    MaskEdit2->clear();
    RadioMesAtual->setChecked(false);
    RadioHoje->setChecked(false);
}

// ---------------------------------------------------------------- reports

void TFormRelatorios::executar(const std::function<void()> &fn)
{
    runBusy(fn);
}

void TFormRelatorios::mostrarConsulta(data::Query *q, const QString &texto, bool comPeriodo,
                                      const std::function<PreparedReport(data::Dataset *)> &impresso)
{
    Periodo p;
    if (comPeriodo && !periodo(&p))
        return;
    executar([&] {
        prepararConsulta(*q, texto, comPeriodo ? &p : nullptr);
        q->open();
        PreparedReport r = impresso(q);
        printing::showPreview(r, this);
    });
}

void TFormRelatorios::tabelaPrecos()
{
    mostrarConsulta(QrProdutos, sql::tabelaPrecos(), false, relatorioTabelaPrecos);
}

void TFormRelatorios::produtosEmFalta()
{
    mostrarConsulta(QrProdutos, sql::produtosEmFalta(), false, relatorioProdutosEmFalta);
}

void TFormRelatorios::nuncaVendidos()
{
    mostrarConsulta(QrProdutos, sql::nuncaVendidos(), false, relatorioNuncaVendidos);
}

std::function<PreparedReport(data::Dataset *)> TFormRelatorios::comPeriodo(ImpressoPeriodo fn)
{
    return [this, fn](data::Dataset *ds) { return fn(ds, deTexto(), ateTexto()); };
}

void TFormRelatorios::maisVendidos()
{
    mostrarConsulta(QrProdutos, sql::maisVendidos(), true, comPeriodo(relatorioMaisVendidos));
}

void TFormRelatorios::vendasCaixa()
{
    mostrarConsulta(QueryVendas, sql::vendasCaixa(), true, comPeriodo(relatorioVendas));
}

void TFormRelatorios::entradasOrdens()
{
    mostrarConsulta(QueryVendas, sql::entradasOrdens(), true, comPeriodo(relatorioVendas));
}

void TFormRelatorios::entradaCaixaDia()
{
    mostrarConsulta(QueryVendas, sql::entradaCaixaDia(), true, comPeriodo(relatorioEntradaCaixa));
}

void TFormRelatorios::recebimentosOS()
{
    mostrarConsulta(QueryVendas, sql::recebimentosOrdens(), true, comPeriodo(relatorioRecebimentosOS));
}

void TFormRelatorios::comissaoMecanicos()
{
    mostrarConsulta(QrVendasOs, sql::comissaoMecanicos(), true, comPeriodo(relatorioComissaoMecanicos));
}

void TFormRelatorios::relatoriosOS()
{
    if (m_pesquisaOS)
        guarded([this] { m_pesquisaOS(this); });
}

// ---------------------------------------------------------------- stock list

bool TFormRelatorios::estoqueVisivel() const
{
    return m_geral->currentIndex() == 1 && PageControl1->currentIndex() == PaginaGeral;
}

void TFormRelatorios::listaEstoque()
{
    setPagina(PaginaGeral);
    m_geral->setCurrentIndex(1);
    ProgressEstoque->setValue(0);
    LabProgresso->clear();
    dialogs().information(this, QString(),
                          QStringLiteral("Estoque Será Atualizado Aguarde todo processo! Clique ok para continuar!"));
    ProgressEstoque->setValue(1);
    LabProgresso->setText(QStringLiteral("Calculando o estoque de todos os produtos..."));
    ProgressEstoque->repaint();
    LabProgresso->repaint();
    int gravados = 0;
    const bool ok = runBusy([&] { gravados = stock::StockBalance(m_db).refreshAll(); });
    if (!ok) {
        LabProgresso->setText(QStringLiteral("O estoque não foi atualizado."));
        return;
    }
    ProgressEstoque->setValue(2);
    LabProgresso->setText(QStringLiteral("%1 produtos atualizados.").arg(gravados));
    dialogs().information(this, QString(), QStringLiteral("Estoque Atualizado com Sucesso!"));
    runBusy([this] {
        TabelaEntrada->setFilter(QStringLiteral("MonitorarEstq=") + Table::quoted(QStringLiteral("S*")));
        TabelaEntrada->setFiltered(true);
        TabelaEntrada->refresh();
        TabelaEntrada->first();
    });
    ProgressEstoque->setValue(3);
}

void TFormRelatorios::imprimirEstoque()
{
    executar([this] {
        const data::Bookmark aqui = TabelaEntrada->bookmark();
        PreparedReport r = relatorioEstoque(TabelaEntrada);
        if (aqui.isValid())
            TabelaEntrada->gotoBookmark(aqui);
        printing::showPreview(r, this);
    });
}

void TFormRelatorios::sairEstoque()
{
    m_geral->setCurrentIndex(0);
}

// ---------------------------------------------------------------- cash summary

void TFormRelatorios::mostrarCaixa()
{
    LabTotalOS->setText(core::formatMask(QStringLiteral("R$ ####,##0.00"), m_caixa.totalOrdem));
    LabTotalGeral->setText(QStringLiteral("R$ ") + core::formatMask(QStringLiteral("###,###,##0.00"),
                                                                    m_caixa.totalGeral()));
}

bool TFormRelatorios::calculoCaixaG(bool avisar)
{
    Periodo p;
    if (!periodo(&p, avisar))
        return false;
    return guarded([&] {
        m_caixa = calcularCaixaGeral(*QrVendasCx, *QrVendasOs, p);
        mostrarCaixa();
    });
}

void TFormRelatorios::imprimirCaixa()
{
    if (!calculoCaixaG(true))
        return;
    executar([this] {
        PreparedReport r = relatorioCaixaGeral(m_caixa, deTexto(), ateTexto());
        printing::showPreview(r, this);
    });
}

// ---------------------------------------------------------------- commission statement

void TFormRelatorios::preencherVendedores()
{
    const QString atual = ComboVendedor->currentText();
    QStringList nomes;
    TbFuncionarios->disableControls();
    for (TbFuncionarios->first(); !TbFuncionarios->eof(); TbFuncionarios->next())
        nomes << TbFuncionarios->asString(QStringLiteral("Nome"));
    TbFuncionarios->enableControls();
    const QSignalBlocker quiet(ComboVendedor);
    ComboVendedor->clear();
    ComboVendedor->addItems(nomes);
    ComboVendedor->setCurrentIndex(-1);
    ComboVendedor->setEditText(atual);
}

void TFormRelatorios::vendedorEscolhido(const QString &nome)
{
    TbFuncionarios->setIndexName(QStringLiteral("ByNome"));
    if (!nome.isEmpty() && TbFuncionarios->findKey({nome}))
        Edit1CodVendedor->setText(TbFuncionarios->asString(QStringLiteral("Codigo")));
}

void TFormRelatorios::codigoVendedorExit()
{
    const QString texto = Edit1CodVendedor->text();
    if (texto.trimmed().isEmpty())
        return;
    const auto codigo = lerCodigoFuncionario(texto);
    bool achou = false;
    if (codigo) {
        TbFuncionarios->setIndexName(QStringLiteral("ByCodigo"));
        achou = TbFuncionarios->findKey({double(*codigo)});
    }
    if (achou) {
        ComboVendedor->setEditText(TbFuncionarios->asString(QStringLiteral("Nome")));
    } else {
        dialogs().information(this, QString(), codigo ? QStringLiteral("Vendedor Não Cadastrado")
                                                      : codigoInvalidoMensagem(texto));
        Edit1CodVendedor->clear();
        ComboVendedor->setEditText(QString());
    }
    TbFuncionarios->setIndexName(QStringLiteral("ByNome"));
}

void TFormRelatorios::vizualizarConsulta()
{
    const QString codigoTexto = Edit1CodVendedor->text().trimmed();
    const QString nome = ComboVendedor->currentText().trimmed();
    if (codigoTexto.isEmpty() && nome.isEmpty()) {
        dialogs().information(this, QString(),
                              QStringLiteral("Entre com codigo do vendedor ou selecione nome do mesmo!"));
        return;
    }
    Periodo p;
    if (!periodo(&p))
        return;
    qint64 codigo = 0;
    if (!codigoTexto.isEmpty()) {
        const auto c = lerCodigoFuncionario(codigoTexto);
        if (!c) {
            dialogs().information(this, QString(), codigoInvalidoMensagem(codigoTexto));
            return;
        }
        codigo = *c;
    } else {
        bool achou = false;
        guarded([&] {
            TbFuncionarios->setIndexName(QStringLiteral("ByNome"));
            achou = TbFuncionarios->findKey({nome});
        });
        if (!achou) {
            dialogs().information(this, QString(), QStringLiteral("Vendedor Não Cadastrado"));
            return;
        }
        codigo = TbFuncionarios->asInteger(QStringLiteral("Codigo"));
        Edit1CodVendedor->setText(QString::number(codigo));
    }
    const FiltroComissao filtro = RadioServicos->isChecked()   ? FiltroComissao::Servicos
                                  : RadioProdutos->isChecked() ? FiltroComissao::Produtos
                                                               : FiltroComissao::Todos;
    executar([&] {
        const ExtratoComissao e = calcularComissao(*QComissaoOS, *QrFuncionario, p, codigo, filtro);
        PreparedReport r = relatorioComissao(e, filtro, deTexto(), ateTexto(), Edit1CodVendedor->text(),
                                             ComboVendedor->currentText());
        printing::showPreview(r, this);
    });
}

} // namespace brelvo::reports
