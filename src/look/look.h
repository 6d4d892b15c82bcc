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

// One palette and one type scale for the whole program: the looks that the frame and more
// than one window share, and the primitives each mode's own looks (<mode>/ui/*_look.h) are
// made of. Colours come from the palette of the widget being drawn: the active skin's palette
// reaches every part a skin should reach, and the controls that keep their own look under
// every skin carry the program's own palette (basePalette) instead. Style sheets name palette
// roles, never colours.
namespace Look {

// Interface text.
QFont uiFont(double pointSize = 9.5, bool bold = false);

// The program's own colours, which every skin starts from. The roles mean:
//   Text ink, PlaceholderText muted ink, Base a panel, AlternateBase paper, Midlight the
//   paper's shade, Mid a rule, Highlight the accent and HighlightedText the ink on it, Link
//   a link, Dark and Shadow the keyboard's body.
QPalette basePalette();

// Colours the rules of the program name, the same under every skin.
inline const QColor kOrange{255, 128, 0};  // status lines
inline const QColor kWrong{255, 0, 0};     // wrong characters, wrong marks, the own entry
inline const QColor kRightMark{0, 0, 255}; // the marks under right characters

// The pointer over the navigation entries: a small hand drawn in code, sharp at any scale.
QCursor navigationCursor();

// The base style of the program, under every skin; skins add to it.
QString baseStyleSheet();

// --- painted parts ---
// The banner behind the navigation bar: the program's name beside its keycap logo.
void paintBanner(QPainter& painter, const QRect& area, const QPalette& palette);
// A paper card: a quiet gradient with a rule along its foot.
void paintPaper(QPainter& painter, const QRect& area, const QPalette& palette);
// The body of a keyboard: a dark slab, square (radius 0) or rounded.
void paintKeyboardBody(QPainter& painter, const QRectF& area, const QPalette& palette,
                       qreal radius);
// The colour of the recess a key sits in.
QColor keyWell(const QPalette& palette);
// The colours of a key cap: its face from top to bottom, its edge and its label.
struct KeyColours {
    QColor top, bottom, edge, ink;
};
// A key cap: a rounded face with a vertical gradient, over a darker edge `depth` pixels low.
void drawKeycap(QPainter& painter, const QRectF& cap, const QColor& top, const QColor& bottom,
                const QColor& edge, qreal radius, qreal depth);
// The program's logo: a key cap with a bold Z of `pointSize` on it.
void drawLogoKey(QPainter& painter, const QRectF& cap, const KeyColours& colours, double pointSize,
                 qreal radius);
// A light key cap of a keyboard, tinted (tint invalid: plain), with its label's colour.
void drawLightKey(QPainter& painter, const QRectF& cap, const QPalette& palette, const QColor& tint,
                  qreal radius);
QColor keyLabelInk(const QPalette& palette);

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
// Text in a fixed colour on no background, so no skin makes it illegible.
QString labelStyle(const QColor& colour);
// A field: the skin's text on its base inside a thin rule, corners of `radius` pixels, with
// `extra` declarations.
QString fieldStyle(int radius, const QString& extra = QString());
// A navigation entry: black (or the skin's light ink on a dark banner), red for the window's
// own entry.
QString navigationEntryStyle(bool own, const QPalette& palette);

// A meter: its caption label and the chip that shows its value (named `name`).
struct Meter {
    const char* caption;
    const char* name;
    const char* initial;
    QLabel** value;
};
// Lays meters out side by side from (leftTwips, topTwips), each caption right-aligned before
// its chip.
void addMeters(QWidget* parent, std::initializer_list<Meter> meters, int leftTwips, int topTwips,
               int chipWidthTwips = 1320);

// Sets a style sheet unless the widget has that one already: setting one re-polishes the
// widget and all its children even when nothing changed.
void setStyleSheet(QWidget* widget, const QString& styleSheet);

// Sets a widget's own look: applied now and kept under every skin (see SkinEngine).
void setOwnStyle(QWidget* widget, const QString& styleSheet);

} // namespace Look
