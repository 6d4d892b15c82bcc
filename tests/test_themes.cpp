// Themes: the .urf format, the shipped skins, start-up's choice of skin, the theme menu and
// the controls that keep their own look.

#include "fakes.h"
#include "shell/look.h"
#include "shell/state_file.h"
#include "shell/timer_table.h"
#include "themes/skin_engine.h"
#include "themes/theme_menu.h"
#include "words/word_window.h"

#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

namespace {

const QByteArray kValidSkin = "URF 1\nName: Test\nWindow: #102030\nAccent: #ff8800\n%%\n"
                              "QPushButton { color: @Accent; }\n";

QImage look(QWidget* widget) {
    return widget->grab().toImage();
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

        engine.starts.clear();
        menu.noface_Click();
        menu.noface_Click();
        QCOMPARE(engine.starts, QStringList{"0:"}); // the engine is called once
        QCOMPARE(readAll(file("face.txt")), QByteArray("Cancel theme.urf\r\n"));
        QVERIFY(!engine.skinApplied());
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
};

QTEST_MAIN(ThemesTest)
#include "test_themes.moc"
