#pragma once

#include "look/look.h"

#include <QColor>

class QFont;
class QLabel;
class QPainter;
class QRect;
class QString;

// The looks of Word practice, made from the shared primitives of look/look.h.
namespace WordLook {

// Colours the rules of Word practice name, the same under every skin.
inline const QColor kTeal{0, 128, 128};         // the band behind the word
inline const QColor kCorrect{0, 192, 192};      // the right characters over the word
inline const QColor kHintSquare{192, 192, 255}; // the letter squares of the keyboard
// White over the teal band, `alpha` opaque.
inline QColor onTeal(int alpha) {
    return QColor(255, 255, 255, alpha);
}
// The red frame that marks a key, and the white frame around it.
inline const QColor kHintFrame = Look::kWrong;
inline const QColor kHintHalo{255, 255, 255};

// The strip the marks above the input box lie on: the program's own light ground under every
// skin, on which both the blue and the red marks stand out.
void paintMarkStrip(QPainter& painter, const QRect& area);
// A letter square of the keyboard: its letter in white, centred by its own outline so that no
// letter, J and Q included, reaches the square's edge.
void paintHintSquare(QPainter& painter, const QRect& area, const QFont& font,
                     const QString& letter);
// The word to type: black on a white card.
void styleWordDisplay(QLabel* label);

} // namespace WordLook
