#include "articles/model/article_catalogue.h"
#include "articles/model/article_exercise.h"
#include "articles/model/article_state.h"
#include "articles/model/article_text.h"
#include "core/key_codes.h"
#include "model_events.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QChar kFill = ArticleText::kFill;

QString fills(int n) {
    return QString(n, kFill);
}

QByteArray fillBytes() {
    return QByteArray(2 * ArticleText::kFillRunLength, '\xA1');
}

// Articles held in memory, under the path the exercise asks for.
class MemoryFiles : public ArticleFiles {
  public:
    StateFile::ReadResult readArticle(const QString& path, bool) override {
        ++reads;
        if (!files.contains(path))
            return {};
        return {files.value(path), StateFile::ReadStatus::Complete};
    }
    bool writeScratch(const QByteArray& bytes) override {
        scratch = bytes;
        return true;
    }
    QHash<QString, QByteArray> files;
    QByteArray scratch;
    int reads = 0;
};

// A text of n characters, no two neighbours alike, with no blanks: "abc...zABC...Z0...9" over
// and over.
QByteArray sampleText(int n) {
    const QByteArray alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text.append(alphabet[i % alphabet.size()]);
    return text;
}

struct Fixture {
    explicit Fixture(const QByteArray& lunch) {
        files.files.insert(Articles::articleResource(QStringLiteral("lunch")), lunch);
        QObject::connect(&exercise, &PracticeModel::changed, [this](const ModelEvents& events) {
            updates.append(exercise.update(events));
            sounds.append(events.sounds);
            if (events.message && events.message->asks) {
                questions.append(events.message->title + u'|' + events.message->text);
                exercise.messageAnswered(answer);
            }
        });
        exercise.restore(Articles::Sz2::parse(QStringLiteral("1lunch")));
        updates.clear();
        sounds.clear();
    }
    QString expected() const {
        return exercise.articleLines()
            .value(exercise.lineNumber() - 2)
            .mid(exercise.column() - 1, 1);
    }
    void typeRight(int n) {
        for (int i = 0; i < n; ++i)
            exercise.textChanged(expected());
    }
    void type(const QString& text) {
        if (text == u" ")
            exercise.keyPress(KeyCode::Space);
        exercise.textChanged(text);
    }
    void backspace() { exercise.keyPress(KeyCode::Backspace); }

    MemoryFiles files;
    ArticleExercise exercise{files};
    QList<ArticleUpdate> updates;
    QList<QList<PracticeSound>> sounds; // what each update asked for
    QStringList questions;
    bool answer = false;
};

} // namespace

class TestArticles : public QObject {
    Q_OBJECT
  private slots:
    void catalogueKeepsItsOrder();
    void stateLineRoundTrip_data();
    void stateLineRoundTrip();
    void displayLinesCutTheJoinedText_data();
    void displayLinesCutTheJoinedText();
    void scratchFileJoinsLinesAndFills();
    void optionalArticleInUtf8ReadsLikeGbk();
    void cutFileKeepsWholeLinesAndCharacters_data();
    void cutFileKeepsWholeLinesAndCharacters();
    void matchAndMismatchAreRecordedAndDrawn();
    void keystrokesAreJudgedAndTimed();
    void judgedKeysFollowTheLayout();
    void keystrokeRepaintsOnlyItsCells();
    void backspaceErasesWholeCell();
    void backspaceAtLineStartTakesBackLastColumn();
    void backspaceAtPageStartDrawsPreviousPage();
    void lastCellOfPageTurnsPage();
    void cursorWrapsToLastDisplayLine();
    void endOfTextAsksBeforeGoingOn();
    void pastedTextIsOneMismatch();
    void pageButtonsFollowTheRules();
    void noticePastPageSixty();
    void clockStartsWithRecordAndStopsOnPageTurn();
    void speedAndAccuracy();
    void badInputGivesClearResult_data();
    void badInputGivesClearResult();
};

void TestArticles::catalogueKeepsItsOrder() {
    const QStringList& titles = ArticleCatalogue::titles();
    QCOMPARE(titles.size(), 26);
    QCOMPARE(titles.first(), QStringLiteral("a girl selling matches"));
    QVERIFY(titles.indexOf(QStringLiteral("Christmas Stockings' legend")) <
            titles.indexOf(QStringLiteral("Christmas")));
    QCOMPARE(titles.last(), QStringLiteral("The Strength of trust"));
    for (const QString& title : titles)
        QVERIFY2(ArticleCatalogue::isSafeTitle(title), qPrintable(title));
}

