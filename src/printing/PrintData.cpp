#include "printing/PrintData.h"

#include "core/Format.h"
#include "data/Dataset.h"

namespace brelvo::printing {

Issuer readIssuer(const data::DatabasePtr &db)
{
    Issuer i;
    data::Table t(db, QStringLiteral("empresa.DB"));
    t.open();
    t.first();
    if (t.eof())
        return i;
    i.empresa = t.asString(QStringLiteral("Empresa"));
    i.end = t.asString(QStringLiteral("End"));
    i.bairro = t.asString(QStringLiteral("Bairro"));
    i.cidade = t.asString(QStringLiteral("Cidade"));
    i.uf = t.asString(QStringLiteral("Uf"));
    i.cep = t.asString(QStringLiteral("Cep"));
    i.cnpj = t.asString(QStringLiteral("Cnpj"));
    i.ie = t.asString(QStringLiteral("IE"));
    i.telefone = t.asString(QStringLiteral("Telefone"));
    i.telefone2 = t.asString(QStringLiteral("Telefone2"));
    i.telefone3 = t.asString(QStringLiteral("Telefone3"));
    i.site = t.asString(QStringLiteral("Site"));
    i.email = t.asString(QStringLiteral("Email"));
    return i;
}

QVariantMap readCustomer(const data::DatabasePtr &db, const QString &codeText)
{
    data::Query q(db);
    q.setSql(QStringLiteral("select Codigo, nome, cic,endereco,carro,CEP,Cidade,UF,FONE,Celular,Rg "
                            "from tbCliente where codigo=:codigo"));
    const QString code = codeText.trimmed();
    if (const auto n = core::parseNumber(code))
        q.setParam(QStringLiteral("codigo"), *n);
    else
        q.setParam(QStringLiteral("codigo"), code);
    q.open();
    QVariantMap row;
    if (!q.isEmpty()) {
        // Columns as the query names them; keys as the layouts ask for them.
        for (const char *f : {"Codigo", "Rg", "Cic", "Endereco", "CARRO", "CEP", "Cidade", "UF", "FONE", "Celular"})
            row.insert(QString::fromLatin1(f), q.value(QString::fromLatin1(f)));
    }
    q.close();
    return row;
}

QString readLogoPath(const data::DatabasePtr &db)
{
    data::Table t(db, QStringLiteral("logo.db"));
    t.open();
    t.first();
    return t.eof() ? QString() : t.asString(QStringLiteral("LogoCaminho")).trimmed();
}

std::vector<QVariantMap> snapshotRows(data::Dataset &ds, const QStringList &fields)
{
    std::vector<QVariantMap> rows;
    if (!ds.isOpen())
        return rows;
    ds.disableControls();
    try {
        const data::Bookmark here = ds.bookmark();
        for (ds.first(); !ds.eof(); ds.next()) {
            QVariantMap row;
            for (const QString &f : fields)
                row.insert(f, ds.hasField(f) ? ds.value(f) : QVariant());
            rows.push_back(std::move(row));
        }
        if (here.isValid())
            ds.gotoBookmark(here);
    } catch (...) {
        ds.enableControls();
        throw;
    }
    ds.enableControls();
    return rows;
}

} // namespace brelvo::printing
