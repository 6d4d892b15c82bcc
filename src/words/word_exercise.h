#pragma once

#include "shell/practice_clock.h"
#include "shell/practice_sound.h"

#include <QObject>
#include <QStringList>

// The Word practice exercise: one item of the word list at a time, judged character by
// character as it is typed. The window feeds it events and timer ticks and renders what it
// holds; it touches no widget itself.
class WordExercise : public QObject {
    Q_OBJECT
  public:
    static const QString kInputErrorMessage;
    static const QString kFirstRecordMessage;
    static const QString kLastRecordMessage;
    static const QString kCompletionTitle;
    static const QString kCompletionText;
    static const QString kReadyHint;

    explicit WordExercise(QObject* parent = nullptr);

    // --- the list (lesson loading) ---
    // Takes a new word list and shows item `wordIndex` of it. Clears the input first.
    void loadList(const QStringList& lines);
    // A lesson chosen in the chooser starts at its first word.
    void startLesson(const QString& lessonName);
    void setWordIndex(int index) { wordIndex = index; }
    QString caption() const;

    // --- events ---
    void textChanged(const QString& text); // any change of the input box
    bool keyPress(int code);               // Enter, Space; true when the key is discarded
    void keyDown(int code);
    void clickInput();
    void stepPrevious();
    void stepNext();
    void restart();
    void setKeyedTips(bool on);

    // --- timer ticks ---
    void clockTick();      // Timer6, 1000 ms while the clock runs
    void idleTick();       // Timer2, 1000 ms always
    void messageTimeout(); // Timer2ts, 2222 ms after a message

    int hintKey() const;
    bool clockRunning() const { return clock.running(); }
    int activeSeconds() const { return clock.activeSeconds(); }
    int idleCountdown() const { return clock.idleCountdown(); }

    // --- state, with the names the rest of the program uses ---
    QString lessonName = QStringLiteral("Lesson 1");
    QStringList listLines;
    int wordIndex = 1;
    QString targetWord;
    QString typedText;
    QString correctOverlay;
    QString wrongOverlay;
    QString correctMarks;
    QString wrongMarks;
    int lastKeyCode = 0;
    bool atListEnd = false;
    bool previousAllowed = true;
    bool nextAllowed = true;
    int typedCount = 0;
    int correctCount = 0;
    int wrongCount = 0;
    bool keyedTips = false;
    QString speedText = QStringLiteral("0 WMP");
    QString accuracyText = QStringLiteral("0 %");
    bool readyHintVisible = false;
    bool messageVisible = false;
    QString messageText;

  signals:
    void typedTextChanged(const QString& text); // the exercise changed the input box
    void displayChanged();                      // overlays, marks, hints, messages, arrows
    void targetChanged();                       // lay the new item out
    void soundRequested(PracticeSound sound);
    void messageShown();     // a message that hides itself later
    void projectCompleted(); // the whole list was typed
    void clockChanged();     // seconds, meters or running state

  private:
    void setTypedText(const QString& text);
    void setTarget(const QString& word);
    void showMessage(const QString& text);
    void hideMessage();
    void clearOverlaysAndMarks();
    void rebuildMarks();
    QString line(int k) const;

    TypingClock clock;
};
