#pragma once

#include <QByteArray>
#include <optional>

// Reads a RIFF wave file and converts its samples to the one format the
// sound output plays, so that a sound is decoded once and then only copied.
namespace WaveDecoder {

enum class SampleType { UInt8, Int16, Int32, Float };

struct Format {
    int sampleRate = 44100;
    int channels = 2;
    SampleType type = SampleType::Int16;

    friend bool operator==(const Format&, const Format&) = default;
};

int BytesPerSample(SampleType type);

// Interleaved samples in `out`, or nothing when `file` is not a wave file
// this decoder understands: PCM of 8, 16, 24 or 32 bits, or 32- or 64-bit
// floating point, with any rate and channel count (the extensible header
// included). Other rates are resampled linearly; a mono sound is played on
// every channel, and sounds with more channels than the output are mixed down.
std::optional<QByteArray> Decode(const QByteArray& file, const Format& out);

}  // namespace WaveDecoder
