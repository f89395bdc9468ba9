#include "app/FieldBinder.h"

#include "core/DialogService.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace brelvo::app {

FieldBinder::FieldBinder(data::Table *table, QObject *parent) : QObject(parent), m_table(table)
{
    connect(table, &data::Dataset::afterScroll, this, &FieldBinder::load);
    connect(table, &data::Dataset::afterOpen, this, &FieldBinder::load);
    connect(table, &data::Dataset::dataChanged, this, &FieldBinder::load);
    connect(table, &data::Table::afterCancel, this, &FieldBinder::load);
    connect(table, &data::Table::afterPost, this, &FieldBinder::load);
    connect(table, &data::Table::afterInsert, this, &FieldBinder::load);
    connect(table, &data::Table::afterDelete, this, &FieldBinder::load);
}

bool FieldBinder::editing() const
{
    const auto st = m_table->state();
    return st == data::Dataset::State::Edit || st == data::Dataset::State::Insert;
}

bool FieldBinder::beginEdit()
{
    if (editing())
        return true;
    try {
        const bool insert = m_table->isEmpty();
        if (insert)
            m_table->append();
        else
            m_table->edit();
        if (onBeginEdit)
            onBeginEdit(insert);
        return true;
    } catch (const data::DbError &e) {
        core::dialogs().error(nullptr, QStringLiteral("Erro"), e.message());
        load();
        return false;
    }
}

void FieldBinder::write(QObject *control, const QString &field, const QVariant &value)
{
    if (m_loading)
        return;
    m_writing = control;
    bool ok = beginEdit();
    if (ok) {
        try {
            m_table->setValue(field, value);
        } catch (const data::DbError &e) {
            core::dialogs().error(nullptr, QStringLiteral("Erro"), e.message());
            ok = false;
        }
    }
    m_writing = nullptr;
    if (ok)
        Q_EMIT edited(field, control);
}

void FieldBinder::addEdit(QLineEdit *edit, const QString &field, const QString &emptyText)
{
    m_links.push_back({edit, field, [this, edit, field] {
                           edit->setText((m_table->isOpen() && !m_table->isEmpty()) || editing()
                                             ? m_table->asString(field)
                                             : QString());
                       }});
    connect(edit, &QLineEdit::textEdited, this, [this, edit, field, emptyText](const QString &) {
        const QString t = edit->text();
        write(edit, field, t.isEmpty() || t == emptyText ? QVariant() : QVariant(t));
    });
}

void FieldBinder::addCombo(QComboBox *combo, const QString &field)
{
    m_links.push_back({combo, field, [this, combo, field] {
                           combo->setEditText((m_table->isOpen() && !m_table->isEmpty()) || editing()
                                                  ? m_table->asString(field)
                                                  : QString());
                       }});
    auto store = [this, combo, field] {
        const QString t = combo->currentText();
        write(combo, field, t.isEmpty() ? QVariant() : QVariant(t));
    };
    if (combo->lineEdit())
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, store);
    connect(combo, &QComboBox::activated, this, store);
}

void FieldBinder::addCheck(QCheckBox *box, const QString &field, const QVariant &checkedValue,
                           const QVariant &uncheckedValue)
{
    m_links.push_back({box, field, [this, box, field, checkedValue] {
                           const bool has = m_table->isOpen() && (!m_table->isEmpty() || editing());
                           box->setChecked(has && m_table->asString(field) == checkedValue.toString());
                       }});
    connect(box, &QCheckBox::clicked, this, [this, box, field, checkedValue, uncheckedValue](bool on) {
        write(box, field, on ? checkedValue : uncheckedValue);
    });
}

void FieldBinder::addChoices(const QList<QPair<QAbstractButton *, QVariant>> &choices, const QString &field)
{
    for (const auto &[button, value] : choices) {
        button->setAutoExclusive(true);
        const QVariant v = value;
        m_links.push_back({button, field, [this, button, field, v, choices] {
                               const bool has = m_table->isOpen() && (!m_table->isEmpty() || editing());
                               const bool on = has && m_table->asString(field) == v.toString();
                               if (on) {
                                   button->setChecked(true);
                               } else if (button->isChecked()) {
                                   // Nothing matching: no choice is shown.
                                   button->setAutoExclusive(false);
                                   button->setChecked(false);
                                   button->setAutoExclusive(true);
                               }
                           }});
        connect(button, &QAbstractButton::clicked, this, [this, button, field, v] { write(button, field, v); });
    }
}

void FieldBinder::load()
{
    loadExcept(m_writing);
}

void FieldBinder::loadExcept(QObject *control)
{
    m_loading = true;
    try {
        for (const Link &l : m_links)
            if (l.control != control)
                l.load();
    } catch (const data::DbError &) {
    }
    m_loading = false;
}

} // namespace brelvo::app
