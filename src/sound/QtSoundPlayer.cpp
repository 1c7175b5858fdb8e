#include "sound/QtSoundPlayer.h"

#include "startup/Module.h"
#include "sound/SoundSink.h"

#include <QTimer>

#include <cstdio>
#include <utility>

namespace {

// The player's side on the audio thread: it loads the module and makes the
// output with the first sound. It lives on that thread and is deleted there,
// with the output (its child), as the thread ends, so nothing queued to it
// ever reaches a player that is gone.
class AudioThreadSide final : public QObject {
public:
    explicit AudioThreadSide(QString modulePath) : m_modulePath(std::move(modulePath)) {}

    void Play(const QString& path)
    {
        if (SoundSink* sink = Sink())
            sink->Play(path);
    }

private:
    SoundSink* Sink()
    {
        if (m_loaded)
            return m_sink;
        m_loaded = true;
        QString error;
        using Make = SoundSink* (*)();
        if (const auto make = reinterpret_cast<Make>(Module::Entry(m_modulePath, "nimbrel_create_sound_output", &error))) {
            m_sink = make();
            m_sink->setParent(this);
        } else {
            // Every sound is silence from here on; the program works on.
            const QByteArray line = "nimbrel: no sound: " + error.toLocal8Bit() + '\n';
            std::fputs(line.constData(), stderr);
        }
        return m_sink;
    }

    QString m_modulePath;
    SoundSink* m_sink = nullptr;
    bool m_loaded = false;
};

}  // namespace

QtSoundPlayer::QtSoundPlayer(QString modulePath) : m_modulePath(std::move(modulePath))
{
    m_thread.setObjectName(QStringLiteral("sound"));
}

QtSoundPlayer::~QtSoundPlayer()
{
    if (!m_side)
        return;
    if (!m_thread.isRunning()) {
        // Never started (no event loop ran since the first sound): nothing
        // runs on it, and the sounds still queued to it go with it.
        delete m_side;
        return;
    }
    // The stream and its timers belong to the audio thread: the thread
    // deletes them on its way out.
    m_side->deleteLater();
    m_thread.quit();
    m_thread.wait(2000);
}

void QtSoundPlayer::PlayWave(const QString& path)
{
    if (!m_side) {
        m_side = new AudioThreadSide(m_modulePath);
        m_side->moveToThread(&m_thread);
        // Sounds asked for until then wait in the thread's queue, in order.
        QTimer::singleShot(0, &m_starter, [this] { m_thread.start(); });
    }
    QMetaObject::invokeMethod(
        m_side, [side = static_cast<AudioThreadSide*>(m_side), path] { side->Play(path); }, Qt::QueuedConnection);
}
