// Catalogue consistency: layouts against the documented tables, index and
// relation integrity, and the rows a new database starts with.

#include "data/Catalogue.h"

#include <QDate>
#include <QSet>
#include <QtTest>

using namespace brelvo::data;

namespace {

const TableDef *findTable(const QString &fileName)
{
    for (const TableDef &t : catalogue()) {
        if (t.fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

const TableDef &tableOrFail(const QString &fileName)
{
    const TableDef *t = findTable(fileName);
    if (!t)
        qFatal("table %s missing from the catalogue", qPrintable(fileName));
    return *t;
}

// True when some index of the table starts with `field`.
bool leadsAnIndex(const TableDef &t, const QString &field)
{
    for (const IndexDef &i : t.indexes) {
        if (!i.fields.isEmpty() && i.fields.first().compare(field, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tableNamesAndFieldCounts_data();
    void tableNamesAndFieldCounts();
    void layoutsAreWellFormed();
    void keyFieldTypesAndSizes();
    void namedIndexesResolveWithoutCase();
    void relationsAndQueriesHaveIndexes();
    void lookupsIgnoreCase();
    void seedRowsFitTheirTables();
    void seedRowsContent();
};

// Field counts counted by hand from the documented layouts (stored fields only:
// the calculated SubTotal of service-order items is not a column).
void TestCatalogue::tableNamesAndFieldCounts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sqlName");
    QTest::addColumn<int>("fieldCount");
    const struct { const char *file, *sql; int n; } rows[] = {
        {"USUARIOS.DB", "usuarios", 8},         {"Checkbox.db", "checkbox", 18},
        {"logo.db", "logo", 3},                 {"empresa.DB", "empresa", 15},
        {"configExt.db", "configext", 11},      {"tbPortaImpressora.db", "tbportaimpressora", 5},
        {"tbCamposRef.db", "tbcamposref", 13},  {"tb_mensagems.db", "tb_mensagems", 2},
        {"tbCliente.DB", "tbcliente", 21},      {"TCadastroCarros.db", "tcadastrocarros", 14},
        {"tbProdutos.db", "tbprodutos", 18},    {"tbMarcas.db", "tbmarcas", 1},
        {"tbMedidas.db", "tbmedidas", 1},       {"tbCategoria.db", "tbcategoria", 1},
        {"tbReposicao.DB", "tbreposicao", 12},  {"tbVendas.db", "tbvendas", 18},
        {"tbItems.DB", "tbitems", 9},           {"TOrdemServico.DB", "tordemservico", 32},
        {"tbitemsordem.db", "tbitemsordem", 8}, {"tbFunciocario.db", "tbfunciocario", 17},
        {"tbFuncao.db", "tbfuncao", 1},         {"tbfornecedor.db", "tbfornecedor", 12},
        {"tbpagar.db", "tbpagar", 34},          {"tbreceber.db", "tbreceber", 32},
        {"cadastro.db", "cadastro", 34},        {"BD_NP.db", "bd_np", 18},
        {"tblubrificante.db", "tblubrificante", 17},
    };
    for (const auto &r : rows)
        QTest::newRow(r.file) << QString::fromLatin1(r.file) << QString::fromLatin1(r.sql) << r.n;
}

void TestCatalogue::tableNamesAndFieldCounts()
{
    QFETCH(QString, file);
    QFETCH(QString, sqlName);
    QFETCH(int, fieldCount);
    QCOMPARE(catalogue().size(), size_t(27));
    const TableDef *t = findTable(file);
    QVERIFY2(t, qPrintable(file));
    QCOMPARE(t->fileName, file);            // spelled as the windows spell it
    QCOMPARE(t->sqlName, sqlName);
    QCOMPARE(int(t->fields.size()), fieldCount);
}

void TestCatalogue::layoutsAreWellFormed()
{
    QSet<QString> files, sqlNames;
    for (const TableDef &t : catalogue()) {
        const QString where = t.fileName;
        QVERIFY2(!files.contains(t.fileName.toLower()), qPrintable(where));
        QVERIFY2(!sqlNames.contains(t.sqlName), qPrintable(where));
        files.insert(t.fileName.toLower());
        sqlNames.insert(t.sqlName);

        QSet<QString> names;
        int autoIncs = 0;
        for (const FieldDef &f : t.fields) {
            const QString what = where + QLatin1Char('.') + f.name;
            QVERIFY2(!names.contains(f.name.toLower()), qPrintable(what + " duplicated"));
            names.insert(f.name.toLower());
            if (f.type == FieldType::Alpha)
                QVERIFY2(f.size > 0 && f.size <= 255, qPrintable(what + " bad size"));
            else
                QVERIFY2(f.size == 0, qPrintable(what + " size on a non-text field"));
            if (f.type == FieldType::AutoInc)
                ++autoIncs;
        }
        QVERIFY2(autoIncs <= 1, qPrintable(where));
        // The auto-increment field, where present, is the row identity and the key.
        if (autoIncs == 1) {
            QCOMPARE(t.fields.front().type, FieldType::AutoInc);
            QCOMPARE(t.primaryKey, t.fields.front().name);
        }

        QSet<QString> indexNames;
        int primaries = 0;
        for (const IndexDef &i : t.indexes) {
            QVERIFY2(!i.fields.isEmpty(), qPrintable(where + " index without fields"));
            for (const QString &f : i.fields)
                QVERIFY2(t.field(f), qPrintable(where + " index on missing field " + f));
            if (!i.name.isEmpty()) {
                QVERIFY2(!indexNames.contains(i.name.toLower()), qPrintable(where + " index " + i.name));
                indexNames.insert(i.name.toLower());
            }
            if (i.primary) {
                ++primaries;
                // Brand, measure and category lists may hold equal names.
                const bool list = t.fields.size() == 1 && t.fileName != QLatin1String("tbFuncao.db");
                QCOMPARE(i.unique, !list);
                QCOMPARE(i.fields.first(), t.primaryKey);
            }
        }
        QVERIFY2(primaries <= 1, qPrintable(where));
        if (!t.primaryKey.isEmpty())
            QCOMPARE(primaries, 1);
        // Settings tables hold one row and are read positionally, not by key.
        if (t.singleRow)
            QVERIFY2(t.primaryKey.isEmpty(), qPrintable(where));
        QCOMPARE(t.password.isEmpty(), t.fileName != QLatin1String("USUARIOS.DB"));
    }
    QCOMPARE(tableOrFail("USUARIOS.DB").password, QStringLiteral("8642"));
}

void TestCatalogue::keyFieldTypesAndSizes()
{
    struct Expect { const char *table, *field; FieldType type; int size; };
    const Expect expects[] = {
        {"tbProdutos.db", "Codigo", FieldType::Number, 0},
        {"tbProdutos.db", "Descricao", FieldType::Alpha, 50},
        {"tbProdutos.db", "MonitorarEstq", FieldType::Alpha, 3},
        {"tbProdutos.db", "Valor", FieldType::Money, 0},
        {"USUARIOS.DB", "ID", FieldType::AutoInc, 0},
        {"USUARIOS.DB", "LOGIN", FieldType::Alpha, 15},
        {"USUARIOS.DB", "SENHA", FieldType::Alpha, 15},
        {"USUARIOS.DB", "NOME", FieldType::Alpha, 30},
        {"tbItems.DB", "Link", FieldType::Integer, 0},
        {"tbItems.DB", "CodBarra", FieldType::Number, 0},
        {"tbItems.DB", "SubTotal", FieldType::Number, 0},
        {"tbitemsordem.db", "Descricao", FieldType::Alpha, 255},
        {"tbitemsordem.db", "Valor", FieldType::Money, 0},
        {"tbMedidas.db", "UnMedida", FieldType::Alpha, 5},
        {"tbCliente.DB", "Codigo", FieldType::Integer, 0},
        {"tbCliente.DB", "CEP", FieldType::Alpha, 9},
        {"tbCliente.DB", "Obs", FieldType::Memo, 0},
        {"TOrdemServico.DB", "OsOc", FieldType::Alpha, 2},
        {"TOrdemServico.DB", "HoraEntrega", FieldType::Time, 0},
        {"TOrdemServico.DB", "VrTotal", FieldType::Money, 0},
        {"tbVendas.db", "VenOs", FieldType::Alpha, 2},
        {"tbVendas.db", "Finalizada", FieldType::Alpha, 3},
        {"tbpagar.db", "Observacoes", FieldType::Alpha, 255},
        {"tbreceber.db", "Observacoes", FieldType::Memo, 0},
        {"tbpagar.db", "Intrucao", FieldType::Memo, 0},
        {"tbpagar.db", "Checkbox", FieldType::Alpha, 3},
        {"tb_mensagems.db", "Mensagem1", FieldType::Memo, 0},
        {"tb_mensagems.db", "Mensagem2", FieldType::Memo, 0},
        {"cadastro.db", "Dia mes", FieldType::Alpha, 255},
        {"cadastro.db", "Nendereço", FieldType::Alpha, 255},
        {"cadastro.db", "Mes", FieldType::Alpha, 30},
        {"BD_NP.db", "Data extenso", FieldType::Alpha, 200},
        {"configExt.db", "9", FieldType::Alpha, 20},
        {"configExt.db", "10", FieldType::Number, 0},
        {"tbCamposRef.db", "Previsao", FieldType::Alpha, 50},
        {"logo.db", "Logo3", FieldType::Graphic, 0},
        {"tblubrificante.db", "Imagem", FieldType::Graphic, 0},
    };
    for (const Expect &e : expects) {
        const QString where = QString::fromUtf8(e.table) + QLatin1Char('.') + QString::fromUtf8(e.field);
        const FieldDef *f = tableOrFail(QString::fromUtf8(e.table)).field(QString::fromUtf8(e.field));
        QVERIFY2(f, qPrintable(where + " missing"));
        QVERIFY2(f->name == QString::fromUtf8(e.field), qPrintable(where + " misspelt"));
        QVERIFY2(f->type == e.type, qPrintable(where + " type"));
        QVERIFY2(f->size == e.size, qPrintable(where + " size"));
    }
    // Permission fields 01..18, all Logical, in order.
    const TableDef &cb = tableOrFail(QStringLiteral("Checkbox.db"));
    for (int i = 0; i < 18; ++i) {
        QCOMPARE(cb.fields[size_t(i)].name, QString::asprintf("%02d", i + 1));
        QCOMPARE(cb.fields[size_t(i)].type, FieldType::Logical);
    }
    // Primary keys that are not an auto-increment.
    QCOMPARE(tableOrFail(QStringLiteral("tbProdutos.db")).primaryKey, QStringLiteral("Codigo"));
    QCOMPARE(tableOrFail(QStringLiteral("tbMarcas.db")).primaryKey, QStringLiteral("Marca"));
    QCOMPARE(tableOrFail(QStringLiteral("tbFuncao.db")).primaryKey, QStringLiteral("Funcao"));
    QVERIFY(tableOrFail(QStringLiteral("tbProdutos.db")).index(QStringLiteral("ByCodigo"))->unique);
}

void TestCatalogue::namedIndexesResolveWithoutCase()
{
    // Index names the windows ask for, in the spelling of a different window
    // where two spellings exist, with the field each one orders by.
    const struct { const char *table, *index, *field; } named[] = {
        {"tbCliente.DB", "BYCODIGO", "Codigo"}, {"tbCliente.DB", "ByNome", "Nome"},
        {"tbCliente.DB", "bydata", "Data"},     {"TCadastroCarros.db", "bylink", "Link"},
        {"tbProdutos.db", "byCodigo", "Codigo"}, {"tbProdutos.db", "bydescricao", "Descricao"},
        {"tbItems.DB", "ByLink", "Link"},       {"tbitemsordem.db", "byCodVenda", "CodVenda"},
        {"TOrdemServico.DB", "ByChave", "Chave"}, {"TOrdemServico.DB", "ByData", "Data"},
        {"tbFunciocario.db", "byCodigo", "Codigo"}, {"tbFunciocario.db", "BYNOME", "Nome"},
        {"tbReposicao.DB", "ByCodigo", "Codigo"}, {"tbfornecedor.db", "ByCodigo", "Codigo"},
        {"tbpagar.db", "ByDataVen", "DataVencimento"}, {"tbpagar.db", "ByFantasia", "Fantasia"},
        {"tbpagar.db", "ByCodigo", "Codigo"},   {"tbreceber.db", "byfantasia", "Fantasia"},
        {"tbreceber.db", "BYCODIGO", "Codigo"}, {"empresa.DB", "byempresa", "Empresa"},
        {"cadastro.db", "ByCodigo", "Codigo"},  {"cadastro.db", "ByNome", "Reci"},
        {"BD_NP.db", "ByCodigo", "Codigo"},     {"BD_NP.db", "bypagarei", "Pagarei"},
        {"tblubrificante.db", "byano", "Ano"},
    };
    for (const auto &n : named) {
        const TableDef &t = tableOrFail(QString::fromUtf8(n.table));
        const IndexDef *i = t.index(QString::fromUtf8(n.index));
        const QString where = t.fileName + QLatin1Char(' ') + QString::fromUtf8(n.index);
        QVERIFY2(i, qPrintable(where + " missing"));
        QCOMPARE(i->fields, QStringList{QString::fromUtf8(n.field)});
    }
    // An empty name never picks an unnamed helper index, and unknown names fail.
    QVERIFY(!tableOrFail(QStringLiteral("tbItems.DB")).index(QString()));
    QVERIFY(!tableOrFail(QStringLiteral("tbItems.DB")).index(QStringLiteral("ByCodigo")));
    QVERIFY(!tableOrFail(QStringLiteral("tbProdutos.db")).index(QStringLiteral("ByCodigoX")));
}

void TestCatalogue::relationsAndQueriesHaveIndexes()
{
    // Detail link -> master field: both ends exist, and the detail is indexed on its link.
    const struct { const char *detail, *link, *master, *masterField; } relations[] = {
        {"tbItems.DB", "Link", "tbVendas.db", "Chave"},
        {"tbitemsordem.db", "CodVenda", "TOrdemServico.DB", "Chave"},
        {"TCadastroCarros.db", "Link", "tbCliente.DB", "Codigo"},
        {"tbVendas.db", "CodCliente", "tbCliente.DB", "Codigo"},
        {"TOrdemServico.DB", "CodCliente", "tbCliente.DB", "Codigo"},
        {"TOrdemServico.DB", "CodVendedor", "tbFunciocario.db", "Codigo"},
        {"TOrdemServico.DB", "Tecnico", "tbFunciocario.db", "Nome"},
        {"tbItems.DB", "CodBarra", "tbProdutos.db", "Codigo"},
        {"tbitemsordem.db", "CodBarra", "tbProdutos.db", "Codigo"},
        {"tbReposicao.DB", "Codigo", "tbProdutos.db", "Codigo"},
        {"tbProdutos.db", "Marca", "tbMarcas.db", "Marca"},
        {"tbProdutos.db", "Categoria", "tbCategoria.db", "Categoria"},
        {"tbProdutos.db", "Unidade", "tbMedidas.db", "UnMedida"},
        {"tbFunciocario.db", "Funcao", "tbFuncao.db", "Funcao"},
    };
    for (const auto &r : relations) {
        const TableDef &d = tableOrFail(QString::fromUtf8(r.detail));
        const TableDef &m = tableOrFail(QString::fromUtf8(r.master));
        QVERIFY2(d.field(QString::fromUtf8(r.link)), r.link);
        QVERIFY2(m.field(QString::fromUtf8(r.masterField)), r.masterField);
        QVERIFY2(leadsAnIndex(m, QString::fromUtf8(r.masterField)), qPrintable(m.fileName + " not indexed on " + r.masterField));
    }
    // Field-list orderings and the columns the stock, report and cash queries select on.
    const struct { const char *table, *field; } indexed[] = {
        {"tbCliente.DB", "Nome"}, {"tbFunciocario.db", "Nome"}, {"tbfornecedor.db", "Nome"},
        {"tbProdutos.db", "Codigo"}, {"tbProdutos.db", "Descricao"},
        {"tbItems.DB", "CodBarra"}, {"tbItems.DB", "Link"},
        {"tbitemsordem.db", "CodVenda"}, {"tbitemsordem.db", "CodBarra"},
        {"tbReposicao.DB", "Codigo"}, {"tbVendas.db", "DtVenda"}, {"tbVendas.db", "CodVenda"},
        {"TOrdemServico.DB", "Data"}, {"TOrdemServico.DB", "DtOs"}, {"TOrdemServico.DB", "Codigo"},
        {"tbpagar.db", "DataPagamento"}, {"tbreceber.db", "DataPagamento"},
    };
    for (const auto &i : indexed) {
        const TableDef &t = tableOrFail(QString::fromUtf8(i.table));
        QVERIFY2(leadsAnIndex(t, QString::fromUtf8(i.field)), qPrintable(t.fileName + " " + i.field));
    }
}

void TestCatalogue::lookupsIgnoreCase()
{
    const TableDef &c = tableOrFail(QStringLiteral("cadastro.db"));
    QCOMPARE(c.fieldIndex(QStringLiteral("CHAVE")), 0);
    QCOMPARE(c.fieldIndex(QStringLiteral("dia MES")), c.fieldIndex(QStringLiteral("Dia mes")));
    QVERIFY(c.fieldIndex(QStringLiteral("Dia mes")) > 0);
    QVERIFY(c.field(QStringLiteral("NENDEREÇO")));          // non-ASCII letter folded too
    QCOMPARE(c.field(QStringLiteral("NENDEREÇO"))->name, QStringLiteral("Nendereço"));
    QCOMPARE(c.fieldIndex(QStringLiteral("Diames")), -1);
    QVERIFY(!c.field(QString()));
    QVERIFY(!c.field(QStringLiteral("Nendereco")));         // different letter, not a match
}

void TestCatalogue::seedRowsFitTheirTables()
{
    const std::vector<SeedRow> rows = seedRows();
    QHash<QString, int> perTable;
    for (const SeedRow &r : rows) {
        const TableDef *t = findTable(r.table);
        QVERIFY2(t, qPrintable(r.table));
        ++perTable[t->fileName];
        QSet<QString> seen;
        for (const auto &[name, value] : r.values) {
            const FieldDef *f = t->field(name);
            QVERIFY2(f, qPrintable(r.table + "." + name));
            QVERIFY2(!seen.contains(name.toLower()), qPrintable(r.table + "." + name + " twice"));
            seen.insert(name.toLower());
            QVERIFY2(f->type != FieldType::AutoInc, qPrintable(name));
            if (f->type == FieldType::Alpha && !value.isNull())
                QVERIFY2(value.toString().size() <= f->size, qPrintable(r.table + "." + name + " too long"));
        }
    }
    // Every single-row table starts with exactly its one row.
    for (const TableDef &t : catalogue()) {
        if (t.singleRow)
            QVERIFY2(perTable.value(t.fileName) == 1, qPrintable(t.fileName));
    }
    QCOMPARE(perTable.value(QStringLiteral("USUARIOS.DB")), 1);
    QCOMPARE(perTable.value(QStringLiteral("tbFuncao.db")), 2);
    QCOMPARE(perTable.value(QStringLiteral("empresa.DB")), 0);   // filled in by the user
}

void TestCatalogue::seedRowsContent()
{
    auto valueOf = [](const SeedRow &r, const char *field) {
        for (const auto &[name, value] : r.values) {
            if (name.compare(QString::fromUtf8(field), Qt::CaseInsensitive) == 0)
                return value;
        }
        return QVariant(QStringLiteral("<absent>"));
    };
    const std::vector<SeedRow> rows = seedRows();
    QStringList roles;
    bool sawAdmin = false, sawCheckbox = false, sawPort = false;
    for (const SeedRow &r : rows) {
        if (r.table == QLatin1String("USUARIOS.DB")) {
            sawAdmin = true;
            QCOMPARE(valueOf(r, "LOGIN").toString(), QStringLiteral("KOV"));
            QCOMPARE(valueOf(r, "SENHA").toString(), QStringLiteral("kov"));
            QCOMPARE(valueOf(r, "ADMIN").toString(), QStringLiteral("S"));
            QCOMPARE(valueOf(r, "STATUS").toString(), QStringLiteral("S"));
            QCOMPARE(valueOf(r, "DT_INC").toDate(), QDate::currentDate());
        } else if (r.table == QLatin1String("Checkbox.db")) {
            sawCheckbox = true;
            // Null means granted: no permission may be seeded False.
            for (const auto &[name, value] : r.values)
                QVERIFY2(value.isNull(), qPrintable(name));
        } else if (r.table == QLatin1String("tbPortaImpressora.db")) {
            sawPort = true;
            QCOMPARE(valueOf(r, "Porta").toString(), QStringLiteral("LPT1"));
            QCOMPARE(valueOf(r, "Imprimir").toString(), QStringLiteral("N"));
            QCOMPARE(valueOf(r, "Daruma").toString(), QStringLiteral("N"));
        } else if (r.table == QLatin1String("configExt.db")) {
            bool ok = false;
            const double d = valueOf(r, "Desconto").toDouble(&ok);
            QVERIFY(ok && d >= 0 && d <= 100);
        } else if (r.table == QLatin1String("tbCamposRef.db")) {
            // The caption panel refuses a row with any of these four empty.
            for (const char *f : {"Equipamento", "NSerie", "Previsao", "DadosOS"})
                QVERIFY2(!valueOf(r, f).toString().isEmpty(), f);
        } else if (r.table == QLatin1String("tbFuncao.db")) {
            roles << valueOf(r, "Funcao").toString();
        }
    }
    QVERIFY(sawAdmin && sawCheckbox && sawPort);
    roles.sort();
    QCOMPARE(roles, (QStringList{QStringLiteral("ATENDENTE"), QString::fromUtf8("MECÂNICO")}));
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
