// Prepared statements: binding Variants, stepping with error mapping, reading typed values.
#include "Statement.h"

#include "FieldTypes.h"
#include "EngineErrors.h"
#include "Session.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <limits>

namespace jet {

Statement::Statement(Session &session, const QString &sql) : m_session(session)
{
    session.forgetFormatPatterns();
    session.exposeNamedLinks(sql);
    const QByteArray text = sql.toUtf8();
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(session.handle(), text.constData(), text.size(), &m_stmt, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        session.fail(rc);
    }
    if (!m_stmt)  // only blanks or a comment
        refuse(err::InvalidStatement, QStringLiteral("Invalid SQL statement."));
    // Anything after the first statement but blanks and semicolons is a second statement.
    for (const char *c = tail; c && c < text.constData() + text.size(); ++c) {
        if (*c != ';' && !QChar::isSpace(uchar(*c))) {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
            refuse(err::TextAfterEnd, QStringLiteral("Characters found after end of SQL statement."));
        }
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int position, const vb::Variant &value)
{
    int rc = SQLITE_OK;
    switch (value.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null:
        rc = sqlite3_bind_null(m_stmt, position);
        break;
    case vb::VarType::Integer:
    case vb::VarType::Long:
        rc = sqlite3_bind_int64(m_stmt, position, static_cast<sqlite3_int64>(value.rawNumber()));
        break;
    case vb::VarType::Boolean:
        // The runtime's True is -1.
        rc = sqlite3_bind_int(m_stmt, position, value.rawNumber() != 0 ? -1 : 0);
        break;
    case vb::VarType::Single:
    case vb::VarType::Double:
        rc = sqlite3_bind_double(m_stmt, position, value.rawNumber());
        break;
    case vb::VarType::String: {
        const QByteArray text = value.rawString().toUtf8();
        rc = sqlite3_bind_text(m_stmt, position, text.constData(), text.size(), SQLITE_TRANSIENT);
        break;
    }
    case vb::VarType::Array:
        raise(vb::err::TypeMismatch, QStringLiteral("Type mismatch"));
    }
    if (rc != SQLITE_OK)
        m_session.fail(rc);
}

void Statement::bindInt64(int position, qint64 value)
{
    const int rc = sqlite3_bind_int64(m_stmt, position, value);
    if (rc != SQLITE_OK)
        m_session.fail(rc);
}

bool Statement::step()
{
    m_session.clearFunctionError();
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_stmt);
    m_session.fail(rc);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int index) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, index));
}

QString Statement::declaredType(int index) const
{
    return QString::fromUtf8(sqlite3_column_decltype(m_stmt, index));
}

QString Statement::originColumn(int index) const
{
    return QString::fromUtf8(sqlite3_column_origin_name(m_stmt, index));
}

qint64 Statement::int64(int index) const
{
    return sqlite3_column_int64(m_stmt, index);
}

bool Statement::isNull(int index) const
{
    return sqlite3_column_type(m_stmt, index) == SQLITE_NULL;
}

namespace {

using Cell = Statement::Cell;

Cell number(vb::VarType type, double value)
{
    return Cell{type, value, nullptr, 0};
}

// The column's value is fetched once per cell: the value functions take no connection lock,
// where each column function does.
Cell textOf(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return Cell{vb::VarType::String, 0, text, sqlite3_value_bytes(value)};
}

Cell byStorage(sqlite3_value *value, int storage)
{
    switch (storage) {
    case SQLITE_NULL:
        return Cell{};
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_value_int64(value);
        if (v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max())
            return number(vb::VarType::Long, double(v));
        return number(vb::VarType::Double, double(v));
    }
    case SQLITE_FLOAT:
        return number(vb::VarType::Double, sqlite3_value_double(value));
    default:
        return textOf(value);
    }
}

}  // namespace

Statement::Cell Statement::cell(int index, std::optional<FieldType> type) const
{
    sqlite3_value *value = sqlite3_column_value(m_stmt, index);
    const int storage = sqlite3_value_type(value);
    if (storage == SQLITE_NULL)
        return Cell{};
    if (!type)
        return byStorage(value, storage);
    const bool numeric = storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
    switch (*type) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Date:
        return textOf(value);
    case FieldType::Byte:
    case FieldType::Integer:
        if (storage == SQLITE_INTEGER) {
            const sqlite3_int64 v = sqlite3_value_int64(value);
            if (v >= std::numeric_limits<qint16>::min() && v <= std::numeric_limits<qint16>::max())
                return number(vb::VarType::Integer, double(v));
        }
        return byStorage(value, storage);
    case FieldType::Long:
        return byStorage(value, storage);
    case FieldType::Single:
        if (numeric)
            return number(vb::VarType::Single, double(float(sqlite3_value_double(value))));
        return byStorage(value, storage);
    case FieldType::Double:
        if (numeric)
            return number(vb::VarType::Double, sqlite3_value_double(value));
        return byStorage(value, storage);
    case FieldType::Boolean:
        if (numeric)
            return number(vb::VarType::Boolean, sqlite3_value_double(value) != 0 ? 1 : 0);
        return byStorage(value, storage);
    }
    return byStorage(value, storage);
}

vb::Variant Statement::variantOf(const Cell &c)
{
    switch (c.type) {
    case vb::VarType::Integer:
        return vb::Variant(qint16(c.number));
    case vb::VarType::Long:
        return vb::Variant(qint32(c.number));
    case vb::VarType::Single:
        return vb::Variant(float(c.number));
    case vb::VarType::Double:
        return vb::Variant(c.number);
    case vb::VarType::Boolean:
        return vb::Variant(c.number != 0);
    case vb::VarType::String:
        return vb::Variant(QString::fromUtf8(c.text, c.bytes));
    case vb::VarType::Empty:
        return vb::Variant();
    default:
        return vb::Variant::null();
    }
}

FieldType Statement::storedType(int index) const
{
    if (const auto declared = fieldTypeOf(declaredType(index)))
        return *declared;
    switch (sqlite3_column_type(m_stmt, index)) {
    case SQLITE_INTEGER:
        return FieldType::Long;
    case SQLITE_FLOAT:
        return FieldType::Double;
    default:
        return FieldType::Text;
    }
}

}  // namespace jet
