#include "history/progress_recorder.h"

#include "history/history_store.h"

#include <algorithm>

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

void ProgressRecorder::keyJudged(const KeyJudgement& key) {
    keyJudged(key.expectedKey, !key.right);
    if (!m_store || key.expectedKey <= 0)
        return;
    const KeyboardLayout& layout = m_layout ? m_layout() : KeyboardLayout::us();
    const QChar c = layout.keyCharacter(key.character);
    if (c.isNull())
        return;
    // Only a right keystroke is timed: a wrong one's time says nothing of how well the key is
    // known.
    const int interval = key.right ? key.intervalMs : -1;
    addGram(QChar(), c, !key.right, interval);
    const QChar before = layout.keyCharacter(key.previous);
    if (!before.isNull())
        addGram(before, c, !key.right, interval);
}

void ProgressRecorder::addGram(QChar first, QChar second, bool wrong, int intervalMs) {
    GramStats& gram = m_grams[quint32(first.unicode()) << 16 | second.unicode()];
    if (gram.gram.isEmpty())
        gram.gram = first.isNull() ? QString(second) : QString(first) + second;
    ++gram.expected;
    if (wrong)
        ++gram.wrong;
    if (intervalMs >= 0 && intervalMs <= PracticeModel::kPauseMs)
        gram.addTime(intervalMs);
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
    m_pending.speed = totals.speed;
    m_pending.accuracy = totals.accuracy;
    m_baseline = totals;
}

// What a stretch that ends now leaves behind: its row, or nothing for the next one.
void ProgressRecorder::closeStretch() {
    m_pending = {};
    m_firstKey = {};
}

void ProgressRecorder::countersReset(const QString& item, const Totals& totalsBeforeReset) {
    if (m_store) {
        take(totalsBeforeReset);
        write(item, false);
    }
    closeStretch();
    m_baseline = {};
}

std::optional<PracticeRun> ProgressRecorder::pendingRun(const QString& item) const {
    if (m_pending.keystrokes <= 0)
        return std::nullopt;
    PracticeRun row;
    row.mode = m_mode;
    row.item = item;
    const QDateTime now = m_now();
    const QDateTime byClock = now.addSecs(-m_pending.activeSeconds);
    row.started = m_firstKey.isValid() && m_firstKey < byClock ? m_firstKey : byClock;
    row.activeSeconds = int(m_pending.activeSeconds);
    row.keystrokes = int(m_pending.keystrokes);
    row.wrongKeystrokes = int(m_pending.wrongKeystrokes);
    // The figures the window showed, so that Progress tells what the learner saw.
    row.speed = m_pending.speed;
    row.accuracy = m_pending.accuracy;
    return row;
}

bool ProgressRecorder::write(const QString& item, bool flushKeys) {
    std::optional<PracticeRun> run = pendingRun(item);
    if (run && run->activeSeconds < m_floorSeconds)
        run.reset();
    if (!run && !flushKeys)
        return false;
    if (!run && m_keys.isEmpty() && m_grams.isEmpty())
        return false;
    QList<GramStats> grams = m_grams.values();
    const qint64 day = m_now().date().toJulianDay();
    for (GramStats& gram : grams)
        gram.day = day;
    const bool written = m_store->record(run, m_keys.values(), grams);
    // Written or not, these counts are done with: a history that cannot be written must not
    // make memory grow nor repeat a failing write at every prompt.
    m_keys.clear();
    m_grams.clear();
    m_firstKey = {};
    if (run)
        m_pending = {};
    return written && run.has_value();
}

RunResult ProgressRecorder::runEnded(const QString& item, const Totals& totals) {
    take(totals);
    RunResult result;
    result.floorSeconds = m_floorSeconds;
    if (const std::optional<PracticeRun> run = pendingRun(item))
        result.run = *run;
    else
        result.run = PracticeRun{m_mode, item, m_now(),         int(m_pending.activeSeconds),
                                 0,      0,    m_pending.speed, m_pending.accuracy};
    QList<KeyTally> missed;
    for (const KeyTally& key : m_keys) {
        if (key.wrong > 0)
            missed.append(key);
    }
    std::stable_sort(missed.begin(), missed.end(),
                     [](const KeyTally& a, const KeyTally& b) { return a.wrong > b.wrong; });
    result.missed = missed.mid(0, 3);
    if (m_store) {
        result.last = m_store->lastRun(m_mode, item);
        result.best = m_store->bestSpeed(m_mode, item);
        result.recorded = write(item, false);
    }
    closeStretch();
    return result;
}

bool ProgressRecorder::windowUnloaded(const QString& item, const Totals& totals) {
    if (!m_store)
        return false;
    take(totals);
    return write(item, true);
}
