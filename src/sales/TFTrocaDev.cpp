#include "sales/TFTrocaDev.h"

#include "core/DataControls.h"
#include "core/DatasetModel.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "core/Widgets.h"
#include "documents/DocumentPrintouts.h"
#include "documents/Extenso.h"
#include "printing/PrintData.h"
#include "printing/PrintPreview.h"
#include "sales/SalePrintouts.h"
#include "sales/SaleItemsGrid.h"
#include "sales/SaleRules.h"
#include "sales/SaleStore.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QVBoxLayout>

namespace brelvo::sales {

using core::dialogs;
using data::Dataset;

namespace {
QString f(const char *name) { return QString::fromLatin1(name); }
} // namespace

TFTrocaDev::TFTrocaDev(data::DatabasePtr db, QWidget *parent) : RecordWindow(parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("TFTrocaDev"));
    setWindowTitle(QStringLiteral("Troca & Devoluções"));
    resize(900, 640);

    m_vendas = new data::Table(m_db, QStringLiteral("tbVendas.db"), this);
    m_vendas->setObjectName(QStringLiteral("TbVendas"));
    m_items = new data::Table(m_db, QStringLiteral("tbItems.DB"), this);
    m_items->setObjectName(QStringLiteral("TbItems"));
    m_vendas->open();
    m_items->setIndexName(QStringLiteral("ByLink"));
    m_items->setMasterSource(m_vendas, QStringLiteral("Chave"), QStringLiteral("Link"));
    m_items->open();
    setMainTable(m_vendas);
    closeWithWindow(m_items);
    m_sum = std::make_unique<SaleSum>(m_db);
    m_vendas->last();

    auto *lay = new QVBoxLayout(this);
    lay->addWidget(buildSale(), 1);
    lay->addWidget(buildVale());
    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    status->showMessage(QStringLiteral("Ao cancelar uma venda ou excluir um Item faça atualização do estoque!"));
    lay->addWidget(status);
}

TFTrocaDev::~TFTrocaDev() = default;

