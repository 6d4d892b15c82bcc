#pragma once

#include <QPointer>
#include <QWidget>

class PracticeWindow;
class QStackedLayout;

// The program's one top-level window. The practice windows are its pages, one shown at a
// time: a switch keeps the window, with its place, size and the keyboard focus, on every
// desktop (a Wayland client cannot place a window of its own, so a new window per mode would
// jump). The window's title is the shown page's caption, and closing the window closes that
// page, which runs its unload chores and, as its closing mark says, ends the program.
class PracticeHost : public QWidget {
    Q_OBJECT
  public:
    explicit PracticeHost(QWidget* parent = nullptr);

    PracticeWindow* page() const { return m_page; }
    // Shows `page` in place of the page shown so far, in one step with no frame between. The
    // page left is hidden, not closed: its unload chores are the navigator's to run.
    void showPage(PracticeWindow* page);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QStackedLayout* m_pages = nullptr;
    QPointer<PracticeWindow> m_page;
};
