#include "core/DataControls.h"

#include "core/DialogService.h"
#include "core/Format.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QSet>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace brelvo::core {

using data::Dataset;
using data::FieldType;

namespace {
// A refresh that shows the same text leaves the box alone (no relayout, the
// cursor stays where it is).
void showText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}
const QString kErrorTitle = QStringLiteral("Erro");

bool isNumeric(FieldType t)
{
    return t == FieldType::Integer || t == FieldType::AutoInc || t == FieldType::Number || t == FieldType::Money;
}

QString blankless(QString s)
{
    s.remove(QLatin1Char(' '));
    s.remove(QLatin1Char('_'));
    return s;
}

std::optional<QTime> parseTime(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
    int v[3] = {0, 0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        const QString p = parts[i].trimmed();
        if (p.isEmpty() || p.size() > 2) return std::nullopt;
        for (QChar c : p)
            if (!c.isDigit()) return std::nullopt;
        v[i] = p.toInt();
    }
    QTime t(v[0], v[1], v[2]);
    if (!t.isValid()) return std::nullopt;
    return t;
}

QTime asTime(const QVariant &v)
{
    if (v.metaType().id() == QMetaType::QTime) return v.toTime();
    if (v.metaType().id() == QMetaType::QDateTime) return v.toDateTime().time();
    return parseTime(v.toString()).value_or(QTime());
}

QDate asDate(const QVariant &v)
{
    if (v.metaType().id() == QMetaType::QDate) return v.toDate();
    if (v.metaType().id() == QMetaType::QDateTime) return v.toDateTime().date();
    const QString s = v.toString();
    if (auto d = parseDate(s)) return *d;
    return QDate::fromString(s, Qt::ISODate);
}
} // namespace

// Holds refreshes back while a control writes its own field.
class BusyGuard {
public:
    explicit BusyGuard(DataLink *l) : m_link(l) { ++m_link->m_busy; }
    ~BusyGuard() { --m_link->m_busy; }
private:
    DataLink *m_link;
};

// ---- DataLink -------------------------------------------------------------

DataLink::DataLink(QWidget *control) : QObject(control), m_control(control) {}

void DataLink::setDataset(Dataset *dataset)
{
    for (const auto &c : m_connections) disconnect(c);
    m_connections.clear();
    m_dataset = dataset;
    if (dataset) {
        auto again = [this] {
            if (!busy()) Q_EMIT refresh();
        };
        // Entering Edit keeps the values, and Browse after a post or cancel is
        // followed by afterScroll: only a new row or a closed table repaints here.
        auto onState = [this](Dataset::State st) {
            if (st == Dataset::State::Insert || st == Dataset::State::Inactive) {
                if (!busy()) Q_EMIT refresh();
            }
        };
        m_connections << connect(dataset, &Dataset::afterScroll, this, again)
                      << connect(dataset, &Dataset::dataChanged, this, again)
                      << connect(dataset, &Dataset::stateChanged, this, onState)
                      << connect(dataset, &Dataset::afterOpen, this, again)
                      << connect(dataset, &Dataset::fieldChanged, this, &DataLink::onFieldChanged);
    }
    Q_EMIT refresh();
}

void DataLink::setField(const QString &field)
{
    m_field = field;
    Q_EMIT refresh();
}

void DataLink::onFieldChanged(const QString &field)
{
    if (!busy() && field.compare(m_field, Qt::CaseInsensitive) == 0) Q_EMIT refresh();
}

bool DataLink::active() const
{
    return m_dataset && !m_field.isEmpty() && m_dataset->isOpen() && m_dataset->hasField(m_field);
}

FieldType DataLink::fieldType() const
{
    return active() ? m_dataset->fieldType(m_field) : FieldType::Alpha;
}

QVariant DataLink::value() const
{
    if (!active()) return QVariant();
    try {
        return m_dataset->value(m_field);
    } catch (const data::DbError &) {
        return QVariant();
    }
}

