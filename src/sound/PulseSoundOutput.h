#pragma once

#include "sound/SoundSink.h"
#include "sound/WaveCache.h"

#include <QByteArray>
#include <QString>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

// The audio side of the sound player, talking to the sound server directly.
// It lives on the player's own thread; the server's replies are handled on
// the client library's thread, under its lock.
//
// A sound is handed to the server whole, in one write: nothing in this
// program wakes while it plays. One stream serves a burst of sounds: a sound
// asked for while another plays is written over what the server has not yet
// played of it, from the point it has reached (so it is cut off within the
// few milliseconds the server has already mixed, and never queued behind it).
// The stream is closed as soon as the last sound has been played: a stream
// kept open, even silent, holds the server to its short latency and keeps it
// waking. The connection to the server is made with the first sound, without
// waiting for it anywhere; no server means every sound is silence.
class PulseSoundOutput final : public SoundSink {
public:
    explicit PulseSoundOutput(QObject* parent = nullptr);
    ~PulseSoundOutput() override;

    void Play(const QString& path) override;

private:
    // The rest run on the client library's thread, or with its lock held.
    bool Connect();
    void Disconnect();
    void OpenStream();
    void CloseStream();
    void WritePending();
    void Drain();
    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnDrained(pa_stream* stream, int success, void* self);

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    // The latest sound, how much of it is written, and whether it is still
    // to go in over the one before (it waits for the connection or the
    // stream to be ready).
    QByteArray m_wave;
    qsizetype m_sent = 0;
    bool m_cutIn = false;
    bool m_triedOnce = false;
    // Sounds written to the stream, and how many there were when the drain
    // under way was asked for: a sound written since then outlives it.
    quint64 m_written = 0;
    quint64 m_drainAskedAt = 0;
    bool m_draining = false;
    WaveCache m_waves;
};
