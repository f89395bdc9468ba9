// Table cursor. Rows are never loaded wholesale: the cursor keeps a small
// window of rows around the current one and moves with keyset queries on
// (index fields..., rowid), e.g.
//   next:  WHERE ("Nome" COLLATE PTBR, rowid) > (?, ?) ORDER BY "Nome" COLLATE PTBR, rowid LIMIT n
// (the engine decides how a text key is written; see Engine.h)
// Empty (NULL) key values sort first; positions around them are reached by
// splitting the search into segments (see keyset()).
// Editing is optimistic: post() updates the row only if it still holds the
// values read when editing began, so another cursor's change is never
// overwritten silently.

#include "data/Dataset.h"
#include "data/FilterParser.h"
#include "data/Numbering.h"
#include "data/SqliteStmt.h"
#include "data/Transaction.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace brelvo::data {

using namespace detail;

namespace {

constexpr int kWindow = 32;     // rows read ahead when moving on
constexpr int kInitial = 8;     // rows read when (re)positioning

struct Row {
    QVariantList vals;      // storage values, one per field
    qint64 rowid = 0;
};

// What the cursor last saw of the database.
struct Stamp {
    qint64 own = -1;
    qint64 others = -1;
    bool operator==(const Stamp &) const = default;
};

struct Cond {
    QString sql;
    QVariantList binds;
};

// The condition of a cursor without filter, range or link.
constexpr const char *kAllRows = "1=1";

bool isTextType(FieldType t) { return t == FieldType::Alpha || t == FieldType::Memo; }

QString joinConds(const QStringList &parts)
{
    return parts.isEmpty() ? QString::fromLatin1(kAllRows) : parts.join(QStringLiteral(" AND "));
}

} // namespace

struct Table::Impl {
    Table *q = nullptr;
    DatabasePtr db;
    Conn *h = nullptr;
    QString tableName;
    TableDef def;
    std::vector<FieldDef> fields;
    QHash<QString, int> fieldIdx;       // name as spelt and lower-case -> column
    State state = State::Inactive;

    // order
    QString indexName;
    QStringList indexFieldList;         // set by setIndexFieldNames
    QStringList orderFieldNames;        // resolved order fields
    std::vector<int> orderCols;         // empty: rowid order
    QStringList keyExprs;               // ORDER BY terms (text with the index collation)
    QStringList keyCols;                // column side of WHERE terms
    QStringList keyMarks;               // "?" or the text key of "?" (SQLite: the collation goes on the
                                        // value side so SQLite can search the index)
    QString orderAsc, orderDesc;
    int rowidCol = -1;                  // AutoInc field (alias of rowid)

    // restrictions
    QString filterText;
    bool filtered = false;
    Cond filterCond;
    bool ranged = false;
    Cond rangeCond;
    Dataset *master = nullptr;
    QStringList masterFields, detailFields;
    std::vector<int> detailCols;
    QList<QMetaObject::Connection> masterConns;
    QVariantList linkValues;
    Cond linkCond;
    bool masterPosted = false;

    QString selectSql;
    QString selectScanSql;              // the same, reading the table in creation order
    QString baseWhere = QString::fromLatin1(kAllRows);
    QVariantList baseBinds;
    quint64 predVersion = 0;

    // rows
    std::vector<Row> win;
    int pos = -1;
    bool eof = true, bof = true;
    Stamp seenChanges;

    // editing
    QVariantList editVals, origVals;
    qint64 editRowid = 0;
    bool modified = false;
    Numbering numbering;
    QVariant provisional;               // number shown on the row being inserted

    Stamp countChanges;
    quint64 countPred = 0;
    int countCache = 0;
    Stamp totalChanges;
    int totalCache = -1;                // rows of the whole table
    Stamp recNoChanges;
    quint64 recNoPred = 0;
    QVariantList recNoKey;
    int recNoCache = -1;

    // ---------------------------------------------------------------- helpers
    // Changes through this connection only: asking for other programs'
    // commits on every move costs more than the move itself. Rows of other
    // programs appear at the next read from the file (leaving the small
    // window, a search, refresh()); edit() always starts from the stored row.
    // Cursors' writes to other tables leave this one as it is.
    Stamp changes() const
    {
        Stamp st;
        st.own = h->tableWrites(def.sqlName);
        st.others = h->untrackedChanges();
        return st;
    }

    // Runs one write statement of this table, counted as this table's.
    template<typename F>
    auto tableWrite(F &&write)
    {
        const qint64 before = h->totalChanges();
        struct Note {
            Impl *d;
            qint64 before;
            ~Note() { d->h->noteTableWrite(d->def.sqlName, d->h->totalChanges() - before); }
        } note{this, before};
        return write();
    }

    std::shared_ptr<Stmt> stmt(const QString &sql) { return cachedStmt(h, sql); }

    int col(const QString &name) const
    {
        auto it = fieldIdx.constFind(name);     // spelt as in the table, mostly
        if (it == fieldIdx.constEnd())
            it = fieldIdx.constFind(name.toLower());
        return it == fieldIdx.constEnd() ? -1 : *it;
    }

