#include "sales/TFormFrenteCaixa.h"

#include "core/DataControls.h"
#include "core/DatasetModel.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "core/Widgets.h"
#include "orders/TFConsulta.h"
#include "printing/ReceiptWriter.h"
#include "registries/RegistryWindows.h"
#include "sales/SalePrintouts.h"
#include "sales/SaleItemsGrid.h"
#include "sales/SaleRules.h"
#include "sales/SaleStore.h"
#include "stock/StockBalance.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

namespace brelvo::sales {

using core::dialogs;
using data::Dataset;

namespace {

const QString kCaixaLivre = QStringLiteral("CAIXA LIVRE");
const QString kZero = QStringLiteral("0,00");
const QString kUm = QStringLiteral("01");

QString f(const char *name) { return QString::fromLatin1(name); }

bool isYes(const QVariant &v)
{
    return v.toString().trimmed() == QLatin1String("S");
}

QFrame *panel(QWidget *parent, const QString &name)
{
    auto *p = new QFrame(parent);
    p->setObjectName(name);
    p->setFrameShape(QFrame::StyledPanel);
    p->hide();
    return p;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text = QString())
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

TFormFrenteCaixa::TFormFrenteCaixa(data::DatabasePtr db, const QString &operador, PasswordCheck supervisor,
                                   QWidget *parent)
    : RecordWindow(parent), m_db(std::move(db)), m_operador(operador), m_supervisor(std::move(supervisor))
{
    setObjectName(QStringLiteral("TFormFrenteCaixa"));
    setWindowTitle(QStringLiteral("Caixa"));
    resize(1100, 720);

    m_vendas = new data::Table(m_db, QStringLiteral("tbVendas.db"), this);
    m_vendas->setObjectName(QStringLiteral("TbVendas"));
    m_items = new data::Table(m_db, QStringLiteral("tbItems.DB"), this);
    m_items->setObjectName(QStringLiteral("TbItems"));
    m_produtos = new data::Table(m_db, QStringLiteral("tbProdutos.db"), this);
    m_produtos->setObjectName(QStringLiteral("TB_Produtos"));
    m_clientes = new data::Table(m_db, QStringLiteral("tbCliente.DB"), this);
    m_clientes->setObjectName(QStringLiteral("TbCliente"));
    m_itemWriter = new data::Table(m_db, QStringLiteral("tbItems.DB"), this);

    m_vendas->open();
    m_items->setIndexName(QStringLiteral("ByLink"));
    m_items->setMasterSource(m_vendas, QStringLiteral("Chave"), QStringLiteral("Link"));
    m_items->open();
    m_produtos->setIndexName(QStringLiteral("ByCodigo"));
    m_produtos->open();
    m_clientes->setIndexName(QStringLiteral("byCodigo"));
    m_clientes->open();
    m_itemWriter->open();
    setMainTable(m_vendas);
    closeWithWindow(m_itemWriter);
    closeWithWindow(m_items);
    closeWithWindow(m_produtos);
    closeWithWindow(m_clientes);
    m_stock = std::make_unique<stock::StockBalance>(m_db);
    m_sum = std::make_unique<SaleSum>(m_db);

    // A finalised sale refuses editing from any control; an open one notes the day.
    connect(m_vendas, &data::Table::beforeEdit, this, [this] {
        if (finalizada())
            throw data::DbError(data::DbError::Kind::InvalidValue, msg::vendaJaFinalizada());
    });
    connect(m_vendas, &data::Table::afterEdit, this,
            [this] { m_vendas->setValue(f("DtModifica"), QDate::currentDate()); });

    auto *lay = new QVBoxLayout(this);
    m_label1 = label(this, QStringLiteral("Label1"));
    QFont big = m_label1->font();
    big.setPointSize(16);
    big.setBold(true);
    m_label1->setFont(big);
    lay->addWidget(m_label1);
    m_titulo = label(this, QStringLiteral("fldTitulo"), kCaixaLivre);
    QFont huge = big;
    huge.setPointSize(22);
    m_titulo->setFont(huge);
    m_titulo->setFrameShape(QFrame::Panel);
    lay->addWidget(m_titulo);

    auto *middle = new QHBoxLayout;
    middle->addWidget(buildMain(), 3);
    // The panels at the side take room only while shown; the grid takes the rest.
    auto *side = new QVBoxLayout;
    for (QFrame *p : {buildClientePanel(), buildPagamentoPanel(), buildDescontoPanel(), buildSenhaPanel()}) {
        p->setFixedWidth(430);
        side->addWidget(p);
    }
    side->addStretch(1);
    middle->addLayout(side, 0);
    lay->addLayout(middle, 1);
    lay->addWidget(buildInfo());
    lay->addWidget(buildBottomBar());
    buildMenu();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &TFormFrenteCaixa::tickerStep);
    m_timer->start();

    qApp->installEventFilter(this);
}

TFormFrenteCaixa::~TFormFrenteCaixa()
{
    qApp->removeEventFilter(this);
}

// ------------------------------------------------------------------ layout

QWidget *TFormFrenteCaixa::buildMain()
{
    auto *w = new QWidget(this);
    auto *g = new QGridLayout(w);
    QFont bigFont = font();
    bigFont.setPointSize(14);

    g->addWidget(new QLabel(QStringLiteral("Quantidade"), w), 0, 0);
    m_quantidade = new QLineEdit(kUm, w);
    m_quantidade->setObjectName(QStringLiteral("mskQuantidade"));
    m_quantidade->setFont(bigFont);
    m_quantidade->setMaxLength(12);
    ownEnter(m_quantidade);
    g->addWidget(m_quantidade, 1, 0);

    g->addWidget(new QLabel(QStringLiteral("Código do Produto"), w), 2, 0);
    m_codigo = new QLineEdit(w);
    m_codigo->setObjectName(QStringLiteral("mskCodigo"));
    m_codigo->setFont(bigFont);
    m_codigo->setMaxLength(13);
    m_codigo->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]{0,13}")), m_codigo));
    ownEnter(m_codigo);
    g->addWidget(m_codigo, 3, 0);

