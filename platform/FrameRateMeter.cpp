#include "platform/FrameRateMeter.h"

void FrameRateMeter::frame(double nowSeconds) {
    if (!started) {
        started = true;
        windowStart = nowSeconds;
        return;
    }
    ++framesInWindow;
    const double span = nowSeconds - windowStart;
    if (span <= 0.0) {
        return;
    }
    if (span >= kWindowSeconds || !wholeWindowSeen) {
        rate = framesInWindow / span;
    }
    if (span >= kWindowSeconds) {
        wholeWindowSeen = true;
        windowStart = nowSeconds;
        framesInWindow = 0;
    }
}
