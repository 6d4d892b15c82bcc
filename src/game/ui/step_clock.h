#pragma once

#include <QtGlobal>

#include <algorithm>

// The sprite's steps in real time: one every `stepMs` milliseconds, whatever the pace of the
// frames that take them. A frame takes the steps whose time has come; after a stall (a busy or
// suspended machine) it takes no more than `mostPerFrame` and lets the rest go, so the sprite
// never rushes to catch up.
class StepClock {
  public:
    StepClock(int stepMs, int mostPerFrame) : m_stepMs(stepMs), m_most(mostPerFrame) {}

    void restart(qint64 nowMs) {
        m_start = nowMs;
        m_taken = 0;
    }

    // The steps due at `nowMs` (milliseconds on the clock restart() was given), at least
    // `atLeast`.
    int due(qint64 nowMs, int atLeast) {
        const qint64 passed = (nowMs - m_start) / m_stepMs;
        const int steps = int(std::clamp<qint64>(passed - m_taken, atLeast, m_most));
        m_taken = std::max(m_taken + steps, passed);
        return steps;
    }

  private:
    int m_stepMs;
    int m_most;
    qint64 m_start = 0;
    qint64 m_taken = 0;
};
