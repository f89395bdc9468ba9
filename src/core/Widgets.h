#pragma once
// Small pieces every window uses: the error guard, the busy cursor, a
// clickable label, case forcing as the user types, the read-only grid and
// the record navigator.

#include "core/DataControls.h"
#include "core/DatasetModel.h"

#include <QLabel>
#include <QWidget>
#include <exception>
#include <functional>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;

namespace brelvo::core {

// Shows a failure (a DbError's Portuguese message, or the exception's text)
// through the dialog service, title "Erro".
void showError(QWidget *parent, const std::exception &e);
// Runs `fn`; a failure is shown instead of escaping. False when it failed.
bool guarded(QWidget *parent, const std::function<void()> &fn);

// The wait cursor for the life of the object (nested uses are fine).
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// A label that reports a left click released over it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
Q_SIGNALS:
    void clicked();
protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// Rewrites what the user types in upper or lower case, keeping the cursor.
// Text set by the program is left as it is.
void setTypingCase(QLineEdit *edit, CharCase c);
void setTypingCase(QComboBox *combo, CharCase c);

// A masked box with nothing typed puts the cursor at its start when focused.
void homeOnFocus(QLineEdit *edit);

// The 27 state codes offered in the "UF" lists.
QStringList stateCodes();

// The look of every list grid: whole rows, one at a time, read-only, no row
// numbers, the last column stretched.
void styleGrid(QTableView *view);
// A read-only grid over a cursor: the selection follows the cursor and a
// click moves it. Columns without a caption are titled by the field's own
// caption (fieldCaption).
DbGrid *makeGrid(QWidget *parent, data::Dataset *dataset, const QString &objectName,
                 const QList<GridColumn> &columns);
// The caption a grid shows for a field: "EntregaDias" -> "Entrega Dias",
// "Funcao" -> "Função", "AnoModelo" -> "Ano Modelo".
QString fieldCaption(const QString &field);

// A bold heading, its font `scale` times the normal size.
QLabel *heading(QWidget *parent, const QString &name, const QString &text, double scale);

// A push button with an object name that does not take Enter as the default button.
QPushButton *pushButton(QWidget *parent, const QString &name, const QString &text);

// Builds a form of captions and boxes bound to a cursor on a grid layout:
// each caption in a column, its box in the next one.
class FormBuilder {
public:
    FormBuilder(QGridLayout *grid, QWidget *parent, data::Dataset *dataset);
    // A box on `field`, named "edt" + field.
    DbEdit *edit(const QString &field, CharCase c = CharCase::Normal);
    DbMaskEdit *masked(const QString &field, const QString &mask, CharCase c = CharCase::Normal);
    // The record's number: shown through `mask`, never typed into.
    DbEdit *number(const QString &field, const QString &mask);
    // Puts the caption at (row, col) and the box beside it, spanning `span` columns.
    void put(QWidget *box, const QString &caption, int row, int col, int span = 1);
    void put(QWidget *box, QLabel *caption, int row, int col, int span = 1);
private:
    QGridLayout *m_grid;
    QWidget *m_parent;
    data::Dataset *m_dataset;
};

// First, prior, next, last (and optionally a Post button) acting on a cursor.
// Before a move, the `beforeMove` check runs (a window stores or keeps its
// pending row there); without one, a pending row is posted.
class Navigator : public QWidget {
    Q_OBJECT
public:
    enum Buttons { Moves = 1, Post = 2 };
    Navigator(data::Table *table, int buttons, QWidget *parent = nullptr);
    QToolButton *button(const QString &name) const;
    void setBeforeMove(std::function<bool()> check) { m_beforeMove = std::move(check); }
    // Runs a move as the buttons do: store first, then move; false when it did not move.
    bool move(void (data::Table::*step)());
Q_SIGNALS:
    void postClicked();
    void moved();       // after a button moved the cursor
private:
    data::Table *m_table;
    std::function<bool()> m_beforeMove;
};

} // namespace brelvo::core
