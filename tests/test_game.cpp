// The typing game: its rules (item sets, the falling engine stepped tick by tick, hits and
// results, the settings record) driven as the window drives them, then the window itself.

#include "core/key_codes.h"
#include "core/timer_table.h"
#include "fakes.h"
#include "game/model/game_item_sets.h"
#include "game/model/game_settings.h"
#include "game/model/typing_game.h"
#include "game/ui/game_window.h"
#include "game/ui/step_clock.h"
#include "history/history_store.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <deque>

namespace {

constexpr int kCharWidth = 200; // twips per character of the test's item font

// A game as the window sets it up, with a fixed seed. Draws can be scripted: each spawn takes
// three colour draws and one for the text.
struct Game {
    TypingGame game{20261210};
    std::deque<double> script;
    QStringList messages;
    QList<PracticeSound> sounds;
    QList<RunTotals> runs; // each game that ended, as the history gets it
    int notifications = 0;
    QHash<QString, QString> wordLists{
        {QStringLiteral("game-cz2.txt"), QStringLiteral("abcdefgh")},
        {QStringLiteral("game-cz4.txt"), QStringLiteral("abcdefghijkl")}};

    explicit Game(const QString& settingsLine = QStringLiteral("0,0,1,1,1,60,4,1")) {
        game.setMeasure([](const QString& text) { return int(text.size()) * kCharWidth; });
        game.setWordListReader([this](const QString& name) -> std::optional<QString> {
            if (!wordLists.contains(name))
                return std::nullopt;
            return wordLists.value(name);
        });
        QObject::connect(&game, &PracticeModel::changed, [this](const ModelEvents& events) {
            ++notifications;
            if (events.message)
                messages << events.message->text;
            sounds += events.sounds;
            if (events.runEnded)
                runs << *events.runEnded;
        });
        game.load(settingsLine);
    }
    // The texts the next spawns draw, from a set's source: u picks the character.
    void scriptItems(const QString& source, const QString& items) {
        game.setRandomSource([this] {
            if (script.empty())
                return 0.0;
            const double u = script.front();
            script.pop_front();
            return u;
        });
        for (QChar c : items) {
            script.insert(script.end(), {0.0, 0.0, 0.0});
            script.push_back((source.indexOf(c) + 0.5) / source.size());
        }
    }
    // Starts set `index` and lets the first Timer7 tick enable the game's buttons.
    void start(int index) {
        game.chooseSet(index);
        game.Timer7();
    }
    void type(const QString& text) {
        QString box = game.inputText();
        for (QChar c : text) {
            box += c;
            game.textChanged(box);
            box = game.inputText();
        }
    }
    // Shoots down whatever slot 0 shows, then lets it come back.
    void hit(int times) {
        for (int i = 0; i < times; ++i) {
            game.textChanged(game.slot(0).text);
            game.Timer7();
        }
    }
};

const QString kDigits = QStringLiteral("1234567890");
const QString kLetters = QStringLiteral("qwertyuioplkjhgfdsazxcvbnmQWERTYUIOPLKJHGFDSAZXCVBNM");

} // namespace

class GameTest : public QObject {
    Q_OBJECT
  private slots:
    // --- item sets ---
    void cutsItemsFromTheSource_data();
    void cutsItemsFromTheSource();
    void colourKeepsRedWarmAndRoundsHalvesToEven();
    void f2RightAfterOpeningStartsTheFirstSet();
    void choosingASetChecksOnlyThatEntry();
    void unreadableWordListKeepsTheSetInPlay();

    // --- the engine ---
    void spawnsCentredUnderTheSprite();
    void onlySlotsInUseFallAndComeBack();
    void spriteSettlesWithinAStepRightOfItsTarget();
    void itemsPushApartUntilAGapLies_data();
    void itemsPushApartUntilAGapLies();
    void pushedItemsStayWithinTheFieldEdges();
    void itemsFallDoubleUntilClearOfTheSprite();
    void missDropsTheSpriteOnlyWhenSet_data();
    void missDropsTheSpriteOnlyWhenSet();
    void twentyThirdDropEndsTheGame();
    void timedGameEndsOnItsLastSecond();
    void aGameLeftForANewOneIsARunOfItsOwn();
    void speedUpAtFifthAndFifteenthHit_data();
    void speedUpAtFifthAndFifteenthHit();
    void oneNotificationPerInput();
    void runStatesFollowF3_data();
    void runStatesFollowF3();
    void aStillGameLeavesTimer7NothingToDo();
    void spriteStepsKeepRealTime_data();
    void spriteStepsKeepRealTime();

    // --- hits, scoring, results ---
    void judgesEveryChangeOfTheInput_data();
    void judgesEveryChangeOfTheInput();
    void wordSetsWaitForTwoMoreCharacters();
    void typingWhilePausedStaysInTheBox();
    void timedResultGrades_data();
    void timedResultGrades();
    void spriteDownResultCountsWrongInputs();
    void resultsNeverDivideByZero();
    void hitCountStopsAtSixteenBits();

    // --- settings ---
    void readsSettingsLines_data();
    void readsSettingsLines();
    void writesTheDocumentedRecord();
    void stepButtonsKeepTheirFloors_data();
    void stepButtonsKeepTheirFloors();
    void saveRestartsScoreClockAndSpeed();
    void settingsOnlyPauseARunningGame();

    // --- the window ---
    void windowPlaysFromTheKeyboard();
    void aClickOnTheSpriteOrAnItemPauses_data();
    void aClickOnTheSpriteOrAnItemPauses();
    void windowSavesSettingsAndReadsThemBack();
    void settingsShortcutLeavesTheGameAlone();
    void windowReportsAMissingWordList();
    void theCaretKeepsStillWhileTheGameIsInView();
    void windowShowsTheResultInAPrompt();
    void finishedGameReachesTheHistory_data();
    void finishedGameReachesTheHistory();
    void theScreenShowsWhatTheFieldPaints();

  private:
    AppContext context() {
        return AppContext{ProgramFolder(m_dir.path()), &m_platform, &m_sound, nullptr, nullptr};
    }
    QString gameSet() const { return m_dir.filePath(QStringLiteral("GameSet.txt")); }
    template <typename T> static T* child(QWidget& window, const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }

    QTemporaryDir m_dir;
    FakePlatform m_platform;
    FakeSound m_sound;
};

// --- item sets ---

