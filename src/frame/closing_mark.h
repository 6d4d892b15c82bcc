#pragma once

#include <QObject>
#include <QString>

class ClickLabel;
class QLabel;
class QWidget;
class QTimer;
class TimerTable;

// The closing mark of a practice window: "Fend" while the window is being left for another,
// "Tend" when closing it ends the program. It is the hidden label Label38t, the one-shot
// Timer3t (11 ms) that turns it to "Tend" after a load or a re-arm, and the hot zone Label5pp
// in the top right corner, over which any pointer movement turns it to "Tend" too.
class ClosingMark : public QObject {
    Q_OBJECT
  public:
    static inline const QString kFend = QStringLiteral("Fend");
    static inline const QString kTend = QStringLiteral("Tend");

    // Adds Timer3t to the window's timer table.
    ClosingMark(QWidget* window, TimerTable& timers);

    QString text() const;
    void set(const QString& mark);
    // Arms Timer3t (again): the mark returns to "Tend" 11 ms later.
    void arm();
    // Keeps the hot zone over every other control of the window.
    void raiseHotZone();

  signals:
    // Timer3t fired: the mark reads "Tend" and the window does its own work of that tick.
    void turned();

  private:
    QTimer* m_timer3t = nullptr;
    QLabel* m_label = nullptr;
    ClickLabel* m_hotZone = nullptr;
};
