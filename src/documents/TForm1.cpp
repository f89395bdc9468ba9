#include "documents/TForm1.h"

#include "core/DialogService.h"
#include "core/Format.h"
#include "documents/Extenso.h"
#include "printing/PrintPreview.h"
#include "registries/RegistryWindows.h"

#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace brelvo::documents {

using core::CharCase;
using core::GridColumn;
using data::Dataset;
using data::Table;

namespace {

const QString kErro = QStringLiteral("Erro");

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

} // namespace

// ---------------------------------------------------------------- lists

PickList::PickList(QWidget *parent) : core::DbComboBox(parent)
{
    setCharCase(CharCase::Upper);
    setMaxVisibleItems(20);
    // After the field was written by the list itself.
    connect(this, &QComboBox::activated, this, [this](int i) { Q_EMIT chosen(itemText(i)); });
}

void PickList::fill()
{
    if (m_fill)
        setItems(m_fill());
}

void PickList::showPopup()
{
    fill();
    core::DbComboBox::showPopup();
}

void NumberList::showField()
{
    core::DbComboBox::showField();
    if (!m_link->active())
        return;
    const QVariant v = m_link->value();
    if (v.isNull() || !v.canConvert<double>())
        return;
    const QString text = core::formatMask(m_mask, v.toDouble());
    const QSignalBlocker block(this);
    setCurrentIndex(findText(text));
    if (isEditable())
        setEditText(text);
}

// ---------------------------------------------------------------- window

TForm1::TForm1(data::DatabasePtr db, bool isAdmin, QWidget *parent)
    : RecordWindow(parent), m_db(std::move(db)), m_isAdmin(isAdmin)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("RECIBO"));
    resize(1000, 640);
    setEscapeMovesBack(true);

    auto cursor = [this](const QString &table, const QString &name, const QString &index) {
        auto *t = new Table(m_db, table, this);
        t->setObjectName(name);
        if (!index.isEmpty())
            t->setIndexName(index);
        t->open();
        closeWithWindow(t);
        return t;
    };
    m_recibo = cursor(QStringLiteral("cadastro.db"), QStringLiteral("Trecibo"), QString());
    m_np = cursor(QStringLiteral("BD_NP.db"), QStringLiteral("T_NP"), QString());
    m_cliente = cursor(QStringLiteral("tbCliente.DB"), QStringLiteral("Tcliente"), QStringLiteral("bycodigo"));
    m_listaClientes = cursor(QStringLiteral("tbCliente.DB"), QStringLiteral("ListaClientes"), QStringLiteral("byNome"));
    m_emitentes = cursor(QStringLiteral("empresa.DB"), QStringLiteral("Tb_emitente"), QStringLiteral("ByEmpresa"));
    m_logo = cursor(QStringLiteral("logo.db"), QStringLiteral("Dados_Imagen"), QString());
    m_recibo->last();
    m_np->last();
    setMainTable(m_recibo);
    connect(m_np, &Dataset::stateChanged, this, [this] { updateControls(); });

    auto *root = new QVBoxLayout(this);
    m_paginas = new QTabWidget(this);
    m_paginas->setObjectName(QStringLiteral("PageControl1"));
    m_paginas->addTab(buildReciboPage(), QStringLiteral("Emitir Recibo"));
    m_paginas->addTab(buildNotaPage(), s("Emitir Nota Promissória "));
    root->addWidget(m_paginas);
    updateControls();
}

void TForm1::setPagina(Pagina p)
{
    m_paginas->setCurrentIndex(int(p));
}

bool TForm1::editando(const Table *t) const
{
    return t->state() == Dataset::State::Edit || t->state() == Dataset::State::Insert;
}

void TForm1::updateControls()
{
    RecordWindow::updateControls();
    if (!m_gravar)
        return;
    // Saving and cancelling follow each page's own pending change.
    m_gravar->setEnabled(editando(m_recibo));
    m_cancelar->setEnabled(editando(m_recibo));
    m_gravarNP->setEnabled(editando(m_np));
    m_cancelarNP->setEnabled(editando(m_np));
}

core::DbEdit *TForm1::caixa(QWidget *parent, Table *t, const QString &name, const QString &field, CharCase cc)
{
    auto *e = new core::DbEdit(parent);
    e->setObjectName(name);
    e->setCharCase(cc);
    e->setDataSource(t, field);
    return e;
}

