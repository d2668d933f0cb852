#include "game/PathFollower.h"

#include "game/Angles.h"
#include "game/Clearance.h"
#include "game/ControllerView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {
constexpr float kFullSpeed = 4.8f;    // the tank's units of speed at a full drive, forward
constexpr float kSpeedToStep = 0.04f; // units moved per tick per unit of speed
constexpr float kBraking = 0.0084f;   // units per tick, each tick, braking at a full drive
constexpr float kReach = 1.2f;        // units: a place this near is reached
constexpr float kLookAhead = 2.0f;    // units: how far ahead on the way the tank steers at
constexpr float kCutRadius = NavGraph::kStandRadius; // units kept from pieces when cutting
constexpr float kSameFloor = 0.05f;                  // units
constexpr float kSharpBend = 50.0f;                  // degrees: a bend this sharp is taken slowly
constexpr float kBendSpeed = 2.0f;                   // the tank's units of speed
constexpr float kNearBend = 3.0f;                    // units from a sharp bend to slow down at
constexpr float kWideTurn = 60.0f;                   // degrees off: turn nearly on the spot
constexpr float kTurnSpeed = 0.5f;                   // the tank's units of speed while turning so
constexpr float kHalfTurn = 25.0f;                   // degrees off: slow down
constexpr float kSpeedSlack = 0.25f;    // how far below the wanted speed the engine pushes
constexpr float kSpeedExcess = 0.4f;    // how far above it the engine brakes
constexpr float kStuckDistance = 0.5f;  // units
constexpr float kStuckSeconds = 1.0f;   // without moving farther, while wanting to
constexpr float kBackOffSeconds = 1.2f; // of getting out, at most
constexpr float kEscaped = 1.0f;        // units from where it stuck that count as out
constexpr float kOnWayOut = 15.0f;      // degrees off the way out it drives at
constexpr int kEscapeWays = 8;
constexpr float kEscapeDistance = 1.5f; // units of a way out that must be clear
// Where along it the hull is tried, in units: a hull's corner held by a piece's corner can be
// free where it stands and a few hundredths on, and held in the thousandths a tick moves it
// from standing.
constexpr std::array<float, 11> kEscapeSteps{0.0f,  0.004f, 0.008f, 0.016f, 0.03f,          0.06f,
                                             0.12f, 0.25f,  0.5f,   1.0f,   kEscapeDistance};
constexpr float kTankRoom = 2.3f;      // units from another tank a way out must end
constexpr float kRetrySeconds = 3.0f;  // a back-off this soon after the last is a retry
constexpr float kSameWay = 30.0f;      // degrees: a way out this close to the last is the same
constexpr float kAgain = 120.0f;       // degrees of turn a way that did not help counts as
constexpr float kTankFeelReach = 2.9f; // units between two tanks' middles that may touch
constexpr float kHoldSeconds = 1.0f;   // of waiting for a tank that holds it to go
constexpr float kJumpApproach = 6.0f;  // units from a jump's edge the run-up begins
constexpr float kRunUpReach = 0.6f;    // units from the run-up's start that count as there
constexpr float kFacing = 2.5f;        // degrees off the jump's line to start the run at
constexpr float kStill = 0.4f;         // the tank's units of speed that count as standing
constexpr float kLongestFacing = 2.5f; // seconds of turning for a run-up before giving up
constexpr float kRunAhead = 4.0f;      // units along the jump's line steered at
constexpr float kLeadIn = 2.5f;        // units behind the run-up's start it is driven into from
constexpr float kPassReach = 5.0f;     // units ahead a tank in the way is steered round
constexpr float kPassRoom = 2.6f;      // units aside of the way a tank is passed at

glm::vec2 ground(glm::vec3 v) {
    return glm::vec2(v.x, v.z);
}

float distance(glm::vec3 a, glm::vec3 b) {
    return glm::length(ground(a - b));
}

float headingTo(glm::vec3 from, glm::vec3 to) {
    const glm::vec2 way = ground(to - from);
    if (glm::dot(way, way) == 0.0f) {
        return 0.0f;
    }
    const glm::vec2 unit = glm::normalize(way);
    return headingOf(glm::vec3(unit.x, 0.0f, unit.y));
}

