#include "core/wave_file.h"

#include <QtEndian>

namespace {

quint16 u16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 u32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}

constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatExtensible = 0xFFFE;

} // namespace

namespace WaveFile {

std::optional<WaveClip> parse(const QByteArray& bytes) {
    const char* data = bytes.constData();
    const qint64 size = bytes.size();
    if (size < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    // A RIFF size smaller than the file is fine (some writers pad files); the chunks
    // are read within whichever ends first.
    const qint64 end = std::min<qint64>(size, 8 + qint64(u32(data + 4)));

    std::optional<WaveClip> clip;
    bool haveFormat = false;
    for (qint64 at = 12; at + 8 <= end;) {
        const QByteArray id = bytes.mid(at, 4);
        const qint64 length = u32(data + at + 4);
        const qint64 body = at + 8;
        if (length > end - body)
            return std::nullopt; // truncated
        if (id == "fmt ") {
            if (length < 16)
                return std::nullopt;
            quint16 format = u16(data + body);
            const int channels = u16(data + body + 2);
            const quint32 rate = u32(data + body + 4);
            const int blockAlign = u16(data + body + 12);
            const int bits = u16(data + body + 14);
            if (format == FormatExtensible) {
                // The sub-format GUID's first two bytes carry the real format tag.
                if (length < 40 || u16(data + body + 16) < 22)
                    return std::nullopt;
                format = u16(data + body + 24);
            }
            if (format != FormatPcm || channels < 1 || channels > 8 || rate < 1000 ||
                rate > 384000 || (bits != 8 && bits != 16 && bits != 24 && bits != 32) ||
                blockAlign != channels * bits / 8)
                return std::nullopt;
            clip.emplace();
            clip->sampleRate = int(rate);
            clip->channels = channels;
            clip->bitsPerSample = bits;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat || length == 0 || length % clip->frameBytes() != 0)
                return std::nullopt;
            clip->samples = bytes.mid(body, length);
            return clip;
        }
        at = body + length + (length & 1); // chunks are padded to even sizes
    }
    return std::nullopt;
}

std::optional<WaveClip> read(const QString& path, qint64 maxBytes) {
    const StateFile::ReadResult file = StateFile::readBytes(path, maxBytes);
    if (file.status != StateFile::ReadStatus::Complete)
        return std::nullopt;
    return parse(file.bytes);
}

} // namespace WaveFile
