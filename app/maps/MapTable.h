// The map table "tMappa" of the user database: re-created at each drawing, filled, dropped on reset and close.
#pragma once

#include "MapClasses.h"

#include "jet/Database.h"
#include "vb/Conversions.h"

#include <QString>
#include <QVector>
#include <algorithm>
#include <optional>

namespace pendra {

// One territory of a drawing: its code, its value and its class (none: drawn as no data).
struct MapTableRow {
    QString code;
    double value = 0;
    std::optional<int> classNumber;
};

// The rows of a drawing from the territory codes and the mapped cells of datagrid2 (same indexes,
// 0 the header), over rows first to end - 1; empty cells give no row. classOf(row, value) gives the
// class. A cell the locale cannot read throws error 13.
template <typename ClassOf>
QVector<MapTableRow> MapTableRows(const QStringList &codes, const MapColumn &cells, int first, int end,
                                  ClassOf classOf);

// Works on "qxt_utente.mdb" in the given Files folder, opened with the DAO connect string at the
// first call and kept open for the later calls on the same object (a drawing drops, creates, fills
// and reads back the table through one handle); closed when the object goes. Errors throw vb::Error.
class MapTable {
public:
    static inline const QString MapTableName = QStringLiteral("tMappa");

    MapTable(const QString &filesPath, const QString &daoConnect);

    // A handle of its own, apart from the one the calls below share.
    jet::Database OpenUserDb() const;
    // The handle the calls below share.
    jet::Database &UserDb() const;
    bool exists() const;
    // Drops the table if it exists and creates it: N_QUIRN (Single for provinces, map kind 2; Text
    // for NUTS2 and regions, kinds 3 and 4; left out otherwise), the value field named valueField
    // (Double), N4 (Integer).
    void SaveMapQuery(int mapKind, const QString &valueField) const;
    // Writes the rows with one prepared insert in one transaction; nothing stays written on failure.
    void FillMapQuery(int mapKind, const QVector<MapTableRow> &rows) const;
    // Drops the table; a missing table is no error.
    void DeleteMapQuery() const;

    // From its start to finish() the calls above on that object write in one transaction, so a
    // drawing goes to disk once. Each call's effect stays as if it had been written alone: a failed
    // fill undoes only its own rows, and a failure that leaves the scope keeps what came before it.
    class Batch {
    public:
        explicit Batch(const MapTable &table);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
        void finish();

    private:
        const MapTable &m_table;
    };

private:
    enum class BatchState { None, Pending, Open };
    // The shared handle, with the batch's transaction begun at its first write.
    jet::Database &writeDb() const;

    QString m_path;
    QString m_connect;
    mutable jet::Database m_db;
    mutable BatchState m_batch = BatchState::None;
};

template <typename ClassOf>
QVector<MapTableRow> MapTableRows(const QStringList &codes, const MapColumn &cells, int first, int end,
                                  ClassOf classOf)
{
    QVector<MapTableRow> rows;
    end = std::min(end, int(cells.size()));
    for (int row = std::max(first, 1); row < end; ++row) {
        if (cells[row].trimmed().isEmpty())
            continue;
        MapTableRow out;
        out.code = codes.value(row);
        out.value = vb::CDbl(vb::Variant(cells[row]));
        out.classNumber = classOf(row, out.value);
        rows.append(out);
    }
    return rows;
}

}  // namespace pendra
