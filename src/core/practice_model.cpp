#include "core/practice_model.h"

#include <QElapsedTimer>

#include <algorithm>
#include <utility>

namespace {

qint64 steadyMs() {
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

} // namespace

void PracticeModel::judged(int expectedKey, bool right, QChar character) {
    const qint64 now = m_keyClock ? m_keyClock() : steadyMs();
    KeyJudgement key{expectedKey, right, character, QChar(), -1};
    if (m_lastKeystrokeMs >= 0 && now - m_lastKeystrokeMs <= kPauseMs) {
        key.intervalMs = int(std::max<qint64>(0, now - m_lastKeystrokeMs));
        key.previous = m_previousRight;
    }
    m_lastKeystrokeMs = now;
    m_previousRight = right ? character : QChar();
    m_timedInBatch = true;
    m_pending.keystroke = true;
    m_pending.judged.append(key);
}

void PracticeModel::flush() {
    // A keystroke that was not judged (Backspace, Space between words, a wrong key that is
    // not counted) still starts the time of the next one.
    if (m_pending.keystroke && !m_timedInBatch) {
        m_lastKeystrokeMs = m_keyClock ? m_keyClock() : steadyMs();
        m_previousRight = QChar();
    }
    m_timedInBatch = false;
    const bool running = clockRunning();
    if (running != m_reportedClock) {
        m_reportedClock = running;
        m_pending.clockRunning = running;
    }
    if (!m_pending.any())
        return;
    reporting();
    const ModelEvents events = std::exchange(m_pending, {});
    emit changed(events);
}
