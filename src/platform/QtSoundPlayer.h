#pragma once

#include "platform/SoundPlayer.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTemporaryDir>

class QSoundEffect;

// Sound effects through Qt Multimedia. PlayWave returns at once; the sound
// starts on the next turn of the event loop, so a window that plays a sound
// in its load is painted without waiting for the audio device. The newest
// request wins: the sound playing is stopped, nothing is queued.
class QtSoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;

    void PlayWave(const QString& path) override;

private:
    void StartPending();
    void Start(const QString& file, bool isDefault);
    QSoundEffect* EffectFor(const QString& file);
    QString DefaultSoundFile();

    QString m_pending;
    bool m_scheduled = false;
    QHash<QString, QSoundEffect*> m_effects;
    QPointer<QSoundEffect> m_current;
    QTemporaryDir m_defaultDir;
    QString m_defaultFile;
};
