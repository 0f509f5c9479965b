// The one error guard of window handlers: whatever fails is logged and the handler
// returns, so no exception leaves a slot.
#pragma once

#include "Utility.h"

#include "vb/Error.h"

#include <QString>
#include <exception>

namespace pendra {

// Runs work; a vb::Error or any other exception is logged under source (a window, or a module
// name such as "Utility") and procedure. True when work ran through.
template <class Source, class F> bool guarded(const Source &source, const QString &procedure, F &&work)
{
    try {
        work();
        return true;
    } catch (const vb::Error &e) {
        LogError(source, procedure, e);
    } catch (const std::exception &e) {
        LogError(source, procedure, vb::Error::of(e));
    } catch (...) {
        LogError(source, procedure, vb::Error::of(0));
    }
    return false;
}

}  // namespace pendra
