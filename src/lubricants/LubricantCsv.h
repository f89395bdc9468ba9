#pragma once
// Loading the lubricant table from a ';'-separated file and saving it to one.
//
// The file is UTF-8 (with or without a byte-order mark) or, when it is not
// valid UTF-8, Windows-1252. The first line names the columns: the field
// names (Fabricante, Carro, Modelo, Ano, Combustivel, Lubrificane or
// Lubrificante, NormaAPI, Litros_Carter, Image) or the editor's captions,
// in any order, without regard to case or accents; other columns are
// ignored. Fabricante and Carro are required. A row equal to a stored
// vehicle (maker, car, model, year and fuel) or to an earlier row of the
// file is refused, so loading the same file twice adds nothing the second time.

#include "data/Database.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace brelvo::lubricants {

// Text of the file: UTF-8 when valid (byte-order mark dropped), else Windows-1252.
QString decodeText(const QByteArray &bytes, bool *wasUtf8 = nullptr);

// Splits ';'-separated text into records. Fields may be quoted with '"'
// (a doubled quote inside stands for one, and ';' or line breaks inside
// are kept); unquoted fields are trimmed. `lines` gets the line each record
// starts on (1-based). Lines with only blanks and separators give no record.
QList<QStringList> splitCsv(const QString &text, QList<int> *lines = nullptr);

struct ImportRow {
    int line = 0;               // line of the file
    QVariantMap values;         // field name -> value to store
    QString reason;             // why the row is refused; empty when it is added
    bool accepted() const { return reason.isEmpty(); }
};

struct ImportPlan {
    QString error;              // the file as a whole cannot be read
    QStringList ignoredColumns; // header names that match no field
    QList<ImportRow> rows;
    int acceptedCount() const;
    int refusedCount() const;
};

// What loading `bytes` into the table would do, checked against the rows
// stored now. Reads the table; writes nothing.
ImportPlan planImport(const QByteArray &bytes, const data::DatabasePtr &db);

struct ImportResult {
    int added = 0;
    QList<ImportRow> refused;   // the plan's refusals and rows stored meanwhile
};

// Stores the accepted rows of a plan in one transaction (all or none),
// checking again against the rows stored now. Throws DbError.
ImportResult runImport(const ImportPlan &plan, const data::DatabasePtr &db);

// The whole table in model-year order, as UTF-8 with a byte-order mark and
// a header the import reads back. Throws DbError.
QByteArray exportCsv(const data::DatabasePtr &db);

// The fields the import fills, in the export's column order.
QStringList importFields();

} // namespace brelvo::lubricants
