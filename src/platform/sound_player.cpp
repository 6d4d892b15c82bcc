#include "platform/sound_player.h"

#include "core/wave_file.h"

#include <QCoreApplication>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#if __has_include(<dlfcn.h>) && __has_include(<pulse/pulseaudio.h>) && __has_include(<alsa/asoundlib.h>)
#define ZEPHKIN_SOUND_OUTPUT 1
#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <pulse/pulseaudio.h>
#endif

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// The thread writes this much at a time before it looks for a new request.
constexpr auto ChunkTime = 10ms;
// What an ALSA device holds ahead of what is heard.
constexpr auto BufferTime = 40ms;
// An output with nothing to play is closed after this, so the sound server may let the
// device sleep; opening it again takes about a millisecond.
constexpr auto IdleClose = 10s;
// After no output could be opened, requests are dropped for this long before trying again.
constexpr auto RetryAfter = 5s;
// How long the player's end waits for its thread; a thread stuck in a device call is left
// to the end of the process.
constexpr auto EndWait = 150ms;

qint64 bytesFor(const WaveClip& clip, std::chrono::milliseconds time) {
    return qint64(clip.sampleRate) * time.count() / 1000 * clip.frameBytes();
}

class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    // Blocks while the device's buffer is full. False when the device is gone.
    virtual bool write(const char* data, qint64 bytes) = 0;
    // Drops what is buffered and not yet heard.
    virtual void discard() = 0;
    // How much of a clip goes out in the first write.
    virtual qint64 writeAhead() const = 0;
    // Silence written after a clip so its end reaches the speaker before the device runs dry.
    virtual qint64 trailingSilence() const { return 0; }
};

#ifdef ZEPHKIN_SOUND_OUTPUT

template <typename Function> bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// The few calls of PulseAudio's asynchronous API that the player needs.
struct PulseApi {
    // clang-format off
#define ZEPHKIN_PULSE_CALLS(X)                                                                     \
    X(pa_threaded_mainloop_new) X(pa_threaded_mainloop_free) X(pa_threaded_mainloop_start)        \
    X(pa_threaded_mainloop_stop) X(pa_threaded_mainloop_lock) X(pa_threaded_mainloop_unlock)      \
    X(pa_threaded_mainloop_wait) X(pa_threaded_mainloop_signal) X(pa_threaded_mainloop_get_api)   \
    X(pa_context_new) X(pa_context_connect) X(pa_context_disconnect) X(pa_context_unref)          \
    X(pa_context_get_state) X(pa_context_set_state_callback)                                      \
    X(pa_stream_new) X(pa_stream_connect_playback) X(pa_stream_get_state)                         \
    X(pa_stream_set_state_callback) X(pa_stream_set_write_callback) X(pa_stream_writable_size)    \
    X(pa_stream_write) X(pa_stream_flush) X(pa_stream_disconnect) X(pa_stream_unref)              \
    X(pa_operation_unref)
    // clang-format on
#define ZEPHKIN_PULSE_MEMBER(name) decltype(&::name) name;
    ZEPHKIN_PULSE_CALLS(ZEPHKIN_PULSE_MEMBER)

