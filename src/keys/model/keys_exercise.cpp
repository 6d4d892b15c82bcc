#include "keys/model/keys_exercise.h"

#include "core/key_codes.h"
#include "core/number_parse.h"

const QString KeysExercise::kPromptTitle = QStringLiteral("Prompt");
const QString KeysExercise::kPromptText =
    QStringLiteral("Have you finished the exercise of the selected course and continue to choose "
                   "other training courses?\r\n\r\n          ");

KeysExercise::KeysExercise(ProgramFolder folder, QObject* parent)
    : PracticeModel(parent), m_folder(std::move(folder)),
      m_measure([](const QString& text) { return int(text.size()); }),
      m_capsQuery([] { return false; }) {}

void KeysExercise::setMeasure(Measure measure) {
    m_measure = std::move(measure);
}

void KeysExercise::setCapsLockQuery(CapsLockQuery query) {
    m_capsQuery = std::move(query);
}

void KeysExercise::setLayout(const KeyboardLayout& layout, const QString& lessonFolder) {
    const Batch batch(this);
    m_layout = layout;
    m_lessonFolder = lessonFolder;
    if (!m_restored)
        return;
    loadLesson();
    reset();
}

void KeysExercise::keyboardChanged(const KeyboardLayout& layout, const QString& lessonFolder,
                                   const QString& caption) {
    const Batch batch(this);
    m_keyboardNote =
        QStringLiteral("The keyboard is %1 now: the lesson starts again.").arg(caption);
    setLayout(layout, lessonFolder);
    display(CursorMoved);
}

QString KeysExercise::keyNote() const {
    if (!m_keyboardNote.isEmpty())
        return m_keyboardNote;
    if (m_expectedChar.isEmpty() || m_expectedKey != 0)
        return QString();
    const QChar c = m_expectedChar[0];
    switch (m_layout.reach(c)) {
    case KeyboardLayout::Reach::AltGr:
        return QStringLiteral("\u201c%1\u201d is typed with AltGr on this keyboard: no key is "
                              "marked.")
            .arg(c);
    case KeyboardLayout::Reach::OffTable:
        return QStringLiteral("\u201c%1\u201d is on a key this keyboard does not show: no key is "
                              "marked.")
            .arg(c);
    default:
        return QStringLiteral("No key of this keyboard types \u201c%1\u201d: no key is marked.")
            .arg(c);
    }
}

// The status bar's figures.
RunTotals KeysExercise::totals() const {
    return {m_seconds, m_typedCount, m_wrongCount, valInt(m_speedText), valInt(m_accuracyText)};
}

// --- state file and lessons ---

void KeysExercise::restore(const Sz0& state) {
    const Batch batch(this);
    m_keyedTips = state.keyedTips;
    m_keystrokeSound = state.keystrokeSound;
    m_lessonIndex = state.lessonIndex;
    m_restored = true;
    display(SwitchesChanged);
    loadLesson();
    reset();
}

Sz0 KeysExercise::state() const {
    Sz0 state;
    state.keyedTips = m_keyedTips;
    state.keystrokeSound = m_keystrokeSound;
    state.lessonIndex = m_lessonIndex;
    return state;
}

void KeysExercise::dr() {
    const Batch batch(this);
    loadLesson();
}

void KeysExercise::tttt() {
    const Batch batch(this);
    reset();
}

void KeysExercise::openDrill(const KeyLessons::Lesson& lesson) {
    const Batch batch(this);
    // The run so far ends before the lesson changes under it.
    resettingCounters();
    m_lesson = lesson;
    m_drilling = true;
    display(LessonChanged);
    reset();
}

void KeysExercise::loadLesson() {
    m_drilling = false;
    const QString resource = KeyLessons::lessonResource(m_lessonIndex, m_lessonFolder);
    QString shown = resource.mid(1);
    shown.replace(u'\\', u'/');
    m_lesson = KeyLessons::readLesson(m_folder.path(resource), shown);
    display(LessonChanged);
}

QString KeysExercise::TextBoxGetLine(int k) const {
    if (k == 0)
        return m_lesson.heading;
    return m_lesson.practiceLines.value(k - 1);
}

void KeysExercise::reset() {
    resettingCounters();
    m_clockRunning = false;
    m_seconds = 0;
    m_hms.reset();
    m_accuracyText = QStringLiteral("0 %");
    m_speedText = QStringLiteral("0 WPM");
    m_progressPercent = 0;
    m_typedCount = 0;
    m_wrongCount = 0;
    clearMarks();
    setHistory(QString());
    m_latestChar.clear();
    m_presses.clear();
    startLine(TextBoxGetLine(1));
    m_lineNumber = 1;
    markTip();
    m_errorShown = false;
    m_exerciseFlag = QStringLiteral("home");
    m_typedPart.clear();
    display(LessonChanged | MetersChanged | ClockChanged);
}

// --- events ---

