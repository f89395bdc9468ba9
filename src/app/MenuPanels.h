#pragma once
// The two panels the main menu shows over its picture: the permissions of
// ordinary users (Checkbox.db) and the logo (logo.db).

#include "data/Dataset.h"

#include <QFrame>
#include <QMap>
#include <functional>

class QCheckBox;
class QLineEdit;

namespace brelvo::app {

// "Permissões dos Usuários Secundários": one check box per permission field
// ("01".."18"); a change puts the row in editing, "Salvar / Testar" stores it.
class PermissionPanel : public QFrame {
    Q_OBJECT
public:
    PermissionPanel(data::DatabasePtr db, QWidget *parent);

    static QStringList fields();
    static QString caption(const QString &field);
    // Granted to ordinary users: checked, or never set.
    bool granted(const QString &field) const;
    // Shows the stored choices in the boxes.
    void load();

Q_SIGNALS:
    void saved();   // "Salvar / Testar" stored the choices
    void left();    // "Sair"

private:
    void toggled(const QString &field, bool checked);
    void save();
    data::Table *m_table;
    QMap<QString, QCheckBox *> m_boxes;
    bool m_loading = false;
};

// "Logo Marca": the stored picture path, "Alterar Logo Marca", "Salvar e
// Fechar", "Deixar Padrão" and the close mark "X".
class LogoPanel : public QFrame {
    Q_OBJECT
public:
    // `show` loads a picture into the main window; false (already told) when it cannot.
    LogoPanel(data::DatabasePtr db, std::function<bool(const QString &)> show, QWidget *parent);

    // The stored path ("" for none).
    QString storedPath() const;
    void open();

private:
    bool editing() const;
    void startEdit();
    void change();
    void saveAndClose();
    void reset();
    void closeMark();
    void showPath();
    data::Table *m_table;
    std::function<bool(const QString &)> m_show;
    QLineEdit *m_path;
};

} // namespace brelvo::app
