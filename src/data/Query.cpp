// Query: SQL as the windows write it (see SqlTranslator.h), with named
// parameters bound by value. The rows of a SELECT are read into memory and
// become the cursor; column types come from the catalogue for plain fields
// and from the values otherwise.

#include "data/Dataset.h"
#include "data/PreparedSql.h"

#include <QHash>
#include <QRegularExpression>

namespace brelvo::data {

using namespace detail;

struct Query::Impl {
    Query *q = nullptr;
    PreparedSql prepared;
    Stmt *stmt = nullptr;          // the prepared statement while reading

    QStringList names;
    std::vector<FieldDef> types;
    QHash<QString, int> idx;
    std::vector<QVariantList> rows;
    int pos = -1;
    bool eof = true, bof = true;
    State state = State::Inactive;

    FieldDef columnDef(int i, const std::vector<QVariantList> &raw) const
    {
        FieldDef known;
        if (sourceColumn(*stmt, i, known))
            return known;
        const QString name = known.name;
        // A computed column: judge by its values.
        static const QRegularExpression isoDate(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        bool anyReal = false, anyInt = false, anyText = false, anyBlob = false, allDates = true;
        for (const QVariantList &r : raw) {
            const QVariant &v = r[i];
            if (v.isNull())
                continue;
            switch (v.metaType().id()) {
            case QMetaType::Double: anyReal = true; break;
            case QMetaType::LongLong: anyInt = true; break;
            case QMetaType::QByteArray: anyBlob = true; break;
            default:
                anyText = true;
                allDates = allDates && isoDate.match(v.toString()).hasMatch();
                break;
            }
        }
        if (anyText)
            return {name, allDates && !anyReal && !anyInt ? FieldType::Date : FieldType::Alpha, 0};
        if (anyBlob)
            return {name, FieldType::Graphic, 0};
        if (anyReal)
            return {name, FieldType::Number, 0};
        if (anyInt)
            return {name, FieldType::Integer, 0};
        // No values: the name of an aggregate says what it would hold.
        return {name, FieldType::Number, 0};
    }

    void emitScroll()
    {
        if (!q->controlsDisabled())
            Q_EMIT q->afterScroll();
    }
};

Query::Query(DatabasePtr db, QObject *parent) : Dataset(std::move(db), parent), d(std::make_unique<Impl>())
{
    d->q = this;
}

Query::~Query() = default;

void Query::setSql(const QString &sql)
{
    close();
    d->prepared.setSql(sql);
}

QString Query::sql() const { return d->prepared.sql(); }

QString Query::translatedSql() const { return d->prepared.translated().sql; }

void Query::setParam(const QString &name, const QVariant &value) { d->prepared.setParam(name, value); }

void Query::clearParams() { d->prepared.clearParams(); }

void Query::open()
{
    if (d->state != State::Inactive)
        return;
    d->stmt = &d->prepared.bound(*m_db);
    std::vector<QVariantList> raw;
    try {
        while (d->stmt->step())
            raw.push_back(d->stmt->row());
    } catch (...) {
        d->stmt->reset();
        throw;
    }
    const int n = d->stmt->columnCount();
    d->names.clear();
    d->types.clear();
    d->idx.clear();
    for (int i = 0; i < n; ++i) {
        FieldDef f = d->columnDef(i, raw);
        d->names << f.name;
        if (!d->idx.contains(f.name.toLower()))
            d->idx.insert(f.name.toLower(), i);
        d->types.push_back(f);
    }
    d->stmt->reset();
    for (QVariantList &r : raw) {
        for (int i = 0; i < n; ++i)
            r[i] = fromStorage(d->types[size_t(i)].type, r[i]);
    }
    d->rows = std::move(raw);
    d->pos = d->rows.empty() ? -1 : 0;
    d->bof = true;
    d->eof = d->rows.empty();
    d->state = State::Browse;
    Q_EMIT stateChanged(State::Browse);
    Q_EMIT afterOpen();
    d->emitScroll();
}

void Query::close()
{
    if (d->state == State::Inactive)
        return;
    Q_EMIT beforeClose();
    d->rows.clear();
    d->pos = -1;
    d->eof = d->bof = true;
    d->state = State::Inactive;
    Q_EMIT stateChanged(State::Inactive);
}

int Query::execSql()
{
    d->stmt = &d->prepared.bound(*m_db);
    const bool readOnly = sqlite3_stmt_readonly(d->stmt->raw()) != 0;
    const int n = d->stmt->exec();
    return readOnly ? 0 : n;
}

Dataset::State Query::state() const { return d->state; }

void Query::first()
{
    if (d->state == State::Inactive)
        return;
    d->pos = d->rows.empty() ? -1 : 0;
    d->bof = true;
    d->eof = d->rows.empty();
    d->emitScroll();
}

void Query::last()
{
    if (d->state == State::Inactive)
        return;
    d->pos = int(d->rows.size()) - 1;
    d->eof = true;
    d->bof = d->rows.empty();
    d->emitScroll();
}

void Query::next()
{
    if (d->pos + 1 < int(d->rows.size())) {
        ++d->pos;
        d->eof = d->bof = false;
        d->emitScroll();
    } else {
        d->eof = true;
    }
}

void Query::prior()
{
    if (d->pos > 0) {
        --d->pos;
        d->eof = d->bof = false;
        d->emitScroll();
    } else {
        d->bof = true;
    }
}

bool Query::eof() const { return d->eof; }
bool Query::bof() const { return d->bof; }
bool Query::isEmpty() const { return d->rows.empty(); }
int Query::recordCount() { return int(d->rows.size()); }
int Query::recNo() { return d->pos; }

void Query::moveTo(int recNo)
{
    if (d->rows.empty())
        return;
    d->pos = std::clamp(recNo, 0, int(d->rows.size()) - 1);
    d->eof = d->bof = false;
    d->emitScroll();
}

Bookmark Query::bookmark() const
{
    if (d->pos < 0)
        return {};
    return {{d->pos}};
}

void Query::gotoBookmark(const Bookmark &b)
{
    if (!b.isValid())
        return;
    const int p = b.key.last().toInt();
    if (p < 0 || p >= int(d->rows.size()))
        throw DbError(DbError::Kind::Generic, QStringLiteral("Registro não encontrado."));
    moveTo(p);
}

QStringList Query::fieldNames() const { return d->names; }
bool Query::hasField(const QString &name) const { return d->idx.contains(name.toLower()); }

FieldType Query::fieldType(const QString &name) const
{
    auto it = d->idx.constFind(name.toLower());
    if (it == d->idx.constEnd())
        throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(name));
    return d->types[size_t(*it)].type;
}

int Query::fieldSize(const QString &name) const
{
    auto it = d->idx.constFind(name.toLower());
    if (it == d->idx.constEnd())
        throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(name));
    return d->types[size_t(*it)].size;
}

QVariant Query::value(const QString &field) const
{
    if (d->state == State::Inactive)
        throw DbError(DbError::Kind::NotOpen, QStringLiteral("A consulta não está aberta."));
    auto it = d->idx.constFind(field.toLower());
    if (it == d->idx.constEnd())
        throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(field));
    if (d->pos < 0)
        return QVariant();
    return d->rows[size_t(d->pos)][*it];
}

void Query::refresh()
{
    if (d->state == State::Inactive)
        return;
    const int keep = d->pos;
    d->state = State::Inactive;
    d->rows.clear();
    d->state = State::Inactive;
    open();
    if (keep > 0 && !d->rows.empty())
        moveTo(keep);
    if (!controlsDisabled())
        Q_EMIT dataChanged();
}

} // namespace brelvo::data
