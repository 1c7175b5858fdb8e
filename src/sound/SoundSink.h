#pragma once

#include <QObject>
#include <QString>

// What the sound module makes: the audio side of the sound player, made,
// used and deleted on the sound player's own thread.
class SoundSink : public QObject {
public:
    using QObject::QObject;

    // Cuts off the sound playing, if any, and plays this file, or the built-in
    // default sound when the file is missing or no wave this can read.
    virtual void Play(const QString& path) = 0;
};
