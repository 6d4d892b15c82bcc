#pragma once

#include "frame/app_context.h"
#include "frame/navigator.h"

#include "frame/practice_window.h"

#include <QCoreApplication>
#include <QPointer>
#include <functional>

class ThemeMenu;

// The only place that knows every window: creates them, switches between them and hands the
// word lesson and the article over from one to the next.
class AppNavigator final : public Navigator {
  public:
    AppNavigator(const AppContext& context, ThemeMenu* themeMenu);

    // Creates and shows the first window, the Word practice window.
    PracticeWindow* start();
    PracticeWindow* current() const { return m_current; }

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
    QPointer<PracticeWindow> m_current;
    bool m_ended = false;
    std::function<void()> m_quit = [] { QCoreApplication::exit(0); };
};
