#pragma once
// The one-column lookup lists: brands, units of measure, categories.

#include "core/ValueListWindow.h"

namespace brelvo::stock {

class TFormLookup : public core::ValueListWindow {
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
