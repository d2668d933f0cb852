#include "net/CommandQueue.h"

#include <algorithm>

void CommandQueue::reset(std::uint32_t tick) {
    slots = {};
    takenTick = tick;
    newestTick = tick;
    last = TankCommand();
}

void CommandQueue::store(std::uint32_t tick, const TankCommand& command) {
    if (tick <= takenTick || tick - takenTick > kTicks) {
        return;
    }
    Slot& slot = slots[tick % kTicks];
    if (slot.kept && slot.tick == tick) {
        return;
    }
    slot = {tick, true, command};
    newestTick = std::max(newestTick, tick);
}

bool CommandQueue::take(TankCommand& command) {
    ++takenTick;
    newestTick = std::max(newestTick, takenTick);
    Slot& slot = slots[takenTick % kTicks];
    const bool arrived = slot.kept && slot.tick == takenTick;
    if (arrived) {
        last = slot.command;
    }
    slot.kept = false;
    command = last;
    return arrived;
}
