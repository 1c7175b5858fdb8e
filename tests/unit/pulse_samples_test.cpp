// The sample-cache sound output against a real sound server of the test's own
// (a PulseAudio daemon with one null sink), observed the way the server sees
// it: the samples it holds and the sounds it is playing.
#include "platform/WaveSynth.h"
#include "platform/sound/PulseSamples.h"
#include "support/Eventually.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pulse/pulseaudio.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// A wave file of a soft tone, `seconds` long.
QByteArray Tone(double seconds, double hertz)
{
    std::vector<float> samples(size_t(seconds * WaveSynth::kSampleRate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.3f * float(std::sin(2 * M_PI * hertz * double(i) / WaveSynth::kSampleRate));
    return WaveSynth::WaveFile(samples);
}

// A PulseAudio daemon on a socket in `dir`, apart from any other on the machine.
class SoundServer {
public:
    explicit SoundServer(const QString& dir) : m_dir(dir) {}
    ~SoundServer() { Stop(); }

    QString Socket() const { return m_dir + QStringLiteral("/native"); }

    bool Start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir);
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir);
        m_daemon.setProcessEnvironment(env);
        m_daemon.setStandardOutputFile(QProcess::nullDevice());
        m_daemon.setStandardErrorFile(QProcess::nullDevice());
        m_daemon.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("--use-pid-file=no"), QStringLiteral("--disallow-exit"),
                        QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=test rate=44100"),
                        QStringLiteral("-L"),
                        QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + Socket()});
        return m_daemon.waitForStarted(5000) && NIMBREL_WAIT_FOR(QFile::exists(Socket()), 10000);
    }

    void Stop()
    {
        if (m_daemon.state() == QProcess::NotRunning)
            return;
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
        QFile::remove(Socket());
    }

private:
    QString m_dir;
    QProcess m_daemon;
};

// A client of the server that asks what it holds and plays, and waits for the answers.
class Probe {
public:
    Probe()
    {
        m_loop = pa_mainloop_new();
        m_context = pa_context_new(pa_mainloop_get_api(m_loop), "probe");
        pa_context_connect(m_context, nullptr, PA_CONTEXT_NOFLAGS, nullptr);
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(m_context);
            if (state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state))
                break;
            pa_mainloop_iterate(m_loop, 1, nullptr);
        }
    }
    ~Probe()
    {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        pa_mainloop_free(m_loop);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    bool Ready() const { return pa_context_get_state(m_context) == PA_CONTEXT_READY; }

    // The length in milliseconds of every sample the server holds, by name.
    std::map<std::string, long> Samples()
    {
        std::map<std::string, long> samples;
        Run(pa_context_get_sample_info_list(
            m_context,
            [](pa_context*, const pa_sample_info* info, int eol, void* out) {
                if (!eol)
                    (*static_cast<std::map<std::string, long>*>(out))[info->name] = long(info->duration / 1000);
            },
            &samples));
        return samples;
    }

    // The length in milliseconds of each sample being played now.
    std::vector<long> Playing()
    {
        std::vector<std::string> names;
        Run(pa_context_get_sink_input_info_list(
            m_context,
            [](pa_context*, const pa_sink_input_info* info, int eol, void* out) {
                if (eol)
                    return;
                const char* id = pa_proplist_gets(info->proplist, PA_PROP_EVENT_ID);
                static_cast<std::vector<std::string>*>(out)->push_back(id ? id : "(a stream)");
            },
            &names));
        const std::map<std::string, long> samples = Samples();
        std::vector<long> lengths;
        for (const std::string& name : names) {
            const auto found = samples.find(name);
            lengths.push_back(found == samples.end() ? -1 : found->second);
        }
        return lengths;
    }

private:
    void Run(pa_operation* operation)
    {
        if (!operation)
            return;
        while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
            pa_mainloop_iterate(m_loop, 1, nullptr);
        pa_operation_unref(operation);
    }

    pa_mainloop* m_loop;
    pa_context* m_context;
};

class PulseSampleOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
            GTEST_SKIP() << "no pulseaudio here";
        ASSERT_TRUE(m_dir.isValid());
        m_server = std::make_unique<SoundServer>(m_dir.path());
        ASSERT_TRUE(m_server->Start());
        qputenv("PULSE_SERVER", "unix:" + m_server->Socket().toLocal8Bit());
        ASSERT_EVENTUALLY(Probe().Ready(), 10000);
        m_probe = std::make_unique<Probe>();
        m_short = Write(QStringLiteral("short.wav"), Tone(2, 440));
        m_long = Write(QStringLiteral("long.wav"), Tone(4, 660));
    }
    void TearDown() override { qunsetenv("PULSE_SERVER"); }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    // The one sound playing, by its length in milliseconds (-1: none, or several).
    long OnlySound()
    {
        const std::vector<long> playing = m_probe->Playing();
        return playing.size() == 1 ? playing.front() : -1;
    }
    static bool About(long ms, long expected) { return std::abs(ms - expected) < 50; }

    QTemporaryDir m_dir;
    std::unique_ptr<SoundServer> m_server;
    std::unique_ptr<Probe> m_probe;
    QString m_short;
    QString m_long;
};

}  // namespace