bool DataLink::beginEdit()
{
    if (!active() || m_readOnly || m_control->property("readOnly").toBool()) return false;
    auto editing = [this] {
        const auto s = m_dataset->state();
        return s == Dataset::State::Edit || s == Dataset::State::Insert;
    };
    if (editing()) return true;
    BusyGuard guard(this);
    try {
        if (auto *t = qobject_cast<data::Table *>(m_dataset.data())) {
            t->edit();
        } else if (m_dataset->metaObject()->indexOfMethod("edit()") >= 0) {
            // Other cursors that can edit offer an invokable edit().
            QMetaObject::invokeMethod(m_dataset.data(), "edit", Qt::DirectConnection);
        }
    } catch (const data::DbError &e) {
        dialogs().error(m_control->window(), kErrorTitle, e.message());
        return false;
    }
    return m_dataset && editing();
}

bool DataLink::write(const QVariant &value)
{
    if (!active()) return false;
    BusyGuard guard(this);
    try {
        m_dataset->setValue(m_field, value);
    } catch (const data::DbError &e) {
        dialogs().error(m_control->window(), kErrorTitle, e.message());
        return false;
    }
    return true;
}

bool DataLink::textToValue(FieldType type, const QString &text, QVariant *out, QString *error)
{
    *out = QVariant();
    if (error) error->clear();
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Memo:
    case FieldType::Graphic:
        if (!text.isEmpty()) *out = text;
        return true;
    case FieldType::Integer:
    case FieldType::AutoInc: {
        if (text.trimmed().isEmpty()) return true;
        const auto v = parseNumber(text, error);
        if (!v) return false;
        if (*v != std::round(*v) || std::fabs(*v) > 2147483647.0) {
            if (error) *error = QStringLiteral("'%1' não é um valor inteiro válido").arg(text);
            return false;
        }
        *out = int(*v);
        return true;
    }
    case FieldType::Number:
    case FieldType::Money: {
        if (text.trimmed().isEmpty()) return true;
        const auto v = parseNumber(text, error);
        if (!v) return false;
        *out = *v;
        return true;
    }
    case FieldType::Date: {
        QString bare = blankless(text);
        bare.remove(QLatin1Char('/'));
        if (bare.isEmpty()) return true;
        const auto d = parseDate(QString(text).replace(QLatin1Char('_'), QLatin1Char(' ')));
        if (!d) {
            if (error) *error = QStringLiteral("'%1' não é uma data válida").arg(text);
            return false;
        }
        *out = *d;
        return true;
    }
    case FieldType::Time: {
        QString bare = blankless(text);
        bare.remove(QLatin1Char(':'));
        if (bare.isEmpty()) return true;
        const auto t = parseTime(QString(text).replace(QLatin1Char('_'), QLatin1Char(' ')));
        if (!t) {
            if (error) *error = QStringLiteral("'%1' não é uma hora válida").arg(text);
            return false;
        }
        *out = *t;
        return true;
    }
    case FieldType::Logical: {
        const QString s = upper(text.trimmed());
        if (s.isEmpty()) return true;
        if (s == QLatin1String("S") || s == QLatin1String("SIM") || s == QLatin1String("T") ||
            s == QLatin1String("TRUE") || s == QLatin1String("1")) {
            *out = true;
            return true;
        }
        if (s == QLatin1String("N") || s == QStringLiteral("NÃO") || s == QLatin1String("NAO") ||
            s == QLatin1String("F") || s == QLatin1String("FALSE") || s == QLatin1String("0")) {
            *out = false;
            return true;
        }
        if (error) *error = QStringLiteral("'%1' não é um valor lógico válido").arg(text);
        return false;
    }
    }
    return true;
}

