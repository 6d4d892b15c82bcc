#pragma once

// The Windows virtual-key codes the practice rules speak in: 65-90 letters, 48-57 digits,
// 186-192 and 219-222 punctuation, and the keys named here.
namespace KeyCode {
constexpr int Backspace = 8, Tab = 9, Enter = 13, Shift = 16, Pause = 19, CapsLock = 20, Space = 32,
              Left = 37, Right = 39, F2 = 113, F3 = 114;
} // namespace KeyCode
