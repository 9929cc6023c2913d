#pragma once

#include <QString>

// Where and how the live wallpaper's cost is logged: a CSV file with one row per sample.
namespace PerformanceLog {

// Application Support + "Paneflow/performance.csv".
QString path();
inline QString header()
{
    return QStringLiteral("time,state,reason,cpu_pct,energy_mw,rss_mb,on_battery,battery_pct,system_cpu_pct,thermal,low_power");
}
inline constexpr int columnCount = 11;
// About 14 days of 30-second rows.
inline constexpr int maxRows = 40000;

} // namespace PerformanceLog
