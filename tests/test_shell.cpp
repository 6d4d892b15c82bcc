// The shell's plain pieces: state files, number parse, GBK, sizes, fonts, clocks and meters.

#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "core/maker.h"
#include "core/number_parse.h"
#include "core/practice_clock.h"
#include "core/program_folder.h"
#include "core/state_file.h"
#include "core/text_codec.h"
#include "core/twips.h"
#include "core/wave_file.h"
#include "fakes.h"
#include "frame/input_box.h"
#include "look/fonts.h"
#include "platform/caps_lock_tracker.h"
#include "platform/sound_player.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray le(quint32 value, int bytes) {
    QByteArray out(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        out[i] = char(value >> (8 * i));
    return out;
}
QByteArray chunk(const char* id, const QByteArray& body) {
    QByteArray out = QByteArray(id, 4) + le(quint32(body.size()), 4) + body;
    return body.size() % 2 ? out + '\0' : out;
}
// Every entry of a folder, hidden ones too, in byte order.
QStringList entries(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                               QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

QByteArray riff(const QByteArray& chunks) {
    return "RIFF" + le(quint32(4 + chunks.size()), 4) + "WAVE" + chunks;
}
QByteArray pcmFormat(int tag, int channels, int rate, int bits) {
    const int align = channels * bits / 8;
    return chunk("fmt ", le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * align, 4) +
                             le(align, 2) + le(bits, 2));
}
// 24-bit stereo at 48 kHz, its real format tag in the sub-format.
QByteArray extensibleFormat(int subFormat) {
    QByteArray body = pcmFormat(0xFFFE, 2, 48000, 24).mid(8);
    body += le(22, 2) + le(24, 2) + le(3, 4) + le(subFormat, 2) +
            QByteArray::fromHex("000000001000800000aa00389b71");
    return chunk("fmt ", body);
}
// A key event as the window system delivers it: press or release, the key, its text, Shift,
// the native modifier mask and whether it repeats.
struct SeenKey {
    bool press;
    int key;
    QString text;
    bool shift = false;
    quint32 native = 0;
    bool repeat = false;
};
SeenKey down(int key, const QString& text = {}, quint32 native = 0, bool shift = false) {
    return {true, key, text, shift, native};
}
SeenKey up(int key, const QString& text = {}, quint32 native = 0) {
    return {false, key, text, false, native};
}