void TestArticles::stateLineRoundTrip_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("written");
    QTest::newRow("sound off") << "0lunch" << false << "lunch"
                               << "0lunch";
    QTest::newRow("sound on") << "1The Grand Canyon" << true << "The Grand Canyon"
                              << "1The Grand Canyon";
    QTest::newRow("empty file") << "" << false << "a girl selling matches"
                                << "0a girl selling matches";
    QTest::newRow("switch only") << "1" << true << "a girl selling matches"
                                 << "1a girl selling matches";
}

void TestArticles::stateLineRoundTrip() {
    QFETCH(QString, field);
    const Articles::Sz2 state = Articles::Sz2::parse(field);
    QTEST(state.keystrokeSound, "sound");
    QTEST(state.articleTitle, "title");
    QTEST(state.format(), "written");
}

void TestArticles::displayLinesCutTheJoinedText_data() {
    QTest::addColumn<QStringList>("fileLines");
    QTest::addColumn<QStringList>("expected"); // the display lines before the fill lines

    // A boundary inside a word: "extraordinary" straddles columns 62 and 63.
    const QString first =
        QStringLiteral("It was an ") + QString(40, u'x') + QStringLiteral(" extra");
    QCOMPARE(first.size(), 56);
    QTest::newRow("boundary inside a word")
        << QStringList{first + QStringLiteral("ordinary day.")}
        << QStringList{first + QStringLiteral("ordina"), QStringLiteral("ry day.") + fills(55)};
    QTest::newRow("lines run together")
        << QStringList{QStringLiteral("one"), QStringLiteral("two "), QStringLiteral("three")}
        << QStringList{QStringLiteral("onetwo three") + fills(50)};
    QTest::newRow("empty article") << QStringList{} << QStringList{};
    // Double-byte text is cut by characters: line 2 starts at character 63, no repeats.
    const QString hanzi = QString(70, QChar(0x4e2d));
    QTest::newRow("double-byte") << QStringList{hanzi + u'!'}
                                 << QStringList{hanzi.left(62), hanzi.mid(62) + u'!' + fills(53)};
}

void TestArticles::displayLinesCutTheJoinedText() {
    QFETCH(QStringList, fileLines);
    QFETCH(QStringList, expected);
    const QStringList lines = ArticleText::displayLines(fileLines.join(QString()));
    QCOMPARE(lines.size(), ArticleText::kLastLineIndex + 1);
    QCOMPARE(lines.mid(0, expected.size()), expected);
    // The line after the text is fill only: that is how the end of the article is found.
    QCOMPARE(lines[expected.size()], fills(62));
    QCOMPARE(lines.last(), ArticleText::fillRun());
}

void TestArticles::scratchFileJoinsLinesAndFills() {
    Fixture f("Hello \r\nworld\r\n");
    QCOMPARE(f.files.scratch, QByteArray("Hello world") + fillBytes() + "\r\n");
    // A character GBK cannot hold is written as "?".
    QCOMPARE(ArticleText::scratchBytes({QStringLiteral("a\u0151\u4e2d")}),
             QByteArray("a?\xD6\xD0") + fillBytes() + "\r\n");
}

void TestArticles::optionalArticleInUtf8ReadsLikeGbk() {
    const QString text = QStringLiteral("Caf\u00e9 \u4e2d\u6587");
    QCOMPARE(ArticleText::decode(text.toUtf8()), text);
    QCOMPARE(ArticleText::decode("\xEF\xBB\xBF" + text.toUtf8()), text);
    QCOMPARE(ArticleText::decode("Caf\xA8\xA6 \xD6\xD0\xCE\xC4"), text);
    QCOMPARE(ArticleText::splitLines(QStringLiteral("a\r\nb\nc\rd\r\n")),
             QStringList({"a", "b", "c", "d"}));
    QCOMPARE(ArticleText::splitLines(QString(600, u'\n')).size(), ArticleText::kMaxFileLines);
}

