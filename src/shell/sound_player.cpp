#include "shell/sound_player.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject* parent) : QObject(parent) {}

QSoundEffect* QtSoundPlayer::effectFor(const QString& path) {
    auto it = m_effects.constFind(path);
    if (it != m_effects.constEnd())
        return *it;
    QSoundEffect* effect = nullptr;
    if (QFileInfo(path).isFile()) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
    }
    m_effects.insert(path, effect);
    return effect;
}

void QtSoundPlayer::preload(const QString& path) {
    effectFor(path);
}

void QtSoundPlayer::PlayWave(const QString& path) {
    QSoundEffect* effect = effectFor(path);
    if (m_playing && m_playing != effect)
        m_playing->stop();
    m_playing = effect;
    if (!effect || effect->status() == QSoundEffect::Error)
        return;
    // play() restarts an effect that is still sounding, so fast typing never queues clicks.
    effect->play();
}