core::DbEdit *TForm1::caixaNumero(QWidget *parent, Table *t, const QString &name)
{
    core::DbEdit *e = caixa(parent, t, name, QStringLiteral("Codigo"));
    e->setDisplayMask(QStringLiteral("000000"));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

QPushButton *TForm1::botao(QHBoxLayout *bar, const QString &name, const QString &text, void (TForm1::*slot)())
{
    QPushButton *b = makeButton(name, text, bar->parentWidget());
    connect(b, &QPushButton::clicked, this, slot);
    bar->addWidget(b);
    return b;
}

QWidget *TForm1::buildReciboPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabRecibo"));
    auto *lay = new QHBoxLayout(page);
    auto *left = new QVBoxLayout;
    lay->addLayout(left, 3);

    auto *form = new QGridLayout;
    left->addLayout(form);
    auto edit = [&](const QString &name, const QString &field, CharCase cc = CharCase::Normal) {
        return caixa(page, m_recibo, name, field, cc);
    };
    auto put = [&](QWidget *w, const QString &caption, int r, int c, int span = 1) {
        auto *label = new QLabel(caption, page);
        label->setBuddy(w);
        form->addWidget(label, r, c);
        form->addWidget(w, r, c + 1, 1, span);
    };

    auto *codigo = caixaNumero(page, m_recibo, QStringLiteral("DBEditCodigo"));
    put(codigo, s("RECIBO Nº"), 0, 0);
    auto *codigoCliente = edit(QStringLiteral("DBEditCodigoCliente"), QStringLiteral("Codigo2"));
    m_codigoCliente = codigoCliente;
    connect(codigoCliente, &QLineEdit::returnPressed, this, [this] { guarded([this] { codigoClienteEnter(); }); });
    put(codigoCliente, QStringLiteral("Codigo Cliente"), 0, 2);

    auto *recebi = new PickList(page);
    recebi->setObjectName(QStringLiteral("cbRecebi"));
    recebi->lineEdit()->setMaxLength(255);
    recebi->setDataSource(m_recibo, QStringLiteral("Reci"));
    recebi->setFill([this] { return nomesClientes(); });
    connect(recebi, &PickList::chosen, this, [this](const QString &n) { guarded([&] { recebiChosen(n); }); });
    put(recebi, QStringLiteral("Recebi(emos)"), 1, 0, 3);

    put(edit(QStringLiteral("DBEditCpfPagador"), QStringLiteral("Cpfpagador")), QStringLiteral("CPF/CNPJ"), 2, 0);
    put(edit(QStringLiteral("DBEditEnd"), QStringLiteral("End"), CharCase::Upper), s("Endereço"), 2, 2);

    m_valor = edit(QStringLiteral("DBEditValor"), QStringLiteral("Valor2"));
    m_valor->setToolTip(QStringLiteral("Ex: Para 1.555,23 Coloque 1555,23 sem o ponto!!!!"));
    m_valor->installEventFilter(this);
    put(m_valor, QStringLiteral("Valor do Recibo"), 3, 0);
    // Enter in the payer's name goes on to the value (the rest came with the name).
    core::EnterMovesFocus::keepEnter(recebi);
    connect(recebi->lineEdit(), &QLineEdit::returnPressed, m_valor, [this] { m_valor->setFocus(); });
    auto *importancia = edit(QStringLiteral("DBEditImportancia"), QStringLiteral("Importancia"));
    importancia->setFocusPolicy(Qt::ClickFocus);
    put(importancia, s("A importância de:"), 3, 2);
    m_referente = edit(QStringLiteral("DBEditReferente"), QStringLiteral("Referente"), CharCase::Upper);
    put(m_referente, QStringLiteral("Referente"), 4, 0, 3);
    put(edit(QStringLiteral("DBEditCidade"), QStringLiteral("Cidade"), CharCase::Upper), QStringLiteral("Cidade "), 5, 0);
    auto *ufDia = new QHBoxLayout;
    auto *uf = edit(QStringLiteral("DBEditUF"), QStringLiteral("UF"), CharCase::Upper);
    uf->setMaxLength(2);
    uf->setMaximumWidth(50);
    ufDia->addWidget(new QLabel(QStringLiteral("UF"), page));
    ufDia->addWidget(uf);
    ufDia->addWidget(new QLabel(QStringLiteral("Data "), page));
    ufDia->addWidget(edit(QStringLiteral("DBEditDiaMes"), QStringLiteral("Dia mes")), 1);
    form->addLayout(ufDia, 5, 2, 1, 2);

    // Issuer: typed, or chosen from the companies.
    auto *emitenteBox = new QGroupBox(QStringLiteral("Dados Emitente"), page);
    emitenteBox->setObjectName(QStringLiteral("GroupEmitente"));
    auto *eg = new QGridLayout(emitenteBox);
    auto *digitar = new QRadioButton(QStringLiteral("Digitar Emitente"), emitenteBox);
    digitar->setObjectName(QStringLiteral("rbDigitarEmitente"));
    digitar->setToolTip(QStringLiteral("Selecione para Digitar Manualmente!"));
    auto *buscar = new QRadioButton(QStringLiteral("Buscar Emitente"), emitenteBox);
    buscar->setObjectName(QStringLiteral("rbBuscarEmitente"));
    buscar->setToolTip(QStringLiteral("Selecione para buscar emitente cadastrados!"));
    buscar->setChecked(true);
    eg->addWidget(digitar, 0, 0);
    eg->addWidget(buscar, 0, 1);
    auto *emitenteEdits = new QHBoxLayout;
    eg->addWidget(new QLabel(QStringLiteral("Emitente"), emitenteBox), 1, 0);
    eg->addLayout(emitenteEdits, 1, 1, 1, 3);
    m_emitenteDigitado = caixa(emitenteBox, m_recibo, QStringLiteral("DBEditEmitente"), QStringLiteral("Emitente"),
                               CharCase::Upper);
    m_emitenteDigitado->hide();
    m_emitenteLista = new PickList(emitenteBox);
    m_emitenteLista->setObjectName(QStringLiteral("cbEmitente"));
    m_emitenteLista->setDataSource(m_recibo, QStringLiteral("Emitente"));
    m_emitenteLista->setFill([this] { return nomesEmpresas(); });
    connect(m_emitenteLista, &PickList::chosen, this,
            [this](const QString &n) { guarded([&] { emitenteChosen(n); }); });
    emitenteEdits->addWidget(m_emitenteDigitado);
    emitenteEdits->addWidget(m_emitenteLista);
    connect(digitar, &QRadioButton::toggled, this, [this](bool on) {
        m_emitenteDigitado->setVisible(on);
        m_emitenteLista->setVisible(!on);
    });
    auto emitenteEdit = [&](const QString &name, const QString &field, CharCase cc = CharCase::Normal) {
        return caixa(emitenteBox, m_recibo, name, field, cc);
    };
    eg->addWidget(new QLabel(s("Endereço"), emitenteBox), 2, 0);
    eg->addWidget(emitenteEdit(QStringLiteral("DBEditEnd2"), QStringLiteral("End2"), CharCase::Upper), 2, 1, 1, 3);
    eg->addWidget(new QLabel(QStringLiteral("CPF/CNPJ"), emitenteBox), 3, 0);
    eg->addWidget(emitenteEdit(QStringLiteral("DBEditCpf"), QStringLiteral("Cpf")), 3, 1);
    eg->addWidget(new QLabel(QStringLiteral("RG/IE"), emitenteBox), 3, 2);
    eg->addWidget(emitenteEdit(QStringLiteral("DBEditRgEmitente"), QStringLiteral("Rgemitente")), 3, 3);
    form->addWidget(emitenteBox, 6, 0, 1, 4);
    put(edit(QStringLiteral("DBEditObs"), QStringLiteral("Obs_recibo")), s("Obs: (rodapé)"), 7, 0, 3);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);

    // Buttons, the printing choice and the copies panel.
    auto *bar = new QHBoxLayout;
    auto button = [&](const QString &name, const QString &text, void (TForm1::*slot)()) {
        return botao(bar, name, text, slot);
    };
    button(QStringLiteral("btnNovo"), QStringLiteral("&Novo"), &TForm1::btnNovoClick);
    m_gravar = button(QStringLiteral("btnGravar"), QStringLiteral("&Gravar"), &TForm1::btnGravarClick);
    m_cancelar = button(QStringLiteral("btnCancelar"), QStringLiteral("&Cancelar"), &TForm1::btnCancelarClick);
    button(QStringLiteral("btnApagar"), QStringLiteral("&Apagar"), &TForm1::btnApagarClick);
    button(QStringLiteral("btnImprimir"), QStringLiteral("&Imprimir..."), &TForm1::btnImprimirClick);
    bar->addStretch();
    left->addLayout(bar);

    auto *printRow = new QHBoxLayout;
    auto *versao = new QGroupBox(s("Imprimir Versão de Recibo"), page);
    versao->setObjectName(QStringLiteral("GroupVersao"));
    versao->setToolTip(QStringLiteral("Escolha o modelo do recibo!"));
    auto *vl = new QHBoxLayout(versao);
    m_personalizada = new QRadioButton(QStringLiteral("Pesonalizada"), versao);
    m_personalizada->setObjectName(QStringLiteral("rbPersonalizada"));
    m_padrao = new QRadioButton(s("Padrão"), versao);
    m_padrao->setObjectName(QStringLiteral("rbPadrao"));
    vl->addWidget(m_personalizada);
    vl->addWidget(m_padrao);
    printRow->addWidget(versao);

    m_vias = new QFrame(page);
    m_vias->setObjectName(QStringLiteral("PanelVias"));
    m_vias->setFrameShape(QFrame::StyledPanel);
    auto *pl = new QHBoxLayout(m_vias);
    auto *qtd = new QGroupBox(QStringLiteral("Selecione Qtd :"), m_vias);
    auto *ql = new QHBoxLayout(qtd);
    m_umaVia = new QRadioButton(QStringLiteral("1 (Uma) via"), qtd);
    m_umaVia->setObjectName(QStringLiteral("rbUmaVia"));
    m_umaVia->setChecked(true);
    m_duasVias = new QRadioButton(QStringLiteral("2 (Duas) vias"), qtd);
    m_duasVias->setObjectName(QStringLiteral("rbDuasVias"));
    ql->addWidget(m_umaVia);
    ql->addWidget(m_duasVias);
    pl->addWidget(qtd);
    m_imprimir1 = makeButton(QStringLiteral("btnImprimir1Via"), QStringLiteral("Imprimir / 1 via"), m_vias);
    m_imprimir2 = makeButton(QStringLiteral("btnImprimir2Vias"), QStringLiteral("Imprimir / 2 vias"), m_vias);
    m_imprimir2->hide();
    pl->addWidget(m_imprimir1);
    pl->addWidget(m_imprimir2);
    connect(m_umaVia, &QRadioButton::toggled, this, [this](bool on) {
        m_imprimir1->setVisible(on);
        m_imprimir2->setVisible(!on);
    });
    connect(m_imprimir1, &QPushButton::clicked, this, [this] { imprimirPadrao(1); });
    connect(m_imprimir2, &QPushButton::clicked, this, [this] { imprimirPadrao(2); });
    m_vias->hide();
    printRow->addWidget(m_vias);
    printRow->addStretch();
    left->addLayout(printRow);
    left->addStretch();

    // The receipts on the right.
    auto *right = new QVBoxLayout;
    lay->addLayout(right, 2);
    right->addWidget(new QLabel(QStringLiteral("Localizar Cliente"), page));
    right->addWidget(makeSearchBox(QStringLiteral("edtLocalizarCliente"),
                                   [this](const QString &t) { findNearest(QStringLiteral("bynome"), t); }, 255, page));
    right->addWidget(core::makeGrid(page, m_recibo, QStringLiteral("DBGridRecibos"),
                                    {GridColumn::make(QStringLiteral("Codigo"), s("Nº"), 8, QStringLiteral("000000")),
                                     GridColumn::make(QStringLiteral("Reci"), QStringLiteral("Recebemos"))}),
                     1);
    right->addWidget(makeNavigator(core::Navigator::Moves, QStringLiteral("DBNavigatorRecibos"), page));
    return page;
}

