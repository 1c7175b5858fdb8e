#include "sound/SoundOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>

namespace {

// The stream holds 30 ms of sound: short enough that a sound (or the one
// cutting off the sound before it) is heard within a frame or two, long
// enough to ride out a busy moment of this thread.
constexpr int kBufferMs = 30;
// The buffer is topped up every 5 ms while a sound plays, and never else.
constexpr int kFeedMs = 5;
// Long enough for what was written last to have been heard.
constexpr int kRestAfterMs = kBufferMs * 3 + 50;
// A paused stream still holds the sound server to the stream's short
// latency, waking it every few milliseconds; after this long without a sound
// the stream is closed, and the next sound opens a new one. A user's clicks
// while browsing come within seconds of each other and keep the stream (a
// new one costs the sound server and this thread a millisecond or so, while
// the page the click asked for is being loaded); a user reading a page lets it go.
constexpr int kCloseAfterMs = 10000;
// A stream that has taken nothing for this long is not waited for.
constexpr int kStalledMs = 1000;

WaveDecoder::SampleType TypeOf(QAudioFormat::SampleFormat format)
{
    switch (format) {
    case QAudioFormat::UInt8: return WaveDecoder::SampleType::UInt8;
    case QAudioFormat::Int32: return WaveDecoder::SampleType::Int32;
    case QAudioFormat::Float: return WaveDecoder::SampleType::Float;
    default: return WaveDecoder::SampleType::Int16;
    }
}

}  // namespace

SoundOutput::SoundOutput(QObject* parent) : SoundSink(parent)
{
    m_feed.setInterval(kFeedMs);
    m_feed.setTimerType(Qt::PreciseTimer);
    connect(&m_feed, &QTimer::timeout, this, &SoundOutput::Feed);
    m_rest.setSingleShot(true);
    m_rest.setInterval(kRestAfterMs);
    connect(&m_rest, &QTimer::timeout, this, &SoundOutput::Rest);
    m_close.setSingleShot(true);
    m_close.setInterval(kCloseAfterMs);
    connect(&m_close, &QTimer::timeout, this, &SoundOutput::Close);
}

SoundOutput::~SoundOutput()
{
    if (m_sink)
        m_sink->stop();
}

bool SoundOutput::OpenOutput()
{
    if (m_opened)
        return m_sink != nullptr;
    m_opened = true;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;  // no audio device: every sound is silence
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format = device.preferredFormat();
        format.setChannelCount(std::clamp(format.channelCount(), 1, 2));
    }
    // The waves are decoded once for the stream's format; a new stream of
    // the same format (after a quiet while) plays them as they are.
    m_waves.SetFormat(WaveDecoder::Format{format.sampleRate(), format.channelCount(), TypeOf(format.sampleFormat())});
    m_sink = new QAudioSink(device, format, this);
    m_sink->setBufferSize(format.bytesForDuration(kBufferMs * 1000));
    m_device = m_sink->start();
    if (!m_device) {
        delete m_sink;
        m_sink = nullptr;
        return false;
    }
    return true;
}

void SoundOutput::Play(const QString& path)
{
    if (!OpenOutput())
        return;
    m_playing = m_waves.Get(path);
    m_position = 0;
    m_stalled.start();
    m_rest.stop();
    m_close.stop();
    if (m_resting) {
        m_resting = false;
        m_sink->resume();
    }
    Feed();
    if (!m_feed.isActive())
        m_feed.start();
}

void SoundOutput::Feed()
{
    if (m_sink->state() == QAudio::StoppedState) {
        // The stream failed (the sound server went away): drop it, and open
        // a new one with the next sound.
        m_playing.clear();
        Close();
        return;
    }
    const qsizetype left = m_playing.size() - m_position;
    if (left > 0) {
        const qsizetype room = std::min<qsizetype>(m_sink->bytesFree(), left);
        const qint64 written = room > 0 ? m_device->write(m_playing.constData() + m_position, room) : 0;
        if (written > 0) {
            m_position += written;
            m_stalled.start();
        } else if (m_stalled.isValid() && m_stalled.elapsed() > kStalledMs) {
            m_position = m_playing.size();  // a stream that takes nothing any more: give the sound up
        }
    }
    if (m_position >= m_playing.size()) {
        m_feed.stop();
        m_playing.clear();
        m_position = 0;
        m_rest.start();
    }
}

void SoundOutput::Rest()
{
    m_resting = true;
    m_sink->suspend();
    m_close.start();
}

void SoundOutput::Close()
{
    m_feed.stop();
    m_rest.stop();
    m_close.stop();
    m_sink->stop();
    m_sink->deleteLater();
    m_sink = nullptr;
    m_device = nullptr;
    m_opened = false;
    m_resting = false;
}
