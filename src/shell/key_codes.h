#pragma once

class QKeyEvent;

// The Windows virtual-key code of a key event: 65-90 letters, 48-57 digits, 186-192 and
// 219-222 punctuation, 8 Backspace, 13 Enter, 16 Shift, 19 Pause, 20 Caps Lock, 32 Space,
// 37-40 the arrows. 0 for keys the program does not know.
int virtualKeyCode(const QKeyEvent* event);
int virtualKeyCode(int qtKey);

// Windows key codes the rules speak of.
namespace KeyCode {
constexpr int Backspace = 8, Tab = 9, Enter = 13, Shift = 16, Pause = 19, CapsLock = 20,
              Space = 32, Left = 37, Right = 39;
} // namespace KeyCode
