#pragma once
// Edit controls bound to a field of a Dataset. Each shows the field of the
// current row and, when the user types, puts the cursor into editing and
// writes the field. Bad numbers or dates are kept on screen, marked invalid
// and never written.

#include "data/Dataset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QVariant>

class QButtonGroup;
class QRadioButton;

namespace brelvo::core {

enum class CharCase { Normal, Upper, Lower };

// The connection of one control to one field. Emits refresh() whenever the
// control should show the field again.
class DataLink : public QObject {
    Q_OBJECT
public:
    explicit DataLink(QWidget *control);

    void setDataset(data::Dataset *dataset);
    data::Dataset *dataset() const { return m_dataset; }
    void setField(const QString &field);
    QString field() const { return m_field; }
    void setReadOnly(bool on) { m_readOnly = on; }
    bool readOnly() const { return m_readOnly; }

    // Open and holding the field.
    bool active() const;
    data::FieldType fieldType() const;
    QVariant value() const;
    // Puts the cursor into editing (edit() when browsing); false when the
    // row cannot be edited now. Engine failures are shown to the operator.
    bool beginEdit();
    // Writes the field; false (after telling the operator) when refused.
    bool write(const QVariant &value);
    // True while the control itself is writing: refreshes are held back.
    bool busy() const { return m_busy > 0; }

