#include "registries/RegistryUi.h"

namespace brelvo::registries {

using data::Dataset;
using data::Table;

qint64 highestCode(Table &table)
{
    const bool wasFiltered = table.filtered();
    if (wasFiltered)
        table.setFiltered(false);
    table.setIndexName(QStringLiteral("byCodigo"));
    table.last();
    const qint64 n = table.isEmpty() ? 0 : table.asInteger(QStringLiteral("Codigo"));
    if (wasFiltered)
        table.setFiltered(true);
    return n;
}

void numberOnPost(Table *table, QObject *context)
{
    QObject::connect(table, &Table::beforePost, context, [table] {
        if (table->state() != Dataset::State::Insert || !table->isNull(QStringLiteral("Codigo")))
            return;
        data::Query q(table->database());
        q.setSql(QStringLiteral("SELECT MAX(Codigo) AS M FROM \"%1\"").arg(table->tableName()));
        q.open();
        const qint64 n = q.isEmpty() ? 0 : q.asInteger(QStringLiteral("M"));
        q.close();
        if (table->fieldType(QStringLiteral("Codigo")) == data::FieldType::Integer)
            table->setValue(QStringLiteral("Codigo"), n + 1);
        else
            table->setValue(QStringLiteral("Codigo"), double(n + 1));
    });
}

} // namespace brelvo::registries
