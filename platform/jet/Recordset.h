// Record set over a query result or a table: navigation, fields by position or name, updates.
#pragma once

#include "Types.h"
#include "vb/Variant.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

namespace jet {

class Connection;
class Session;
class RecordsetData;

// The result is read when the set opens (the engine's data sets are small); a static, keyset or
// dynamic cursor knows its record count, a forward-only one answers -1 as ADO does. Field lookup
// by name ignores letter case. Null values are vb::Variant::null(), distinct from empty text.
// Values come back as the Variant of the declared field type (Text -> String, Integer -> Integer,
// Long -> Long, Single -> Single, Double -> Double, Boolean -> Boolean, Date -> String as stored);
// expression results by their value (integer -> Long, or Double when it does not fit).
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset &&) noexcept;
    Recordset &operator=(Recordset &&) noexcept;

    // Opens a SELECT in the Jet dialect (or a bare table name) on an open connection.
    // A result of more than 255 columns is refused with &H80004005.
    void open(const QString &sql, const Connection &connection,
              CursorType cursor = CursorType::ForwardOnly, LockType lock = LockType::ReadOnly);
    void open(const QString &sql, std::shared_ptr<Session> session,
              CursorType cursor = CursorType::ForwardOnly, LockType lock = LockType::ReadOnly);
    void close();
    bool isOpen() const;

    bool eof() const;
    bool bof() const;
    void moveNext();      // past the last record: EOF; moving at EOF is error 3021
    void movePrevious();  // forward-only: error
    void moveFirst();
    void moveLast();
    int recordCount() const;  // -1 for a forward-only cursor
    int absolutePosition() const;  // 0-based index of the current record, -1 at BOF/EOF

    int fieldCount() const;
    QString fieldName(int index) const;  // error 3265 outside 0..fieldCount-1
    QStringList fieldNames() const;
    FieldType fieldType(int index) const;
    int fieldIndex(const QString &name) const;  // -1 when absent
    vb::Variant value(int index) const;          // error 3021 at BOF/EOF, 3265 bad index
    // The value as CStr writes it, Null as empty text: a grid's cell without a Variant between.
    QString text(int index) const;
    vb::Variant value(const QString &name) const;  // error 3265 unknown name

    // Updates, on a set opened with an Optimistic or Pessimistic lock over one table or link
    // (a bare name, or a SELECT without joins, grouping, DISTINCT or aggregates); other sets
    // refuse them with error 3027, expression columns with 3164. setValue without addNew edits the
    // current record. Texts set into numeric fields convert in the user's locale ("12,50" stores
    // 12.5 on an Italian system); a text that does not convert is error 13. After update() the
    // saved record is current; moving while a change is pending saves it first.
    void addNew();
    void setValue(int index, const vb::Variant &value);
    void setValue(const QString &name, const vb::Variant &value);
    void update();
    void cancelUpdate();

private:
    std::unique_ptr<RecordsetData> d;
};

}  // namespace jet