    g->addWidget(new QLabel(QStringLiteral("Preço Unitário"), w), 4, 0);
    m_precoUnitario = label(w, QStringLiteral("fldPrecoUnitario"));
    m_precoUnitario->setFont(bigFont);
    m_precoUnitario->setFrameShape(QFrame::Panel);
    g->addWidget(m_precoUnitario, 5, 0);
    g->addWidget(new QLabel(QStringLiteral("Total do Item"), w), 6, 0);
    m_totalSem = label(w, QStringLiteral("fldTotalSem"), kZero);
    m_totalSem->setFont(bigFont);
    m_totalSem->setFrameShape(QFrame::Panel);
    g->addWidget(m_totalSem, 7, 0);
    g->setRowStretch(8, 1);

    m_grid = makeSaleItemsGrid(w, m_items);
    g->addWidget(m_grid, 0, 1, 9, 1);
    g->setColumnStretch(1, 1);

    connect(m_codigo, &QLineEdit::returnPressed, this, &TFormFrenteCaixa::entrarCodigo);
    connect(m_quantidade, &QLineEdit::returnPressed, this, [this] {
        QString error;
        if (!parseQuantity(m_quantidade->text(), &error)) {
            showError(error, m_quantidade);
            return;
        }
        focusCodigo();
    });
    connect(m_quantidade, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (m_precoUnitario->text().isEmpty() || text.isEmpty())
            return;
        if (const auto q = core::parseNumber(text))
            m_totalSem->setText(core::formatMask(QStringLiteral("#######0.00"), *q * m_preco));
    });
    return w;
}

QWidget *TFormFrenteCaixa::buildInfo()
{
    auto *w = new QFrame(this);
    w->setFrameShape(QFrame::StyledPanel);
    auto *h = new QHBoxLayout(w);
    auto bound = [&](const QString &caption, const QString &name, const char *field, const QString &mask) {
        h->addWidget(new QLabel(caption, w));
        auto *l = new core::DbLabel(w);
        l->setObjectName(name);
        l->setDataSource(m_vendas, f(field));
        if (!mask.isEmpty())
            l->setDisplayMask(mask);
        h->addWidget(l);
        return l;
    };
    m_codVenda = bound(QStringLiteral("Venda Nº: "), QStringLiteral("DBTextCodVenda"), "CodVenda", QStringLiteral("0000"));
    m_codVenda->setCursor(Qt::PointingHandCursor);
    m_codVenda->setToolTip(QStringLiteral("Clique para localizar uma venda"));
    bound(QStringLiteral("Data:"), QStringLiteral("DBTextDtVenda"), "DtVenda", QString());
    bound(QStringLiteral("Cod. Vendedor: "), QStringLiteral("DBTextCodVendedor"), "CodVendedor", QStringLiteral("000"));
    bound(QStringLiteral("SubTotal"), QStringLiteral("DBTextVrVenda"), "VrVenda", QStringLiteral("######0.00"));
    h->addWidget(new QLabel(QStringLiteral("Valor Recebido"), w));
    m_valorRecebido = new QLineEdit(kZero, w);
    m_valorRecebido->setObjectName(QStringLiteral("edtValorRecebido"));
    m_valorRecebido->setToolTip(QStringLiteral("Entre com valor recebido e tecle enter para calculo do troco!"));
    m_valorRecebido->setMaximumWidth(120);
    ownEnter(m_valorRecebido);
    h->addWidget(m_valorRecebido);
    h->addWidget(new QLabel(QStringLiteral("Troco"), w));
    m_troco = label(w, QStringLiteral("fldTotalRecibido"), kZero);
    m_troco->setFrameShape(QFrame::Panel);
    m_troco->setMinimumWidth(90);
    h->addWidget(m_troco);
    h->addStretch(1);
    h->addWidget(new QLabel(QStringLiteral("Operador(a):"), w));
    m_operadorLabel = label(w, QStringLiteral("Label10"), m_operador);
    h->addWidget(m_operadorLabel);

    connect(m_valorRecebido, &QLineEdit::returnPressed, this, &TFormFrenteCaixa::valorRecebidoEnter);
    connect(m_valorRecebido, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (finalizada())
            return;
        if (const auto c = changeText(text, m_vendas->asFloat(f("VrVenda"))))
            m_troco->setText(*c);
    });
    return w;
}

