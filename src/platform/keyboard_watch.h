#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>
#include <memory>

class KeyboardChoice;
class WaylandKeyboard;

// Tells the learner's keyboard choice what the display server does with the keyboard while the
// program runs:
//  - under X11, XKB's notify events of a new keymap or another group and a change of the
//    layout names' root property (setxkbmap writes it after the keymap), both on Qt's own
//    connection, where Qt has asked for them;
//  - on Wayland, the compositor's keymap on a connection of our own, and the keys typed, whose
//    characters tell the group in use where nothing else reaches a client.
// Each change is read once the events of one burst are in, well within a second.
class KeyboardWatch : public QObject, public QAbstractNativeEventFilter {
  public:
    // Starts watching the display server of the running application. On Wayland the first
    // keymap is waited for a short while, so that the first window can be drawn in it.
    explicit KeyboardWatch(KeyboardChoice& choice);
    ~KeyboardWatch() override;

    // Loads the choice with the system's keyboard as the watch found it (KeyboardChoice::load).
    void load();

    // How long start-up waits for the compositor's first keymap.
    static constexpr int kKeymapWaitMs = 3;

  protected:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    KeyboardChoice& m_choice;
    std::unique_ptr<WaylandKeyboard> m_wayland;
    QTimer m_reread; // X11: one reading for a burst of events
    quint8 m_xkbEvent = 0;
    quint32 m_namesAtom = 0;
};
