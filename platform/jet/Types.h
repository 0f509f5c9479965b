// Field types and cursor/lock options shared by both access paths (ADO-like and DAO-like).
#pragma once

#include <QString>
#include <QVector>

namespace jet {

enum class FieldType { Text, Memo, Byte, Integer, Long, Single, Double, Boolean, Date };

enum class CursorType { ForwardOnly = 0, Keyset = 1, Dynamic = 2, Static = 3 };
enum class LockType { ReadOnly = 1, Pessimistic = 2, Optimistic = 3, BatchOptimistic = 4 };

// A field of a table definition. size 0 means the engine's default (255 for Text).
struct Field {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;
};

// A table definition: a local table (connect empty) or an attached table (a link).
struct TableDef {
    QString name;
    QString connect;          // "ms access;pwd=...;DATABASE=/path/Source.mdb" for a link
    QString sourceTableName;  // the linked table in the source database
    QVector<Field> fields;
    bool isLink() const { return !connect.isEmpty(); }
};

}  // namespace jet
