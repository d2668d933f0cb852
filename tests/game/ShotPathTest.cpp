// Where a shot fired now would land, checked against shots really fired on the real arena: the
// first piece or tank in the way at the shot's height, never one it flies over.
#include "game/ShotPath.h"
#include "game/Angles.h"
#include "game/Match.h"

#include "Scenario.h"

#include <gtest/gtest.h>

namespace {

// Fires the seat's tank once and steps until the shot hits something; where it hit.
glm::vec3 whereAShotLands(Match& match, int seat) {
    EventList events;
    SeatCommands commands;
    commands[static_cast<std::size_t>(seat)].fire = true;
    commands[static_cast<std::size_t>(seat)].aim =
        TankCommand::aimOf(match.tank(seat).turretHeading);
    for (int tick = 0; tick < 600; ++tick) {
        events.clear();
        match.step(commands, events);
        for (const GameEvent& event : events) {
            if (event.type == GameEventType::WallHit || event.type == GameEventType::TankHit) {
                return event.position;
            }
        }
    }
    ADD_FAILURE() << "the shot hit nothing";
    return glm::vec3(0.0f);
}

class ShotPathTest : public ::testing::Test {
protected:
    Tank& standing(int seat, glm::vec3 spot, float heading) {
        Tank& tank = match.tank(seat);
        tank.heading = tank.turretHeading = heading;
        placeTank(tank, spot);
        return tank;
    }

    Match match{2u, {Driver::Human, Driver::Human}};
};

TEST_F(ShotPathTest, TheShotEndsOnTheFaceOfTheFirstPieceItsHeightMeets) {
    standing(1, glm::vec3(200.0f, 0.05f, 200.0f), 0.0f); // out of the way
    // Looking north at the arena's edge wall, whose face stands at z = −9.7.
    Tank& tank = standing(0, glm::vec3(-7.0f, 0.045f, 3.0f), 0.0f);
    const glm::vec3 end = shotEnd(match, 0, tank.pose());
    EXPECT_NEAR(end.x, -7.0f, 1e-4f);
    EXPECT_NEAR(end.z, -9.7f, 1e-4f);
    EXPECT_NEAR(end.y, 0.045f + Tank::kMuzzleLift + 0.08f, 1e-5f) << "the shell's middle";
    // The real shot bursts there, a step's flight or less short of the face.
    const glm::vec3 hit = whereAShotLands(match, 0);
    EXPECT_NEAR(hit.x, end.x, 1e-3f);
    EXPECT_LE(end.z - hit.z, 0.0f);
    EXPECT_GT(end.z - hit.z, -Tank::kBulletSpeed * Match::kTickSeconds - 0.3f);
}

TEST_F(ShotPathTest, AnotherTankInTheWayTakesTheShotAndTheLowWallIsFlownOverFromAbove) {
    Tank& tank = standing(0, glm::vec3(-7.0f, 0.045f, 3.0f), 0.0f);
    standing(1, glm::vec3(-7.0f, 0.045f, -3.0f), 0.0f);
    EXPECT_NEAR(shotEnd(match, 0, tank.pose()).z, -2.0f, 1e-4f) << "the other hull's face";

    // From the raised level, westwards: over the low wall (its top 1.1) and on across the
    // lower level to the arena's edge wall there.
    standing(1, glm::vec3(200.0f, 0.05f, 200.0f), 0.0f);
    Tank& high = standing(0, glm::vec3(14.0f, 1.135f, 5.0f), 90.0f); // looking along −x
    const glm::vec3 over = shotEnd(match, 0, high.pose());
    EXPECT_NEAR(over.x, -9.7f, 1e-4f);
    const glm::vec3 hit = whereAShotLands(match, 0);
    EXPECT_LT(hit.x, -9.0f) << "the real shot flew over the low wall too";
}

} // namespace
