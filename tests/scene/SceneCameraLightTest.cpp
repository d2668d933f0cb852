#include "support/SceneFixture.h"

#include "app/Window.h"
#include "game/Tank.h"
#include "scene/ChaseCamera.h"
#include "support/VecExpect.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace {

TEST_F(SceneTest, LightMatricesCentreTheAimPoint) {
    scene->update(16.0f);
    const glm::vec4 aim(15.0f, 0.0f, -10.0f, 1.0f);
    const glm::vec4 clip = scene->lightSpaceMatrix * aim;
    EXPECT_NEAR(clip.x / clip.w, 0.0f, 1e-5f);
    EXPECT_NEAR(clip.y / clip.w, 0.0f, 1e-5f);
    const glm::vec4 tex = scene->shadowTextureMatrix * aim;
    EXPECT_NEAR(tex.x / tex.w, 0.5f, 1e-5f);
    EXPECT_NEAR(tex.y / tex.w, 0.5f, 1e-5f);
    // The aim point lies between the light's near (45) and far (90) planes.
    EXPECT_GT(tex.z / tex.w, 0.0f);
    EXPECT_LT(tex.z / tex.w, 1.0f);

    GLfloat uploaded[16] = {};
    glGetUniformfv(scene->lambertPhongProgram,
                   glGetUniformLocation(scene->lambertPhongProgram, "sm_light_texmat"), uploaded);
    EXPECT_EQ(uploaded[12], scene->shadowTextureMatrix[3][0]);
    EXPECT_EQ(uploaded[0], scene->shadowTextureMatrix[0][0]);
}

TEST_F(SceneTest, FirstPlacementHangsBehindThePlayersTurret) {
    tap(GLFW_KEY_ENTER);
    scene->update(0.0f);
    expectVec3(scene->cameraTarget, glm::vec3(0.0f, 1.05f, 5.0f));
    expectVec3(scene->cameraEye, glm::vec3(0.0f, 5.05f, 13.660254f), 1e-4f);
}

TEST_F(SceneTest, CameraFollowsTheTurretNotTheHull) {
    scene->placeCamera(glm::vec3(0.0f), glm::vec3(-1.0f, 0.0f, 0.0f)); // turret heading 90
    expectVec3(scene->cameraEye, glm::vec3(8.660254f, 5.0f, 0.0f), 1e-4f);
    scene->cameraYaw = 90.0f;
    scene->placeCamera(glm::vec3(0.0f), glm::vec3(-1.0f, 0.0f, 0.0f));
    expectVec3(scene->cameraEye, glm::vec3(0.0f, 5.0f, 8.660254f), 1e-4f);
}

TEST_F(SceneTest, ZoomMovesByWholeStepsAndNeverReachesZero) {
    lastWheelPosition = window::mouseWheel();
    window::injectScroll(9);
    scene->zoomStep();
    EXPECT_EQ(scene->cameraDistance, 1.0f);
    EXPECT_NEAR(scene->playerTank->alpha, 1.0f / 3.0f, 1e-6f);
    window::injectScroll(1); // 1 → 0 is dropped, not clamped
    scene->zoomStep();
    EXPECT_EQ(scene->cameraDistance, 1.0f);
    window::injectScroll(-1);
    scene->zoomStep();
    EXPECT_EQ(scene->cameraDistance, 2.0f);
    EXPECT_NEAR(scene->playerTank->alpha, 2.0f / 3.0f, 1e-6f);
    window::injectScroll(-2); // out past 3 in one step leaves the opacity
    scene->zoomStep();
    EXPECT_EQ(scene->cameraDistance, 4.0f);
    EXPECT_NEAR(scene->playerTank->alpha, 2.0f / 3.0f, 1e-6f);
}

TEST_F(SceneTest, OrbitStartsOnTheSecondFrameOfADragAndDropsPitchOutOfRange) {
    window::injectMousePosition(100, 100);
    window::injectMouseButton(GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS);
    scene->orbitStep(); // records only
    EXPECT_EQ(scene->cameraYaw, 0.0f);
    EXPECT_EQ(scene->cameraPitch, 30.0f);

    window::injectMousePosition(120, 110);
    scene->orbitStep();
    EXPECT_EQ(scene->cameraYaw, 10.0f);
    EXPECT_EQ(scene->cameraPitch, 35.0f);

    window::injectMousePosition(130, 230); // pitch 95: dropped, yaw still turns
    scene->orbitStep();
    EXPECT_EQ(scene->cameraYaw, 15.0f);
    EXPECT_EQ(scene->cameraPitch, 35.0f);

    window::injectMouseButton(GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE);
    scene->orbitStep();
    EXPECT_FALSE(orbitDragging);
    window::injectMousePosition(500, 500);
    window::injectMouseButton(GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS);
    scene->orbitStep(); // a new drag records again
    EXPECT_EQ(scene->cameraYaw, 15.0f);
    window::injectMouseButton(GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE);
}

TEST_F(SceneTest, TitleScreenViewIsAFiniteOverview) {
    scene->update(16.0f);
    const glm::mat4 view = scene->viewMatrix();
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_TRUE(std::isfinite(view[c][r]));
        }
    }
    GLfloat uploaded[16] = {};
    glGetUniformfv(scene->lambertPhongProgram, scene->uniformV, uploaded);
    for (float value : uploaded) {
        EXPECT_TRUE(std::isfinite(value));
    }
}

} // namespace
