// The chase camera on the real arena, on both levels, and on each arena shipped as a file: driven
// along every face of every piece and into it, forwards and backwards, and backed into every corner
// of the arena's edge with the turret turning all the way round, at every zoom notch, turned by
// drags and by free look, the turret turning both ways all along. In every step the eye is inside
// the arena's edge and clear of every piece and of the tank, near plane and all; what stands
// between it and the tank's centre is drawn see-through; the tank's centre is in view; and the eye
// keeps to its limits of pitch, distance and move per tick.
#include "assets/ArenaFile.h"
#include "client/CameraSpace.h"
#include "client/ChaseCamera.h"
#include "game/Angles.h"
#include "game/BodySizes.h"
#include "game/Match.h"

#include "../game/Scenario.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr float kClearOfFace = 1.7f; // units from a piece's face to the tank's centre
constexpr int kLegTicks = 40;        // driven one way, then as long the other
// Backing into a corner of the arena: from this far off both walls, for long enough to
// reach it and turn the turret a whole turn and more.
constexpr float kClearOfCorner = 1.6f; // units
constexpr int kCornerTicks = 240;
constexpr float kTurretStep = 100.0f * Match::kTickSeconds; // Q or E held, degrees a tick
constexpr float kSlack = 1.0e-3f;                           // units or degrees
constexpr float kGraze = 0.005f; // units a line must pass through a piece to count as crossing it

glm::vec3 hullCentre(const Tank& tank) {
    return tank.position + glm::vec3(0.0f, kHullBounds.size().y * 0.5f, 0.0f);
}

bool insidePiece(const ArenaPiece& piece, glm::vec3 p) {
    if (p.y <= piece.bottom || p.y >= piece.top) {
        return false;
    }
    // Far outside its footprint's bounding circle, the point is not in it.
    const glm::vec2 offset(p.x - piece.position.x, p.z - piece.position.z);
    if (glm::dot(offset, offset) > glm::dot(piece.halfSize, piece.halfSize) + 0.01f) {
        return false;
    }
    return piece.shape.TestPoint(piece.transform, b2Vec2(p.x, p.z));
}

// Whether the segment from a to b passes through the piece, worked out from where it crosses
// the footprint's sides, seen from above.
bool crossesPiece(const ArenaPiece& piece, glm::vec3 a, glm::vec3 b) {
    float in = 0.0f;
    float out = 1.0f;
    if (!piece.shape.TestPoint(piece.transform, b2Vec2(a.x, a.z)) && !piece.entry(a, b, in)) {
        return false;
    }
    float back = 0.0f;
    if (!piece.shape.TestPoint(piece.transform, b2Vec2(b.x, b.z))) {
        if (!piece.entry(b, a, back)) {
            return false;
        }
        out = 1.0f - back;
    }
    const float low = std::min(glm::mix(a.y, b.y, in), glm::mix(a.y, b.y, out));
    const float high = std::max(glm::mix(a.y, b.y, in), glm::mix(a.y, b.y, out));
    return (out - in) * glm::length(b - a) > kGraze && low < piece.top - kGraze &&
           high > piece.bottom + kGraze;
}

bool overSlab(const Arena& arena, glm::vec3 p) {
    for (const ArenaPiece& piece : arena.pieces) {
        if (piece.kind == PieceKind::Ground &&
            piece.shape.TestPoint(piece.transform, b2Vec2(p.x, p.z))) {
            return true;
        }
    }
    return false;
}

// The eye and the corners of the near plane, in a window of the given aspect.
std::array<glm::vec3, 5> nearPlane(const ChaseCamera& camera, float aspect) {
    const glm::vec3 forward = glm::normalize(camera.target - camera.eye);
    const glm::vec3 right = glm::normalize(glm::cross(forward, camera.up));
    const glm::vec3 up = glm::cross(right, forward);
    // The projection's own half height of the near plane, and so its half width.
    const float halfHeight = ChaseCamera::kNear / ChaseCamera::projection(aspect)[1][1];
    const float halfWidth = halfHeight * aspect;
    const glm::vec3 middle = camera.eye + forward * ChaseCamera::kNear;
    return {camera.eye, middle - right * halfWidth - up * halfHeight,
            middle + right * halfWidth - up * halfHeight,
            middle - right * halfWidth + up * halfHeight,
            middle + right * halfWidth + up * halfHeight};
}

