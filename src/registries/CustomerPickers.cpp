#include "registries/CustomerPickers.h"

#include "core/Format.h"
#include "core/Widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace brelvo::registries {

using data::Dataset;
using data::Table;

CustomerPicker::CustomerPicker(data::DatabasePtr db, Table *document, bool refreshOnActivate, QWidget *parent)
    : QDialog(parent), m_document(document), m_refreshOnActivate(refreshOnActivate)
{
    setWindowTitle(QStringLiteral("Pesquisar Cliente"));
    resize(820, 460);

    m_pesquisa = new Table(db, QStringLiteral("tbCliente.DB"), this);
    m_pesquisa->setObjectName(QStringLiteral("T_pesquisa"));
    m_pesquisa->setIndexName(QStringLiteral("byNome"));
    m_pesquisa->open();
    m_pesquisa->first();

    auto *lay = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Buscar Cliente: "), this));
    m_busca = new QLineEdit(this);
    m_busca->setObjectName(QStringLiteral("edtBusca"));
    m_busca->setToolTip(QStringLiteral("digite o nome do cliente!"));
    m_busca->setMaxLength(50);
    core::setTypingCase(m_busca, core::CharCase::Upper);
    top->addWidget(m_busca, 1);
    auto *btn = new QPushButton(QStringLiteral("Inserir (F3)"), this);
    btn->setObjectName(QStringLiteral("btnInserir"));
    btn->setAutoDefault(false);
    top->addWidget(btn);
    lay->addLayout(top);

    m_grid = core::makeGrid(this, m_pesquisa, QStringLiteral("DBGrid1"),
                      {core::GridColumn::make(QStringLiteral("Codigo"), {}, 0, QStringLiteral("000000")),
                       core::GridColumn::make(QStringLiteral("Nome"), {}, 40),
                       core::GridColumn::make(QStringLiteral("CIC")),
                       core::GridColumn::make(QStringLiteral("RG")),
                       core::GridColumn::make(QStringLiteral("Fone")),
                       core::GridColumn::make(QStringLiteral("Celular"))});
    m_grid->setToolTip(QStringLiteral("Clique no nome do cliente para importar !"));
    lay->addWidget(m_grid, 1);

    m_selected = new QLabel(this);
    m_selected->setObjectName(QStringLiteral("lblSelecionado"));
    lay->addWidget(m_selected);

    connect(m_busca, &QLineEdit::textChanged, this, &CustomerPicker::buscarChange);
    connect(btn, &QPushButton::clicked, this, [this] { choose(Choice::Key); });
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &ix) {
        core::guarded(this, [&] { m_pesquisa->moveTo(ix.row()); });
        choose(Choice::Click);
    });
    connect(m_pesquisa, &Dataset::afterScroll, this, &CustomerPicker::showSelected);
    connect(m_pesquisa, &Dataset::dataChanged, this, &CustomerPicker::showSelected);
    showSelected();
}

CustomerPicker::~CustomerPicker()
{
    try {
        m_pesquisa->close();
    } catch (...) {
    }
}

void CustomerPicker::showSelected()
{
    QString text = QStringLiteral("Cliente Selecionado: ");
    if (m_pesquisa->isOpen() && !m_pesquisa->isEmpty())
        text += core::formatMask(QStringLiteral("000000"), m_pesquisa->asFloat(QStringLiteral("Codigo")))
              + QStringLiteral(" - ") + m_pesquisa->asString(QStringLiteral("Nome"));
    m_selected->setText(text);
}

bool CustomerPicker::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show)
        activate();
    return QDialog::event(e);
}

void CustomerPicker::activate()
{
    if (m_refreshOnActivate)
        core::guarded(this, [&] { m_pesquisa->refresh(); });
    m_busca->setFocus();
}

void CustomerPicker::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_F3) {
        choose(Choice::Key);
        return;
    }
    QDialog::keyPressEvent(e);
}

void CustomerPicker::buscarChange(const QString &text)
{
    core::guarded(this, [&] {
        m_pesquisa->setIndexName(QStringLiteral("byNome"));
        if (text.isEmpty())
            m_pesquisa->first();
        else
            m_pesquisa->findNearest({text});
    });
}

void CustomerPicker::choose(Choice how)
{
    if (!m_pesquisa->isOpen() || m_pesquisa->isEmpty())
        return;
    // A search past the last name leaves no row to copy.
    if (m_pesquisa->isNull(QStringLiteral("Codigo")) && m_pesquisa->isNull(QStringLiteral("Nome")))
        return;
    const bool ok = core::guarded(this, [&] {
        if (m_document->state() == Dataset::State::Browse) {
            if (m_document->isEmpty())
                m_document->append();
            else
                m_document->edit();
        }
        copyFields();
    });
    if (!ok)
        return;
    m_choice = how;
    accept();
    afterChoice(how);
}

// ---------------------------------------------------------------- TFPesquisaOS

TFPesquisaOS::TFPesquisaOS(data::DatabasePtr db, Table *ordem, QWidget *parent)
    : CustomerPicker(std::move(db), ordem, true, parent)
{
    setObjectName(QStringLiteral("TFPesquisaOS"));
}

void TFPesquisaOS::copyFields()
{
    auto copy = [&](const QString &from, const QString &to) {
        QVariant v = m_pesquisa->value(from);
        if (v.isValid() && !v.isNull() && m_document->fieldSize(to) > 0)
            v = v.toString().left(m_document->fieldSize(to));
        m_document->setValue(to, v);
    };
    copy(QStringLiteral("Codigo"), QStringLiteral("CodCliente"));
    copy(QStringLiteral("Nome"), QStringLiteral("NomeCliente"));
    copy(QStringLiteral("CIC"), QStringLiteral("CPFCNPJ"));
    copy(QStringLiteral("Fone"), QStringLiteral("Fone"));
    copy(QStringLiteral("Celular"), QStringLiteral("Celular"));
}

// ---------------------------------------------------------------- TF_Pesquisa

TF_Pesquisa::TF_Pesquisa(data::DatabasePtr db, Table *venda, SaleFocusBoxes boxes, QWidget *parent)
    : CustomerPicker(std::move(db), venda, false, parent), m_boxes(std::move(boxes))
{
    setObjectName(QStringLiteral("TF_Pesquisa"));
}

void TF_Pesquisa::copyFields()
{
    m_document->setValue(QStringLiteral("CodCliente"), m_pesquisa->value(QStringLiteral("Codigo")));
    QVariant nome = m_pesquisa->value(QStringLiteral("Nome"));
    if (!nome.isNull() && m_document->fieldSize(QStringLiteral("NomeCliente")) > 0)
        nome = nome.toString().left(m_document->fieldSize(QStringLiteral("NomeCliente")));
    m_document->setValue(QStringLiteral("NomeCliente"), nome);
}

void TF_Pesquisa::afterChoice(Choice how)
{
    if (how == Choice::Click) {
        if (m_boxes.codCliente)
            m_boxes.codCliente->setFocus();
        if (m_boxes.nomeCliente)
            m_boxes.nomeCliente->selectAll();
    } else {
        if (m_boxes.codVendedor) {
            m_boxes.codVendedor->setFocus();
            m_boxes.codVendedor->selectAll();
        }
    }
}

} // namespace brelvo::registries
