#include "app/app_navigator.h"

#include "about/about_window.h"
#include "articles/ui/article_window.h"
#include "game/ui/game_window.h"
#include "keys/ui/keys_window.h"
#include "progress/progress_window.h"
#include "frame/practice_window.h"
#include "core/state_file.h"
#include "look/theme_menu.h"
#include "words/ui/word_window.h"

#include <QCoreApplication>

AppNavigator::AppNavigator(const AppContext& context, ThemeMenu* themeMenu)
    : m_context(context), m_themeMenu(themeMenu), m_window(std::make_unique<PracticeHost>()) {
    m_context.navigator = this;
}

AppNavigator::~AppNavigator() = default;

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
    if (entry == ArticlesEntry && from->ownEntry() != ArticlesEntry) {
        // The article start: the default article, which the window then replaces with the
        // one saved in sz2.txt.
        handOver.articlePath = QStringLiteral("\\text\\a girl selling matches.txt");
        handOver.articlePathRelative = true;
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
                                    from->window());
            progress.exec();
        }
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
    m_quit();
}
