#include "platform/random_source.h"

#include <QTime>

void TimeSeededRandom::reseedFromTimeOfDay()
{
    generator_.seed(static_cast<std::uint64_t>(QTime::currentTime().msecsSinceStartOfDay()));
}

double TimeSeededRandom::draw()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator_);
}
