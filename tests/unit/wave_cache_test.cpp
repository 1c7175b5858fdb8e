#include "sound/WaveSynth.h"
#include "sound/WaveCache.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

using WaveDecoder::Format;
using WaveDecoder::SampleType;

constexpr Format kStereo44k{44100, 2, SampleType::Int16};
constexpr Format kMono22k{22050, 1, SampleType::Int16};

// A 16-bit mono wave at 44.1 kHz of `samples` samples of a constant level.
QByteArray MonoWave(int samples, qint16 level)
{
    auto put = [](QByteArray& out, quint32 v, int bytes) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, bytes);
    };
    QByteArray file = "RIFF";
    put(file, static_cast<quint32>(36 + samples * 2), 4);
    file += "WAVEfmt ";
    put(file, 16, 4);
    put(file, 1, 2);  // PCM
    put(file, 1, 2);
    put(file, 44100, 4);
    put(file, 88200, 4);
    put(file, 2, 2);
    put(file, 16, 2);
    file += "data";
    put(file, static_cast<quint32>(samples * 2), 4);
    for (int i = 0; i < samples; ++i)
        put(file, static_cast<quint16>(level), 2);
    return file;
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

TEST(WaveCache, AFileThatCannotBePlayedGivesTheDefaultSoundUntilItCan)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WaveCache cache(kStereo44k);
    const QByteArray builtIn = *WaveDecoder::Decode(WaveSynth::DefaultSound(), kStereo44k);
    ASSERT_FALSE(builtIn.isEmpty());

    const QString late = dir.filePath("Late.WAV");
    EXPECT_EQ(cache.Get(late), builtIn);
    const QString junk = dir.filePath("Junk.WAV");
    ASSERT_TRUE(Write(junk, "not a wave at all"));
    EXPECT_EQ(cache.Get(junk), builtIn);

    // The missing file appears: it is played from then on, the default was not kept for it.
    ASSERT_TRUE(Write(late, MonoWave(441, 1000)));
    const QByteArray played = cache.Get(late);
    EXPECT_EQ(played.size(), 441 * 2 * 2);  // every sample on both channels
    EXPECT_NE(played, builtIn);
}

TEST(WaveCache, EachSoundIsReadOnceAndReadAgainForANewFormat)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString click = dir.filePath("Click.WAV");
    ASSERT_TRUE(Write(click, MonoWave(4410, 2000)));
    WaveCache cache(kStereo44k);
    const QByteArray first = cache.Get(click);
    ASSERT_EQ(first.size(), 4410 * 4);

    // Kept: a click does not go back to the disk.
    ASSERT_TRUE(Write(click, MonoWave(100, -2000)));
    EXPECT_EQ(cache.Get(click), first);

    // The output's format changed: the sound is read and decoded again, into it.
    cache.SetFormat(kMono22k);
    EXPECT_EQ(cache.Get(click).size(), 50 * 2);
    EXPECT_EQ(cache.Get(dir.filePath("Missing.WAV")), *WaveDecoder::Decode(WaveSynth::DefaultSound(), kMono22k));
}
