#include "documents/Numbering.h"

#include "data/Transaction.h"

namespace brelvo::documents {

qint64 proximoNumero(const data::DatabasePtr &db, const QString &tabela)
{
    data::Table t(db, tabela);
    t.setIndexName(QStringLiteral("byCodigo"));
    t.open();
    t.last();
    const qint64 n = t.isEmpty() ? 0 : qint64(t.asFloat(QStringLiteral("Codigo")));
    t.close();
    return n + 1;
}

void gravarNumerado(data::Table &tabela)
{
    using State = data::Dataset::State;
    if (tabela.state() != State::Insert && tabela.state() != State::Edit)
        return;
    data::Transaction tx(*tabela.database());
    if (tabela.state() == State::Insert) {
        const qint64 n = proximoNumero(tabela.database(), tabela.tableName());
        if (tabela.fieldType(QStringLiteral("Codigo")) == data::FieldType::Integer)
            tabela.setValue(QStringLiteral("Codigo"), n);
        else
            tabela.setValue(QStringLiteral("Codigo"), double(n));
    }
    tabela.post();
    tx.commit();
}

} // namespace brelvo::documents
