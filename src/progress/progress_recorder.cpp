#include "progress/progress_recorder.h"

#include "progress/history_store.h"

ProgressRecorder::ProgressRecorder(HistoryStore* store, PracticeMode mode, int floorSeconds)
    : m_store(store), m_mode(mode), m_floorSeconds(floorSeconds) {}

ProgressRecorder::~ProgressRecorder() = default;

void ProgressRecorder::practising() {
    if (!m_store)
        return;
    if (!m_firstKey.isValid())
        m_firstKey = m_now();
    if (!m_storeOpened) {
        m_storeOpened = true;
        // Opens the history, and writes the runs that waited for it, if any.
        m_store->writePending();
    }
}

void ProgressRecorder::keyJudged(int expectedCode, bool wrong) {
    practising();
    if (!m_store || expectedCode <= 0)
        return;
    KeyTally& tally = m_keys[expectedCode];
    tally.code = expectedCode;
    ++tally.expected;
    if (wrong)
        ++tally.wrong;
}

void ProgressRecorder::take(const Totals& totals) {
    // Counters that went back without a word from the window: they were reset.
    if (totals.activeSeconds < m_baseline.activeSeconds ||
        totals.keystrokes < m_baseline.keystrokes ||
        totals.wrongKeystrokes < m_baseline.wrongKeystrokes)
        m_baseline = {};
    m_pending.activeSeconds += totals.activeSeconds - m_baseline.activeSeconds;
    m_pending.keystrokes += totals.keystrokes - m_baseline.keystrokes;
    m_pending.wrongKeystrokes += totals.wrongKeystrokes - m_baseline.wrongKeystrokes;
    m_baseline = totals;
}

void ProgressRecorder::countersReset(const Totals& totalsBeforeReset) {
    take(totalsBeforeReset);
    m_baseline = {};
}

bool ProgressRecorder::write(const QString& item, bool flushKeys) {
    std::optional<PracticeRun> run;
    if (m_pending.activeSeconds >= m_floorSeconds) {
        PracticeRun row;
        row.mode = m_mode;
        row.item = item;
        const QDateTime now = m_now();
        const QDateTime byClock = now.addSecs(-m_pending.activeSeconds);
        row.started = m_firstKey.isValid() && m_firstKey < byClock ? m_firstKey : byClock;
        row.activeSeconds = int(m_pending.activeSeconds);
        row.keystrokes = int(m_pending.keystrokes);
        row.wrongKeystrokes = int(m_pending.wrongKeystrokes);
        row.computeMeters();
        run = row;
    }
    if (!run && !flushKeys)
        return false;
    if (!run && m_keys.isEmpty())
        return false;
    const bool written = m_store->record(run, m_keys.values());
    // Written or not, these counts are done with: a history that cannot be written must not
    // make memory grow nor repeat a failing write at every prompt.
    m_keys.clear();
    m_firstKey = {};
    if (run)
        m_pending = {};
    return written && run.has_value();
}

bool ProgressRecorder::runEnded(const QString& item, const Totals& totals) {
    if (!m_store)
        return false;
    take(totals);
    return write(item, false);
}

bool ProgressRecorder::windowUnloaded(const QString& item, const Totals& totals) {
    if (!m_store)
        return false;
    take(totals);
    return write(item, true);
}
