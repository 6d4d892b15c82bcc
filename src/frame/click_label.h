#pragma once

#include <QLabel>

// A label that reports clicks, double clicks and pointer movement, like the labels and
// pictures of the windows that react to the mouse.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickLabel(const QString& text = QString(), QWidget* parent = nullptr);

  signals:
    void clicked();
    void rightReleased(QPoint globalPos);
    void mouseMoved();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
