#include "history/progress_summary.h"

#include <algorithm>

namespace ProgressSummary {

QList<KeyTally> weakestKeys(const QList<KeyTally>& tallies, int count, int minExpected) {
    QList<KeyTally> weak;
    for (const KeyTally& tally : tallies) {
        if (tally.expected >= minExpected && tally.wrong > 0)
            weak.append(tally);
    }
    std::stable_sort(weak.begin(), weak.end(), [](const KeyTally& a, const KeyTally& b) {
        // a.wrong / a.expected > b.wrong / b.expected, without rounding
        const qint64 left = a.wrong * b.expected;
        const qint64 right = b.wrong * a.expected;
        return left != right ? left > right : a.wrong > b.wrong;
    });
    if (weak.size() > count)
        weak.resize(count);
    return weak;
}

} // namespace ProgressSummary
