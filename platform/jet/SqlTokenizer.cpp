// The tokenizer of the Jet SQL translation.
#include "SqlTokenizer.h"

#include "EngineErrors.h"

namespace jet {

namespace {

bool wordStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool wordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

[[noreturn]] void syntax(const QString &what, int position)
{
    refuse(err::SyntaxError, QStringLiteral("Syntax error (%1) at position %2.").arg(what).arg(position + 1));
}

}  // namespace

SqlTokenizer::SqlTokenizer(const QString &sql)
{
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            int end = sql.indexOf(u'\n', i);
            if (end < 0)
                end = n;
            i = end;
            continue;
        }
        if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const int end = sql.indexOf(QStringLiteral("*/"), i + 2);
            if (end < 0)
                syntax(QStringLiteral("unterminated comment"), i);
            i = end + 2;
            continue;
        }
        SqlToken t;
        t.position = i;
        if (c == u'[') {
            const int end = sql.indexOf(u']', i + 1);
            if (end < 0)
                syntax(QStringLiteral("missing ]"), i);
            t.kind = SqlToken::Name;
            t.text = sql.mid(i + 1, end - i - 1);
            i = end + 1;
        } else if (c == u'\'' || c == u'"') {
            // Both quotes delimit texts; a doubled quote stands for itself.
            QString value;
            int j = i + 1;
            for (;;) {
                if (j >= n)
                    syntax(QStringLiteral("missing operator or unterminated text"), i);
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        value += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += sql.at(j++);
            }
            t.kind = SqlToken::String;
            t.text = value;
            i = j + 1;
        } else if (c == u'#') {
            const int end = sql.indexOf(u'#', i + 1);
            if (end < 0)
                syntax(QStringLiteral("unterminated date"), i);
            t.kind = SqlToken::Date;
            t.text = sql.mid(i + 1, end - i - 1).trimmed();
            i = end + 1;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql.at(i + 1).isDigit())) {
            int j = i;
            while (j < n && sql.at(j).isDigit())
                ++j;
            if (j < n && sql.at(j) == u'.') {
                ++j;
                while (j < n && sql.at(j).isDigit())
                    ++j;
            }
            if (j < n && (sql.at(j) == u'e' || sql.at(j) == u'E')) {
                int k = j + 1;
                if (k < n && (sql.at(k) == u'+' || sql.at(k) == u'-'))
                    ++k;
                if (k < n && sql.at(k).isDigit()) {
                    while (k < n && sql.at(k).isDigit())
                        ++k;
                    j = k;
                }
            }
            t.kind = SqlToken::Number;
            t.text = sql.mid(i, j - i);
            i = j;
        } else if (wordStart(c)) {
            int j = i + 1;
            while (j < n && wordPart(sql.at(j)))
                ++j;
            t.kind = SqlToken::Word;
            t.text = sql.mid(i, j - i);
            i = j;
        } else {
            static const QString pairs[] = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">="),
                                            QStringLiteral("!=")};
            t.kind = SqlToken::Symbol;
            t.text = QString(c);
            for (const QString &p : pairs) {
                if (sql.mid(i, 2) == p) {
                    t.text = p;
                    break;
                }
            }
            static const QString singles = QStringLiteral("=<>+-*/\\^&(),.;?!");
            if (t.text.size() == 1 && !singles.contains(c))
                syntax(QStringLiteral("unexpected character '%1'").arg(c), i);
            i += t.text.size();
        }
        m_tokens << t;
    }
    SqlToken end;
    end.kind = SqlToken::End;
    end.position = n;
    m_tokens << end;
}

}  // namespace jet
