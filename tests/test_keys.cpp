// Keys practice: the lessons and sz0.txt, and the exercise stepped key by key.

#include "keys/model/key_lessons.h"
#include "keys/model/keys_exercise.h"
#include "keys/model/keys_state.h"
#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "core/practice_sound.h"
#include "model_events.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using Changes = KeysExercise::Changes;
Q_DECLARE_METATYPE(QList<KeyMark>)

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Types into the exercise the way the window feeds it: the press, the input box's new text
// (newest character first), the release.
struct Typist {
    KeysExercise& e;

    static int codeOf(QChar c) { return KeyboardTable::codeOf(c); }
    void down(int code, QChar c = QChar(), quint32 scan = 0) {
        e.keyDown(code, scan);
        if (!c.isNull())
            e.textChanged(QString(c) + e.typedHistory());
    }
    void up(int code, quint32 scan = 0) { e.keyUp(code, scan); }
    void key(QChar c) {
        const bool shift = c.isUpper() || QStringLiteral("!@#$%^&*()_+{}:\"<>?~|").contains(c);
        if (shift)
            down(KeyCode::Shift);
        down(codeOf(c), c);
        up(codeOf(c));
        if (shift)
            up(KeyCode::Shift);
    }
    void type(const QString& text) {
        for (QChar c : text)
            key(c);
    }
    void press(int code) {
        down(code);
        up(code);
    }
};

// The sounds the exercise asks for, in order.
struct SoundLog {
    QList<PracticeSound> sounds;
    explicit SoundLog(KeysExercise& e) {
        QObject::connect(&e, &PracticeModel::changed,
                         [this](const ModelEvents& events) { sounds += events.sounds; });
    }
    QList<PracticeSound> take() { return std::exchange(sounds, {}); }
};

} // namespace

class KeysTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // A folder with lesson 0 holding `lesson`; sz0 "11" + index gives both switches on.
    KeysExercise* exercise(const QByteArray& lesson, const QString& sz0 = QStringLiteral("1100")) {
        writeBytes(m_dir.filePath("1/0.txt"), lesson);
        auto* e = new KeysExercise(ProgramFolder(m_dir.path()), this);
        e->restore(Sz0::parse(sz0));
        return e;
    }

  private slots:
    // --- lessons and sz0.txt ---

    void exerciseLoadsTheLessonNamedInSz0AndSavesItBack() {
        writeBytes(m_dir.filePath("1/15.txt"), "Marks\r\n;:\r\n");
        KeysExercise e(ProgramFolder(m_dir.path()));
        e.restore(Sz0::parse(QStringLiteral("0115")));
        QCOMPARE(e.heading(), QStringLiteral("Marks"));
        QCOMPARE(e.currentLine(), QStringLiteral(";:"));
        QCOMPARE(e.state().format(), QStringLiteral("0115"));
    }

    void lessonsAreParsed_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("chars");
        QTest::newRow("heading not counted")
            << QByteArray("Heading line\r\n0123456789\r\n0123456789ab\r\n01234567\r\n")
            << "Heading line" << 3 << 30;
        QTest::newRow("no final line break") << QByteArray("H\r\nab\r\ncd") << "H" << 2 << 4;
        QTest::newRow("empty lines left out")
            << QByteArray("H\r\n\r\nab\r\n\r\n\r\ncd\r\n") << "H" << 2 << 4;
        QTest::newRow("tab types as a blank") << QByteArray("H\r\na\tb\r\n") << "H" << 1 << 3;
        QTest::newRow("heading only")
            << QByteArray("H\r\n\r\n") << "Lesson file 1/0.txt is empty" << 0 << 0;
        QTest::newRow("empty file") << QByteArray() << "Lesson file 1/0.txt is empty" << 0 << 0;
        QTest::newRow("binary") << QByteArray("H\r\nab\0\x01\x02"
                                              "cd\r\n",
                                              13)
                                << "Lesson file 1/0.txt is not text" << 0 << 0;
        QTest::newRow("too many characters")
            << QByteArray("H\r\n") + QByteArray(200, 'a').append("\r\n").repeated(200)
            << "Lesson file 1/0.txt is too long" << 0 << 0;
        QTest::newRow("huge file") << QByteArray(KeyLessons::kMaxFileBytes + 1, 'a')
                                   << "Lesson file 1/0.txt is too long" << 0 << 0;
    }
    void lessonsAreParsed() {
        QFETCH(QByteArray, file);
        QFETCH(QString, heading);
        QFETCH(int, lines);
        QFETCH(int, chars);
        KeysExercise* e = exercise(file);
        QCOMPARE(e->heading(), heading);
        QCOMPARE(e->lineCount(), lines);
        QCOMPARE(e->practiceCharCount(), chars);
        // A lesson without lines shows its message and ignores the keys.
        if (lines == 0) {
            Typist{*e}.type(QStringLiteral("ab"));
            QCOMPARE(e->typedCount(), 0);
            QCOMPARE(e->typedRowWrong(), QString());
        }
    }

    void missingLessonFileSaysSo() {
        QFile::remove(m_dir.filePath("1/4.txt"));
        KeysExercise e(ProgramFolder(m_dir.path()));
        e.restore(Sz0::parse(QStringLiteral("0004")));
        QCOMPARE(e.heading(), QStringLiteral("Lesson file 1/4.txt is missing"));
        QCOMPARE(e.lineCount(), 0);
    }

    // The shipped lessons: one per title, each teaching what its title names.
    void shippedLessonsTeachTheirTitles_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("mustHold");
        const char* keys[16] = {
            "asdfjkl;",    "frvjum", "asdfjkl;", "ei",         "ru",
            "gh",          "c,",     "yt",       "mv",         "bn",
            "ow",          "pqz",    "x.",       "0123456789", "ABCDEFGHIJKLMNOPRSTVWZ",
            ";:'\",.?!-()"};
        for (int i = 0; i < 16; ++i)
            QTest::addRow("%s", qPrintable(KeyLessons::catalogue()[i])) << i << keys[i];
    }
    void shippedLessonsTeachTheirTitles() {
        QFETCH(int, index);
        QFETCH(QString, mustHold);
        QFile file(QStringLiteral(DATA_DIR "/1/%1.txt").arg(index));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        const KeyLessons::Lesson lesson =
            KeyLessons::parseLesson(QString::fromLatin1(bytes), QStringLiteral("x"));
        QVERIFY(!lesson.heading.isEmpty());
        QVERIFY(lesson.lineCount() >= 10);
        // Every line of the file is typed: none is empty, and each fits the practice panel.
        QCOMPARE(bytes.count("\r\n"), lesson.lineCount() + 1);
        const QString all = lesson.practiceLines.join(u' ');
        for (const QString& line : lesson.practiceLines) {
            QVERIFY2(line.size() <= 30, qPrintable(line));
            QVERIFY2(line.trimmed() == line, qPrintable(line));
        }
        for (QChar c : mustHold)
            QVERIFY2(all.contains(c), qPrintable(QStringLiteral("%1 lacks %2").arg(index).arg(c)));
        // Lessons 3 to 13 use only the keys taught so far.
        static const QString order = QStringLiteral("asdfjkl; ei ru gh c, yt mv bn ow pqz x.");
        if (index >= 2 && index <= 12) {
            const QStringList groups = order.split(u' ');
            const QString learnt = groups.mid(0, index - 1).join(QString()) + u' ';
            for (QChar c : all)
                QVERIFY2(learnt.contains(c),
                         qPrintable(QStringLiteral("%1 uses %2 early").arg(index).arg(c)));
        }
    }

    void chooserTitlesAreTheSixteenLessons() {
        const QStringList& titles = KeyLessons::catalogue();
        QCOMPARE(titles.size(), 16);
        for (int i = 0; i < 16; ++i) {
            // Two blanks before the one-digit numbers keep the colons in a column.
            QCOMPARE(titles[i].indexOf(u':'), 9);
            QCOMPARE(titles[i].left(10).trimmed().split(u' ', Qt::SkipEmptyParts).last(),
                     QStringLiteral("%1:").arg(i + 1));
        }
        QCOMPARE(titles.first(), QStringLiteral("Lesson  1: KeyBoard Layout"));
        QCOMPARE(titles.last(), QStringLiteral("Lesson 16: punctuation"));
    }

    // --- the exercise ---

    void rightKeystrokesAdvanceAndMarkTheNextKey() {
        KeysExercise* e = exercise("Heading\r\nfj fj\r\nkd\r\n");
        SoundLog log(*e);
        QCOMPARE(e->marks(), (QList<KeyMark>{{70, KeyPicture::Tip}}));
        Typist t{*e};
        const int expected[] = {74, 32, 70, 74};
        for (int i = 0; i < 4; ++i) {
            t.key(e->currentLine()[i]);
            QCOMPARE(e->cursorPos(), i + 2);
            QCOMPARE(e->marks(), (QList<KeyMark>{{expected[i], KeyPicture::Tip}}));
        }
        QCOMPARE(e->typedRowRight(), QStringLiteral("fj f"));
        QCOMPARE(e->nextCellX(), 4);
        QCOMPARE(e->typedPart(), QStringLiteral("fj f"));
        QCOMPARE(e->latestChar(), QString());
        QCOMPARE(e->typedHistory(), QStringLiteral("f jf"));
        // The last character of the line brings the next line, with a clear typed row.
        EventLog events(*e);
        t.key(u'j');
        QCOMPARE(events.count(), 3); // press, text, release: one notification each
        QCOMPARE(e->lineNumber(), 2);
        QCOMPARE(e->currentLine(), QStringLiteral("kd"));
        QCOMPARE(e->cursorPos(), 1);
        QCOMPARE(e->typedRowRight(), QString());
        QCOMPARE(e->nextCellX(), 0);
        QCOMPARE(e->marks(), (QList<KeyMark>{{75, KeyPicture::Tip}}));
        QCOMPARE(log.take(), QList<PracticeSound>(5, PracticeSound::Keystroke));
        QCOMPARE(e->typedCount(), 5);
    }

    void keyDownMarksThePressedKey_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QList<KeyMark>>("marks");
        QTest::newRow("the key to press") << 70 << QList<KeyMark>{{70, KeyPicture::Press}};
        QTest::newRow("another key")
            << 68 << QList<KeyMark>{{70, KeyPicture::Tip}, {68, KeyPicture::WrongPress}};
        QTest::newRow("Enter, both parts") << 13
                                           << QList<KeyMark>{{70, KeyPicture::Tip},
                                                             {13, KeyPicture::WrongPress},
                                                             {888, KeyPicture::WrongPress}};
    }
    void keyDownMarksThePressedKey() {
        QFETCH(int, code);
        QFETCH(QList<KeyMark>, marks);
        KeysExercise* e = exercise("H\r\nf\r\n");
        e->keyDown(code);
        QCOMPARE(e->marks(), marks);
        // Without keyed tips nothing is marked.
        e->setKeyedTips(false);
        e->keyDown(code);
        QVERIFY(e->marks().isEmpty());
    }

    void wrongKeystrokes_data() {
        QTest::addColumn<QByteArray>("lesson");
        QTest::addColumn<QString>("before"); // typed right first
        QTest::addColumn<QString>("keys");   // "k:<code>" for a key without a character
        QTest::addColumn<int>("counted");
        QTest::addColumn<bool>("errorSound");
        QTest::addColumn<QString>("red");
        QTest::addColumn<QList<KeyMark>>("marks");
        QTest::newRow("wrong letter")
            << QByteArray("H\r\nfj\r\n") << ""
            << "d" << 1 << true << "d"
            << QList<KeyMark>{{70, KeyPicture::Tip}, {68, KeyPicture::WrongKey}};
        QTest::newRow("lower case for a capital")
            << QByteArray("H\r\nAb\r\n") << ""
            << "k:65a" << 1 << true << "a" << QList<KeyMark>{{65, KeyPicture::Tip}};
        QTest::newRow("wrong space")
            << QByteArray("H\r\nfj\r\n") << ""
            << " " << 0 << true << " "
            << QList<KeyMark>{{70, KeyPicture::Tip}, {32, KeyPicture::WrongKey}};
        QTest::newRow("wrong punctuation")
            << QByteArray("H\r\nfj\r\n") << ""
            << ";" << 0 << true << ";"
            << QList<KeyMark>{{70, KeyPicture::Tip}, {186, KeyPicture::WrongKey}};
        QTest::newRow("Shift alone after a capital")
            << QByteArray("H\r\nAb\r\n") << "A"
            << "k:16" << 0 << false << ""
            << QList<KeyMark>{{66, KeyPicture::Tip}, {16, KeyPicture::WrongKey}};
        QTest::newRow("Backspace after a wrong letter")
            << QByteArray("H\r\nfj\r\n") << ""
            << "dk:8" << 1 << true << ""
            << QList<KeyMark>{{70, KeyPicture::Tip}, {8, KeyPicture::WrongKey}};
    }
    void wrongKeystrokes() {
        QFETCH(QByteArray, lesson);
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(int, counted);
        QFETCH(bool, errorSound);
        QFETCH(QString, red);
        QFETCH(QList<KeyMark>, marks);
        KeysExercise* e = exercise(lesson);
        Typist t{*e};
        t.type(before);
        SoundLog log(*e);
        const int cursor = e->cursorPos();
        const QString right = e->typedRowRight();
        // "k:65a" presses key 65 typing "a"; "k:8" presses Backspace, which types nothing.
        static const QRegularExpression token(QStringLiteral("k:(\\d+)(\\S?)|(.)"));
        for (auto it = token.globalMatch(keys); it.hasNext();) {
            const auto m = it.next();
            if (m.hasCaptured(3)) {
                t.key(m.captured(3)[0]);
            } else {
                const int code = m.captured(1).toInt();
                t.down(code, m.captured(2).isEmpty() ? QChar() : m.captured(2)[0]);
                t.up(code);
            }
        }
        QCOMPARE(e->cursorPos(), cursor);
        QCOMPARE(e->typedRowRight(), right);
        QCOMPARE(e->typedRowWrong(), red);
        QCOMPARE(e->errorShown(), true);
        QCOMPARE(e->wrongCount(), counted);
        QCOMPARE(e->typedCount(), before.size() + counted);
        QCOMPARE(log.take().contains(PracticeSound::Error), errorSound);
        QCOMPARE(e->marks(), marks);
        // The right key then clears the cell and shows only the right character.
        const QChar next = e->expectedChar()[0];
        t.down(Typist::codeOf(next), next);
        t.up(Typist::codeOf(next));
        QCOMPARE(e->typedRowWrong(), QString());
        QCOMPARE(e->typedRowRight(), right + e->currentLine()[cursor - 1]);
        QCOMPARE(e->errorShown(), false);
        QCOMPARE(e->cellWrongCount(), 0);
    }

    void cellWrongCountCountsRedLettersOfTheCell() {
        KeysExercise* e = exercise("H\r\nfj\r\n");
        Typist t{*e};
        t.type(QStringLiteral("dd"));
        QCOMPARE(e->cellWrongCount(), 1); // each wrong key but Backspace restarts the count
        t.press(KeyCode::Enter);
        QCOMPARE(e->cellWrongCount(), 0);
        QCOMPARE(e->typedRowWrong(), QStringLiteral("d"));
        QCOMPARE(e->wrongCount(), 2);
    }

    // A fast typist presses the next key before letting go of the previous one. Each release
    // is judged against the character its own press typed.
    void overlappingKeysAreJudgedByTheirOwnPress_data() {
        QTest::addColumn<QByteArray>("lesson");
        QTest::addColumn<QString>("steps"); // +x press, -x release; S is Shift
        QTest::addColumn<QString>("right");
        QTest::addColumn<int>("wrong");
        QTest::newRow("two letters") << QByteArray("H\r\nas\r\n") << "+a+s-a-s"
                                     << "as" << 0;
        QTest::newRow("released in reverse") << QByteArray("H\r\nas\r\n") << "+a+s-s-a"
                                             << "a" << 1;
        QTest::newRow("Shift let go before the letter") << QByteArray("H\r\nAb\r\n") << "+S+A-S-A"
                                                        << "A" << 0;
        QTest::newRow("wrong then right, overlapping") << QByteArray("H\r\nas\r\n") << "+d+a-d-a"
                                                       << "a" << 1;
    }
    void overlappingKeysAreJudgedByTheirOwnPress() {
        QFETCH(QByteArray, lesson);
        QFETCH(QString, steps);
        QFETCH(QString, right);
        QFETCH(int, wrong);
        KeysExercise* e = exercise(lesson);
        Typist t{*e};
        for (qsizetype i = 0; i + 1 < steps.size(); i += 2) {
            const QChar c = steps[i + 1];
            const int code = c == u'S' ? KeyCode::Shift : c.toUpper().unicode();
            const quint32 scan = 100 + code;
            const QChar typed = c == u'S' ? QChar() : c;
            if (steps[i] == u'+')
                t.down(code, typed, scan);
            else
                t.up(code, scan);
        }
        QCOMPARE(e->typedRowRight(), right);
        QCOMPARE(e->wrongCount(), wrong);
    }

    void tabIsMarkedForAMomentAndNotCounted() {
        KeysExercise* e = exercise("H\r\nfj\r\n");
        SoundLog log(*e);
        EventLog events(*e);
        e->tabPressed();
        QVERIFY(events.changes.first().display & KeysExercise::TabMarkStarted);
        QCOMPARE(e->marks(), (QList<KeyMark>{{70, KeyPicture::Tip}, {527, KeyPicture::Press}}));
        QCOMPARE(log.take(), QList<PracticeSound>{PracticeSound::Error});
        e->tabMarkTick();
        QCOMPARE(e->marks(), (QList<KeyMark>{{70, KeyPicture::Tip}, {527, KeyPicture::Tip}}));
        QCOMPARE(e->typedCount(), 0);
        QCOMPARE(e->typedRowWrong(), QString());
        QCOMPARE(e->errorShown(), false);
    }

    void capsLockIndicatorFollowsThePlatform() {
        KeysExercise* e = exercise("H\r\nfj\r\n");
        bool capsOn = true;
        e->setCapsLockQuery([&] { return capsOn; });
        EventLog events(*e);
        Typist{*e}.press(KeyCode::CapsLock);
        QVERIFY(events.last().display & KeysExercise::CapsProbeStarted);
        QCOMPARE(e->capsIndicatorShown(), false); // not before the probe's tick
        e->capsProbeTick();
        QCOMPARE(e->capsIndicatorShown(), true);
        QCOMPARE(e->typedCount(), 0);
        QCOMPARE(e->errorShown(), false);

        capsOn = false;
        Typist{*e}.press(KeyCode::CapsLock);
        e->capsProbeTick();
        QCOMPARE(e->capsIndicatorShown(), false);
        // The Caps Lock key loses its press mark.
        QVERIFY(e->marks().contains(KeyMark{20, KeyPicture::Tip}));
    }

    void clockRunsFromALetterUntilPause() {
        KeysExercise* e = exercise("H\r\nfjfj\r\n");
        Typist t{*e};
        e->clockTick();
        QCOMPARE(e->timeText(), QStringLiteral("0:00:00"));
        t.press(KeyCode::Space); // not a letter or digit: the clock stays
        QVERIFY(!e->clockRunning());
        t.key(u'f');
        e->clockTick();
        e->clockTick();
        t.press(KeyCode::Pause);
        QVERIFY(!e->clockRunning());
        e->clockTick();
        QCOMPARE(e->timeText(), QStringLiteral("0:00:02"));
        QCOMPARE(e->cursorPos(), 2); // Pause is not judged
        t.key(u'j');
        e->clockTick();
        QCOMPARE(e->timeText(), QStringLiteral("0:00:03"));
    }

    void meters_data() {
        QTest::addColumn<int>("rightKeys");
        QTest::addColumn<int>("wrongLetters");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("accuracy");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<int>("progress");
        QTest::newRow("80 %") << 8 << 2 << 0 << "80 %"
                              << "0 WPM" << 25;
        QTest::newRow("85 %") << 6 << 1 << 0 << "85 %"
                              << "0 WPM" << 17;
        QTest::newRow("90 WPM") << 30 << 0 << 20 << "100 %"
                                << "90 WPM" << 75;
        QTest::newRow("lesson full") << 40 << 0 << 0 << "100 %"
                                     << "0 WPM" << 100;
        QTest::newRow("110 %") << 40 << 4 << 0 << "90 %"
                               << "0 WPM" << 110;
    }
    void meters() {
        QFETCH(int, rightKeys);
        QFETCH(int, wrongLetters);
        QFETCH(int, ticks);
        QFETCH(QString, accuracy);
        QFETCH(QString, speed);
        QFETCH(int, progress);
        // Forty characters on two lines.
        KeysExercise* e =
            exercise("H\r\n" + QByteArray(20, 'f') + "\r\n" + QByteArray(20, 'f') + "\r\n");
        Typist t{*e};
        for (int i = 0; i < wrongLetters; ++i)
            t.key(u'g');
        for (int i = 0; i < rightKeys; ++i) {
            t.key(u'f');
            if (i < ticks)
                e->clockTick();
        }
        QCOMPARE(e->accuracyText(), accuracy);
        QCOMPARE(e->speedText(), speed);
        QCOMPARE(e->progressPercent(), progress);
    }

    // Each judged keystroke names the key and the character that were due, and the time since
    // the keystroke before, with the character that one typed right. A key that judges
    // nothing (Backspace) is no judgement but times the next; Shift let go times nothing; a
    // pause of more than two seconds leaves no time.
    void judgedKeysNameTheKeyThatWasDueAndTheirTime() {
        KeysExercise* e = exercise("H\r\nfjAs\r\n");
        qint64 now = 1000;
        e->setKeyClock([&now] { return now; });
        Typist t{*e};
        EventLog events(*e);
        t.key(u'f');
        now += 150;
        t.key(u'k'); // where j is due
        now += 250;
        t.key(u'j');
        now += 100;
        t.press(KeyCode::Backspace);
        now += 2500;
        t.down(KeyCode::Shift);
        t.down(65, u'A');
        t.up(65);
        now += 60;
        t.up(KeyCode::Shift);
        now += 100;
        t.key(u's');
        QCOMPARE(events.judged(), (QList<KeyJudgement>{{70, true, u'f', {}, -1},
                                                       {74, false, u'j', u'f', 150},
                                                       {74, true, u'j', {}, 250},
                                                       {65, true, u'A', {}, -1},
                                                       {83, true, u's', u'A', 160}}));
        QCOMPARE(events.runsEnded(), 1);
    }

    void lessonEndOffersTheChooser() {
        KeysExercise* e = exercise("H\r\nfj\r\nk\r\n");
        writeBytes(m_dir.filePath("1/5.txt"), "Five\r\nrrr\r\n");
        Typist t{*e};
        EventLog log(*e);
        t.type(QStringLiteral("fjd"));
        QCOMPARE(log.runsEnded(), 0);
        t.key(u'k');
        QVERIFY(log.last().runEnded);
        QCOMPARE(log.last().message->title, KeysExercise::kPromptTitle);
        QVERIFY(log.last().message->asks);
        QVERIFY(e->marks().isEmpty());

        // Cancel starts the same lesson again with every counter at zero.
        e->clockTick();
        e->lessonEndAnswered(false);
        QVERIFY(log.last().countersReset);
        QCOMPARE(log.last().countersReset->keystrokes, 4);
        QCOMPARE(e->lineNumber(), 1);
        QCOMPARE(e->currentLine(), QStringLiteral("fj"));
        QCOMPARE(e->typedCount(), 0);
        QCOMPARE(e->wrongCount(), 0);
        QCOMPARE(e->timeText(), QStringLiteral("0:00:00"));
        QCOMPARE(e->accuracyText(), QStringLiteral("0 %"));
        QCOMPARE(e->progressPercent(), 0);
        QCOMPARE(e->typedHistory(), QString());
        QVERIFY(!e->clockRunning());

        // OK, then the chooser left without a choice: the lesson starts again.
        t.type(QStringLiteral("fjk"));
        e->lessonEndAnswered(true);
        QCOMPARE(e->exerciseFlag(), QStringLiteral("end"));
        e->chooserClosed(-1);
        QCOMPARE(e->exerciseFlag(), QStringLiteral("home"));
        QCOMPARE(e->cursorPos(), 1);
        QCOMPARE(e->typedCount(), 0);

        // The chooser left without a choice in mid-lesson changes nothing.
        t.type(QStringLiteral("f"));
        e->chooserClosed(-1);
        QCOMPARE(e->cursorPos(), 2);

        // A choice loads that lesson.
        e->chooserClosed(5);
        QCOMPARE(e->lessonIndex(), 5);
        QCOMPARE(e->heading(), QStringLiteral("Five"));
        QCOMPARE(e->state().format(), QStringLiteral("1105"));
    }

    void soundsFollowTheSwitch() {
        KeysExercise* e = exercise("H\r\nfj\r\n", QStringLiteral("1000"));
        SoundLog log(*e);
        Typist t{*e};
        t.type(QStringLiteral("fd"));
        e->tabPressed();
        QVERIFY(log.take().isEmpty());
        e->setKeystrokeSound(true);
        t.type(QStringLiteral("j"));
        QCOMPARE(log.take(), QList<PracticeSound>{PracticeSound::Keystroke});
    }

    void typedRowAdvancesByMeasuredWidths() {
        KeysExercise* e = exercise("H\r\nWi\r\n");
        e->setMeasure([](const QString& s) { return s == u"W" ? 20 : 7; });
        Typist t{*e};
        t.type(QStringLiteral("Wx"));
        QCOMPARE(e->nextCellX(), 20); // a wrong character does not move it
        t.type(QStringLiteral("i"));
        QCOMPARE(e->lineNumber(), 2);
    }
};

QTEST_GUILESS_MAIN(KeysTest)
#include "test_keys.moc"