QWidget *TForm1::buildNotaPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabNota"));
    auto *lay = new QHBoxLayout(page);
    auto *left = new QVBoxLayout;
    lay->addLayout(left, 3);
    auto *form = new QGridLayout;
    left->addLayout(form);
    auto edit = [&](const QString &name, const QString &field, CharCase cc = CharCase::Normal) {
        return caixa(page, m_np, name, field, cc);
    };
    // Captions above their boxes: some of them are long sentences.
    auto put = [&](QWidget *w, const QString &caption, int r, int c, int span = 1) {
        auto *label = new QLabel(caption, page);
        label->setBuddy(w);
        form->addWidget(label, 2 * r, c, 1, span);
        form->addWidget(w, 2 * r + 1, c, 1, span);
    };

    auto *codigo = caixaNumero(page, m_np, QStringLiteral("DBEditCodigoNP"));
    put(codigo, s("Nota Promissória Nº"), 0, 0);

    auto *pagarei = new PickList(page);
    pagarei->setObjectName(QStringLiteral("cbPagarei"));
    pagarei->lineEdit()->setMaxLength(255);
    pagarei->setDataSource(m_np, QStringLiteral("Pagarei"));
    pagarei->setFill([this] { return nomesEmpresas(); });
    connect(pagarei, &PickList::chosen, this, [this](const QString &n) { guarded([&] { pagareiChosen(n); }); });
    put(pagarei, s("Pagarei por esta única via de NOTA PROMISSÓRIA a "), 1, 0, 3);
    auto *cpf = edit(QStringLiteral("DBEditCpfNP"), QStringLiteral("Cpf"), CharCase::Upper);
    put(cpf, QStringLiteral("CPF / CNPJ"), 1, 3);

    m_valorNP = edit(QStringLiteral("DBEditValorNP"), QStringLiteral("Valor"));
    m_valorNP->setToolTip(QStringLiteral("Valores"));
    m_valorNP->installEventFilter(this);
    put(m_valorNP, QStringLiteral("Valor da nota"), 0, 1);
    core::EnterMovesFocus::keepEnter(pagarei);
    connect(pagarei->lineEdit(), &QLineEdit::returnPressed, m_valorNP, [this] { m_valorNP->setFocus(); });
    auto *ou = edit(QStringLiteral("DBEditOu"), QStringLiteral("Ou"));
    ou->setFocusPolicy(Qt::ClickFocus);
    put(ou, QStringLiteral("Ou a sua Ordem a quantia de :"), 0, 2, 2);

    put(edit(QStringLiteral("DBEditAos"), QStringLiteral("Aos"), CharCase::Upper), QStringLiteral("Ao (s)"), 2, 0, 2);
    auto *venc = new QGroupBox(s("Vencimento Dia / Mês / ano"), page);
    venc->setObjectName(QStringLiteral("GroupVencimento"));
    auto *vl = new QHBoxLayout(venc);
    auto *dia = new NumberList(QStringLiteral("00"), venc);
    dia->setObjectName(QStringLiteral("cbDia"));
    QStringList dias;
    for (int d = 1; d <= 31; ++d)
        dias << QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0'));
    dia->setListOnly(true);
    dia->setItems(dias);
    dia->setDataSource(m_np, QStringLiteral("Dia"));
    auto *mes = new core::DbComboBox(venc, true);
    mes->setObjectName(QStringLiteral("cbMes"));
    QStringList meses;
    for (int m = 1; m <= 12; ++m)
        meses << core::monthName(m);
    mes->setItems(meses);
    mes->setDataSource(m_np, QStringLiteral("Mes"));
    auto *ano = new NumberList(QStringLiteral("0"), venc);
    ano->setObjectName(QStringLiteral("cbAno"));
    QStringList anos;
    for (int a = 2009; a <= 2040; ++a)
        anos << QString::number(a);
    ano->setItems(anos);
    ano->lineEdit()->setMaxLength(4);
    ano->setDataSource(m_np, QStringLiteral("Ano"));
    dia->setMinimumContentsLength(3);
    ano->setMinimumContentsLength(5);
    vl->addWidget(dia);
    vl->addWidget(mes, 1);
    vl->addWidget(ano);
    form->addWidget(venc, 4, 2, 2, 2);

    put(edit(QStringLiteral("DBEditCidadeNP"), QStringLiteral("Cidade"), CharCase::Upper), QStringLiteral("Cidade "), 3, 0);
    auto *ufData = new QHBoxLayout;
    auto *uf = edit(QStringLiteral("DBEditUfNP"), QStringLiteral("Uf"), CharCase::Upper);
    uf->setMaxLength(2);
    uf->setMaximumWidth(50);
    ufData->addWidget(new QLabel(QStringLiteral("UF"), page));
    ufData->addWidget(uf);
    ufData->addWidget(new QLabel(QStringLiteral("Data "), page));
    ufData->addWidget(edit(QStringLiteral("DBEditDataExtenso"), QStringLiteral("Data extenso")), 1);
    form->addLayout(ufData, 7, 1, 1, 3);

    auto *cliente = new PickList(page);
    cliente->setObjectName(QStringLiteral("cbEmitenteNP"));
    cliente->lineEdit()->setMaxLength(200);
    cliente->setDataSource(m_np, QStringLiteral("Emitente"));
    cliente->setFill([this] { return nomesClientes(); });
    connect(cliente, &PickList::chosen, this, [this](const QString &n) { guarded([&] { clienteNPChosen(n); }); });
    put(cliente, QStringLiteral("Dados do Cliente"), 4, 0, 4);
    put(edit(QStringLiteral("DBEditCpfEmitente"), QStringLiteral("Cpf_emitente")), QStringLiteral("CPF/CNPJ"), 5, 0);
    put(edit(QStringLiteral("DBEditRgEmitenteNP"), QStringLiteral("Rg_emitente")), QStringLiteral("RG/IE"), 5, 1);
    put(edit(QStringLiteral("DBEditEndEmitente"), QStringLiteral("End_emitente"), CharCase::Upper), s("Endereço"), 5, 2, 2);
    auto *msg = new core::DbMemo(page);
    msg->setObjectName(QStringLiteral("DBMemoMsg"));
    msg->setDataSource(m_np, QStringLiteral("Msg"));
    msg->setMaximumHeight(60);
    put(msg, s("Obs: (rodapé)"), 6, 0, 4);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);

    auto *bar = new QHBoxLayout;
    auto button = [&](const QString &name, const QString &text, void (TForm1::*slot)()) {
        return botao(bar, name, text, slot);
    };
    button(QStringLiteral("btnNovoNP"), QStringLiteral("&Novo"), &TForm1::btnNovoNPClick);
    m_gravarNP = button(QStringLiteral("btnGravarNP"), QStringLiteral("&Gravar"), &TForm1::btnGravarNPClick);
    m_cancelarNP = button(QStringLiteral("btnCancelarNP"), QStringLiteral("&Cancelar"), &TForm1::btnCancelarNPClick);
    button(QStringLiteral("btnApagarNP"), QStringLiteral("&Apagar"), &TForm1::btnApagarNPClick);
    button(QStringLiteral("btnImprimirNP"), QStringLiteral("&Imprimir..."), &TForm1::btnImprimirNPClick);
    bar->addStretch();
    left->addLayout(bar);
    left->addStretch();

    auto *right = new QVBoxLayout;
    lay->addLayout(right, 2);
    right->addWidget(new QLabel(QStringLiteral("Localizar Emitente"), page));
    right->addWidget(makeSearchBox(QStringLiteral("edtLocalizarEmitente"),
                                   [this](const QString &t) {
                                       m_np->setIndexFieldNames(QStringLiteral("Emitente"));
                                       m_np->findNearest({t});
                                   },
                                   200, page));
    right->addWidget(core::makeGrid(page, m_np, QStringLiteral("DBGridNotas"),
                                    {GridColumn::make(QStringLiteral("Codigo"), s("Nº"), 8, QStringLiteral("000000")),
                                     GridColumn::make(QStringLiteral("Emitente"), QStringLiteral("Emitente"))}),
                     1);
    auto *nav = new core::Navigator(m_np, core::Navigator::Moves, page);
    nav->setObjectName(QStringLiteral("DBNavigatorNotas"));
    nav->setBeforeMove([this] { return commitPending(); });
    right->addWidget(nav);
    return page;
}

