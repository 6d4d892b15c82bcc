#include "words/ui/word_look.h"

#include "look/look.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>

namespace WordLook {

void paintMarkStrip(QPainter& p, const QRect& area) {
    const QPalette own = Look::basePalette();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(own.color(QPalette::Mid), 1));
    p.setBrush(own.color(QPalette::Base));
    p.drawRoundedRect(QRectF(area).adjusted(0.5, 0.5, -0.5, 4), 6, 6);
}

void paintHintSquare(QPainter& p, const QRect& area, const QFont& font, const QString& letter) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kHintSquare);
    p.drawRoundedRect(QRectF(area), 6, 6);
    p.setFont(font);
    p.setPen(Qt::white);
    const QRectF outline = QFontMetricsF(font).tightBoundingRect(letter);
    p.drawText(QRectF(area).center() - outline.center(), letter);
}

void styleWordDisplay(QLabel* label) {
    label->setStyleSheet(
        QStringLiteral("QLabel { color: black; background: white; border-radius: 8px; }"));
}

} // namespace WordLook
