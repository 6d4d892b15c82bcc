#include "app/app_navigator.h"
#include "shell/look.h"
#include "shell/platform.h"
#include "shell/sound_player.h"
#include "themes/skin_engine.h"
#include "themes/theme_menu.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zephkin"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(Look::uiFont());
    app.setStyleSheet(Look::baseStyleSheet());
    // The program ends through a practice window's unload chores, never by running out of
    // windows: the theme menu's window stays loaded and hidden the whole time.
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform platform;
    QtSoundPlayer sound;
    SkinEngine skin;
    AppContext context;
    context.folder = ProgramFolder::ofExecutable();
    context.platform = &platform;
    context.sound = &sound;
    context.skin = &skin;

    ThemeMenu themeMenu(context.folder, &skin);
    themeMenu.startSkin();

    AppNavigator navigator(context, &themeMenu);
    navigator.start();
    return QApplication::exec();
}
