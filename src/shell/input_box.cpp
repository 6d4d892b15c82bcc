#include "shell/input_box.h"

#include "shell/key_codes.h"
#include "shell/look.h"

#include <QKeyEvent>

InputBox::InputBox(const QString& name, QWidget* parent) : QLineEdit(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    Look::styleInputBox(this);
}

// Keys are taken before QWidget::event, which would turn Tab into a focus change.
bool InputBox::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_keyDown &&
        m_keyDown(virtualKeyCode(static_cast<QKeyEvent*>(event))))
        return true;
    // A key held down repeats its presses, but it is let go only once.
    if (event->type() == QEvent::KeyRelease && m_keyUp &&
        !static_cast<QKeyEvent*>(event)->isAutoRepeat())
        m_keyUp(virtualKeyCode(static_cast<QKeyEvent*>(event)));
    return QLineEdit::event(event);
}

void InputBox::mousePressEvent(QMouseEvent* event) {
    emit pressed();
    QLineEdit::mousePressEvent(event);
}