void GameTest::cutsItemsFromTheSource_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("n");
    QTest::addColumn<double>("u");
    QTest::addColumn<QString>("item");
    QTest::newRow("first digit") << kDigits << 1 << 0.0 << "1";
    QTest::newRow("last digit") << kDigits << 1 << 0.9999 << "0";
    QTest::newRow("pair 1") << "abcdefgh" << 2 << 0.1 << "abcd";
    QTest::newRow("pair 2") << "abcdefgh" << 2 << 0.3 << "cdef";
    QTest::newRow("pair 3") << "abcdefgh" << 2 << 0.6 << "efgh";
    QTest::newRow("tail") << "abcdefgh" << 2 << 0.9 << "gh";
    QTest::newRow("n 3 from a multiple of 3") << "abcdefghij" << 3 << 0.5 << "defgh";
    QTest::newRow("short list") << "abc" << 4 << 0.5 << "abc";
    QTest::newRow("empty list") << "" << 2 << 0.5 << "";
}

void GameTest::cutsItemsFromTheSource() {
    QFETCH(QString, source);
    QFETCH(int, n);
    QFETCH(double, u);
    QFETCH(QString, item);
    QCOMPARE(GameItemSets::cutItem(source, n, u), item);
}

void GameTest::colourKeepsRedWarmAndRoundsHalvesToEven() {
    QCOMPARE(GameItemSets::colour(0, 0.5, 0.5, 255), (ItemColour{170, 128, 128}));
    QCOMPARE(GameItemSets::colour(0.9999, 0.9999, 0, 255), (ItemColour{255, 255, 0}));
    QCOMPARE(GameItemSets::colour(0.5, 0.9999, 0, 250), (ItemColour{255, 250, 0}));
    // 10.5 rounds to 10, 11.5 to 12.
    QCOMPARE(GameItemSets::colour(0, 10.5 / 255, 11.5 / 255, 255).green, 10);
    QCOMPARE(GameItemSets::colour(0, 10.5 / 255, 11.5 / 255, 255).blue, 12);
}

void GameTest::f2RightAfterOpeningStartsTheFirstSet() {
    Game g;
    QCOMPARE(g.game.caption(), QStringLiteral("Typing Zephkin"));
    QCOMPARE(g.game.checkedSet(), -1);
    g.game.keyUp(KeyCode::F2);
    QCOMPARE(g.game.caption(),
             QStringLiteral("Typing game: Key exercises\uFF08Case insensitive letters\uFF09"));
    QCOMPARE(g.game.checkedSet(), 0);
    QCOMPARE(g.game.runState(), QStringLiteral("zt"));
    QVERIFY(g.game.falling() && g.game.clockRunning());
    QVERIFY(!GameWindow::selectShown(g.game));
    // A second F2 restarts the same set.
    g.game.chooseSet(2);
    g.game.keyUp(KeyCode::F2);
    QCOMPARE(g.game.checkedSet(), 2);
    QVERIFY(kDigits.contains(g.game.slot(0).text));
}

void GameTest::choosingASetChecksOnlyThatEntry() {
    Game g;
    g.start(6);
    QCOMPARE(g.game.checkedSet(), 6);
    QCOMPARE(g.game.itemLength(), 4);
    g.start(1);
    QCOMPARE(g.game.checkedSet(), 1);
    QCOMPARE(g.game.caption(),
             QStringLiteral("Typing game: Letter exercise\uFF08Case-sensitive\uFF09"));
    QCOMPARE(g.game.itemSource(), kLetters);
}

void GameTest::unreadableWordListKeepsTheSetInPlay() {
    Game g;
    g.start(2);
    g.hit(3);
    g.game.chooseSet(5); // no game-cz3.txt
    QCOMPARE(g.messages.size(), 1);
    QVERIFY(g.messages[0].contains(u"game-cz3.txt"));
    QCOMPARE(g.game.checkedSet(), 2);
    QCOMPARE(g.game.itemSource(), kDigits);
    QCOMPARE(g.game.hitCount(), 3); // the game goes on
    g.wordLists[QStringLiteral("game-cz3.txt")] = QString();
    g.game.chooseSet(5);
    QCOMPARE(g.messages.size(), 2);
    QCOMPARE(g.game.checkedSet(), 2);
}

// --- the engine ---

void GameTest::spawnsCentredUnderTheSprite() {
    Game g;
    g.scriptItems(kDigits, QStringLiteral("7"));
    g.game.chooseSet(2);
    const ItemSlot& s = g.game.slot(0);
    QCOMPARE(s.text, QStringLiteral("7"));
    QCOMPARE(s.left, 5378 + (1125 - kCharWidth) / 2.0);
    QCOMPARE(s.top, 570.0);
    QCOMPARE(s.colour.red, 170);
}

void GameTest::onlySlotsInUseFallAndComeBack() {
    Game g(QStringLiteral("0,0,1,1,1,60,1,1"));
    g.start(2);
    QVERIFY(!g.game.slot(0).text.isEmpty());
    const double topsBefore[] = {g.game.slot(1).top, g.game.slot(2).top, g.game.slot(3).top};
    for (int i = 0; i < 5; ++i)
        g.game.Timer1();
    QCOMPARE(g.game.slot(0).top, 570.0 + 5 * 120);
    for (int i = 1; i < 4; ++i) {
        QCOMPARE(g.game.slot(i).text, QString());
        QCOMPARE(g.game.slot(i).top, topsBefore[i - 1]);
    }
    g.hit(1);
    QVERIFY(g.game.isLive(0));
    QCOMPARE(g.game.slot(1).text, QString());
}

void GameTest::spriteSettlesWithinAStepRightOfItsTarget() {
    Game g;
    g.game.chooseSet(0);
    g.game.setRandomSource([] { return (5350 - 820 + 0.5) / 9161; });
    g.game.Timer2();
    QCOMPARE(g.game.spriteTarget(), 5350);
    QCOMPARE(g.game.spriteLeft(), 5378);
    g.game.Timer7();
    QCOMPARE(g.game.spriteLeft(), 5378);
    QVERIFY(!g.game.spriteFacesLeft()); // Image1
    g.game.setRandomSource([] { return 0.0; });
    g.game.Timer2();
    g.game.Timer7();
    QCOMPARE(g.game.spriteLeft(), 5328);
    QVERIFY(g.game.spriteFacesLeft()); // Image2
}

void GameTest::itemsPushApartUntilAGapLies_data() {
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("ticks"); // until the lefts lie a gap apart
    QTest::newRow("letters, gap 333") << 0 << 2;
    QTest::newRow("words n 2, gap 1555") << 4 << 7;
    QTest::newRow("words n 4, gap 2100") << 6 << 10;
}

