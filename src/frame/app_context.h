#pragma once

#include "core/program_folder.h"
#include "platform/keyboard_choice.h"

class HistoryStore;
class Navigator;
class Platform;
class SkinEngine;
class SoundPlayer;

// What every window is given: the program folder and the edges to the outside world.
struct AppContext {
    ProgramFolder folder;
    Platform* platform = nullptr;
    SoundPlayer* sound = nullptr;
    SkinEngine* skin = nullptr;
    Navigator* navigator = nullptr;  // may be null in tests of a single window
    HistoryStore* history = nullptr; // the practice history; null records nothing
    KeyboardChoice* keyboard = nullptr; // the learner's keyboard layout; null is the US one
};

// The keyboard layout every keyboard of the windows is drawn, marked and taught in.
inline const KeyboardLayout& keyboardLayout(const AppContext& context) {
    return context.keyboard ? context.keyboard->layout() : KeyboardLayout::us();
}
