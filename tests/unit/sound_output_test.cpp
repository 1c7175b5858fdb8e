// The sound output against a real sound server of the test's own (a PulseAudio
// daemon with a null sink), watched from outside through the server's list of
// playing streams: how long a sound holds a stream tells whether it was played
// whole, cut off, or kept open after it ended.
#include "support/Eventually.h"

#ifdef NIMBREL_HAVE_PULSE
#include "sound/PulseSoundOutput.h"
#endif

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A 22 050 Hz mono tone of `ms` milliseconds, as a wave file.
QByteArray ToneWave(int ms)
{
    const int count = 22050 * ms / 1000;
    QByteArray data(count * 2, '\0');
    for (int i = 0; i < count; ++i)
        qToLittleEndian<qint16>(static_cast<qint16>(8000 * std::sin(i * 0.1)), data.data() + 2 * i);
    auto put32 = [](QByteArray& b, quint32 v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [](QByteArray& b, quint16 v) { b.append(reinterpret_cast<const char*>(&v), 2); };
    QByteArray file = "RIFF";
    put32(file, static_cast<quint32>(36 + data.size()));
    file += "WAVEfmt ";
    put32(file, 16);
    put16(file, 1);
    put16(file, 1);
    put32(file, 22050);
    put32(file, 44100);
    put16(file, 2);
    put16(file, 16);
    file += "data";
    put32(file, static_cast<quint32>(data.size()));
    return file + data;
}

// A PulseAudio daemon of the test's own on a socket in `dir`. Its null sink
// does no rewinds: with them, a null sink that has rendered seconds of silence
// ahead lets a stream end only after those (paplay's too), where a sound card
// rewinds and plays the new sound at once.
class SoundServer {
public:
    explicit SoundServer(const QString& dir) : m_dir(dir) {}
    ~SoundServer() { Stop(); }

    bool Start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir);
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir);
        env.insert(QStringLiteral("HOME"), m_dir);
        m_daemon.setProcessEnvironment(env);
        m_daemon.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("--disallow-exit"), QStringLiteral("--use-pid-file=no"),
                        QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=rec rate=44100 norewinds=1"),
                        QStringLiteral("-L"),
                        QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + Socket()});
        if (!m_daemon.waitForStarted(5000))
            return false;
        return NIMBREL_WAIT_FOR(Streams() == 0, 10000);
    }

    void Stop()
    {
        if (m_daemon.state() == QProcess::NotRunning)
            return;
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
        QFile::remove(Socket());
    }

    QString Socket() const { return m_dir + QStringLiteral("/native"); }

    // The streams playing at the server, or -1 when it cannot be asked.
    int Streams() const
    {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("-s"), QStringLiteral("unix:") + Socket(),
                                              QStringLiteral("list"), QStringLiteral("short"),
                                              QStringLiteral("sink-inputs")});
        if (!pactl.waitForFinished(5000) || pactl.exitCode() != 0)
            return -1;
        return static_cast<int>(pactl.readAllStandardOutput().count('\n'));
    }

private:
    QString m_dir;
    QProcess m_daemon;
};

bool HaveSoundServer()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()
           && !QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty();
}

class SoundOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef NIMBREL_HAVE_PULSE
        GTEST_SKIP() << "built without the sound server's client library";
#endif
        if (!HaveSoundServer())
            GTEST_SKIP() << "no pulseaudio and pactl here";
        ASSERT_TRUE(m_dir.isValid());
        m_oldServer = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", "unix:" + m_server.Socket().toLocal8Bit());
    }
    void TearDown() override { qputenv("PULSE_SERVER", m_oldServer); }

    QString Wave(const QString& name, int ms)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(ToneWave(ms));
        return path;
    }

    // How long the server plays a stream from the moment it appears.
    qint64 StreamLifetimeMs(int limitMs)
    {
        if (!NIMBREL_WAIT_FOR(m_server.Streams() == 1, 5000))
            return -1;
        QElapsedTimer playing;
        playing.start();
        NIMBREL_WAIT_FOR(m_server.Streams() == 0, limitMs);
        return playing.elapsed();
    }

    QTemporaryDir m_dir;
    SoundServer m_server{m_dir.path()};
    QByteArray m_oldServer;
};

}  // namespace

