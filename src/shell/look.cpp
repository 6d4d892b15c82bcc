#include "shell/look.h"

#include "shell/twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

namespace Look {

QFont uiFont(double pointSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QCursor navigationCursor() {
    const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const int size = 24;
    QPixmap pixmap(int(size * dpr), int(size * dpr));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A pointing hand: one raised finger over a rounded palm.
    QPainterPath hand;
    hand.addRoundedRect(QRectF(7, 1.5, 4, 12), 2, 2);
    hand.addRoundedRect(QRectF(6, 9, 13, 11), 4, 4);
    hand.addRoundedRect(QRectF(3, 10, 5, 7), 2.5, 2.5);
    hand = hand.simplified();
    p.setPen(QPen(QColor(20, 30, 40), 1.3));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(hand);
    p.setPen(QPen(QColor(120, 130, 140), 1));
    p.drawLine(QPointF(11, 12), QPointF(11, 15));
    p.drawLine(QPointF(14.5, 12), QPointF(14.5, 15));
    p.end();
    return QCursor(pixmap, 9, 2);
}

QString baseStyleSheet() {
    return QStringLiteral(R"(
QToolTip { color: #1f2a37; background: #fffbe6; border: 1px solid #d9c98a; padding: 3px; }
#Shape3 { border: 1px solid #8fa3b8; }
)");
}

void drawKeycap(QPainter& painter, const QRectF& cap, const QColor& top, const QColor& bottom,
                const QColor& edge, qreal radius, qreal depth) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(edge);
    painter.drawRoundedRect(cap.translated(0, depth), radius, radius);
    QLinearGradient face(cap.topLeft(), cap.bottomLeft());
    face.setColorAt(0, top);
    face.setColorAt(1, bottom);
    painter.setBrush(face);
    painter.drawRoundedRect(cap, radius, radius);
}

QString labelStyle(const QString& colour, const QString& background) {
    return QStringLiteral("QLabel { color: %1; background: %2; }").arg(colour, background);
}

void addMeters(QWidget* parent, std::initializer_list<Meter> meters, MeterLayout layout,
               int leftTwips, int topTwips, int chipWidthTwips) {
    int left = leftTwips;
    int top = topTwips;
    for (const Meter& meter : meters) {
        auto* caption = new QLabel(QString::fromLatin1(meter.caption), parent);
        caption->setStyleSheet(labelStyle(QStringLiteral("#5b6b7c")));
        caption->setFont(uiFont(9));
        auto* value = new QLabel(QString::fromLatin1(meter.initial), parent);
        value->setObjectName(QString::fromLatin1(meter.name));
        value->setStyleSheet(QStringLiteral("QLabel { color: #1f2a37; background: white;"
                                            " border: 1px solid #d5dee8; border-radius: 7px; }"));
        value->setFont(uiFont(11, true));
        value->setAlignment(Qt::AlignCenter);
        if (layout == MeterLayout::CaptionBefore) {
            caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            caption->setGeometry(twipsRect(left, top + 30, 1200, 420));
            value->setGeometry(twipsRect(left + 1320, top, chipWidthTwips, 480));
            left += 1440 + chipWidthTwips;
        } else {
            caption->setGeometry(twipsRect(left, top, chipWidthTwips, 300));
            value->setGeometry(twipsRect(left, top + 300, chipWidthTwips, 480));
            top += 1035;
        }
        *meter.value = value;
    }
}

void setStyleSheet(QWidget* widget, const QString& styleSheet) {
    if (widget->styleSheet() != styleSheet)
        widget->setStyleSheet(styleSheet);
}

void setOwnStyle(QWidget* widget, const QString& styleSheet) {
    widget->setProperty("ownStyle", styleSheet);
    setStyleSheet(widget, styleSheet);
}

} // namespace Look
