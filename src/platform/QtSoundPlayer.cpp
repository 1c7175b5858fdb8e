#include "platform/QtSoundPlayer.h"

#include "platform/Module.h"
#include "platform/SoundSink.h"

#include <cstdio>
#include <utility>

QtSoundPlayer::QtSoundPlayer(QString modulePath) : m_modulePath(std::move(modulePath))
{
    m_thread.setObjectName(QStringLiteral("sound"));
}

QtSoundPlayer::~QtSoundPlayer()
{
    if (!m_context)
        return;
    // The stream and its timers belong to the audio thread: the thread
    // deletes them on its way out.
    m_context->deleteLater();
    m_thread.quit();
    m_thread.wait(2000);
}

SoundSink* QtSoundPlayer::Sink()
{
    if (m_loaded)
        return m_sink;
    m_loaded = true;
    QString error;
    using Make = SoundSink* (*)();
    if (const auto make = reinterpret_cast<Make>(Module::Entry(m_modulePath, "nimbrel_create_sound_output", &error))) {
        m_sink = make();
        m_sink->setParent(m_context);
    } else {
        // Every sound is silence from here on; the program works on.
        const QByteArray line = "nimbrel: no sound: " + error.toLocal8Bit() + '\n';
        std::fputs(line.constData(), stderr);
    }
    return m_sink;
}

void QtSoundPlayer::PlayWave(const QString& path)
{
    if (!m_context) {
        m_context = new QObject;
        m_context->moveToThread(&m_thread);
        m_thread.start();
    }
    QMetaObject::invokeMethod(
        m_context,
        [this, path] {
            if (SoundSink* sink = Sink())
                sink->Play(path);
        },
        Qt::QueuedConnection);
}
