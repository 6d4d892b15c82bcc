#pragma once

#include "core/program_folder.h"

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
};
