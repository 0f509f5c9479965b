// Interfaces of the component library KVR_UTIL_prov (and its tracing build KVR_UTIL).
// Members follow the interface order; each returns a status code and passes results through
// pointers, as dual automation interfaces do. Failures set com error info (see com::check).
#pragma once

#include "com/Com.h"
#include "vb/Variant.h"

#include <QString>

namespace kvr {

enum RefillCase : qint32 {
    anno = 1, annosll = 2, area = 3, ARGsll = 4, CensArg = 5, classi = 6,
    elencom = 7, elencosll = 8, ELEPATTI = 9, ELEPIT = 10
};
enum DBConfig : qint32 { DBMetadati = 1, DBTerritorio = 2 };

using com::HRESULT;

// _Files of KVR_UTIL_prov: 26 members.
class _Files : public com::IUnknown {
public:
    virtual HRESULT get_ConnString(vb::Variant *result) = 0;             // 1
    virtual HRESULT put_TXTPath(vb::Variant value) = 0;                  // 2
    virtual HRESULT put_ConnString(vb::Variant value) = 0;               // 3
    virtual HRESULT get_File_anno(vb::Variant *result) = 0;              // 4
    virtual HRESULT get_File_annosll(vb::Variant *result) = 0;           // 5
    virtual HRESULT get_File_area(vb::Variant *result) = 0;              // 6
    virtual HRESULT get_File_ARGsll(vb::Variant *result) = 0;            // 7
    virtual HRESULT get_File_Cens96(vb::Variant *result) = 0;            // 8
    virtual HRESULT get_File_classi(vb::Variant *result) = 0;            // 9
    virtual HRESULT get_File_elencom(vb::Variant *result) = 0;           // 10
    virtual HRESULT get_File_elencosll(vb::Variant *result) = 0;         // 11
    virtual HRESULT get_File_ELEPATTI(vb::Variant *result) = 0;          // 12
    virtual HRESULT get_File_ELEPIT(vb::Variant *result) = 0;            // 13
    virtual HRESULT get_File_SISTEMI(vb::Variant *result) = 0;           // 14
    virtual HRESULT get_File_varia(vb::Variant *result) = 0;             // 15
    virtual HRESULT get_File_territorio(vb::Variant *result) = 0;        // 16
    virtual HRESULT get_File_territoriovarreg(vb::Variant *result) = 0;  // 17
    virtual HRESULT get_File_territoriovarprov(vb::Variant *result) = 0; // 18
    virtual HRESULT get_File_territorioindprov(vb::Variant *result) = 0; // 19
    virtual HRESULT get_File_territorioindreg(vb::Variant *result) = 0;  // 20
    virtual HRESULT get_File_partizioni(vb::Variant *result) = 0;        // 21
    virtual HRESULT get_ErrorNumber(qint32 *result) = 0;                 // 22
    virtual HRESULT get_ErrorDescription(QString *result) = 0;           // 23
    virtual HRESULT FillFiles() = 0;                                     // 24
    virtual HRESULT ReFillFile(QString *TableName, RefillCase *FileName) = 0;        // 25
    virtual HRESULT GetAreaIndexDate(QString *MyNameIndex, qint16 *result) = 0;      // 26
};

namespace trace {
// _Files of the tracing build KVR_UTIL: the same members in the same order, without the four
// lists File_territoriovarreg, File_territoriovarprov, File_territorioindprov, File_territorioindreg.
class _Files : public com::IUnknown {
public:
    virtual HRESULT get_ConnString(vb::Variant *result) = 0;
    virtual HRESULT put_TXTPath(vb::Variant value) = 0;
    virtual HRESULT put_ConnString(vb::Variant value) = 0;
    virtual HRESULT get_File_anno(vb::Variant *result) = 0;
    virtual HRESULT get_File_annosll(vb::Variant *result) = 0;
    virtual HRESULT get_File_area(vb::Variant *result) = 0;
    virtual HRESULT get_File_ARGsll(vb::Variant *result) = 0;
    virtual HRESULT get_File_Cens96(vb::Variant *result) = 0;
    virtual HRESULT get_File_classi(vb::Variant *result) = 0;
    virtual HRESULT get_File_elencom(vb::Variant *result) = 0;
    virtual HRESULT get_File_elencosll(vb::Variant *result) = 0;
    virtual HRESULT get_File_ELEPATTI(vb::Variant *result) = 0;
    virtual HRESULT get_File_ELEPIT(vb::Variant *result) = 0;
    virtual HRESULT get_File_SISTEMI(vb::Variant *result) = 0;
    virtual HRESULT get_File_varia(vb::Variant *result) = 0;
    virtual HRESULT get_File_territorio(vb::Variant *result) = 0;
    virtual HRESULT get_File_partizioni(vb::Variant *result) = 0;
    virtual HRESULT get_ErrorNumber(qint32 *result) = 0;
    virtual HRESULT get_ErrorDescription(QString *result) = 0;
    virtual HRESULT FillFiles() = 0;
    virtual HRESULT ReFillFile(QString *TableName, RefillCase *FileName) = 0;
    virtual HRESULT GetAreaIndexDate(QString *MyNameIndex, qint16 *result) = 0;
};
}  // namespace trace

class _DBInform : public com::IUnknown {
public:
    virtual HRESULT StartConn(QString *ConnString, QString *DBMainPath, QString *DbName) = 0;
    virtual HRESULT get_DelvaVar(QString *Cdbname, QString *result) = 0;
    virtual HRESULT get_CodDelva(QString *Cdbname, QString *result) = 0;
    virtual HRESULT get_DelvaStop(QString *Cdbname, qint16 *result) = 0;
    virtual HRESULT get_Num_quirn(QString *Cdbname, QString *result) = 0;
    virtual HRESULT get_Class(QString *Cdbname, QString *result) = 0;
    virtual HRESULT get_Cens(QString *Cdbname, QString *result) = 0;
    virtual HRESULT get_Dbcount(qint16 *result) = 0;
    virtual HRESULT get_HasTipo(QString *Cdbname, bool *result) = 0;
    virtual HRESULT get_HasYears(QString *Cdbname, bool *result) = 0;
    virtual HRESULT get_HasTiposName(QString *Cdbname, QString *result) = 0;
};

class _cls_Titolo : public com::IUnknown {
public:
    virtual HRESULT put_y(float value) = 0;
    virtual HRESULT get_y(float *result) = 0;
    virtual HRESULT put_X(float value) = 0;
    virtual HRESULT get_X(float *result) = 0;
    virtual HRESULT put_FontSize(QString value) = 0;
    virtual HRESULT get_FontSize(QString *result) = 0;
    virtual HRESULT put_FontName(QString value) = 0;
    virtual HRESULT get_FontName(QString *result) = 0;
    virtual HRESULT put_Testo(QString value) = 0;
    virtual HRESULT get_Testo(QString *result) = 0;
    virtual HRESULT put_Colore(double value) = 0;
    virtual HRESULT get_Colore(double *result) = 0;
};

class _cls_Bordo : public com::IUnknown {
public:
    virtual HRESULT put_MargineSuperiore(float value) = 0;
    virtual HRESULT get_MargineSuperiore(float *result) = 0;
    virtual HRESULT put_MargineInferiore(float value) = 0;
    virtual HRESULT get_MargineInferiore(float *result) = 0;
    virtual HRESULT put_MargineDestro(float value) = 0;
    virtual HRESULT get_MargineDestro(float *result) = 0;
    virtual HRESULT put_MargineSinistro(float value) = 0;
    virtual HRESULT get_MargineSinistro(float *result) = 0;
    virtual HRESULT put_X(float value) = 0;
    virtual HRESULT get_X(float *result) = 0;
    virtual HRESULT put_Colore(double value) = 0;
    virtual HRESULT get_Colore(double *result) = 0;
};

class _cls_Leggenda : public com::IUnknown {
public:
    virtual HRESULT add(QString *LabelFontName, QString *LabelFontSize, double *LabelColor,
                        double *QuadratoColor, QString *LabelTesto, float *LabelX, float *LabelY,
                        _cls_Leggenda **result) = 0;
    virtual HRESULT get_Count(qint32 *result) = 0;
    virtual HRESULT Remove(vb::Variant *vntIndexKey) = 0;
    virtual HRESULT get_FontName(qint16 *Index, QString *result) = 0;
    virtual HRESULT put_FontName(qint16 *Index, QString value) = 0;
    virtual HRESULT get_FontSize(qint16 *Index, qint16 *result) = 0;
    virtual HRESULT put_FontSize(qint16 *Index, qint16 value) = 0;
    virtual HRESULT get_Testo(qint16 *Index, QString *result) = 0;
    virtual HRESULT put_Testo(qint16 *Index, QString value) = 0;
    virtual HRESULT get_X(qint16 *Index, float *result) = 0;
    virtual HRESULT put_X(qint16 *Index, float value) = 0;
    virtual HRESULT get_y(qint16 *Index, float *result) = 0;
    virtual HRESULT put_y(qint16 *Index, float value) = 0;
    virtual HRESULT get_Color(qint16 *Index, double *result) = 0;
    virtual HRESULT put_Color(qint16 *Index, double value) = 0;
    virtual HRESULT get_QColor(qint16 *Index, double *result) = 0;
    virtual HRESULT put_QColor(qint16 *Index, double value) = 0;
};

}  // namespace kvr
