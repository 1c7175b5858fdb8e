#pragma once

#include "platform/SoundPlayer.h"

#include <QObject>
#include <QPointer>
#include <QThread>

class SoundOutput;

// Sound effects through Qt Multimedia. PlayWave returns at once: the sound
// is handed to the audio thread, which is started with the first sound (so a
// program start does not wait for the audio device) and keeps one output
// stream for the whole run. The newest request wins: the sound playing is cut
// off, nothing is queued.
class QtSoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;

    void PlayWave(const QString& path) override;

private:
    QThread m_thread;
    QPointer<SoundOutput> m_output;
};
