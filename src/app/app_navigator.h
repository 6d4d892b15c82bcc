#pragma once

#include "frame/app_context.h"
#include "frame/navigator.h"

#include "frame/practice_host.h"
#include "frame/practice_window.h"

#include <QCoreApplication>
#include <QPointer>
#include <functional>
#include <memory>

class ThemeMenu;

// The only place that knows every window: creates them as pages of the program's one window,
// switches between them and hands the word lesson and the article over from one to the next.
class AppNavigator final : public Navigator {
  public:
    AppNavigator(const AppContext& context, ThemeMenu* themeMenu);
    ~AppNavigator() override;

    // Shows the program's window with its first page, the Word practice window.
    PracticeWindow* start();
    PracticeWindow* current() const { return m_current; }
    // The top-level window that shows the pages.
    PracticeHost* window() const { return m_window.get(); }

    void navigate(PracticeWindow* from, int entry) override;
    void popThemeMenu(PracticeWindow* from, QPoint globalPos) override;
    void endProgram() override;

    bool ended() const { return m_ended; }
    // What ending the program does; tests replace it so their event loops keep running.
    void setQuit(std::function<void()> quit) { m_quit = std::move(quit); }

  private:
    PracticeWindow* create(int entry, const HandOver& handOver);
    void switchTo(PracticeWindow* from, int entry);
    HandOver handOverTo(int entry, const PracticeWindow* from) const;

    AppContext m_context;
    ThemeMenu* m_themeMenu;
    std::unique_ptr<PracticeHost> m_window;
    QPointer<PracticeWindow> m_current;
    bool m_ended = false;
    std::function<void()> m_quit = [] { QCoreApplication::exit(0); };
};