QString DataLink::valueToText(FieldType type, const QVariant &value, const QString &mask)
{
    if (value.isNull() || !value.isValid()) return QString();
    switch (type) {
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Number:
    case FieldType::Money: {
        bool ok = false;
        double d = value.toDouble(&ok);
        if (!ok) {
            if (auto p = parseNumber(value.toString())) d = *p;
            else return value.toString();
        }
        return mask.isEmpty() ? shortNumber(d) : formatMask(mask, d);
    }
    case FieldType::Date:
        return dateText(asDate(value));
    case FieldType::Time: {
        const QTime t = asTime(value);
        return t.isValid() ? t.toString(QStringLiteral("HH:mm:ss")) : QString();
    }
    case FieldType::Logical:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}

// ---- DataControl ----------------------------------------------------------

void DataControl::setDataSource(Dataset *dataset, const QString &field)
{
    m_link->setField(field);
    m_link->setDataset(dataset);
}

void DataControl::initLink(QWidget *self)
{
    m_link = new DataLink(self);
    QObject::connect(m_link, &DataLink::refresh, self, [this] { showField(); });
}

void DataControl::setInputError(QWidget *self, const QString &error)
{
    if (m_error == error) return;
    m_error = error;
    self->setProperty("invalidInput", !error.isEmpty());
    self->setToolTip(error);
    // Red text while the control holds something that was not stored.
    QPalette pal = self->palette();
    pal.setColor(QPalette::Text, error.isEmpty() ? QApplication::palette().color(QPalette::Text) : QColor(Qt::red));
    self->setPalette(pal);
}

QList<QWidget *> invalidControls(QWidget *window)
{
    QList<QWidget *> out;
    if (!window) return out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        auto *dc = dynamic_cast<DataControl *>(w);
        if (dc && !dc->isValidInput()) out << w;
    }
    return out;
}

void forceCase(QLineEdit *edit, CharCase c)
{
    if (c == CharCase::Normal) return;
    const QString t = edit->text();
    const QString f = c == CharCase::Upper ? upper(t) : lower(t);
    if (f == t) return;
    const int pos = edit->cursorPosition();
    edit->setText(f);
    edit->setCursorPosition(pos);
}

// ---- DbEdit ---------------------------------------------------------------

DbEdit::DbEdit(QWidget *parent) : QLineEdit(parent)
{
    initLink(this);
    connect(this, &QLineEdit::textEdited, this, &DbEdit::onEdited);
    connect(this, &QLineEdit::editingFinished, this, &DbEdit::onFinished);
}

void DbEdit::showField()
{
    setInputError(this, QString());
    m_reported.clear();
    if (!m_link->active()) {
        if (m_link->dataset()) clear();
        return;
    }
    const FieldType t = m_link->fieldType();
    if (t == FieldType::Alpha) {
        const int size = m_link->dataset()->fieldSize(m_link->field());
        if (size > 0) setMaxLength(size);
    }
    // While typing, numbers are shown plain; the display mask applies otherwise.
    const QString mask = hasFocus() && isNumeric(t) ? QString() : m_mask;
    showText(this, DataLink::valueToText(t, m_link->value(), mask));
}

void DbEdit::onEdited(const QString &)
{
    forceCase(this, m_case);
    if (!m_link->active()) return;
    if (!m_link->beginEdit()) {
        showField();
        return;
    }
    QVariant v;
    QString err;
    if (!DataLink::textToValue(m_link->fieldType(), text(), &v, &err)) {
        setInputError(this, err);
        return;
    }
    setInputError(this, QString());
    if (!m_link->write(v)) showField();
}

void DbEdit::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    // A masked number is typed plain: "1.234,56" becomes "1234,56".
    if (!m_mask.isEmpty() && isValidInput() && m_link->active() && isNumeric(m_link->fieldType())) {
        setText(DataLink::valueToText(m_link->fieldType(), m_link->value()));
        selectAll();
    }
}

void DbEdit::onFinished()
{
    if (!isValidInput()) {
        if (m_reported != text()) {
            m_reported = text();
            dialogs().error(window(), kErrorTitle, m_error);
        }
        return;
    }
    if (!m_mask.isEmpty() && m_link->active() && isNumeric(m_link->fieldType()))
        setText(DataLink::valueToText(m_link->fieldType(), m_link->value(), m_mask));
}

// ---- DbComboBox -----------------------------------------------------------

DbComboBox::DbComboBox(QWidget *parent, bool listOnly) : QComboBox(parent)
{
    initLink(this);
    setListOnly(listOnly);
    connect(this, &QComboBox::activated, this, &DbComboBox::onActivated);
}

