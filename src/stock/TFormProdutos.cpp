#include "stock/TFormProdutos.h"

#include "core/AppPaths.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "printing/PrintPreview.h"
#include "printing/Report.h"
#include "stock/LookupWindows.h"
#include "stock/StockBalance.h"
#include "core/DataControls.h"
#include "core/Widgets.h"
#include "stock/StockUi.h"
#include "stock/StockWindows.h"
#include "stock/TFGeraCodigoBarra.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace brelvo::stock {

using data::Dataset;
using data::DbError;
using data::Table;

namespace {

const char *kCodeMask = "0000000000000";

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

QLineEdit *edit(QWidget *parent, const char *name, int maxLength = 0)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

QString numberText(const Dataset *t, const QString &field, const QString &mask)
{
    const QVariant v = t->value(field);
    if (v.isNull())
        return QString();
    return mask.isEmpty() ? core::shortNumber(v.toDouble()) : core::formatMask(mask, v.toDouble());
}

} // namespace

QString TFormProdutos::placeholderPath()
{
    return core::sharedFile(QStringLiteral("sem_img.jpg"));
}

TFormProdutos::TFormProdutos(data::DatabasePtr db, QWidget *parent)
    : RecordWindow(parent), m_db(std::move(db)), m_balance(std::make_unique<StockBalance>(m_db))
{
    setObjectName(QStringLiteral("TFormProdutos"));
    setWindowTitle(QStringLiteral("Cadastro"));

    m_produtos = new Table(m_db, QStringLiteral("tbProdutos.db"), this);
    m_produtos->setObjectName(QStringLiteral("T_Produtos"));
    m_produtos->setIndexName(QStringLiteral("ByCodigo"));
    m_verifica = new Table(m_db, QStringLiteral("tbProdutos.db"), this);
    m_verifica->setObjectName(QStringLiteral("TabelaProduto"));
    m_verifica->setIndexName(QStringLiteral("ByCodigo"));
    m_entrada = new Table(m_db, QStringLiteral("tbProdutos.DB"), this);
    m_entrada->setObjectName(QStringLiteral("TabelaEntrada"));
    m_entrada->setIndexName(QStringLiteral("ByCodigo"));
    m_reposicao = new Table(m_db, QStringLiteral("tbReposicao.DB"), this);
    m_reposicao->setObjectName(QStringLiteral("TbRepocisao"));
    m_reposicao->setIndexName(QStringLiteral("ByCodigo"));
    setMainTable(m_produtos);
    for (Table *t : {m_verifica, m_entrada, m_reposicao})
        closeWithWindow(t);

    buildUi();

    connect(m_produtos, &Dataset::afterScroll, this, &TFormProdutos::afterRowChange);
    connect(m_produtos, &Dataset::dataChanged, this, [this] {
        if (m_produtos->state() == Dataset::State::Browse)
            afterRowChange();
    });
    connect(m_produtos, &Table::afterInsert, this, [this] { fillFromRow(); applyState("insert"); });
    connect(m_produtos, &Table::afterEdit, this, [this] { applyState("edit"); });
    connect(m_produtos, &Table::afterPost, this, [this] {
        applyState("post");
        fillFromRow();
        NpermiteAlterar();
        BuscaImagem();
    });
    connect(m_produtos, &Table::afterCancel, this, [this] {
        applyState("cancel");
        fillFromRow();
        NpermiteAlterar();
        BuscaImagem();
    });
    connect(m_produtos, &Table::afterDelete, this, [this] { applyState("delete"); });

    // Opening.
    try {
        m_produtos->open();
        m_produtos->refresh();
        m_produtos->last();
        loadLookups();
        m_verifica->open();
        m_reposicao->open();
        m_reposicao->last();
        m_entrada->open();
    } catch (const DbError &e) {
        showError(e.message());
    }
    fillFromRow();
    BuscaImagem();
    applyState("post");
    NpermiteAlterar();
    if (m_produtos->isOpen() && m_produtos->isNull(QStringLiteral("Codigo")))
        NovoProduto();
}

TFormProdutos::~TFormProdutos() = default;

