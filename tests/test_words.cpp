// Word practice: lessons and their files, the exercise, the keyboard hint and the window.

#include "fakes.h"
#include "model_events.h"
#include "history/history_store.h"
#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "look/look.h"
#include "core/state_file.h"
#include "core/timer_table.h"
#include "core/twips.h"
#include "words/model/keyboard_hint.h"
#include "words/ui/keyboard_panel.h"
#include "words/ui/word_chooser.h"
#include "words/model/word_exercise.h"
#include "words/model/word_lessons.h"
#include "words/ui/word_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

using namespace WordLessons;

namespace {

// Types into the exercise the way the window feeds it: key down, then the key press or the
// change of the input box.
struct Typist {
    WordExercise& e;
    void key(QChar c) {
        const int code = c == u' ' ? KeyCode::Space : c.toUpper().unicode();
        e.keyDown(code);
        if (code == KeyCode::Space && e.keyPress(code))
            return;
        e.textChanged(e.typedText() + c);
    }
    void type(const QString& text) {
        for (QChar c : text)
            key(c);
    }
    void backspace() {
        e.keyDown(KeyCode::Backspace);
        e.textChanged(e.typedText().chopped(1));
    }
    void enter() {
        e.keyDown(KeyCode::Enter);
        e.keyPress(KeyCode::Enter);
    }
};

QStringList fixtureList() {
    return splitList(QStringLiteral("Fixture words\r\nhappy\r\ngood morning\r\nApple\r\n"));
}

} // namespace

class WordsTest : public QObject, WindowFixture {
    Q_OBJECT

    void freshFolder() {
        QDir(m_dir.path()).removeRecursively();
        copyTree(QStringLiteral(DATA_DIR), m_dir.path());
        QFile::copy(QStringLiteral(FIXTURES_DIR "/Lesson 3.txt"), file("2/Lesson 3.txt"));
        QFile::remove(file("2/Lesson 3.txt"));
        QFile::copy(QStringLiteral(FIXTURES_DIR "/Lesson 3.txt"), file("2/Lesson 3.txt"));
        m_sound.played.clear();
        m_platform.told.clear();
        m_navigator.ended = 0;
    }

    // Opens the window as the program does and steps its closing mark and loader.
    std::unique_ptr<WordWindow> openWindow() {
        auto window = std::make_unique<WordWindow>(context());
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        window->timers().fire("Timer3t");
        window->timers().fire("Timer1");
        return window;
    }

