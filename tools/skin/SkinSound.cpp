#include "SkinSound.h"

#include "sound/WaveSynth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = WaveSynth::kSampleRate;

size_t samplesFor(double seconds)
{
    return static_cast<size_t>(std::lround(seconds * kRate));
}

}  // namespace

std::vector<float> SkinSound::click()
{
    // Two high partials with a 1 ms attack and a fast exponential decay: a
    // short wooden tick rather than a beep.
    std::vector<float> out(samplesFor(0.06));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        const double env = std::min(1.0, t / 0.001) * std::exp(-t / 0.009);
        const double tone = 0.65 * std::sin(2 * kPi * 1500.0 * t)
                          + 0.25 * std::sin(2 * kPi * 2630.0 * t)
                          + 0.10 * std::sin(2 * kPi * 750.0 * t);
        out[i] = static_cast<float>(env * tone);
    }
    fadeEdges(out, 0.0, 0.006);
    normalise(out, 0.45);
    return out;
}

std::vector<float> SkinSound::openWindow()
{
    return glide(440.0, 880.0, 0.25);
}

std::vector<float> SkinSound::closeWindow()
{
    return glide(880.0, 440.0, 0.25);
}

std::vector<float> SkinSound::glide(double fromHz, double toHz, double seconds)
{
    // An exponential pitch glide over one octave with a fifth above it; the
    // phase is accumulated so the changing frequency stays smooth.
    std::vector<float> out(samplesFor(seconds));
    double phase = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double x = double(i) / double(out.size());
        const double hz = fromHz * std::pow(toHz / fromHz, x);
        phase += 2 * kPi * hz / kRate;
        const double env = std::sin(kPi * std::min(1.0, x / 0.12) / 2) * (1.0 - 0.5 * x);
        const double tone = std::sin(phase) + 0.30 * std::sin(1.5 * phase)
                          + 0.12 * std::sin(2.0 * phase) + 0.05 * std::sin(3.0 * phase);
        out[i] = static_cast<float>(env * tone);
    }
    fadeEdges(out, 0.0, 0.07);
    normalise(out, 0.40);
    return out;
}

std::vector<float> SkinSound::intro()
{
    // C major arpeggio rising to the octave, then a soft chord ringing out.
    std::vector<float> out(samplesFor(1.6));
    const double c5 = 523.25, e5 = 659.26, g5 = 783.99, c6 = 1046.50;
    addBell(out, 0.00, c5, 0.80, 0.30);
    addBell(out, 0.13, e5, 0.75, 0.30);
    addBell(out, 0.26, g5, 0.75, 0.30);
    addBell(out, 0.42, c6, 0.90, 0.45);
    addBell(out, 0.42, c5 / 2, 0.45, 0.55);
    addBell(out, 0.42, g5 / 2, 0.30, 0.50);
    addBell(out, 0.42, e5, 0.25, 0.50);
    addEcho(out, 0.12, 0.28);
    fadeEdges(out, 0.002, 0.25);
    normalise(out, 0.60);
    return out;
}

void SkinSound::addBell(std::vector<float>& out, double start, double hz, double level, double decay)
{
    // A soft bell: the fundamental, two harmonics and a slightly stretched
    // fourth partial that dies away faster and gives the strike its colour.
    const size_t first = samplesFor(start);
    for (size_t i = first; i < out.size(); ++i) {
        const double t = double(i - first) / kRate;
        const double attack = std::min(1.0, t / 0.004);
        const double body = std::exp(-t / decay);
        const double strike = std::exp(-t / (decay * 0.25));
        const double w = 2 * kPi * hz * t;
        const double tone = body * (std::sin(w) + 0.35 * std::sin(2 * w) + 0.12 * std::sin(3 * w))
                          + strike * 0.18 * std::sin(4.07 * w);
        out[i] += static_cast<float>(level * attack * tone);
    }
}

void SkinSound::addEcho(std::vector<float>& out, double delay, double feedback)
{
    const size_t lag = samplesFor(delay);
    for (size_t i = lag; i < out.size(); ++i)
        out[i] += static_cast<float>(feedback) * out[i - lag];
}

void SkinSound::fadeEdges(std::vector<float>& out, double fadeIn, double fadeOut)
{
    const size_t in = std::min(out.size(), samplesFor(fadeIn));
    const size_t fadeOutLength = std::min(out.size(), samplesFor(fadeOut));
    for (size_t i = 0; i < in; ++i)
        out[i] *= static_cast<float>(double(i) / double(in));
    for (size_t k = 0; k < fadeOutLength; ++k) {
        // k counts back from the last sample, which ends at exactly zero.
        const double x = double(k) / double(fadeOutLength);
        out[out.size() - 1 - k] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * x));
    }
}

void SkinSound::normalise(std::vector<float>& out, double peak)
{
    float highest = 0.0f;
    for (float s : out)
        highest = std::max(highest, std::abs(s));
    if (highest <= 0.0f)
        return;
    const float gain = static_cast<float>(peak) / highest;
    for (float& s : out)
        s *= gain;
}
