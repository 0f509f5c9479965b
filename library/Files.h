// The lookup lists of the system, loaded from "metadati.mdb", "territorio.mdb" and "area.kvr".
#pragma once

#include "library/Module.h"

#include "com/Object.h"

#include <QStringList>

namespace jet {
class Connection;
}

namespace kvr {

// A list is a zero-based array of rows, a row a zero-based array of texts; an empty source gives
// one element holding nothing, a list never loaded is undimensioned. Getters return copies.
// The loading methods never fail: a connection that cannot be opened or closed is recorded in
// ErrorNumber / ErrorDescription (never reset), a list that cannot be read is skipped.
// The tracing build has no File_territorio{var,ind}{reg,prov} and writes trace lines.
class Files final : public com::Object<FilesInterface> {
public:
    Files();

    HRESULT get_ConnString(vb::Variant *result) override;
    HRESULT put_TXTPath(vb::Variant value) override;
    HRESULT put_ConnString(vb::Variant value) override;
    HRESULT get_File_anno(vb::Variant *result) override;
    HRESULT get_File_annosll(vb::Variant *result) override;
    HRESULT get_File_area(vb::Variant *result) override;
    HRESULT get_File_ARGsll(vb::Variant *result) override;
    HRESULT get_File_Cens96(vb::Variant *result) override;
    HRESULT get_File_classi(vb::Variant *result) override;
    HRESULT get_File_elencom(vb::Variant *result) override;
    HRESULT get_File_elencosll(vb::Variant *result) override;
    HRESULT get_File_ELEPATTI(vb::Variant *result) override;
    HRESULT get_File_ELEPIT(vb::Variant *result) override;
    HRESULT get_File_SISTEMI(vb::Variant *result) override;  // always undimensioned
    HRESULT get_File_varia(vb::Variant *result) override;    // always undimensioned
    HRESULT get_File_territorio(vb::Variant *result) override;
#ifndef KVR_TRACE
    HRESULT get_File_territoriovarreg(vb::Variant *result) override;
    HRESULT get_File_territoriovarprov(vb::Variant *result) override;
    HRESULT get_File_territorioindprov(vb::Variant *result) override;
    HRESULT get_File_territorioindreg(vb::Variant *result) override;
#endif
    HRESULT get_File_partizioni(vb::Variant *result) override;
    HRESULT get_ErrorNumber(qint32 *result) override;
    HRESULT get_ErrorDescription(QString *result) override;
    HRESULT FillFiles() override;
    // Reloads the list that FileName names from the table (or, for area, the text file) TableName;
    // a FileName outside 1 to 10 reads the table from "metadati.mdb" and changes no list.
    HRESULT ReFillFile(QString *TableName, RefillCase *FileName) override;
    // Index of the first row of File_area whose item 0 is MyNameIndex without its blanks
    // (case-sensitive); 0 when none matches or on any error.
    HRESULT GetAreaIndexDate(QString *MyNameIndex, qint16 *result) override;

    enum List {
        Anno, Annosll, Area, ARGsll_, Cens96, Classi, Elencom, Elencosll, Elepatti, Elepit,
        Territorio, Partizioni, Territoriovarreg, Territoriovarprov, Territorioindreg,
        Territorioindprov, ListCount
    };

    // A list as loaded: each row is kept as the text its items are split from on ";", so a list
    // of thousands of territories costs one string per row; the rows are split when a copy is
    // handed out.
    struct StoredList {
        bool loaded = false;  // undimensioned until then; loaded without rows, one empty element
        QStringList rows;
    };

private:
    HRESULT copyOut(List list, vb::Variant *result) const;
    // Loads one list; never throws and records nothing (the target keeps what was read).
    void fillArray(const QString &source, StoredList &target, const jet::Connection &connection,
                   bool textFile) const;
    void recordError(const vb::Error &e);

    QString m_connString;
    QString m_txtPath;
    StoredList m_lists[ListCount];
    qint32 m_errorNumber = 0;
    QString m_errorDescription;
};

}  // namespace kvr