void GameTest::itemsPushApartUntilAGapLies() {
    QFETCH(int, set);
    QFETCH(int, ticks);
    Game g(QStringLiteral("0,0,1,1,1,60,2,1"));
    g.game.setMeasure([](const QString&) { return 400; }); // every item equally wide
    g.game.chooseSet(set);
    const double start = g.game.slot(0).left;
    QCOMPARE(g.game.slot(1).left, start);
    for (int i = 0; i < ticks + 3; ++i)
        g.game.Timer7();
    QCOMPARE(g.game.slot(0).left, start - 116 * ticks);
    QCOMPARE(g.game.slot(1).left, start + 116 * ticks);
}

void GameTest::pushedItemsStayWithinTheFieldEdges() {
    Game g;
    g.game.setMeasure([](const QString&) { return 9000; });
    g.game.chooseSet(6); // gap 2100: four wide items cannot all keep it
    for (int i = 0; i < 40; ++i)
        g.game.Timer7();
    QList<double> lefts;
    for (int i = 0; i < 4; ++i)
        lefts << g.game.slot(i).left;
    std::sort(lefts.begin(), lefts.end());
    QCOMPARE(lefts.first(), 0.0);
    // The right edge is held at the field's left in the window plus its width.
    QCOMPARE(lefts.last() + 9000, 72.0 + 11800);
}

void GameTest::itemsFallDoubleUntilClearOfTheSprite() {
    Game g(QStringLiteral("0,0,1,1,1,60,1,1"));
    g.start(0);
    for (int i = 0; i < 10; ++i)
        g.game.Timer1();
    QCOMPARE(g.game.slot(0).top, 570.0 + 10 * 120); // 1770, past sprite.top + 2 x 855
    g.game.Timer1();
    QCOMPARE(g.game.slot(0).top, 1830.0);
    QCOMPARE(g.game.shownSpeed(), QStringLiteral("60"));
}

void GameTest::missDropsTheSpriteOnlyWhenSet_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("drop");
    QTest::newRow("sprite-down, drop on miss") << "90,0,1,1,1,60,1,1" << 300;
    QTest::newRow("sprite-down, no drop on miss") << "90,0,0,1,1,60,1,1" << 0;
    QTest::newRow("time limit") << "90,0,1,1,1,60,1,2" << 0;
}

void GameTest::missDropsTheSpriteOnlyWhenSet() {
    QFETCH(QString, settings);
    Game g(settings);
    g.start(0);
    int ticks = 0;
    while (g.game.isLive(0) && ticks < 1000) {
        g.game.Timer1();
        ++ticks;
    }
    QCOMPARE(g.game.slot(0).text, QStringLiteral("end!!!"));
    QCOMPARE(g.game.slot(0).left, -1110.0);
    QCOMPARE(g.game.spriteStep(), 500);
    QFETCH(int, drop);
    QCOMPARE(g.game.spriteTop(), drop);
    g.game.Timer7();
    QVERIFY(g.game.isLive(0));
}

void GameTest::twentyThirdDropEndsTheGame() {
    Game g(QStringLiteral("0,0,1,1,1,3000,1,1"));
    g.start(0);
    int misses = 0;
    while (g.game.runState() == u"zt" && misses < 30) {
        g.game.Timer1();
        if (!g.game.isLive(0)) {
            ++misses;
            if (misses == 22) {
                QCOMPARE(g.game.spriteTop(), 6600);
                QCOMPARE(g.game.runState(), QStringLiteral("zt"));
            }
            g.game.Timer7();
        }
    }
    QCOMPARE(misses, 23);
    QCOMPARE(g.game.runState(), QStringLiteral("00"));
    QVERIFY(g.game.gameOverVisible() && GameWindow::selectShown(g.game));
    QVERIFY(!g.game.falling() && !g.game.clockRunning() && !g.game.pauseEnabled());
    QCOMPARE(g.messages.size(), 1);
    QVERIFY(g.messages[0].startsWith(u"\nYour typing speed is:"));
}

void GameTest::timedGameEndsOnItsLastSecond() {
    Game g(QStringLiteral("60,0,1,1,1,60,4,2"));
    g.start(2);
    QCOMPARE(g.game.clockValue(), QStringLiteral("60"));
    for (int i = 0; i < 59; ++i)
        g.game.Timer2();
    QCOMPARE(g.game.clockValue(), QStringLiteral("1"));
    QVERIFY(g.messages.isEmpty());
    g.game.Timer2();
    QCOMPARE(g.messages.size(), 1);
    QVERIFY(!g.game.falling() && !g.game.clockRunning());
    QCOMPARE(g.game.settings().timeLimit, 200);
    QCOMPARE(g.game.score(), QStringLiteral("0"));
    QCOMPARE(g.runs.size(), 1);
    // The game is over: F3 neither pauses nor takes it up again, so no second, empty game
    // ends after it.
    QCOMPARE(g.game.runState(), QStringLiteral("00"));
    g.game.keyUp(KeyCode::F3);
    g.game.keyUp(KeyCode::F3);
    QCOMPARE(g.game.runState(), QStringLiteral("00"));
    QVERIFY(!g.game.clockRunning());
    QCOMPARE(g.messages.size(), 1);
    QCOMPARE(g.runs.size(), 1);
}

// The history gets each game on its own, with the figures its result would give: a game left
// with F2 is not added to the next one, and a new game with no play yet is no run.
void GameTest::aGameLeftForANewOneIsARunOfItsOwn() {
    Game g(QStringLiteral("60,0,1,1,1,60,4,2"));
    g.start(2);
    for (int i = 0; i < 5; ++i)
        g.game.Timer2();
    g.game.textChanged(g.game.slot(0).text); // a hit
    g.game.textChanged(QStringLiteral("#")); // a wrong input
    g.game.keyUp(KeyCode::F2);
    QCOMPARE(g.runs.size(), 1);
    const RunTotals& left = g.runs[0];
    QCOMPARE(left.activeSeconds, 5);
    QCOMPARE(left.keystrokes, 2);
    QCOMPARE(left.wrongKeystrokes, 1);
    QCOMPARE(left.speed, 12); // one hit in five seconds
    QCOMPARE(left.accuracy, 50);
    QCOMPARE(g.game.totals().keystrokes, 0);
    g.game.keyUp(KeyCode::F2);
    QCOMPARE(g.runs.size(), 1);
}

