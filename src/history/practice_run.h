#pragma once

#include "core/keyboard_layout.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The four practice modes, as the history names them.
enum class PracticeMode { Keys, Words, Articles, Game };

namespace PracticeModes {
constexpr PracticeMode kAll[] = {PracticeMode::Keys, PracticeMode::Words, PracticeMode::Articles,
                                 PracticeMode::Game};
// The name stored in the history ("keys", "words", "articles", "game").
QString key(PracticeMode mode);
// The mode of a stored name; false for a name this program does not know.
bool fromKey(const QString& key, PracticeMode* mode);
// The name a learner reads ("Keys practice", ...).
QString title(PracticeMode mode);
} // namespace PracticeModes

// The most a real run and a key's count come to. A stored figure past them, or below zero, was
// never written by the program: it is damage, left out where it is read.
namespace RunLimits {
constexpr qint64 kLatestStart = 253'402'300'799; // the last second of the year 9999
constexpr int kMostSeconds = 24 * 3600;          // a run's active time
constexpr int kMostKeystrokes = 1000 * kMostSeconds;
constexpr int kMostSpeed = 60 * 1000; // characters a minute
constexpr int kMostCode = 255;
constexpr qint64 kMostKeyCount = 1'000'000'000'000; // how often one key was due, over all time
} // namespace RunLimits

// One practice run as the history keeps it. The counts are the change since the previous
// row of the same window, so no keystroke is counted twice.
struct PracticeRun {
    PracticeMode mode = PracticeMode::Words;
    QString item; // the lesson, the article or the game's item set
    QDateTime started;
    int activeSeconds = 0;
    int keystrokes = 0;
    int wrongKeystrokes = 0;
    int speed = 0;    // keystrokes per minute of active time
    int accuracy = 0; // per cent of keystrokes that were right

    // Speed and accuracy from the counts, rounded down.
    void computeMeters();
    // Whether every figure is one a real run can come to.
    bool isPlausible() const;
    // The run with each figure brought within those limits.
    PracticeRun bounded() const;
};

// How often one key was the key to press, and how often something else was typed instead.
struct KeyTally {
    int code = 0; // Windows key code
    qint64 expected = 0;
    qint64 wrong = 0;

    double errorRate() const { return expected > 0 ? double(wrong) / double(expected) : 0.0; }
    bool isPlausible() const {
        return code >= 1 && code <= RunLimits::kMostCode && expected >= 0 &&
               expected <= RunLimits::kMostKeyCount && wrong >= 0 && wrong <= expected;
    }
};

// What a run came to, as the results under a lesson's end message show it: the run as the
// history keeps it (or would keep it, were it long enough), the keys missed most in it, and
// the learner's earlier runs of the same lesson.
struct RunResult {
    PracticeRun run;
    bool recorded = false;           // the run went into the history, or waits to
    QList<KeyTally> missed;          // up to three keys, the most missed first
    std::optional<PracticeRun> last; // the run of the same lesson before this one
    int best = 0;                    // the best speed of the same lesson before, 0 for none
    int floorSeconds = 0;            // a run shorter than this is not kept

    // The results as lines of text; the keys missed are named as `layout` labels them.
    QString text(const KeyboardLayout& layout = KeyboardLayout::us()) const;
};

// One point of the speed and accuracy chart: a run, or every run of one day.
struct ChartPoint {
    QDateTime when;
    int speed = 0;
    int accuracy = 0;
    int runs = 0;
};