std::int16_t turnFor(float degreesOff) {
    const float perSecond =
        std::clamp(degreesOff / Match::kTickSeconds, -Match::kPersonAimDegreesPerSecond,
                   Match::kPersonAimDegreesPerSecond);
    return static_cast<std::int16_t>(std::lround(perSecond * TankCommand::kTurnUnit));
}

// The drive that brings the forward speed towards wanted.
std::int16_t driveFor(float forwardSpeed, float wanted) {
    if (forwardSpeed < wanted - kSpeedSlack) {
        return TankCommand::kFullDrive;
    }
    if (forwardSpeed > wanted + kSpeedExcess) {
        return -TankCommand::kFullDrive;
    }
    return 0;
}

// The speed from which braking stops the tank within distance.
float stoppingSpeed(float within) {
    return std::sqrt(2.0f * kBraking * std::max(within, 0.0f)) / kSpeedToStep;
}
} // namespace

float PathFollower::floorOf(const ControllerView& view) const {
    return view.own().floorLevel;
}

bool PathFollower::plan(const ControllerView& view, int to) {
    stop();
    const Tank& own = view.own();
    const float floor = floorOf(view);
    int from = view.graph.nearest(view.arena, own.position, floor);
    if (from == NavGraph::kNoNode) {
        from = view.graph.nearestOnFloor(own.position, floor);
    }
    if (from == NavGraph::kNoNode || to < 0 || to >= view.graph.size() ||
        !view.search.find(from, to, path)) {
        return false;
    }
    goal = to;
    return true;
}

void PathFollower::stop() {
    path.clear();
    cursor = 0;
    goal = NavGraph::kNoNode;
    stage = JumpStage::None;
}

void PathFollower::driveTowards(const ControllerView& view, glm::vec3 point, float wantedSpeed,
                                TankCommand& command) {
    const Tank& own = view.own();
    const float off = headingDifference(own.heading, headingTo(own.position, point));
    command.turn = turnFor(off);
    float wanted = wantedSpeed;
    if (std::abs(off) > kWideTurn) {
        wanted = std::min(wanted, kTurnSpeed);
    } else if (std::abs(off) > kHalfTurn) {
        wanted = std::min(wanted, kBendSpeed);
    }
    command.drive = driveFor(-own.speed, wanted);
}

glm::vec3 PathFollower::passing(const ControllerView& view, glm::vec3 point,
                                const Obstacles& near) {
    const Tank& own = view.own();
    const glm::vec2 way = ground(point - own.position);
    const float length = glm::length(way);
    if (length == 0.0f) {
        return point;
    }
    const glm::vec2 along = way / length;
    const glm::vec2 left(-along.y, along.x);
    // The nearest tank ahead within reach and closer to the line than a pass needs.
    float nearest = std::min(length + kReach, kPassReach);
    float side = 0.0f;
    glm::vec3 nearestPlace(0.0f);
    for (int i = 0; i < near.count; ++i) {
        const glm::vec3 place = near.places[static_cast<std::size_t>(i)];
        const glm::vec2 offset = ground(place - own.position);
        const float ahead = glm::dot(offset, along);
        const float aside = glm::dot(offset, left);
        if (ahead <= 0.0f || std::abs(aside) >= kPassRoom ||
            (ahead > nearest || (ahead == nearest && !(place.x < nearestPlace.x)))) {
            continue;
        }
        nearest = ahead;
        side = aside;
        nearestPlace = place;
    }
    if (side == 0.0f) {
        return point;
    }
    const glm::vec2 shift = left * (side > 0.0f ? -1.0f : 1.0f) * (kPassRoom - std::abs(side));
    return point + glm::vec3(shift.x, 0.0f, shift.y);
}

void PathFollower::steer(const ControllerView& view, const Obstacles& near, TankCommand& command) {
    steerWay(view, near, command);
    if (!backingOff) {
        keepClear(view, command); // a back-off has chosen its way out clear
    }
}

