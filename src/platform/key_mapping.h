#pragma once

#include "core/key_codes.h"

class QKeyEvent;

// The Windows virtual-key code of a key event; 0 for keys the program does not know.
int virtualKeyCode(const QKeyEvent* event);
int virtualKeyCode(int qtKey);
