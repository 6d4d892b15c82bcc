#include "words/word_exercise.h"

#include "shell/key_codes.h"
#include "words/keyboard_hint.h"
#include "words/word_lessons.h"

const QString WordExercise::kInputErrorMessage = QStringLiteral("Input error, and then continue!");
const QString WordExercise::kFirstRecordMessage = QStringLiteral("Has been to the first recor");
const QString WordExercise::kLastRecordMessage = QStringLiteral("Has been to the last record");
const QString WordExercise::kCompletionTitle = QStringLiteral("Prompt");
const QString WordExercise::kCompletionText =
    QStringLiteral("This project is completed, will return to the starting point of the "
                   "exercise project.\r\n\r\n          ");
const QString WordExercise::kReadyHint = QStringLiteral("Hit the space bar to continue");

WordExercise::WordExercise(QObject* parent) : QObject(parent) {}

QString WordExercise::line(int k) const {
    return WordLessons::TextBoxGetLine(listLines, k);
}

QString WordExercise::caption() const {
    return line(0);
}

void WordExercise::loadList(const QStringList& lines) {
    setTypedText(QString());
    listLines = lines;
    setTarget(line(wordIndex));
}

void WordExercise::startLesson(const QString& name) {
    lessonName = name;
    wordIndex = 1;
    atListEnd = false;
    nextAllowed = true;
    previousAllowed = false;
    emit displayChanged();
}

void WordExercise::setTypedText(const QString& text) {
    if (text == typedText)
        return;
    emit typedTextChanged(text);
    textChanged(text);
}

void WordExercise::setTarget(const QString& word) {
    targetWord = word;
    emit targetChanged();
    emit displayChanged();
}

void WordExercise::showMessage(const QString& text) {
    messageText = text;
    messageVisible = true;
    emit messageShown();
    emit displayChanged();
}

void WordExercise::hideMessage() {
    messageVisible = false;
}

void WordExercise::clearOverlaysAndMarks() {
    correctOverlay.clear();
    wrongOverlay.clear();
    correctMarks.clear();
    wrongMarks.clear();
}

void WordExercise::rebuildMarks() {
    correctMarks.clear();
    wrongMarks.clear();
    for (qsizetype i = 0; i < typedText.size(); ++i) {
        const bool match = i < targetWord.size() && typedText[i] == targetWord[i];
        correctMarks += match ? u'.' : u' ';
        wrongMarks += match ? u' ' : u'_';
    }
}

void WordExercise::textChanged(const QString& text) {
    typedText = text;
    const bool wasRunning = clock.running();
    clock.touch();
    if (text.isEmpty()) {
        clearOverlaysAndMarks();
        readyHintVisible = false;
        hideMessage();
    } else if (text.size() <= targetWord.size()) {
        const qsizetype n = text.size();
        const QChar expected = targetWord[n - 1];
        const bool counted = lastKeyCode != KeyCode::Backspace;
        // Position n takes the fresh judgement; earlier positions keep theirs. Padding keeps
        // the overlays in line with the word even when several characters arrive at once.
        const QString correctBefore = correctOverlay.leftJustified(n - 1, u' ', true);
        const QString wrongBefore = wrongOverlay.leftJustified(n - 1, u' ', true);
        if (text[n - 1] == expected) {
            emit soundRequested(PracticeSound::Keystroke);
            correctOverlay = correctBefore + expected;
            wrongOverlay = wrongBefore + u' ';
            if (counted)
                ++correctCount;
            readyHintVisible = n == targetWord.size() && wrongOverlay.trimmed().isEmpty();
        } else {
            emit soundRequested(PracticeSound::Error);
            correctOverlay = correctBefore + u' ';
            wrongOverlay = wrongBefore + expected;
            if (counted)
                ++wrongCount;
        }
        hideMessage();
        rebuildMarks();
    }
    typedCount = correctCount + wrongCount;
    emit displayChanged();
    if (!wasRunning)
        emit clockChanged();
}

bool WordExercise::keyPress(int code) {
    if (code == KeyCode::Enter) {
        emit soundRequested(PracticeSound::Keystroke);
        setTypedText(QString());
        clearOverlaysAndMarks();
        emit displayChanged();
        return true;
    }
    if (code != KeyCode::Space || typedText.size() < targetWord.size())
        return false;

    emit soundRequested(PracticeSound::Keystroke);
    correctOverlay.clear();
    wrongOverlay.clear();
    readyHintVisible = false;
    if (typedText != targetWord) {
        if (!typedText.isEmpty()) {
            setTypedText(QString());
            showMessage(kInputErrorMessage);
            correctMarks.clear();
            wrongMarks.clear();
        }
    } else {
        setTypedText(QString());
        hideMessage();
        correctMarks.clear();
        wrongMarks.clear();
        stepNext();
    }
    emit displayChanged();
    if (atListEnd) {
        emit projectCompleted();
        restart();
    }
    return true;
}

void WordExercise::keyDown(int code) {
    if (code == KeyCode::Left && previousAllowed)
        stepPrevious();
    else if (code == KeyCode::Right && nextAllowed)
        stepNext();
    lastKeyCode = code;
}

void WordExercise::clickInput() {
    setTypedText(QString());
}

void WordExercise::stepPrevious() {
    nextAllowed = true;
    atListEnd = false;
    setTypedText(QString());
    if (wordIndex <= 1) {
        previousAllowed = false;
        showMessage(kFirstRecordMessage);
    } else {
        --wordIndex;
        setTarget(line(wordIndex));
    }
}

void WordExercise::stepNext() {
    previousAllowed = true;
    setTypedText(QString());
    const QString next = line(wordIndex + 1);
    if (!next.isEmpty()) {
        ++wordIndex;
        atListEnd = false;
        setTarget(next);
    } else {
        nextAllowed = false;
        atListEnd = true;
        showMessage(kLastRecordMessage);
    }
}

void WordExercise::restart() {
    setTarget(line(1));
    hideMessage();
    wordIndex = 1;
    setTypedText(QString());
    atListEnd = false;
    nextAllowed = true;
    previousAllowed = false;
    emit displayChanged();
}

void WordExercise::setKeyedTips(bool on) {
    keyedTips = on;
    emit displayChanged();
}

int WordExercise::hintKey() const {
    return KeyboardHint::nextKey(keyedTips, typedText, targetWord);
}

void WordExercise::clockTick() {
    if (!clock.running())
        return;
    clock.clockTick();
    if (clock.activeSeconds() != 0 && typedCount != 0) {
        speedText = Meters::speed(typedCount, clock.activeSeconds(), QStringLiteral(" WMP"));
        accuracyText = Meters::accuracy(correctCount, typedCount);
    }
    emit clockChanged();
}

void WordExercise::idleTick() {
    const bool wasRunning = clock.running();
    clock.idleTick();
    if (wasRunning != clock.running())
        emit clockChanged();
}

void WordExercise::messageTimeout() {
    if (!messageVisible)
        return;
    hideMessage();
    emit displayChanged();
}
