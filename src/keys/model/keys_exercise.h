#pragma once

#include "core/keyboard_layout.h"
#include "core/keyboard_table.h"
#include "core/practice_clock.h"
#include "core/practice_model.h"
#include "core/program_folder.h"
#include "keys/model/key_lessons.h"
#include "keys/model/keys_state.h"

#include <QList>
#include <QString>
#include <functional>

// The pictures a key of the on-screen keyboard is copied from when it is marked.
enum class KeyPicture { Tip, Press, WrongPress, WrongKey };

struct KeyMark {
    int key; // key label index: the key code, 527 for Tab, 888 for the lower part of Enter
    KeyPicture picture;
    bool operator==(const KeyMark&) const = default;
};

// The Keys practice exercise: the lines of a key lesson typed one character at a time, each
// keystroke judged when its key is released. The window feeds it key events, the input box's
// text and timer ticks, and draws what it holds; it touches no widget itself.
class KeysExercise : public PracticeModel {
    Q_OBJECT
  public:
    enum Change : unsigned {
        LessonChanged = 1 << 0, // heading and lesson
        LineChanged = 1 << 1,   // a new practice line
        CursorMoved = 1 << 2,   // the cursor mark
        TypedRowChanged = 1 << 3,
        MarksChanged = 1 << 4,
        MetersChanged = 1 << 5, // accuracy, speed, progress
        ClockChanged = 1 << 6,  // time display or running state
        CapsIndicatorChanged = 1 << 7,
        SwitchesChanged = 1 << 8,
        HistoryChanged = 1 << 9,    // the input box's text
        TabMarkStarted = 1 << 10,   // start Timer2
        CapsProbeStarted = 1 << 11, // start Timer1
        ChooserWanted = 1 << 12,    // the lesson-end prompt was answered with OK
    };
    Q_DECLARE_FLAGS(Changes, Change)

    static constexpr int kTabLabel = KeyboardTable::kTabLabel;
    static constexpr int kEnterLowerLabel = KeyboardTable::kEnterLowerLabel;
    static const QString kPromptTitle;
    static const QString kPromptText;

    // Width of a text in the typed row's font; the model only adds widths up.
    using Measure = std::function<int(const QString&)>;
    // The platform's Caps Lock state.
    using CapsLockQuery = std::function<bool()>;

    explicit KeysExercise(ProgramFolder folder, QObject* parent = nullptr);

    void setMeasure(Measure measure);
    void setCapsLockQuery(CapsLockQuery query);
    // The learner's keyboard layout, and the folder of its lessons ("\1\" for the shipped
    // ones). The marks go to the keys that type the characters in this layout. A lesson already
    // started is read again from the new folder and started afresh.
    void setLayout(const KeyboardLayout& layout, const QString& lessonFolder);
    // The same when the keyboard changed while the window is open (the desktop's layout or
    // group, or another choice): the lesson starts again at its first line, and until the next
    // key the note says that the keyboard is `caption` ("German") now.
    void keyboardChanged(const KeyboardLayout& layout, const QString& lessonFolder,
                         const QString& caption);
    const KeyboardLayout& layout() const { return m_layout; }

    // --- state file and lessons ---
    // Takes the switches and the lesson kept in sz0.txt, loads the lesson and starts it.
    void restore(const Sz0& state);
    // What sz0.txt keeps.
    Sz0 state() const;
    // Loads lesson `lessonIndex` from its file.
    void dr();
    // Starts the loaded lesson from its first line, with the counters and the clock at zero.
    void tttt();
    // Starts `lesson` as a lesson of its own, a drill: the lesson kept in sz0.txt stays the
    // one in use, and choosing a lesson leaves the drill.
    void openDrill(const KeyLessons::Lesson& lesson);
    bool drilling() const { return m_drilling; }

    // --- events ---
    // `scanCode` pairs a release with its press; 0 when the platform gives none.
    void keyDown(int code, quint32 scanCode = 0);
    void textChanged(const QString& text);
    void keyUp(int code, quint32 scanCode = 0);
    void tabPressed();
    void setKeyedTips(bool on);
    void setKeystrokeSound(bool on);
    // "Finger colours": each key of the keyboard in the colour of its finger, and the finger
    // for the next key named; kept in a state file of its own.
    void setFingerColours(bool on);
    // The lesson-end prompt was answered: OK leads to the chooser, Cancel starts the lesson
    // again.
    void lessonEndAnswered(bool ok);
    void messageAnswered(bool ok) override { lessonEndAnswered(ok); }
    // The chooser closed, with the chosen index or -1 without a choice.
    void chooserClosed(int chosenIndex);

    // --- timer ticks ---
    void clockTick();     // Timer4, 1000 ms while the clock runs
    void tabMarkTick();   // Timer2, 555 ms after a Tab
    void capsProbeTick(); // Timer1, 5 ms after Caps Lock is released