void TFormProdutos::buildUi()
{
    resize(900, 600);
    auto *outer = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    outer->addWidget(m_tabs);
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    m_tabs->addTab(page, QStringLiteral("Cadastro de Produto"));
    auto *pageLayout = new QVBoxLayout(page);

    // Navigator: each move shows the balance of the row it reaches.
    m_navigator = makeNavigator(core::Navigator::Moves, QStringLiteral("DBNavigator1"), page);
    connect(m_navigator, &core::Navigator::moved, this, [this] {
        AtualizaEstoque();
        BuscaImagem();
        NpermiteAlterar();
    });
    pageLayout->addWidget(m_navigator);

    auto *body = new QHBoxLayout;
    pageLayout->addLayout(body, 1);
    auto *form = new QGridLayout;
    body->addLayout(form, 3);

    int row = 0;
    m_lblCodigo = new core::ClickLabel(QStringLiteral("Codigo"), page);
    m_lblCodigo->setObjectName(QStringLiteral("LabelCodigo"));
    m_lblCodigo->setCursor(Qt::PointingHandCursor);
    m_lblCodigo->setToolTip(QStringLiteral("Localizar (Ctrl+L)"));
    connect(m_lblCodigo, &core::ClickLabel::clicked, this, &TFormProdutos::Localizar);
    m_codigo = edit(page, "DBEditCodigo", 13);
    core::setTypingCase(m_codigo, core::CharCase::Upper);
    m_btGeraBarra = core::pushButton(page, QStringLiteral("BtGeraBarra"), QStringLiteral("Gerar Codigo Barra"));
    connect(m_btGeraBarra, &QPushButton::clicked, this, &TFormProdutos::openGerador);
    form->addWidget(m_lblCodigo, row, 0);
    form->addWidget(m_codigo, row, 1);
    form->addWidget(m_btGeraBarra, row, 2);
    ++row;

    m_descricao = edit(page, "DBEditDescricao", 50);
    core::setTypingCase(m_descricao, core::CharCase::Upper);
    form->addWidget(new QLabel(QStringLiteral("Produto*"), page), row, 0);
    form->addWidget(m_descricao, row, 1, 1, 2);
    ++row;

    m_custo = edit(page, "DBEditPrecoCusto");
    form->addWidget(new QLabel(s("Preço Custo"), page), row, 0);
    form->addWidget(m_custo, row, 1);
    ++row;
    m_margem = edit(page, "DBEditMargem");
    m_calcular = core::pushButton(page, QStringLiteral("Button1"), QStringLiteral("Calcular"));
    connect(m_calcular, &QPushButton::clicked, this, &TFormProdutos::CalculoVenda);
    form->addWidget(new QLabel(QStringLiteral("Margem %"), page), row, 0);
    form->addWidget(m_margem, row, 1);
    form->addWidget(m_calcular, row, 2);
    ++row;
    m_valor = edit(page, "DBEditValor");
    form->addWidget(new QLabel(s("Preço Venda*"), page), row, 0);
    form->addWidget(m_valor, row, 1);
    ++row;

    auto lookupRow = [&](const QString &caption, const char *comboName, const char *btnName, QComboBox *&combo,
                         int which) {
        combo = new QComboBox(page);
        combo->setObjectName(QString::fromLatin1(comboName));
        combo->setEditable(false);
        auto *b = core::pushButton(page, QString::fromLatin1(btnName), QStringLiteral("Incluir Nova"));
        connect(b, &QPushButton::clicked, this, [this, which] { afterLookupWindow(which); });
        connect(combo, &QComboBox::activated, this, [this] { markEdited(); });
        form->addWidget(new QLabel(caption, page), row, 0);
        form->addWidget(combo, row, 1);
        form->addWidget(b, row, 2);
        ++row;
    };
    lookupRow(QStringLiteral("Unidade"), "DBLookupUnidade", "SpeedButton3", m_unidade, 2);
    lookupRow(QStringLiteral("Marca"), "DBLookupMarca", "SpeedButton2", m_marca, 0);
    lookupRow(QStringLiteral("Categoria"), "DBLookupCategoria", "SpeedButton1", m_categoria, 1);

    m_servico = new QCheckBox(s("Definir como Serviço"), page);
    m_servico->setObjectName(QStringLiteral("CheckServico"));
    connect(m_servico, &QCheckBox::clicked, this, [this] { markEdited(); });
    form->addWidget(m_servico, row, 1);
    ++row;
    m_estoque = edit(page, "DBEditEstoque");
    m_estoque->setReadOnly(true);
    m_estoque->setFocusPolicy(Qt::NoFocus);
    form->addWidget(new QLabel(QStringLiteral("Estoque"), page), row, 0);
    form->addWidget(m_estoque, row, 1);
    ++row;
    form->setRowStretch(row, 1);

    auto *photoBox = new QVBoxLayout;
    body->addLayout(photoBox, 2);
    m_foto = new core::ClickLabel(page);
    m_foto->setObjectName(QStringLiteral("Image1"));
    m_foto->setFixedSize(260, 220);
    m_foto->setFrameShape(QFrame::Box);
    m_foto->setAlignment(Qt::AlignCenter);
    m_foto->setCursor(Qt::PointingHandCursor);
    m_foto->setToolTip(QStringLiteral("Clique para escolher a foto do produto"));
    connect(m_foto, &core::ClickLabel::clicked, this, &TFormProdutos::choosePhoto);
    photoBox->addWidget(m_foto);
    m_btEntrada = core::pushButton(page, QStringLiteral("BtEntradaMercadorias"), QStringLiteral("Entrada de Mercadorias"));
    connect(m_btEntrada, &QPushButton::clicked, this, &TFormProdutos::openEntrada);
    photoBox->addWidget(m_btEntrada);
    photoBox->addStretch();

    // Search panel.
    m_panLocalizar = new QFrame(page);
    m_panLocalizar->setObjectName(QStringLiteral("PanLocalizar"));
    m_panLocalizar->setFrameShape(QFrame::StyledPanel);
    auto *pl = new QVBoxLayout(m_panLocalizar);
    auto *pTop = new QHBoxLayout;
    m_search = edit(m_panLocalizar, "EditLocalizar");
    core::setTypingCase(m_search, core::CharCase::Upper);
    m_byNome = new QRadioButton(QStringLiteral("Nome"), m_panLocalizar);
    m_byNome->setObjectName(QStringLiteral("RbNome"));
    m_byNome->setChecked(true);
    m_byCodigo = new QRadioButton(QStringLiteral("Codigo"), m_panLocalizar);
    m_byCodigo->setObjectName(QStringLiteral("RbCodigo"));
    auto *fechar = core::pushButton(m_panLocalizar, QStringLiteral("BtFechar"), QStringLiteral("&Fechar"));
    pTop->addWidget(new QLabel(QStringLiteral("Localizar:"), m_panLocalizar));
    pTop->addWidget(m_search, 1);
    pTop->addWidget(m_byNome);
    pTop->addWidget(m_byCodigo);
    pTop->addWidget(fechar);
    pl->addLayout(pTop);
    // The grid reads the products cursor itself, a page at a time, in the
    // cursor's order; choosing a row moves the cursor.
    m_grid = core::makeGrid(m_panLocalizar, m_produtos, QStringLiteral("DBGrid1"),
                            {core::GridColumn::make(QStringLiteral("Codigo"), QStringLiteral("Codigo"), 15,
                                                    QString::fromLatin1(kCodeMask)),
                             core::GridColumn::make(QStringLiteral("Descricao"), s("Descrição"), 40),
                             core::GridColumn::make(QStringLiteral("Valor"), QStringLiteral("Valor"), 12,
                                                    QStringLiteral("###,##0.00"))});
    m_grid->setMinimumHeight(160);
    // Moving to another row while one is typed would store it without the boxes.
    enableWhen(m_grid, When::Browsing);
    pl->addWidget(m_grid);
    m_panLocalizar->hide();
    pageLayout->addWidget(m_panLocalizar);
    connect(m_search, &QLineEdit::textChanged, this, &TFormProdutos::searchTextChanged);
    connect(m_byNome, &QRadioButton::toggled, this, [this] { searchTextChanged(); });
    connect(fechar, &QPushButton::clicked, this, [this] { m_panLocalizar->hide(); });
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (!index.isValid())
            return;
        AtualizaEstoque();
        BuscaImagem();
        NpermiteAlterar();
    });

    // Report panel.
    m_panel3 = new QFrame(page);
    m_panel3->setObjectName(QStringLiteral("Panel3"));
    m_panel3->setFrameShape(QFrame::StyledPanel);
    auto *rl = new QHBoxLayout(m_panel3);
    auto *gCad = new QGroupBox(QStringLiteral("Cadastro: "), m_panel3);
    gCad->setObjectName(QStringLiteral("GroupCadastro"));
    auto *gcl = new QGridLayout(gCad);
    m_rbServicos = new QRadioButton(s("Serviços"), gCad);
    m_rbServicos->setObjectName(QStringLiteral("RbServicos"));
    m_rbProdutos = new QRadioButton(QStringLiteral("Produtos"), gCad);
    m_rbProdutos->setObjectName(QStringLiteral("RbProdutos"));
    m_rbTudo = new QRadioButton(QStringLiteral("Tudo"), gCad);
    m_rbTudo->setObjectName(QStringLiteral("RbTudo"));
    m_rbTudo->setChecked(true);
    auto *kind = new QButtonGroup(gCad);
    kind->addButton(m_rbServicos);
    kind->addButton(m_rbProdutos);
    kind->addButton(m_rbTudo);
    m_rbOrdemCodigo = new QRadioButton(QStringLiteral("1 - 9..."), gCad);
    m_rbOrdemCodigo->setObjectName(QStringLiteral("RbOrdemCodigo"));
    m_rbOrdemCodigo->setChecked(true);
    m_rbOrdemNome = new QRadioButton(QStringLiteral("A - Z"), gCad);
    m_rbOrdemNome->setObjectName(QStringLiteral("RbOrdemNome"));
    auto *order = new QButtonGroup(gCad);
    order->addButton(m_rbOrdemCodigo);
    order->addButton(m_rbOrdemNome);
    auto *impCad = core::pushButton(gCad, QStringLiteral("BtImprimirCadastro"), QStringLiteral("&Imprimir"));
    gcl->addWidget(m_rbServicos, 0, 0);
    gcl->addWidget(m_rbProdutos, 1, 0);
    gcl->addWidget(m_rbTudo, 2, 0);
    gcl->addWidget(m_rbOrdemCodigo, 0, 1);
    gcl->addWidget(m_rbOrdemNome, 1, 1);
    gcl->addWidget(impCad, 2, 1);
    connect(impCad, &QPushButton::clicked, this, &TFormProdutos::printCadastro);
    rl->addWidget(gCad);

    auto *gFil = new QGroupBox(QStringLiteral("Filtro: "), m_panel3);
    gFil->setObjectName(QStringLiteral("GroupFiltro"));
    auto *gfl = new QGridLayout(gFil);
    m_rbCategoria = new QRadioButton(QStringLiteral(" > "), gFil);
    m_rbCategoria->setObjectName(QStringLiteral("RbCategoria"));
    m_rbMarca = new QRadioButton(QStringLiteral(" > "), gFil);
    m_rbMarca->setObjectName(QStringLiteral("RbMarca"));
    m_rbCategoria->setAutoExclusive(false);
    m_rbMarca->setAutoExclusive(false);
    m_cbCategoria = new QComboBox(gFil);
    m_cbCategoria->setObjectName(QStringLiteral("CbCategoria"));
    m_cbCategoria->setEditable(true);
    m_cbMarca = new QComboBox(gFil);
    m_cbMarca->setObjectName(QStringLiteral("CbMarca"));
    m_cbMarca->setEditable(true);
    core::setTypingCase(m_cbCategoria->lineEdit(), core::CharCase::Upper);
    core::setTypingCase(m_cbMarca->lineEdit(), core::CharCase::Upper);
    auto *impFil = core::pushButton(gFil, QStringLiteral("BtImprimirFiltro"), QStringLiteral("&Imprimir"));
    gfl->addWidget(m_rbCategoria, 0, 0);
    gfl->addWidget(new QLabel(QStringLiteral("Categoria"), gFil), 0, 1);
    gfl->addWidget(m_cbCategoria, 0, 2);
    gfl->addWidget(m_rbMarca, 1, 0);
    gfl->addWidget(new QLabel(QStringLiteral("Marca"), gFil), 1, 1);
    gfl->addWidget(m_cbMarca, 1, 2);
    gfl->addWidget(impFil, 2, 2);
    connect(m_rbCategoria, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_rbMarca->setChecked(false);
    });
    connect(m_rbMarca, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_rbCategoria->setChecked(false);
    });
    connect(m_cbCategoria, &QComboBox::activated, this, [this] { m_rbCategoria->setChecked(true); });
    connect(m_cbMarca, &QComboBox::activated, this, [this] { m_rbMarca->setChecked(true); });
    connect(impFil, &QPushButton::clicked, this, &TFormProdutos::printFiltro);
    rl->addWidget(gFil);
    auto *sairRel = core::pushButton(m_panel3, QStringLiteral("BtSairRelatorio"), QStringLiteral("Sair "));
    connect(sairRel, &QPushButton::clicked, this, &TFormProdutos::closeReport);
    rl->addWidget(sairRel, 0, Qt::AlignBottom);
    m_panel3->hide();
    pageLayout->addWidget(m_panel3);

    // Button bar.
    auto *bar = new QHBoxLayout;
    outer->addLayout(bar);
    m_btIncluir = core::pushButton(this, QStringLiteral("BtIncluir"), QStringLiteral("Incluir &Novo"));
    m_btSalvar = core::pushButton(this, QStringLiteral("BtSalvar"), QStringLiteral("&Salvar"));
    m_alterar = core::pushButton(this, QStringLiteral("Alterar"), QStringLiteral("&Salvar"));
    m_btCancelar = core::pushButton(this, QStringLiteral("BtCancelar"), QStringLiteral("&Cancelar"));
    m_btExcluir = core::pushButton(this, QStringLiteral("BtExcluir"), QStringLiteral("&Excluir"));
    m_localizar = core::pushButton(this, QStringLiteral("SpeedButton4"), QStringLiteral("&Localizar"));
    m_relatorios = core::pushButton(this, QStringLiteral("Relatorios"), QStringLiteral("&Relatorio"));
    m_sair = core::pushButton(this, QStringLiteral("SpeedButton6"), QStringLiteral("&Sair"));
    for (QPushButton *b : {m_btIncluir, m_btSalvar, m_alterar, m_btCancelar, m_btExcluir, m_localizar,
                           m_relatorios, m_sair})
        bar->addWidget(b);
    connect(m_btIncluir, &QPushButton::clicked, this, [this] {
        NovoProduto();
        if (m_codigo->isEnabled())
            m_codigo->setFocus();
    });
    connect(m_btSalvar, &QPushButton::clicked, this, &TFormProdutos::BtSalvarClick);
    connect(m_alterar, &QPushButton::clicked, this, &TFormProdutos::AlterarClick);
    connect(m_btCancelar, &QPushButton::clicked, this, &TFormProdutos::BtCancelarClick);
    connect(m_btExcluir, &QPushButton::clicked, this, &TFormProdutos::BtExcluirClick);
    connect(m_localizar, &QPushButton::clicked, this, &TFormProdutos::openSearch);
    connect(m_relatorios, &QPushButton::clicked, this, &TFormProdutos::openReport);
    connect(m_sair, &QPushButton::clicked, this, &QDialog::reject);

    auto *ctrlL = new QShortcut(QKeySequence(QStringLiteral("Ctrl+L")), this);
    connect(ctrlL, &QShortcut::activated, this, &TFormProdutos::Localizar);

    // Typing puts the row into editing.
    for (QLineEdit *e : {m_codigo, m_descricao, m_valor, m_custo, m_margem})
        connect(e, &QLineEdit::textEdited, this, [this] { markEdited(); });
    connect(m_margem, &QLineEdit::editingFinished, this, [this] {
        if (m_margem->text() != m_marginOnEnter)
            CalculoVenda();
        m_marginOnEnter = m_margem->text();
    });
}

