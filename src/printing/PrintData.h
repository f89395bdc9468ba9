#pragma once
// What printouts read besides their own rows: the issuer (first row of
// empresa.DB), the logo path (logo.db), and the rows of a window's cursor
// taken without disturbing the window.

#include "data/Database.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <vector>

namespace brelvo::data { class Dataset; }

namespace brelvo::printing {

// The workshop as printed on its documents. Blank texts when the table has no row.
struct Issuer {
    QString empresa, end, bairro, cidade, uf, cep, cnpj, ie, telefone, telefone2, telefone3, site, email;
};

// First row of empresa.DB, read now (settings are never cached).
Issuer readIssuer(const data::DatabasePtr &db);

// The customer a printout names by the code box's text (tbCliente.DB): the
// fields Codigo, Rg, Cic, Endereco, CARRO (the district), CEP, Cidade, UF,
// FONE and Celular; empty when no customer has that code. The code is bound,
// never pasted into the query.
QVariantMap readCustomer(const data::DatabasePtr &db, const QString &codeText);

// LogoCaminho of logo.db, trimmed; empty when no logo is set.
QString readLogoPath(const data::DatabasePtr &db);

// The given fields of every row of the cursor, first to last. The cursor's
// current row is restored and its bound controls stay quiet meanwhile.
std::vector<QVariantMap> snapshotRows(data::Dataset &ds, const QStringList &fields);

} // namespace brelvo::printing
