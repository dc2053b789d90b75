#include "core/clock.h"

#include <QTime>

namespace qh {

double SystemClock::secondsSinceMidnight() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

} // namespace qh