QWidget *TFTrocaDev::buildSale()
{
    auto *w = new QWidget(this);
    auto *v = new QVBoxLayout(w);

    auto *find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("Digite Codigo da Venda: "), w));
    m_codVenda = new QLineEdit(w);
    m_codVenda->setObjectName(QStringLiteral("edtCodVenda"));
    m_codVenda->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_codVenda));
    core::EnterMovesFocus::keepEnter(m_codVenda);
    find->addWidget(m_codVenda);
    QPushButton *ok = makeButton(QStringLiteral("btnOk"), QStringLiteral("ok"), w);
    find->addWidget(ok);
    find->addStretch(1);
    v->addLayout(find);

    auto shown = [&](QGridLayout *g, int row, int col, const QString &caption, const QString &name, const char *field,
                     const QString &mask) {
        g->addWidget(new QLabel(caption, w), row, col);
        auto *l = new core::DbLabel(w);
        l->setObjectName(name);
        l->setDataSource(m_vendas, f(field));
        if (!mask.isEmpty())
            l->setDisplayMask(mask);
        g->addWidget(l, row, col + 1);
        return l;
    };
    auto *g = new QGridLayout;
    shown(g, 0, 0, QStringLiteral("Nº da Venda "), QStringLiteral("DBTextCodVenda"), "CodVenda", QStringLiteral("0000"));
    shown(g, 0, 2, QStringLiteral("Vendedor: "), QStringLiteral("DBTextCodVendedor"), "CodVendedor",
          QStringLiteral("000"));
    shown(g, 1, 0, QStringLiteral("Data \\ Hora: "), QStringLiteral("DBTextDtVenda"), "DtVenda", QString());
    shown(g, 1, 2, QString(), QStringLiteral("DBTextHrVenda"), "HrVenda", QString());
    const int row = 2;
    g->addWidget(new QLabel(QStringLiteral("Dados Cliente: "), w), row, 0);
    auto *codCli = new core::DbEdit(w);
    codCli->setObjectName(QStringLiteral("DBEditCodCliente"));
    codCli->setDataSource(m_vendas, f("CodCliente"));
    codCli->setReadOnly(true);
    codCli->setMaximumWidth(110);
    auto *cliente = new QHBoxLayout;
    cliente->addWidget(codCli);
    auto *nomeCli = new core::DbEdit(w);
    nomeCli->setObjectName(QStringLiteral("DBEditNomeCliente"));
    nomeCli->setDataSource(m_vendas, f("NomeCliente"));
    nomeCli->setReadOnly(true);
    cliente->addWidget(nomeCli, 1);
    g->addLayout(cliente, row, 1, 1, 3);
    v->addLayout(g);

    m_grid = makeSaleItemsGrid(w, m_items);
    v->addWidget(m_grid, 1);

    auto *totals = new QGridLayout;
    shown(totals, 0, 0, QStringLiteral("Total da Venda: "), QStringLiteral("DBTextVrVenda"), "VrVenda",
          QStringLiteral("######0.00"));
    shown(totals, 0, 2, QStringLiteral("Total Desconto: "), QStringLiteral("DBTextVLDesconto"), "VLDesconto",
          QStringLiteral("#,##0.00"));
    shown(totals, 1, 0, QStringLiteral("Forma De Pagamento: "), QStringLiteral("DBTextForPagamento"), "ForPagamento",
          QString());
    v->addLayout(totals);

    auto *buttons = new QHBoxLayout;
    auto add = [&](const char *name, const QString &text, auto slot) {
        QPushButton *b = makeButton(f(name), text, w);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    add("btnCancelarItem", QStringLiteral("Cancelar Item Selecionado"), &TFTrocaDev::cancelarItem);
    add("btnCancelarCupom", QStringLiteral("&Cancelar Cupom"), &TFTrocaDev::cancelarCupom);
    add("btnSalvar", QStringLiteral("Sal&var"), &TFTrocaDev::salvar);
    add("btnGerarVale", QStringLiteral("&Gerar Vale Compra"), &TFTrocaDev::gerarValeCompra);
    QPushButton *sair = makeButton(QStringLiteral("btnSair"), QStringLiteral("&Sair"), w);
    connect(sair, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(sair);
    v->addLayout(buttons);

    connect(m_codVenda, &QLineEdit::returnPressed, this, &TFTrocaDev::localizar);
    connect(ok, &QPushButton::clicked, this, &TFTrocaDev::localizar);
    return w;
}

QFrame *TFTrocaDev::buildVale()
{
    m_vale = new QFrame(this);
    m_vale->setObjectName(QStringLiteral("PanelVale"));
    m_vale->setFrameShape(QFrame::StyledPanel);
    m_vale->hide();
    auto *g = new QGridLayout(m_vale);
    auto *heading = new QLabel(QStringLiteral("BÔNUS E TROCA E DEVOLUÇÕES"), m_vale);
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPointSize(hf.pointSize() + 3);
    heading->setFont(hf);
    g->addWidget(heading, 0, 0, 1, 4);

    g->addWidget(new QLabel(QStringLiteral("Valor do Vale: "), m_vale), 1, 0);
    m_valorVale = new QLineEdit(m_vale);
    m_valorVale->setObjectName(QStringLiteral("edtValorVale"));
    // Digits and the comma only.
    m_valorVale->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,]{0,12}")), m_valorVale));
    g->addWidget(m_valorVale, 1, 1);
    m_valorValeMoney = new QLabel(m_vale);
    m_valorValeMoney->setObjectName(QStringLiteral("lblValorVale"));
    g->addWidget(m_valorValeMoney, 1, 2, 1, 2);

    g->addWidget(new QLabel(QStringLiteral("Nome do Cliente: "), m_vale), 2, 0);
    m_nomeVale = new QLineEdit(m_vale);
    m_nomeVale->setObjectName(QStringLiteral("edtNomeVale"));
    g->addWidget(m_nomeVale, 2, 1, 1, 3);
    g->addWidget(new QLabel(QStringLiteral("Local e Data: "), m_vale), 3, 0);
    m_localData = new QLineEdit(m_vale);
    m_localData->setObjectName(QStringLiteral("edtLocalData"));
    g->addWidget(m_localData, 3, 1, 1, 3);

    auto *em = new QGroupBox(QStringLiteral("Valor em: "), m_vale);
    em->setObjectName(QStringLiteral("RadioGroupValorEm"));
    auto *eh = new QHBoxLayout(em);
    m_compras = new QRadioButton(QStringLiteral("Compras"), em);
    m_compras->setObjectName(QStringLiteral("rbCompras"));
    m_dinheiro = new QRadioButton(QStringLiteral("Dinheiro"), em);
    m_dinheiro->setObjectName(QStringLiteral("rbDinheiro"));
    auto *group = new QButtonGroup(em);
    group->addButton(m_compras);
    group->addButton(m_dinheiro);
    m_compras->setChecked(true);
    eh->addWidget(m_compras);
    eh->addWidget(m_dinheiro);
    g->addWidget(em, 4, 0, 1, 2);
    m_emWord = new QLabel(QStringLiteral("Compras"), m_vale);
    m_emWord->setObjectName(QStringLiteral("lblEm"));
    g->addWidget(m_emWord, 4, 2);

    g->addWidget(new QLabel(QStringLiteral("Observações: "), m_vale), 5, 0);
    m_obsVale = new QLineEdit(m_vale);
    m_obsVale->setObjectName(QStringLiteral("edtObsVale"));
    g->addWidget(m_obsVale, 5, 1, 1, 3);

    QPushButton *gerarBtn = makeButton(QStringLiteral("btnGerar"), QStringLiteral("Gerar"), m_vale);
    QPushButton *fechar = makeButton(QStringLiteral("btnFechar"), QStringLiteral("Fechar"), m_vale);
    g->addWidget(gerarBtn, 6, 2);
    g->addWidget(fechar, 6, 3);

    connect(m_valorVale, &QLineEdit::textChanged, this, &TFTrocaDev::valeChanged);
    connect(m_compras, &QRadioButton::toggled, this, [this] { m_emWord->setText(m_compras->isChecked()
                                                                                     ? QStringLiteral("Compras")
                                                                                     : QStringLiteral("Dinheiro")); });
    connect(gerarBtn, &QPushButton::clicked, this, &TFTrocaDev::gerar);
    connect(fechar, &QPushButton::clicked, this, &TFTrocaDev::fecharVale);
    return m_vale;
}

