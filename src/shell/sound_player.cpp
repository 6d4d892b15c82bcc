#include "shell/sound_player.h"

#include "shell/state_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject* parent) : QObject(parent) {}

QSoundEffect* QtSoundPlayer::effectFor(const QString& path) {
    auto it = m_effects.constFind(path);
    if (it != m_effects.constEnd())
        return *it;
    QSoundEffect* effect = nullptr;
    // The sound library reads the file itself: only a regular file of a sound's size is
    // handed to it, never a FIFO or a device, which would stall its loader.
    if (StateFile::isRegularFile(path) && QFileInfo(path).size() <= StateFile::kSoundCap) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
    }
    m_effects.insert(path, effect);
    return effect;
}

QtSoundPlayer::~QtSoundPlayer() {
    // Qt's sample cache can deadlock at exit while its loader thread is still decoding a
    // file (Qt 6.4): let the loads finish first. They take milliseconds.
    QElapsedTimer waited;
    waited.start();
    auto loading = [this] {
        for (QSoundEffect* effect : std::as_const(m_effects))
            if (effect && effect->status() == QSoundEffect::Loading)
                return true;
        return false;
    };
    while (loading() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
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
