#pragma once

#include "game/ByteReader.h"
#include "game/MatchState.h"

#include <cstdint>
#include <vector>

// The stable form of a match's state, for hashing, recording and sending. All numbers are
// little-endian, floats as their IEEE 754 bits, in this order:
//
//   u32 tick, u8 rules (0 classic, 1 duel), u8 mode (0 duel, 1 battle), u8 teams, i32 frag
//     limit, u32 time limit in ticks, u32 the tick the battle ends at; u8 seats (2 to 8, a
//     duel's 2)
//   per seat, first to last:
//     u8 driver (0 a person, 1 the computer)
//     tank: f32 position x y z, heading, turret heading, speed, last move x y z, jump timer,
//       jump duration, ground level, floor level, fall offset; u8 on the ground, trigger held;
//       i32 lives, starting lives; f32 starting heading, spawn x y z, pose at the start of the
//       tick (x y z, heading, turret heading); u8 blocked; i32 ticks blocked; u8 took off,
//       landed; i32 ticks of reload left, of grace left, before coming back; f32 body bottom,
//       top, footprint place x z, footprint turn sine, cosine
//     controller: u8 state (IDLE, STUCK, MOVE_FOR, MOVE_BACK, TURN_PLUS, TURN_MINUS as 0 to 5);
//       u32 state ticks, shot ticks; u64 random state, random increment
//     i32 team, frags, deaths
//     u8 skill (0 classic, 1 rookie, 2 veteran, 3 ace)
//     skilled controller: u64 random state, random increment
//       awareness: per seat (8 of them) f32 position x y z, velocity x y z; u32 ticks last
//         known, known since, in sight since, last fired; u8 in sight; the threat: u32 tick,
//         f32 seconds, f32 from x y z, i32 owner, u32 tick fired; u32 tick hit; i32 lives;
//         f32 last position x y z; u8 moved
//       gunner: f32 aim error, lead scale; i32 seat aimed at; u32 tick fired
//       follower: i16 places of the way (40 of them), i32 count, cursor, goal; u8 jump stage
//         (none, leading in, to the run-up, facing, running,
//         flying); u32 stage's tick; f32 steered at x y
//         z, watched spot x y z; u32 watched since, backed off at; i32 back-offs; f32 the way out;
//         u8 forward, backing off, holding; u32 held since
//       u8 tactic (roam, seek, fight, cover, retreat); i32 target; u32 think tick, thought tick,
//       cover
//         draw's shot; u8 cover drawn; i32 dodge's bullet owner; u32 its tick; u8 dodging
//   u32 bullet count, then per bullet, oldest first: u8 owner's seat; u32 tick fired in;
//     f32 direction x y z,
//     position x y z, position before the tick x y z, origin x y z, speed, age, lifetime;
//     u8 dead, fresh
namespace state_codec {

// At most this many bullets are read back.
inline constexpr std::uint32_t kMaxBullets = 1024;

void write(const MatchState& state, std::vector<std::uint8_t>& bytes);
// One tank's part of that form, alone.
void writeTank(const Tank& tank, std::vector<std::uint8_t>& bytes);
// Reads a tank written by writeTank into tank, which keeps its body's size. False when the bytes
// are malformed; tank is then left as it was.
bool readTank(ByteReader& reader, Tank& tank);
// Reads a state written by write from the reader into state, whose tanks keep their bodies'
// sizes (new seats get the hull's). False, with state unchanged, when the bytes are malformed:
// cut short, a flag or enum out of range, a seat count, team or seat named out of range, a way
// longer than its room, a float that is not finite, or more bullets than kMaxBullets.
bool read(ByteReader& reader, MatchState& state);
// FNV-1a, 64 bits, over the bytes write gives.
std::uint64_t hash(const MatchState& state);

} // namespace state_codec
