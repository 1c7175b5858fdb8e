#include "platform/sound/PulseSamples.h"

#include "platform/WaveDecoder.h"
#include "platform/WaveSynth.h"
#include "platform/sound/SoundOutput.h"

#include <QCryptographicHash>
#include <QFile>
#include <pulse/pulseaudio.h>

namespace {

// Samples are kept in the server in one format; it converts them as it plays.
constexpr WaveDecoder::Format kFormat{44100, 2, WaveDecoder::SampleType::Int16};
constexpr pa_sample_spec kSpec{PA_SAMPLE_S16NE, 44100, 2};

void Signal(pa_threaded_mainloop* loop) { pa_threaded_mainloop_signal(loop, 0); }
void SignalContext(pa_context*, void* loop) { Signal(static_cast<pa_threaded_mainloop*>(loop)); }
void SignalStream(pa_stream*, void* loop) { Signal(static_cast<pa_threaded_mainloop*>(loop)); }

// Requests whose answer nobody waits for.
void Drop(pa_operation* operation)
{
    if (operation)
        pa_operation_unref(operation);
}

// Waits (the loop locked) until the stream reaches `state`; false when it
// failed or ended first.
bool WaitFor(pa_threaded_mainloop* loop, pa_stream* stream, pa_stream_state_t state)
{
    for (pa_stream_state_t now = pa_stream_get_state(stream); now != state; now = pa_stream_get_state(stream)) {
        if (!PA_STREAM_IS_GOOD(now))
            return false;
        pa_threaded_mainloop_wait(loop);
    }
    return true;
}

}  // namespace

PulseSampleOutput::PulseSampleOutput(QObject* parent) : SoundSink(parent), m_playing(PA_INVALID_INDEX) {}

PulseSampleOutput::~PulseSampleOutput() { Disconnect(); }

void PulseSampleOutput::Play(const QString& path)
{
    if (m_streams) {
        m_streams->Play(path);
        return;
    }
    if (!Connect()) {
        UseStreams(path);
        return;
    }
    if (const std::optional<QByteArray> name = Sample(path))
        PlaySample(path, *name);
    else
        UseStreams(path);
}

bool PulseSampleOutput::Connect()
{
    if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY)
        return true;
    if (m_context) {
        // The server went away (or was restarted): a new one has none of the samples.
        Disconnect();
        m_samples.clear();
        m_default.reset();
    }
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop)
        return false;
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Nimbrel");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "nimbrel");
    m_context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(m_loop), "Nimbrel", props);
    pa_proplist_free(props);
    if (!m_context || pa_threaded_mainloop_start(m_loop) < 0) {
        Disconnect();
        return false;
    }
    pa_threaded_mainloop_lock(m_loop);
    pa_context_set_state_callback(m_context, &SignalContext, m_loop);
    bool ready = false;
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0) {
        for (pa_context_state_t state = pa_context_get_state(m_context);; state = pa_context_get_state(m_context)) {
            if (state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state)) {
                ready = state == PA_CONTEXT_READY;
                break;
            }
            pa_threaded_mainloop_wait(m_loop);
        }
    }
    pa_threaded_mainloop_unlock(m_loop);
    if (!ready)
        Disconnect();
    return ready;
}

void PulseSampleOutput::Disconnect()
{
    if (m_loop && m_context) {
        // Lets the server have the requests already made, so a sound asked
        // for as the program ends is still heard (the server plays it on).
        pa_threaded_mainloop_lock(m_loop);
        while (m_answered < m_asked && pa_context_get_state(m_context) == PA_CONTEXT_READY)
            pa_threaded_mainloop_wait(m_loop);
        pa_threaded_mainloop_unlock(m_loop);
    }
    if (m_loop)
        pa_threaded_mainloop_stop(m_loop);
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    if (m_loop) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
    }
    m_asked = m_answered = m_newestRequest = 0;
    m_playing = PA_INVALID_INDEX;
}