bool PathFollower::clearAfter(const ControllerView& view, std::int16_t drive,
                              std::int16_t turn) const {
    const Tank& own = view.own();
    TankCommand next;
    next.drive = drive;
    next.turn = turn;
    const float speed = own.speed + next.speedChange();
    const float heading = own.heading + next.turnDegreesPerSecond() * Match::kTickSeconds;
    const glm::vec3 at = own.position - speed * kSpeedToStep * headingDirection(heading);
    return clearance::hullClear(view.arena, at, heading, floorOf(view));
}

void PathFollower::keepClear(const ControllerView& view, TankCommand& command) const {
    if (!view.own().onGround || clearAfter(view, command.drive, command.turn)) {
        return;
    }
    // The hull would meet a piece: the nearest command whose next tick leaves it clear, turning
    // as asked if it can (driving back frees a turn that a corner ahead holds, and forward one
    // held behind), else straight.
    const std::int16_t full = TankCommand::kFullDrive;
    const std::array<std::array<std::int16_t, 2>, 6> instead{
        {{command.drive, command.turn},
         {static_cast<std::int16_t>(-full), command.turn},
         {full, command.turn},
         {command.drive, 0},
         {static_cast<std::int16_t>(-full), 0},
         {full, 0}}};
    for (const auto& [drive, turn] : instead) {
        if (clearAfter(view, drive, turn)) {
            command.drive = drive;
            command.turn = turn;
            return;
        }
    }
}

void PathFollower::steerWay(const ControllerView& view, const Obstacles& near,
                            TankCommand& command) {
    const Tank& own = view.own();
    const std::uint32_t tick = view.state.tick;
    towards = own.position + own.forward();
    if (backingOff && tick - backOffTick < ControllerView::ticks(kBackOffSeconds) &&
        distance(own.position, watchSpot) < kEscaped) {
        // Turn the hull onto the way out, then drive it, forward or back.
        const float hull = backOffForward ? backOffHeading : backOffHeading + kHalfTurnDegrees;
        const float off = headingDifference(own.heading, hull);
        command.turn = turnFor(off);
        const std::int16_t drive =
            backOffForward ? TankCommand::kFullDrive : -TankCommand::kFullDrive;
        command.drive = std::abs(off) < kOnWayOut ? drive : driveFor(-own.speed, 0.0f);
        return;
    }
    if (backingOff && distance(own.position, watchSpot) < kEscaped) {
        // Still held: by a tank that pushes back, it waits for that tank to go.
        for (int i = 0; i < near.count && !holding; ++i) {
            holding =
                distance(own.position, near.places[static_cast<std::size_t>(i)]) < kTankFeelReach;
        }
        holdTick = tick;
    }
    backingOff = false;
    if (holding && tick - holdTick < ControllerView::ticks(kHoldSeconds)) {
        command.drive = driveFor(-own.speed, 0.0f);
        watchSpot = own.position;
        watchTick = tick;
        return;
    }
    holding = false;
    if (arrived()) {
        command.drive = driveFor(-own.speed, 0.0f);
        return;
    }
    if (watchForStuck(view, near)) {
        steerWay(view, near, command); // the back-off's first tick
        return;
    }
    const float floor = floorOf(view);
    const NavGraph& graph = view.graph;
    // A place on another floor is only driven to along a way between floors; otherwise the
    // tank has come off the way (a fall, a jump) and the way is given up.
    const int here = path.at(cursor);
    const bool between = cursor > 0 && std::abs(graph.node(path.at(cursor - 1)).position.y -
                                                graph.node(here).position.y) > kSameFloor;
    if (own.onGround && stage == JumpStage::None && !between &&
        std::abs(graph.node(here).position.y - floor) > kSameFloor) {
        stop();
        command.drive = driveFor(-own.speed, 0.0f);
        return;
    }
    if (cursor + 1 < path.count) {
        const NavEdge* next = graph.edge(here, path.at(cursor + 1));
        if (next != nullptr && next->link == NavLink::Jump &&
            (stage != JumpStage::None ||
             distance(own.position, graph.node(here).position) < kJumpApproach) &&
            jump(view, *next, command)) {
            return;
        }
        // Cut the corner when the place after next is in a clear straight line.
        const glm::vec3 after = graph.node(path.at(cursor + 1)).position;
        if (next != nullptr && next->link == NavLink::Drive &&
            std::abs(after.y - floor) < kSameFloor &&
            clearance::drivesClear(view.arena, own.position, after, kCutRadius, floor)) {
            ++cursor;
        }
    }
    glm::vec3 place = graph.node(path.at(cursor)).position;
    if (distance(own.position, place) < kReach && std::abs(place.y - floor) < kSameFloor) {
        ++cursor;
        if (arrived()) {
            command.drive = driveFor(-own.speed, 0.0f);
            return;
        }
        place = graph.node(path.at(cursor)).position;
    }
    // Steer a little past the place, along the way on; brake for the end and sharp bends.
    glm::vec3 point = place;
    float wanted = kFullSpeed;
    const float toPlace = distance(own.position, place);
    float remaining = toPlace;
    if (cursor + 1 < path.count) {
        const glm::vec3 after = graph.node(path.at(cursor + 1)).position;
        const NavEdge* next = graph.edge(path.at(cursor), path.at(cursor + 1));
        const glm::vec2 onward = glm::normalize(ground(after - place));
        if (next != nullptr && next->link == NavLink::Drive && toPlace < kLookAhead) {
            point = place + glm::vec3(onward.x, 0.0f, onward.y) * (kLookAhead - toPlace);
        }
        const float bend =
            std::abs(headingDifference(headingTo(own.position, place), headingTo(place, after)));
        if (bend > kSharpBend && toPlace < kNearBend) {
            wanted = kBendSpeed;
        }
        remaining += distance(place, after);
    }
    if (cursor + 2 >= path.count) {
        wanted = std::min(wanted, stoppingSpeed(remaining - kReach));
    }
    towards = passing(view, point, near);
    driveTowards(view, towards, wanted, command);
}

