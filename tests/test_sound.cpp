// What a sound server hears from the sound player. Run by tests/sound/with_pulse.sh, which
// starts a private server whose sink writes what it plays to a pipe.

#include "shell/sound_player.h"
#include "shell/wave_file.h"

#include <QTest>
#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Samples = std::vector<qint16>;

// Records what the sink "rec" plays: 16-bit mono at 44.1 kHz, written by the server to a
// pipe at the pace of the clock, exactly as mixed (this sink never rewinds what it wrote).
class Recorder {
  public:
    Recorder() {
        const QByteArray path = qgetenv("SOUND_RECORDING_PIPE");
        if (!path.isEmpty())
            m_pipe = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
    }
    ~Recorder() {
        stop();
        if (m_pipe >= 0)
            ::close(m_pipe);
    }
    bool ok() const { return m_pipe >= 0; }
    void start() {
        // What the server wrote before now is of no interest.
        char drain[4096];
        while (::read(m_pipe, drain, sizeof drain) > 0) {
        }
        m_thread = std::thread([this] {
            QByteArray bytes;
            char chunk[4096];
            while (!m_stop) {
                pollfd wait{m_pipe, POLLIN, 0};
                if (::poll(&wait, 1, 20) <= 0)
                    continue;
                const ssize_t got = ::read(m_pipe, chunk, sizeof chunk);
                if (got > 0)
                    bytes.append(chunk, got);
            }
            const auto* data = reinterpret_cast<const qint16*>(bytes.constData());
            m_samples.assign(data, data + bytes.size() / 2);
        });
    }
    Samples stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_samples;
    }

  private:
    int m_pipe = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    Samples m_samples;
};

Samples samplesOf(const QString& name) {
    const auto clip = WaveFile::read(QStringLiteral(DATA_DIR "/") + name);
    if (!clip || clip->bitsPerSample != 16 || clip->channels != 1 || clip->sampleRate != 44100)
        return {};
    const auto* data = reinterpret_cast<const qint16*>(clip->samples.constData());
    return Samples(data, data + clip->frames());
}

// Up to 2 units of rounding between what was played and what came back.
constexpr int Tolerance = 2;

bool matches(const Samples& heard, qsizetype at, const Samples& clip, qsizetype count) {
    if (at < 0 || at + count > qsizetype(heard.size()))
        return false;
    for (qsizetype i = 0; i < count; ++i)
        if (std::abs(heard[at + i] - clip[i]) > Tolerance)
            return false;
    return true;
}

bool silent(const Samples& heard, qsizetype from, qsizetype to) {
    for (qsizetype i = std::max<qsizetype>(from, 0); i < std::min<qsizetype>(to, heard.size()); ++i)
        if (std::abs(heard[i]) > Tolerance)
            return false;
    return true;
}

// Milliseconds during which a clip is louder than a fixed level (-30 dBFS).
double loudMs(const Samples& clip) {
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < qsizetype(clip.size()); ++i)
        if (std::abs(clip[i]) > 1036) {
            if (first < 0)
                first = i;
            last = i;
        }
    return first < 0 ? 0 : (last - first + 1) / 44.1;
}

} // namespace

class SoundTest : public QObject {
    Q_OBJECT
  private slots:
    // Each row plays sounds at the given moments. What comes back must be, sample for
    // sample: the start of every sound but the last, cut off where the next one begins, then
    // the last one whole, and silence around them.
    void soundsAreHeardWholeUnlessCutOff_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QList<int>>("gapsMs"); // before each sound but the first
        QTest::newRow("click alone") << QStringList{"type.wav"} << QList<int>{};
        QTest::newRow("error tone alone") << QStringList{"error.wav"} << QList<int>{};
        QTest::newRow("error tone cuts a click off")
            << QStringList{"type.wav", "error.wav"} << QList<int>{11};
        QTest::newRow("click cuts the error tone off")
            << QStringList{"error.wav", "type.wav"} << QList<int>{60};
        QTest::newRow("fast typing restarts the click")
            << QStringList{"type.wav", "type.wav", "type.wav"} << QList<int>{12, 12};
    }
    void soundsAreHeardWholeUnlessCutOff() {
        QFETCH(QStringList, files);
        QFETCH(QList<int>, gapsMs);
        std::vector<Samples> clips;
        for (const QString& file : files) {
            clips.push_back(samplesOf(file));
            QVERIFY2(!clips.back().empty(), qPrintable(file));
        }
        Recorder recorder;
        QVERIFY(recorder.ok());
        EventSoundPlayer player;
        for (const QString& file : files)
            player.preload(QStringLiteral(DATA_DIR "/") + file);
        recorder.start();
        for (qsizetype i = 0; i < files.size(); ++i) {
            if (i > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(gapsMs[i - 1]));
            player.PlayWave(QStringLiteral(DATA_DIR "/") + files[i]);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(clips.back().size() / 44 + 400));
        const Samples heard = recorder.stop();

        // The last sound whole: the one place where all of it matches.
        const Samples& last = clips.back();
        qsizetype start = -1;
        for (qsizetype at = 0; at + qsizetype(last.size()) <= qsizetype(heard.size()); ++at)
            if (matches(heard, at, last, last.size())) {
                start = at;
                break;
            }
        QVERIFY2(start >= 0, "the last sound was not heard whole");
        QVERIFY2(silent(heard, start + last.size(), heard.size()), "something followed it");
        qInfo("%s heard for %.1f ms above -30 dBFS", qPrintable(files.last()), loudMs(last));

        // Walking back: each earlier sound heard from its beginning, at least 1 ms of it and
        // less than all of it, up to where the next one began.
        for (qsizetype k = clips.size() - 2; k >= 0; --k) {
            const Samples& clip = clips[k];
            qsizetype begin = -1;
            for (qsizetype length = 44; length < qsizetype(clip.size()); ++length)
                if (matches(heard, start - length, clip, length) &&
                    !silent(heard, start - length, start)) {
                    begin = start - length;
                    break;
                }
            QVERIFY2(begin >= 0, qPrintable(QStringLiteral("%1 (sound %2) was not cut off where "
                                                           "the next began")
                                                .arg(files[k])
                                                .arg(k + 1)));
            qInfo("%s cut off after %.1f ms", qPrintable(files[k]), (start - begin) / 44.1);
            start = begin;
        }
        QVERIFY2(silent(heard, 0, start), "something was heard before the first sound");
    }
};

QTEST_GUILESS_MAIN(SoundTest)
#include "test_sound.moc"
