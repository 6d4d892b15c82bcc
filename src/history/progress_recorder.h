#pragma once

#include "core/keyboard_layout.h"
#include "core/practice_model.h"
#include "history/key_timing.h"
#include "history/practice_run.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <functional>

class HistoryStore;

// What a practice window tells the history. Each window's frame holds one recorder and calls:
//   keyJudged(judgement)                for every keystroke whose expected key is known: the
//                                       key's count, and the figures of the key and of the
//                                       pair it ends, with its time when it was right;
//   practising()                        for the other keystrokes (the first opens the history);
//   runEnded(item, totals)              at the lesson-end or completion prompt and at a game's
//                                       end;
//   windowUnloaded(item, totals)        when the window unloads;
//   countersReset(item, totals)         just before the window sets its counters back to zero.
// `totals` are the window's own counters since it opened (or since their last reset), with
// the speed and accuracy it shows; the recorder keeps the change since its last row, and the
// figures the window showed. A row needs at least one keystroke and floorSeconds active
// seconds; a run that ends or is reset with less is dropped, never added to the next. Key
// counts and figures are gathered in memory and written with the next row or at unload, in
// the same transaction, so a keystroke costs no disk access. The first keystroke of a window
// opens the history (a few milliseconds, once), so no prompt waits for it. A row the history
// cannot take just now waits in the store's pending file. With a null store nothing is
// recorded.
class ProgressRecorder {
  public:
    static constexpr int kFloorSeconds = 10;

    using Totals = RunTotals;

    ProgressRecorder(HistoryStore* store, PracticeMode mode, int floorSeconds = kFloorSeconds);
    ~ProgressRecorder();

    void keyJudged(int expectedCode, bool wrong);
    void keyJudged(const KeyJudgement& key);
    void practising();
    // Writes the run so far and everything gathered, as at unload, so that the history holds
    // the latest figures; the window goes on counting from here. True when a row was written.
    bool recordSoFar(const QString& item, const Totals& totals) {
        return windowUnloaded(item, totals);
    }
    // The run as it is kept (or would be, were it long enough), with what its results compare.
    RunResult runEnded(const QString& item, const Totals& totals);
    // True when a row was written.
    bool windowUnloaded(const QString& item, const Totals& totals);
    void countersReset(const QString& item, const Totals& totalsBeforeReset);

    // The learner's layout, whose keys the figures name ("ö", and "6" for & on a German
    // keyboard); the US one until it is given. Asked at each keystroke, so a change of layout
    // names the keys typed after it.
    void setKeyboardLayout(std::function<const KeyboardLayout&()> layout) {
        m_layout = std::move(layout);
    }

    // The time source; tests set a fixed one.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

  private:
    void take(const Totals& totals);
    std::optional<PracticeRun> pendingRun(const QString& item) const;
    bool write(const QString& item, bool flushKeys);
    void closeStretch();
    void addGram(QChar first, QChar second, bool wrong, int intervalMs);

    HistoryStore* m_store;
    PracticeMode m_mode;
    int m_floorSeconds;
    Totals m_baseline; // the window's totals at the last call
    Totals m_pending;  // gathered since the last row; speed and accuracy as last shown
    QDateTime m_firstKey;
    bool m_storeOpened = false;
    QMap<int, KeyTally> m_keys;
    QHash<quint32, GramStats> m_grams; // by the gram's characters, the first one high
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
    std::function<const KeyboardLayout&()> m_layout;
};
