#pragma once
// The skeleton every record window stands on: a dialog editing the rows of
// one main cursor, with
//   - buttons and a navigator whose enabled state follows the cursor's state
//     (enableWhen), the navigator storing a pending row before it moves;
//   - a search box that stores the pending row before it searches;
//   - Enter moving to the next box in screen order (and, where the window
//     asks for it, Esc to the previous one);
//   - one error guard (a failure is told in Portuguese, the window carries
//     on) and a busy cursor around slow work;
//   - closing (close box, the window's leave button, Esc): with a pending
//     change the operator is asked "Sim" (save), "Não" (discard) or
//     "Cancelar" (stay); the window's cursors are closed when it closes.
// A window overrides saveRecord() with its own checks, and
// hasPendingChanges()/discardRecord() when its pending work is not the main
// cursor's edit. SingleRowEditor is the base of the settings dialogs.

#include "core/Widgets.h"
#include "data/Dataset.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <functional>

class QLineEdit;
class QPushButton;

namespace brelvo::core {

class RecordWindow : public QDialog {
    Q_OBJECT
public:
    explicit RecordWindow(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~RecordWindow() override;

    // The cursor the window edits (closed with the window).
    void setMainTable(data::Table *table);
    data::Table *mainTable() const { return m_table; }
    // The main cursor holds an insert or an edit.
    bool editing() const;
    // Another cursor closed (a pending change dropped) when the window closes.
    void closeWithWindow(data::Dataset *dataset);

    // Controls enabled by the main cursor's state.
    enum class When { Always, Editing, Browsing };
    void enableWhen(QWidget *control, When when);
    // A push button that does not take Enter as a default button.
    QPushButton *makeButton(const QString &name, const QString &text, QWidget *parent = nullptr);
    // Navigator over the main cursor; before each move the pending row is
    // stored (commitPending) and the move is refused when it cannot be.
    Navigator *makeNavigator(int buttons = Navigator::Moves,
                             const QString &name = QStringLiteral("DBNavigator1"), QWidget *parent = nullptr);
    // Search box (upper case): on each change the pending row is stored,
    // then `search` runs with the text under the error guard.
    QLineEdit *makeSearchBox(const QString &name, std::function<void(const QString &)> search,
                             int maxLength = 0, QWidget *parent = nullptr);
    // Orders the main cursor by an index (or field list when no such index)
    // and moves to the first row at or after `text`.
    void findNearest(const QString &index, const QString &text);

    // Pending work. Defaults: the main cursor's edit; post; cancel.
    virtual bool hasPendingChanges() const;
    // Stores the pending row with the window's checks; false (after telling
    // the operator) when it was refused; the row then stays as typed.
    virtual bool saveRecord();
    virtual void discardRecord();
    // Stores what is pending before the row is left; true when nothing is
    // pending any more.
    bool commitPending();
    // With pending work, asks save / discard / stay. True when the window may close.
    bool confirmClose();

    // Esc moves to the previous box instead of closing the window.
    void setEscapeMovesBack(bool on);

    // Error guard and busy cursor. False when `fn` failed (already told).
    bool guarded(const std::function<void()> &fn);
    bool runBusy(const std::function<void()> &fn);

    // The question asked when closing with pending work.
    static QString closeQuestionTitle();
    static QString closeQuestionText();

protected:
    void done(int r) override;
    // Runs on every state change of the main cursor: applies enableWhen.
    // A window extends it for controls whose rule is its own.
    virtual void updateControls();

private:
    void closeCursors();
    struct Bound { QPointer<QWidget> control; When when; };
    QPointer<data::Table> m_table;
    QList<QPointer<data::Dataset>> m_cursors;
    QList<Bound> m_bound;
    QMetaObject::Connection m_stateConnection;
    bool m_closing = false;
};

// A settings window over a single-row table: the bound boxes show the first
// row, typing into an empty table starts it, "Salvar" (makeSaveButton) is
// enabled while the row is being changed and stores it.
class SingleRowEditor : public RecordWindow {
    Q_OBJECT
public:
    SingleRowEditor(data::DatabasePtr db, const QString &tableName, const QString &cursorName,
                    QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    // The table could be opened.
    bool isReady() const { return m_ready; }
    data::Table *table() const { return mainTable(); }
    data::DatabasePtr database() const { return m_db; }

protected:
    // Opens the table on its first row; a failure is told and isReady() stays false.
    void openRow();
    QPushButton *makeSaveButton(const QString &name, const QString &text, QWidget *parent = nullptr);
    // "Salvar": stores the row (saveRecord) when it is being changed.
    void save();

private:
    data::DatabasePtr m_db;
    bool m_ready = false;
};

} // namespace brelvo::core