#ifdef NIMBREL_HAVE_PULSE

TEST_F(SoundOutputTest, ASoundIsPlayedWholeAndItsStreamClosedAsItEnds)
{
    ASSERT_TRUE(m_server.Start());
    PulseSoundOutput output;
    output.Play(Wave(QStringLiteral("half.wav"), 500));
    const qint64 lifetime = StreamLifetimeMs(5000);
    EXPECT_GE(lifetime, 450) << "the sound was cut short";
    EXPECT_LT(lifetime, 1500) << "the stream was kept open after the sound";

    // A wave longer than one write (over a megabyte once decoded) plays to its end.
    output.Play(Wave(QStringLiteral("long.wav"), 6500));
    EXPECT_GE(StreamLifetimeMs(10000), 6400);
    EXPECT_EQ(m_server.Streams(), 0);
}

TEST_F(SoundOutputTest, ASoundCutsOffTheOnePlayingInsteadOfWaitingBehindIt)
{
    ASSERT_TRUE(m_server.Start());
    PulseSoundOutput output;
    output.Play(Wave(QStringLiteral("long.wav"), 3000));
    ASSERT_EVENTUALLY(m_server.Streams() == 1, 5000);
    QTest::qWait(300);
    output.Play(Wave(QStringLiteral("short.wav"), 100));
    QElapsedTimer sinceCut;
    sinceCut.start();
    // The short sound ends the stream, not the two and a half seconds left of the long one.
    EXPECT_TRUE(NIMBREL_WAIT_FOR(m_server.Streams() == 0, 5000));
    EXPECT_LT(sinceCut.elapsed(), 1000);
    // Sounds one after another, faster than they end, keep to one stream.
    for (int i = 0; i < 5; ++i) {
        output.Play(Wave(QStringLiteral("long.wav"), 3000));
        QTest::qWait(50);
        EXPECT_LE(m_server.Streams(), 1);
    }
}

TEST_F(SoundOutputTest, SoundsComeBackWhenTheServerDoes)
{
    // No server yet: the sound is silence, and nothing waits for it.
    PulseSoundOutput output;
    output.Play(Wave(QStringLiteral("half.wav"), 500));
    QTest::qWait(200);

    ASSERT_TRUE(m_server.Start());
    output.Play(Wave(QStringLiteral("half.wav"), 500));
    EXPECT_GE(StreamLifetimeMs(5000), 450);

    // The server goes away in the middle of a sound and a new one starts.
    output.Play(Wave(QStringLiteral("long.wav"), 3000));
    ASSERT_EVENTUALLY(m_server.Streams() == 1, 5000);
    m_server.Stop();
    QTest::qWait(200);
    output.Play(Wave(QStringLiteral("half.wav"), 500));  // finds the server gone
    ASSERT_TRUE(m_server.Start());
    output.Play(Wave(QStringLiteral("half.wav"), 500));
    EXPECT_GE(StreamLifetimeMs(5000), 450);
}

TEST_F(SoundOutputTest, AMissingFilePlaysTheDefaultSoundAndAnOutputMayEndMidSound)
{
    ASSERT_TRUE(m_server.Start());
    {
        PulseSoundOutput output;
        output.Play(m_dir.filePath(QStringLiteral("missing.wav")));
        EXPECT_GT(StreamLifetimeMs(5000), 0);
        output.Play(Wave(QStringLiteral("long.wav"), 3000));
        ASSERT_EVENTUALLY(m_server.Streams() == 1, 5000);
    }
    // Deleted while playing: its stream goes with it.
    EXPECT_EVENTUALLY(m_server.Streams() == 0, 1000);
}

#endif
