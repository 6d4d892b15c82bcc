#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <initializer_list>

class QLabel;
class QLineEdit;
class QPainter;
class QRect;
class QRectF;
class QWidget;

// One palette and one type scale for the whole program. Every look is made here, once. Colours
// come from the palette of the widget being drawn: the active skin's palette reaches every part
// a skin should reach, and the controls that keep their own look under every skin carry the
// program's own palette (basePalette) instead. Style sheets name palette roles, never colours.
namespace Look {

// Interface text.
QFont uiFont(double pointSize = 9.5, bool bold = false);

// The program's own colours, which every skin starts from. The roles mean:
//   Text ink, PlaceholderText muted ink, Base a panel, AlternateBase paper, Midlight the
//   paper's shade, Mid a rule, Highlight the accent and HighlightedText the ink on it, Link
//   a link, Dark and Shadow the keyboard's body.
QPalette basePalette();

// Colours the rules of the program name, the same under every skin.
inline const QColor kTeal{0, 128, 128};         // the band behind the word
inline const QColor kOrange{255, 128, 0};       // status lines
inline const QColor kCorrect{0, 192, 192};      // the right characters over the word
inline const QColor kWrong{255, 0, 0};          // wrong characters, wrong marks, the own entry
inline const QColor kRightMark{0, 0, 255};      // the marks under right characters
inline const QColor kHintSquare{192, 192, 255}; // the letter squares of the Word keyboard
inline const QColor kPageInk{0, 0, 0};          // the article on its page
inline const QColor kPageSheet{255, 255, 255};  // the article page
// White over the teal band, `alpha` opaque.
inline QColor onTeal(int alpha) {
    return QColor(255, 255, 255, alpha);
}

// The pointer over the navigation entries: a small hand drawn in code, sharp at any scale.
QCursor navigationCursor();

// The base style of the program, under every skin; skins add to it.
QString baseStyleSheet();

// --- painted parts ---
// The banner behind the navigation bar: the program's name beside its keycap logo.
void paintBanner(QPainter& painter, const QRect& area, const QPalette& palette);
// The strip the marks above an input box lie on: the program's own light ground under every
// skin, on which both the blue and the red marks stand out.
void paintMarkStrip(QPainter& painter, const QRect& area);
// A paper card: a quiet gradient with a rule along its foot.
void paintPaper(QPainter& painter, const QRect& area, const QPalette& palette);
// The body of a keyboard: a dark slab, square (radius 0) or rounded.
void paintKeyboardBody(QPainter& painter, const QRectF& area, const QPalette& palette,
                       qreal radius);
// The colour of the recess a key sits in.
QColor keyWell(const QPalette& palette);
// A key cap: a rounded face with a vertical gradient, over a darker edge `depth` pixels low.
void drawKeycap(QPainter& painter, const QRectF& cap, const QColor& top, const QColor& bottom,
                const QColor& edge, qreal radius, qreal depth);
// A light key cap of a keyboard, tinted (tint invalid: plain), with its label's colour.
void drawLightKey(QPainter& painter, const QRectF& cap, const QPalette& palette, const QColor& tint,
                  qreal radius);
QColor keyLabelInk(const QPalette& palette);
// The tint of the keys a finger strikes (0..7 from the left little finger, 8 the thumbs,
// -1 none).
QColor fingerTint(int finger);
// The Keys practice keyboard: how a key looks in each of its pictures. Character keys are
// light blue and the others violet; the key to press is green, a key held down a deeper
// green, a wrong key red (deeper while held).
enum class KeyFace { Character, Function, Tip, Pressed, Wrong, WrongPressed };
struct KeyColours {
    QColor top, bottom, edge, ink;
};
KeyColours keyColours(KeyFace face);
// The cross on a wrong key, and the lit lamp of the Caps Lock indicator.
inline const QColor kWrongCross{255, 255, 255, 220};
void paintCapsLamp(QPainter& painter, const QPointF& centre, qreal radius);
// The background of the practice line panel and the typed row.
inline const QColor kLineBackground{0xf9, 0xf9, 0xf9};
// A panel of one line of practice text: its background and a thin rule around it.
void paintLinePanel(QPainter& painter, const QRect& area, const QPalette& palette);
// The Keys status bar: a rounded strip in the skin's colours; its fields are the skin's text on
// its base.
void paintStatusBar(QPainter& painter, const QRect& area, const QPalette& palette);
void styleStatusField(QLabel* label);
// The progress bar: the empty bar in blue, its filled part in green.
void paintProgress(QPainter& painter, const QRectF& area, bool filled);
// The red frame that marks a key, and the white frame around it.
inline const QColor kHintFrame = kWrong;
inline const QColor kHintHalo{255, 255, 255};

// --- styled controls ---
// The box the learner types into.
void styleInputBox(QLineEdit* box);
// A small hidden text box that only holds text.
void styleTextHolder(QLineEdit* box);
// A count or number on a chip in the accent colour.
void styleBadge(QLabel* label, int radius = 9);
// A caption in muted ink.
void styleCaption(QLabel* label, double pointSize = 9, bool bold = false);
// The link to the online games; `onDark` for the game's night bar.
void styleGamesLink(QLabel* label, bool onDark = false);
// A status line that comes and goes: white on the status orange.
void styleStatusLine(QLabel* label);
// A notice on the article page: white on red.
void styleNotice(QLabel* label);
// Text in a fixed colour on no background, so no skin makes it illegible.
QString labelStyle(const QColor& colour);
// A navigation entry: black (or the skin's light ink on a dark banner), red for the window's
// own entry.
QString navigationEntryStyle(bool own, const QPalette& palette);
// A line of text on a white panel with a rounded border.
void styleTextPanel(QLabel* label, bool emphasised);
// A letter square of the Word keyboard: its letter in white, centred by its own outline so
// that no letter, J and Q included, reaches the square's edge.
void paintHintSquare(QPainter& painter, const QRect& area, const QFont& font,
                     const QString& letter);
// The word to type: black on a white card.
void styleWordDisplay(QLabel* label);
// A key cap shown as a label: white on teal.
void styleKeyLabel(QLabel* label);

// A meter: its caption label and the chip that shows its value (named `name`).
struct Meter {
    const char* caption;
    const char* name;
    const char* initial;
    QLabel** value;
};
enum class MeterLayout { CaptionBefore, CaptionAbove };
// Lays meters out from (leftTwips, topTwips), one after the other: side by side with the
// caption right-aligned before the chip, or stacked with the caption above the chip.
void addMeters(QWidget* parent, std::initializer_list<Meter> meters, MeterLayout layout,
               int leftTwips, int topTwips, int chipWidthTwips = 1320);

// Sets a style sheet unless the widget has that one already: setting one re-polishes the
// widget and all its children even when nothing changed.
void setStyleSheet(QWidget* widget, const QString& styleSheet);

// Sets a widget's own look: applied now and kept under every skin (see SkinEngine).
void setOwnStyle(QWidget* widget, const QString& styleSheet);
// A side panel of paper with a rounded border, as a style sheet for the widget `name`.
void stylePaperPanel(QWidget* panel);
// The game's field: a night sky with stars and a moon over two ridges of forest.
void paintNightScene(QPainter& painter, const QRect& area);

// --- the typing game ---
// Items are drawn in their own colours on black; the game-over caption is white on black.
inline const QColor kItemBackground{0, 0, 0};
inline const QColor kGameOverInk{255, 255, 255};
// A heading of the game's status line ("integral", "Time", "Speed"): a small card with the
// heading at its top; the value below it is drawn in red (styleGameValue).
void styleGameHeading(QLabel* label);
void styleGameValue(QLabel* label);
// "Game over, again?": large white letters on black, at most `pointSize` and no wider than
// the label.
void styleGameOver(QLabel* label, double pointSize);
// The bright button over the night field ("Select game item").
void styleGameButton(QWidget* button);
// A narrow button whose caption needs the room a skin's padding would take.
void styleNarrowButton(QWidget* button);
// The game's settings panel with its groups, options and check boxes, in the skin's colours.
void styleGamePanel(QWidget* panel);

// The colour of a share that goes wrong, from 0 (calm) to 1 (alarming), on the skin's ground;
// bright enough to read on a dark ground too.
QColor heatColour(const QPalette& palette, double share);
// Near-black or white, whichever reads better on `fill`.
QColor inkOn(const QColor& fill);

} // namespace Look
