#pragma once

// Uniform fractions in [0, 1), re-seeded from the clock on request.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void Randomize() = 0;
    virtual double Rnd() = 0;
};
