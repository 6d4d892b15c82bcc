#include "platform/key_mapping.h"

#include <QKeyEvent>

int virtualKeyCode(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key; // Qt uses the same codes as Windows for letters
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key;
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Delete:
        return 46;
    // Shifted digits report the symbol; the key is the digit's.
    case Qt::Key_ParenRight:
        return 48;
    case Qt::Key_Exclam:
        return 49;
    case Qt::Key_At:
        return 50;
    case Qt::Key_NumberSign:
        return 51;
    case Qt::Key_Dollar:
        return 52;
    case Qt::Key_Percent:
        return 53;
    case Qt::Key_AsciiCircum:
        return 54;
    case Qt::Key_Ampersand:
        return 55;
    case Qt::Key_Asterisk:
        return 56;
    case Qt::Key_ParenLeft:
        return 57;
    // Punctuation: both symbols of a key give the key's code.
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return 186;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return 189;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return 222;
    default:
        // The function keys F1 to F12 are 112 to 123.
        if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
            return 112 + (key - Qt::Key_F1);
        return 0;
    }
}

int virtualKeyCode(const QKeyEvent* event) {
    return virtualKeyCode(event->key());
}

int layoutKeyCode(const QKeyEvent* event, int code, const KeyboardLayout& layout) {
    // AltGr only picks the level of the key that follows, as Shift does, and is let go as Shift
    // is: it judges nothing and sounds no error.
    if (event && event->key() == Qt::Key_AltGr)
        return KeyCode::Shift;
    if (layout.isUs() || !event)
        return code;
    if (const int key = layout.codeOfScanCode(event->nativeScanCode()))
        return key;
    const QString text = event->text();
    if (text.size() == 1 && text[0].isPrint()) {
        if (const int key = layout.codeOf(text[0]))
            return key;
    }
    return KeyboardLayout::characterKeys().contains(code) ? 0 : code;
}
