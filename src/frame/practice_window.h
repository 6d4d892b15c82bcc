#pragma once

#include "core/practice_model.h"
#include "frame/app_context.h"
#include "frame/closing_mark.h"
#include "frame/route_table.h"
#include "history/practice_run.h"
#include "look/fonts.h"

#include <QList>
#include <QWidget>

#include <memory>

class NavigationBanner;
class ProgressRecorder;
class QAbstractButton;
class QKeySequence;
class QTimer;
class SettingsPanel;
class TimerTable;
struct HandOver;

// A practice window's frame, composed of its parts: the navigation banner, the closing mark
// (Label38t, Timer3t, the hot zone) and the settings panel. It runs the unload chores in one
// place, carries out the window's declared routes and keeps the window's timer table. It acts
// on the events of the window's model (sounds, the history, the clock timer, messages). It
// holds no rule of any mode. The program builds it as a page of its one top-level window
// (PracticeHost); alone, as in tests, it is a window of its own.
class PracticeWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr const QString& kFend = ClosingMark::kFend;
    static constexpr const QString& kTend = ClosingMark::kTend;
    // What the speed meters count, for their tooltips: the unit texts ("WPM", "WMP") stay as
    // they are, though they count characters.
    static const QString kSpeedToolTip;

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
    // Subscribes the frame to the window's model, once. The frame plays the sounds the model
    // asks for, tells the history of every judged key, run end and counter reset, runs the
    // timer `clockTimer` while the model's clock runs, shows the model's messages, and records
    // the run when the window unloads. The window draws the rest in render().
    void attachModel(PracticeModel* model, PracticeMode mode, QTimer* clockTimer);
    // The window's own share of one change of its model: what the display flags name. It is
    // called after the frame has played the sounds and run the clock, before a message shows.
    virtual void render(const ModelEvents&) {}
    // A sound the model asks for; played at once unless the window defers it.
    virtual void requestSound(PracticeSound sound) { playSound(sound); }

    // Puts the run so far and the figures of its keys into the history now, as the unload
    // chores do, so that what is read from the history next holds them.
    void recordRunSoFar();

    // Writes the window's state file; called by the unload chores, after the run is recorded.
    virtual void saveState() {}
    // The window's own work when Timer3t fires, after the mark is set to "Tend".
    virtual void timer3tWork() {}

    // Declares the window's mouse triggers; every named control must exist by now.
    void route(std::initializer_list<Route::Entry> entries);
    SettingsPanel* addSettingsPanel(const QString& name, int widthTwips, int heightTwips);
    SettingsPanel* settingsPanel() const { return m_settingsPanel; }
    // "Settings": the window shows its panel where it belongs, or hides it when it is open.
    virtual void openSettings() {}
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
    void popThemeMenuUnderThemes();
    void modelChanged(const ModelEvents& events);

    int m_ownEntry;
    TimerTable* m_timers = nullptr;
    NavigationBanner* m_banner = nullptr;
    ClosingMark* m_closingMark = nullptr;
    SettingsPanel* m_settingsPanel = nullptr;
    PracticeModel* m_model = nullptr;
    std::unique_ptr<ProgressRecorder> m_recorder;
    QTimer* m_clockTimer = nullptr;
    QString m_keySoundPath;
    QString m_errorSoundPath;
    bool m_unloaded = false;
    bool m_navigating = false;
    bool m_shownOnce = false;
};
