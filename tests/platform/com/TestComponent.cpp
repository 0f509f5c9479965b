// A minimal component library for the loader tests: a counter class and a second class.
#include "TestComponent.h"

#include "com/ClassFactory.h"
#include "com/Registry.h"
#include "vb/Error.h"

namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

class Counter final : public com::Object<testcomp::ICounter> {
public:
    Counter() : Object(testcomp::IID_ICounter, &g_objects) {}
    com::HRESULT Add(qint32 value, qint32 *total) override
    {
        m_total += value;
        *total = m_total;
        return com::S_OK;
    }
    com::HRESULT Fail(qint32 number) override
    {
        com::setErrorInfo(number, QStringLiteral("Test failure %1").arg(number), QStringLiteral("TestComponent"));
        return com::hresultFromVbError(number);
    }

private:
    qint32 m_total = 0;
};

QVector<com::ClassEntry> classes()
{
    const QString self = com::libraryPathOf(reinterpret_cast<const void *>(&classes));
    return {testcomp::entry(testcomp::CLSID_Counter, self, QStringLiteral("Counter")),
            testcomp::entry(testcomp::CLSID_Other, self, QStringLiteral("Other"))};
}

}  // namespace

COM_EXPORT com::HRESULT DllGetClassObject(const com::Guid *clsid, const com::Guid *iid, void **object)
{
    if (!object)
        return com::E_POINTER;
    *object = nullptr;
    if (*clsid != testcomp::CLSID_Counter && *clsid != testcomp::CLSID_Other)
        return com::CLASS_E_CLASSNOTAVAILABLE;
    auto *factory = new com::ClassFactory<Counter>(&g_locks);
    const com::HRESULT hr = factory->QueryInterface(*iid, object);
    factory->Release();
    return hr;
}

COM_EXPORT com::HRESULT DllCanUnloadNow()
{
    return g_objects == 0 && g_locks == 0 ? com::S_OK : com::S_FALSE;
}

COM_EXPORT com::HRESULT DllRegisterServer()
{
    try {
        com::registerClasses(classes());
        return com::S_OK;
    } catch (const vb::Error &e) {
        com::setErrorInfo(e.number(), e.description(), e.source());
        return com::hresultFromVbError(e.number());
    }
}

COM_EXPORT com::HRESULT DllUnregisterServer()
{
    try {
        com::unregisterLibrary(com::libraryPathOf(reinterpret_cast<const void *>(&classes)));
        return com::S_OK;
    } catch (const vb::Error &e) {
        com::setErrorInfo(e.number(), e.description(), e.source());
        return com::hresultFromVbError(e.number());
    }
}
