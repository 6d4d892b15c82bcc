#include "words/model/word_exercise.h"

#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "core/number_parse.h"
#include "core/state_file.h"
#include "words/model/keyboard_hint.h"
#include "words/model/word_lessons.h"

const QString WordExercise::kInputErrorMessage = QStringLiteral("Input error, and then continue!");
const QString WordExercise::kFirstRecordMessage = QStringLiteral("Has been to the first recor");
const QString WordExercise::kLastRecordMessage = QStringLiteral("Has been to the last record");
const QString WordExercise::kCompletionTitle = QStringLiteral("Prompt");
const QString WordExercise::kCompletionText =
    QStringLiteral("This project is completed, will return to the starting point of the "
                   "exercise project.\r\n\r\n          ");
const QString WordExercise::kReadyHint = QStringLiteral("Hit the space bar to continue");

WordExercise::WordExercise(QObject* parent) : PracticeModel(parent) {}

RunTotals WordExercise::totals() const {
    return {m_clock.activeSeconds(), typedCount(), m_wrongCount, valInt(m_speedText),
            valInt(m_accuracyText)};
}

QString WordExercise::runItem() const {
    const QString title = caption();
    return title.isEmpty() ? m_lessonName : title;
}

QString WordExercise::line(int k) const {
    return WordLessons::TextBoxGetLine(m_listLines, k);
}

QString WordExercise::caption() const {
    return line(0);
}

void WordExercise::restore(const WordLessons::Sz1& state) {
    const Batch batch(this);
    m_keyedTips = state.keyedTips;
    m_keystrokeSound = state.keystrokeSound;
    m_wordIndex = state.wordIndex;
    m_lessonName = state.lessonName;
    note(Display);
}

WordLessons::Sz1 WordExercise::state() const {
    WordLessons::Sz1 state;
    state.keyedTips = m_keyedTips;
    state.keystrokeSound = m_keystrokeSound;
    state.wordIndex = m_wordIndex;
    state.lessonName = m_lessonName;
    return state;
}

void WordExercise::loadList(const WordLessons::WordList& list) {
    const Batch batch(this);
    setTypedText(QString());
    m_lessonName = list.lessonName;
    m_wordIndex = list.wordIndex;
    m_listLines = list.lines;
    setTarget(line(m_wordIndex));
    if (list.cut)
        showMessage(StateFile::cutNotice(m_lessonName + QStringLiteral(".txt")));
}

void WordExercise::startLesson(const QString& name) {
    const Batch batch(this);
    m_lessonName = name;
    m_wordIndex = 1;
    m_atListEnd = false;
    m_nextAllowed = true;
    m_previousAllowed = false;
    note(Display);
}

void WordExercise::takeLesson(const QString& name) {
    if (WordLessons::isKnownLesson(name))
        m_lessonName = name;
}

// The exercise empties the input box itself: the box mirrors it, and the change is judged
// as if it had been typed.
void WordExercise::setTypedText(const QString& text) {
    if (text == m_typedText)
        return;
    note(TypedText);
    applyText(text);
}

void WordExercise::setTarget(const QString& word) {
    m_targetWord = word;
    note(Target | Display);
}

void WordExercise::showMessage(const QString& text) {
    m_messageText = text;
    m_messageVisible = true;
    note(MessageShown | Display);
}

void WordExercise::clearOverlaysAndMarks() {
    m_correctOverlay.clear();
    m_wrongOverlay.clear();
    m_correctMarks.clear();
    m_wrongMarks.clear();
}

void WordExercise::rebuildMarks() {
    m_correctMarks.clear();
    m_wrongMarks.clear();
    for (qsizetype i = 0; i < m_typedText.size(); ++i) {
        const bool match = i < m_targetWord.size() && m_typedText[i] == m_targetWord[i];
        m_correctMarks += match ? u'.' : u' ';
        m_wrongMarks += match ? u' ' : u'_';
    }
}

void WordExercise::textChanged(const QString& text) {
    const Batch batch(this);
    keystroke();
    applyText(text);
}

void WordExercise::applyText(const QString& text) {
    m_typedText = text;
    const bool wasRunning = m_clock.running();
    m_clock.touch();
    if (text.isEmpty()) {
        clearOverlaysAndMarks();
        m_readyHintVisible = false;
        m_messageVisible = false;
    } else if (text.size() <= m_targetWord.size()) {
        const qsizetype n = text.size();
        const QChar expected = m_targetWord[n - 1];
        const bool counted = m_lastKeyCode != KeyCode::Backspace;
        // Position n takes the fresh judgement; earlier positions keep theirs. Padding keeps
        // the overlays in line with the word even when several characters arrive at once.
        const QString correctBefore = m_correctOverlay.leftJustified(n - 1, u' ', true);
        const QString wrongBefore = m_wrongOverlay.leftJustified(n - 1, u' ', true);
        if (counted)
            judged(m_layout.codeOf(expected), text[n - 1] == expected, expected);
        if (text[n - 1] == expected) {
            sound(PracticeSound::Keystroke);
            m_correctOverlay = correctBefore + expected;
            m_wrongOverlay = wrongBefore + u' ';
            if (counted)
                ++m_correctCount;
            m_readyHintVisible = n == m_targetWord.size() && m_wrongOverlay.trimmed().isEmpty();
        } else {
            sound(PracticeSound::Error);
            m_correctOverlay = correctBefore + u' ';
            m_wrongOverlay = wrongBefore + expected;
            if (counted)
                ++m_wrongCount;
        }
        m_messageVisible = false;
        rebuildMarks();
    }
    note(Display);
    if (!wasRunning)
        note(Clock);
}