    // Loaded once and kept for the life of the process; null when the library is missing.
    static const PulseApi* get() {
        static const PulseApi* api = []() -> const PulseApi* {
            static PulseApi loaded;
            void* library = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
            if (!library)
                return nullptr;
#define ZEPHKIN_PULSE_RESOLVE(name)                                                                \
    if (!resolve(library, #name, loaded.name))                                                     \
        return nullptr;
            ZEPHKIN_PULSE_CALLS(ZEPHKIN_PULSE_RESOLVE)
            return &loaded;
        }();
        return api;
    }
};

// A playback stream whose buffer holds a whole event sound: a clip goes to the server in one
// write, so a busy machine that keeps this thread waiting cannot break it up. The server is
// asked for data early and in small steps, which keeps the sink's latency short.
class PulseOutput final : public SoundOutput {
  public:
    static std::unique_ptr<SoundOutput> open(const WaveClip& format, const QByteArray& name) {
        const PulseApi* api = PulseApi::get();
        if (!api)
            return nullptr;
        std::unique_ptr<PulseOutput> output(new PulseOutput(api, format));
        if (!output->connect(name))
            return nullptr;
        return output;
    }
    ~PulseOutput() override {
        if (!m_loop)
            return;
        m_api->pa_threaded_mainloop_stop(m_loop);
        if (m_stream) {
            m_api->pa_stream_disconnect(m_stream);
            m_api->pa_stream_unref(m_stream);
        }
        if (m_context) {
            m_api->pa_context_disconnect(m_context);
            m_api->pa_context_unref(m_context);
        }
        m_api->pa_threaded_mainloop_free(m_loop);
    }
    bool write(const char* data, qint64 bytes) override {
        Locked locked(this);
        while (bytes > 0) {
            if (m_api->pa_stream_get_state(m_stream) != PA_STREAM_READY)
                return false;
            const qint64 room = qint64(m_api->pa_stream_writable_size(m_stream));
            if (room <= 0) {
                m_api->pa_threaded_mainloop_wait(m_loop);
                continue;
            }
            const qint64 part = std::min(room, bytes) / m_frameBytes * m_frameBytes;
            if (part <= 0 || m_api->pa_stream_write(m_stream, data, size_t(part), nullptr, 0,
                                                    PA_SEEK_RELATIVE) < 0)
                return false;
            data += part;
            bytes -= part;
        }
        return true;
    }
    void discard() override {
        Locked locked(this);
        if (pa_operation* flushing = m_api->pa_stream_flush(m_stream, nullptr, nullptr))
            m_api->pa_operation_unref(flushing);
    }
    qint64 writeAhead() const override { return m_bufferBytes; }

  private:
    static constexpr auto HeldTime = 500ms; // longer than either sound
    static constexpr auto RequestTime = 10ms;

    struct Locked {
        explicit Locked(PulseOutput* output) : api(output->m_api), loop(output->m_loop) {
            api->pa_threaded_mainloop_lock(loop);
        }
        ~Locked() { api->pa_threaded_mainloop_unlock(loop); }
        const PulseApi* api;
        pa_threaded_mainloop* loop;
    };

    PulseOutput(const PulseApi* api, const WaveClip& format)
        : m_api(api), m_format(format), m_frameBytes(format.frameBytes()),
          m_bufferBytes(bytesFor(format, HeldTime)) {}

    static void wake(void*, void* self) {
        auto* output = static_cast<PulseOutput*>(self);
        output->m_api->pa_threaded_mainloop_signal(output->m_loop, 0);
    }

    bool connect(const QByteArray& name) {
        m_loop = m_api->pa_threaded_mainloop_new();
        if (!m_loop)
            return false;
        m_context =
            m_api->pa_context_new(m_api->pa_threaded_mainloop_get_api(m_loop), name.constData());
        if (!m_context)
            return false;
        m_api->pa_context_set_state_callback(
            m_context, [](pa_context* c, void* self) { wake(c, self); }, this);
        if (m_api->pa_context_connect(m_context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0 ||
            m_api->pa_threaded_mainloop_start(m_loop) < 0)
            return false;
        Locked locked(this);
        for (;;) {
            const pa_context_state_t state = m_api->pa_context_get_state(m_context);
            if (state == PA_CONTEXT_READY)
                break;
            if (!PA_CONTEXT_IS_GOOD(state))
                return false;
            m_api->pa_threaded_mainloop_wait(m_loop);
        }
        pa_sample_spec sampleFormat{};
        sampleFormat.format = m_format.bitsPerSample == 8    ? PA_SAMPLE_U8
                      : m_format.bitsPerSample == 16 ? PA_SAMPLE_S16LE
                      : m_format.bitsPerSample == 24 ? PA_SAMPLE_S24LE
                                                     : PA_SAMPLE_S32LE;
        sampleFormat.rate = uint32_t(m_format.sampleRate);
        sampleFormat.channels = uint8_t(m_format.channels);
        m_stream = m_api->pa_stream_new(m_context, "Keystroke sounds", &sampleFormat, nullptr);
        if (!m_stream)
            return false;
        m_api->pa_stream_set_state_callback(
            m_stream, [](pa_stream* s, void* self) { wake(s, self); }, this);
        m_api->pa_stream_set_write_callback(
            m_stream, [](pa_stream* s, size_t, void* self) { wake(s, self); }, this);
        // A pre-buffer of one frame: after the stream ran dry between two sounds, the next
        // one starts with its first bytes instead of waiting for a full buffer.
        pa_buffer_attr attr{};
        attr.maxlength = uint32_t(-1);
        attr.tlength = uint32_t(m_bufferBytes);
        attr.prebuf = uint32_t(m_frameBytes);
        attr.minreq = uint32_t(bytesFor(m_format, RequestTime));
        attr.fragsize = uint32_t(-1);
        if (m_api->pa_stream_connect_playback(m_stream, nullptr, &attr, PA_STREAM_EARLY_REQUESTS,
                                              nullptr, nullptr) < 0)
            return false;
        for (;;) {
            const pa_stream_state_t state = m_api->pa_stream_get_state(m_stream);
            if (state == PA_STREAM_READY)
                return true;
            if (!PA_STREAM_IS_GOOD(state))
                return false;
            m_api->pa_threaded_mainloop_wait(m_loop);
        }
    }

    const PulseApi* m_api;
    WaveClip m_format;
    int m_frameBytes;
    qint64 m_bufferBytes;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
};

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

struct AlsaApi {
    decltype(&snd_pcm_open) open;
    decltype(&snd_pcm_nonblock) nonblock;
    decltype(&snd_pcm_set_params) setParams;
    decltype(&snd_pcm_writei) write;
    decltype(&snd_pcm_recover) recover;
    decltype(&snd_pcm_drop) drop;
    decltype(&snd_pcm_prepare) prepare;
    decltype(&snd_pcm_close) close;

    static const AlsaApi* get() {
        static const AlsaApi* api = []() -> const AlsaApi* {
            static AlsaApi loaded;
            void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
            if (!library || !resolve(library, "snd_pcm_open", loaded.open) ||
                !resolve(library, "snd_pcm_nonblock", loaded.nonblock) ||
                !resolve(library, "snd_pcm_set_params", loaded.setParams) ||
                !resolve(library, "snd_pcm_writei", loaded.write) ||
                !resolve(library, "snd_pcm_recover", loaded.recover) ||
                !resolve(library, "snd_pcm_drop", loaded.drop) ||
                !resolve(library, "snd_pcm_prepare", loaded.prepare) ||
                !resolve(library, "snd_pcm_close", loaded.close))
                return nullptr;
            // No sound card is not worth a word on the terminal.
            decltype(&snd_lib_error_set_handler) setErrorHandler = nullptr;
            if (resolve(library, "snd_lib_error_set_handler", setErrorHandler))
                setErrorHandler(ignoreAlsaError);
            return &loaded;
        }();
        return api;
    }
};

class AlsaOutput final : public SoundOutput {
  public:
    static std::unique_ptr<SoundOutput> open(const WaveClip& format) {
        const AlsaApi* api = AlsaApi::get();
        if (!api)
            return nullptr;
        snd_pcm_t* pcm = nullptr;
        // Opened without blocking, so a device held by another program fails at once.
        if (api->open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
            return nullptr;
        const snd_pcm_format_t sampleFormat = format.bitsPerSample == 8    ? SND_PCM_FORMAT_U8
                                              : format.bitsPerSample == 16 ? SND_PCM_FORMAT_S16_LE
                                              : format.bitsPerSample == 24 ? SND_PCM_FORMAT_S24_3LE
                                                                           : SND_PCM_FORMAT_S32_LE;
        const auto latency = std::chrono::microseconds(BufferTime).count();
        if (api->nonblock(pcm, 0) < 0 ||
            api->setParams(pcm, sampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED,
                           unsigned(format.channels), unsigned(format.sampleRate), 1,
                           unsigned(latency)) < 0) {
            api->close(pcm);
            return nullptr;
        }
        return std::unique_ptr<SoundOutput>(new AlsaOutput(api, pcm, format));
    }
    ~AlsaOutput() override {
        m_api->drop(m_pcm);
        m_api->close(m_pcm);
    }
    bool write(const char* data, qint64 bytes) override {
        snd_pcm_uframes_t frames = snd_pcm_uframes_t(bytes / m_frameBytes);
        while (frames > 0) {
            snd_pcm_sframes_t written = m_api->write(m_pcm, data, frames);
            if (written < 0) {
                // A device that ran dry between two sounds is started again.
                if (m_api->recover(m_pcm, int(written), 1) < 0)
                    return false;
                continue;
            }
            data += written * m_frameBytes;
            frames -= snd_pcm_uframes_t(written);
        }
        return true;
    }
    void discard() override {
        m_api->drop(m_pcm);
        m_api->prepare(m_pcm);
    }
    qint64 writeAhead() const override { return m_bufferBytes; }
    qint64 trailingSilence() const override { return m_bufferBytes; }

  private:
    AlsaOutput(const AlsaApi* api, snd_pcm_t* pcm, const WaveClip& format)
        : m_api(api), m_pcm(pcm), m_frameBytes(format.frameBytes()),
          m_bufferBytes(bytesFor(format, BufferTime)) {}
    const AlsaApi* m_api;
    snd_pcm_t* m_pcm;
    int m_frameBytes;
    qint64 m_bufferBytes;
};

std::unique_ptr<SoundOutput> openOutput(const WaveClip& format, const QByteArray& name) {
    if (auto output = PulseOutput::open(format, name))
        return output;
    return AlsaOutput::open(format);
}

#else

std::unique_ptr<SoundOutput> openOutput(const WaveClip&, const QByteArray&) {
    return nullptr;
}

#endif

} // namespace

// What the interface thread shares with the playback thread: the latest request.
struct EventSoundPlayer::Playback {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable ended;
    std::shared_ptr<const WaveClip> request; // null: stop the sound that plays
    bool pending = false;
    bool quit = false;
    bool finished = false;
    QByteArray name;
    std::thread thread;

    void run();
};

void EventSoundPlayer::Playback::run() {
    std::unique_ptr<SoundOutput> output;
    std::shared_ptr<const WaveClip> outputFormat;
    std::shared_ptr<const WaveClip> clip;
    qint64 at = 0;
    qint64 silenceLeft = 0;
    QByteArray silence;
    SteadyClock::time_point failedAt{};
    bool failed = false;

    for (;;) {
        {
            std::unique_lock lock(mutex);
            const auto asked = [this] { return pending || quit; };
            if (!clip && silenceLeft == 0) {
                if (!output)
                    wake.wait(lock, asked);
                else if (!wake.wait_for(lock, IdleClose, asked)) {
                    output.reset();
                    continue;
                }
            }
            if (quit)
                break;
            if (pending) {
                pending = false;
                clip = std::move(request);
                at = 0;
                silenceLeft = 0;
                if (output)
                    output->discard();
            }
        }
        if (clip && (!output || !clip->sameFormat(*outputFormat))) {
            output.reset();
            if (failed && SteadyClock::now() - failedAt < RetryAfter) {
                clip.reset();
                continue;
            }
            output = openOutput(*clip, name);
            failed = !output;
            failedAt = SteadyClock::now();
            if (!output) {
                clip.reset();
                continue;
            }
            outputFormat = clip;
            silence =
                QByteArray(bytesFor(*clip, ChunkTime), clip->bitsPerSample == 8 ? '\x80' : '\0');
        }
        bool written = true;
        if (clip) {
            // A clip starts with as much as the output holds, so a short one is out of this
            // thread's hands at once.
            const qint64 most = at == 0 ? output->writeAhead() : bytesFor(*clip, ChunkTime);
            const qint64 bytes = std::min(clip->samples.size() - at, most);
            written = output->write(clip->samples.constData() + at, bytes);
            at += bytes;
            if (at >= clip->samples.size()) {
                clip.reset();
                silenceLeft = output->trailingSilence();
            }
        } else if (silenceLeft > 0) {
            const qint64 bytes = std::min<qint64>(silenceLeft, silence.size());
            written = output->write(silence.constData(), bytes);
            silenceLeft -= bytes;
        }
        if (!written) {
            output.reset();
            clip.reset();
            silenceLeft = 0;
        }
    }
    output.reset();
    std::lock_guard lock(mutex);
    finished = true;
    ended.notify_all();
}

EventSoundPlayer::EventSoundPlayer() : m_playback(std::make_shared<Playback>()) {
    const QString name = QCoreApplication::applicationName();
    m_playback->name = name.isEmpty() ? QByteArrayLiteral("Zephkin") : name.toUtf8();
}

EventSoundPlayer::~EventSoundPlayer() {
    if (!m_playback->thread.joinable())
        return;
    std::unique_lock lock(m_playback->mutex);
    m_playback->quit = true;
    m_playback->wake.notify_all();
    const bool finished =
        m_playback->ended.wait_for(lock, EndWait, [this] { return m_playback->finished; });
    lock.unlock();
    if (finished)
        m_playback->thread.join();
    else
        m_playback->thread.detach(); // it holds its own share of the playback state
}

std::shared_ptr<const WaveClip> EventSoundPlayer::clipFor(const QString& path) {
    auto it = m_clips.constFind(path);
    if (it != m_clips.constEnd())
        return *it;
    std::shared_ptr<const WaveClip> clip;
    if (auto read = WaveFile::read(path))
        clip = std::make_shared<const WaveClip>(std::move(*read));
    m_clips.insert(path, clip);
    return clip;
}

void EventSoundPlayer::preload(const QString& path) {
    clipFor(path);
}

void EventSoundPlayer::PlayWave(const QString& path) {
    std::shared_ptr<const WaveClip> clip = clipFor(path);
    if (!clip && !m_playback->thread.joinable())
        return;
    if (!m_playback->thread.joinable())
        m_playback->thread = std::thread([playback = m_playback] { playback->run(); });
    {
        std::lock_guard lock(m_playback->mutex);
        m_playback->request = std::move(clip);
        m_playback->pending = true;
    }
    m_playback->wake.notify_one();
}