void TFormProdutos::showError(const QString &text)
{
    core::dialogs().error(this, QStringLiteral("Erro"), text);
}

void TFormProdutos::fillCombo(QComboBox *combo, const QString &table, const QString &field)
{
    const QString current = combo->currentText();
    combo->clear();
    combo->addItem(QString());
    Table t(m_db, table);
    t.open();
    for (t.first(); !t.eof(); t.next())
        combo->addItem(t.asString(field));
    t.close();
    setComboText(combo, current);
}

void TFormProdutos::setComboText(QComboBox *combo, const QString &text)
{
    int i = combo->findText(text, Qt::MatchFixedString);
    if (i < 0 && !text.isEmpty()) {
        combo->addItem(text);
        i = combo->count() - 1;
    }
    combo->setCurrentIndex(i < 0 ? 0 : i);
}

void TFormProdutos::loadLookups()
{
    // TMarca, TCategoria, TMedida.
    fillCombo(m_marca, QStringLiteral("tbMarcas.db"), QStringLiteral("Marca"));
    fillCombo(m_categoria, QStringLiteral("tbCategoria.db"), QStringLiteral("Categoria"));
    fillCombo(m_unidade, QStringLiteral("tbMedidas.db"), QStringLiteral("UnMedida"));
    fillCombo(m_cbMarca, QStringLiteral("tbMarcas.db"), QStringLiteral("Marca"));
    fillCombo(m_cbCategoria, QStringLiteral("tbCategoria.db"), QStringLiteral("Categoria"));
}