void TestArticles::cutFileKeepsWholeLinesAndCharacters_data() {
    QTest::addColumn<QByteArray>("cut");
    QTest::addColumn<QByteArray>("kept");
    QTest::newRow("up to the last line break")
        << QByteArray("one\r\ntwo\r\nthr") << QByteArray("one\r\ntwo\r\n");
    QTest::newRow("break cut between CR and LF") << QByteArray("one\r") << QByteArray("one\r");
    QTest::newRow("one line, UTF-8 cut in two")
        << QByteArray("ab\xE4\xB8\xAD\xE6\x96") << QByteArray("ab\xE4\xB8\xAD");
    QTest::newRow("one line, UTF-8 whole") << QByteArray("ab\xC3\xA9") << QByteArray("ab\xC3\xA9");
    QTest::newRow("one line, GBK cut in two") << QByteArray("\xD6\xD0\xCE\xC4"
                                                            "a\xD6")
                                              << QByteArray("\xD6\xD0\xCE\xC4"
                                                            "a");
    QTest::newRow("one line, GBK whole")
        << QByteArray("a\xD6\xD0\xCE\xC4") << QByteArray("a\xD6\xD0\xCE\xC4");
}

void TestArticles::cutFileKeepsWholeLinesAndCharacters() {
    QFETCH(QByteArray, cut);
    QTEST(ArticleText::wholePart(cut), "kept");
}

void TestArticles::matchAndMismatchAreRecordedAndDrawn() {
    Fixture f("A cat.");
    f.type(QStringLiteral("a")); // where the article has "A"
    QCOMPARE(f.exercise.keyRecord(), QStringLiteral("0"));
    QCOMPARE(f.exercise.cell(1, 2).text, QStringLiteral("a"));
    QCOMPARE(f.exercise.cell(1, 2).ink, ArticleExercise::Ink::Mismatch);
    QCOMPARE(f.sounds.last(),
             QList<PracticeSound>({PracticeSound::Keystroke, PracticeSound::Error}));
    f.type(QStringLiteral(" "));
    QCOMPARE(f.exercise.keyRecord(), QStringLiteral("01"));
    QCOMPARE(f.exercise.cell(2, 2).ink, ArticleExercise::Ink::Match);
    QCOMPARE(f.sounds.last(), QList<PracticeSound>({PracticeSound::Keystroke}));
    QCOMPARE(f.exercise.column(), 3);
    QCOMPARE(f.exercise.caretCell(), QPoint(3, 2));
    QVERIFY(f.exercise.caretVisible());
}

// Each character typed is judged against the article's, timed from the keystroke before;
// Backspace is a keystroke that judges nothing, and so is a key past the end of the text.
void TestArticles::keystrokesAreJudgedAndTimed() {
    Fixture f("A cat.");
    qint64 now = 0;
    f.exercise.setKeyClock([&now] { return now; });
    const EventLog events(f.exercise);
    for (const char* step : {"a", " ", "\b", " ", "c", "a", "t", ".", "x"}) {
        now += 100;
        if (*step == '\b')
            f.backspace();
        else
            f.type(QString::fromLatin1(step));
    }
    QCOMPARE(events.judged(), (QList<KeyJudgement>{{65, false, u'A', {}, -1},
                                                   {32, true, u' ', {}, 100},
                                                   {32, true, u' ', {}, 100},
                                                   {67, true, u'c', u' ', 100},
                                                   {65, true, u'a', u'c', 100},
                                                   {84, true, u't', u'a', 100},
                                                   {190, true, u'.', u't', 100}}));
}

// On the learner's layout a character counts for the key that types it there: where "z" and
// "y" change places, as on a German keyboard, "z" is the key a US keyboard calls Y.
void TestArticles::judgedKeysFollowTheLayout() {
    Fixture f("zy.");
    KeyboardLayout swapped = KeyboardLayout::us();
    swapped.setKey(89, {{u'z'}, {u'Z'}});
    swapped.setKey(90, {{u'y'}, {u'Y'}});
    f.exercise.setKeyboardLayout(swapped);
    const EventLog events(f.exercise);
    f.type(QStringLiteral("z"));
    f.type(QStringLiteral("y"));
    QList<int> keys;
    for (const KeyJudgement& judgement : events.judged())
        keys << judgement.expectedKey;
    QCOMPARE(keys, (QList<int>{89, 90}));
}

void TestArticles::keystrokeRepaintsOnlyItsCells() {
    Fixture f("A cat.");
    f.type(QStringLiteral("A"));
    QCOMPARE(f.updates.size(), 1); // one notification per keystroke
    const ArticleUpdate& update = f.updates.first();
    QVERIFY(!(update.flags & ArticleUpdate::Page));
    for (const QPoint& cell : update.cells)
        QVERIFY(cell == QPoint(1, 2) || cell == QPoint(2, 2));

    f.updates.clear();
    f.exercise.blinkTick(); // the caret is already shown: nothing to repaint
    f.exercise.blinkTick(); // hidden: just its cell
    QCOMPARE(f.updates.size(), 1);
    QCOMPARE(f.updates.first().cells, QList<QPoint>({QPoint(2, 2)}));
    QVERIFY(!f.exercise.caretVisible());
}

