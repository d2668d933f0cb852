#include "game/SkilledController.h"

#include "game/Angles.h"
#include "game/ControllerView.h"

#include <cmath>
#include <limits>
#include <tuple>

namespace {
constexpr float kUnseenPenalty = 12.0f; // units a target out of sight counts farther
constexpr float kLifeWeight = 1.5f;     // units a duel's enemy counts farther per life it has
constexpr float kJustFired = 6.0f;      // units a battle's enemy reloading counts nearer
constexpr float kStickiness = 3.0f;     // units the target of the moment counts nearer
constexpr float kFightSearch = 10.0f;   // units of driving to a place to fight from, at most
constexpr int kFightPlaces = 24;        // places weighed to fight from
constexpr float kTooClose = 4.0f;       // units: no place this near an enemy is fought from
constexpr float kCostWeight = 0.3f;     // of the driving to a place to fight from
constexpr float kJitter = 3.0f;         // units of chance in the choice of a place
constexpr float kCoverSearch = 16.0f;   // units of driving to cover, at most
constexpr int kCoverPlaces = 30;        // places tried for cover
constexpr float kFlank = 4.0f;          // units aside of an enemy's place it is sought at
constexpr float kSearched = 5.0f;       // units: a place this near has been looked at
constexpr float kRetreatSearch = 40.0f; // units of driving to another level, at most
constexpr int kRetreatPlaces = 160;     // places tried for it
constexpr int kHurtLives = 2;           // a duel's tank this low on lives is hurt
constexpr float kJumpDodge = 0.35f;     // seconds before a bullet passes to jump at
constexpr float kSweepDegrees = 35.0f;  // either way the turret looks round while roaming
constexpr float kSweepSeconds = 3.0f;   // for a whole sweep
constexpr float kLookDistance = 10.0f;  // units
constexpr float kEyeHeight = 0.45f;     // units above a tank's base
constexpr float kBodyHeight = 0.25f;    // units above a tank's base
constexpr float kSameLevel = 0.3f;      // units between two floors that are one level
constexpr float kSoonestThink = 0.1f;   // seconds between two thoughts, at least
constexpr float kNearTank = 6.0f;       // units: a tank this near may stand in the way
constexpr float kDrawSpan = 4294967296.0f;

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

bool inLine(const Arena& arena, glm::vec3 eye, glm::vec3 body) {
    return arena.firstObstacle(eye + glm::vec3(0.0f, kEyeHeight, 0.0f),
                               body + glm::vec3(0.0f, kBodyHeight, 0.0f)) == 1.0f;
}

bool before(glm::vec3 a, glm::vec3 b) {
    return std::tie(a.x, a.z) < std::tie(b.x, b.z);
}
} // namespace

float SkilledController::chance() {
    return static_cast<float>(random()) / kDrawSpan;
}

TankCommand SkilledController::command(const ControllerView& view) {
    const std::uint32_t tick = view.state.tick;
    awareness.perceive(view);
    if (awareness.moved) {
        follower.stop();
    }
    const bool due = static_cast<std::int32_t>(tick - thinkTick) >= 0;
    const bool allowed = tick - thoughtTick >= ControllerView::ticks(kSoonestThink);
    if (due || (allowed && urgent(view))) {
        thoughtTick = tick;
        thinkTick = tick + ControllerView::ticks(view.figures.thinkSeconds);
        think(view);
    }
    // The tanks it knows to be near now: seen or heard in this tick, or team mates.
    Obstacles near;
    for (int other = 0; other < view.state.seatCount(); ++other) {
        const Contact& each = awareness.contact(other);
        if (other != view.seat && each.lastTick == tick &&
            distance(each.position, view.own().position) < kNearTank) {
            near.places[static_cast<std::size_t>(near.count++)] = each.position;
        }
    }
    TankCommand command;
    follower.steer(view, near, command);
    dodge(view, command);
    gunner.aim(view, awareness, target, lookAt(view), random, command);
    return command;
}

bool SkilledController::urgent(const ControllerView& view) const {
    const Tank& own = view.own();
    const std::uint32_t tick = view.state.tick;
    if (awareness.hitTick == tick || awareness.moved || follower.arrived() ||
        gunner.firedTick + 1 == tick || (tactic == Tactic::Cover && own.reloadTicks == 0)) {
        return true;
    }
    if (target != kNoSeat && awareness.contact(target).seen) {
        return false;
    }
    const std::uint32_t reaction = ControllerView::ticks(view.figures.reactionSeconds);
    for (int other = 0; other < view.state.seatCount(); ++other) {
        if (view.state.enemies(view.seat, other) && awareness.aimsAt(other, tick, reaction)) {
            return true;
        }
    }
    return false;
}