void TFormProdutos::fillFromRow()
{
    m_filling = true;
    const Table *t = m_produtos;
    const bool open = t->isOpen();
    auto text = [&](const char *f) { return open ? t->asString(QString::fromLatin1(f)) : QString(); };
    m_codigo->setText(open ? codeText(t->value(QStringLiteral("Codigo"))) : QString());
    m_descricao->setText(text("Descricao"));
    m_valor->setText(open ? numberText(t, QStringLiteral("Valor"), QStringLiteral("###,##0.00")) : QString());
    m_custo->setText(open ? numberText(t, QStringLiteral("PrecoCusto"), QStringLiteral("######0.00")) : QString());
    m_margem->setText(open ? numberText(t, QStringLiteral("Margem"), QString()) : QString());
    m_marginOnEnter = m_margem->text();
    m_estoque->setText(open ? numberText(t, QStringLiteral("Estoque"), QString()) : QString());
    setComboText(m_unidade, text("Unidade"));
    setComboText(m_marca, text("Marca"));
    setComboText(m_categoria, text("Categoria"));
    m_servico->setChecked(text("MonitorarEstq").trimmed() == QLatin1String("N"));
    m_filling = false;
}

void TFormProdutos::markEdited()
{
    if (m_filling || !m_produtos->isOpen())
        return;
    try {
        if (m_produtos->state() == Dataset::State::Browse) {
            if (m_produtos->isEmpty())
                return;
            m_produtos->edit();
        }
    } catch (const DbError &e) {
        showError(e.message());
    }
}

