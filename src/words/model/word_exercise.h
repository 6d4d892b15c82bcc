#pragma once

#include "core/keyboard_layout.h"
#include "core/practice_clock.h"
#include "core/practice_model.h"
#include "core/practice_sound.h"
#include "words/model/word_lessons.h"

#include <QStringList>

// The Word practice exercise: one item of the word list at a time, judged character by
// character as it is typed. It owns the typed text and the window's two switches. The window
// feeds it events and timer ticks and renders what it holds; it touches no widget itself.
// Every public input finishes its whole change and then reports it once.
class WordExercise : public PracticeModel {
    Q_OBJECT
  public:
    // What one input changed.
    enum Change {
        TypedText = 0x01,    // the exercise changed the typed text: the input box mirrors it
        Display = 0x02,      // overlays, marks, hints, messages, arrows, item, switches
        Target = 0x04,       // a new item: lay it out
        Clock = 0x08,        // seconds, meters or running state
        MessageShown = 0x10, // a message that hides itself later
    };
    Q_DECLARE_FLAGS(Changes, Change)
    Q_FLAG(Changes)

    static const QString kInputErrorMessage;
    static const QString kFirstRecordMessage;
    static const QString kLastRecordMessage;
    static const QString kCompletionTitle;
    static const QString kCompletionText;
    static const QString kReadyHint;

    explicit WordExercise(QObject* parent = nullptr);

    // --- state files and lessons ---
    // Takes the switches, lesson and word kept in sz1.txt.
    void restore(const WordLessons::Sz1& state);
    // What sz1.txt keeps of the exercise now.
    WordLessons::Sz1 state() const;
    // Takes a word list (see WordLessons::readList) and shows its item. Clears the input first.
    void loadList(const WordLessons::WordList& list);
    // A lesson chosen in the chooser starts at its first word.
    void startLesson(const QString& lessonName);
    // The lesson handed over by another window; the word stays. Unknown names are ignored.
    void takeLesson(const QString& lessonName);
    QString caption() const;

    // --- events ---
    void textChanged(const QString& text); // any change of the input box by the user
    bool keyPress(int code);               // Enter, Space; true when the key is discarded
    void keyDown(int code);
    void clickInput();
    void stepPrevious();
    void stepNext();
    void restart();
    void setKeyedTips(bool on);
    void setKeystrokeSound(bool on);
    // The learner's keyboard layout: the hint frames, and the keys judged, are the keys that
    // type the characters in it.
    void setKeyboardLayout(const KeyboardLayout& layout);

    // --- timer ticks ---
    void clockTick();      // Timer6, 1000 ms while the clock runs
    void idleTick();       // Timer2, 1000 ms always
    void messageTimeout(); // Timer2ts, 2222 ms after a message

    // --- what the window renders, with the names the rest of the program uses ---
    const QString& lessonName() const { return m_lessonName; }
    int wordIndex() const { return m_wordIndex; }
    const QStringList& listLines() const { return m_listLines; }
    const QString& targetWord() const { return m_targetWord; }
    const QString& typedText() const { return m_typedText; }
    // The judged characters over the word: the expected character where the typed one was
    // right (correctOverlay) or wrong (wrongOverlay), blanks elsewhere.
    const QString& correctOverlay() const { return m_correctOverlay; }
    const QString& wrongOverlay() const { return m_wrongOverlay; }
    // One mark per typed character, over the input box: "." right, "_" wrong.
    const QString& correctMarks() const { return m_correctMarks; }
    const QString& wrongMarks() const { return m_wrongMarks; }
    bool atListEnd() const { return m_atListEnd; }
    bool previousAllowed() const { return m_previousAllowed; }
    bool nextAllowed() const { return m_nextAllowed; }
    // Keystrokes judged while the clock ran; Backspace and Enter are not counted.
    int typedCount() const { return m_correctCount + m_wrongCount; }
    int correctCount() const { return m_correctCount; }
    int wrongCount() const { return m_wrongCount; }
    bool keyedTips() const { return m_keyedTips; }
    bool keystrokeSound() const { return m_keystrokeSound; }
    const QString& speedText() const { return m_speedText; }
    const QString& accuracyText() const { return m_accuracyText; }
    bool readyHintVisible() const { return m_readyHintVisible; }
    bool messageVisible() const { return m_messageVisible; }
    const QString& messageText() const { return m_messageText; }
    // The key of the hint keyboard to frame (KeyboardHint's index), or -1.
    int hintKey() const;
    bool clockRunning() const override { return m_clock.running(); }
    // The meters' figures.
    RunTotals totals() const override;
    // The list's caption, or the lesson's name before the list is read.
    QString runItem() const override;
    int activeSeconds() const { return m_clock.activeSeconds(); }
    int idleCountdown() const { return m_clock.idleCountdown(); }

  private:
    void note(Changes what) { display(what); }
    void applyText(const QString& text);
    void setTypedText(const QString& text);
    void setTarget(const QString& word);
    void showMessage(const QString& text);
    void clearOverlaysAndMarks();
    void rebuildMarks();
    void goPrevious();
    void goNext();
    void goToStart();
    QString line(int k) const;

    QString m_lessonName = QStringLiteral("Lesson 1");
    QStringList m_listLines;
    int m_wordIndex = 1;
    QString m_targetWord;
    QString m_typedText;
    QString m_correctOverlay;
    QString m_wrongOverlay;
    QString m_correctMarks;
    QString m_wrongMarks;
    int m_lastKeyCode = 0;
    bool m_atListEnd = false;
    bool m_previousAllowed = true;
    bool m_nextAllowed = true;
    int m_correctCount = 0;
    int m_wrongCount = 0;
    bool m_keyedTips = false;
    bool m_keystrokeSound = false;
    KeyboardLayout m_layout = KeyboardLayout::us();
    QString m_speedText = QStringLiteral("0 WMP");
    QString m_accuracyText = QStringLiteral("0 %");
    bool m_readyHintVisible = false;
    bool m_messageVisible = false;
    QString m_messageText;
    TypingClock m_clock;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(WordExercise::Changes)
