// Keys practice window: real key events through the input box, the drawing, the keyboard
// pictures and the chooser.

#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "core/timer_table.h"
#include "core/twips.h"
#include "fakes.h"
#include "history/history_store.h"
#include "keys/model/key_lessons.h"
#include "keys/model/weak_key_drill.h"
#include "keys/ui/key_chooser.h"
#include "keys/ui/keys_display.h"
#include "keys/ui/keys_keyboard.h"
#include "keys/ui/keys_look.h"
#include "keys/ui/keys_window.h"
#include "look/fonts.h"
#include "look/look.h"
#include "platform/key_mapping.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <array>
#include <cmath>

namespace {

// A key pressed and released in the input box as the platform delivers it, with a scan code.
void typeKey(QWidget* input, Qt::Key key, const QString& text, Qt::KeyboardModifiers mods = {}) {
    const quint32 scan = 8 + quint32(key & 0xff);
    QKeyEvent press(QEvent::KeyPress, key, mods, scan, 0, 0, text);
    QCoreApplication::sendEvent(input, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, scan, 0, 0, text);
    QCoreApplication::sendEvent(input, &release);
}

void typeText(QWidget* input, const QString& text) {
    for (QChar c : text) {
        const Qt::Key key = c == u' ' ? Qt::Key_Space : Qt::Key(c.toUpper().unicode());
        typeKey(input, key, QString(c), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
    }
}

QColor averageColour(const QImage& image, const QRectF& logical) {
    const qreal d = image.devicePixelRatio();
    const QRect r(QPointF(logical.topLeft() * d).toPoint(),
                  QPointF(logical.bottomRight() * d).toPoint());
    long long red = 0, green = 0, blue = 0, n = 0;
    for (int y = r.top(); y < r.bottom(); y += 2)
        for (int x = r.left(); x < r.right(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            red += c.red();
            green += c.green();
            blue += c.blue();
            ++n;
        }
    return n ? QColor(int(red / n), int(green / n), int(blue / n)) : QColor();
}

// Colour distance as the eye judges it: CIEDE2000 between two sRGB colours (D65).
struct Lab {
    double L, a, b;
};
double linear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
Lab toLab(const std::array<double, 3>& rgb) {
    const double r = rgb[0], g = rgb[1], b = rgb[2];
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const auto f = [](double t) {
        return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
    };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}
double ciede2000(const Lab& one, const Lab& two) {
    constexpr double kPi = 3.14159265358979323846;
    const auto rad = [](double deg) { return deg * kPi / 180; };
    const auto deg = [](double r) { return r * 180 / kPi; };
    const double cBar = (std::hypot(one.a, one.b) + std::hypot(two.a, two.b)) / 2;
    const double g =
        0.5 * (1 - std::sqrt(std::pow(cBar, 7) / (std::pow(cBar, 7) + std::pow(25, 7))));
    const double a1 = (1 + g) * one.a, a2 = (1 + g) * two.a;
    const double c1 = std::hypot(a1, one.b), c2 = std::hypot(a2, two.b);
    const auto hue = [&](double b, double a) {
        const double h = deg(std::atan2(b, a));
        return h < 0 ? h + 360 : h;
    };
    const double h1 = hue(one.b, a1), h2 = hue(two.b, a2);
    double dh = 0;
    if (c1 * c2 != 0)
        dh = h2 - h1 > 180 ? h2 - h1 - 360 : h2 - h1 < -180 ? h2 - h1 + 360 : h2 - h1;
    const double dL = two.L - one.L, dC = c2 - c1;
    const double dH = 2 * std::sqrt(c1 * c2) * std::sin(rad(dh / 2));
    const double lBar = (one.L + two.L) / 2, cpBar = (c1 + c2) / 2;
    double hBar = h1 + h2;
    if (c1 * c2 != 0)
        hBar = std::abs(h1 - h2) <= 180 ? (h1 + h2) / 2
               : h1 + h2 < 360          ? (h1 + h2 + 360) / 2
                                        : (h1 + h2 - 360) / 2;
    const double t = 1 - 0.17 * std::cos(rad(hBar - 30)) + 0.24 * std::cos(rad(2 * hBar)) +
                     0.32 * std::cos(rad(3 * hBar + 6)) - 0.20 * std::cos(rad(4 * hBar - 63));
    const double theta = 30 * std::exp(-std::pow((hBar - 275) / 25, 2));
    const double rc = 2 * std::sqrt(std::pow(cpBar, 7) / (std::pow(cpBar, 7) + std::pow(25, 7)));
    const double sl = 1 + 0.015 * std::pow(lBar - 50, 2) / std::sqrt(20 + std::pow(lBar - 50, 2));
    const double sc = 1 + 0.045 * cpBar, sh = 1 + 0.015 * cpBar * t;
    const double rt = -std::sin(rad(2 * theta)) * rc;
    return std::sqrt(std::pow(dL / sl, 2) + std::pow(dC / sc, 2) + std::pow(dH / sh, 2) +
                     rt * (dC / sc) * (dH / sh));
}
// A colour as a person with full colour vision, or with a dichromacy, sees it: the
// simulation of Machado, Oliveira and Fernandes (2009) at full severity, on linear RGB.
enum class Vision { Normal, Deuteranopia, Protanopia };
Lab seen(const QColor& c, Vision vision) {
    std::array<double, 3> rgb{linear(c.redF()), linear(c.greenF()), linear(c.blueF())};
    using M = std::array<std::array<double, 3>, 3>;
    const M deutan{{{0.367322, 0.860646, -0.227968},
                    {0.280085, 0.672501, 0.047413},
                    {-0.011820, 0.042940, 0.968881}}};
    const M protan{{{0.152286, 1.052583, -0.204868},
                    {0.114503, 0.786281, 0.099216},
                    {-0.003882, -0.048116, 1.051998}}};
    if (vision != Vision::Normal) {
        const M& m = vision == Vision::Deuteranopia ? deutan : protan;
        std::array<double, 3> out{};
        for (int i = 0; i < 3; ++i)
            out[size_t(i)] = std::clamp(m[size_t(i)][0] * rgb[0] + m[size_t(i)][1] * rgb[1] +
                                            m[size_t(i)][2] * rgb[2],
                                        0.0, 1.0);
        rgb = out;
    }
    return toLab(rgb);
}

// The pixels of a key as the keyboard shows it, and as its base picture is drawn.
QImage keyShown(KeysKeyboard* keyboard, int code) {
    const QImage shown = keyboard->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const qreal d = keyboard->devicePixelRatioF();
    const QRectF r = KeysPictures::labelRect(code, keyboard->size());
    return shown.copy(QRectF(r.topLeft() * d, r.size() * d).toAlignedRect());
}
QImage keyDrawn(KeysKeyboard* keyboard, int code) {
    const qreal d = keyboard->devicePixelRatioF();
    const QImage drawn = KeysPictures::draw(KeysPictures::Role::Base, keyboard->size(), d);
    const QRectF r = KeysPictures::labelRect(code, keyboard->size());
    return drawn.copy(QRectF(r.topLeft() * d, r.size() * d).toAlignedRect());
}

// The keys of a drawn keyboard, found in its pixels: the keyboard's body is what can be reached
// from its corner over pixels of the body's colour; every patch of touching pixels left over,
// the letters on it included, is one key.
class DrawnKeys {
  public:
    DrawnKeys(const QImage& keyboard, qreal scale) : m_size(keyboard.size()) {
        QImage body(keyboard.size(), QImage::Format_RGB32);
        body.setDevicePixelRatio(scale);
        {
            QPainter p(&body);
            p.setRenderHint(QPainter::Antialiasing);
            Look::paintKeyboardBody(p, QRectF(QPointF(0, 0), QSizeF(keyboard.size()) / scale),
                                    Look::basePalette(), 0);
        }
        const auto ofBody = [&](QPoint at) {
            const QRgb a = keyboard.pixel(at), b = body.pixel(at);
            return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) +
                       qAbs(qBlue(a) - qBlue(b)) <=
                   kStandsOut;
        };
        m_patch.fill(kUnseen, m_size.width() * m_size.height());
        fill(QPoint(0, 0), kBody, ofBody);
        for (int y = 0; y < m_size.height(); ++y)
            for (int x = 0; x < m_size.width(); ++x)
                if (m_patch[index({x, y})] == kUnseen) {
                    m_pixels.append(QList<QPoint>());
                    fill({x, y}, int(m_pixels.size()) - 1,
                         [this](QPoint at) { return m_patch[index(at)] == kUnseen; });
                }
    }
    int patches() const { return int(m_pixels.size()); }
    int patchAt(QPoint p) const {
        return QRect(QPoint(0, 0), m_size).contains(p) ? std::max(m_patch[index(p)], -1) : -1;
    }
    const QList<QPoint>& pixels(int patch) const { return m_pixels[patch]; }
    QRect bounds(int patch) const {
        QRect r;
        for (const QPoint& p : m_pixels[patch])
            r |= QRect(p, QSize(1, 1));
        return r;
    }

  private:
    // A pixel is the body's when it differs from the body by no more than a faint tint.
    static constexpr int kStandsOut = 24;
    static constexpr int kUnseen = -2;
    static constexpr int kBody = -1;
    int index(QPoint p) const { return p.y() * m_size.width() + p.x(); }
    template <typename Belongs> void fill(QPoint from, int patch, Belongs belongs) {
        QList<QPoint> todo{from};
        m_patch[index(from)] = patch;
        while (!todo.isEmpty()) {
            const QPoint p = todo.takeLast();
            if (patch >= 0)
                m_pixels[patch] << p;
            for (const QPoint& n :
                 {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)}) {
                if (!QRect(QPoint(0, 0), m_size).contains(n) || m_patch[index(n)] != kUnseen ||
                    !belongs(n))
                    continue;
                m_patch[index(n)] = patch;
                todo << n;
            }
        }
    }
    QSize m_size;
    QList<int> m_patch;
    QList<QList<QPoint>> m_pixels;
};

} // namespace

