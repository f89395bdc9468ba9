#include "printing/Spreadsheet.h"

#include "core/Format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace brelvo::printing {

// ---------------------------------------------------------------- CSV

// What a spreadsheet opening the file would take for a number or a date.
static bool readAsNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?\\(?[0-9][0-9.,\\s]*([eE][-+]?[0-9]+)?\\)?%?\\s*$"));
    static const QRegularExpression date(QStringLiteral("^\\s*[0-9]{1,4}[/.-][0-9]{1,2}([/.-][0-9]{1,4})?(\\s+[0-9:]+)?\\s*$"));
    return number.match(text).hasMatch() || date.match(text).hasMatch();
}

QByteArray csvField(const QString &text, CellKind kind)
{
    QString t = text;
    const bool typed = kind == CellKind::Money || kind == CellKind::Number || kind == CellKind::Date
                       || kind == CellKind::DateTime || kind == CellKind::Time;
    if (!t.isEmpty() && !typed) {
        const QChar c = t.front();
        if (c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r'
            || kind == CellKind::Identifier || readAsNumber(t))
            t.prepend(u'\'');
    }
    const bool quote = t.contains(u';') || t.contains(u'"') || t.contains(u'\n') || t.contains(u'\r')
                       || t.startsWith(u' ') || t.endsWith(u' ');
    if (quote) {
        t.replace(u'"', QLatin1String("\"\""));
        t = u'"' + t + u'"';
    }
    return t.toUtf8();
}

QByteArray csvBytes(const PreparedReport &report)
{
    QByteArray out("\xEF\xBB\xBF");
    auto kindOf = [&report](int column) {
        return size_t(column) < report.columns.size() ? report.columns[size_t(column)].kind : CellKind::Text;
    };
    auto row = [&](const QStringList &cells, bool header) {
        for (int i = 0; i < cells.size(); ++i) {
            if (i)
                out += ';';
            out += csvField(cells[i], header ? CellKind::Text : kindOf(i));
        }
        out += "\r\n";
    };
    if (!report.csvHeader.isEmpty())
        row(report.csvHeader, true);
    for (const QStringList &r : report.csvRows)
        row(r, false);
    return out;
}

