#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QTimer;

// A window's timers in one table: each has its documented name (the QTimer's objectName),
// its interval and the method its tick calls. The models hold no timers. The window keeps the
// QTimer that add() gives back and starts and stops it itself, so the program never names a
// timer by a string; tests step a window by calling fire(name) instead of waiting.
class TimerTable : public QObject {
    Q_OBJECT
  public:
    enum Mode {
        Repeating,
        OneShot,        // stops itself when it fires
        PreciseOneShot, // a one-shot whose lateness the user would hear
    };
    explicit TimerTable(QObject* owner);

    QTimer* add(const char* name, int interval, Mode mode, std::function<void()> tick);
    // Starts the timer unless it runs, or stops it.
    static void run(QTimer* timer, bool on);

    // For tests: a timer by its documented name.
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
