#include "frame/click_label.h"

#include <QMouseEvent>

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        emit rightReleased(event->globalPosition().toPoint());
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved();
    QLabel::mouseMoveEvent(event);
}