std::optional<QByteArray> PulseSampleOutput::Sample(const QString& path)
{
    if (const auto found = m_samples.constFind(path); found != m_samples.constEnd())
        return found.value();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        if (const std::optional<QByteArray> wave = WaveDecoder::Decode(file.readAll(), kFormat)) {
            std::optional<QByteArray> name = Upload(*wave);
            if (name)
                m_samples.insert(path, *name);
            return name;
        }
    }
    // Not kept for the file: one that appears later is played then.
    if (!m_default) {
        if (const std::optional<QByteArray> wave = WaveDecoder::Decode(WaveSynth::DefaultSound(), kFormat))
            m_default = Upload(*wave);
    }
    return m_default;
}

std::optional<QByteArray> PulseSampleOutput::Upload(const QByteArray& samples)
{
    const QByteArray name =
        "nimbrel-" + QCryptographicHash::hash(samples, QCryptographicHash::Sha1).toHex().left(24);
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "event");
    bool uploaded = false;
    pa_threaded_mainloop_lock(m_loop);
    if (pa_stream* stream = pa_stream_new_with_proplist(m_context, name.constData(), &kSpec, nullptr, props)) {
        pa_stream_set_state_callback(stream, &SignalStream, m_loop);
        uploaded = pa_stream_connect_upload(stream, size_t(samples.size())) >= 0
                   && WaitFor(m_loop, stream, PA_STREAM_READY)
                   && pa_stream_write(stream, samples.constData(), size_t(samples.size()), nullptr, 0, PA_SEEK_RELATIVE) >= 0
                   && pa_stream_finish_upload(stream) >= 0 && WaitFor(m_loop, stream, PA_STREAM_TERMINATED);
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_unref(stream);
    }
    pa_threaded_mainloop_unlock(m_loop);
    pa_proplist_free(props);
    if (!uploaded)
        return std::nullopt;
    return name;
}

void PulseSampleOutput::PlaySample(const QString& path, const QByteArray& name)
{
    pa_threaded_mainloop_lock(m_loop);
    if (m_playing != PA_INVALID_INDEX)
        Drop(pa_context_kill_sink_input(m_context, m_playing, nullptr, nullptr));
    m_playing = PA_INVALID_INDEX;
    m_newest = path;
    m_newestRequest = 0;
    if (pa_operation* played = pa_context_play_sample_with_proplist(
            m_context, name.constData(), nullptr, PA_VOLUME_NORM, nullptr, &OnPlayed, this)) {
        m_newestRequest = ++m_asked;
        pa_operation_unref(played);
    }
    pa_threaded_mainloop_unlock(m_loop);
}

void PulseSampleOutput::OnPlayed(pa_context* context, uint32_t index, void* data)
{
    // On the main loop's thread, its lock held.
    auto* self = static_cast<PulseSampleOutput*>(data);
    const bool newest = ++self->m_answered == self->m_newestRequest;
    Signal(self->m_loop);  // for one waiting for every answer
    if (index == PA_INVALID_INDEX) {
        // The server no longer has the sample (its cache was emptied): the
        // samples are uploaded anew and the newest sound played once more.
        if (newest && !self->m_replayed && pa_context_errno(context) == PA_ERR_NOENTITY) {
            self->m_replayed = true;
            QMetaObject::invokeMethod(
                self,
                [self, path = self->m_newest] {
                    self->m_samples.clear();
                    self->m_default.reset();
                    self->Play(path);
                },
                Qt::QueuedConnection);
        }
        return;
    }
    if (newest) {
        self->m_playing = index;
        self->m_replayed = false;
    } else {
        // A newer sound was asked for before this one had started.
        Drop(pa_context_kill_sink_input(context, index, nullptr, nullptr));
    }
}

void PulseSampleOutput::UseStreams(const QString& path)
{
    if (m_context) {
        pa_threaded_mainloop_lock(m_loop);
        if (m_playing != PA_INVALID_INDEX)
            Drop(pa_context_kill_sink_input(m_context, m_playing, nullptr, nullptr));
        m_playing = PA_INVALID_INDEX;
        pa_threaded_mainloop_unlock(m_loop);
    }
    Disconnect();
    m_streams = new SoundOutput(this);
    m_streams->Play(path);
}
