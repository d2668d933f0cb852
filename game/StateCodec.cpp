#include "game/StateCodec.h"

#include "game/BodySizes.h"
#include "game/ByteWriter.h"
#include "game/Fnv1a.h"

namespace {

// Both directions walk the same fields in the same order (the layout in StateCodec.h): one
// list of fields, read or written by what it is handed.
struct Writing {
    ByteWriter& out;
    void operator()(const float& value) { out.f32(value); }
    void operator()(const glm::vec3& value) {
        out.f32(value.x);
        out.f32(value.y);
        out.f32(value.z);
    }
    void operator()(const bool& value) { out.u8(value ? 1 : 0); }
    void operator()(const int& value) { out.i32(value); }
    void operator()(const unsigned int& value) { out.u32(value); }
    void operator()(const std::int16_t& value) { out.i16(value); }
    void operator()(const std::uint64_t& value) { out.u64(value); }
    template <typename Enum> void choice(const Enum& value, Enum) {
        out.u8(static_cast<std::uint8_t>(value));
    }
};

struct Reading {
    ByteReader& in;
    void operator()(float& value) { value = in.f32(); }
    void operator()(glm::vec3& value) {
        value.x = in.f32();
        value.y = in.f32();
        value.z = in.f32();
    }
    void operator()(bool& value) { value = in.flag(); }
    void operator()(int& value) { value = in.i32(); }
    void operator()(unsigned int& value) { value = in.u32(); }
    void operator()(std::int16_t& value) { value = in.i16(); }
    void operator()(std::uint64_t& value) { value = in.u64(); }
    // An enum from its first value to last.
    template <typename Enum> void choice(Enum& value, Enum last) {
        const std::uint8_t read = in.u8();
        if (read > static_cast<std::uint8_t>(last)) {
            in.fail();
        }
        value = static_cast<Enum>(read);
    }
};

template <typename Io, typename T> void tankFields(Io& io, T& tank) {
    io(tank.position);
    io(tank.heading);
    io(tank.turretHeading);
    io(tank.speed);
    io(tank.lastMove);
    io(tank.jumpTimer);
    io(tank.jumpDuration);
    io(tank.groundLevel);
    io(tank.floorLevel);
    io(tank.fallOffset);
    io(tank.onGround);
    io(tank.triggerHeld);
    io(tank.lives);
    io(tank.initialLives);
    io(tank.initialHeading);
    io(tank.spawnPosition);
    io(tank.previousPose.position);
    io(tank.previousPose.heading);
    io(tank.previousPose.turretHeading);
    io(tank.blocked);
    io(tank.blockedSteps);
    io(tank.tookOff);
    io(tank.landed);
    io(tank.reloadTicks);
    io(tank.graceTicks);
    io(tank.respawnTicks);
    io(tank.bottom);
    io(tank.top);
    io(tank.transform.p.x);
    io(tank.transform.p.y);
    io(tank.transform.q.s);
    io(tank.transform.q.c);
}

template <typename Io, typename T> void controllerFields(Io& io, T& controller) {
    io.choice(controller.state, AiState::TURN_MINUS);
    io(controller.stateFrames);
    io(controller.shootFrames);
    io(controller.random.state);
    io(controller.random.increment);
}

template <typename Io, typename T> void awarenessFields(Io& io, T& awareness) {
    for (auto& contact : awareness.contacts) {
        io(contact.position);
        io(contact.velocity);
        io(contact.lastTick);
        io(contact.knownTick);
        io(contact.sightTick);
        io(contact.firedTick);
        io(contact.seen);
    }
    io(awareness.threat.tick);
    io(awareness.threat.seconds);
    io(awareness.threat.from);
    io(awareness.threat.owner);
    io(awareness.threat.firedTick);
    io(awareness.hitTick);
    io(awareness.lives);
    io(awareness.lastPosition);
    io(awareness.moved);
}

template <typename Io, typename T> void followerFields(Io& io, T& follower) {
    for (auto& node : follower.path.nodes) {
        io(node);
    }
    io(follower.path.count);
    io(follower.cursor);
    io(follower.goal);
    io.choice(follower.stage, JumpStage::Flying);
    io(follower.stageTick);
    io(follower.towards);
    io(follower.watchSpot);
    io(follower.watchTick);
    io(follower.backOffTick);
    io(follower.backOffs);
    io(follower.backOffHeading);
    io(follower.backOffForward);
    io(follower.backingOff);
    io(follower.holding);
    io(follower.holdTick);
}

template <typename Io, typename T> void skilledFields(Io& io, T& skilled) {
    io(skilled.random.state);
    io(skilled.random.increment);
    awarenessFields(io, skilled.awareness);
    io(skilled.gunner.aimError);
    io(skilled.gunner.leadScale);
    io(skilled.gunner.aimedAt);
    io(skilled.gunner.firedTick);
    followerFields(io, skilled.follower);
    io.choice(skilled.tactic, Tactic::Retreat);
    io(skilled.target);
    io(skilled.thinkTick);
    io(skilled.thoughtTick);
    io(skilled.coverDrawTick);
    io(skilled.coverDrawn);
    io(skilled.dodgeOwner);
    io(skilled.dodgeFiredTick);
    io(skilled.dodging);
}

template <typename Io, typename T> void seatFields(Io& io, T& seat) {
    io.choice(seat.driver, Driver::Computer);
    tankFields(io, seat.tank);
    controllerFields(io, seat.controller);
    io(seat.team);
    io(seat.frags);
    io(seat.deaths);
    io.choice(seat.skill, Skill::Ace);
    skilledFields(io, seat.skilled);
}

// Whether a seat named in a skilled controller's state is one of the match's, or none.
bool seatOrNone(int seat, int seats) {
    return seat >= kNoSeat && seat < seats;
}

bool sound(const SkilledController& skilled, int seats) {
    const PathFollower& follower = skilled.follower;
    return seatOrNone(skilled.target, seats) && seatOrNone(skilled.gunner.aimedAt, seats) &&
           seatOrNone(skilled.dodgeOwner, seats) &&
           seatOrNone(skilled.awareness.threat.owner, seats) && follower.path.count >= 0 &&
           follower.path.count <= NavPath::kCapacity && follower.cursor >= 0 &&
           follower.cursor <= follower.path.count;
}

// The settings of the match, before its seats.
template <typename Io, typename T> void matchFields(Io& io, T& state) {
    io(state.tick);
    io.choice(state.rules, Rules::Duel);
    io.choice(state.mode, Mode::Battle);
    io(state.teams);
    io(state.fragLimit);
    io(state.timeLimitTicks);
    io(state.endTick);
}

// The owner comes first, as a byte of its own; the rest of a bullet here.
template <typename Io, typename T> void bulletFields(Io& io, T& bullet) {
    io(bullet.firedTick);
    io(bullet.direction);
    io(bullet.position);
    io(bullet.previousPosition);
    io(bullet.origin);
    io(bullet.speed);
    io(bullet.age);
    io(bullet.lifetime);
    io(bullet.dead);
    io(bullet.fresh);
}

} // namespace