class KeysWindowTest : public QObject, WindowFixture {
    Q_OBJECT

    std::unique_ptr<KeysWindow> openWindow(const QByteArray& lesson, const QByteArray& sz0) {
        writeBytes(file("sz0.txt"), sz0);
        QDir().mkpath(file("1"));
        writeBytes(file("1/0.txt"), lesson);
        auto window = std::make_unique<KeysWindow>(context());
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        return window;
    }

  private slots:
    // The platform's key for each character a lesson can hold is the key the rules expect
    // for it; X11 reports the shifted symbol on the press and the plain one on a late release,
    // and both give the same key.
    void platformKeysMapToTheKeysOfTheRules() {
        for (char16_t c = 0x20; c < 0x7f; ++c) {
            const int qtKey = QChar(c).toUpper().unicode();
            QVERIFY2(virtualKeyCode(qtKey) == KeyboardTable::codeOf(QChar(c)),
                     qPrintable(QString(QChar(c))));
        }
        const std::pair<int, int> named[] = {{Qt::Key_Backspace, 8}, {Qt::Key_Return, 13},
                                             {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},
                                             {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20},
                                             {Qt::Key_Space, 32},    {Qt::Key_Tab, 9},
                                             {Qt::Key_F1, 112},      {Qt::Key_Insert, 0}};
        for (const auto& [qtKey, code] : named)
            QCOMPARE(virtualKeyCode(qtKey), code);
    }

    void init() {
        m_platform.asked.clear();
        m_platform.opened.clear();
        m_sound.played.clear();
        for (const char* name : {"test2.bmp", "test3.bmp", "test4.bmp", "test5.bmp", "test6.bmp"})
            QFile::remove(file(QString::fromLatin1(name)));
    }

