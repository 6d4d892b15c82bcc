#pragma once

#include "progress/progress_recorder.h"
#include "shell/practice_window.h"
#include "words/word_exercise.h"

class ClickLabel;
class KeyboardPanel;
class MarksRow;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class WordPanel;

// The Word practice window: one word or phrase at a time, typed below it.
class WordWindow : public PracticeWindow {
    Q_OBJECT
  public:
    explicit WordWindow(const AppContext& context, QWidget* parent = nullptr);

    WordExercise& exercise() { return m_exercise; }
    QWidget* inputBox() const override;
    QList<QWidget*> exemptControls() const override;

    // Starts the lesson loader, which runs 55 ms later.
    void startLoader();
    // The loader's single run.
    void runLoader();
    // Reloads the lesson named in sz1-yj.txt, keeping the word (navigation hand-over).
    void takeLessonFromHandOver();
    void openChooser();
    void applyChoice(const QString& caption);
    void layoutForTarget();

  protected:
    void saveState() override;
    void timer3tWork() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void buildWidgets();
    void connectModel();
    void restoreState();
    void render();
    void renderClock();
    void refreshHint();
    void requestSound(PracticeSound sound);
    void openSettings();
    void inputChanged(const QString& text);
    ProgressRecorder::Totals practiceTotals() const;
    QString practiceItem() const;

    WordExercise m_exercise;
    ProgressRecorder m_recorder;

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
    QLineEdit* m_input = nullptr;          // Text1
    MarksRow* m_correctMarks = nullptr;    // Label4dc
    MarksRow* m_wrongMarks = nullptr;      // Label5dc
    QLabel* m_readyHint = nullptr;         // Label8dc
    QLabel* m_message = nullptr;           // Label5zd
    QPushButton* m_selectLesson = nullptr; // Command3kcsz
    QPushButton* m_settings = nullptr;     // Command2
    QCheckBox* m_sound = nullptr;          // Check1qq
    QCheckBox* m_keyedTips = nullptr;      // Check1
    KeyboardPanel* m_keyboard = nullptr;   // Picture5
    QPushButton* m_reference = nullptr;    // Command1, the measuring stick

    QTimer* m_loader = nullptr;       // Timer1
    QTimer* m_clock = nullptr;        // Timer6
    QTimer* m_idle = nullptr;         // Timer2
    QTimer* m_messageTimer = nullptr; // Timer2ts
    QTimer* m_keySound = nullptr;     // Timer4
    QTimer* m_errorSound = nullptr;   // Timer5
};
