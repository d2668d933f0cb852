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
// over the edge of the ground along the line to the tank, and looks at the tank.
TEST_F(SceneTest, FirstPlacementStaysInsideTheArena) {
    tap(keys::kEnter);
    step();
    const ChaseCamera& camera = match().camera;
    expectVec3(camera.target, glm::vec3(0.0f, 1.05f, 5.0f));
    // Unhindered the eye would be at (0, 5.05, 13.660254); the ground ends at z = 10.
    const glm::vec3 unhindered(0.0f, 5.05f, 13.660254f);
    const glm::vec3 along = glm::normalize(unhindered - camera.target);
    expectVec3(glm::normalize(camera.eye - camera.target), along, 1e-4f);
    EXPECT_NEAR(camera.eye.z, 10.0f - 0.3f * along.z, 0.01f);
    EXPECT_LT(camera.playerOpacity(), 1.0f + 1e-6f);
}

TEST_F(SceneTest, CameraFollowsTheTurretNotTheHull) {
    ChaseCamera& camera = match().camera;
    camera.place(glm::vec3(0.0f), glm::vec3(-1.0f, 0.0f, 0.0f), match().arena); // turret 90
    expectVec3(camera.eye, glm::vec3(8.660254f, 5.0f, 0.0f), 1e-4f);
    camera.yaw = 90.0f;
    camera.place(glm::vec3(0.0f), glm::vec3(-1.0f, 0.0f, 0.0f), match().arena);
    expectVec3(camera.eye, glm::vec3(0.0f, 5.0f, 8.660254f), 1e-4f);
}

TEST_F(SceneTest, AWallBetweenTankAndEyeBringsTheEyeInFrontOfIt) {
    ChaseCamera& camera = match().camera;
    // On the raised slab just south of a post, turret towards −Z: the post (3.5 tall, its
    // south face at z = −0.7) stands between the tank and where the eye would hang.
    camera.place(glm::vec3(15.0f, 1.135f, -2.5f), glm::vec3(0.0f, 0.0f, -1.0f), match().arena);
    const glm::vec3 along = glm::normalize(glm::vec3(0.0f, 4.0f, 8.660254f));
    const float toPost = 1.8f / along.z; // from the point looked at to the post's face
    EXPECT_NEAR(glm::length(camera.eye - camera.target), toPost - 0.3f, 1e-3f);
    expectVec3(glm::normalize(camera.eye - camera.target), along, 1e-4f);
    EXPECT_LT(camera.playerOpacity(), 1.0f); // so close, the tank fades out of the way
}

TEST_F(SceneTest, ZoomMovesByWholeStepsAndNeverReachesZero) {
    ChaseCamera& camera = match().camera;
    camera.zoom(9);
    EXPECT_EQ(camera.distance, 1.0f);
    EXPECT_NEAR(camera.seeThrough, 1.0f / 3.0f, 1e-6f);
    camera.zoom(10); // 1 → 0 is dropped, not clamped
    EXPECT_EQ(camera.distance, 1.0f);
    camera.zoom(9);
    EXPECT_EQ(camera.distance, 2.0f);
    EXPECT_NEAR(camera.seeThrough, 2.0f / 3.0f, 1e-6f);
    camera.zoom(7); // out past 3 in one step: whole again
    EXPECT_EQ(camera.distance, 4.0f);
    EXPECT_EQ(camera.seeThrough, 1.0f);
}

TEST_F(SceneTest, WheelNotchesBetweenTwoStepsAddUpAndCountOnce) {
    tap(keys::kEnter);
    step();
    window().injectScroll(1);
    window().injectScroll(2);
    step();
    EXPECT_EQ(match().camera.distance, 7.0f);
    step(3);
    EXPECT_EQ(match().camera.distance, 7.0f);
}

TEST_F(SceneTest, OrbitStartsOnTheSecondStepOfADragAndDropsPitchOutOfRange) {
    ChaseCamera& camera = match().camera;
    camera.orbit(true, {100, 100}); // records only
    EXPECT_EQ(camera.yaw, 0.0f);
    EXPECT_EQ(camera.pitch, 30.0f);
    camera.orbit(true, {120, 110});
    EXPECT_EQ(camera.yaw, 10.0f);
    EXPECT_EQ(camera.pitch, 35.0f);
    camera.orbit(true, {130, 230}); // pitch 95: dropped, yaw still turns
    EXPECT_EQ(camera.yaw, 15.0f);
    EXPECT_EQ(camera.pitch, 35.0f);
    camera.orbit(false, {130, 230});
    EXPECT_FALSE(camera.orbitDragging);
    camera.orbit(true, {500, 500}); // a new drag records again
    EXPECT_EQ(camera.yaw, 15.0f);
}

// Before the first match the title looks over the arena: both tanks stand in its view, and
// the lit program draws with that view.
TEST_F(SceneTest, TitleScreenOverlooksBothTanks) {
    frame();
    const ChaseCamera& camera = match().camera;
    const glm::mat4 viewProjection = camera.projection() * camera.view(1.0f);
    for (const Tank* tank : {&match().playerTank, &match().aiTank}) {
        const glm::vec4 clip = viewProjection * glm::vec4(tank->position, 1.0f);
        ASSERT_GT(clip.w, 0.0f);
        EXPECT_LT(std::abs(clip.x / clip.w), 0.9f);
        EXPECT_LT(std::abs(clip.y / clip.w), 0.9f);
    }
    const GLuint lit = scene->renderer.mainPass.program.name();
    glm::mat4 uploaded(0.0f);
    glGetUniformfv(lit, glGetUniformLocation(lit, "V"), &uploaded[0][0]);
    EXPECT_EQ(uploaded, camera.view(1.0f));
}

} // namespace
