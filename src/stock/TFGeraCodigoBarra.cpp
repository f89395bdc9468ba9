#include "stock/TFGeraCodigoBarra.h"

#include "core/DialogService.h"
#include "printing/Ean13.h"
#include "printing/PrintPreview.h"
#include "printing/Report.h"
#include "stock/StockBalance.h"
#include "core/DataControls.h"
#include "stock/StockUi.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace brelvo::stock {

using data::DbError;

namespace {
QString s(const char *utf8) { return QString::fromUtf8(utf8); }

// Screen units of 1/96 inch, in millimetres.
constexpr double kUnit = 25.4 / 96.0;
// The labels' bar module is one unit (80 % of the standard module); their
// symbols are 60 units tall, and their bars start at the listed columns.
constexpr double kModule = kUnit;
constexpr double kHeight = 60 * kUnit;
const int kRows[12] = {16, 96, 176, 264, 352, 432, 512, 592, 672, 752, 840, 920};
const int kCols[6] = {16, 136, 256, 376, 488, 608};
} // namespace

std::optional<GeneratedCode> generateEan13(const QString &typed, QString *error)
{
    const QString base = typed.trimmed();
    const qsizetype n = base.size();
    const bool digits = std::all_of(base.begin(), base.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (n == 0 || n == 11 || n > 12 || !digits) {
        if (error)
            *error = QString::fromUtf8(kEanLengthMessage);
        return std::nullopt;
    }
    GeneratedCode g;
    // Up to 10 digits: the number padded to 12 digits; a 10-digit base above
    // the 32-bit range is padded like any other.
    g.base = n <= 10 ? base.rightJustified(12, u'0') : base;
    g.digit = printing::ean13CheckDigit(g.base);
    return g;
}

TFGeraCodigoBarra::TFGeraCodigoBarra(data::DatabasePtr db, QWidget *parent) : QDialog(parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("TFGeraCodigoBarra"));
    setWindowTitle(s("Geração de Codigo Barra EAN13"));
    resize(560, 330);

    m_produtos = new data::Table(m_db, QStringLiteral("tbProdutos.db"), this);
    m_produtos->setObjectName(QStringLiteral("T_Produtos"));
    m_produtos->setIndexName(QStringLiteral("ByCodigo"));

    auto *outer = new QVBoxLayout(this);
    auto *tabs = new QTabWidget(this);
    outer->addWidget(tabs);
    auto *page = new QWidget;
    tabs->addTab(page, QStringLiteral("Codigo Barras"));
    auto *pl = new QHBoxLayout(page);

    auto *left = new QGridLayout;
    pl->addLayout(left, 1);
    m_base = new QLineEdit(page);
    m_base->setObjectName(QStringLiteral("Edit1BarraGerar"));
    m_base->setMaxLength(12);
    m_base->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,12}")), m_base));
    m_digito = new QLineEdit(page);
    m_digito->setObjectName(QStringLiteral("EditDigito"));
    m_digito->setReadOnly(true);
    m_digito->setMaximumWidth(40);
    m_full = new QLineEdit(page);
    m_full->setObjectName(QStringLiteral("Edit1Barra"));
    m_full->setReadOnly(true);
    m_verifica = new QLabel(QStringLiteral("SIM"), page);
    m_verifica->setObjectName(QStringLiteral("verifica"));
    m_verifica->hide();
    left->addWidget(new QLabel(QStringLiteral("Codigo"), page), 0, 0);
    left->addWidget(m_base, 1, 0);
    left->addWidget(new QLabel(s("Digíto"), page), 0, 1);
    left->addWidget(m_digito, 1, 1);
    left->addWidget(m_full, 2, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    auto mk = [&](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, page);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    auto *gerar = mk("BtGerar", QStringLiteral("Gerar"));
    auto *limpar = mk("BtLimpar", QStringLiteral("Limpar"));
    auto *imprimir = mk("BtImprimir", QStringLiteral("Vizualizar / Imprimir"));
    auto *sair = mk("BtSair", QStringLiteral("&Sair"));
    left->addLayout(buttons, 3, 0, 1, 2);
    left->setRowStretch(4, 1);

    auto *box = new QGroupBox(s("Pré - Vizualização"), page);
    box->setObjectName(QStringLiteral("GroupBox1"));
    auto *bl = new QVBoxLayout(box);
    m_symbol = new QLabel(box);
    m_symbol->setObjectName(QStringLiteral("QRAsBarcode1"));
    m_symbol->setFixedSize(200, 130);
    m_symbol->setAlignment(Qt::AlignCenter);
    m_symbol->setStyleSheet(QStringLiteral("background: white"));
    m_label4 = new QLabel(box);
    m_label4->setObjectName(QStringLiteral("Label4"));
    m_label4->setAlignment(Qt::AlignCenter);
    m_label5 = new QLabel(QStringLiteral("Codigo de Barra Correto"), box);
    m_label5->setObjectName(QStringLiteral("Label5"));
    m_label5->setAlignment(Qt::AlignCenter);
    bl->addWidget(m_symbol, 0, Qt::AlignCenter);
    bl->addWidget(m_label4);
    bl->addWidget(m_label5);
    pl->addWidget(box);

    connect(gerar, &QPushButton::clicked, this, &TFGeraCodigoBarra::Gerar);
    connect(limpar, &QPushButton::clicked, this, &TFGeraCodigoBarra::Limpar);
    connect(imprimir, &QPushButton::clicked, this, &TFGeraCodigoBarra::VizualizarImprimir);
    connect(sair, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_base, &QLineEdit::textChanged, this, &TFGeraCodigoBarra::baseChanged);
    // A base typed anew no longer matches the last check digit.
    connect(m_base, &QLineEdit::textEdited, this, [this] {
        m_digito->clear();
        m_full->clear();
        m_label4->clear();
        applyVisibility();
    });
    connect(m_full, &QLineEdit::textChanged, this, &TFGeraCodigoBarra::fullChanged);

    try {
        m_produtos->open();
    } catch (const DbError &e) {
        core::dialogs().error(this, QStringLiteral("Erro"), e.message());
    }
    applyVisibility();
    m_symbol->hide();
    core::EnterMovesFocus::install(this);
}

