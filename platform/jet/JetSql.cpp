// The Jet SQL translator: a recursive-descent parser that writes the engine's own SQL as it goes.
#include "JetSql.h"

#include "EngineErrors.h"
#include "SqlQuote.h"
#include "FieldTypes.h"
#include "SqlTokenizer.h"

#include <QDate>
#include <QHash>
#include <QSet>

#include <memory>

namespace jet {

namespace {

constexpr int MaxFields = 255;
// Deeper nesting would overflow the engine's own parser; refusing it here also bounds the stack.
constexpr int MaxDepth = 100;
// The engine's limit on the arguments of one function call is 127.
constexpr int MaxFunctionArguments = 100;

QString quoteText(const QString &text)
{
    QString doubled = text;
    doubled.replace(u'\'', QStringLiteral("''"));
    return u'\'' + doubled + u'\'';
}

// Jet writes dates as #month/day/year#; the engine compares ISO texts.
QString dateLiteral(const QString &text)
{
    for (const char *format : {"M/d/yyyy", "M/d/yyyy H:mm:ss", "M/d/yyyy H:mm", "yyyy-MM-dd", "yyyy-MM-dd H:mm:ss"}) {
        const QDateTime dt = QDateTime::fromString(text, QString::fromLatin1(format));
        if (dt.isValid())
            return quoteText(dt.time() == QTime(0, 0) ? dt.date().toString(Qt::ISODate)
                                                       : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    }
    return quoteText(text);
}

const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = {
        "SELECT", "FROM",  "WHERE", "GROUP",   "ORDER",  "BY",     "HAVING", "UNION", "ALL",
        "AS",     "ON",    "INNER", "LEFT",    "RIGHT",  "OUTER",  "JOIN",   "FULL",  "CROSS",
        "AND",    "OR",    "NOT",   "XOR",     "EQV",    "IMP",    "LIKE",   "IN",    "IS",
        "BETWEEN", "MOD",  "INTO",  "VALUES",  "SET",    "DISTINCT", "DISTINCTROW", "TOP",
        "ASC",    "DESC",  "NULL",  "EXISTS",
    };
    return words;
}

// Functions of the dialect, registered under private names; the runtime's "$" forms too.
const QHash<QString, QString> &jetFunctions()
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> h;
        for (const char *f : {"format", "cdbl", "csng", "clng", "cint", "cbool", "cstr", "instr", "left", "right",
                              "mid", "len", "ucase", "lcase", "trim", "ltrim", "rtrim", "iif", "isnull", "nz",
                              "val", "round", "int", "fix", "sgn", "sqr"})
            h.insert(QString::fromLatin1(f), QStringLiteral("jet_") + QString::fromLatin1(f));
        return h;
    }();
    return names;
}

const QSet<QString> &aggregates()
{
    static const QSet<QString> names = {"count", "sum", "avg", "min", "max"};
    return names;
}

struct Expr {
    Expr(QString text = QString(), bool isColumn = false, bool isStar = false, QString own = QString())
        : sql(std::move(text)), column(isColumn), star(isStar), name(std::move(own))
    {
    }
    QString sql;
    bool column = false;  // a plain (qualified) column name
    bool star = false;    // "*" or "table.*"
    QString name;         // a plain column's own name, as written
};

struct FromNode;
using FromPtr = std::shared_ptr<FromNode>;

struct FromNode {
    enum Type { Table, Subquery, Join };
    enum JoinKind { Inner, Left, Comma };
    Type type = Table;
    QString name;   // Table
    QString alias;
    QString sql;    // Subquery
    JoinKind kind = Inner;
    FromPtr left;
    FromPtr right;
    QString on;
};

struct SelectCore {
    QString distinct;
    QString list;
    QString tail;      // WHERE, GROUP BY, HAVING
    FromPtr from;
    QString limit;
    bool simple = false;  // one table, no grouping, DISTINCT or aggregate: updatable
};

class Translator {
public:
    Translator(const QString &sql, const TranslateOptions &options)
        : m_tokenizer(sql), m_tokens(m_tokenizer.tokens()), m_options(options)
    {
    }

