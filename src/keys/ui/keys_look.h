#pragma once

#include "core/keyboard_table.h"
#include "look/look.h"

#include <QColor>

class QLabel;
class QPainter;
class QPalette;
class QPointF;
class QRect;
class QRectF;

// The looks of Keys practice, made from the shared primitives of look/look.h.
namespace KeysLook {

// The Keys practice keyboard: how a key looks in each of its pictures. Character keys are
// light blue and the others violet; the key to press is green, a key held down a deeper
// green, a wrong key red (deeper while held).
enum class KeyFace { Character, Function, Tip, Pressed, Wrong, WrongPressed };
Look::KeyColours keyColours(KeyFace face);
// "Finger colours": a key at rest in the colour of the finger that strikes it, one of eight,
// none of them the green or red of the marks. Keys of no finger keep their own colours.
Look::KeyColours fingerColours(KeyboardTable::Finger finger);
bool hasFingerColour(KeyboardTable::Finger finger);
// The cross on a wrong key, and the lit lamp of the Caps Lock indicator.
inline const QColor kWrongCross{255, 255, 255, 220};
void paintCapsLamp(QPainter& painter, const QPointF& centre, qreal radius);

// The background of the practice line panel and the typed row.
inline const QColor kLineBackground{0xf9, 0xf9, 0xf9};
// A panel of one line of practice text: its background and a thin rule around it.
void paintLinePanel(QPainter& painter, const QRect& area, const QPalette& palette);
// The status bar: a rounded strip in the skin's colours; its fields are the skin's text on
// its base.
void paintStatusBar(QPainter& painter, const QRect& area, const QPalette& palette);
void styleStatusField(QLabel* label);
// The progress bar: the empty bar in blue, its filled part in green.
void paintProgress(QPainter& painter, const QRectF& area, bool filled);

} // namespace KeysLook
