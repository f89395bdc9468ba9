#include "data/SqlTranslator.h"

#include "data/Catalogue.h"
#include "data/Database.h"
#include "data/SqliteStmt.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>
#include <vector>

namespace brelvo::data {

namespace {

enum class T { Space, Ident, Number, SString, DString, Bracket, Param, Punct };

struct Tok {
    T kind;
    QString text;       // raw text (for strings: the content)
};

bool identStart(QChar c) { return c.isLetter() || c == QLatin1Char('_') || c.unicode() >= 0x80; }
bool identPart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c.unicode() >= 0x80; }

std::vector<Tok> tokenize(const QString &s)
{
    std::vector<Tok> out;
    const int n = int(s.size());
    int i = 0;
    auto quotedRun = [&](QChar q, QString &content) {
        ++i;
        while (i < n) {
            if (s[i] == q) {
                if (i + 1 < n && s[i + 1] == q) {
                    content += q;
                    i += 2;
                    continue;
                }
                ++i;
                return;
            }
            content += s[i++];
        }
        throw DbError(DbError::Kind::SqlError, QStringLiteral("Texto sem aspas de fechamento na consulta."));
    };
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            const int j0 = i;
            while (i < n && s[i].isSpace())
                ++i;
            out.push_back({T::Space, s.mid(j0, i - j0)});
        } else if (c == QLatin1Char('\'')) {
            QString v;
            quotedRun(c, v);
            out.push_back({T::SString, v});
        } else if (c == QLatin1Char('"')) {
            QString v;
            quotedRun(c, v);
            out.push_back({T::DString, v});
        } else if (c == QLatin1Char('[')) {
            const int end = int(s.indexOf(QLatin1Char(']'), i));
            if (end < 0)
                throw DbError(DbError::Kind::SqlError, QStringLiteral("Colchete sem fechamento na consulta."));
            out.push_back({T::Bracket, s.mid(i, end - i + 1)});
            i = end + 1;
        } else if (c == QLatin1Char(':') && i + 1 < n && identStart(s[i + 1])) {
            int j = i + 1;
            while (j < n && identPart(s[j]))
                ++j;
            out.push_back({T::Param, s.mid(i + 1, j - i - 1)});
            i = j;
        } else if (c.isDigit()) {
            int j = i;
            while (j < n && (s[j].isDigit() || s[j] == QLatin1Char('.') || s[j].isLetter()))
                ++j;
            out.push_back({T::Number, s.mid(i, j - i)});
            i = j;
        } else if (identStart(c)) {
            int j = i;
            while (j < n && identPart(s[j]))
                ++j;
            out.push_back({T::Ident, s.mid(i, j - i)});
            i = j;
        } else {
            out.push_back({T::Punct, QString(c)});
            ++i;
        }
    }
    return out;
}

