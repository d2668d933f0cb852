// The chase camera and the sun's matrices in the running scene.
#include "support/SceneFixture.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST_F(SceneTest, LightMatricesCentreTheAimPoint) {
    const ShadowMap& shadowMap = scene->renderer.shadowMap;
    const glm::vec4 aim(15.0f, 0.0f, -10.0f, 1.0f);
    const glm::vec4 clip = shadowMap.lightSpaceMatrix * aim;
    EXPECT_NEAR(clip.x / clip.w, 0.0f, 1e-5f);
    EXPECT_NEAR(clip.y / clip.w, 0.0f, 1e-5f);
    const glm::vec4 tex = shadowMap.shadowTextureMatrix * aim;
    EXPECT_NEAR(tex.x / tex.w, 0.5f, 1e-5f);
    EXPECT_NEAR(tex.y / tex.w, 0.5f, 1e-5f);
    // The aim point lies between the light's near (45) and far (90) planes.
    EXPECT_GT(tex.z / tex.w, 0.0f);
    EXPECT_LT(tex.z / tex.w, 1.0f);

    frame(); // the lit program still holds the matrix after a frame
    const GLuint lit = scene->renderer.mainPass.program.name();
    GLfloat uploaded[16] = {};
    glGetUniformfv(lit, glGetUniformLocation(lit, "sm_light_texmat"), uploaded);
    EXPECT_EQ(uploaded[12], shadowMap.shadowTextureMatrix[3][0]);
    EXPECT_EQ(uploaded[0], shadowMap.shadowTextureMatrix[0][0]);
}

// The first placement of a match would hang the eye outside the arena's +Z wall; it comes in
// along the line to the tank, to stand the clearance in front of the wall's face (z 9.7),
// inside the arena rather than over the wall, and looks at the tank.
TEST_F(SceneTest, FirstPlacementStaysInsideTheArena) {
    tap(keys::kEnter);
    step();
    const ChaseCamera& camera = scene->client.camera;
    expectVec3(camera.target, glm::vec3(0.0f, 1.05f, 5.0f));
    // Unhindered the eye would be at (0, 5.05, 13.660254).
    const glm::vec3 unhindered(0.0f, 5.05f, 13.660254f);
    const glm::vec3 along = glm::normalize(unhindered - camera.target);
    expectVec3(glm::normalize(camera.eye - camera.target), along, 1e-4f);
    EXPECT_NEAR(camera.eye.z, 9.7f - CameraSpace::kClearance, 2e-3f); // a hair in front
    EXPECT_LT(camera.eye.z, 9.7f - CameraSpace::kClearance);
    EXPECT_EQ(camera.playerOpacity(), 1.0f);
}

TEST_F(SceneTest, WheelNotchesBetweenTwoStepsAddUpAndCountOnce) {
    tap(keys::kEnter);
    step();
    window().injectScroll(1);
    window().injectScroll(2);
    step();
    EXPECT_EQ(camera().distance, 7.0f);
    step(3);
    EXPECT_EQ(camera().distance, 7.0f);
}

// The title looks over the arena, where the computer plays itself: both of its tanks stand in
// the view, and the lit program draws with that view.
TEST_F(SceneTest, TitleScreenOverlooksBothTanksOfItsMatch) {
    for (int tick = 0; tick < 120; ++tick) {
        frame();
    }
    const GameClient& client = scene->client;
    ASSERT_TRUE(client.showingTitle());
    const glm::mat4 viewProjection = client.projection() * client.view(1.0f);
    for (int seat = 0; seat < client.attract.match().seatCount(); ++seat) {
        const glm::vec4 clip =
            viewProjection * glm::vec4(client.attract.match().tank(seat).position, 1.0f);
        ASSERT_GT(clip.w, 0.0f);
        EXPECT_LT(std::abs(clip.x / clip.w), 0.9f);
        EXPECT_LT(std::abs(clip.y / clip.w), 0.9f);
    }
    const GLuint lit = scene->renderer.mainPass.program.name();
    glm::mat4 uploaded(0.0f);
    glGetUniformfv(lit, glGetUniformLocation(lit, "V"), &uploaded[0][0]);
    EXPECT_EQ(uploaded, client.view(1.0f));
}

} // namespace