void TestArticles::backspaceErasesWholeCell() {
    Fixture f("Abc");
    f.type(QStringLiteral("A"));
    f.type(QStringLiteral(",")); // wrong, and outside the letters
    QCOMPARE(f.exercise.keyRecord(), QStringLiteral("10"));
    f.backspace();
    QCOMPARE(f.exercise.keyRecord(), QStringLiteral("1"));
    QCOMPARE(f.exercise.cell(2, 2).ink, ArticleExercise::Ink::None);
    QVERIFY(f.exercise.cell(2, 2).text.isEmpty());
    QCOMPARE(f.exercise.column(), 2);
    QCOMPARE(f.exercise.caretCell(), QPoint(2, 2));
    QCOMPARE(f.exercise.lastKeyMark(), QStringLiteral(" "));

    // At the first character of the article Backspace only redraws the caret.
    f.backspace();
    f.backspace();
    QCOMPARE(f.exercise.keyRecord(), QString());
    QCOMPARE(f.exercise.column(), 1);
    QCOMPARE(f.exercise.lineNumber(), 2);
    QCOMPARE(f.exercise.caretCell(), QPoint(1, 2));
}

void TestArticles::backspaceAtLineStartTakesBackLastColumn() {
    Fixture f(sampleText(200));
    f.typeRight(62);
    QCOMPARE(f.exercise.pageRow(), 3);
    QCOMPARE(f.exercise.column(), 1);
    f.backspace();
    QCOMPARE(f.exercise.pageRow(), 2);
    QCOMPARE(f.exercise.column(), 62);
    QCOMPARE(f.exercise.lineNumber(), 2);
    QCOMPARE(f.exercise.keyRecord().size(), 61);
    QCOMPARE(f.exercise.cell(62, 2).ink, ArticleExercise::Ink::None);
    QCOMPARE(f.exercise.cell(61, 2).ink, ArticleExercise::Ink::Match);
}

void TestArticles::backspaceAtPageStartDrawsPreviousPage() {
    Fixture f(sampleText(62 * 8));
    f.typeRight(62 * 6);
    QCOMPARE(f.exercise.pageNumber(), 2);
    const int reads = f.files.reads;
    f.backspace();
    QCOMPARE(f.files.reads, reads + 1); // the page is drawn from the file again
    QCOMPARE(f.exercise.pageNumber(), 1);
    QCOMPARE(f.exercise.pageRow(), 7);
    QCOMPARE(f.exercise.column(), 62);
    QCOMPARE(f.exercise.lineNumber(), 7);
    QCOMPARE(f.exercise.nextLine(), 6);
    QCOMPARE(f.exercise.pageLine(2), f.exercise.articleLines()[0]);
    QCOMPARE(f.exercise.caretCell(), QPoint(62, 7));
    QVERIFY(f.updates.last().flags & ArticleUpdate::Page);
}

void TestArticles::lastCellOfPageTurnsPage() {
    Fixture f(sampleText(62 * 8));
    f.typeRight(62 * 6 - 1);
    QCOMPARE(f.exercise.pageNumber(), 1);
    QCOMPARE(f.exercise.pageRow(), 7);
    f.typeRight(1);
    QCOMPARE(f.exercise.pageNumber(), 2);
    QVERIFY(f.exercise.previousEnabled());
    QCOMPARE(f.exercise.pageRow(), 2);
    QCOMPARE(f.exercise.column(), 1);
    QCOMPARE(f.exercise.lineNumber(), 8);
    QCOMPARE(f.exercise.pageLine(2), f.exercise.articleLines()[6]);
    QCOMPARE(f.exercise.cell(1, 2).ink, ArticleExercise::Ink::None); // a clean page
    QCOMPARE(f.exercise.accuracyText(), QStringLiteral("100 %"));
}

void TestArticles::cursorWrapsToLastDisplayLine() {
    // 500 display lines of text: the cursor wraps on past line 400 down to the last line and
    // stays inside the page there.
    Fixture f(sampleText(62 * 510));
    f.typeRight(62 * 500);
    QCOMPARE(f.exercise.lineNumber(), 502);
    QCOMPARE(f.exercise.column(), 1);
    f.typeRight(70);
    QCOMPARE(f.exercise.lineNumber(), 502);
    QCOMPARE(f.exercise.column(), 62);
    QVERIFY(f.exercise.pageRow() >= 2 && f.exercise.pageRow() <= 7);
    QCOMPARE(f.exercise.pageLine(f.exercise.pageRow()), ArticleText::fillRun());
}

