#pragma once

#include <QString>

// The clock pieces the practice windows share. They hold no timers: the window's timers
// call the tick methods, so tests step them directly.

// Word practice: seconds that count only while the user types. Every change of the input
// restarts the clock and the idle countdown; six idle ticks without a change stop it.
class TypingClock {
  public:
    static constexpr int kIdleTicks = 6;

    void touch();     // an input change
    void clockTick(); // the 1000 ms clock timer: a second more while the clock runs
    void idleTick();  // the 1000 ms idle timer

    int activeSeconds() const { return m_activeSeconds; }
    int idleCountdown() const { return m_idleCountdown; }
    bool running() const { return m_running; }

  private:
    int m_activeSeconds = 0;
    int m_idleCountdown = kIdleTicks;
    bool m_running = false;
};

// An h:mm:ss clock display: hours without leading zeros and no upper bound, minutes and
// seconds as two digits.
class HmsClock {
  public:
    void reset();
    void addSecond();

    QString hours() const { return m_hours; }
    QString minutes() const { return m_minutes; }
    QString seconds() const { return m_seconds; }
    QString display() const;

  private:
    QString m_hours = QStringLiteral("0");
    QString m_minutes = QStringLiteral("00");
    QString m_seconds = QStringLiteral("00");
};

// Meters. Each returns the text to show; Int rounds down.
namespace Meters {
// Int(typed * 60 / seconds) + unit, for example " WMP" or " WPM".
QString speed(long long typed, long long seconds, const QString& unit);
// Int(correct * 100 / typed) + " %".
QString accuracy(long long correct, long long typed);
} // namespace Meters
