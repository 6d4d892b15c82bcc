#include "frame/practice_window.h"

#include "core/timer_table.h"
#include "core/twips.h"
#include "frame/closing_mark.h"
#include "frame/navigation_banner.h"
#include "frame/navigator.h"
#include "frame/settings_panel.h"
#include "frame/shortcut.h"
#include "history/progress_recorder.h"
#include "look/skin_engine.h"
#include "platform/platform.h"
#include "platform/sound_player.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>

const QString PracticeWindow::kSpeedToolTip = QStringLiteral(
    "Speed in characters per minute: the keys typed, right or wrong, in the active time. "
    "Divide by five for words per minute.");

PracticeWindow::PracticeWindow(const AppContext& context, const QString& objectName, int ownEntry,
                               QWidget* parent)
    : QWidget(parent), m_context(context), m_ownEntry(ownEntry) {
    setObjectName(objectName);
    setAttribute(Qt::WA_DeleteOnClose);
    setProperty("practiceWindow", true);
    // A skin's window background reaches the page as it reached a window of its own.
    setAttribute(Qt::WA_StyledBackground);
    setFixedSize(twipsSize(kWindowWidthTwips, kWindowHeightTwips));

    m_timers = new TimerTable(this);
    m_banner = new NavigationBanner(ownEntry, this);
    connect(m_banner, &NavigationBanner::entryClicked, this, &PracticeWindow::navigationClick);
    m_closingMark = new ClosingMark(this, *m_timers);
    connect(m_closingMark, &ClosingMark::turned, this, [this] { timer3tWork(); });

    m_keySoundPath = m_context.folder.path(QStringLiteral("\\type.wav"));
    m_errorSoundPath = m_context.folder.path(QStringLiteral("\\error.wav"));
    if (m_context.sound) {
        m_context.sound->preload(m_keySoundPath);
        m_context.sound->preload(m_errorSoundPath);
    }
}

// The last load chores run when the window is first polished, after its constructor has
// built every control: its own controls keep their look, and the hot zone lies over all.
bool PracticeWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Polish) {
        reExempt();
        m_closingMark->raiseHotZone();
    }
    return handled;
}

void PracticeWindow::route(std::initializer_list<Route::Entry> entries) {
    new RouteTable(this, entries,
                   [this](Route::Actions actions, QPoint pos) { runRoute(actions, pos); });
}

void PracticeWindow::runRoute(Route::Actions actions, QPoint globalPos) {
    if (actions & Route::HidePanel)
        hideSettingsPanel();
    if (actions & Route::FocusInput)
        focusInputBox();
    if (actions & Route::ThemeMenu)
        popThemeMenu(globalPos, true);
    if (actions & Route::ThemeMenuKeepFocus)
        popThemeMenu(globalPos, false);
}

FontChoice PracticeWindow::fontChoice(PracticeFontWindow window) const {
    const WindowsVersion version =
        m_context.platform ? m_context.platform->windowsVersion() : WindowsVersion{};
    return practiceFontChoice(window, version);
}

QString PracticeWindow::closingMark() const {
    return m_closingMark->text();
}

void PracticeWindow::setClosingMark(const QString& mark) {
    m_closingMark->set(mark);
}

void PracticeWindow::rearm() {
    m_closingMark->arm();
}

void PracticeWindow::navigationClick(int entry) {
    if (!Navigator::opensModal(entry))
        setClosingMark(kFend);
    if (m_context.navigator)
        m_context.navigator->navigate(this, entry);
}

void PracticeWindow::unload() {
    m_navigating = true;
    close();
}

void PracticeWindow::closeEvent(QCloseEvent* event) {
    if (m_unloaded) {
        event->accept();
        return;
    }
    m_unloaded = true;
    // Closed by the user or the system in the moment before the mark turns to "Tend" (just
    // after a load or a click on the own entry): still the end of the program, never a
    // process left running without a window.
    if (!m_navigating)
        setClosingMark(kTend);
    if (m_model)
        m_recorder->windowUnloaded(m_model->runItem(), m_model->totals());
    saveState();
    event->accept();
    if (closingMark() == kTend) {
        if (m_context.skin)
            m_context.skin->SkinRemove();
        if (m_context.navigator)
            m_context.navigator->endProgram();
        else
            QCoreApplication::exit(0);
    }
}

void PracticeWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_closingMark->raiseHotZone();
        rearm();
    }
}

void PracticeWindow::reExempt() {
    if (!m_context.skin)
        return;
    const QList<QWidget*> controls = m_shownOnce ? reExemptControls() : exemptControls();
    for (QWidget* control : controls)
        m_context.skin->SkinWindowSet(control, 0);
}

