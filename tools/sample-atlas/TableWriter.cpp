// Rows go in through an updatable record set, so the engine converts each value to its field.
#include "TableWriter.h"

#include "vb/Error.h"

namespace atlas {

TableWriter::TableWriter(jet::Database &db, const QString &name, const QVector<jet::Field> &fields)
    : m_fieldCount(int(fields.size())) {
    jet::TableDef def;
    def.name = name;
    def.fields = fields;
    db.appendTableDef(def);
    m_rows = db.openRecordset(name, false);
}

void TableWriter::append(const QVector<vb::Variant> &row) {
    if (row.size() != m_fieldCount)
        throw vb::Error(vb::err::SubscriptOutOfRange,
                        QStringLiteral("%1 values for %2 fields").arg(row.size()).arg(m_fieldCount),
                        QStringLiteral("TableWriter"));
    m_rows.addNew();
    for (int i = 0; i < m_fieldCount; ++i)
        m_rows.setValue(i, row[i]);
    m_rows.update();
}

}  // namespace atlas
