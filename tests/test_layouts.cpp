// The learner's keyboard layout: what XKB says each key types, the choice kept beside the
// state files, the lessons built for a layout, and the keyboards that show it.

#include "core/key_codes.h"
#include "core/keyboard_layout.h"
#include "core/keyboard_table.h"
#include "core/state_file.h"
#include "core/twips.h"
#include "fakes.h"
#include "history/history_store.h"
#include "history/key_weakness.h"
#include "history/practice_run.h"
#include "history/progress_recorder.h"
#include "keys/model/key_lesson_plan.h"
#include "keys/model/key_lessons.h"
#include "keys/model/keys_exercise.h"
#include "keys/model/weak_key_drill.h"
#include "keys/ui/drill_maker.h"
#include "keys/ui/keys_keyboard.h"
#include "keys/ui/keys_window.h"
#include "platform/keyboard_choice.h"
#include "platform/xkb_keyboard.h"
#include "progress/key_heat_map.h"
#include "progress/progress_window.h"
#include "words/model/keyboard_hint.h"
#include "words/model/word_exercise.h"
#include "words/ui/keyboard_panel.h"
#include "xkb_keymaps.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

// A layout compiled by XKB from xkeyboard-config, as the program reads it.
KeyboardLayout compiled(const QString& name) {
    const std::optional<KeyboardLayout> layout = XkbKeyboard::compile(name);
    return layout ? *layout : KeyboardLayout(QStringLiteral("missing"));
}

// The US layout with the Y and Z keys swapped, under another name: a layout of a test's own.
KeyboardLayout swappedYZ(const QString& name) {
    KeyboardLayout layout(name);
    for (int code : KeyboardLayout::characterKeys())
        layout.setKey(code, KeyboardLayout::us().key(code));
    layout.setKey(89, KeyboardLayout::us().key(90));
    layout.setKey(90, KeyboardLayout::us().key(89));
    return layout;
}

// A layout source whose system layout and compiled layouts the test sets, counting compiles.
struct FakeLayouts {
    QString system;
    QHash<QString, KeyboardLayout> known;
    QString stamp = QStringLiteral("one");
    int compiles = 0;

    KeyboardChoice::Source source() {
        return {[this] { return system; },
                [this](const QString& name) -> std::optional<KeyboardLayout> {
                    ++compiles;
                    if (!known.contains(name))
                        return std::nullopt;
                    return known.value(name);
                },
                [this](const QString& name) { return name + u' ' + stamp; },
                {},
                {}};
    }
};

// The characters the shipped title of a key lesson names ("Lesson  4: e i"), as the keys of a
// US keyboard that type them: the plan of the lessons, told by the titles.
QList<int> keysOfTitle(const QString& title) {
    QList<int> keys;
    for (QChar c : title.mid(title.indexOf(u':') + 1)) {
        if (c != u' ')
            keys << KeyboardTable::codeOf(c);
    }
    return keys;
}

QString plainText(const QString& path) {
    return KeyLessons::decode(readAll(path)).remove(u'\r');
}

void typeKey(QWidget* input, Qt::Key key, const QString& text, Qt::KeyboardModifiers mods = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, 0, 0, 0, text);
    QCoreApplication::sendEvent(input, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, 0, 0, 0, text);
    QCoreApplication::sendEvent(input, &release);
}

} // namespace

class LayoutsTest : public QObject, WindowFixture {
    Q_OBJECT

  private slots:
    void initTestCase() {
        if (!XkbKeyboard::available())
            QSKIP("built without libxkbcommon");
    }

    // The US layout is the keyboard table's own caps, so the US pictures stay as they were,
    // and XKB's "us" is that same layout.
    void usLayoutIsTheKeyboardTable() {
        for (const KeyboardTable::Key& key : KeyboardTable::keys()) {
            QCOMPARE(KeyboardLayout::us().label(key.code), QString::fromLatin1(key.label));
            QCOMPARE(KeyboardLayout::us().shiftedLabel(key.code), QString::fromLatin1(key.shifted));
        }
        // The figures of the history name keys as they always did on a US keyboard.
        for (char16_t c = 0x20; c < 0x7f; ++c) {
            QCOMPARE(KeyboardLayout::us().codeOf(QChar(c)), KeyboardTable::codeOf(QChar(c)));
            QCOMPARE(KeyboardLayout::us().keyCharacter(QChar(c)),
                     KeyboardTable::keyCharacter(QChar(c)));
        }
        QVERIFY(compiled(QStringLiteral("us")).isUs());
        QVERIFY(!compiled(QStringLiteral("us(dvorak)")).isUs());
    }