void SkilledController::think(const ControllerView& view) {
    target = chooseTarget(view);
    if (target == kNoSeat) {
        roam(view);
        return;
    }
    const bool seen = awareness.contact(target).seen;
    if (seen && (takeCover(view) || fightFrom(view))) {
        return;
    }
    // On its way up to the other level, it takes it before it hunts an enemy it only heard.
    const bool climbing =
        tactic == Tactic::Roam && !follower.arrived() && follower.goal != NavGraph::kNoNode &&
        std::abs(view.graph.node(follower.goal).position.y - view.own().floorLevel) > kSameLevel;
    if (!seen && climbing) {
        return;
    }
    seek(view);
}

int SkilledController::chooseTarget(const ControllerView& view) const {
    const Tank& own = view.own();
    const std::uint32_t tick = view.state.tick;
    const std::uint32_t reaction = ControllerView::ticks(view.figures.reactionSeconds);
    const bool battle = view.state.mode == Mode::Battle;
    int best = kNoSeat;
    float bestScore = std::numeric_limits<float>::max();
    for (int other = 0; other < view.state.seatCount(); ++other) {
        if (!view.state.enemies(view.seat, other) || !awareness.reactsTo(other, tick, reaction)) {
            continue;
        }
        const Contact& contact = awareness.contact(other);
        float score = distance(own.position, contact.position);
        score += contact.seen ? 0.0f : kUnseenPenalty;
        score -= other == target ? kStickiness : 0.0f;
        if (battle) {
            const bool reloading =
                contact.firedTick != 0 &&
                tick - contact.firedTick < static_cast<std::uint32_t>(Match::kReloadTicks);
            score -= reloading ? kJustFired : 0.0f;
        } else {
            // A duel shows each tank's lives.
            score += kLifeWeight * static_cast<float>(view.tank(other).lives);
        }
        if (score < bestScore || (score == bestScore && best != kNoSeat &&
                                  before(contact.position, awareness.contact(best).position))) {
            best = other;
            bestScore = score;
        }
    }
    return best;
}

bool SkilledController::takeCover(const ControllerView& view) {
    const Tank& own = view.own();
    const std::uint32_t tick = view.state.tick;
    if (own.reloadTicks > 0 && coverDrawTick != gunner.firedTick) {
        coverDrawTick = gunner.firedTick;
        coverDrawn = chance() < view.figures.coverChance;
    }
    int inSight = 0;
    for (const Contact& each : awareness.contacts) {
        inSight += each.seen ? 1 : 0;
    }
    const bool hurt = view.state.mode == Mode::Duel && own.lives <= kHurtLives &&
                      own.lives < view.tank(target).lives;
    const bool reloading = own.reloadTicks > 0;
    const bool shotAt =
        awareness.threat.tick + ControllerView::ticks(1.0f) > tick && awareness.threat.tick != 0;
    if (!(reloading && coverDrawn) && inSight < 2 && !(hurt && (reloading || shotAt))) {
        return false;
    }
    const bool retreat = hurt && (reloading || shotAt);
    if ((tactic == Tactic::Cover || tactic == Tactic::Retreat) && !follower.arrived() &&
        awareness.hitTick != tick) {
        return true; // on its way there
    }
    const float floor = own.floorLevel;
    const int from = view.graph.nearestOnFloor(own.position, floor);
    if (from == NavGraph::kNoNode) {
        return false;
    }
    const Contact& enemy = awareness.contact(target);
    int found = NavGraph::kNoNode;
    if (retreat) {
        // Hurt: to the nearest place on another level than the enemy's, where its shots
        // cannot reach.
        view.search.visitNear(from, kRetreatSearch, kRetreatPlaces, [&](int place, float) {
            found = std::abs(view.graph.node(place).position.y - enemy.position.y) > kSameLevel
                        ? place
                        : NavGraph::kNoNode;
            return found != NavGraph::kNoNode;
        });
        if (found != NavGraph::kNoNode && follower.plan(view, found)) {
            tactic = Tactic::Retreat;
            return true;
        }
    }
    view.search.visitNear(from, kCoverSearch, kCoverPlaces, [&](int place, float) {
        const glm::vec3 spot = view.graph.node(place).position;
        if (distance(spot, enemy.position) < kTooClose ||
            inLine(view.arena, enemy.position, spot)) {
            return false;
        }
        for (const Contact& each : awareness.contacts) {
            if (each.seen && inLine(view.arena, each.position, spot)) {
                return false;
            }
        }
        found = place;
        return true;
    });
    if (found == NavGraph::kNoNode || !follower.plan(view, found)) {
        return false;
    }
    tactic = Tactic::Cover;
    return true;
}