QFrame *TFormFrenteCaixa::buildClientePanel()
{
    m_cliente = panel(this, QStringLiteral("PanTipoLan"));
    auto *v = new QVBoxLayout(m_cliente);
    auto *grpCliente = new QGroupBox(QStringLiteral("IDENTIFICAR CLIENTE"), m_cliente);
    auto *gc = new QGridLayout(grpCliente);
    m_codCliente = new core::DbEdit(grpCliente);
    m_codCliente->setObjectName(QStringLiteral("DBEditCodCliente"));
    m_codCliente->setDataSource(m_vendas, f("CodCliente"));
    m_codCliente->setToolTip(QStringLiteral("Digite o Codigo do Cliente e tecle Enter!"));
    ownEnter(m_codCliente);
    m_nomeCliente = new core::DbEdit(grpCliente);
    m_nomeCliente->setObjectName(QStringLiteral("DBEditNomeCliente"));
    m_nomeCliente->setDataSource(m_vendas, f("NomeCliente"));
    m_nomeCliente->setReadOnly(true);
    QPushButton *buscar = makeButton(QStringLiteral("btnBuscarCliente"), QStringLiteral("Buscar (F8)"), grpCliente);
    gc->addWidget(m_codCliente, 0, 0);
    gc->addWidget(buscar, 0, 1);
    gc->addWidget(m_nomeCliente, 1, 0, 1, 2);
    v->addWidget(grpCliente);

    auto *grpOperador = new QGroupBox(QStringLiteral("Operador (a)"), m_cliente);
    auto *go = new QVBoxLayout(grpOperador);
    go->addWidget(label(grpOperador, QStringLiteral("LOperador"), m_operador));
    v->addWidget(grpOperador);

    auto *grpVendedor = new QGroupBox(QStringLiteral("Digite do Codigo do Vendedor: "), m_cliente);
    auto *gv = new QVBoxLayout(grpVendedor);
    m_codVendedor = new core::DbEdit(grpVendedor);
    m_codVendedor->setObjectName(QStringLiteral("DBEditCodVendedor"));
    m_codVendedor->setDataSource(m_vendas, f("CodVendedor"));
    ownEnter(m_codVendedor);
    gv->addWidget(m_codVendedor);
    v->addWidget(grpVendedor);

    auto *grpObs = new QGroupBox(QStringLiteral("Observações: "), m_cliente);
    auto *gob = new QVBoxLayout(grpObs);
    m_obs = new core::DbEdit(grpObs);
    m_obs->setObjectName(QStringLiteral("DBEditObs"));
    m_obs->setDataSource(m_vendas, f("Obs"));
    m_obs->setMaxLength(255);
    gob->addWidget(m_obs);
    v->addWidget(grpObs);

    auto *buttons = new QHBoxLayout;
    QPushButton *ok = makeButton(QStringLiteral("btnComfirmar"), QStringLiteral("Comfirmar (F9)"), m_cliente);
    QPushButton *x = makeButton(QStringLiteral("btnFecharCliente"), QStringLiteral("x"), m_cliente);
    buttons->addWidget(ok);
    buttons->addWidget(x);
    v->addLayout(buttons);

    connect(m_codCliente, &QLineEdit::returnPressed, this, &TFormFrenteCaixa::codClienteEnter);
    connect(m_codVendedor, &QLineEdit::returnPressed, this, [this] { focusCodigo(); });
    // Leaving the seller code confirms the panel.
    connect(m_codVendedor, &QLineEdit::editingFinished, this, [this] {
        if (!m_cliente->isHidden())
            comfirmarCliente();
    });
    connect(buscar, &QPushButton::clicked, this, &TFormFrenteCaixa::buscarCliente);
    connect(ok, &QPushButton::clicked, this, [this] { comfirmarCliente(); });
    connect(x, &QPushButton::clicked, this, [this] { hideCliente(); });
    return m_cliente;
}

QFrame *TFormFrenteCaixa::buildPagamentoPanel()
{
    m_pagamento = panel(this, QStringLiteral("P_Recebimento"));
    auto *v = new QVBoxLayout(m_pagamento);
    v->addWidget(new QLabel(QStringLiteral("Forma de Pagamento"), m_pagamento));
    m_forma = new core::DbRadioGroup(QStringLiteral("Selecione o Tipo Recebimento"), m_pagamento);
    m_forma->setObjectName(QStringLiteral("RadioGroupForma"));
    m_forma->setItems(paymentCaptions(), paymentCodes());
    // Three columns, filled down each column.
    delete m_forma->layout();
    auto *g = new QGridLayout(m_forma);
    const int n = int(paymentCaptions().size());
    const int rows = (n + 2) / 3;
    for (int i = 0; i < n; ++i)
        g->addWidget(m_forma->button(i), i % rows, i / rows);
    m_forma->setDataSource(m_vendas, f("ForPagamento"));
    v->addWidget(m_forma);
    QPushButton *fin = makeButton(QStringLiteral("btnComfirmarFinalizacao"),
                                  QStringLiteral("Comfirmar Finalização (F11)"), m_pagamento);
    fin->setToolTip(QStringLiteral("Clique aqui para finalizar a venda iniciada!"));
    v->addWidget(fin);
    connect(m_forma, &core::DbRadioGroup::itemChanged, this, [this] { m_valorRecebido->setFocus(); });
    connect(fin, &QPushButton::clicked, this, &TFormFrenteCaixa::finalizar);
    return m_pagamento;
}

QFrame *TFormFrenteCaixa::buildDescontoPanel()
{
    m_desconto = panel(this, QStringLiteral("PanelDesconto"));
    auto *g = new QGridLayout(m_desconto);
    g->addWidget(new QLabel(QStringLiteral("Valor Desconto R$ :"), m_desconto), 0, 0);
    m_valorDesconto = new QLineEdit(m_desconto);
    m_valorDesconto->setObjectName(QStringLiteral("edtDesconto"));
    ownEnter(m_valorDesconto);
    g->addWidget(m_valorDesconto, 0, 1);
    QPushButton *ok = makeButton(QStringLiteral("btnComfirmarDesconto"), QStringLiteral("Comfirmar (F1)"), m_desconto);
    QPushButton *x = makeButton(QStringLiteral("btnFecharDesconto"), QStringLiteral("Fechar (x)"), m_desconto);
    g->addWidget(ok, 1, 0);
    g->addWidget(x, 1, 1);
    connect(m_valorDesconto, &QLineEdit::returnPressed, this, &TFormFrenteCaixa::confirmarDesconto);
    connect(ok, &QPushButton::clicked, this, &TFormFrenteCaixa::confirmarDesconto);
    connect(x, &QPushButton::clicked, this, &TFormFrenteCaixa::fecharDesconto);
    return m_desconto;
}

