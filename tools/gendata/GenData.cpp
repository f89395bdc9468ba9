#include "GenData.h"

#include "data/Catalogue.h"
#include "data/Database.h"

#include <QByteArray>
#include <QDate>
#include <QElapsedTimer>
#include <QTime>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

namespace brelvo::gendata {

using data::Database;
using data::DbError;
using data::FieldDef;
using data::FieldType;

// ---------------------------------------------------------------- codes

int ean13CheckDigit(qint64 first12)
{
    int digits[12];
    for (int i = 11; i >= 0; --i) {
        digits[i] = int(first12 % 10);
        first12 /= 10;
    }
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += digits[i] * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10;
}

qint64 ean13(qint64 first12) { return first12 * 10 + ean13CheckDigit(first12); }

bool isValidEan13(qint64 code)
{
    if (code < 0 || code > 9999999999999LL)
        return false;
    return ean13CheckDigit(code / 10) == int(code % 10);
}

QString cpfFromDigits(qint64 nineDigits)
{
    int d[11];
    for (int i = 8; i >= 0; --i) {
        d[i] = int(nineDigits % 10);
        nineDigits /= 10;
    }
    for (int pos = 9; pos <= 10; ++pos) {
        int sum = 0;
        for (int i = 0; i < pos; ++i)
            sum += d[i] * (pos + 1 - i);
        const int r = sum % 11;
        d[pos] = r < 2 ? 0 : 11 - r;
    }
    QString s;
    for (int i = 0; i < 11; ++i) {
        if (i == 3 || i == 6)
            s += QLatin1Char('.');
        if (i == 9)
            s += QLatin1Char('-');
        s += QLatin1Char(char('0' + d[i]));
    }
    return s;
}

namespace {

// ---------------------------------------------------------------- word lists

QString u(const char *s) { return QString::fromUtf8(s); }

const char *const kFirstNames[] = {
    "JOSÉ", "JOÃO", "ANTÔNIO", "FRANCISCO", "CARLOS", "PAULO", "PEDRO", "LUCAS", "LUIZ", "MARCOS",
    "LUÍS", "GABRIEL", "RAFAEL", "DANIEL", "MARCELO", "BRUNO", "EDUARDO", "FELIPE", "RAIMUNDO",
    "RODRIGO", "SEBASTIÃO", "ESTÊVÃO", "GONÇALO", "MARIA", "ANA", "FRANCISCA", "ANTÔNIA", "ADRIANA",
    "JULIANA", "MÁRCIA", "FERNANDA", "PATRÍCIA", "ALINE", "SANDRA", "CAMILA", "AMANDA", "BRUNA",
    "JÉSSICA", "LETÍCIA", "JÚLIA", "LUCIANA", "VANESSA", "CONCEIÇÃO", "INÊS", "CÉLIA", "ÂNGELA"};
const char *const kSurnames[] = {
    "SILVA", "SANTOS", "OLIVEIRA", "SOUZA", "RODRIGUES", "FERREIRA", "ALVES", "PEREIRA", "LIMA",
    "GOMES", "COSTA", "RIBEIRO", "MARTINS", "CARVALHO", "ALMEIDA", "LOPES", "SOARES", "FERNANDES",
    "VIEIRA", "BARBOSA", "ROCHA", "DIAS", "NASCIMENTO", "ANDRADE", "MOREIRA", "NUNES", "MARQUES",
    "MACHADO", "MENDES", "FREITAS", "CARDOSO", "RAMOS", "GONÇALVES", "SANTANA", "TEIXEIRA",
    "D'ÁVILA", "D'ALMEIDA", "DA CONCEIÇÃO", "ARAÚJO", "BRANDÃO", "GUSMÃO", "SIMÕES", "MAGALHÃES",
    "ASSUNÇÃO", "FALCÃO", "DE SÁ", "CAMPOS", "PEIXOTO", "BRAGANÇA", "AZEVÊDO"};
const char *const kCompanyWords[] = {
    "AUTO PEÇAS", "TRANSPORTADORA", "DISTRIBUIDORA", "COMÉRCIO DE VEÍCULOS", "MERCADO",
    "CONSTRUTORA", "PADARIA", "FARMÁCIA", "LOCADORA"};
const char *const kStreetKinds[] = {"RUA", "AVENIDA", "TRAVESSA", "ALAMEDA", "PRAÇA", "ESTRADA"};
const char *const kStreetNames[] = {
    "DAS FLORES", "SÃO JOÃO", "DOM PEDRO II", "BARÃO DE MAUÁ", "TIRADENTES", "GETÚLIO VARGAS",
    "SETE DE SETEMBRO", "XV DE NOVEMBRO", "JOÃO D'ÁVILA", "DA CONCEIÇÃO", "MARECHAL DEODORO",
    "SANTOS DUMONT", "INDEPENDÊNCIA", "DOS ANDRADAS", "PAU-BRASIL", "DAS AÇUCENAS", "IPIRANGA",
    "SÃO SEBASTIÃO", "CORONEL JOAQUIM D'OLIVEIRA", "PRINCESA ISABEL", "VISCONDE DE TAUNAY"};
const char *const kDistricts[] = {
    "CENTRO", "JARDIM AMÉRICA", "VILA MARIANA", "SÃO CRISTÓVÃO", "BOA VISTA", "SANTA CECÍLIA",
    "CAMPO BELO", "CONSOLAÇÃO", "PARQUE SÃO JORGE", "VILA ESPERANÇA", "JARDIM EUROPA", "BELÉM",
    "CONCEIÇÃO", "LAPA", "IPIRANGA", "JARDIM PAULISTA"};
const struct { const char *city, *uf; } kCities[] = {
    {"SÃO PAULO", "SP"}, {"CAMPINAS", "SP"}, {"RIBEIRÃO PRETO", "SP"}, {"SÃO JOSÉ DOS CAMPOS", "SP"},
    {"BELO HORIZONTE", "MG"}, {"CURITIBA", "PR"}, {"GOIÂNIA", "GO"}, {"BRASÍLIA", "DF"},
    {"FLORIANÓPOLIS", "SC"}, {"PORTO ALEGRE", "RS"}, {"MACEIÓ", "AL"}, {"JOÃO PESSOA", "PB"},
    {"CUIABÁ", "MT"}, {"VITÓRIA", "ES"}, {"SÃO LUÍS", "MA"}, {"NITERÓI", "RJ"}, {"JUNDIAÍ", "SP"}};
const struct { const char *maker; const char *models[5]; } kVehicles[] = {
    {"VOLKSWAGEN", {"GOL", "FOX", "POLO", "SAVEIRO", "VOYAGE"}},
    {"FIAT", {"UNO", "PALIO", "STRADA", "SIENA", "TORO"}},
    {"CHEVROLET", {"ONIX", "CELTA", "CORSA", "PRISMA", "S10"}},
    {"FORD", {"KA", "FIESTA", "FOCUS", "RANGER", "ECOSPORT"}},
    {"RENAULT", {"SANDERO", "LOGAN", "CLIO", "DUSTER", "KWID"}},
    {"TOYOTA", {"COROLLA", "HILUX", "ETIOS", "YARIS", "SW4"}},
    {"HONDA", {"CIVIC", "FIT", "CITY", "HR-V", "WR-V"}},
    {"HYUNDAI", {"HB20", "CRETA", "TUCSON", "IX35", "HB20S"}}};
const char *const kColours[] = {"PRATA", "PRETO", "BRANCO", "VERMELHO", "CINZA", "AZUL", "VERDE", "BEGE"};
const char *const kFuels[] = {"ÁLCOOL", "DIESEL", "GÁS NATURAL VEICULAR (GNV)", "GASOLINA", "TOTAL FLEX"};
const struct { const char *name, *category, *unit; } kParts[] = {
    {"FILTRO DE ÓLEO", "FILTROS", "UN"}, {"FILTRO DE AR", "FILTROS", "UN"},
    {"FILTRO DE COMBUSTÍVEL", "FILTROS", "UN"}, {"FILTRO DE CABINE", "FILTROS", "UN"},
    {"PASTILHA DE FREIO", "FREIOS", "JG"}, {"DISCO DE FREIO", "FREIOS", "PC"},
    {"LONA DE FREIO", "FREIOS", "JG"}, {"FLUIDO DE FREIO DOT4", "FREIOS", "UN"},
    {"AMORTECEDOR DIANTEIRO", "SUSPENSÃO", "PC"}, {"AMORTECEDOR TRASEIRO", "SUSPENSÃO", "PC"},
    {"PIVÔ DE SUSPENSÃO", "SUSPENSÃO", "PC"}, {"BIELETA", "SUSPENSÃO", "PC"},
    {"TERMINAL DE DIREÇÃO", "SUSPENSÃO", "PC"}, {"CORREIA DENTADA", "MOTOR", "PC"},
    {"JUNTA DO CABEÇOTE", "MOTOR", "PC"}, {"COXIM DO MOTOR", "MOTOR", "PC"},
    {"VELA DE IGNIÇÃO", "ELÉTRICA", "JG"}, {"BOBINA DE IGNIÇÃO", "ELÉTRICA", "PC"},
    {"LÂMPADA H4", "ELÉTRICA", "UN"}, {"BATERIA 60AH", "ELÉTRICA", "UN"},
    {"SENSOR DE OXIGÊNIO", "ELÉTRICA", "PC"}, {"ÓLEO MOTOR 5W30", "LUBRIFICANTES", "LT"},
    {"ÓLEO MOTOR 15W40", "LUBRIFICANTES", "LT"}, {"GRAXA DE ROLAMENTO", "LUBRIFICANTES", "KG"},
    {"BOMBA D'ÁGUA", "ARREFECIMENTO", "PC"}, {"RADIADOR", "ARREFECIMENTO", "PC"},
    {"MANGUEIRA DO RADIADOR", "ARREFECIMENTO", "PC"}, {"VÁLVULA TERMOSTÁTICA", "ARREFECIMENTO", "PC"},
    {"KIT EMBREAGEM", "TRANSMISSÃO", "KIT"}, {"ROLAMENTO DE RODA", "TRANSMISSÃO", "PC"},
    {"PALHETA DO LIMPADOR", "ACESSÓRIOS", "JG"}, {"TAPETE DE BORRACHA", "ACESSÓRIOS", "JG"}};
const char *const kServices[] = {
    "SERVIÇO DE ALINHAMENTO", "BALANCEAMENTO", "MÃO DE OBRA TROCA DE ÓLEO", "REVISÃO COMPLETA",
    "TROCA DE EMBREAGEM", "REGULAGEM DE MOTOR", "LIMPEZA DE BICOS", "DIAGNÓSTICO ELETRÔNICO",
    "HIGIENIZAÇÃO DO AR CONDICIONADO", "MÃO DE OBRA SUSPENSÃO", "RETÍFICA DE CABEÇOTE",
    "SERVIÇO DE FUNILARIA", "TROCA DE PASTILHAS"};
const char *const kBrands[] = {
    "BOSCH", "FRAM", "TECFIL", "COFAP", "MONROE", "NAKATA", "GATES", "CONTINENTAL", "NGK", "MAHLE",
    "SKF", "VALEO", "COBREQ", "FRAS-LE", "TRW", "MOBIL", "CASTROL", "PETRONAS", "LUK", "SABÓ",
    "WAGNER", "MOURA", "HELIAR", "VARGA", "AXIOS"};
const char *const kUnits[] = {"UN", "PC", "JG", "LT", "KG", "KIT", "CX", "MT"};
const char *const kPayments[] = {
    "DINHEIRO", "DINHEIRO", "DINHEIRO", "CHEQUE A VISTA", "CHEQUE PRE", "DEPOSITO", "CARTAO CREDITO",
    "CARTAO CREDITO", "CARTAO DEBITO", "CARTAO DEBITO", "PARCELADO", "BOLETO", "PROMISSÓRIA", "TICKET",
    "A PRAZO", "OUTROS"};
const char *const kStates[] = {
    "EM ABERTO", "PENDENTE", "CANCELADO", "ABANDONADA PELO CLIENTE", "ENTREGUE", "RETORNOU",
    "NA BANCADA", "FALTANDO PEÇAS", "AGUARDANDO PEÇAS"};
const char *const kComplaints[] = {
    "BARULHO NA SUSPENSÃO DIANTEIRA", "MOTOR FALHANDO EM MARCHA LENTA", "FREIO CHIANDO",
    "REVISÃO DOS 40.000 KM", "LUZ DA INJEÇÃO ACESA", "AR CONDICIONADO NÃO GELA",
    "VAZAMENTO DE ÓLEO", "EMBREAGEM PATINANDO", "CARRO PUXANDO PARA A DIREITA",
    "TROCA DE ÓLEO E FILTROS", "SUPERAQUECIMENTO DO MOTOR", "BATERIA NÃO SEGURA CARGA"};
const char *const kIncomeNames[] = {
    "VENDA A PRAZO", "CHEQUE PRÉ-DATADO", "SERVIÇO A PRAZO", "DUPLICATA", "CARTÃO CRÉDITO",
    "CONVÊNIO FROTA"};
const char *const kExpenseNames[] = {
    "ALUGUEL", "ENERGIA ELÉTRICA", "ÁGUA E ESGOTO", "TELEFONE", "FORNECEDOR DE PEÇAS", "SALÁRIOS",
    "IMPOSTOS", "CONTADOR", "INTERNET", "MANUTENÇÃO DE EQUIPAMENTOS"};

template <typename T, size_t N> constexpr size_t countOf(const T (&)[N]) { return N; }

// ---------------------------------------------------------------- random

class Rng {
public:
    explicit Rng(quint64 seed) : m_gen(seed) {}
    int range(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_gen); }   // inclusive
    qint64 range64(qint64 lo, qint64 hi) { return std::uniform_int_distribution<qint64>(lo, hi)(m_gen); }
    double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_gen); }
    bool chance(double p) { return real(0, 1) < p; }
    template <typename T, size_t N> QString pick(const T (&list)[N]) { return u(list[size_t(range(0, int(N) - 1))]); }
    template <typename T, size_t N> size_t index(const T (&)[N]) { return size_t(range(0, int(N) - 1)); }
    double money(double lo, double hi) { return std::round(real(lo, hi) * 100.0) / 100.0; }
