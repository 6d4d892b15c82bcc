// The WAV reader of the keystroke and error sounds, read from disk the way the sound player
// reads them: what it hands on is a clip the sound device can take as it is.

#include "fuzz_support.h"
#include "core/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = Fuzz::scratch() + QStringLiteral("/type.wav");
    Fuzz::put(path, data, size);
    const std::optional<WaveClip> clip = WaveFile::read(path);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Fuzz::check(clip.has_value() == WaveFile::parse(bytes).has_value(),
                "the file reads as its bytes parse");
    if (!clip)
        return 0;
    Fuzz::check(clip->channels >= 1 && clip->channels <= 8, "one to eight channels");
    Fuzz::check(clip->bitsPerSample == 8 || clip->bitsPerSample == 16 ||
                    clip->bitsPerSample == 24 || clip->bitsPerSample == 32,
                "a sample size the device takes");
    Fuzz::check(clip->sampleRate >= 1000 && clip->sampleRate <= 384000, "a sample rate in range");
    Fuzz::check(!clip->samples.isEmpty() && clip->samples.size() % clip->frameBytes() == 0,
                "whole frames only");
    Fuzz::check(clip->samples.size() <= bytes.size(), "the samples come from the file");
    Fuzz::check(bytes.contains(clip->samples), "the samples are the file's own bytes");
    return 0;
}
