#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QSoundEffect;

// Plays the keystroke and error sounds in the background. A new sound cuts off the one that
// plays; a missing or unreadable file plays nothing and reports nothing.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    // Loads a file ahead of its first use, so the first keystroke is not late.
    virtual void preload(const QString& path) = 0;
    virtual void PlayWave(const QString& path) = 0;
};

class QtSoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
  public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    ~QtSoundPlayer() override;
    void preload(const QString& path) override;
    void PlayWave(const QString& path) override;

  private:
    QSoundEffect* effectFor(const QString& path);

    QHash<QString, QSoundEffect*> m_effects; // null for files that do not exist
    QSoundEffect* m_playing = nullptr;
};
