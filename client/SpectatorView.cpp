#include "client/SpectatorView.h"

bool SpectatorView::tick(int steps, int seatCount) {
    if (seatCount > 0) {
        seat = ((seat + steps) % seatCount + seatCount) % seatCount;
    }
    return ticks++ % kSignTicks == 0;
}