QFrame *TFormFrenteCaixa::buildSenhaPanel()
{
    m_senha = panel(this, QStringLiteral("PanAltera"));
    auto *g = new QGridLayout(m_senha);
    g->addWidget(new QLabel(QStringLiteral("Digite A senha do Usuário (KOV) para Cancelar !"), m_senha), 0, 0, 1, 2);
    m_senhaBox = new QLineEdit(m_senha);
    m_senhaBox->setObjectName(QStringLiteral("edtSenha"));
    m_senhaBox->setEchoMode(QLineEdit::Password);
    core::setTypingCase(m_senhaBox, core::CharCase::Upper);
    ownEnter(m_senhaBox);
    g->addWidget(m_senhaBox, 1, 0, 1, 2);
    QPushButton *ok = makeButton(QStringLiteral("btnOkSenha"), QStringLiteral("&Ok (F7)"), m_senha);
    QPushButton *cancel = makeButton(QStringLiteral("btnCancelarSenha"), QStringLiteral("Cancela&r"), m_senha);
    g->addWidget(ok, 2, 0);
    g->addWidget(cancel, 2, 1);
    connect(m_senhaBox, &QLineEdit::returnPressed, this, &TFormFrenteCaixa::confirmarSenha);
    connect(ok, &QPushButton::clicked, this, &TFormFrenteCaixa::confirmarSenha);
    connect(cancel, &QPushButton::clicked, this, &TFormFrenteCaixa::cancelarSenha);
    return m_senha;
}

QFrame *TFormFrenteCaixa::buildBottomBar()
{
    m_barra = new QFrame(this);
    m_barra->setObjectName(QStringLiteral("PanelBotoes"));
    m_barra->setFrameShape(QFrame::StyledPanel);
    auto *h = new QHBoxLayout(m_barra);
    auto add = [&](const char *name, const QString &text, auto slot) {
        QPushButton *b = makeButton(f(name), text, m_barra);
        connect(b, &QPushButton::clicked, this, slot);
        h->addWidget(b);
        return b;
    };
    add("btnExcluirItem", QStringLiteral("Excluir Item"), &TFormFrenteCaixa::excluirItem);
    m_btnDesconto = add("btnDesconto", QStringLiteral("Desconto (F1)"), &TFormFrenteCaixa::toggleDesconto);
    m_btnDesconto->setCheckable(true);
    m_btnFormaPg = add("btnFormaPg", QStringLiteral("Forma Pg (F2)"), &TFormFrenteCaixa::togglePagamento);
    m_btnFormaPg->setCheckable(true);
    add("btnBuscaProduto", QStringLiteral("F3 - Busca Produto "), &TFormFrenteCaixa::buscarProduto);
    add("btnCancelar", QStringLiteral("Cancelar (F4)"), &TFormFrenteCaixa::cancelarVenda);
    add("btnNovaVenda", QStringLiteral("Nova Venda (F5)"), &TFormFrenteCaixa::novaVendaTecla);
    add("btnFinalizar", QStringLiteral("Finalizar (F6)"), &TFormFrenteCaixa::mostrarPagamento);
    QPushButton *sair = makeButton(QStringLiteral("btnSair"), QStringLiteral("Sair (F12)"), m_barra);
    connect(sair, &QPushButton::clicked, this, &QDialog::reject);
    h->addWidget(sair);
    QPushButton *a4 = add("btnImprimirA4", QStringLiteral("Imprimir A4"), &TFormFrenteCaixa::imprimirA4);
    a4->setToolTip(QStringLiteral("Imprimir Papel A4 Impressora jato tinta, Laser! Ctrl+A"));
    QPushButton *cupom = add("btnCupom", QStringLiteral("Cupom Ñ Fiscal"), &TFormFrenteCaixa::ImprimirCupom);
    cupom->setToolTip(QStringLiteral("Imprimir cupom Impressora Não fiscal! Atalho Ctrl+P"));
    return m_barra;
}

void TFormFrenteCaixa::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [&](const char *name, const QString &text, const QKeySequence &keys, auto fn) {
        QAction *a = m_menu->addAction(text);
        a->setObjectName(f(name));
        a->setShortcut(keys);
        a->setShortcutVisibleInContextMenu(true);
        // The keys themselves are handled by the window's key filter.
        a->setShortcutContext(Qt::WidgetShortcut);
        connect(a, &QAction::triggered, this, fn);
    };
    item("mnuCancelaCupom", QStringLiteral("Cancela Cupom"), QKeySequence(Qt::CTRL | Qt::Key_X),
         [this] { toggleSenha(); });
    item("mnuIdentificarCliente", QStringLiteral("Identificar Cliente"), QKeySequence(Qt::CTRL | Qt::Key_C),
         [this] { mostrarCliente(m_codCliente); });
    item("mnuIdentificarVendedor", QStringLiteral("Identificar Vendedor"), QKeySequence(Qt::CTRL | Qt::Key_V),
         [this] { mostrarCliente(m_codVendedor); });
    item("mnuObservacoes", QStringLiteral("Observações"), QKeySequence(Qt::CTRL | Qt::Key_O), [this] {
        if (!m_cliente->isHidden())
            hideCliente();
        else
            mostrarCliente(m_obs);
    });
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(mapToGlobal(pos)); });
}

// ------------------------------------------------------------------ keys

bool TFormFrenteCaixa::eventFilter(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return RecordWindow::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && !QApplication::activePopupWidget()) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (handleKey(ke->key(), ke->modifiers()))
            return true;
        // The boxes whose Enter runs a rule of their own take it here, so
        // that it never travels on to move the focus elsewhere.
        auto *edit = qobject_cast<QLineEdit *>(w);
        if (edit && m_enterBoxes.contains(edit) && (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter)
            && !(ke->modifiers() & ~Qt::KeypadModifier)) {
            if (edit->hasAcceptableInput())
                Q_EMIT edit->returnPressed();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease && w == m_codVenda) {
        localizarVenda();
        return true;
    } else if (event->type() == QEvent::MouseButtonPress && w == m_barra) {
        // A click on the bar's background drops an unsaved change of the sale.
        if (editing())
            guarded([this] { m_vendas->cancel(); });
    }
    return RecordWindow::eventFilter(watched, event);
}

