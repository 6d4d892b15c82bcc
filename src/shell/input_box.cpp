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
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress && m_keyDown) || (type == QEvent::KeyRelease && m_keyUp)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // A key held down repeats its presses, but it is let go only once.
        if (type == QEvent::KeyRelease && key->isAutoRepeat())
            return QLineEdit::event(event);
        m_current = key;
        bool discard = false;
        if (type == QEvent::KeyPress)
            discard = m_keyDown(virtualKeyCode(key));
        else
            m_keyUp(virtualKeyCode(key));
        m_current = nullptr;
        if (discard)
            return true;
    }
    return QLineEdit::event(event);
}

void InputBox::mousePressEvent(QMouseEvent* event) {
    emit pressed();
    QLineEdit::mousePressEvent(event);
}