void TestArticles::endOfTextAsksBeforeGoingOn() {
    Fixture f("Hi");
    f.typeRight(2);
    f.type(QStringLiteral(" ")); // Space on the fill: asked, answered Cancel, goes on
    QCOMPARE(f.questions,
             QStringList{QStringLiteral("Prompt|You have finished the exercise of the selected "
                                        "articles, continue to choose other training courses?"
                                        "\r\n\r\n\r\n          ")});
    QCOMPARE(f.exercise.keyRecord(), QStringLiteral("110"));

    f.answer = true; // OK: the chooser opens and nothing is recorded
    f.type(QStringLiteral(" "));
    QCOMPARE(f.questions.size(), 2);
    QCOMPARE(f.exercise.keyRecord(), QStringLiteral("110"));
    QVERIFY(f.updates.last().flags & ArticleUpdate::OpenChooser);

    // Without a Space first the question is not put.
    f.exercise.textChanged(QStringLiteral("x"));
    QCOMPARE(f.questions.size(), 3); // the Space mark lasts until the next Backspace
    f.backspace();
    f.exercise.textChanged(QStringLiteral("x"));
    QCOMPARE(f.questions.size(), 3);
}

void TestArticles::pastedTextIsOneMismatch() {
    Fixture f("abc");
    f.exercise.textChanged(QStringLiteral("abc"));
    QCOMPARE(f.exercise.keyRecord(), QStringLiteral("0"));
    QCOMPARE(f.exercise.column(), 2);
}

void TestArticles::pageButtonsFollowTheRules() {
    Fixture f(sampleText(62 * 9)); // two pages of text
    QVERIFY(!f.exercise.previousEnabled());
    QVERIFY(f.exercise.nextEnabled());
    f.typeRight(3);
    f.exercise.nextPage();
    QCOMPARE(f.exercise.pageNumber(), 2);
    QCOMPARE(f.exercise.lineNumber(), 8);
    QCOMPARE(f.exercise.column(), 1);
    QCOMPARE(f.exercise.pageLine(2), f.exercise.articleLines()[6]);
    QVERIFY(f.exercise.previousEnabled());
    QVERIFY(!f.exercise.nextEnabled()); // the page after this one is fill
    f.exercise.previousPage();
    QCOMPARE(f.exercise.pageNumber(), 1);
    QCOMPARE(f.exercise.lineNumber(), 2);
    QVERIFY(!f.exercise.previousEnabled());
    QVERIFY(f.exercise.nextEnabled());

    // From the middle of a page "Next" goes to the next page's first line.
    f.typeRight(62 * 2 + 5);
    QCOMPARE(f.exercise.lineNumber(), 4);
    f.exercise.nextPage();
    QCOMPARE(f.exercise.lineNumber(), 8);
    QCOMPARE(f.exercise.nextLine(), 12);
}

void TestArticles::noticePastPageSixty() {
    Fixture f(sampleText(62 * 499));
    for (int i = 0; i < 60; ++i)
        f.exercise.nextPage();
    QCOMPARE(f.exercise.pageNumber(), 61);
    QVERIFY(f.exercise.noticeVisible());
    QCOMPARE(ArticleExercise::kNotice, QStringLiteral("Last article\uFF01"));
    f.exercise.nextPage();
    QCOMPARE(f.exercise.pageNumber(), 61);
    f.exercise.previousPage();
    QVERIFY(!f.exercise.noticeVisible());
    QCOMPARE(f.exercise.pageNumber(), 60);
}

void TestArticles::clockStartsWithRecordAndStopsOnPageTurn() {
    Fixture f(sampleText(62 * 9));
    QVERIFY(!f.exercise.clockRunning());
    f.typeRight(1);
    QVERIFY(f.exercise.clockRunning());
    f.exercise.clockTick();
    f.exercise.clockTick();
    QCOMPARE(f.exercise.clockText(), QStringLiteral("0:00:01"));
    f.exercise.nextPage();
    QVERIFY(!f.exercise.clockRunning());
    f.exercise.clockTick();
    QCOMPARE(f.exercise.clockText(), QStringLiteral("0:00:01"));
    f.backspace(); // the record changes: the clock runs again
    QVERIFY(f.exercise.clockRunning());

    f.exercise.meterReset();
    QCOMPARE(f.exercise.keyRecord(), QString());
    QCOMPARE(f.exercise.clockText(), QStringLiteral("0:00:00"));
    QCOMPARE(f.exercise.speedText(), QStringLiteral("0 WPM"));
    QVERIFY(!f.exercise.clockRunning());
}