bool writeCsv(const PreparedReport &report, const QString &path, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, f.errorString());
        return false;
    }
    const QByteArray bytes = csvBytes(report);
    if (f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- xlsx

QString sheetName(const QString &title)
{
    QString name;
    for (QChar c : title.simplified())
        if (!QStringLiteral("[]:*?/\\").contains(c))
            name += c;
    name = name.left(31).trimmed();
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Relatório") : name;
}

QString xlsxNumberFormat(CellKind kind, int decimals)
{
    switch (kind) {
    case CellKind::Money:
        // The real, as the Brazilian locale writes it: R$ 1.234,56.
        return QStringLiteral("[$R$-416] #,##0.00;-[$R$-416] #,##0.00");
    case CellKind::Number:
        if (decimals < 0)
            return QString();
        return decimals == 0 ? QStringLiteral("#,##0") : QStringLiteral("#,##0.") + QString(decimals, u'0');
    case CellKind::Date:
        return QStringLiteral("dd/mm/yyyy");
    case CellKind::DateTime:
        return QStringLiteral("dd/mm/yyyy hh:mm:ss");
    case CellKind::Time:
        return QStringLiteral("hh:mm:ss");
    case CellKind::Identifier:
        return QStringLiteral("@");
    case CellKind::Text: case CellKind::Auto:
        break;
    }
    return QString();
}

namespace {

constexpr int kMaxCellText = 32767;      // the most a cell holds

std::optional<double> numberOf(const QVariant &v, const QString &text)
{
    if (v.isValid() && !v.isNull()) {
        if (v.typeId() == QMetaType::QString)
            return core::parseNumber(v.toString());
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok)
            return d;
    }
    return core::parseNumber(text);
}

// Days since 30/12/1899, as spreadsheets count; nothing before March 1900,
// where their calendar is off by a day.
std::optional<double> serialOf(const QVariant &v, CellKind kind)
{
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    static const QDate epoch(1899, 12, 30);
    QDate d;
    QTime t;
    switch (v.typeId()) {
    case QMetaType::QDate: d = v.toDate(); break;
    case QMetaType::QDateTime: d = v.toDateTime().date(); t = v.toDateTime().time(); break;
    case QMetaType::QTime: t = v.toTime(); break;
    case QMetaType::QString:
        if (auto p = core::parseDate(v.toString()))
            d = *p;
        break;
    default: break;
    }
    double serial = 0;
    if (kind != CellKind::Time) {
        if (!d.isValid() || d < QDate(1900, 3, 1) || d.year() > 9999)
            return std::nullopt;
        serial = double(epoch.daysTo(d));
    }
    if (kind != CellKind::Date) {
        if (!t.isValid() && kind == CellKind::Time)
            return std::nullopt;
        if (t.isValid())
            serial += t.msecsSinceStartOfDay() / 86400000.0;
    }
    return serial;
}

// The text a cell shows, to fit the column's width.
QString shownText(CellKind kind, const QString &printed, const QVariant &value)
{
    if (kind == CellKind::Money) {
        if (auto n = numberOf(value, printed))
            return core::money(*n);
    }
    return printed;
}

class Writer {
public:
    Writer(const PreparedReport &r, lxw_workbook *wb) : R(r), wb(wb) {}
    lxw_error run();

private:
    lxw_format *format(CellKind kind, int decimals, bool bold);
    lxw_error cell(int row, int col, CellKind kind, int decimals, const QString &text, const QVariant &value,
                   bool bold);
    void fit(int col, const QString &text);

    const PreparedReport &R;
    lxw_workbook *wb;
    lxw_worksheet *ws = nullptr;
    QHash<QString, lxw_format *> formats;
    std::vector<int> widths;
};

lxw_format *Writer::format(CellKind kind, int decimals, bool bold)
{
    const QString code = xlsxNumberFormat(kind, decimals);
    const QString key = code + (bold ? QStringLiteral("|b") : QString());
    auto it = formats.constFind(key);
    if (it != formats.constEnd())
        return *it;
    lxw_format *f = nullptr;
    if (!code.isEmpty() || bold) {
        f = workbook_add_format(wb);
        if (!code.isEmpty())
            format_set_num_format(f, code.toUtf8().constData());
        if (bold)
            format_set_bold(f);
    }
    formats.insert(key, f);
    return f;
}

void Writer::fit(int col, const QString &text)
{
    if (col < 0)
        return;
    if (size_t(col) >= widths.size())
        widths.resize(size_t(col) + 1, 0);
    int longest = 0;
    for (const QString &line : text.split(u'\n'))
        longest = std::max(longest, int(line.size()));
    widths[size_t(col)] = std::max(widths[size_t(col)], longest);
}

lxw_error Writer::cell(int row, int col, CellKind kind, int decimals, const QString &text, const QVariant &value,
                       bool bold)
{
    lxw_format *f = format(kind, decimals, bold);
    switch (kind) {
    case CellKind::Money:
    case CellKind::Number:
        if (auto n = numberOf(value, text)) {
            fit(col, shownText(kind, text, value));
            return worksheet_write_number(ws, lxw_row_t(row), lxw_col_t(col), *n, f);
        }
        break;
    case CellKind::Date:
    case CellKind::DateTime:
    case CellKind::Time:
        if (auto s = serialOf(value, kind)) {
            fit(col, text);
            return worksheet_write_number(ws, lxw_row_t(row), lxw_col_t(col), *s, f);
        }
        break;
    case CellKind::Text: case CellKind::Identifier: case CellKind::Auto:
        break;
    }
    if (text.isEmpty())
        return bold ? worksheet_write_blank(ws, lxw_row_t(row), lxw_col_t(col), f) : LXW_NO_ERROR;
    // Anything that is not a number or a date goes in as text, never as a formula.
    if (kind != CellKind::Identifier && kind != CellKind::Text)
        f = format(CellKind::Text, -1, bold);
    fit(col, text);
    return worksheet_write_string(ws, lxw_row_t(row), lxw_col_t(col), text.left(kMaxCellText).toUtf8().constData(), f);
}

lxw_error Writer::run()
{
    ws = workbook_add_worksheet(wb, sheetName(R.title).toUtf8().constData());
    if (!ws)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    int row = 0;
    lxw_format *titleFormat = workbook_add_format(wb);
    format_set_bold(titleFormat);
    format_set_font_size(titleFormat, 14);
    const QString title = R.title.isEmpty() && !R.sheetHeading.isEmpty() ? R.sheetHeading.first() : R.title;
    if (!title.isEmpty())
        worksheet_write_string(ws, lxw_row_t(row++), 0, title.left(kMaxCellText).toUtf8().constData(), titleFormat);
    for (const QString &line : R.sheetHeading) {
        if (line == title)
            continue;
        worksheet_write_string(ws, lxw_row_t(row++), 0, line.left(kMaxCellText).toUtf8().constData(), nullptr);
    }
    if (row > 0)
        ++row;

    lxw_format *headerFormat = workbook_add_format(wb);
    format_set_bold(headerFormat);
    format_set_bottom(headerFormat, LXW_BORDER_THIN);
    const int headerRow = row;
    for (int c = 0; c < R.csvHeader.size(); ++c) {
        const QString caption = R.csvHeader[c];
        worksheet_write_string(ws, lxw_row_t(row), lxw_col_t(c), caption.left(kMaxCellText).toUtf8().constData(),
                               headerFormat);
        fit(c, caption);
    }
    ++row;
    worksheet_freeze_panes(ws, lxw_row_t(headerRow + 1), 0);

    for (size_t r = 0; r < R.csvRows.size(); ++r, ++row) {
        const QStringList &texts = R.csvRows[r];
        for (int c = 0; c < texts.size(); ++c) {
            const SheetColumn col = size_t(c) < R.columns.size() ? R.columns[size_t(c)] : SheetColumn{};
            const QVariant value = r < R.rowValues.size() && size_t(c) < R.rowValues[r].size()
                                       ? R.rowValues[r][size_t(c)] : QVariant();
            if (const lxw_error e = cell(row, c, col.kind, col.decimals, texts[c], value, false))
                return e;
        }
    }

    if (!R.totals.empty())
        ++row;
    for (const auto &line : R.totals) {
        for (const SheetCell &k : line)
            if (const lxw_error e = cell(row, k.column, k.kind, k.decimals, k.text, k.value, true))
                return e;
        ++row;
    }

    for (size_t c = 0; c < widths.size(); ++c) {
        const double w = std::clamp(widths[c] + 2, 6, 60);
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), w, nullptr);
    }
    return LXW_NO_ERROR;
}

} // namespace

