// Lines of the performance log, and the report over whatever rows survive.
#include "wallpaper/performance_report.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray csv(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto rows = PerformanceReport::parse(csv);
    PerformanceReport::text(rows, QStringLiteral("/fuzz/performance.csv"));
    return 0;
}