// ---------------------------------------------------------------- pending work

bool TForm1::hasPendingChanges() const
{
    return editando(m_recibo) || editando(m_np);
}

bool TForm1::gravar(Table *t)
{
    // A new document's number is drawn by the cursor inside the post's transaction.
    return guarded([t] {
        if (t->state() == Dataset::State::Insert || t->state() == Dataset::State::Edit)
            t->post();
    });
}

void TForm1::cancelar(Table *t)
{
    guarded([t] {
        if (t->state() == Dataset::State::Edit || t->state() == Dataset::State::Insert)
            t->cancel();
    });
}

bool TForm1::saveRecord()
{
    return gravar(m_recibo) && gravar(m_np);
}

void TForm1::discardRecord()
{
    cancelar(m_recibo);
    cancelar(m_np);
}

// ---------------------------------------------------------------- lists

QStringList TForm1::nomesClientes()
{
    QStringList out;
    guarded([&] {
        m_listaClientes->refresh();
        const QSignalBlocker block(m_listaClientes);
        for (m_listaClientes->first(); !m_listaClientes->eof(); m_listaClientes->next())
            out << m_listaClientes->asString(QStringLiteral("Nome"));
    });
    return out;
}

QStringList TForm1::nomesEmpresas()
{
    QStringList out;
    guarded([&] {
        m_emitentes->refresh();
        const QSignalBlocker block(m_emitentes);
        for (m_emitentes->first(); !m_emitentes->eof(); m_emitentes->next())
            out << m_emitentes->asString(QStringLiteral("Empresa"));
    });
    return out;
}

