// Themes: the .urf format, the shipped skins, start-up's choice of skin, the theme menu and
// the controls that keep their own look.

#include "fakes.h"
#include "shell/timer_table.h"
#include "shell/look.h"
#include "shell/state_file.h"
#include "themes/skin_engine.h"
#include "themes/theme_menu.h"
#include "words/word_window.h"

#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

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