private:
    std::mt19937_64 m_gen;
};

// ---------------------------------------------------------------- inserts

// A prepared INSERT on one catalogue table, with values converted to the
// layer's storage form (ISO dates, HH:mm:ss times, Alpha cut to its size).
class Inserter {
public:
    Inserter(Database &db, const QString &table, const QStringList &fields)
        : m_h(brelvo::data::detail::handle(db))
    {
        const data::TableDef *def = Database::tableDef(table);
        if (!def)
            throw std::runtime_error("unknown table " + table.toStdString());
        m_table = def->fileName;
        QStringList cols, marks;
        for (const QString &f : fields) {
            const FieldDef *fd = def->field(f);
            if (!fd)
                throw std::runtime_error("unknown field " + f.toStdString() + " in " + table.toStdString());
            m_defs.push_back(*fd);
            cols << QLatin1Char('"') + fd->name + QLatin1Char('"');
            marks << QStringLiteral("?");
        }
        const QByteArray sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                   .arg(def->sqlName, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
                                   .toUtf8();
        if (sqlite3_prepare_v3(m_h, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr)
            != SQLITE_OK)
            fail("prepare");
    }
    ~Inserter() { sqlite3_finalize(m_stmt); }
    Inserter(const Inserter &) = delete;
    Inserter &operator=(const Inserter &) = delete;

    // Returns the rowid (the AutoInc value where the table has one).
    qint64 insert(std::initializer_list<QVariant> values)
    {
        if (values.size() != m_defs.size())
            throw std::runtime_error("value count mismatch for " + m_table.toStdString());
        int i = 0;
        for (const QVariant &v : values) {
            bind(i + 1, m_defs[size_t(i)], v);
            ++i;
        }
        if (sqlite3_step(m_stmt) != SQLITE_DONE)
            fail("insert");
        sqlite3_reset(m_stmt);
        ++m_count;
        return sqlite3_last_insert_rowid(m_h);
    }
    qint64 count() const { return m_count; }

private:
    void bind(int pos, const FieldDef &f, const QVariant &v)
    {
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(m_stmt, pos);
        } else {
            switch (f.type) {
            case FieldType::AutoInc:
            case FieldType::Integer:
                rc = sqlite3_bind_int64(m_stmt, pos, v.toLongLong());
                break;
            case FieldType::Number:
            case FieldType::Money:
                rc = sqlite3_bind_double(m_stmt, pos, v.toDouble());
                break;
            case FieldType::Logical:
                rc = sqlite3_bind_int(m_stmt, pos, v.toBool() ? 1 : 0);
                break;
            case FieldType::Date:
                rc = bindText(pos, v.toDate().toString(Qt::ISODate));
                break;
            case FieldType::Time:
                rc = bindText(pos, v.toTime().toString(QStringLiteral("HH:mm:ss")));
                break;
            case FieldType::Alpha: {
                QString s = v.toString();
                if (f.size > 0 && s.size() > f.size)
                    s.truncate(f.size);
                rc = bindText(pos, s);
                break;
            }
            case FieldType::Memo:
                rc = bindText(pos, v.toString());
                break;
            case FieldType::Graphic: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(m_stmt, pos, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            fail("bind");
    }
    int bindText(int pos, const QString &s)
    {
        const QByteArray b = s.toUtf8();
        return sqlite3_bind_text(m_stmt, pos, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    [[noreturn]] void fail(const char *what)
    {
        throw DbError(DbError::Kind::SqlError,
                      QStringLiteral("%1 (%2): %3").arg(m_table, QLatin1String(what), QString::fromUtf8(sqlite3_errmsg(m_h))));
    }

    sqlite3 *m_h;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_table;
    std::vector<FieldDef> m_defs;
    qint64 m_count = 0;
};

qint64 scalar(Database &db, const char *sql)
{
    sqlite3 *h = brelvo::data::detail::handle(db);
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(h, sql, -1, &st, nullptr) != SQLITE_OK)
        throw DbError(DbError::Kind::SqlError, QString::fromUtf8(sqlite3_errmsg(h)));
    qint64 v = 0;
    if (sqlite3_step(st) == SQLITE_ROW)
        v = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return v;
}

void exec(Database &db, const char *sql)
{
    sqlite3 *h = brelvo::data::detail::handle(db);
    char *err = nullptr;
    if (sqlite3_exec(h, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "erro");
        sqlite3_free(err);
        throw DbError(DbError::Kind::SqlError, msg);
    }
}

// ---------------------------------------------------------------- generator

struct Person {
    int code;
    QString name, taxId, phone, mobile;
};
struct Vehicle {
    QString model, maker, fuel, plate;
    int year;
};
struct Product {
    qint64 code;
    QString description, brand, category;
    double price, cost;
    bool monitored;
};
struct Employee {
    int code;
    QString name;
    bool mechanic;
};
struct Item {
    const Product *product;
    double qty;
};

class Generator {
public:
    Generator(Database &db, const Options &o, const Progress &p)
        : m_db(db), m_o(o), m_progress(p), m_rng(o.seed)
    {
        m_today = QDate::currentDate();
        m_first = m_today.addYears(-std::max(1, o.years));
        m_clock.start();
    }

    Result run()
    {
        lookups();
        employees();
        suppliers();
        customers();
        vehicles();
        products();
        replenishments();
        sales();
        orders();
        titles(false);
        titles(true);
        balances();
        m_result.elapsedMs = m_clock.elapsed();
        return m_result;
    }

private:
    void report(const QString &table, qint64 rows)
    {
        m_result.rows += rows;
        if (m_progress)
            m_progress(QStringLiteral("%1: %2 linhas (%3 s)").arg(table).arg(rows).arg(m_clock.elapsed() / 1000.0, 0, 'f', 1));
    }

    QString personName()
    {
        QString n = m_rng.pick(kFirstNames) + QLatin1Char(' ') + m_rng.pick(kSurnames);
        if (m_rng.chance(0.6))
            n += QLatin1Char(' ') + m_rng.pick(kSurnames);
        return n;
    }
    QString companyName()
    {
        return m_rng.pick(kCompanyWords) + QLatin1Char(' ') + m_rng.pick(kStreetNames) + QStringLiteral(" LTDA");
    }
    QString street()
    {
        return m_rng.pick(kStreetKinds) + QLatin1Char(' ') + m_rng.pick(kStreetNames) + QStringLiteral(", ")
               + QString::number(m_rng.range(1, 3999));
    }
    QString phone(bool mobile)
    {
        return QStringLiteral("(%1) %2%3-%4")
            .arg(m_rng.range(11, 99))
            .arg(mobile ? QStringLiteral("9") : QString())
            .arg(m_rng.range(mobile ? 8000 : 2000, mobile ? 9999 : 5999))
            .arg(m_rng.range(0, 9999), 4, 10, QLatin1Char('0'));
    }
    QString cep() { return QStringLiteral("%1-%2").arg(m_rng.range(1000, 99999), 5, 10, QLatin1Char('0')).arg(m_rng.range(0, 999), 3, 10, QLatin1Char('0')); }
    QString plate()
    {
        QString p;
        for (int i = 0; i < 3; ++i)
            p += QLatin1Char(char('A' + m_rng.range(0, 25)));
        if (m_rng.chance(0.5))   // old format ABC-1234, else Mercosul ABC1D23
            return p + QStringLiteral("-%1").arg(m_rng.range(0, 9999), 4, 10, QLatin1Char('0'));
        return p + QString::number(m_rng.range(0, 9)) + QLatin1Char(char('A' + m_rng.range(0, 25)))
               + QStringLiteral("%1").arg(m_rng.range(0, 99), 2, 10, QLatin1Char('0'));
    }
    QDate dayBetween(const QDate &a, const QDate &b) { return a.addDays(m_rng.range64(0, std::max<qint64>(0, a.daysTo(b)))); }
    // The i-th of n documents, spread evenly over the period with some jitter, never after today.
    QDate dayOf(qint64 i, qint64 n)
    {
        const qint64 span = m_first.daysTo(m_today);
        const qint64 d = n > 0 ? i * span / n : 0;
        return m_first.addDays(std::min(span, d));
    }
    QTime timeOfDay() { return QTime(m_rng.range(8, 18), m_rng.range(0, 59), m_rng.range(0, 59)); }
    QString upperEmail(const QString &name)
    {
        QString s = name.section(QLatin1Char(' '), 0, 0).toLower();
        s = s.normalized(QString::NormalizationForm_D);
        QString ascii;
        for (QChar c : s)
            if (c.unicode() < 128 && c.isLetter())
                ascii += c;
        return ascii + QString::number(m_rng.range(1, 999)) + QStringLiteral("@exemplo.com.br");
    }

    void lookups()
    {
        Inserter brands(m_db, QStringLiteral("tbMarcas.db"), {QStringLiteral("Marca")});
        for (const char *b : kBrands)
            brands.insert({u(b)});
        Inserter units(m_db, QStringLiteral("tbMedidas.db"), {QStringLiteral("UnMedida")});
        for (const char *x : kUnits)
            units.insert({u(x)});
        QStringList cats;
        for (const auto &p : kParts)
            if (!cats.contains(u(p.category)))
                cats << u(p.category);
        cats << QStringLiteral("SERVIÇOS");
        Inserter categories(m_db, QStringLiteral("tbCategoria.db"), {QStringLiteral("Categoria")});
        for (const QString &c : cats)
            categories.insert({c});
        report(QStringLiteral("tbMarcas.db/tbMedidas.db/tbCategoria.db"),
               brands.count() + units.count() + categories.count());
    }

    void employees()
    {
        Inserter ins(m_db, QStringLiteral("tbFunciocario.db"),
                     {QStringLiteral("Codigo"), QStringLiteral("Nome"), QStringLiteral("CPF"), QStringLiteral("RG"),
                      QStringLiteral("Comissao"), QStringLiteral("Comissionario"), QStringLiteral("CEP"),
                      QStringLiteral("Endereco"), QStringLiteral("Bairro"), QStringLiteral("Cidade"),
                      QStringLiteral("Telefone"), QStringLiteral("Celular"), QStringLiteral("Funcao"),
                      QStringLiteral("UF")});
        const int n = 12;
        for (int i = 1; i <= n; ++i) {
            const bool mechanic = i <= 8;
            Employee e{i, personName(), mechanic};
            const auto &city = kCities[m_rng.index(kCities)];
            ins.insert({i, e.name, cpfFromDigits(m_rng.range64(1, 999999999)),
                        QString::number(m_rng.range(1000000, 99999999)), mechanic ? 10.0 : 2.0,
                        mechanic ? QStringLiteral("S") : QStringLiteral("N"), cep(), street(),
                        m_rng.pick(kDistricts), u(city.city), phone(false), phone(true),
                        mechanic ? u("MECÂNICO") : QStringLiteral("ATENDENTE"), u(city.uf)});
            m_employees.push_back(e);
        }
        report(QStringLiteral("tbFunciocario.db"), ins.count());
    }

    void suppliers()
    {
        Inserter ins(m_db, QStringLiteral("tbfornecedor.db"),
                     {QStringLiteral("Codigo"), QStringLiteral("Nome"), QStringLiteral("Contato"),
                      QStringLiteral("CNPJ_CPF"), QStringLiteral("TipoServico"), QStringLiteral("Transportadora"),
                      QStringLiteral("CndPagamento"), QStringLiteral("Desconto"), QStringLiteral("EntregaDias"),
                      QStringLiteral("Situacao"), QStringLiteral("Telefone")});
        const char *const terms[] = {"Boleto", "Dinheiro", "Cartão", "Parcelado", "Cheque", "Avista", "Todas"};
        for (int i = 1; i <= 40; ++i) {
            const QString name = u("DISTRIBUIDORA ") + m_rng.pick(kBrands) + QLatin1Char(' ') + m_rng.pick(kStreetNames);
            m_suppliers << name.left(100);
            ins.insert({i, name, personName(),
                        QStringLiteral("%1.%2.%3/0001-%4").arg(m_rng.range(10, 99)).arg(m_rng.range(100, 999)).arg(m_rng.range(100, 999)).arg(m_rng.range(10, 99)),
                        u("PEÇAS E ACESSÓRIOS AUTOMOTIVOS"), m_rng.chance(0.5) ? u("TRANSPORTADORA SÃO JOÃO") : u("PRÓPRIA"),
                        m_rng.pick(terms), double(m_rng.range(0, 10)), double(m_rng.range(1, 15)),
                        m_rng.chance(0.9) ? QStringLiteral("Ativo") : QStringLiteral("Inativo"), phone(false).left(15)});
        }
        report(QStringLiteral("tbfornecedor.db"), ins.count());
    }

    void customers()
    {
        Inserter ins(m_db, QStringLiteral("tbCliente.DB"),
                     {QStringLiteral("Data"), QStringLiteral("Codigo"), QStringLiteral("Nome"), QStringLiteral("CIC"),
                      QStringLiteral("RG"), QStringLiteral("Fone"), QStringLiteral("Endereco"), QStringLiteral("Email"),
                      QStringLiteral("Obs"), QStringLiteral("Apelido"), QStringLiteral("UF"), QStringLiteral("Cidade"),
                      QStringLiteral("CEP"), QStringLiteral("CARRO"), QStringLiteral("Celular")});
        m_customers.reserve(size_t(m_o.customers));
        for (int i = 1; i <= m_o.customers; ++i) {
            const bool company = m_rng.chance(0.08);
            Person p{i, company ? companyName() : personName(),
                     company ? QStringLiteral("%1.%2.%3/0001-%4").arg(m_rng.range(10, 99)).arg(m_rng.range(100, 999)).arg(m_rng.range(100, 999)).arg(m_rng.range(10, 99))
                             : cpfFromDigits(m_rng.range64(1, 999999999)),
                     phone(false), phone(true)};
            const auto &city = kCities[m_rng.index(kCities)];
            ins.insert({dayOf(i, m_o.customers), i, p.name, p.taxId,
                        company ? QVariant() : QVariant(QString::number(m_rng.range(1000000, 99999999))), p.phone,
                        street(), upperEmail(p.name),
                        m_rng.chance(0.1) ? QVariant(u("CLIENTE PREFERENCIAL; PAGA À VISTA")) : QVariant(),
                        company ? QVariant(m_rng.pick(kFirstNames)) : QVariant(), u(city.uf), u(city.city), cep(),
                        m_rng.pick(kDistricts), p.mobile});
            m_customers.push_back(std::move(p));
        }
        report(QStringLiteral("tbCliente.DB"), ins.count());
    }

    void vehicles()
    {
        Inserter ins(m_db, QStringLiteral("TCadastroCarros.db"),
                     {QStringLiteral("Link"), QStringLiteral("Modelo"), QStringLiteral("Anofabrica"),
                      QStringLiteral("AnoModelo"), QStringLiteral("Fabricante"), QStringLiteral("Cor"),
                      QStringLiteral("Placa"), QStringLiteral("Combustivel")});
        m_vehicles.reserve(size_t(m_o.vehicles));
        m_vehicleOwner.reserve(size_t(m_o.vehicles));
        for (int i = 0; i < m_o.vehicles; ++i) {
            // First one vehicle per customer, then extra vehicles for random customers.
            const int owner = m_customers.empty() ? 0
                              : i < int(m_customers.size()) ? m_customers[size_t(i)].code
                                                            : m_customers[size_t(m_rng.range(0, int(m_customers.size()) - 1))].code;
            const auto &mk = kVehicles[m_rng.index(kVehicles)];
            Vehicle v{u(mk.models[m_rng.range(0, 4)]), u(mk.maker), m_rng.pick(kFuels), plate(),
                      m_today.year() - m_rng.range(0, 20)};
            ins.insert({owner, v.model, v.year, v.year + (m_rng.chance(0.5) ? 1 : 0), v.maker, m_rng.pick(kColours),
                        v.plate, v.fuel});
            m_vehicles.push_back(std::move(v));
            m_vehicleOwner.push_back(owner);
        }
        report(QStringLiteral("TCadastroCarros.db"), ins.count());
    }

    void products()
    {
        Inserter ins(m_db, QStringLiteral("tbProdutos.db"),
                     {QStringLiteral("Codigo"), QStringLiteral("Descricao"), QStringLiteral("Valor"),
                      QStringLiteral("Estoque"), QStringLiteral("Unidade"), QStringLiteral("Marca"),
                      QStringLiteral("Categoria"), QStringLiteral("PrecoCusto"), QStringLiteral("EstoqueMinimo"),
                      QStringLiteral("Margem"), QStringLiteral("MonitorarEstq"), QStringLiteral("PermiteVenda")});
        m_products.reserve(size_t(m_o.products));
        // 12 leading digits "789" + 9 digits; a stride coprime with 10^9 keeps them distinct.
        const qint64 offset = m_rng.range64(0, 999999999);
        for (int i = 0; i < m_o.products; ++i) {
            const qint64 body = (offset + qint64(i) * 7919) % 1000000000LL;
            Product p;
            p.code = ean13(789000000000LL + body);
            p.monitored = !m_rng.chance(0.1);
            QString unit;
            if (p.monitored) {
                const auto &part = kParts[m_rng.index(kParts)];
                const auto &mk = kVehicles[m_rng.index(kVehicles)];
                p.brand = m_rng.pick(kBrands);
                p.category = u(part.category);
                unit = u(part.unit);
                p.description = u(part.name) + QLatin1Char(' ') + p.brand + QLatin1Char(' ')
                                + u(mk.models[m_rng.range(0, 4)]) + QLatin1Char(' ') + QString::number(m_rng.range(100, 9999));
                p.cost = m_rng.money(3, 600);
            } else {
                const auto &mk = kVehicles[m_rng.index(kVehicles)];
                p.brand = QString();
                p.category = QStringLiteral("SERVIÇOS");
                unit = QStringLiteral("UN");
                p.description = m_rng.pick(kServices) + QLatin1Char(' ') + u(mk.maker) + QLatin1Char(' ')
                                + QString::number(m_rng.range(10, 999));
                p.cost = 0;
            }
            p.description = p.description.left(50);
            const double margin = m_rng.range(20, 80);
            p.price = p.monitored ? std::round(p.cost * (1 + margin / 100.0) * 100.0) / 100.0 : m_rng.money(40, 900);
            ins.insert({p.code, p.description, p.price, 0.0, unit, p.brand.isEmpty() ? QVariant() : QVariant(p.brand),
                        p.category, p.cost, double(m_rng.range(0, 5)), margin,
                        p.monitored ? QStringLiteral("S") : QStringLiteral("N"),
                        m_rng.chance(0.8) ? QStringLiteral("S") : QStringLiteral("N")});
            m_products.push_back(std::move(p));
            if (m_products.back().monitored)
                m_monitored.push_back(&m_products.back());
        }
        report(QStringLiteral("tbProdutos.db"), ins.count());
    }

    const Product *anyProduct() { return &m_products[size_t(m_rng.range(0, int(m_products.size()) - 1))]; }

    void replenishments()
    {
        if (m_monitored.empty() && m_o.replenishments > 0 && m_products.empty())
            return;
        Inserter ins(m_db, QStringLiteral("tbReposicao.DB"),
                     {QStringLiteral("Data"), QStringLiteral("Hora"), QStringLiteral("Codigo"),
                      QStringLiteral("Descricao"), QStringLiteral("Marca"), QStringLiteral("Categoria"),
                      QStringLiteral("Qtd"), QStringLiteral("PrecoCompra"), QStringLiteral("NFiscal"),
                      QStringLiteral("Finalizada"), QStringLiteral("Fornecedor")});
        int invoice = 1000;
        for (int i = 0; i < m_o.replenishments; ++i) {
            if (i % 8 == 0)
                ++invoice;      // a delivery brings several lines under one invoice
            const Product *p = m_monitored.empty() ? anyProduct() : m_monitored[size_t(m_rng.range(0, int(m_monitored.size()) - 1))];
            ins.insert({dayOf(i, m_o.replenishments), timeOfDay(), p->code, p->description,
                        p->brand.isEmpty() ? QVariant() : QVariant(p->brand), p->category,
                        double(m_rng.range(1, 60)), p->cost, invoice, QStringLiteral("S"),
                        m_suppliers.isEmpty() ? QVariant() : QVariant(m_suppliers[m_rng.range(0, int(m_suppliers.size()) - 1)])});
        }
        report(QStringLiteral("tbReposicao.DB"), ins.count());
    }

    // Splits `total` items over `docs` documents: each gets at least one while
    // items last, the rest land on random documents.
    std::vector<int> spread(int docs, int total)
    {
        std::vector<int> counts(size_t(std::max(0, docs)), 0);
        if (docs <= 0)
            return counts;
        int left = total;
        for (int i = 0; i < docs && left > 0; ++i, --left)
            counts[size_t(i)] = 1;
        for (; left > 0; --left)
            ++counts[size_t(m_rng.range(0, docs - 1))];
        return counts;
    }

    std::vector<Item> pickItems(int n)
    {
        std::vector<Item> items;
        items.reserve(size_t(n));
        for (int k = 0; k < n; ++k) {
            const Product *p = anyProduct();
            const double qty = p->monitored ? double(m_rng.range(1, 4)) : 1.0;
            items.push_back({p, qty});
        }
        return items;
    }

    int orphanCount(int items) const { return items <= 0 ? 0 : std::max(1, items / 20000); }

    void sales()
    {
        Inserter head(m_db, QStringLiteral("tbVendas.db"),
                      {QStringLiteral("DtVenda"), QStringLiteral("CodVenda"), QStringLiteral("CodVendedor"),
                       QStringLiteral("CodCliente"), QStringLiteral("NomeCliente"), QStringLiteral("ForPagamento"),
                       QStringLiteral("VrVenda"), QStringLiteral("VrRecebido"), QStringLiteral("VLDesconto"),
                       QStringLiteral("Finalizada"), QStringLiteral("VenOs"), QStringLiteral("DtModifica"),
                       QStringLiteral("HrVenda")});
        Inserter item(m_db, QStringLiteral("tbItems.DB"),
                      {QStringLiteral("CodBarra"), QStringLiteral("CodVenda"), QStringLiteral("Qtd"),
                       QStringLiteral("Link"), QStringLiteral("ValorUni"), QStringLiteral("Descricao"),
                       QStringLiteral("Monitorar")});
        const int orphans = m_products.empty() ? 0 : std::min(orphanCount(m_o.saleItems), m_o.saleItems);
        const std::vector<int> counts = spread(m_o.sales, m_products.empty() ? 0 : m_o.saleItems - orphans);
        qint64 lastChave = 0;
        for (int i = 0; i < m_o.sales; ++i) {
            const std::vector<Item> items = pickItems(counts[size_t(i)]);
            double total = 0;
            for (const Item &it : items)
                total += it.qty * it.product->price;
            const double discount = m_rng.chance(0.15) ? std::floor(total * 0.05 * 100) / 100 : 0.0;
            total = std::round((total - discount) * 100) / 100;
            const bool open = i >= m_o.sales - 3;      // the last few sales are still open
            const QDate day = dayOf(i, m_o.sales);
            const Person *c = (!m_customers.empty() && m_rng.chance(0.5))
                                  ? &m_customers[size_t(m_rng.range(0, int(m_customers.size()) - 1))] : nullptr;
            const int number = i + 1;
            const int seller = m_employees.empty() ? 0 : m_employees[size_t(m_rng.range(0, int(m_employees.size()) - 1))].code;
            lastChave = head.insert({day, number, seller,
                                     c ? c->code : 0, c ? c->name : QStringLiteral("CONSUMIDOR"),
                                     m_rng.pick(kPayments), total,
                                     std::ceil(total / 10.0) * 10.0, discount,
                                     open ? QStringLiteral("N") : QStringLiteral("S"), QStringLiteral("PV"), day,
                                     timeOfDay()});
            for (const Item &it : items)
                item.insert({it.product->code, number, it.qty, lastChave, it.product->price,
                             it.product->description, it.product->monitored ? QStringLiteral("S") : QStringLiteral("N")});
        }
        // Items left behind by deleted sales: their Link matches no sale.
        for (int k = 0; k < orphans; ++k) {
            const Product *p = anyProduct();
            item.insert({p->code, 0, 1.0, lastChave + 1000000 + k, p->price, p->description,
                         p->monitored ? QStringLiteral("S") : QStringLiteral("N")});
        }
        m_result.orphanSaleItems = orphans;
        report(QStringLiteral("tbVendas.db"), head.count());
        report(QStringLiteral("tbItems.DB"), item.count());
    }

    void orders()
    {
        Inserter head(m_db, QStringLiteral("TOrdemServico.DB"),
                      {QStringLiteral("Data"), QStringLiteral("Codigo"), QStringLiteral("OsOc"),
                       QStringLiteral("Andamento"), QStringLiteral("Atendente"), QStringLiteral("Tecnico"),
                       QStringLiteral("CodCliente"), QStringLiteral("NomeCliente"), QStringLiteral("CPFCNPJ"),
                       QStringLiteral("Fone"), QStringLiteral("Celular"), QStringLiteral("DefeitoReclama"),
                       QStringLiteral("Obs"), QStringLiteral("DataEntrega"), QStringLiteral("HoraEntrega"),
                       QStringLiteral("VrTotal"), QStringLiteral("DtOs"), QStringLiteral("HrOs"),
                       QStringLiteral("Desconto"), QStringLiteral("HrAlteracao"), QStringLiteral("ForPagamento"),
                       QStringLiteral("CodVendedor"), QStringLiteral("Modelo"), QStringLiteral("Km"),
                       QStringLiteral("Ano"), QStringLiteral("AnoFabrica"), QStringLiteral("Fabricante"),
                       QStringLiteral("Combustivel"), QStringLiteral("Placa")});
        Inserter item(m_db, QStringLiteral("tbitemsordem.db"),
                      {QStringLiteral("CodVenda"), QStringLiteral("CodBarra"), QStringLiteral("Qtd"),
                       QStringLiteral("ValorUni"), QStringLiteral("Descricao"), QStringLiteral("Monitorar")});
        std::vector<const Employee *> mechanics, attendants;
        for (const Employee &e : m_employees)
            (e.mechanic ? mechanics : attendants).push_back(&e);
        const int orphans = m_products.empty() ? 0 : std::min(orphanCount(m_o.orderItems), m_o.orderItems);
        const std::vector<int> counts = spread(m_o.orders, m_products.empty() ? 0 : m_o.orderItems - orphans);
        qint64 lastChave = 0;
        for (int i = 0; i < m_o.orders; ++i) {
            const std::vector<Item> items = pickItems(counts[size_t(i)]);
            double total = 0;
            for (const Item &it : items)
                total += it.qty * it.product->price;
            const double discount = m_rng.chance(0.1) ? std::floor(total * 0.05 * 100) / 100 : 0.0;
            total = std::round((total - discount) * 100) / 100;
            const bool quote = m_rng.chance(0.15);
            const bool recent = i >= m_o.orders - 20;
            QString state = u("FINALIZADO");
            if (recent || m_rng.chance(0.05))
                state = m_rng.pick(kStates);
            const bool finished = state == u("FINALIZADO");
            const QDate day = dayOf(i, m_o.orders);
            const QDate paid = finished ? std::min(m_today, day.addDays(m_rng.range(0, 5))) : QDate();
            const size_t vi = m_vehicles.empty() ? 0 : size_t(m_rng.range(0, int(m_vehicles.size()) - 1));
            const Vehicle *v = m_vehicles.empty() ? nullptr : &m_vehicles[vi];
            const int owner = v ? m_vehicleOwner[vi] : 0;
            const Person *c = owner > 0 && owner <= int(m_customers.size()) ? &m_customers[size_t(owner - 1)] : nullptr;
            const Employee *mech = mechanics.empty() ? nullptr : mechanics[size_t(m_rng.range(0, int(mechanics.size()) - 1))];
            const Employee *att = attendants.empty() ? nullptr : attendants[size_t(m_rng.range(0, int(attendants.size()) - 1))];
            const QTime opened = timeOfDay();
            lastChave = head.insert(
                {day, i + 1, quote ? QStringLiteral("OC") : QStringLiteral("PV"), state,
                 att ? QVariant(att->name) : QVariant(), mech ? QVariant(mech->name) : QVariant(),
                 c ? c->code : 0, c ? c->name : QVariant(), c ? c->taxId : QVariant(),
                 c ? c->phone : QVariant(), c ? c->mobile : QVariant(), m_rng.pick(kComplaints),
                 m_rng.chance(0.2) ? QVariant(u("CLIENTE AGUARDA NA RECEPÇÃO; LIGAR ANTES")) : QVariant(),
                 day.addDays(m_rng.range(0, 7)), QTime(m_rng.range(8, 18), 0), total,
                 finished ? QVariant(paid) : QVariant(), opened, discount, opened.addSecs(m_rng.range(60, 7200)),
                 finished ? QVariant(m_rng.pick(kPayments)) : QVariant(), mech ? mech->code : 0,
                 v ? QVariant(v->model) : QVariant(), double(m_rng.range(1000, 250000)),
                 v ? v->year + 1 : 0, v ? v->year : 0, v ? QVariant(v->maker) : QVariant(),
                 v ? QVariant(v->fuel) : QVariant(), v ? QVariant(v->plate) : QVariant()});
            for (const Item &it : items)
                item.insert({lastChave, it.product->code, it.qty, it.product->price, it.product->description,
                             it.product->monitored ? QStringLiteral("S") : QStringLiteral("N")});
        }
        for (int k = 0; k < orphans; ++k) {
            const Product *p = anyProduct();
            item.insert({lastChave + 1000000 + k, p->code, 1.0, p->price, p->description,
                         p->monitored ? QStringLiteral("S") : QStringLiteral("N")});
        }
        m_result.orphanOrderItems = orphans;
        report(QStringLiteral("TOrdemServico.DB"), head.count());
        report(QStringLiteral("tbitemsordem.db"), item.count());
    }

    void titles(bool payable)
    {
        const QString table = payable ? QStringLiteral("tbpagar.db") : QStringLiteral("tbreceber.db");
        Inserter ins(m_db, table,
                     {QStringLiteral("Fantasia"), QStringLiteral("Nome"), QStringLiteral("Codigo"),
                      QStringLiteral("DataEmissao"), QStringLiteral("DataVencimento"), QStringLiteral("DataPagamento"),
                      QStringLiteral("Observacoes"), QStringLiteral("Valordocumento"), QStringLiteral("CodBanco"),
                      QStringLiteral("CodAgencia"), QStringLiteral("NConta"), QStringLiteral("NTituloBanco"),
                      QStringLiteral("PrazoProt")});
        const int n = payable ? m_o.payables : m_o.receivables;
        for (int i = 1; i <= n; ++i) {
            const QDate issued = dayOf(i, n);
            const QDate due = issued.addDays(m_rng.range(0, 90));
            // Titles due in the past are mostly settled; a few stay open and overdue.
            const bool paid = due < m_today ? m_rng.chance(0.85) : m_rng.chance(0.1);
            const bool cheque = m_rng.chance(0.2);
            const QString name = payable ? (m_suppliers.isEmpty() ? personName() : m_suppliers[m_rng.range(0, int(m_suppliers.size()) - 1)])
                                         : (m_customers.empty() ? personName() : m_customers[size_t(m_rng.range(0, int(m_customers.size()) - 1))].name);
            ins.insert({payable ? m_rng.pick(kExpenseNames) : m_rng.pick(kIncomeNames), name, i, issued, due,
                        paid ? QVariant(std::min(m_today, due.addDays(m_rng.range(-5, 10)))) : QVariant(),
                        m_rng.chance(0.1) ? QVariant(u("REFERENTE À NOTA FISCAL Nº ") + QString::number(m_rng.range(1, 99999))) : QVariant(),
                        m_rng.money(20, 5000),
                        cheque ? QVariant(QStringLiteral("%1").arg(m_rng.range(1, 999), 3, 10, QLatin1Char('0'))) : QVariant(),
                        cheque ? QVariant(QString::number(m_rng.range(100, 9999))) : QVariant(),
                        cheque ? QVariant(QStringLiteral("%1-%2").arg(m_rng.range(10000, 99999)).arg(m_rng.range(0, 9))) : QVariant(),
                        cheque ? QVariant(QString::number(m_rng.range(100000, 999999))) : QVariant(),
                        cheque ? QVariant(due) : QVariant()});
        }
        report(table, ins.count());
    }

    // The stored balance of every product, as the products window would store it.
    void balances()
    {
        if (m_products.empty())
            return;
        exec(m_db,
             "UPDATE \"tbprodutos\" SET \"Estoque\" ="
             " COALESCE((SELECT SUM(r.\"Qtd\") FROM \"tbreposicao\" r WHERE r.\"Codigo\" = \"tbprodutos\".\"Codigo\"), 0)"
             " - COALESCE((SELECT SUM(i.\"Qtd\") FROM \"tbitems\" i JOIN \"tbvendas\" v ON v.\"Chave\" = i.\"Link\""
             "   WHERE i.\"CodBarra\" = \"tbprodutos\".\"Codigo\" AND i.\"Monitorar\" = 'S' AND v.\"VenOs\" = 'PV'), 0)"
             " - COALESCE((SELECT SUM(o.\"Qtd\") FROM \"tbitemsordem\" o JOIN \"tordemservico\" s ON s.\"Chave\" = o.\"CodVenda\""
             "   WHERE o.\"CodBarra\" = \"tbprodutos\".\"Codigo\" AND o.\"Monitorar\" = 'S' AND s.\"OsOc\" = 'PV'), 0)"
             " WHERE \"MonitorarEstq\" = 'S'");
        if (m_progress)
            m_progress(QStringLiteral("tbProdutos.db: saldos de estoque gravados (%1 s)").arg(m_clock.elapsed() / 1000.0, 0, 'f', 1));
    }

    Database &m_db;
    Options m_o;
    Progress m_progress;
    Rng m_rng;
    QDate m_today, m_first;
    QElapsedTimer m_clock;
    Result m_result;
    std::vector<Employee> m_employees;
    QStringList m_suppliers;
    std::vector<Person> m_customers;
    std::vector<Vehicle> m_vehicles;
    std::vector<int> m_vehicleOwner;
    std::vector<Product> m_products;
    std::vector<const Product *> m_monitored;
};

} // namespace

Result generate(const QString &folder, const Options &options, const Progress &progress)
{
    QElapsedTimer clock;
    clock.start();
    auto db = Database::open(folder, true);
    if (progress)
        progress(QStringLiteral("Banco aberto em %1 (%2 ms)").arg(db->filePath()).arg(clock.elapsed()));
    if (scalar(*db, "SELECT (SELECT COUNT(*) FROM \"tbprodutos\") + (SELECT COUNT(*) FROM \"tbvendas\")") > 0)
        throw std::runtime_error("the database in " + folder.toStdString()
                                 + " already holds products or sales; use an empty folder");
    // A large page cache keeps the bulk load from spilling pages to the journal
    // while the transaction grows; this connection is closed when we return.
    exec(*db, "PRAGMA cache_size = -786432");
    exec(*db, "PRAGMA temp_store = MEMORY");
    db->transaction();
    Result r;
    try {
        Generator g(*db, options, progress);
        r = g.run();
        db->commit();
    } catch (...) {
        db->rollback();
        throw;
    }
    r.elapsedMs = clock.elapsed();
    return r;
}

} // namespace brelvo::gendata
