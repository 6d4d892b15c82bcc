#include "about/about_window.h"
#include "articles/model/article_state.h"
#include "articles/ui/article_page.h"
#include "articles/ui/article_window.h"
#include "fakes.h"
#include "history/history_store.h"
#include "game/ui/game_window.h"
#include "keys/model/keys_state.h"
#include "keys/ui/keys_window.h"
#include "core/maker.h"
#include "frame/navigator.h"
#include "platform/platform.h"
#include "core/timer_table.h"
#include "core/twips.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

enum class Kind { Keys, Articles, Game, About };

// Sends a mouse event straight to a widget, through its event filters, without showing it; at
// its middle unless `at` says where.
void sendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button,
               QPointF at = QPointF(-1, -1)) {
    const QPointF local = at.x() >= 0 ? at : QPointF(widget->width() / 2.0, widget->height() / 2.0);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, local, widget->mapToGlobal(local), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton, QPointF at = QPointF(-1, -1)) {
    sendMouse(widget, QEvent::MouseButtonPress, button, at);
    sendMouse(widget, QEvent::MouseButtonRelease, button, at);
}

// Closes a practice window the way the program does: the unload chores write its state.
void closeWindow(QWidget* window) {
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

// Gathers the regions a widget paints.
class PaintRecorder : public QObject {
  public:
    QRegion region;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

Q_DECLARE_METATYPE(Kind)

class TestWindows : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_platform.opened.clear();
        m_navigator.menus = 0;
        for (const char* name : {"sz0.txt", "sz2.txt"})
            QFile::remove(m_dir.filePath(QString::fromLatin1(name)));
    }

    void keysStateLineIsReadAndMended_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("tips");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<int>("lesson");
        QTest::addColumn<QString>("written");
        QTest::newRow("sound on, last lesson") << "0115" << false << true << 15 << "0115";
        QTest::newRow("both on") << "1103" << true << true << 3 << "1103";
        QTest::newRow("all off") << "0000" << false << false << 0 << "0000";
        QTest::newRow("empty") << "" << false << false << 0 << "0000";
        QTest::newRow("switches only") << "10" << true << false << 0 << "1000";
        QTest::newRow("one digit") << "015" << false << true << 5 << "0105";
        QTest::newRow("switch is only 1") << "2y07" << false << false << 7 << "0007";
        QTest::newRow("index not a number") << "11x5" << true << true << 0 << "1100";
        QTest::newRow("index after a blank") << "01 7" << false << true << 0 << "0100";
        QTest::newRow("signed index") << "01-3" << false << true << 0 << "0100";
        QTest::newRow("one past the last") << "0116" << false << true << 0 << "0100";
        QTest::newRow("far past the last") << "1199" << true << true << 0 << "1100";
    }
    void keysStateLineIsReadAndMended() {
        QFETCH(QString, field);
        const Sz0 state = Sz0::parse(field);
        QTEST(state.keyedTips, "tips");
        QTEST(state.keystrokeSound, "sound");
        QTEST(state.lessonIndex, "lesson");
        QTEST(state.format(), "written");
    }

    void keysWindowWritesBackWhatItRead_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("tips");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<int>("lesson");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("kept as it was")
            << QByteArray("0115\r\n") << false << true << 15 << QByteArray("0115\r\n");
        QTest::newRow("field ends at a comma")
            << QByteArray("1002,x\n") << true << false << 2 << QByteArray("1002\r\n");
        QTest::newRow("bad lesson mended")
            << QByteArray("1199\r\n") << true << true << 0 << QByteArray("1100\r\n");
        QTest::newRow("missing file")
            << QByteArray() << false << false << 0 << QByteArray("0000\r\n");
    }
    void keysWindowWritesBackWhatItRead() {
        QFETCH(QByteArray, before);
        const QString path = m_dir.filePath(QStringLiteral("sz0.txt"));
        if (!before.isEmpty())
            writeBytes(path, before);
        auto* window = new KeysWindow(context());
        QCOMPARE(window->objectName(), QStringLiteral("form1yy"));
        QTEST(window->findChild<QCheckBox*>(QStringLiteral("Check1"))->isChecked(), "tips");
        QTEST(window->findChild<QCheckBox*>(QStringLiteral("Check1qq"))->isChecked(), "sound");
        QTEST(window->lessonIndex(), "lesson");
        closeWindow(window);
        QTEST(readAll(path), "after");
    }

    void keysSwitchesAreSaved() {
        writeBytes(m_dir.filePath(QStringLiteral("sz0.txt")), "0009\r\n");
        auto* window = new KeysWindow(context());
        window->findChild<QCheckBox*>(QStringLiteral("Check1"))->click();
        window->exercise().chooserClosed(12);
        closeWindow(window);
        QCOMPARE(readAll(m_dir.filePath(QStringLiteral("sz0.txt"))), QByteArray("1012\r\n"));
    }

    // The navigation entries show the program's pointing hand once the pointer is over the
    // banner, the way to any of them.
    void navigationEntriesPointWithAHand() {
        std::unique_ptr<KeysWindow> window(new KeysWindow(context()));
        QWidget* banner = window->findChild<QWidget*>(QStringLiteral("Image1"));
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(banner, &enter);
        const QList<QLabel*> entries = banner->findChildren<QLabel*>();
        QCOMPARE(entries.size(), 6);
        for (QLabel* entry : entries)
            QCOMPARE(entry->cursor().shape(), Qt::BitmapCursor);
    }

    void keysSettingsPanelOpensInsideAndHides() {
        std::unique_ptr<KeysWindow> window(new KeysWindow(context()));
        auto* button = window->findChild<QPushButton*>(QStringLiteral("Command2"));
        auto* panel = window->findChild<QWidget*>(QStringLiteral("Picture7"));
        QVERIFY(panel->isHidden());
        click(button);
        QVERIFY(!panel->isHidden());
        // Its place is the button's, a sixth of its width to the left; the panel, wide enough for
        // the keyboard layouts, moves further left to open inside the window, not off its edge.
        QCOMPARE(panel->pos(),
                 QPoint(std::min(button->x() - panel->width() / 6,
                                 window->width() - panel->width() - twips(60)),
                        button->y() - twips(50)));
        QVERIFY(window->rect().contains(panel->geometry()));
        for (const char* name : {"Check1", "Check1qq", "Command3"})
            QCOMPARE(window->findChild<QWidget*>(QString::fromLatin1(name))->parentWidget(), panel);

        // Moving over the background closes it; a click on the typed row, and moving over the
        // practice line, too.
        sendMouse(window->findChild<QWidget*>(QStringLiteral("Image3")), QEvent::MouseMove,
                  Qt::NoButton);
        QVERIFY(panel->isHidden());
        click(button);
        click(window->findChild<QWidget*>(QStringLiteral("Picture10")));
        QVERIFY(panel->isHidden());
        click(button);
        sendMouse(window->findChild<QWidget*>(QStringLiteral("Picture11")), QEvent::MouseMove,
                  Qt::NoButton);
        QVERIFY(panel->isHidden());
    }

    void articleWindowOpensTheSavedTitle_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("sound off")
            << QByteArray("0lunch\r\n") << false << "lunch" << QByteArray("0lunch\r\n");
        QTest::newRow("title with blanks")
            << QByteArray("1The Grand Canyon\r\n") << true << "The Grand Canyon"
            << QByteArray("1The Grand Canyon\r\n");
        QTest::newRow("field ends at a comma")
            << QByteArray("1a,b\r\n") << true << "a" << QByteArray("1a\r\n");
        QTest::newRow("empty file") << QByteArray("\r\n") << false << "a girl selling matches"
                                    << QByteArray("0a girl selling matches\r\n");
        QTest::newRow("switch without a title")
            << QByteArray("1\r\n") << true << "a girl selling matches"
            << QByteArray("1a girl selling matches\r\n");
        QTest::newRow("missing file") << QByteArray() << false << "a girl selling matches"
                                      << QByteArray("0a girl selling matches\r\n");
        QTest::newRow("title without its article")
            << QByteArray("1gone\r\n") << true << "a girl selling matches"
            << QByteArray("1a girl selling matches\r\n");
    }
    void articleWindowOpensTheSavedTitle() {
        QFETCH(QByteArray, before);
        QFETCH(QString, title);
        const QString path = m_dir.filePath(QStringLiteral("sz2.txt"));
        if (!before.isEmpty())
            writeBytes(path, before);
        // The articles of the rows that keep their title; "gone" has none.
        QDir(m_dir.path()).mkpath(QStringLiteral("text"));
        for (const char* name : {"lunch", "The Grand Canyon", "a", "a girl selling matches"})
            writeBytes(m_dir.filePath(QStringLiteral("text/%1.txt").arg(QLatin1String(name))),
                       "Some text.\r\n");
        auto* window = new ArticleWindow(context());
        QCOMPARE(window->objectName(), QStringLiteral("Form11"));
        QTEST(window->findChild<QCheckBox*>(QStringLiteral("Check1qq"))->isChecked(), "sound");
        QCOMPARE(window->articleTitle(), title);
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("Label10"))->text(), title);
        QCOMPARE(window->windowTitle(), QStringLiteral("Article practice --- ") + title);
        QCOMPARE(window->articlePath(),
                 QStringLiteral("\\text\\") + title + QStringLiteral(".txt"));
        QVERIFY(window->articlePathRelative());
        closeWindow(window);
        QTEST(readAll(path), "after");
    }

    void articleSettingsPanelOpensAndHides() {
        std::unique_ptr<ArticleWindow> window(new ArticleWindow(context()));
        auto* button = window->findChild<QPushButton*>(QStringLiteral("Command6"));
        auto* panel = window->findChild<QWidget*>(QStringLiteral("Picture1"));
        click(button);
        QVERIFY(!panel->isHidden());
        QCOMPARE(panel->pos(), QPoint(button->x() - twips(1000), button->y()));
        QVERIFY(window->rect().contains(panel->geometry()));
        // A click on the background leaves it open; the page and the lesson button close it.
        click(window.get());
        QVERIFY(!panel->isHidden());
        sendMouse(window->findChild<QWidget*>(QStringLiteral("Command4")), QEvent::MouseMove,
                  Qt::NoButton);
        QVERIFY(panel->isHidden());
        click(button);
        click(window->findChild<QWidget*>(QStringLiteral("Picture2")));
        QVERIFY(panel->isHidden());
    }

    void themeMenuPopsFromItsTriggers_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("menus");
        QTest::newRow("keys: background, right") << Kind::Keys << "Image3" << Qt::RightButton << 1;
        QTest::newRow("keys: background, left") << Kind::Keys << "Image3" << Qt::LeftButton << 0;
        QTest::newRow("keys: keyboard, right") << Kind::Keys << "Picture5" << Qt::RightButton << 0;
        QTest::newRow("keys: Themes, left") << Kind::Keys << "Command3" << Qt::LeftButton << 1;
        QTest::newRow("keys: Themes, right") << Kind::Keys << "Command3" << Qt::RightButton << 1;
        QTest::newRow("articles: page, right")
            << Kind::Articles << "Picture2" << Qt::RightButton << 1;
        QTest::newRow("articles: meters, right")
            << Kind::Articles << "Picture3" << Qt::RightButton << 1;
        QTest::newRow("articles: Themes, middle")
            << Kind::Articles << "Command7" << Qt::MiddleButton << 1;
        QTest::newRow("game: field, right") << Kind::Game << "Picture2" << Qt::RightButton << 1;
        // The sprite stands at the field's top left before the first game.
        QTest::newRow("game: sprite, right")
            << Kind::Game << "Picture2@20,20" << Qt::RightButton << 0;
    }
    void themeMenuPopsFromItsTriggers() {
        QFETCH(Kind, kind);
        QFETCH(QString, widget);
        QFETCH(Qt::MouseButton, button);
        std::unique_ptr<QWidget> window = make(kind);
        // "name@x,y" clicks the control at that point.
        const QStringList place = widget.split(u'@');
        auto* target = window->findChild<QWidget*>(place[0]);
        QVERIFY(target);
        QPointF at(-1, -1);
        if (place.size() > 1)
            at = QPointF(place[1].section(u',', 0, 0).toDouble(),
                         place[1].section(u',', 1).toDouble());
        click(target, button, at);
        QTEST(m_navigator.menus, "menus");
    }

    // Alt+T drops the theme menu from the "Themes" button, the settings panel open for it
    // while the menu is up and as it was afterwards; a right click pops it at the pointer.
    void altTOpensTheThemeMenuUnderThemes_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("themes");
        QTest::addColumn<QString>("background");
        QTest::newRow("keys") << Kind::Keys << "Command2" << "Command3" << "Image3";
        QTest::newRow("articles") << Kind::Articles << "Command6" << "Command7" << "Picture2";
    }
    void altTOpensTheThemeMenuUnderThemes() {
        QFETCH(Kind, kind);
        QFETCH(QString, settings);
        QFETCH(QString, themes);
        QFETCH(QString, background);
        std::unique_ptr<QWidget> window = make(kind);
        window->move(40, 30);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* button = window->findChild<QWidget*>(themes);
        QWidget* panel = button->parentWidget();
        QWidget* focus =
            QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        const auto altT = [focus] {
            QTest::keyPress(focus, Qt::Key_Alt, Qt::AltModifier);
            QTest::keyClick(focus, Qt::Key_T, Qt::AltModifier);
            QTest::keyRelease(focus, Qt::Key_Alt, Qt::NoModifier);
        };
        for (bool open : {false, true}) {
            if (open)
                click(window->findChild<QWidget*>(settings));
            QCOMPARE(panel->isVisible(), open);
            m_navigator.menus = 0;
            altT();
            QCOMPARE(m_navigator.menus, 1);
            QCOMPARE(m_navigator.menuAt, button->mapToGlobal(QPoint(0, button->height())));
            QVERIFY(window->geometry().contains(m_navigator.menuAt));
            QCOMPARE(panel->isVisible(), open);
        }
        auto* ground = window->findChild<QWidget*>(background);
        click(ground, Qt::RightButton, QPointF(30, 20));
        QCOMPARE(m_navigator.menus, 2);
        QCOMPARE(m_navigator.menuAt, ground->mapToGlobal(QPoint(30, 20)));
    }

    void linksOpenTheirPages_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("url");
        QTest::newRow("articles: games") << Kind::Articles << "Label6" << Maker::kGamesPage;
        QTest::newRow("game: games") << Kind::Game << "Label15" << Maker::kGamesPage;
        QTest::newRow("about: home page") << Kind::About << "Label6" << Maker::kHomePageTarget;
        QTest::newRow("about: e-mail")
            << Kind::About << "Label5" << QStringLiteral("mailto:") + Maker::kEmail;
        QTest::newRow("about: name") << Kind::About << "Label13" << QString();
        QTest::newRow("about: version") << Kind::About << "Label14" << QString();
        QTest::newRow("about: free") << Kind::About << "Label7" << QString();
        QTest::newRow("about: licence") << Kind::About << "Label8" << QString();
    }
    void linksOpenTheirPages() {
        QFETCH(Kind, kind);
        QFETCH(QString, label);
        QFETCH(QString, url);
        std::unique_ptr<QWidget> window = make(kind);
        auto* target = window->findChild<QLabel*>(label);
        QVERIFY(target);
        click(target);
        QCOMPARE(m_platform.opened, url.isEmpty() ? QStringList() : QStringList{url});
        QCOMPARE(target->cursor().shape() == Qt::PointingHandCursor, !url.isEmpty());
    }

    void aboutShowsTheProgramAndClosesOnOk() {
        AboutWindow about(&m_platform);
        QCOMPARE(about.objectName(), QStringLiteral("Form32"));
        QCOMPARE(about.windowTitle(), QStringLiteral(" About"));
        QVERIFY(about.isModal());
        QCOMPARE(about.size(), twipsSize(6630, 4875));
        QCOMPARE(about.minimumSize(), about.maximumSize());

        const QStringList captions{"Label1", "Label4", "Label9", "Label2", "Label3", "Label7"};
        const QStringList values{"Label13", "Label14", "Label11", "Label6", "Label5", "Label8"};
        const QStringList expected{
            "Software name:", "Typing test Zephkin", "Version:",   "2.7",
            "Author:",        Maker::kAuthor,        "Home page:", Maker::kHomePage,
            "E-mail:",        Maker::kEmail,         "Free",       Maker::kLicence};
        QStringList texts;
        for (int row = 0; row < captions.size(); ++row) {
            auto* caption = about.findChild<QLabel*>(captions[row]);
            auto* value = about.findChild<QLabel*>(values[row]);
            QVERIFY(caption && value);
            texts << caption->text() << value->text();
            QCOMPARE(value->y(), caption->y());
            QVERIFY(value->x() > caption->geometry().right());
            if (row > 0) {
                auto* above = about.findChild<QLabel*>(captions[row - 1]);
                QCOMPARE(caption->x(), above->x());
                QVERIFY(qAbs(caption->y() - above->y() - 423.0 / 15) <= 1);
            }
        }
        QCOMPARE(texts, expected);
        // Nothing runs off the window.
        for (QWidget* child : about.findChildren<QWidget*>())
            QVERIFY2(about.rect().contains(child->geometry()) || child->parentWidget() != &about,
                     qPrintable(child->objectName()));

        // The white title lies over its red copy, 2 px right and 1 px up.
        auto* white = about.findChild<QLabel*>(QStringLiteral("Label12(0)"));
        auto* red = about.findChild<QLabel*>(QStringLiteral("Label12(1)"));
        QVERIFY(white && red);
        QCOMPARE(white->text(), QStringLiteral("Typing Test Zephkin"));
        QCOMPARE(red->text(), white->text());
        QCOMPARE(white->pos() - red->pos(), QPoint(2, -1));
        QCOMPARE(white->parentWidget(), red->parentWidget());
        const QObjectList stack = white->parentWidget()->children();
        QVERIFY(stack.indexOf(white) > stack.indexOf(red));

        about.show();
        QVERIFY(about.isVisible());
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("Command1"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(qAbs(ok->geometry().center().x() - about.width() / 2) <= 1);
        ok->click();
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void articleKeystrokesLandUnderTheirCharacters() {
        QDir(m_dir.path()).mkpath(QStringLiteral("text"));
        writeBytes(m_dir.filePath(QStringLiteral("text/lunch.txt")), "Lunch, then.\r\n");
        writeBytes(m_dir.filePath(QStringLiteral("sz2.txt")), "0lunch\r\n");
        std::unique_ptr<ArticleWindow> window(new ArticleWindow(context()));
        auto* input = window->findChild<QLineEdit*>(QStringLiteral("Text3"));
        const ArticleExercise& e = window->exercise();

        QTest::keyClicks(input, QStringLiteral("Lx"));
        QCOMPARE(e.keyRecord(), QStringLiteral("10"));
        QVERIFY(input->text().isEmpty());
        QTest::keyClick(input, Qt::Key_Backspace);
        QCOMPARE(e.keyRecord(), QStringLiteral("1"));
        QCOMPARE(e.cell(2, 2).ink, ArticleExercise::Ink::None);
        QTest::keyClicks(input, QStringLiteral("unch, "));
        QCOMPARE(e.keyRecord(), QStringLiteral("1111111"));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("Label22z"))->text(),
                 QStringLiteral("100 %"));
        QVERIFY(window->timers().isActive("Timer4"));
        // The input box follows the cursor.
        QCOMPARE(input->pos(), twipsPoint(180 * 8 + 222, 2500));

        // Every typed cell stands under the character it answers, across the whole line, and
        // the line fits in the window.
        auto* page = window->findChild<ArticlePage*>(QStringLiteral("Picture2"));
        const qreal advance = QFontMetricsF(page->font()).horizontalAdvance(u'M');
        for (int c = 1; c <= ArticleExercise::kColumns; ++c) {
            const qreal character = ArticlePage::articleCharAt(c, 2).x();
            const qreal cell = ArticlePage::typingCellAt(c, 2).x();
            QVERIFY2(qAbs(cell - character) < advance * 0.1, qPrintable(QString::number(c)));
            const QRect cellRect = page->cellRect(c, 2);
            QVERIFY(cellRect.contains(QPoint(int(character + advance / 2), cellRect.center().y())));
        }
        QVERIFY(page->mapTo(window.get(), ArticlePage::articleCharAt(62, 7).toPoint()).x() +
                    advance <
                window->width());
    }

    // An article typed for twelve seconds is one run in the history when the window closes.
    void articlePracticeReachesTheHistory() {
        QDir(m_dir.path()).mkpath(QStringLiteral("text"));
        writeBytes(m_dir.filePath(QStringLiteral("text/lunch.txt")), "Lunch, then.\r\n");
        writeBytes(m_dir.filePath(QStringLiteral("sz2.txt")), "0lunch\r\n");
        HistoryStore history(m_dir.filePath(QStringLiteral("history.db")));
        AppContext c = context();
        c.history = &history;
        auto window = std::make_unique<ArticleWindow>(c);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        QTest::keyClicks(window->findChild<QLineEdit*>(QStringLiteral("Text3")), "Lxnch");
        for (int i = 0; i < 24; ++i)
            window->timers().fire("Timer4");
        window->close();
        const QList<PracticeRun> runs = history.runs();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].mode, PracticeMode::Articles);
        QCOMPARE(runs[0].item, window->exercise().articleTitle());
        QCOMPARE(runs[0].activeSeconds, 12);
        QCOMPARE(runs[0].keystrokes, 5);
        QCOMPARE(runs[0].wrongKeystrokes, 1);
    }

    void articleCaretBlinkRepaintsOnlyItsCell() {
        QDir(m_dir.path()).mkpath(QStringLiteral("text"));
        writeBytes(m_dir.filePath(QStringLiteral("text/lunch.txt")), "Lunch, then.\r\n");
        writeBytes(m_dir.filePath(QStringLiteral("sz2.txt")), "0lunch\r\n");
        std::unique_ptr<ArticleWindow> window(new ArticleWindow(context()));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* page = window->findChild<ArticlePage*>(QStringLiteral("Picture2"));
        PaintRecorder painted;
        page->installEventFilter(&painted);
        int repaints = 0;
        for (int tick = 0; tick < 4; ++tick) {
            painted.region = QRegion();
            window->timers().fire("Timer3");
            QCoreApplication::processEvents();
            if (painted.region.isEmpty())
                continue;
            ++repaints;
            QVERIFY(page->cellRect(1, 2).contains(painted.region.boundingRect()));
        }
        QVERIFY(repaints >= 2); // shown and hidden
    }

    void articleChooserLoadsAfterItCloses() {
        QDir(m_dir.path()).mkpath(QStringLiteral("text"));
        writeBytes(m_dir.filePath(QStringLiteral("text/lunch.txt")), "Lunch.\r\n");
        writeBytes(m_dir.filePath(QStringLiteral("text/The Grand Canyon.txt")), "Canyon.\r\n");
        writeBytes(m_dir.filePath(QStringLiteral("mine.txt")),
                   QStringLiteral("Caf\u00e9 au lait.").toUtf8());
        writeBytes(m_dir.filePath(QStringLiteral("sz2.txt")), "1lunch\r\n");
        std::unique_ptr<ArticleWindow> window(new ArticleWindow(context()));

        auto choose = [&](const char* button, const QString& title) {
            QTimer::singleShot(0, [&, button, title] {
                auto* chooser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                QVERIFY(chooser);
                QCOMPARE(chooser->objectName(), QStringLiteral("Form4"));
                QCOMPARE(chooser->windowTitle(), QStringLiteral(" Select lesson"));
                auto* list = chooser->findChild<QListWidget*>(QStringLiteral("List1"));
                QCOMPARE(list->count(), 26);
                QCOMPARE(list->currentRow(), 0);
                if (!title.isEmpty())
                    list->setCurrentItem(list->findItems(title, Qt::MatchExactly).first());
                chooser->findChild<QPushButton*>(QString::fromLatin1(button))->click();
            });
            window->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
        };

        choose("Command1", QStringLiteral("The Grand Canyon"));
        QCOMPARE(window->articleTitle(), QStringLiteral("lunch")); // not before Timer2 fires
        QTRY_COMPARE(window->windowTitle(),
                     QStringLiteral("Article practice --- The Grand Canyon"));
        QVERIFY(window->exercise().articleLines()[0].startsWith(QStringLiteral("Canyon.")));

        m_platform.picked = m_dir.filePath(QStringLiteral("mine.txt"));
        choose("Command3", QString());
        QTRY_COMPARE(window->windowTitle(),
                     QStringLiteral("Article practice --- Optional article"));
        QCOMPARE(m_platform.pickedWith,
                 QStringList({ArticleWindow::kPickerTitle, QStringLiteral("Text Files (*.txt)"),
                              m_dir.filePath(QStringLiteral("text"))}));
        QVERIFY(window->exercise().articleLines()[0].startsWith(QStringLiteral("Caf\u00e9 au")));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("Label18"))->text(),
                 QStringLiteral("1"));

        window->close();
        QCOMPARE(readAll(m_dir.filePath(QStringLiteral("sz2.txt"))),
                 QByteArray("1The Grand Canyon\r\n"));
        QCOMPARE(readAll(m_dir.filePath(QStringLiteral("new.txt"))),
                 QByteArray("Caf\xA8\xA6 au lait.") + QByteArray(192, '\xA1') + "\r\n");
        m_platform.picked.clear();
    }

  private:
    AppContext context() {
        return AppContext{ProgramFolder(m_dir.path()), &m_platform, nullptr, nullptr, &m_navigator};
    }
    std::unique_ptr<QWidget> make(Kind kind) {
        switch (kind) {
        case Kind::Keys:
            return std::make_unique<KeysWindow>(context());
        case Kind::Articles:
            return std::make_unique<ArticleWindow>(context());
        case Kind::Game:
            return std::make_unique<GameWindow>(context());
        case Kind::About:
            return std::make_unique<AboutWindow>(&m_platform);
        }
        return nullptr;
    }

    QTemporaryDir m_dir;
    FakePlatform m_platform;
    FakeNavigator m_navigator;
};

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
