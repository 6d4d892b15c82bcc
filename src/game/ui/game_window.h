#pragma once

#include "frame/practice_window.h"
#include "game/model/typing_game.h"

#include <array>

class ClickLabel;
class GameField;
class InputBox;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QMenu;
class QPushButton;
class QRadioButton;

// The typing game window Form10: items fall over a night forest and are shot down by typing
// them. The rules live in TypingGame; the window owns the timers, routes keys and clicks into
// the game and draws what it holds.
class GameWindow : public PracticeWindow {
    Q_OBJECT
  public:
    explicit GameWindow(const AppContext& context, QWidget* parent = nullptr);

    TypingGame& game() { return m_game; }
    QMenu* gameMenu() const { return m_gameMenu; }

    QWidget* inputBox() const override;
    // The field and the input box keep their own look under every skin, at load and after
    // each theme pop-up.
    QList<QWidget*> exemptControls() const override;

  protected:
    void render(const ModelEvents& events) override;

  private:
    void buildStatusLine();
    void buildFieldControls();
    void buildMenu();
    void buildSettingsPanel();
    void mirror(TypingGame::Changes what);
    void mirrorSettings();
    void saveSettings();
    std::optional<QString> readWordList(const QString& fileName) const;
    int itemWidthTwips(const QString& text) const;

    TypingGame m_game;
    GameField* m_field = nullptr;                        // Picture2
    QTimer* m_spriteTimer = nullptr;                     // Timer7
    QTimer* m_fallTimer = nullptr;                       // Timer1
    InputBox* m_input = nullptr;                         // Text1
    QLabel* m_score = nullptr;                           // Label4
    QLabel* m_clock = nullptr;                           // Label8
    QLabel* m_speed = nullptr;                           // Label16
    QLabel* m_runState = nullptr;                        // Label18, hidden
    QLineEdit* m_wrongLog = nullptr;                     // Text2, hidden
    QLabel* m_gameOver = nullptr;                        // Label6
    QLabel* m_paused = nullptr;                          // "Paused (F3)" over the field
    QPushButton* m_select = nullptr;                     // Command1
    ClickLabel* m_gamesLink = nullptr;                   // Label15
    QPushButton* m_settings = nullptr;                   // Command9
    QPushButton* m_newGame = nullptr;                    // Command8
    QPushButton* m_pause = nullptr;                      // Command6
    QPushButton* m_continue = nullptr;                   // Command7
    QMenu* m_gameMenu = nullptr;                         // GAME
    std::array<QAction*, GameItemSets::kCount> m_sets{}; // new1(0..6)

    // The settings panel Picture3.
    QWidget* m_panel = nullptr;
    QRadioButton* m_spriteDown = nullptr;       // Option1
    QRadioButton* m_timed = nullptr;            // Option2
    QWidget* m_dropGroup = nullptr;             // Frame7
    QWidget* m_timeGroup = nullptr;             // Frame8
    QCheckBox* m_dropOnWrong = nullptr;         // Check1
    QCheckBox* m_dropOnMiss = nullptr;          // Check2
    QLabel* m_timeLimit = nullptr;              // Label5
    QCheckBox* m_keySound = nullptr;            // Check6
    QCheckBox* m_speedUp = nullptr;             // Check3
    QLabel* m_startSpeed = nullptr;             // Label11
    std::array<QRadioButton*, 4> m_itemCount{}; // Option3 to Option6
    std::array<QPushButton*, 4> m_oneStep{};    // Command2, Command3, Command4, Command5
};
