#pragma once

#include "core/practice_model.h"
#include "game/model/game_item_sets.h"
#include "game/model/game_settings.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <random>

// One of the four item slots Label1(0) to Label1(3). Its text tells its state: "" not in
// play, "end!!!" shot down or missed and waiting to be spawned again, anything else live.
struct ItemSlot {
    QString text;
    ItemColour colour;
    double left = 0; // twips from the field's inner top-left corner
    double top = 0;
    int width = 0; // twips, the width of the text in the item font
};

// The typing game "Typing Zephkin": items fall from under an elf sprite that wanders along
// the top of the field, and typing an item's text shoots it down. The window owns the three
// timers and calls Timer7, Timer1 and Timer2; it feeds in the typed text, keys and clicks and
// draws what the game holds. The game touches no widget and reads no file itself.
class TypingGame : public PracticeModel {
    Q_OBJECT
  public:
    enum Change : unsigned {
        Items = 1 << 0,    // slot texts, colours or places
        Sprite = 1 << 1,   // the sprite's place or picture
        Controls = 1 << 2, // buttons, run state, game-over caption, settings panel
        Status = 1 << 3,   // score, clock, speed
        Input = 1 << 4,    // the input box's text
        Settings = 1 << 5, // a setting changed
        Caption = 1 << 6,  // window caption and the menu's check mark
        Motion = 1 << 7,   // the items began or stopped falling, or the sprite its walk
    };

    // Where the game is: before the first game, running, paused, or over (the time ran out
    // or the sprite reached the bottom).
    enum class RunState { NotStarted, Running, Paused, Over };

    // One game's play: clock seconds while it ran, items shot down, wrong entries.
    struct Play {
        int seconds = 0;
        int hits = 0;
        int errors = 0;
    };
    Q_DECLARE_FLAGS(Changes, Change)

    // Field and sprite geometry, twips.
    static constexpr int kFieldLeft = 72; // the field's left in the window
    static constexpr int kFieldWidth = 11800;
    static constexpr int kFieldHeight = 7410;
    static constexpr int kSpriteWidth = 1125;
    static constexpr int kSpriteHeight = 855;
    static constexpr int kSpriteStartLeft = 5378;
    static constexpr int kSpriteDrop = 300;
    static constexpr int kParkedLeft = -1110;
    static constexpr int kParkedTop = -99999;
    static constexpr int kSlots = 4;

    static const QString kTitle;         // the caption before a set is chosen
    static const QString kCaptionPrefix; // "Typing game: "
    static const QString kParked;        // "end!!!"
    static const QString kGameOverText;  // Label6
    static const QString kPromptTitle;

    // Width in twips of a text in the item font; the window measures.
    using Measure = std::function<int(const QString&)>;
    // The first field of a word list beside the program; nothing when it cannot be read.
    using WordListReader = std::function<std::optional<QString>(const QString& fileName)>;

    explicit TypingGame(quint32 seed, QObject* parent = nullptr);

    void setMeasure(Measure measure) { m_measure = std::move(measure); }
    void setWordListReader(WordListReader reader) { m_readWordList = std::move(reader); }
    // Tests may script the random draws; by default they come from the seeded generator.
    void setRandomSource(std::function<double()> source) { m_random = std::move(source); }

    // Window load: the settings from the first line of GameSet.txt (empty when it is missing),
    // the displays, and item set 0 without a check mark.
    void load(const QString& settingsLine);

    // --- the menu and the game's buttons ---
    void chooseSet(int index); // new1(index)
    void newGame();            // the menu entry "New game(&N)"
    void newGameButton();      // "New game(F2)": set 0 first, afterwards the current set
    void pause();              // Command6
    void continueGame();       // Command7
    void clickSpriteOrItem();

    // --- typing ---
    void textChanged(const QString& text); // every change of the input box
    void keyUp(int code);                  // F2, F3, Enter

    // --- timers ---
    void Timer7(); // sprite, spacing, respawn, button states
    void Timer1(); // fall, misses, the sprite-down end
    void Timer2(); // sprite target and the game clock

    // --- the settings panel ---
    void openSettings(); // Command9: pause a running game, show the panel
    void saveSettings(); // after the window has written settingsLine() to GameSet.txt
    void cancelSettings();
    void setSpriteDownEnd(bool on);
    void setDropOnWrong(bool on);
    void setDropOnMiss(bool on);
    void setKeySound(bool on);
    void setSpeedUp(bool on);
    void setItemCount(int count);
    void stepTimeLimit(int step);  // +1, -1, +50, -50
    void stepStartSpeed(int step); // +1, -1, +10, -10

