#pragma once

#include <QLineEdit>
#include <QSet>
#include <functional>

class QKeyEvent;

// The box a practice window types into. It hands each key to the window as a Windows key
// code before it edits its text, and looks the same in every window (Look::styleInputBox).
// Shortcuts (keys with Ctrl, Alt or Meta), those modifiers themselves and the release of a
// shortcut's keys are never handed on nor typed: they are commands, not keystrokes.
class InputBox : public QLineEdit {
    Q_OBJECT
  public:
    InputBox(const QString& name, QWidget* parent);

    // Called with the key code of every key press; returning true keeps the key from the box.
    void onKeyDown(std::function<bool(int code)> handler) { m_keyDown = std::move(handler); }
    // Called with the key code of every key let go (not the repeats of a key held down).
    void onKeyUp(std::function<void(int code)> handler) { m_keyUp = std::move(handler); }
    // The key event a handler is called for (its scan code, whether it repeats); null outside.
    const QKeyEvent* currentKey() const { return m_current; }

  signals:
    void pressed(); // a mouse button pressed in the box

  protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    std::function<bool(int)> m_keyDown;
    // The keys down that the box saw pressed: only their releases are keystrokes.
    QSet<quint64> m_pressed;
    std::function<void(int)> m_keyUp;
    const QKeyEvent* m_current = nullptr;
};
