#pragma once

#include "platform/SoundSink.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>

struct pa_context;
struct pa_threaded_mainloop;

// Plays sounds from the sound server's own sample cache. Each wave is decoded
// and uploaded once; from then on a sound is a single request, and the server
// mixes it itself: nothing of this program wakes while a sound plays, where a
// stream has to be resumed, fed every few milliseconds and paused again, work
// that competes with a page being drawn. The newest sound wins: the server is
// told to end the one playing as the new one is asked for.
//
// A sample is named after its content, so every run and every copy of the
// program shares one upload per sound and leaves the server no more than one
// entry per distinct sound. A sample the server no longer has is uploaded
// anew and played once more.
//
// When there is no sound server to reach, or it takes no samples, every sound
// goes through the stream output instead.
class PulseSampleOutput final : public SoundSink {
public:
    explicit PulseSampleOutput(QObject* parent = nullptr);
    ~PulseSampleOutput() override;
    PulseSampleOutput(const PulseSampleOutput&) = delete;
    PulseSampleOutput& operator=(const PulseSampleOutput&) = delete;

    void Play(const QString& path) override;

private:
    bool Connect();
    void Disconnect();
    // The name of the sample to play for this file (the default sound's when
    // the file is missing or no wave), uploading it first if needed; nothing
    // when the server took no upload.
    std::optional<QByteArray> Sample(const QString& path);
    std::optional<QByteArray> Upload(const QByteArray& samples);
    void PlaySample(const QString& path, const QByteArray& name);
    void UseStreams(const QString& path);
    static void OnPlayed(pa_context* context, uint32_t index, void* self);

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    // The sample of each file played so far, and of the default sound.
    QHash<QString, QByteArray> m_samples;
    std::optional<QByteArray> m_default;
    // Guarded by the main loop's lock, as the server's answers come on its
    // thread: how many plays were asked for and answered, which of them is the
    // newest sound, its index once it plays, and the file it was asked for
    // with.
    std::uint64_t m_asked = 0;
    std::uint64_t m_answered = 0;
    std::uint64_t m_newestRequest = 0;
    std::uint32_t m_playing;
    QString m_newest;
    bool m_replayed = false;
    // The stream output, once the server has been found not to take samples.
    SoundSink* m_streams = nullptr;
};
