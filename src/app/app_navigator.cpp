#include "app/app_navigator.h"

#include "shell/practice_window.h"
#include "themes/theme_menu.h"
#include "words/word_window.h"

#include <QCoreApplication>

AppNavigator::AppNavigator(const AppContext& context, ThemeMenu* themeMenu)
    : m_context(context), m_themeMenu(themeMenu) {
    m_context.navigator = this;
}

PracticeWindow* AppNavigator::create(int entry) {
    switch (entry) {
    case WordsEntry:
        return new WordWindow(m_context);
    default:
        return nullptr;
    }
}

PracticeWindow* AppNavigator::start() {
    m_current = create(WordsEntry);
    m_current->show();
    m_current->activateWindow();
    m_current->raise();
    return m_current;
}

void AppNavigator::switchTo(PracticeWindow* from, int entry) {
    PracticeWindow* target = create(entry);
    if (!target)
        return;
    m_current = target;
    target->show();
    target->activateWindow();
    from->unload();
}

void AppNavigator::navigate(PracticeWindow* from, int entry) {
    if (entry == from->ownEntry()) {
        from->rearm();
        if (auto* words = qobject_cast<WordWindow*>(from))
            words->takeLessonFromHandOver();
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
    QCoreApplication::exit(0);
}
