#include "data/Statement.h"

#include "data/PreparedSql.h"
#include "data/Transaction.h"

#include <QHash>
#include <vector>

namespace brelvo::data {

using namespace detail;

// ---------------------------------------------------------------- ForwardQuery

struct ForwardQuery::Impl {
    enum class Phase { Idle, Reading, Done };
    DatabasePtr db;
    PreparedSql prepared;
    Stmt *stmt = nullptr;
    Phase phase = Phase::Idle;
    bool onRow = false;

    bool described = false;
    QStringList names;
    std::vector<FieldDef> columns;
    std::vector<bool> typed;            // a table column: values take its field type
    QHash<QString, int> idx;

    void describe()
    {
        if (described)
            return;
        const int n = stmt->columnCount();
        for (int i = 0; i < n; ++i) {
            FieldDef f;
            typed.push_back(sourceColumn(*stmt, i, f));
            names << f.name;
            if (!idx.contains(f.name.toLower()))
                idx.insert(f.name.toLower(), i);
            columns.push_back(f);
        }
        described = true;
    }

    void end()
    {
        if (stmt && phase == Phase::Reading)
            stmt->reset();      // ends the engine's read
        onRow = false;
    }

    int column(const QString &name) const
    {
        auto it = idx.constFind(name.toLower());
        if (it == idx.constEnd())
            throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(name));
        return *it;
    }
};

ForwardQuery::ForwardQuery(DatabasePtr db, const QString &sql) : d(std::make_unique<Impl>())
{
    d->db = std::move(db);
    d->prepared.setSql(sql);
}

ForwardQuery::~ForwardQuery()
{
    d->end();
}

void ForwardQuery::setParam(const QString &name, const QVariant &value) { d->prepared.setParam(name, value); }

bool ForwardQuery::next()
{
    if (d->phase == Impl::Phase::Done)
        return false;
    if (d->phase == Impl::Phase::Idle) {
        d->stmt = &d->prepared.bound(*d->db);
        d->phase = Impl::Phase::Reading;
    }
    bool row = false;
    try {
        row = d->stmt->step();
        d->describe();      // after the run: the columns are those the run gave
    } catch (...) {
        d->onRow = false;
        d->phase = Impl::Phase::Done;
        throw;
    }
    if (!row) {
        d->end();
        d->phase = Impl::Phase::Done;
        return false;
    }
    d->onRow = true;
    return true;
}

void ForwardQuery::rewind()
{
    d->end();
    d->phase = Impl::Phase::Idle;
}

int ForwardQuery::columnCount() const { return int(d->columns.size()); }
QStringList ForwardQuery::columnNames() const { return d->names; }

QVariant ForwardQuery::value(int column) const
{
    if (column < 0 || column >= int(d->columns.size()))
        throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Coluna inexistente: %1").arg(column));
    if (!d->onRow)
        return QVariant();
    const QVariant raw = d->stmt->column(column);
    return d->typed[size_t(column)] ? fromStorage(d->columns[size_t(column)].type, raw) : raw;
}

QVariant ForwardQuery::value(const QString &name) const { return value(d->column(name)); }

QVariant ForwardQuery::scalar()
{
    rewind();
    QVariant v;
    if (next())
        v = value(0);
    rewind();
    return v;
}

// ---------------------------------------------------------------- Statement

struct Statement::Impl {
    DatabasePtr db;
    PreparedSql prepared;
    bool largeScan = false;
};

Statement::Statement(DatabasePtr db, const QString &sql) : d(std::make_unique<Impl>())
{
    d->db = std::move(db);
    d->prepared.setSql(sql);
}

Statement::~Statement() = default;

void Statement::setParam(const QString &name, const QVariant &value) { d->prepared.setParam(name, value); }
void Statement::setLargeScan(bool on) { d->largeScan = on; }

namespace {

// SQLite: a larger page cache, and reads through a memory map, while one statement
// makes a pass over big tables; put back when it ends.
class WideCache {
public:
    WideCache(Conn *h, bool on) : m_h(h), m_on(on && h->kind() == EngineKind::Sqlite)
    {
        if (!m_on)
            return;
        m_cache = pragma("cache_size");
        m_mmap = pragma("mmap_size");
        execSimple(m_h, QStringLiteral("PRAGMA cache_size = -65536"));
        execSimple(m_h, QStringLiteral("PRAGMA mmap_size = 268435456"));
    }
    ~WideCache()
    {
        if (!m_on)
            return;
        try {
            execSimple(m_h, QStringLiteral("PRAGMA cache_size = %1").arg(m_cache));
            execSimple(m_h, QStringLiteral("PRAGMA mmap_size = %1").arg(m_mmap));
        } catch (...) {
        }
    }
    WideCache(const WideCache &) = delete;
    WideCache &operator=(const WideCache &) = delete;

private:
    qint64 pragma(const char *name)
    {
        Stmt s(m_h, QStringLiteral("PRAGMA ") + QLatin1String(name));
        return s.step() ? s.column(0).toLongLong() : 0;
    }
    Conn *m_h;
    bool m_on;
    qint64 m_cache = 0, m_mmap = 0;
};

bool changesSchema(const QString &sql)
{
    const QString t = sql.trimmed();
    for (const char *w : {"ALTER", "CREATE", "DROP"}) {
        if (t.startsWith(QLatin1String(w), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

int Statement::run()
{
    WideCache cache(conn(*d->db), d->largeScan);
    Transaction tx(*d->db);
    Stmt &s = d->prepared.bound(*d->db);
    const bool readOnly = s.readOnly();
    const int n = s.exec();
    tx.commit();
    if (changesSchema(d->prepared.sql())) {
        d->prepared.finalize();
        d->db->refreshSchema();
    }
    return readOnly ? 0 : n;
}

} // namespace brelvo::data