namespace {
void editar(Table *t)
{
    if (t->state() != Dataset::State::Edit && t->state() != Dataset::State::Insert)
        t->edit();
}
} // namespace

void TForm1::codigoClienteEnter()
{
    const auto codigo = core::parseNumber(m_codigoCliente->text());
    if (!codigo)
        return;
    m_cliente->refresh();
    if (!m_cliente->findKey({qint64(*codigo)})) {
        // An unknown payer: the operator may register the customer now.
        registries::openClientes(this, m_db, m_isAdmin);
        return;
    }
    editar(m_recibo);
    m_recibo->setValue(QStringLiteral("Reci"), m_cliente->value(QStringLiteral("Nome")));
    m_recibo->setValue(QStringLiteral("End"), m_cliente->value(QStringLiteral("Endereco")));
    m_recibo->setValue(QStringLiteral("Cpfpagador"), m_cliente->value(QStringLiteral("CIC")));
}

void TForm1::recebiChosen(const QString &nome)
{
    m_listaClientes->refresh();
    if (!m_listaClientes->findKey({nome}))
        return;
    editar(m_recibo);
    m_recibo->setValue(QStringLiteral("Reci"), m_listaClientes->value(QStringLiteral("Nome")));
    m_recibo->setValue(QStringLiteral("End"), m_listaClientes->value(QStringLiteral("Endereco")));
    m_recibo->setValue(QStringLiteral("Cpfpagador"), m_listaClientes->value(QStringLiteral("CIC")));
    m_recibo->setValue(QStringLiteral("Codigo2"), m_listaClientes->value(QStringLiteral("Codigo")));
    m_recibo->setValue(QStringLiteral("Cidade"), m_listaClientes->value(QStringLiteral("Cidade")));
    m_recibo->setValue(QStringLiteral("UF"), m_listaClientes->value(QStringLiteral("UF")));
    m_valor->setFocus();
}

