#pragma once
// A one-column list kept in a table of its own (brands, measures,
// categories, job roles): a name box with "Adicionar", "Remover" and
// "Editar"; a grid "Cadastradas" of the values; a hidden box for changing the
// current value in place, stored by the navigator's Post button. A subclass
// adds its own refusals (mayAdd, mayRemove, mayEdit).

#include "core/RecordWindow.h"

class QLineEdit;
class QPushButton;

namespace brelvo::core {

class ValueListWindow : public RecordWindow {
    Q_OBJECT
public:
    struct Setup {
        QString table;          // "tbMarcas.db"
        QString field;          // "Marca"
        QString group;          // caption of the group box
        QString column;         // caption of the grid's column
        QString emptyMessage;   // "Adicionar" or Post with an empty name
        // Object names of the controls.
        QString nameBox, addButton, removeButton, editButton, valueBox;
    };

    ValueListWindow(data::DatabasePtr db, const Setup &setup, QWidget *parent = nullptr);

    void Adicionar();
    void Remover();
    void Editar();
    void Post();

    data::Table *table() const { return mainTable(); }
    // Values in the order the grid lists them.
    QStringList values() const;
    // Writes the in-place box into the field and posts; an empty name is refused.
    bool saveRecord() override;

protected:
    // Each shows its own message when it refuses.
    virtual bool mayAdd(const QString &value);
    virtual bool mayRemove();
    virtual bool mayEdit();
    void updateControls() override;
    QLineEdit *nameBox() const { return m_nome; }

private:
    Setup m_setup;
    QLineEdit *m_nome = nullptr;
    QLineEdit *m_value = nullptr;
    QPushButton *m_add = nullptr, *m_edit = nullptr;
    DbGrid *m_grid = nullptr;
};

} // namespace brelvo::core