bool WordExercise::keyPress(int code) {
    const Batch batch(this);
    if (code == KeyCode::Enter) {
        keystroke(); // the next letter is timed from it
        sound(PracticeSound::Keystroke);
        note(Display);
        setTypedText(QString());
        clearOverlaysAndMarks();
        return true;
    }
    if (code != KeyCode::Space || m_typedText.size() < m_targetWord.size())
        return false;

    keystroke();
    sound(PracticeSound::Keystroke);
    note(Display);
    m_correctOverlay.clear();
    m_wrongOverlay.clear();
    m_readyHintVisible = false;
    if (m_typedText != m_targetWord) {
        if (!m_typedText.isEmpty()) {
            setTypedText(QString());
            showMessage(kInputErrorMessage);
            m_correctMarks.clear();
            m_wrongMarks.clear();
        }
    } else {
        setTypedText(QString());
        m_messageVisible = false;
        m_correctMarks.clear();
        m_wrongMarks.clear();
        goNext();
    }
    if (m_atListEnd) {
        runEnded();
        message(kCompletionTitle, kCompletionText);
        goToStart();
    }
    return true;
}

void WordExercise::keyDown(int code) {
    const Batch batch(this);
    if (code == KeyCode::Left && m_previousAllowed)
        goPrevious();
    else if (code == KeyCode::Right && m_nextAllowed)
        goNext();
    m_lastKeyCode = code;
}

void WordExercise::clickInput() {
    const Batch batch(this);
    setTypedText(QString());
}

void WordExercise::stepPrevious() {
    const Batch batch(this);
    goPrevious();
}

void WordExercise::stepNext() {
    const Batch batch(this);
    goNext();
}

void WordExercise::restart() {
    const Batch batch(this);
    goToStart();
}

void WordExercise::goPrevious() {
    m_nextAllowed = true;
    m_atListEnd = false;
    setTypedText(QString());
    if (m_wordIndex <= 1) {
        m_previousAllowed = false;
        showMessage(kFirstRecordMessage);
    } else {
        --m_wordIndex;
        setTarget(line(m_wordIndex));
    }
}

void WordExercise::goNext() {
    m_previousAllowed = true;
    setTypedText(QString());
    const QString next = line(m_wordIndex + 1);
    if (!next.isEmpty()) {
        ++m_wordIndex;
        m_atListEnd = false;
        setTarget(next);
    } else {
        m_nextAllowed = false;
        m_atListEnd = true;
        showMessage(kLastRecordMessage);
    }
}

void WordExercise::goToStart() {
    setTarget(line(1));
    m_messageVisible = false;
    m_wordIndex = 1;
    setTypedText(QString());
    m_atListEnd = false;
    m_nextAllowed = true;
    m_previousAllowed = false;
    note(Display);
}

void WordExercise::setKeyedTips(bool on) {
    const Batch batch(this);
    m_keyedTips = on;
    note(Display);
}

void WordExercise::setKeystrokeSound(bool on) {
    const Batch batch(this);
    m_keystrokeSound = on;
    note(Display);
}

void WordExercise::setKeyboardLayout(const KeyboardLayout& layout) {
    const Batch batch(this);
    m_layout = layout;
    note(Display);
}

int WordExercise::hintKey() const {
    return KeyboardHint::nextKey(m_keyedTips, m_typedText, m_targetWord, m_layout);
}

void WordExercise::clockTick() {
    const Batch batch(this);
    if (!m_clock.running())
        return;
    m_clock.clockTick();
    if (m_clock.activeSeconds() != 0 && typedCount() != 0) {
        m_speedText = Meters::speed(typedCount(), m_clock.activeSeconds(), QStringLiteral(" WMP"));
        m_accuracyText = Meters::accuracy(m_correctCount, typedCount());
    }
    note(Clock);
}

void WordExercise::idleTick() {
    const Batch batch(this);
    const bool wasRunning = m_clock.running();
    m_clock.idleTick();
    if (wasRunning != m_clock.running())
        note(Clock);
}

void WordExercise::messageTimeout() {
    const Batch batch(this);
    if (!m_messageVisible)
        return;
    m_messageVisible = false;
    note(Display);
}
