#pragma once

#include "platform/SoundSink.h"
#include "platform/WaveDecoder.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QTimer>

class QAudioSink;
class QIODevice;

// The audio side of the sound player. It lives on its own thread, so neither
// the audio device's set-up nor its round trips ever hold up a window.
//
// One output stream is opened on the first sound and kept for the whole run:
// opening a stream per sound costs tens of milliseconds and loses short
// sounds on some sound servers. Its buffer is small (kBufferMs) so a sound is
// heard at once. Each wave is decoded once, into the stream's own format, and
// kept. Between sounds the stream is paused, so a resting program wakes
// neither itself nor the sound server.
class SoundOutput final : public SoundSink {
    Q_OBJECT
public:
    explicit SoundOutput(QObject* parent = nullptr);
    ~SoundOutput() override;

    void Play(const QString& path) override;

private:
    bool OpenOutput();
    const QByteArray* Wave(const QString& path);
    void Feed();
    void Rest();

    QAudioSink* m_sink = nullptr;
    QIODevice* m_device = nullptr;
    bool m_opened = false;
    bool m_resting = false;
    WaveDecoder::Format m_format;
    QHash<QString, QByteArray> m_waves;
    QByteArray m_default;
    QByteArray m_playing;
    qsizetype m_position = 0;
    // Since the stream last took some of the sound.
    QElapsedTimer m_stalled;
    // Tops the stream's buffer up while a sound plays. (Children, so they
    // move to the audio thread with this object.)
    QTimer m_feed{this};
    // Pauses the stream once the last sound has left its buffer.
    QTimer m_rest{this};
};