// Writes the edits into the row being inserted or edited. False (with the
// message shown) when a number cannot be read; nothing is then written.
bool TFormProdutos::pushToRow()
{
    struct Num { QLineEdit *edit; const char *field; };
    QList<std::pair<QString, QVariant>> values;
    for (const Num &n : {Num{m_valor, "Valor"}, Num{m_custo, "PrecoCusto"}, Num{m_margem, "Margem"}}) {
        const QString text = n.edit->text().trimmed();
        if (text.isEmpty()) {
            values.append({QString::fromLatin1(n.field), QVariant()});
            continue;
        }
        QString error;
        const auto v = core::parseNumber(text, &error);
        if (!v) {
            showError(error);
            n.edit->setFocus();
            return false;
        }
        values.append({QString::fromLatin1(n.field), *v});
    }
    if (m_produtos->state() == Dataset::State::Insert) {
        const auto code = StockBalance::parseCode(m_codigo->text());
        if (!code) {
            showError(s("Código inválido: use somente números, até 13 dígitos."));
            m_codigo->setFocus();
            return false;
        }
        values.append({QStringLiteral("Codigo"), double(*code)});
    }
    values.append({QStringLiteral("Descricao"), m_descricao->text().trimmed()});
    auto textOrNull = [](const QString &t) { return t.isEmpty() ? QVariant() : QVariant(t); };
    values.append({QStringLiteral("Unidade"), textOrNull(m_unidade->currentText())});
    values.append({QStringLiteral("Marca"), textOrNull(m_marca->currentText())});
    values.append({QStringLiteral("Categoria"), textOrNull(m_categoria->currentText())});
    values.append({QStringLiteral("MonitorarEstq"), m_servico->isChecked() ? QStringLiteral("N") : QStringLiteral("S")});
    for (const auto &[field, value] : values)
        m_produtos->setValue(field, value);
    return true;
}

void TFormProdutos::afterRowChange()
{
    fillFromRow();
    BuscaImagem();
    NpermiteAlterar();
}

void TFormProdutos::applyState(const char *event)
{
    const QByteArray e(event);
    if (e == "insert") {
        m_btSalvar->setVisible(true);
        m_btSalvar->setEnabled(true);
        m_btCancelar->setEnabled(true);
        m_btGeraBarra->setVisible(true);
        m_alterar->setVisible(false);
        m_btIncluir->setEnabled(false);
        m_localizar->setEnabled(false);
        m_relatorios->setEnabled(false);
        m_navigator->setEnabled(false);
        m_panLocalizar->hide();
        m_panel3->hide();
    } else if (e == "edit") {
        m_alterar->setVisible(true);
        m_alterar->setEnabled(true);
        m_btSalvar->setVisible(false);
        m_btCancelar->setEnabled(true);
        m_btIncluir->setEnabled(false);
        m_navigator->setEnabled(false);
    } else if (e == "post" || e == "cancel") {
        m_btIncluir->setEnabled(true);
        m_navigator->setEnabled(true);
        m_localizar->setEnabled(true);
        m_relatorios->setEnabled(true);
        m_alterar->setVisible(true);
        m_alterar->setEnabled(false);
        m_btSalvar->setVisible(false);
        m_btCancelar->setEnabled(false);
        m_btGeraBarra->setVisible(false);
    } else if (e == "delete") {
        m_localizar->setEnabled(true);
        m_relatorios->setEnabled(true);
        m_alterar->setEnabled(false);
    }
}