void TForm1::emitenteChosen(const QString &empresa)
{
    m_emitentes->refresh();
    if (!m_emitentes->findKey({empresa}))
        return;
    editar(m_recibo);
    m_recibo->setValue(QStringLiteral("Emitente"), m_emitentes->value(QStringLiteral("Empresa")));
    m_recibo->setValue(QStringLiteral("Cpf"), m_emitentes->value(QStringLiteral("Cnpj")));
    m_recibo->setValue(QStringLiteral("Rgemitente"), m_emitentes->value(QStringLiteral("IE")));
    m_recibo->setValue(QStringLiteral("End2"), m_emitentes->value(QStringLiteral("End")));
}

void TForm1::pagareiChosen(const QString &empresa)
{
    m_emitentes->refresh();
    if (!m_emitentes->findKey({empresa}))
        return;
    editar(m_np);
    m_np->setValue(QStringLiteral("Cpf"), m_emitentes->value(QStringLiteral("Cnpj")));
    m_valorNP->setFocus();
}

void TForm1::clienteNPChosen(const QString &nome)
{
    m_listaClientes->refresh();
    if (!m_listaClientes->findKey({nome}))
        return;
    editar(m_np);
    m_np->setValue(QStringLiteral("End_emitente"), m_listaClientes->value(QStringLiteral("Endereco")));
    m_np->setValue(QStringLiteral("Cpf_emitente"), m_listaClientes->value(QStringLiteral("CIC")));
    m_np->setValue(QStringLiteral("Rg_emitente"), m_listaClientes->value(QStringLiteral("RG")));
    m_np->setValue(QStringLiteral("Cidade"), m_listaClientes->value(QStringLiteral("Cidade")));
    m_np->setValue(QStringLiteral("Uf"), m_listaClientes->value(QStringLiteral("UF")));
}

