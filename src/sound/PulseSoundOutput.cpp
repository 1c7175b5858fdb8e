#include "sound/PulseSoundOutput.h"

#include <algorithm>
#include <pulse/pulseaudio.h>

namespace {

// Every wave is decoded once into this format; the server converts it for
// the device.
constexpr WaveDecoder::Format kFormat{44100, 2, WaveDecoder::SampleType::Int16};
constexpr pa_sample_spec kSpec{PA_SAMPLE_S16NE, 44100, 2};
// The server keeps 30 ms of the stream mixed ahead of what is heard: a sound
// cutting off another is heard within that, and a short latency is held
// only while a sound plays.
constexpr pa_usec_t kLatencyUs = 30000;
// Written in one go; a longer wave's rest follows as the server asks for it.
// The server holds up to 4 MB a stream.
constexpr qsizetype kWriteAtOnce = 1 << 20;

}  // namespace

PulseSoundOutput::PulseSoundOutput(QObject* parent) : SoundSink(parent), m_waves(kFormat)
{
    m_loop = pa_threaded_mainloop_new();
    if (m_loop && pa_threaded_mainloop_start(m_loop) < 0) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
    }
}

PulseSoundOutput::~PulseSoundOutput()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    CloseStream();
    Disconnect();
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseSoundOutput::Play(const QString& path)
{
    const QByteArray wave = m_waves.Get(path);
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    m_wave = wave;
    m_sent = 0;
    m_cutIn = true;
    if (Connect() && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
        if (m_stream)
            WritePending();  // or, the stream still being made, once it is ready
        else
            OpenStream();
    }
    pa_threaded_mainloop_unlock(m_loop);
}

bool PulseSoundOutput::Connect()
{
    if (m_context) {
        if (PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)))
            return true;
        Disconnect();  // the server went away: try it afresh
    }
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Nimbrel");
    if (!m_context)
        return false;
    pa_context_set_state_callback(m_context, &PulseSoundOutput::OnContextState, this);
    // The first connection may start the user's sound server, as any program's
    // would; a server that has gone is not started again with every click.
    const auto flags = m_triedOnce ? PA_CONTEXT_NOAUTOSPAWN : PA_CONTEXT_NOFLAGS;
    m_triedOnce = true;
    if (pa_context_connect(m_context, nullptr, flags, nullptr) < 0) {
        Disconnect();
        return false;
    }
    return true;
}

void PulseSoundOutput::Disconnect()
{
    if (!m_context)
        return;
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

void PulseSoundOutput::OnContextState(pa_context* context, void* self)
{
    auto* output = static_cast<PulseSoundOutput*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        if (output->m_cutIn && !output->m_stream)
            output->OpenStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        // No server: the sound waiting is silence, and the next one tries again.
        output->CloseStream();
        output->m_cutIn = false;
        output->m_wave.clear();
        break;
    default:
        break;
    }
}

void PulseSoundOutput::OpenStream()
{
    m_stream = pa_stream_new(m_context, "Sound effect", &kSpec, nullptr);
    if (!m_stream)
        return;
    pa_buffer_attr buffer;
    buffer.maxlength = static_cast<uint32_t>(-1);
    buffer.tlength = static_cast<uint32_t>(pa_usec_to_bytes(kLatencyUs, &kSpec));
    buffer.prebuf = static_cast<uint32_t>(-1);
    buffer.minreq = static_cast<uint32_t>(-1);
    buffer.fragsize = static_cast<uint32_t>(-1);
    pa_stream_set_state_callback(m_stream, &PulseSoundOutput::OnStreamState, this);
    pa_stream_set_write_callback(
        m_stream, [](pa_stream*, size_t, void* self) { static_cast<PulseSoundOutput*>(self)->WritePending(); }, this);
    if (pa_stream_connect_playback(m_stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0)
        CloseStream();
}

void PulseSoundOutput::CloseStream()
{
    if (!m_stream)
        return;
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
    m_draining = false;
}

void PulseSoundOutput::OnStreamState(pa_stream* stream, void* self)
{
    auto* output = static_cast<PulseSoundOutput*>(self);
    if (stream != output->m_stream)
        return;
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_READY)
        output->WritePending();
    else if (!PA_STREAM_IS_GOOD(state))
        output->CloseStream();  // the next sound opens another
}

void PulseSoundOutput::WritePending()
{
    if (!m_stream || pa_stream_get_state(m_stream) != PA_STREAM_READY)
        return;
    const qsizetype left = m_wave.size() - m_sent;
    if (left <= 0 && !m_cutIn)
        return;
    // A new sound goes where the server has got to, over whatever it had not
    // yet mixed of the one before; the rest of a long one follows it.
    const size_t size = static_cast<size_t>(std::min(left, kWriteAtOnce));
    const pa_seek_mode_t seek = m_cutIn ? PA_SEEK_RELATIVE_ON_READ : PA_SEEK_RELATIVE;
    if (pa_stream_write(m_stream, m_wave.constData() + m_sent, size, nullptr, 0, seek) < 0) {
        CloseStream();
        return;
    }
    m_cutIn = false;
    m_sent += static_cast<qsizetype>(size);
    ++m_written;
    Drain();
}

void PulseSoundOutput::Drain()
{
    if (m_draining)
        return;
    if (pa_operation* drain = pa_stream_drain(m_stream, &PulseSoundOutput::OnDrained, this)) {
        pa_operation_unref(drain);
        m_draining = true;
        m_drainAskedAt = m_written;
    }
}

void PulseSoundOutput::OnDrained(pa_stream* stream, int, void* self)
{
    auto* output = static_cast<PulseSoundOutput*>(self);
    if (stream != output->m_stream)
        return;
    output->m_draining = false;
    // Written since the drain was asked for, or still to write: not over yet.
    if (output->m_written != output->m_drainAskedAt || output->m_cutIn || output->m_sent < output->m_wave.size()) {
        output->Drain();
        return;
    }
    output->CloseStream();
}
