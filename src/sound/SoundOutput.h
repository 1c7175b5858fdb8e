#pragma once

#include "sound/SoundSink.h"
#include "sound/WaveCache.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

class QAudioSink;
class QIODevice;

// The audio side of the sound player. It lives on its own thread, so neither
// the audio device's set-up nor its round trips ever hold up a window.
//
// One output stream serves every sound of a burst (clicks a user makes one
// after another): it is opened with the first sound and only paused between
// sounds, as opening a stream is a round trip to the sound server and some
// servers lose the start of a short sound on a new stream. Its buffer is
// small (kBufferMs) so a sound is heard at once. After a quiet while
// (kCloseAfterMs) the stream is closed: even paused, it holds the server to
// its short latency, so a resting program would keep the server waking.
// Each wave is decoded once, into the stream's format, and kept.
class SoundOutput final : public SoundSink {
    Q_OBJECT
public:
    explicit SoundOutput(QObject* parent = nullptr);
    ~SoundOutput() override;

    void Play(const QString& path) override;

private:
    bool OpenOutput();
    void Feed();
    void Rest();
    void Close();

    QAudioSink* m_sink = nullptr;
    QIODevice* m_device = nullptr;
    bool m_opened = false;
    bool m_resting = false;
    WaveCache m_waves{WaveDecoder::Format{}};
    QByteArray m_playing;
    qsizetype m_position = 0;
    // Since the stream last took some of the sound.
    QElapsedTimer m_stalled;
    // Tops the stream's buffer up while a sound plays. (Children, so they
    // move to the audio thread with this object.)
    QTimer m_feed{this};
    // Pauses the stream once the last sound has left its buffer.
    QTimer m_rest{this};
    // Closes the paused stream once no sound has been asked for a while.
    QTimer m_close{this};
};