void TFormFrenteCaixa::ownEnter(QLineEdit *box)
{
    core::EnterMovesFocus::keepEnter(box);
    m_enterBoxes.append(box);
}

bool TFormFrenteCaixa::handleKey(int key, Qt::KeyboardModifiers mods)
{
    mods &= ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_X: toggleSenha(); return true;
        case Qt::Key_C: mostrarCliente(m_codCliente); return true;
        case Qt::Key_V: mostrarCliente(m_codVendedor); return true;
        case Qt::Key_O:
            if (!m_cliente->isHidden())
                hideCliente();
            else
                mostrarCliente(m_obs);
            return true;
        case Qt::Key_T: CaculoTroco(); return true;
        case Qt::Key_P: ImprimirCupom(); return true;
        case Qt::Key_A: imprimirA4(); return true;
        default: return false;
        }
    }
    if (mods != Qt::NoModifier)
        return false;
    switch (key) {
    case Qt::Key_F1: toggleDesconto(); return true;
    case Qt::Key_F2: togglePagamento(); return true;
    case Qt::Key_F3: buscarProduto(); return true;
    case Qt::Key_F4: cancelarVenda(); return true;
    case Qt::Key_F5: novaVendaTecla(); return true;
    case Qt::Key_F6: mostrarPagamento(); return true;
    case Qt::Key_F7: confirmarSenha(); return true;
    case Qt::Key_F8: buscarCliente(); return true;
    case Qt::Key_F9: comfirmarCliente(); return true;
    case Qt::Key_F11: finalizar(); return true;
    case Qt::Key_F12: reject(); return true;
    default: return false;
    }
}

// ------------------------------------------------------------------ helpers

bool TFormFrenteCaixa::finalizada() const
{
    return m_vendas->isOpen() && !m_vendas->isEmpty() && isYes(m_vendas->value(f("Finalizada")));
}

bool TFormFrenteCaixa::editVenda()
{
    if (editing())
        return true;
    if (finalizada()) {
        dialogs().information(this, QString(), msg::vendaJaFinalizada());
        return false;
    }
    return guarded([this] { m_vendas->edit(); });
}

void TFormFrenteCaixa::focusCodigo()
{
    m_codigo->setFocus();
    m_codigo->selectAll();
}

void TFormFrenteCaixa::setTitulo(const QString &text)
{
    m_titulo->setText(text);
}

void TFormFrenteCaixa::resetLinha()
{
    m_quantidade->setText(kUm);
    m_precoUnitario->setText(kZero);
    m_totalSem->setText(kZero);
    m_preco = 0;
}

void TFormFrenteCaixa::hideCliente()
{
    m_cliente->hide();
}

void TFormFrenteCaixa::showError(const QString &text, QWidget *focus)
{
    dialogs().information(this, QString(), text);
    if (focus) {
        focus->setFocus();
        if (auto *e = qobject_cast<QLineEdit *>(focus))
            e->selectAll();
    }
}

void TFormFrenteCaixa::tickerStep()
{
    m_label1->setText(m_ticker.left(m_tickerPos));
    ++m_tickerPos;
    if (m_tickerPos > m_ticker.size())
        m_tickerPos = 0;
}

SalePrintSource TFormFrenteCaixa::printSource()
{
    SalePrintSource s;
    s.db = m_db;
    s.sale = m_vendas;
    s.items = m_items;
    s.operador = m_operador;
    s.customerCodeText = m_codCliente->text();
    s.discountText = core::formatMask(QStringLiteral("#,##0.00"), m_vendas->asFloat(f("VLDesconto")));
    s.storePending = [this] {
        if (m_items->state() == Dataset::State::Edit || m_items->state() == Dataset::State::Insert)
            m_items->post();
    };
    return s;
}

// ------------------------------------------------------------------ sale life

void TFormFrenteCaixa::showEvent(QShowEvent *event)
{
    RecordWindow::showEvent(event);
    if (!m_shown)
        FormShow();
}

void TFormFrenteCaixa::FormShow()
{
    m_shown = true;
    m_ticker = QStringLiteral("SEJA BEM VINDO!!!");
    m_tickerPos = 0;
    m_codigo->clear();
    m_quantidade->setText(kUm);
    m_titulo->clear();
    m_precoUnitario->clear();
    m_totalSem->setText(kZero);
    focusCodigo();
    guarded([this] {
        m_vendas->last();
        const QVariant fin = m_vendas->isEmpty() ? QVariant() : m_vendas->value(f("Finalizada"));
        if (fin.isNull() || isYes(fin))
            NovaVenda();
        else if (fin.toString().trimmed() == QLatin1String("N"))
            Finalizadas();
        else
            setTitulo(QStringLiteral("VENDA JÁ FINALIZADA"));
    });
}

void TFormFrenteCaixa::NovaVenda()
{
    if (!commitPending())
        return;
    const bool ok = guarded([this] {
        m_vendas->append();
        m_vendas->setValue(f("Finalizada"), QStringLiteral("N"));
        m_vendas->setValue(f("VrVenda"), 0.0);
        m_vendas->setValue(f("VLDesconto"), 0.0);
        m_vendas->setValue(f("ForPagamento"), QStringLiteral("DINHEIRO"));
        m_vendas->setValue(f("VenOs"), QStringLiteral("PV"));
        m_vendas->setValue(f("DtVenda"), QDate::currentDate());
        m_vendas->setValue(f("HrVenda"), QTime::currentTime());
        m_vendas->post();   // the number is drawn as the row is stored
    });
    if (!ok) {
        if (editing())
            guarded([this] { m_vendas->cancel(); });
        return;
    }
    m_troco->setText(kZero);
    m_valorRecebido->setText(kZero);
    m_quantidade->setText(kUm);
    mostrarCliente(m_codCliente);
    setTitulo(kCaixaLivre);
    totalizar();
}