// Where a leg starts, the way the tank faces, and what it does for how long.
struct Leg {
    glm::vec3 start;
    float heading;
    int ticks;
    bool backFirst;   // backs first, then drives forward
    float turretStep; // degrees a tick, counter-clockwise positive
};

// Where the tank stands before a face of a piece, on the slab there, if it fits.
bool spotBefore(const Match& match, glm::vec2 from, glm::vec2 outward, float clear,
                glm::vec3& spot) {
    const glm::vec2 at = from + outward * clear;
    spot = glm::vec3(0.0f);
    for (const ArenaPiece& piece : match.arena.pieces) {
        if (piece.kind == PieceKind::Ground &&
            piece.shape.TestPoint(piece.transform, b2Vec2(at.x, at.y))) {
            spot = glm::vec3(at.x, piece.top + 0.01f, at.y);
        }
    }
    if (spot == glm::vec3(0.0f)) {
        return false;
    }
    Tank probe(match.tank(0));
    placeTank(probe, spot);
    b2Manifold manifold;
    for (const ArenaPiece& piece : match.arena.pieces) {
        b2CollidePolygons(&manifold, &probe.shape, probe.transform, &piece.shape, piece.transform);
        if (manifold.pointCount > 0 && piece.spans(probe.bottom + 0.01f)) {
            return false;
        }
    }
    return true;
}

float headingAlong(glm::vec2 d) {
    return headingOf(glm::vec3(d.x, 0.0f, d.y));
}

// A face of a piece: its middle and outward normal, seen from above.
struct Face {
    glm::vec2 middle;
    glm::vec2 along;
    glm::vec2 outward;
    float halfLength;
};

std::vector<Face> facesOf(const ArenaPiece& piece) {
    std::vector<Face> faces;
    for (int i = 0; i < piece.shape.m_count; ++i) {
        const b2Vec2 a = piece.shape.m_vertices[i];
        const b2Vec2 b = piece.shape.m_vertices[(i + 1) % piece.shape.m_count];
        const glm::vec2 along = glm::normalize(glm::vec2(b.x - a.x, b.y - a.y));
        // The polygon winds counter-clockwise.
        faces.push_back({glm::vec2(a.x + b.x, a.y + b.y) * 0.5f,
                         along,
                         {along.y, -along.x},
                         glm::length(glm::vec2(b.x - a.x, b.y - a.y)) * 0.5f});
    }
    return faces;
}

// Along each face of every piece standing on the ground, both ways, into it forwards and
// backing into it, the turret turning one way and then the other.
void addLegsAroundThePieces(const Match& match, std::vector<Leg>& legs) {
    for (const ArenaPiece& piece : match.arena.pieces) {
        if (piece.kind == PieceKind::Ground || !piece.visible) {
            continue;
        }
        for (const Face& face : facesOf(piece)) {
            glm::vec3 spot;
            if (!spotBefore(match, face.middle, face.outward, kClearOfFace, spot)) {
                continue;
            }
            int i = 0;
            for (const glm::vec2& way : {face.along, -face.along, -face.outward, face.outward}) {
                legs.push_back({spot, headingAlong(way), 2 * kLegTicks, false,
                                (i++ % 2 == 0 ? 1.0f : -1.0f) * kTurretStep});
            }
        }
    }
}

