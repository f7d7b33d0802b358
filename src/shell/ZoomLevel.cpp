#include "ZoomLevel.h"

#include <algorithm>
#include <cmath>

namespace quorin {

double ZoomLevel::normalised(double value)
{
    if (!std::isfinite(value))
        return reset;
    if (value <= minimum)
        return minimum;
    // Dividing the rounded tenths gives the double nearest n / 10, so repeated steps
    // never drift (1.1 + 0.1 reads as 1.2, not 1.2000000000000002).
    return std::round(std::min(value, maximum) * 10.0) / 10.0;
}

double ZoomLevel::zoomedIn(double currentPageZoom)
{
    return normalised(normalised(currentPageZoom) + step);
}

double ZoomLevel::zoomedOut(double currentPageZoom)
{
    return normalised(normalised(currentPageZoom) - step);
}

} // namespace quorin
