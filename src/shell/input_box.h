#pragma once

#include <QLineEdit>
#include <functional>

// The box a practice window types into. It hands each key to the window as a Windows key
// code before it edits its text, and looks the same in every window (Look::styleInputBox).
class InputBox : public QLineEdit {
    Q_OBJECT
  public:
    InputBox(const QString& name, QWidget* parent);

    // Called with the key code of every key press; returning true keeps the key from the box.
    void onKeyDown(std::function<bool(int code)> handler) { m_keyDown = std::move(handler); }
    // Called with the key code of every key let go (not the repeats of a key held down).
    void onKeyUp(std::function<void(int code)> handler) { m_keyUp = std::move(handler); }

  signals:
    void pressed(); // a mouse button pressed in the box

  protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    std::function<bool(int)> m_keyDown;
    std::function<void(int)> m_keyUp;
};
