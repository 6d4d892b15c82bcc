#pragma once

#include <QHash>
#include <QString>
#include <memory>

struct WaveClip;

// Plays the keystroke and error sounds in the background. A new sound cuts off the one that
// plays; a missing or unreadable file plays nothing and reports nothing.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    // Loads a file ahead of its first use, so the first keystroke is not late.
    virtual void preload(const QString& path) = 0;
    virtual void PlayWave(const QString& path) = 0;
};

// Plays through a PulseAudio stream or, where no sound server answers, straight to ALSA. Both
// libraries are loaded at the first sound, so the program starts and stays silent on a machine that
// has neither. Writing to the device happens on a thread of the player's own: no call here waits
// for the device.
class EventSoundPlayer final : public SoundPlayer {
  public:
    EventSoundPlayer();
    ~EventSoundPlayer() override;
    void preload(const QString& path) override;
    void PlayWave(const QString& path) override;

  private:
    std::shared_ptr<const WaveClip> clipFor(const QString& path);

    QHash<QString, std::shared_ptr<const WaveClip>> m_clips; // null for files that cannot play
    struct Playback;
    std::shared_ptr<Playback> m_playback;
};
