// Creates one local table in a database and appends rows to it.
#pragma once

#include "jet/Database.h"
#include "vb/Variant.h"

#include <QString>
#include <QVector>

namespace atlas {

class TableWriter {
public:
    // Creates the table (it must not exist). Throws vb::Error from the engine.
    TableWriter(jet::Database &db, const QString &name, const QVector<jet::Field> &fields);

    // One value per field, in field order; vb::Variant::null() for Null.
    void append(const QVector<vb::Variant> &row);

    static jet::Field text(const QString &name, int size = 255) { return {name, jet::FieldType::Text, size}; }
    static jet::Field memo(const QString &name) { return {name, jet::FieldType::Memo, 0}; }
    static jet::Field integer(const QString &name) { return {name, jet::FieldType::Integer, 0}; }
    static jet::Field longInt(const QString &name) { return {name, jet::FieldType::Long, 0}; }
    static jet::Field real(const QString &name) { return {name, jet::FieldType::Double, 0}; }
    static jet::Field boolean(const QString &name) { return {name, jet::FieldType::Boolean, 0}; }

private:
    jet::Recordset m_rows;
    int m_fieldCount;
};

}  // namespace atlas