void TestArticles::speedAndAccuracy() {
    Fixture f(sampleText(100));
    QCOMPARE(f.exercise.accuracyText(), QStringLiteral("0 %"));
    f.typeRight(1);
    f.type(QStringLiteral("#"));
    f.typeRight(1);
    QCOMPARE(f.exercise.accuracyText(), QStringLiteral("66 %"));
    f.typeRight(4); // 7 marks
    for (int i = 0; i < 4; ++i)
        f.exercise.clockTick();
    QCOMPARE(f.exercise.speedText(), QStringLiteral("210 WPM"));
    for (int i = 0; i < 4; ++i)
        f.exercise.clockTick();
    QCOMPARE(f.exercise.speedText(), QStringLiteral("104 WPM"));
}

void TestArticles::badInputGivesClearResult_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("content"); // written as text/<title>.txt when not empty
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<QString>("firstLine"); // start of display line 0
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("notice");

    const QString first = QStringLiteral("a girl selling matches");
    QTest::newRow("saved title missing") << "gone" << QByteArray() << first << "Matches."
                                         << ""
                                         << "";
    QTest::newRow("title with a path") << "../secret" << QByteArray() << first << "Matches."
                                       << ""
                                       << "";
    QTest::newRow("empty title") << "" << QByteArray() << first << "Matches."
                                 << ""
                                 << "";
    QTest::newRow("title longer than any")
        << QString(5000, u't') << QByteArray() << first << "Matches."
        << ""
        << "";
    QTest::newRow("link out of text/") << "link" << QByteArray() << first << "Matches."
                                       << ""
                                       << "";
    QTest::newRow("empty file") << "empty" << QByteArray("\r\n") << "empty" << fills(3)
                                << "This article is empty."
                                << "";
    QTest::newRow("binary file") << "binary" << QByteArray("MZ\0\0\x90\x01", 6) << "binary"
                                 << fills(3) << "This file is not a text file."
                                 << "";
    QTest::newRow("very long line") << "long" << QByteArray(200000, 'w') << "long"
                                    << "www"
                                    << ""
                                    << "";
    // Past the size cap: read up to the last whole character, so still read as UTF-8.
    QTest::newRow("larger than the cap")
        << "huge"
        << "\xC3\xA9" + QByteArray(StateFile::kArticleCap - 2, 'h') + "\xC3\xA9"
        << "huge" << QStringLiteral("\u00e9hh") << "" << StateFile::cutNotice("huge.txt");
}

void TestArticles::badInputGivesClearResult() {
    QFETCH(QString, title);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("text"));
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(QStringLiteral("text/a girl selling matches.txt"), "Matches.\r\n");
    write(QStringLiteral("secret.txt"), "Secret!\r\n");
    QFile::link(dir.filePath(QStringLiteral("secret.txt")), dir.filePath("text/link.txt"));
    if (!content.isEmpty())
        write(QStringLiteral("text/") + title + QStringLiteral(".txt"), content);
    // new.txt cannot be written: the article still shows.
    QDir(dir.path()).mkdir(QStringLiteral("new.txt"));

    FolderArticleFiles files{ProgramFolder(dir.path())};
    ArticleExercise exercise(files);
    exercise.restore(Articles::Sz2::parse(QStringLiteral("0") + title));
    QTEST(exercise.articleTitle(), "shownTitle");
    QTEST(exercise.fileNotice(), "notice");
    QFETCH(QString, firstLine);
    QVERIFY2(exercise.articleLines()[0].startsWith(firstLine),
             qPrintable(exercise.articleLines()[0]));
    QTEST(exercise.pageMessage(), "message");
    QCOMPARE(exercise.articleLines().size(), 501);
    QVERIFY(!exercise.articleLines().join(QString()).contains(QStringLiteral("Secret")));
    QCOMPARE(exercise.state().articleTitle, exercise.articleTitle()); // sz2.txt stays valid
}

QTEST_GUILESS_MAIN(TestArticles)
#include "test_articles.moc"
