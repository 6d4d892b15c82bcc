// The typing game in one run, side by side with a baseline:
//  - CPU per 10 s of a bare Qt window whose three timers (16, 66 and 1000 ms: the game's frame,
//    fall tick and clock) move four labels down and a sprite along the top, with an input box;
//  - CPU per 10 s of the game window with four items falling, and the repaints of its window
//    (on X11 the frames go straight to the screen and are no repaints); then
//    paused, once the sprite has reached its place (goal: no frames);
//  - the delay from a typed hit to the end of the repaint that removes the item.
// bench/peer_ratios.sh compares the running game with TIPP10's falling-letters game.
// Usage: bench_game PROGRAM_FOLDER

#include "bench_support.h"
#include "game/ui/game_window.h"
#include "core/key_codes.h"
#include "core/state_file.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// CPU milliseconds used while the event loop runs for ten seconds.
double cpuOverTenSeconds() {
    return Bench::cpuSecondsOver(10000) * 1000;
}

// The baseline: what any Qt window that shows this game must at least do.
class Baseline : public QWidget {
  public:
    Baseline() {
        setFixedSize(800, 600);
        auto* field = new QWidget(this);
        field->setGeometry(5, 57, 787, 494);
        field->setStyleSheet(QStringLiteral("background: #1b2c5a;"));
        for (int i = 0; i < 4; ++i) {
            auto* label = new QLabel(QString(QChar(u'A' + i)), field);
            label->setStyleSheet(QStringLiteral("color: #ffcc44; background: black;"));
            label->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 22, QFont::Bold));
            label->adjustSize();
            label->move(100 + 170 * i, 40 * i);
            m_items.push_back(label);
        }
        QPixmap picture(75, 57);
        picture.fill(Qt::transparent);
        QPainter(&picture).fillRect(20, 10, 35, 40, Qt::green);
        m_sprite = new QLabel(field);
        m_sprite->setPixmap(picture);
        m_sprite->resize(75, 57);
        auto* input = new QLineEdit(this);
        input->setGeometry(282, 557, 244, 36);
        input->setFocus();

        connect(&m_timer7, &QTimer::timeout, this, [this] {
            const int x = m_sprite->x();
            if (x != m_target)
                m_sprite->move(x + (m_target > x ? std::min(3, m_target - x) : -std::min(3, x - m_target)), 0);
        });
        connect(&m_timer1, &QTimer::timeout, this, [this] {
            for (QLabel* label : m_items)
                label->move(label->x(), label->y() + 4 > 494 ? 40 : label->y() + 4);
        });
        connect(&m_timer2, &QTimer::timeout, this, [this] { m_target = 55 + (m_target * 37) % 610; });
        m_timer7.start(16);
        m_timer1.start(66);
        m_timer2.start(1000);
    }

  private:
    std::vector<QLabel*> m_items;
    QLabel* m_sprite = nullptr;
    int m_target = 400;
    QTimer m_timer7, m_timer1, m_timer2;
};

// Notes the time the field starts its next paint.
class PaintWatch : public QObject {
  public:
    QElapsedTimer* clock = nullptr;
    qint64 painted = -1;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = clock->nsecsElapsed();
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_game PROGRAM_FOLDER\n");
        return 2;
    }
    QTemporaryDir dir;
    Bench::copyProgramFolder(argv[1], dir.path());
    // Four items, no sounds, a time limit long enough for the whole run.
    StateFile::writeLine(dir.path() + QStringLiteral("/GameSet.txt"),
                         QStringLiteral("3000,0,1,0,0,60,4,2"));

    double baseline = 0;
    {
        Baseline window;
        window.show();
        QTest::qWait(500);
        baseline = cpuOverTenSeconds();
    }

    AppContext context;
    context.folder = ProgramFolder(dir.path());
    GameWindow window(context);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    Bench::FrameCount count;
    window.installEventFilter(&count);
    window.show();
    QTest::qWait(300);
    auto* input = window.findChild<QLineEdit*>(QStringLiteral("Text1"));
    window.game().newGameButton();
    QTest::qWait(500);
    count.frames = 0;
    const double running = cpuOverTenSeconds();
    const int runningFrames = count.frames;
    int live = 0;
    for (int i = 0; i < TypingGame::kSlots; ++i)
        live += window.game().isLive(i);
    window.game().keyUp(KeyCode::F3);
    QTest::qWait(3000); // the sprite walks to its place and stops
    count.frames = 0;
    const double paused = cpuOverTenSeconds();
    const int pausedFrames = count.frames;
    window.game().keyUp(KeyCode::F3);

    std::printf("cpu_per_10s baseline=%.1f ms game_running=%.1f ms (%.2fx, %d items live, "
                "%d frames) game_paused=%.1f ms (%.2fx, %d frames, goal 0)\n",
                baseline, running, running / baseline, live, runningFrames, paused,
                paused / baseline, pausedFrames);

    // Hit to repaint: type a live item and wait for the field's repaint.
    QElapsedTimer clock;
    clock.start();
    PaintWatch watch;
    watch.clock = &clock;
    QWidget* field = window.findChild<QWidget*>(QStringLiteral("Picture2"));
    field->installEventFilter(&watch);
    std::vector<double> delays;
    for (int round = 0; round < 300 && delays.size() < 200; ++round) {
        QTest::qWait(40); // a respawn, and whatever was pending, is drawn
        int slot = -1;
        for (int i = 0; i < TypingGame::kSlots && slot < 0; ++i)
            if (window.game().isLive(i) && window.game().slot(i).top > 0)
                slot = i;
        if (slot < 0)
            continue;
        const int hitsBefore = window.game().hitCount();
        watch.painted = -1;
        const qint64 t0 = clock.nsecsElapsed();
        Bench::type(input, window.game().slot(slot).text[0]);
        while (watch.painted < 0 && clock.nsecsElapsed() - t0 < 100'000'000)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        const qint64 t1 = clock.nsecsElapsed();
        if (window.game().hitCount() == hitsBefore + 1 && watch.painted >= 0)
            delays.push_back((t1 - t0) / 1e6);
    }
    std::printf("hit_to_repaint_ms median=%.3f p99=%.3f (n=%zu)\n", Bench::percentile(delays, 0.5),
                Bench::percentile(delays, 0.99), delays.size());
    return 0;
}
