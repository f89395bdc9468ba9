#include "stock/TFormEntradaMercadorias.h"

#include "core/DialogService.h"
#include "core/Format.h"
#include "stock/StockBalance.h"
#include "core/DataControls.h"
#include "core/Widgets.h"
#include "stock/StockUi.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QTime>
#include <QVBoxLayout>

namespace brelvo::stock {

using data::Dataset;
using data::DbError;
using data::Table;

namespace {

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

QDateEdit *dateEdit(QWidget *parent, const char *name, const QDate &d)
{
    auto *e = new QDateEdit(d, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    e->setCalendarPopup(true);
    return e;
}

QLineEdit *codeEdit(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(13);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]{0,13}")), e));
    return e;
}

QTableWidgetItem *cell(const QString &text, bool right = false)
{
    auto *i = new QTableWidgetItem(text);
    if (right)
        i->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return i;
}

} // namespace

TFormEntradaMercadorias::TFormEntradaMercadorias(data::DatabasePtr db, QWidget *parent)
    : RecordWindow(parent), m_db(std::move(db)), m_balance(std::make_unique<StockBalance>(m_db))
{
    setObjectName(QStringLiteral("TFormEntradaMercadorias"));
    setWindowTitle(QStringLiteral("Entrada de Mercadorias"));
    resize(900, 620);

    m_reposicao = new Table(m_db, QStringLiteral("tbReposicao.DB"), this);
    m_reposicao->setObjectName(QStringLiteral("TbReposicao"));
    m_produtos = new Table(m_db, QStringLiteral("tbProdutos.db"), this);
    m_produtos->setObjectName(QStringLiteral("T_Produtos"));
    m_produtos->setIndexName(QStringLiteral("ByCodigo"));
    setMainTable(m_reposicao);
    closeWithWindow(m_produtos);

    auto *outer = new QVBoxLayout(this);

    auto *nota = new QGroupBox(QStringLiteral("Nota Fiscal"), this);
    nota->setObjectName(QStringLiteral("GroupNota"));
    auto *nl = new QGridLayout(nota);
    m_fornecedor = new QComboBox(nota);
    m_fornecedor->setObjectName(QStringLiteral("CbFornecedor"));
    m_fornecedor->setEditable(true);
    m_fornecedor->setInsertPolicy(QComboBox::NoInsert);
    m_fornecedor->setMinimumWidth(300);
    m_nfiscal = new QLineEdit(nota);
    m_nfiscal->setObjectName(QStringLiteral("EditNFiscal"));
    m_nfiscal->setMaxLength(15);
    m_nfiscal->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,15}")), m_nfiscal));
    m_data = dateEdit(nota, "EditData", QDate::currentDate());
    nl->addWidget(new QLabel(QStringLiteral("Fornecedor"), nota), 0, 0);
    nl->addWidget(m_fornecedor, 1, 0);
    nl->addWidget(new QLabel(s("Nº Nota Fiscal"), nota), 0, 1);
    nl->addWidget(m_nfiscal, 1, 1);
    nl->addWidget(new QLabel(QStringLiteral("Data"), nota), 0, 2);
    nl->addWidget(m_data, 1, 2);
    nl->setColumnStretch(0, 1);
    outer->addWidget(nota);

