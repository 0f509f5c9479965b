// The class factory of one component class: makes new objects and answers for their interface.
#pragma once

#include "Object.h"

#include <new>

namespace com {

// T must be default-constructible and derive from Object<...>. `locks` counts LockServer calls
// of the library (for DllCanUnloadNow); the factory itself does not keep the library busy.
template <class T>
class ClassFactory final : public Object<IClassFactory> {
public:
    explicit ClassFactory(std::atomic<long> *locks) : Object(IID_IClassFactory, nullptr), m_locks(locks) {}

    HRESULT CreateInstance(IUnknown *outer, const Guid &iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        T *instance = new (std::nothrow) T();
        if (!instance)
            return E_OUTOFMEMORY;
        const HRESULT hr = instance->QueryInterface(iid, object);
        instance->Release();  // the caller's reference, if any, keeps it alive
        return hr;
    }

    HRESULT LockServer(bool lock) override
    {
        if (m_locks)
            lock ? ++*m_locks : --*m_locks;
        return S_OK;
    }

private:
    std::atomic<long> *m_locks;
};

}  // namespace com