bool PathFollower::jump(const ControllerView& view, const NavEdge& edge, TankCommand& command) {
    const Tank& own = view.own();
    const std::uint32_t tick = view.state.tick;
    const glm::vec3 from = view.graph.node(path.at(cursor)).position;
    const glm::vec3 to = view.graph.node(edge.to).position;
    const glm::vec2 line = glm::normalize(ground(to - from));
    const glm::vec3 way(line.x, 0.0f, line.y);
    const glm::vec3 runUp = from - NavGraph::kRunUp * way;
    const float progress = glm::dot(ground(own.position - from), line);
    const glm::vec3 leadIn = runUp - kLeadIn * way;
    if (stage == JumpStage::None) {
        // Only once the run-up's start is in a clear straight line; until then along the way.
        if (!clearance::drivesClear(view.arena, own.position, runUp, kCutRadius, from.y)) {
            return false;
        }
        // Into the run-up's start along the jump's line, from a little behind it when it comes
        // from elsewhere and that is in a clear line too, so that the hull comes to face the
        // jump with little turning.
        const bool behind = progress < -NavGraph::kRunUp - kLeadIn * 0.5f;
        const bool leadInClear =
            clearance::drivesClear(view.arena, leadIn, runUp, NavGraph::kDriveRadius, from.y) &&
            clearance::drivesClear(view.arena, own.position, leadIn, kCutRadius, from.y);
        stage = behind || !leadInClear ? JumpStage::ToRunUp : JumpStage::LeadIn;
        stageTick = tick;
    }
    switch (stage) {
    case JumpStage::None:
    case JumpStage::LeadIn:
        if (distance(own.position, leadIn) > kReach) {
            towards = leadIn;
            driveTowards(view, towards, kFullSpeed, command);
            return true;
        }
        stage = JumpStage::ToRunUp;
        stageTick = tick;
        [[fallthrough]];
    case JumpStage::ToRunUp:
        if (distance(own.position, runUp) > kRunUpReach) {
            towards = runUp;
            driveTowards(view, towards,
                         stoppingSpeed(distance(own.position, runUp) - kRunUpReach * 0.5f),
                         command);
            return true;
        }
        stage = JumpStage::Facing;
        stageTick = tick;
        [[fallthrough]];
    case JumpStage::Facing: {
        const float off = headingDifference(own.heading, headingOf(way));
        if (tick - stageTick > ControllerView::ticks(kLongestFacing)) {
            stop();
            return false;
        }
        if (std::abs(off) > kFacing || std::abs(own.speed) > kStill) {
            towards = to;
            command.turn = turnFor(off);
            command.drive = driveFor(-own.speed, 0.0f);
            return true;
        }
        stage = JumpStage::Running;
        stageTick = tick;
        [[fallthrough]];
    }
    case JumpStage::Running:
        if (own.blocked) {
            stage = JumpStage::None;
            return false;
        }
        towards = from + (progress + kRunAhead) * way;
        driveTowards(view, towards, kFullSpeed, command);
        if (progress >= edge.jumpAt) {
            command.jump = true;
            stage = JumpStage::Flying;
            stageTick = tick;
        }
        return true;
    case JumpStage::Flying:
        if (own.onGround) {
            // Down again: on the far floor, the jump's edge is behind; else it is tried again.
            if (std::abs(own.groundLevel - to.y) < kSameFloor) {
                ++cursor;
            }
            stage = JumpStage::None;
            return false;
        }
        towards = from + (progress + kRunAhead) * way;
        driveTowards(view, towards, kFullSpeed, command);
        return true;
    }
    return false;
}