// The corners where two walls of the arena's edge meet, the room inside them: for each, the tank
// facing out of it and backing in, holding E, then Q.
int addLegsIntoTheCorners(const Match& match, std::vector<Leg>& legs) {
    std::vector<Face> inner; // the face of each edge wall towards the arena
    for (const ArenaPiece& piece : match.arena.pieces) {
        if (piece.kind == PieceKind::Wall && piece.visible &&
            CameraSpace::atEdge(piece, match.arena)) {
            for (const Face& face : facesOf(piece)) {
                const glm::vec2 probe = face.middle + face.outward * 0.5f;
                if (overSlab(match.arena, glm::vec3(probe.x, 0.0f, probe.y)) &&
                    glm::length(face.middle - glm::vec2(piece.position.x, piece.position.z)) <
                        1.0f) {
                    inner.push_back(face);
                }
            }
        }
    }
    int corners = 0;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        for (std::size_t j = i + 1; j < inner.size(); ++j) {
            const Face& a = inner[i];
            const Face& b = inner[j];
            if (std::abs(glm::dot(a.along, b.along)) > 0.01f) {
                continue;
            }
            // Where the two faces' lines meet: the corner, if both walls reach it and the room
            // lies inside both.
            const float t = glm::dot(b.middle - a.middle, b.outward) / glm::dot(a.along, b.outward);
            const glm::vec2 corner = a.middle + a.along * t;
            const float reach = 1.0f; // past a face's end: the thickness of the other wall
            if (std::abs(t) > a.halfLength + reach ||
                std::abs(glm::dot(corner - b.middle, b.along)) > b.halfLength + reach) {
                continue;
            }
            const glm::vec2 into = glm::normalize(a.outward + b.outward);
            glm::vec3 spot;
            if (!spotBefore(match, corner, into, kClearOfCorner * std::sqrt(2.0f), spot)) {
                continue;
            }
            ++corners;
            for (const float turret : {-kTurretStep, kTurretStep}) { // E, then Q
                legs.push_back({spot, headingAlong(into), kCornerTicks, true, turret});
            }
        }
    }
    return corners;
}

struct Viewer {
    std::string name;
    ChaseCamera camera;
    glm::ivec2 drag{0}; // pixels a tick of a right-button drag; none when zero
    float look = 0.0f;  // degrees a tick of free look; none when zero
};

std::vector<Viewer> everyViewer() {
    std::vector<Viewer> viewers;
    for (int notch = static_cast<int>(ChaseCamera::kMinZoom);
         notch <= static_cast<int>(ChaseCamera::kMaxZoom); ++notch) {
        Viewer& viewer = viewers.emplace_back();
        viewer.name = "zoom " + std::to_string(notch);
        viewer.camera.distance = static_cast<float>(notch);
    }
    for (const float yaw : {90.0f, 180.0f, 270.0f}) {
        Viewer& viewer = viewers.emplace_back();
        viewer.name = "yaw " + std::to_string(static_cast<int>(yaw));
        viewer.camera.yaw = yaw;
    }
    for (const float pitch : {3.0f, ChaseCamera::kMaxPitch - 1.0f}) {
        Viewer& viewer = viewers.emplace_back();
        viewer.name = "pitch " + std::to_string(static_cast<int>(pitch));
        viewer.camera.pitch = pitch;
    }
    for (const float zoom : {3.0f, 12.0f}) {
        Viewer& dragged = viewers.emplace_back();
        dragged.name = "orbit drag at " + std::to_string(static_cast<int>(zoom));
        dragged.camera.distance = zoom;
        dragged.drag = glm::ivec2(9, 3);
        Viewer& looking = viewers.emplace_back();
        looking.name = "free look at " + std::to_string(static_cast<int>(zoom));
        looking.camera.distance = zoom;
        looking.camera.freeLook = true;
        looking.look = -3.0f;
    }
    return viewers;
}

