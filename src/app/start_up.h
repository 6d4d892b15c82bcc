#pragma once

#include "core/program_folder.h"

#include <memory>

class AppNavigator;
class HistoryStore;
class KeyboardChoice;
class KeyboardWatch;
class Platform;
class SkinEngine;
class SoundPlayer;
class ThemeMenu;

// Everything the running program is made of, in the order start-up builds it.
struct Program {
    std::unique_ptr<Platform> platform;
    std::unique_ptr<SoundPlayer> sound;
    std::unique_ptr<SkinEngine> skin;
    std::unique_ptr<HistoryStore> history; // opened by the first keystroke or look, not here
    std::unique_ptr<KeyboardChoice> keyboard;
    std::unique_ptr<KeyboardWatch> keyboardWatch; // the display server's changes to it
    std::unique_ptr<ThemeMenu> themeMenu;
    std::unique_ptr<AppNavigator> navigator;
    ~Program();
};

// Sets up the application's look, loads the hidden theme window, starts the skin named in
// face.txt and shows the Word practice window. QApplication must exist.
std::unique_ptr<Program> startProgram(const ProgramFolder& folder);
