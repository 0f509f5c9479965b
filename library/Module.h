// What the classes of the library share: the identifiers of this build, the object count and
// the conversion of a caught error into error info and a status code.
#pragma once

#include "library/KvrUtil.h"
#include "library/KvrUtilIds.h"

#include "vb/Error.h"

#include <atomic>
#include <exception>

namespace kvr {

// The tracing build (KVR_UTIL) is these sources compiled with KVR_TRACE.
#ifdef KVR_TRACE
constexpr bool Tracing = true;
namespace buildIds = ids::trace;
using FilesInterface = trace::_Files;
#else
constexpr bool Tracing = false;
namespace buildIds = ids;
using FilesInterface = _Files;
#endif

// Objects of this library that are alive, and LockServer calls; read by DllCanUnloadNow.
extern std::atomic<long> liveObjects;
extern std::atomic<long> serverLocks;

// Records `e` as the error info of the failing call and returns its status code.
HRESULT failWith(const vb::Error &e, const char *className);

// Runs `body`; a vb::Error (or any other exception) becomes error info and a failure code, so
// nothing is thrown across the interface.
template <class Body>
HRESULT guarded(const char *className, Body &&body)
{
    try {
        body();
        return com::S_OK;
    } catch (const vb::Error &e) {
        return failWith(e, className);
    } catch (const std::exception &e) {
        return failWith(vb::Error::of(com::E_FAIL, QString(), QString(), QString::fromLocal8Bit(e.what())), className);
    }
}

}  // namespace kvr
