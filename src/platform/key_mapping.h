#pragma once

#include "core/key_codes.h"
#include "core/keyboard_layout.h"

class QKeyEvent;

// The Windows virtual-key code of a key event; 0 for keys the program does not know.
int virtualKeyCode(const QKeyEvent* event);
int virtualKeyCode(int qtKey);

// The key of the keyboard table a key event comes from in `layout`. For the US layout that is
// its Windows key code, `code`; for another, the key of its scan code where the layout knows
// it, else the key that types the character it typed. A key that types nothing (Shift,
// Backspace, Enter) keeps its Windows key code; a character key not found gives 0. AltGr is a
// Shift key.
int layoutKeyCode(const QKeyEvent* event, int code, const KeyboardLayout& layout);