void GameTest::speedUpAtFifthAndFifteenthHit_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QList<int>>("speeds"); // after 4, 5, 14 and 15 hits
    QTest::newRow("speed-up on") << "0,0,1,1,1,60,4,1" << QList<int>{60, 61, 61, 62};
    QTest::newRow("speed-up off") << "0,0,1,1,0,60,4,1" << QList<int>{60, 60, 60, 60};
    QTest::newRow("at the top already")
        << "0,0,1,1,1,7410,4,1" << QList<int>{7410, 7410, 7410, 7410};
}

void GameTest::speedUpAtFifthAndFifteenthHit() {
    QFETCH(QString, settings);
    QFETCH(QList<int>, speeds);
    Game g(settings);
    g.start(0);
    QList<int> seen;
    for (int hits : {4, 1, 9, 1}) {
        g.hit(hits);
        g.game.Timer1();
        seen << g.game.shownSpeed().toInt();
    }
    QCOMPARE(seen, speeds);
}

void GameTest::oneNotificationPerInput() {
    Game g;
    const auto count = [&g](const std::function<void()>& input) {
        const int before = g.notifications;
        input();
        return g.notifications - before;
    };
    QCOMPARE(count([&] { g.game.keyUp(KeyCode::F2); }), 1); // a set, then a new game in it
    QCOMPARE(count([&] { g.game.Timer7(); }), 1);
    QCOMPARE(count([&] { g.game.textChanged(g.game.slot(0).text); }), 1); // hit and sound
    QCOMPARE(count([&] { g.game.keyUp(KeyCode::F3); }), 1);
    QCOMPARE(count([&] { g.game.keyUp(KeyCode::F3); }), 1);
    QCOMPARE(count([&] { g.game.keyUp(KeyCode::Enter); }), 0); // the box was empty
}

void GameTest::runStatesFollowF3_data() {
    QTest::addColumn<QString>("before"); // how the game was left
    QTest::addColumn<QString>("after");  // runState after F3
    QTest::addColumn<bool>("falling");
    QTest::newRow("running pauses") << "running"
                                    << "jx" << false;
    QTest::newRow("paused continues") << "paused"
                                      << "zt" << true;
    QTest::newRow("over stays over") << "over"
                                     << "00" << false;
    QTest::newRow("not begun") << "idle"
                               << "" << false;
}

void GameTest::runStatesFollowF3() {
    QFETCH(QString, before);
    Game g(QStringLiteral("0,0,1,1,1,7000,1,1"));
    if (before != u"idle")
        g.start(0);
    if (before == u"paused")
        g.game.keyUp(KeyCode::F3);
    while (before == u"over" && g.game.runState() == u"zt") {
        g.game.Timer1();
        g.game.Timer7();
    }
    g.game.keyUp(KeyCode::F3);
    QFETCH(QString, after);
    QCOMPARE(g.game.runState(), after);
    QFETCH(bool, falling);
    QCOMPARE(g.game.falling(), falling);
    QCOMPARE(GameWindow::pauseInFront(g.game), g.game.runState() != u"jx");
}

// A game whose items stand still (paused or over) needs Timer7 only until the sprite stands at
// its target: the tick that moves nothing says so, and nothing would have moved after it. A
// continued game, or a slot let back in, has work for it again.
void GameTest::aStillGameLeavesTimer7NothingToDo() {
    Game g(QStringLiteral("0,0,1,1,1,60,2,1"));
    g.scriptItems(kLetters, QStringLiteral("abcd"));
    g.start(0);
    g.game.textChanged(QStringLiteral("b")); // slot 1 is shot down ...
    g.game.setItemCount(1);                  // ... and may not come back for now
    g.game.keyUp(KeyCode::F3);
    int ticks = 0;
    while (g.game.spriteWalking() && ticks < 1000) {
        g.game.Timer7();
        ++ticks;
    }
    QVERIFY(!g.game.spriteWalking());
    QVERIFY(ticks > 1);
    const int left = g.game.spriteLeft();
    const double item = g.game.slot(0).left;
    for (int i = 0; i < 100; ++i)
        g.game.Timer7();
    QCOMPARE(g.game.spriteLeft(), left);
    QCOMPARE(g.game.slot(0).left, item);
    QCOMPARE(g.game.slot(1).text, TypingGame::kParked);

    g.game.setItemCount(2);
    QVERIFY(g.game.spriteWalking());
    g.game.Timer7();
    QVERIFY(g.game.isLive(1));
    while (g.game.spriteWalking() && ticks < 2000) {
        g.game.Timer7();
        ++ticks;
    }
    QVERIFY(!g.game.spriteWalking());
    g.game.keyUp(KeyCode::F3);
    QVERIFY(g.game.spriteWalking() && g.game.falling());
}

// The window's frames take the sprite's 16 ms steps by the clock: as many as have come due,
// one at least for a frame of Timer7, and after a stall no more than six.
void GameTest::spriteStepsKeepRealTime_data() {
    QTest::addColumn<QList<int>>("frames"); // milliseconds; a negative one is a fall tick's
    QTest::addColumn<QList<int>>("steps");
    QList<int> steady; // a frame every 33 ms for a second: 61 steps, as 990 ms hold
    for (int t = 33; t <= 990; t += 33)
        steady << t;
    QTest::newRow("30 frames a second") << steady << (QList<int>(15, 2) << 3 << QList<int>(14, 2));
    QTest::newRow("a stall lets the rest go") << QList<int>{33, 1000, 1033} << QList<int>{2, 6, 2};
    QTest::newRow("early frames") << QList<int>{5, 10, 20, 40, -48} << QList<int>{1, 1, 1, 1, 0};
}

void GameTest::spriteStepsKeepRealTime() {
    QFETCH(QList<int>, frames);
    QFETCH(QList<int>, steps);
    StepClock clock(16, 6);
    clock.restart(0);
    QList<int> taken;
    for (int t : frames)
        taken << clock.due(std::abs(t), t < 0 ? 0 : 1);
    QCOMPARE(taken, steps);
}

// --- hits, scoring, results ---

void GameTest::judgesEveryChangeOfTheInput_data() {
    QTest::addColumn<int>("set");
    QTest::addColumn<QString>("items"); // slots 0 to 3
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("parked"); // slots shot down, as digits
    QTest::addColumn<QString>("wrongLog");
    QTest::newRow("digit hit") << 2 << "3737"
                               << "7"
                               << "1"
                               << "";
    QTest::newRow("digit wrong") << 2 << "3737"
                                 << "5"
                                 << ""
                                 << "5 ";
    QTest::newRow("any case in set 0") << 0 << "Qwer"
                                       << "q"
                                       << "0"
                                       << "";
    QTest::newRow("exact case in set 1") << 1 << "Qwer"
                                         << "q"
                                         << ""
                                         << "q ";
    QTest::newRow("lowest slot first") << 0 << "baca"
                                       << "a"
                                       << "1"
                                       << "";
    QTest::newRow("newest wrong first") << 2 << "1111"
                                        << "23"
                                        << ""
                                        << "3 2 ";
}

