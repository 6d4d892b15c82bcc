#include "history/key_timing.h"

#include <algorithm>

namespace KeyTiming {

int bucketOf(int ms) {
    const auto it = std::upper_bound(kEdges.begin(), kEdges.end(), ms);
    return std::clamp(int(it - kEdges.begin()) - 1, 0, kBuckets - 1);
}

} // namespace KeyTiming

void GramStats::add(const GramStats& other) {
    expected += other.expected;
    wrong += other.wrong;
    for (size_t i = 0; i < times.size(); ++i)
        times[i] += other.times[i];
}

qint64 GramStats::timed() const {
    qint64 sum = 0;
    for (qint64 n : times)
        sum += n;
    return sum;
}

bool GramStats::isPlausibleDay() const {
    const auto count = [](qint64 n) { return n >= 0 && n <= kMostDayCount; };
    return day >= kFirstDay && day <= kLastDay && !gram.isEmpty() && gram.size() <= 2 &&
           count(expected) && count(wrong) && wrong <= expected &&
           std::all_of(times.begin(), times.end(), count);
}

int GramStats::medianMs() const {
    const qint64 n = timed();
    if (n == 0)
        return -1;
    // Where the middle sample falls, spread evenly through its bucket.
    const double half = n / 2.0;
    qint64 below = 0;
    for (int i = 0; i < KeyTiming::kBuckets; ++i) {
        const qint64 here = times[size_t(i)];
        if (here > 0 && below + here >= half) {
            const double lo = KeyTiming::kEdges[size_t(i)];
            const double hi = KeyTiming::kEdges[size_t(i) + 1];
            return int(lo + (hi - lo) * (half - below) / double(here) + 0.5);
        }
        below += here;
    }
    return KeyTiming::kEdges.back();
}