    auto *item = new QGroupBox(QStringLiteral("Produto"), this);
    item->setObjectName(QStringLiteral("GroupItem"));
    auto *il = new QGridLayout(item);
    m_codigo = codeEdit(item, "EditCodigo");
    auto *procurar = core::pushButton(item, QStringLiteral("BtProcurar"), QStringLiteral("..."));
    procurar->setToolTip(QStringLiteral("Procurar produto"));
    procurar->setMaximumWidth(32);
    procurar->setFocusPolicy(Qt::NoFocus);
    m_descricao = new QLabel(item);
    m_descricao->setObjectName(QStringLiteral("LabDescricao"));
    m_descricao->setMinimumWidth(260);
    m_estoque = new QLabel(item);
    m_estoque->setObjectName(QStringLiteral("LabEstoque"));
    m_qtd = new QLineEdit(item);
    m_qtd->setObjectName(QStringLiteral("EditQtd"));
    m_preco = new QLineEdit(item);
    m_preco->setObjectName(QStringLiteral("EditPrecoCompra"));
    auto *lancar = core::pushButton(item, QStringLiteral("BtLancar"), s("Lançar"));
    lancar->setAutoDefault(true);   // Enter on the button records the line
    il->addWidget(new QLabel(s("Código (digite ou leia)"), item), 0, 0);
    il->addWidget(new QLabel(s("Descrição"), item), 0, 2);
    il->addWidget(new QLabel(QStringLiteral("Qtd"), item), 0, 3);
    il->addWidget(new QLabel(s("Preço Compra"), item), 0, 4);
    il->addWidget(m_codigo, 1, 0);
    il->addWidget(procurar, 1, 1);
    il->addWidget(m_descricao, 1, 2);
    il->addWidget(m_qtd, 1, 3);
    il->addWidget(m_preco, 1, 4);
    il->addWidget(lancar, 1, 5);
    il->addWidget(m_estoque, 2, 2);
    il->setColumnStretch(2, 1);
    outer->addWidget(item);

    auto *lista = new QGroupBox(QStringLiteral("Entradas"), this);
    lista->setObjectName(QStringLiteral("GroupEntradas"));
    auto *ll = new QVBoxLayout(lista);
    auto *filters = new QHBoxLayout;
    const QDate today = QDate::currentDate();
    m_de = dateEdit(lista, "EditDe", QDate(today.year(), today.month(), 1));
    m_ate = dateEdit(lista, "EditAte", today);
    m_filtroCodigo = codeEdit(lista, "EditFiltroCodigo");
    auto *pesquisar = core::pushButton(lista, QStringLiteral("BtPesquisar"), QStringLiteral("Pesquisar"));
    filters->addWidget(new QLabel(QStringLiteral("De"), lista));
    filters->addWidget(m_de);
    filters->addWidget(new QLabel(s("Até"), lista));
    filters->addWidget(m_ate);
    filters->addWidget(new QLabel(QStringLiteral("Produto"), lista));
    filters->addWidget(m_filtroCodigo);
    filters->addWidget(pesquisar);
    filters->addStretch();
    ll->addLayout(filters);
    m_grid = new QTableWidget(0, 7, lista);
    m_grid->setObjectName(QStringLiteral("GridEntradas"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Data"), QStringLiteral("Nota Fiscal"),
                                       QStringLiteral("Fornecedor"), QStringLiteral("Codigo"), s("Descrição"),
                                       QStringLiteral("Qtd"), s("Preço Compra")});
    core::styleGrid(m_grid);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    ll->addWidget(m_grid, 1);
    auto *bottom = new QHBoxLayout;
    m_total = new QLabel(lista);
    m_total->setObjectName(QStringLiteral("LabTotal"));
    auto *excluir = core::pushButton(lista, QStringLiteral("BtExcluirEntrada"), QStringLiteral("Excluir Entrada"));
    bottom->addWidget(m_total, 1);
    bottom->addWidget(excluir);
    ll->addLayout(bottom);
    outer->addWidget(lista, 1);

    auto *bar = new QHBoxLayout;
    auto *sair = core::pushButton(this, QStringLiteral("BtSair"), QStringLiteral("&Sair"));
    bar->addStretch();
    bar->addWidget(sair);
    outer->addLayout(bar);

    connect(m_codigo, &QLineEdit::editingFinished, this, [this] {
        if (!m_codigo->text().trimmed().isEmpty())
            BuscaProduto();
    });
    connect(m_codigo, &QLineEdit::textEdited, this, [this] {
        m_descricao->clear();
        m_estoque->clear();
    });
    connect(procurar, &QPushButton::clicked, this, &TFormEntradaMercadorias::Procurar);
    connect(lancar, &QPushButton::clicked, this, &TFormEntradaMercadorias::Lancar);
    connect(pesquisar, &QPushButton::clicked, this, &TFormEntradaMercadorias::Pesquisar);
    connect(excluir, &QPushButton::clicked, this, &TFormEntradaMercadorias::ExcluirEntrada);
    connect(sair, &QPushButton::clicked, this, &QDialog::reject);

