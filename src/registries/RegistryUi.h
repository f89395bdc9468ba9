#pragma once
// Small widgets shared by the registry windows: fields bound to a cursor,
// a grid model over a cursor, a navigator, Enter-moves-on and case forcing.

#include "core/DatasetModel.h"
#include "data/Dataset.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QLineEdit;
class QComboBox;
class QPlainTextEdit;
class QCheckBox;
class QRadioButton;
class QToolButton;
class QPushButton;

namespace brelvo::registries {

enum class CaseMode { Keep, Upper, Lower };

// Rewrites what the user types in upper or lower case, keeping the cursor.
void forceCase(QLineEdit *edit, CaseMode mode);
void forceCase(QComboBox *combo, CaseMode mode);

// A masked box with nothing typed puts the cursor at its start when focused.
void homeOnFocus(QLineEdit *edit);

// Shows a database failure through the dialog service.
void showDbError(QWidget *parent, const std::exception &e);

// A label that reacts to a click.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
Q_SIGNALS:
    void clicked();
protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// A read-only grid over a cursor: whole rows selected, the selection follows
// the cursor and a click moves it.
core::DbGrid *makeGrid(QWidget *parent, data::Dataset *dataset, const QString &objectName,
                       const QList<core::GridColumn> &columns);

// First, prior, next, last (and optionally a Post button) acting on a cursor.
class Navigator : public QWidget {
    Q_OBJECT
public:
    enum Buttons { Moves = 1, Post = 2 };
    Navigator(data::Table *table, int buttons, QWidget *parent = nullptr);
    QToolButton *button(const QString &name) const;
Q_SIGNALS:
    void postClicked();
private:
    data::Table *m_table;
};

// Runs `fn`, showing a database failure instead of letting it escape. Returns
// false when it failed.
bool guarded(QWidget *parent, const std::function<void()> &fn);

// Highest `Codigo` of a table in code order, over every row (a filter in
// force is lifted for the search). 0 for an empty table. Leaves the cursor on
// the index `byCodigo`.
qint64 highestCode(data::Table &table);

// A row stored without a `Codigo` (typed straight into an empty table, before
// any "new" button) gets the highest number plus one when it is posted.
void numberOnPost(data::Table *table, QObject *context);

// The 27 state codes offered in the "UF" lists.
QStringList stateCodes();

} // namespace brelvo::registries