    // --- state, by the names the rules use ---
    int lessonIndex() const { return m_lessonIndex; }
    bool keyedTips() const { return m_keyedTips; }
    bool keystrokeSound() const { return m_keystrokeSound; }
    bool fingerColours() const { return m_fingerColours; }
    QString heading() const { return m_lesson.heading; }
    int lineCount() const { return m_lesson.lineCount(); }
    int practiceCharCount() const { return m_lesson.practiceCharCount; }
    // Line k of the read-in text (0 the heading); empty when there is no such line.
    QString TextBoxGetLine(int k) const;

    int lineNumber() const { return m_lineNumber; }
    QString currentLine() const { return m_currentLine; }
    int lineLength() const { return int(m_currentLine.size()); }
    int cursorPos() const { return m_cursorPos; }
    QString typedPart() const { return m_typedPart; }
    QString expectedChar() const { return m_expectedChar; }
    int expectedKey() const { return m_expectedKey; }
    // Why no key is marked for the character to type: it needs AltGr, or no key of the
    // keyboard types it. Empty when its key is marked (or there is nothing to type). Right
    // after the keyboard changed, that it did.
    QString keyNote() const;
    int lastKeyCode() const { return m_lastKeyCode; }
    QString typedHistory() const { return m_typedHistory; }
    QString latestChar() const { return m_latestChar; }
    int typedCount() const { return m_typedCount; }
    int wrongCount() const { return m_wrongCount; }
    int cellWrongCount() const { return m_cellWrongCount; }
    bool errorShown() const { return m_errorShown; }
    QString exerciseFlag() const { return m_exerciseFlag; }
    int nextCellX() const { return m_nextCellX; }

    // The typed row: the right characters in blue, then the current cell's wrong character
    // in red (empty when the cell is clear).
    QString typedRowRight() const { return m_typedRowRight; }
    QString typedRowWrong() const { return m_typedRowWrong; }

    QList<KeyMark> marks() const { return m_marks; }
    bool capsIndicatorShown() const { return m_capsIndicator; }

    bool clockRunning() const override { return m_clockRunning; }
    RunTotals totals() const override;
    QString runItem() const override { return heading(); }
    int seconds() const { return m_seconds; }
    QString timeText() const { return m_hms.display(); }
    QString speedText() const { return m_speedText; }
    QString accuracyText() const { return m_accuracyText; }
    // Progress in percent of the lesson's characters; may pass 100.
    int progressPercent() const { return m_progressPercent; }

  private:
    struct Press {
        quint32 scanCode;
        int code;
        QString produced; // the character the press typed, if any
        bool ownsNewest;  // it typed the newest character of the input box
    };

    void loadLesson();
    void reset();
    void rightKeystroke();
    void wrongKeystroke(int code, const QString& typed);
    void updateAccuracyAndSpeed();
    void updateSpeed();
    void clearMarks();
    void mark(int key, KeyPicture picture);
    void markTip();
    void setExpected(const QString& c);
    QChar expectedCharacter() const;
    void startLine(const QString& line);
    void clearTypedRow();
    void requestSound(PracticeSound sound);
    void setHistory(const QString& text);
    qsizetype findPress(int code, quint32 scanCode) const;

    ProgramFolder m_folder;
    KeyboardLayout m_layout = KeyboardLayout::us();
    QString m_keyboardNote; // the keyboard changed: shown till the next key
    QString m_lessonFolder = QStringLiteral("\\1\\");
    bool m_restored = false;
    Measure m_measure;
    CapsLockQuery m_capsQuery;

    int m_lessonIndex = 0;
    bool m_keyedTips = false;
    bool m_keystrokeSound = false;
    bool m_fingerColours = false;
    KeyLessons::Lesson m_lesson;
    bool m_drilling = false;

    int m_lineNumber = 1;
    QString m_currentLine;
    int m_cursorPos = 1;
    QString m_typedPart;
    QString m_expectedChar;
    int m_expectedKey = 0;
    int m_lastKeyCode = 0;
    QString m_typedHistory;
    QString m_latestChar;
    int m_typedCount = 0;
    int m_wrongCount = 0;
    int m_cellWrongCount = 0;
    bool m_errorShown = false;
    QString m_exerciseFlag = QStringLiteral("home");
    int m_nextCellX = 0;
    QString m_typedRowRight;
    QString m_typedRowWrong;
    QList<KeyMark> m_marks;
    bool m_capsIndicator = false;
    QList<Press> m_presses;

    bool m_clockRunning = false;
    int m_seconds = 0;
    HmsClock m_hms;
    QString m_speedText = QStringLiteral("0 WPM");
    QString m_accuracyText = QStringLiteral("0 %");
    int m_progressPercent = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(KeysExercise::Changes)
