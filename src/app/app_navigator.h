#pragma once

#include "frame/app_context.h"
#include "frame/navigator.h"

#include "frame/practice_host.h"
#include "frame/practice_window.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class ThemeMenu;

// The only place that knows every window: creates them as pages of the program's one window,
// switches between them and hands the word lesson and the article over from one to the next.
// It also tells the user of a state file that could not be saved: during practice once, as
// soon as the window is free; at the end of the program before it ends, after saving again in
// silence, and offering to save again when making room can mend it. The runs of the history
// that could not reach the disk are saved again and asked about with them.
class AppNavigator final : public Navigator {
  public:
    AppNavigator(const AppContext& context, ThemeMenu* themeMenu);
    ~AppNavigator() override;
    AppNavigator(const AppNavigator&) = delete;
    AppNavigator& operator=(const AppNavigator&) = delete;

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
    // No one may be there to answer (the session is ending): a save that fails at the end
    // goes to the error output only, and the program ends at once.
    void setUnattended() { m_unattended = true; }

  private:
    PracticeWindow* create(int entry, const HandOver& handOver);
    void switchTo(PracticeWindow* from, int entry);
    HandOver handOverTo(int entry, const PracticeWindow* from) const;
    void saveFailed(const QString& message);
    void tellSaveFailure();
    bool saveAgain();
    void tellFailedSavesBeforeEnd();
    QWidget* messageParent() const;

    AppContext m_context;
    ThemeMenu* m_themeMenu;
    std::unique_ptr<PracticeHost> m_window;
    QPointer<PracticeWindow> m_current;
    bool m_ended = false;
    bool m_unattended = false;
    QString m_saveFailure; // told when the window is free, or before the program ends
    QObject m_messages;    // the context of the queued message
    std::function<void()> m_quit = [] { QCoreApplication::exit(0); };
};