qsizetype KeysExercise::findPress(int code, quint32 scanCode) const {
    for (qsizetype i = 0; i < m_presses.size(); ++i) {
        const Press& p = m_presses[i];
        if (scanCode != 0 ? p.scanCode == scanCode : p.code == code)
            return i;
    }
    return -1;
}

void KeysExercise::keyDown(int code, quint32 scanCode) {
    const Batch batch(this);
    // A held key repeats its press; it keeps the character of its first press.
    if (findPress(code, scanCode) < 0)
        m_presses.append({scanCode, code, QString(), false});
    if (!m_keyboardNote.isEmpty()) {
        m_keyboardNote.clear();
        display(CursorMoved); // the note of the key due, if any, comes back
    }

    if (m_layout.typesLetterOrDigit(code) && !m_clockRunning) {
        m_clockRunning = true;
        display(ClockChanged);
    }
    clearMarks();
    if (code == m_expectedKey) {
        if (m_keyedTips)
            mark(code, KeyPicture::Press);
    } else if (m_keyedTips) {
        mark(m_expectedKey, KeyPicture::Tip);
        mark(code, KeyPicture::WrongPress);
        if (code == KeyCode::Enter)
            mark(kEnterLowerLabel, KeyPicture::WrongPress);
    }
}

void KeysExercise::textChanged(const QString& text) {
    const Batch batch(this);
    const bool grew = text.size() > m_typedHistory.size();
    setHistory(text);
    m_latestChar = text.left(1);
    // The newest character belongs to the newest press that has not typed one yet.
    if (grew && !text.isEmpty()) {
        for (Press& p : m_presses)
            p.ownsNewest = false;
        for (qsizetype i = m_presses.size() - 1; i >= 0; --i) {
            if (m_presses[i].produced.isEmpty()) {
                m_presses[i].produced = text.left(1);
                m_presses[i].ownsNewest = true;
                break;
            }
        }
    }
}

void KeysExercise::keyUp(int code, quint32 scanCode) {
    const Batch batch(this);
    // Shift let go types nothing: the next key is timed from the last one that did.
    if (code != KeyCode::Shift)
        keystroke();
    // A release is judged against the character its own press typed, so that a key pressed
    // before the previous one is released does not take the other's character. A press that
    // typed nothing (Shift, Backspace, Enter) is judged against the newest character, unless
    // that character's own key is still down: Shift let go before its letter judges nothing.
    QString typed = m_latestChar;
    bool ownCharacter = false;
    const qsizetype press = findPress(code, scanCode);
    if (press >= 0) {
        ownCharacter = !m_presses[press].produced.isEmpty();
        if (ownCharacter)
            typed = m_presses[press].produced;
        m_presses.removeAt(press);
    }
    for (const Press& p : m_presses) {
        if (!ownCharacter && p.ownsNewest)
            typed.clear();
    }

    if (code == KeyCode::Pause) {
        if (m_clockRunning) {
            m_clockRunning = false;
            display(ClockChanged);
        }
    } else if (code == KeyCode::CapsLock) {
        display(CapsProbeStarted);
    } else if (lineCount() > 0 && m_lineNumber <= lineCount()) {
        m_lastKeyCode = code;
        if (typed == m_expectedChar)
            rightKeystroke();
        else
            wrongKeystroke(code, typed);
    }
}

void KeysExercise::rightKeystroke() {
    judged(m_expectedKey, true, expectedCharacter());
    requestSound(PracticeSound::Keystroke);
    ++m_cursorPos;
    m_expectedChar = m_currentLine.mid(m_cursorPos - 1, 1);
    ++m_typedCount;
    m_typedPart = m_currentLine.left(m_cursorPos - 1);

    const QString drawn = m_typedPart.right(1);
    if (m_errorShown) {
        m_typedRowWrong.clear();
        m_cellWrongCount = 0;
    }
    m_typedRowRight += drawn;
    m_nextCellX += m_measure(drawn);
    m_errorShown = false;
    display(TypedRowChanged | CursorMoved);

    updateAccuracyAndSpeed();
    if (m_lesson.practiceCharCount != 0)
        m_progressPercent = int(qint64(m_typedCount) * 100 / m_lesson.practiceCharCount);

    if (m_cursorPos - 1 == lineLength()) {
        ++m_lineNumber;
        if (m_lineNumber - 1 == lineCount()) {
            clearMarks();
            runEnded();
            message(kPromptTitle, kPromptText, true);
            return;
        }
        startLine(TextBoxGetLine(m_lineNumber));
    }
    setExpected(m_expectedChar);
    clearMarks();
    markTip();
    m_latestChar.clear();
}

