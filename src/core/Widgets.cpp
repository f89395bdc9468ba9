#include "core/Widgets.h"

#include "core/DialogService.h"
#include "core/Format.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QValidator>

namespace brelvo::core {

using data::Dataset;
using data::DbError;
using data::Table;

void showError(QWidget *parent, const std::exception &e)
{
    if (auto *db = dynamic_cast<const DbError *>(&e))
        dialogs().error(parent, QStringLiteral("Erro"), db->message());
    else
        dialogs().error(parent, QStringLiteral("Erro"), QString::fromLocal8Bit(e.what()));
}

bool guarded(QWidget *parent, const std::function<void()> &fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception &e) {
        showError(parent, e);
    }
    return false;
}

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

namespace {
// Cases the text before the box takes it, so a change is announced once.
class CaseValidator : public QValidator {
public:
    CaseValidator(CharCase c, QObject *parent) : QValidator(parent), m_case(c) {}
    State validate(QString &input, int &pos) const override
    {
        fixup(input);
        pos = std::min(pos, int(input.size()));
        return Acceptable;
    }
    void fixup(QString &input) const override
    {
        input = m_case == CharCase::Upper ? upper(input) : lower(input);
    }
private:
    CharCase m_case;
};
} // namespace

void setTypingCase(QLineEdit *edit, CharCase c)
{
    if (c == CharCase::Normal)
        return;
    if (!edit->validator() && edit->inputMask().isEmpty()) {
        edit->setValidator(new CaseValidator(c, edit));
        return;
    }
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, c] { forceCase(edit, c); });
}

void setTypingCase(QComboBox *combo, CharCase c)
{
    if (combo->lineEdit())
        setTypingCase(combo->lineEdit(), c);
}

namespace {
class HomeOnFocus : public QObject {
public:
    using QObject::QObject;
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn) {
            auto *edit = static_cast<QLineEdit *>(watched);
            if (!edit->text().contains(QRegularExpression(QStringLiteral("\\w"))))
                QTimer::singleShot(0, edit, [edit] { edit->setCursorPosition(0); });
        }
        return false;
    }
};
} // namespace

void homeOnFocus(QLineEdit *edit)
{
    edit->installEventFilter(new HomeOnFocus(edit));
}

QStringList stateCodes()
{
    return {"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "MS", "MT", "PA",
            "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};
}

void styleGrid(QTableView *view)
{
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
}

QString fieldCaption(const QString &field)
{
    // Field names keep their words without accents; the grids show them with.
    static const QHash<QString, QString> accented{
        {QStringLiteral("funcao"), QStringLiteral("Função")},
        {QStringLiteral("descricao"), QStringLiteral("Descrição")},
        {QStringLiteral("endereco"), QStringLiteral("Endereço")},
        {QStringLiteral("situacao"), QStringLiteral("Situação")},
        {QStringLiteral("servico"), QStringLiteral("Serviço")},
        {QStringLiteral("preco"), QStringLiteral("Preço")},
        {QStringLiteral("codigo"), QStringLiteral("Código")},
        {QStringLiteral("fabricacao"), QStringLiteral("Fabricação")},
        {QStringLiteral("combustivel"), QStringLiteral("Combustível")},
    };
    // Words start at a capital after a small letter ("AnoModelo") or at an
    // underscore ("CNPJ_CPF" stays whole words).
    static const QRegularExpression split(QStringLiteral("(?<=\\p{Ll})(?=\\p{Lu})|_"));
    QStringList words = field.split(split, Qt::SkipEmptyParts);
    for (QString &w : words)
        w = accented.value(w.toLower(), w);
    return words.join(QLatin1Char(' '));
}

DbGrid *makeGrid(QWidget *parent, Dataset *dataset, const QString &objectName, const QList<GridColumn> &columns)
{
    QList<GridColumn> cols = columns;
    for (GridColumn &c : cols)
        if (c.caption.isEmpty() && !c.field.isEmpty())
            c.caption = fieldCaption(c.field);
    auto *g = new DbGrid(parent);
    g->setObjectName(objectName);
    g->setDataset(dataset, cols);
    g->setGridReadOnly(true);
    styleGrid(g);
    g->verticalHeader()->setDefaultSectionSize(20);
    return g;
}

QLabel *heading(QWidget *parent, const QString &name, const QString &text, double scale)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    QFont f = l->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * scale);
    l->setFont(f);
    return l;
}

