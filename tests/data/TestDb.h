#pragma once
// A fresh database in a temporary folder for each test.

#include "data/Database.h"
#include "data/Dataset.h"

#include <QTemporaryDir>
#include <QtTest>

namespace testdb {

struct Fresh {
    QTemporaryDir dir;
    brelvo::data::DatabasePtr db;
    Fresh()
    {
        db = brelvo::data::Database::open(dir.path(), true);
    }
};

// Appends a row with the given field values and posts it.
inline void addRow(brelvo::data::Table &t, std::initializer_list<std::pair<const char *, QVariant>> values)
{
    t.append();
    for (const auto &[f, v] : values)
        t.setValue(QString::fromUtf8(f), v);
    t.post();
}

// Values of one field over the whole cursor, first to last.
inline QStringList column(brelvo::data::Dataset &t, const QString &field)
{
    QStringList out;
    t.first();
    while (!t.eof()) {
        out << t.asString(field);
        t.next();
    }
    return out;
}

inline QStringList columnBackwards(brelvo::data::Dataset &t, const QString &field)
{
    QStringList out;
    t.last();
    while (!t.bof()) {
        out.prepend(t.asString(field));
        t.prior();
    }
    return out;
}

} // namespace testdb