    // Each judged keystroke counts for the key to press; the run reaches the history when the
    // window unloads after ten seconds.
    void typingReachesTheHistory() {
        writeBytes(file("sz0.txt"), "1100\r\n");
        QDir().mkpath(file("1"));
        writeBytes(file("1/0.txt"), "Fixture\r\nfj F\r\nk\r\n");
        HistoryStore history(file("history.db"));
        AppContext c = context();
        c.history = &history;
        auto window = std::make_unique<KeysWindow>(c);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        typeText(window->findChild<QLineEdit*>("Text1"), QStringLiteral("fjd"));
        for (int i = 0; i < 11; ++i)
            window->timers().fire("Timer4");
        window->close();

        const QList<PracticeRun> runs = history.runs();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].mode, PracticeMode::Keys);
        QCOMPARE(runs[0].item, QStringLiteral("Fixture"));
        QCOMPARE(runs[0].activeSeconds, 11);
        QCOMPARE(runs[0].keystrokes, 3);
        QCOMPARE(runs[0].wrongKeystrokes, 1);
        QStringList keys;
        for (const KeyTally& key : history.keyTallies())
            keys << QStringLiteral("%1:%2/%3").arg(key.code).arg(key.wrong).arg(key.expected);
        QCOMPARE(keys, (QStringList{"32:1/1", "70:0/1", "74:0/1"}));
    }

    // A lesson's end shows its results beneath the prompt, from the same record that goes
    // into the history; a visit without a keystroke records nothing.
    void lessonEndShowsTheRunThatIsKept() {
        writeBytes(file("sz0.txt"), "1100\r\n");
        QDir().mkpath(file("1"));
        writeBytes(file("1/0.txt"), "Fixture\r\nfj\r\nk\r\n");
        QFile::remove(file("history.db"));
        HistoryStore history(file("history.db"));
        AppContext c = context();
        c.history = &history;
        {
            KeysWindow idle(c);
            idle.setAttribute(Qt::WA_DeleteOnClose, false);
            idle.show();
            // The shortcut that came here, then a wait without typing.
            QTest::keyClick(idle.findChild<QLineEdit*>("Text1"), Qt::Key_1, Qt::ControlModifier);
            for (int i = 0; i < 15; ++i)
                idle.timers().fire("Timer4");
            idle.close();
        }
        QCOMPARE(history.runCount(), 0);

        auto window = std::make_unique<KeysWindow>(c);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        m_platform.answer = false; // Cancel: the lesson starts again
        m_platform.details.clear();
        auto* input = window->findChild<QLineEdit*>("Text1");
        typeText(input, QStringLiteral("fg")); // g where j is due
        for (int i = 0; i < 12; ++i)
            window->timers().fire("Timer4");
        typeText(input, QStringLiteral("jk"));
        QCOMPARE(m_platform.details.size(), 1);
        const QList<PracticeRun> runs = history.runs();
        QCOMPARE(runs.size(), 1);
        const QString shown = m_platform.details.first();
        QVERIFY2(
            shown.contains(QStringLiteral("Speed: %1 characters per minute (%2 words per minute)")
                               .arg(runs[0].speed)
                               .arg(runs[0].speed / 5)),
            qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("Accuracy: %1 %").arg(runs[0].accuracy)),
                 qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("Keystrokes: 4, 1 of them wrong")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("Missed most: J (1)")), qPrintable(shown));
        QCOMPARE(runs[0].speed, 20); // the status bar: 4 keystrokes in 12 seconds
        QCOMPARE(runs[0].accuracy, 75);
        window->close();
        QCOMPARE(history.runCount(), 1);
        m_platform.answer = true;
    }

    void typingALessonThroughTheInputBox() {
        auto window = openWindow("Fixture\r\nfj F\r\nk\r\n", "1100\r\n");
        auto* input = window->findChild<QLineEdit*>("Text1");
        auto* panel = window->findChild<PracticeLinePanel*>("Picture11");
        auto* row = window->findChild<TypedRow*>("Picture10");
        QCOMPARE(window->findChild<QLabel*>("Label8")->text(), QStringLiteral("Fixture"));
        QCOMPARE(panel->line(), QStringLiteral("fj F"));
        QCOMPARE(window->keyboard()->marks(), (QList<KeyMark>{{70, KeyPicture::Tip}}));

        typeText(input, QStringLiteral("fjd"));
        QCOMPARE(input->text(), QStringLiteral("djf")); // newest first
        QCOMPARE(row->right(), QStringLiteral("fj"));
        QCOMPARE(row->wrong(), QStringLiteral("d"));
        QCOMPARE(panel->cursorAfter(), 2);
        QCOMPARE(window->keyboard()->marks(),
                 (QList<KeyMark>{{32, KeyPicture::Tip}, {68, KeyPicture::WrongKey}}));
        QCOMPARE(window->findChild<QLabel*>("Label38")->text(), QStringLiteral("66 %"));
        QVERIFY(window->timers().isActive("Timer4"));
        QCOMPARE(m_sound.played.size(), 3);
        QVERIFY(m_sound.played.last().endsWith(QStringLiteral("error.wav")));

        // A capital: Shift down, the letter, Shift up, as a real keyboard sends them.
        typeText(input, QStringLiteral(" "));
        QKeyEvent shiftDown(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, 50, 0, 0);
        QCoreApplication::sendEvent(input, &shiftDown);
        typeKey(input, Qt::Key_F, QStringLiteral("F"), Qt::ShiftModifier);
        QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier, 50, 0, 0);
        QCoreApplication::sendEvent(input, &shiftUp);
        QCOMPARE(panel->line(), QStringLiteral("k"));
        QCOMPARE(row->right(), QString());

        // The last key ends the lesson; Cancel at the prompt starts it again.
        m_platform.answer = false;
        typeText(input, QStringLiteral("k"));
        QCOMPARE(m_platform.asked, QStringList{QStringLiteral("Prompt")});
        QCOMPARE(panel->line(), QStringLiteral("fj F"));
        QCOMPARE(window->findChild<QLabel*>("Label40")->text(), QStringLiteral("0:00:00"));
        QCOMPARE(window->findChild<QLabel*>("Label38")->text(), QStringLiteral("0 %"));
        QCOMPARE(input->text(), QString());
        QCOMPARE(window->findChild<KeysStatusBar*>("Picture8")->progressWidth(), 0);
    }

    // The Caps Lock lamp on the keyboard shows what the platform says once the key is let go.
    void capsLockLampFollowsThePlatform_data() {
        QTest::addColumn<bool>("on");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void capsLockLampFollowsThePlatform() {
        QFETCH(bool, on);
        auto window = openWindow("Fixture\r\nfj\r\n", "0000\r\n");
        auto* lamp = window->keyboard()->findChild<QWidget*>(QStringLiteral("Picture1"));
        QVERIFY(lamp);
        QVERIFY(lamp->isHidden());
        m_platform.capsLock = on;
        typeKey(window->findChild<QLineEdit*>("Text1"), Qt::Key_CapsLock, QString());
        window->timers().fire("Timer1");
        QCOMPARE(!lamp->isHidden(), on);
        m_platform.capsLock = false;
    }

    // The real platform without an X server (here offscreen, as on Wayland) learns Caps Lock
    // from the keys the application gets: the lamp lights after a small letter and Caps Lock.
    void capsLockLampFollowsTheKeysWithoutAnXServer() {
        QtPlatform platform;
        AppContext c = context();
        c.platform = &platform;
        writeBytes(file("sz0.txt"), "0000\r\n");
        auto window = std::make_unique<KeysWindow>(c);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        QApplication::setActiveWindow(window.get());
        auto* input = window->findChild<QLineEdit*>("Text1");
        input->setFocus();
        QCOMPARE(QApplication::focusWidget(), input);
        auto* lamp = window->keyboard()->findChild<QWidget*>(QStringLiteral("Picture1"));
        QTest::keyClick(input, Qt::Key_A);
        QTest::keyClick(input, Qt::Key_CapsLock);
        window->timers().fire("Timer1");
        QVERIFY(!lamp->isHidden());
        QVERIFY(platform.capsLockOn());
        QTest::keyClick(input, Qt::Key_CapsLock);
        window->timers().fire("Timer1");
        QVERIFY(lamp->isHidden());
    }

    void lessonEndOkOpensTheChooser() {
        auto window = openWindow("Fixture\r\nf\r\n", "0000\r\n");
        writeBytes(file("1/4.txt"), "Four\r\nru\r\n");
        m_platform.answer = true;
        QTimer::singleShot(0, this, [] {
            auto* chooser = qobject_cast<KeyChooser*>(QApplication::activeModalWidget());
            QVERIFY(chooser);
            QCOMPARE(chooser->windowTitle(), QStringLiteral(" Select lesson"));
            chooser->list()->setCurrentRow(4);
            chooser->findChild<QPushButton*>("Command1")->click();
        });
        typeText(window->findChild<QLineEdit*>("Text1"), QStringLiteral("f"));
        QCOMPARE(window->lessonIndex(), 4);
        QCOMPARE(window->findChild<QLabel*>("Label8")->text(), QStringLiteral("Four"));
        QCOMPARE(window->exercise().exerciseFlag(), QStringLiteral("home"));
    }

    void tabIsMarkedNotTyped() {
        auto window = openWindow("Fixture\r\nfj\r\n", "1100\r\n");
        window->show();
        auto* input = window->findChild<QLineEdit*>("Text1");
        input->setFocus();
        QTest::keyClick(input, Qt::Key_Tab);
        QVERIFY(window->keyboard()->marks().contains(KeyMark{527, KeyPicture::Press}));
        QVERIFY(window->timers().isActive("Timer2"));
        QCOMPARE(input->text(), QString());
        QCOMPARE(window->exercise().typedCount(), 0);
    }

    void chooserListsTheLessonsAndEnterMovesToOk() {
        KeyChooser chooser(&m_platform, QStringLiteral("https://games.example/"));
        QCOMPARE(chooser.list()->count(), 16);
        QCOMPARE(chooser.list()->currentRow(), 0);
        chooser.show();
        QApplication::setActiveWindow(&chooser);
        chooser.list()->setFocus();
        chooser.list()->setCurrentRow(6);
        QTest::keyClick(chooser.list(), Qt::Key_Return);
        QVERIFY(chooser.isVisible()); // Enter does not choose by itself
        QCOMPARE(QApplication::focusWidget(), chooser.findChild<QPushButton*>("Command1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(chooser.chosenIndex(), 6);

        KeyChooser link(&m_platform, QStringLiteral("https://games.example/"));
        link.findChild<QPushButton*>("Command3")->click();
        QCOMPARE(m_platform.opened, QStringList{QStringLiteral("https://games.example/")});
        QCOMPARE(link.chosenIndex(), -1);
    }

    // What the status bar shows (its captions, fields and progress bar) keeps clear of the
    // bar's rounded ends, at either end.
    void theMetersKeepClearOfTheBarsEnds() {
        auto window = openWindow("Fixture\r\nf\r\n", "0000\r\n");
        auto* bar = window->findChild<KeysStatusBar*>("Picture8");
        const QImage shown = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage plain = shown;
        {
            QPainter p(&plain);
            p.setRenderHint(QPainter::Antialiasing);
            KeysLook::paintStatusBar(p, bar->rect(), bar->palette());
        }
        // Between the rounded corners, inside the bar's outline.
        const int d = int(shown.devicePixelRatio());
        int first = shown.width(), last = -1;
        for (int y = 8 * d; y < shown.height() - 8 * d; ++y)
            for (int x = 2 * d; x < shown.width() - 2 * d; ++x)
                if (shown.pixel(x, y) != plain.pixel(x, y)) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        QVERIFY(last > first);
        const int margin = 16 * d;
        QVERIFY2(first >= margin, qPrintable(QStringLiteral("%1 px at the left").arg(first)));
        QVERIFY2(shown.width() - 1 - last >= margin,
                 qPrintable(QStringLiteral("%1 px at the right").arg(shown.width() - 1 - last)));
    }

    // Every key label lies on the keyboard, every mark covers its key, the Caps Lock lamp
    // covers the Caps Lock key.
    void keyLabelsLieOnTheKeyboard() {
        auto window = openWindow("Fixture\r\nf\r\n", "0000\r\n");
        KeysKeyboard* keyboard = window->keyboard();
        const QRect area = keyboard->rect();
        for (const KeyboardTable::Place& place : KeyboardTable::keysKeyboardLabels())
            QVERIFY2(area.contains(keyboard->labelRect(place.index)),
                     qPrintable(QString::number(place.index)));
        QCOMPARE(keyboard->capsIndicator()->geometry(), keyboard->labelRect(20));
        QVERIFY(keyboard->labelRect(16).isEmpty()); // Shift carries no label
        QVERIFY(window->rect().contains(keyboard->geometry()));
    }

    // The five pictures: each role looks different on a letter key, and the marks' colours
    // are what the learner is told: green to press, red for a wrong key.
    void picturesDifferByRole() {
        const QSize size(695, 223);
        const QRectF f = KeysPictures::labelRect(70, size);
        QList<QColor> colours;
        using R = KeysPictures::Role;
        for (R role : {R::Base, R::Tip, R::Press, R::WrongPress, R::WrongKey}) {
            const QColor c = averageColour(KeysPictures::draw(role, size, 1), f);
            for (const QColor& other : colours)
                QVERIFY(qAbs(c.red() - other.red()) + qAbs(c.green() - other.green()) +
                            qAbs(c.blue() - other.blue()) >
                        30);
            colours << c;
        }
        QVERIFY(colours[1].green() > colours[1].red() && colours[2].green() > colours[2].red());
        QVERIFY(colours[3].red() > colours[3].green() && colours[4].red() > colours[4].green());
        // Tab is plain on the tip picture, green on the press picture.
        const QRectF tab = KeysPictures::labelRect(527, size);
        QCOMPARE(averageColour(KeysPictures::draw(R::Tip, size, 1), tab),
                 averageColour(KeysPictures::draw(R::Base, size, 1), tab));
    }

    void scaledPicturesAreWrittenOnceAndNeverReplaced() {
        auto window = openWindow("Fixture\r\nf\r\n", "1100\r\n");
        QVERIFY(QFileInfo::exists(file("test5.bmp")));
        QVERIFY(!QFileInfo::exists(file("test2.bmp")));
        auto* timer3 = window->findChild<QTimer*>("Timer3");
        QVERIFY(timer3->isActive());
        QCOMPARE(timer3->interval(), 55);
        window->timers().fire("Timer3");
        for (const char* name : {"test2.bmp", "test3.bmp", "test4.bmp", "test6.bmp"}) {
            const QImage copy(file(QString::fromLatin1(name)));
            QCOMPARE(copy.size(), window->keyboard()->size());
        }

        // A later load reads the copies and writes nothing; a file of another size stays as
        // it is, and the keyboard is drawn without it.
        const QDateTime written = QFileInfo(file("test3.bmp")).lastModified();
        QImage(QSize(100, 30), QImage::Format_RGB888).save(file("test5.bmp"), "BMP");
        const QByteArray learners = readAll(file("test5.bmp"));
        auto again = std::make_unique<KeysWindow>(context());
        again->completePictures();
        QCOMPARE(readAll(file("test5.bmp")), learners);
        QCOMPARE(QFileInfo(file("test3.bmp")).lastModified(), written);
        QCOMPARE(keyShown(again->keyboard(), 'Q'), keyDrawn(again->keyboard(), 'Q'));
    }

    // On a screen scaled by another factor (QT_SCALE_FACTOR=2 in its own run of this test),
    // the documented pictures keep their size and bytes, and the sharper copies the screen
    // needs are kept under names of their own.
    void picturesAtAnotherScaleKeepTheDocumentedFiles() {
        const QSize keyboardSize = openWindow("Fixture\r\nf\r\n", "1100\r\n")->keyboard()->size();
        QHash<QString, QByteArray> documented;
        using R = KeysPictures::Role;
        for (R role : {R::Base, R::Tip, R::Press, R::WrongPress, R::WrongKey}) {
            const QString name = KeysPictures::resource(role).mid(1);
            QFile::remove(file(name));
            KeysPictures::loadOrWrite(role, file(name), keyboardSize, 1.0);
            documented.insert(name, readAll(file(name)));
        }
        auto window = openWindow("Fixture\r\nf\r\n", "1100\r\n");
        window->completePictures();
        const qreal scale = window->keyboard()->devicePixelRatioF();
        for (auto it = documented.cbegin(); it != documented.cend(); ++it)
            QVERIFY2(readAll(file(it.key())) == it.value(), qPrintable(it.key()));
        for (R role : {R::Base, R::Tip, R::Press, R::WrongPress, R::WrongKey}) {
            const QString name = KeysPictures::resource(role, KeyboardLayout::us(), scale).mid(1);
            QCOMPARE(QImage(file(name)).size(), keyboardSize * scale);
            if (qFuzzyCompare(scale, 2.0))
                QCOMPARE(name, QStringLiteral("test%1@2x.bmp").arg(name[4]));
        }
        QCOMPARE(keyShown(window->keyboard(), 'Q'), keyDrawn(window->keyboard(), 'Q'));
    }

    // Every cap stands where the keyboard table puts its key, found in the pixels of the
    // drawn keyboard: inside its label, so that a mark covers the whole key; clear of every
    // other label, so that a mark never touches the next key; in line with its row; and
    // parted from its neighbours by one gap, across the rows and between them.
    void everyCapStandsInItsKeyInLineWithItsRow_data() {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("200 %") << 2.0;
    }
    void everyCapStandsInItsKeyInLineWithItsRow() {
        QFETCH(qreal, scale);
        const QSize size(695, 223);
        const QImage keyboard = KeysPictures::draw(KeysPictures::Role::Base, size, scale);
        const DrawnKeys drawn(keyboard, scale);
        const auto device = [scale](const QRectF& r) {
            return QRectF(r.topLeft() * scale, r.size() * scale);
        };
        // The patch of each key: the one under the middle of its label.
        QHash<int, int> patchOf;
        QSet<int> ofLabels;
        for (const KeyboardTable::Place& place : KeyboardTable::keysKeyboardLabels()) {
            const QRectF label = device(KeysPictures::labelRect(place.index, size));
            const int patch = drawn.patchAt(label.center().toPoint());
            QVERIFY2(patch >= 0, qPrintable(QStringLiteral("no cap in label %1").arg(place.index)));
            patchOf.insert(place.index, patch);
            ofLabels.insert(patch);
        }
        QCOMPARE(patchOf.value(13), patchOf.value(888));     // the two parts of one Enter key
        QCOMPARE(drawn.patches(), int(ofLabels.size()) + 6); // and Shift, Ctrl and Alt twice
        for (const KeyboardTable::Place& place : KeyboardTable::keysKeyboardLabels()) {
            const QString name = QString::number(place.index);
            QRectF own = device(KeysPictures::labelRect(place.index, size));
            if (place.code == KeyCode::Enter)
                own = device(KeysPictures::labelRect(13, size))
                          .united(device(KeysPictures::labelRect(888, size)));
            const int patch = patchOf.value(place.index);
            const QRectF other = device(KeysPictures::labelRect(place.index, size));
            for (const QPoint& pixel : drawn.pixels(patch)) {
                const QPointF centre = QPointF(pixel) + QPointF(0.5, 0.5);
                if (place.code == KeyCode::Enter) // inside one of its two labels
                    QVERIFY2(device(KeysPictures::labelRect(13, size)).contains(centre) ||
                                 device(KeysPictures::labelRect(888, size)).contains(centre),
                             qPrintable("Enter reaches out of its labels"));
                else
                    QVERIFY2(own.contains(centre), qPrintable(name + " reaches out of its label"));
            }
            // A mark copies the label's rectangle: it holds no pixel of another key.
            const QRect copied = other.toAlignedRect();
            for (int y = copied.top(); y <= copied.bottom(); ++y)
                for (int x = copied.left(); x <= copied.right(); ++x) {
                    const int at = drawn.patchAt({x, y});
                    QVERIFY2(at < 0 || at == patch,
                             qPrintable(QStringLiteral("the label %1 holds part of another key at "
                                                       "%2, %3")
                                            .arg(name)
                                            .arg(x)
                                            .arg(y)));
                }
        }

        // Five rows of caps, each cap of a row with the same top and bottom; the Enter key
        // reaches from the second row's top to the third's bottom.
        QMap<int, int> bottomOfRow; // top -> bottom
        for (int patch = 0; patch < drawn.patches(); ++patch) {
            const QRect r = drawn.bounds(patch);
            if (patch == patchOf.value(13))
                continue;
            QVERIFY2(!bottomOfRow.contains(r.top()) || bottomOfRow.value(r.top()) == r.bottom(),
                     qPrintable(QStringLiteral("a cap at %1, %2 is not as tall as its row")
                                    .arg(r.x())
                                    .arg(r.y())));
            bottomOfRow.insert(r.top(), r.bottom());
        }
        const QList<int> tops = bottomOfRow.keys();
        QCOMPARE(tops.size(), 5);
        const QRect enter = drawn.bounds(patchOf.value(13));
        QCOMPARE(enter.top(), tops[1]);
        QCOMPARE(enter.bottom(), bottomOfRow.value(tops[2]));

        // One gap between neighbours in a row and between the rows, to a pixel; the character
        // keys all one width.
        QList<int> gaps;
        for (int top : tops) {
            QList<std::pair<int, int>> across; // each key's left and right within the row
            for (int patch = 0; patch < drawn.patches(); ++patch) {
                int left = INT_MAX, right = -1;
                for (const QPoint& p : drawn.pixels(patch))
                    if (p.y() >= top && p.y() <= bottomOfRow.value(top)) {
                        left = std::min(left, p.x());
                        right = std::max(right, p.x());
                    }
                if (right >= 0)
                    across << std::pair{left, right};
            }
            std::sort(across.begin(), across.end());
            for (qsizetype k = 0; k + 1 < across.size(); ++k)
                gaps << across[k + 1].first - across[k].second - 1;
        }
        for (qsizetype k = 0; k + 1 < tops.size(); ++k)
            gaps << tops[k + 1] - bottomOfRow.value(tops[k]) - 1;
        const auto [fewest, most] = std::minmax_element(gaps.cbegin(), gaps.cend());
        QVERIFY2(*most - *fewest <= 1,
                 qPrintable(QStringLiteral("gaps from %1 to %2 pixels").arg(*fewest).arg(*most)));
        QVERIFY(*fewest >= 3 * scale);
        QList<int> widths;
        for (const KeyboardTable::Place& place : KeyboardTable::keysKeyboardLabels()) {
            const KeyboardTable::Key* key = KeyboardTable::find(place.code);
            if (key && key->label[0] && !key->label[1])
                widths << drawn.bounds(patchOf.value(place.index)).width();
        }
        const auto [narrowest, widest] = std::minmax_element(widths.cbegin(), widths.cend());
        QVERIFY2(*widest - *narrowest <= 1,
                 qPrintable(QStringLiteral("widths from %1 to %2").arg(*narrowest).arg(*widest)));
    }

    // What the learner must see fits: each shipped heading in its label, each practice line
    // in the window.
    void shippedLessonsFitTheWindow() {
        QDir().mkpath(file("1"));
        for (int i = 0; i < KeyLessons::kLessons; ++i) {
            const QString name = QStringLiteral("1/%1.txt").arg(i);
            QFile::remove(file(name));
            QVERIFY(QFile::copy(QStringLiteral(DATA_DIR "/") + name, file(name)));
        }
        writeBytes(file("sz0.txt"), "1100\r\n");
        KeysWindow window(context());
        auto* heading = window.findChild<QLabel*>("Label8");
        auto* panel = window.findChild<PracticeLinePanel*>("Picture11");
        const QFontMetrics line(panel->font());
        for (int i = 0; i < KeyLessons::kLessons; ++i) {
            window.exercise().chooserClosed(i);
            QVERIFY2(QFontMetrics(heading->font()).horizontalAdvance(heading->text()) <=
                         heading->width(),
                     qPrintable(heading->text()));
            for (int k = 1; k <= window.exercise().lineCount(); ++k) {
                const QString text = window.exercise().TextBoxGetLine(k);
                QVERIFY2(panel->x() + line.horizontalAdvance(text) <= window.width(),
                         qPrintable(text));
            }
        }
    }

    // Alt+S opens the settings panel while the input box keeps the focus; neither the
    // shortcut nor the release of Alt is a keystroke. Both buttons name their keys.
    void shortcutsActWithoutTypingAndGiveTheFocusBack() {
        auto window = openWindow("Fixture\r\nfj\r\n", "1100\r\n");
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* input = window->findChild<QLineEdit*>("Text1");
        input->setFocus();
        typeText(input, QStringLiteral("f"));
        const KeysExercise& e = window->exercise();
        QCOMPARE(e.typedCount(), 1);

        QTest::keyPress(input, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyClick(input, Qt::Key_S, Qt::AltModifier);
        QTest::keyRelease(input, Qt::Key_Alt, Qt::NoModifier);
        QVERIFY(window->findChild<QWidget*>("Picture7")->isVisible());
        QCOMPARE(QApplication::focusWidget(), input);
        QCOMPARE(e.typedCount(), 1);
        QCOMPARE(e.cursorPos(), 2);
        QCOMPARE(window->keyboard()->marks(), (QList<KeyMark>{{74, KeyPicture::Tip}}));
        for (const auto& [name, keys] : {std::pair{"Command1", "Alt+L"}, {"Command2", "Alt+S"}})
            QVERIFY(window->findChild<QWidget*>(name)->toolTip().contains(
                QKeySequence(QString::fromLatin1(keys)).toString(QKeySequence::NativeText)));
    }

    // Alt+S opens the panel and Alt+S or Esc closes it again, leaving the window as it was;
    // the next key typed is judged.
    void settingsPanelClosesFromTheKeyboard() {
        auto window = openWindow("Fixture\r\nfjd\r\n", "1100\r\n");
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* input = window->findChild<QLineEdit*>("Text1");
        auto* panel = window->findChild<QWidget*>("Picture7");
        input->setFocus();
        typeText(input, QStringLiteral("f"));
        const QImage before = window->grab().toImage();
        const auto altS = [input] {
            QTest::keyPress(input, Qt::Key_Alt, Qt::AltModifier);
            QTest::keyClick(input, Qt::Key_S, Qt::AltModifier);
            QTest::keyRelease(input, Qt::Key_Alt, Qt::NoModifier);
        };
        altS();
        QVERIFY(panel->isVisible());
        altS();
        QVERIFY(!panel->isVisible());
        altS();
        QVERIFY(panel->isVisible());
        QTest::keyClick(input, Qt::Key_Escape);
        QVERIFY(!panel->isVisible());
        QCOMPARE(QApplication::focusWidget(), input);
        QCOMPARE(window->grab().toImage(), before);
        typeText(input, QStringLiteral("j"));
        QCOMPARE(window->exercise().typedCount(), 2);
        QCOMPARE(window->exercise().wrongCount(), 0);
    }

    // A learner without a history: the drill is the home row, in words, with one line that
    // says why. It is a lesson of its own: kept in drill.txt, typed like any, left by choosing
    // a lesson, and never saved as the lesson in use.
    void aNewLearnersDrillIsTheHomeRow() {
        auto window = openWindow("Fixture\r\nfj\r\n", "1100\r\n");
        copyTree(QStringLiteral(DATA_DIR "/2"), file("2"));
        QFile::remove(file("drill.txt"));
        window->show();
        window->openDrill();
        auto* note = window->findChild<QLabel*>("DrillNote");
        QCOMPARE(window->findChild<QLabel*>("Label8")->text(), QStringLiteral("Drill: home row"));
        QVERIFY(note->isVisible());
        QVERIFY2(note->text().startsWith(QStringLiteral("Too little practice")) &&
                     !note->text().contains(u'\n'),
                 qPrintable(note->text()));
        const QList<QByteArray> lines = readAll(file("drill.txt")).split('\n');
        QCOMPARE(lines.first(), QByteArray("Drill: home row\r"));
        QCOMPARE(lines.size(), 1 + WeakKeyDrill::kLines + 1);
        auto* panel = window->findChild<PracticeLinePanel*>("Picture11");
        for (const QByteArray& line : lines.mid(1, WeakKeyDrill::kLines)) {
            const QString text = QString::fromLatin1(line.chopped(1));
            QVERIFY2(
                !text.isEmpty() &&
                    std::all_of(text.begin(), text.end(),
                                [](QChar c) { return QStringLiteral("asdfghjkl ").contains(c); }),
                line.constData());
            QVERIFY2(panel->x() + QFontMetrics(panel->font()).horizontalAdvance(text) <=
                         window->width(),
                     line.constData());
        }
        const QString first = QString::fromLatin1(lines[1].chopped(1));
        QCOMPARE(panel->line(), first);
        typeText(window->findChild<QLineEdit*>("Text1"), first);
        QCOMPARE(window->exercise().typedCount(), first.size());
        QCOMPARE(window->exercise().wrongCount(), 0);
        QCOMPARE(window->exercise().lineNumber(), 2);

        window->exercise().chooserClosed(0);
        QCOMPARE(window->findChild<QLabel*>("Label8")->text(), QStringLiteral("Fixture"));
        QVERIFY(!note->isVisible());
        window->openDrill();
        window->close();
        QCOMPARE(readAll(file("sz0.txt")), QByteArray("1100\r\n"));
        QVERIFY(QFileInfo::exists(file("drill.txt")));
    }

    // "Finger colours": off at first, the keyboard as documented; on, each key at rest in its
    // finger's colour while the marks keep theirs, and the finger for the next key named under
    // the keyboard. The switch is kept in a one-line file.
    void fingerColoursColourTheKeysUnderTheMarks() {
        QFile::remove(file(KeysWindow::kFingerStateResource.mid(1)));
        auto window = openWindow("Fixture\r\nfa\r\n", "1100\r\n");
        window->show();
        auto* fingers = window->findChild<QCheckBox*>("Check1fc");
        auto* line = window->findChild<QLabel*>("FingerLine");
        QCOMPARE(fingers->text(), QStringLiteral("Finger colours"));
        QVERIFY(!fingers->isChecked());
        QVERIFY(!line->isVisible());
        KeysKeyboard* keyboard = window->keyboard();
        window->completePictures();
        const QSize size = keyboard->size();
        const qreal d = keyboard->devicePixelRatioF();
        // A patch of a key's face, clear of its label and its edge.
        auto face = [&](int code) {
            const QRectF r = keyboard->labelRect(code);
            return QRectF(r.x() + r.width() * 0.15, r.y() + r.height() * 0.15, r.width() * 0.2,
                          r.height() * 0.15);
        };
        auto colourOf = [&](int code) {
            return averageColour(keyboard->grab().toImage(), face(code));
        };
        auto picture = [&](KeysPictures::Role role, int code) {
            return averageColour(KeysPictures::draw(role, size, d), face(code));
        };
        using R = KeysPictures::Role;
        QCOMPARE(colourOf('G'), picture(R::Base, 'G'));
        QCOMPARE(colourOf('F'), picture(R::Tip, 'F'));

        fingers->click();
        QVERIFY(window->exercise().fingerColours());
        auto distance = [](const QColor& a, const QColor& b) {
            return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) +
                   qAbs(a.blue() - b.blue());
        };
        QVERIFY(distance(colourOf('G'), picture(R::Base, 'G')) > 30);
        QVERIFY(distance(colourOf('G'), colourOf('R')) < 6);  // both the left index's
        QVERIFY(distance(colourOf('G'), colourOf('H')) > 30); // the right index's
        QCOMPARE(colourOf('F'), picture(R::Tip, 'F'));        // the mark on top
        QCOMPARE(colourOf(KeyCode::Tab), picture(R::Base, KeyCode::Tab));
        QVERIFY(line->isVisible());
        QVERIFY2(line->text().contains(QStringLiteral("Next: f, left index")),
                 qPrintable(line->text()));
        typeText(window->findChild<QLineEdit*>("Text1"), QStringLiteral("d"));
        QCOMPARE(colourOf('D'), picture(R::WrongKey, 'D'));
        typeText(window->findChild<QLineEdit*>("Text1"), QStringLiteral("f"));
        QVERIFY2(line->text().contains(QStringLiteral("Next: a, left little")),
                 qPrintable(line->text()));
        window->close();
        QCOMPARE(readAll(file(KeysWindow::kFingerStateResource.mid(1))), QByteArray("1\r\n"));

        auto again = openWindow("Fixture\r\nfa\r\n", "1100\r\n");
        QVERIFY(again->findChild<QCheckBox*>("Check1fc")->isChecked());
        QVERIFY(again->keyboard()->fingerColours());
    }

    // The eight finger colours, as the keyboard shows them, can be told from each other and
    // from the plain keys by a clear distance (CIEDE2000 of 15 or more), also by those who
    // see no red or no green.
    void fingerColoursStayApartForEveryEye_data() {
        QTest::addColumn<Vision>("vision");
        QTest::newRow("full colour vision") << Vision::Normal;
        QTest::newRow("deuteranopia") << Vision::Deuteranopia;
        QTest::newRow("protanopia") << Vision::Protanopia;
    }
    void fingerColoursStayApartForEveryEye() {
        QFETCH(Vision, vision);
        const QSize size(695, 223);
        const QImage keyboard =
            KeysPictures::draw(KeysPictures::Role::Base, size, 1.0, KeyboardLayout::us(), true);
        // A patch of a cap's face left of its label, clear of its edge.
        const auto faceOf = [&](int index) {
            const QRectF cap = KeysPictures::capRect(index, size);
            return averageColour(keyboard,
                                 QRectF(cap.x() + cap.width() * 0.1, cap.y() + cap.height() * 0.2,
                                        cap.width() * 0.2, cap.height() * 0.3));
        };
        // One key of each finger, left little to right little, then the plain keys.
        const QList<std::pair<const char*, int>> fingers{
            {"left little", 'A'}, {"left ring", 'S'},   {"left middle", 'D'},
            {"left index", 'G'},  {"right index", 'H'}, {"right middle", 'K'},
            {"right ring", 'L'},  {"right little", 'P'}};
        const QList<std::pair<const char*, int>> plain{{"a plain key (Space)", KeyCode::Space},
                                                       {"a plain key (Tab)", 527}};
        for (qsizetype i = 0; i < fingers.size(); ++i) {
            const Lab one = seen(faceOf(fingers[i].second), vision);
            QList<std::pair<const char*, int>> others = fingers.mid(i + 1);
            others += plain;
            for (const auto& [name, index] : std::as_const(others)) {
                const double distance = ciede2000(one, seen(faceOf(index), vision));
                QVERIFY2(distance >= 15, qPrintable(QStringLiteral("%1 and %2: %3")
                                                        .arg(fingers[i].first, name)
                                                        .arg(distance, 0, 'f', 1)));
            }
        }
    }

    // The line under the keyboard names the finger, and the other hand's Shift for a capital
    // or a shifted mark.
    void theFingerLineNamesTheFinger_data() {
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("named");
        QTest::newRow("a letter") << "j"
                                  << "Next: j, right index";
        QTest::newRow("a capital of the left hand") << "Q"
                                                    << "Next: Q, left little, with the right Shift";
        QTest::newRow("a shifted mark of the right hand")
            << "("
            << "Next: (, right ring, with the left Shift";
        QTest::newRow("a mark") << ";"
                                << "Next: ;, right little";
        QTest::newRow("Space") << " x"
                               << "Next: Space, thumb";
    }
    void theFingerLineNamesTheFinger() {
        QFETCH(QString, due);
        QFETCH(QString, named);
        writeBytes(file(KeysWindow::kFingerStateResource.mid(1)), "1\r\n");
        auto window = openWindow("Fixture\r\n" + due.toLatin1() + "\r\n", "0000\r\n");
        const QString text = window->findChild<QLabel*>("FingerLine")->text();
        QVERIFY2(text.endsWith(named.toHtmlEscaped()), qPrintable(text));
    }

    void switchesAndLessonAreSaved() {
        auto window = openWindow("Fixture\r\nf\r\n", "0109\r\n");
        window->findChild<QCheckBox*>("Check1")->click();
        window->findChild<QCheckBox*>("Check1qq")->click();
        window->close();
        QCOMPARE(readAll(file("sz0.txt")), QByteArray("1009\r\n"));
    }
};

QTEST_MAIN(KeysWindowTest)
#include "test_keys_window.moc"