QPushButton *pushButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// ---------------------------------------------------------------- form

FormBuilder::FormBuilder(QGridLayout *grid, QWidget *parent, Dataset *dataset)
    : m_grid(grid), m_parent(parent), m_dataset(dataset)
{
}

DbEdit *FormBuilder::edit(const QString &field, CharCase c)
{
    auto *e = new DbEdit(m_parent);
    e->setObjectName(QStringLiteral("edt") + field);
    e->setCharCase(c);
    e->setDataSource(m_dataset, field);
    return e;
}

DbMaskEdit *FormBuilder::masked(const QString &field, const QString &mask, CharCase c)
{
    auto *e = new DbMaskEdit(m_parent);
    e->setObjectName(QStringLiteral("edt") + field);
    e->setCharCase(c);
    e->setEditMask(mask);
    e->setDataSource(m_dataset, field);
    return e;
}

DbEdit *FormBuilder::number(const QString &field, const QString &mask)
{
    DbEdit *e = edit(field);
    e->setDisplayMask(mask);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

void FormBuilder::put(QWidget *box, const QString &caption, int row, int col, int span)
{
    put(box, new QLabel(caption, m_parent), row, col, span);
}

void FormBuilder::put(QWidget *box, QLabel *caption, int row, int col, int span)
{
    caption->setBuddy(box);
    m_grid->addWidget(caption, row, col);
    m_grid->addWidget(box, row, col + 1, 1, span);
}

// ---------------------------------------------------------------- navigator

Navigator::Navigator(Table *table, int buttons, QWidget *parent) : QWidget(parent), m_table(table)
{
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    auto add = [&](const QString &name, const QString &text, const QString &tip) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(tip);
        b->setMinimumWidth(28);
        lay->addWidget(b);
        return b;
    };
    if (buttons & Moves) {
        connect(add(QStringLiteral("nbFirst"), QStringLiteral("|<"), QStringLiteral("Primeiro")),
                &QToolButton::clicked, this, [this] { move(&Table::first); });
        connect(add(QStringLiteral("nbPrior"), QStringLiteral("<"), QStringLiteral("Anterior")),
                &QToolButton::clicked, this, [this] { move(&Table::prior); });
        connect(add(QStringLiteral("nbNext"), QStringLiteral(">"), QStringLiteral("Próximo")),
                &QToolButton::clicked, this, [this] { move(&Table::next); });
        connect(add(QStringLiteral("nbLast"), QStringLiteral(">|"), QStringLiteral("Último")),
                &QToolButton::clicked, this, [this] { move(&Table::last); });
    }
    if (buttons & Post)
        connect(add(QStringLiteral("nbPost"), QStringLiteral("✔"), QStringLiteral("Gravar")), &QToolButton::clicked,
                this, &Navigator::postClicked);
    lay->addStretch();
}

bool Navigator::move(void (Table::*step)())
{
    if (m_beforeMove) {
        if (!m_beforeMove())
            return false;
    } else if (!guarded(this, [this] {
                   if (m_table->state() == Dataset::State::Edit || m_table->state() == Dataset::State::Insert)
                       m_table->post();
               })) {
        return false;
    }
    if (!guarded(this, [&] { (m_table->*step)(); }))
        return false;
    Q_EMIT moved();
    return true;
}

QToolButton *Navigator::button(const QString &name) const
{
    return findChild<QToolButton *>(name);
}

} // namespace brelvo::core