    int colOrThrow(const QString &name) const
    {
        const int c = col(name.trimmed());
        if (c < 0)
            throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(name));
        return c;
    }

    void checkActive() const
    {
        if (state == State::Inactive)
            throw DbError(DbError::Kind::NotOpen,
                          QStringLiteral("A tabela %1 não está aberta.").arg(tableName));
    }

    QString keyMark(int c) const
    {
        return isTextType(fields[size_t(c)].type) ? h->textKey(QStringLiteral("?")) : QStringLiteral("?");
    }

    QString keyExpr(int c) const
    {
        const QString e = quoteIdent(fields[size_t(c)].name);
        return isTextType(fields[size_t(c)].type) ? h->textKey(e) : e;
    }

    void fillProvisionalNumber();
    void drawNumberForPost();
    void deleteDetails(const DetailDef &detail, const Row &master);

    void resolveFields();
    void setupOrder();
    void rebuildBase();
    void computeLink();

    Row rowFrom(const Stmt &s) const
    {
        Row r;
        r.rowid = s.column(0).toLongLong();
        const int n = int(fields.size());
        r.vals.reserve(n);
        for (int i = 0; i < n; ++i)
            r.vals.append(s.column(i + 1));
        return r;
    }

    int matching()
    {
        const Stamp ch = changes();
        if (ch != countChanges || predVersion != countPred) {
            // The grid asks for the row number next: both in one statement.
            if (pos >= 0 && state != State::Inactive)
                countRecNo(true);
            else
                countCache = countMatching();
            countChanges = ch;
            countPred = predVersion;
        }
        return countCache;
    }

    // The current row's number (rows before it) and, with `alsoMatching`,
    // the cursor's row count, in one statement (one round trip to a server).
    int countRecNo(bool alsoMatching)
    {
        const Row &cur = win[size_t(pos)];
        QVariantList key = keyOf(cur);
        const QString table = quoteIdent(def.sqlName);
        // In creation order the rows before are among the first row ids:
        // reading those is cheaper than the filter's index while they are fewer.
        bool scan = false;
        if (orderCols.empty() && baseWhere != QLatin1String(kAllRows)) {
            if (alsoMatching) {
                countCache = countMatching();
                alsoMatching = false;
            }
            scan = cur.rowid < 2 * qint64(countCache);
        }
        const QString from = scan ? h->inCreationOrder(table) : table;
        QStringList parts;
        QVariantList binds;
        for (const Cond &c : before(key)) {
            QString sub = QStringLiteral("(SELECT count(*) FROM %1 WHERE %2").arg(from, baseWhere);
            if (!c.sql.isEmpty())
                sub += QStringLiteral(" AND (") + c.sql + QLatin1Char(')');
            parts << sub + QLatin1Char(')');
            binds << baseBinds << c.binds;
        }
        QString sql = QStringLiteral("SELECT ") + (parts.isEmpty() ? QStringLiteral("0") : parts.join(QStringLiteral(" + ")));
        if (alsoMatching) {
            sql += QStringLiteral(", (SELECT count(*) FROM %1 WHERE %2)").arg(table, baseWhere);
            binds << baseBinds;
        }
        const auto sp = stmt(sql);
        Stmt &s = *sp;
        s.reset();
        s.bindAll(binds);
        int n = 0;
        if (s.step()) {
            n = int(s.column(0).toLongLong());
            if (alsoMatching)
                countCache = int(s.column(1).toLongLong());
        }
        s.reset();
        recNoChanges = changes();
        recNoPred = predVersion;
        recNoKey = std::move(key);
        recNoCache = n;
        return n;
    }

    int total()
    {
        const Stamp ch = changes();
        if (ch != totalChanges || totalCache < 0) {
            const auto sp = stmt(QStringLiteral("SELECT count(*) FROM %1").arg(quoteIdent(def.sqlName)));
            sp->reset();
            totalCache = sp->step() ? int(sp->column(0).toLongLong()) : 0;
            sp->reset();
            totalChanges = ch;
        }
        return totalCache;
    }

    // A filtered cursor in creation order: when most rows pass the filter,
    // reading the table in order fills a window of `limit` rows after about
    // limit * total / matching rows, while the filter's index reads and sorts
    // every matching row first.
    bool scanInOrder(int limit)
    {
        if (!orderCols.empty() || baseWhere == QLatin1String(kAllRows))
            return false;
        const qint64 n = matching();
        return n > 0 && n * n > qint64(limit) * total();
    }

    std::vector<Row> fetch(const Cond &extra, bool desc, int limit, int offset = 0)
    {
        QString sql = scanInOrder(limit + offset) ? selectScanSql : selectSql;
        sql += QStringLiteral(" WHERE ");
        sql += baseWhere;
        if (!extra.sql.isEmpty()) {
            sql += QStringLiteral(" AND (");
            sql += extra.sql;
            sql += QLatin1Char(')');
        }
        sql += desc ? orderDesc : orderAsc;
        sql += offset > 0 ? QStringLiteral(" LIMIT ? OFFSET ?") : QStringLiteral(" LIMIT ?");
        const auto sp = stmt(sql);
        Stmt &s = *sp;
        s.reset();
        int i = 1;
        for (const QVariant &v : baseBinds)
            s.bind(i++, v);
        for (const QVariant &v : extra.binds)
            s.bind(i++, v);
        s.bind(i++, limit);
        if (offset > 0)
            s.bind(i++, offset);
        std::vector<Row> rows;
        try {
            while (s.step()) {
                rows.push_back(rowFrom(s));
                if (int(rows.size()) >= limit)
                    break;
            }
        } catch (...) {
            s.reset();
            throw;
        }
        s.reset();      // ends the read snapshot
        return rows;
    }

    std::vector<Row> fetchSegments(const std::vector<Cond> &segs, bool desc, int limit)
    {
        std::vector<Row> rows;
        for (const Cond &c : segs) {
            if (int(rows.size()) >= limit)
                break;
            auto part = fetch(c, desc, limit - int(rows.size()));
            rows.insert(rows.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
        }
        return rows;
    }

    // The cursor's rows.
    int countMatching()
    {
        const auto sp = stmt(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(quoteIdent(def.sqlName), baseWhere));
        Stmt &s = *sp;
        s.reset();
        s.bindAll(baseBinds);
        const int n = s.step() ? int(s.column(0).toLongLong()) : 0;
        s.reset();
        return n;
    }

    QVariantList keyOf(const Row &r) const
    {
        QVariantList k;
        for (int c : orderCols)
            k << r.vals[c];
        k << r.rowid;
        return k;
    }

    // Keyset search: the rows beyond a key in the cursor's order, as segments
    // read one after the other, nearest rows first.
    //   key        values of the leading order fields, then (withRowid) the row id
    //   forward    rows after the key in index order, else before it (read backwards)
    //   inclusive  rows equal to the key count too
    // Empty values sort first. A comparison of several columns at once is used
    // where empty values cannot mislead it; otherwise the search splits into
    // one segment per leading field.
    struct Keyset {
        QStringList cols, marks;
        QVariantList vals;
        std::vector<bool> neverNull;
        bool forward = true;
        bool inclusive = false;
    };

    std::vector<Cond> keyset(const QVariantList &key, bool withRowid, bool forward, bool inclusive) const
    {
        Keyset k;
        k.forward = forward;
        k.inclusive = inclusive;
        const int n = withRowid ? int(key.size()) - 1 : int(key.size());
        for (int i = 0; i < n; ++i) {
            k.cols << keyCols[i];
            k.marks << keyMarks[i];
            k.vals << key[i];
            k.neverNull.push_back(false);
        }
        if (withRowid) {
            k.cols << QStringLiteral("rowid");
            k.marks << QStringLiteral("?");
            k.vals << key[n];
            k.neverNull.push_back(true);
        }
        std::vector<Cond> out;
        keysetFrom(k, 0, {}, {}, out);
        return out;
    }

    static void keysetFrom(const Keyset &k, int i, const QStringList &prefix, const QVariantList &pb,
                           std::vector<Cond> &out)
    {
        const int n = int(k.vals.size());
        auto segment = [&](const QString &term, const QVariantList &binds) {
            out.push_back({joinConds(term.isEmpty() ? prefix : QStringList(prefix) << term), binds});
        };
        if (i == n) {
            if (k.inclusive)
                segment({}, pb);
            return;
        }
        const QString &c = k.cols[i];
        const QString &m = k.marks[i];
        if (k.vals[i].isNull()) {
            if (k.neverNull[i]) {
                // Every row holds a value: all of them come after an empty key.
                if (k.forward)
                    segment({}, pb);
                return;
            }
            keysetFrom(k, i + 1, QStringList(prefix) << c + QStringLiteral(" IS NULL"), pb, out);
            if (k.forward)
                segment(c + QStringLiteral(" IS NOT NULL"), pb);
            return;
        }
        // Going forward an empty column fails ">" as it should; going backward
        // it must count as smaller, so only never-empty columns may follow.
        bool whole = true;
        for (int j = i; j < n; ++j)
            whole = whole && !k.vals[j].isNull();
        if (!k.forward) {
            for (int j = i + 1; j < n; ++j)
                whole = whole && k.neverNull[size_t(j)];
        }
        if (whole) {
            const QString op = k.forward ? (k.inclusive ? QStringLiteral(">=") : QStringLiteral(">"))
                                         : (k.inclusive ? QStringLiteral("<=") : QStringLiteral("<"));
            const QStringList cs = k.cols.mid(i), ms = k.marks.mid(i);
            const QString term = cs.size() == 1
                ? QStringLiteral("%1 %2 %3").arg(cs[0], op, ms[0])
                : QStringLiteral("(%1) %2 (%3)").arg(cs.join(QLatin1Char(',')), op, ms.join(QLatin1Char(',')));
            segment(term, QVariantList(pb) << k.vals.mid(i));
        } else {
            keysetFrom(k, i + 1, QStringList(prefix) << c + QStringLiteral(" = ") + m, QVariantList(pb) << k.vals[i], out);
            segment(c + (k.forward ? QStringLiteral(" > ") : QStringLiteral(" < ")) + m, QVariantList(pb) << k.vals[i]);
        }
        if (!k.forward && !k.neverNull[size_t(i)])
            segment(c + QStringLiteral(" IS NULL"), pb);
    }

    std::vector<Cond> after(const QVariantList &key) const { return keyset(key, true, true, false); }
    std::vector<Cond> before(const QVariantList &key) const { return keyset(key, true, false, false); }
    // Rows whose leading order fields are >= values.
    std::vector<Cond> atOrAfter(const QVariantList &values) const { return keyset(values, false, true, true); }

    void setState(State s)
    {
        if (state != s) {
            state = s;
            Q_EMIT q->stateChanged(s);
        }
    }

    void scrolled()
    {
        if (!q->controlsDisabled())
            Q_EMIT q->afterScroll();
    }
    void changed()
    {
        if (!q->controlsDisabled())
            Q_EMIT q->dataChanged();
    }

    void loadFirst()
    {
        win = fetch({}, false, kInitial);
        pos = win.empty() ? -1 : 0;
        bof = true;
        eof = win.empty();
        seenChanges = changes();
    }

    void positionOn(Row r)
    {
        win.clear();
        win.push_back(std::move(r));
        pos = 0;
        eof = bof = false;
        seenChanges = changes();
    }

    // Re-reads the current row when the database changed since it was read;
    // a row gone (or filtered out) gives way to its neighbour.
    void syncIfStale(bool force = false)
    {
        if (!force && changes() == seenChanges)
            return;
        if (pos < 0) {
            loadFirst();
            bof = eof = win.empty();
            return;
        }
        const Row cur = win[size_t(pos)];
        auto rows = fetch({QStringLiteral("rowid = ?"), {cur.rowid}}, false, 1);
        if (rows.empty()) {
            rows = fetchSegments(after(keyOf(cur)), false, 1);
            if (rows.empty())
                rows = fetchSegments(before(keyOf(cur)), true, 1);
        }
        win = std::move(rows);
        pos = win.empty() ? -1 : 0;
        if (win.empty())
            eof = bof = true;
        seenChanges = changes();
    }

    void browseMode()
    {
        checkActive();
        if (state == State::Edit || state == State::Insert)
            q->post();
    }

    QVariantList storageValues(const QVariantList &values, int count) const
    {
        QVariantList out;
        for (int i = 0; i < count; ++i)
            out << toStorage(fields[size_t(orderCols[size_t(i)])], values[i]);
        return out;
    }
};

