#pragma once

#include "progress/practice_run.h"

#include <QDateTime>
#include <QMap>
#include <functional>

class HistoryStore;

// What a practice window tells the history. Each window holds one recorder and calls:
//   keyJudged(code, wrong)        for every keystroke whose expected key is known;
//   practising()                  for the other keystrokes (the first opens the history);
//   runEnded(item, totals)        at the lesson-end or completion prompt and at a game's end;
//   windowUnloaded(item, totals)  when the window unloads;
//   countersReset(totals)         just before the window sets its counters back to zero.
// `totals` are the window's own counters since it opened (or since their last reset); the
// recorder keeps the change since its last row. A row is written only once at least
// floorSeconds active seconds have gathered; shorter stretches wait for the next row. Key
// counts are gathered in memory and written with the next row or at unload, in the same
// transaction, so a keystroke costs no disk access. The first keystroke of a window opens the
// history (a few milliseconds, once), so no prompt waits for it. A row the history cannot
// take just now waits in the store's pending file. With a null store nothing is recorded.
class ProgressRecorder {
  public:
    static constexpr int kFloorSeconds = 10;

    struct Totals {
        qint64 activeSeconds = 0;
        qint64 keystrokes = 0;
        qint64 wrongKeystrokes = 0;
    };

    ProgressRecorder(HistoryStore* store, PracticeMode mode, int floorSeconds = kFloorSeconds);
    ~ProgressRecorder();

    void keyJudged(int expectedCode, bool wrong);
    void practising();
    // True when a row was written.
    bool runEnded(const QString& item, const Totals& totals);
    bool windowUnloaded(const QString& item, const Totals& totals);
    void countersReset(const Totals& totalsBeforeReset);

    // The time source; tests set a fixed one.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

  private:
    void take(const Totals& totals);
    bool write(const QString& item, bool flushKeys);

    HistoryStore* m_store;
    PracticeMode m_mode;
    int m_floorSeconds;
    Totals m_baseline; // the window's totals at the last call
    Totals m_pending;  // gathered since the last row
    QDateTime m_firstKey;
    bool m_storeOpened = false;
    QMap<int, KeyTally> m_keys;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
};