void TFormFrenteCaixa::novaVendaTecla()
{
    QVariant last;
    if (!guarded([&] { last = lastSaleFinalizada(m_db); }))
        return;
    if (!last.isNull() && !isYes(last)) {
        dialogs().information(this, QString(), QStringLiteral("Finalize a venda iniciada para inciar outra!"));
        // The open sale is the one shown from now on.
        if (commitPending())
            guarded([this] { m_vendas->last(); });
        Finalizadas();
        return;
    }
    NovaVenda();
}

void TFormFrenteCaixa::Finalizadas()
{
    guarded([this] {
        const data::Bookmark here = m_vendas->bookmark();
        m_vendas->refresh();
        if (here.isValid())
            m_vendas->gotoBookmark(here);
    });
    const QVariant fin = m_vendas->isEmpty() ? QVariant() : m_vendas->value(f("Finalizada"));
    m_total = m_vendas->asFloat(f("VrVenda"));
    m_quantidade->setText(kUm);
    hideCliente();
    if (isYes(fin)) {
        setTitulo(QStringLiteral("VENDA JÁ FINALIZADA"));
        m_valorRecebido->setText(core::formatMask(QStringLiteral("#####0.00"), m_vendas->asFloat(f("VrRecebido"))));
        CaculoTroco();
    } else if (fin.toString().trimmed() == QLatin1String("N")) {
        m_troco->setText(kZero);
        m_valorRecebido->setText(kZero);
        setTitulo(QStringLiteral("ÚLTIMA VENDA NÃO FINALIZADA"));
    } else {
        m_troco->setText(kZero);
        setTitulo(kCaixaLivre);
        CaculoTroco();
    }
}

// ------------------------------------------------------------------ items

void TFormFrenteCaixa::entrarCodigo()
{
    if (finalizada()) {
        showError(msg::vendaFinalizadaCodigo(), m_codigo);
        return;
    }
    const QString typed = m_codigo->text();
    const std::optional<qint64> code = stock::StockBalance::parseCode(typed);
    bool found = false;
    if (code && !guarded([&] { found = m_produtos->findKey({double(*code)}); }))
        return;
    if (!found) {
        showError(QStringLiteral("Codigo ") + typed + QStringLiteral(" não cadastrado digite novamente!"), m_codigo);
        setTitulo(QStringLiteral("Codigo Não Cadastrado"));
        resetLinha();
        return;
    }
    setTitulo(m_produtos->asString(f("Descricao")));
    m_preco = m_produtos->asFloat(f("Valor"));
    m_precoUnitario->setText(core::formatMask(QStringLiteral("###,###,##0.00"), m_preco));
    QString error;
    const std::optional<double> qtd = parseQuantity(m_quantidade->text(), &error);
    if (!qtd) {
        showError(error, m_quantidade);
        return;
    }
    guarded([&] {
        if (addVendasV(*code, *qtd))
            addVendaFinal(*code, *qtd);
    });
}

bool TFormFrenteCaixa::addVendasV(qint64 code, double qtd)
{
    m_code = m_codigo->text().remove(QLatin1Char(' '));
    const double a = m_stock->availability(code);
    m_availability = core::shortNumber(a);
    switch (checkStock(qtd, a, m_produtos->asString(f("MonitorarEstq")), m_produtos->asString(f("PermiteVenda")))) {
    case StockVerdict::Add:
        return true;
    case StockVerdict::MoreThanStock:
        showError(QStringLiteral("Quantidade que deseja vender Maior que estoque atual Corrija!"), m_quantidade);
        return false;
    case StockVerdict::NoStock:
        showError(QStringLiteral("Produto Sem Estoque!E o mesmo não permite venda nesta condição!"), m_codigo);
        return false;
    }
    return false;
}

void TFormFrenteCaixa::addVendaFinal(qint64 code, double qtd)
{
    if (!editVenda())
        return;
    m_vendas->setValue(f("DtVenda"), QDate::currentDate());
    const QString descricao = m_produtos->asString(f("Descricao"));
    m_precoUnitario->setText(core::formatMask(QStringLiteral("########0.00"), m_preco));
    // Written through a cursor of its own: the grid's cursor is re-read once,
    // when it moves to the new item, not at every step of the write.
    data::Table &w = *m_itemWriter;
    w.append();
    w.setValue(f("Link"), m_vendas->value(f("Chave")));
    w.setValue(f("CodVenda"), m_vendas->value(f("CodVenda")));
    w.setValue(f("CodBarra"), double(code));
    w.setValue(f("Descricao"), descricao.left(w.fieldSize(f("Descricao"))));
    w.setValue(f("ValorUni"), cents(m_preco));
    w.setValue(f("Qtd"), qtd);
    w.setValue(f("Monitorar"), m_produtos->asString(f("MonitorarEstq")));
    try {
        w.post();
    } catch (...) {
        w.cancel();
        throw;
    }
    m_totalSem->setText(core::shortNumber(qtd * cents(m_preco)));
    focusCodigo();
    m_quantidade->setText(kUm);
    m_items->last();   // the grid shows the item just sold
    totalizar();
}

bool TFormFrenteCaixa::totalizar()
{
    double gross = 0;
    const bool read = guarded([&] {
        if (m_items->state() == Dataset::State::Edit || m_items->state() == Dataset::State::Insert)
            m_items->post();
        if (!m_vendas->isEmpty())
            gross = m_sum->itemsTotal(m_vendas->asInteger(f("Chave")));
    });
    if (!read)
        return false;
    if (m_vendas->isEmpty())
        return true;
    if (!editVenda())
        return false;
    return guarded([&] {
        if (m_vendas->isNull(f("VLDesconto")))
            m_vendas->setValue(f("VLDesconto"), 0.0);
        const double total = gross - m_vendas->asFloat(f("VLDesconto"));
        m_vendas->setValue(f("VrVenda"), total);
        m_vendas->post();
        m_gross = gross;
        m_total = total;
    });
}

