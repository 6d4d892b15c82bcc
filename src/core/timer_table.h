#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <initializer_list>
#include <vector>

class QTimer;

// A window's timers in one table: each has its documented name (the QTimer's objectName),
// its interval and the method its tick calls. The models hold no timers; tests step a window
// by calling fire(name) instead of waiting.
class TimerTable : public QObject {
    Q_OBJECT
  public:
    enum Mode {
        Repeating,
        OneShot,        // stops itself when it fires
        PreciseOneShot, // a one-shot whose lateness the user would hear
    };
    struct Entry {
        const char* name;
        int interval; // ms
        Mode mode;
        std::function<void()> tick;
    };

    explicit TimerTable(QObject* owner);

    void add(std::initializer_list<Entry> entries);
    void start(const char* name);
    void stop(const char* name);
    bool isActive(const char* name) const;
    // Runs a timer's tick now, as if it had fired: a one-shot timer is stopped first.
    void fire(const char* name);
    QTimer* timer(const char* name) const;
    // Fires every armed one-shot timer, as the passing of their time would.
    void fireArmed();

  private:
    struct Slot {
        QTimer* timer;
        std::function<void()> tick;
    };
    const Slot& slot(const char* name) const;
    std::vector<Slot> m_slots;
};
