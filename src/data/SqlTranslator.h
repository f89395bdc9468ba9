#pragma once
// Translation of the SQL texts the windows write into SQLite.
//
//   "tbProdutos.DB", tbProdutos.db      -> "tbprodutos" (the table's SQLite name)
//   tbProdutos, TbVendas.VenOs          -> unchanged (SQLite names match without case)
//   "PV", "S"                           -> 'PV', 'S'  (double quotes hold text, not names)
//   '12/31/2020', "12/31/2020"          -> '2020-12-31' (date constants are mm/dd/yyyy;
//                                          dates are stored as ISO text)
//   :vNome                              -> ?  (bound by name, in order of appearance)
//   (expr) Alias, expr as Alias         -> kept; an alias with accents or º
//                                          (Nº_Vendas, Total_Comissão) is quoted
//                                          and gets an explicit AS
// Everything else (joins in WHERE, SUM/COUNT/MAX, GROUP BY, ORDER BY ... DESC,
// BETWEEN, NOT EXISTS, UPPER, DELETE FROM) is SQLite already.
// Text compared with a numeric column ("0000000000123" against Codigo) is
// compared as a number by SQLite's column affinity.

#include <QString>
#include <QStringList>

namespace brelvo::data {

struct TranslatedSql {
    QString sql;
    QStringList params;     // parameter names in order of their '?'
    QStringList tables;     // catalogue file names the text refers to
};

TranslatedSql translateSql(const QString &sql);

} // namespace brelvo::data
