#include "client/AttractMode.h"

#include "game/Angles.h"

#include <cmath>

namespace {
// The circle starts above the arena's south-east corner.
constexpr float kStartHeading = 29.4f;          // degrees
constexpr float kCircleDegreesPerSecond = 4.0f; // a turn in 90 s
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);
} // namespace

AttractMode::AttractMode(std::uint64_t seed, const Arena& arena) : seed(seed) {
    setArena(arena);
}

void AttractMode::setArena(const Arena& arena) {
    flow = std::make_unique<MatchFlow>(MatchSetup::duel(), seed, arena);
    overview = arena.overview;
    heading = kStartHeading;
    previousHeading = kStartHeading;
}

void AttractMode::step(EventList& events) {
    // No person sits here: the flow starts a match only when told, at once.
    if (!flow->playing()) {
        flow->start(events);
    }
    flow->beginTick(events);
    flow->step({}, events);
    previousHeading = heading;
    heading = std::fmod(heading + kCircleDegreesPerSecond * Match::kTickSeconds, kFullTurnDegrees);
}

glm::vec3 AttractMode::eyeAt(float blend) const {
    const float at =
        (previousHeading + headingDifference(previousHeading, heading) * blend) * kDegreesToRadians;
    return overview.centre + glm::vec3(overview.radius * std::sin(at), overview.height,
                                       overview.radius * std::cos(at));
}

glm::vec3 AttractMode::targetAt(float) const {
    return overview.centre;
}

glm::mat4 AttractMode::view(float blend) const {
    return glm::lookAt(eyeAt(blend), overview.centre, kUp);
}
