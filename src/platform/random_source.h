#pragma once

#include <random>

// The random share of a random dwell: re-seeded from the time of day before every draw.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void reseedFromTimeOfDay() = 0;
    // Uniform in [0, 1).
    virtual double draw() = 0;
};

class TimeSeededRandom final : public RandomSource {
public:
    void reseedFromTimeOfDay() override;
    double draw() override;

private:
    std::mt19937_64 generator_;
};
