#pragma once
// Reads back the first sheet of an .xlsx file for tests: unzips its parts
// with the `unzip` tool and reads their XML.

#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <vector>

namespace xlsxtest {

struct Cell {
    QString type;        // "s" shared string, "str", "inlineStr", "b", "" = number
    int style = 0;
    QString value;       // <v> as written
    QString text;        // the string of a string cell
    bool formula = false;
};

struct Sheet {
    QString error;                   // why the file could not be read
    QString name;                    // the first sheet's name
    QMap<QString, Cell> cells;       // by reference, "A1"
    QStringList formatOfStyle;       // number format code of each cell style
    QList<bool> boldStyle;
    QString paneState, paneYSplit;
    QMap<int, double> widths;        // column (1-based) -> width
    bool anyFormula = false;

    const Cell cell(const QString &ref) const { return cells.value(ref); }
    QString format(const QString &ref) const { return formatOfStyle.value(cell(ref).style); }
    bool bold(const QString &ref) const { return boldStyle.value(cell(ref).style); }
    bool isNumber(const QString &ref) const
    {
        return cells.contains(ref) && (cell(ref).type.isEmpty() || cell(ref).type == QLatin1String("n"));
    }
    bool isText(const QString &ref) const
    {
        const QString t = cell(ref).type;
        return t == QLatin1String("s") || t == QLatin1String("inlineStr") || t == QLatin1String("str");
    }
    double number(const QString &ref) const { return cell(ref).value.toDouble(); }
    QString text(const QString &ref) const { return cell(ref).text; }
};

inline bool unzipAvailable() { return !QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty(); }

inline QByteArray part(const QString &zip, const QString &name)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, name});
    p.waitForFinished(30000);
    return p.readAllStandardOutput();
}

// All text inside the current element (rich-text runs joined).
inline QString innerText(QXmlStreamReader &x)
{
    QString out;
    const QString end = x.name().toString();
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("t"))
            out += x.readElementText();
        else if (x.isEndElement() && x.name() == end)
            break;
    }
    return out;
}

inline Sheet read(const QString &path)
{
    Sheet s;
    if (!QFileInfo::exists(path)) {
        s.error = QStringLiteral("no file");
        return s;
    }
    const QByteArray wbXml = part(path, QStringLiteral("xl/workbook.xml"));
    const QByteArray sheetXml = part(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    if (wbXml.isEmpty() || sheetXml.isEmpty()) {
        s.error = QStringLiteral("not a workbook");
        return s;
    }
    {
        QXmlStreamReader x(wbXml);
        while (!x.atEnd() && s.name.isEmpty())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("sheet"))
                s.name = x.attributes().value(QLatin1String("name")).toString();
    }
    QStringList shared;
    {
        QXmlStreamReader x(part(path, QStringLiteral("xl/sharedStrings.xml")));
        while (!x.atEnd())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("si"))
                shared << innerText(x);
    }
    {
        QMap<QString, QString> customFormats;
        QList<bool> boldFonts;
        QXmlStreamReader x(part(path, QStringLiteral("xl/styles.xml")));
        bool inXfs = false, inFonts = false;
        while (!x.atEnd()) {
            x.readNext();
            const auto n = x.name();
            if (x.isStartElement()) {
                const auto a = x.attributes();
                if (n == QLatin1String("numFmt"))
                    customFormats[a.value(QLatin1String("numFmtId")).toString()] = a.value(QLatin1String("formatCode")).toString();
                else if (n == QLatin1String("fonts"))
                    inFonts = true;
                else if (inFonts && n == QLatin1String("font"))
                    boldFonts << false;
                else if (inFonts && n == QLatin1String("b") && !boldFonts.isEmpty())
                    boldFonts.last() = true;
                else if (n == QLatin1String("cellXfs"))
                    inXfs = true;
                else if (inXfs && n == QLatin1String("xf")) {
                    const QString id = a.value(QLatin1String("numFmtId")).toString();
                    QString code = customFormats.value(id);
                    if (code.isEmpty())
                        code = id == QLatin1String("49") ? QStringLiteral("@")
                             : id == QLatin1String("14") ? QStringLiteral("dd/mm/yyyy")
                             : id == QLatin1String("0") || id.isEmpty() ? QString() : QStringLiteral("builtin ") + id;
                    s.formatOfStyle << code;
                    s.boldStyle << boldFonts.value(a.value(QLatin1String("fontId")).toInt());
                }
            } else if (x.isEndElement()) {
                if (n == QLatin1String("cellXfs"))
                    inXfs = false;
                else if (n == QLatin1String("fonts"))
                    inFonts = false;
            }
        }
    }
    QXmlStreamReader x(sheetXml);
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        const auto a = x.attributes();
        if (x.name() == QLatin1String("pane")) {
            s.paneState = a.value(QLatin1String("state")).toString();
            s.paneYSplit = a.value(QLatin1String("ySplit")).toString();
        } else if (x.name() == QLatin1String("col")) {
            for (int c = a.value(QLatin1String("min")).toInt(); c <= a.value(QLatin1String("max")).toInt(); ++c)
                s.widths[c] = a.value(QLatin1String("width")).toDouble();
        } else if (x.name() == QLatin1String("c")) {
            Cell c;
            const QString ref = a.value(QLatin1String("r")).toString();
            c.type = a.value(QLatin1String("t")).toString();
            c.style = a.value(QLatin1String("s")).toInt();
            while (!x.atEnd()) {
                x.readNext();
                if (x.isEndElement() && x.name() == QLatin1String("c"))
                    break;
                if (!x.isStartElement())
                    continue;
                if (x.name() == QLatin1String("v"))
                    c.value = x.readElementText();
                else if (x.name() == QLatin1String("f"))
                    c.formula = true;
                else if (x.name() == QLatin1String("is"))
                    c.text = innerText(x);
            }
            if (c.type == QLatin1String("s"))
                c.text = shared.value(c.value.toInt());
            else if (c.type == QLatin1String("str"))
                c.text = c.value;
            s.anyFormula |= c.formula;
            s.cells.insert(ref, c);
        }
    }
    if (x.hasError())
        s.error = x.errorString();
    return s;
}

} // namespace xlsxtest
