#pragma once

#include <QByteArray>
#include <vector>

// Writes 16-bit mono PCM wave files; shared by the skin generator and the
// player's built-in default sound.
namespace WaveSynth {

inline constexpr int kSampleRate = 22050;

QByteArray WaveFile(const std::vector<float>& samples, int sampleRate = kSampleRate);

// A short soft two-tone chime, played when a sound file is missing.
QByteArray DefaultSound();

}  // namespace WaveSynth
