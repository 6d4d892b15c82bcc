#include "history/progress_summary.h"

#include <algorithm>
#include <utility>

namespace ProgressSummary {

namespace {

// a × b in 128 bits, high half first: counts of a key go up to 10^12, and the product of two
// such does not fit in 64.
std::pair<quint64, quint64> wideProduct(quint64 a, quint64 b) {
    const quint64 aLow = a & 0xffffffffu, aHigh = a >> 32;
    const quint64 bLow = b & 0xffffffffu, bHigh = b >> 32;
    const quint64 low = aLow * bLow;
    const quint64 middle1 = aHigh * bLow;
    const quint64 middle2 = aLow * bHigh;
    const quint64 carry = ((low >> 32) + (middle1 & 0xffffffffu) + (middle2 & 0xffffffffu)) >> 32;
    return {aHigh * bHigh + (middle1 >> 32) + (middle2 >> 32) + carry,
            low + (middle1 << 32) + (middle2 << 32)};
}

} // namespace

QList<KeyTally> weakestKeys(const QList<KeyTally>& tallies, int count, int minExpected) {
    QList<KeyTally> weak;
    for (const KeyTally& tally : tallies) {
        if (tally.isPlausible() && tally.expected >= minExpected && tally.wrong > 0)
            weak.append(tally);
    }
    std::stable_sort(weak.begin(), weak.end(), [](const KeyTally& a, const KeyTally& b) {
        // a.wrong / a.expected > b.wrong / b.expected, without rounding
        const auto left = wideProduct(quint64(a.wrong), quint64(b.expected));
        const auto right = wideProduct(quint64(b.wrong), quint64(a.expected));
        return left != right ? left > right : a.wrong > b.wrong;
    });
    if (weak.size() > count)
        weak.resize(count);
    return weak;
}

} // namespace ProgressSummary
