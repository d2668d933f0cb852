// The chase camera on the real arena. Driven along every wall and around every block,
// forwards and backwards and into each, on both levels, at every zoom notch and from every
// side: the eye never shows the inside of a piece or of its tank, and the tank's centre is
// always in view.
#include "client/ChaseCamera.h"
#include "game/Angles.h"
#include "game/Match.h"

#include "../game/Scenario.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <vector>

namespace {

constexpr float kClearOfFace = 1.7f; // units from a piece's face to the tank's centre
constexpr int kLegTicks = 60;        // driven forward, then as long backward
constexpr float kHullCentreHeight = 0.25f;
constexpr float kTurretTop = 1.1f; // above the tank's base

// Whether a point is inside the piece, or so near it that the near plane reaches in.
bool intoPiece(const ArenaPiece& piece, glm::vec3 p) {
    const float near = ChaseCamera::kNear;
    for (const glm::vec3& offset : {glm::vec3(0.0f), glm::vec3(near, 0, 0), glm::vec3(-near, 0, 0),
                                    glm::vec3(0, 0, near), glm::vec3(0, 0, -near)}) {
        const glm::vec3 q = p + offset;
        if (piece.shape.TestPoint(piece.transform, b2Vec2(q.x, q.z)) && piece.bottom < q.y + near &&
            q.y - near < piece.top) {
            return true;
        }
    }
    return false;
}

struct Leg {
    glm::vec3 start;
    float heading;
};

// Where the tank stands before a face of a piece, on the slab there, if it fits.
bool spotBefore(const Match& match, glm::vec2 from, glm::vec2 outward, glm::vec3& spot) {
    const glm::vec2 at = from + outward * kClearOfFace;
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

// Along each face of every piece standing on the ground, both ways; into it forwards, and
// backing into it.
std::vector<Leg> legsAroundThePieces(const Match& match) {
    std::vector<Leg> legs;
    for (const ArenaPiece& piece : match.arena.pieces) {
        if (piece.kind == PieceKind::Ground || !piece.visible) {
            continue;
        }
        for (int i = 0; i < piece.shape.m_count; ++i) {
            const b2Vec2 a = piece.shape.m_vertices[i];
            const b2Vec2 b = piece.shape.m_vertices[(i + 1) % piece.shape.m_count];
            const glm::vec2 along = glm::normalize(glm::vec2(b.x - a.x, b.y - a.y));
            const glm::vec2 outward(along.y, -along.x); // the polygon winds counter-clockwise
            glm::vec3 spot(0.0f);
            if (!spotBefore(match, glm::vec2(a.x + b.x, a.y + b.y) * 0.5f, outward, spot)) {
                continue;
            }
            const auto heading = [](glm::vec2 d) { return headingOf(glm::vec3(d.x, 0, d.y)); };
            for (const glm::vec2& way : {along, -along, -outward, outward}) {
                legs.push_back({spot, heading(way)});
            }
        }
    }
    return legs;
}

TEST(CameraScenarioTest, NeverInsideAPieceOrTheHullAndTheTankAlwaysInView) {
    Match match(3u, {Driver::Human, Driver::Human});
    Tank& parked = match.tank(1);
    placeTank(parked, glm::vec3(200.0f, 0.05f, 200.0f)); // far outside, out of the way
    const std::vector<Leg> legs = legsAroundThePieces(match);
    ASSERT_GE(legs.size(), 100u);

    std::vector<ChaseCamera> cameras;
    for (int notch = static_cast<int>(ChaseCamera::kMinDistance);
         notch <= static_cast<int>(ChaseCamera::kMaxDistance); ++notch) {
        cameras.emplace_back().distance = static_cast<float>(notch);
    }
    for (float yaw : {90.0f, 180.0f, 270.0f}) {
        cameras.emplace_back().yaw = yaw;
    }
    for (float pitch : {3.0f, 75.0f}) {
        cameras.emplace_back().pitch = pitch;
    }

    int placements = 0;
    int risen = 0;
    EventList events;
    for (const Leg& leg : legs) {
        Tank& tank = match.tank(0);
        tank.heading = tank.turretHeading = leg.heading;
        tank.speed = 0.0f;
        placeTank(tank, leg.start);
        for (ChaseCamera& camera : cameras) {
            camera = [&] {
                ChaseCamera fresh;
                fresh.distance = camera.distance;
                fresh.yaw = camera.yaw;
                fresh.pitch = camera.pitch;
                return fresh;
            }();
        }
        for (int tick = 0; tick < 2 * kLegTicks; ++tick) {
            SeatCommands commands;
            commands[0].drive =
                tick < kLegTicks ? TankCommand::kFullDrive : -TankCommand::kFullDrive;
            commands[0].aim = TankCommand::aimOf(tank.turretHeading);
            events.clear();
            match.step(commands, events);
            const glm::vec3 centre = tank.position + glm::vec3(0.0f, kHullCentreHeight, 0.0f);
            for (ChaseCamera& camera : cameras) {
                camera.beginStep();
                camera.place(tank, match.arena);
                ++placements;
                risen += camera.rise > 0.0f;
                const glm::vec3 eye = camera.eye;
                const auto where = [&] {
                    return testing::Message()
                           << "; tank at " << tank.position.x << ", " << tank.position.y << ", "
                           << tank.position.z << " heading " << tank.heading << "; camera "
                           << camera.distance << " yaw " << camera.yaw << " pitch " << camera.pitch
                           << "; eye " << eye.x << ", " << eye.y << ", " << eye.z;
                };
                for (const ArenaPiece& piece : match.arena.pieces) {
                    if (piece.visible && intoPiece(piece, eye)) {
                        ADD_FAILURE() << "the eye is inside a piece at " << piece.position.x << ", "
                                      << piece.position.z << where();
                        return;
                    }
                }
                if (tank.shape.TestPoint(tank.transform, b2Vec2(eye.x, eye.z)) &&
                    eye.y < tank.position.y + kTurretTop) {
                    ADD_FAILURE() << "the eye is inside the tank" << where();
                    return;
                }
                const glm::vec4 clip =
                    camera.projection() * camera.view(1.0f) * glm::vec4(centre, 1.0f);
                if (!(clip.w > 0.0f && std::abs(clip.x) < clip.w && std::abs(clip.y) < clip.w)) {
                    ADD_FAILURE() << "the tank's centre is out of view" << where();
                    return;
                }
            }
        }
    }
    std::cout << legs.size() << " legs, " << placements << " placements, " << risen
              << " with the eye risen above a piece" << std::endl;
    EXPECT_GT(risen, 0) << "some placements must have had a piece in the way";
}

} // namespace
