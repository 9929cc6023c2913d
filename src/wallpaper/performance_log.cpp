#include "wallpaper/performance_log.h"

#include "platform/paths.h"

QString PerformanceLog::path()
{
    return Paths::applicationSupport() + QStringLiteral("/Paneflow/performance.csv");
}
