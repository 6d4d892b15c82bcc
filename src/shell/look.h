#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QString>
#include <initializer_list>

class QLabel;
class QPainter;
class QRectF;
class QWidget;

// One palette and one type scale for the whole program.
namespace Look {

// Interface text.
QFont uiFont(double pointSize = 9.5, bool bold = false);

inline const QColor kInk{0x1f, 0x2a, 0x37};
inline const QColor kMutedInk{0x5b, 0x6b, 0x7c};
inline const QColor kPaper{0xf5, 0xf8, 0xfb};
inline const QColor kPanel{0xff, 0xff, 0xff};
inline const QColor kLine{0xd5, 0xde, 0xe8};
inline const QColor kAccent{0x2f, 0x6f, 0xb8};
inline const QColor kTeal{0, 128, 128};
inline const QColor kOrange{255, 128, 0};
inline const QColor kCorrect{0, 192, 192};
inline const QColor kWrong{255, 0, 0};

// The pointer over the navigation entries: a small hand drawn in code, sharp at any scale.
QCursor navigationCursor();

// The base style of the program, under every skin; skins add to it.
QString baseStyleSheet();

// A key cap: a rounded face with a vertical gradient, over a darker edge `depth` pixels low.
void drawKeycap(QPainter& painter, const QRectF& cap, const QColor& top, const QColor& bottom,
                const QColor& edge, qreal radius, qreal depth);

// A label's own colours, so that no skin makes it illegible.
QString labelStyle(const QString& colour,
                   const QString& background = QStringLiteral("transparent"));

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

} // namespace Look