    try {
        m_reposicao->open();
        m_produtos->open();
        Table fornecedores(m_db, QStringLiteral("tbfornecedor.db"));
        fornecedores.setIndexFieldNames(QStringLiteral("Nome"));
        fornecedores.open();
        m_fornecedor->addItem(QString());
        for (fornecedores.first(); !fornecedores.eof(); fornecedores.next()) {
            const QString nome = fornecedores.asString(QStringLiteral("Nome")).trimmed();
            if (!nome.isEmpty() && m_fornecedor->findText(nome, Qt::MatchFixedString) < 0)
                m_fornecedor->addItem(nome);
        }
        fornecedores.close();
    } catch (const DbError &e) {
        showError(e.message());
    }
    Pesquisar();
}

TFormEntradaMercadorias::~TFormEntradaMercadorias() = default;

void TFormEntradaMercadorias::showError(const QString &text)
{
    core::dialogs().error(this, QStringLiteral("Erro"), text);
}

void TFormEntradaMercadorias::message(const QString &text)
{
    core::dialogs().information(this, QStringLiteral("Entrada de Mercadorias"), text);
}

bool TFormEntradaMercadorias::BuscaProduto()
{
    const auto code = StockBalance::parseCode(m_codigo->text());
    m_descricao->clear();
    m_estoque->clear();
    bool found = false;
    try {
        m_produtos->refresh();
        found = code && m_produtos->findKey({double(*code)});
    } catch (const DbError &e) {
        showError(e.message());
        return false;
    }
    if (!found) {
        message(s("Produto não cadastrado!"));
        m_codigo->setFocus();
        m_codigo->selectAll();
        return false;
    }
    m_codigo->setText(codeText(m_produtos->value(QStringLiteral("Codigo"))));
    m_descricao->setText(m_produtos->asString(QStringLiteral("Descricao")));
    m_estoque->setText(QStringLiteral("Estoque atual: ")
                       + core::shortNumber(m_balance->balance(*code)));
    return true;
}

bool TFormEntradaMercadorias::Lancar()
{
    const QString fornecedor = core::upper(m_fornecedor->currentText().trimmed());
    if (fornecedor.isEmpty()) {
        message(QStringLiteral("Informe o fornecedor!"));
        m_fornecedor->setFocus();
        return false;
    }
    if (m_codigo->text().trimmed().isEmpty()) {
        message(s("Informe o código do produto!"));
        m_codigo->setFocus();
        return false;
    }
    if (!BuscaProduto())
        return false;
    if (m_produtos->asString(QStringLiteral("MonitorarEstq")).trimmed() == QLatin1String("N")) {
        message(s("Esse código é de um serviço: serviços não têm estoque!"));
        m_codigo->setFocus();
        return false;
    }
    QString error;
    const auto qtd = core::parseNumber(m_qtd->text(), &error);
    if (!qtd || *qtd <= 0) {
        message(QStringLiteral("Informe uma quantidade maior que zero!"));
        m_qtd->setFocus();
        return false;
    }
    const auto preco = core::parseNumber(m_preco->text(), &error);
    if (!preco || *preco < 0) {
        message(s("Informe o preço de compra!"));
        m_preco->setFocus();
        return false;
    }
    const QVariant code = m_produtos->value(QStringLiteral("Codigo"));
    try {
        m_reposicao->append();
        m_reposicao->setValue(QStringLiteral("Data"), m_data->date());
        m_reposicao->setValue(QStringLiteral("Hora"), QTime::currentTime());
        m_reposicao->setValue(QStringLiteral("Codigo"), code);
        for (const char *f : {"Descricao", "Marca", "Categoria"})
            m_reposicao->setValue(QString::fromLatin1(f), m_produtos->value(QString::fromLatin1(f)));
        m_reposicao->setValue(QStringLiteral("Qtd"), *qtd);
        m_reposicao->setValue(QStringLiteral("PrecoCompra"), *preco);
        const QString nf = m_nfiscal->text().trimmed();
        m_reposicao->setValue(QStringLiteral("NFiscal"), nf.isEmpty() ? QVariant() : QVariant(nf.toDouble()));
        m_reposicao->setValue(QStringLiteral("Finalizada"), QStringLiteral("S"));
        m_reposicao->setValue(QStringLiteral("Fornecedor"), fornecedor);
        m_reposicao->post();
    } catch (const DbError &e) {
        try {
            if (m_reposicao->state() != Dataset::State::Browse)
                m_reposicao->cancel();
        } catch (const DbError &) {
        }
        showError(e.message());
        return false;
    }
    try {
        m_balance->store(qint64(code.toDouble()));
    } catch (const DbError &e) {
        showError(e.message());
    }
    // The new line shows in the list.
    if (m_data->date() < m_de->date())
        m_de->setDate(m_data->date());
    if (m_data->date() > m_ate->date())
        m_ate->setDate(m_data->date());
    m_codigo->clear();
    m_descricao->clear();
    m_estoque->clear();
    m_qtd->clear();
    m_preco->clear();
    Pesquisar();
    m_codigo->setFocus();
    return true;
}

