#pragma once

#include "keys/keys_state.h"
#include "shell/practice_window.h"

class InputBox;
class KeysKeyboard;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Keys practice window: sixteen key-position lessons over an on-screen keyboard.
class KeysWindow : public PracticeWindow {
    Q_OBJECT
  public:
    explicit KeysWindow(const AppContext& context, QWidget* parent = nullptr);

    QWidget* inputBox() const override;
    QList<QWidget*> exemptControls() const override;

    // The lesson now chosen, 0..15.
    int lessonIndex() const { return m_lessonIndex; }
    void setLessonIndex(int index);

    void openSettings();

  protected:
    void saveState() override;
    void timer3tWork() override;

  private:
    void buildWidgets();
    void buildSettingsPanel();
    void restoreState();
    void closePanelAndFocus();

    int m_lessonIndex = 0;

    QLabel* m_background = nullptr;        // Image3, the background picture
    QWidget* m_card = nullptr;             // Picture9, the practice card
    QLabel* m_lessonBadge = nullptr;       // the lesson number on the card
    QLabel* m_nextKey = nullptr;           // Label3, the key to press next
    QLabel* m_practiceLine = nullptr;      // Picture11, the practice line panel
    QLabel* m_typedRow = nullptr;          // Picture10, what has been typed
    QWidget* m_statusBar = nullptr;        // Picture8
    QLabel* m_clock = nullptr;             // Label40
    QLabel* m_speed = nullptr;             // Label45
    QLabel* m_accuracy = nullptr;          // Label38
    InputBox* m_input = nullptr;           // Text1
    QLineEdit* m_lessonText = nullptr;     // Text2, the lesson's characters, kept hidden
    QLineEdit* m_typedText = nullptr;      // Text3, the typed characters, kept hidden
    QPushButton* m_selectLesson = nullptr; // Command1
    QPushButton* m_settings = nullptr;     // Command2
    QWidget* m_keyboardArea = nullptr;     // Picture5, the keyboard area
    KeysKeyboard* m_keyboard = nullptr;    // the keyboard drawn in it
    QCheckBox* m_keyedTips = nullptr;      // Check1
    QCheckBox* m_sound = nullptr;          // Check1qq
};