void GameTest::judgesEveryChangeOfTheInput() {
    QFETCH(int, set);
    QFETCH(QString, items);
    QFETCH(QString, typed);
    QFETCH(QString, parked);
    Game g;
    g.scriptItems(set == 2 ? kDigits : kLetters, items);
    g.start(set);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(g.game.slot(i).text, QString(items[i]));
    g.type(typed);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(g.game.slot(i).text == u"end!!!", parked.contains(QChar(u'0' + i)));
    QCOMPARE(g.game.hitCount(), int(parked.size()));
    QCOMPARE(g.game.score(), QString::number(parked.size()));
    QFETCH(QString, wrongLog);
    QCOMPARE(g.game.wrongLog(), wrongLog);
    QCOMPARE(g.game.inputText(), QString());
    QCOMPARE(g.sounds.last(), parked.isEmpty() ? PracticeSound::Error : PracticeSound::Keystroke);
}

void GameTest::wordSetsWaitForTwoMoreCharacters() {
    Game g(QStringLiteral("0,0,1,1,1,60,1,1"));
    g.scriptItems(QStringLiteral("abcdefgh"), QString());
    g.script = {0, 0, 0, 0.1}; // "abcd"
    g.start(4);
    QCOMPARE(g.game.slot(0).text, QStringLiteral("abcd"));
    g.type(QStringLiteral("abx"));
    QCOMPARE(g.game.inputText(), QStringLiteral("abx"));
    QCOMPARE(g.game.wrongLog(), QString());
    g.type(QStringLiteral("y"));
    QCOMPARE(g.game.wrongLog(), QStringLiteral("abxy "));
    g.type(QStringLiteral("abcd"));
    QCOMPARE(g.game.hitCount(), 1);
    // A parked slot reads "end!!!", which is nothing to shoot at.
    QCOMPARE(g.game.slot(0).text, QStringLiteral("end!!!"));
    g.game.chooseSet(6);
    g.game.Timer7();
    g.game.textChanged(g.game.slot(0).text);
    g.type(QStringLiteral("end!!!"));
    QCOMPARE(g.game.hitCount(), 1);
    QVERIFY(g.game.wrongLog().startsWith(u"end!!! "));
}

void GameTest::typingWhilePausedStaysInTheBox() {
    Game g;
    g.start(0);
    g.game.keyUp(KeyCode::F3);
    g.game.Timer7();
    g.type(QStringLiteral("ab"));
    QCOMPARE(g.game.inputText(), QStringLiteral("ab"));
    QCOMPARE(g.game.wrongLog(), QString());
    g.game.keyUp(KeyCode::Enter);
    QCOMPARE(g.game.inputText(), QString());
}

void GameTest::timedResultGrades_data() {
    QTest::addColumn<int>("hits");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("pauseEnabled");
    QTest::newRow("59") << 59 << " 59Character / min,You have to continue to work hard!" << true;
    QTest::newRow("80") << 80 << " 80Character / min,Good grades!" << true;
    QTest::newRow("100") << 100 << " 100Character / min,You type very fast!" << true;
    QTest::newRow("160") << 160 << " 160Character / min,You're typing too well. It's great!"
                         << false;
}

void GameTest::timedResultGrades() {
    QFETCH(int, hits);
    Game g(QStringLiteral("60,0,1,1,0,60,4,2"));
    g.start(0);
    g.hit(hits);
    for (int i = 0; i < 60; ++i)
        g.game.Timer2();
    QFETCH(QString, result);
    QCOMPARE(g.messages, QStringList{"\nThe typing time has arrived! Your typing speed is:" +
                                     result + "\n\n          "});
    QFETCH(bool, pauseEnabled);
    QCOMPARE(g.game.pauseEnabled(), pauseEnabled);
}

void GameTest::spriteDownResultCountsWrongInputs() {
    Game g(QStringLiteral("0,1,1,1,1,60,4,1"));
    g.scriptItems(kDigits, QStringLiteral("1111"));
    g.start(2);
    g.game.Timer2();
    g.game.Timer2();
    g.hit(4);
    for (int i = 0; i < 3; ++i)
        g.type(QStringLiteral("5"));
    QCOMPARE(g.game.spriteTop(), 900); // a wrong input drops the sprite when set
    // Missed items drop the sprite the rest of the way; the clock stays at 2 seconds.
    for (int tick = 0; tick < 10000 && g.messages.isEmpty(); ++tick) {
        g.game.Timer1();
        g.game.Timer7(); // the missed item comes back
    }
    QCOMPARE(g.messages.size(), 1);
    // The error figure stands after two blanks; the commas are full-width (EF BC 8C).
    QCOMPARE(g.messages[0].toUtf8(),
             QByteArray("\nYour typing speed is: 120 Character / min\xEF\xBC\x8C"
                        "You type a total of 2 seconds. Type the correct 4 characters\xEF\xBC\x8C"
                        "Typing error  6 characters\n\n          "));
}

void GameTest::resultsNeverDivideByZero() {
    Game timed(QStringLiteral("0,0,1,1,1,60,4,2"));
    timed.start(0);
    timed.hit(3);
    timed.game.Timer2();
    QCOMPARE(timed.messages.size(), 1);
    QVERIFY(timed.messages[0].contains(u"speed is: 0Character"));
    QCOMPARE(timed.game.clockValue(), QStringLiteral("0"));

    Game down(QStringLiteral("0,1,1,1,1,60,4,1"));
    down.start(0);
    for (int i = 0; i < 23; ++i)
        down.type(QStringLiteral("1"));
    down.game.Timer1();
    QCOMPARE(down.messages.size(), 1);
    QVERIFY(down.messages[0].contains(u"speed is: 0 Character"));
}

void GameTest::hitCountStopsAtSixteenBits() {
    Game g(QStringLiteral("0,0,1,1,0,60,1,1"));
    g.start(2);
    g.hit(32768);
    QCOMPARE(g.game.hitCount(), 32767);
    QCOMPARE(g.game.score(), QStringLiteral("32767"));
}

// --- settings ---