// ---------------------------------------------------------------- setup

void Table::Impl::resolveFields()
{
    fields = db->fields(tableName);
    if (const TableDef *cat = Database::tableDef(tableName)) {
        def = *cat;
    } else {
        QString base = QFileInfo(tableName.trimmed()).fileName();
        const int dot = base.lastIndexOf(QLatin1Char('.'));
        if (dot > 0)
            base.truncate(dot);
        def = TableDef();
        def.fileName = tableName;
        def.sqlName = base.toLower();
    }
    // The actual table decides the field list (a migration may have added columns).
    def.fields = fields;
    fieldIdx.clear();
    rowidCol = -1;
    QStringList cols;
    for (size_t i = 0; i < fields.size(); ++i) {
        fieldIdx.insert(fields[i].name.toLower(), int(i));
        fieldIdx.insert(fields[i].name, int(i));
        cols << quoteIdent(fields[i].name);
        if (fields[i].type == FieldType::AutoInc)
            rowidCol = int(i);
    }
    selectSql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(cols.join(QLatin1Char(',')), quoteIdent(def.sqlName));
    // Still walks the row id, so row-id windows stay cheap.
    selectScanSql = QStringLiteral("SELECT rowid, %1 FROM %2")
                        .arg(cols.join(QLatin1Char(',')), h->inCreationOrder(quoteIdent(def.sqlName)));
}

void Table::Impl::setupOrder()
{
    QStringList names;
    if (!indexName.isEmpty()) {
        const IndexDef *ix = def.index(indexName);
        if (!ix)
            throw DbError(DbError::Kind::Generic,
                          QStringLiteral("Índice não encontrado: %1 (tabela %2)").arg(indexName, tableName));
        names = ix->fields;
    } else if (!indexFieldList.isEmpty()) {
        names = indexFieldList;
    } else if (!def.primaryKey.isEmpty()) {
        names << def.primaryKey;
    }
    orderCols.clear();
    keyExprs.clear();
    orderFieldNames.clear();
    for (const QString &n : names) {
        const int c = colOrThrow(n);
        orderFieldNames << fields[size_t(c)].name;
        orderCols.push_back(c);
    }
    // Ordering by the AutoInc field alone is the row id order itself.
    if (orderCols.size() == 1 && orderCols[0] == rowidCol)
        orderCols.clear();
    keyCols.clear();
    keyMarks.clear();
    QStringList asc, desc;
    for (int c : orderCols) {
        const QString name = quoteIdent(fields[size_t(c)].name);
        keyCols << (isTextType(fields[size_t(c)].type) ? h->textKeyColumn(name) : name);
        keyMarks << keyMark(c);
        keyExprs << keyExpr(c);
        asc << h->ascending(keyExprs.last());
        desc << h->descending(keyExprs.last());
    }
    asc << QStringLiteral("rowid");
    desc << QStringLiteral("rowid DESC");
    orderAsc = QStringLiteral(" ORDER BY ") + asc.join(QLatin1Char(','));
    orderDesc = QStringLiteral(" ORDER BY ") + desc.join(QLatin1Char(','));
}