void KeysExercise::wrongKeystroke(int code, const QString& typed) {
    if (code != KeyCode::Shift)
        requestSound(PracticeSound::Error);
    clearMarks();
    if (m_keyedTips) {
        mark(m_expectedKey, KeyPicture::Tip);
        if (m_expectedKey != m_lastKeyCode)
            mark(m_lastKeyCode, KeyPicture::WrongKey);
    }
    m_errorShown = true;
    if (code != KeyCode::Backspace)
        m_cellWrongCount = 0;
    m_typedRowWrong = typed;
    if (m_layout.typesLetterOrDigit(code)) {
        judged(m_expectedKey, false, expectedCharacter());
        ++m_wrongCount;
        ++m_typedCount;
        ++m_cellWrongCount;
    }
    if (code == KeyCode::Backspace) {
        m_typedRowWrong.clear();
        m_cellWrongCount = 0;
    }
    display(TypedRowChanged);
    updateAccuracyAndSpeed();
}

void KeysExercise::tabPressed() {
    const Batch batch(this);
    if (m_keyedTips)
        mark(kTabLabel, KeyPicture::Press);
    requestSound(PracticeSound::Error);
    display(TabMarkStarted);
}

void KeysExercise::setKeyedTips(bool on) {
    const Batch batch(this);
    if (on == m_keyedTips)
        return;
    m_keyedTips = on;
    if (on)
        mark(m_expectedKey, KeyPicture::Tip);
    else
        clearMarks();
    display(SwitchesChanged);
}

void KeysExercise::setKeystrokeSound(bool on) {
    const Batch batch(this);
    if (on == m_keystrokeSound)
        return;
    m_keystrokeSound = on;
    display(SwitchesChanged);
}

void KeysExercise::setFingerColours(bool on) {
    const Batch batch(this);
    if (on == m_fingerColours)
        return;
    m_fingerColours = on;
    display(SwitchesChanged);
}

void KeysExercise::lessonEndAnswered(bool ok) {
    const Batch batch(this);
    if (ok) {
        m_exerciseFlag = QStringLiteral("end");
        display(ChooserWanted);
    } else {
        reset();
    }
}

void KeysExercise::chooserClosed(int chosenIndex) {
    const Batch batch(this);
    if (chosenIndex >= 0 && chosenIndex < KeyLessons::kLessons) {
        m_lessonIndex = chosenIndex;
        loadLesson();
        reset();
    } else if (m_exerciseFlag == u"end") {
        reset();
    }
}

// --- timer ticks ---

void KeysExercise::clockTick() {
    const Batch batch(this);
    if (!m_clockRunning)
        return;
    ++m_seconds;
    m_hms.addSecond();
    updateSpeed();
    display(ClockChanged | MetersChanged);
}

void KeysExercise::tabMarkTick() {
    const Batch batch(this);
    if (m_keyedTips)
        mark(kTabLabel, KeyPicture::Tip);
}

void KeysExercise::capsProbeTick() {
    const Batch batch(this);
    const bool on = m_capsQuery();
    if (on != m_capsIndicator) {
        m_capsIndicator = on;
        display(CapsIndicatorChanged);
    }
    if (!on && m_keyedTips)
        mark(KeyCode::CapsLock, KeyPicture::Tip);
}

// --- helpers; they record what changed and leave the notification to the caller ---

void KeysExercise::updateSpeed() {
    if (m_seconds != 0)
        m_speedText = Meters::speed(m_typedCount, m_seconds, QStringLiteral(" WPM"));
}

void KeysExercise::updateAccuracyAndSpeed() {
    if (m_typedCount != 0)
        m_accuracyText = Meters::accuracy(m_typedCount - m_wrongCount, m_typedCount);
    updateSpeed();
    display(MetersChanged);
}

void KeysExercise::clearMarks() {
    if (!m_marks.isEmpty()) {
        m_marks.clear();
        display(MarksChanged);
    }
}

void KeysExercise::mark(int key, KeyPicture picture) {
    for (KeyMark& m : m_marks) {
        if (m.key == key) {
            if (m.picture != picture) {
                m.picture = picture;
                display(MarksChanged);
            }
            return;
        }
    }
    m_marks.append({key, picture});
    display(MarksChanged);
}

void KeysExercise::markTip() {
    if (m_keyedTips)
        mark(m_expectedKey, KeyPicture::Tip);
}

QChar KeysExercise::expectedCharacter() const {
    return m_expectedChar.isEmpty() ? QChar() : m_expectedChar.front();
}

void KeysExercise::setExpected(const QString& c) {
    m_expectedChar = c;
    if (!c.isEmpty())
        m_expectedKey = m_layout.codeOf(c[0]);
}

void KeysExercise::startLine(const QString& line) {
    m_currentLine = line;
    m_cursorPos = 1;
    setExpected(line.left(1));
    clearTypedRow();
    display(LineChanged | CursorMoved);
}

void KeysExercise::clearTypedRow() {
    m_typedRowRight.clear();
    m_typedRowWrong.clear();
    m_nextCellX = 0;
    display(TypedRowChanged);
}

// "Keystroke sound" is read at every request.
void KeysExercise::requestSound(PracticeSound s) {
    if (m_keystrokeSound)
        sound(s);
}

void KeysExercise::setHistory(const QString& text) {
    if (text != m_typedHistory) {
        m_typedHistory = text;
        display(HistoryChanged);
    }
}