void TFormEntradaMercadorias::Pesquisar()
{
    if (!m_reposicao->isOpen())
        return;
    QString filter = QStringLiteral("Data >= %1 and Data <= %2")
                         .arg(Table::quoted(core::dateText(m_de->date())), Table::quoted(core::dateText(m_ate->date())));
    if (!m_filtroCodigo->text().trimmed().isEmpty()) {
        const auto code = StockBalance::parseCode(m_filtroCodigo->text());
        if (!code) {
            message(s("Código inválido!"));
            return;
        }
        filter += QStringLiteral(" and Codigo = %1").arg(*code);
    }
    m_grid->setRowCount(0);
    double total = 0;
    try {
        m_reposicao->setIndexFieldNames(QStringLiteral("Data;Chave"));
        m_reposicao->setFilter(filter);
        m_reposicao->setFiltered(true);
        m_reposicao->disableControls();
        int row = 0;
        for (m_reposicao->first(); !m_reposicao->eof(); m_reposicao->next(), ++row) {
            m_grid->insertRow(row);
            auto *first = cell(m_reposicao->asString(QStringLiteral("Data")));
            first->setData(Qt::UserRole, m_reposicao->value(QStringLiteral("Chave")));
            m_grid->setItem(row, 0, first);
            const QVariant nf = m_reposicao->value(QStringLiteral("NFiscal"));
            m_grid->setItem(row, 1, cell(nf.isNull() ? QString() : QString::number(qint64(nf.toDouble())), true));
            m_grid->setItem(row, 2, cell(m_reposicao->asString(QStringLiteral("Fornecedor"))));
            m_grid->setItem(row, 3, cell(codeText(m_reposicao->value(QStringLiteral("Codigo"))), true));
            m_grid->setItem(row, 4, cell(m_reposicao->asString(QStringLiteral("Descricao"))));
            const double q = m_reposicao->asFloat(QStringLiteral("Qtd"));
            total += q;
            m_grid->setItem(row, 5, cell(core::shortNumber(q), true));
            m_grid->setItem(row, 6, cell(core::formatMask(QStringLiteral("###,##0.00"),
                                                          m_reposicao->asFloat(QStringLiteral("PrecoCompra"))),
                                         true));
        }
        m_reposicao->enableControls();
    } catch (const DbError &e) {
        m_reposicao->enableControls();
        showError(e.message());
        return;
    }
    m_grid->resizeColumnToContents(0);
    m_grid->resizeColumnToContents(3);
    m_total->setText(QStringLiteral("Linhas: %1    Quantidade total: %2")
                         .arg(m_grid->rowCount())
                         .arg(core::shortNumber(total)));
}

