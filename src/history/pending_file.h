#pragma once

#include "history/key_timing.h"
#include "history/practice_run.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <utility>

// The runs, key counts and figures of keys and pairs that wait for the history while it cannot
// be written, within limits: the oldest runs and days give way to newer ones.
struct PendingRuns {
    static constexpr int kMaxRuns = 500;
    // The figures of keys and pairs, one per gram and day.
    static constexpr int kMaxGrams = 1200;

    using GramKey = std::pair<qint64, QString>; // day, gram
    QList<PracticeRun> runs;
    QMap<int, KeyTally> keys;
    QMap<GramKey, GramStats> grams;

    bool isEmpty() const { return runs.isEmpty() && keys.isEmpty() && grams.isEmpty(); }
    void addKeys(const QList<KeyTally>& more);
    void addGrams(const QList<GramStats>& more);
    // `later`'s runs go after these.
    void add(const PendingRuns& later);

    struct Dropped {
        int runs = 0;
        int grams = 0;
    };
    // Lets the oldest runs and days go past the limits; says how many went.
    Dropped trim();
};

// The file the runs wait in, "history-pending.txt": a header line, then one line a run, one a
// key and one a gram of a day, fields split by tabs, each line ended by CR LF. A program passes
// over the kinds of line it does not know, so a newer one may add kinds.
namespace PendingFile {

extern const QByteArray kHeader;
// The run's item, percent-encoded, at most; a longer one is shortened.
constexpr qsizetype kItemBytes = 300;
// The largest file there is: every line at its longest, runs and grams at their limits (about
// 570 KB), with room to spare.
constexpr qint64 kCap = 1024 * 1024;

struct Contents {
    PendingRuns runs;
    bool ours = false; // the header of this program's file
    int damaged = 0;   // lines of a known kind whose fields no run of this program can have
};
// What `bytes` hold, line by line.
Contents parse(const QByteArray& bytes);
// The file for `runs`, at most kCap bytes.
QByteArray bytes(const PendingRuns& runs);

} // namespace PendingFile
