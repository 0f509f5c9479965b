// DAO-like database: table definitions (local tables and links), saved queries, updatable sets.
#pragma once

#include "Recordset.h"
#include "Types.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <optional>

namespace jet {

class Session;

// Errors are thrown as vb::Error (see Connection.h).
class Database {
public:
    Database();
    ~Database();
    Database(Database &&) noexcept;
    Database &operator=(Database &&) noexcept;

    // OpenDatabase(path, exclusive, readOnly, "MS Access;pwd=..."). The file name is matched
    // without regard to letter case. Links recorded in the file are attached when first read.
    static Database open(const QString &path, bool exclusive = false, bool readOnly = false,
                         const QString &connect = QString());
    // A new, empty database keyed with the password (the standard passphrase format; an empty
    // password makes a plain file). Fails when the file exists.
    static Database create(const QString &path, const QString &password);

    void close();
    bool isOpen() const;
    QString path() const;

    // Table definitions, local tables and links, with their fields.
    QVector<TableDef> tableDefs() const;
    std::optional<TableDef> tableDef(const QString &name) const;  // name ignores letter case
    // The recorded connect string of the link `name`, without reaching its source; none for a
    // local table or an unknown name.
    std::optional<QString> linkConnect(const QString &name) const;
    // Creates a local table (more than 255 fields: &H80004005), or records a link when td.connect
    // is set; an empty sourceTableName links the table of the same name. Appending a link whose
    // source database is missing fails with 3024, a wrong source password with 3031, a missing
    // source table with 3011, and a name that already exists with 3010; nothing is recorded then.
    // A link whose source has vanished since stays listed (without fields) and fails when read.
    void appendTableDef(const TableDef &td);
    // Deletes a local table or a link; an unknown name is error 3265.
    void deleteTableDef(const QString &name);

    // Saved queries (views). The names are a snapshot, so deleting while walking them visits all.
    // Creating an existing name is 3012, deleting an unknown one 3265.
    QStringList queryDefNames() const;
    void createQueryDef(const QString &name, const QString &sql);
    void deleteQueryDef(const QString &name);

    int execute(const QString &sql);  // action statement in the Jet dialect
    // A table name or a SELECT; readOnly false gives an updatable set on a single table.
    Recordset openRecordset(const QString &sqlOrTable, bool readOnly = false);

    void beginTrans();
    void commitTrans();
    void rollback();

    std::shared_ptr<Session> session() const;

private:
    std::shared_ptr<Session> m_session;
};

}  // namespace jet
