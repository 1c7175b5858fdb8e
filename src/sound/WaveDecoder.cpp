#include "sound/WaveDecoder.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace WaveDecoder {

namespace {

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;
// Longer sounds than this are no sound effect; refusing them keeps a stray
// huge file from filling the memory.
constexpr qint64 kMaxSeconds = 60;

quint16 u16(const char* p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char* p) { return qFromLittleEndian<quint32>(p); }

struct Source {
    quint16 tag = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    const char* data = nullptr;
    qint64 bytes = 0;
};

std::optional<Source> Parse(const QByteArray& file)
{
    const char* p = file.constData();
    const qint64 size = file.size();
    if (size < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0)
        return std::nullopt;
    Source s;
    bool haveFormat = false;
    qint64 at = 12;
    while (at + 8 <= size) {
        const char* chunk = p + at;
        const qint64 length = u32(chunk + 4);
        const qint64 body = at + 8;
        // A data chunk that claims more than the file holds is played as far as it goes.
        const qint64 available = std::min(length, size - body);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && available >= 16) {
            s.tag = u16(p + body);
            s.channels = u16(p + body + 2);
            s.rate = static_cast<int>(u32(p + body + 4));
            s.bits = u16(p + body + 14);
            if (s.tag == kFormatExtensible && available >= 26)
                s.tag = u16(p + body + 24);  // the first two bytes of the sub-format GUID
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && haveFormat) {
            s.data = p + body;
            s.bytes = available;
            break;
        }
        at = body + length + (length & 1);
    }
    if (!haveFormat || !s.data || s.channels < 1 || s.channels > 32 || s.rate < 1000 || s.rate > 384000)
        return std::nullopt;
    const bool pcm = s.tag == kFormatPcm && (s.bits == 8 || s.bits == 16 || s.bits == 24 || s.bits == 32);
    const bool flt = s.tag == kFormatFloat && (s.bits == 32 || s.bits == 64);
    if (!pcm && !flt)
        return std::nullopt;
    return s;
}

float SampleAt(const Source& s, const char* q)
{
    if (s.tag == kFormatFloat) {
        if (s.bits == 32) {
            const quint32 v = u32(q);
            float f;
            std::memcpy(&f, &v, 4);
            return std::isfinite(f) ? f : 0.0f;
        }
        const quint64 v = qFromLittleEndian<quint64>(q);
        double d;
        std::memcpy(&d, &v, 8);
        return std::isfinite(d) ? static_cast<float>(d) : 0.0f;
    }
    switch (s.bits) {
    case 8: return (static_cast<quint8>(q[0]) - 128) / 128.0f;
    case 16: return static_cast<qint16>(u16(q)) / 32768.0f;
    case 24: {
        qint32 v = static_cast<quint8>(q[0]) | (static_cast<quint8>(q[1]) << 8) | (static_cast<quint8>(q[2]) << 16);
        if (v & 0x800000)
            v -= 0x1000000;
        return v / 8388608.0f;
    }
    default: return static_cast<float>(static_cast<qint32>(u32(q)) / 2147483648.0);
    }
}

// The source's frames as floats with the output's channel count.
std::vector<float> Frames(const Source& s, int outChannels, qint64 frames)
{
    const int step = s.bits / 8;
    std::vector<float> out(static_cast<size_t>(frames * outChannels));
    std::vector<float> in(static_cast<size_t>(s.channels));
    for (qint64 f = 0; f < frames; ++f) {
        const char* frame = s.data + f * step * s.channels;
        for (int c = 0; c < s.channels; ++c)
            in[static_cast<size_t>(c)] = SampleAt(s, frame + c * step);
        float* o = &out[static_cast<size_t>(f * outChannels)];
        if (s.channels == 1) {
            std::fill(o, o + outChannels, in[0]);
        } else if (outChannels == 1) {
            float sum = 0;
            for (float v : in)
                sum += v;
            o[0] = sum / s.channels;
        } else {
            for (int c = 0; c < outChannels; ++c)
                o[c] = c < s.channels ? in[static_cast<size_t>(c)] : 0.0f;
        }
    }
    return out;
}

std::vector<float> Resample(const std::vector<float>& in, int channels, int fromRate, int toRate)
{
    if (fromRate == toRate || in.empty())
        return in;
    const qint64 inFrames = static_cast<qint64>(in.size()) / channels;
    const qint64 outFrames = std::max<qint64>(1, inFrames * toRate / fromRate);
    std::vector<float> out(static_cast<size_t>(outFrames * channels));
    const double ratio = static_cast<double>(fromRate) / toRate;
    for (qint64 f = 0; f < outFrames; ++f) {
        const double at = f * ratio;
        const qint64 i = static_cast<qint64>(at);
        const qint64 j = std::min(i + 1, inFrames - 1);
        const float t = static_cast<float>(at - static_cast<double>(i));
        for (int c = 0; c < channels; ++c) {
            const float a = in[static_cast<size_t>(i * channels + c)];
            const float b = in[static_cast<size_t>(j * channels + c)];
            out[static_cast<size_t>(f * channels + c)] = a + (b - a) * t;
        }
    }
    return out;
}

QByteArray Encode(const std::vector<float>& samples, SampleType type)
{
    QByteArray out(static_cast<qsizetype>(samples.size()) * BytesPerSample(type), Qt::Uninitialized);
    char* o = out.data();
    for (float v : samples) {
        const float x = std::clamp(v, -1.0f, 1.0f);
        switch (type) {
        case SampleType::UInt8:
            *o++ = static_cast<char>(static_cast<quint8>(std::lround(x * 127.0f) + 128));
            break;
        case SampleType::Int16:
            qToUnaligned(static_cast<qint16>(std::lround(x * 32767.0f)), o);
            o += 2;
            break;
        case SampleType::Int32:
            qToUnaligned(static_cast<qint32>(std::llround(static_cast<double>(x) * 2147483647.0)), o);
            o += 4;
            break;
        case SampleType::Float:
            qToUnaligned(x, o);
            o += 4;
            break;
        }
    }
    return out;
}

}  // namespace

int BytesPerSample(SampleType type)
{
    switch (type) {
    case SampleType::UInt8: return 1;
    case SampleType::Int16: return 2;
    case SampleType::Int32:
    case SampleType::Float: return 4;
    }
    return 2;
}

std::optional<QByteArray> Decode(const QByteArray& file, const Format& out)
{
    const std::optional<Source> source = Parse(file);
    if (!source || out.channels < 1 || out.sampleRate < 1)
        return std::nullopt;
    const qint64 frames = source->bytes / (source->bits / 8 * source->channels);
    if (frames < 1 || frames > source->rate * kMaxSeconds)
        return std::nullopt;
    const std::vector<float> mapped = Frames(*source, out.channels, frames);
    return Encode(Resample(mapped, out.channels, source->rate, out.sampleRate), out.type);
}

}  // namespace WaveDecoder
