// The typing game's files, read from disk the way the game window reads them: GameSet.txt
// into the settings, and a game-cz word list into a game that is then played a while.

#include "fuzz_support.h"
#include "game/model/typing_game.h"
#include "core/state_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString settingsPath = Fuzz::scratch() + QStringLiteral("/GameSet.txt");
    Fuzz::put(settingsPath, data, size);
    bool found = false;
    const QString text = StateFile::readText(settingsPath, &found, StateFile::kStateCap);
    GameSettings settings;
    settings.applyLine(text);
    Fuzz::check(settings.timeLimit >= 0 && settings.timeLimit <= GameSettings::kMaxTimeLimit,
                "the time limit is in range");
    Fuzz::check(settings.startSpeed >= 1 && settings.startSpeed <= GameSettings::kMaxStartSpeed,
                "the start speed is in range");
    Fuzz::check(settings.itemCount >= 1 && settings.itemCount <= 4, "one to four items");
    GameSettings again;
    again.applyLine(settings.line());
    Fuzz::check(again == settings, "what is saved reads back the same");

    const QString listPath = Fuzz::scratch() + QStringLiteral("/game-cz4.txt");
    Fuzz::put(listPath, data, size);
    TypingGame game(1);
    game.setMeasure([](const QString& item) { return int(item.size()) * 200; });
    game.setWordListReader([&listPath](const QString&) -> std::optional<QString> {
        bool listFound = false;
        const QString field = StateFile::readFirstField(listPath, &listFound, StateFile::kListCap);
        if (!listFound)
            return std::nullopt;
        return field;
    });
    game.load(text);
    game.chooseSet(6);
    for (int tick = 0; tick < 40; ++tick) {
        game.Timer7();
        game.Timer1();
        if (tick % 8 == 0)
            game.Timer2();
        for (int i = 0; i < TypingGame::kSlots; ++i) {
            Fuzz::check(game.slot(i).text.size() <= 6, "an item is at most n + 2 characters");
            if (game.isLive(i) && tick % 3 == 0)
                game.textChanged(game.slot(i).text);
        }
    }
    return 0;
}