    void xkbTellsWhatEachKeyTypes_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("alone");
        QTest::addColumn<QString>("shifted");
        QTest::addColumn<QString>("cap");
        QTest::newRow("de Z where US has Y") << "de" << 89 << "z"
                                             << "Z"
                                             << "Z";
        QTest::newRow("de umlaut") << "de" << 186 << "ö"
                                   << "Ö"
                                   << "Ö";
        QTest::newRow("de dead circumflex") << "de" << 192 << ""
                                            << "°"
                                            << "^";
        QTest::newRow("fr digit with Shift") << "fr" << 50 << "é"
                                             << "2"
                                             << "é";
        QTest::newRow("fr A where US has Q") << "fr" << 81 << "a"
                                             << "A"
                                             << "A";
        QTest::newRow("dvorak") << "us(dvorak)" << 83 << "o"
                                << "O"
                                << "O";
        QTest::newRow("colemak") << "us(colemak)" << 186 << "o"
                                 << "O"
                                 << "O";
    }
    void xkbTellsWhatEachKeyTypes() {
        QFETCH(QString, layout);
        QFETCH(int, code);
        QFETCH(QString, alone);
        QFETCH(QString, shifted);
        QFETCH(QString, cap);
        const KeyboardLayout l = compiled(layout);
        QCOMPARE(l.name(), layout);
        QCOMPARE(QString(l.typed(code, false)).remove(QChar()), alone);
        QCOMPARE(QString(l.typed(code, true)).remove(QChar()), shifted);
        QCOMPARE(l.label(code), cap);
        if (!alone.isEmpty())
            QCOMPARE(l.codeOf(alone[0]), code);
    }

    void charactersOffTheKeysAreToldApart() {
        const KeyboardLayout de = compiled(QStringLiteral("de"));
        QCOMPARE(de.reach(u'@'), KeyboardLayout::Reach::AltGr);
        QCOMPARE(de.reach(u'<'), KeyboardLayout::Reach::OffTable); // the key beside left Shift
        QCOMPARE(de.reach(QChar(0x5b57)), KeyboardLayout::Reach::Nowhere);
        QCOMPARE(de.codeOf(u'@'), 0);
        QVERIFY(!XkbKeyboard::compile(QStringLiteral("no-such-layout")));
        QVERIFY(!XkbKeyboard::compile(QStringLiteral("../../../etc/passwd")));
    }

    // The copy kept in keyboard.txt reads back as the layout, and a damaged one reads as none.
    void keptLayoutReadsBack() {
        const KeyboardLayout fr = compiled(QStringLiteral("fr"));
        const std::optional<KeyboardLayout> back = KeyboardLayout::fromText(fr.toText());
        QVERIFY(back);
        QCOMPARE(back->name(), fr.name());
        QCOMPARE(back->signature(), fr.signature());
        QCOMPARE(back->reach(u'@'), KeyboardLayout::Reach::AltGr);
        QString damaged = fr.toText();
        damaged.replace(QStringLiteral("key 81 61 41"), QStringLiteral("key 81 zz 41"));
        QVERIFY(damaged != fr.toText());
        QVERIFY(!KeyboardLayout::fromText(damaged));
        QVERIFY(!KeyboardLayout::fromText(fr.toText().section(u'\n', 0, 20)));
    }

    // The system's layout is compiled once and kept; later starts read the kept copy until
    // the layout data change. A layout chosen in the settings is kept in layout.txt.
    void choiceIsKeptAndTheLayoutCompiledOnce() {
        FakeLayouts xkb;
        xkb.system = QStringLiteral("xx");
        xkb.known.insert(QStringLiteral("xx"), swappedYZ(QStringLiteral("xx")));
        xkb.known.insert(QStringLiteral("yy"), swappedYZ(QStringLiteral("yy")));
        const ProgramFolder folder(m_dir.path());
        {
            KeyboardChoice choice(folder, xkb.source());
            choice.load();
            QCOMPARE(choice.layout().codeOf(u'z'), 89);
            QCOMPARE(choice.automaticCaption(), QStringLiteral("Automatic: xx"));
        }
        QCOMPARE(xkb.compiles, 1);
        QVERIFY(!QFile::exists(file("layout.txt"))); // nothing chosen, nothing written
        {
            KeyboardChoice again(folder, xkb.source());
            again.load();
            QCOMPARE(again.layout().name(), QStringLiteral("xx"));
            QCOMPARE(xkb.compiles, 1);
            QVERIFY(again.choose(QStringLiteral("us")));
            QVERIFY(again.layout().isUs());
        }
        QCOMPARE(readAll(file("layout.txt")), QByteArray("us\r\n"));
        {
            KeyboardChoice chosen(folder, xkb.source());
            chosen.load();
            QVERIFY(chosen.layout().isUs());
            QCOMPARE(chosen.choice(), QStringLiteral("us"));
            QVERIFY(chosen.choose(QString())); // back to the system's
        }
        QCOMPARE(readAll(file("layout.txt")), QByteArray("auto\r\n"));
        xkb.stamp = QStringLiteral("two"); // xkeyboard-config was updated
        KeyboardChoice updated(folder, xkb.source());
        updated.load();
        QCOMPARE(updated.layout().name(), QStringLiteral("xx"));
        QCOMPARE(xkb.compiles, 2);
    }

    void unknownOrMissingLayoutIsUs_data() {
        QTest::addColumn<QString>("system");
        QTest::newRow("no X server") << QString();
        QTest::newRow("a layout XKB does not know") << QStringLiteral("zz");
        QTest::newRow("plain us") << QStringLiteral("us");
    }
    void unknownOrMissingLayoutIsUs() {
        QFETCH(QString, system);
        FakeLayouts xkb;
        xkb.system = system;
        QTemporaryDir dir;
        KeyboardChoice choice(ProgramFolder(dir.path()), xkb.source());
        choice.load();
        QVERIFY(choice.layout().isUs());
        QCOMPARE(choice.automaticCaption(), system == u"zz"
                                                ? QStringLiteral("Automatic: zz")
                                                : QStringLiteral("Automatic: English (US)"));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    // Every lesson built for a layout teaches the shipped plan's keys on that layout: lesson 1
    // starts with its home row, each key lesson types only what the lessons so far brought in,
    // every character has a key, and the titles name the layout's keys.
    void lessonsFollowThePlanOnTheLayout_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("homeRow");
        QTest::addColumn<QString>("thirdTitle");
        QTest::newRow("de") << "de"
                            << "asdf jklö"
                            << "Lesson  3: asdf jklö";
        QTest::newRow("fr") << "fr"
                            << "qsdf jklm"
                            << "Lesson  3: qsdf jklm";
        QTest::newRow("dvorak") << "us(dvorak)"
                                << "aoeu htns"
                                << "Lesson  3: aoeu htns";
        QTest::newRow("colemak") << "us(colemak)"
                                 << "arst neio"
                                 << "Lesson  3: arst neio";
    }
    void lessonsFollowThePlanOnTheLayout() {
        QFETCH(QString, layout);
        QFETCH(QString, homeRow);
        QFETCH(QString, thirdTitle);
        const KeyboardLayout l = compiled(layout);
        const QStringList words = KeyLessonPlan::readWords(ProgramFolder(DATA_DIR));
        QVERIFY(words.size() > 1000);
        const QStringList lessons = KeyLessonPlan::build(l, words);
        QCOMPARE(lessons.size(), 16);
        QCOMPARE(KeyLessonPlan::build(l, words), lessons); // the same every time
        const QStringList titles = KeyLessonPlan::titles(l);
        QCOMPARE(titles[2], thirdTitle);
        QCOMPARE(titles[15], KeyLessons::catalogue()[15]);

        QString learnt = QStringLiteral(" ");
        for (int i = 0; i < 16; ++i) {
            const KeyLessons::Lesson lesson = KeyLessons::parseLesson(lessons[i], QString());
            QVERIFY2(lesson.lineCount() >= 5, qPrintable(lessons[i]));
            if (i == 0)
                QCOMPARE(lesson.practiceLines[0], homeRow);
            if (i >= 2 && i <= 12) {
                for (int code : keysOfTitle(KeyLessons::catalogue()[i]))
                    learnt += l.typed(code, false);
            }
            for (const QString& line : lesson.practiceLines) {
                QVERIFY2(line.size() <= 30, qPrintable(line));
                for (QChar c : line) {
                    QVERIFY2(c == u' ' || l.codeOf(c) != 0, qPrintable(line));
                    if (i >= 2 && i <= 12)
                        QVERIFY2(learnt.contains(c),
                                 qPrintable(titles[i] + QStringLiteral(": ") + line));
                }
            }
        }
    }

    // The US layout keeps the shipped lessons; another's are built beside the state files once,
    // and again when its keys change or a lesson is lost; a link in the folder's place is not
    // followed.
    void lessonsAreBuiltOnceBesideTheStateFiles() {
        const ProgramFolder folder(m_dir.path(), m_dir.path() + QStringLiteral("/state"));
        QDir().mkpath(file("state"));
        QCOMPARE(KeyLessonPlan::prepare(folder, KeyboardLayout::us()),
                 KeyLessonPlan::Prepared::Shipped);
        QCOMPARE(QDir(file("state")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());

        QTemporaryDir outside;
        QVERIFY(QFile::link(outside.path(), file("state/1-xx")));
        const KeyboardLayout xx = swappedYZ(QStringLiteral("xx"));
        QCOMPARE(KeyLessonPlan::prepare(folder, xx), KeyLessonPlan::Prepared::Built);
        QVERIFY(QDir(outside.path()).isEmpty());
        QVERIFY(!QFileInfo(file("state/1-xx")).isSymLink());
        QVERIFY(plainText(file("state/1-xx/0.txt"))
                    .startsWith(QStringLiteral("Keyboard layout: the home row\nasdf jkl;\n")));
        QVERIFY(
            plainText(file("state/1-xx/7.txt")).startsWith(QStringLiteral("New keys: z and t")));
        QCOMPARE(KeyLessonPlan::prepare(folder, xx), KeyLessonPlan::Prepared::Kept);

        writeBytes(file("state/1-xx/9.txt"), QByteArray());
        QCOMPARE(KeyLessonPlan::prepare(folder, xx), KeyLessonPlan::Prepared::Built);
        KeyboardLayout changed = xx;
        changed.setKey(65, KeyboardLayout::us().key(81));
        QCOMPARE(KeyLessonPlan::prepare(folder, changed), KeyLessonPlan::Prepared::Built);
        QVERIFY(plainText(file("state/1-xx/0.txt")).contains(QStringLiteral("qsdf jkl;")));
    }

    // The character due is marked on the key that types it in the layout; one that needs
    // AltGr marks no key and says so, and typing it is right all the same.
    void marksLandOnTheLayoutsKeys() {
        const KeyboardLayout de = compiled(QStringLiteral("de"));
        QDir().mkpath(file("1"));
        writeBytes(file("1/0.txt"), "Heading\r\nz@\r\n");
        KeysExercise e{ProgramFolder(m_dir.path())};
        e.setLayout(de, QStringLiteral("\\1\\"));
        e.restore(Sz0::parse(QStringLiteral("1000")));
        QCOMPARE(e.expectedKey(), 89);
        QVERIFY(e.marks().contains(KeyMark{89, KeyPicture::Tip}));
        QCOMPARE(e.keyNote(), QString());

        e.keyDown(89, 0);
        e.textChanged(QStringLiteral("z"));
        e.keyUp(89, 0);
        QCOMPARE(e.wrongCount(), 0);
        QCOMPARE(e.expectedKey(), 0);
        QVERIFY(e.keyNote().contains(QStringLiteral("AltGr")));
        for (const KeyMark& mark : e.marks())
            QVERIFY(mark.picture != KeyPicture::Tip || !KeyboardTable::keysKeyboardLabel(mark.key));
        e.keyDown(81, 0);
        e.textChanged(QStringLiteral("@z"));
        e.keyUp(81, 0);
        QCOMPARE(e.typedCount(), 2);
        QCOMPARE(e.wrongCount(), 0);
    }

    // The Keys window in a layout: its caps, its chooser's titles, its lessons, the key note on
    // the status line; AltGr let go judges nothing and sounds no error.
    void keysWindowShowsTheLayout() {
        FakeLayouts xkb;
        xkb.system = QStringLiteral("de");
        xkb.known.insert(QStringLiteral("de"), compiled(QStringLiteral("de")));
        copyTree(QStringLiteral(DATA_DIR "/2"), file("2"));
        KeyboardChoice choice(ProgramFolder(m_dir.path()), xkb.source());
        choice.load();
        QCOMPARE(KeyLessonPlan::prepare(ProgramFolder(m_dir.path()), choice.layout()),
                 KeyLessonPlan::Prepared::Built);
        writeBytes(file("1-de/0.txt"), "\xEF\xBB\xBFHeading\r\n@\xC3\xB6\r\n"); // "@ö" in UTF-8
        writeBytes(file("sz0.txt"), "1100\r\n");
        AppContext c = context();
        c.keyboard = &choice;
        KeysWindow window(c);
        window.show();
        window.completePictures();

        QCOMPARE(window.lessonTitles()[2], QStringLiteral("Lesson  3: asdf jklö"));
        QCOMPARE(window.layoutChoice()->itemText(0), QStringLiteral("Automatic: German"));
        const KeysKeyboard* keyboard = window.keyboard();
        QCOMPARE(KeysPictures::capOf(89, keyboard->keyboardLayout()).label, QStringLiteral("Z"));
        auto* note = window.findChild<QLabel*>(QStringLiteral("KeyNote"));
        QVERIFY(note->isVisible());
        QVERIFY(window.rect().contains(note->geometry()));

        auto* input = window.findChild<QLineEdit*>(QStringLiteral("Text1"));
        QKeyEvent altGrDown(QEvent::KeyPress, Qt::Key_AltGr, Qt::NoModifier);
        QCoreApplication::sendEvent(input, &altGrDown);
        typeKey(input, Qt::Key_At, QStringLiteral("@"));
        QKeyEvent altGrUp(QEvent::KeyRelease, Qt::Key_AltGr, Qt::NoModifier);
        QCoreApplication::sendEvent(input, &altGrUp);
        QCOMPARE(window.exercise().cursorPos(), 2);
        QCOMPARE(window.exercise().expectedKey(), 186);
        QVERIFY(note->isHidden());
        const QString played = m_sound.played.join(u' ');
        QVERIFY(played.contains(QStringLiteral("type.wav")));
        QVERIFY(!played.contains(QStringLiteral("error.wav")));
    }

    // Another layout named in the Keys settings is kept in layout.txt, and the window teaches
    // it at once: its keyboard, its lessons built beside the state files, its pictures.
    void layoutChosenInTheSettingsIsTaughtAtOnce() {
        QTemporaryDir dir;
        FakeLayouts xkb;
        xkb.system = QStringLiteral("de");
        xkb.known.insert(QStringLiteral("de"), compiled(QStringLiteral("de")));
        xkb.known.insert(QStringLiteral("fr"), compiled(QStringLiteral("fr")));
        copyTree(QStringLiteral(DATA_DIR "/2"), dir.filePath(QStringLiteral("2")));
        writeBytes(dir.filePath(QStringLiteral("sz0.txt")), "1000\r\n");
        KeyboardChoice choice(ProgramFolder(dir.path()), xkb.source());
        choice.load();
        AppContext c = context();
        c.folder = ProgramFolder(dir.path());
        c.keyboard = &choice;
        KeysWindow window(c);
        QCOMPARE(window.exercise().currentLine(), QStringLiteral("asdf jklö"));

        QComboBox* layouts = window.layoutChoice();
        const int fr = layouts->findData(QStringLiteral("fr"));
        QVERIFY(fr > 0);
        window.chooseLayout(fr);
        QCOMPARE(readAll(dir.filePath(QStringLiteral("layout.txt"))), QByteArray("fr\r\n"));
        QCOMPARE(window.exercise().currentLine(), QStringLiteral("qsdf jklm"));
        QCOMPARE(window.exercise().expectedKey(), 65); // q, on the key where US has A
        QCOMPARE(window.keyboard()->keyboardLayout().name(), QStringLiteral("fr"));
        QCOMPARE(window.lessonTitles()[2], QStringLiteral("Lesson  3: qsdf jklm"));
        QCOMPARE(layouts->currentIndex(), layouts->findData(QStringLiteral("fr")));
        window.completePictures();
        for (const char* name : {"test2-fr.bmp", "test5-fr.bmp", "1-fr/15.txt"})
            QVERIFY2(QFileInfo(dir.filePath(QString::fromLatin1(name))).size() > 0, name);
    }

    // In pixels: a keyboard drawn in a layout differs from the US one on the keys that type
    // something else, and only there.
    void keyboardPictureChangesOnlyTheLayoutsCaps() {
        const QSize size(695, 223);
        const QImage us = KeysPictures::draw(KeysPictures::Role::Base, size, 1.0);
        const QImage xx = KeysPictures::draw(KeysPictures::Role::Base, size, 1.0, swappedYZ("xx"));
        const QImage usOfXkb =
            KeysPictures::draw(KeysPictures::Role::Base, size, 1.0, compiled("us"));
        QCOMPARE(usOfXkb, us);
        auto part = [&size](const QImage& image, int code) {
            return image.copy(KeysPictures::labelRect(code, size).toAlignedRect());
        };
        QCOMPARE(part(xx, 65), part(us, 65));
        QVERIFY(part(xx, 89) != part(us, 89));
        QVERIFY(part(xx, 90) != part(us, 90));
    }

    // The Word practice hint frames the key that types the next letter in the layout, a letter
    // square or a key around them; Progress and the results name the layout's caps.
    void otherKeyboardsShowTheLayout() {
        const KeyboardLayout fr = compiled(QStringLiteral("fr"));
        const int m = KeyboardHint::nextKey(true, QString(), QStringLiteral("me"), fr);
        QCOMPARE(KeyboardHint::codeOfHint(m), 186);
        QCOMPARE(KeyboardHint::codeOfHint(
                     KeyboardHint::nextKey(true, QStringLiteral("m"), QStringLiteral("me"), fr)),
                 69);
        QCOMPARE(KeyboardHint::nextKey(true, QString(), QStringLiteral("me")),
                 KeyboardHint::indexOf(u'm')); // US as it was

        KeyboardPanel panel;
        panel.loadScaling(twips(780)); // as the window scales it
        panel.setKeyboardLayout(fr);
        QCOMPARE(panel.square(KeyboardHint::indexOf(u'q'))->text(), QStringLiteral("A"));
        panel.showHint(m);
        QVERIFY(panel.frame(QStringLiteral("Shape1(%1)").arg(m)).shown);
        QVERIFY(panel.rect().contains(panel.whiteFrame(m)));
        for (int i = 0; i < 26; ++i)
            QVERIFY(!panel.redFrame(m).intersects(panel.redFrame(i)));

        WordExercise words;
        words.setKeyboardLayout(fr);
        QCOMPARE(words.hintKey(), -1);

        for (const KeyHeatMap::Key& key : KeyHeatMap::keyboardKeys(fr)) {
            if (key.code == 186)
                QCOMPARE(key.label, QStringLiteral("M"));
        }
        RunResult result;
        result.missed = {{186, 5, 2}};
        QVERIFY(result.text(fr).contains(QStringLiteral("Missed most: M (2)")));
        QVERIFY(result.text().contains(QStringLiteral("Missed most: ; (2)")));
    }

    // Figures name a key by what the learner's layout types on it alone: ö on a German
    // keyboard, and & with the 6 key it is typed on there. A key typed with Shift alone is
    // named by that.
    void keysAreNamedAsTheLayoutTypesThem_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("key");
        QTest::newRow("us capital") << "us"
                                    << "A"
                                    << "a";
        QTest::newRow("us question mark") << "us"
                                          << "?"
                                          << "/";
        QTest::newRow("us space") << "us"
                                  << " "
                                  << " ";
        QTest::newRow("de umlaut") << "de"
                                   << "Ö"
                                   << "ö";
        QTest::newRow("de ampersand") << "de"
                                      << "&"
                                      << "6";
        QTest::newRow("de question mark") << "de"
                                          << "?"
                                          << "ß";
        QTest::newRow("de degree, dead alone") << "de"
                                               << "°"
                                               << "°";
        QTest::newRow("de AltGr") << "de"
                                  << "@"
                                  << "";
        QTest::newRow("fr digit") << "fr"
                                  << "1"
                                  << "&";
        QTest::newRow("dvorak") << "us(dvorak)"
                                << "S"
                                << "s";
    }
    void keysAreNamedAsTheLayoutTypesThem() {
        QFETCH(QString, layout);
        QFETCH(QString, typed);
        QFETCH(QString, key);
        const KeyboardLayout l = layout == u"us" ? KeyboardLayout::us() : compiled(layout);
        QCOMPARE(QString(l.keyCharacter(typed[0])).remove(QChar()), key);
    }

    // On a German keyboard ö is counted, timed and missed like any key: the results, the
    // weakest keys and pairs of Progress and the drill name it, and the drill's words for it
    // are real words that have it, far more often than the word lists do.
    void germanKeysAreCountedAndDrilled() {
        const KeyboardLayout de = compiled(QStringLiteral("de"));
        QTemporaryDir dir;
        HistoryStore store(dir.filePath(HistoryStore::kFileName));
        ProgressRecorder recorder(&store, PracticeMode::Keys);
        recorder.setKeyboardLayout([&de]() -> const KeyboardLayout& { return de; });
        // "schön hören lösen", every ö missed once before it is typed, each key 150 ms apart.
        for (int round = 0; round < 8; ++round) {
            QChar before;
            for (QChar c : QStringLiteral("schön hören lösen & ")) {
                if (c == u'ö')
                    recorder.keyJudged(KeyJudgement{de.codeOf(c), false, c, before, 150});
                recorder.keyJudged(KeyJudgement{de.codeOf(c), true, c, before, 150});
                before = c;
            }
        }
        const RunResult result = recorder.runEnded("Lesson  1", {30, 200, 24, 400, 88});
        QVERIFY2(result.text(de).contains(QStringLiteral("Missed most: Ö (24)")),
                 qPrintable(result.text(de)));
        recorder.windowUnloaded("Lesson  1", {30, 200, 24, 400, 88});
        const KeyWeakness::Report report = KeyWeakness::fromHistory(store);
        QVERIFY(report.key(QStringLiteral("ö")));
        QCOMPARE(report.key(QStringLiteral("ö"))->stats.wrong, 24);
        QVERIFY(report.key(QStringLiteral("6"))); // & on its German key
        QVERIFY(!report.key(QStringLiteral("7")));
        QCOMPARE(report.weakest.value(0).gram().front(), u'ö');

        ProgressWindow progress(&store, PracticeMode::Keys, nullptr, de);
        const auto* weakest = progress.findChild<QLabel*>(QStringLiteral("WeakestGrams"));
        QVERIFY2(weakest->text().contains(QStringLiteral("ö")), qPrintable(weakest->text()));
        const auto* keys = progress.findChild<WeakestKeysView*>();
        QVERIFY2(keys->accessibleName().startsWith(QStringLiteral("Weakest keys: Ö")),
                 qPrintable(keys->accessibleName()));

        const ProgramFolder data(QStringLiteral(DATA_DIR));
        const DrillMaker::Made made = DrillMaker::make(&store, data, 5, de);
        QVERIFY2(made.drill.heading.startsWith(QStringLiteral("Drill: ö")),
                 qPrintable(made.drill.heading));
        const QString drilled = made.drill.lines.join(QString());
        const QStringList lists = WeakKeyDrill::vocabulary(data).wordsFor(de);
        const QString listed = lists.join(QString());
        auto rate = [](const QString& text) { return double(text.count(u'ö')) / text.size(); };
        QVERIFY2(rate(drilled) >= 3 * rate(listed), qPrintable(made.drill.lines.join(u'/')));
        for (const QString& word : made.drill.lines.join(u' ').split(u' ')) {
            if (word.contains(u'ö'))
                QVERIFY2(lists.contains(word), qPrintable(word));
            for (QChar c : word)
                QVERIFY2(de.codeOf(c) != 0, qPrintable(word));
        }
        // Every German word is typed on the German keyboard's keys, alone or with Shift.
        const QString german =
            KeyLessons::decode(readAll(QStringLiteral(DATA_DIR "/2/words-de.txt")));
        const QStringList germanLines = StateFile::splitLines(german);
        QVERIFY(germanLines.size() > 100);
        for (const QString& word : germanLines.mid(1)) {
            for (QChar c : word)
                QVERIFY2(word.isEmpty() || de.codeOf(c) != 0, qPrintable(word));
        }
        // On a US keyboard the German words are no drill's.
        QVERIFY(!WeakKeyDrill::vocabulary(data)
                     .wordsFor(KeyboardLayout::us())
                     .contains(QStringLiteral("schön")));
    }

    // The desktop's layout changes while the program runs: the choice follows the system's
    // layout when it is the one used, and only tells of it when another is chosen.
    void choiceFollowsTheSystem() {
        FakeLayouts xkb;
        xkb.system = QStringLiteral("xx");
        xkb.known.insert(QStringLiteral("xx"), swappedYZ(QStringLiteral("xx")));
        xkb.known.insert(QStringLiteral("yy"), compiled(QStringLiteral("de")));
        QTemporaryDir dir;
        KeyboardChoice choice(ProgramFolder(dir.path()), xkb.source());
        choice.load();
        QSignalSpy changed(&choice, &KeyboardChoice::layoutChanged);
        QSignalSpy system(&choice, &KeyboardChoice::systemLayoutChanged);
        choice.systemChanged(); // nothing new
        QCOMPARE(changed.size(), 0);
        xkb.system = QStringLiteral("yy");
        choice.systemChanged();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(choice.layout().codeOf(u'ö'), 186);
        xkb.system = QStringLiteral("xx"); // a group switch back: compiled before, not again
        choice.systemChanged();
        QCOMPARE(changed.size(), 2);
        QCOMPARE(choice.layout().name(), QStringLiteral("xx"));
        QCOMPARE(xkb.compiles, 2);
        QCOMPARE(system.size(), 2);

        QVERIFY(choice.choose(QStringLiteral("us")));
        QCOMPARE(changed.size(), 3);
        xkb.system = QStringLiteral("yy");
        choice.systemChanged();
        QCOMPARE(changed.size(), 3); // the chosen layout stays
        QCOMPARE(system.size(), 3);
        QVERIFY(choice.layout().isUs());
        QCOMPARE(choice.automaticCaption(), QStringLiteral("Automatic: yy"));
    }

    // On Wayland the compositor's keymap is the system's: compiled group by group as it
    // comes, followed when another comes, kept for the next start (which uses it until the
    // compositor sends its own), and the group in use told by the keys typed.
    void waylandKeymapIsFollowed() {
        const QByteArray de = keymapText("de", "");
        const QByteArray dvorak = keymapText("us", "dvorak");
        const QByteArray deUs = keymapText("de,us", ",");
        const QList<KeyboardLayout> groups = XkbKeyboard::compileKeymap(deUs);
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups[0].name(), QStringLiteral("de"));
        QCOMPARE(groups[1].name(), QStringLiteral("us"));
        QCOMPARE(groups[0].signature(), compiled(QStringLiteral("de")).signature());
        QVERIFY(groups[1].isUs());
        QVERIFY(XkbKeyboard::compileKeymap("xkb_keymap { nonsense").isEmpty());

        QTemporaryDir dir;
        {
            KeyboardChoice choice(ProgramFolder(dir.path()));
            choice.load(de);
            QCOMPARE(choice.layout().name(), QStringLiteral("de"));
            QCOMPARE(choice.systemCaption(), QStringLiteral("German"));
            QSignalSpy changed(&choice, &KeyboardChoice::layoutChanged);
            choice.keymapChanged(dvorak);
            QCOMPARE(changed.size(), 1);
            QCOMPARE(choice.layout().name(), QStringLiteral("us(dvorak)"));
            QCOMPARE(choice.automaticCaption(), QStringLiteral("Automatic: English (Dvorak)"));
        }
        {
            KeyboardChoice later(ProgramFolder(dir.path()));
            later.load(QByteArray()); // no keymap yet: the last start's
            QCOMPARE(later.layout().name(), QStringLiteral("us(dvorak)"));
            QSignalSpy changed(&later, &KeyboardChoice::layoutChanged);
            later.keymapChanged(deUs);
            QCOMPARE(later.layout().name(), QStringLiteral("de"));
            // The key right of L gives ";" now: the second group is in use; then ö again.
            const quint32 ac10 = 47, ad01 = 24; // XKB's key codes right of L, and of Q
            QCOMPARE(groups[0].codeOfScanCode(ac10), 186);
            QVERIFY(!later.keyTyped(ac10, QStringLiteral("ö")));
            QVERIFY(!later.keyTyped(ad01, QStringLiteral("@"))); // AltGr's tells nothing
            QVERIFY(later.keyTyped(ac10, QStringLiteral(";")));
            QVERIFY(later.layout().isUs());
            QVERIFY(later.keyTyped(ac10, QStringLiteral("Ö")));
            QCOMPARE(later.layout().name(), QStringLiteral("de"));
            QCOMPARE(changed.size(), 3);
        }
    }

    // The names people know the layouts by, from xkeyboard-config's registry.
    void layoutsAreNamedAsPeopleKnowThem() {
        QCOMPARE(XkbKeyboard::description(QStringLiteral("de")), QStringLiteral("German"));
        QCOMPARE(XkbKeyboard::description(QStringLiteral("us(dvorak)")),
                 QStringLiteral("English (Dvorak)"));
        QCOMPARE(XkbKeyboard::description(QStringLiteral("us(basic)")),
                 QStringLiteral("English (US)"));
        QCOMPARE(XkbKeyboard::description(QStringLiteral("no-such")), QString());
        QCOMPARE(XkbKeyboard::nameOfDescription(QStringLiteral("French")), QStringLiteral("fr"));
    }

    // The Keys window follows a change of the desktop's keyboard while it is open: its
    // keyboard, the lessons built, the lesson started again at its first line, and a note
    // until the next key. The keys typed before the change stay in the history.
    void keysWindowFollowsAChange() {
        FakeLayouts xkb;
        xkb.system = QStringLiteral("us");
        xkb.known.insert(QStringLiteral("de"), compiled(QStringLiteral("de")));
        QTemporaryDir dir;
        auto in = [&dir](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
        copyTree(QStringLiteral(DATA_DIR "/1"), in("1"));
        copyTree(QStringLiteral(DATA_DIR "/2"), in("2"));
        writeBytes(in("sz0.txt"), "1100\r\n");
        HistoryStore store(in("history.db"));
        KeyboardChoice choice(ProgramFolder(dir.path()), xkb.source());
        choice.load();
        AppContext c = context();
        c.folder = ProgramFolder(dir.path());
        c.keyboard = &choice;
        c.history = &store;
        {
            KeysWindow window(c);
            window.show();
            QCOMPARE(window.exercise().currentLine(), QStringLiteral("asdf jkl;"));
            auto* input = window.findChild<QLineEdit*>(QStringLiteral("Text1"));
            for (auto [key, text] : {std::pair{Qt::Key_A, "a"}, {Qt::Key_S, "s"}, {Qt::Key_D, "d"}})
                typeKey(input, key, QString::fromLatin1(text));
            QCOMPARE(window.exercise().typedCount(), 3);

            xkb.system = QStringLiteral("de");
            choice.systemChanged();
            QCOMPARE(KeysPictures::capOf(186, window.keyboard()->keyboardLayout()).label,
                     QStringLiteral("Ö"));
            QCOMPARE(window.exercise().currentLine(), QStringLiteral("asdf jklö"));
            QCOMPARE(window.exercise().typedCount(), 0);
            QCOMPARE(window.exercise().expectedKey(), 65);
            QVERIFY(QFileInfo(in("1-de/0.txt")).size() > 0);
            auto* note = window.findChild<QLabel*>(QStringLiteral("KeyNote"));
            QVERIFY(note->isVisible());
            QCOMPARE(note->text(),
                     QStringLiteral("The keyboard is German now: the lesson starts again."));
            QCOMPARE(window.layoutChoice()->itemText(0), QStringLiteral("Automatic: German"));
            typeKey(input, Qt::Key_A, QStringLiteral("a"));
            QVERIFY(note->isHidden());
            window.setClosingMark(PracticeWindow::kFend);
            window.close();
        }
        qint64 counted = 0;
        for (const KeyTally& key : store.keyTallies())
            counted += key.expected;
        QCOMPARE(counted, 4);
    }
};

QTEST_MAIN(LayoutsTest)
#include "test_layouts.moc"