// Drives every leg on the match's arena with every viewer watching, checking each placement.
void driveEveryLeg(Match& match, const std::vector<Leg>& legs, int corners) {

    std::vector<Viewer> viewers = everyViewer();
    std::vector<const ArenaPiece*> edgeWalls;
    for (const ArenaPiece& piece : match.arena.pieces) {
        if (piece.kind == PieceKind::Wall && piece.visible &&
            CameraSpace::atEdge(piece, match.arena)) {
            edgeWalls.push_back(&piece);
        }
    }

    long placements = 0;
    long seeThrough = 0;
    long steep = 0;
    float nearest = 1.0e9f;
    float beyondZoom = -1.0e9f; // the farthest the eye lagged beyond where the zoom puts it
    float longestStep = 0.0f;
    EventList events;
    Tank& tank = match.tank(0);
    for (const Leg& leg : legs) {
        tank.heading = tank.turretHeading = leg.heading;
        tank.speed = 0.0f;
        placeTank(tank, leg.start);
        int dragTicks = 0;
        for (int tick = 0; tick < leg.ticks; ++tick) {
            SeatCommands commands;
            const bool firstHalf = tick < leg.ticks / 2;
            commands[0].drive = (firstHalf != leg.backFirst ? 1 : -1) * TankCommand::kFullDrive;
            commands[0].aim = TankCommand::aimOf(tank.turretHeading + leg.turretStep);
            events.clear();
            match.step(commands, events);
            const glm::vec3 centre = hullCentre(tank);
            ++dragTicks;
            for (Viewer& viewer : viewers) {
                ChaseCamera& camera = viewer.camera;
                const glm::vec3 before = camera.eye;
                camera.beginStep();
                if (viewer.drag != glm::ivec2(0)) {
                    // Drags up and down in turn; the pitch drops what leaves its range.
                    const int way = (dragTicks / 45) % 2 == 0 ? 1 : -1;
                    camera.orbit(true, camera.dragPosition +
                                           glm::ivec2(viewer.drag.x, way * viewer.drag.y));
                }
                if (viewer.look != 0.0f) {
                    camera.turn(viewer.look);
                }
                camera.place(match, 0);
                ++placements;
                const glm::vec3 eye = camera.eye;
                const glm::vec3 offset = eye - camera.target;
                const float distance = glm::length(offset);
                const float pitch =
                    std::atan2(offset.y, glm::length(glm::vec2(offset.x, offset.z))) *
                    kRadiansToDegrees;
                const auto where = [&] {
                    return testing::Message()
                           << viewer.name << ", tick " << tick << " of a leg from " << leg.start.x
                           << ", " << leg.start.z << " heading " << leg.heading << "; tank at "
                           << tank.position.x << ", " << tank.position.y << ", " << tank.position.z
                           << " turret " << tank.turretHeading << "; eye " << eye.x << ", " << eye.y
                           << ", " << eye.z;
                };
                // Inside the walls at the arena's edge, over the ground.
                if (!overSlab(match.arena, eye)) {
                    FAIL() << "the eye is not over the arena's ground" << where();
                }
                for (const ArenaPiece* wall : edgeWalls) {
                    if (wall->shape.TestPoint(wall->transform, b2Vec2(eye.x, eye.z))) {
                        FAIL() << "the eye is over a wall of the arena's edge" << where();
                    }
                }
                // Clear of every piece and of the tank, near plane and all, in a 4:3 window and
                // in a wide one.
                for (const float aspect : {ChaseCamera::kAspect, 21.0f / 9.0f}) {
                    for (const glm::vec3& p : nearPlane(camera, aspect)) {
                        for (const ArenaPiece& piece : match.arena.pieces) {
                            if (piece.visible && insidePiece(piece, p)) {
                                FAIL() << "the near plane reaches into a piece at "
                                       << piece.position.x << ", " << piece.position.z << where();
                            }
                        }
                        if (tank.shape.TestPoint(tank.transform, b2Vec2(p.x, p.z)) &&
                            p.y < tank.position.y + CameraSpace::kTankHeight) {
                            FAIL() << "the near plane reaches into the tank" << where();
                        }
                    }
                }
                // What the line of sight to the tank's centre passes through is drawn
                // see-through.
                bool hidden = false;
                for (const ArenaPiece& piece : match.arena.pieces) {
                    if (piece.visible && piece.kind != PieceKind::Ground &&
                        crossesPiece(piece, eye, centre)) {
                        if (!ChaseCamera::hidesTank(piece, eye, tank.pose())) {
                            FAIL() << "a piece at " << piece.position.x << ", " << piece.position.z
                                   << " hides the tank and is drawn solid" << where();
                        }
                        hidden = true;
                    }
                }
                seeThrough += hidden;
                // The tank's centre in view.
                const glm::vec4 clip =
                    ChaseCamera::projection() * camera.view(1.0f) * glm::vec4(centre, 1.0f);
                if (!(clip.w > 0.0f && std::abs(clip.x) < clip.w && std::abs(clip.y) < clip.w)) {
                    FAIL() << "the tank's centre is out of view" << where();
                }
                // The limits.
                if (pitch > ChaseCamera::kMaxPitch + kSlack) {
                    FAIL() << "pitch " << pitch << " above the limit" << where();
                }
                if (distance < ChaseCamera::kMinDistance - kSlack) {
                    FAIL() << "distance " << distance << " under the limit" << where();
                }
                const float step = glm::length(eye - before);
                if (tick > 0 && step > ChaseCamera::kMaxEyeStep + kSlack) {
                    FAIL() << "the eye moved " << step << " in a tick" << where();
                }
                if (tick > 0) {
                    longestStep = std::max(longestStep, step);
                }
                steep += pitch > ChaseCamera::kMaxPitch - 1.0f;
                nearest = std::min(nearest, distance);
                beyondZoom = std::max(beyondZoom, distance - camera.distance - 1.0f);
            }
        }
    }
    std::cout << legs.size() << " legs (" << corners << " corners), " << placements
              << " placements: " << seeThrough << " with a piece drawn see-through, " << steep
              << " within a degree of the steepest pitch; nearest " << nearest
              << " units, longest step " << longestStep << " units, farthest past the zoom "
              << beyondZoom << " units" << std::endl;
    EXPECT_GT(seeThrough, 0) << "some placements must have had a piece in the way";
    EXPECT_GT(steep, 0) << "backing into the corners must have raised the eye all the way";
    EXPECT_LT(beyondZoom, 3.0f) << "the eye lagged far behind the tank";
}

