// The trace routine of the tracing build: one line per trace point, appended to "Debug.log".
#pragma once

#include <QString>

namespace kvr {

// Appends "<date> <time> - Module:<module> Function: <function> Debug:<step>" and CR LF to
// "Debug.log" in the current folder (single-byte, created when missing; date and time as the
// runtime writes them in the user's locale). Every failure is ignored: tracing never disturbs the traced call.
void traceLog(const QString &module, const QString &function, const QString &step);

}  // namespace kvr
