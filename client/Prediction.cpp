#include "client/Prediction.h"

#include "client/PlayerControls.h"

#include <algorithm>

namespace {
constexpr std::size_t kEventsPerTick = 16;
}

Prediction::Prediction() {
    replayEvents.reserve(kEventsPerTick);
    outgoing.commands.reserve(protocol::kMaxCommandsPerDatagram);
}

void Prediction::reshape(const MatchSetup& setup, const std::vector<Driver>& drivers,
                         const Arena& arena) {
    predicted = std::make_unique<Match>(setup, 0, drivers, arena);
    restart();
}

void Prediction::restart() {
    predicted->restart();
    correction = glm::vec3(0.0f);
    correctionLeft = 0;
}

void Prediction::command(std::uint32_t tick, const PlayerInput& input, int seat) {
    history[tick % kHistory] =
        PlayerControls::command(input, predicted->tank(seat), Match::kTickSeconds);
}

void Prediction::repeatLast(std::uint32_t from, std::uint32_t to) {
    for (std::uint32_t t = from + 1; static_cast<std::int32_t>(to - t) >= 0; ++t) {
        history[t % kHistory] = history[from % kHistory];
    }
}

const protocol::Commands& Prediction::unacknowledged(std::uint32_t tick, std::uint16_t match) {
    const std::uint32_t oldest =
        tick - static_cast<std::uint32_t>(protocol::kMaxCommandsPerDatagram - 1);
    std::uint32_t first = std::max(ack + 1, tick >= oldest ? oldest : 0u);
    if (static_cast<std::int32_t>(first - tick) > 0) {
        first = tick;
    }
    outgoing.match = match;
    outgoing.firstTick = first;
    outgoing.commands.clear();
    for (std::uint32_t t = first; static_cast<std::int32_t>(tick - t) >= 0; ++t) {
        outgoing.commands.push_back(history[t % kHistory]);
    }
    return outgoing;
}

void Prediction::step(std::uint32_t tick, int seat, EventList& events, BulletSystem& shown) {
    advance(tick, seat, &events, &shown);
}

void Prediction::replayTo(std::uint32_t tick, int seat) {
    advance(tick, seat, nullptr, nullptr);
}

void Prediction::reconcile(std::uint32_t serverTick, const Tank& server, std::uint32_t tick,
                           int seat) {
    const std::uint32_t from = predictedTick;
    const glm::vec3 before = predicted->tank(seat).position;
    predicted->tank(seat) = server;
    predicted->state.bullets.clear();
    predictedTick = serverTick;
    replayTo(tick, seat);
    if (predictedTick != from) {
        correction = glm::vec3(0.0f); // the clock moved: nothing to blend from
        return;
    }
    const glm::vec3 error = before - predicted->tank(seat).position;
    if (error == glm::vec3(0.0f)) {
        return;
    }
    correction += error;
    correctionLeft = kCorrectionTicks;
    if (glm::length(correction) >= kSnapUnits) {
        correction = glm::vec3(0.0f);
        correctionLeft = 0;
    }
}

void Prediction::draw(int seat, Tank& shown) {
    const TankPose before = shown.pose();
    shown = predicted->tank(seat);
    if (correctionLeft > 0) {
        correction -= correction / static_cast<float>(correctionLeft);
        --correctionLeft;
    }
    shown.position += correction;
    shown.previousPose = before;
}

void Prediction::advance(std::uint32_t tick, int seat, EventList* events, BulletSystem* shown) {
    const std::uint32_t budget = kHistory - std::min(replayedNow, kHistory);
    if (static_cast<std::int32_t>(tick - predictedTick) > static_cast<std::int32_t>(budget)) {
        predictedTick = tick - budget;
    }
    while (static_cast<std::int32_t>(tick - predictedTick) > 0) {
        ++replayedNow;
        replayedMost = std::max(replayedMost, replayedNow);
        ++predictedTick;
        predicted->stepAlone(seat, history[predictedTick % kHistory],
                             events != nullptr ? *events : replayEvents);
        replayEvents.clear();
        std::vector<Bullet>& fired = predicted->state.bullets.bullets;
        if (shown != nullptr) {
            for (Bullet& bullet : fired) {
                // Named as the server names it: its owner and the server's tick.
                bullet.firedTick = predictedTick;
                if (shown->bullets.size() < BulletSystem::kReserved) {
                    shown->bullets.push_back(bullet);
                }
            }
        }
        fired.clear();
    }
}
