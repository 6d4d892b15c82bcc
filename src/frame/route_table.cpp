#include "frame/route_table.h"

#include <QMouseEvent>
#include <QWidget>

namespace {

bool matches(Route::On on, const QEvent* event) {
    const auto button = [event] { return static_cast<const QMouseEvent*>(event)->button(); };
    switch (on) {
    case Route::On::Move:
        return event->type() == QEvent::MouseMove;
    case Route::On::Press:
        return event->type() == QEvent::MouseButtonPress;
    case Route::On::LeftPress:
        return event->type() == QEvent::MouseButtonPress && button() == Qt::LeftButton;
    case Route::On::Release:
        return event->type() == QEvent::MouseButtonRelease;
    case Route::On::RightRelease:
        return event->type() == QEvent::MouseButtonRelease && button() == Qt::RightButton;
    }
    return false;
}

} // namespace

RouteTable::RouteTable(QWidget* window, std::initializer_list<Route::Entry> entries, Runner run)
    : QObject(window), m_run(std::move(run)) {
    for (const Route::Entry& entry : entries) {
        QWidget* control = entry.control;
        if (entry.on == Route::On::Move)
            control->setMouseTracking(true);
        control->installEventFilter(this);
        m_routes.push_back({control, entry.on, entry.actions});
    }
}

bool RouteTable::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonRelease)
        return false;
    bool swallow = false;
    for (const Watched& route : m_routes) {
        if (route.control != watched || !matches(route.on, event))
            continue;
        m_run(route.actions, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        swallow = swallow || route.actions.testFlag(Route::Swallow);
    }
    return swallow;
}
