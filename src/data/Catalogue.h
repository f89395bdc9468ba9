#pragma once
// The table catalogue: every table with its fields, types, sizes and indexes.

#include "data/Numbering.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace brelvo::data {

enum class FieldType { AutoInc, Integer, Number, Money, Alpha, Date, Time, Memo, Graphic, Logical };

struct FieldDef {
    QString name;           // as declared ("Codigo", "Dia mes", "01")
    FieldType type;
    int size = 0;           // characters for Alpha, 0 otherwise
};

struct IndexDef {
    QString name;           // "ByCodigo"; matched without case. Empty for unnamed helper indexes.
    QStringList fields;     // ordering fields
    bool unique = false;
    bool primary = false;
    // Text compared as stored (letter case counts): serves queries that look a
    // value up with '=' (a plate), which an index in the sort order cannot.
    bool exact = false;
};

// Rows of another table that belong to a row of this one and are deleted with
// it: the detail rows whose `fields` hold this row's `masterFields`.
struct DetailDef {
    QString table;          // "TCadastroCarros.db"
    QStringList fields;     // link fields of the detail ("Link")
    QStringList masterFields; // the fields of this table they hold ("Codigo")
};

struct TableDef {
    QString fileName;       // "tbProdutos.db"
    QString sqlName;        // "tbprodutos"
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;      // named indexes and the speed indexes
    QString primaryKey;     // field of the primary index, empty when none
    bool singleRow = false; // settings tables that always hold exactly one row
    QString password;       // table password, empty when none
    Numbering numbering;    // the visible sequence number, if the table has one
    std::vector<DetailDef> details;     // deleted together with a row of this table

    const FieldDef *field(const QString &name) const;   // without case; nullptr if absent
    int fieldIndex(const QString &name) const;          // -1 if absent
    const IndexDef *index(const QString &name) const;   // by index name, without case
};

// All tables, in catalogue order.
const std::vector<TableDef> &catalogue();

// Rows a new database starts with: table file name -> rows (field -> value).
struct SeedRow {
    QString table;
    std::vector<std::pair<QString, QVariant>> values;
};
// Computed on each call (dates are today's).
std::vector<SeedRow> seedRows();

// Current schema version written into new databases.
constexpr int kSchemaVersion = 1;

} // namespace brelvo::data