    // Converts typed text to a value for the field. Empty text is null.
    // On bad text returns false and sets *error.
    static bool textToValue(data::FieldType type, const QString &text, QVariant *out, QString *error);
    // The text a control shows for a value; numbers through `mask` when given.
    static QString valueToText(data::FieldType type, const QVariant &value, const QString &mask = QString());

Q_SIGNALS:
    void refresh();

private:
    void onFieldChanged(const QString &field);
    QWidget *m_control;
    QPointer<data::Dataset> m_dataset;
    QString m_field;
    bool m_readOnly = false;
    int m_busy = 0;
    QList<QMetaObject::Connection> m_connections;
    friend class BusyGuard;
};

// Common surface of the bound controls.
class DataControl {
public:
    virtual ~DataControl() = default;
    void setDataSource(data::Dataset *dataset, const QString &field);
    data::Dataset *dataset() const { return m_link->dataset(); }
    QString dataField() const { return m_link->field(); }
    DataLink *link() const { return m_link; }
    // False while the control holds text that could not be stored.
    bool isValidInput() const { return m_error.isEmpty(); }
    QString inputError() const { return m_error; }
    virtual void showField() = 0;
protected:
    void initLink(QWidget *self);
    void setInputError(QWidget *self, const QString &error);
    DataLink *m_link = nullptr;
    QString m_error;
};

// Bound controls of a window holding text that could not be stored.
QList<QWidget *> invalidControls(QWidget *window);

class DbEdit : public QLineEdit, public DataControl {
    Q_OBJECT
public:
    explicit DbEdit(QWidget *parent = nullptr);
    void setCharCase(CharCase c) { m_case = c; }
    CharCase charCase() const { return m_case; }
    // Mask used to show numbers while not being typed ("###,##0.00").
    void setDisplayMask(const QString &mask) { m_mask = mask; showField(); }
    void showField() override;
protected:
    void focusInEvent(QFocusEvent *e) override;
    void onEdited(const QString &text);
    void onFinished();
private:
    CharCase m_case = CharCase::Normal;
    QString m_mask;
    QString m_reported;
};

class DbComboBox : public QComboBox, public DataControl {
    Q_OBJECT
public:
    // List style: only the items can be chosen; otherwise the text is free.
    explicit DbComboBox(QWidget *parent = nullptr, bool listOnly = false);
    void setListOnly(bool on);
    bool listOnly() const { return !isEditable(); }
    void setItems(const QStringList &items);
    void setCharCase(CharCase c) { m_case = c; }
    void showField() override;
private:
    void onEdited(const QString &text);
    void onActivated(int index);
    CharCase m_case = CharCase::Normal;
};

class DbCheckBox : public QCheckBox, public DataControl {
    Q_OBJECT
public:
    explicit DbCheckBox(const QString &text = QString(), QWidget *parent = nullptr);
    // Text values; several accepted values may be given as "S;Sim" (the first is written).
    // Logical fields ignore them.
    void setValueChecked(const QString &v) { m_checked = v; showField(); }
    void setValueUnchecked(const QString &v) { m_unchecked = v; showField(); }
    void showField() override;
private:
    void onClicked(bool checked);
    QString m_checked = QStringLiteral("True");
    QString m_unchecked = QStringLiteral("False");
};

class DbRadioGroup : public QGroupBox, public DataControl {
    Q_OBJECT
public:
    explicit DbRadioGroup(const QString &title = QString(), QWidget *parent = nullptr);
    // Captions and the values written for them (values default to the captions).
    void setItems(const QStringList &captions, const QStringList &values = QStringList());
    int itemIndex() const;
    QRadioButton *button(int i) const;
    void showField() override;
Q_SIGNALS:
    void itemChanged(int index);
private:
    void onClicked(int id);
    QButtonGroup *m_group;
    QStringList m_values;
    QList<QRadioButton *> m_buttons;
};

// A date box "dd/mm/yyyy"; empty is allowed (null date).
class DbDateEdit : public QLineEdit, public DataControl {
    Q_OBJECT
public:
    explicit DbDateEdit(QWidget *parent = nullptr);
    std::optional<QDate> date() const;
    void showField() override;
protected:
    void focusOutEvent(QFocusEvent *e) override;
private:
    void onEdited(const QString &text);
    QString m_reported;
};

// Old edit masks ("00000\-999;1;_") as a line-edit mask plus how the value is kept.
struct EditMask {
    QString inputMask;          // for QLineEdit::setInputMask
    bool saveLiterals = true;   // ";1": literals are part of the value
    QChar blank = QLatin1Char('_');
    bool trimLeading = false;   // '!': leading blanks dropped
    QString kinds;              // per position: 'L' literal, 'R' required, 'O' optional
};
EditMask convertEditMask(const QString &oldMask);
// The value a masked box holds: literals kept or dropped as the mask says,
// blank positions as spaces, trimmed. Empty when nothing was typed.
QString maskedValue(const EditMask &mask, const QString &displayText);
// True when every required position of the mask is filled (or nothing is).
bool maskComplete(const EditMask &mask, const QString &displayText);

class DbMaskEdit : public QLineEdit, public DataControl {
    Q_OBJECT
public:
    explicit DbMaskEdit(QWidget *parent = nullptr);
    void setEditMask(const QString &oldMask);
    const EditMask &editMask() const { return m_mask; }
    QString value() const { return maskedValue(m_mask, displayText()); }
    void setCharCase(CharCase c) { m_case = c; }
    void showField() override;
protected:
    void focusOutEvent(QFocusEvent *e) override;
private:
    void onEdited(const QString &text);
    QString m_reported;
    EditMask m_mask;
    CharCase m_case = CharCase::Normal;
};

class DbMemo : public QPlainTextEdit, public DataControl {
    Q_OBJECT
public:
    explicit DbMemo(QWidget *parent = nullptr);
    void setCharCase(CharCase c) { m_case = c; }
    void showField() override;
private:
    void onChanged();
    CharCase m_case = CharCase::Normal;
    bool m_showing = false;
};

// Read-only text of a field, numbers through a display mask.
class DbLabel : public QLabel, public DataControl {
    Q_OBJECT
public:
    explicit DbLabel(QWidget *parent = nullptr);
    void setDisplayMask(const QString &mask) { m_mask = mask; showField(); }
    void showField() override;
private:
    QString m_mask;
};
using DbText = DbLabel;

// Enter moves to the next control of the window and the key is swallowed.
// "Next" is the order the controls stand on screen: the order of the
// window's layouts (grid layouts row by row, left to right), not the order
// the controls were created in. A line edit's returnPressed still fires
// first; when its handler moves the focus itself, nothing more happens. Push
// buttons, multi-line editors, grids and controls marked with keepEnter()
// keep their Enter. Where a window gives Esc that meaning
// (setEscapeMovesBack), Esc moves to the previous control instead of closing.
class EnterMovesFocus : public QObject {
    Q_OBJECT
public:
    static EnterMovesFocus *install(QWidget *window);
    static void keepEnter(QWidget *control, bool keep = true);
    static void setEscapeMovesBack(QWidget *window, bool on);
    // Next / previous control in screen order that can take the focus
    // (wrapping round); nullptr when none.
    static QWidget *nextControl(QWidget *from);
    static QWidget *previousControl(QWidget *from);
    // Every widget of the window in screen order.
    static QList<QWidget *> screenOrder(QWidget *window);
protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
private:
    explicit EnterMovesFocus(QWidget *window);
    QWidget *m_window;
};

// Applies upper/lower case to a line edit's text keeping the cursor.
void forceCase(QLineEdit *edit, CharCase c);

} // namespace brelvo::core
