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

namespace {
void definirNumero(data::Table &tabela, qint64 n)
{
    if (tabela.fieldType(QStringLiteral("Codigo")) == data::FieldType::Integer)
        tabela.setValue(QStringLiteral("Codigo"), n);
    else
        tabela.setValue(QStringLiteral("Codigo"), double(n));
}
} // namespace

void novoNumerado(data::Table &tabela)
{
    tabela.setIndexName(QStringLiteral("byCodigo"));
    tabela.last();
    const qint64 n = proximoNumero(tabela.database(), tabela.tableName());
    tabela.append();
    definirNumero(tabela, n);
}

void gravarNumerado(data::Table &tabela)
{
    using State = data::Dataset::State;
    if (tabela.state() != State::Insert && tabela.state() != State::Edit)
        return;
    data::Transaction tx(*tabela.database());
    if (tabela.state() == State::Insert)
        definirNumero(tabela, proximoNumero(tabela.database(), tabela.tableName()));
    tabela.post();
    tx.commit();
}

} // namespace brelvo::documents
