#include "core/RecordWindow.h"

#include "core/DialogService.h"

#include <QLineEdit>
#include <QPushButton>

namespace brelvo::core {

using data::Dataset;
using data::Table;

namespace {
bool isEditing(const Dataset *d)
{
    return d && (d->state() == Dataset::State::Edit || d->state() == Dataset::State::Insert);
}
} // namespace

RecordWindow::RecordWindow(QWidget *parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    EnterMovesFocus::install(this);
}

RecordWindow::~RecordWindow()
{
    // The window's own parts are gone by now: nothing may hear the cursors close.
    for (const auto &d : std::as_const(m_cursors))
        if (d)
            d->blockSignals(true);
    closeCursors();
}

void RecordWindow::setMainTable(Table *table)
{
    if (m_stateConnection)
        disconnect(m_stateConnection);
    m_table = table;
    if (table) {
        closeWithWindow(table);
        m_stateConnection = connect(table, &Dataset::stateChanged, this, [this] { updateControls(); });
    }
    updateControls();
}

bool RecordWindow::editing() const
{
    return isEditing(m_table.data());
}

void RecordWindow::closeWithWindow(Dataset *dataset)
{
    if (dataset && !m_cursors.contains(dataset))
        m_cursors.append(dataset);
}

void RecordWindow::closeCursors()
{
    // Closed in the reverse order of registration: details before masters.
    for (auto it = m_cursors.rbegin(); it != m_cursors.rend(); ++it) {
        Dataset *d = it->data();
        if (!d)
            continue;
        try {
            if (auto *t = qobject_cast<Table *>(d); t && isEditing(t))
                t->cancel();
            d->close();
        } catch (const std::exception &) {
            // Closing must not fail: the window goes away in any case.
        }
    }
}

void RecordWindow::enableWhen(QWidget *control, When when)
{
    m_bound.append({control, when});
    updateControls();
}

void RecordWindow::updateControls()
{
    const bool ed = editing();
    for (const Bound &b : std::as_const(m_bound)) {
        if (!b.control)
            continue;
        switch (b.when) {
        case When::Always: break;
        case When::Editing: b.control->setEnabled(ed); break;
        case When::Browsing: b.control->setEnabled(!ed); break;
        }
    }
}

QPushButton *RecordWindow::makeButton(const QString &name, const QString &text, QWidget *parent)
{
    return pushButton(parent ? parent : this, name, text);
}

Navigator *RecordWindow::makeNavigator(int buttons, const QString &name, QWidget *parent)
{
    auto *nav = new Navigator(m_table, buttons, parent ? parent : this);
    nav->setObjectName(name);
    nav->setBeforeMove([this] { return commitPending(); });
    return nav;
}

QLineEdit *RecordWindow::makeSearchBox(const QString &name, std::function<void(const QString &)> search,
                                       int maxLength, QWidget *parent)
{
    auto *box = new QLineEdit(parent ? parent : this);
    box->setObjectName(name);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    setTypingCase(box, CharCase::Upper);
    connect(box, &QLineEdit::textChanged, this, [this, search = std::move(search)](const QString &text) {
        if (!commitPending())
            return;
        guarded([&] { search(text); });
    });
    return box;
}

void RecordWindow::findNearest(const QString &index, const QString &text)
{
    if (!m_table)
        return;
    if (m_table->def().index(index))
        m_table->setIndexName(index);
    else
        m_table->setIndexFieldNames(index);
    m_table->findNearest({text});
}

bool RecordWindow::hasPendingChanges() const
{
    return editing();
}

bool RecordWindow::saveRecord()
{
    return guarded([this] {
        if (editing())
            m_table->post();
    });
}

void RecordWindow::discardRecord()
{
    guarded([this] {
        if (editing())
            m_table->cancel();
    });
}

bool RecordWindow::commitPending()
{
    if (!hasPendingChanges())
        return true;
    return saveRecord() && !hasPendingChanges();
}

QString RecordWindow::closeQuestionTitle()
{
    return QStringLiteral("Confirmação");
}

QString RecordWindow::closeQuestionText()
{
    return QStringLiteral("O registro foi alterado e não foi salvo.\nDeseja salvar as alterações?");
}

bool RecordWindow::confirmClose()
{
    if (!hasPendingChanges())
        return true;
    switch (dialogs().questionYesNoCancel(this, closeQuestionTitle(), closeQuestionText())) {
    case Answer::Yes:
        return saveRecord() && !hasPendingChanges();
    case Answer::No:
        discardRecord();
        return !hasPendingChanges();
    default:
        return false;
    }
}

void RecordWindow::done(int r)
{
    if (m_closing)
        return;
    m_closing = true;
    const bool close = confirmClose();
    if (close)
        closeCursors();
    m_closing = false;
    if (close)
        QDialog::done(r);
}

void RecordWindow::setEscapeMovesBack(bool on)
{
    EnterMovesFocus::setEscapeMovesBack(this, on);
}

bool RecordWindow::guarded(const std::function<void()> &fn)
{
    return core::guarded(this, fn);
}

bool RecordWindow::runBusy(const std::function<void()> &fn)
{
    BusyCursor busy;
    return core::guarded(this, fn);
}

// ---------------------------------------------------------------- SingleRowEditor

SingleRowEditor::SingleRowEditor(data::DatabasePtr db, const QString &tableName, const QString &cursorName,
                                 QWidget *parent, Qt::WindowFlags flags)
    : RecordWindow(parent, flags), m_db(std::move(db))
{
    auto *t = new Table(m_db, tableName, this);
    t->setObjectName(cursorName);
    setMainTable(t);
}

void SingleRowEditor::openRow()
{
    m_ready = guarded([this] {
        table()->open();
        table()->first();
    });
}

QPushButton *SingleRowEditor::makeSaveButton(const QString &name, const QString &text, QWidget *parent)
{
    QPushButton *b = makeButton(name, text, parent);
    enableWhen(b, When::Editing);
    connect(b, &QPushButton::clicked, this, &SingleRowEditor::save);
    return b;
}

void SingleRowEditor::save()
{
    if (editing())
        saveRecord();
}

} // namespace brelvo::core