void Table::Impl::computeLink()
{
    linkValues.clear();
    linkCond = {};
    if (!master)
        return;
    bool anyNull = false;
    const bool masterHasRow = master->isOpen() && (!master->isEmpty() || master->state() == State::Insert);
    for (int i = 0; i < int(detailCols.size()); ++i) {
        QVariant v;
        if (masterHasRow)
            v = toStorage(fields[size_t(detailCols[size_t(i)])], master->value(masterFields[i]));
        linkValues << v;
        anyNull = anyNull || v.isNull();
    }
    if (anyNull) {
        linkCond = {QStringLiteral("1=0"), {}};     // an empty master key shows no details
        return;
    }
    QStringList parts;
    for (size_t i = 0; i < detailCols.size(); ++i)
        parts << quoteIdent(fields[size_t(detailCols[i])].name) + QStringLiteral(" = ") + keyMark(detailCols[i]);
    linkCond = {parts.join(QStringLiteral(" AND ")), linkValues};
}

void Table::Impl::rebuildBase()
{
    QStringList parts;
    baseBinds.clear();
    for (const Cond *c : {&filterCond, &rangeCond, &linkCond}) {
        if (c == &filterCond && !filtered)
            continue;
        if (c == &rangeCond && !ranged)
            continue;
        if (c->sql.isEmpty())
            continue;
        parts << QLatin1Char('(') + c->sql + QLatin1Char(')');
        baseBinds << c->binds;
    }
    baseWhere = joinConds(parts);
    ++predVersion;
}

// ---------------------------------------------------------------- numbers and details

void Table::Impl::fillProvisionalNumber()
{
    provisional = QVariant();
    if (!numbering.isSet())
        return;
    const int c = colOrThrow(numbering.field);
    provisional = toStorage(fields[size_t(c)], provisionalNumber(*db, def.fileName, numbering));
    editVals[c] = provisional;
}

// Inside the write transaction of an insert: the row gets the number drawn now
// unless it holds one typed by hand that no other row has.
void Table::Impl::drawNumberForPost()
{
    const int c = colOrThrow(numbering.field);
    const QVariant v = editVals[c];
    bool draw = v.isNull() || (provisional.isValid() && !provisional.isNull() && v.toDouble() == provisional.toDouble());
    if (!draw)
        draw = numberTaken(*db, def.fileName, numbering, qint64(std::llround(v.toDouble())));
    if (draw)
        editVals[c] = toStorage(fields[size_t(c)], drawNumber(*db, def.fileName, numbering));
}

void Table::Impl::deleteDetails(const DetailDef &detail, const Row &master)
{
    const std::vector<FieldDef> detailFields = db->fields(detail.table);
    auto detailField = [&](const QString &name) {
        for (const FieldDef &f : detailFields) {
            if (f.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
                return quoteIdent(f.name);
        }
        throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(name));
    };
    QStringList link, same;
    QVariantList values;
    for (int i = 0; i < detail.masterFields.size() && i < detail.fields.size(); ++i) {
        const int mc = colOrThrow(detail.masterFields[i]);
        const QVariant v = master.vals[mc];
        if (v.isNull())
            return;         // a row without a key has no details
        link << detailField(detail.fields[i]) + QStringLiteral(" = ?");
        same << quoteIdent(fields[size_t(mc)].name) + QStringLiteral(" = ?");
        values << v;
    }
    if (link.isEmpty())
        return;
    // Details stay while another row still holds the same key.
    Stmt s(h, QStringLiteral("DELETE FROM %1 WHERE %2 AND NOT EXISTS (SELECT 1 FROM %3 WHERE %4)")
                  .arg(quoteIdent(Database::sqlTableName(detail.table)), link.join(QStringLiteral(" AND ")),
                       quoteIdent(def.sqlName), same.join(QStringLiteral(" AND "))));
    s.bindAll(values);
    s.bindAll(values, int(values.size()) + 1);
    const qint64 before = h->totalChanges();
    s.exec();
    h->noteTableWrite(Database::sqlTableName(detail.table), h->totalChanges() - before);
}

// ---------------------------------------------------------------- Table

Table::Table(DatabasePtr db, const QString &tableName, QObject *parent)
    : Dataset(std::move(db), parent), d(std::make_unique<Impl>())
{
    d->q = this;
    d->db = m_db;
    d->h = conn(*m_db);
    d->tableName = tableName;
    if (const TableDef *t = Database::tableDef(tableName))
        d->def = *t;
    else
        d->def.fileName = tableName;
    d->numbering = d->def.numbering;
}

void Table::setNumbering(const Numbering &numbering) { d->numbering = numbering; }
Numbering Table::numbering() const { return d->numbering; }

Table::~Table()
{
    for (const auto &c : std::as_const(d->masterConns))
        disconnect(c);
    d->masterConns.clear();
}

QString Table::tableName() const { return d->tableName; }
const TableDef &Table::def() const { return d->def; }
Dataset::State Table::state() const { return d->state; }

void Table::open()
{
    if (d->state != State::Inactive)
        return;
    if (const TableDef *t = Database::tableDef(d->tableName)) {
        if (!t->password.isEmpty() && !m_db->hasPassword(t->password))
            throw DbError(DbError::Kind::WrongPassword,
                          QStringLiteral("Senha inválida para a tabela %1.").arg(t->fileName));
    }
    d->resolveFields();
    d->setupOrder();
    if (d->filtered && !d->filterText.trimmed().isEmpty()) {
        const ParsedFilter pf = parseFilter(d->filterText, d->fields);
        d->filterCond = {pf.sql, pf.binds};
    } else {
        d->filterCond = {};
    }
    d->computeLink();
    d->rebuildBase();
    d->loadFirst();
    d->setState(State::Browse);
    Q_EMIT afterOpen();
    d->scrolled();
}

void Table::close()
{
    if (d->state == State::Inactive)
        return;
    if (d->state == State::Edit || d->state == State::Insert)
        cancel();
    Q_EMIT beforeClose();
    d->win.clear();
    d->pos = -1;
    d->eof = d->bof = true;
    d->setState(State::Inactive);
}