    Translation run()
    {
        const SqlToken &first = peek();
        if (atWord("SELECT") || (first.kind == SqlToken::Symbol && first.text == u'(' && atWord("SELECT", 1))) {
            m_out.kind = StatementKind::Select;
            m_out.sql = parseSelect(true);
        } else if (acceptWord("INSERT")) {
            m_out.kind = StatementKind::Insert;
            m_out.sql = parseInsert();
        } else if (acceptWord("UPDATE")) {
            m_out.kind = StatementKind::Update;
            m_out.sql = parseUpdate();
        } else if (acceptWord("DELETE")) {
            m_out.kind = StatementKind::Delete;
            m_out.sql = parseDelete();
        } else if (acceptWord("CREATE")) {
            m_out.sql = parseCreate();
        } else if (acceptWord("DROP")) {
            m_out.sql = parseDrop();
        } else if (acceptWord("ALTER")) {
            m_out.kind = StatementKind::AlterTable;
            m_out.sql = parseAlter();
        } else {
            refuse(err::InvalidStatement,
                   QStringLiteral("Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."));
        }
        acceptSymbol(";");
        if (peek().kind != SqlToken::End)
            refuse(err::TextAfterEnd, QStringLiteral("Characters found after end of SQL statement."));
        // Comments are left out: written into the engine's text, one could open or close another.
        return m_out;
    }

private:
    // One level of nesting (parentheses, a subquery, NOT, a sign) for as long as it lives.
    class Nesting {
    public:
        explicit Nesting(int &depth) : m_depth(depth)
        {
            if (++m_depth > MaxDepth)
                refuse(err::TooComplex, QStringLiteral("Query is too complex."));
        }
        ~Nesting() { --m_depth; }
        Nesting(const Nesting &) = delete;
        Nesting &operator=(const Nesting &) = delete;

    private:
        int &m_depth;
    };

