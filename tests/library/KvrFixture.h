// Test support for the data library: both builds registered in a temporary registry, build
// traits for typed tests, and small password-keyed databases made on the spot.
#pragma once

#include "library/KvrUtil.h"
#include "library/KvrUtilIds.h"

#include "com/Registry.h"
#include "jet/Types.h"
#include "vb/Error.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <gtest/gtest.h>

namespace kvrtest {

const QString Password = QStringLiteral("mirabella1994");
const QString ProvLibrary = QStringLiteral(KVR_UTIL_PROV_PATH);
const QString TraceLibrary = QStringLiteral(KVR_UTIL_PATH);

// The identifiers and the Files interface of one build, for typed tests.
struct ProvBuild {
    using Files = kvr::_Files;
    static constexpr bool tracing = false;
    static inline const com::Guid &CLSID_Files = kvr::ids::CLSID_Files;
    static inline const com::Guid &IID_Files = kvr::ids::IID_Files;
    static inline const com::Guid &CLSID_DBInform = kvr::ids::CLSID_DBInform;
    static inline const com::Guid &IID_DBInform = kvr::ids::IID_DBInform;
    static inline const com::Guid &CLSID_cls_Titolo = kvr::ids::CLSID_cls_Titolo;
    static inline const com::Guid &IID_cls_Titolo = kvr::ids::IID_cls_Titolo;
    static inline const com::Guid &CLSID_cls_Bordo = kvr::ids::CLSID_cls_Bordo;
    static inline const com::Guid &IID_cls_Bordo = kvr::ids::IID_cls_Bordo;
    static inline const com::Guid &CLSID_cls_Leggenda = kvr::ids::CLSID_cls_Leggenda;
    static inline const com::Guid &IID_cls_Leggenda = kvr::ids::IID_cls_Leggenda;
};

struct TraceBuild {
    using Files = kvr::trace::_Files;
    static constexpr bool tracing = true;
    static inline const com::Guid &CLSID_Files = kvr::ids::trace::CLSID_Files;
    static inline const com::Guid &IID_Files = kvr::ids::trace::IID_Files;
    static inline const com::Guid &CLSID_DBInform = kvr::ids::trace::CLSID_DBInform;
    static inline const com::Guid &IID_DBInform = kvr::ids::trace::IID_DBInform;
    static inline const com::Guid &CLSID_cls_Titolo = kvr::ids::trace::CLSID_cls_Titolo;
    static inline const com::Guid &IID_cls_Titolo = kvr::ids::trace::IID_cls_Titolo;
    static inline const com::Guid &CLSID_cls_Bordo = kvr::ids::trace::CLSID_cls_Bordo;
    static inline const com::Guid &IID_cls_Bordo = kvr::ids::trace::IID_cls_Bordo;
    static inline const com::Guid &CLSID_cls_Leggenda = kvr::ids::trace::CLSID_cls_Leggenda;
    static inline const com::Guid &IID_cls_Leggenda = kvr::ids::trace::IID_cls_Leggenda;
};

using Builds = ::testing::Types<ProvBuild, TraceBuild>;

struct BuildName {
    template <class T>
    static std::string GetName(int)
    {
        return T::tracing ? "Tracing" : "Prov";
    }
};

// The number of the vb::Error that com::check raises for the call's status, 0 when it succeeds.
qint32 errorOf(const std::function<com::HRESULT()> &call);

// A table to create: its fields and its rows as Jet SQL value lists ("1996, Null, 'x'").
struct Table {
    QString name;
    QVector<jet::Field> fields;
    QStringList rows;
};

// Creates the database file keyed with `password`.
void makeDatabase(const QString &path, const QString &password, const QVector<Table> &tables);

// The ODBC connect-string prefix the program hands the library: it ends with the folder and "/".
QString odbcPrefix(const QString &folder, const QString &password = Password);

// Writes bytes as they are (tests spell out CR LF and Windows-1252).
void writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);

// Every element of a list as texts ("<empty>" for an element that is not a row), for comparisons.
QVector<QStringList> rowsOf(const vb::Variant &list);

}  // namespace kvrtest