// ---------------------------------------------------------------- the value boxes

bool TForm1::eventFilter(QObject *watched, QEvent *e)
{
    if ((watched == m_valor || watched == m_valorNP) && e->type() == QEvent::FocusOut) {
        // A message box of our own or a menu taking the focus is no leaving.
        const auto reason = static_cast<QFocusEvent *>(e)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && isVisible()) {
            const bool recibo = watched == m_valor;
            QTimer::singleShot(0, this, [this, recibo, reason] {
                if (recibo) {
                    valorReciboExit();
                    // Enter and Tab go on to the reference; a click elsewhere stays there.
                    if (reason != Qt::MouseFocusReason && !m_valor->hasFocus() && editando(m_recibo))
                        m_referente->setFocus();
                } else {
                    valorNotaExit();
                }
            });
        }
    }
    return RecordWindow::eventFilter(watched, e);
}

bool TForm1::aplicarValor(Table *t, QLineEdit *box, const QString &campoValor, const QString &campoExtenso,
                          const QString &campoData)
{
    // Passing through a stored document changes nothing.
    if (m_noValor || !t->isOpen() || !editando(t))
        return false;
    m_noValor = true;
    struct Reset { bool &b; ~Reset() { b = false; } } reset{m_noValor};
    const QString texto = t->asString(campoValor).trimmed();
    QString erro;
    if (texto.isEmpty())
        erro = QStringLiteral("Valor Não pode ser nulo!");
    const std::optional<double> valor = erro.isEmpty() ? lerValor(texto, &erro) : std::nullopt;
    if (!valor) {
        core::dialogs().error(this, kErro, erro);
        box->setFocus();
        return false;
    }
    bool ok = guarded([&] {
        const QString extenso = Extenso(*valor);
        t->setValue(campoExtenso, extenso);
        t->setValue(campoValor, formatarValor(*valor));
        t->setValue(campoData, dataPorExtenso(QDate::currentDate()));
    });
    return ok;
}

void TForm1::valorReciboExit()
{
    aplicarValor(m_recibo, m_valor, QStringLiteral("Valor2"), QStringLiteral("Importancia"), QStringLiteral("Dia mes"));
}

void TForm1::valorNotaExit()
{
    aplicarValor(m_np, m_valorNP, QStringLiteral("Valor"), QStringLiteral("Ou"), QStringLiteral("Data extenso"));
}

// ---------------------------------------------------------------- receipt buttons

bool TForm1::novo(Table *t)
{
    // A pending document is stored first; the number shown now is drawn
    // again when the new one is saved.
    if (editando(t) && !gravar(t))
        return false;
    // The list of documents is in number order; the number shown now is
    // provisional.
    return guarded([t] {
        t->setIndexName(QStringLiteral("byCodigo"));
        t->last();
        t->append();
    });
}

