#pragma once

#include "frame/practice_window.h"
#include "words/model/word_exercise.h"

class ClickLabel;
class InputBox;
class KeyboardPanel;
class MarksRow;
class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class WordPanel;

// The Word practice window: one word or phrase at a time, typed below it. It renders the
// exercise and routes events and timer ticks into it.
class WordWindow : public PracticeWindow {
    Q_OBJECT
  public:
    explicit WordWindow(const AppContext& context, QWidget* parent = nullptr);

    const WordExercise& exercise() const { return m_exercise; }
    WordExercise& exercise() { return m_exercise; }
    QWidget* inputBox() const override;
    QList<QWidget*> exemptControls() const override;
    // The lesson handed over by the navigator: reloads it, keeping the word.
    void takeHandOver(const HandOver& handOver) override;

    // Starts the lesson loader, Timer1, which runs 55 ms later.
    void startLoader();
    void openChooser();
    void applyChoice(const QString& caption);

  protected:
    void render(const ModelEvents& events) override;
    void requestSound(PracticeSound sound) override;
    void saveState() override;
    void timer3tWork() override;

  private:
    void buildWidgets();
    void runLoader();
    void layoutForTarget();
    void renderDisplay();
    void renderClock();
    void soundTick(PracticeSound sound);
    void openSettings() override;

    WordExercise m_exercise;

    WordPanel* m_wordPanel = nullptr;      // Picture2
    QLabel* m_word = nullptr;              // Label6ts
    QLabel* m_correctOverlay = nullptr;    // Label4
    QLabel* m_wrongOverlay = nullptr;      // Label6
    ClickLabel* m_previous = nullptr;      // Image4
    ClickLabel* m_next = nullptr;          // Image5
    QLabel* m_itemNumber = nullptr;        // Label777
    QLabel* m_seconds = nullptr;           // Label23
    QLabel* m_speed = nullptr;             // Label1
    QLabel* m_accuracy = nullptr;          // Label5
    InputBox* m_input = nullptr;           // Text1
    MarksRow* m_correctMarks = nullptr;    // Label4dc
    MarksRow* m_wrongMarks = nullptr;      // Label5dc
    QWidget* m_markStrip = nullptr;        // the light strip under both mark rows
    QFont m_inputFont;                     // the input's font for items that fit
    QFont m_wordFont;                      // the word display's font for items that fit
    QLabel* m_readyHint = nullptr;         // Label8dc
    QLabel* m_message = nullptr;           // Label5zd
    QPushButton* m_selectLesson = nullptr; // Command3kcsz
    QPushButton* m_settings = nullptr;     // Command2
    QCheckBox* m_sound = nullptr;          // Check1qq
    QCheckBox* m_keyedTips = nullptr;      // Check1
    KeyboardPanel* m_keyboard = nullptr;   // Picture5
    QPushButton* m_reference = nullptr;    // Command1, the measuring stick
    QPushButton* m_themes = nullptr;       // Command4
    QTimer* m_loaderTimer = nullptr;       // Timer1
    QTimer* m_messageTimer = nullptr;      // Timer2ts
    QTimer* m_soundTimers[2] = {};         // Timer4 and Timer5
};