void DbComboBox::setListOnly(bool on)
{
    setEditable(!on);
    if (!on) {
        setInsertPolicy(QComboBox::NoInsert);
        connect(lineEdit(), &QLineEdit::textEdited, this, &DbComboBox::onEdited, Qt::UniqueConnection);
    }
    showField();
}

void DbComboBox::setItems(const QStringList &items)
{
    {
        const QSignalBlocker block(this);
        clear();
        addItems(items);
    }
    showField();
}

void DbComboBox::showField()
{
    const QString text = m_link->active() ? DataLink::valueToText(m_link->fieldType(), m_link->value()) : QString();
    if (!m_link->active() && !m_link->dataset()) return;
    const QSignalBlocker block(this);
    if (isEditable()) {
        setCurrentIndex(findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
        setEditText(text);
    } else {
        setCurrentIndex(text.isEmpty() ? -1 : findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    }
}

void DbComboBox::onEdited(const QString &)
{
    forceCase(lineEdit(), m_case);
    if (!m_link->active()) return;
    if (!m_link->beginEdit()) {
        showField();
        return;
    }
    const QString t = currentText();
    if (!m_link->write(t.isEmpty() ? QVariant() : QVariant(t))) showField();
}

void DbComboBox::onActivated(int index)
{
    if (!m_link->active() || index < 0) return;
    if (!m_link->beginEdit()) {
        showField();
        return;
    }
    QVariant v;
    QString err;
    if (!DataLink::textToValue(m_link->fieldType(), itemText(index), &v, &err)) {
        dialogs().error(window(), kErrorTitle, err);
        showField();
        return;
    }
    if (!m_link->write(v)) showField();
}

// ---- DbCheckBox -----------------------------------------------------------

DbCheckBox::DbCheckBox(const QString &text, QWidget *parent) : QCheckBox(text, parent)
{
    initLink(this);
    connect(this, &QCheckBox::clicked, this, &DbCheckBox::onClicked);
}

void DbCheckBox::showField()
{
    bool on = false;
    if (m_link->active()) {
        const QVariant v = m_link->value();
        if (m_link->fieldType() == FieldType::Logical) {
            on = !v.isNull() && v.toBool();
        } else if (!v.isNull()) {
            const QString s = v.toString().trimmed();
            for (const QString &c : m_checked.split(QLatin1Char(';')))
                if (s.compare(c.trimmed(), Qt::CaseInsensitive) == 0) on = true;
        }
    }
    const QSignalBlocker block(this);
    setChecked(on);
}

void DbCheckBox::onClicked(bool checked)
{
    if (!m_link->active()) return;
    if (!m_link->beginEdit()) {
        showField();
        return;
    }
    QVariant v;
    if (m_link->fieldType() == FieldType::Logical) v = checked;
    else v = (checked ? m_checked : m_unchecked).section(QLatin1Char(';'), 0, 0);
    if (!m_link->write(v)) showField();
}

// ---- DbRadioGroup ---------------------------------------------------------

DbRadioGroup::DbRadioGroup(const QString &title, QWidget *parent) : QGroupBox(title, parent)
{
    initLink(this);
    m_group = new QButtonGroup(this);
    new QVBoxLayout(this);
    connect(m_group, &QButtonGroup::idClicked, this, &DbRadioGroup::onClicked);
}

void DbRadioGroup::setItems(const QStringList &captions, const QStringList &values)
{
    qDeleteAll(m_buttons);
    m_buttons.clear();
    m_values = values.size() == captions.size() ? values : captions;
    for (int i = 0; i < captions.size(); ++i) {
        auto *b = new QRadioButton(captions[i], this);
        m_group->addButton(b, i);
        layout()->addWidget(b);
        m_buttons << b;
    }
    showField();
}

int DbRadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

QRadioButton *DbRadioGroup::button(int i) const
{
    return i >= 0 && i < m_buttons.size() ? m_buttons[i] : nullptr;
}

void DbRadioGroup::showField()
{
    int index = -1;
    if (m_link->active()) {
        const QString s = DataLink::valueToText(m_link->fieldType(), m_link->value());
        index = int(m_values.indexOf(s));
        if (index < 0)
            for (int i = 0; i < m_values.size() && index < 0; ++i)
                if (m_values[i].compare(s, Qt::CaseInsensitive) == 0) index = i;
    }
    m_group->setExclusive(false);
    for (int i = 0; i < m_buttons.size(); ++i) {
        const QSignalBlocker block(m_buttons[i]);
        m_buttons[i]->setChecked(i == index);
    }
    m_group->setExclusive(true);
}

void DbRadioGroup::onClicked(int id)
{
    if (m_link->active() && id >= 0 && id < m_values.size()) {
        if (!m_link->beginEdit()) {
            showField();
            return;
        }
        QVariant v;
        QString err;
        if (!DataLink::textToValue(m_link->fieldType(), m_values[id], &v, &err) || !m_link->write(v)) {
            showField();
            return;
        }
    }
    Q_EMIT itemChanged(id);
}

// ---- DbDateEdit -----------------------------------------------------------

DbDateEdit::DbDateEdit(QWidget *parent) : QLineEdit(parent)
{
    initLink(this);
    setInputMask(QStringLiteral("99/99/9999; "));
    connect(this, &QLineEdit::textEdited, this, &DbDateEdit::onEdited);
}

void DbDateEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    if (!isValidInput() && m_reported != displayText()) {
        m_reported = displayText();
        dialogs().error(window(), kErrorTitle, m_error);
    }
}

std::optional<QDate> DbDateEdit::date() const
{
    return parseDate(displayText());
}

void DbDateEdit::showField()
{
    setInputError(this, QString());
    m_reported.clear();
    if (!m_link->active() && !m_link->dataset()) return;
    QDate d;
    if (m_link->active()) {
        const QVariant v = m_link->value();
        if (!v.isNull()) d = asDate(v);
    }
    showText(this, dateText(d));
}

void DbDateEdit::onEdited(const QString &)
{
    QVariant v;
    QString err;
    const QString shown = displayText();
    if (!DataLink::textToValue(FieldType::Date, shown, &v, &err)) {
        setInputError(this, QStringLiteral("'%1' não é uma data válida").arg(shown));
        return;
    }
    setInputError(this, QString());
    if (!m_link->active()) return;
    if (!m_link->beginEdit()) {
        showField();
        return;
    }
    if (!m_link->write(v)) showField();
}

// ---- Edit masks -----------------------------------------------------------

EditMask convertEditMask(const QString &oldMask)
{
    EditMask m;
    // Body up to the first unescaped ';', then save-literals flag, then blank.
    QString body;
    int i = 0;
    for (; i < oldMask.size(); ++i) {
        const QChar c = oldMask.at(i);
        if (c == QLatin1Char('\\') && i + 1 < oldMask.size()) {
            body += c;
            body += oldMask.at(++i);
        } else if (c == QLatin1Char(';')) {
            break;
        } else {
            body += c;
        }
    }
    const QStringList rest = oldMask.mid(i + 1).split(QLatin1Char(';'));
    if (i < oldMask.size()) {
        if (!rest.value(0).isEmpty()) m.saveLiterals = rest.value(0) != QLatin1String("0");
        if (rest.size() > 1 && !rest.value(1).isEmpty()) m.blank = rest.value(1).at(0);
    }
    static const QString qtSpecial = QStringLiteral("AaNnXx90Dd#HhBb><![]{}\\;");
    auto literal = [&](QChar c) {
        if (qtSpecial.contains(c)) m.inputMask += QLatin1Char('\\');
        m.inputMask += c;
        m.kinds += QLatin1Char('L');
    };
    auto input = [&](char qt, bool required) {
        m.inputMask += QLatin1Char(qt);
        m.kinds += QLatin1Char(required ? 'R' : 'O');
    };
    for (int k = 0; k < body.size(); ++k) {
        const QChar c = body.at(k);
        switch (c.unicode()) {
        case '!': m.trimLeading = true; break;
        case '>':
            if (k + 1 < body.size() && body.at(k + 1) == QLatin1Char('<')) { m.inputMask += QLatin1Char('!'); ++k; }
            else m.inputMask += QLatin1Char('>');
            break;
        case '<': m.inputMask += QLatin1Char('<'); break;
        case '\\': if (k + 1 < body.size()) literal(body.at(++k)); break;
        case '0': input('9', true); break;
        case '9': input('0', false); break;
        case '#': input('#', false); break;
        case 'L': input('A', true); break;
        case 'l': input('a', false); break;
        case 'A': input('N', true); break;
        case 'a': input('n', false); break;
        case 'C': input('X', true); break;
        case 'c': input('x', false); break;
        case '_': literal(QLatin1Char(' ')); break;
        default: literal(c); break;
        }
    }
    m.inputMask += QLatin1Char(';');
    m.inputMask += m.blank;
    return m;
}

QString maskedValue(const EditMask &mask, const QString &displayText)
{
    if (displayText.size() != mask.kinds.size()) return displayText.trimmed();
    QString out;
    bool any = false;
    for (int i = 0; i < mask.kinds.size(); ++i) {
        const QChar c = displayText.at(i);
        if (mask.kinds.at(i) == QLatin1Char('L')) {
            if (mask.saveLiterals) out += c;
        } else if (c == mask.blank || c == QLatin1Char(' ')) {
            out += QLatin1Char(' ');
        } else {
            out += c;
            any = true;
        }
    }
    if (!any) return QString();
    while (out.endsWith(QLatin1Char(' '))) out.chop(1);
    if (mask.trimLeading)
        while (out.startsWith(QLatin1Char(' '))) out.remove(0, 1);
    return out;
}

bool maskComplete(const EditMask &mask, const QString &displayText)
{
    if (displayText.size() != mask.kinds.size()) return true;
    bool any = false, missing = false;
    for (int i = 0; i < mask.kinds.size(); ++i) {
        if (mask.kinds.at(i) == QLatin1Char('L')) continue;
        const bool blank = displayText.at(i) == mask.blank || displayText.at(i) == QLatin1Char(' ');
        if (!blank) any = true;
        else if (mask.kinds.at(i) == QLatin1Char('R')) missing = true;
    }
    return !any || !missing;
}

// ---- DbMaskEdit -----------------------------------------------------------

DbMaskEdit::DbMaskEdit(QWidget *parent) : QLineEdit(parent)
{
    initLink(this);
    connect(this, &QLineEdit::textEdited, this, &DbMaskEdit::onEdited);
}

void DbMaskEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    if (!isValidInput() && m_reported != displayText()) {
        m_reported = displayText();
        dialogs().error(window(), kErrorTitle, m_error);
    }
}

