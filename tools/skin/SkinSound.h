#pragma once

#include <vector>

// Synthesises the sound effects of the skin as mono samples in [-1, 1] at
// WaveSynth::kSampleRate. Every sound starts and ends at silence so that
// cutting one off with the next gives no pop.
class SkinSound {
public:
    // A soft tick of about 60 ms for every button click.
    static std::vector<float> click();
    // A rising two-voice glide of 250 ms when a window opens.
    static std::vector<float> openWindow();
    // The same glide falling, when a window closes.
    static std::vector<float> closeWindow();
    // A bell arpeggio of about 1.6 s for the splash window.
    static std::vector<float> intro();

private:
    static std::vector<float> glide(double fromHz, double toHz, double seconds);
    static void addBell(std::vector<float>& out, double start, double hz, double level, double decay);
    static void addEcho(std::vector<float>& out, double delay, double feedback);
    static void fadeEdges(std::vector<float>& out, double fadeIn, double fadeOut);
    static void normalise(std::vector<float>& out, double peak);
};
