#include "sound/WaveDecoder.h"
#include "sound/WaveSynth.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <cstring>
#include <vector>

namespace {

using WaveDecoder::Format;
using WaveDecoder::SampleType;

void put16(QByteArray& out, quint16 v) { char b[2]; qToLittleEndian(v, b); out.append(b, 2); }
void put32(QByteArray& out, quint32 v) { char b[4]; qToLittleEndian(v, b); out.append(b, 4); }

// A wave file with the given header fields around `data`; `extra` chunks go
// between the format and the data chunk.
QByteArray wave(quint16 tag, int channels, int rate, int bits, const QByteArray& data, const QByteArray& extra = {},
                bool extensible = false)
{
    QByteArray fmt;
    put16(fmt, extensible ? 0xFFFE : tag);
    put16(fmt, static_cast<quint16>(channels));
    put32(fmt, static_cast<quint32>(rate));
    put32(fmt, static_cast<quint32>(rate * channels * bits / 8));
    put16(fmt, static_cast<quint16>(channels * bits / 8));
    put16(fmt, static_cast<quint16>(bits));
    if (extensible) {
        put16(fmt, 22);
        put16(fmt, static_cast<quint16>(bits));
        put32(fmt, 0);
        put16(fmt, tag);  // the sub-format GUID begins with the format tag
        fmt.append(QByteArray(14, '\0'));
    }
    QByteArray body = "WAVE";
    body += "fmt ";
    put32(body, static_cast<quint32>(fmt.size()));
    body += fmt;
    body += extra;
    body += "data";
    put32(body, static_cast<quint32>(data.size()));
    body += data;
    QByteArray file = "RIFF";
    put32(file, static_cast<quint32>(body.size()));
    return file + body;
}

QByteArray int16s(const std::vector<qint16>& v)
{
    QByteArray out;
    for (qint16 s : v)
        put16(out, static_cast<quint16>(s));
    return out;
}

std::vector<qint16> samples(const QByteArray& pcm)
{
    std::vector<qint16> out(static_cast<size_t>(pcm.size() / 2));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = qFromLittleEndian<qint16>(pcm.constData() + 2 * i);
    return out;
}

constexpr Format kMono22k{22050, 1, SampleType::Int16};
constexpr Format kStereo44k{44100, 2, SampleType::Int16};

}  // namespace

TEST(WaveDecoder, ReadsEverySampleWidthAsTheSameLevel)
{
    // Half of full scale, positive then negative, in each width the files may use.
    const QByteArray u8("\xC0\x40", 2);
    QByteArray i24;
    i24.append("\x00\x00\x40", 3);
    i24.append("\x00\x00\xC0", 3);
    QByteArray i32;
    put32(i32, 0x40000000);
    put32(i32, 0xC0000000);
    QByteArray f32;
    for (float f : {0.5f, -0.5f}) {
        quint32 bits;
        std::memcpy(&bits, &f, 4);
        put32(f32, bits);
    }
    const std::vector<QByteArray> files{
        wave(1, 1, 22050, 8, u8), wave(1, 1, 22050, 16, int16s({16384, -16384})), wave(1, 1, 22050, 24, i24),
        wave(1, 1, 22050, 32, i32), wave(3, 1, 22050, 32, f32),
    };
    for (const QByteArray& file : files) {
        const auto pcm = WaveDecoder::Decode(file, kMono22k);
        ASSERT_TRUE(pcm.has_value());
        const std::vector<qint16> s = samples(*pcm);
        ASSERT_EQ(s.size(), 2u);
        EXPECT_NEAR(s[0], 16384, 2);
        EXPECT_NEAR(s[1], -16384, 2);
    }
}

TEST(WaveDecoder, ConvertsRateAndChannelsToTheOutput)
{
    // Mono at 22050 on a stereo 44100 output: twice the frames, both channels alike,
    // the added frames half-way between their neighbours.
    const auto up = WaveDecoder::Decode(wave(1, 1, 22050, 16, int16s({0, 1000, 2000, 3000})), kStereo44k);
    ASSERT_TRUE(up.has_value());
    const std::vector<qint16> s = samples(*up);
    ASSERT_EQ(s.size(), 16u);
    for (size_t f = 0; f < 8; ++f)
        EXPECT_EQ(s[2 * f], s[2 * f + 1]);
    EXPECT_EQ(s[0], 0);
    EXPECT_NEAR(s[2], 500, 1);
    EXPECT_NEAR(s[4], 1000, 1);

    // Stereo on a mono output is mixed down.
    const auto down = WaveDecoder::Decode(wave(1, 2, 22050, 16, int16s({1000, 3000, -2000, 0})), kMono22k);
    ASSERT_TRUE(down.has_value());
    EXPECT_EQ(samples(*down), (std::vector<qint16>{2000, -1000}));

    // A float output gets floats.
    const auto asFloat = WaveDecoder::Decode(wave(1, 1, 22050, 16, int16s({16384})), {22050, 1, SampleType::Float});
    ASSERT_TRUE(asFloat.has_value());
    ASSERT_EQ(asFloat->size(), 4);
    float f;
    std::memcpy(&f, asFloat->constData(), 4);
    EXPECT_NEAR(f, 0.5f, 1e-3);
}

TEST(WaveDecoder, FindsTheDataPastOtherChunksAndExtensibleHeaders)
{
    QByteArray list = "LIST";
    put32(list, 3);  // odd length: one pad byte follows
    list += QByteArray("abc\0", 4);
    const auto withList = WaveDecoder::Decode(wave(1, 1, 22050, 16, int16s({7, 8}), list), kMono22k);
    ASSERT_TRUE(withList.has_value());
    EXPECT_EQ(samples(*withList), (std::vector<qint16>{7, 8}));

    const auto extensible = WaveDecoder::Decode(wave(1, 1, 22050, 16, int16s({9}), {}, true), kMono22k);
    ASSERT_TRUE(extensible.has_value());
    EXPECT_EQ(samples(*extensible), (std::vector<qint16>{9}));

    // A data chunk cut short by the end of the file plays as far as it goes.
    QByteArray cut = wave(1, 1, 22050, 16, int16s({1, 2, 3, 4}));
    cut.chop(3);
    const auto partial = WaveDecoder::Decode(cut, kMono22k);
    ASSERT_TRUE(partial.has_value());
    EXPECT_EQ(samples(*partial), (std::vector<qint16>{1, 2}));
}

TEST(WaveDecoder, RefusesWhatIsNoWaveItCanPlay)
{
    EXPECT_FALSE(WaveDecoder::Decode({}, kMono22k));
    EXPECT_FALSE(WaveDecoder::Decode("not a wave file at all, just text", kMono22k));
    EXPECT_FALSE(WaveDecoder::Decode(wave(2, 1, 22050, 4, QByteArray(100, 'x')), kMono22k));  // ADPCM
    EXPECT_FALSE(WaveDecoder::Decode(wave(1, 0, 22050, 16, int16s({1})), kMono22k));
    EXPECT_FALSE(WaveDecoder::Decode(wave(1, 1, 0, 16, int16s({1})), kMono22k));
    EXPECT_FALSE(WaveDecoder::Decode(wave(1, 1, 22050, 16, {}), kMono22k));
    // The header alone, with no data chunk.
    EXPECT_FALSE(WaveDecoder::Decode(wave(1, 1, 22050, 16, int16s({1})).left(36), kMono22k));
    // The built-in default sound is one the decoder plays.
    EXPECT_TRUE(WaveDecoder::Decode(WaveSynth::DefaultSound(), kStereo44k));
}
