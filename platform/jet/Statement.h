// A prepared statement of the engine's own SQL on an open session, with typed column reads.
#pragma once

#include "Types.h"
#include "vb/Variant.h"

#include <QString>
#include <optional>

struct sqlite3_stmt;

namespace jet {

class Session;

// Owns the prepared statement; the session must outlive it. Errors throw vb::Error: the engine's
// own as &H80004005 with its message, those raised inside functions with their runtime number.
class Statement {
public:
    Statement(Session &session, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int position, const vb::Variant &value);  // 1-based; Empty binds Null
    void bindInt64(int position, qint64 value);
    bool step();  // true while a row is available
    void reset();

    int columnCount() const;
    QString columnName(int index) const;
    QString declaredType(int index) const;  // empty for expressions
    QString originColumn(int index) const;  // the table column a result column reads, or empty
    bool isNull(int index) const;
    qint64 int64(int index) const;
    // One value as read, before it becomes a Variant: its runtime type, its number (Integer, Long,
    // Single, Double, Boolean as 1/0) or its UTF-8 text, valid until the next step.
    struct Cell {
        vb::VarType type = vb::VarType::Null;
        double number = 0;
        const char *text = nullptr;
        int bytes = 0;
    };
    // The value by the declared type; without one, by the stored value (integer -> Long, or
    // Double when it does not fit; real -> Double; text -> String).
    Cell cell(int index, std::optional<FieldType> type) const;
    vb::Variant value(int index, std::optional<FieldType> type) const { return variantOf(cell(index, type)); }
    static vb::Variant variantOf(const Cell &cell);
    // The field type a column reports: declared, else guessed from the current row's value.
    FieldType storedType(int index) const;

private:
    Session &m_session;
    sqlite3_stmt *m_stmt = nullptr;
};

}  // namespace jet