QByteArray fileBytes(const char* name) {
    QFile file(QStringLiteral(DATA_DIR "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(QList<SeenKey>)
Q_DECLARE_METATYPE(CapsLockTracker::Source)

class ShellTest : public QObject {
    Q_OBJECT
  private slots:
    // Every label of the Keys keyboard names a key of the table and lies inside the keyboard;
    // keys never overlap, but for slivers and the two parts of the L-shaped Enter key.
    void keysKeyboardLabelsAreKeysOfTheTable() {
        using namespace KeyboardTable;
        // The area is rounded to whole twips; a key may reach under one pixel past it.
        const QRect area(0, 0, kKeysKeyboardWidthTwips + 14, kKeysKeyboardHeightTwips + 14);
        QList<Place> drawn;
        for (const Place& place : keysKeyboardLabels()) {
            QVERIFY2(find(place.code), qPrintable(QString::number(place.index)));
            QCOMPARE(keysKeyboardLabel(place.index), &place);
            drawn << place;
        }
        for (const Place& place : keysKeyboardUnlabelled())
            drawn << place;
        for (const Place& place : drawn) {
            QVERIFY(area.contains(place.twips));
            for (const Place& other : drawn) {
                // Neighbours may share a sliver of a few pixels of the picture at their edges.
                const QRect shared = other.twips.intersected(place.twips);
                if (&other != &place && other.code != place.code)
                    QVERIFY2(shared.width() <= 75 || shared.height() <= 75,
                             qPrintable(QStringLiteral("%1 %2").arg(place.code).arg(other.code)));
            }
        }
        QCOMPARE(keysKeyboardLabel(kTabLabel)->code, 9);
        QCOMPARE(keysKeyboardLabel(kEnterLowerLabel)->code, 13);
        QCOMPARE(keysKeyboardLabel(16), nullptr); // Shift is never marked
    }

    // Every character of a US keyboard leads to the key whose cap shows it.
    void everyCharacterFindsItsKey() {
        using namespace KeyboardTable;
        for (char c = '!'; c <= '~'; ++c) {
            const Key* key = find(codeOf(QLatin1Char(c)));
            QVERIFY2(key, qPrintable(QString(QLatin1Char(c))));
            const QString shown = QString::fromLatin1(key->label) + QLatin1String(key->shifted);
            QVERIFY2(shown.contains(QLatin1Char(c), Qt::CaseInsensitive), qPrintable(shown));
        }
        QCOMPARE(codeOf(u' '), 32);
        QCOMPARE(codeOf(QChar(0x3000)), 0);
    }

    // Whatever the program ships to be typed, every character of it has a key to mark: the
    // key lessons, the word lists and the articles.
    void everyShippedCharacterHasAKey() {
        int files = 0;
        for (const char* folder : {"1", "2", "text"}) {
            const QDir dir(QStringLiteral(DATA_DIR "/") + QLatin1String(folder));
            for (const QString& name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
                // Another language's words are for its keyboard (test_layouts types them).
                if (name.startsWith(QLatin1String("COPYING")) ||
                    name.startsWith(QLatin1String("words-")))
                    continue;
                ++files;
                const QString text = StateFile::readText(dir.filePath(name));
                QVERIFY2(!text.isEmpty(), qPrintable(name));
                for (const QString& line : StateFile::splitLines(text, {.maxLineLength = 100000})) {
                    for (QChar c : line)
                        QVERIFY2(KeyboardTable::codeOf(c) != 0,
                                 qPrintable(QStringLiteral("%1: U+%2 in \"%3\"")
                                                .arg(name)
                                                .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                                                .arg(line)));
                }
            }
        }
        QCOMPARE(files, 16 + 12 + 26);
    }

    void firstFieldIsReadLikeABasicInput_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "1000037Lesson 5"
                               << "1000037Lesson 5";
        QTest::newRow("leading blanks") << "   pixos.urf"
                                        << "pixos.urf";
        QTest::newRow("comma ends it") << "1a,b"
                                       << "1a";
        QTest::newRow("quoted keeps comma") << "\"1a,b\",c"
                                            << "1a,b";
        QTest::newRow("unclosed quote") << "\"abc"
                                        << "abc";
        QTest::newRow("empty") << ""
                               << "";
    }
    void firstFieldIsReadLikeABasicInput() {
        QFETCH(QString, line);
        QFETCH(QString, field);
        QCOMPARE(StateFile::firstField(line), field);
    }

    void readFirstFieldTakesOnlyTheFirstLine() {
        QTemporaryDir dir;
        const QString path = dir.filePath("s.txt");
        writeBytes(path, "XP-Luna.urf\r\nsecond line\r\n");
        QCOMPARE(StateFile::readFirstField(path), QStringLiteral("XP-Luna.urf"));
        bool found = true;
        QCOMPARE(StateFile::readFirstField(dir.filePath("none.txt"), &found), QString());
        QVERIFY(!found);
    }

    void stateLineIsWrittenWithCrLfAndAtomically() {
        QTemporaryDir dir;
        const QString path = dir.filePath("sz1.txt");
        QVERIFY(StateFile::writeLine(path, "1000037Lesson 5"));
        QCOMPARE(readAll(path), QByteArray("1000037Lesson 5\r\n"));

        // A write that cannot finish (here: the file size limit, as on a full disk) leaves
        // the old file whole.
        signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit tiny = saved;
        tiny.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &tiny);
        const bool wrote = StateFile::writeLine(path, QString(200, u'x'));
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!wrote);
        QCOMPARE(readAll(path), QByteArray("1000037Lesson 5\r\n"));
    }

    // What may sit in the folder in place of a file. Only a regular file is read, and only
    // up to the cap; everything else reads as missing, at once.
    void readersTakeOnlyRegularFilesUpToTheCap_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("found");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("regular") << "regular" << true << false << QByteArray("Lesson 2\r\n");
        QTest::newRow("exactly the cap") << "cap" << true << false << QByteArray(16, 'x');
        QTest::newRow("over the cap") << "over" << true << true << QByteArray(16, 'x');
        QTest::newRow("link to a regular file")
            << "link" << true << false << QByteArray("Lesson 2\r\n");
        QTest::newRow("FIFO") << "fifo" << false << false << QByteArray();
        QTest::newRow("link to /dev/zero") << "zero" << false << false << QByteArray();
        QTest::newRow("dangling link") << "dangling" << false << false << QByteArray();
        QTest::newRow("folder") << "folder" << false << false << QByteArray();
        QTest::newRow("missing") << "missing" << false << false << QByteArray();
    }
    void readersTakeOnlyRegularFilesUpToTheCap() {
        QFETCH(QString, kind);
        QFETCH(bool, found);
        QFETCH(bool, cut);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("sz1.txt");
        const QString other = dir.filePath("other.txt");
        if (kind == "regular")
            writeBytes(path, "Lesson 2\r\n");
        else if (kind == "cap")
            writeBytes(path, QByteArray(16, 'x'));
        else if (kind == "over")
            writeBytes(path, QByteArray(17, 'x'));
        else if (kind == "link")
            writeBytes(other, "Lesson 2\r\n"), QFile::link(other, path);
        else if (kind == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == "zero")
            QFile::link("/dev/zero", path);
        else if (kind == "dangling")
            QFile::link(dir.filePath("gone.txt"), path);
        else if (kind == "folder")
            QDir().mkpath(path);
        const StateFile::ReadResult result = StateFile::readBytes(path, 16);
        QCOMPARE(result.found(), found);
        QCOMPARE(result.cut(), cut);
        QCOMPARE(result.bytes, bytes);
        bool textFound = !found;
        bool textCut = !cut;
        QCOMPARE(StateFile::readText(path, &textFound, 16, &textCut).toLatin1(), bytes);
        QCOMPARE(textFound, found);
        QCOMPARE(textCut, cut);
    }

    // A state write replaces the folder's own entry: a link there is replaced, and the file
    // it points to, in the folder or out of it, stays as it was.
    void stateWritesNeverGoThroughALink_data() {
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("link out of the folder") << true;
        QTest::newRow("dangling link") << false;
    }
    void stateWritesNeverGoThroughALink() {
        QFETCH(bool, targetExists);
        QTemporaryDir folder, outside;
        const QString target = outside.filePath("precious.txt");
        if (targetExists)
            writeBytes(target, "keep me\n");
        const QString path = folder.filePath("sz1.txt");
        QVERIFY(QFile::link(target, path));
        QVERIFY(StateFile::writeLine(path, "1100005Lesson 2"));
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(readAll(path), QByteArray("1100005Lesson 2\r\n"));
        QCOMPARE(readAll(target), targetExists ? QByteArray("keep me\n") : "<missing>");
        QCOMPARE(QDir(outside.path())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                     .size(),
                 targetExists ? 1 : 0);
        // Nothing but the state file is left behind in the folder.
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{"sz1.txt"});
    }

    void aFailedWriteIsReportedOnce() {
        QStringList messages;
        StateFile::setWriteFailureHandler([&](const QString& m) { messages << m; });
        QTemporaryDir dir;
        const QString path = dir.filePath("no such folder/sz1.txt");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot be saved"));
        QVERIFY(!StateFile::writeLine(path, "a"));
        QVERIFY(!StateFile::writeLine(path, "b"));
        StateFile::setWriteFailureHandler({});
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains("no such folder"));
        QVERIFY(!messages[0].contains(u'\n'));
    }

    void linesAreSplitInOnePassWithinLimits_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("cut");
        QTest::newRow("CR LF and LF") << "a\r\nb\nc" << QStringList{"a", "b", "c"} << false;
        QTest::newRow("final break") << "a\r\n" << QStringList{"a", ""} << false;
        QTest::newRow("lone CR stays") << "a\rb\r\r\n" << QStringList{"a\rb\r", ""} << false;
        QTest::newRow("empty") << "" << QStringList{""} << false;
        QTest::newRow("too many lines") << "1\n2\n3\n4\n5" << QStringList{"1", "2", "3"} << true;
        QTest::newRow("line too long") << "abcdefgh\r\nab" << QStringList{"abcde", "ab"} << true;
        QTest::newRow("CR past the cut") << "abcde\r\n" << QStringList{"abcde", ""} << false;
    }
    void linesAreSplitInOnePassWithinLimits() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QFETCH(bool, cut);
        bool wasCut = !cut;
        QCOMPARE(StateFile::splitLines(text, {.maxLines = 3, .maxLineLength = 5}, &wasCut), lines);
        QCOMPARE(wasCut, cut);
    }

    void lenientNumberParse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("digits") << "00037" << 37.0;
        QTest::newRow("leading blank") << " 6.1" << 6.1;
        QTest::newRow("trailing junk") << "12ab" << 12.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("negative") << "-5" << -5.0;
        QTest::newRow("only sign") << "-" << 0.0;
    }
    void lenientNumberParse() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(val(text), value);
    }

    void gbkDecodesTheFillCharacterAndRoundTrips() {
        QCOMPARE(decodeGbk(QByteArray("\xA1\xA1")), QString(QChar(0x3000)));
        const QByteArray chinese("\xC4\xE3\xBA\xC3 ok"); // "ni hao" and ASCII
        QCOMPARE(decodeGbk(chinese), QString::fromUtf8("\u4f60\u597d ok"));
        QCOMPARE(encodeGbk(decodeGbk(chinese)), chinese);
        const QByteArray ascii("Lesson 1\tok\r\n");
        QCOMPARE(decodeGbk(ascii), QString::fromLatin1(ascii));
        QCOMPARE(encodeGbk(QString::fromLatin1(ascii)), ascii);
    }

    void twipsAreFifteenToThePixel() {
        QCOMPARE(twips(12000), 800);
        QCOMPARE(twips(9000), 600);
        QCOMPARE(twips(15), 1);
        QCOMPARE(twips(66), 4);
        QCOMPARE(twips(-540), -36);
    }

    void fontFollowsTheWindowsVersion_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("family");
        QTest::newRow("Vista") << 6 << 0 << " 6.0"
                               << "Lucida Console";
        QTest::newRow("7") << 6 << 1 << " 6.1"
                           << "Consolas";
        QTest::newRow("8") << 6 << 2 << " 6.2"
                           << "Consolas";
        QTest::newRow("10") << 10 << 0 << " 10.0"
                            << "Consolas";
        QTest::newRow("XP") << 5 << 1 << " 5.1"
                            << "Lucida Console";
    }
    void fontFollowsTheWindowsVersion() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(QString, text);
        QFETCH(QString, family);
        const WindowsVersion version{major, minor};
        QCOMPARE(versionText(version), text);
        const FontChoice words = practiceFontChoice(PracticeFontWindow::Words, version);
        QCOMPARE(words.family, family);
        QCOMPARE(words.pointSize, family == u"Consolas" ? 36.0 : 32.0);
        // Whatever face the system has, the font is monospaced in fact.
        const QFont font = monospaceFont(words);
        const QFontMetricsF metrics(font);
        QCOMPARE(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));
    }

    void programFolderJoinsNamesAndFindsFilesInAnyCase() {
        QTemporaryDir dir;
        const ProgramFolder folder(dir.path());
        QCOMPARE(folder.path("\\2\\Lesson 1.txt"), dir.path() + "/2/Lesson 1.txt");
        writeBytes(dir.filePath("PixOS.urf"), "x");
        QCOMPARE(folder.findFile("\\pixos.urf"), dir.path() + "/PixOS.urf");
        QCOMPARE(folder.findFile("\\none.urf"), dir.path() + "/none.urf");
    }

    void stateNamesResolveInTheStateFolder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("state");
        QTest::newRow("theme") << "\\face.txt" << true;
        QTest::newRow("word practice") << "\\sz1.txt" << true;
        QTest::newRow("lesson hand-over") << "\\sz1-yj.txt" << true;
        QTest::newRow("game settings") << "\\GameSet.txt" << true;
        QTest::newRow("article scratch") << "\\new.txt" << true;
        QTest::newRow("keyboard picture") << "\\test2.bmp" << true;
        QTest::newRow("history") << "\\history.db" << true;
        QTest::newRow("runs waiting") << "\\history-pending.txt" << true;
        QTest::newRow("picture without a number") << "\\test.bmp" << false;
        QTest::newRow("sz without a digit") << "\\szA.txt" << false;
        QTest::newRow("a copy of the theme") << "\\face.txt.bak" << false;
        QTest::newRow("layout") << "\\layout.txt" << true;
        QTest::newRow("drill") << "\\drill.txt" << true;
        QTest::newRow("a layout's picture") << "\\test2-de_nodeadkeys.bmp" << true;
        QTest::newRow("a picture's layout in capitals") << "\\test2-DE.bmp" << false;
        QTest::newRow("a picture for a scaled screen") << "\\test2@2x.bmp" << true;
        QTest::newRow("a layout's picture for a scaled screen") << "\\test5-de@1.5x.bmp" << true;
        QTest::newRow("a scale without its number") << "\\test5@x.bmp" << false;
        QTest::newRow("a layout's lessons") << "\\1-de\\3.txt" << true;
        QTest::newRow("deeper in a layout's lessons") << "\\1-de\\a\\3.txt" << false;
        QTest::newRow("the lessons of the US layout") << "\\1\\3.txt" << false;
        QTest::newRow("word list") << "\\2\\Lesson 1.txt" << false;
        QTest::newRow("state name in a data folder") << "\\text\\sz1.txt" << false;
        QTest::newRow("sound") << "\\type.wav" << false;
        QTest::newRow("skin") << "\\PixOS.urf" << false;
        QTest::newRow("game list") << "\\game-cz2.txt" << false;
    }
    void stateNamesResolveInTheStateFolder() {
        QFETCH(QString, name);
        QFETCH(bool, state);
        const ProgramFolder folder("/opt/z", "/home/u/.local/share/Zephkin");
        QCOMPARE(folder.path(name).startsWith(folder.stateDir() + u'/'), state);
        QCOMPARE(folder.path(name).startsWith(folder.dir() + u'/'), !state);
        // Without a state folder of its own, everything stays in the program folder.
        QVERIFY(ProgramFolder("/opt/z").path(name).startsWith("/opt/z/"));
    }

    void readOnlyFolderKeepsEachUsersStateInTheirDataFolder() {
        QTemporaryDir install;
        QTemporaryDir home;
        writeBytes(install.filePath("sz1.txt"), "1100001Lesson 1\r\n");
        writeBytes(install.filePath("type.wav"), "RIFF");
        QFile::setPermissions(install.filePath("sz1.txt"), QFile::ReadOwner | QFile::ReadOther);
        const QString userA = home.filePath("a/.local/share/Zephkin");
        const QString userB = home.filePath("b/.local/share/Zephkin");

        // A writable folder keeps its state beside the executable and makes no data folder.
        const ProgramFolder portable = ProgramFolder::choose(install.path(), true, userA);
        QCOMPARE(portable.path("\\sz1.txt"), install.filePath("sz1.txt"));
        QVERIFY(!QFileInfo::exists(userA));

        // First start of a read-only install: the shipped defaults are copied, and the copy is
        // the user's to rewrite.
        const ProgramFolder first = ProgramFolder::choose(install.path(), false, userA);
        QCOMPARE(first.path("\\sz1.txt"), userA + "/sz1.txt");
        QCOMPARE(first.path("\\type.wav"), install.filePath("type.wav"));
        QCOMPARE(readAll(userA + "/sz1.txt"), QByteArray("1100001Lesson 1\r\n"));
        QVERIFY(!QFileInfo::exists(userA + "/type.wav"));
        QVERIFY(StateFile::writeLine(first.path("\\sz1.txt"), "1100007Lesson 1"));

        // Later starts read the learner's place, never the default again; another user of the
        // same copy starts from the default.
        const ProgramFolder again = ProgramFolder::choose(install.path(), false, userA);
        QCOMPARE(StateFile::readFirstField(again.path("\\sz1.txt")), "1100007Lesson 1");
        const ProgramFolder other = ProgramFolder::choose(install.path(), false, userB);
        QCOMPARE(StateFile::readFirstField(other.path("\\sz1.txt")), "1100001Lesson 1");
        QCOMPARE(readAll(install.filePath("sz1.txt")), QByteArray("1100001Lesson 1\r\n"));
    }

    // The first start of a read-only install copies the shipped defaults that fit the cap of
    // their kind, read as every state file is; the history is the learner's own and is not.
    void seedingCopiesOnlyDefaultsWithinTheirCaps() {
        QTemporaryDir install, home;
        const auto shipped = [&](const char* name) { return install.filePath(name); };
        writeBytes(shipped("face.txt"), "Slate.urf\r\n");
        writeBytes(shipped("GameSet.txt"), "1,60,2,1,1\r\n");
        writeBytes(shipped("new.txt"), QByteArray("Lunch is at noon.\r\n").repeated(1000));
        writeBytes(shipped("sz0.txt"), QByteArray(StateFile::kStateCap + 1, '1'));
        QFile huge(shipped("sz1.txt"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 30)); // sparse
        huge.close();
        QCOMPARE(mkfifo(QFile::encodeName(shipped("sz2.txt")).constData(), 0600), 0);
        writeBytes(shipped("history.db"), "SQLite format 3");
        writeBytes(shipped("history-pending.txt"), "Zephkin pending runs 1\r\n");
        writeBytes(shipped("test5.bmp"), "BM");
        const QString user = home.filePath("Zephkin");

        ProgramFolder::choose(install.path(), false, user);

        QCOMPARE(entries(user), (QStringList{"GameSet.txt", "face.txt", "new.txt"}));
        for (const char* name : {"face.txt", "GameSet.txt", "new.txt"})
            QCOMPARE(readAll(user + u'/' + QLatin1String(name)), readAll(shipped(name)));
    }

    // A write killed half-way leaves its temporary file, in the state folder or in the folder
    // of a layout's key lessons; a start clears away those, and only those: not a file another
    // running copy is writing, nor anything that is not ours, nor anything out of the folder.
    void aStartClearsOnlyTheTemporaryFilesOfKilledWrites() {
        QTemporaryDir dir, outside;
        const auto in = [&](const char* name) { return dir.filePath(name); };
        writeBytes(outside.filePath("keep.txt"), "the learner's own\n");
        QVERIFY(QDir().mkpath(in("1-de")) && QDir().mkpath(in("1-DE")));
        writeBytes(in("1-de/.3.txt.Ab12Cd"), "Lesson 3\r\n");
        writeBytes(in("1-de/3.txt"), "Lesson 3\r\n");
        writeBytes(in("1-DE/.3.txt.Ab12Cd"), "not a layout's\r\n");
        writeBytes(outside.filePath(".3.txt.Ab12Cd"), "elsewhere\r\n");
        QVERIFY(QFile::link(outside.path(), in("1-fr")));
        writeBytes(in(".sz1.txt.Ab12Cd"), "1100009Lesson 2\r\n");
        writeBytes(in(".history-pending.txt.zz99YY"), "Zephkin pending runs 1\r\n");
        QVERIFY(QFile::link(outside.filePath("keep.txt"), in(".sz2.txt.Qq11Ww")));
        QVERIFY(QDir().mkpath(in(".face.txt.Dd22Ee")));
        writeBytes(in(".notes.txt.Ab12Cd"), "mine\n");
        writeBytes(in("sz1.txt.Ab12Cd"), "mine\n");
        writeBytes(in(".sz1.txt.Ab12"), "mine\n");
        // Another copy of the program in the middle of a write.
        const int writing = ::open(QFile::encodeName(in(".face.txt.Ll33Kk")).constData(),
                                   O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        QVERIFY(writing >= 0 && ::flock(writing, LOCK_EX) == 0);

        QCOMPARE(ProgramFolder(dir.path()).removeStaleTemporaries(), 3);
        ::close(writing);

        QCOMPARE(entries(dir.path()),
                 (QStringList{".face.txt.Dd22Ee", ".face.txt.Ll33Kk", ".notes.txt.Ab12Cd",
                              ".sz1.txt.Ab12", ".sz2.txt.Qq11Ww", "1-DE", "1-de", "1-fr",
                              "sz1.txt.Ab12Cd"}));
        QCOMPARE(entries(in("1-de")), QStringList{"3.txt"});
        QCOMPARE(entries(in("1-DE")), QStringList{".3.txt.Ab12Cd"});
        QCOMPARE(readAll(outside.filePath("keep.txt")), QByteArray("the learner's own\n"));
        QVERIFY(QFileInfo::exists(outside.filePath(".3.txt.Ab12Cd")));
    }

    void typingClockStopsAfterSixIdleTicks() {
        TypingClock clock;
        clock.clockTick();
        QCOMPARE(clock.activeSeconds(), 0); // nothing typed yet
        clock.touch();
        for (int i = 0; i < 5; ++i) {
            clock.idleTick();
            clock.clockTick();
        }
        QVERIFY(clock.running());
        QCOMPARE(clock.activeSeconds(), 5);
        clock.idleTick();
        QVERIFY(!clock.running());
        clock.clockTick();
        QCOMPARE(clock.activeSeconds(), 5);
        clock.idleTick();
        QCOMPARE(clock.idleCountdown(), 0);
        clock.touch();
        QCOMPARE(clock.idleCountdown(), 6);
        clock.clockTick();
        QCOMPARE(clock.activeSeconds(), 6);
    }

    void hmsClockCarries_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("display");
        QTest::newRow("start") << 0 << "0:00:00";
        QTest::newRow("59 s") << 59 << "0:00:59";
        QTest::newRow("1 min") << 60 << "0:01:00";
        QTest::newRow("1 h") << 3600 << "1:00:00";
        QTest::newRow("10 h") << 36000 << "10:00:00";
    }
    void hmsClockCarries() {
        QFETCH(int, seconds);
        QFETCH(QString, display);
        HmsClock clock;
        for (int i = 0; i < seconds; ++i)
            clock.addSecond();
        QCOMPARE(clock.display(), display);
    }

    void waveReaderRefusesWhatCannotPlay_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("frames"); // 0: refused
        const QByteArray mono16 = pcmFormat(1, 1, 44100, 16);
        const QByteArray samples(400, '\x11');
        QTest::newRow("16-bit mono") << riff(mono16 + chunk("data", samples)) << 200;
        QTest::newRow("8-bit stereo after an odd-sized chunk")
            << riff(pcmFormat(1, 2, 8000, 8) + chunk("LIST", "abc") + chunk("data", samples))
            << 200;
        QTest::newRow("24-bit in the extensible header")
            << riff(extensibleFormat(1) + chunk("data", samples.left(396))) << 66;
        QTest::newRow("shipped click") << fileBytes("type.wav") << 1411;
        QTest::newRow("shipped error tone") << fileBytes("error.wav") << 7056;

        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("text") << QByteArray("RIFF is not a sound\r\n") << 0;
        QTest::newRow("float samples")
            << riff(pcmFormat(3, 1, 44100, 32) + chunk("data", samples)) << 0;
        QTest::newRow("ADPCM") << riff(pcmFormat(2, 1, 44100, 4) + chunk("data", samples)) << 0;
        QTest::newRow("float in the extensible header")
            << riff(extensibleFormat(3) + chunk("data", samples)) << 0;
        QTest::newRow("data cut short") << riff(mono16 + chunk("data", samples)).left(300) << 0;
        QTest::newRow("header cut short") << riff(mono16).left(30) << 0;
        QTest::newRow("no data") << riff(mono16) << 0;
        QTest::newRow("data before format") << riff(chunk("data", samples) + mono16) << 0;
        QTest::newRow("no samples") << riff(mono16 + chunk("data", "")) << 0;
        QTest::newRow("half a frame") << riff(mono16 + chunk("data", "abc")) << 0;
        QTest::newRow("no channels")
            << riff(pcmFormat(1, 0, 44100, 16) + chunk("data", samples)) << 0;
        QByteArray badAlign = mono16;
        badAlign[8 + 12] = 4;
        QTest::newRow("wrong block size") << riff(badAlign + chunk("data", samples)) << 0;
    }
    void waveReaderRefusesWhatCannotPlay() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, frames);
        const auto clip = WaveFile::parse(bytes);
        QCOMPARE(clip ? int(clip->frames()) : 0, frames);
    }

    void soundPlayerIsSilentWithoutFileOrDevice() {
        // No sound server and no ALSA device: nothing may fail, wait or hang, and a file that
        // is not a sound plays nothing.
        qputenv("PULSE_SERVER", "unix:/nonexistent/native");
        qputenv("ALSA_CONFIG_PATH", "/nonexistent/alsa.conf");
        QTemporaryDir dir;
        const QString garbage = dir.filePath(QStringLiteral("type.wav"));
        QFile file(garbage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("RIFF\x10\0\0\0WAVEfmt ");
        file.close();
        QVERIFY(!WaveFile::read(QStringLiteral(DATA_DIR "/error.wav"), 1000)); // over the cap
        EventSoundPlayer player;
        player.preload(garbage);
        player.preload(QStringLiteral("/nonexistent/error.wav"));
        player.PlayWave(garbage);
        player.PlayWave(QStringLiteral("/nonexistent/error.wav"));
        for (int i = 0; i < 3; ++i) {
            player.PlayWave(QStringLiteral(DATA_DIR "/type.wav"));
            player.PlayWave(QStringLiteral(DATA_DIR "/error.wav"));
        }
    }

    void soundPlayerFallsBackToAlsa() {
        // Without a sound server the sounds go straight to ALSA: here to a device that writes
        // what it is given to a file.
        QTemporaryDir dir;
        const QString heard = dir.filePath(QStringLiteral("heard.raw"));
        const QString config = dir.filePath(QStringLiteral("asound.conf"));
        QVERIFY(StateFile::writeLine(
            config, QStringLiteral("pcm.!default { type file; slave.pcm { type null }; "
                                   "file \"%1\"; format \"raw\" }")
                        .arg(heard)));
        qputenv("PULSE_SERVER", "unix:/nonexistent/native");
        qputenv("ALSA_CONFIG_PATH", config.toLocal8Bit());
        const auto click = WaveFile::read(QStringLiteral(DATA_DIR "/type.wav"));
        QVERIFY(click);
        {
            EventSoundPlayer player;
            player.PlayWave(QStringLiteral(DATA_DIR "/type.wav"));
            // The device makes its file when it opens; it takes the sound at once (it is not
            // held to the clock) and writes it out when it closes.
            QTRY_VERIFY(QFileInfo::exists(heard));
            QTest::qWait(200);
        }
        QFile file(heard);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith(click->samples));
    }

    void metersRoundDown() {
        QCOMPARE(Meters::speed(3, 1, " WMP"), QStringLiteral("180 WMP"));
        QCOMPARE(Meters::accuracy(2, 3), QStringLiteral("66 %"));
        QCOMPARE(Meters::speed(7, 4, " WPM"), QStringLiteral("105 WPM"));
        QCOMPARE(Meters::speed(5, 0, " WPM"), QStringLiteral("0 WPM"));
    }

    // Shortcuts are commands: neither the modifier, nor the shortcut's key, nor their
    // releases in any order reach the exercise; plain keys and Shift still do.
    void shortcutKeysNeverReachTheExercise() {
        InputBox box(QStringLiteral("Text1"), nullptr);
        QList<int> downs, ups;
        box.onKeyDown([&downs](int code) {
            downs << code;
            return false;
        });
        box.onKeyUp([&ups](int code) { ups << code; });
        QTest::keyPress(&box, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyPress(&box, Qt::Key_S, Qt::AltModifier);
        QTest::keyRelease(&box, Qt::Key_Alt); // the modifier let go first
        QTest::keyRelease(&box, Qt::Key_S);
        QTest::keyClick(&box, Qt::Key_1, Qt::ControlModifier);
        QTest::keyClick(&box, Qt::Key_A, Qt::ShiftModifier); // Shift down, A, Shift up
        QCOMPARE(downs, (QList<int>{KeyCode::Shift, 'A'}));
        QCOMPARE(ups, (QList<int>{'A', KeyCode::Shift}));
        QCOMPARE(box.text().size(), 1); // only the plain key was typed
    }

    // Caps Lock where no X server can be asked: on Wayland from the xkb Lock bit of the keys'
    // native modifiers (the state before the key), elsewhere from the case of letters.
    void capsLockFollowsTheKeys_data() {
        using S = CapsLockTracker::Source;
        constexpr quint32 lock = CapsLockTracker::kXkbLockMask;
        constexpr quint32 numLock = 1u << 4;
        const int caps = Qt::Key_CapsLock, a = Qt::Key_A;
        QTest::addColumn<S>("source");
        QTest::addColumn<QList<SeenKey>>("keys");
        QTest::addColumn<int>("on"); // -1: unknown
        QTest::newRow("xkb: nothing typed") << S::XkbModifiers << QList<SeenKey>{} << -1;
        QTest::newRow("xkb: a letter while locked")
            << S::XkbModifiers << QList<SeenKey>{down(a, "A", lock | numLock)} << 1;
        QTest::newRow("xkb: Num Lock alone")
            << S::XkbModifiers << QList<SeenKey>{down(a, "a", numLock), up(a, "a", numLock)} << 0;
        // Caps Lock's own release always carries Lock, as a depressed modifier.
        QTest::newRow("xkb: Caps Lock turned on")
            << S::XkbModifiers << QList<SeenKey>{down(caps, {}, 0), up(caps, {}, lock)} << 1;
        QTest::newRow("xkb: Caps Lock turned off")
            << S::XkbModifiers << QList<SeenKey>{down(caps, {}, lock), up(caps, {}, lock)} << 0;
        QTest::newRow("xkb: on and off") << S::XkbModifiers
                                         << QList<SeenKey>{down(caps, {}, 0), up(caps, {}, lock),
                                                           down(caps, {}, lock), up(caps, {}, lock)}
                                         << 0;
        QTest::newRow("xkb: a held Caps Lock repeats")
            << S::XkbModifiers
            << QList<SeenKey>{down(caps, {}, 0), {true, caps, {}, false, lock, true}} << 1;
        QTest::newRow("xkb: the next key says better")
            << S::XkbModifiers << QList<SeenKey>{down(caps, {}, 0), down(a, "a", 0)} << 0;
        QTest::newRow("keys: a small letter") << S::KeysOnly << QList<SeenKey>{down(a, "a")} << 0;
        QTest::newRow("keys: a capital") << S::KeysOnly << QList<SeenKey>{down(a, "A")} << 1;
        QTest::newRow("keys: a capital with Shift")
            << S::KeysOnly << QList<SeenKey>{down(a, "A", 0, true)} << 0;
        QTest::newRow("keys: a small letter with Shift")
            << S::KeysOnly << QList<SeenKey>{down(a, "a", 0, true)} << 1;
        QTest::newRow("keys: digits tell nothing")
            << S::KeysOnly << QList<SeenKey>{down(Qt::Key_1, "1")} << -1;
        QTest::newRow("keys: Caps Lock alone tells nothing")
            << S::KeysOnly << QList<SeenKey>{down(caps), up(caps)} << -1;
        QTest::newRow("keys: Caps Lock turns a known state")
            << S::KeysOnly << QList<SeenKey>{down(a, "a"), up(a, "a"), down(caps), up(caps)} << 1;
        QTest::newRow("keys: no mask is read")
            << S::KeysOnly << QList<SeenKey>{down(a, "a", lock)} << 0;
    }
    void capsLockFollowsTheKeys() {
        QFETCH(CapsLockTracker::Source, source);
        QFETCH(QList<SeenKey>, keys);
        CapsLockTracker tracker(source);
        for (const SeenKey& k : keys) {
            const QKeyEvent event(k.press ? QEvent::KeyPress : QEvent::KeyRelease, k.key,
                                  k.shift ? Qt::ShiftModifier : Qt::NoModifier, 0, 0, k.native,
                                  k.text, k.repeat);
            tracker.keyEvent(event);
        }
        QTEST(tracker.on() ? int(*tracker.on()) : -1, "on");
    }

    // The maker has no site yet: its addresses open the README beside the program.
    void makersLinksOpenTheReadme() {
        QTemporaryDir dir;
        const QString readme = QUrl::fromLocalFile(dir.filePath("README.md")).toString();
        QCOMPARE(Maker::reachableUrl(Maker::kGamesPage, dir.path()), Maker::kGamesPage);
        writeBytes(dir.filePath("README.md"), "# Zephkin\n");
        for (const QString& url :
             {Maker::kGamesPage, Maker::kHomePageTarget, QStringLiteral("mailto:") + Maker::kEmail})
            QCOMPARE(Maker::reachableUrl(url, dir.path()), readme);
        const QString other = QStringLiteral("https://example.net/page");
        QCOMPARE(Maker::reachableUrl(other, dir.path()), other);
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
