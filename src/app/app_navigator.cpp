#include "app/app_navigator.h"

#include "about/about_window.h"
#include "articles/ui/article_window.h"
#include "core/state_file.h"
#include "frame/practice_window.h"
#include "game/ui/game_window.h"
#include "history/history_store.h"
#include "keys/ui/keys_window.h"
#include "look/theme_menu.h"
#include "platform/platform.h"
#include "progress/progress_window.h"
#include "words/ui/word_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

const QString kMessageTitle = QStringLiteral("Zephkin");

// How often the end of the program offers to save again before it gives up.
constexpr int kSaveRetries = 5;

// The navigator that hears of failed saves: the newest one.
AppNavigator* saveWatcher = nullptr;

} // namespace

AppNavigator::AppNavigator(const AppContext& context, ThemeMenu* themeMenu)
    : m_context(context), m_themeMenu(themeMenu), m_window(std::make_unique<PracticeHost>()) {
    m_context.navigator = this;
    saveWatcher = this;
    StateFile::setWriteFailureHandler([this](const QString& message) { saveFailed(message); });
}

AppNavigator::~AppNavigator() {
    if (saveWatcher != this)
        return;
    saveWatcher = nullptr;
    StateFile::setWriteFailureHandler({});
}

QWidget* AppNavigator::messageParent() const {
    if (m_current && m_current->isVisible())
        return m_current->window();
    return QApplication::activeWindow();
}

void AppNavigator::saveFailed(const QString& message) {
    // A save runs in the middle of a keystroke, a click or a switch of windows: the message
    // waits till that is done, and no longer than the end of the program.
    m_saveFailure = message;
    QTimer::singleShot(0, &m_messages, [this] { tellSaveFailure(); });
}

void AppNavigator::tellSaveFailure() {
    if (m_saveFailure.isEmpty())
        return;
    const QString message = std::exchange(m_saveFailure, QString());
    if (m_context.platform && !m_unattended)
        m_context.platform->tell(messageParent(), kMessageTitle, message);
}

// Writes again what could not be written: the state files, and the runs that wait in memory
// for want of a file; true when everything went through.
bool AppNavigator::saveAgain() {
    const bool state = !StateFile::hasFailedWrites() || StateFile::retryFailedWrites();
    const bool runs = !m_context.history || m_context.history->saveUnsavedRuns();
    return state && runs;
}

void AppNavigator::tellFailedSavesBeforeEnd() {
    // What failed earlier may go through now (the learner made room meanwhile): it is tried
    // again first, in silence, and the question comes only when it still fails.
    HistoryStore* history = m_context.history;
    if (saveAgain() || !m_context.platform || m_unattended) {
        m_saveFailure.clear();
        return;
    }
    const auto mayPass = [history] {
        const bool runsUnsaved = history && history->hasUnsavedRuns();
        return (StateFile::hasFailedWrites() || runsUnsaved) &&
               (!StateFile::hasFailedWrites() || StateFile::failedWritesMayPass()) &&
               (!runsUnsaved || history->unsavedForWantOfRoom());
    };
    // A full disk: the user may make room and save again, a few times over.
    for (int i = 0; i < kSaveRetries && mayPass(); ++i) {
        QString message;
        if (StateFile::hasFailedWrites())
            message = m_saveFailure.isEmpty() ? QStringLiteral("Your place could not be saved.")
                                              : m_saveFailure;
        if (history && history->hasUnsavedRuns())
            message += QStringLiteral(" Your latest practice could not be saved.");
        message = message.trimmed() +
                  QStringLiteral(" The disk is full: make some room, then choose OK to save again, "
                                 "or Cancel to end without saving.");
        m_saveFailure.clear();
        if (!m_context.platform->ask(messageParent(), kMessageTitle, message) || saveAgain())
            return;
    }
    if (m_saveFailure.isEmpty() && history && history->hasUnsavedRuns())
        m_saveFailure =
            QStringLiteral("Your latest practice cannot be saved in %1.")
                .arg(QDir::toNativeSeparators(QFileInfo(history->path()).absolutePath()));
    tellSaveFailure();
}

// Each window is built in the program's window, as the page it will be.
PracticeWindow* AppNavigator::create(int entry, const HandOver& handOver) {
    QWidget* window = m_window.get();
    switch (entry) {
    case KeysEntry:
        return new KeysWindow(m_context, window);
    case WordsEntry:
        return new WordWindow(m_context, window);
    case ArticlesEntry:
        return new ArticleWindow(m_context, handOver, window);
    case GameEntry:
        return new GameWindow(m_context, window);
    default:
        return nullptr;
    }
}

PracticeWindow* AppNavigator::start() {
    m_current = create(WordsEntry, HandOver{});
    m_window->showPage(m_current);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_current;
}

// The values a window is given when it is shown from `from`.
HandOver AppNavigator::handOverTo(int entry, const PracticeWindow* from) const {
    HandOver handOver;
    if (entry == WordsEntry && from->ownEntry() != ArticlesEntry) {
        // The word hand-over: the lesson comes from sz1-yj.txt, the word from sz1.txt.
        handOver.wordLesson =
            StateFile::readFirstField(m_context.folder.path(QStringLiteral("\\sz1-yj.txt")));
    }
    return handOver;
}

void AppNavigator::switchTo(PracticeWindow* from, int entry) {
    const HandOver handOver = handOverTo(entry, from);
    PracticeWindow* target = create(entry, handOver);
    if (!target)
        return;
    target->takeHandOver(handOver);
    m_current = target;
    // The new page is in the window before the old one is unloaded, so the window stays, in
    // its place, with never a moment without a page.
    m_window->showPage(target);
    from->unload();
}

namespace {

PracticeMode practiceMode(int entry) {
    switch (entry) {
    case Navigator::KeysEntry:
        return PracticeMode::Keys;
    case Navigator::ArticlesEntry:
        return PracticeMode::Articles;
    case Navigator::GameEntry:
        return PracticeMode::Game;
    default:
        return PracticeMode::Words;
    }
}

} // namespace

void AppNavigator::navigate(PracticeWindow* from, int entry) {
    if (opensModal(entry)) {
        if (from->ownEntry() == WordsEntry || from->ownEntry() == GameEntry) {
            if (QWidget* box = from->inputBox())
                box->setFocus(Qt::OtherFocusReason);
        }
        // Over the program's window, not the page, which is no window of its own.
        if (entry == AboutEntry) {
            AboutWindow about(m_context.platform, from->window());
            about.exec();
        } else {
            ProgressWindow progress(m_context.history, practiceMode(from->ownEntry()),
                                    from->window(), keyboardLayout(m_context));
            progress.exec();
            if (progress.drillWanted())
                from->navigationClick(DrillEntry);
        }
        return;
    }
    if (entry == DrillEntry) {
        // The drill is built once the page left has put its last run into the history.
        if (from->ownEntry() == KeysEntry)
            from->rearm();
        else
            switchTo(from, KeysEntry);
        if (m_current)
            m_current->takeHandOver(HandOver{.wordLesson = std::nullopt, .weakKeyDrill = true});
        return;
    }
    if (entry == from->ownEntry()) {
        from->rearm();
        from->takeHandOver(handOverTo(entry, from));
        return;
    }
    switchTo(from, entry);
}

void AppNavigator::popThemeMenu(PracticeWindow*, QPoint globalPos) {
    if (m_themeMenu)
        m_themeMenu->popup(globalPos);
}

void AppNavigator::endProgram() {
    m_ended = true;
    // The window's last saves have just run: a failure among them is told now, while the
    // program still runs to show it.
    tellFailedSavesBeforeEnd();
    m_quit();
}