bool SkilledController::fightFrom(const ControllerView& view) {
    const Tank& own = view.own();
    const int from = view.graph.nearestOnFloor(own.position, own.floorLevel);
    if (from == NavGraph::kNoNode) {
        return false;
    }
    const glm::vec3 enemy = awareness.contact(target).position;
    const std::uint32_t seed = random();
    int best = NavGraph::kNoNode;
    float bestScore = std::numeric_limits<float>::max();
    view.search.visitNear(from, kFightSearch, kFightPlaces, [&](int place, float cost) {
        const glm::vec3 spot = view.graph.node(place).position;
        const float range = distance(spot, enemy);
        if (place == from || std::abs(spot.y - enemy.y) > kSameLevel || range < kTooClose) {
            return false;
        }
        const std::uint32_t mixed = (static_cast<std::uint32_t>(place) * 2654435761u) ^ seed;
        const float score = std::abs(range - view.figures.engageRange) + kCostWeight * cost +
                            kJitter * static_cast<float>(mixed % 1024u) / 1024.0f;
        if (score < bestScore && inLine(view.arena, spot, enemy)) {
            best = place;
            bestScore = score;
        }
        return false;
    });
    if (best == NavGraph::kNoNode || !follower.plan(view, best)) {
        return false;
    }
    tactic = Tactic::Fight;
    return true;
}

void SkilledController::seek(const ControllerView& view) {
    const Tank& own = view.own();
    Contact& enemy = awareness.contacts[static_cast<std::size_t>(target)];
    if (tactic == Tactic::Seek && follower.arrived() && !enemy.seen &&
        distance(own.position, enemy.position) < kSearched) {
        // Come to where it was, and it is not there.
        enemy = Contact();
        target = kNoSeat;
        roam(view);
        return;
    }
    if (tactic == Tactic::Seek && !follower.arrived()) {
        return;
    }
    // From the side: a little off the line from here to it.
    const glm::vec2 line = ground(enemy.position - own.position);
    glm::vec3 place = enemy.position;
    if (glm::dot(line, line) > 0.0f) {
        const glm::vec2 aside =
            glm::normalize(glm::vec2(-line.y, line.x)) * (chance() < 0.5f ? kFlank : -kFlank);
        place += glm::vec3(aside.x, 0.0f, aside.y);
    }
    int goal = view.graph.nearestOnFloor(place, enemy.position.y);
    if (goal == NavGraph::kNoNode) {
        goal = view.graph.nearestOnFloor(enemy.position, enemy.position.y);
    }
    if (goal != NavGraph::kNoNode && follower.plan(view, goal)) {
        tactic = Tactic::Seek;
        return;
    }
    roam(view);
}

void SkilledController::roam(const ControllerView& view) {
    if (tactic == Tactic::Roam && !follower.arrived()) {
        return;
    }
    tactic = Tactic::Roam;
    const int count = view.graph.size();
    if (count == 0) {
        return;
    }
    // Now and then a place on another level; otherwise one on this.
    const float floor = view.own().floorLevel;
    const bool climb = chance() < view.figures.climbChance;
    const int start = static_cast<int>(random() % static_cast<std::uint32_t>(count));
    for (int i = 0; i < count; ++i) {
        const int place = (start + i) % count;
        const bool sameLevel = std::abs(view.graph.node(place).position.y - floor) < kSameLevel;
        if (sameLevel != climb && follower.plan(view, place)) {
            return;
        }
    }
}

void SkilledController::dodge(const ControllerView& view, TankCommand& command) {
    const Threat& threat = awareness.threat;
    const std::uint32_t tick = view.state.tick;
    if (threat.tick != tick) {
        return;
    }
    if (threat.owner != dodgeOwner || threat.firedTick != dodgeFiredTick) {
        dodgeOwner = threat.owner;
        dodgeFiredTick = threat.firedTick;
        dodging = chance() < view.figures.dodgeChance;
    }
    const Tank& own = view.own();
    const bool seenInTime =
        tick - threat.firedTick >= ControllerView::ticks(view.figures.reactionSeconds);
    if (dodging && seenInTime && threat.seconds <= kJumpDodge && own.onGround &&
        own.jumpDuration < own.jumpTimer) {
        command.jump = true;
    }
}

glm::vec3 SkilledController::lookAt(const ControllerView& view) const {
    const Tank& own = view.own();
    if (target != kNoSeat) {
        return awareness.contact(target).position;
    }
    // The latest place any enemy was known at.
    const Contact* latest = nullptr;
    for (int other = 0; other < view.state.seatCount(); ++other) {
        const Contact& each = awareness.contact(other);
        if (view.state.enemies(view.seat, other) && each.known() &&
            (latest == nullptr || each.lastTick > latest->lastTick ||
             (each.lastTick == latest->lastTick && before(each.position, latest->position)))) {
            latest = &each;
        }
    }
    if (latest != nullptr) {
        return latest->position;
    }
    // Along the way, looking round.
    const float base = follower.moving() ? headingTo(own.position, follower.towards) : own.heading;
    const float phase = static_cast<float>(view.state.tick % ControllerView::ticks(kSweepSeconds)) /
                        static_cast<float>(ControllerView::ticks(kSweepSeconds));
    const float sweep = kSweepDegrees * std::sin(2.0f * kPi * phase);
    return own.position + kLookDistance * headingDirection(base + sweep);
}
