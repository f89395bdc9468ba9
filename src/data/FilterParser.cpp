#include "data/FilterParser.h"

#include "data/Database.h"
#include "data/SqliteStmt.h"

#include <algorithm>

namespace brelvo::data {

namespace {

enum class Tok { End, Name, String, Number, Op, LParen, RParen, And, Or, Not, Null };

struct Token {
    Tok kind = Tok::End;
    QString text;
    bool quotedName = false;   // "..." or [...]
};

// Nesting of parentheses and "not" a filter may use: far beyond what anyone
// writes, and low enough that the parser never runs out of stack.
constexpr int kMaxDepth = 200;
// Nesting of the generated SQL (alternating and/or): the engine's parser
// gives up somewhat beyond 30 levels.
constexpr int kMaxSqlNesting = 24;
// Values one filter may compare with; the engine binds a limited number.
constexpr int kMaxValues = 20000;

DbError syntax(const QString &expr, const QString &why)
{
    // A long expression is cut so that the message still fits on the screen.
    constexpr int kShown = 80;
    const QString shown = expr.size() > kShown ? expr.left(kShown) + QStringLiteral("...") : expr;
    return DbError(DbError::Kind::Generic, QStringLiteral("Expressão de filtro inválida: %1 (%2)").arg(shown, why));
}

class Lexer {
public:
    explicit Lexer(const QString &s) : m_s(s) {}

    std::vector<Token> run()
    {
        std::vector<Token> out;
        const int n = int(m_s.size());
        int i = 0;
        while (i < n) {
            const QChar c = m_s[i];
            if (c.isSpace()) {
                ++i;
            } else if (c == QLatin1Char('\'')) {
                QString v;
                ++i;
                bool closed = false;
                while (i < n) {
                    if (m_s[i] == QLatin1Char('\'')) {
                        if (i + 1 < n && m_s[i + 1] == QLatin1Char('\'')) {
                            v += QLatin1Char('\'');
                            i += 2;
                            continue;
                        }
                        closed = true;
                        ++i;
                        break;
                    }
                    v += m_s[i++];
                }
                if (!closed)
                    throw syntax(m_s, QStringLiteral("texto sem aspas de fechamento"));
                out.push_back({Tok::String, v});
            } else if (c == QLatin1Char('"') || c == QLatin1Char('[')) {
                const QChar close = c == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char(']');
                const int end = int(m_s.indexOf(close, i + 1));
                if (end < 0)
                    throw syntax(m_s, QStringLiteral("nome sem fechamento"));
                out.push_back({Tok::Name, m_s.mid(i + 1, end - i - 1), true});
                i = end + 1;
            } else if (c == QLatin1Char('(')) {
                out.push_back({Tok::LParen, QStringLiteral("(")});
                ++i;
            } else if (c == QLatin1Char(')')) {
                out.push_back({Tok::RParen, QStringLiteral(")")});
                ++i;
            } else if (c == QLatin1Char('=') || c == QLatin1Char('<') || c == QLatin1Char('>')) {
                QString op(c);
                if (i + 1 < n && (m_s[i + 1] == QLatin1Char('=') || (c == QLatin1Char('<') && m_s[i + 1] == QLatin1Char('>'))))
                    op += m_s[++i];
                ++i;
                out.push_back({Tok::Op, op});
            } else if (c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('+')) && i + 1 < n && m_s[i + 1].isDigit())) {
                int j = i + 1;
                while (j < n && (m_s[j].isLetterOrNumber() || m_s[j] == QLatin1Char('.') || m_s[j] == QLatin1Char(',')
                                 || m_s[j] == QLatin1Char('_')))
                    ++j;
                const QString t = m_s.mid(i, j - i);
                bool allDigits = true;
                for (QChar ch : t)
                    allDigits = allDigits && (ch.isDigit() || ch == QLatin1Char('.') || ch == QLatin1Char(',')
                                              || ch == QLatin1Char('-') || ch == QLatin1Char('+'));
                out.push_back({allDigits ? Tok::Number : Tok::Name, t});
                i = j;
            } else if (c.isLetter() || c == QLatin1Char('_') || c.unicode() >= 0x80) {
                int j = i + 1;
                while (j < n && (m_s[j].isLetterOrNumber() || m_s[j] == QLatin1Char('_') || m_s[j].unicode() >= 0x80))
                    ++j;
                const QString w = m_s.mid(i, j - i);
                const QString lw = w.toLower();
                Tok k = Tok::Name;
                if (lw == QLatin1String("and"))
                    k = Tok::And;
                else if (lw == QLatin1String("or"))
                    k = Tok::Or;
                else if (lw == QLatin1String("not"))
                    k = Tok::Not;
                else if (lw == QLatin1String("null"))
                    k = Tok::Null;
                out.push_back({k, w});
                i = j;
            } else {
                throw syntax(m_s, QStringLiteral("caractere inesperado '%1'").arg(c));
            }
        }
        out.push_back({Tok::End, QString()});
        return out;
    }

private:
    QString m_s;
};

