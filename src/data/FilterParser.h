#pragma once
// Record filters as the windows write them, turned into a SQL condition with
// bound values.
//
//   Funcao='MECÂNICO'           equality, case-sensitive
//   Descricao='ABC*'            a trailing * matches the beginning of the text
//   Codigo = 12   Codigo <> 3   <  <=  >  >=
//   Data >= '01/02/2020'        dates written dd/mm/yyyy, compared as dates
//   (a = 'x' or b <> 'y') and not c = 1
//   "Dia mes" = 'x'   [Dia mes] = 'x'   names with blanks
//   Campo = null / Campo <> null
//
// An empty field counts as smaller than any value: `Data < '01/01/1990'`
// matches the rows whose date is empty, `Data >= ...` does not.

#include "data/Catalogue.h"

#include <QString>
#include <QVariantList>
#include <vector>

namespace brelvo::data {

struct ParsedFilter {
    QString sql;            // condition over quoted column names, '?' for values
    QVariantList binds;     // storage values in order
};

// Throws DbError (FieldNotFound, InvalidValue, or Generic for bad syntax).
ParsedFilter parseFilter(const QString &expression, const std::vector<FieldDef> &fields);

} // namespace brelvo::data
