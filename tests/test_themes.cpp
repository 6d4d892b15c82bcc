// Themes: the .urf format, the shipped skins, start-up's choice of skin, the theme menu and
// the controls that keep their own look.

#include "about/about_window.h"
#include "articles/ui/article_window.h"
#include "core/state_file.h"
#include "core/timer_table.h"
#include "core/twips.h"
#include "fakes.h"
#include "game/ui/game_window.h"
#include "keys/ui/keys_window.h"
#include "look/look.h"
#include "look/palette_roles.h"
#include "look/skin_engine.h"
#include "look/theme_menu.h"
#include "history/history_store.h"
#include "platform/keyboard_choice.h"
#include "platform/xkb_keyboard.h"
#include "progress/progress_window.h"
#include "words/ui/word_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QHeaderView>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

namespace {

const QByteArray kValidSkin = "URF 1\nName: Test\nWindow: #102030\nAccent: #ff8800\n%%\n"
                              "QPushButton { color: @Accent; }\n";

QImage look(QWidget* widget) {
    return widget->grab().toImage();
}

// Relative luminance and contrast ratio as accessibility guidelines define them.
double luminance(QColor c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
double contrast(QColor a, QColor b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the text in `area` of `image`: its most common colour is the ground, the
// pixel farthest from it the ink.
double textContrast(const QImage& image, const QRect& area) {
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb ground = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            ground = it.key();
        }
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrast(QColor(ground), QColor(it.key())));
    return best;
}

} // namespace

class ThemesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString file(const QString& name) const { return m_dir.path() + u'/' + name; }

    void freshFolder() {
        QDir(m_dir.path()).removeRecursively();
        copyTree(QStringLiteral(DATA_DIR), m_dir.path());
    }

    // A practice window as the program shows it under skin `index` of the menu (-1: none).
    enum class Mode { Keys, Word, Article, Game };
    struct Skinned {
        CountingSkinEngine engine;
        std::unique_ptr<ThemeMenu> menu;
        // The layout list names the system's layout: one of the longer names a learner meets.
        std::unique_ptr<KeyboardChoice> keyboard;
        std::unique_ptr<PracticeWindow> window;
    };
    std::unique_ptr<Skinned> skinnedWindow(Mode mode, int index) {
        freshFolder();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setFont(Look::uiFont()); // as the program starts
        QApplication::setPalette(Look::basePalette());
        qApp->setStyleSheet(Look::baseStyleSheet());
        auto s = std::make_unique<Skinned>();
        s->menu = std::make_unique<ThemeMenu>(ProgramFolder(m_dir.path()), &s->engine);
        AppContext context;
        context.folder = ProgramFolder(m_dir.path());
        context.skin = &s->engine;
        KeyboardChoice::Source colemak;
        colemak.activeName = [] { return QStringLiteral("us(colemak)"); };
        colemak.describe = XkbKeyboard::description;
        s->keyboard = std::make_unique<KeyboardChoice>(context.folder, colemak);
        s->keyboard->load();
        context.keyboard = s->keyboard.get();
        if (index >= 0)
            s->menu->fff_Click(index);
        switch (mode) {
        case Mode::Keys:
            s->window = std::make_unique<KeysWindow>(context);
            break;
        case Mode::Word:
            s->window = std::make_unique<WordWindow>(context);
            break;
        case Mode::Article:
            s->window = std::make_unique<ArticleWindow>(context);
            break;
        case Mode::Game:
            s->window = std::make_unique<GameWindow>(context);
            break;
        }
        s->window->setAttribute(Qt::WA_DeleteOnClose, false);
        s->window->show();
        s->window->timers().fireArmed();
        return s;
    }

    // A Word window with a right and a wrong character typed, so that both mark rows show.
    std::unique_ptr<Skinned> skinnedWordWindow(int index) {
        auto s = skinnedWindow(Mode::Word, index);
        const QString target = static_cast<WordWindow&>(*s->window).exercise().targetWord();
        auto* input = s->window->findChild<QLineEdit*>("Text1");
        QTest::keyClick(input, target[0].toLatin1());
        QTest::keyClick(input, target[1] == u'x' ? 'y' : 'x');
        return s;
    }

    // The windows with the button that opens their settings panel, the texts whose colours the
    // program chooses (by object name, or by caption where the control has no name), and the
    // controls that keep their own look: the keyboards, the word panel, the practice line and
    // typed row, the article page, the game field, the input boxes. Documented colours keep
    // their ink: the own navigation entry, the game's red values.
    void windowTable() {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("exempt");
        QTest::newRow("Keys") << Mode::Keys << "Command2"
                              << QStringList{"Label22a(1)", "Label22a(2)", "Command1", "Command2",
                                             "Command3",    "Check1",      "Check1qq", "Label40",
                                             "Label45",     "Label38"}
                              << QStringList{"Picture5", "Picture10", "Picture11",
                                             "Text1",    "Text2",     "Text3"};
        QTest::newRow("Word") << Mode::Word << "Command2"
                              << QStringList{"Label22a(0)", "Label22a(2)",  "Label22a(3)",
                                             "Label22a(4)", "Command3kcsz", "Command2",
                                             "Command4",    "Check1qq",     "Check1",
                                             "Label23",     "Label1",       "Label5"}
                              << QStringList{"Picture2", "Picture5", "Text1"};
        QTest::newRow("Article") << Mode::Article << "Command6"
                                 << QStringList{"Label22a(0)", "Label22a(1)", "Command4",
                                                "Command6",    "Command7",    "Check1qq",
                                                "Label40",     "Label16",     "Label22z"}
                                 << QStringList{"Picture2", "Text2", "Text3"};
        QTest::newRow("game") << Mode::Game << "Command9"
                              << QStringList{"Label22a(0)", "Label22a(1)", "Command9", "Command8",
                                             "integral",    "Time",        "Speed",    "Option1",
                                             "Option2",     "Check6",      "Check3"}
                              << QStringList{"Picture2", "Text1"};
    }

    // Each skin of the menu by its index, and no skin (-1).
    void skinTable() {
        QTest::addColumn<int>("skin");
        QTest::newRow("no skin") << -1;
        for (int i = 0; i < ThemeMenu::skinNames().size(); ++i)
            QTest::newRow(qPrintable(ThemeMenu::skinNames()[i])) << i;
    }

    static QWidget* control(QWidget* window, const QString& key) {
        if (auto* w = window->findChild<QWidget*>(key))
            return w;
        for (auto* label : window->findChildren<QLabel*>())
            if (label->text() == key)
                return label;
        return nullptr;
    }

  private slots:
    void cleanup() {
        qApp->setStyleSheet(QString());
        QApplication::setPalette(QPalette());
    }

    void skinFilesAreCheckedWhenRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("valid") << kValidSkin << true;
        QTest::newRow("CR LF") << QByteArray(kValidSkin).replace("\n", "\r\n") << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("no magic") << QByteArray("Name: X\n%%\nQWidget{}") << false;
        QTest::newRow("future version") << QByteArray("URF 2\nName: X\n%%\nQWidget{}") << false;
        QTest::newRow("no style") << QByteArray("URF 1\nName: X\n") << false;
        QTest::newRow("empty style") << QByteArray("URF 1\nName: X\n%%\n  \n") << false;
        QTest::newRow("bad colour")
            << QByteArray("URF 1\nName: X\nWindow: #zz\n%%\nQWidget{}") << false;
        QTest::newRow("no name") << QByteArray("URF 1\n%%\nQWidget{}") << false;
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << false;
    }
    void skinFilesAreCheckedWhenRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        Skin skin;
        QCOMPARE(parseSkin(bytes, QPalette(), &skin), valid);
        if (valid) {
            QCOMPARE(skin.palette.color(QPalette::Window), QColor("#102030"));
            QVERIFY(skin.styleSheet.contains("color: #ff8800"));
        }
    }

    // A skin is small and flat. Variables that name other variables stay as written (the
    // text a value brings in is never expanded again), so a chain cannot grow the sheet.
    void skinLimitsHold_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("sheet");
        QByteArray chain = "URF 1\nName: Chain\n";
        for (int k = 0; k < 24; ++k)
            chain += "K" + QByteArray::number(k) + ": " +
                     ("@K" + QByteArray::number(k + 1)).repeated(8) + "\n";
        QTest::newRow("chained variables") << chain + "%%\nQLabel { color: @K0; }" << true
                                           << "QLabel { color: @K1@K1@K1@K1@K1@K1@K1@K1; }";
        QTest::newRow("longest key wins")
            << QByteArray("URF 1\nName: X\nA: 1\nAB: 2\n%%\n@AB @A @ABC @@A") << true
            << "2 1 2C @1";
        QByteArray keys = "URF 1\nName: Keys\n";
        for (int k = 0; k <= SkinLimits::kMaxKeys; ++k)
            keys += "V" + QByteArray::number(k) + ": 1\n";
        QTest::newRow("too many keys") << keys + "%%\nQLabel {}" << false << QString();
        QTest::newRow("key too long")
            << "URF 1\nName: X\n" + QByteArray(SkinLimits::kMaxKeyLength + 1, 'k') +
                   ": 1\n%%\nQLabel {}"
            << false << QString();
        QByteArray wide = "URF 1\nName: Wide\nW: " + QByteArray(2000, 'w') + "\n%%\n";
        QTest::newRow("expansion too long")
            << wide + QByteArray("@W").repeated(SkinLimits::kMaxSheetLength / 2000 + 1) << false
            << QString();
        QTest::newRow("file too big")
            << QByteArray(kValidSkin) + QByteArray(StateFile::kSkinCap, ' ') << false << QString();
    }
    void skinLimitsHold() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QFETCH(QString, sheet);
        Skin skin;
        QCOMPARE(parseSkin(bytes, QPalette(), &skin), valid);
        if (valid)
            QCOMPARE(skin.styleSheet, sheet);
    }

    // url() may name a regular picture beside the skin, and nothing else.
    void skinPicturesStayBesideTheSkin_data() {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<bool>("valid");
        QTest::newRow("picture beside") << "QWidget { image: url(pic.png); }" << true;
        QTest::newRow("quoted, upper case") << "QWidget { image: URL( 'pic.png' ); }" << true;
        QTest::newRow("absolute path") << "QWidget { image: url(/etc/passwd); }" << false;
        QTest::newRow("outside") << "QWidget { image: url(../outside.png); }" << false;
        QTest::newRow("resource") << "QWidget { image: url(:/x.png); }" << false;
        QTest::newRow("FIFO") << "QWidget { image: url(fifo.png); }" << false;
        QTest::newRow("link to a device") << "QWidget { image: url(zero.png); }" << false;
        QTest::newRow("link to a picture") << "QWidget { image: url(link.png); }" << false;
        QTest::newRow("not a picture") << "QWidget { image: url(sz1.txt); }" << false;
        QTest::newRow("missing") << "QWidget { image: url(gone.png); }" << false;
        QTest::newRow("escape") << "QWidget { image: \\75rl(/dev/zero); }" << false;
        QTest::newRow("unclosed") << "QWidget { image: url(pic.png" << false;
    }
    void skinPicturesStayBesideTheSkin() {
        QFETCH(QString, sheet);
        QFETCH(bool, valid);
        QTemporaryDir dir;
        QImage(2, 2, QImage::Format_RGB32).save(dir.filePath("pic.png"));
        writeBytes(dir.filePath("sz1.txt"), "x");
        mkfifo(QFile::encodeName(dir.filePath("fifo.png")).constData(), 0600);
        QFile::link("/dev/zero", dir.filePath("zero.png"));
        QFile::link(dir.filePath("pic.png"), dir.filePath("link.png"));
        QString checked = sheet;
        QCOMPARE(checkSkinPictures(&checked, dir.path()), valid);
        if (valid)
            QCOMPARE(checked, "QWidget { image: url(\"" + dir.filePath("pic.png") + "\"); }");
        else
            QCOMPARE(checked, sheet);
    }

    // A skin that Qt cannot parse, or that breaks a rule above, is refused as a whole: the
    // program keeps its own base sheet and start-up falls back to no skin.
    void refusedSkinsLeaveTheBaseLook_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("invalid style sheet")
            << QByteArray("URF 1\nName: X\n%%\nQPushButton { color: red; ");
        QTest::newRow("picture outside")
            << QByteArray("URF 1\nName: X\n%%\nQWidget { image: url(/etc/passwd); }");
        QTest::newRow("too big") << QByteArray(kValidSkin) + QByteArray(StateFile::kSkinCap, ' ');
    }
    void refusedSkinsLeaveTheBaseLook() {
        QFETCH(QByteArray, bytes);
        freshFolder();
        writeBytes(file("Bad.urf"), bytes);
        StateFile::writeLine(file("face.txt"), "Bad.urf");
        const QString base = QStringLiteral("QToolTip { color: #123456; }");
        qApp->setStyleSheet(base);
        CountingSkinEngine engine;
        ThemeMenu menu{ProgramFolder(m_dir.path()), &engine};
        menu.startSkin();
        QCOMPARE(engine.starts, (QStringList{"2:Bad.urf", "1:Bad.urf"}));
        QVERIFY(!menu.SkinActive);
        QCOMPARE(qApp->styleSheet(), base);
        // The same engine still takes a good skin afterwards.
        int out = 0;
        QCOMPARE(engine.SkinStart(file("PixOS.urf"), 2, QString(), 1, 0, &out), 1);
        QVERIFY(qApp->styleSheet().startsWith(base));
        // Refused while a skin is on, the bad skin leaves that skin's look whole.
        const QString skinned = qApp->styleSheet();
        const QColor window = QApplication::palette().color(QPalette::Window);
        QCOMPARE(engine.SkinStart(file("Bad.urf"), 2, QString(), 1, 0, &out), 0);
        QCOMPARE(qApp->styleSheet(), skinned);
        QCOMPARE(QApplication::palette().color(QPalette::Window), window);
    }

    void everyMenuSkinShipsAndLooksDifferent() {
        QSet<QString> windows, sheets;
        for (const QString& name : ThemeMenu::skinNames()) {
            QFile f(QStringLiteral(DATA_DIR "/") + name + ".urf");
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(name));
            Skin skin;
            QString error;
            QVERIFY2(parseSkin(f.readAll(), QPalette(), &skin, &error),
                     qPrintable(name + ": " + error));
            windows.insert(skin.palette.color(QPalette::Window).name());
            sheets.insert(skin.styleSheet);
        }
        QCOMPARE(sheets.size(), ThemeMenu::skinNames().size());
        QVERIFY(windows.size() >= 7);
    }

    void startUpChoosesTheSkin_data() {
        QTest::addColumn<QByteArray>("face"); // null: no face.txt
        QTest::addColumn<QByteArray>("faceAfter");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QStringList>("starts");
        QTest::newRow("first run")
            << QByteArray() << QByteArray("pixos.urf\r\n") << true << QStringList{"2:PixOS.urf"};
        QTest::newRow("named skin") << QByteArray("LE4.urf\r\n") << QByteArray("LE4.urf\r\n")
                                    << true << QStringList{"2:LE4.urf"};
        QTest::newRow("missing skin") << QByteArray("Gone.urf\r\n") << QByteArray("Gone.urf\r\n")
                                      << false << QStringList{"1:Gone.urf"};
        QTest::newRow("no theme") << QByteArray("Cancel theme.urf\r\n")
                                  << QByteArray("Cancel theme.urf\r\n") << false
                                  << QStringList{"1:Cancel theme.urf"};
        QTest::newRow("empty face")
            << QByteArray("") << QByteArray("") << false << QStringList{"1:"};
        QTest::newRow("invalid skin")
            << QByteArray("Broken.urf\r\n") << QByteArray("Broken.urf\r\n") << false
            << QStringList{"2:Broken.urf", "1:Broken.urf"};
        QTest::newRow("path outside")
            << QByteArray("../../etc/passwd\r\n") << QByteArray("../../etc/passwd\r\n") << false
            << QStringList{"1:passwd"};
    }
    void startUpChoosesTheSkin() {
        QFETCH(QByteArray, face);
        QFETCH(QByteArray, faceAfter);
        QFETCH(bool, active);
        QFETCH(QStringList, starts);
        freshFolder();
        QFile::remove(file("face.txt"));
        writeBytes(file("Broken.urf"), "this is not a skin");
        if (!face.isNull())
            writeBytes(file("face.txt"), face);
        CountingSkinEngine engine;
        ThemeMenu menu{ProgramFolder(m_dir.path()), &engine};
        menu.startSkin();
        QCOMPARE(menu.SkinActive, active);
        QCOMPARE(engine.skinApplied(), active);
        QCOMPARE(engine.starts, starts);
        if (!active)
            QCOMPARE(menu.SkinFileName, ThemeMenu::kNoSkin);
        QCOMPARE(readAll(file("face.txt")), faceAfter);
    }

    void startUpInAFolderThatCannotBeWritten() {
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        CountingSkinEngine engine;
        ThemeMenu menu{ProgramFolder(dir.path()), &engine};
        menu.startSkin(); // no face.txt and none can be made: unskinned, no crash
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QFile::exists(dir.filePath("face.txt")))
            QSKIP("running with rights that ignore folder permissions");
        QVERIFY(!menu.SkinActive);
        QCOMPARE(menu.SkinFileName, ThemeMenu::kNoSkin);
    }

    void menuItemsApplyAndRemember() {
        freshFolder();
        CountingSkinEngine engine;
        ThemeMenu menu{ProgramFolder(m_dir.path()), &engine};
        const QList<QAction*> items = menu.menu()->actions();
        QCOMPARE(items.first()->text(), QStringLiteral("Cancel theme"));
        QStringList captions;
        for (QAction* a : items)
            if (!a->isSeparator() && a != items.first())
                captions << a->text();
        QCOMPARE(captions, ThemeMenu::skinNames());

        menu.fff_Click(ThemeMenu::skinNames().indexOf("XP-Luna"));
        QCOMPARE(readAll(file("face.txt")), QByteArray("XP-Luna.urf\r\n"));
        QVERIFY(menu.SkinActive);
        QVERIFY(engine.skinApplied());
        QCOMPARE(engine.currentSkinName(), QStringLiteral("XP-Luna"));
        // The menu ticks the skin in use, and only that one.
        const auto ticked = [&menu] {
            menu.markSkinInUse();
            QStringList names;
            for (QAction* a : menu.menu()->actions())
                if (a->isChecked())
                    names << a->text();
            return names;
        };
        QCOMPARE(ticked(), QStringList{"XP-Luna"});

        engine.starts.clear();
        menu.noface_Click();
        menu.noface_Click();
        QCOMPARE(engine.starts, QStringList{"0:"}); // the engine is called once
        QCOMPARE(readAll(file("face.txt")), QByteArray("Cancel theme.urf\r\n"));
        QVERIFY(!engine.skinApplied());
        QCOMPARE(ticked(), QStringList{"Cancel theme"});
    }

    // "Cancel theme" takes the skin off at once: the window looks as it does when the program
    // starts without a skin, to the pixel.
    void cancelThemeLooksAsAStartWithoutSkin_data() { windowTable(); }
    void cancelThemeLooksAsAStartWithoutSkin() {
        QFETCH(Mode, mode);
        QImage unskinned;
        {
            auto plain = skinnedWindow(mode, -1);
            unskinned = look(plain->window.get());
        }
        auto s = skinnedWindow(mode, ThemeMenu::skinNames().indexOf("Slate"));
        QVERIFY(look(s->window.get()) != unskinned);
        s->menu->noface_Click();
        s->window->popThemeMenu(QPoint()); // as the menu closes
        QCOMPARE(readAll(file("face.txt")), QByteArray("Cancel theme.urf\r\n"));
        QCOMPARE(look(s->window.get()), unskinned);
    }

    void ownControlsKeepTheirLookUnderEverySkin() {
        freshFolder();
        FakeNavigator navigator;
        CountingSkinEngine engine;
        ThemeMenu menu{ProgramFolder(m_dir.path()), &engine};
        AppContext context;
        context.folder = ProgramFolder(m_dir.path());
        context.skin = &engine;
        context.navigator = &navigator;
        WordWindow window(context);
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        window.timers().fireArmed();
        const QList<QWidget*> own = window.exemptControls();
        QList<QImage> before;
        for (QWidget* w : own)
            before << look(w);
        auto* chooser = window.findChild<QWidget*>("Command3kcsz");
        const QImage buttonBefore = look(chooser);

        for (int i = 0; i < ThemeMenu::skinNames().size(); ++i) {
            menu.fff_Click(i);
            window.popThemeMenu(QPoint());
            for (int k = 0; k < own.size(); ++k)
                QVERIFY2(look(own[k]) == before[k],
                         qPrintable(own[k]->objectName() + " changed under " +
                                    ThemeMenu::skinNames()[i]));
            if (i == 0)
                continue;
            QVERIFY2(
                look(chooser) != buttonBefore,
                qPrintable("the skin " + ThemeMenu::skinNames()[i] + " left the buttons alone"));
        }
        QCOMPARE(window.focusWidget(), window.findChild<QLineEdit*>("Text1"));
        window.setClosingMark(PracticeWindow::kFend);
        window.close();
    }

    void captionsFitTheirControlsUnderEverySkin_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("skin");
        for (int m = 0; m < 4; ++m) {
            for (int i = -1; i < ThemeMenu::skinNames().size(); ++i)
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(m).arg(
                    i < 0 ? QStringLiteral("no skin") : ThemeMenu::skinNames()[i])))
                    << m << i;
        }
    }
    // Every button, switch and one-line caption of a window shows its whole text under every
    // skin: the text, with the room its control's style needs around it, fits the control.
    void captionsFitTheirControlsUnderEverySkin() {
        QFETCH(int, mode);
        QFETCH(int, skin);
        auto s = skinnedWindow(Mode(mode), skin);
        QStringList clipped;
        for (QWidget* w : s->window->findChildren<QWidget*>()) {
            // Controls of a panel that is closed for now count too; controls hidden for good
            // (the hidden state labels) do not.
            if (w->isHidden())
                continue;
            w->ensurePolished();
            QString text;
            int need = 0;
            int room = w->width();
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                // The room the style leaves for the text inside its frame, padding and box.
                QStyleOptionButton option;
                option.initFrom(button);
                option.text = button->text();
                const QStyle::SubElement contents =
                    qobject_cast<QCheckBox*>(w)      ? QStyle::SE_CheckBoxContents
                    : qobject_cast<QRadioButton*>(w) ? QStyle::SE_RadioButtonContents
                                                     : QStyle::SE_PushButtonContents;
                text = button->text();
                need = button->fontMetrics().horizontalAdvance(text);
                room = button->style()->subElementRect(contents, &option, button).width();
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                // The field the style leaves for the caption of the closed list.
                QStyleOptionComboBox option;
                option.initFrom(list);
                option.currentText = list->currentText();
                text = list->currentText();
                need = list->fontMetrics().horizontalAdvance(text) + 2;
                room = list->style()
                           ->subControlRect(QStyle::CC_ComboBox, &option,
                                            QStyle::SC_ComboBoxEditField, list)
                           .width();
            } else if (auto* label = qobject_cast<QLabel*>(w)) {
                if (label->wordWrap() || label->text().contains(u'\n') || !label->pixmap().isNull())
                    continue;
                text = label->text();
                // The ink of the text: a letter's advance may run past its ink.
                need = label->fontMetrics().tightBoundingRect(text).width() + 2 * label->margin();
                room = label->contentsRect().width();
            }
            if (text.trimmed().isEmpty())
                continue;
            if (need > room)
                clipped << QStringLiteral("%1 \"%2\" needs %3, has %4")
                               .arg(w->objectName(), text)
                               .arg(need)
                               .arg(room);
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
    }

    void marksStandOutUnderEverySkin_data() { skinTable(); }
    // Both marks over the input box reach 3:1 against what lies around them.
    void marksStandOutUnderEverySkin() {
        QFETCH(int, skin);
        auto s = skinnedWordWindow(skin);
        auto& window = static_cast<WordWindow&>(*s->window);
        const QImage shot = look(&window);
        auto* right = window.findChild<QLabel*>("Label4dc");
        auto* wrong = window.findChild<QLabel*>("Label5dc");
        QCOMPARE(right->text(), QStringLiteral(". "));
        QCOMPARE(wrong->text(), QStringLiteral(" _"));
        const qreal cell = QFontMetricsF(right->font()).horizontalAdvance(u'M');
        // The dot under the first character, the dash under the second, and the ground
        // above each.
        const QPoint dot(right->x() + int(0.5 * cell), right->geometry().bottom() - 6);
        const QPoint dash(wrong->x() + int(1.5 * cell), wrong->geometry().bottom() - 3);
        const QColor dotColour = shot.pixelColor(dot);
        const QColor dashColour = shot.pixelColor(dash);
        QCOMPARE(dotColour, Look::kRightMark);
        QCOMPARE(dashColour, Look::kWrong);
        const double dotContrast = contrast(dotColour, shot.pixelColor(dot.x(), right->y() + 1));
        const double dashContrast = contrast(dashColour, shot.pixelColor(dash.x(), wrong->y() + 1));
        qInfo("marks contrast: blue %.2f, red %.2f", dotContrast, dashContrast);
        QVERIFY(dotContrast >= 3);
        QVERIFY(dashContrast >= 3);
    }

    // Under the dark skin nothing outside the controls that keep their own look is light: no
    // light patch as big as a few pixels (thin text strokes may be light), settings panel open.
    void darkSkinLeavesNoLightPatch_data() { windowTable(); }
    void darkSkinLeavesNoLightPatch() {
        QFETCH(Mode, mode);
        QFETCH(QString, settings);
        auto s = mode == Mode::Word ? skinnedWordWindow(ThemeMenu::skinNames().indexOf(u"LE4"))
                                    : skinnedWindow(mode, ThemeMenu::skinNames().indexOf(u"LE4"));
        PracticeWindow& window = *s->window;
        // Only the parts that keep their own look by design are spared.
        QFETCH(QStringList, exempt);
        QStringList names;
        for (QWidget* w : window.exemptControls())
            names << w->objectName();
        names.sort();
        exempt.sort();
        QCOMPARE(names, exempt);
        window.findChild<QPushButton*>(settings)->click();
        const QImage shot = look(&window);
        QList<QRect> own;
        for (QWidget* w : window.exemptControls())
            own << QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
        if (auto* strip = window.findChild<QWidget*>("markStrip"))
            own << strip->geometry();
        // The Keys lesson card keeps its look; the status bar lying on it follows the skin.
        QRect onCard;
        if (mode == Mode::Keys) {
            own << QRect(0, 0, window.width(), twips(KeysWindow::kCardBottomTwips));
            onCard = window.findChild<QWidget*>("Picture8")->geometry();
        }
        constexpr int kPatch = 6;
        QList<QList<bool>> light(shot.height(), QList<bool>(shot.width()));
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                light[y][x] = luminance(shot.pixelColor(x, y)) > 0.4;
        for (int y = 0; y + kPatch <= shot.height(); y += 2)
            for (int x = 0; x + kPatch <= shot.width(); x += 2) {
                const QRect patch(x, y, kPatch, kPatch);
                if (!onCard.contains(patch) &&
                    std::any_of(own.cbegin(), own.cend(),
                                [&](const QRect& r) { return r.intersects(patch); }))
                    continue;
                int lit = 0;
                for (int py = y; py < y + kPatch; ++py)
                    for (int px = x; px < x + kPatch; ++px)
                        lit += light[py][px];
                QVERIFY2(lit < kPatch * kPatch,
                         qPrintable(QStringLiteral("light patch at %1,%2").arg(x).arg(y)));
            }
    }

    // Under the high-contrast skin the texts whose colours the program chooses reach 7:1:
    // the navigation entries, the buttons, the meters and the settings panel.
    void highContrastSkinTextsReachSevenToOne_data() { windowTable(); }
    void highContrastSkinTextsReachSevenToOne() {
        QFETCH(Mode, mode);
        QFETCH(QString, settings);
        QFETCH(QStringList, texts);
        auto s = mode == Mode::Word
                     ? skinnedWordWindow(ThemeMenu::skinNames().indexOf(u"OpusOS"))
                     : skinnedWindow(mode, ThemeMenu::skinNames().indexOf(u"OpusOS"));
        PracticeWindow& window = *s->window;
        window.findChild<QPushButton*>(settings)->click();
        const QImage shot = look(&window);
        for (const QString& name : texts) {
            QWidget* w = control(&window, name);
            QVERIFY2(w && w->isVisible(), qPrintable(name));
            const QRect area(w->mapTo(&window, QPoint(0, 0)), w->size());
            // Inside the buttons' frames; the check boxes' captions right of their boxes.
            const QRect text = qobject_cast<QPushButton*>(w)       ? area.adjusted(5, 5, -5, -5)
                               : qobject_cast<QAbstractButton*>(w) ? area.adjusted(26, 0, 0, 0)
                                                                   : area;
            const double ratio = textContrast(shot, text);
            QVERIFY2(ratio >= 7, qPrintable(name + QStringLiteral(": %1").arg(ratio)));
        }
    }

    // The default skin shows a tick in a ticked check box: white on the accent.
    void defaultSkinTicksTheCheckBox() {
        auto s = skinnedWordWindow(ThemeMenu::skinNames().indexOf(u"PixOS"));
        auto& window = static_cast<WordWindow&>(*s->window);
        window.findChild<QPushButton*>("Command2")->click();
        auto* box = window.findChild<QCheckBox*>("Check1qq");
        box->setChecked(true);
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator =
            box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        const QImage image = look(box);
        int accent = 0, white = 0;
        for (int y = indicator.top() + 2; y < indicator.bottom() - 1; ++y)
            for (int x = indicator.left() + 2; x < indicator.right() - 1; ++x) {
                const QColor c = image.pixelColor(x, y);
                accent += c.blue() > c.red() + 60;
                white += c.red() > 230 && c.green() > 230 && c.blue() > 230;
            }
        QVERIFY2(accent > 20 && white > 4,
                 qPrintable(QStringLiteral("accent %1, white %2").arg(accent).arg(white)));
    }

    // Inside a control that keeps its own look, style sheets name the program's own colours,
    // also a sheet the program gives a child after the control was first exempted.
    void ownLookReadsPaletteRolesAsTheProgramsColours() {
        freshFolder();
        QApplication::setPalette(Look::basePalette());
        SkinEngine engine;
        int out = 0;
        QVERIFY(engine.SkinStart(file("LE4.urf"), 2, QString(), 1, 0, &out));
        QWidget panel;
        auto* label = new QLabel(QStringLiteral("x"), &panel);
        label->setStyleSheet(QStringLiteral("QLabel { color: palette(text); }"));
        engine.SkinWindowSet(&panel, 0);
        const QPalette own = Look::basePalette();
        QCOMPARE(label->styleSheet(),
                 QStringLiteral("QLabel { color: %1; }").arg(own.color(QPalette::Text).name()));
        label->setStyleSheet(QStringLiteral("QLabel { color: palette(link); }"));
        engine.SkinWindowSet(&panel, 0);
        QCOMPARE(label->styleSheet(),
                 QStringLiteral("QLabel { color: %1; }").arg(own.color(QPalette::Link).name()));
        engine.SkinRemove();
    }

    // The names the resolver gives the roles are the ones Qt reads: a control that keeps its
    // own look shows, for each palette(role), the colour Qt would show for it.
    void paletteRoleNamesAreTheOnesQtReads_data() {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        for (const PaletteRoleName& r : kPaletteRoleNames)
            if (r.sheetName)
                QTest::newRow(r.sheetName) << int(r.role) << QString::fromLatin1(r.sheetName);
    }
    void paletteRoleNamesAreTheOnesQtReads() {
        QFETCH(int, role);
        QFETCH(QString, name);
        QPalette palette;
        for (const PaletteRoleName& r : kPaletteRoleNames)
            palette.setColor(r.role, QColor(8 * int(r.role), 255 - 8 * int(r.role), 90));
        QApplication::setPalette(palette);
        QLabel label;
        label.resize(16, 16);
        const QString sheet = QStringLiteral("QLabel { background: palette(%1); }").arg(name);
        label.setStyleSheet(sheet);
        const QColor shown = label.grab().toImage().pixelColor(8, 8);
        QCOMPARE(shown, palette.color(QPalette::ColorRole(role)));
        QCOMPARE(resolvePaletteRoles(sheet, palette),
                 QStringLiteral("QLabel { background: %1; }").arg(shown.name()));
    }

    // Every palette(role) that a style sheet of the program names, in every window and in the
    // shipped skins, is one the resolver reads: a name it left alone would make a control that
    // keeps its own look take the skin's colour, or, misspelt, no colour at all.
    void everyPaletteRoleTheStyleSheetsNameIsResolved() {
        QStringList sheets;
        const auto collect = [&sheets](QWidget* window) {
            QList<QWidget*> widgets = window->findChildren<QWidget*>();
            widgets << window;
            for (QWidget* w : widgets)
                sheets << w->styleSheet() << w->property("ownStyle").toString()
                       << w->property("paletteSheet").toString();
        };
        for (Mode mode : {Mode::Keys, Mode::Word, Mode::Article, Mode::Game}) {
            auto s = skinnedWindow(mode, ThemeMenu::skinNames().indexOf(u"LE4"));
            collect(s->window.get());
        }
        AboutWindow about(nullptr);
        collect(&about);
        ProgressWindow progress(nullptr, PracticeMode::Words);
        collect(&progress);
        for (const QString& name : ThemeMenu::skinNames()) {
            Skin skin;
            QVERIFY(parseSkin(readAll(QStringLiteral(DATA_DIR "/") + name + ".urf"), QPalette(),
                              &skin));
            sheets << skin.styleSheet;
        }
        sheets << Look::baseStyleSheet();

        const QRegularExpression named(QStringLiteral("palette\\(([^)]*)\\)"));
        QSet<QString> names;
        for (const QString& sheet : sheets)
            for (const QRegularExpressionMatch& m : named.globalMatch(sheet))
                names.insert(m.captured(1));
        QVERIFY2(names.size() >= 5, qPrintable(QStringList(names.begin(), names.end()).join(u' ')));
        for (const QString& name : names) {
            const QString sheet = QStringLiteral("palette(%1)").arg(name);
            QVERIFY2(!resolvePaletteRoles(sheet, Look::basePalette()).contains(u'('),
                     qPrintable(sheet + " is not resolved"));
        }
    }

    // Progress after twenty runs of the longest names the program ships: every column of its
    // tables shows its heading and every cell whole at the window's size, with no scroll bar
    // across, under every skin.
    void progressColumnsFitUnderEverySkin_data() { skinTable(); }
    void progressColumnsFitUnderEverySkin() {
        QFETCH(int, skin);
        auto s = skinnedWindow(Mode::Keys, skin);
        HistoryStore store(file(HistoryStore::kFileName));
        const QStringList items{QStringLiteral("Lesson 8: Words in junior middle school 3(Total 465)"),
                                QStringLiteral("Key exercises\uFF08Case insensitive letters\uFF09"),
                                QStringLiteral("Varlow's election victory speech"),
                                QStringLiteral("Punctuation: marks around the words"),
                                QStringLiteral("Drill: f g th j k")};
        const PracticeMode modes[] = {PracticeMode::Words, PracticeMode::Game,
                                      PracticeMode::Articles, PracticeMode::Keys,
                                      PracticeMode::Keys};
        const QDateTime now = QDateTime::currentDateTime();
        for (int i = 0; i < 20; ++i) {
            PracticeRun run;
            run.mode = modes[i % 5];
            run.item = items[i % 5];
            run.started = now.addDays(i - 400); // some of another year
            run.activeSeconds = i < 2 ? 7200 + i : 60 + 97 * i;
            run.keystrokes = 12345 + i;
            run.wrongKeystrokes = i;
            run.computeMeters();
            QList<GramStats> grams;
            for (const char* gram : {" ", "th", ";", "q"}) {
                GramStats g;
                g.gram = QString::fromLatin1(gram);
                g.day = run.started.date().toJulianDay();
                g.expected = 1000 + i;
                g.wrong = 10 + i;
                for (int t = 0; t < 900; ++t)
                    g.addTime(1500 + i);
                grams << g;
            }
            QVERIFY(store.record(run, {}, grams));
        }
        ProgressWindow window(&store, PracticeMode::Keys, s->window.get());
        window.show();
        auto* tabs = window.findChild<QTabWidget*>("ProgressTabs");
        for (const char* name : {"RecentRuns", "KeyFigures"}) {
            auto* table = window.findChild<QTableWidget*>(name);
            tabs->setCurrentWidget(table);
            QCoreApplication::processEvents(); // the columns follow the shown table's width
            QCOMPARE(table->rowCount(), name == QByteArray("RecentRuns") ? 20 : 3); // keys only
            QVERIFY2(!table->horizontalScrollBar()->isVisible(), name);
            QHeaderView* header = table->horizontalHeader();
            for (int c = 0; c < table->columnCount(); ++c) {
                const QString column = QStringLiteral("%1 column %2 (%3 px)")
                                           .arg(name)
                                           .arg(c)
                                           .arg(table->columnWidth(c));
                QVERIFY2(header->sectionSizeHint(c) <= table->columnWidth(c),
                         qPrintable(column + ": its heading is cut"));
                const QFontMetrics metrics(table->font());
                for (int r = 0; r < table->rowCount(); ++r) {
                    const QString text = table->item(r, c)->text();
                    // The cell's text within its padding, over as many lines as the row holds.
                    const QRect room(0, 0, table->columnWidth(c) - 12, table->rowHeight(r));
                    const QRect needed = metrics.boundingRect(
                        room, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
                    QVERIFY2(room.contains(needed),
                             qPrintable(column + ": \"" + text + "\" is cut"));
                }
            }
        }
    }

    void aboutTextsReadUnderEverySkin_data() { skinTable(); }
    // The About window is drawn in the skin's colours; under every skin its texts stay
    // readable: the rows reach 4.5:1 (7:1 under the high-contrast skin), the large title 3:1.
    void aboutTextsReadUnderEverySkin() {
        QFETCH(int, skin);
        auto s = skinnedWindow(Mode::Word, skin);
        AboutWindow about(nullptr);
        about.show();
        const QImage shot = look(&about);
        const bool high = skin >= 0 && ThemeMenu::skinNames()[skin] == u"OpusOS";
        const QStringList rows{"Label1",  "Label4",  "Label9",  "Label2", "Label3", "Label7",
                               "Label13", "Label14", "Label11", "Label6", "Label5", "Label8"};
        for (const QString& name : rows + QStringList{"Label12(0)"}) {
            auto* label = about.findChild<QLabel*>(name);
            QVERIFY2(label, qPrintable(name));
            const QRect area(label->mapTo(&about, QPoint(0, 0)), label->size());
            const double ratio = textContrast(shot, area);
            const double needed = name.startsWith(u"Label12") ? 3 : high ? 7 : 4.5;
            QVERIFY2(ratio >= needed, qPrintable(name + QStringLiteral(": %1").arg(ratio)));
        }
    }
};

QTEST_MAIN(ThemesTest)
#include "test_themes.moc"