class Parser {
public:
    Parser(const QString &expr, const std::vector<FieldDef> &fields) : m_expr(expr), m_fields(fields)
    {
        m_toks = Lexer(expr).run();
    }

    ParsedFilter run()
    {
        const Node tree = orExpr();
        if (peek().kind != Tok::End)
            throw syntax(m_expr, QStringLiteral("'%1' inesperado").arg(peek().text));
        ParsedFilter out = toSql(tree, false);
        if (out.binds.size() > kMaxValues)
            throw syntax(m_expr, QStringLiteral("mais de %1 valores").arg(kMaxValues));
        if (nesting(out.sql) > kMaxSqlNesting)
            throw syntax(m_expr, QStringLiteral("mais de %1 níveis de \"and\" e \"or\" alternados").arg(kMaxSqlNesting));
        return out;
    }

private:
    // The expression as written: comparisons joined by and/or/not.
    struct Node {
        enum class Kind { Leaf, And, Or, Not } kind = Kind::Leaf;
        QString sql;            // a comparison; empty (NULL) on an empty field
        QVariantList binds;
        std::vector<Node> kids;
    };

    const Token &peek() const { return m_toks[m_pos]; }
    Token take() { return m_toks[m_pos++]; }

    Node chain(Node::Kind kind, Node first, Tok joiner, Node (Parser::*operand)())
    {
        if (peek().kind != joiner)
            return first;
        Node n;
        n.kind = kind;
        n.kids.push_back(std::move(first));
        while (peek().kind == joiner) {
            take();
            n.kids.push_back((this->*operand)());
        }
        return n;
    }

    Node orExpr() { return chain(Node::Kind::Or, andExpr(), Tok::Or, &Parser::andExpr); }
    Node andExpr() { return chain(Node::Kind::And, notExpr(), Tok::And, &Parser::notExpr); }

    // One more level of "not" or parentheses.
    struct Level {
        Level(Parser &p) : m_p(p)
        {
            if (++m_p.m_depth > kMaxDepth)
                throw syntax(m_p.m_expr,
                             QStringLiteral("mais de %1 níveis de parênteses ou \"not\"").arg(kMaxDepth));
        }
        ~Level() { --m_p.m_depth; }
        Parser &m_p;
    };

    Node notExpr()
    {
        if (peek().kind == Tok::Not) {
            take();
            Level level(*this);
            Node n;
            n.kind = Node::Kind::Not;
            n.kids.push_back(notExpr());
            return n;
        }
        if (peek().kind == Tok::LParen) {
            take();
            Level level(*this);
            Node n = orExpr();
            if (take().kind != Tok::RParen)
                throw syntax(m_expr, QStringLiteral("falta ')'"));
            return n;
        }
        Node leaf;
        leaf.sql = comparison(leaf.binds);
        return leaf;
    }

    // SQL of a node with "not" pushed down to the comparisons and chains of
    // one operator flattened and balanced, so the SQL nests no deeper than
    // the and/or alternation of the expression. "not x" holds where x is
    // false or empty (NOT coalesce(x, FALSE)); that makes every sub-expression
    // two-valued, so De Morgan's laws hold.
    static ParsedFilter toSql(const Node &n, bool negated)
    {
        switch (n.kind) {
        case Node::Kind::Not:
            return toSql(n.kids.front(), !negated);
        case Node::Kind::Leaf:
            if (negated)
                return {QStringLiteral("NOT coalesce(%1, FALSE)").arg(n.sql), n.binds};
            return {n.sql, n.binds};
        case Node::Kind::And:
        case Node::Kind::Or:
            break;
        }
        const bool isAnd = (n.kind == Node::Kind::And) != negated;
        std::vector<std::pair<const Node *, bool>> terms;
        for (const Node &k : n.kids)
            collect(k, negated, isAnd, terms);
        std::vector<ParsedFilter> parts;
        parts.reserve(terms.size());
        for (const auto &[node, neg] : terms)
            parts.push_back(toSql(*node, neg));
        ParsedFilter out;
        joinBalanced(parts, isAnd ? QStringLiteral(" AND ") : QStringLiteral(" OR "), 0, int(parts.size()), out);
        return out;
    }

    // The operands of a chain of one operator, looking through "not" and
    // through nested chains of the same operator.
    static void collect(const Node &n, bool negated, bool isAnd, std::vector<std::pair<const Node *, bool>> &out)
    {
        if (n.kind == Node::Kind::Not) {
            collect(n.kids.front(), !negated, isAnd, out);
            return;
        }
        if (n.kind != Node::Kind::Leaf && ((n.kind == Node::Kind::And) != negated) == isAnd) {
            for (const Node &k : n.kids)
                collect(k, negated, isAnd, out);
            return;
        }
        out.push_back({&n, negated});
    }