void TFormFrenteCaixa::excluirItem()
{
    if (finalizada()) {
        dialogs().information(this, QString(), msg::vendaJaFinalizada());
        return;
    }
    if (m_items->isEmpty())
        return;
    const double sub = m_items->asFloat(f("Qtd")) * m_items->asFloat(f("ValorUni"));
    dialogs().information(this, QString(),
                          QStringLiteral("Remover Item: ") + m_items->asString(f("Descricao"))
                              + QStringLiteral(" Total de R$ ") + core::formatMask(QStringLiteral("#,##0.00"), sub)
                              + QStringLiteral(" ?"));
    if (dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("Comfirme a remoção do item!"))
        != core::Answer::Yes)
        return;
    if (!guarded([this] { m_items->remove(); }))
        return;
    m_precoUnitario->clear();
    m_totalSem->clear();
    m_quantidade->setText(kUm);
    totalizar();
}

void TFormFrenteCaixa::localizarVenda()
{
    QString typed;
    if (!dialogs().input(this, QStringLiteral("Localizar "),
                         QStringLiteral("Digite aqui, o numéro da OS ou PV a ser localizado:"), &typed))
        return;
    if (!commitPending())
        return;
    bool found = false;
    if (const auto n = core::parseNumber(typed))
        guarded([&] { found = m_vendas->locate(f("CodVenda"), {*n}); });
    if (!found)
        dialogs().information(this, QString(), QStringLiteral("Não localizado !!!"));
    Finalizadas();
}

// ------------------------------------------------------------------ customer panel

void TFormFrenteCaixa::mostrarCliente(QWidget *focus)
{
    m_cliente->show();
    if (focus) {
        focus->setFocus();
        if (auto *e = qobject_cast<QLineEdit *>(focus))
            e->selectAll();
    }
}

void TFormFrenteCaixa::codClienteEnter()
{
    const QString typed = m_codCliente->text().trimmed();
    bool found = false;
    if (const auto n = core::parseNumber(typed))
        guarded([&] { found = m_clientes->findKey({*n}); });
    if (found) {
        if (!editVenda())
            return;
        m_vendas->setValue(f("CodCliente"), m_clientes->value(f("Codigo")));
        m_vendas->setValue(f("NomeCliente"),
                           m_clientes->asString(f("Nome")).left(m_vendas->fieldSize(f("NomeCliente"))));
        m_codVendedor->setFocus();
        m_codVendedor->selectAll();
        return;
    }
    if (dialogs().question(this, QStringLiteral("Erro"),
                           QStringLiteral("Este código de cliente não foi cadastrado, cadastrar agora?"))
        == core::Answer::Yes)
        registries::openClientes(this, m_db, false);
}

bool TFormFrenteCaixa::comfirmarCliente()
{
    if (m_confirming)
        return true;
    m_confirming = true;
    bool ok = true;
    if (!m_vendas->isEmpty() && m_vendas->isNull(f("NomeCliente"))) {
        ok = editVenda();
        if (ok) {
            m_vendas->setValue(f("NomeCliente"), QStringLiteral("CONSUMIDOR"));
            m_vendas->setValue(f("CodCliente"), 0.0);
        }
    }
    hideCliente();
    focusCodigo();
    if (ok)
        ok = totalizar();
    m_confirming = false;
    return ok;
}

void TFormFrenteCaixa::buscarCliente()
{
    if (!editVenda())
        return;
    registries::pesquisarClienteVenda(this, m_db, m_vendas, {m_codCliente, m_nomeCliente, m_codVendedor});
}

void TFormFrenteCaixa::buscarProduto()
{
    orders::consultarProdutos(this, m_db, QStringLiteral("F3"), m_codigo);
    m_codigo->setFocus();
}

// ------------------------------------------------------------------ discount

double TFormFrenteCaixa::descontoPermitido() const
{
    data::Table t(m_db, QStringLiteral("configExt.db"));
    t.open();
    t.first();
    return t.eof() ? 0.0 : t.asFloat(f("Desconto"));
}

void TFormFrenteCaixa::toggleDesconto()
{
    if (m_desconto->isHidden()) {
        if (finalizada()) {
            dialogs().information(this, QString(), msg::vendaJaFinalizada());
            return;
        }
        m_valorDesconto->setText(core::formatMask(QStringLiteral("#,##0.00"), m_vendas->asFloat(f("VLDesconto"))));
        m_desconto->show();
        m_btnDesconto->setChecked(true);
        m_valorDesconto->setFocus();
        m_valorDesconto->selectAll();
        return;
    }
    fecharDesconto();
}

void TFormFrenteCaixa::applyDesconto(double value)
{
    m_desconto->hide();
    m_btnDesconto->setChecked(false);
    if (editVenda()) {
        m_vendas->setValue(f("VLDesconto"), value);
        totalizar();
    }
    focusCodigo();
}

void TFormFrenteCaixa::confirmarDesconto()
{
    QString error;
    const std::optional<double> d = core::parseNumber(m_valorDesconto->text(), &error);
    if (!d) {
        showError(error, m_valorDesconto);
        return;
    }
    double limitPercent = 0;
    if (!guarded([&] { limitPercent = descontoPermitido(); }))
        return;
    if (!discountAllowed(*d, m_total, limitPercent)) {
        showError(msg::descontoNaoPermitido(), m_valorDesconto);
        return;
    }
    applyDesconto(*d);
}

