#pragma once
// Receipt and note numbers: the highest `Codigo` of the table plus one
// (1 for an empty table). The number a new document shows is provisional;
// the one it keeps is drawn again when it is saved, inside the write
// transaction, so that two programs saving at once never share a number.

#include "data/Dataset.h"

namespace brelvo::documents {

// Highest `Codigo` of the table plus one, over every row.
qint64 proximoNumero(const data::DatabasePtr &db, const QString &tabela);

// Appends a row showing the provisional number (the cursor is left on the
// index `byCodigo`, as the list of documents is numbered).
void novoNumerado(data::Table &tabela);

// Posts the cursor's pending row. A new row gets its number drawn here,
// inside one write transaction with the post. Throws DbError.
void gravarNumerado(data::Table &tabela);

} // namespace brelvo::documents