void TFTrocaDev::valeChanged()
{
    const auto v = core::parseNumber(m_valorVale->text());
    m_valorValeMoney->setText(v ? core::money(*v) : QString());
}

void TFTrocaDev::localizar()
{
    if (!commitPending())
        return;
    bool found = false;
    if (const auto n = core::parseNumber(m_codVenda->text()))
        guarded([&] { found = m_vendas->locate(f("CodVenda"), {*n}); });
    if (!found)
        dialogs().information(this, QString(), QStringLiteral("Venda não Encontrada !"));
}

bool TFTrocaDev::totalizar()
{
    return guarded([this] {
        if (m_items->state() == Dataset::State::Edit || m_items->state() == Dataset::State::Insert)
            m_items->post();
        if (m_vendas->isEmpty())
            return;
        const double gross = m_sum->itemsTotal(m_vendas->asInteger(f("Chave")));
        m_vendas->edit();
        if (m_vendas->isNull(f("VLDesconto")))
            m_vendas->setValue(f("VLDesconto"), 0.0);
        m_vendas->setValue(f("VrVenda"), gross - m_vendas->asFloat(f("VLDesconto")));
        m_vendas->post();
    });
}

void TFTrocaDev::cancelarItem()
{
    if (m_vendas->isEmpty() || m_items->isEmpty())
        return;
    const double sub = m_items->asFloat(f("Qtd")) * m_items->asFloat(f("ValorUni"));
    dialogs().information(this, QString(),
                          QStringLiteral("Remover Item: ") + m_items->asString(f("Descricao"))
                              + QStringLiteral(" Total de R$ ") + core::formatMask(QStringLiteral("#,##0.00"), sub)
                              + QStringLiteral(" ?"));
    if (dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("Comfirme o cancelamento do item?"))
        != core::Answer::Yes)
        return;
    if (guarded([this] { m_items->remove(); }))
        totalizar();
}

void TFTrocaDev::cancelarCupom()
{
    if (m_vendas->isEmpty())
        return;
    if (dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("Comfirme o cancelamento do cupom?"))
        != core::Answer::Yes)
        return;
    if (editing())
        guarded([this] { m_vendas->cancel(); });
    if (guarded([this] { m_vendas->remove(); }))   // with its items, in one transaction
        totalizar();
}

void TFTrocaDev::salvar()
{
    if (m_vendas->isEmpty())
        return;
    if (guarded([this] {
            m_vendas->edit();
            m_vendas->post();
        }))
        dialogs().information(this, QString(), QStringLiteral("Modificações salva com sucesso!"));
}

void TFTrocaDev::gerarValeCompra()
{
    m_compras->setChecked(true);
    m_nomeVale->setText(m_vendas->asString(f("NomeCliente")));
    const printing::Issuer issuer = printing::readIssuer(m_db);
    m_localData->setText(placeAndDate(issuer.cidade, issuer.uf, QDate::currentDate()));
    m_vale->show();
    m_valorVale->setFocus();
}

void TFTrocaDev::fecharVale()
{
    m_vale->hide();
}

void TFTrocaDev::gerar()
{
    const QString text = m_valorVale->text().trimmed();
    if (text.isEmpty()) {
        dialogs().information(this, QString(), QStringLiteral("Valor não Preenchido!"));
        return;
    }
    QString error;
    const std::optional<double> valor = core::parseNumber(text, &error);
    if (!valor || *valor <= 0) {
        dialogs().information(this, QString(),
                              valor ? QStringLiteral("Valor não Preenchido!")
                                    : error + QStringLiteral(". Digite o valor do vale, por exemplo 150,50."));
        m_valorVale->setFocus();
        return;
    }
    Voucher v;
    v.valor = *valor;
    v.extenso = documents::Extenso(*valor);   // an amount out of range is told there
    if (v.extenso.isEmpty())
        return;
    v.nome = m_nomeVale->text();
    v.localData = m_localData->text();
    v.obs = m_obsVale->text();
    v.em = m_emWord->text();
    guarded([&] {
        v.empresa = printing::readIssuer(m_db).empresa;
        // The workshop's logo; the program's own when none is set.
        v.logoPath = printing::readLogoPath(m_db);
        if (v.logoPath.isEmpty() && QFileInfo::exists(documents::arquivoLogoPadrao()))
            v.logoPath = documents::arquivoLogoPadrao();
    });
    std::optional<printing::PreparedReport> pages = prepareVoucher(v, &error);
    if (!pages) {
        dialogs().error(this, QStringLiteral("Erro"), error);
        return;
    }
    printing::showPreview(*pages, this);
}

} // namespace brelvo::sales
