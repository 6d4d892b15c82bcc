#pragma once

#include <QColor>

class QLabel;
class QPainter;
class QRect;
class QWidget;

// The looks of the typing game, made from the shared primitives of look/look.h.
namespace GameLook {

// Items are drawn in their own colours on black; the game-over caption is white on black.
inline const QColor kItemBackground{0, 0, 0};
inline const QColor kGameOverInk{255, 255, 255};

// The game's field: a night sky with stars and a moon over two ridges of forest.
void paintNightScene(QPainter& painter, const QRect& area);
// A heading of the game's status line ("integral", "Time", "Speed"): a small card with the
// heading at its top; the value below it is drawn in red (styleValue).
void styleHeading(QLabel* label);
void styleValue(QLabel* label);
// "Game over, again?": large white letters on black, at most `pointSize` and no wider than
// the label.
void styleGameOver(QLabel* label, double pointSize);
// The bright button over the night field ("Select game item").
void styleButton(QWidget* button);
// A narrow button whose caption needs the room a skin's padding would take.
void styleNarrowButton(QWidget* button);
// The game's settings panel with its groups, options and check boxes, in the skin's colours.
void stylePanel(QWidget* panel);

} // namespace GameLook
