#pragma once

#include <QFlags>
#include <QObject>
#include <QPoint>
#include <functional>
#include <initializer_list>
#include <vector>

class QWidget;

// A window's documented mouse triggers as data: which control, on which event, does what.
// The table watches each control (the window itself stands for its background); a window
// writes no event filter of its own for these. Controls are given as the widgets themselves,
// so a route can never name a control that is not there.
namespace Route {

enum class On {
    Move,         // the pointer moves over the control
    Press,        // any button pressed
    LeftPress,    // the left button pressed
    Release,      // any button released
    RightRelease, // the right button released
};

enum Action {
    HidePanel = 0x1,          // hide the settings panel
    FocusInput = 0x2,         // give the input box the focus
    ThemeMenu = 0x4,          // pop the theme menu up at the pointer, then focus the input box
    ThemeMenuKeepFocus = 0x8, // the same, leaving the focus where it is
    Swallow = 0x10,           // the event goes no further (not to the control, nor its parents)
};
Q_DECLARE_FLAGS(Actions, Action)

struct Entry {
    QWidget* control;
    On on;
    Actions actions;
};

} // namespace Route

Q_DECLARE_OPERATORS_FOR_FLAGS(Route::Actions)

class RouteTable : public QObject {
    Q_OBJECT
  public:
    using Runner = std::function<void(Route::Actions, QPoint globalPos)>;

    // Watches the controls of `window`; `run` carries out the actions of a matching entry.
    RouteTable(QWidget* window, std::initializer_list<Route::Entry> entries, Runner run);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Watched {
        QObject* control;
        Route::On on;
        Route::Actions actions;
    };
    std::vector<Watched> m_routes;
    Runner m_run;
};