// Closing the panel applies a changed discount only when it is allowed; a
// refused or unreadable one is dropped and the discount in force stays.
void TFormFrenteCaixa::fecharDesconto()
{
    const QString text = m_valorDesconto->text().trimmed();
    const double current = m_vendas->asFloat(f("VLDesconto"));
    const std::optional<double> d = text.isEmpty() ? std::optional<double>(current) : core::parseNumber(text);
    if (d && cents(*d) == cents(current)) {
        applyDesconto(current);
        return;
    }
    double limitPercent = 0;
    if (d && guarded([&] { limitPercent = descontoPermitido(); }) && discountAllowed(*d, m_total, limitPercent)) {
        applyDesconto(*d);
        return;
    }
    dialogs().information(this, QString(),
                          msg::descontoNaoPermitido() + QStringLiteral("\r\nO desconto de R$ ")
                              + core::formatMask(QStringLiteral("#,##0.00"), current) + QStringLiteral(" foi mantido."));
    applyDesconto(current);
}

// ------------------------------------------------------------------ payment

void TFormFrenteCaixa::togglePagamento()
{
    m_pagamento->setHidden(!m_pagamento->isHidden());
    m_btnFormaPg->setChecked(!m_pagamento->isHidden());
}

void TFormFrenteCaixa::mostrarPagamento()
{
    m_pagamento->show();
    m_btnFormaPg->setChecked(true);
    m_desconto->hide();
    m_btnDesconto->setChecked(false);
    m_valorRecebido->setFocus();
    m_valorRecebido->selectAll();
}

void TFormFrenteCaixa::CaculoTroco()
{
    if (const auto c = changeText(m_valorRecebido->text(), m_vendas->asFloat(f("VrVenda"))))
        m_troco->setText(*c);
    else
        showError(QStringLiteral("'%1' não é um valor válido para o valor recebido. Digite, por exemplo, 50,00.")
                      .arg(m_valorRecebido->text()),
                  m_valorRecebido);
}

void TFormFrenteCaixa::valorRecebidoEnter()
{
    const QString text = m_valorRecebido->text();
    std::optional<double> received = text.trimmed().isEmpty() ? std::optional<double>() : core::parseNumber(text);
    if (!text.trimmed().isEmpty() && !received) {
        CaculoTroco();   // tells the operator; nothing is stored
        return;
    }
    if (received && !finalizada() && editVenda())
        m_vendas->setValue(f("VrRecebido"), *received);
    focusCodigo();
    totalizar();
    CaculoTroco();
}

void TFormFrenteCaixa::finalizar()
{
    const QString text = m_valorRecebido->text();
    if (text == kZero || text.trimmed().isEmpty()) {
        showError(QStringLiteral("É necessario digitar o valor recebido!"), m_valorRecebido);
        return;
    }
    const std::optional<double> received = core::parseNumber(text);
    if (!received) {
        CaculoTroco();
        return;
    }
    m_pagamento->hide();
    m_btnFormaPg->setChecked(false);
    m_desconto->hide();
    m_btnDesconto->setChecked(false);
    if (!editVenda())
        return;
    m_vendas->setValue(f("Finalizada"), QStringLiteral("S"));
    m_vendas->setValue(f("VrRecebido"), *received);
    if (!totalizar()) {
        guarded([this] { m_vendas->cancel(); });
        return;
    }
    dialogs().information(this, QString(), QStringLiteral("Venda Finalizada com Sucesso!"));
    setTitulo(QStringLiteral("VENDA FINALIZADA"));
    focusCodigo();
    CaculoTroco();
    bool print = false;
    guarded([&] { print = printing::readReceiptPortSettings(m_db).printsOnClose(); });
    if (print)
        ImprimirCupom();
}

void TFormFrenteCaixa::cancelarVenda()
{
    if (m_vendas->isEmpty()) {
        reject();
        return;
    }
    // On a finalised sale the panel's totalizar refuses with the message: F4
    // does not cancel a finalised sale.
    if (!comfirmarCliente())
        return;
    m_desconto->hide();
    m_btnDesconto->setChecked(false);
    if (!guarded([this] { m_vendas->remove(); }))   // with its items, in one transaction
        return;
    Finalizadas();
    reject();
}

// ------------------------------------------------------------------ supervisor cancel

void TFormFrenteCaixa::toggleSenha()
{
    if (!m_senha->isHidden()) {
        focusCodigo();
        m_senha->hide();
        return;
    }
    m_senha->show();
    m_senhaBox->clear();
    m_senhaBox->setFocus();
}

void TFormFrenteCaixa::confirmarSenha()
{
    if (m_senha->isHidden())
        return;
    bool match = false;
    if (!guarded([&] { match = m_supervisor && m_supervisor(m_senhaBox->text()); }))
        return;
    m_senhaBox->clear();
    if (!match) {
        showError(QStringLiteral("Senha Do Administrador Errada! Digite a Senha do Usuário KOV Corretamente para "
                                 "continuar!"),
                  m_senhaBox);
        return;
    }
    m_senha->hide();
    if (editing())
        guarded([this] { m_vendas->cancel(); });
    if (m_vendas->isEmpty() || !guarded([this] { m_vendas->remove(); }))   // with its items
        return;
    Finalizadas();
    focusCodigo();
}

void TFormFrenteCaixa::cancelarSenha()
{
    m_senhaBox->clear();
    m_senha->hide();
}

// ------------------------------------------------------------------ printouts

void TFormFrenteCaixa::ImprimirCupom()
{
    printSaleReceipt(this, printSource());
}

void TFormFrenteCaixa::imprimirA4()
{
    printSaleForm(this, printSource());
}

// ------------------------------------------------------------------ closing

void TFormFrenteCaixa::done(int r)
{
    QVariant last;
    if (!guarded([&] { last = lastSaleFinalizada(m_db); }))
        return;
    if (!last.isNull()) {
        if (!isYes(last)) {
            dialogs().information(this, QString(), msg::fecharCaixa());
            CaculoTroco();
            return;
        }
        if (dialogs().question(this, QStringLiteral("Sair"), QStringLiteral("Deseja Sair da tela de Venda?"))
            != core::Answer::Yes) {
            CaculoTroco();
            return;
        }
    }
    m_timer->stop();
    RecordWindow::done(r);
}

} // namespace brelvo::sales