bool writeXlsx(const PreparedReport &report, const QString &path, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, why);
        return false;
    };
    const QFileInfo target(path);
    if (target.isDir())
        return fail(QStringLiteral("o nome indica uma pasta."));
    if (!target.dir().exists())
        return fail(QStringLiteral("a pasta não existe."));
    // Written beside the target and moved over it only when complete.
    const QString part = target.dir().filePath(QStringLiteral(".%1.parcial").arg(target.fileName()));
    const QByteArray partName = QFile::encodeName(part);
    lxw_workbook *wb = workbook_new(partName.constData());
    if (!wb)
        return fail(QStringLiteral("memória insuficiente."));
    lxw_doc_properties props {};
    const QByteArray docTitle = report.title.toUtf8();
    props.title = const_cast<char *>(docTitle.constData());
    props.author = const_cast<char *>("Brelvo");
    workbook_set_properties(wb, &props);

    lxw_error rc = Writer(report, wb).run();
    const lxw_error closed = workbook_close(wb);
    if (rc == LXW_NO_ERROR)
        rc = closed;
    if (rc != LXW_NO_ERROR) {
        QFile::remove(part);
        if (rc == LXW_ERROR_CREATING_XLSX_FILE || rc == LXW_ERROR_CREATING_TMPFILE)
            return fail(QStringLiteral("não foi possível criar o arquivo (verifique a pasta e as permissões)."));
        return fail(QStringLiteral("erro na geração da planilha (%1).").arg(QString::fromLatin1(lxw_strerror(rc))));
    }
    if (std::rename(partName.constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(part);
        return fail(QStringLiteral("não foi possível substituir o arquivo existente."));
    }
    return true;
}

} // namespace brelvo::printing
