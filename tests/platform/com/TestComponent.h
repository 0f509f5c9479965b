// The interface and identifiers of the small component the loader tests build and load.
#pragma once

#include "com/Registry.h"

namespace testcomp {

class ICounter : public com::IUnknown {
public:
    virtual com::HRESULT Add(qint32 value, qint32 *total) = 0;
    // Fails with runtime error `number`, setting error info first as components do.
    virtual com::HRESULT Fail(qint32 number) = 0;
};

inline const com::Guid CLSID_Counter = com::Guid::parse("{6E0B3A51-2C4D-4F8E-9A17-3B5C7D9E1F20}");
inline const com::Guid IID_ICounter = com::Guid::parse("{6E0B3A52-2C4D-4F8E-9A17-3B5C7D9E1F20}");
inline const com::Guid CLSID_Other = com::Guid::parse("{6E0B3A53-2C4D-4F8E-9A17-3B5C7D9E1F20}");
inline const com::Guid LIBID = com::Guid::parse("{6E0B3A54-2C4D-4F8E-9A17-3B5C7D9E1F20}");

// A registry entry of the test's type library for a class served by `library`.
inline com::ClassEntry entry(const com::Guid &clsid, const QString &library, const QString &name)
{
    com::ClassEntry e;
    e.clsid = clsid;
    e.iid = IID_ICounter;
    e.name = name;
    e.library = library;
    e.libid = LIBID;
    e.typeLibName = QStringLiteral("TestComponent");
    e.typeLibVersion = QStringLiteral("1.0");
    e.lcid = 0x409;
    return e;
}

}  // namespace testcomp
