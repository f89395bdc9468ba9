#include "registries/RegistryUi.h"

#include "core/DialogService.h"
#include "core/Format.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

namespace brelvo::registries {

using data::Dataset;
using data::DbError;
using data::FieldType;
using data::Table;

namespace {
QString applyCase(const QString &s, CaseMode mode)
{
    switch (mode) {
    case CaseMode::Upper: return core::upper(s);
    case CaseMode::Lower: return core::lower(s);
    case CaseMode::Keep: break;
    }
    return s;
}
} // namespace

void forceCase(QLineEdit *edit, CaseMode mode)
{
    if (mode == CaseMode::Keep)
        return;
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, mode](const QString &text) {
        const QString cased = applyCase(text, mode);
        if (cased != text) {
            const int pos = edit->cursorPosition();
            edit->setText(cased);
            edit->setCursorPosition(pos);
        }
    });
}

void forceCase(QComboBox *combo, CaseMode mode)
{
    if (combo->lineEdit())
        forceCase(combo->lineEdit(), mode);
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

void showDbError(QWidget *parent, const std::exception &e)
{
    if (auto *db = dynamic_cast<const DbError *>(&e))
        core::dialogs().error(parent, QStringLiteral("Erro"), db->message());
    else
        core::dialogs().error(parent, QStringLiteral("Erro"), QString::fromLocal8Bit(e.what()));
}

bool guarded(QWidget *parent, const std::function<void()> &fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception &e) {
        showDbError(parent, e);
    }
    return false;
}

qint64 highestCode(Table &table)
{
    const bool wasFiltered = table.filtered();
    if (wasFiltered)
        table.setFiltered(false);
    table.setIndexName(QStringLiteral("byCodigo"));
    table.last();
    const qint64 n = table.isEmpty() ? 0 : table.asInteger(QStringLiteral("Codigo"));
    if (wasFiltered)
        table.setFiltered(true);
    return n;
}

void numberOnPost(Table *table, QObject *context)
{
    QObject::connect(table, &Table::beforePost, context, [table] {
        if (table->state() != Dataset::State::Insert || !table->isNull(QStringLiteral("Codigo")))
            return;
        data::Query q(table->database());
        q.setSql(QStringLiteral("SELECT MAX(Codigo) AS M FROM \"%1\"").arg(table->tableName()));
        q.open();
        const qint64 n = q.isEmpty() ? 0 : q.asInteger(QStringLiteral("M"));
        q.close();
        if (table->fieldType(QStringLiteral("Codigo")) == data::FieldType::Integer)
            table->setValue(QStringLiteral("Codigo"), n + 1);
        else
            table->setValue(QStringLiteral("Codigo"), double(n + 1));
    });
}

QStringList stateCodes()
{
    return {"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "MS", "MT", "PA",
            "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
}

// ---------------------------------------------------------------- grid

core::DbGrid *makeGrid(QWidget *parent, Dataset *dataset, const QString &objectName,
                       const QList<core::GridColumn> &columns)
{
    auto *g = new core::DbGrid(parent);
    g->setObjectName(objectName);
    g->setDataset(dataset, columns);
    g->setGridReadOnly(true);
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(20);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

// ---------------------------------------------------------------- navigator

Navigator::Navigator(Table *table, int buttons, QWidget *parent) : QWidget(parent), m_table(table)
{
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    auto add = [&](const QString &name, const QString &text, const QString &tip,
                   std::function<void()> fn) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(tip);
        b->setMinimumWidth(28);
        lay->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, fn] { guarded(this, fn); });
    };
    if (buttons & Moves) {
        add(QStringLiteral("nbFirst"), QStringLiteral("|<"), QStringLiteral("Primeiro"),
            [this] { if (m_table->state() != data::Dataset::State::Browse) m_table->post(); m_table->first(); });
        add(QStringLiteral("nbPrior"), QStringLiteral("<"), QStringLiteral("Anterior"),
            [this] { if (m_table->state() != data::Dataset::State::Browse) m_table->post(); m_table->prior(); });
        add(QStringLiteral("nbNext"), QStringLiteral(">"), QStringLiteral("Próximo"),
            [this] { if (m_table->state() != data::Dataset::State::Browse) m_table->post(); m_table->next(); });
        add(QStringLiteral("nbLast"), QStringLiteral(">|"), QStringLiteral("Último"),
            [this] { if (m_table->state() != data::Dataset::State::Browse) m_table->post(); m_table->last(); });
    }
    if (buttons & Post) {
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("nbPost"));
        b->setText(QStringLiteral("✔"));
        b->setToolTip(QStringLiteral("Gravar"));
        b->setMinimumWidth(28);
        lay->addWidget(b);
        connect(b, &QToolButton::clicked, this, &Navigator::postClicked);
    }
    lay->addStretch();
}

QToolButton *Navigator::button(const QString &name) const
{
    return findChild<QToolButton *>(name);
}

} // namespace brelvo::registries