void DbMaskEdit::setEditMask(const QString &oldMask)
{
    m_mask = convertEditMask(oldMask);
    QString qt = m_mask.inputMask;
    if (m_case == CharCase::Upper) qt.prepend(QLatin1Char('>'));
    else if (m_case == CharCase::Lower) qt.prepend(QLatin1Char('<'));
    setInputMask(qt);
    showField();
}

void DbMaskEdit::showField()
{
    setInputError(this, QString());
    m_reported.clear();
    if (!m_link->active() && !m_link->dataset()) return;
    QString text;
    if (m_link->active()) {
        const QVariant v = m_link->value();
        const FieldType t = m_link->fieldType();
        if (!v.isNull()) {
            if (t == FieldType::Time) {
                const QTime tm = asTime(v);
                const int inputs = int(m_mask.kinds.count(QLatin1Char('R')) + m_mask.kinds.count(QLatin1Char('O')));
                text = tm.isValid() ? tm.toString(inputs > 4 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm")) : QString();
            } else {
                text = DataLink::valueToText(t, v);
            }
        }
    }
    if (m_mask.trimLeading && !m_mask.kinds.isEmpty() && !text.isEmpty()) {
        // Optional leading positions are filled from the right: " 8:30".
        const QString full = QStringLiteral("%1").arg(text, int(m_mask.saveLiterals ? m_mask.kinds.size() : m_mask.kinds.count(QLatin1Char('R')) + m_mask.kinds.count(QLatin1Char('O'))));
        text = full;
    }
    showText(this, text);
}

void DbMaskEdit::onEdited(const QString &)
{
    const QString shown = displayText();
    if (!maskComplete(m_mask, shown)) {
        setInputError(this, QStringLiteral("'%1' está incompleto").arg(shown));
        return;
    }
    const QString value = maskedValue(m_mask, shown);
    QVariant v;
    QString err;
    const FieldType t = m_link->active() ? m_link->fieldType() : FieldType::Alpha;
    if (!DataLink::textToValue(t, value, &v, &err)) {
        setInputError(this, err);
        return;
    }
    setInputError(this, QString());
    if (!m_link->active()) return;
    if (!m_link->beginEdit()) {
        showField();
        return;
    }
    if (!m_link->write(v)) showField();
}

// ---- DbMemo ---------------------------------------------------------------

DbMemo::DbMemo(QWidget *parent) : QPlainTextEdit(parent)
{
    initLink(this);
    connect(this, &QPlainTextEdit::textChanged, this, &DbMemo::onChanged);
}

void DbMemo::showField()
{
    if (!m_link->active() && !m_link->dataset()) return;
    m_showing = true;
    setPlainText(m_link->active() ? m_link->value().toString() : QString());
    m_showing = false;
}

void DbMemo::onChanged()
{
    if (m_showing) return;
    if (m_case != CharCase::Normal) {
        const QString t = toPlainText();
        const QString f = m_case == CharCase::Upper ? core::upper(t) : core::lower(t);
        if (f != t) {
            const int pos = textCursor().position();
            m_showing = true;
            setPlainText(f);
            QTextCursor c = textCursor();
            c.setPosition(std::min<int>(pos, int(f.size())));
            setTextCursor(c);
            m_showing = false;
        }
    }
    if (!m_link->active()) return;
    if (!m_link->beginEdit()) {
        showField();
        return;
    }
    const QString t = toPlainText();
    if (!m_link->write(t.isEmpty() ? QVariant() : QVariant(t))) showField();
}

// ---- DbLabel --------------------------------------------------------------

DbLabel::DbLabel(QWidget *parent) : QLabel(parent)
{
    initLink(this);
}

void DbLabel::showField()
{
    setText(m_link->active() ? DataLink::valueToText(m_link->fieldType(), m_link->value(), m_mask) : QString());
}

// ---- EnterMovesFocus ------------------------------------------------------

EnterMovesFocus::EnterMovesFocus(QWidget *window) : QObject(window), m_window(window)
{
    qApp->installEventFilter(this);
}

EnterMovesFocus *EnterMovesFocus::install(QWidget *window)
{
    if (auto *existing = window->findChild<EnterMovesFocus *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new EnterMovesFocus(window);
}

void EnterMovesFocus::keepEnter(QWidget *control, bool keep)
{
    control->setProperty("keepEnter", keep);
}

void EnterMovesFocus::setEscapeMovesBack(QWidget *window, bool on)
{
    window->setProperty("escapeMovesBack", on);
    install(window);
}

namespace {
void collectWidget(QWidget *w, QList<QWidget *> &out, QSet<QWidget *> &seen);

// Items of a layout in the order they stand: grids and forms row by row,
// left to right; boxes in their direction.
void collectLayout(QLayout *layout, QList<QWidget *> &out, QSet<QWidget *> &seen)
{
    struct Placed { int row, col, index; QLayoutItem *item; };
    QList<Placed> items;
    auto *grid = qobject_cast<QGridLayout *>(layout);
    auto *form = qobject_cast<QFormLayout *>(layout);
    auto *box = qobject_cast<QBoxLayout *>(layout);
    const bool reversed = box && (box->direction() == QBoxLayout::RightToLeft
                                  || box->direction() == QBoxLayout::BottomToTop);
    for (int i = 0; i < layout->count(); ++i) {
        int row = reversed ? -i : i, col = 0;
        if (grid) {
            int rs = 0, cs = 0;
            grid->getItemPosition(i, &row, &col, &rs, &cs);
        } else if (form) {
            QFormLayout::ItemRole role = QFormLayout::SpanningRole;
            form->getItemPosition(i, &row, &role);
            col = role == QFormLayout::FieldRole ? 1 : 0;
        }
        items.append({row, col, i, layout->itemAt(i)});
    }
    std::stable_sort(items.begin(), items.end(), [](const Placed &a, const Placed &b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
    });
    for (const Placed &p : items) {
        if (QWidget *w = p.item->widget())
            collectWidget(w, out, seen);
        else if (QLayout *sub = p.item->layout())
            collectLayout(sub, out, seen);
    }
}

void collectWidget(QWidget *w, QList<QWidget *> &out, QSet<QWidget *> &seen)
{
    if (seen.contains(w))
        return;
    seen.insert(w);
    out.append(w);
    if (QLayout *l = w->layout())
        collectLayout(l, out, seen);
    // Children placed by hand (or by their parent, as a tab widget does) follow.
    for (QObject *o : w->children())
        if (auto *c = qobject_cast<QWidget *>(o); c && !c->isWindow())
            collectWidget(c, out, seen);
}

bool canTakeEnterFocus(QWidget *w, QWidget *from, QWidget *window)
{
    if (w == from || w->window() != window || from->isAncestorOf(w) || w->focusProxy())
        return false;
    return w->isEnabled() && w->isVisibleTo(window) && (w->focusPolicy() & Qt::TabFocus);
}

QWidget *stepControl(QWidget *from, int step)
{
    QWidget *window = from->window();
    const QList<QWidget *> order = EnterMovesFocus::screenOrder(window);
    const int at = int(order.indexOf(from));
    if (at < 0)
        return nullptr;
    const int n = int(order.size());
    for (int k = 1; k < n; ++k) {
        QWidget *w = order.at(((at + step * k) % n + n) % n);
        if (canTakeEnterFocus(w, from, window))
            return w;
    }
    return nullptr;
}
} // namespace

QList<QWidget *> EnterMovesFocus::screenOrder(QWidget *window)
{
    QList<QWidget *> out;
    QSet<QWidget *> seen;
    collectWidget(window, out, seen);
    return out;
}

QWidget *EnterMovesFocus::nextControl(QWidget *from)
{
    return stepControl(from, 1);
}

QWidget *EnterMovesFocus::previousControl(QWidget *from)
{
    return stepControl(from, -1);
}

bool EnterMovesFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress) return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const bool escape = key->key() == Qt::Key_Escape;
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter && !escape) return false;
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != m_window) return false;
    if (escape && !m_window->property("escapeMovesBack").toBool()) return false;

    QWidget *target = w;
    bool innerEdit = false;
    if (auto *combo = qobject_cast<QComboBox *>(w->parentWidget()); combo && combo->lineEdit() == w) {
        target = combo;
        innerEdit = true;
    } else if (auto *spin = qobject_cast<QAbstractSpinBox *>(w->parentWidget())) {
        target = spin;
        innerEdit = true;
    }
    if (escape) {
        // An open list of a combo closes first, as Esc always did.
        if (auto *combo = qobject_cast<QComboBox *>(target); combo && combo->view() && combo->view()->isVisible())
            return false;
        for (QWidget *p = target; p; p = p->parentWidget())
            if (qobject_cast<QAbstractItemView *>(p)) return false;
        if (QWidget *prev = previousControl(target)) prev->setFocus(Qt::BacktabFocusReason);
        return true;
    }
    if (target->property("keepEnter").toBool()) return false;
    if (qobject_cast<QPushButton *>(target) || qobject_cast<QToolButton *>(target)) return false;
    if (qobject_cast<QPlainTextEdit *>(target) || qobject_cast<QTextEdit *>(target)) return false;
    for (QWidget *p = target; p; p = p->parentWidget())
        if (qobject_cast<QAbstractItemView *>(p)) return false;

    QPointer<QWidget> guard(target);
    if (auto *edit = qobject_cast<QLineEdit *>(target); edit && !innerEdit) {
        if (edit->hasAcceptableInput()) Q_EMIT edit->returnPressed();
    }
    if (!guard) return true;
    QWidget *focus = QApplication::focusWidget();
    if (focus == w || focus == target || !focus) {
        if (QWidget *next = nextControl(target)) next->setFocus(Qt::TabFocusReason);
    }
    return true;
}

} // namespace brelvo::core
