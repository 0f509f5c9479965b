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
    // without regard to letter case. Links recorded in the file are attached on open.
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
    // Creates a local table, or records a link when td.connect is set. Appending a link whose
    // source database or source table is missing fails (error 3024 / 3011 style), as does a name
    // that already exists.
    void appendTableDef(const TableDef &td);
    // Deletes a local table or a link; an unknown name is error 3265.
    void deleteTableDef(const QString &name);

    // Saved queries (views).
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