void Table::setIndexName(const QString &name)
{
    // The same index again, with no range to drop: nothing to re-read.
    if (d->state == State::Browse && d->indexFieldList.isEmpty() && !d->ranged && d->indexName == name.trimmed())
        return;
    d->indexName = name.trimmed();
    d->indexFieldList.clear();
    if (d->state == State::Inactive)
        return;
    d->browseMode();
    const qint64 rowid = d->pos >= 0 ? d->win[size_t(d->pos)].rowid : -1;
    d->setupOrder();
    d->ranged = false;
    d->rebuildBase();
    auto rows = rowid >= 0 ? d->fetch({QStringLiteral("rowid = ?"), {rowid}}, false, 1) : std::vector<Row>();
    if (rows.empty())
        d->loadFirst();
    else
        d->positionOn(std::move(rows[0]));
    d->changed();
    d->scrolled();
}

void Table::setIndexFieldNames(const QString &fieldList)
{
    QStringList names;
    for (const QString &n : fieldList.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        names << n.trimmed();
    const QString keepIndex = d->indexName;
    d->indexName.clear();
    d->indexFieldList = names;
    if (d->state == State::Inactive)
        return;
    try {
        d->browseMode();
        const qint64 rowid = d->pos >= 0 ? d->win[size_t(d->pos)].rowid : -1;
        d->setupOrder();
        d->ranged = false;
        d->rebuildBase();
        auto rows = rowid >= 0 ? d->fetch({QStringLiteral("rowid = ?"), {rowid}}, false, 1) : std::vector<Row>();
        if (rows.empty())
            d->loadFirst();
        else
            d->positionOn(std::move(rows[0]));
    } catch (...) {
        d->indexFieldList.clear();
        d->indexName = keepIndex;
        d->setupOrder();
        throw;
    }
    d->changed();
    d->scrolled();
}

QString Table::indexName() const { return d->indexName; }
QStringList Table::indexFields() const { return d->orderFieldNames; }

void Table::first()
{
    d->browseMode();
    d->loadFirst();
    d->scrolled();
}

void Table::last()
{
    d->browseMode();
    auto rows = d->fetch({}, true, kInitial);
    std::reverse(rows.begin(), rows.end());
    d->win = std::move(rows);
    d->pos = int(d->win.size()) - 1;
    d->eof = true;
    d->bof = d->win.empty();
    d->seenChanges = d->changes();
    d->scrolled();
}

void Table::next()
{
    d->browseMode();
    d->syncIfStale();
    if (d->pos < 0) {
        d->eof = true;
        return;
    }
    if (d->pos + 1 < int(d->win.size())) {
        ++d->pos;
        d->eof = d->bof = false;
        d->scrolled();
        return;
    }
    auto rows = d->fetchSegments(d->after(d->keyOf(d->win[size_t(d->pos)])), false, kWindow);
    if (rows.empty()) {
        d->eof = true;
        return;
    }
    d->win.insert(d->win.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    if (d->win.size() > size_t(4 * kWindow)) {
        const int drop = int(d->win.size()) - 2 * kWindow;
        const int keep = std::min(drop, d->pos);
        d->win.erase(d->win.begin(), d->win.begin() + keep);
        d->pos -= keep;
    }
    ++d->pos;
    d->eof = d->bof = false;
    d->scrolled();
}

void Table::prior()
{
    d->browseMode();
    d->syncIfStale();
    if (d->pos < 0) {
        d->bof = true;
        return;
    }
    if (d->pos > 0) {
        --d->pos;
        d->eof = d->bof = false;
        d->scrolled();
        return;
    }
    auto rows = d->fetchSegments(d->before(d->keyOf(d->win[0])), true, kWindow);
    if (rows.empty()) {
        d->bof = true;
        return;
    }
    const int n = int(rows.size());
    std::reverse(rows.begin(), rows.end());
    d->win.insert(d->win.begin(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    d->pos += n;
    if (d->win.size() > size_t(4 * kWindow))
        d->win.resize(size_t(std::max(d->pos + 1, 2 * kWindow)));
    --d->pos;
    d->eof = d->bof = false;
    d->scrolled();
}

bool Table::eof() const { return d->eof; }
bool Table::bof() const { return d->bof; }

bool Table::isEmpty() const
{
    if (d->state == State::Inactive)
        return true;
    return d->pos < 0;
}

int Table::recordCount()
{
    d->checkActive();
    return d->matching();
}

int Table::recNo()
{
    d->checkActive();
    d->syncIfStale();
    if (d->pos < 0)
        return -1;
    const Stamp ch = d->changes();
    if (ch == d->recNoChanges && d->predVersion == d->recNoPred && d->keyOf(d->win[size_t(d->pos)]) == d->recNoKey)
        return d->recNoCache;
    const bool countStale = ch != d->countChanges || d->predVersion != d->countPred;
    const int n = d->countRecNo(countStale);
    if (countStale) {
        d->countChanges = ch;
        d->countPred = d->predVersion;
    }
    return n;
}

void Table::moveTo(int recNo)
{
    d->browseMode();
    if (recNo <= 0) {
        first();
        return;
    }
    auto rows = d->fetch({}, false, 1, recNo);
    if (rows.empty()) {
        last();
        return;
    }
    d->positionOn(std::move(rows[0]));
    d->scrolled();
}

Bookmark Table::bookmark() const
{
    if (d->state == State::Inactive || d->pos < 0)
        return {};
    return {d->keyOf(d->win[size_t(d->pos)])};
}

void Table::gotoBookmark(const Bookmark &b)
{
    d->browseMode();
    if (!b.isValid())
        return;
    // A row of the window, nothing written since it was read: no read needed.
    if (d->changes() == d->seenChanges) {
        const qint64 rowid = b.key.last().toLongLong();
        for (size_t i = 0; i < d->win.size(); ++i) {
            if (d->win[i].rowid == rowid) {
                d->pos = int(i);
                d->eof = d->bof = false;
                d->scrolled();
                return;
            }
        }
    }
    auto rows = d->fetch({QStringLiteral("rowid = ?"), {b.key.last()}}, false, 1);
    if (rows.empty())
        throw DbError(DbError::Kind::Generic, QStringLiteral("Registro não encontrado."));
    d->positionOn(std::move(rows[0]));
    d->scrolled();
}

// One read for the whole run of rows; the window the cursor had comes back
// as it was, without reading it again.
void Table::readRows(int from, int count, const std::function<void()> &each)
{
    d->browseMode();
    if (count <= 0)
        return;
    auto rows = d->fetch({}, false, count, std::max(from, 0));
    struct Saved {
        Impl *d;
        std::vector<Row> win;
        int pos;
        bool eof, bof;
        Stamp seen;
        ~Saved()
        {
            d->win = std::move(win);
            d->pos = pos;
            d->eof = eof;
            d->bof = bof;
            d->seenChanges = seen;
        }
    } saved{d.get(), std::move(d->win), d->pos, d->eof, d->bof, d->seenChanges};
    d->win = std::move(rows);
    d->seenChanges = d->changes();
    for (d->pos = 0; d->pos < int(d->win.size()); ++d->pos) {
        d->eof = d->bof = false;
        each();
    }
}

bool Table::findKey(const QVariantList &values)
{
    d->browseMode();
    if (values.isEmpty())
        return false;
    Cond c;
    QStringList parts;
    if (d->orderCols.empty()) {
        if (d->rowidCol < 0)
            throw DbError(DbError::Kind::Generic,
                          QStringLiteral("Nenhum índice ativo para a busca na tabela %1.").arg(d->tableName));
        const QVariant v = toStorage(d->fields[size_t(d->rowidCol)], values[0]);
        if (v.isNull())
            return false;
        c = {QStringLiteral("rowid = ?"), {v}};
    } else {
        const int m = std::min(int(values.size()), int(d->orderCols.size()));
        const QVariantList vals = d->storageValues(values, m);
        for (int i = 0; i < m; ++i) {
            if (vals[i].isNull()) {
                parts << d->keyCols[i] + QStringLiteral(" IS NULL");
            } else {
                parts << d->keyCols[i] + QStringLiteral(" = ") + d->keyMarks[i];
                c.binds << vals[i];
            }
        }
        c.sql = parts.join(QStringLiteral(" AND "));
    }
    auto rows = d->fetch(c, false, 1);
    if (rows.empty())
        return false;
    d->positionOn(std::move(rows[0]));
    d->scrolled();
    return true;
}

void Table::findNearest(const QVariantList &values)
{
    d->browseMode();
    std::vector<Cond> segs;
    if (d->orderCols.empty()) {
        if (d->rowidCol < 0 || values.isEmpty()) {
            first();
            return;
        }
        // Row id order: the key is the row id itself.
        segs = d->keyset({toStorage(d->fields[size_t(d->rowidCol)], values[0])}, true, true, true);
    } else {
        const int m = std::min(int(values.size()), int(d->orderCols.size()));
        segs = d->atOrAfter(d->storageValues(values, m));
    }
    auto rows = d->fetchSegments(segs, false, 1);
    if (rows.empty()) {
        // Nothing at or after the value: the cursor rests on the last row.
        last();
        d->eof = d->pos < 0;
        return;
    }
    d->positionOn(std::move(rows[0]));
    d->scrolled();
}

bool Table::locate(const QString &fieldList, const QVariantList &values, LocateOptions options)
{
    d->browseMode();
    const QStringList names = fieldList.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (names.isEmpty() || names.size() != values.size())
        throw DbError(DbError::Kind::Generic, QStringLiteral("Localização inválida: campos e valores não conferem."));
    Cond c;
    QStringList parts;
    for (int i = 0; i < names.size(); ++i) {
        const int col = d->colOrThrow(names[i]);
        const FieldDef &f = d->fields[size_t(col)];
        const QString name = quoteIdent(f.name);
        const QVariant v = toStorage(f, values[i]);
        if (v.isNull()) {
            parts << name + QStringLiteral(" IS NULL");
            continue;
        }
        if (isTextType(f.type)) {
            const bool anyCase = options & CaseInsensitive;
            if ((options & PartialKey) && !anyCase) {
                // Text as stored beginning with the value: a range an exact index serves.
                parts << storedPrefixRange(name);
                c.binds << storedPrefixBinds(v.toString());
            } else {
                const QString lhs = (options & PartialKey) ? QStringLiteral("substr(%1, 1, ?)").arg(name) : name;
                parts << (anyCase ? d->h->textKey(lhs) + QStringLiteral(" = ") + d->h->textKey(QStringLiteral("?"))
                                  : lhs + QStringLiteral(" = ?"));
                if (options & PartialKey)
                    c.binds << v.toString().size();
                c.binds << v;
            }
        } else {
            parts << name + QStringLiteral(" = ?");
            c.binds << v;
        }
    }
    c.sql = parts.join(QStringLiteral(" AND "));
    auto rows = d->fetch(c, false, 1);
    if (rows.empty())
        return false;
    d->positionOn(std::move(rows[0]));
    d->scrolled();
    return true;
}

void Table::setFilter(const QString &expression)
{
    if (d->state == State::Edit || d->state == State::Insert)
        post();
    d->filterText = expression;
    if (d->filtered)
        setFiltered(true);
}

QString Table::filter() const { return d->filterText; }

void Table::setFiltered(bool on)
{
    if (d->state == State::Inactive) {
        d->filtered = on;
        return;
    }
    d->browseMode();
    if (on && !d->filterText.trimmed().isEmpty()) {
        try {
            const ParsedFilter pf = parseFilter(d->filterText, d->fields);
            d->filterCond = {pf.sql, pf.binds};
        } catch (...) {
            // A bad filter leaves the cursor unfiltered.
            d->filtered = false;
            d->filterCond = {};
            d->rebuildBase();
            d->loadFirst();
            d->changed();
            d->scrolled();
            throw;
        }
    } else {
        d->filterCond = {};
    }
    d->filtered = on;
    d->rebuildBase();
    d->loadFirst();
    d->changed();
    d->scrolled();
}

bool Table::filtered() const { return d->filtered; }

QString Table::quoted(const QString &text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

void Table::setRange(const QVariantList &start, const QVariantList &end)
{
    d->browseMode();
    const int m = std::min({int(start.size()), int(end.size()), int(d->orderCols.size())});
    if (m == 0)
        throw DbError(DbError::Kind::Generic,
                      QStringLiteral("Faixa inválida: nenhum índice ativo na tabela %1.").arg(d->tableName));
    const QVariantList s = d->storageValues(start, m);
    const QVariantList e = d->storageValues(end, m);
    QStringList ks, marks;
    for (int i = 0; i < m; ++i) {
        ks << d->keyCols[i];
        marks << d->keyMarks[i];
    }
    const QString k = QLatin1Char('(') + ks.join(QLatin1Char(',')) + QLatin1Char(')');
    const QString mk = QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    Cond c;
    QStringList parts;
    bool sNull = false, eNull = false;
    for (int i = 0; i < m; ++i) {
        sNull = sNull || s[i].isNull();
        eNull = eNull || e[i].isNull();
    }
    if (!sNull) {
        parts << k + QStringLiteral(" >= ") + mk;
        c.binds << s;
    }
    if (!eNull) {
        parts << k + QStringLiteral(" <= ") + mk;
        c.binds << e;
    }
    c.sql = parts.isEmpty() ? QStringLiteral("1=1") : parts.join(QStringLiteral(" AND "));
    d->rangeCond = c;
    d->ranged = true;
    d->rebuildBase();
    d->loadFirst();
    d->changed();
    d->scrolled();
}

void Table::cancelRange()
{
    if (!d->ranged)
        return;
    d->ranged = false;
    d->rangeCond = {};
    if (d->state == State::Inactive)
        return;
    d->browseMode();
    d->rebuildBase();
    d->loadFirst();
    d->changed();
    d->scrolled();
}

void Table::setMasterSource(Dataset *master, const QString &masterFields, const QString &detailFields)
{
    clearMasterSource();
    const QStringList mf = masterFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    const QStringList df = detailFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (!master || mf.isEmpty() || mf.size() != df.size())
        throw DbError(DbError::Kind::Generic, QStringLiteral("Ligação mestre/detalhe inválida."));
    if (d->fields.empty())
        d->resolveFields();
    d->detailCols.clear();
    for (const QString &f : df)
        d->detailCols.push_back(d->colOrThrow(f));
    d->master = master;
    for (const QString &f : mf)
        d->masterFields << f.trimmed();
    for (const QString &f : df)
        d->detailFields << f.trimmed();

    auto follow = [this](bool force) {
        if (d->state == State::Inactive || !d->master)
            return;
        const QVariantList before = d->linkValues;
        if (d->state == State::Edit || d->state == State::Insert)
            post();
        d->computeLink();
        if (!force && before == d->linkValues)
            return;
        d->rebuildBase();
        d->loadFirst();
        d->changed();
        d->scrolled();
    };
    d->masterConns << connect(master, &Dataset::afterScroll, this, [follow] { follow(false); });
    d->masterConns << connect(master, &Dataset::stateChanged, this, [follow] { follow(false); });
    // The master's own post leaves its details as they were unless the link
    // changed or this table was written meanwhile: no re-read then.
    if (auto *table = qobject_cast<Table *>(master))
        d->masterConns << connect(table, &Table::afterPost, this, [this] { d->masterPosted = true; });
    d->masterConns << connect(master, &Dataset::dataChanged, this, [this, follow] {
        const bool posted = std::exchange(d->masterPosted, false);
        follow(!posted || d->changes() != d->seenChanges);
    });
    d->masterConns << connect(master, &Dataset::afterOpen, this, [follow] { follow(true); });
    d->masterConns << connect(master, &QObject::destroyed, this, [this] {
        for (const auto &c : std::as_const(d->masterConns))
            disconnect(c);
        d->masterConns.clear();
        d->master = nullptr;
    });
    if (d->state != State::Inactive) {
        d->browseMode();
        d->computeLink();
        d->rebuildBase();
        d->loadFirst();
        d->changed();
        d->scrolled();
    }
}

void Table::clearMasterSource()
{
    for (const auto &c : std::as_const(d->masterConns))
        disconnect(c);
    d->masterConns.clear();
    const bool had = d->master != nullptr;
    d->master = nullptr;
    d->masterFields.clear();
    d->detailFields.clear();
    d->detailCols.clear();
    d->linkValues.clear();
    d->linkCond = {};
    if (had && d->state == State::Browse) {
        d->rebuildBase();
        d->loadFirst();
        d->changed();
        d->scrolled();
    }
}

// ---------------------------------------------------------------- editing

void Table::insert()
{
    d->browseMode();
    Q_EMIT beforeInsert();
    d->editVals = QVariantList();
    for (size_t i = 0; i < d->fields.size(); ++i)
        d->editVals << QVariant();
    // A detail row belongs to the master's current row.
    d->computeLink();
    for (size_t i = 0; i < d->detailCols.size(); ++i)
        d->editVals[d->detailCols[i]] = d->linkValues.value(int(i));
    d->fillProvisionalNumber();
    d->origVals.clear();
    d->editRowid = 0;
    d->modified = false;
    d->setState(State::Insert);
    Q_EMIT afterInsert();
}

void Table::append() { insert(); }

void Table::edit()
{
    d->checkActive();
    if (d->state == State::Edit || d->state == State::Insert)
        return;
    if (d->pos < 0) {
        insert();
        return;
    }
    Q_EMIT beforeEdit();
    // Start from the row as it is stored now.
    const Row cur = d->win[size_t(d->pos)];
    auto rows = d->fetch({QStringLiteral("rowid = ?"), {cur.rowid}}, false, 1);
    if (rows.empty()) {
        Stmt probe(d->h, QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?").arg(quoteIdent(d->def.sqlName)));
        probe.bind(1, cur.rowid);
        const bool exists = probe.step();
        probe.reset();
        if (!exists) {
            d->syncIfStale(true);
            d->scrolled();
            throw DbError(DbError::Kind::RecordLocked, QStringLiteral("O registro foi excluído por outro usuário."));
        }
        // Still there but outside this cursor's view: edit it as read.
        rows.push_back(cur);
    }
    d->win[size_t(d->pos)] = rows[0];
    d->origVals = rows[0].vals;
    d->editVals = rows[0].vals;
    d->editRowid = rows[0].rowid;
    d->modified = false;
    d->setState(State::Edit);
    Q_EMIT afterEdit();
}

void Table::post()
{
    d->checkActive();
    if (d->state != State::Edit && d->state != State::Insert)
        return;
    Q_EMIT beforePost();
    const QString table = quoteIdent(d->def.sqlName);
    qint64 rowid = d->editRowid;
    std::optional<Transaction> tx;
    if (d->state == State::Insert) {
        if (d->numbering.isSet()) {
            tx.emplace(*d->db);
            d->drawNumberForPost();
        }
        QStringList cols, marks;
        QVariantList binds;
        for (size_t i = 0; i < d->fields.size(); ++i) {
            if (d->fields[i].type == FieldType::AutoInc)
                continue;
            cols << quoteIdent(d->fields[i].name);
            marks << QStringLiteral("?");
            binds << d->editVals[int(i)];
        }
        const QString sql = (cols.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))))
            + QStringLiteral(" RETURNING rowid");
        const auto sp = d->stmt(sql);
        Stmt &s = *sp;
        s.reset();
        s.bindAll(binds);
        try {
            d->tableWrite([&] {
                if (s.step())
                    rowid = s.column(0).toLongLong();
                while (s.step()) {
                }
            });
        } catch (...) {
            s.reset();
            throw;
        }
        s.reset();
        if (tx)
            tx->commit();
    } else {
        QStringList sets, checks;
        QVariantList binds, checkBinds;
        for (size_t i = 0; i < d->fields.size(); ++i) {
            const QString name = quoteIdent(d->fields[i].name);
            if (d->editVals[int(i)] != d->origVals[int(i)] || d->editVals[int(i)].metaType() != d->origVals[int(i)].metaType()) {
                sets << name + QStringLiteral(" = ?");
                binds << d->editVals[int(i)];
            }
            checks << d->h->same(name, QStringLiteral("?"));
            checkBinds << d->origVals[int(i)];
        }
        if (!sets.isEmpty()) {
            const auto sp = d->stmt(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ? AND %3")
                                  .arg(table, sets.join(QLatin1Char(',')), checks.join(QStringLiteral(" AND "))));
            Stmt &s = *sp;
            s.reset();
            s.bindAll(binds);
            s.bind(int(binds.size()) + 1, rowid);
            s.bindAll(checkBinds, int(binds.size()) + 2);
            if (d->tableWrite([&] { return s.exec(); }) == 0) {
                Stmt probe(d->h, QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?").arg(table));
                probe.bind(1, rowid);
                const bool exists = probe.step();
                probe.reset();
                throw DbError(DbError::Kind::RecordLocked,
                              exists ? QStringLiteral("Registro alterado por outro usuário. As alterações não foram gravadas.")
                                     : QStringLiteral("O registro foi excluído por outro usuário. As alterações não foram gravadas."));
            }
        }
    }
    d->modified = false;
    d->editVals.clear();
    d->origVals.clear();
    d->provisional = QVariant();
    auto rows = d->fetch({QStringLiteral("rowid = ?"), {rowid}}, false, 1);
    if (!rows.empty()) {
        d->positionOn(std::move(rows[0]));
    } else {
        // The posted row is outside the filter/range: stay near it.
        d->seenChanges = Stamp();
        d->syncIfStale(true);
    }
    d->setState(State::Browse);
    Q_EMIT afterPost();
    d->changed();
    d->scrolled();
}

void Table::cancel()
{
    if (d->state != State::Edit && d->state != State::Insert)
        return;
    Q_EMIT beforeCancel();
    d->editVals.clear();
    d->origVals.clear();
    d->modified = false;
    d->setState(State::Browse);
    Q_EMIT afterCancel();
    d->scrolled();
}

void Table::remove()
{
    d->checkActive();
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    if (d->state == State::Edit)
        cancel();
    if (d->pos < 0)
        throw DbError(DbError::Kind::Generic, QStringLiteral("Não há registro para excluir."));
    Q_EMIT beforeDelete();
    const Row cur = d->win[size_t(d->pos)];
    const QString table = quoteIdent(d->def.sqlName);
    std::optional<Transaction> tx;
    if (!d->def.details.empty())
        tx.emplace(*d->db);
    QStringList checks;
    for (const FieldDef &f : d->fields)
        checks << d->h->same(quoteIdent(f.name), QStringLiteral("?"));
    const auto sp = d->stmt(QStringLiteral("DELETE FROM %1 WHERE rowid = ? AND %2").arg(table, checks.join(QStringLiteral(" AND "))));
    Stmt &s = *sp;
    s.reset();
    s.bind(1, cur.rowid);
    s.bindAll(cur.vals, 2);
    if (d->tableWrite([&] { return s.exec(); }) == 0) {
        Stmt probe(d->h, QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?").arg(table));
        probe.bind(1, cur.rowid);
        const bool exists = probe.step();
        probe.reset();
        if (tx)
            tx->rollback();
        d->syncIfStale(true);
        d->scrolled();
        throw DbError(DbError::Kind::RecordLocked,
                      exists ? QStringLiteral("Registro alterado por outro usuário. O registro não foi excluído.")
                             : QStringLiteral("O registro já foi excluído por outro usuário."));
    }
    for (const DetailDef &detail : d->def.details)
        d->deleteDetails(detail, cur);
    if (tx)
        tx->commit();
    // Move to the following row, or the one before when it was the last.
    auto rows = d->fetchSegments(d->after(d->keyOf(cur)), false, 1);
    if (rows.empty())
        rows = d->fetchSegments(d->before(d->keyOf(cur)), true, 1);
    if (rows.empty()) {
        d->win.clear();
        d->pos = -1;
        d->eof = d->bof = true;
        d->seenChanges = d->changes();
    } else {
        d->positionOn(std::move(rows[0]));
    }
    Q_EMIT afterDelete();
    d->changed();
    d->scrolled();
}

// ---------------------------------------------------------------- fields

QStringList Table::fieldNames() const
{
    QStringList out;
    const auto &fs = d->fields.empty() ? d->def.fields : d->fields;
    for (const FieldDef &f : fs)
        out << f.name;
    return out;
}

bool Table::hasField(const QString &name) const
{
    if (!d->fields.empty())
        return d->col(name) >= 0;
    return d->def.field(name) != nullptr;
}

FieldType Table::fieldType(const QString &name) const
{
    if (d->fields.empty()) {
        if (const FieldDef *f = d->def.field(name))
            return f->type;
        throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(name));
    }
    return d->fields[size_t(d->colOrThrow(name))].type;
}

int Table::fieldSize(const QString &name) const
{
    if (d->fields.empty()) {
        if (const FieldDef *f = d->def.field(name))
            return f->size;
        throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(name));
    }
    return d->fields[size_t(d->colOrThrow(name))].size;
}

QVariant Table::value(const QString &field) const
{
    d->checkActive();
    const int c = d->colOrThrow(field);
    const FieldType t = d->fields[size_t(c)].type;
    if (d->state == State::Edit || d->state == State::Insert)
        return fromStorage(t, d->editVals[c]);
    if (d->pos < 0)
        return QVariant();
    return fromStorage(t, d->win[size_t(d->pos)].vals[c]);
}

void Table::setValue(const QString &field, const QVariant &v)
{
    d->checkActive();
    const int c = d->colOrThrow(field);
    const FieldDef &f = d->fields[size_t(c)];
    if (d->state != State::Edit && d->state != State::Insert)
        throw DbError(DbError::Kind::Generic,
                      QStringLiteral("A tabela %1 não está em modo de edição ou inclusão.").arg(d->tableName));
    if (f.type == FieldType::AutoInc)
        throw DbError(DbError::Kind::InvalidValue,
                      QStringLiteral("O campo %1 é numerado automaticamente e não pode ser alterado.").arg(f.name));
    d->editVals[c] = toStorage(f, v);
    d->modified = true;
    Q_EMIT fieldChanged(f.name);
}

QVariant Table::oldValue(const QString &field) const
{
    d->checkActive();
    const int c = d->colOrThrow(field);
    const FieldType t = d->fields[size_t(c)].type;
    if (d->state == State::Edit)
        return fromStorage(t, d->origVals[c]);
    if (d->state == State::Insert || d->pos < 0)
        return QVariant();
    return fromStorage(t, d->win[size_t(d->pos)].vals[c]);
}

bool Table::modified() const { return d->modified; }

void Table::refresh()
{
    d->browseMode();
    d->countChanges = Stamp();
    d->syncIfStale(true);
    d->changed();
    d->scrolled();
}

} // namespace brelvo::data
