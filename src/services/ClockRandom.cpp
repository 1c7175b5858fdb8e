#include "services/ClockRandom.h"

#include <QTime>

void ClockRandom::Randomize()
{
    m_engine.seed(static_cast<std::mt19937::result_type>(QTime::currentTime().msecsSinceStartOfDay()));
}

double ClockRandom::Rnd()
{
    return m_dist(m_engine);
}
