#include "history/key_weakness.h"

#include "history/history_store.h"

#include <algorithm>

namespace KeyWeakness {

namespace {

constexpr double kBetter = 0.9;
constexpr double kWorse = 1.1;

double scoreOf(const GramStats& stats, int medianMs, int typicalMs) {
    const double slowness = typicalMs > 0 && medianMs > 0 ? double(medianMs) / typicalMs : 1.0;
    return slowness * (1 + kMissWeight * stats.missRate());
}

Figure figureOf(const GramStats& stats, int typicalMs, int minSamples) {
    Figure figure;
    figure.stats = stats;
    figure.medianMs = stats.medianMs();
    if (stats.expected >= minSamples)
        figure.score = scoreOf(stats, figure.medianMs, typicalMs);
    return figure;
}

QHash<QString, Figure> keysOf(const QList<GramStats>& stats, int typicalMs) {
    QHash<QString, Figure> keys;
    for (const GramStats& gram : stats) {
        if (gram.gram.size() == 1)
            keys.insert(gram.gram, figureOf(gram, typicalMs, kMinTrendSamples));
    }
    return keys;
}

} // namespace

Report analyse(const QList<GramStats>& recent, const QList<GramStats>& latestWeek,
               const QList<GramStats>& weekBefore) {
    Report report;
    GramStats all;
    for (const GramStats& gram : recent) {
        if (gram.gram.size() == 1)
            all.add(gram);
    }
    report.typicalMs = std::max(0, all.medianMs());

    QHash<QString, double> keyScores;
    for (const GramStats& gram : recent) {
        if (gram.gram.size() != 1)
            continue;
        report.keys.append(figureOf(gram, report.typicalMs, kMinKeySamples));
        keyScores.insert(gram.gram, report.keys.last().score);
    }
    QList<Figure> candidates;
    for (const Figure& key : std::as_const(report.keys)) {
        if (key.counts() && key.gram() != u" ")
            candidates.append(key);
    }
    for (const GramStats& gram : recent) {
        if (gram.gram.size() != 2)
            continue;
        Figure pair = figureOf(gram, report.typicalMs, kMinPairSamples);
        report.pairs.append(pair);
        const double second = keyScores.value(gram.gram.right(1), 0);
        // A pair with Space is the edge of a word, no pair of keys to drill.
        if (pair.counts() && !gram.gram.contains(u' ') && pair.score > kPairOverKey * second)
            candidates.append(pair);
    }
    std::sort(candidates.begin(), candidates.end(), [](const Figure& a, const Figure& b) {
        return a.score != b.score ? a.score > b.score : a.gram() < b.gram();
    });
    report.weakest = candidates.mid(0, kWeakest);
    report.latestWeek = keysOf(latestWeek, report.typicalMs);
    report.weekBefore = keysOf(weekBefore, report.typicalMs);
    return report;
}

Report fromHistory(HistoryStore& store) {
    const qint64 last = store.lastGramDay();
    if (last <= 0)
        return {};
    return analyse(store.gramStats(last - kRecentDays + 1, last), store.gramStats(last - 6, last),
                   store.gramStats(last - 13, last - 7));
}

Trend Report::trend(const QString& gram) const {
    const auto latest = latestWeek.constFind(gram);
    const auto before = weekBefore.constFind(gram);
    if (latest == latestWeek.cend() || before == weekBefore.cend() || !latest->counts() ||
        !before->counts())
        return Trend::Unknown;
    const double ratio = latest->score / before->score;
    return ratio < kBetter ? Trend::Better : ratio > kWorse ? Trend::Worse : Trend::Steady;
}

const Figure* Report::key(const QString& gram) const {
    const auto it = std::find_if(keys.begin(), keys.end(),
                                 [&gram](const Figure& key) { return key.gram() == gram; });
    return it == keys.end() ? nullptr : &*it;
}

QString displayName(const QString& gram) {
    if (gram == u" ")
        return QStringLiteral("Space");
    QString name = gram;
    name.replace(u' ', u'\u2423');
    return name;
}

} // namespace KeyWeakness