void PracticeWindow::popThemeMenu(QPoint globalPos, bool focusInput) {
    if (m_context.navigator)
        m_context.navigator->popThemeMenu(this, globalPos);
    reExempt();
    if (focusInput)
        focusInputBox();
}

void PracticeWindow::focusInputBox() {
    QWidget* box = inputBox();
    if (box && box->isVisible()) {
        box->setFocus(Qt::OtherFocusReason);
        if (isVisible())
            activateWindow();
    }
}

void PracticeWindow::addShortcut(QAbstractButton* button, const QKeySequence& keys) {
    ::addShortcut(button, keys, [this, button] {
        // A button out of sight or disabled at the moment does nothing from the keyboard either.
        if (!button->isVisibleTo(this) || !button->isEnabled())
            return;
        button->click();
        focusInputBox();
    });
}

void PracticeWindow::attachModel(PracticeModel* model, PracticeMode mode, QTimer* clockTimer) {
    m_model = model;
    m_clockTimer = clockTimer;
    m_recorder = std::make_unique<ProgressRecorder>(m_context.history, mode);
    m_recorder->setKeyboardLayout(
        [this]() -> const KeyboardLayout& { return keyboardLayout(m_context); });
    connect(model, &PracticeModel::changed, this, &PracticeWindow::modelChanged);
}

void PracticeWindow::modelChanged(const ModelEvents& events) {
    for (PracticeSound sound : events.sounds)
        requestSound(sound);
    for (const KeyJudgement& key : events.judged)
        m_recorder->keyJudged(key);
    if (events.keystroke && events.judged.isEmpty())
        m_recorder->practising();
    // A run that ended shows its results under the message of its end, taken from the very
    // record the history keeps.
    QString results;
    if (events.runEnded)
        results =
            m_recorder->runEnded(events.runItem, *events.runEnded).text(keyboardLayout(m_context));
    if (events.countersReset)
        m_recorder->countersReset(events.runItem, *events.countersReset);
    if (events.clockRunning)
        TimerTable::run(m_clockTimer, *events.clockRunning);
    render(events);
    if (events.message && m_context.platform) {
        const ModelMessage& m = *events.message;
        if (m.asks)
            m_model->messageAnswered(m_context.platform->ask(window(), m.title, m.text, results));
        else
            m_context.platform->tell(window(), m.title, m.text, results);
        focusInputBox();
    }
}

void PracticeWindow::recordRunSoFar() {
    if (m_model)
        m_recorder->recordSoFar(m_model->runItem(), m_model->totals());
}

PracticeWindow::~PracticeWindow() = default;

void PracticeWindow::playSound(PracticeSound sound) {
    if (m_context.sound)
        m_context.sound->PlayWave(sound == PracticeSound::Keystroke ? m_keySoundPath
                                                                    : m_errorSoundPath);
}

SettingsPanel* PracticeWindow::addSettingsPanel(const QString& name, int widthTwips,
                                                int heightTwips) {
    m_settingsPanel = new SettingsPanel(name, widthTwips, heightTwips, this);
    closeWithEscape(m_settingsPanel, [this] {
        hideSettingsPanel();
        focusInputBox();
    });
    connect(m_settingsPanel, &SettingsPanel::switchClicked, this, &PracticeWindow::focusInputBox);
    connect(m_settingsPanel, &SettingsPanel::themesRequested, this,
            &PracticeWindow::popThemeMenuUnderThemes);
    return m_settingsPanel;
}

// The theme menu from the keyboard drops from the "Themes" button, as from a click on it: a
// closed settings panel opens while the menu is up and closes again after it.
void PracticeWindow::popThemeMenuUnderThemes() {
    const bool wasOpen = m_settingsPanel->isVisible();
    if (!wasOpen)
        openSettings();
    const QWidget* themes = m_settingsPanel->themesButton();
    popThemeMenu(themes && themes->isVisible() ? themes->mapToGlobal(QPoint(0, themes->height()))
                                               : mapToGlobal(rect().center()));
    if (!wasOpen)
        hideSettingsPanel();
}

// "Settings" (and Alt+S) opens the panel, and closes it again while it is open.
void PracticeWindow::showSettingsPanel(QPoint topLeft) {
    if (!m_settingsPanel)
        return;
    if (m_settingsPanel->isVisible())
        hideSettingsPanel();
    else
        m_settingsPanel->showAt(topLeft);
    focusInputBox();
}

void PracticeWindow::hideSettingsPanel() {
    if (m_settingsPanel)
        m_settingsPanel->hide();
}
