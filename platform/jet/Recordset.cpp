// Record sets read whole at open: navigation, typed fields, and updates through the row id.
#include "Recordset.h"

#include "Connection.h"
#include "EngineErrors.h"
#include "SqlQuote.h"
#include "FieldTypes.h"
#include "Session.h"
#include "Statement.h"

#include "vb/Conversions.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QHash>
#include <QRegularExpression>

#include <cstring>
#include <vector>

namespace jet {

namespace {

constexpr int MaxFields = 255;

// A bare table name ("Tabella" or "[Nome tabella]") opens the whole table.
QString selectFor(const QString &sqlOrTable)
{
    static const QRegularExpression bare(QStringLiteral("^\\s*(\\[[^\\]]+\\]|[\\w]+)\\s*;?\\s*$"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch m = bare.match(sqlOrTable);
    if (!m.hasMatch() || m.captured(1).compare(QStringLiteral("select"), Qt::CaseInsensitive) == 0)
        return sqlOrTable;
    QString name = m.captured(1);
    if (name.startsWith(u'['))
        name = name.mid(1, name.size() - 2);
    return QStringLiteral("SELECT * FROM ") + quoteName(name);
}

// The value stored for `value` in a field of `type`: texts convert in the user's locale.
vb::Variant convertFor(FieldType type, const vb::Variant &value)
{
    if (value.isNull() || value.isEmpty())
        return vb::Variant::null();
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Date:
        return value.isString() ? value : vb::Variant(vb::CStr(value));
    case FieldType::Byte:
    case FieldType::Integer:
        return vb::Variant(vb::CInt(vb::Variant(vb::CDbl(value))));
    case FieldType::Long:
        return vb::Variant(vb::CLng(vb::Variant(vb::CDbl(value))));
    case FieldType::Single:
        return vb::Variant(vb::CSng(vb::Variant(vb::CDbl(value))));
    case FieldType::Double:
        return vb::Variant(vb::CDbl(value));
    case FieldType::Boolean:
        return vb::Variant(vb::CBool(value));
    }
    return value;
}

// Every cell of a set in fixed blocks, row after row, as a type byte and eight bytes of number,
// short text (most cells are formatted numbers of a few bytes) or text reference, with the longer
// texts in blocks of UTF-8: reading a large result costs no allocation per cell, touches little
// memory and never moves what was read; a Variant (and its QString) is made when asked.
class CellStore {
public:
    void setColumns(int columns) { m_columns = columns; }
    int rowCount() const { return m_rows; }
    bool isEmpty() const { return m_rows == 0; }

    void append(const Statement::Cell &c)
    {
        if (m_used == BlockCells) {
            m_blocks.push_back(std::make_unique_for_overwrite<Block>());
            m_used = 0;
        }
        Block &b = *m_blocks.back();
        Payload &p = b.payload[m_used];
        if (c.type != vb::VarType::String) {
            b.type[m_used] = quint8(c.type);
            p.number = c.number;
        } else if (c.bytes >= 0 && c.bytes <= int(sizeof p.inlined)) {
            b.type[m_used] = quint8(InlineText | c.bytes);
            p.number = 0;
            for (int i = 0; i < c.bytes; ++i)
                p.inlined[i] = c.text[i];
        } else {
            b.type[m_used] = quint8(c.type);
            p.text = keep(c.text, c.bytes);
        }
        ++m_used;
    }
    void endRow() { ++m_rows; }

    // The cell as read; a text points into the store.
    Statement::Cell cell(int row, int column) const
    {
        const size_t i = size_t(row) * size_t(m_columns) + size_t(column);
        const Block &b = *m_blocks[i / BlockCells];
        const quint8 tag = b.type[i % BlockCells];
        const Payload &p = b.payload[i % BlockCells];
        if (tag & InlineText)
            return Statement::Cell{vb::VarType::String, 0, p.inlined, tag & ~InlineText};
        const auto type = vb::VarType(tag);
        if (type == vb::VarType::String) {
            const char *text = p.text.bytes ? m_texts[p.text.block].get() + p.text.offset : "";
            return Statement::Cell{type, 0, text, int(p.text.bytes)};
        }
        return Statement::Cell{type, p.number, nullptr, 0};
    }
    vb::Variant value(int row, int column) const { return Statement::variantOf(cell(row, column)); }
    QString text(int row, int column) const
    {
        const Statement::Cell c = cell(row, column);
        switch (c.type) {
        case vb::VarType::String: return QString::fromUtf8(c.text, c.bytes);
        case vb::VarType::Null:
        case vb::VarType::Empty: return QString();
        default: return vb::CStr(Statement::variantOf(c));
        }
    }
    QVector<vb::Variant> row(int row) const
    {
        QVector<vb::Variant> out(m_columns);
        for (int i = 0; i < m_columns; ++i)
            out[i] = value(row, i);
        return out;
    }
    // A re-read record: appended, or in place of `row` (its old texts stay in their block).
    void setRow(int row, const QVector<vb::Variant> &values)
    {
        const size_t end = size_t(m_rows) * size_t(m_columns);
        for (int i = 0; i < m_columns; ++i) {
            const vb::Variant &v = values.at(i);
            if (v.isString()) {
                const QByteArray utf8 = v.rawString().toUtf8();
                append(Statement::Cell{vb::VarType::String, 0, utf8.constData(), int(utf8.size())});
            } else {
                append(Statement::Cell{v.isArray() ? vb::VarType::Null : v.type(), v.rawNumber(), nullptr, 0});
            }
        }
        if (row >= m_rows) {
            endRow();
            return;
        }
        for (size_t i = 0; i < size_t(m_columns); ++i) {
            const size_t from = end + i, to = size_t(row) * size_t(m_columns) + i;
            Block &f = *m_blocks[from / BlockCells];
            Block &t = *m_blocks[to / BlockCells];
            t.type[to % BlockCells] = f.type[from % BlockCells];
            t.payload[to % BlockCells] = f.payload[from % BlockCells];
        }
        for (int i = 0; i < m_columns; ++i) {  // drop the appended copy
            if (m_used == 0) {
                m_blocks.pop_back();
                m_used = BlockCells;
            }
            --m_used;
        }
    }

private:
    static constexpr size_t BlockCells = 4096;
    static constexpr size_t TextBlock = 64 * 1024;
    struct TextRef {
        quint16 block;   // in m_texts
        quint16 offset;  // in a block of TextBlock bytes; a longer text has a block of its own
        quint32 bytes;
    };
    union Payload {
        double number;
        TextRef text;
        char inlined[8];
    };
    // Type byte of a text kept in its payload; the low bits are its length.
    static constexpr quint8 InlineText = 0x80;
    static_assert(sizeof(Payload) == 8);
    struct Block {
        Payload payload[BlockCells];
        quint8 type[BlockCells];
    };

    TextRef keep(const char *text, int bytes)
    {
        const size_t size = size_t(std::max(bytes, 0));
        if (m_texts.size() >= 0xffff)
            refuse(vb::err::OutOfMemory, QStringLiteral("The result's texts are too large."));
        if (size > TextBlock / 4) {  // a long text has a block of its own
            m_texts.push_back(std::make_unique_for_overwrite<char[]>(size));
            std::memcpy(m_texts.back().get(), text, size);
            return TextRef{quint16(m_texts.size() - 1), 0, quint32(size)};
        }
        if (size > TextBlock - m_textUsed) {
            m_texts.push_back(std::make_unique_for_overwrite<char[]>(TextBlock));
            m_current = quint16(m_texts.size() - 1);
            m_textUsed = 0;
        }
        const TextRef ref{m_current, quint16(m_textUsed), quint32(size)};
        if (size > 0)
            std::memcpy(m_texts[m_current].get() + m_textUsed, text, size);
        m_textUsed += size;
        return ref;
    }

    int m_columns = 0;
    int m_rows = 0;
    std::vector<std::unique_ptr<Block>> m_blocks;
    size_t m_used = BlockCells;  // cells used in the last block
    std::vector<std::unique_ptr<char[]>> m_texts;
    quint16 m_current = 0;          // the text block being filled
    size_t m_textUsed = TextBlock;  // bytes used in it
};

[[noreturn]] void noCurrentRecord()
{
    raise(vb::err::NoCurrentRecord, QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

}  // namespace

class RecordsetData {
public:
    enum class Edit { None, Add, Change };

    std::shared_ptr<Session> session;
    CursorType cursor = CursorType::ForwardOnly;
    LockType lock = LockType::ReadOnly;
    QStringList names;
    QHash<QString, int> byName;  // case-folded name -> first field of that name
    QVector<FieldType> types;
    QStringList origins;  // table column behind each field; empty for expressions
    CellStore rows;
    QVector<qint64> rowids;
    int pos = 0;  // -1 is BOF, rows.rowCount() is EOF
    QString target;  // engine SQL of the table updates write to; empty when not updatable
    Edit edit = Edit::None;
    QVector<vb::Variant> buffer;
    QVector<bool> dirty;

    void checkIndex(int index) const
    {
        if (index < 0 || index >= names.size())
            raise(vb::err::ItemNotFound, QStringLiteral("Item not found in this collection."));
    }
    int indexOf(const QString &name) const { return byName.value(name.toCaseFolded(), -1); }
    QVector<vb::Variant> reread(qint64 rowid)
    {
        QStringList columns;
        for (int i = 0; i < origins.size(); ++i)
            columns << (origins.at(i).isEmpty() ? QStringLiteral("NULL") : quoteName(origins.at(i)));
        Statement st(*session, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1").arg(columns.join(u", "), target));
        st.bindInt64(1, rowid);
        QVector<vb::Variant> row(names.size());
        if (st.step())
            for (int i = 0; i < names.size(); ++i)
                row[i] = origins.at(i).isEmpty() ? buffer.value(i) : st.value(i, types.at(i));
        return row;
    }
};

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset &&) noexcept = default;
Recordset &Recordset::operator=(Recordset &&) noexcept = default;

void Recordset::open(const QString &sql, const Connection &connection, CursorType cursor, LockType lock)
{
    if (!connection.isOpen())
        raise(err::ConnectionClosed, QStringLiteral("The connection is closed."));
    open(sql, connection.session(), cursor, lock);
}

void Recordset::open(const QString &sql, std::shared_ptr<Session> session, CursorType cursor, LockType lock)
{
    if (!session)
        raise(err::ConnectionClosed, QStringLiteral("The connection is closed."));
    auto data = std::make_unique<RecordsetData>();
    data->session = session;
    data->cursor = cursor;
    data->lock = lock;
    const QString text = selectFor(sql);

    std::unique_ptr<Statement> st;
    Translation t;
    if (lock != LockType::ReadOnly) {
        // Row ids let updates find their record; a set that cannot carry them is read-only.
        try {
            t = session->translate(text, true);
            if (t.hasRowid)
                st = std::make_unique<Statement>(*session, t.sql);
        } catch (const vb::Error &) {
            st.reset();
        }
    }
    if (!st) {
        t = session->translate(text);
        st = std::make_unique<Statement>(*session, t.sql);
    }
    const int first = t.hasRowid ? 1 : 0;
    const int count = st->columnCount() - first;
    if (count > MaxFields)
        refuse(err::TooManyFields, QStringLiteral("Too many fields defined."));

    QVector<std::optional<FieldType>> declared;
    for (int i = 0; i < count; ++i) {
        data->names << st->columnName(first + i);
        const QString key = data->names.last().toCaseFolded();
        if (!data->byName.contains(key))  // of two fields with one name, the first answers
            data->byName.insert(key, i);
        declared << fieldTypeOf(st->declaredType(first + i));
        data->origins << (t.hasRowid ? st->originColumn(first + i) : QString());
    }
    data->types.resize(count);
    QVector<bool> typed(count, false);
    for (int i = 0; i < count; ++i) {
        if (declared.at(i)) {
            data->types[i] = *declared.at(i);
            typed[i] = true;
        } else {
            data->types[i] = FieldType::Text;
        }
    }
    data->rows.setColumns(count);
    while (st->step()) {
        for (int i = 0; i < count; ++i) {
            const Statement::Cell cell = st->cell(first + i, declared.at(i));
            data->rows.append(cell);
            if (!typed.at(i) && cell.type != vb::VarType::Null) {
                data->types[i] = st->storedType(first + i);
                typed[i] = true;
            }
        }
        data->rows.endRow();
        if (t.hasRowid)
            data->rowids << st->int64(0);
    }
    if (t.hasRowid) {
        data->target = quoteName(t.table);
        if (const auto l = session->link(t.table))
            data->target = l->schema.isEmpty() ? QString() : quoteName(l->schema) + u'.' + quoteName(l->sourceTable);
    }
    d = std::move(data);
}

void Recordset::close()
{
    d.reset();
}

bool Recordset::isOpen() const
{
    return d != nullptr;
}

namespace {
RecordsetData &check(const std::unique_ptr<RecordsetData> &d)
{
    if (!d)
        raise(err::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    return *d;
}
}  // namespace

bool Recordset::eof() const
{
    const RecordsetData &r = check(d);
    return r.rows.isEmpty() || r.pos >= r.rows.rowCount();
}

bool Recordset::bof() const
{
    const RecordsetData &r = check(d);
    return r.rows.isEmpty() || r.pos < 0;
}

void Recordset::moveNext()
{
    RecordsetData &r = check(d);
    if (r.edit != RecordsetData::Edit::None)
        update();
    if (r.pos >= r.rows.rowCount())
        noCurrentRecord();
    ++r.pos;
}

void Recordset::movePrevious()
{
    RecordsetData &r = check(d);
    if (r.cursor == CursorType::ForwardOnly)
        raise(err::BadOperation, QStringLiteral("The cursor moves forward only."));
    if (r.edit != RecordsetData::Edit::None)
        update();
    if (r.pos < 0 || r.rows.isEmpty())
        noCurrentRecord();
    --r.pos;
}

void Recordset::moveFirst()
{
    RecordsetData &r = check(d);
    if (r.edit != RecordsetData::Edit::None)
        update();
    r.pos = 0;
}

void Recordset::moveLast()
{
    RecordsetData &r = check(d);
    if (r.edit != RecordsetData::Edit::None)
        update();
    r.pos = r.rows.isEmpty() ? 0 : r.rows.rowCount() - 1;
}

int Recordset::recordCount() const
{
    const RecordsetData &r = check(d);
    return r.cursor == CursorType::ForwardOnly ? -1 : r.rows.rowCount();
}

int Recordset::absolutePosition() const
{
    const RecordsetData &r = check(d);
    return (r.pos < 0 || r.pos >= r.rows.rowCount()) ? -1 : r.pos;
}

int Recordset::fieldCount() const
{
    return check(d).names.size();
}

QString Recordset::fieldName(int index) const
{
    const RecordsetData &r = check(d);
    r.checkIndex(index);
    return r.names.at(index);
}

QStringList Recordset::fieldNames() const
{
    return check(d).names;
}

FieldType Recordset::fieldType(int index) const
{
    const RecordsetData &r = check(d);
    r.checkIndex(index);
    return r.types.at(index);
}

int Recordset::fieldIndex(const QString &name) const
{
    return check(d).indexOf(name);
}

vb::Variant Recordset::value(int index) const
{
    const RecordsetData &r = check(d);
    r.checkIndex(index);
    if (r.edit != RecordsetData::Edit::None)
        return r.buffer.at(index);
    if (r.pos < 0 || r.pos >= r.rows.rowCount())
        noCurrentRecord();
    return r.rows.value(r.pos, index);
}

QString Recordset::text(int index) const
{
    const RecordsetData &r = check(d);
    r.checkIndex(index);
    if (r.edit != RecordsetData::Edit::None) {
        const vb::Variant &v = r.buffer.at(index);
        return v.isNull() || v.isEmpty() ? QString() : vb::CStr(v);
    }
    if (r.pos < 0 || r.pos >= r.rows.rowCount())
        noCurrentRecord();
    return r.rows.text(r.pos, index);
}

vb::Variant Recordset::value(const QString &name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        raise(vb::err::ItemNotFound, QStringLiteral("Item '%1' not found in this collection.").arg(name), name);
    return value(index);
}

void Recordset::addNew()
{
    RecordsetData &r = check(d);
    if (r.lock == LockType::ReadOnly || r.target.isEmpty())
        raise(err::ReadOnly, QStringLiteral("Cannot update. Database or object is read-only."));
    if (r.edit != RecordsetData::Edit::None)
        update();
    r.edit = RecordsetData::Edit::Add;
    r.buffer = QVector<vb::Variant>(r.names.size(), vb::Variant::null());
    r.dirty = QVector<bool>(r.names.size(), false);
}

void Recordset::setValue(int index, const vb::Variant &value)
{
    RecordsetData &r = check(d);
    r.checkIndex(index);
    if (r.lock == LockType::ReadOnly || r.target.isEmpty())
        raise(err::ReadOnly, QStringLiteral("Cannot update. Database or object is read-only."));
    if (r.origins.at(index).isEmpty())
        raise(err::FieldNotUpdatable, QStringLiteral("Field '%1' cannot be updated.").arg(r.names.at(index)), r.names.at(index));
    if (r.edit == RecordsetData::Edit::None) {
        if (r.pos < 0 || r.pos >= r.rows.rowCount())
            noCurrentRecord();
        r.edit = RecordsetData::Edit::Change;
        r.buffer = r.rows.row(r.pos);
        r.dirty = QVector<bool>(r.names.size(), false);
    }
    r.buffer[index] = convertFor(r.types.at(index), value);
    r.dirty[index] = true;
}

void Recordset::setValue(const QString &name, const vb::Variant &value)
{
    const int index = fieldIndex(name);
    if (index < 0)
        raise(vb::err::ItemNotFound, QStringLiteral("Item '%1' not found in this collection.").arg(name), name);
    setValue(index, value);
}

void Recordset::update()
{
    RecordsetData &r = check(d);
    if (r.edit == RecordsetData::Edit::None)
        raise(err::NoEditInProgress, QStringLiteral("Update without AddNew or Edit."));
    QStringList columns;
    QVector<vb::Variant> values;
    for (int i = 0; i < r.names.size(); ++i) {
        if (r.dirty.at(i)) {
            columns << quoteName(r.origins.at(i));
            values << r.buffer.at(i);
        }
    }
    // Leave edit mode first: a failed write must not be retried by the next move.
    const RecordsetData::Edit edit = r.edit;
    r.edit = RecordsetData::Edit::None;
    if (edit == RecordsetData::Edit::Add) {
        QString sql;
        if (columns.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(r.target);
        } else {
            QStringList marks;
            for (int i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?%1").arg(i + 1);
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(r.target, columns.join(u", "), marks.join(u", "));
        }
        Statement st(*r.session, sql);
        for (int i = 0; i < values.size(); ++i)
            st.bind(i + 1, values.at(i));
        st.step();
        const qint64 rowid = sqlite3_last_insert_rowid(r.session->handle());
        r.rows.setRow(r.rows.rowCount(), r.reread(rowid));
        r.rowids << rowid;
        r.pos = r.rows.rowCount() - 1;
    } else {
        if (!columns.isEmpty()) {
            QStringList sets;
            for (int i = 0; i < columns.size(); ++i)
                sets << QStringLiteral("%1 = ?%2").arg(columns.at(i)).arg(i + 1);
            Statement st(*r.session, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                                         .arg(r.target, sets.join(u", ")).arg(columns.size() + 1));
            for (int i = 0; i < values.size(); ++i)
                st.bind(i + 1, values.at(i));
            st.bindInt64(columns.size() + 1, r.rowids.at(r.pos));
            st.step();
        }
        r.rows.setRow(r.pos, r.reread(r.rowids.at(r.pos)));
    }
}

void Recordset::cancelUpdate()
{
    RecordsetData &r = check(d);
    r.edit = RecordsetData::Edit::None;
}

}  // namespace jet