void TFormEntradaMercadorias::ExcluirEntrada()
{
    const int row = m_grid->currentRow();
    if (row < 0 || !m_grid->item(row, 0)) {
        message(QStringLiteral("Selecione a entrada a excluir!"));
        return;
    }
    const QVariant chave = m_grid->item(row, 0)->data(Qt::UserRole);
    if (core::dialogs().question(this, s("Exclusão"), QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    try {
        m_reposicao->setFiltered(false);
        if (!m_reposicao->locate(QStringLiteral("Chave"), {chave})) {
            Pesquisar();
            return;
        }
        const qint64 code = qint64(m_reposicao->asFloat(QStringLiteral("Codigo")));
        m_reposicao->remove();
        m_balance->store(code);
    } catch (const DbError &e) {
        showError(e.message());
    }
    Pesquisar();
}

void TFormEntradaMercadorias::Procurar()
{
    TFPesquisaProduto picker(m_db, this);
    if (core::dialogs().exec(&picker) != QDialog::Accepted || picker.chosenCode().isEmpty())
        return;
    m_codigo->setText(picker.chosenCode());
    if (BuscaProduto())
        m_qtd->setFocus();
}

// ---------------------------------------------------------------------------

TFPesquisaProduto::TFPesquisaProduto(data::DatabasePtr db, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFPesquisaProduto"));
    setWindowTitle(QStringLiteral("Pesquisa de Produtos"));
    resize(620, 420);
    m_produtos = new Table(std::move(db), QStringLiteral("tbProdutos.db"), this);
    m_produtos->setIndexName(QStringLiteral("ByDescricao"));
    core::guarded(this, [&] { m_produtos->open(); });
    auto *l = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("EditPesquisa"));
    core::setTypingCase(m_text, core::CharCase::Upper);
    top->addWidget(new QLabel(s("Descrição:"), this));
    top->addWidget(m_text, 1);
    l->addLayout(top);
    m_grid = core::makeGrid(this, m_produtos, QStringLiteral("GridProdutos"),
                            {core::GridColumn::make(QStringLiteral("Codigo"), QStringLiteral("Codigo"), 15,
                                                    QStringLiteral("0000000000000")),
                             core::GridColumn::make(QStringLiteral("Descricao"), s("Descrição"), 40),
                             core::GridColumn::make(QStringLiteral("Valor"), QStringLiteral("Valor"), 12,
                                                    QStringLiteral("###,##0.00"))});
    l->addWidget(m_grid);
    auto *bar = new QHBoxLayout;
    auto *ok = core::pushButton(this, QStringLiteral("BtOk"), QStringLiteral("Selecionar"));
    auto *cancel = core::pushButton(this, QStringLiteral("BtCancelar"), QStringLiteral("Cancelar"));
    bar->addStretch();
    bar->addWidget(ok);
    bar->addWidget(cancel);
    l->addLayout(bar);
    connect(m_text, &QLineEdit::textChanged, this, &TFPesquisaProduto::search);
    connect(m_grid, &core::DbGrid::rowChosen, this, [this] { choose(); });
    connect(ok, &QPushButton::clicked, this, &TFPesquisaProduto::choose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Enter in the search box moves to the grid; Enter there chooses.
    core::EnterMovesFocus::install(this);
}

TFPesquisaProduto::~TFPesquisaProduto()
{
    const QSignalBlocker quiet(m_produtos);
    core::guarded(nullptr, [&] { m_produtos->close(); });
}

void TFPesquisaProduto::search(const QString &text)
{
    core::guarded(this, [&] {
        m_produtos->findNearest({text});
        if (m_produtos->eof() && !m_produtos->isEmpty())
            m_produtos->last();
    });
}

void TFPesquisaProduto::choose()
{
    if (!m_produtos->isOpen() || m_produtos->isEmpty() || m_produtos->eof())
        return;
    m_chosen = codeText(m_produtos->value(QStringLiteral("Codigo")));
    accept();
}

} // namespace brelvo::stock
