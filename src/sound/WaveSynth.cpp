#include "sound/WaveSynth.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace WaveSynth {

namespace {

void put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

}  // namespace

QByteArray WaveFile(const std::vector<float>& samples, int sampleRate)
{
    const quint32 dataBytes = static_cast<quint32>(samples.size() * 2);
    QByteArray out;
    out.reserve(static_cast<int>(44 + dataBytes));
    out.append("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.append("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, static_cast<quint32>(sampleRate));
    put32(out, static_cast<quint32>(sampleRate * 2));
    put16(out, 2);
    put16(out, 16);
    out.append("data", 4);
    put32(out, dataBytes);
    for (float s : samples) {
        const float clamped = std::clamp(s, -1.0f, 1.0f);
        put16(out, static_cast<quint16>(static_cast<qint16>(std::lround(clamped * 32767.0f))));
    }
    return out;
}

QByteArray DefaultSound()
{
    const double pi = 3.14159265358979323846;
    const int n = kSampleRate * 3 / 10;
    std::vector<float> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kSampleRate;
        const double f = t < 0.12 ? 660.0 : 880.0;
        const double env = std::exp(-t * 9.0) * std::min(1.0, t * 200.0);
        s[static_cast<size_t>(i)] = static_cast<float>(0.35 * env * std::sin(2 * pi * f * t));
    }
    return WaveFile(s);
}

}  // namespace WaveSynth
