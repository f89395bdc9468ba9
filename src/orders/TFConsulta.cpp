#include "orders/TFConsulta.h"

#include "core/AppPaths.h"
#include "core/DataControls.h"
#include "core/DatasetModel.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "core/Widgets.h"
#include "stock/StockUi.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QStatusBar>
#include <QVBoxLayout>

namespace brelvo::orders {

using data::Dataset;
using data::Table;
using core::guarded;

namespace {
const QString kModeOrdem = QStringLiteral("F1");
const QString kModeVenda = QStringLiteral("F3");
}

QString TFConsulta::statusText(const QString &mode)
{
    return mode == kModeVenda
        ? QStringLiteral(" Tecle (F2) Para Descrição | Selecionar Codigo e Sair Tecle (F3)")
        : QStringLiteral(" Tecle (F2) Para Descrição | Selecionar Codigo e Sair Tecle (F1)");
}

TFConsulta::TFConsulta(data::DatabasePtr db, const QString &mode, QLineEdit *codeBox, QWidget *parent)
    : QDialog(parent), m_mode(mode), m_codeBox(codeBox)
{
    setObjectName(QStringLiteral("TFConsulta"));
    setWindowTitle(QStringLiteral("Consulta Produtos"));
    resize(900, 560);

    m_produtos = new Table(std::move(db), QStringLiteral("tbProdutos.db"), this);
    m_produtos->setObjectName(QStringLiteral("QrProdutos"));
    m_produtos->setIndexName(QStringLiteral("ByCodigo"));
    m_produtos->open();
    m_produtos->first();

    auto *lay = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Digite a Descrição do Produto: "), this));
    m_descricao = new QLineEdit(this);
    m_descricao->setObjectName(QStringLiteral("edtDescricao"));
    m_descricao->setMaxLength(50);
    core::setTypingCase(m_descricao, core::CharCase::Upper);
    top->addWidget(m_descricao, 1);
    lay->addLayout(top);

    auto *mid = new QHBoxLayout;
    m_grid = core::makeGrid(
        this, m_produtos, QStringLiteral("DBGrid1"),
        {core::GridColumn::make(QStringLiteral("Codigo"), QStringLiteral("Codigo de Barra"), 15,
                                QStringLiteral("0000000000000")),
         core::GridColumn::make(QStringLiteral("Descricao"), QStringLiteral("Descrição"), 40),
         core::GridColumn::make(QStringLiteral("Marca"), {}, 16),
         core::GridColumn::make(QStringLiteral("Valor"), {}, 10, QStringLiteral("###,##0.00"))});
    mid->addWidget(m_grid, 3);

    auto *side = new QVBoxLayout;
    auto *info = new QGridLayout;
    auto addInfo = [&](int row, const QString &caption, const char *name) {
        info->addWidget(new QLabel(caption, this), row, 0);
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        info->addWidget(l, row, 1);
        return l;
    };
    m_lblCodigo = addInfo(0, QStringLiteral("Codigo: "), "lblCodigo");
    m_lblDescricao = addInfo(1, QStringLiteral("Descrição: "), "lblDescricao");
    m_lblPreco = addInfo(2, QStringLiteral("Preço Unitário: "), "lblPreco");
    side->addLayout(info);
    m_foto = new QLabel(this);
    m_foto->setObjectName(QStringLiteral("ImgFoto"));
    m_foto->setFixedSize(220, 200);
    m_foto->setFrameShape(QFrame::Box);
    m_foto->setAlignment(Qt::AlignCenter);
    side->addWidget(m_foto);
    side->addStretch(1);
    mid->addLayout(side, 1);
    lay->addLayout(mid, 1);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    status->showMessage(statusText(m_mode));
    lay->addWidget(status);

    connect(m_descricao, &QLineEdit::textChanged, this, &TFConsulta::descricaoChange);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &ix) {
        if (guarded(this, [&] { m_produtos->moveTo(ix.row()); }))
            choose();
    });
    connect(m_produtos, &Dataset::afterScroll, this, &TFConsulta::showCurrent);
    connect(m_produtos, &Dataset::dataChanged, this, &TFConsulta::showCurrent);
    showCurrent();
}

TFConsulta::~TFConsulta()
{
    try {
        m_produtos->close();
    } catch (...) {
    }
}

bool TFConsulta::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show)
        m_descricao->setFocus();
    return QDialog::event(e);
}

void TFConsulta::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_F1:
        if (m_mode == kModeOrdem)
            choose();
        return;
    case Qt::Key_F2:
        clearFilter();
        return;
    case Qt::Key_F3:
        if (m_mode == kModeVenda)
            choose();
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

void TFConsulta::descricaoChange(const QString &typed)
{
    // The box forces upper case; a change may arrive before the forcing did.
    const QString text = core::upper(typed);
    guarded(this, [&] {
        if (text.isEmpty()) {
            // An empty box shows every product again.
            m_produtos->setFiltered(false);
            m_produtos->first();
            return;
        }
        m_produtos->locate(QStringLiteral("Descricao"), {text}, Table::PartialKey);
        m_produtos->setFilter(QStringLiteral("Descricao=") + Table::quoted(text + QLatin1Char('*')));
        m_produtos->setFiltered(true);
    });
    showPicture();
}

void TFConsulta::clearFilter()
{
    guarded(this, [&] { m_produtos->setFiltered(false); });
    m_descricao->setFocus();
    m_descricao->selectAll();
}

void TFConsulta::choose()
{
    if (!m_produtos->isOpen() || m_produtos->isEmpty() || m_produtos->isNull(QStringLiteral("Codigo")))
        return;
    m_chosen = stock::codeText(m_produtos->value(QStringLiteral("Codigo")));
    if (m_codeBox) {
        m_codeBox->setText(m_chosen);
        m_codeBox->setFocus();
    }
    accept();
}

void TFConsulta::showCurrent()
{
    const bool row = m_produtos->isOpen() && !m_produtos->isEmpty();
    m_lblCodigo->setText(row ? stock::codeText(m_produtos->value(QStringLiteral("Codigo"))) : QString());
    m_lblDescricao->setText(row ? m_produtos->asString(QStringLiteral("Descricao")) : QString());
    m_lblPreco->setText(row ? core::formatMask(QStringLiteral("###,##0.00"), m_produtos->asFloat(QStringLiteral("Valor")))
                            : QString());
    showPicture();
}

void TFConsulta::showPicture()
{
    if (!m_produtos->isOpen() || m_produtos->isEmpty())
        return;
    QString path = m_produtos->asString(QStringLiteral("FotoProduto")).trimmed();
    if (path.isEmpty())
        path = core::sharedFile(QStringLiteral("sem_img.jpg"));
    else if (!QFileInfo::exists(path))
        return;   // a missing file leaves the previous picture
    if (path == m_picture)
        return;
    QPixmap pix(path);
    m_picture = path;
    if (pix.isNull())
        m_foto->clear();
    else
        m_foto->setPixmap(pix.scaled(m_foto->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

QString consultarProdutos(QWidget *parent, data::DatabasePtr db, const QString &mode, QLineEdit *codeBox)
{
    QString code;
    guarded(parent, [&] {
        TFConsulta w(std::move(db), mode, codeBox, parent);
        core::dialogs().exec(&w);
        code = w.chosenCode();
    });
    return code;
}

} // namespace brelvo::orders
