// The trace routine of the tracing build.
#include "TraceLog.h"

#include "vb/Conversions.h"
#include "vb/TextFile.h"

#include <QDateTime>
#include <QDir>

namespace kvr {

void traceLog(const QString &module, const QString &function, const QString &step)
{
    try {
        const QDateTime now = QDateTime::currentDateTime();
        const QString line = vb::DateText(now.date()) + QLatin1Char(' ') + vb::TimeText(now.time())
            + QStringLiteral(" - Module:")
            + module + QStringLiteral(" Function: ") + function + QStringLiteral(" Debug:") + step
            + QStringLiteral("\r\n");
        const QString folder = QDir::currentPath();
        QString path = vb::findFileNoCase(folder, QStringLiteral("Debug.log"));
        if (path.isEmpty())
            path = folder + QStringLiteral("/Debug.log");
        vb::appendText(path, line);
    } catch (...) {
        // A read-only folder or a full disk only silences the trace.
    }
}

}  // namespace kvr
