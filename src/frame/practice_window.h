#pragma once

#include "frame/app_context.h"
#include "frame/closing_mark.h"
#include "look/fonts.h"
#include "core/practice_sound.h"
#include "frame/route_table.h"

#include <QList>
#include <QWidget>

class NavigationBanner;
class QAbstractButton;
class QKeySequence;
class SettingsPanel;
class TimerTable;
struct HandOver;

// A practice window's frame, composed of its parts: the navigation banner, the closing mark
// (Label38t, Timer3t, the hot zone) and the settings panel. It runs the unload chores in one
// place, carries out the window's declared routes and keeps the window's timer table. It
// holds no rule of any mode. The program builds it as a page of its one top-level window
// (PracticeHost); alone, as in tests, it is a window of its own.
class PracticeWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr const QString& kFend = ClosingMark::kFend;
    static constexpr const QString& kTend = ClosingMark::kTend;

    PracticeWindow(const AppContext& context, const QString& objectName, int ownEntry,
                   QWidget* parent = nullptr);
    ~PracticeWindow() override;

    int ownEntry() const { return m_ownEntry; }
    QString closingMark() const;
    void setClosingMark(const QString& mark);
    // Arms Timer3t again: the mark returns to "Tend" 11 ms later.
    void rearm();

    // A click on navigation entry `entry`.
    void navigationClick(int entry);
    // Closes the window for navigation, running the unload chores once.
    void unload();
    // Shows the theme menu, then gives the window's own controls their look back.
    void popThemeMenu(QPoint globalPos, bool focusInput = true);
    void reExempt();

    // The window's timers, by name; tests fire them instead of waiting.
    TimerTable& timers() { return *m_timers; }

    // What the navigator hands over when it shows the window (or re-arms it); by default
    // nothing is taken.
    virtual void takeHandOver(const HandOver&) {}
    // The input box that gets the focus back after menus and panels; may be null.
    virtual QWidget* inputBox() const { return nullptr; }
    // The child windows that keep their own look under every skin.
    virtual QList<QWidget*> exemptControls() const { return {}; }
    // After a theme pop-up; by default the same list as at load.
    virtual QList<QWidget*> reExemptControls() const { return exemptControls(); }

  protected:
    // Writes the window's state file; called first by the unload chores.
    virtual void saveState() {}
    // The window's own work when Timer3t fires, after the mark is set to "Tend".
    virtual void timer3tWork() {}

    // Declares the window's mouse triggers; every named control must exist by now.
    void route(std::initializer_list<Route::Entry> entries);
    SettingsPanel* addSettingsPanel(const QString& name, int widthTwips, int heightTwips);
    SettingsPanel* settingsPanel() const { return m_settingsPanel; }
    // Shows the settings panel at `topLeft` and gives the input box the focus.
    void showSettingsPanel(QPoint topLeft);
    void hideSettingsPanel();
    NavigationBanner* banner() const { return m_banner; }

    void focusInputBox();
    // A shortcut that clicks `button` from anywhere in the window, then gives the input box
    // the focus back.
    void addShortcut(QAbstractButton* button, const QKeySequence& keys);
    void playSound(PracticeSound sound);
    FontChoice fontChoice(PracticeFontWindow window) const;

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

    AppContext m_context;

  private:
    void runRoute(Route::Actions actions, QPoint globalPos);

    int m_ownEntry;
    TimerTable* m_timers = nullptr;
    NavigationBanner* m_banner = nullptr;
    ClosingMark* m_closingMark = nullptr;
    SettingsPanel* m_settingsPanel = nullptr;
    QString m_keySoundPath;
    QString m_errorSoundPath;
    bool m_unloaded = false;
    bool m_navigating = false;
    bool m_shownOnce = false;
};