void TFormProdutos::NpermiteAlterar()
{
    m_codigo->setEnabled(m_codigo->text().isEmpty());
}

void TFormProdutos::BuscaImagem()
{
    QString path;
    if (m_produtos->isOpen() && !m_produtos->isEmpty() && !m_produtos->isNull(QStringLiteral("FotoProduto")))
        path = m_produtos->asString(QStringLiteral("FotoProduto"));
    else if (m_produtos->isOpen() && m_produtos->state() == Dataset::State::Insert
             && !m_produtos->isNull(QStringLiteral("FotoProduto")))
        path = m_produtos->asString(QStringLiteral("FotoProduto"));
    if (path.isEmpty())
        path = placeholderPath();
    else if (!QFileInfo::exists(path))
        return;   // the previous picture stays
    QPixmap pix(path);
    if (pix.isNull())
        return;
    m_fotoPixmap = pix;
    m_foto->setProperty("fotoPath", path);
    m_foto->setPixmap(pix.scaled(m_foto->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TFormProdutos::choosePhoto()
{
    const QString file = core::dialogs().openFile(
        this, QStringLiteral("Foto do Produto"), QString(),
        QStringLiteral("Imagens (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"));
    if (file.isEmpty() || !m_produtos->isOpen())
        return;
    try {
        if (m_produtos->state() == Dataset::State::Browse) {
            if (m_produtos->isEmpty())
                return;
            m_produtos->edit();
        }
        m_produtos->setValue(QStringLiteral("FotoProduto"), file);
    } catch (const DbError &e) {
        showError(e.message());
        return;
    }
    BuscaImagem();
}

void TFormProdutos::CalculoVenda()
{
    QString error;
    const auto cost = core::parseNumber(m_custo->text(), &error);
    if (!cost) {
        showError(error);
        return;
    }
    const auto margin = core::parseNumber(m_margem->text(), &error);
    if (!margin) {
        showError(error);
        return;
    }
    const double price = *cost + *cost * *margin / 100.0;
    markEdited();
    m_valor->setText(core::shortNumber(price));
}

void TFormProdutos::NovoProduto()
{
    if (!m_produtos->isOpen())
        return;
    try {
        if (m_produtos->state() != Dataset::State::Browse)
            m_produtos->cancel();
        if (!m_produtos->isEmpty() && !m_produtos->isNull(QStringLiteral("Codigo"))) {
            m_produtos->last();
            m_produtos->insert();
        } else {
            m_produtos->insert();
            m_btGeraBarra->setVisible(true);
        }
        m_produtos->setValue(QStringLiteral("MonitorarEstq"), QStringLiteral("S"));
        m_produtos->setValue(QStringLiteral("Estoque"), 0.0);
        m_produtos->setValue(QStringLiteral("EstoqueMinimo"), 0.0);
        m_produtos->setValue(QStringLiteral("PermiteVenda"), QStringLiteral("S"));
        m_produtos->setValue(QStringLiteral("PrecoCusto"), 0.0);
        m_produtos->setValue(QStringLiteral("Margem"), 0.0);
    } catch (const DbError &e) {
        showError(e.message());
        return;
    }
    fillFromRow();
    m_navigator->setEnabled(false);
    NpermiteAlterar();
}

bool TFormProdutos::saveRecord()
{
    const auto st = m_produtos->state();
    if (st != Dataset::State::Edit && st != Dataset::State::Insert)
        return true;
    const bool inserting = st == Dataset::State::Insert;
    const QString typed = m_codigo->text().trimmed();
    try {
        if (inserting) {
            const auto code = StockBalance::parseCode(typed);
            if (code && m_verifica->findKey({double(*code)})) {
                core::dialogs().information(this, QString(), s("Esse Codigo de Produto Já foi Cadastrado!"));
                return false;
            }
        }
        if ((inserting && typed.isEmpty()) || m_descricao->text().trimmed().isEmpty()
            || m_valor->text().trimmed().isEmpty()) {
            core::dialogs().information(this, QString(),
                                        s("Campos Codigo*, Produto*, Preço Venda* são obrigatórios preencha!"));
            return false;
        }
        if (!pushToRow())
            return false;
        m_produtos->post();
        if (inserting)
            m_verifica->refresh();
    } catch (const DbError &e) {
        showError(e.message());
        return false;
    }
    NpermiteAlterar();
    return true;
}

void TFormProdutos::discardRecord()
{
    RecordWindow::discardRecord();
    fillFromRow();
    NpermiteAlterar();
}

void TFormProdutos::BtSalvarClick()
{
    if (m_produtos->state() != Dataset::State::Insert) {
        AlterarClick();
        return;
    }
    saveRecord();
}

void TFormProdutos::AlterarClick()
{
    if (!editing()) {
        core::dialogs().information(this, QString(), s("Não foi feita nenhuma alteração"));
        return;
    }
    saveRecord();
}

void TFormProdutos::BtCancelarClick()
{
    discardRecord();
}

void TFormProdutos::BtExcluirClick()
{
    if (!m_produtos->isOpen())
        return;
    if (m_produtos->state() == Dataset::State::Insert) {
        BtCancelarClick();
        return;
    }
    if (m_produtos->isEmpty() || m_produtos->isNull(QStringLiteral("Codigo")))
        return;
    const QVariant code = m_produtos->value(QStringLiteral("Codigo"));
    try {
        m_reposicao->refresh();
        if (m_reposicao->findKey({code})) {
            core::dialogs().information(
                this, QString(), s("Esse Produto Já foi Dado entrada exclua todas reposições para continuar!"));
            return;
        }
        if (core::dialogs().question(this, s("Exclusão"), s("Comfirme a exclusão  do Cadastro!"))
            != core::Answer::Yes)
            return;
        if (m_produtos->state() == Dataset::State::Edit)
            m_produtos->cancel();
        m_produtos->remove();
        m_verifica->refresh();
    } catch (const DbError &e) {
        showError(e.message());
        return;
    }
    core::dialogs().information(this, QString(), s("Cadastro Excluído com Sucesso!"));
    fillFromRow();
    AtualizaEstoque();
    BuscaImagem();
    NpermiteAlterar();
}

void TFormProdutos::AtualizaEstoque()
{
    if (!m_produtos->isOpen() || m_produtos->isEmpty())
        return;
    // A row being typed is left alone: its balance is written when it is shown again.
    if (m_produtos->state() != Dataset::State::Browse)
        return;
    const auto code = StockBalance::parseCode(m_codigo->text());
    if (!code)
        return;
    try {
        const double balance = m_balance->balance(*code);
        const QVariant current = m_produtos->value(QStringLiteral("Codigo"));
        if (!current.isNull() && qint64(current.toDouble()) == *code) {
            const QVariant stored = m_produtos->value(QStringLiteral("Estoque"));
            if (stored.isNull() || stored.toDouble() != balance) {
                m_produtos->edit();
                m_produtos->setValue(QStringLiteral("Estoque"), balance);
                m_produtos->post();
            }
        } else {
            m_balance->store(*code);
        }
        m_produtos->refresh();
        m_entrada->refresh();
    } catch (const DbError &e) {
        showError(e.message());
    }
    fillFromRow();
}

void TFormProdutos::navigate(int how)
{
    static void (Table::*const steps[])() = {&Table::first, &Table::prior, &Table::next, &Table::last};
    m_navigator->move(steps[std::clamp(how, 0, 3)]);
}

void TFormProdutos::Localizar()
{
    // Typed changes are stored first, as the navigator does; a refused row stays.
    if (!commitPending() || !guarded([&] { m_produtos->setIndexName(QStringLiteral("ByCodigo")); }))
        return;
    QString value;
    if (!core::dialogs().input(this, QStringLiteral("Procura"), s("Entre com o código do produto!"), &value))
        return;
    const auto code = StockBalance::parseCode(value);
    bool found = false;
    try {
        found = code && m_produtos->findKey({double(*code)});
    } catch (const DbError &e) {
        showError(e.message());
        return;
    }
    if (!found)
        core::dialogs().information(this, QString(), s("Código não encontrado"));
    fillFromRow();
    BuscaImagem();
    NpermiteAlterar();
}

void TFormProdutos::openSearch()
{
    m_panel3->hide();
    m_panLocalizar->show();
    m_search->setFocus();
    searchTextChanged();
}

void TFormProdutos::searchTextChanged()
{
    if (!m_produtos->isOpen())
        return;
    const bool byNome = m_byNome->isChecked();
    const QString text = m_search->text();
    // Typed changes are stored first; a refused row stays on screen.
    if (!commitPending())
        return;
    try {
        m_produtos->setIndexName(byNome ? QStringLiteral("ByDescricao") : QStringLiteral("ByCodigo"));
        if (byNome) {
            m_produtos->findNearest({text});
        } else {
            const auto code = StockBalance::parseCode(text);
            if (code)
                m_produtos->findNearest({double(*code)});
            else if (text.trimmed().isEmpty())
                m_produtos->first();
        }
        if (m_produtos->eof() && !m_produtos->isEmpty())
            m_produtos->last();
    } catch (const DbError &e) {
        showError(e.message());
        return;
    }
    AtualizaEstoque();
    BuscaImagem();
    NpermiteAlterar();
}

void TFormProdutos::openReport()
{
    m_panLocalizar->hide();
    m_panel3->show();
}

void TFormProdutos::closeReport()
{
    m_panel3->hide();
    try {
        m_produtos->setFiltered(false);
        m_produtos->setFilter(QString());
    } catch (const DbError &e) {
        showError(e.message());
    }
    AtualizaEstoque();
    BuscaImagem();
    NpermiteAlterar();
}

printing::PreparedReport TFormProdutos::prepareListing()
{
    using printing::Align;
    printing::Report r(s("Relatório Estoque"));
    r.setPage(printing::PageSetup::a4Portrait());
    const double w = r.width();
    const int bold = r.font(9, true);
    const int big = r.font(14, true);
    auto &title = r.title().setHeight(22);
    title.systemDate({0, 0, 40, 5});
    title.systemTime({w - 40, 0, 40, 5}).setAlign(Align::Right);
    title.label({0, 6, w, 8}, s("Relatório Estoque"), big, Align::Center);
    auto &cols = r.columnHeader().setHeight(7);
    cols.label({0, 1, 32, 5}, QStringLiteral("Codigo"), bold);
    cols.label({34, 1, 76, 5}, s("Descrição"), bold);
    cols.label({112, 1, 30, 5}, QStringLiteral("Marca"), bold);
    cols.label({144, 1, 26, 5}, QStringLiteral("Categoria"), bold);
    cols.label({w - 20, 1, 20, 5}, QStringLiteral("Valor Un."), bold, Align::Right);
    cols.line({0, 6.5}, {w, 6.5});
    auto &d = r.detail().setHeight(5);
    d.field({0, 0, 32, 5}, QStringLiteral("Codigo"), QString::fromLatin1(kCodeMask));
    d.field({34, 0, 76, 5}, QStringLiteral("Descricao"));
    d.field({112, 0, 30, 5}, QStringLiteral("Marca"));
    d.field({144, 0, 26, 5}, QStringLiteral("Categoria"));
    d.field({w - 20, 0, 20, 5}, QStringLiteral("Valor"), QStringLiteral("###,##0.00")).setAlign(Align::Right);
    auto &sum = r.summary().setHeight(14);
    sum.line({0, 1}, {w, 1});
    sum.label({0, 3, 50, 5}, QStringLiteral("Total Registro Encontrados:"), bold);
    sum.count({52, 3, 20, 5});
    sum.label({w - 75, 3, 25, 5}, QStringLiteral("Total Geral:"), bold);
    sum.sum({w - 50, 3, 50, 5},
            [](const printing::RowContext &c) {
                return QVariant(c.value(QStringLiteral("Valor")).toDouble()
                                * c.value(QStringLiteral("Estoque")).toDouble());
            },
            QStringLiteral("R$ #####0.00"), bold)
        .setAlign(Align::Right);
    r.pageFooter().setHeight(7).pageNumber({w - 40, 1, 40, 5}, QStringLiteral("Pagina %1")).setAlign(Align::Right);
    m_entrada->disableControls();
    r.setRows(m_entrada);
    printing::PreparedReport pages = r.prepare();
    m_entrada->enableControls();
    return pages;
}

void TFormProdutos::printCadastro()
{
    try {
        const bool byNome = m_rbOrdemNome->isChecked();
        m_entrada->setIndexName(byNome ? QStringLiteral("ByDescricao") : QStringLiteral("ByCodigo"));
        if (m_rbTudo->isChecked()) {
            m_entrada->setFiltered(false);
            m_entrada->setFilter(QString());
        } else {
            const QString letter = m_rbServicos->isChecked() ? QStringLiteral("N") : QStringLiteral("S");
            m_entrada->locate(QStringLiteral("MonitorarEstq"), {letter}, Table::PartialKey);
            m_entrada->setFilter(QStringLiteral("MonitorarEstq=") + Table::quoted(letter + QLatin1Char('*')));
            m_entrada->setFiltered(true);
        }
        printing::PreparedReport pages = prepareListing();
        printing::showPreview(pages, this);
    } catch (const DbError &e) {
        showError(e.message());
    }
}

void TFormProdutos::printFiltro()
{
    try {
        const bool byCategoria = m_rbCategoria->isChecked();
        const QString field = byCategoria ? QStringLiteral("Categoria") : QStringLiteral("Marca");
        const QString text = core::upper((byCategoria ? m_cbCategoria : m_cbMarca)->currentText().trimmed());
        m_entrada->locate(field, {text}, Table::LocateOptions(Table::PartialKey | Table::CaseInsensitive));
        m_entrada->setFilter(field + QLatin1Char('=') + Table::quoted(text + QLatin1Char('*')));
        m_entrada->setFiltered(true);
        printing::PreparedReport pages = prepareListing();
        printing::showPreview(pages, this);
    } catch (const DbError &e) {
        showError(e.message());
    }
}

void TFormProdutos::afterLookupWindow(int which)
{
    switch (which) {
    case 0: openMarcas(this, m_db); break;
    case 1: openCategorias(this, m_db); break;
    default: openMedidas(this, m_db); break;
    }
    // The new values are offered at once.
    try {
        loadLookups();
    } catch (const DbError &e) {
        showError(e.message());
    }
}

void TFormProdutos::openGerador()
{
    TFGeraCodigoBarra gerador(m_db, this);
    gerador.setVerifica(QStringLiteral("SIM"));
    connect(&gerador, &TFGeraCodigoBarra::codeHanded, this, &TFormProdutos::setCodigoText);
    core::dialogs().exec(&gerador);
}

void TFormProdutos::openEntrada()
{
    if (m_produtos->state() != Dataset::State::Browse) {
        core::dialogs().information(this, QString(), s("Salve ou cancele o cadastro antes de dar entrada."));
        return;
    }
    openEntradaMercadorias(this, m_db);
    AtualizaEstoque();
}

void TFormProdutos::setCodigoText(const QString &code)
{
    if (m_produtos->state() != Dataset::State::Insert)
        return;
    m_codigo->setText(code);
}

QString TFormProdutos::codigoText() const { return m_codigo->text(); }

void TFormProdutos::showEvent(QShowEvent *e)
{
    RecordWindow::showEvent(e);
    if (!m_produtos->isOpen() || m_produtos->state() != Dataset::State::Browse)
        return;
    try {
        m_produtos->refresh();
    } catch (const DbError &err) {
        showError(err.message());
    }
    fillFromRow();
    BuscaImagem();
    NpermiteAlterar();
}

} // namespace brelvo::stock
