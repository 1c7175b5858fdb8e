#include "platform/QtSoundPlayer.h"

#include "platform/SoundOutput.h"

QtSoundPlayer::QtSoundPlayer()
{
    m_thread.setObjectName(QStringLiteral("sound"));
}

QtSoundPlayer::~QtSoundPlayer()
{
    if (!m_thread.isRunning())
        return;
    // Deleted on its own thread, as its stream and timers belong there; the
    // thread deletes it on its way out.
    if (m_output)
        m_output->deleteLater();
    m_thread.quit();
    m_thread.wait(2000);
}

void QtSoundPlayer::PlayWave(const QString& path)
{
    if (!m_output) {
        m_output = new SoundOutput;
        m_output->moveToThread(&m_thread);
        m_thread.start();
    }
    QMetaObject::invokeMethod(m_output, [output = m_output.data(), path] { output->Play(path); }, Qt::QueuedConnection);
}