bool TForm1::apagar(Table *t, const QString &pergunta)
{
    if (t->isEmpty() && !editando(t))
        return false;
    if (core::dialogs().question(this, s("Exclusão"), pergunta) != core::Answer::Yes)
        return false;
    return guarded([t] {
        if (t->state() == Dataset::State::Insert)
            t->cancel();
        else
            t->remove();
    });
}

void TForm1::btnNovoClick()
{
    novo(m_recibo);
    m_codigoCliente->setFocus();
}

void TForm1::btnGravarClick()
{
    gravar(m_recibo);
}

void TForm1::btnCancelarClick()
{
    cancelar(m_recibo);
}

void TForm1::btnApagarClick()
{
    apagar(m_recibo, QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"));
    m_codigoCliente->setFocus();
}

void TForm1::btnImprimirClick()
{
    if (m_personalizada->isChecked()) {
        QString erro;
        auto p = prepararRecibo(textosRecibo(), ModeloRecibo::Personalizado, QString(), &erro);
        mostrar(std::move(p), erro);
        return;
    }
    // "Padrão", or no choice yet: the copies panel, shown and hidden in turn.
    m_vias->setVisible(!m_vias->isVisibleTo(this));
}

void TForm1::imprimirPadrao(int vias)
{
    m_vias->hide();
    QString erro;
    std::optional<printing::PreparedReport> p;
    runBusy([&] {
        p = prepararRecibo(textosRecibo(), vias == 2 ? ModeloRecibo::Padrao2Vias : ModeloRecibo::Padrao1Via,
                           caminhoLogo(), &erro);
    });
    mostrar(std::move(p), erro);
}

QString TForm1::caminhoLogo()
{
    m_logo->refresh();
    m_logo->first();
    return m_logo->isEmpty() ? QString() : m_logo->asString(QStringLiteral("LogoCaminho")).trimmed();
}

void TForm1::mostrar(std::optional<printing::PreparedReport> pages, const QString &erro)
{
    if (!pages) {
        if (!erro.isEmpty())
            core::dialogs().error(this, kErro, erro);
        return;
    }
    printing::showPreview(*pages, this);
}

ReciboTextos TForm1::textosRecibo() const
{
    const Table *t = m_recibo;
    auto f = [t](const char *field) { return t->asString(QString::fromUtf8(field)); };
    ReciboTextos r;
    r.codigo = t->isNull(QStringLiteral("Codigo")) ? QString() : numeroDocumento(t->asFloat(QStringLiteral("Codigo")));
    r.valor = f("Valor2");
    r.recebiDe = f("Reci");
    r.cpfPagador = f("Cpfpagador");
    r.endereco = f("End");
    r.importancia = f("Importancia");
    r.referente = f("Referente");
    r.cidade = f("Cidade");
    r.uf = f("UF");
    r.diaMes = f("Dia mes");
    r.emitente = f("Emitente");
    r.cpfEmitente = f("Cpf");
    r.rgEmitente = f("Rgemitente");
    r.enderecoEmitente = f("End2");
    r.observacao = f("Obs_recibo");
    return r;
}

// ---------------------------------------------------------------- note buttons

void TForm1::btnNovoNPClick()
{
    novo(m_np);
}

void TForm1::btnGravarNPClick()
{
    gravar(m_np);
}

void TForm1::btnCancelarNPClick()
{
    cancelar(m_np);
}

void TForm1::btnApagarNPClick()
{
    apagar(m_np, QStringLiteral("Deseja realmente apagar essa nota?"));
}

void TForm1::btnImprimirNPClick()
{
    QString erro;
    std::optional<printing::PreparedReport> p;
    runBusy([&] { p = prepararNota(textosNota(), &erro); });
    mostrar(std::move(p), erro);
}

NotaTextos TForm1::textosNota() const
{
    const Table *t = m_np;
    auto f = [t](const char *field) { return t->asString(QString::fromUtf8(field)); };
    auto numero = [t](const char *field, const QString &mask) {
        const QString name = QString::fromUtf8(field);
        return t->isNull(name) ? QString() : core::formatMask(mask, t->asFloat(name));
    };
    NotaTextos n;
    n.codigo = numero("Codigo", QStringLiteral("000000"));
    n.valor = f("Valor");
    n.ou = f("Ou");
    n.pagarei = f("Pagarei");
    n.cpf = f("Cpf");
    n.aos = f("Aos");
    n.dia = numero("Dia", QStringLiteral("00"));
    n.mes = f("Mes");
    n.ano = numero("Ano", QStringLiteral("0"));
    n.cidade = f("Cidade");
    n.uf = f("Uf");
    n.dataExtenso = f("Data extenso");
    n.emitente = f("Emitente");
    n.cpfEmitente = f("Cpf_emitente");
    n.rgEmitente = f("Rg_emitente");
    n.enderecoEmitente = f("End_emitente");
    n.msg = f("Msg");
    return n;
}

} // namespace brelvo::documents
