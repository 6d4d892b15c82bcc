#include "core/practice_model.h"

#include <utility>

void PracticeModel::flush() {
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
