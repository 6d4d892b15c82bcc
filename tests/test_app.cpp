// The program as one application of four windows, the pages of one top-level window:
// navigation, the closing protocol, the hand-overs between windows, the About and Progress
// windows.

#include "about/about_window.h"
#include "app/app_navigator.h"
#include "articles/ui/article_window.h"
#include "core/state_file.h"
#include "core/timer_table.h"
#include "fakes.h"
#include "history/history_store.h"
#include "keys/ui/keys_window.h"
#include "look/theme_menu.h"
#include "small_disk.h"
#include "words/ui/word_window.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// Notes, when a page gets its close event, which page the window shows.
class PageAtClose : public QObject {
  public:
    explicit PageAtClose(PracticeHost* window) : m_window(window) {}
    bool closed = false;
    QWidget* shownThen = nullptr;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close && !closed) {
            closed = true;
            shownThen = m_window->isVisible() ? m_window->page() : nullptr;
            if (shownThen && !shownThen->isVisible())
                shownThen = nullptr;
        }
        return false;
    }

  private:
    PracticeHost* m_window;
};

class AppTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FakePlatform m_platform;
    FakeSound m_sound;
    std::unique_ptr<CountingSkinEngine> m_skin;
    std::unique_ptr<ThemeMenu> m_menu;
    std::unique_ptr<HistoryStore> m_history;
    std::unique_ptr<AppNavigator> m_navigator;

    QString m_folder;

    QString file(const QString& name) const {
        return (m_folder.isEmpty() ? m_dir.path() : m_folder) + u'/' + name;
    }

    PracticeWindow* current() const { return m_navigator->current(); }

    // The program as start-up leaves it: the Word practice window shown, its mark armed. The
    // program folder is the test's own, or `folder` when one is given.
    void startProgram(const QString& folder = QString()) {
        m_navigator.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_navigator.reset();
        m_history.reset();
        m_folder = folder.isEmpty() ? m_dir.path() : folder;
        QDir(m_folder).removeRecursively();
        copyTree(QStringLiteral(DATA_DIR), m_folder);
        StateFile::writeLine(file("sz1.txt"), "1100005Lesson 2");
        StateFile::writeLine(file("sz1-yj.txt"), "Lesson 2");
        StateFile::writeLine(file("sz2.txt"), "0lunch");
        QFile::remove(file("sz0.txt"));
        m_platform = FakePlatform();
        AppContext context;
        context.folder = ProgramFolder(m_folder);
        context.platform = &m_platform;
        context.sound = &m_sound;
        m_skin = std::make_unique<CountingSkinEngine>();
        context.skin = m_skin.get();
        m_history = std::make_unique<HistoryStore>(file(HistoryStore::kFileName));
        context.history = m_history.get();
        m_menu = std::make_unique<ThemeMenu>(context.folder, m_skin.get());
        m_navigator = std::make_unique<AppNavigator>(context, m_menu.get());
        m_navigator->setQuit([] {});
        m_navigator->start();
        settle();
    }

    // Lets the time after a load pass: the closing mark turns, the word loader runs.
    void settle() { current()->timers().fireArmed(); }

    void click(int entry) {
        current()->navigationClick(entry);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        settle();
    }

  private slots:
    // One top-level window: a switch keeps it, in its place and size, with the new page's
    // caption as its title; the page left is unloaded, and closing the window ends the program.
    void switchingKeepsTheOneWindowAndTheProgramRunning() {
        startProgram();
        PracticeHost* window = m_navigator->window();
        QCOMPARE(current()->objectName(), QStringLiteral("Form1"));
        QCOMPARE(current()->window(), window);
        // The caption the word loader set after the page was shown.
        QCOMPARE(window->windowTitle(), QStringLiteral("Lesson 2: Common words 2(Total 500)"));
        window->move(123, 77);
        const QRect place = window->geometry();
        QPointer<PracticeWindow> words = current();
        click(Navigator::KeysEntry);
        QCOMPARE(current()->objectName(), QStringLiteral("form1yy"));
        QCOMPARE(m_navigator->window(), window);
        QCOMPARE(current()->window(), window);
        QCOMPARE(window->geometry(), place);
        QCOMPARE(window->windowTitle(), QStringLiteral("Keys practice"));
        QVERIFY(words.isNull()); // unloaded as its window was, and gone
        QCOMPARE(readAll(file("sz1.txt")), QByteArray("1100005Lesson 2\r\n"));
        QVERIFY(!m_navigator->ended());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget* w) { return w->isVisible(); }),
                 1);
        QCOMPARE(window->findChildren<PracticeWindow*>().size(), 1);

        window->close();
        QVERIFY(m_navigator->ended());
        QVERIFY(QFile::exists(file("sz0.txt")));
        QCOMPARE(m_skin->removes, 1);
    }

    void everyWindowGoesEverywhere_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("name");
        const char* names[] = {"form1yy", "Form1", "Form11", "Form10"};
        for (int from = 0; from < 4; ++from)
            for (int to = 0; to < 4; ++to)
                if (from != to)
                    QTest::addRow("%s to %s", names[from], names[to]) << from << to << names[to];
    }
    void everyWindowGoesEverywhere() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, name);
        startProgram();
        if (from != Navigator::WordsEntry)
            click(from);
        // The page left runs its unload chores with the new page already in the window.
        PageAtClose watch(m_navigator->window());
        current()->installEventFilter(&watch);
        click(to);
        QVERIFY(watch.closed);
        QCOMPARE(watch.shownThen, static_cast<QWidget*>(current()));
        QCOMPARE(current()->objectName(), name);
        QCOMPARE(m_navigator->window()->windowTitle(), current()->windowTitle());
        // The keyboard focus moved along, into the new page's input box.
        QCOMPARE(m_navigator->window()->focusWidget(), current()->inputBox());
        QVERIFY(!m_navigator->ended());
        QLabel* own = current()->findChild<QLabel*>(QStringLiteral("Label22a(%1)").arg(to));
        QVERIFY(own->styleSheet().contains("#ff0000"));
        if (to == Navigator::ArticlesEntry) {
            // The article saved in sz2.txt, not the default path.
            QCOMPARE(current()->windowTitle(), QStringLiteral("Article practice --- lunch"));
            auto* articles = static_cast<ArticleWindow*>(current());
            QCOMPARE(articles->articlePath(), QStringLiteral("\\text\\lunch.txt"));
        }
        if (to == Navigator::WordsEntry) {
            auto* words = static_cast<WordWindow*>(current());
            QCOMPARE(words->exercise().lessonName(), QStringLiteral("Lesson 2"));
            QCOMPARE(words->exercise().wordIndex(), 5);
        }
        // The window's close button, on any page.
        m_navigator->window()->close();
        QVERIFY(m_navigator->ended());
    }

    // Ctrl+1 to Ctrl+4 move through the pages: each page's shortcuts go with it.
    void shortcutsMoveThroughThePages() {
        startProgram();
        QApplication::setActiveWindow(m_navigator->window());
        for (int entry : {Navigator::KeysEntry, Navigator::ArticlesEntry, Navigator::GameEntry,
                          Navigator::WordsEntry, Navigator::KeysEntry}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(Qt::Key_1 + entry),
                            Qt::ControlModifier);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            settle();
            QCOMPARE(current()->ownEntry(), entry);
        }
        QVERIFY(!m_navigator->ended());
    }

    void wordHandOverTakesTheLessonFromTheHandOverFile() {
        startProgram();
        click(Navigator::KeysEntry);
        StateFile::writeLine(file("sz1-yj.txt"), "Lesson 4");
        click(Navigator::WordsEntry);
        auto* words = static_cast<WordWindow*>(current());
        QCOMPARE(words->exercise().lessonName(), QStringLiteral("Lesson 4"));
        QCOMPARE(words->exercise().wordIndex(), 5);
    }

    void ownEntryReloadsOnlyInWordPractice() {
        startProgram();
        auto* words = static_cast<WordWindow*>(current());
        words->exercise().stepNext();
        StateFile::writeLine(file("sz1-yj.txt"), "Lesson 3");
        click(Navigator::WordsEntry);
        QCOMPARE(current(), words);
        QCOMPARE(words->exercise().lessonName(), QStringLiteral("Lesson 3"));
        QCOMPARE(words->exercise().wordIndex(), 6);
        QCOMPARE(words->closingMark(), PracticeWindow::kTend);

        click(Navigator::KeysEntry);
        PracticeWindow* keys = current();
        click(Navigator::KeysEntry);
        QCOMPARE(current(), keys);
        QCOMPARE(keys->closingMark(), PracticeWindow::kTend);
        keys->close();
        QVERIFY(m_navigator->ended());
    }

    void aboutAndProgressAreModalAndLeaveTheMarkAlone_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("window");
        QTest::newRow("About") << int(Navigator::AboutEntry) << "About"
                               << "Form32";
        QTest::newRow("Progress") << int(Navigator::ProgressEntry) << "Progress"
                                  << "FormProgress";
    }
    void aboutAndProgressAreModalAndLeaveTheMarkAlone() {
        QFETCH(int, entry);
        QFETCH(QString, caption);
        QFETCH(QString, window);
        startProgram();
        auto* label = current()->findChild<QLabel*>(QStringLiteral("Label22a(%1)").arg(entry));
        QCOMPARE(label->text(), caption);
        QString modalName;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal) {
                modalName = modal->objectName();
                modal->findChild<QPushButton*>("Command1")->click();
            }
        });
        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(modalName, window);
        QCOMPARE(current()->closingMark(), PracticeWindow::kTend);
        current()->close();
        QVERIFY(m_navigator->ended());
    }

    // One keystroke to a drill from anywhere: Ctrl+6 on any page, or "Practise weak keys" in
    // Progress, shows Keys practice with a drill (here the home row's: there is no history).
    void theDrillIsOneKeystrokeAway_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("viaProgress");
        QTest::newRow("Ctrl+6 in Word practice") << int(Navigator::WordsEntry) << false;
        QTest::newRow("Ctrl+6 in Keys practice") << int(Navigator::KeysEntry) << false;
        QTest::newRow("Ctrl+6 in the game") << int(Navigator::GameEntry) << false;
        QTest::newRow("the button in Progress") << int(Navigator::ArticlesEntry) << true;
    }
    void theDrillIsOneKeystrokeAway() {
        QFETCH(int, from);
        QFETCH(bool, viaProgress);
        startProgram();
        if (from != Navigator::WordsEntry)
            click(from);
        QApplication::setActiveWindow(m_navigator->window());
        if (viaProgress) {
            QTimer::singleShot(0, [] {
                if (QWidget* modal = QApplication::activeModalWidget())
                    modal->findChild<QPushButton*>("PractiseWeakKeys")->click();
            });
            click(Navigator::ProgressEntry);
        } else {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_6, Qt::ControlModifier);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            settle();
        }
        QCOMPARE(current()->ownEntry(), int(Navigator::KeysEntry));
        QCOMPARE(current()->findChild<QLabel*>("Label8")->text(),
                 QStringLiteral("Drill: home row"));
        QVERIFY(current()->findChild<QLabel*>("DrillNote")->isVisibleTo(current()));
        QVERIFY(readAll(file("drill.txt")).startsWith("Drill: home row\r\n"));
        QCOMPARE(current()->closingMark(), PracticeWindow::kTend);
        QCOMPARE(m_navigator->window()->findChildren<PracticeWindow*>().size(), 1);
        QVERIFY(!m_navigator->ended());
    }

    void closingBeforeTheMarkTurnsStillEndsTheProgram() {
        startProgram();
        click(Navigator::KeysEntry);
        current()->setClosingMark(PracticeWindow::kFend); // as in the 11 ms after a load
        m_navigator->window()->close();
        QVERIFY(m_navigator->ended());
        QVERIFY(QFile::exists(file("sz0.txt")));
    }

    // Two words typed, then the window closed while the place cannot be written: the user
    // hears of it before the program ends. A full disk may be mended: the user makes room and
    // the place is saved after all.
    void aSaveThatFailsAtTheEndIsToldBeforeTheEnd_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("a folder in sz1.txt's place") << "folder";
        QTest::newRow("a full disk, room made at the question") << "full disk";
        QTest::newRow("a full disk, the user gives up") << "full disk, cancel";
    }
    void aSaveThatFailsAtTheEndIsToldBeforeTheEnd() {
        QFETCH(QString, obstacle);
        const bool fullDisk = obstacle.startsWith("full disk");
        std::optional<SmallDisk> disk;
        if (fullDisk) {
            disk.emplace(2 * 1024 * 1024);
            if (!disk->available())
                QSKIP(qPrintable("no small disk to fill: " + disk->why()));
        }
        startProgram(fullDisk ? disk->filePath("program") : QString());
        auto* words = static_cast<WordWindow*>(current());
        words->exercise().stepNext();
        words->exercise().stepNext();
        if (fullDisk) {
            disk->fill();
            m_platform.onAsk = [&] { disk->makeRoom(); };
            m_platform.answer = obstacle == "full disk";
        } else {
            QFile::remove(file("sz1.txt"));
            QVERIFY(QDir().mkpath(file("sz1.txt/inside")));
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot be saved"));

        current()->close();
        QVERIFY(m_navigator->ended());
        // Told or asked while closing, before the program's end: nothing waits for later.
        const QStringList told = m_platform.told;
        QCoreApplication::processEvents();
        QCOMPARE(m_platform.told, told);
        if (fullDisk) {
            QCOMPARE(m_platform.askedText.size(), 1);
            QVERIFY2(m_platform.askedText[0].contains("cannot be saved") &&
                         m_platform.askedText[0].contains("disk is full"),
                     qPrintable(m_platform.askedText[0]));
            QVERIFY(m_platform.told.isEmpty());
            QCOMPARE(readAll(file("sz1.txt")), obstacle == "full disk"
                                                   ? QByteArray("1100007Lesson 2\r\n")
                                                   : QByteArray("1100005Lesson 2\r\n"));
        } else {
            QCOMPARE(m_platform.told.size(), 1);
            QVERIFY2(m_platform.told[0].startsWith("Zephkin|Your place cannot be saved"),
                     qPrintable(m_platform.told[0]));
            QVERIFY(m_platform.asked.isEmpty());
            QVERIFY(QFileInfo::exists(file("sz1.txt/inside")));
        }
        m_navigator.reset();
    }

    // Twelve seconds of Keys practice on a disk that is full, then the window closed: the run
    // reaches the disk all the same. In the room kept for it, without a question; or, beside
    // a history an older program made, which has no room kept, once the learner makes room and
    // chooses OK. A save that failed earlier in the session and can go through now goes
    // through without a question.
    void practiceOnAFullDiskIsKeptAtTheEnd_data() {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<bool>("roomKept");
        QTest::addColumn<int>("questions");
        QTest::newRow("full at the end, room kept") << "full" << true << 0;
        QTest::newRow("full at the end, no room kept, room made and OK") << "full" << false << 1;
        QTest::newRow("full at a switch, room made before the end") << "room made" << false << 0;
    }
    void practiceOnAFullDiskIsKeptAtTheEnd() {
        QFETCH(QString, disk);
        QFETCH(bool, roomKept);
        QFETCH(int, questions);
        SmallDisk small(2 * 1024 * 1024);
        if (!small.available())
            QSKIP(qPrintable("no small disk to fill: " + small.why()));
        startProgram(small.filePath("program"));
        PracticeRun earlier;
        earlier.mode = PracticeMode::Words;
        earlier.item = QStringLiteral("Lesson 2");
        earlier.started = QDateTime::currentDateTime().addDays(-1);
        earlier.activeSeconds = 60;
        earlier.keystrokes = 200;
        earlier.computeMeters();
        QVERIFY(m_history->record(earlier, {}));
        if (!roomKept)
            QVERIFY(QFile::remove(file(HistoryStore::kReserveName)));
        auto* words = static_cast<WordWindow*>(current());
        words->exercise().stepNext();
        words->exercise().stepNext();
        if (disk == "room made")
            small.fill(); // the switch below cannot save the Word window's place
        click(Navigator::KeysEntry);
        auto* keys = static_cast<KeysWindow*>(current());
        for (int i = 0; i < 12; ++i) {
            keys->exercise().keyDown(70);
            keys->exercise().textChanged(QStringLiteral("f"));
            keys->exercise().keyUp(70);
            keys->timers().fire("Timer4");
        }
        if (disk == "room made")
            small.makeRoom();
        else
            small.fill();
        m_platform.onAsk = [&] { small.makeRoom(); };
        m_platform.answer = true;

        current()->close();
        QVERIFY(m_navigator->ended());
        QCoreApplication::processEvents();
        QCOMPARE(m_platform.askedText.size(), questions);
        if (questions > 0)
            QVERIFY2(m_platform.askedText[0].contains("practice could not be saved") &&
                         m_platform.askedText[0].contains("disk is full"),
                     qPrintable(m_platform.askedText[0]));
        QVERIFY2(m_platform.told.isEmpty(), qPrintable(m_platform.told.join(u'\n')));
        m_navigator.reset();
        m_history.reset();
        small.makeRoom();

        // Started again: both runs are in the history, and the place was saved.
        HistoryStore again(file(HistoryStore::kFileName));
        QVERIFY(again.writePending());
        const QList<PracticeRun> runs = again.runs();
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[1].mode, PracticeMode::Keys);
        QCOMPARE(runs[1].activeSeconds, 12);
        QVERIFY(QFileInfo::exists(file("sz0.txt")));
        QCOMPARE(readAll(file("sz1.txt")), QByteArray("1100007Lesson 2\r\n"));
    }

    void hotZoneArmsTheMark() {
        startProgram();
        click(Navigator::KeysEntry);
        current()->setClosingMark(PracticeWindow::kFend);
        auto* zone = current()->findChild<QLabel*>("Label5pp");
        QCOMPARE(zone->geometry().right(), current()->width() - 1);
        QCOMPARE(zone->y(), 0);
        QTest::mouseMove(zone, QPoint(5, 3));
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 3), QPointF(5, 3), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(zone, &move);
        QCOMPARE(current()->closingMark(), PracticeWindow::kTend);
    }
};

QTEST_MAIN(AppTest)
#include "test_app.moc"
