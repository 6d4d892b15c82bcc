#include "core/timer_table.h"

#include <QTimer>

TimerTable::TimerTable(QObject* owner) : QObject(owner) {}

void TimerTable::add(std::initializer_list<Entry> entries) {
    for (const Entry& entry : entries) {
        auto* timer = new QTimer(parent());
        timer->setObjectName(QString::fromLatin1(entry.name));
        timer->setInterval(entry.interval);
        timer->setSingleShot(entry.mode != Repeating);
        if (entry.mode == PreciseOneShot)
            timer->setTimerType(Qt::PreciseTimer);
        m_slots.push_back({timer, entry.tick});
        connect(timer, &QTimer::timeout, this, entry.tick);
    }
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

void TimerTable::start(const char* name) {
    timer(name)->start();
}

void TimerTable::stop(const char* name) {
    timer(name)->stop();
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