QString sqlString(const QString &v)
{
    QString q = v;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

// 'mm/dd/yyyy' -> 'yyyy-mm-dd'; other texts unchanged.
QString literal(const QString &v)
{
    static const QRegularExpression date(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s*$"));
    const auto m = date.match(v);
    if (m.hasMatch()) {
        const QDate d(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
        if (d.isValid())
            return sqlString(d.toString(Qt::ISODate));
    }
    return sqlString(v);
}

bool isAscii(const QString &s)
{
    for (QChar c : s) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

const QSet<QString> &keywords()
{
    static const QSet<QString> k = [] {
        QSet<QString> s;
        for (const char *w : {"from", "as", "and", "or", "where", "group", "order", "by", "desc", "asc", "having",
                              "union", "between", "not", "in", "is", "like", "then", "else", "end", "when", "join",
                              "on", "limit", "collate", "inner", "left", "right", "outer", "cross", "natural",
                              "using", "except", "intersect", "escape", "glob", "offset", "select", "set",
                              "values", "into", "over", "returning", "filter", "window", "update", "delete", "insert",
                              "with", "materialized", "recursive", "exists", "distinct", "all", "case"})
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    return k;
}

} // namespace

TranslatedSql translateSql(const QString &sql)
{
    const std::vector<Tok> toks = tokenize(sql);
    TranslatedSql out;
    QSet<QString> seenTables;
    auto noteTable = [&](const TableDef *t) {
        if (!seenTables.contains(t->fileName)) {
            seenTables.insert(t->fileName);
            out.tables << t->fileName;
        }
    };
    auto prevSig = [&](size_t i) -> const Tok * {
        while (i-- > 0) {
            if (toks[i].kind != T::Space)
                return &toks[i];
        }
        return nullptr;
    };
    auto nextSig = [&](size_t i) -> size_t {
        for (++i; i < toks.size(); ++i) {
            if (toks[i].kind != T::Space)
                return i;
        }
        return toks.size();
    };

    QString &o = out.sql;
    for (size_t i = 0; i < toks.size(); ++i) {
        const Tok &t = toks[i];
        switch (t.kind) {
        case T::Space:
        case T::Number:
        case T::Bracket:
        case T::Punct:
            o += t.text;
            break;
        case T::SString:
            o += literal(t.text);
            break;
        case T::DString: {
            // A double-quoted name is a table when it carries an extension or
            // stands where a table goes; otherwise it is a text constant.
            const Tok *prev = prevSig(i);
            const QString prevWord = prev && prev->kind == T::Ident ? prev->text.toLower() : QString();
            const size_t nx = nextSig(i);
            const bool tablePos = t.text.contains(QLatin1Char('.')) || prevWord == QLatin1String("from")
                || prevWord == QLatin1String("join") || prevWord == QLatin1String("into")
                || prevWord == QLatin1String("update") || (nx < toks.size() && toks[nx].text == QLatin1String("."));
            const TableDef *def = tablePos ? Database::tableDef(t.text) : nullptr;
            if (def) {
                noteTable(def);
                o += detail::quoteIdent(def->sqlName);
            } else {
                o += literal(t.text);
            }
            break;
        }
        case T::Param:
            o += QLatin1Char('?');
            out.params << t.text;
            break;
        case T::Ident: {
            const TableDef *def = Database::tableDef(t.text);
            const Tok *prev = prevSig(i);
            const QString prevWord = prev && prev->kind == T::Ident ? prev->text.toLower() : QString();
            const size_t nx = nextSig(i);
            // tbProdutos.db written without quotes.
            if (def && nx < toks.size() && toks[nx].text == QLatin1String(".")) {
                const size_t ext = nextSig(nx);
                if (ext < toks.size() && toks[ext].kind == T::Ident
                    && (toks[ext].text.compare(QLatin1String("db"), Qt::CaseInsensitive) == 0
                        || toks[ext].text.compare(QLatin1String("dbf"), Qt::CaseInsensitive) == 0)) {
                    const size_t after = nextSig(ext);
                    // "tbItems.DB" as table, not "tbItems.Db" column of a table alias
                    if (after >= toks.size() || toks[after].text != QLatin1String(".")) {
                        noteTable(def);
                        o += detail::quoteIdent(def->sqlName);
                        i = ext;
                        break;
                    }
                }
            }
            if (def) {
                const bool tablePos = prevWord == QLatin1String("from") || prevWord == QLatin1String("join")
                    || prevWord == QLatin1String("update") || prevWord == QLatin1String("into")
                    || (prev && prev->text == QLatin1String(","))
                    || (nx < toks.size() && toks[nx].text == QLatin1String("."));
                if (tablePos)
                    noteTable(def);
            }
            const bool afterParen = prev && prev->kind == T::Punct && prev->text == QLatin1String(")");
            const bool afterAs = prevWord == QLatin1String("as");
            if ((afterParen || afterAs) && !keywords().contains(t.text.toLower()) && !isAscii(t.text)) {
                if (afterParen)
                    o += QStringLiteral("AS ");
                o += detail::quoteIdent(t.text);
            } else if (afterParen && !keywords().contains(t.text.toLower())) {
                o += QStringLiteral("AS ") + t.text;
            } else {
                o += t.text;
            }
            break;
        }
        }
    }
    return out;
}

} // namespace brelvo::data
