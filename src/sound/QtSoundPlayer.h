#pragma once

#include "ports/SoundPlayer.h"

#include <QObject>
#include <QString>
#include <QThread>

// Sound effects through the audio libraries (the sound server's client
// library, or Qt Multimedia where there is none), which live in a module of
// their own (modulePath, without its suffix). PlayWave returns at once: the sound is
// handed to the audio thread, which is started with the first sound, as soon
// as control is back in the event loop (so a window being made when the first
// sound is asked for is shown first), and loads the module there: neither the
// program's start nor any window waits for the audio libraries or the audio
// device. The newest request wins: the sound playing is cut off, nothing is
// queued.
class QtSoundPlayer final : public SoundPlayer {
public:
    explicit QtSoundPlayer(QString modulePath);
    ~QtSoundPlayer() override;
    QtSoundPlayer(const QtSoundPlayer&) = delete;
    QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

    void PlayWave(const QString& path) override;

private:
    QString m_modulePath;
    QThread m_thread;
    QObject m_starter;  // the context of the thread's start, which dies with the player
    // The side of the player that lives on the audio thread (made with the
    // first sound); it is deleted there, with the output, as the thread ends.
    QObject* m_side = nullptr;
};
