#pragma once

namespace quorin {

// Page zoom arithmetic of the window commands. Every zoom the page can see lies in 0.5 to
// 2.0 in steps of 0.1, and each step is exactly the double nearest n / 10.
class ZoomLevel {
public:
    static constexpr double minimum = 0.5;
    static constexpr double maximum = 2.0;
    static constexpr double step = 0.1;
    static constexpr double reset = 1.0;

    // Not finite -> 1.0; at or below 0.5 -> 0.5; otherwise capped at 2.0 and rounded to one
    // decimal place, half away from zero.
    static double normalised(double value);
    // The zoom after one zoom-in / zoom-out step from the page's current zoom.
    static double zoomedIn(double currentPageZoom);
    static double zoomedOut(double currentPageZoom);
};

} // namespace quorin
