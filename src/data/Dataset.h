#pragma once
// Cursors over the database. A Dataset is a navigable, readable row set;
// Table adds indexes, filters, ranges, master/detail and editing; Query runs
// SQL with named parameters. All failures throw DbError.

#include "data/Catalogue.h"
#include "data/Database.h"

#include <QDate>
#include <QObject>
#include <QTime>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

namespace brelvo::data {

// Opaque position of a row; valid for the cursor that made it.
struct Bookmark {
    QVariantList key;       // ordering key values of the row (rowid last)
    bool isValid() const { return !key.isEmpty(); }
};

class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    explicit Dataset(DatabasePtr db, QObject *parent = nullptr);
    ~Dataset() override;

    DatabasePtr database() const { return m_db; }

    virtual void open() = 0;
    virtual void close() = 0;
    bool isOpen() const { return state() != State::Inactive; }
    virtual State state() const = 0;

    // Navigation. eof() is true after next() on the last row or when empty;
    // bof() after prior() on the first row or when empty.
    virtual void first() = 0;
    virtual void last() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    virtual bool eof() const = 0;
    virtual bool bof() const = 0;
    virtual bool isEmpty() const = 0;
    virtual int recordCount() = 0;
    // 0-based position of the current row in the cursor's order; -1 when empty.
    // Used by grids; may cost a count on large tables.
    virtual int recNo() = 0;
    virtual void moveTo(int recNo) = 0;

    virtual Bookmark bookmark() const = 0;
    virtual void gotoBookmark(const Bookmark &b) = 0;

    // Calls `each` positioned on the rows from `from` (0-based) on, at most
    // `count` of them, then comes back to the current row (a grid filling a
    // page). `each` only reads; the cursor's signals are the caller's to block.
    virtual void readRows(int from, int count, const std::function<void()> &each);

    // Fields. Names are matched without case.
    virtual QStringList fieldNames() const = 0;
    virtual bool hasField(const QString &name) const = 0;
    virtual FieldType fieldType(const QString &name) const = 0;
    virtual int fieldSize(const QString &name) const = 0;
    virtual QVariant value(const QString &field) const = 0;     // null QVariant for an empty field
    bool isNull(const QString &field) const { return value(field).isNull(); }
    QString asString(const QString &field) const;               // "" for null; dates dd/MM/yyyy
    double asFloat(const QString &field) const;                 // 0 for null
    qint64 asInteger(const QString &field) const;
    QDate asDate(const QString &field) const;                   // invalid for null
    QTime asTime(const QString &field) const;
    bool asBool(const QString &field) const;

    // Writing fields (Table in Edit/Insert state only; a Query throws).
    virtual void setValue(const QString &field, const QVariant &v);
    void clearField(const QString &field) { setValue(field, QVariant()); }

    virtual void refresh() = 0;

    // Suspends afterScroll/dataChanged signals during bulk moves (grids, reports).
    void disableControls() { ++m_controlsDisabled; }
    void enableControls();
    bool controlsDisabled() const { return m_controlsDisabled > 0; }

Q_SIGNALS:
    void stateChanged(brelvo::data::Dataset::State state);
    void afterOpen();
    void beforeClose();
    void afterScroll();                    // current row changed
    void fieldChanged(const QString &field); // a field of the current row was set
    void dataChanged();                    // rows re-read (refresh, filter, range, post, delete)

protected:
    DatabasePtr m_db;
    int m_controlsDisabled = 0;
};

class Table : public Dataset {
    Q_OBJECT
public:
    Table(DatabasePtr db, const QString &tableName, QObject *parent = nullptr);
    ~Table() override;

    QString tableName() const;             // as given
    const TableDef &def() const;

    void open() override;
    void close() override;
    State state() const override;

    // Ordering: a named index ("ByCodigo", without case) or a ';'-separated
    // field list ("Nome"). Empty = primary key / physical order.
    void setIndexName(const QString &name);
    void setIndexFieldNames(const QString &fields);
    QString indexName() const;
    QStringList indexFields() const;

    void first() override;
    void last() override;
    void next() override;
    void prior() override;
    bool eof() const override;
    bool bof() const override;
    bool isEmpty() const override;
    int recordCount() override;
    int recNo() override;
    void moveTo(int recNo) override;
    Bookmark bookmark() const override;
    void gotoBookmark(const Bookmark &b) override;
    void readRows(int from, int count, const std::function<void()> &each) override;

