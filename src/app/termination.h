#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, Ctrl+C in a terminal) into a call on
// the user-interface thread, so that the program can close its window, and save its state,
// the way a click on the close button does.
class Termination : public QObject {
    Q_OBJECT
  public:
    explicit Termination(std::function<void()> onRequest, QObject* parent = nullptr);
    ~Termination() override;

  private:
    std::function<void()> m_onRequest;
    QSocketNotifier* m_notifier = nullptr;
};