void GameTest::readsSettingsLines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("read"); // as written back
    QTest::newRow("documented") << "200,1,1,1,1,80,3,1\r\n"
                                << "200,1,1,1,1,80,3,1";
    QTest::newRow("time limit mode") << "60,0,1,1,1,60,4,2"
                                     << "60,0,1,1,1,60,4,2";
    QTest::newRow("only the first line") << "90,1\r\n30,0,0,0,0,99,1,2\r\n"
                                         << "90,1,1,1,1,60,4,1";
    QTest::newRow("missing or empty") << ""
                                      << "0,0,1,1,1,60,4,1";
    QTest::newRow("garbage") << "\x01zz;;"
                             << "0,0,1,1,1,60,4,1";
    QTest::newRow("non-numbers keep their values") << "x,1,?,0,,y,9,z"
                                                   << "0,1,1,0,1,60,4,1";
    QTest::newRow("blanks around numbers") << " 75 , 1 ,0,0,0, 45 ,2, 2"
                                           << "75,1,0,0,0,45,2,2";
    QTest::newRow("any other end mode is timed") << "0,0,1,1,1,60,4,7"
                                                 << "0,0,1,1,1,60,4,2";
    QTest::newRow("huge values clamped") << "99999999999,5,1,1,1,99999999,4,1"
                                         << "86400,1,1,1,1,7410,4,1";
    QTest::newRow("no negative time or speed") << "-5,0,1,1,1,-60,4,1"
                                               << "0,0,1,1,1,1,4,1";
}

void GameTest::readsSettingsLines() {
    QFETCH(QString, line);
    GameSettings settings;
    settings.applyLine(line);
    QFETCH(QString, read);
    QCOMPARE(settings.line(), read);
}

void GameTest::writesTheDocumentedRecord() {
    Game g;
    g.game.setItemCount(3);
    g.game.setDropOnWrong(true);
    for (int step : {50, 50, 50, 50, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1})
        g.game.stepTimeLimit(step);
    g.game.stepStartSpeed(10);
    g.game.stepStartSpeed(10);
    QCOMPARE(g.game.settingsLine(), QStringLiteral("210,1,1,1,1,80,3,1"));
    g.game.stepTimeLimit(-1);
    QCOMPARE(g.game.settingsLine().section(u',', 0, 0), QStringLiteral("209"));
}

void GameTest::stepButtonsKeepTheirFloors_data() {
    QTest::addColumn<bool>("time");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("to");
    QTest::newRow("- on 61") << true << 61 << -1 << 60;
    QTest::newRow("- on 60") << true << 60 << -1 << 60;
    QTest::newRow("-50 on 150") << true << 150 << -50 << 60;
    QTest::newRow("-50 on 160") << true << 160 << -50 << 110;
    QTest::newRow("+ on 0") << true << 0 << 1 << 1;
    QTest::newRow("+50 at the top") << true << 86390 << 50 << 86400;
    QTest::newRow("-10 on 45") << false << 45 << -10 << 30;
    QTest::newRow("- on 31") << false << 31 << -1 << 30;
    QTest::newRow("-10 on 50") << false << 50 << -10 << 40;
    QTest::newRow("+10 at the top") << false << 7405 << 10 << 7410;
}

void GameTest::stepButtonsKeepTheirFloors() {
    QFETCH(bool, time);
    QFETCH(int, from);
    QFETCH(int, step);
    Game g(time ? QStringLiteral("%1").arg(from) : QStringLiteral("0,0,1,1,1,%1").arg(from));
    time ? g.game.stepTimeLimit(step) : g.game.stepStartSpeed(step);
    QFETCH(int, to);
    QCOMPARE(time ? g.game.settings().timeLimit : g.game.settings().startSpeed, to);
}

void GameTest::saveRestartsScoreClockAndSpeed() {
    Game g(QStringLiteral("0,0,1,1,1,60,4,1"));
    g.start(0);
    g.hit(3);
    g.game.Timer2();
    g.game.openSettings();
    QCOMPARE(g.game.runState(), QStringLiteral("jx"));
    g.game.stepStartSpeed(10);
    g.game.saveSettings();
    QCOMPARE(g.game.score(), QStringLiteral("0"));
    QCOMPARE(g.game.hitCount(), 3);
    QCOMPARE(g.game.clockValue(), QStringLiteral("0"));
    g.game.keyUp(KeyCode::F3);
    QCOMPARE(g.game.fallSpeed(), 70);
    // What was changed without a save stays for this session.
    g.game.openSettings();
    g.game.stepTimeLimit(50);
    QCOMPARE(g.game.settings().timeLimit, 50);
}

void GameTest::settingsOnlyPauseARunningGame() {
    Game g(QStringLiteral("0,0,1,1,1,7000,1,1"));
    g.game.openSettings();
    QCOMPARE(g.game.runState(), QString());
    g.start(0);
    while (g.game.runState() == u"zt") {
        g.game.Timer1();
        g.game.Timer7();
    }
    g.game.openSettings();
    QCOMPARE(g.game.runState(), QStringLiteral("00")); // F3 cannot revive a finished game
}

// --- the window ---

void GameTest::windowPlaysFromTheKeyboard() {
    writeBytes(gameSet(), "0,0,1,1,1,60,1,1\r\n");
    GameWindow window(context());
    window.show();
    auto* input = child<QLineEdit>(window, "Text1");
    QVERIFY(!window.timers().isActive("Timer1"));
    QTest::keyClick(input, Qt::Key_F2);
    QVERIFY(window.windowTitle().startsWith(u"Typing game: "));
    QVERIFY(window.timers().isActive("Timer1") && window.timers().isActive("Timer2"));
    QVERIFY(child<QPushButton>(window, "Command1")->isHidden());
    window.timers().fire("Timer7");

    const QString item = window.game().slot(0).text;
    QTest::keyClicks(input, item);
    QCOMPARE(child<QLabel>(window, "Label4")->text(), QStringLiteral("1"));
    QCOMPARE(input->text(), QString());
    QCOMPARE(m_sound.played.size(), 1);
    QTest::keyClicks(input, QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>(window, "Text2")->text(), QStringLiteral("1 "));

    QTest::keyClick(input, Qt::Key_F3);
    QVERIFY(!window.timers().isActive("Timer1"));
    QVERIFY(child<QPushButton>(window, "Command7")->isVisible());
    QVERIFY(child<QPushButton>(window, "Command1")->isVisible());
    // Paused, the sprite walks to its place and the frames stop.
    for (int i = 0; i < 1000 && window.timers().isActive("Timer7"); ++i)
        window.timers().fire("Timer7");
    QVERIFY(!window.timers().isActive("Timer7"));
    QTest::keyClick(input, Qt::Key_F3);
    QVERIFY(window.timers().isActive("Timer1") && window.timers().isActive("Timer7"));
    QVERIFY(child<QPushButton>(window, "Command6")->isVisible());
}

