// Reference counting and interface lookup for a component object that implements one interface.
#pragma once

#include "Com.h"

#include <atomic>

namespace com {

// Base of an object that answers IUnknown and one interface `iid`. It starts with one reference,
// owned by its creator, and deletes itself when the last reference is released. `liveObjects`,
// when given, counts the objects of the library that are alive (for DllCanUnloadNow).
template <class Interface>
class Object : public Interface {
public:
    HRESULT QueryInterface(const Guid &iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == m_iid) {
            *object = static_cast<Interface *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    quint32 AddRef() override { return ++m_refs; }
    quint32 Release() override
    {
        const quint32 left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    Object(const Guid &iid, std::atomic<long> *liveObjects) : m_iid(iid), m_live(liveObjects)
    {
        if (m_live)
            ++*m_live;
    }
    ~Object() override
    {
        if (m_live)
            --*m_live;
    }
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

private:
    Guid m_iid;
    std::atomic<quint32> m_refs{1};
    std::atomic<long> *m_live;
};

}  // namespace com
