#pragma once

#include "core/state_file.h"

#include <QByteArray>
#include <QString>
#include <optional>

// A sound ready to hand to the sound device: interleaved little-endian integer PCM.
struct WaveClip {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0; // 8 (unsigned), 16, 24 or 32 (signed)
    QByteArray samples;

    int frameBytes() const { return channels * bitsPerSample / 8; }
    qint64 frames() const { return frameBytes() ? samples.size() / frameBytes() : 0; }
    bool sameFormat(const WaveClip& other) const {
        return sampleRate == other.sampleRate && channels == other.channels &&
               bitsPerSample == other.bitsPerSample;
    }
};

namespace WaveFile {

// Reads a RIFF WAVE file of integer PCM. A file in any other encoding, a truncated or
// malformed one, one without samples, one larger than `maxBytes` or anything but a regular
// file (a FIFO would stall the read) gives nothing.
std::optional<WaveClip> read(const QString& path, qint64 maxBytes = StateFile::kSoundCap);
std::optional<WaveClip> parse(const QByteArray& bytes);

} // namespace WaveFile
