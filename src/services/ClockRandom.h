#pragma once

#include "ports/RandomSource.h"

#include <random>

// A uniform generator re-seeded from the time of day.
class ClockRandom final : public RandomSource {
public:
    void Randomize() override;
    double Rnd() override;

private:
    std::mt19937 m_engine{5489u};
    std::uniform_real_distribution<double> m_dist{0.0, 1.0};
};
