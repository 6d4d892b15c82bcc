#pragma once

// Shared bits of the benchmarks: processor time used so far, and percentiles.

#include <algorithm>
#include <sys/resource.h>
#include <vector>

namespace Bench {

// Seconds of processor time this process has used, user and system.
inline double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * (values.size() - 1) + 0.5))];
}

} // namespace Bench
