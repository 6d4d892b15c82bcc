#include "platform/caps_lock_tracker.h"

#include <QKeyEvent>

void CapsLockTracker::keyEvent(const QKeyEvent& event) {
    const bool press = event.type() == QEvent::KeyPress;
    if (event.key() == Qt::Key_CapsLock) {
        // While the key is down the mask holds Lock as a depressed modifier, whatever the
        // lock becomes: only the press tells, by what it turns over.
        if (!press || event.isAutoRepeat())
            return;
        if (m_source == Source::XkbModifiers)
            m_on = !(event.nativeModifiers() & kXkbLockMask);
        else if (m_on)
            m_on = !*m_on;
        return;
    }
    if (m_source == Source::XkbModifiers) {
        m_on = (event.nativeModifiers() & kXkbLockMask) != 0;
        return;
    }
    const QString text = event.text();
    if (!press || text.size() != 1 || !text[0].isLetter() || text[0].isUpper() == text[0].isLower())
        return;
    const bool shifted = event.modifiers() & Qt::ShiftModifier;
    m_on = text[0].isUpper() != shifted;
}