  private slots:
    void lessonNameIsCutFromTheCaption_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::newRow("first") << 0 << "Lesson 1";
        QTest::newRow("ninth") << 8 << "Lesson 9";
        QTest::newRow("tenth") << 9 << "Lesson 10";
        QTest::newRow("last") << 11 << "Lesson 12";
    }
    void lessonNameIsCutFromTheCaption() {
        QFETCH(int, row);
        QFETCH(QString, name);
        QCOMPARE(lessonNameFromCaption(catalogue().at(row)), name);
    }

    void shippedListsHoldWhatTheirCaptionsSay() {
        QSet<QString> schoolWords;
        for (const QString& caption : catalogue()) {
            const QString name = lessonNameFromCaption(caption);
            bool found = false;
            const QStringList lines = splitList(
                StateFile::readText(QStringLiteral(DATA_DIR "/2/") + name + ".txt", &found));
            QVERIFY2(found, qPrintable(name));
            QCOMPARE(TextBoxGetLine(lines, 0), caption);
            const int total = QRegularExpression("Total (\\d+)").match(caption).captured(1).toInt();
            int items = 0;
            while (!TextBoxGetLine(lines, items + 1).isEmpty())
                ++items;
            QCOMPARE(items, total);
            const int number = name.mid(7).toInt();
            for (int i = 1; i <= items && number >= 5 && number <= 11; ++i) {
                const QString word = TextBoxGetLine(lines, i);
                QVERIFY2(!schoolWords.contains(word), qPrintable(word + " is in two lists"));
                schoolWords.insert(word);
            }
        }
    }

    void listEndsCleanly() {
        const QStringList noFinalBreak = splitList("Title\r\nfirst\r\nlast");
        QCOMPARE(TextBoxGetLine(noFinalBreak, 2), QStringLiteral("last"));
        QCOMPARE(TextBoxGetLine(noFinalBreak, 3), QString());
        const QStringList blankInside = splitList("Title\r\none\r\n\r\nthree\r\n");
        QCOMPARE(TextBoxGetLine(blankInside, 2), QString());
        QCOMPARE(TextBoxGetLine(blankInside, 99), QString());
    }

    void sz1LineRoundTrips_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("tips");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<QString>("written");
        QTest::newRow("example") << "1000037Lesson 5" << true << false << 37 << "Lesson 5"
                                 << "1000037Lesson 5";
        QTest::newRow("word 12") << "0100012Lesson 12" << false << true << 12 << "Lesson 12"
                                 << "0100012Lesson 12";
        QTest::newRow("empty") << "" << false << false << 1 << "Lesson 1"
                               << "0000001Lesson 1";
        QTest::newRow("short") << "11000" << false << false << 1 << "Lesson 1"
                               << "0000001Lesson 1";
        QTest::newRow("garbage") << "xyzzy plugh" << false << false << 1 << "Lesson 1"
                                 << "0000001Lesson 1";
        QTest::newRow("foreign path") << "1100001..\\..\\etc" << false << false << 1 << "Lesson 1"
                                      << "0000001Lesson 1";
        QTest::newRow("index 0") << "1100000Lesson 2" << false << false << 1 << "Lesson 1"
                                 << "0000001Lesson 1";
    }
    void sz1LineRoundTrips() {
        QFETCH(QString, field);
        QFETCH(bool, tips);
        QFETCH(bool, sound);
        QFETCH(int, index);
        QFETCH(QString, lesson);
        QFETCH(QString, written);
        const Sz1 state = Sz1::parse(field);
        QCOMPARE(state.keyedTips, tips);
        QCOMPARE(state.keystrokeSound, sound);
        QCOMPARE(state.wordIndex, index);
        QCOMPARE(state.lessonName, lesson);
        QCOMPARE(state.format(), written);
    }

    void judgingColoursAndMarks_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("keys"); // '<' is Backspace, '|' is Enter
        QTest::addColumn<QString>("correctOverlay");
        QTest::addColumn<QString>("wrongOverlay");
        QTest::addColumn<QString>("correctMarks");
        QTest::addColumn<QString>("wrongMarks");
        QTest::addColumn<int>("correct");
        QTest::addColumn<int>("wrong");
        QTest::newRow("hax") << 1 << "hax"
                             << "ha "
                             << "  p"
                             << ".. "
                             << "  _" << 2 << 1;
        QTest::newRow("backspace then p") << 1 << "hax<p"
                                          << "hap"
                                          << "   "
                                          << "..."
                                          << "   " << 3 << 1;
        QTest::newRow("phrase blank") << 2 << "good "
                                      << "good "
                                      << "     "
                                      << "....."
                                      << "     " << 5 << 0;
        QTest::newRow("space on short word") << 1 << "happ "
                                             << "happ "
                                             << "    y"
                                             << ".... "
                                             << "    _" << 4 << 1;
        QTest::newRow("beyond the item") << 1 << "happyzz"
                                         << "happy"
                                         << "     "
                                         << "....."
                                         << "     " << 5 << 0;
        QTest::newRow("enter empties") << 1 << "ha|"
                                       << ""
                                       << ""
                                       << ""
                                       << "" << 2 << 0;
        QTest::newRow("case matters") << 3 << "a"
                                      << " "
                                      << "A"
                                      << " "
                                      << "_" << 0 << 1;
    }
    void judgingColoursAndMarks() {
        QFETCH(int, item);
        QFETCH(QString, keys);
        WordExercise e;
        e.loadList({"Lesson 1", item, fixtureList()});
        Typist t{e};
        for (QChar c : keys) {
            if (c == u'<')
                t.backspace();
            else if (c == u'|')
                t.enter();
            else
                t.key(c);
        }
        QTEST(e.correctOverlay(), "correctOverlay");
        QTEST(e.wrongOverlay(), "wrongOverlay");
        QTEST(e.correctMarks(), "correctMarks");
        QTEST(e.wrongMarks(), "wrongMarks");
        QTEST(e.correctCount(), "correct");
        QTEST(e.wrongCount(), "wrong");
        QCOMPARE(e.typedCount(), e.correctCount() + e.wrongCount());
    }

    void spaceConfirmsOrReportsAnError() {
        WordExercise e;
        e.loadList({"Lesson 1", 1, fixtureList()});
        Typist t{e};
        t.type("hapyy ");
        QCOMPARE(e.wordIndex(), 1);
        QCOMPARE(e.typedText(), QString());
        QVERIFY(e.messageVisible());
        QCOMPARE(e.messageText(), WordExercise::kInputErrorMessage);
        e.messageTimeout();
        QVERIFY(!e.messageVisible());

        t.type("happy");
        QVERIFY(e.readyHintVisible());
        t.key(u' ');
        QCOMPARE(e.wordIndex(), 2);
        QCOMPARE(e.targetWord(), QStringLiteral("good morning"));
        QCOMPARE(e.typedText(), QString());
        QVERIFY(!e.readyHintVisible());
        QVERIFY(e.correctMarks().isEmpty());
    }

    // Every input finishes its whole change before the window hears of it, once.
    void eachInputNotifiesOnce() {
        WordExercise e;
        e.loadList({"Lesson 1", 1, fixtureList()});
        Typist t{e};
        t.type("happy");
        EventLog log(e);
        t.key(u' '); // confirms: clears the box, moves on and asks for a click
        QCOMPARE(log.count(), 1);
        for (WordExercise::Change part :
             {WordExercise::TypedText, WordExercise::Target, WordExercise::Display})
            QVERIFY(log.last().display & part);
        QCOMPARE(log.last().sounds, QList{PracticeSound::Keystroke});
        t.type("go");
        log.clear();
        t.enter();
        e.keyDown(KeyCode::Left);
        e.keyDown(KeyCode::Left); // at the first item: the message
        e.clickInput();           // nothing to clear: nothing changes
        QCOMPARE(log.count(), 3);
        QVERIFY(log.changes.at(2).display & WordExercise::MessageShown);
    }

    // Each counted character is judged against the key of the character that was due, timed
    // from the keystroke before; taking a character back with Backspace judges nothing, and
    // the next character is timed from it. Space between words is a keystroke too.
    void judgedKeysNameTheCharacterThatWasDueAndTheirTime() {
        WordExercise e;
        e.loadList({"Lesson 1", 1, fixtureList()}); // "happy", "good morning"
        qint64 now = 0;
        e.setKeyClock([&now] { return now; });
        Typist t{e};
        const EventLog events(e);
        for (const char* step : {"h", "x", "\b", "a", "p", "p", "y", " ", "g"}) {
            now += 100;
            if (*step == '\b')
                t.backspace();
            else
                t.type(QString::fromLatin1(step));
        }
        QCOMPARE(events.judged(), (QList<KeyJudgement>{{72, true, u'h', {}, -1},
                                                       {65, false, u'a', u'h', 100},
                                                       {65, true, u'a', {}, 100},
                                                       {80, true, u'p', u'a', 100},
                                                       {80, true, u'p', u'p', 100},
                                                       {89, true, u'y', u'p', 100},
                                                       {71, true, u'g', {}, 100}}));
    }

    void arrowsStopAtTheEndsOfTheList() {
        WordExercise e;
        e.loadList({"Lesson 1", 1, fixtureList()});
        e.keyDown(KeyCode::Left);
        QCOMPARE(e.messageText(), WordExercise::kFirstRecordMessage);
        QVERIFY(!e.previousAllowed());
        e.keyDown(KeyCode::Left); // switched off: nothing happens
        QCOMPARE(e.wordIndex(), 1);
        e.keyDown(KeyCode::Right);
        QCOMPARE(e.wordIndex(), 2);
        QVERIFY(e.previousAllowed());
        e.stepNext();
        e.stepNext();
        QCOMPARE(e.wordIndex(), 3);
        QVERIFY(!e.nextAllowed());
        QVERIFY(e.atListEnd());
        QCOMPARE(e.messageText(), WordExercise::kLastRecordMessage);
    }

    void lastItemEndsTheProjectAndStartsAgain() {
        WordExercise e;
        e.loadList({"Lesson 1", 3, fixtureList()});
        const EventLog completed(e);
        Typist t{e};
        t.type("Apple ");
        QCOMPARE(completed.runsEnded(), 1);
        QCOMPARE(completed.last().message->text, WordExercise::kCompletionText);
        QCOMPARE(e.wordIndex(), 1);
        QCOMPARE(e.targetWord(), QStringLiteral("happy"));
        QVERIFY(e.nextAllowed());
        QVERIFY(!e.previousAllowed());
        QVERIFY(!e.atListEnd());
        // A wrong first word afterwards shows only the input error.
        t.type("hxppy ");
        QCOMPARE(completed.runsEnded(), 1);
        QCOMPARE(e.messageText(), WordExercise::kInputErrorMessage);
    }

    void storedIndexBeyondTheListFinishesAtTheNextSpace() {
        WordExercise e;
        e.loadList({"Lesson 1", 50, fixtureList()});
        QCOMPARE(e.targetWord(), QString());
        const EventLog completed(e);
        e.keyPress(KeyCode::Space);
        QCOMPARE(completed.runsEnded(), 1);
        QCOMPARE(e.wordIndex(), 1);
    }

    void metersAfterOneCountedSecond() {
        WordExercise e;
        e.loadList({"Lesson 1", 1, fixtureList()});
        e.clockTick();
        QCOMPARE(e.activeSeconds(), 0); // the clock waits for typing
        Typist{e}.type("hax");
        QCOMPARE(e.speedText(), QStringLiteral("0 WMP"));
        e.clockTick();
        QCOMPARE(e.speedText(), QStringLiteral("180 WMP"));
        QCOMPARE(e.accuracyText(), QStringLiteral("66 %"));
        for (int i = 0; i < 6; ++i)
            e.idleTick();
        QVERIFY(!e.clockRunning());
        e.clockTick();
        QCOMPARE(e.activeSeconds(), 1);
    }

    void hintFramesTheNextLetter_data() {
        QTest::addColumn<bool>("tips");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::newRow("first letter") << true << ""
                                      << "Apple" << KeyboardHint::indexOf(u'A');
        QTest::newRow("after A") << true << "A"
                                 << "Apple" << 24;
        QTest::newRow("all typed") << true << "Apple"
                                   << "Apple" << -1;
        QTest::newRow("too long") << true << "Applex"
                                  << "Apple" << -1;
        QTest::newRow("blank next") << true << "good"
                                    << "good morning" << -1;
        QTest::newRow("digit next") << true << ""
                                    << "7up" << -1;
        QTest::newRow("tips off") << false << ""
                                  << "Apple" << -1;
        QTest::newRow("z") << true << ""
                           << "zoo" << 25;
    }
    void hintFramesTheNextLetter() {
        QFETCH(bool, tips);
        QFETCH(QString, typed);
        QFETCH(QString, target);
        QFETCH(int, key);
        QCOMPARE(KeyboardHint::nextKey(tips, typed, target), key);
    }

    void everyLetterSquareSitsOnItsKey() {
        KeyboardPanel panel;
        panel.loadScaling(twips(780));
        const QImage picture = panel.picture()->grab().toImage();
        QList<QRect> seen;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            const int index = KeyboardHint::indexOf(QChar(letter));
            QVERIFY(index >= 0 && index < 26);
            QLabel* square = panel.square(index);
            QCOMPARE(square->text(), QString(QChar(letter)));
            // Under the square the picture shows the well of a letter key.
            QCOMPARE(picture.pixel(square->geometry().center()),
                     Look::keyWell(panel.picture()->palette()).rgb());
            QVERIFY(panel.rect().contains(square->geometry()));
            for (const QRect& other : seen)
                QVERIFY(!other.intersects(square->geometry()));
            seen << square->geometry();
            // The hint frames surround their square.
            const auto red = panel.frame(QStringLiteral("Shape1(%1)").arg(index));
            const auto white = panel.frame(QStringLiteral("Shape2(%1)").arg(index));
            QVERIFY(red.geometry.contains(square->geometry()));
            QVERIFY(white.geometry.contains(red.geometry));
            QVERIFY(!red.shown && !white.shown);
        }
    }

    // --- the window ---

    void windowComesBackToItsLessonAndWord() {
        freshFolder();
        StateFile::writeLine(file("sz1.txt"), "1000037Lesson 5");
        {
            auto window = openWindow();
            const QStringList list = splitList(StateFile::readText(file("2/Lesson 5.txt")));
            QCOMPARE(window->windowTitle(), TextBoxGetLine(list, 0));
            QCOMPARE(window->findChild<QLabel*>("Label6ts")->text(), TextBoxGetLine(list, 37));
            QCOMPARE(window->findChild<QLabel*>("Label777")->text(), QStringLiteral("37"));
            QVERIFY(window->findChild<QCheckBox*>("Check1")->isChecked());
            QVERIFY(!window->findChild<QCheckBox*>("Check1qq")->isChecked());
            QVERIFY(window->isActiveWindow() || window->isVisible());
            QCOMPARE(readAll(file("sz1-yj.txt")), QByteArray("Lesson 5\r\n"));
            window->close();
            QCOMPARE(m_navigator.ended, 1);
        }
        QCOMPARE(readAll(file("sz1.txt")), QByteArray("1000037Lesson 5\r\n"));
    }

    void chooserOffersTheTwelveLessons() {
        WordChooser chooser(&m_platform, "https://games.example/");
        QCOMPARE(chooser.list()->count(), 12);
        QCOMPARE(chooser.list()->currentRow(), 0);
        QCOMPARE(chooser.windowTitle(), QStringLiteral(" Select lesson"));
        chooser.list()->setCurrentRow(9);
        chooser.findChild<QPushButton*>("Command1")->click();
        QCOMPARE(chooser.chosenCaption(), catalogue().at(9));

        WordChooser cancelled(&m_platform, "https://games.example/");
        cancelled.findChild<QPushButton*>("Command2")->click();
        QCOMPARE(cancelled.chosenCaption(), QString());

        m_platform.opened.clear();
        WordChooser link(&m_platform, "https://games.example/");
        link.findChild<QPushButton*>("Command3")->click();
        QCOMPARE(m_platform.opened, QStringList{"https://games.example/"});
        QCOMPARE(link.result(), int(QDialog::Rejected));
    }

    void choosingALessonStartsItAtTheFirstWord() {
        freshFolder();
        StateFile::writeLine(file("sz1.txt"), "1100037Lesson 5");
        auto window = openWindow();
        window->applyChoice(catalogue().at(9));
        QVERIFY(window->timers().isActive("Timer1"));
        window->timers().fire("Timer1");
        QCOMPARE(window->exercise().lessonName(), QStringLiteral("Lesson 10"));
        const QStringList list = splitList(StateFile::readText(file("2/Lesson 10.txt")));
        QCOMPARE(window->windowTitle(), catalogue().at(9));
        QCOMPARE(window->exercise().wordIndex(), 1);
        QCOMPARE(window->findChild<QLabel*>("Label6ts")->text(), TextBoxGetLine(list, 1));
        QCOMPARE(readAll(file("sz1-yj.txt")), QByteArray("Lesson 10\r\n"));
    }

    void badStateFallsBackAndIsWrittenWhole_data() {
        QTest::addColumn<QString>("remove");
        QTest::addColumn<QByteArray>("sz1");
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("sz1 missing")
            << "sz1.txt" << QByteArray() << "Lesson 1" << 1 << QByteArray("0000001Lesson 1\r\n");
        QTest::newRow("sz1 empty")
            << "" << QByteArray("") << "Lesson 1" << 1 << QByteArray("0000001Lesson 1\r\n");
        QTest::newRow("sz1 short")
            << "" << QByteArray("110\r\n") << "Lesson 1" << 1 << QByteArray("0000001Lesson 1\r\n");
        QTest::newRow("sz1 garbage") << "" << QByteArray("\xff\xfe\x00zz,\"\r\n", 9) << "Lesson 1"
                                     << 1 << QByteArray("0000001Lesson 1\r\n");
        QTest::newRow("sz1-yj missing") << "sz1-yj.txt" << QByteArray("1100002Lesson 2\r\n")
                                        << "Lesson 2" << 2 << QByteArray("1100002Lesson 2\r\n");
        QTest::newRow("list missing") << "2/Lesson 7.txt" << QByteArray("1100009Lesson 7\r\n")
                                      << "Lesson 1" << 1 << QByteArray("1100001Lesson 1\r\n");
        QTest::newRow("index beyond end") << "" << QByteArray("1100901Lesson 3\r\n") << "Lesson 3"
                                          << 1 << QByteArray("1100001Lesson 3\r\n");
    }
    void badStateFallsBackAndIsWrittenWhole() {
        QFETCH(QString, remove);
        QFETCH(QByteArray, sz1);
        QFETCH(QString, lesson);
        QFETCH(int, index);
        QFETCH(QByteArray, written);
        freshFolder();
        if (!sz1.isNull())
            writeBytes(file("sz1.txt"), sz1);
        if (!remove.isEmpty())
            QFile::remove(file(remove));
        auto window = openWindow();
        QCOMPARE(window->exercise().lessonName(), lesson);
        QCOMPARE(window->exercise().wordIndex(), index);
        QVERIFY(!window->exercise().targetWord().isEmpty());
        window->close();
        QCOMPARE(readAll(file("sz1.txt")), written);
        QCOMPARE(readAll(file("sz1-yj.txt")), lesson.toLatin1() + "\r\n");
    }

    // A word list that is no file, or far too long, neither hangs nor floods the window: the
    // first is missing, the second is cut with a note in the message line.
    void hostileListsAreMissingOrCut_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<bool>("note");
        QTest::newRow("FIFO") << "fifo"
                              << "Lesson 1" << false;
        QTest::newRow("link to /dev/zero") << "zero"
                                           << "Lesson 1" << false;
        QTest::newRow("too many words") << "many"
                                        << "Lesson 3" << true;
        QTest::newRow("one huge word") << "huge"
                                       << "Lesson 3" << true;
        QTest::newRow("over the size cap") << "big"
                                           << "Lesson 3" << true;
    }
    void hostileListsAreMissingOrCut() {
        QFETCH(QString, kind);
        QFETCH(QString, lesson);
        QFETCH(bool, note);
        freshFolder();
        const QString list = file("2/Lesson 3.txt");
        QFile::remove(list);
        if (kind == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(list).constData(), 0600), 0);
        else if (kind == "zero")
            QFile::link("/dev/zero", list);
        else if (kind == "many")
            writeBytes(list, "Title\r\n" + QByteArray("word\r\n").repeated(kMaxListLines + 5));
        else if (kind == "huge")
            writeBytes(list, "Title\r\n" + QByteArray(300 * 1000, 'w') + "\r\nnext\r\n");
        else if (kind == "big")
            writeBytes(list, "Title\r\n" + QByteArray("w\n").repeated(StateFile::kListCap));
        StateFile::writeLine(file("sz1.txt"), "0000001Lesson 3");
        auto window = openWindow();
        QCOMPARE(window->exercise().lessonName(), lesson);
        QVERIFY(!window->exercise().targetWord().isEmpty());
        QVERIFY(window->exercise().targetWord().size() <= kMaxItemLength);
        QVERIFY(window->exercise().listLines().size() <= kMaxListLines);
        const QString cut = StateFile::cutNotice("Lesson 3.txt");
        QCOMPARE(window->exercise().messageVisible() && window->exercise().messageText() == cut,
                 note);
        QVERIFY(window->findChild<QLineEdit*>("Text1")->width() <= twips(4200));
    }

    void gbkWordListDecodes() {
        freshFolder();
        writeBytes(file("2/Lesson 2.txt"), "GBK \xC4\xE3\xBA\xC3\r\ncaf\xA8\xA6\r\n");
        StateFile::writeLine(file("sz1.txt"), "0000001Lesson 2");
        auto window = openWindow();
        QCOMPARE(window->windowTitle(), QString::fromUtf8("GBK \u4f60\u597d"));
        QCOMPARE(window->exercise().targetWord(), QString::fromUtf8("caf\u00e9"));
    }

    void typingInTheWindowAdvancesAndSoundsFollowTheSwitch() {
        freshFolder();
        StateFile::writeLine(file("sz1.txt"), "1100001Lesson 3");
        auto window = openWindow();
        auto* input = window->findChild<QLineEdit*>("Text1");
        QCOMPARE(window->focusWidget(), input);
        TimerTable& timers = window->timers();
        int clicks = 0;
        for (char c : {'h', 'a', 'p'}) {
            QTest::keyClick(input, c);
            ++clicks;
            QVERIFY(timers.isActive("Timer4")); // the click follows 11 ms later
            timers.fire("Timer4");
            QCOMPARE(m_sound.played.size(), clicks);
        }
        QCOMPARE(window->findChild<QLabel*>("Label4")->text(), QStringLiteral("hap"));
        QCOMPARE(m_sound.played.last(), file("type.wav"));
        // The keyboard frames the next letter.
        auto* panel = window->findChild<KeyboardPanel*>("Picture5");
        QCOMPARE(panel->shownHint(), 24);
        QVERIFY(panel->frame("Shape1(24)").shown && panel->frame("Shape2(24)").shown);
        QVERIFY(!panel->frame("Shape1(0)").shown);

        QTest::keyClick(input, 'x');
        timers.fire("Timer5");
        QCOMPARE(m_sound.played.last(), file("error.wav"));
        // Clearing the switch before the 11 ms timer fires silences that sound.
        m_sound.played.clear();
        QTest::keyClick(input, Qt::Key_Backspace);
        QTest::keyClick(input, 'p');
        window->findChild<QCheckBox*>("Check1qq")->click();
        QVERIFY(!window->exercise().keystrokeSound());
        timers.fire("Timer4");
        QVERIFY(m_sound.played.isEmpty());

        QTest::keyClicks(input, "y ");
        QCOMPARE(window->exercise().wordIndex(), 2);
        QCOMPARE(input->text(), QString());
        QCOMPARE(window->findChild<QLabel*>("Label777")->text(), QStringLiteral("2"));
        // "Keyed tips" off hides the frame at once.
        window->findChild<QCheckBox*>("Check1")->click();
        QCOMPARE(panel->shownHint(), -1);
    }

    void layoutFollowsTheItem() {
        freshFolder();
        StateFile::writeLine(file("sz1.txt"), "1100002Lesson 3");
        auto window = openWindow();
        auto* input = window->findChild<QLineEdit*>("Text1");
        auto* word = window->findChild<QLabel*>("Label6ts");
        for (const QString& target : {window->exercise().targetWord(), QStringLiteral("Apple")}) {
            if (target != window->exercise().targetWord())
                window->exercise().stepNext();
            QCOMPARE(window->exercise().targetWord(), target);
            // The box is centred and holds the whole item.
            QCOMPARE(input->x(), (window->width() - input->width()) / 2);
            QVERIFY(input->width() >= QFontMetrics(input->font()).horizontalAdvance(target));
            // The overlays are the word's twins: same place, same cells.
            for (const char* overlay : {"Label4", "Label6"}) {
                auto* label = window->findChild<QLabel*>(overlay);
                QCOMPARE(label->geometry(), word->geometry());
                QCOMPARE(label->font(), word->font());
                QCOMPARE(label->contentsMargins(), word->contentsMargins());
            }
            QVERIFY(word->contentsRect().width() >=
                    QFontMetrics(word->font()).horizontalAdvance(target));
            // The arrows sit either side of the word.
            QVERIFY(window->findChild<QWidget*>("Image4")->geometry().right() < word->x());
            QVERIFY(window->findChild<QWidget*>("Image5")->x() > word->geometry().right());
        }
        // The keyboard was scaled once at load: 1.25, 45 pt letters.
        auto* panel = window->findChild<KeyboardPanel*>("Picture5");
        QCOMPARE(panel->scale(), 1.25);
        QCOMPARE(window->findChild<QLabel*>("Label2(0)")->font().pointSizeF(), 45.0);
    }

    // The word's characters fill equal cells, so each overlay character lies over its own.
    void overlayColumnsLineUpWithTheWord() {
        freshFolder();
        auto window = openWindow();
        const QFontMetricsF metrics(window->findChild<QLabel*>("Label6ts")->font());
        const qreal cell = metrics.horizontalAdvance(u'M');
        for (QChar c : QStringLiteral("il.W _%"))
            QCOMPARE(metrics.horizontalAdvance(c), cell);
    }

    // Each mark sits over the character it judges: the marks step by the input's character
    // width from the input's first character.
    void marksSitOverTheTypedCharacters() {
        freshFolder();
        StateFile::writeLine(file("sz1.txt"), "1100002Lesson 3");
        auto window = openWindow();
        auto* input = window->findChild<QLineEdit*>("Text1");
        QTest::keyClicks(input, "gxod");
        auto* marks = window->findChild<QLabel*>("Label5dc");
        QCOMPARE(marks->text(), QStringLiteral(" _  "));
        const qreal cell = QFontMetricsF(marks->font()).horizontalAdvance(u'M');
        for (int i = 0; i < 4; ++i) {
            input->setCursorPosition(i);
            const int left =
                input
                    ->mapTo(window.get(),
                            input->inputMethodQuery(Qt::ImCursorRectangle).toRect().center())
                    .x();
            input->setCursorPosition(i + 1);
            const int right =
                input
                    ->mapTo(window.get(),
                            input->inputMethodQuery(Qt::ImCursorRectangle).toRect().center())
                    .x();
            QVERIFY2(qAbs((right - left) - cell) <= 1, qPrintable(QString::number(i)));
            QVERIFY2(qAbs(marks->x() + i * cell - left) <= 2, qPrintable(QString::number(i)));
        }
    }

    // The window tells the history each judged key and, when it unloads after ten active
    // seconds, the run.
    void typingIsRecordedInTheHistory() {
        freshFolder();
        StateFile::writeLine(file("sz1.txt"), "1100002Lesson 3");
        HistoryStore history(file("history.db"));
        AppContext c = context();
        c.history = &history;
        auto window = std::make_unique<WordWindow>(c);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        window->timers().fire("Timer3t");
        window->timers().fire("Timer1");
        QTest::keyClicks(window->findChild<QLineEdit*>("Text1"), "gxod m");
        for (int i = 0; i < 11; ++i)
            window->timers().fire("Timer6");
        window->close();

        const QList<PracticeRun> runs = history.runs();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].mode, PracticeMode::Words);
        QCOMPARE(runs[0].item, QStringLiteral("Fixture words"));
        QCOMPARE(runs[0].activeSeconds, 11);
        QCOMPARE(runs[0].keystrokes, 6);
        QCOMPARE(runs[0].wrongKeystrokes, 1);
        QStringList keys;
        for (const KeyTally& key : history.keyTallies())
            keys << QStringLiteral("%1:%2/%3").arg(key.code).arg(key.wrong).arg(key.expected);
        QCOMPARE(keys, (QStringList{"32:0/1", "68:0/1", "71:0/1", "77:0/1", "79:1/2"}));
    }

    // Every item of every shipped list is typed whole in view: the box holds it without
    // scrolling, each mark sits over its character, and the word with its arrows and band
    // stays inside the window.
    void everyShippedItemFitsWithItsMarksOverItsCharacters() {
        freshFolder();
        copyTree(QStringLiteral(DATA_DIR "/2"), file("2")); // the shipped Lesson 3 too
        auto window = openWindow();
        auto* input = window->findChild<QLineEdit*>("Text1");
        auto* marks = window->findChild<QLabel*>("Label4dc");
        auto* word = window->findChild<QLabel*>("Label6ts");
        const QRect inside = window->rect();
        int items = 0;
        for (int lesson = 1; lesson <= 12; ++lesson) {
            const QString name = QStringLiteral("Lesson %1").arg(lesson);
            window->exercise().loadList(readList(context().folder, name, 1));
            window->exercise().restart();
            for (;;) {
                const QString target = window->exercise().targetWord();
                const QString where = name + QStringLiteral(": ") + target;
                input->setText(target);
                const qreal cell = QFontMetricsF(marks->font()).horizontalAdvance(u'M');
                const auto caretX = [&](int position) {
                    input->setCursorPosition(position);
                    return input->mapTo(window.get(),
                                        input->inputMethodQuery(Qt::ImCursorRectangle)
                                            .toRect()
                                            .center())
                        .x();
                };
                const int first = caretX(0);
                const int end = caretX(int(target.size()));
                QVERIFY2(first >= input->x() && end < input->geometry().right(),
                         qPrintable(where));
                for (int i = 0; i < target.size(); i += 3) {
                    const qreal centre = (caretX(i) + caretX(i + 1)) / 2.0;
                    QVERIFY2(qAbs(marks->x() + (i + 0.5) * cell - centre) <= 2,
                             qPrintable(where + QStringLiteral(" at ") + QString::number(i)));
                }
                QVERIFY2(word->contentsRect().width() >=
                             QFontMetrics(word->font()).horizontalAdvance(target),
                         qPrintable(where));
                const QRect band = window->findChild<QWidget*>("Picture2")->property("band").toRect();
                QVERIFY2(inside.contains(band) && band.contains(word->geometry()),
                         qPrintable(where));
                ++items;
                if (!window->exercise().nextAllowed())
                    break;
                window->exercise().stepNext();
                if (!window->exercise().nextAllowed())
                    break; // stepped past the last item
            }
        }
        QVERIFY2(items > 6400, qPrintable(QString::number(items)));
    }

    // The keyboard picture ends inside its panel with whole keys: the apostrophe has its key,
    // no key touches the edge, and no letter spills out of its square.
    void hintKeyboardShowsWholeKeysAndWholeLetters() {
        KeyboardPanel panel;
        panel.loadScaling(twips(780));
        panel.show();
        const QRect body = panel.picture()->rect();
        bool apostrophe = false;
        QList<KeyboardTable::Place> places;
        for (const auto& place : KeyboardTable::wordHintSurround())
            places << place;
        for (const auto& place : KeyboardTable::wordHintSquares())
            places << place;
        for (const auto& place : places) {
            apostrophe |= place.code == 222;
            QVERIFY2(body.adjusted(2, 2, -2, -2).contains(twipsRect(place.twips)),
                     qPrintable(QString::number(place.code)));
        }
        QVERIFY(apostrophe);
        // The edge columns show the keyboard's body only, the same on the left and the right.
        const QImage picture = panel.grab().toImage();
        for (int y = 0; y < picture.height(); ++y)
            QCOMPARE(picture.pixel(picture.width() - 2, y), picture.pixel(1, y));
        // Each letter lies inside its square: the square's outer ring holds no white ink.
        for (int i = 0; i < 26; ++i) {
            QLabel* square = panel.square(i);
            QCOMPARE(square->font().pointSizeF(), 45.0);
            const QImage image = square->grab().toImage();
            const int w = image.width(), h = image.height();
            for (int k = 0; k < 2 * (w + h); ++k) {
                const QPoint ring = k < w ? QPoint(k, 0)
                                    : k < 2 * w ? QPoint(k - w, h - 1)
                                    : k < 2 * w + h ? QPoint(0, k - 2 * w)
                                                    : QPoint(w - 1, k - 2 * w - h);
                QVERIFY2(QColor(image.pixel(ring)).lightness() < 245, qPrintable(square->text()));
            }
        }
    }

    // Shortcuts work while the input box keeps the focus, are named in their tooltips and
    // never count as keystrokes.
    void shortcutsActWithoutTypingAndGiveTheFocusBack_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("effect");
        QTest::newRow("keyed tips") << int(Qt::Key_K) << int(Qt::AltModifier) << "Check1" << "tips";
        QTest::newRow("sound") << int(Qt::Key_O) << int(Qt::AltModifier) << "Check1qq" << "sound";
        QTest::newRow("settings") << int(Qt::Key_S) << int(Qt::AltModifier) << "Command2" << "panel";
        QTest::newRow("themes") << int(Qt::Key_T) << int(Qt::AltModifier) << "Command4" << "menu";
        QTest::newRow("keys practice") << int(Qt::Key_1) << int(Qt::ControlModifier) << "Label22a(0)" << "0";
        QTest::newRow("game") << int(Qt::Key_4) << int(Qt::ControlModifier) << "Label22a(3)" << "3";
        QTest::newRow("about") << int(Qt::Key_F1) << int(Qt::NoModifier) << "Label22a(4)" << "4";
        QTest::newRow("progress") << int(Qt::Key_5) << int(Qt::ControlModifier) << "Label22a(5)" << "5";
    }
    void shortcutsActWithoutTypingAndGiveTheFocusBack() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, control);
        QFETCH(QString, effect);
        freshFolder();
        StateFile::writeLine(file("sz1.txt"), "0000002Lesson 3");
        m_navigator.entries.clear();
        m_navigator.menus = 0;
        auto window = openWindow();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* input = window->findChild<QLineEdit*>("Text1");
        QTest::keyClick(input, 'g');
        const WordExercise& e = window->exercise();
        QCOMPARE(e.typedCount(), 1);

        QTest::keyClick(input, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (effect == u"tips")
            QVERIFY(e.keyedTips());
        else if (effect == u"sound")
            QVERIFY(e.keystrokeSound());
        else if (effect == u"panel")
            QVERIFY(window->findChild<QWidget*>("Picture7")->isVisible());
        else if (effect == u"menu")
            QCOMPARE(m_navigator.menus, 1);
        else
            QCOMPARE(m_navigator.entries, QList<int>{effect.toInt()});
        const QString keys =
            QKeySequence(key | modifiers).toString(QKeySequence::NativeText);
        QVERIFY2(window->findChild<QWidget*>(control)->toolTip().contains(keys),
                 qPrintable(window->findChild<QWidget*>(control)->toolTip()));

        QCOMPARE(e.typedText(), QStringLiteral("g"));
        QCOMPARE(e.typedCount(), 1);
        QCOMPARE(QApplication::focusWidget(), input);
        QTest::keyClick(input, 'o');
        QCOMPARE(e.typedText(), QStringLiteral("go"));
        QCOMPARE(e.correctCount(), 2);
    }
};

QTEST_MAIN(WordsTest)
#include "test_words.moc"