TEST_F(PulseSampleOutputTest, EachWaveIsUploadedOnceAndTheNewestSoundCutsOffTheOneBefore)
{
    PulseSampleOutput output;
    output.Play(m_short);
    EXPECT_EVENTUALLY(About(OnlySound(), 2000), 3000);

    output.Play(m_long);
    EXPECT_EVENTUALLY(About(OnlySound(), 4000), 3000);
    QTest::qWait(100);
    EXPECT_TRUE(About(OnlySound(), 4000)) << "the sound cut off came back, or two play at once";

    // Asked for back to back, before the server has answered any: the last wins.
    output.Play(m_short);
    output.Play(m_long);
    output.Play(m_short);
    EXPECT_EVENTUALLY(About(OnlySound(), 2000), 3000);
    QTest::qWait(100);
    EXPECT_TRUE(About(OnlySound(), 2000));

    // Two waves played five times: two samples in the server.
    int ours = 0;
    for (const auto& [name, ms] : m_probe->Samples())
        ours += QByteArray::fromStdString(name).startsWith("nimbrel-");
    EXPECT_EQ(ours, 2);
}

TEST_F(PulseSampleOutputTest, AMissingFileOrOneThatIsNoWavePlaysTheDefaultSound)
{
    PulseSampleOutput output;
    for (const QString& path : {m_dir.filePath(QStringLiteral("gone.wav")),
                                Write(QStringLiteral("text.wav"), "RIFF, but not a wave")}) {
        output.Play(m_long);
        EXPECT_EVENTUALLY(About(OnlySound(), 4000), 3000);
        output.Play(path);
        // The default sound: a sample of the server's, shorter than either tone.
        EXPECT_EVENTUALLY(OnlySound() > 0 && OnlySound() < 2000, 3000) << qPrintable(path);
    }

    // A file that appears later is played then, not the default it stood for.
    const QString later = m_dir.filePath(QStringLiteral("later.wav"));
    output.Play(later);
    Write(QStringLiteral("later.wav"), Tone(3, 550));
    output.Play(later);
    EXPECT_EVENTUALLY(About(OnlySound(), 3000), 3000);
}

TEST_F(PulseSampleOutputTest, ASoundAskedForAsTheOutputGoesIsStillPlayed)
{
    {
        PulseSampleOutput output;
        output.Play(m_short);
        output.Play(m_long);
    }
    EXPECT_EVENTUALLY(About(OnlySound(), 4000), 3000);
}

TEST_F(PulseSampleOutputTest, ARestartedServerIsFoundAgainAndGivenTheSamplesAnew)
{
    PulseSampleOutput output;
    output.Play(m_short);
    EXPECT_EVENTUALLY(About(OnlySound(), 2000), 3000);

    m_probe.reset();
    m_server->Stop();
    ASSERT_TRUE(m_server->Start());
    ASSERT_EVENTUALLY(Probe().Ready(), 10000);
    m_probe = std::make_unique<Probe>();
    QTest::qWait(100);  // the output hears that its server went

    output.Play(m_short);
    EXPECT_EVENTUALLY(About(OnlySound(), 2000), 3000);
}

TEST_F(PulseSampleOutputTest, ASampleTheServerLostIsUploadedAgainAndPlayed)
{
    PulseSampleOutput output;
    output.Play(m_short);
    EXPECT_EVENTUALLY(About(OnlySound(), 2000), 3000);
    output.Play(m_long);
    EXPECT_EVENTUALLY(About(OnlySound(), 4000), 3000);

    // Another program empties the server's cache.
    QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"),
                                             QStringLiteral("for s in $(pactl list samples short | cut -f2); do "
                                                            "pactl remove-sample $s; done")});
    ASSERT_TRUE(m_probe->Samples().empty());

    output.Play(m_short);
    EXPECT_EVENTUALLY(About(OnlySound(), 2000), 3000);
}

TEST(PulseSampleOutputWithoutServer, NoServerMeansSilenceWithoutAHangOrACrash)
{
    // What the stream output reports as it finds no server either.
    TestMain::IgnoreWarnings(QStringLiteral("^PulseAudioService: pa_context_connect\\(\\) failed"));
    QTemporaryDir dir;
    qputenv("PULSE_SERVER", "unix:" + dir.filePath(QStringLiteral("none")).toLocal8Bit());
    {
        PulseSampleOutput output;
        output.Play(QStringLiteral(NIMBREL_PROGRAM_DIR "/Click.WAV"));
        output.Play(QStringLiteral(NIMBREL_PROGRAM_DIR "/Click.WAV"));
        QTest::qWait(50);
    }
    qunsetenv("PULSE_SERVER");
}
