#include "core/practice_clock.h"

#include "core/number_parse.h"

void TypingClock::touch() {
    m_idleCountdown = kIdleTicks;
    m_running = true;
}

void TypingClock::clockTick() {
    if (m_running)
        ++m_activeSeconds;
}

void TypingClock::idleTick() {
    m_idleCountdown = qMax(0, m_idleCountdown - 1);
    if (m_idleCountdown == 0)
        m_running = false;
}

static QString twoDigits(int n) {
    return n < 10 ? QStringLiteral("0%1").arg(n) : QString::number(n);
}

void HmsClock::reset() {
    m_hours = QStringLiteral("0");
    m_minutes = QStringLiteral("00");
    m_seconds = QStringLiteral("00");
}

void HmsClock::addSecond() {
    m_seconds = twoDigits(valInt(m_seconds) + 1);
    if (m_seconds == u"60") {
        m_seconds = QStringLiteral("00");
        m_minutes = twoDigits(valInt(m_minutes) + 1);
    }
    if (m_minutes == u"60") {
        m_minutes = QStringLiteral("00");
        m_hours = QString::number(valInt(m_hours) + 1);
    }
}

QString HmsClock::display() const {
    return m_hours + u':' + m_minutes + u':' + m_seconds;
}

namespace Meters {

QString speed(long long typed, long long seconds, const QString& unit) {
    const long long value = seconds > 0 ? typed * 60 / seconds : 0;
    return QString::number(value) + unit;
}

QString accuracy(long long correct, long long typed) {
    const long long value = typed > 0 ? correct * 100 / typed : 0;
    return QString::number(value) + QStringLiteral(" %");
}

} // namespace Meters
