// The four entry points of the component library: class objects, unloading and self-registration.
#include "Module.h"

#include "library/DBInform.h"
#include "library/Files.h"
#include "library/cls_Bordo.h"
#include "library/cls_Leggenda.h"
#include "library/cls_Titolo.h"

#include "com/ClassFactory.h"
#include "com/Registry.h"

namespace kvr {

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

HRESULT failWith(const vb::Error &e, const char *className)
{
    const QString source = e.source().isEmpty()
        ? QLatin1String(ids::TypeLibName) + QLatin1Char('.') + QLatin1String(className)
        : e.source();
    const qint32 number = e.number() == 0 ? com::E_FAIL : e.number();  // a failure must not read as success
    com::setErrorInfo(number, e.description(), source);
    return com::hresultFromVbError(number);
}

namespace {

struct ClassInfo {
    const com::Guid &clsid;
    const com::Guid &iid;
    const char *name;
    com::IClassFactory *(*factory)();
};

template <class T>
com::IClassFactory *makeFactory()
{
    return new com::ClassFactory<T>(&serverLocks);
}

const ClassInfo classes[] = {
    {buildIds::CLSID_cls_Bordo, buildIds::IID_cls_Bordo, "cls_Bordo", &makeFactory<cls_Bordo>},
    {buildIds::CLSID_cls_Leggenda, buildIds::IID_cls_Leggenda, "cls_Leggenda", &makeFactory<cls_Leggenda>},
    {buildIds::CLSID_cls_Titolo, buildIds::IID_cls_Titolo, "cls_Titolo", &makeFactory<cls_Titolo>},
    {buildIds::CLSID_Files, buildIds::IID_Files, "Files", &makeFactory<Files>},
    {buildIds::CLSID_DBInform, buildIds::IID_DBInform, "DBInform", &makeFactory<DBInform>},
};

QString selfPath()
{
    return com::libraryPathOf(reinterpret_cast<const void *>(&selfPath));
}

}  // namespace
}  // namespace kvr

COM_EXPORT com::HRESULT DllGetClassObject(const com::Guid *clsid, const com::Guid *iid, void **object)
{
    if (!clsid || !iid || !object)
        return com::E_POINTER;
    *object = nullptr;
    for (const kvr::ClassInfo &c : kvr::classes) {
        if (c.clsid == *clsid) {
            com::IClassFactory *factory = c.factory();
            const com::HRESULT hr = factory->QueryInterface(*iid, object);
            factory->Release();
            return hr;
        }
    }
    return com::CLASS_E_CLASSNOTAVAILABLE;
}

COM_EXPORT com::HRESULT DllCanUnloadNow()
{
    return kvr::liveObjects == 0 && kvr::serverLocks == 0 ? com::S_OK : com::S_FALSE;
}

COM_EXPORT com::HRESULT DllRegisterServer()
{
    return kvr::guarded("DllRegisterServer", [] {
        const QString self = kvr::selfPath();
        QVector<com::ClassEntry> entries;
        for (const kvr::ClassInfo &c : kvr::classes) {
            com::ClassEntry e;
            e.clsid = c.clsid;
            e.iid = c.iid;
            e.name = QLatin1String(c.name);
            e.library = self;
            e.libid = kvr::buildIds::LIBID;
            e.typeLibName = QLatin1String(kvr::ids::TypeLibName);
            e.typeLibVersion = QLatin1String(kvr::ids::TypeLibVersion);
            e.lcid = kvr::ids::TypeLibLcid;
            entries.append(e);
        }
        // A class dropped from a rebuilt library must not stay registered for it.
        com::unregisterLibrary(self);
        com::registerClasses(entries);
    });
}

COM_EXPORT com::HRESULT DllUnregisterServer()
{
    return kvr::guarded("DllUnregisterServer", [] { com::unregisterLibrary(kvr::selfPath()); });
}
