#include "finance/TitleNumbering.h"

#include "data/Transaction.h"

namespace brelvo::finance {

qint64 nextCodigo(const data::DatabasePtr &db, const QString &table)
{
    data::Query q(db);
    // The table name is one of ours, never typed text.
    q.setSql(QStringLiteral("select max(Codigo) as Ultimo from %1").arg(table));
    q.open();
    const qint64 last = q.isEmpty() ? 0 : q.asInteger(QStringLiteral("Ultimo"));
    q.close();
    return last + 1;
}

void numberNewRows(data::Table *table, QObject *context)
{
    QObject::connect(table, &data::Table::beforePost, context, [table] {
        if (table->state() == data::Dataset::State::Insert)
            table->setValue(QStringLiteral("Codigo"), double(nextCodigo(table->database(), table->tableName())));
    });
}

void postNumbered(data::Table &table)
{
    data::Transaction tx(*table.database());
    table.post();
    tx.commit();
}

} // namespace brelvo::finance
