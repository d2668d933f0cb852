// The radar over a real match, read back from the window: the marks land where the radar's
// geometry puts them with the camera turned away from the start, point along the hulls, and
// leave with the match.
#include "scene/SeatColours.h"
#include "support/GlPixels.h"
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

// The arena seen from above runs from x = −10.3 to 30.3 and from z = −30.3 to 10.3.
const glm::vec2 kArenaCentre(10.0f, -10.0f);
const float kArenaRadius = 20.3f * std::sqrt(2.0f);

// Within rounding of the colour drawn opaque.
bool shows(Rgba pixel, glm::vec4 colour) {
    for (int c = 0; c < 3; ++c) {
        if (std::abs(pixel[c] - std::lround(colour[c] * 255.0f)) > 3) {
            return false;
        }
    }
    return true;
}

Rgba pixelAt(glm::vec2 window) {
    return readPixel(static_cast<int>(window.x), static_cast<int>(window.y));
}

// Where a world point lands while the camera looks along +x: +x points up on the radar and +z,
// on the camera's right, to the right.
glm::vec2 lookingAlongPlusX(float x, float z) {
    const float scale = RadarPass::kMapRadius / kArenaRadius;
    return {RadarPass::kCentreX + scale * (z - kArenaCentre.y),
            RadarPass::kCentreY + scale * (x - kArenaCentre.x)};
}

TEST_F(SceneTest, RadarTurnsWithTheCameraAndItsKitesPointAlongTheHulls) {
    tap(keys::kEnter);
    frame();
    EXPECT_NEAR(scene->radar.centre.x, kArenaCentre.x, 1e-5f);
    EXPECT_NEAR(scene->radar.centre.y, kArenaCentre.y, 1e-5f);
    EXPECT_NEAR(scene->radar.radius, kArenaRadius, 1e-4f);

    // The player's hull looks along (−x, +z), its turret and so the camera along +x. The
    // computer's tank waits at its start, (0, −5), looking along +z.
    Tank& tank = player();
    tank.position = glm::vec3(-5.0f, 0.05f, 5.0f);
    tank.heading = 135.0f;
    tank.turretHeading = -90.0f;
    frame();
    ASSERT_TRUE(scene->options.showRadar);
    const glm::vec2 downRight = glm::normalize(glm::vec2(1.0f, -1.0f));
    const glm::vec2 right(1.0f, 0.0f);
    const glm::vec2 playerAt = lookingAlongPlusX(-5.0f, 5.0f);
    const glm::vec2 computerAt = lookingAlongPlusX(0.0f, -5.0f);
    // Each kite reaches 10 px ahead of its tank and 6 px behind: turned the wrong way, the
    // pixel 6 px ahead would lie at its tail's tip, half covered at most.
    EXPECT_TRUE(shows(pixelAt(playerAt), seat_colours::colour(seat_colours::kPlayer).mark));
    EXPECT_TRUE(shows(pixelAt(playerAt + 6.0f * downRight),
                      seat_colours::colour(seat_colours::kPlayer).mark));
    EXPECT_TRUE(shows(pixelAt(computerAt), seat_colours::colour(seat_colours::kComputer).mark));
    EXPECT_TRUE(shows(pixelAt(computerAt + 6.0f * right),
                      seat_colours::colour(seat_colours::kComputer).mark));
    tap(keys::kL);
    frame();
    EXPECT_FALSE(shows(pixelAt(playerAt), seat_colours::colour(seat_colours::kPlayer).mark))
        << "not on the end screen";
}

} // namespace
