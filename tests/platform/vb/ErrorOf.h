// Test helper: the runtime error number a call throws.
#pragma once

#include "vb/Error.h"

#include <functional>

namespace vbtest {

// The number of the vb::Error the call throws, or 0 when it returns normally.
inline qint32 errorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const vb::Error &e) {
        return e.number();
    }
    return 0;
}

}  // namespace vbtest