void GameTest::aClickOnTheSpriteOrAnItemPauses_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("runState");
    QTest::newRow("sprite") << "sprite"
                            << "jx";
    QTest::newRow("item") << "item"
                          << "jx";
    QTest::newRow("sky") << "sky"
                         << "zt";
}

void GameTest::aClickOnTheSpriteOrAnItemPauses() {
    writeBytes(gameSet(), "0,0,1,1,1,60,1,1\r\n");
    GameWindow window(context());
    window.show();
    QTest::keyClick(child<QLineEdit>(window, "Text1"), Qt::Key_F2);
    window.timers().fire("Timer7");
    const TypingGame& game = window.game();
    const auto px = [](double twips) { return int(twips / 15) + 5; };
    QFETCH(QString, target);
    const QPoint at = target == u"sprite" ? QPoint(px(game.spriteLeft()), px(game.spriteTop()))
                      // the item's foot, below the sprite it fell from
                      : target == u"item" ? QPoint(px(game.slot(0).left), px(game.slot(0).top) + 25)
                                          : QPoint(5, 480);
    QTest::mouseClick(child<QWidget>(window, "Picture2"), Qt::LeftButton, {}, at);
    QTEST(game.runState(), "runState");
}

void GameTest::windowSavesSettingsAndReadsThemBack() {
    QFile::remove(gameSet());
    {
        GameWindow window(context());
        window.show();
        child<QPushButton>(window, "Command9")->click();
        QVERIFY(child<QWidget>(window, "Picture3")->isVisible());
        QVERIFY(child<QWidget>(window, "Frame7")->isVisible());
        child<QRadioButton>(window, "Option2")->click();
        QVERIFY(child<QWidget>(window, "Frame8")->isVisible());
        for (int i = 0; i < 4; ++i)
            child<QPushButton>(window, "Command10")->click(); // +50
        child<QRadioButton>(window, "Option5")->click();      // Three
        child<QPushButton>(window, "Command13")->click();     // +10
        child<QPushButton>(window, "Command14")->click();     // Save settings
        QVERIFY(!child<QWidget>(window, "Picture3")->isVisible());
        QCOMPARE(readAll(gameSet()), QByteArray("200,0,1,1,1,70,3,2\r\n"));
        // Cancel keeps a change for this session only.
        child<QPushButton>(window, "Command9")->click();
        child<QPushButton>(window, "Command10")->click();
        child<QPushButton>(window, "Command15")->click();
        QCOMPARE(child<QLabel>(window, "Label5")->text(), QStringLiteral("250"));
    }
    QCOMPARE(readAll(gameSet()), QByteArray("200,0,1,1,1,70,3,2\r\n"));
    GameWindow again(context());
    QCOMPARE(child<QLabel>(again, "Label5")->text(), QStringLiteral("200"));
    QCOMPARE(child<QLabel>(again, "Label11")->text(), QStringLiteral("70"));
    QVERIFY(child<QRadioButton>(again, "Option5")->isChecked());
    QVERIFY(child<QRadioButton>(again, "Option2")->isChecked());
    QCOMPARE(child<QLabel>(again, "Label8")->text(), QStringLiteral("200"));
}

