// Component model: identifiers, reference-counted interfaces, class factories, error info.
#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

namespace com {

using HRESULT = qint32;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201);
constexpr HRESULT E_MOD_NOT_FOUND = static_cast<HRESULT>(0x8007007E);   // library file missing or unloadable
constexpr HRESULT E_PROC_NOT_FOUND = static_cast<HRESULT>(0x8007007F);  // entry point missing
inline bool succeeded(HRESULT hr) { return hr >= 0; }
inline bool failed(HRESULT hr) { return hr < 0; }

// A runtime error number n travels as 0x800A0000 | n, as the original runtime's components do.
HRESULT hresultFromVbError(qint32 number);
qint32 vbErrorFromHresult(HRESULT hr);

struct Guid {
    quint32 data1 = 0;
    quint16 data2 = 0;
    quint16 data3 = 0;
    std::array<quint8, 8> data4{};

    // "{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}" (braces optional, any letter case); invalid: null Guid
    static Guid parse(const QString &text);
    QString toString() const;  // upper case with braces
    bool isNull() const;
    bool operator==(const Guid &o) const = default;
};

extern const Guid IID_IUnknown;
extern const Guid IID_IClassFactory;

class IUnknown {
public:
    virtual HRESULT QueryInterface(const Guid &iid, void **object) = 0;
    virtual quint32 AddRef() = 0;
    virtual quint32 Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

class IClassFactory : public IUnknown {
public:
    virtual HRESULT CreateInstance(IUnknown *outer, const Guid &iid, void **object) = 0;
    virtual HRESULT LockServer(bool lock) = 0;
};

// Error information of the last failing call on this thread (the component sets it before it
// returns a failure HRESULT; the caller reads it to raise the error).
void setErrorInfo(qint32 number, const QString &description, const QString &source);
void clearErrorInfo();
struct ErrorInfo {
    qint32 number = 0;
    QString description;
    QString source;
};
ErrorInfo lastErrorInfo();

// Throws vb::Error for a failure HRESULT, with the error info when present.
void check(HRESULT hr);

// Owning smart pointer over an interface: AddRef on copy, Release on destruction.
template <class T>
class Ptr {
public:
    Ptr() = default;
    explicit Ptr(T *adopt) : m_p(adopt) {}  // takes over one reference
    Ptr(const Ptr &o) : m_p(o.m_p) { if (m_p) m_p->AddRef(); }
    Ptr(Ptr &&o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    Ptr &operator=(Ptr o) noexcept { std::swap(m_p, o.m_p); return *this; }
    ~Ptr() { reset(); }
    void reset() { if (m_p) { m_p->Release(); m_p = nullptr; } }
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T **put() { reset(); return &m_p; }

private:
    T *m_p = nullptr;
};

// The four entry points every component library exports with C linkage and default visibility
// (COM_EXPORT HRESULT DllRegisterServer() {...}), also when the library hides its other symbols.
#define COM_EXPORT extern "C" __attribute__((visibility("default")))
using DllGetClassObjectFn = HRESULT (*)(const Guid *clsid, const Guid *iid, void **object);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();

}  // namespace com