TEST(CameraScenarioTest, TheEyeStaysInTheRoomClearAndWithinItsLimitsAndTheTankInView) {
    Match match(3u, {Driver::Human, Driver::Human});
    placeTank(match.tank(1), glm::vec3(200.0f, 0.05f, 200.0f)); // far outside, out of the way
    std::vector<Leg> legs;
    addLegsAroundThePieces(match, legs);
    const std::size_t aroundPieces = legs.size();
    const int corners = addLegsIntoTheCorners(match, legs);
    ASSERT_GE(aroundPieces, 100u);
    ASSERT_EQ(corners, 6) << "the L-shaped arena: five corners and the one where it turns";
    driveEveryLeg(match, legs, corners);
}

// The same on each arena shipped as a file.
class ShippedArenaCameraTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedArenaCameraTest, TheEyeStaysInTheRoomClearAndWithinItsLimitsAndTheTankInView) {
    std::ostringstream errors;
    Arena arena =
        ArenaFile::load(std::string("../Brakkel_game/Arenas/") + GetParam() + ".toml", errors);
    ASSERT_EQ(errors.str(), "");
    Match match(MatchSetup::duel(), 3u, {Driver::Human, Driver::Human}, std::move(arena));
    placeTank(match.tank(1), glm::vec3(200.0f, 0.05f, 200.0f));
    std::vector<Leg> legs;
    addLegsAroundThePieces(match, legs);
    const std::size_t aroundPieces = legs.size();
    const int corners = addLegsIntoTheCorners(match, legs);
    ASSERT_GE(aroundPieces, 100u);
    ASSERT_GE(corners, 4) << "a walled arena has at least four corners";
    driveEveryLeg(match, legs, corners);
}

INSTANTIATE_TEST_SUITE_P(Arenas, ShippedArenaCameraTest,
                         ::testing::Values("pillars", "towers", "maze"));

} // namespace