// Alt+S opens the settings panel with the input box keeping the focus, and types nothing;
// the item choice names Alt+L.
void GameTest::settingsShortcutLeavesTheGameAlone() {
    writeBytes(gameSet(), "0,0,1,1,1,60,1,1\r\n");
    GameWindow window(context());
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* input = child<QLineEdit>(window, "Text1");
    input->setFocus();
    QTest::keyPress(input, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyClick(input, Qt::Key_S, Qt::AltModifier);
    QTest::keyRelease(input, Qt::Key_Alt, Qt::NoModifier);
    QVERIFY(child<QWidget>(window, "Picture3")->isVisible());
    QCOMPARE(QApplication::focusWidget(), input);
    QCOMPARE(input->text(), QString());
    QCOMPARE(child<QLineEdit>(window, "Text2")->text(), QString());
    QVERIFY(
        child<QWidget>(window, "Command9")
            ->toolTip()
            .contains(QKeySequence(QStringLiteral("Alt+S")).toString(QKeySequence::NativeText)));
    QVERIFY(
        child<QWidget>(window, "Command1")
            ->toolTip()
            .contains(QKeySequence(QStringLiteral("Alt+L")).toString(QKeySequence::NativeText)));
    // Esc closes the panel as Cancel does; so does a second Alt+S.
    QTest::keyClick(input, Qt::Key_Escape);
    QVERIFY(!child<QWidget>(window, "Picture3")->isVisible());
    QCOMPARE(QApplication::focusWidget(), input);
    QTest::keyClick(input, Qt::Key_S, Qt::AltModifier);
    QVERIFY(child<QWidget>(window, "Picture3")->isVisible());
    QTest::keyClick(input, Qt::Key_S, Qt::AltModifier);
    QVERIFY(!child<QWidget>(window, "Picture3")->isVisible());
    // A paused game says so over the field.
    QTest::keyClick(input, Qt::Key_F2);
    QVERIFY(!child<QWidget>(window, "pausedNote")->isVisible());
    QTest::keyClick(input, Qt::Key_F3);
    QVERIFY(child<QWidget>(window, "pausedNote")->isVisible());
    QTest::keyClick(input, Qt::Key_F3);
    QVERIFY(!child<QWidget>(window, "pausedNote")->isVisible());
    // The settings panel covers the note while it is open.
    QTest::keyClick(input, Qt::Key_F3);
    QTest::keyClick(input, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(window.game().runState(), QStringLiteral("jx"));
    QVERIFY(!child<QWidget>(window, "pausedNote")->isVisible());
    QTest::keyClick(input, Qt::Key_Escape);
    QVERIFY(child<QWidget>(window, "pausedNote")->isVisible());
}

void GameTest::windowReportsAMissingWordList() {
    QFile::remove(m_dir.filePath(QStringLiteral("game-cz3.txt")));
    writeBytes(m_dir.filePath(QStringLiteral("game-cz2.txt")), "\"ofmeupas\",ignored\r\n");
    m_platform.told.clear();
    GameWindow window(context());
    QMenu* menu = window.gameMenu();
    QCOMPARE(menu->objectName(), QStringLiteral("GAME"));
    child<QAction>(*menu, "new1(4)")->trigger();
    QCOMPARE(window.game().itemSource(), QStringLiteral("ofmeupas"));
    child<QAction>(*menu, "new1(5)")->trigger();
    QCOMPARE(m_platform.told.size(), 1);
    QVERIFY(m_platform.told[0].startsWith(u"Prompt|"));
    QVERIFY(m_platform.told[0].contains(u"game-cz3.txt"));
    QVERIFY(child<QAction>(*menu, "new1(4)")->isChecked());
    QVERIFY(!child<QAction>(*menu, "new1(5)")->isChecked());
    QCOMPARE(window.windowTitle(), QStringLiteral("Typing game: Word exercises 1"));
}

void GameTest::theCaretKeepsStillWhileTheGameIsInView() {
    const int blink = QApplication::cursorFlashTime();
    QVERIFY(blink > 0);
    {
        GameWindow window(context());
        window.show();
        QCOMPARE(QApplication::cursorFlashTime(), 0);
        window.hide();
        QCOMPARE(QApplication::cursorFlashTime(), blink);
        window.show();
    }
    QCOMPARE(QApplication::cursorFlashTime(), blink);
}

void GameTest::windowShowsTheResultInAPrompt() {
    writeBytes(gameSet(), "60,0,1,1,1,60,4,2\r\n");
    m_platform.told.clear();
    GameWindow window(context());
    window.show();
    QTest::keyClick(child<QLineEdit>(window, "Text1"), Qt::Key_F2);
    for (int i = 0; i < 60; ++i)
        window.timers().fire("Timer2");
    QCOMPARE(m_platform.told,
             QStringList{"Prompt|\nThe typing time has arrived! Your typing speed is: 0Character"
                         " / min,You have to continue to work hard!\n\n          "});
    QVERIFY(!window.timers().isActive("Timer1"));
    QCOMPARE(readAll(gameSet()), QByteArray("60,0,1,1,1,60,4,2\r\n"));
}

// A timed game is a run of its own once it has lasted ten seconds; a shorter one is not kept,
// and closing the window afterwards writes nothing more.
void GameTest::finishedGameReachesTheHistory_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("runs");
    QTest::newRow("ten seconds") << QByteArray("10,0,1,1,1,60,1,2\r\n") << 10 << 1;
    QTest::newRow("nine seconds") << QByteArray("9,0,1,1,1,60,1,2\r\n") << 9 << 0;
}

void GameTest::finishedGameReachesTheHistory() {
    QFETCH(QByteArray, settings);
    QFETCH(int, limit);
    QFETCH(int, runs);
    writeBytes(gameSet(), settings);
    QFile::remove(m_dir.filePath(HistoryStore::kFileName));
    HistoryStore history(m_dir.filePath(HistoryStore::kFileName));
    AppContext c = context();
    c.history = &history;
    {
        GameWindow window(c);
        window.show();
        auto* input = child<QLineEdit>(window, "Text1");
        QTest::keyClick(input, Qt::Key_F2);
        window.timers().fire("Timer7");
        const QString item = window.game().slot(0).text; // a copy: the hit parks the slot
        QTest::keyClicks(input, item);
        QTest::keyClicks(input, QStringLiteral("#"));
        QCOMPARE(window.game().score(), QStringLiteral("1"));
        for (int i = 0; i < limit; ++i)
            window.timers().fire("Timer2");
        QVERIFY(!window.timers().isActive("Timer1"));
        QCOMPARE(window.game().score(), QStringLiteral("0")); // the end has reset the score
        window.close();
    }
    const QList<PracticeRun> stored = history.runs();
    QCOMPARE(stored.size(), runs);
    if (runs) {
        QCOMPARE(stored[0].mode, PracticeMode::Game);
        QCOMPARE(stored[0].item, GameItemSets::table()[0].caption);
        QCOMPARE(stored[0].activeSeconds, 10);
        QCOMPARE(stored[0].keystrokes, 2);
        QCOMPARE(stored[0].wrongKeystrokes, 1);
    }
}

// On X11 the frames of a running game go straight to the screen. What the screen shows must be
// what the field paints, pixel for pixel: while the items fall in and out of the field's edges,
// paused, and after another window has lain over it. Run under Xvfb by the game_on_screen check.
void GameTest::theScreenShowsWhatTheFieldPaints() {
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("needs an X server (the game_on_screen check)");
    writeBytes(gameSet(), "3000,0,1,0,0,60,4,2\r\n");
    GameWindow window(context());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* field = child<QWidget>(window, "Picture2");
    auto* input = child<QLineEdit>(window, "Text1");
    const auto screenMatchesField = [&] {
        const QPoint at = field->mapTo(&window, QPoint(0, 0));
        const QImage shown = window.screen()
                                 ->grabWindow(window.winId(), at.x(), at.y(), field->width(),
                                              field->height())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        const QImage painted = field->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return shown == painted;
    };
    // A paused game draws its last frames till the sprite stands still.
    const auto waitTillStill = [&] {
        QVERIFY(QTest::qWaitFor([&] { return !window.timers().isActive("Timer7"); }, 5000));
        QTest::qWait(50);
    };
    const auto runThenPause = [&](int ms) {
        QTest::keyClick(input, Qt::Key_F3);
        QTest::qWait(ms);
        QTest::keyClick(input, Qt::Key_F3);
        QVERIFY(window.game().state() == TypingGame::RunState::Paused);
        waitTillStill();
    };

    // A running game draws its frames without repainting the field.
    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } count;
    QTest::keyClick(input, Qt::Key_F2);
    QTest::qWait(300);
    field->installEventFilter(&count);
    QTest::qWait(1000);
    field->removeEventFilter(&count);
    QVERIFY2(count.paints < 10, qPrintable(QString::number(count.paints)));

    QTest::keyClick(input, Qt::Key_F3);
    waitTillStill();
    QVERIFY(screenMatchesField());
    for (int ms : {700, 1900}) {
        runThenPause(ms);
        QVERIFY(screenMatchesField());
    }

    // Another window over the game and gone again: the window shows its own copy of the
    // field, which must not be the one from before the direct frames.
    runThenPause(800);
    {
        QWidget cover;
        cover.setAttribute(Qt::WA_OpaquePaintEvent);
        cover.setGeometry(window.geometry());
        cover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cover));
    }
    QTest::qWait(200);
    QVERIFY(screenMatchesField());
}

QTEST_MAIN(GameTest)
#include "test_game.moc"
