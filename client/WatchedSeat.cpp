#include "client/WatchedSeat.h"

bool WatchedSeat::tick(int steps, int seatCount) {
    if (seatCount > 0) {
        seat = ((seat + steps) % seatCount + seatCount) % seatCount;
    }
    return ticks++ % kSignTicks == 0;
}
