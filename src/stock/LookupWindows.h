#pragma once
// The one-column lookup lists: brands, units of measure, categories.

#include "data/Dataset.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace brelvo::stock {

class TFormLookup : public QDialog {
    Q_OBJECT
public:
    struct Kind {
        const char *className;   // "TFormMarcas"
        const char *title;       // "Cadastro Marcas"
        const char *group;       // "Marcas"
        const char *table;       // "tbMarcas.db"
        const char *field;       // "Marca"
    };
    static const Kind kMarcas, kMedidas, kCategorias;

    TFormLookup(const Kind &kind, data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFormLookup() override;

    void Adicionar();
    void Remover();
    void Editar();
    void Post();

    data::Table *table() const { return m_table; }
    // Values in the order the grid lists them.
    QStringList values() const;

protected:
    void done(int r) override;

private:
    void reload();
    void selectCurrent();
    void showError(const QString &text);

    Kind m_kind;
    data::DatabasePtr m_db;
    data::Table *m_table = nullptr;
    QLineEdit *m_nome = nullptr;
    QLineEdit *m_field = nullptr;    // hidden box bound to the field
    QPushButton *m_adicionar = nullptr, *m_remover = nullptr, *m_editar = nullptr;
    QToolButton *m_post = nullptr;
    QTableWidget *m_grid = nullptr;
    bool m_loading = false;
};

class TFormMarcas : public TFormLookup {
    Q_OBJECT
public:
    explicit TFormMarcas(data::DatabasePtr db, QWidget *parent = nullptr) : TFormLookup(kMarcas, std::move(db), parent) {}
};
class TFormMedidas : public TFormLookup {
    Q_OBJECT
public:
    explicit TFormMedidas(data::DatabasePtr db, QWidget *parent = nullptr) : TFormLookup(kMedidas, std::move(db), parent) {}
};
class TFormCategoria : public TFormLookup {
    Q_OBJECT
public:
    explicit TFormCategoria(data::DatabasePtr db, QWidget *parent = nullptr) : TFormLookup(kCategorias, std::move(db), parent) {}
};

} // namespace brelvo::stock
