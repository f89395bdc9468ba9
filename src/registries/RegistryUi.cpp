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

// ---------------------------------------------------------------- binder

FieldBinder::FieldBinder(Table *table, QObject *parent) : QObject(parent), m_table(table)
{
    auto again = [this] { if (!m_writing) reload(); };
    connect(table, &Dataset::afterScroll, this, again);
    connect(table, &Dataset::dataChanged, this, again);
    connect(table, &Dataset::stateChanged, this, again);
    connect(table, &Dataset::fieldChanged, this, again);
    connect(table, &Dataset::afterOpen, this, again);
}

QVariant FieldBinder::toFieldValue(Table *table, const QString &field, const QString &text)
{
    const QString t = text.trimmed();
    switch (table->fieldType(field)) {
    case FieldType::Integer:
    case FieldType::AutoInc: {
        if (t.isEmpty())
            return {};
        bool ok = false;
        const qlonglong n = t.toLongLong(&ok);
        if (!ok) {
            const auto d = core::parseNumber(t);
            return d ? QVariant(qlonglong(*d)) : QVariant();
        }
        return n;
    }
    case FieldType::Number:
    case FieldType::Money: {
        if (t.isEmpty())
            return {};
        const auto d = core::parseNumber(t);
        return d ? QVariant(*d) : QVariant();
    }
    case FieldType::Date: {
        const auto d = core::parseDate(t);
        return d ? QVariant(*d) : QVariant();
    }
    default:
        break;
    }
    if (text.isEmpty())
        return {};
    const int size = table->fieldSize(field);
    return size > 0 ? text.left(size) : text;
}

QString FieldBinder::toText(const Dataset *ds, const QString &field, const QString &displayMask)
{
    if (!ds->isOpen() || ds->isEmpty() || ds->isNull(field))
        return {};
    switch (ds->fieldType(field)) {
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Number:
    case FieldType::Money:
        return displayMask.isEmpty() ? core::shortNumber(ds->asFloat(field))
                                     : core::formatMask(displayMask, ds->asFloat(field));
    case FieldType::Date:
        return core::dateText(ds->asDate(field));
    default:
        break;
    }
    return ds->asString(field);
}

void FieldBinder::write(const QString &field, const QVariant &value)
{
    if (m_loading || !m_table->isOpen())
        return;
    m_writing = true;
    try {
        if (m_table->state() == Dataset::State::Browse) {
            if (m_table->isEmpty())
                m_table->append();
            else
                m_table->edit();
        }
        m_table->setValue(field, value);
    } catch (const std::exception &e) {
        m_writing = false;
        showDbError(nullptr, e);
        reload();
        return;
    }
    m_writing = false;
}

void FieldBinder::bind(QLineEdit *edit, const QString &field, CaseMode mode, const QString &displayMask)
{
    forceCase(edit, mode);
    if (!edit->inputMask().isEmpty())
        homeOnFocus(edit);
    if (m_table->def().field(field) && m_table->def().field(field)->size > 0 && edit->inputMask().isEmpty())
        edit->setMaxLength(m_table->def().field(field)->size);
    m_bindings.push_back({edit, field, displayMask, {}, {}, 0});
    connect(edit, &QLineEdit::textEdited, this, [this, edit, field] {
        QString text = edit->text();
        // A masked box with nothing typed holds only its separators.
        if (!edit->inputMask().isEmpty() && !text.contains(QRegularExpression(QStringLiteral("[\\w]"))))
            text.clear();
        write(field, toFieldValue(m_table, field, text));
    });
    reload();
}

void FieldBinder::bind(QComboBox *combo, const QString &field, CaseMode mode)
{
    forceCase(combo, mode);
    m_bindings.push_back({combo, field, {}, {}, {}, 1});
    connect(combo, &QComboBox::currentTextChanged, this, [this, combo, field] {
        write(field, toFieldValue(m_table, field, combo->currentText()));
    });
    reload();
}

void FieldBinder::bind(QPlainTextEdit *memo, const QString &field)
{
    m_bindings.push_back({memo, field, {}, {}, {}, 2});
    connect(memo, &QPlainTextEdit::textChanged, this, [this, memo, field] {
        write(field, toFieldValue(m_table, field, memo->toPlainText()));
    });
    reload();
}

void FieldBinder::bind(QCheckBox *check, const QString &field, const QString &checkedValue,
                       const QString &uncheckedValue)
{
    m_bindings.push_back({check, field, {}, checkedValue, uncheckedValue, 3});
    connect(check, &QCheckBox::toggled, this, [this, check, field, checkedValue, uncheckedValue] {
        write(field, check->isChecked() ? checkedValue : uncheckedValue);
    });
    reload();
}

void FieldBinder::bind(QRadioButton *radio, const QString &field, const QString &value)
{
    m_bindings.push_back({radio, field, {}, value, {}, 4});
    connect(radio, &QRadioButton::toggled, this, [this, field, value](bool on) {
        if (on)
            write(field, value);
    });
    reload();
}

void FieldBinder::reload()
{
    m_loading = true;
    for (const Binding &b : m_bindings) {
        if (!b.widget)
            continue;
        const QString text = m_table->isOpen() ? toText(m_table, b.field, b.mask) : QString();
        switch (b.kind) {
        case 0: {
            auto *e = static_cast<QLineEdit *>(b.widget.data());
            if (e->text() != text)
                e->setText(text);
            break;
        }
        case 1: {
            auto *c = static_cast<QComboBox *>(b.widget.data());
            if (c->isEditable())
                c->setEditText(text);
            else
                c->setCurrentIndex(c->findText(text));
            break;
        }
        case 2: {
            auto *m = static_cast<QPlainTextEdit *>(b.widget.data());
            if (m->toPlainText() != text)
                m->setPlainText(text);
            break;
        }
        case 3:
            static_cast<QCheckBox *>(b.widget.data())->setChecked(text == b.on);
            break;
        case 4: {
            auto *r = static_cast<QRadioButton *>(b.widget.data());
            // Exclusive groups would refuse to clear a checked button.
            const bool excl = r->autoExclusive();
            r->setAutoExclusive(false);
            r->setChecked(text == b.on);
            r->setAutoExclusive(excl);
            break;
        }
        }
    }
    m_loading = false;
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