    // Searches on the current index. findKey: exact match of the leading index
    // fields, returns false and stays put when absent. findNearest: first row
    // whose key is >= the values (text compared without case), or the end.
    bool findKey(const QVariantList &values);
    void findNearest(const QVariantList &values);

    // Locate: fields ';'-separated. Options: case-insensitive, partial (prefix).
    enum LocateOption { NoOptions = 0, CaseInsensitive = 1, PartialKey = 2 };
    Q_DECLARE_FLAGS(LocateOptions, LocateOption)
    bool locate(const QString &fields, const QVariantList &values, LocateOptions options = NoOptions);

    // Filters written as the windows write them:
    //   Funcao='MECÂNICO'     Descricao='ABC*' (prefix)     Codigo = 12
    //   Data >= '01/02/2020' and Data <= '28/02/2020'   (empty date counts as earlier)
    //   (a = 'x' or b <> 'y') and not c = 1
    // Values are bound, never pasted into SQL. A bad expression throws DbError.
    void setFilter(const QString &expression);
    QString filter() const;
    void setFiltered(bool on);
    bool filtered() const;
    // Builds a quoted literal for a filter ('O''BRIEN').
    static QString quoted(const QString &text);

    // Range on the leading fields of the current index (inclusive).
    void setRange(const QVariantList &start, const QVariantList &end);
    void cancelRange();

    // Master/detail: this cursor shows the rows whose detailFields equal the
    // master's current masterFields; re-read when the master scrolls;
    // inserting fills the link fields. Fields ';'-separated.
    void setMasterSource(Dataset *master, const QString &masterFields, const QString &detailFields);
    void clearMasterSource();

    // Visible sequence number of the table (see Numbering.h); the catalogue's
    // rule unless set here. insert() puts a provisional number in the field;
    // post() draws the real one inside the transaction that stores the row and
    // the cursor then shows it. A number typed over the provisional one is
    // kept when no other row holds it.
    void setNumbering(const Numbering &numbering);
    Numbering numbering() const;

    // Editing. post() writes at once (durable when it returns). A row changed
    // by another cursor since edit() began is refused with RecordLocked and
    // nothing is written. remove() deletes the row together with its detail
    // rows declared in the catalogue (TableDef::details), in one transaction.
    void insert();          // new row before the current one (same as append in a keyed order)
    void append();
    void edit();
    void post();
    void cancel();
    void remove();          // delete the current row ("delete" in the old engine)

    QStringList fieldNames() const override;
    bool hasField(const QString &name) const override;
    FieldType fieldType(const QString &name) const override;
    int fieldSize(const QString &name) const override;
    QVariant value(const QString &field) const override;
    void setValue(const QString &field, const QVariant &v) override;
    // Value of the field as it was read from the database before editing.
    QVariant oldValue(const QString &field) const;
    bool modified() const;

    void refresh() override;

Q_SIGNALS:
    void beforeInsert();
    void afterInsert();
    void beforeEdit();
    void afterEdit();
    void beforePost();      // a handler may throw DbError to abort the post
    void afterPost();
    void beforeCancel();
    void afterCancel();
    void beforeDelete();
    void afterDelete();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

class Query : public Dataset {
    Q_OBJECT
public:
    explicit Query(DatabasePtr db, QObject *parent = nullptr);
    ~Query() override;

    // SQL as the windows write it (table file names in quotes or bare, joins in
    // WHERE, (expr) Alias, 'mm/dd/yyyy' date literals, :named parameters); it is
    // translated to SQLite keeping selection, grouping, order and column names.
    void setSql(const QString &sql);
    QString sql() const;
    QString translatedSql() const;
    void setParam(const QString &name, const QVariant &value);   // name without ':'
    void clearParams();

    void open() override;          // SELECT: result rows become the cursor
    void close() override;
    int execSql();                 // DELETE/UPDATE/INSERT: rows affected
    State state() const override;

    void first() override;
    void last() override;
    void next() override;
    void prior() override;
    bool eof() const override;
    bool bof() const override;
    bool isEmpty() const override;
    int recordCount() override;
    int recNo() override;
    void moveTo(int recNo) override;
    Bookmark bookmark() const override;
    void gotoBookmark(const Bookmark &b) override;

    QStringList fieldNames() const override;
    bool hasField(const QString &name) const override;
    FieldType fieldType(const QString &name) const override;
    int fieldSize(const QString &name) const override;
    QVariant value(const QString &field) const override;
    void refresh() override;       // re-runs the query

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace brelvo::data

Q_DECLARE_OPERATORS_FOR_FLAGS(brelvo::data::Table::LocateOptions)
