#pragma once

#include "frame/practice_window.h"
#include "keys/model/keys_exercise.h"

class InputBox;
class KeysKeyboard;
class QComboBox;
class KeysStatusBar;
class PracticeLinePanel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TypedRow;

// The Keys practice window form1yy: sixteen key lessons typed line by line over an on-screen
// keyboard that marks the key to press and a wrong key.
class KeysWindow : public PracticeWindow {
    Q_OBJECT
  public:
    explicit KeysWindow(const AppContext& context, QWidget* parent = nullptr);

    // The lesson card across the top of the window, in the program's own colours under every
    // skin; its controls (heading, practice line, typed row) keep their look with it.
    static constexpr int kCardBottomTwips = 4500;

    const KeysExercise& exercise() const { return m_exercise; }
    KeysExercise& exercise() { return m_exercise; }
    QWidget* inputBox() const override;
    QList<QWidget*> exemptControls() const override;

    int lessonIndex() const { return m_exercise.lessonIndex(); }
    KeysKeyboard* keyboard() const { return m_keyboard; }
    // The chooser's titles: the keys of the learner's layout.
    const QStringList& lessonTitles() const { return m_titles; }
    // "Keyboard: automatic (de)" and the layouts the learner may choose instead.
    QComboBox* layoutChoice() const { return m_layoutChoice; }
    // Takes the layout of choice `index` of the settings (0 is the system's).
    void chooseLayout(int index);

    void openSettings() override;
    // "Select lesson": the chooser, modal; its closing rule runs in the exercise.
    void openChooser();
    // A drill of the learner's weak keys, built afresh from the history (after the run so far
    // is recorded) and kept in drill.txt beside the state files.
    void openDrill();
    void takeHandOver(const HandOver& handOver) override;
    // The state file of the "Finger colours" switch: "1" when it is on.
    static const QString kFingerStateResource;
    // Timer3: the mark pictures scaled to the keyboard, once.
    void completePictures();

  protected:
    void render(const ModelEvents& events) override;
    void saveState() override;
    void timer3tWork() override;

  private:
    void buildWidgets();
    void buildSettingsPanel();
    void fillLayoutChoice();
    // The keyboard changed while the window is open: drawn, taught and typed in anew.
    void keyboardChanged();
    // Gives the keyboard, the exercise and the chooser the learner's layout, building its
    // lessons when they are not there yet; `changedTo` names it when it changed while the
    // window is open.
    void useLayout(const QString& changedTo = QString());
    void showKeyNote();
    void showFingerLine();
    void layoutLine();
    bool keyDown(int code);
    void keyUp(int code);

    KeysExercise m_exercise;

    QWidget* m_background = nullptr;          // Image3
    QLabel* m_heading = nullptr;              // Label8
    QPushButton* m_selectLesson = nullptr;    // Command1
    QPushButton* m_settings = nullptr;        // Command2
    QLabel* m_lineLabel = nullptr;            // Label3, hidden: the line's place and size
    PracticeLinePanel* m_linePanel = nullptr; // Picture11
    TypedRow* m_typedRow = nullptr;           // Picture10
    KeysStatusBar* m_status = nullptr;        // Picture8
    KeysKeyboard* m_keyboard = nullptr;       // Picture5
    InputBox* m_input = nullptr;              // Text1, out of sight
    QLineEdit* m_readIn = nullptr;            // Text2, out of sight
    QLineEdit* m_capitals = nullptr;          // Text3, out of sight
    QCheckBox* m_keyedTips = nullptr;         // Check1
    QCheckBox* m_sound = nullptr;             // Check1qq
    QCheckBox* m_fingerSwitch = nullptr;      // "Finger colours"
    QLabel* m_fingerLine = nullptr;           // the finger for the next key, under the keyboard
    QLabel* m_drillNote = nullptr;            // what a drill practises, under its heading
    QPushButton* m_themes = nullptr;          // Command3
    QTimer* m_capsProbeTimer = nullptr;       // Timer1
    QTimer* m_tabMarkTimer = nullptr;         // Timer2
    QTimer* m_picturesTimer = nullptr;        // Timer3
    QComboBox* m_layoutChoice = nullptr;      // KeyboardLayout: the learner's layout
    QLabel* m_keyNote = nullptr;              // KeyNote: why no key is marked
    QStringList m_titles;
};
