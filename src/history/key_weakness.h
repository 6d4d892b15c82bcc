#pragma once

#include "history/key_timing.h"

#include <QHash>
#include <QList>
#include <QString>

class HistoryStore;

// How weak each key and each pair of keys is, from its miss rate and its median time: the
// figures the Progress window shows and a drill is built from.
//
// A gram's weakness is its median time against the learner's own typical time, made worse by
// its misses: (median ÷ typical) × (1 + kMissWeight × miss rate). A miss costs the wrong key,
// the look at it and the right key again, so a key missed one time in ten weighs about as
// much as one typed half again as slowly. A gram needs kMinKeySamples (a pair kMinPairSamples)
// keystrokes before it counts: two misses in its first three presses say little. A pair counts
// as weak of its own only when it is clearly weaker than its second key, which it would
// otherwise merely repeat.
namespace KeyWeakness {

constexpr int kMinKeySamples = 12;
constexpr int kMinPairSamples = 10;
constexpr int kMinTrendSamples = 5;
constexpr double kMissWeight = 5.0;
constexpr double kPairOverKey = 1.2;
// The figures that rank come from the latest four weeks with practice.
constexpr int kRecentDays = 28;
constexpr int kWeakest = 5;

struct Figure {
    GramStats stats;
    int medianMs = -1;
    double score = 0; // 0 for a gram with too few keystrokes
    bool counts() const { return score > 0; }
    const QString& gram() const { return stats.gram; }
};

enum class Trend { Unknown, Better, Steady, Worse };

struct Report {
    int typicalMs = 0;     // the median time of every key together; 0 without times
    QList<Figure> keys;    // every key typed, by its character
    QList<Figure> pairs;   // every pair typed
    QList<Figure> weakest; // up to kWeakest keys and pairs, the weakest first
    // Each key in the latest week with practice and in the week before it.
    QHash<QString, Figure> latestWeek;
    QHash<QString, Figure> weekBefore;

    Trend trend(const QString& gram) const;
    const Figure* key(const QString& gram) const;
};

// The report from the recent figures, and those of the latest week and the week before for
// the trend. Space is left out of the weakest: it comes between all words anyway.
Report analyse(const QList<GramStats>& recent, const QList<GramStats>& latestWeek = {},
               const QList<GramStats>& weekBefore = {});
// The report from the history's figures.
Report fromHistory(HistoryStore& store);

// A gram as a learner reads it: "f", "th", "Space", "e␣".
QString displayName(const QString& gram);

} // namespace KeyWeakness
