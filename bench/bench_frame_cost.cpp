// What the frames of the game cost on the window system it runs on; bench/wayland_game.sh runs
// it under X11 and natively on Wayland in one sitting. Prints processor time per 10 s and the
// frames drawn for:
//  - the floor: a bare 800 x 600 window that moves one small item every 16 ms, which is what
//    any Qt window drawing at the game's frame rate costs on that window system;
//  - the game: the game window with four items falling, as bench_game runs it.
// Usage: bench_frame_cost PROGRAM_FOLDER

#include "bench_support.h"
#include "core/state_file.h"
#include "game/ui/game_window.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// The floor: a small square crossing a bare window, one step every 16 ms, as the game's
// frames come.
class Floor : public QWidget {
  public:
    Floor() {
        setFixedSize(800, 600);
        setAttribute(Qt::WA_OpaquePaintEvent);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const QRect before = item();
            m_x = (m_x + 3) % (width() - 20);
            update(before.united(item()));
        });
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.start(16);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        p.fillRect(event->rect(), QColor(0x1b, 0x2c, 0x5a));
        p.fillRect(item(), QColor(0xff, 0xcc, 0x44));
    }

  private:
    QRect item() const { return QRect(m_x, 300, 20, 20); }
    QTimer m_timer;
    int m_x = 0;
};

// Processor time over ten seconds of the event loop, and the frames counted meanwhile.
void measure(const char* what, Bench::FrameCount& count) {
    Bench::cpuSecondsOver(500); // settle
    count.frames = 0;
    const double ms = Bench::cpuSecondsOver(10000) * 1000;
    std::printf("%s cpu_per_10s=%.1f frames=%d\n", what, ms, count.frames);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_frame_cost PROGRAM_FOLDER\n");
        return 2;
    }
    QTemporaryDir dir;
    Bench::copyProgramFolder(argv[1], dir.path());
    // Four items, no sounds, a time limit long enough for the whole run.
    StateFile::writeLine(dir.path() + QStringLiteral("/GameSet.txt"),
                         QStringLiteral("3000,0,1,0,0,60,4,2"));

    Bench::FrameCount count;
    {
        Floor floor;
        floor.installEventFilter(&count);
        floor.show();
        measure("floor", count);
    }

    AppContext context;
    context.folder = ProgramFolder(dir.path());
    GameWindow window(context);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.installEventFilter(&count);
    window.show();
    Bench::cpuSecondsOver(300);
    window.game().newGameButton();
    measure("game", count);
    return 0;
}
