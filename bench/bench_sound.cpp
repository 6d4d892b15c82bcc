// Sound: the delay from a sound request to its first sample leaving the sound server, and
// whether the sound came out whole. Run under tests/sound/with_pulse.sh (bench/run does),
// whose sink writes what it plays to a pipe at the pace of the clock.
// Usage: bench_sound PROGRAM_FOLDER

#include "platform/sound_player.h"
#include "core/wave_file.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Reads the pipe and notes when the first loud sample after a request arrives.
class OnsetWatch {
  public:
    explicit OnsetWatch(int pipe) : m_pipe(pipe) {
        char drain[4096];
        while (::read(m_pipe, drain, sizeof drain) > 0) {
        }
        m_thread = std::thread([this] { run(); });
    }
    ~OnsetWatch() {
        m_stop = true;
        m_thread.join();
    }
    void arm() {
        std::lock_guard lock(m_mutex);
        m_armed = true;
        m_loud = 0;
        m_requested = Clock::now();
    }
    // Milliseconds from arm() to the first loud sample, and how many loud samples followed.
    std::pair<double, int> result() {
        std::lock_guard lock(m_mutex);
        return {m_delayMs, m_loud};
    }

  private:
    void run() {
        qint16 chunk[64];
        while (!m_stop) {
            pollfd wait{m_pipe, POLLIN, 0};
            if (::poll(&wait, 1, 20) <= 0)
                continue;
            const ssize_t got = ::read(m_pipe, chunk, sizeof chunk);
            const auto now = Clock::now();
            std::lock_guard lock(m_mutex);
            for (ssize_t i = 0; i < got / 2; ++i) {
                if (std::abs(chunk[i]) <= 1036) // -30 dBFS
                    continue;
                if (m_armed) {
                    m_armed = false;
                    m_delayMs =
                        std::chrono::duration<double, std::milli>(now - m_requested).count();
                }
                ++m_loud;
            }
        }
    }
    int m_pipe;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    bool m_armed = false;
    Clock::time_point m_requested;
    double m_delayMs = -1;
    int m_loud = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QByteArray pipePath = qgetenv("SOUND_RECORDING_PIPE");
    if (argc < 2 || pipePath.isEmpty()) {
        std::fprintf(stderr, "usage: with_pulse.sh bench_sound PROGRAM_FOLDER\n");
        return 2;
    }
    const int pipe = ::open(pipePath.constData(), O_RDONLY | O_NONBLOCK);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    OnsetWatch watch(pipe);
    EventSoundPlayer player;
    for (const char* name : {"type.wav", "error.wav"}) {
        const QString path = folder + QStringLiteral("/") + QLatin1String(name);
        player.preload(path);
        std::vector<double> delays;
        int whole = 0;
        const int runs = 15;
        for (int i = 0; i < runs; ++i) {
            watch.arm();
            player.PlayWave(path);
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            const auto [delay, loud] = watch.result();
            delays.push_back(delay);
            whole += loud;
        }
        std::sort(delays.begin(), delays.end());
        std::printf(
            "%s: request_to_first_sample_ms median=%.1f max=%.1f, heard_loud_ms=%.1f (n=%d)\n",
            name, delays[delays.size() / 2], delays.back(), whole / double(runs) / 44.1, runs);
    }
    return 0;
}
