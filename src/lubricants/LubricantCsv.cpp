#include "lubricants/LubricantCsv.h"

#include "core/Codepage.h"
#include "core/Format.h"
#include "data/Catalogue.h"
#include "data/Dataset.h"
#include "data/Transaction.h"
#include "lubricants/LubricantLists.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <cmath>

namespace brelvo::lubricants {

namespace {

const QString kFabricante = QStringLiteral("Fabricante");
const QString kCarro = QStringLiteral("Carro");
const QString kModelo = QStringLiteral("Modelo");
const QString kAno = QStringLiteral("Ano");
const QString kCombustivel = QStringLiteral("Combustivel");
const QString kLubrificante = QStringLiteral("Lubrificane");
const QString kNorma = QStringLiteral("NormaAPI");
const QString kLitros = QStringLiteral("Litros_Carter");
const QString kImage = QStringLiteral("Image");

// Header text reduced to lower-case letters and digits, accents dropped.
QString headerKey(const QString &name)
{
    QString out;
    for (QChar c : name.normalized(QString::NormalizationForm_D))
        if (c.isLetterOrNumber() && c.category() != QChar::Mark_NonSpacing)
            out += c.toLower();
    return out;
}

// Field a header names; empty when none.
QString fieldOfHeader(const QString &name)
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> h;
        auto add = [&h](const QString &field, std::initializer_list<const char *> keys) {
            h.insert(headerKey(field), field);
            for (const char *k : keys)
                h.insert(headerKey(QString::fromUtf8(k)), field);
        };
        add(kFabricante, {"Montadora"});
        add(kCarro, {"Carro / Modelo", "Veículo", "Veiculo"});
        add(kModelo, {});
        add(kAno, {"Ano Modelo"});
        add(kCombustivel, {});
        add(kLubrificante, {"Lubrificante", "Lubrificante Recomendado", "Óleo", "Viscosidade SAE recomendado"});
        add(kNorma, {"Norma API", "API"});
        add(kLitros, {"Litros", "Qtd. Litros motor", "Litros do Cárter do Motor", "Litros Carter"});
        add(kImage, {"Imagem", "Foto"});
        return h;
    }();
    return names.value(headerKey(name));
}

int fieldSize(const QString &field)
{
    const data::FieldDef *f = data::Database::tableDef(QString::fromLatin1(kTable))->field(field);
    return f ? f->size : 0;
}

// A typed number: "3,5", "1.234,5" or "3.5".
std::optional<double> number(const QString &text)
{
    if (auto v = core::parseNumber(text))
        return v;
    static const QRegularExpression dotted(QStringLiteral("^[+-]?\\d+\\.\\d+$"));
    if (dotted.match(text.trimmed()).hasMatch())
        return text.trimmed().toDouble();
    return std::nullopt;
}

// The same spelling as the editor's list when the text is one of its items.
QString canonical(const QString &text, const QStringList &choices)
{
    const QString key = headerKey(text);
    for (const QString &c : choices)
        if (headerKey(c) == key)
            return c;
    return text;
}

QString keyText(const QVariant &v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
        return QString::number(v.toDouble(), 'g', 15);
    return core::upper(v.toString().trimmed());
}

// Identity of a vehicle: maker, car, model, year and fuel.
QString vehicleKey(const std::function<QVariant(const QString &)> &value)
{
    QStringList parts;
    for (const QString &f : {kFabricante, kCarro, kModelo, kAno, kCombustivel})
        parts << keyText(value(f));
    return parts.join(QChar(0x1f));
}

QSet<QString> storedKeys(const data::DatabasePtr &db)
{
    QSet<QString> keys;
    data::Table t(db, QString::fromLatin1(kTable));
    t.open();
    t.disableControls();
    for (t.first(); !t.eof(); t.next())
        keys.insert(vehicleKey([&t](const QString &f) { return t.value(f); }));
    t.close();
    return keys;
}

QString keyOf(const ImportRow &row)
{
    return vehicleKey([&row](const QString &f) { return row.values.value(f); });
}

// Checks and converts one record; fills row.values or row.reason.
void readRecord(const QStringList &record, const QList<int> &columns, const QStringList &fields, ImportRow &row)
{
    // Empty cells past the header's last column (a spreadsheet's trailing ';') are harmless.
    if (record.size() > columns.size()
        && std::any_of(record.begin() + columns.size(), record.end(), [](const QString &c) { return !c.isEmpty(); })) {
        row.reason = QStringLiteral("A linha tem %1 colunas e o cabeçalho tem %2").arg(record.size()).arg(columns.size());
        return;
    }
    QStringList problems;
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i] < 0)
            continue;
        const QString &field = fields[columns[i]];
        const QString text = i < record.size() ? record[i].trimmed() : QString();
        if (text.isEmpty())
            continue;
        if (field == kAno) {
            const auto v = number(text);
            if (!v || *v != std::floor(*v) || *v < 1900 || *v > 2100)
                problems << QStringLiteral("Ano inválido: '%1'").arg(text);
            else
                row.values.insert(field, *v);
        } else if (field == kLitros) {
            const auto v = number(text);
            if (!v || *v < 0 || *v > 100)
                problems << QStringLiteral("Litros do cárter inválido: '%1'").arg(text);
            else
                row.values.insert(field, *v);
        } else {
            QString value = text;
            if (field == kFabricante || field == kCarro)
                value = core::upper(value);
            else if (field == kCombustivel)
                value = canonical(value, fuelChoices());
            else if (field == kNorma) {
                const QString named = canonical(value.startsWith(QStringLiteral("API"), Qt::CaseInsensitive)
                                                    ? value
                                                    : QStringLiteral("API ") + value,
                                                apiClasses());
                if (apiClasses().contains(named))
                    value = named;
            }
            const int size = fieldSize(field);
            if (size > 0 && value.size() > size)
                problems << QStringLiteral("%1 com mais de %2 caracteres").arg(field).arg(size);
            else
                row.values.insert(field, value);
        }
    }
    if (!row.values.contains(kFabricante))
        problems.prepend(QStringLiteral("Fabricante em branco"));
    if (!row.values.contains(kCarro))
        problems.prepend(QStringLiteral("Carro em branco"));
    row.reason = problems.join(QStringLiteral("; "));
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')) && text == text.trimmed())
        return text;
    QString q = text;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace

