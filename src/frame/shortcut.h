#pragma once

#include <QKeySequence>
#include <functional>

class QShortcut;
class QWidget;

// Gives `target` a keyboard shortcut that works anywhere in its window, also while the input
// box has the focus, and names it in the target's tooltip ("Settings (Alt+S)").
QShortcut* addShortcut(QWidget* target, const QKeySequence& keys, std::function<void()> action);

// Esc runs `close` while `panel` is shown, from anywhere in its window; while the panel is
// hidden, Esc reaches the window as any other key.
void closeWithEscape(QWidget* panel, std::function<void()> close);
