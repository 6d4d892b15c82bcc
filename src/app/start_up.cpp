#include "app/start_up.h"

#include "app/app_navigator.h"
#include "core/state_file.h"
#include "history/history_store.h"
#include "look/look.h"
#include "look/skin_engine.h"
#include "look/theme_menu.h"
#include "platform/keyboard_choice.h"
#include "platform/keyboard_watch.h"
#include "platform/platform.h"
#include "platform/sound_player.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTimer>

Program::~Program() = default;

std::unique_ptr<Program> startProgram(const ProgramFolder& folder) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(Look::uiFont());
    // The program's own colours: every skin starts from them, and the controls that keep
    // their own look keep these.
    QApplication::setPalette(Look::basePalette());
    qApp->setStyleSheet(Look::baseStyleSheet());
    // The program ends through a practice window's unload chores, never by running out of
    // windows: the theme menu's window stays loaded and hidden the whole time.
    QApplication::setQuitOnLastWindowClosed(false);

    auto program = std::make_unique<Program>();
    program->platform = std::make_unique<QtPlatform>(folder.dir());
    program->sound = std::make_unique<EventSoundPlayer>();
    program->skin = std::make_unique<SkinEngine>();
    program->history =
        std::make_unique<HistoryStore>(folder.path(QLatin1Char('\\') + HistoryStore::kFileName));
    // The learner's keyboard layout: the system's or the one chosen, read at start and
    // followed while the program runs.
    program->keyboard = std::make_unique<KeyboardChoice>(folder);
    program->keyboardWatch = std::make_unique<KeyboardWatch>(*program->keyboard);
    program->keyboardWatch->load();

    AppContext context;
    context.folder = folder;
    context.platform = program->platform.get();
    context.sound = program->sound.get();
    context.skin = program->skin.get();
    context.history = program->history.get();
    context.keyboard = program->keyboard.get();

    // What a write killed half-way left behind in the state folder.
    folder.removeStaleTemporaries();

    program->themeMenu = std::make_unique<ThemeMenu>(folder, program->skin.get());
    // The navigator tells of a save that fails, from the first one on (face.txt, below).
    program->navigator = std::make_unique<AppNavigator>(context, program->themeMenu.get());
    program->themeMenu->startSkin();
    program->navigator->start();
    // Runs that could not be written last time go into the history once the window is up.
    if (program->history->hasPending()) {
        QTimer::singleShot(0, program->themeMenu.get(),
                           [history = program->history.get()] { history->writePending(); });
    }
    return program;
}