QStringList importFields() { return {kFabricante, kCarro, kModelo, kAno, kCombustivel, kLubrificante, kNorma, kLitros, kImage}; }

QString decodeText(const QByteArray &bytes, bool *wasUtf8)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    const bool ok = !utf8.hasError();
    if (!ok)
        text = core::fromCp1252(bytes);
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    if (wasUtf8)
        *wasUtf8 = ok;
    return text;
}

QList<QStringList> splitCsv(const QString &text, QList<int> *lines)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;      // inside quotes
    bool wasQuoted = false;   // the current field was quoted
    int line = 1, recordLine = 1;

    auto endField = [&] {
        record << (wasQuoted ? field : field.trimmed());
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        const bool blank = std::all_of(record.begin(), record.end(), [](const QString &f) { return f.isEmpty(); });
        if (!blank) {
            records << record;
            if (lines)
                *lines << recordLine;
        }
        record.clear();
    };

    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.trimmed().isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == QLatin1Char(';')) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            endRecord();
            recordLine = ++line;
        } else if (!wasQuoted) {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.isEmpty() || wasQuoted)
        endRecord();
    return records;
}

int ImportPlan::acceptedCount() const
{
    return int(std::count_if(rows.begin(), rows.end(), [](const ImportRow &r) { return r.accepted(); }));
}

int ImportPlan::refusedCount() const { return int(rows.size()) - acceptedCount(); }

ImportPlan planImport(const QByteArray &bytes, const data::DatabasePtr &db)
{
    ImportPlan plan;
    QList<int> lines;
    const QList<QStringList> records = splitCsv(decodeText(bytes), &lines);
    if (records.isEmpty()) {
        plan.error = QStringLiteral("O arquivo está vazio.");
        return plan;
    }

    const QStringList &header = records.first();
    const QStringList fields = importFields();
    QList<int> columns;
    for (const QString &name : header) {
        const int f = int(fields.indexOf(fieldOfHeader(name)));
        if (f >= 0 && columns.contains(f)) {
            plan.error = QStringLiteral("A coluna %1 aparece mais de uma vez no cabeçalho.").arg(fields[f]);
            return plan;
        }
        if (f < 0 && !name.isEmpty())
            plan.ignoredColumns << name;
        columns << f;
    }
    QStringList missing;
    for (const QString &required : {kFabricante, kCarro})
        if (!columns.contains(int(fields.indexOf(required))))
            missing << required;
    if (!missing.isEmpty()) {
        plan.error = header.size() == 1 && header.first().contains(QLatin1Char(','))
                         ? QStringLiteral("As colunas do arquivo devem ser separadas por ponto e vírgula (;).")
                         : QStringLiteral("A primeira linha do arquivo deve dar os nomes das colunas; faltam: %1.")
                               .arg(missing.join(QStringLiteral(", ")));
        return plan;
    }

    const QSet<QString> stored = storedKeys(db);
    QHash<QString, int> seen;   // key -> line of its first row in the file
    for (int r = 1; r < records.size(); ++r) {
        ImportRow row;
        row.line = lines[r];
        readRecord(records[r], columns, fields, row);
        if (row.accepted()) {
            const QString key = keyOf(row);
            if (stored.contains(key))
                row.reason = QStringLiteral("Veículo já cadastrado");
            else if (seen.contains(key))
                row.reason = QStringLiteral("Repete a linha %1").arg(seen.value(key));
            else
                seen.insert(key, row.line);
        }
        plan.rows << row;
    }
    return plan;
}

ImportResult runImport(const ImportPlan &plan, const data::DatabasePtr &db)
{
    ImportResult result;
    data::Transaction tx(*db);
    const QSet<QString> stored = storedKeys(db);
    data::Table t(db, QString::fromLatin1(kTable));
    t.open();
    for (const ImportRow &row : plan.rows) {
        if (!row.accepted()) {
            result.refused << row;
            continue;
        }
        if (stored.contains(keyOf(row))) {
            ImportRow again = row;
            again.reason = QStringLiteral("Veículo já cadastrado");
            result.refused << again;
            continue;
        }
        t.append();
        for (auto it = row.values.begin(); it != row.values.end(); ++it)
            t.setValue(it.key(), it.value());
        t.post();
        ++result.added;
    }
    t.close();
    tx.commit();
    return result;
}

QByteArray exportCsv(const data::DatabasePtr &db)
{
    const QStringList fields = importFields();
    QStringList header = fields;
    header[int(fields.indexOf(kLubrificante))] = QStringLiteral("Lubrificante");
    QString out = header.join(QLatin1Char(';')) + QStringLiteral("\r\n");

    data::Table t(db, QString::fromLatin1(kTable));
    t.setIndexName(QString::fromLatin1(kOrder));
    t.open();
    t.disableControls();
    for (t.first(); !t.eof(); t.next()) {
        QStringList cells;
        for (const QString &f : fields) {
            if (t.isNull(f))
                cells << QString();
            else if (f == kAno || f == kLitros)
                cells << core::shortNumber(t.asFloat(f));
            else
                cells << csvField(t.asString(f));
        }
        out += cells.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    t.close();
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace brelvo::lubricants
