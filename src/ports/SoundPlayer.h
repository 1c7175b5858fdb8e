#pragma once

#include <QString>

// Plays one wave file asynchronously. A new sound cuts off the one playing;
// sounds are never queued or looped. A missing or unreadable file plays a
// built-in default sound instead; no audio device means silence. Nothing is
// ever reported to the caller.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void PlayWave(const QString& path) = 0;
};
