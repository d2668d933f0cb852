// The aiming marks over a real match, read back from the window: the crosshair's middle lies
// where the shot's level path meets the wall the turret points at, near and far; the hull's
// marker lies ahead of the hull; neither shows but in a running match.
#include "support/GlPixels.h"
#include "support/SceneFixture.h"

#include "game/Angles.h"
#include "game/BodySizes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr float kNorthWallFace = -9.7f; // z of the face of the arena's edge wall to the north
constexpr int kChanged = 8;             // a channel this far off counts as drawn over

class AimMarksTest : public SceneTest {
protected:
    // The frame drawn again from the scene's last description, with these marks (none: null).
    std::vector<Rgba> drawnWith(const AimMarks* marks) {
        const FrameContent content{scene->drawList,
                                   camera().view(1.0f),
                                   camera().projection(),
                                   scene->darken(),
                                   false,
                                   0.0f,
                                   scene->texts,
                                   scene->sceneBounds,
                                   nullptr,
                                   marks};
        scene->renderer.render(content, nullptr);
        return readFrame();
    }

    // The middle of the pixels the marks changed, weighted by how much.
    static glm::vec2 middleOfChange(const std::vector<Rgba>& with, const std::vector<Rgba>& without,
                                    int& count) {
        glm::dvec2 sum(0.0);
        double weight = 0.0;
        count = 0;
        for (int y = 0; y < kWindowHeight; ++y) {
            for (int x = 0; x < kWindowWidth; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * kWindowWidth + x;
                int difference = 0;
                for (int c = 0; c < 3; ++c) {
                    difference = std::max(difference, std::abs(with[i][c] - without[i][c]));
                }
                if (difference > kChanged) {
                    // A pixel's middle is half a pixel in from its corner.
                    sum += glm::dvec2(x + 0.5, y + 0.5) * static_cast<double>(difference);
                    weight += difference;
                    ++count;
                }
            }
        }
        return weight > 0.0 ? glm::vec2(sum / weight) : glm::vec2(-1.0f);
    }
};

TEST_F(AimMarksTest, TheCrosshairLiesWhereTheShotMeetsTheWallNearAndFar) {
    tap(keys::kEnter);
    frame();
    // The computer's tank stands still, out of the line of fire.
    match().seat(1).driver = Driver::Human;
    for (const float z : {-4.0f, 0.0f, 6.0f}) {
        Tank& tank = player();
        tank.heading = tank.turretHeading = 0.0f; // looking north, along −z
        tank.position = glm::vec3(-7.0f, 0.045f, z);
        tank.updateTransform();
        for (int i = 0; i < 30; ++i) {
            frame(); // the camera cuts to the tank and settles behind it
        }
        ASSERT_TRUE(scene->aimMarks.crosshair);
        ASSERT_TRUE(scene->aimMarks.hull);
        const float height = tank.position.y + Tank::kMuzzleLift + kBulletBounds.size().y * 0.5f;
        const glm::vec4 clip = camera().projection() * camera().view(1.0f) *
                               glm::vec4(tank.position.x, height, kNorthWallFace, 1.0f);
        const glm::vec2 expected =
            (glm::vec2(clip) / clip.w + 1.0f) * 0.5f * glm::vec2(kWindowWidth, kWindowHeight);

        AimMarks crosshairOnly = scene->aimMarks;
        crosshairOnly.hull = false;
        const std::vector<Rgba> with = drawnWith(&crosshairOnly);
        const std::vector<Rgba> without = drawnWith(nullptr);
        int count = 0;
        const glm::vec2 drawn = middleOfChange(with, without, count);
        std::printf("wall %.1f units ahead: crosshair at %.2f, %.2f, the shot's end at %.2f, %.2f "
                    "(%d pixels)\n",
                    z - kNorthWallFace, drawn.x, drawn.y, expected.x, expected.y, count);
        EXPECT_GT(count, 40);
        EXPECT_LE(glm::length(drawn - expected), 2.0f) << "wall at " << z - kNorthWallFace;
    }
}

TEST_F(AimMarksTest, TheHullsMarkerLiesAheadOfTheHullAndPointsAlongIt) {
    tap(keys::kEnter);
    frame();
    // Turret to the left, hull straight ahead: the crosshair moves left, the marker stays.
    Tank& tank = player();
    tank.turretHeading = 30.0f;
    frame();
    const glm::mat4 seen = camera().projection() * camera().view(1.0f);
    const auto pixel = [&](glm::vec3 p) {
        const glm::vec4 clip = seen * glm::vec4(p, 1.0f);
        return (glm::vec2(clip) / clip.w + 1.0f) * 0.5f * glm::vec2(kWindowWidth, kWindowHeight);
    };
    const AimMarks& marks = scene->aimMarks;
    ASSERT_TRUE(marks.hull);
    const glm::vec3 ahead = tank.position + headingDirection(tank.heading) * 3.0f;
    EXPECT_LE(glm::length(marks.hullAt - pixel(ahead + glm::vec3(0.0f, 0.1f, 0.0f))), 0.5f);
    EXPECT_GT(marks.hullFacing.y, 0.9f) << "away from the camera: up the screen";
    ASSERT_TRUE(marks.crosshair);
    EXPECT_LT(marks.crosshairAt.x, marks.hullAt.x - 50.0f) << "the turret looks left";

    // Drawn: the marker's pixels lie about its point.
    AimMarks markerOnly = marks;
    markerOnly.crosshair = false;
    int count = 0;
    const glm::vec2 drawn = middleOfChange(drawnWith(&markerOnly), drawnWith(nullptr), count);
    EXPECT_GT(count, 20);
    EXPECT_LE(glm::length(drawn - marks.hullAt), 6.0f);

    tap(keys::kL);
    frame();
    EXPECT_FALSE(scene->aimMarks.crosshair) << "the end screen";
    EXPECT_FALSE(scene->aimMarks.hull);
}

} // namespace