    // --- state, by the names the rest of the program uses ---
    const ItemSlot& slot(int i) const { return m_slots[size_t(i)]; }
    bool isLive(int i) const;
    int spriteLeft() const { return m_spriteLeft; }
    int spriteTop() const { return m_spriteTop; }
    bool spriteFacesLeft() const { return m_spriteFacesLeft; } // Image2, else Image1
    int spriteStep() const { return m_spriteStep; }
    int spriteTarget() const { return m_spriteTarget; }
    int fallSpeed() const { return m_fallSpeed; }
    QString shownSpeed() const { return m_shownSpeed; } // Label16
    QString clockValue() const { return m_clockValue; } // Label8
    QString score() const { return m_score; }           // Label4
    int hitCount() const { return m_hitCount; }
    QString wrongLog() const { return m_wrongLog; } // Text2
    QString inputText() const { return m_input; }   // Text1
    RunState state() const { return m_state; }
    // The run state as the hidden Label18 shows it: "zt", "jx", "00", or "" before a game.
    QString runState() const;
    QString gameStarted() const {
        return m_gameStarted ? QStringLiteral("1") : QStringLiteral("0");
    }
    QString caption() const { return m_caption; }
    int checkedSet() const { return m_checkedSet; } // -1 before a set is chosen
    int setKind() const { return m_setKind; }
    int itemLength() const { return m_itemLength; }
    QString itemSource() const { return m_itemSource; }
    const GameSettings& settings() const { return m_settings; }
    QString settingsLine() const { return m_settings.line(); }
    bool hitSoundOn() const { return m_hitSound; }     // Check4
    bool errorSoundOn() const { return m_errorSound; } // Check5
    // The items fall and the game clock runs while a game runs.
    bool falling() const { return m_state == RunState::Running; }
    bool clockRunning() const override { return falling(); }
    // The sprite wanders along the top: always, but before the first game once nothing is
    // left to spawn.
    bool spriteWalking() const { return m_spriteWalking; }
    bool pauseEnabled() const { return m_pauseEnabled; }            // Command6
    bool pauseInFront() const { return m_pauseInFront; }            // Command6, else Command7
    bool oneStepButtonsEnabled() const { return m_oneStepEnabled; } // Command2 to Command5
    bool endModeOptionsEnabled() const { return m_optionsEnabled; } // Option1, Option2
    bool selectVisible() const { return m_selectVisible; }          // Command1 and Label15
    bool gameOverVisible() const { return m_gameOverVisible; }      // Label6
    bool settingsPanelVisible() const { return m_panelVisible; }    // Picture3

    // The result messages, as shown in the "Prompt" box.
    QString ci() const;  // a timed game ran out
    QString ci1() const; // the sprite reached the bottom
    // The running game's play so far (zero once it has ended), and the last ended game's,
    // taken before the end resets the score and the time limit.
    Play currentPlay() const { return m_play; }
    Play endedGame() const { return m_ended; }
    // The play as its result tells it: hits and wrong inputs are its keystrokes, its speed is
    // hits × 60 ÷ seconds, its accuracy hits ÷ (hits + wrong inputs).
    RunTotals totals() const override;
    // The item set in play, as the history names it.
    QString runItem() const override;

  private:
    double draw();
    int timedSpeed() const;
    void spawn(int i); // init, init1, init2, init3
    void park(int i);
    void newSpriteTarget();
    void setScore(const QString& text);
    void setFallSpeed(int speed);
    void setState(RunState state);
    void setInput(const QString& text);
    void endPause();
    void showMessage(const QString& text);
    void endGame();
    void touch(Changes what) { display(what); }

    Measure m_measure;
    WordListReader m_readWordList;
    std::mt19937 m_generator;
    std::function<double()> m_random;

    std::array<ItemSlot, kSlots> m_slots;
    int m_spriteLeft = 0;
    int m_spriteTop = 0;
    bool m_spriteFacesLeft = false;
    int m_spriteStep = 50;
    int m_spriteTarget = 0;
    int m_fallSpeed = 60;
    QString m_shownSpeed = QStringLiteral("60");
    QString m_clockValue = QStringLiteral("0");
    QString m_score = QStringLiteral("0");
    int m_hitCount = 0;
    QString m_wrongLog;
    QString m_input;
    RunState m_state = RunState::NotStarted;
    bool m_gameStarted = false;
    QString m_caption;
    int m_checkedSet = -1;
    int m_setKind = 0;
    int m_itemLength = 1;
    QString m_itemSource;
    GameSettings m_settings;
    bool m_hitSound = true;
    bool m_errorSound = true;
    bool m_spriteWalking = true;
    bool m_pauseEnabled = false;
    bool m_pauseInFront = true;
    bool m_oneStepEnabled = true;
    bool m_optionsEnabled = true;
    bool m_selectVisible = true;
    bool m_gameOverVisible = false;
    bool m_panelVisible = false;

    Play m_play;
    Play m_ended;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TypingGame::Changes)