bool PathFollower::watchForStuck(const ControllerView& view, const Obstacles& near) {
    const Tank& own = view.own();
    const std::uint32_t tick = view.state.tick;
    if (distance(own.position, watchSpot) > kStuckDistance || stage == JumpStage::Facing) {
        watchSpot = own.position;
        watchTick = tick;
        return false;
    }
    if (tick - watchTick < ControllerView::ticks(kStuckSeconds)) {
        return false;
    }
    stop();
    backingOff = true;
    ++backOffs;
    watchTick = tick;
    // The way out: of eight ways round, a clear one that needs the least turn of the hull, to
    // drive it forward or back, and not the one tried last if it did not help.
    const float floor = floorOf(view);
    const bool retrying = backOffs > 1 && tick - backOffTick < ControllerView::ticks(kRetrySeconds);
    float bestScore = std::numeric_limits<float>::max();
    for (int i = 0; i < kEscapeWays; ++i) {
        const float heading = own.heading + static_cast<float>(i) * kFullTurnDegrees / kEscapeWays;
        const float turn = std::abs(headingDifference(own.heading, heading));
        const bool forward = turn <= kHalfTurnDegrees * 0.5f;
        // The hull turned onto the way (a square: the same turned a half turn), then along it.
        const float hull = forward ? heading : heading + kHalfTurnDegrees;
        const glm::vec3 way = headingDirection(heading);
        bool clear = true;
        const bool turns = std::abs(headingDifference(own.heading, hull)) > kOnWayOut;
        for (std::size_t step = turns ? 0 : 1; step < kEscapeSteps.size() && clear; ++step) {
            const glm::vec3 at = own.position + kEscapeSteps[step] * way;
            clear = clearance::hullClear(view.arena, at, hull, floor);
        }
        const glm::vec3 end = own.position + kEscapeDistance * way;
        for (int j = 0; j < near.count && clear; ++j) {
            clear = distance(near.places[static_cast<std::size_t>(j)], end) > kTankRoom;
        }
        const float again =
            retrying && std::abs(headingDifference(heading, backOffHeading)) < kSameWay ? kAgain
                                                                                        : 0.0f;
        const float score = std::min(turn, kHalfTurnDegrees - turn) + again;
        if (clear && score < bestScore) {
            bestScore = score;
            backOffHeading = heading;
            backOffForward = forward;
        }
    }
    if (bestScore == std::numeric_limits<float>::max()) {
        backOffHeading = own.heading + kHalfTurnDegrees;
        backOffForward = false;
    }
    backOffTick = tick;
    return true;
}