namespace state_codec {

void write(const MatchState& state, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    Writing io{out};
    matchFields(io, state);
    out.u8(static_cast<std::uint8_t>(state.seats.size()));
    for (const Seat& seat : state.seats) {
        seatFields(io, seat);
    }
    out.u32(static_cast<std::uint32_t>(state.bullets.bullets.size()));
    for (const Bullet& bullet : state.bullets.bullets) {
        out.u8(static_cast<std::uint8_t>(bullet.owner));
        bulletFields(io, bullet);
    }
}

void writeTank(const Tank& tank, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    Writing io{out};
    tankFields(io, tank);
}

bool readTank(ByteReader& in, Tank& tank) {
    Tank read = tank;
    Reading io{in};
    tankFields(io, read);
    if (!in.ok()) {
        return false;
    }
    tank = read;
    return true;
}

bool read(ByteReader& in, MatchState& state) {
    MatchState read = state;
    Reading io{in};
    matchFields(io, read);
    const std::uint8_t seats = in.u8();
    if (seats < MatchSetup::kMinSeats || seats > MatchSetup::kMaxSeats ||
        (read.mode == Mode::Duel && seats != MatchSetup::kMinSeats)) {
        in.fail();
        return false;
    }
    // New seats get the hull's body; the others keep theirs.
    read.seats.resize(seats, Seat{Driver::Computer, Tank(kHullBounds, glm::vec3(0.0f), 0.0f),
                                  AiController(0), 0, 0, 0, Skill::Classic, SkilledController()});
    for (Seat& seat : read.seats) {
        seatFields(io, seat);
        if (seat.team < 0 || seat.team > (read.teams ? 1 : 0) || !sound(seat.skilled, seats)) {
            in.fail();
        }
    }
    const std::uint32_t count = in.u32();
    if (count > kMaxBullets) {
        in.fail();
    }
    BulletSystem& bullets = read.bullets;
    bullets.clear();
    for (std::uint32_t i = 0; i < count && in.ok(); ++i) {
        const std::uint8_t owner = in.u8();
        if (owner >= seats) {
            in.fail();
        }
        Bullet bullet(glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f), 0.0f, 0.0f, bullets.bounds,
                      glm::vec3(0.0f), owner);
        bulletFields(io, bullet);
        if (!in.ok() || glm::length(bullet.direction) < 0.5f) {
            in.fail();
            break;
        }
        // The footprint follows the direction, as it did when the bullet was fired.
        bullet.fitToDirection(bullets.bounds);
        bullets.bullets.push_back(bullet);
    }
    if (!in.ok()) {
        return false;
    }
    state = read;
    return true;
}

std::uint64_t hash(const MatchState& state) {
    std::vector<std::uint8_t> bytes;
    write(state, bytes);
    return fnv1a(bytes.data(), bytes.size());
}

} // namespace state_codec