    static void joinBalanced(const std::vector<ParsedFilter> &parts, const QString &op, int from, int to, ParsedFilter &out)
    {
        if (to - from == 1) {
            out.sql += parts[size_t(from)].sql;
            out.binds += parts[size_t(from)].binds;
            return;
        }
        const int mid = from + (to - from) / 2;
        out.sql += QLatin1Char('(');
        joinBalanced(parts, op, from, mid, out);
        out.sql += op;
        joinBalanced(parts, op, mid, to, out);
        out.sql += QLatin1Char(')');
    }

    // Deepest nesting of parentheses in a generated condition.
    static int nesting(const QString &sql)
    {
        int depth = 0, deepest = 0;
        for (QChar c : sql) {
            if (c == QLatin1Char('('))
                deepest = std::max(deepest, ++depth);
            else if (c == QLatin1Char(')'))
                --depth;
        }
        return deepest;
    }

    const FieldDef &field(const Token &t)
    {
        for (const FieldDef &f : m_fields) {
            if (f.name.compare(t.text, Qt::CaseInsensitive) == 0)
                return f;
        }
        throw DbError(DbError::Kind::FieldNotFound, QStringLiteral("Campo não encontrado: %1").arg(t.text));
    }

    QString comparison(QVariantList &b)
    {
        const Token name = take();
        if (name.kind != Tok::Name && name.kind != Tok::Number)
            throw syntax(m_expr, QStringLiteral("nome de campo esperado"));
        const FieldDef &f = field(name);
        const Token op = take();
        if (op.kind != Tok::Op)
            throw syntax(m_expr, QStringLiteral("operador esperado após %1").arg(name.text));
        const Token val = take();
        const QString col = detail::quoteIdent(f.name);

        if (val.kind == Tok::Null) {
            if (op.text == QLatin1String("="))
                return col + QStringLiteral(" IS NULL");
            if (op.text == QLatin1String("<>"))
                return col + QStringLiteral(" IS NOT NULL");
            throw syntax(m_expr, QStringLiteral("null só admite = ou <>"));
        }
        if (val.kind != Tok::String && val.kind != Tok::Number && !(val.kind == Tok::Name && val.quotedName))
            throw syntax(m_expr, QStringLiteral("valor esperado após %1").arg(op.text));

        QString text = val.text;
        const bool isText = f.type == FieldType::Alpha || f.type == FieldType::Memo;
        if (isText && op.text == QLatin1String("=") && text.endsWith(QLatin1Char('*'))) {
            // Prefix match: the text before the '*'.
            const QString prefix = text.left(text.size() - 1);
            if (prefix.isEmpty())
                return col + QStringLiteral(" IS NOT NULL");
            // As a range (prefix <= text < prefix + the last code point), so
            // that an index comparing text as stored can serve it.
            b << detail::storedPrefixBinds(prefix);
            return detail::storedPrefixRange(col);
        }
        if (isText && text.isEmpty()) {
            // An empty text is a blank field.
            if (op.text == QLatin1String("="))
                return col + QStringLiteral(" IS NULL");
            if (op.text == QLatin1String("<>"))
                return col + QStringLiteral(" IS NOT NULL");
        }

        // Text literals compare whole, never cut to the field size.
        FieldDef unlimited = f;
        unlimited.size = 0;
        const QVariant v = detail::toStorage(unlimited, QVariant(text));
        if (v.isNull()) {
            if (op.text == QLatin1String("="))
                return col + QStringLiteral(" IS NULL");
            if (op.text == QLatin1String("<>"))
                return col + QStringLiteral(" IS NOT NULL");
            if (op.text == QLatin1String("<") || op.text == QLatin1String(">"))
                return QStringLiteral("1=0");
            if (op.text == QLatin1String("<="))
                return col + QStringLiteral(" IS NULL");
            return QStringLiteral("1=1");
        }
        b << v;
        // An empty field is smaller than any value.
        if (op.text == QLatin1String("<") || op.text == QLatin1String("<=") || op.text == QLatin1String("<>"))
            return QStringLiteral("(%1 %2 ? OR %1 IS NULL)").arg(col, op.text);
        return QStringLiteral("%1 %2 ?").arg(col, op.text);
    }

    QString m_expr;
    const std::vector<FieldDef> &m_fields;
    std::vector<Token> m_toks;
    size_t m_pos = 0;
    int m_depth = 0;
};

} // namespace

ParsedFilter parseFilter(const QString &expression, const std::vector<FieldDef> &fields)
{
    if (expression.trimmed().isEmpty())
        return {};
    return Parser(expression, fields).run();
}

} // namespace brelvo::data
