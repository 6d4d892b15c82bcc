#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <functional>
#include <memory>

class QPainter;
class QWidget;

// Draws parts of one widget straight onto its window on X11: it keeps its own picture of the
// widget, draws the parts into it, and has the X server copy them to the window, from memory
// shared with the server where it can. No repaint of the window, no wait for the server and no
// event back: what lets an animation draw 60 frames a second for little processor time, where
// a repaint costs several times as much for a few pixels.
//
// Where it cannot (Wayland, Windows, a scaled screen, an unusual visual, a part under another
// widget), it hands the part back and the widget repaints it as usual. The window's own copy
// of those pixels is left behind; when the window is exposed again the widget is repainted
// wherever that copy may be old, so nothing old ever shows.
class DirectPainter : public QObject {
  public:
    using Draw = std::function<void(QPainter&, const QRect&)>;

    explicit DirectPainter(QWidget* widget);
    ~DirectPainter() override;

    // Draws `region` (widget coordinates) with `draw`, given a painter placed in widget
    // coordinates and clipped to the rectangle it is to fill, which it must fill; returns the
    // part it could not draw. The painter is kept from one call to the next: `draw` sets the
    // pen, brush and font it draws with and leaves the painter's transform alone.
    QRegion paint(const QRegion& region, const Draw& draw);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Target;
    bool ready();
    QRegion covered(const QRect& within) const;

    QWidget* m_widget;
    QPointer<QObject> m_window;       // the window whose exposures it watches
    std::unique_ptr<Target> m_target; // the X window, its picture, and whether it fits
    QRect m_stale;                    // drawn directly since the window last showed its copy
};