    // ---- token access
    const SqlToken &peek(int k = 0) const { return m_tokens.at(std::min<int>(m_pos + k, m_tokens.size() - 1)); }
    SqlToken take()
    {
        const SqlToken t = peek();
        if (t.kind != SqlToken::End)
            ++m_pos;
        return t;
    }
    static bool isWord(const SqlToken &t, const char *word)
    {
        return t.kind == SqlToken::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool atWord(const char *word, int k = 0) const { return isWord(peek(k), word); }
    bool acceptWord(const char *word)
    {
        if (!atWord(word))
            return false;
        ++m_pos;
        return true;
    }
    void expectWord(const char *word)
    {
        if (!acceptWord(word))
            error(QStringLiteral("expected %1").arg(QLatin1String(word)));
    }
    bool atSymbol(const char *s, int k = 0) const
    {
        return peek(k).kind == SqlToken::Symbol && peek(k).text == QLatin1String(s);
    }
    bool acceptSymbol(const char *s)
    {
        if (!atSymbol(s))
            return false;
        ++m_pos;
        return true;
    }
    void expectSymbol(const char *s)
    {
        if (!acceptSymbol(s))
            error(QStringLiteral("expected '%1'").arg(QLatin1String(s)));
    }
    [[noreturn]] void error(const QString &what) const
    {
        const SqlToken &t = peek();
        const QString near = t.kind == SqlToken::End ? QStringLiteral("end of statement") : u'\'' + t.text + u'\'';
        refuse(err::SyntaxError, QStringLiteral("Syntax error in query (%1) near %2.").arg(what, near), near);
    }
    static bool reserved(const SqlToken &t)
    {
        return t.kind == SqlToken::Word && reservedWords().contains(t.text.toUpper());
    }
    bool atIdentifier(int k = 0) const
    {
        const SqlToken &t = peek(k);
        return t.kind == SqlToken::Name || (t.kind == SqlToken::Word && !reserved(t));
    }
    // A table, column or alias name, without quotes.
    QString identifier()
    {
        if (!atIdentifier())
            error(QStringLiteral("expected a name"));
        return take().text;
    }

    // ---- SELECT
    QString parseSelect(bool top)
    {
        const Nesting nesting(m_depth);
        QVector<SelectCore> cores;
        QStringList operators;
        cores << parseSelectCore();
        while (atWord("UNION")) {
            take();
            operators << (acceptWord("ALL") ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION "));
            cores << parseSelectCore();
        }
        QString orderBy;
        if (acceptWord("ORDER")) {
            expectWord("BY");
            QStringList terms;
            do {
                // Jet orders text by its letters, without regard to case or accents first;
                // COLLATE leaves numbers alone.
                QString term = parseExpr().sql + QStringLiteral(" COLLATE JETORDER");
                if (acceptWord("DESC"))
                    term += QStringLiteral(" DESC");
                else
                    acceptWord("ASC");
                terms << term;
            } while (acceptSymbol(","));
            orderBy = QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
        }

        const bool single = cores.size() == 1;
        QStringList parts;
        for (int i = 0; i < cores.size(); ++i) {
            const SelectCore &c = cores.at(i);
            QString list = c.list;
            bool substitute = false;
            if (top && single && c.simple) {
                m_out.table = c.from->name;
                if (m_options.withRowid) {
                    const QString alias = c.from->alias.isEmpty() ? c.from->name : c.from->alias;
                    list = quoteName(alias) + QStringLiteral(".rowid AS [__jet_rowid], ") + list;
                    m_out.hasRowid = true;
                    substitute = true;
                }
            }
            QString sql = QStringLiteral("SELECT ") + c.distinct + list;
            if (c.from)
                sql += QStringLiteral(" FROM ") + emitChain(c.from, substitute);
            sql += c.tail;
            parts << sql;
        }
        QString sql = parts.first();
        for (int i = 1; i < parts.size(); ++i)
            sql += operators.at(i - 1) + parts.at(i);
        sql += orderBy;
        if (!cores.first().limit.isEmpty())
            sql += cores.first().limit;
        return sql;
    }

    SelectCore parseSelectCore()
    {
        SelectCore core;
        bool parenthesised = false;
        if (atSymbol("(") && atWord("SELECT", 1)) {
            take();
            parenthesised = true;
        }
        expectWord("SELECT");
        const bool aggregateBefore = m_aggregate;
        m_aggregate = false;
        if (acceptWord("DISTINCT") || acceptWord("DISTINCTROW"))
            core.distinct = QStringLiteral("DISTINCT ");
        else
            acceptWord("ALL");
        if (acceptWord("TOP")) {
            if (peek().kind != SqlToken::Number)
                error(QStringLiteral("expected a number after TOP"));
            core.limit = QStringLiteral(" LIMIT ") + take().text;
            if (atWord("PERCENT"))
                error(QStringLiteral("TOP PERCENT is not supported"));
        }
        QStringList items;
        do {
            if (acceptSymbol("*")) {
                items << QStringLiteral("*");
                continue;
            }
            const Expr e = parseExpr();
            QString item = e.sql;
            if (acceptWord("AS")) {
                const SqlToken alias = take();
                if (alias.kind != SqlToken::Word && alias.kind != SqlToken::Name && alias.kind != SqlToken::String)
                    error(QStringLiteral("expected an alias"));
                item += QStringLiteral(" AS ") + quoteName(alias.text);
            } else if (e.column) {
                // The engine names a column read through a view after the view; Jet names it itself.
                item += QStringLiteral(" AS ") + quoteName(e.name);
            } else if (!e.star) {
                // Unnamed expressions are named as Jet names them.
                item += QStringLiteral(" AS [Expr%1]").arg(m_exprAlias++);
            }
            items << item;
        } while (acceptSymbol(","));
        core.list = items.join(QStringLiteral(", "));
        if (acceptWord("FROM"))
            core.from = parseFromList();
        bool grouped = false;
        if (acceptWord("WHERE"))
            core.tail += QStringLiteral(" WHERE ") + parseExpr().sql;
        if (acceptWord("GROUP")) {
            expectWord("BY");
            grouped = true;
            core.tail += QStringLiteral(" GROUP BY ") + parseExprList();
        }
        if (acceptWord("HAVING")) {
            grouped = true;
            core.tail += QStringLiteral(" HAVING ") + parseExpr().sql;
        }
        if (parenthesised)
            expectSymbol(")");
        core.simple = core.from && core.from->type == FromNode::Table && !grouped && core.distinct.isEmpty() &&
                      !m_aggregate;
        m_aggregate = aggregateBefore;
        return core;
    }

    QString parseExprList()
    {
        QStringList list;
        do
            list << parseExpr().sql;
        while (acceptSymbol(","));
        return list.join(QStringLiteral(", "));
    }

    // ---- FROM
    FromPtr parseFromList()
    {
        FromPtr node = parseJoin();
        while (acceptSymbol(",")) {
            auto comma = std::make_shared<FromNode>();
            comma->type = FromNode::Join;
            comma->kind = FromNode::Comma;
            comma->left = node;
            comma->right = parseJoin();
            node = comma;
        }
        return node;
    }

    FromPtr parseJoin()
    {
        FromPtr node = parseTableTerm();
        for (;;) {
            bool right = false;
            FromNode::JoinKind kind = FromNode::Inner;
            if (acceptWord("INNER")) {
            } else if (acceptWord("LEFT")) {
                kind = FromNode::Left;
                acceptWord("OUTER");
            } else if (acceptWord("RIGHT")) {
                kind = FromNode::Left;
                right = true;
                acceptWord("OUTER");
            } else if (!atWord("JOIN")) {
                break;
            }
            expectWord("JOIN");
            FromPtr other = parseTableTerm();
            expectWord("ON");
            auto join = std::make_shared<FromNode>();
            join->type = FromNode::Join;
            join->kind = kind;
            // The engine has no RIGHT JOIN: the same rows come from the mirrored LEFT JOIN.
            join->left = right ? other : node;
            join->right = right ? node : other;
            join->on = parseExpr().sql;
            node = join;
        }
        return node;
    }

    FromPtr parseTableTerm()
    {
        const Nesting nesting(m_depth);
        if (acceptSymbol("(")) {
            if (atWord("SELECT")) {
                auto sub = std::make_shared<FromNode>();
                sub->type = FromNode::Subquery;
                sub->sql = parseSelect(false);
                expectSymbol(")");
                acceptWord("AS");
                if (atIdentifier())
                    sub->alias = identifier();
                return sub;
            }
            FromPtr inner = parseFromList();
            expectSymbol(")");
            return inner;
        }
        auto table = std::make_shared<FromNode>();
        table->name = identifier();
        if (acceptWord("AS"))
            table->alias = identifier();
        else if (atIdentifier())
            table->alias = identifier();
        return table;
    }

    QString leafText(const FromPtr &node, bool substitute, bool first)
    {
        if (node->type == FromNode::Subquery)
            return u'(' + node->sql + u')' + (node->alias.isEmpty() ? QString() : QStringLiteral(" AS ") + quoteName(node->alias));
        if (node->type == FromNode::Join)  // an outer join inside an inner chain
            return first ? emitOuter(node, substitute) : u'(' + emitOuter(node, substitute) + u')';
        const QString source = substitute && m_options.tableSource ? m_options.tableSource(node->name) : QString();
        QString alias = node->alias;
        if (alias.isEmpty() && !source.isEmpty())
            alias = node->name;
        const QString table = source.isEmpty() ? quoteName(node->name) : source;
        return alias.isEmpty() ? table : table + QStringLiteral(" AS ") + quoteName(alias);
    }

    // Inner joins, however parenthesised, become one flat chain: each ON condition goes to the join
    // of its right-most table, where every table it can name is already in the chain. The engine
    // would otherwise read a parenthesised join as a subquery and name its columns "T.col".
    void collect(const FromPtr &node, bool substitute, QStringList &leaves, QVector<QStringList> &conditions)
    {
        if (node->type == FromNode::Join && node->kind != FromNode::Left) {
            collect(node->left, substitute, leaves, conditions);
            collect(node->right, substitute, leaves, conditions);
            if (!node->on.isEmpty())
                conditions.last() << node->on;
            return;
        }
        leaves << leafText(node, substitute, leaves.isEmpty());
        conditions << QStringList();
    }

    QString emitChain(const FromPtr &node, bool substitute)
    {
        QStringList leaves;
        QVector<QStringList> conditions;
        collect(node, substitute, leaves, conditions);
        QString sql = leaves.first();
        for (int i = 1; i < leaves.size(); ++i) {
            sql += QStringLiteral(" INNER JOIN ") + leaves.at(i);
            if (!conditions.at(i).isEmpty())
                sql += QStringLiteral(" ON ") + conditions.at(i).join(QStringLiteral(" AND "));
        }
        return sql;
    }

    QString emitOuter(const FromPtr &node, bool substitute)
    {
        const FromPtr &r = node->right;
        const bool leaf = r->type != FromNode::Join;
        const QString right = leaf ? leafText(r, substitute, false) : u'(' + emitChain(r, substitute) + u')';
        return emitChain(node->left, substitute) + QStringLiteral(" LEFT JOIN ") + right + QStringLiteral(" ON ") + node->on;
    }

    // ---- action statements
    QString parseInsert()
    {
        expectWord("INTO");
        const QString table = identifier();
        m_out.table = table;
        QString sql = QStringLiteral("INSERT INTO ") + quoteName(table);
        if (atSymbol("(") && !atWord("SELECT", 1)) {
            take();
            QStringList columns;
            do
                columns << quoteName(identifier());
            while (acceptSymbol(","));
            expectSymbol(")");
            sql += QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + u')';
        }
        if (acceptWord("VALUES")) {
            expectSymbol("(");
            sql += QStringLiteral(" VALUES (") + parseExprList() + u')';
            expectSymbol(")");
        } else if (atWord("SELECT") || atSymbol("(")) {
            sql += u' ' + parseSelect(false);
        } else {
            error(QStringLiteral("expected VALUES or SELECT"));
        }
        return sql;
    }

    QString parseUpdate()
    {
        const QString table = identifier();
        m_out.table = table;
        if (atWord("INNER") || atWord("LEFT") || atWord("RIGHT") || atWord("JOIN"))
            error(QStringLiteral("UPDATE over a join is not supported"));
        expectWord("SET");
        QStringList sets;
        do {
            QString column = identifier();
            while (acceptSymbol("."))  // "T.col": the engine names the column alone
                column = identifier();
            expectSymbol("=");
            sets << quoteName(column) + QStringLiteral(" = ") + parseExpr().sql;
        } while (acceptSymbol(","));
        QString sql = QStringLiteral("UPDATE ") + quoteName(table) + QStringLiteral(" SET ") + sets.join(QStringLiteral(", "));
        if (acceptWord("WHERE"))
            sql += QStringLiteral(" WHERE ") + parseExpr().sql;
        return sql;
    }

    QString parseDelete()
    {
        // DELETE [*] FROM T, DELETE T.* FROM T
        if (!atWord("FROM")) {
            if (!acceptSymbol("*")) {
                identifier();
                expectSymbol(".");
                expectSymbol("*");
            }
        }
        expectWord("FROM");
        const QString table = identifier();
        m_out.table = table;
        QString sql = QStringLiteral("DELETE FROM ") + quoteName(table);
        if (acceptWord("WHERE"))
            sql += QStringLiteral(" WHERE ") + parseExpr().sql;
        return sql;
    }

    // ---- DDL
    // One token of a constraint, written for the engine.
    QString rawToken(const SqlToken &t) const
    {
        switch (t.kind) {
        case SqlToken::Name:
            return quoteName(t.text);
        case SqlToken::String:
            return quoteText(t.text);
        case SqlToken::Date:
            return dateLiteral(t.text);
        case SqlToken::Word:
            return reserved(t) || isWord(t, "PRIMARY") || isWord(t, "KEY") || isWord(t, "UNIQUE") ||
                           isWord(t, "CONSTRAINT") || isWord(t, "DEFAULT") || isWord(t, "REFERENCES")
                       ? t.text.toUpper()
                       : quoteName(t.text);
        default:
            return t.text;
        }
    }

    // Tokens up to the next "," or ")" outside parentheses.
    QStringList rawUntilSeparator()
    {
        QStringList out;
        int depth = 0;
        for (;;) {
            const SqlToken &t = peek();
            if (t.kind == SqlToken::End)
                break;
            if (t.kind == SqlToken::Symbol) {
                if (depth == 0 && (t.text == u',' || t.text == u')'))
                    break;
                if (t.text == u'(')
                    ++depth;
                else if (t.text == u')')
                    --depth;
            }
            out << rawToken(take());
        }
        return out;
    }

    QString parseColumnDef()
    {
        const QString name = identifier();
        if (peek().kind != SqlToken::Word)
            error(QStringLiteral("expected a field type"));
        const QString typeName = take().text;
        int size = 0;
        if (acceptSymbol("(")) {
            if (peek().kind != SqlToken::Number)
                error(QStringLiteral("expected a size"));
            size = take().text.toInt();
            while (acceptSymbol(","))
                take();
            expectSymbol(")");
        }
        const QString upper = typeName.toUpper();
        QStringList constraints = rawUntilSeparator();
        QString declared;
        if (upper == u"COUNTER" || upper == u"AUTOINCREMENT") {
            // The engine's own counter column; a PRIMARY KEY written with it is already implied.
            const QString text = constraints.join(u' ');
            constraints = text.split(u' ', Qt::SkipEmptyParts);
            for (int i = 0; i + 1 < constraints.size(); ++i) {
                if (constraints.at(i) == u"PRIMARY" && constraints.at(i + 1) == u"KEY") {
                    int from = i;
                    if (i >= 2 && constraints.at(i - 2) == u"CONSTRAINT")
                        from = i - 2;
                    constraints.erase(constraints.begin() + from, constraints.begin() + i + 2);
                    break;
                }
            }
            declared = QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
        } else if (const auto type = fieldTypeOf(typeName)) {
            declared = declaredType(Field{QString(), *type, size});
        } else {
            error(QStringLiteral("unknown field type %1").arg(typeName));
        }
        QString sql = quoteName(name) + u' ' + declared;
        if (!constraints.isEmpty())
            sql += u' ' + constraints.join(u' ');
        return sql;
    }

    QString parseCreate()
    {
        if (acceptWord("TABLE")) {
            m_out.kind = StatementKind::CreateTable;
            const QString table = identifier();
            m_out.table = table;
            expectSymbol("(");
            QStringList items;
            int columns = 0;
            do {
                if (atWord("CONSTRAINT") || atWord("PRIMARY") || atWord("UNIQUE") || atWord("FOREIGN")) {
                    items << rawUntilSeparator().join(u' ');
                } else {
                    items << parseColumnDef();
                    ++columns;
                }
            } while (acceptSymbol(","));
            expectSymbol(")");
            if (columns > MaxFields)
                refuse(err::TooManyFields, QStringLiteral("Too many fields defined."));
            return QStringLiteral("CREATE TABLE ") + quoteName(table) + QStringLiteral(" (") +
                   items.join(QStringLiteral(", ")) + u')';
        }
        const bool unique = acceptWord("UNIQUE");
        if (acceptWord("INDEX")) {
            m_out.kind = StatementKind::CreateIndex;
            const QString index = identifier();
            expectWord("ON");
            const QString table = identifier();
            m_out.table = table;
            expectSymbol("(");
            QStringList columns;
            do {
                QString c = quoteName(identifier());
                if (acceptWord("DESC"))
                    c += QStringLiteral(" DESC");
                else
                    acceptWord("ASC");
                columns << c;
            } while (acceptSymbol(","));
            expectSymbol(")");
            bool primary = false;
            if (acceptWord("WITH")) {
                // Jet's index options; a primary index is unique, the others change nothing here.
                while (peek().kind == SqlToken::Word) {
                    primary = primary || atWord("PRIMARY");
                    take();
                }
            }
            // Index names are per table in Jet and per file in the engine.
            return QStringLiteral("CREATE %1INDEX ").arg(unique || primary ? QStringLiteral("UNIQUE ") : QString()) +
                   quoteName(table + u'_' + index) + QStringLiteral(" ON ") + quoteName(table) + QStringLiteral(" (") +
                   columns.join(QStringLiteral(", ")) + u')';
        }
        error(QStringLiteral("expected TABLE or INDEX"));
    }

    QString parseDrop()
    {
        if (acceptWord("TABLE")) {
            m_out.kind = StatementKind::DropTable;
            m_out.table = identifier();
            return QStringLiteral("DROP TABLE ") + quoteName(m_out.table);
        }
        if (acceptWord("INDEX")) {
            m_out.kind = StatementKind::DropIndex;
            const QString index = identifier();
            expectWord("ON");
            m_out.table = identifier();
            return QStringLiteral("DROP INDEX ") + quoteName(m_out.table + u'_' + index);
        }
        if (acceptWord("VIEW") || acceptWord("PROCEDURE")) {
            m_out.kind = StatementKind::Other;
            return QStringLiteral("DROP VIEW ") + quoteName(identifier());
        }
        error(QStringLiteral("expected TABLE, INDEX or VIEW"));
    }

    QString parseAlter()
    {
        expectWord("TABLE");
        const QString table = identifier();
        m_out.table = table;
        if (acceptWord("ADD")) {
            acceptWord("COLUMN");
            return QStringLiteral("ALTER TABLE ") + quoteName(table) + QStringLiteral(" ADD COLUMN ") + parseColumnDef();
        }
        error(QStringLiteral("only ALTER TABLE ... ADD COLUMN is supported"));
    }

    // ---- expressions, lowest precedence first (the runtime's order)
    Expr parseExpr()
    {
        const Nesting nesting(m_depth);
        return parseImp();
    }

    // A left-associative run of operators of one precedence level, written flat in one pair of
    // brackets: the engine's parser spends a level of its small stack on each open bracket, so
    // "((a OR b) OR c) ..." failed near a hundred operands. Every operand is already a primary or
    // bracketed whole, so the flat run keeps the meaning.
    class Chain {
    public:
        explicit Chain(Expr first) : m_first(std::move(first)), m_sql(m_first.sql) {}
        void add(const QString &op, const Expr &next)
        {
            m_sql += op + next.sql;
            m_flat = false;
        }
        Expr done() const { return m_flat ? m_first : Expr{u'(' + m_sql + u')'}; }

    private:
        Expr m_first;
        QString m_sql;
        bool m_flat = true;
    };

    Expr call(const char *function, const Expr &a, const Expr &b)
    {
        return Expr{QLatin1String(function) + u'(' + a.sql + QStringLiteral(", ") + b.sql + u')'};
    }

    Expr parseImp()
    {
        Expr a = parseEqv();
        while (acceptWord("IMP")) {
            const Expr b = parseEqv();
            a = Expr{QStringLiteral("((NOT ") + a.sql + QStringLiteral(") OR ") + b.sql + u')'};
        }
        return a;
    }

    Expr parseEqv()
    {
        Expr a = parseXor();
        while (acceptWord("EQV")) {
            const Expr b = parseXor();
            a = Expr{QStringLiteral("((") + a.sql + QStringLiteral(" <> 0) = (") + b.sql + QStringLiteral(" <> 0))")};
        }
        return a;
    }

    Expr parseXor()
    {
        Expr a = parseOr();
        while (acceptWord("XOR")) {
            const Expr b = parseOr();
            a = Expr{QStringLiteral("((") + a.sql + QStringLiteral(" <> 0) <> (") + b.sql + QStringLiteral(" <> 0))")};
        }
        return a;
    }

    Expr parseOr()
    {
        Chain chain(parseAnd());
        while (acceptWord("OR"))
            chain.add(QStringLiteral(" OR "), parseAnd());
        return chain.done();
    }

    Expr parseAnd()
    {
        Chain chain(parseNot());
        while (acceptWord("AND"))
            chain.add(QStringLiteral(" AND "), parseNot());
        return chain.done();
    }

    Expr parseNot()
    {
        if (acceptWord("NOT")) {
            const Nesting nesting(m_depth);
            return Expr{QStringLiteral("(NOT ") + parseNot().sql + u')'};
        }
        return parseCompare();
    }

    // Comparisons ignore letter case, as Jet's do: the left operand carries the NOCASE collation.
    Expr parseCompare()
    {
        Expr a = parseConcat();
        for (;;) {
            const SqlToken &t = peek();
            if (t.kind == SqlToken::Symbol &&
                (t.text == u'=' || t.text == u"<>" || t.text == u"!=" || t.text == u'<' || t.text == u'>' ||
                 t.text == u"<=" || t.text == u">=")) {
                QString op = take().text;
                if (op == u"!=")
                    op = QStringLiteral("<>");
                const Expr b = parseConcat();
                a = Expr{u'(' + a.sql + QStringLiteral(" COLLATE NOCASE ") + op + u' ' + b.sql + u')'};
                continue;
            }
            const bool negated = atWord("NOT") && (atWord("LIKE", 1) || atWord("IN", 1) || atWord("BETWEEN", 1));
            if (negated)
                take();
            if (acceptWord("LIKE")) {
                const Expr b = parseConcat();
                a = Expr{QStringLiteral("jet_like(") + a.sql + QStringLiteral(", ") + b.sql + u')'};
                if (negated)
                    a = Expr{QStringLiteral("(NOT ") + a.sql + u')'};
                continue;
            }
            if (acceptWord("IN")) {
                expectSymbol("(");
                const QString list = atWord("SELECT") ? parseSelect(false) : parseExprList();
                expectSymbol(")");
                a = Expr{u'(' + a.sql + QStringLiteral(" COLLATE NOCASE ") + (negated ? QStringLiteral("NOT IN (") : QStringLiteral("IN (")) +
                         list + QStringLiteral("))")};
                continue;
            }
            if (acceptWord("BETWEEN")) {
                const Expr low = parseConcat();
                expectWord("AND");
                const Expr high = parseConcat();
                a = Expr{u'(' + a.sql + QStringLiteral(" COLLATE NOCASE ") + (negated ? QStringLiteral("NOT ") : QString()) +
                         QStringLiteral("BETWEEN ") + low.sql + QStringLiteral(" AND ") + high.sql + u')'};
                continue;
            }
            if (negated)
                error(QStringLiteral("expected LIKE, IN or BETWEEN"));
            if (acceptWord("IS")) {
                const bool isNot = acceptWord("NOT");
                expectWord("NULL");
                a = Expr{u'(' + a.sql + (isNot ? QStringLiteral(" IS NOT NULL)") : QStringLiteral(" IS NULL)"))};
                continue;
            }
            return a;
        }
    }

    Expr parseConcat()
    {
        Expr a = parseAdd();
        if (!atSymbol("&"))
            return a;
        // & is associative: one call takes the whole run, a new one only past the engine's
        // limit on arguments.
        QString sql = QStringLiteral("jet_concat(") + a.sql;
        int arguments = 1;
        while (acceptSymbol("&")) {
            if (arguments == MaxFunctionArguments) {
                sql = QStringLiteral("jet_concat(") + sql + u')';
                arguments = 1;
            }
            sql += QStringLiteral(", ") + parseAdd().sql;
            ++arguments;
        }
        return Expr{sql + u')'};
    }

    Expr parseAdd()
    {
        // + and - share one level and associate to the left, in the engine as in the runtime.
        Chain chain(parseMod());
        for (;;) {
            if (acceptSymbol("+"))
                chain.add(QStringLiteral(" + "), parseMod());
            else if (acceptSymbol("-"))
                chain.add(QStringLiteral(" - "), parseMod());
            else
                return chain.done();
        }
    }

    Expr parseMod()
    {
        Expr a = parseIntDiv();
        while (acceptWord("MOD"))
            a = call("jet_mod", a, parseIntDiv());
        return a;
    }

    Expr parseIntDiv()
    {
        Expr a = parseMul();
        while (acceptSymbol("\\"))
            a = call("jet_idiv", a, parseMul());
        return a;
    }

    Expr parseMul()
    {
        // / is a call: it closes the run of * before it, whose result is its left operand.
        Chain chain(parseUnary());
        for (;;) {
            if (acceptSymbol("*")) {
                chain.add(QStringLiteral(" * "), parseUnary());
            } else if (acceptSymbol("/")) {
                const Expr a = chain.done();
                chain = Chain(call("jet_div", a, parseUnary()));
            } else {
                return chain.done();
            }
        }
    }

    // Negation binds looser than ^: -2^2 is -4.
    Expr parseUnary()
    {
        if (acceptSymbol("-")) {
            const Nesting nesting(m_depth);
            return Expr{QStringLiteral("(- ") + parseUnary().sql + u')'};
        }
        if (acceptSymbol("+")) {
            const Nesting nesting(m_depth);
            return parseUnary();
        }
        return parsePow();
    }

    Expr parsePow()
    {
        Expr a = parsePrimary();
        while (acceptSymbol("^")) {
            // The exponent may carry its own sign: 2^-1.
            Expr b;
            if (acceptSymbol("-"))
                b = Expr{QStringLiteral("(- ") + parsePrimary().sql + u')'};
            else {
                acceptSymbol("+");
                b = parsePrimary();
            }
            a = call("jet_pow", a, b);
        }
        return a;
    }

    Expr parsePrimary()
    {
        const SqlToken t = peek();
        switch (t.kind) {
        case SqlToken::Number:
            take();
            return Expr{t.text};
        case SqlToken::String:
            take();
            return Expr{quoteText(t.text)};
        case SqlToken::Date:
            take();
            return Expr{dateLiteral(t.text)};
        case SqlToken::Symbol:
            if (acceptSymbol("(")) {
                if (atWord("SELECT")) {
                    const QString sub = parseSelect(false);
                    expectSymbol(")");
                    return Expr{u'(' + sub + u')'};
                }
                const Expr inner = parseExpr();
                expectSymbol(")");
                return Expr{u'(' + inner.sql + u')'};
            }
            if (acceptSymbol("?"))
                return Expr{QStringLiteral("?")};
            error(QStringLiteral("expected an expression"));
        case SqlToken::End:
            error(QStringLiteral("expected an expression"));
        case SqlToken::Word:
            if (acceptWord("NULL"))
                return Expr{QStringLiteral("NULL")};
            if (acceptWord("TRUE"))
                return Expr{QStringLiteral("-1")};
            if (acceptWord("FALSE"))
                return Expr{QStringLiteral("0")};
            if (acceptWord("EXISTS")) {
                expectSymbol("(");
                const QString sub = parseSelect(false);
                expectSymbol(")");
                return Expr{QStringLiteral("EXISTS (") + sub + u')'};
            }
            if (atSymbol("(", 1) && (!reserved(t) || isWord(t, "LEFT") || isWord(t, "RIGHT")))
                return parseFunction();
            break;
        case SqlToken::Name:
            break;
        }
        // A column, qualified or not, or table.*.
        QString name = identifier();
        QString sql = quoteName(name);
        while (acceptSymbol(".")) {
            if (acceptSymbol("*"))
                return Expr{sql + QStringLiteral(".*"), false, true, QString()};
            name = identifier();
            sql += u'.' + quoteName(name);
        }
        return Expr{sql, true, false, name};
    }

    Expr parseFunction()
    {
        QString name = take().text.toLower();
        if (name.endsWith(u'$'))
            name.chop(1);
        expectSymbol("(");
        QString args;
        if (aggregates().contains(name))
            m_aggregate = true;
        if (atSymbol(")")) {
        } else if (acceptSymbol("*")) {
            args = QStringLiteral("*");
        } else {
            if (acceptWord("DISTINCT"))
                args = QStringLiteral("DISTINCT ");
            args += parseExprList();
        }
        expectSymbol(")");
        const QString engineName = jetFunctions().value(name, name);
        return Expr{engineName + u'(' + args + u')'};
    }

    SqlTokenizer m_tokenizer;
    const QVector<SqlToken> &m_tokens;
    TranslateOptions m_options;
    Translation m_out;
    int m_pos = 0;
    int m_exprAlias = 1000;
    int m_depth = 0;
    bool m_aggregate = false;
};

}  // namespace

Translation translate(const QString &jetSql, const TranslateOptions &options)
{
    return Translator(jetSql, options).run();
}

QString translateSql(const QString &jetSql)
{
    return translate(jetSql).sql;
}

}  // namespace jet