TFGeraCodigoBarra::~TFGeraCodigoBarra() = default;

void TFGeraCodigoBarra::setVerifica(const QString &v) { m_verifica->setText(v); }
QString TFGeraCodigoBarra::verifica() const { return m_verifica->text(); }
QString TFGeraCodigoBarra::fullCode() const { return m_full->text(); }

void TFGeraCodigoBarra::Gerar()
{
    QString error;
    const auto g = generateEan13(m_base->text(), &error);
    if (!g) {
        core::dialogs().information(this, QString(), error);
        return;
    }
    m_generating = true;
    m_base->setText(g->base);
    m_digito->setText(QString::number(g->digit));
    m_generating = false;
    m_full->setText(g->full());
    m_label4->setText(g->full());
    applyVisibility();
    showSymbol(g->full());
}

void TFGeraCodigoBarra::Limpar()
{
    m_base->clear();
    m_digito->clear();
    m_full->clear();
    m_label4->clear();
    applyVisibility();
}

void TFGeraCodigoBarra::baseChanged()
{
    if (m_generating)
        return;
    showSymbol(m_full->text());
    applyVisibility();
}

void TFGeraCodigoBarra::applyVisibility()
{
    const bool shown = !m_base->text().isEmpty() && !m_digito->text().isEmpty();
    m_label5->setVisible(shown);
    m_full->setVisible(shown);
    m_label4->setVisible(shown);
}

void TFGeraCodigoBarra::showSymbol(const QString &code)
{
    if (code.size() != 13) {
        m_symbol->clear();
        return;
    }
    const QImage img = printing::ean13Image(code, printing::ean13SizeForModule(kModule, kHeight), 192);
    m_symbol->setPixmap(QPixmap::fromImage(img).scaled(m_symbol->size(), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
    m_symbol->show();
}

void TFGeraCodigoBarra::fullChanged()
{
    const QString code = m_full->text();
    if (code.isEmpty() || m_verifica->text() != QLatin1String("SIM"))
        return;
    try {
        const auto number = StockBalance::parseCode(code);
        m_produtos->refresh();
        if (number && m_produtos->findKey({double(*number)})) {
            core::dialogs().information(this, QString(), s("Esse Codigo de Produto Já foi Cadastrado!"));
            return;
        }
    } catch (const DbError &e) {
        core::dialogs().error(this, QStringLiteral("Erro"), e.message());
        return;
    }
    Q_EMIT codeHanded(code);
}

printing::PreparedReport TFGeraCodigoBarra::labelSheet(const QString &code)
{
    printing::Report r(QStringLiteral("Etiquetas"));
    printing::PageSetup page = printing::PageSetup::a4Portrait();
    page.setMargins(10);
    r.setPage(page);
    auto &band = r.title().setHeight(kRows[11] * kUnit + kHeight + 8 * kUnit);
    const QSizeF box = printing::ean13SizeForModule(kModule, kHeight);
    const double barsOffset = printing::ean13BarsOffset(kModule);
    for (int row : kRows)
        for (int col : kCols)
            band.barcode(QRectF(QPointF(col * kUnit - barsOffset, row * kUnit), box), code);
    r.setRows(std::vector<QVariantMap>{});
    return r.prepare();
}

void TFGeraCodigoBarra::VizualizarImprimir()
{
    const QString code = m_full->text();
    if (code.isEmpty()) {
        core::dialogs().information(this, QString(), s("Não exiSte codigo de barra a ser impresso gere antes!!"));
        return;
    }
    printing::PreparedReport sheet = labelSheet(code);
    printing::showPreview(sheet, this);
}

void TFGeraCodigoBarra::done(int r)
{
    Limpar();
    m_symbol->hide();
    try {
        m_produtos->close();
    } catch (const DbError &) {
    }
    QDialog::done(r);
}

} // namespace brelvo::stock
