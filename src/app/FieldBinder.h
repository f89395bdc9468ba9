#pragma once
// Ties the edit controls of a settings or users window to the current row of
// a Table: the controls show the row; typing puts the row into editing (a new
// row when the table is empty) and writes the field.

#include "data/Dataset.h"

#include <QObject>
#include <QVariant>
#include <functional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace brelvo::app {

class FieldBinder : public QObject {
    Q_OBJECT
public:
    explicit FieldBinder(data::Table *table, QObject *parent = nullptr);

    // Text box; an empty box stores null. `emptyText` is what an empty masked box shows.
    void addEdit(QLineEdit *edit, const QString &field, const QString &emptyText = QString());
    // Editable combo box (free text plus a pick list).
    void addCombo(QComboBox *combo, const QString &field);
    // Check box storing `checkedValue` / `uncheckedValue`.
    void addCheck(QCheckBox *box, const QString &field, const QVariant &checkedValue,
                  const QVariant &uncheckedValue);
    // Group of exclusive choices: each button stores its value.
    void addChoices(const QList<QPair<QAbstractButton *, QVariant>> &choices, const QString &field);

    // Table -> controls (all, or all but one control being typed into).
    void load();
    void loadExcept(QObject *control);
    // Puts the row into editing (append on an empty table). Returns false on failure (told).
    bool beginEdit();
    bool editing() const;

    // Runs before the first change of a row in browse mode puts it into editing
    // (wasInsert tells whether a new row was started).
    std::function<void(bool wasInsert)> onBeginEdit;

Q_SIGNALS:
    void edited(const QString &field, QObject *control);

private:
    void write(QObject *control, const QString &field, const QVariant &value);
    struct Link {
        QObject *control;
        QString field;
        std::function<void()> load;
    };
    data::Table *m_table;
    std::vector<Link> m_links;
    bool m_loading = false;
    QObject *m_writing = nullptr;   // control being typed into: not reloaded meanwhile
};

} // namespace brelvo::app
