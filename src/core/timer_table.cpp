#include "core/timer_table.h"

#include <QTimer>

TimerTable::TimerTable(QObject* owner) : QObject(owner) {}

QTimer* TimerTable::add(const char* name, int interval, Mode mode, std::function<void()> tick) {
    auto* timer = new QTimer(parent());
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    timer->setSingleShot(mode != Repeating);
    if (mode == PreciseOneShot)
        timer->setTimerType(Qt::PreciseTimer);
    m_slots.push_back({timer, tick});
    connect(timer, &QTimer::timeout, this, std::move(tick));
    return timer;
}

void TimerTable::run(QTimer* timer, bool on) {
    if (!on)
        timer->stop();
    else if (!timer->isActive())
        timer->start();
}

const TimerTable::Slot& TimerTable::slot(const char* name) const {
    for (const Slot& slot : m_slots) {
        if (slot.timer->objectName() == QLatin1String(name))
            return slot;
    }
    qFatal("no timer %s in the table", name);
}

QTimer* TimerTable::timer(const char* name) const {
    return slot(name).timer;
}

bool TimerTable::isActive(const char* name) const {
    return timer(name)->isActive();
}

void TimerTable::fire(const char* name) {
    const Slot& s = slot(name);
    if (s.timer->isSingleShot())
        s.timer->stop();
    s.tick();
}

void TimerTable::fireArmed() {
    for (const Slot& s : m_slots) {
        if (s.timer->isSingleShot() && s.timer->isActive()) {
            s.timer->stop();
            s.tick();
        }
    }
}
