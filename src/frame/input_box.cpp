#include "frame/input_box.h"

#include "platform/key_mapping.h"
#include "look/look.h"

#include <QKeyEvent>

InputBox::InputBox(const QString& name, QWidget* parent) : QLineEdit(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    Look::styleInputBox(this);
}

namespace {

bool isShortcutKey(const QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    default:
        return key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    }
}

// A key is the same key at its press and its release by its scan code, when there is one.
quint64 keyIdentity(const QKeyEvent* key) {
    return key->nativeScanCode() ? quint64(key->nativeScanCode()) << 32
                                 : quint64(uint(key->key()));
}

} // namespace

// Keys are taken before QWidget::event, which would turn Tab into a focus change.
bool InputBox::event(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl, Alt and Meta, and keys held with them, are commands: the box takes none.
        if (isShortcutKey(key))
            return true;
        m_pressed.insert(keyIdentity(key));
        if (m_keyDown) {
            m_current = key;
            const bool discard = m_keyDown(virtualKeyCode(key));
            m_current = nullptr;
            if (discard)
                return true;
        }
    } else if (type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        // A key held down repeats its presses, but it is let go only once.
        if (key->isAutoRepeat())
            return QLineEdit::event(event);
        // Only the release of a key the box saw go down is a keystroke: a shortcut takes its
        // key before the box sees it, and a modifier's own press was refused above.
        if (!m_pressed.remove(keyIdentity(key)))
            return true;
        if (m_keyUp) {
            m_current = key;
            m_keyUp(virtualKeyCode(key));
            m_current = nullptr;
        }
    }
    return QLineEdit::event(event);
}

void InputBox::mousePressEvent(QMouseEvent* event) {
    emit pressed();
    QLineEdit::mousePressEvent(event);
}
