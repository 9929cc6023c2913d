#pragma once

// CPU time used so far (user and system), for tests and benchmarks that measure what work costs.

#include <sys/resource.h>

// `who`: RUSAGE_SELF (this process), RUSAGE_CHILDREN (children waited for) or RUSAGE_THREAD.
inline double cpuSeconds(int who = RUSAGE_SELF)
{
    rusage usage {};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
