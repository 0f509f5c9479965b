// Splits a Jet SQL statement into tokens: words, [names], literals, numbers and symbols.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace jet {

struct SqlToken {
    enum Kind { Word, Name, String, Number, Date, Symbol, End };
    Kind kind = End;
    QString text;  // Word/Symbol/Number as written; Name, String and Date without their quotes
    int position = 0;
};

// Comments ("-- ..." to the line end, "/* ... */") are skipped, so they never take part in the
// translation. Throws vb::Error &H80004005 on an unterminated literal or name.
class SqlTokenizer {
public:
    explicit SqlTokenizer(const QString &sql);

    const QVector<SqlToken> &tokens() const { return m_tokens; }  // ends with an End token

private:
    QVector<SqlToken> m_tokens;
};

}  // namespace jet
