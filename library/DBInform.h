// Per-database settings read from table DbConfigs of the metadata database.
#pragma once

#include "library/Module.h"

#include "com/Object.h"

#include <QVector>

namespace kvr {

// Errors reach the caller (as error info). Reload rule: the stored rows are cut to exactly the
// indexes 0..i before row i is read, so a StartConn that fails on row i leaves the rows 0..i-1 just
// read and, at index i, the old row 0 when i is 0 and no row otherwise (never part of the failed
// row); Dbcount keeps its previous value. One that fails before reading a row changes nothing. A
// getter before a successful StartConn or for a name in no stored row of 0..Dbcount-1 fails with
// error 9. Names are compared in lower case, untrimmed.
class DBInform final : public com::Object<_DBInform> {
public:
    DBInform();

    HRESULT StartConn(QString *ConnString, QString *DBMainPath, QString *DbName) override;
    HRESULT get_DelvaVar(QString *Cdbname, QString *result) override;
    HRESULT get_CodDelva(QString *Cdbname, QString *result) override;
    HRESULT get_DelvaStop(QString *Cdbname, qint16 *result) override;
    HRESULT get_Num_quirn(QString *Cdbname, QString *result) override;
    HRESULT get_Class(QString *Cdbname, QString *result) override;
    HRESULT get_Cens(QString *Cdbname, QString *result) override;
    HRESULT get_Dbcount(qint16 *result) override;
    HRESULT get_HasTipo(QString *Cdbname, bool *result) override;
    HRESULT get_HasYears(QString *Cdbname, bool *result) override;
    HRESULT get_HasTiposName(QString *Cdbname, QString *result) override;

private:
    struct Row {
        QString dbName;
        QString delvaVar;
        QString codDelva;
        QString numQuirn;
        QString cls;
        QString cens;
        qint16 delvaStop = 0;
        bool hasTipo = false;
        bool hasYears = false;
        QString hasTiposName;
        bool stored = false;  // false: an index the cut made that no row filled
    };

    void load(const QString &connectString);
    int dbIndex(const QString &name) const;  // error 9 when no row of 0..Dbcount-1 has the name
    template <class T>
    HRESULT answer(const QString *name, T Row::*column, T *result) const;

    QVector<Row> m_rows;
    qint16 m_dbcount = 0;
};

}  // namespace kvr
