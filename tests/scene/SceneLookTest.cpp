// How the lit scene looks: even sunlight on a flat surface, sparks that never open holes in
// what stands behind them, a shadow pass limited to what the camera sees that changes no
// pixel, and a shadow map stored only under the arena that draws as the whole map does.
#include "support/GlPixels.h"
#include "support/SceneFixture.h"

#include "game/Angles.h"
#include "platform/WindowSize.h"
#include "render/AssetPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

class SceneLookTest : public SceneTest {
protected:
    // Draws draws through the shadow pass (over region of map, the game's own unless given)
    // and the main pass as seen from eye.
    void drawLit(const DrawList& draws, glm::vec3 eye, glm::vec3 target, TexelRect region,
                 const ShadowMap* map = nullptr) {
        Renderer& renderer = scene->renderer;
        const ShadowMap& shadow = map != nullptr ? *map : renderer.shadowMap;
        const glm::mat4 view = glm::lookAt(eye, target, glm::vec3(0, 1, 0));
        shadow.render(draws, region);
        renderer.mainPass.begin(view, camera().projection(), false, shadow);
        renderer.mainPass.draw(draws.opaque);
    }
};

// A white slab tilted away from the sun, in full sun, nothing else in the world: every pixel of
// it gets the same light. The lookup is taken off the surface along its normal, so the
// surface never shadows itself.
TEST_F(SceneLookTest, AFlatSlabInFullSunIsLitEvenly) {
    Texture white(makeTexture(1, 1, {255, 255, 255, 255}));
    const Model slab = loadModel(std::string(kModelDir) + "tank_bottom.obj", white.name());
    Material matt;
    matt.ks = 0.0f; // no highlight: only the sunlight and the ambient
    for (float tilt : {0.0f, 25.0f, 50.0f}) {
        SCOPED_TRACE("tilted " + std::to_string(tilt) + " degrees away from the sun");
        DrawList draws;
        // The sun comes from +X, +Y, +Z: turning the slab about Z by the tilt slopes it away.
        const glm::mat4 place = glm::translate(glm::mat4(1.0f), glm::vec3(15, 1, -10));
        const glm::mat4 tilted = glm::rotate(place, tilt * kDegreesToRadians, glm::vec3(0, 0, 1));
        draws.add({&slab, glm::scale(tilted, glm::vec3(4, 0.05f, 4)), &matt, 1.0f, 0.0f});
        drawLit(draws, glm::vec3(15, 9, -2), glm::vec3(15, 1, -10),
                scene->renderer.shadowMap.wholeMap());
        const std::vector<unsigned char> pixels =
            readTargetPixels(scene->renderer.mainPass.colourTarget());
        // The middle of the slab fills the middle of the picture.
        int low = 255;
        int high = 0;
        for (int y = kWindowHeight / 2 - 40; y < kWindowHeight / 2 + 40; ++y) {
            for (int x = kWindowWidth / 2 - 60; x < kWindowWidth / 2 + 60; ++x) {
                const int red = pixels[(static_cast<size_t>(y) * kWindowWidth + x) * 4];
                low = std::min(low, red);
                high = std::max(high, red);
            }
        }
        ASSERT_GT(low, 60) << "the slab fills the middle";
        EXPECT_LE(high - low, high * 0.02) << "darkest " << low << ", brightest " << high;
    }
}

// A tank seen from low down against the sky, with a burst fading right in front of its turret:
// every pixel the tank covered without the burst stays fully covered with it, so the sky never
// shows through the tank.
TEST_F(SceneLookTest, ATankBehindAFadingBurstShowsNoBackgroundThroughIt) {
    tap(keys::kEnter);
    frame();
    // The player's tank beside the centre block; the eye low behind it, looking up past its
    // turret at the sky over the far wall.
    Tank& tank = player();
    tank.position = tank.previousPose.position = glm::vec3(6.0f, 0.045f, 3.0f);
    const glm::vec3 eye(6.0f, 0.1f, 9.5f);
    const glm::mat4 view = glm::lookAt(eye, glm::vec3(6, 1.3f, 3), glm::vec3(0, 1, 0));
    scene->describeWorld(1.0f);
    const auto draw = [&] {
        const FrameContent frame{scene->drawList, view,  camera().projection(), 1.0f,
                                 false,           kStep, scene->texts,          scene->sceneBounds};
        scene->renderer.render(frame, nullptr);
        return readTargetPixels(scene->renderer.mainPass.colourTarget());
    };
    const std::vector<unsigned char> before = draw();
    size_t tankPixels = 0;
    for (size_t p = 3; p < before.size(); p += 4) {
        tankPixels += before[p] == 255;
    }
    ASSERT_GT(tankPixels, 1000u);
    // Nearly three units before the tank: the sparks that reach it have faded half away.
    scene->renderer.particles.trigger(glm::vec3(6.0f, 0.5f, 6.8f));
    for (int i = 0; i < 40; ++i) { // through the burst's whole life, bright and fading
        const std::vector<unsigned char> during = draw();
        int holes = 0;
        int sparks = 0;
        for (size_t p = 3; p < during.size(); p += 4) {
            holes += before[p] == 255 && during[p] < 255;
            sparks += before[p] == 0 && during[p] > 0;
        }
        ASSERT_EQ(holes, 0) << "frame " << i << " of the burst";
        if (i == 5) {
            EXPECT_GT(sparks, 50) << "the burst is seen against the sky";
        }
    }
}

// The shadow pass clears and draws only the part of the map the camera's view reads: the
// picture is the same, pixel for pixel, as with the whole map drawn.
TEST_F(SceneLookTest, ShadowPassLimitedToTheViewChangesNoPixel) {
    tap(keys::kEnter);
    frame();
    const struct {
        glm::vec3 eye;
        glm::vec3 target;
    } views[] = {{{0, 5.05f, 9.7f}, {0, 1.05f, 5}},
                 {{28, 22, 26}, {10, 0, -6}},
                 {{12, 3, -20}, {20, 1.1f, -10}}};
    Renderer& renderer = scene->renderer;
    for (const auto& view : views) {
        const glm::mat4 viewProjection =
            camera().projection() * glm::lookAt(view.eye, view.target, glm::vec3(0, 1, 0));
        const TexelRect region =
            renderer.shadowMap.regionSeenBy(viewProjection, scene->sceneBounds);
        ASSERT_FALSE(region.empty());
        drawLit(scene->drawList, view.eye, view.target, scene->renderer.shadowMap.wholeMap());
        const std::vector<unsigned char> whole = readTargetPixels(renderer.mainPass.colourTarget());
        // Anything left in the map outside the region must not matter: fill it with a clear of
        // the nearest depth first, as if everything there were in shadow.
        glBindFramebuffer(GL_FRAMEBUFFER, renderer.shadowMap.framebuffer.name());
        glClearDepth(0.0);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
        drawLit(scene->drawList, view.eye, view.target, region);
        const std::vector<unsigned char> limited =
            readTargetPixels(renderer.mainPass.colourTarget());
        size_t differing = 0;
        for (size_t i = 0; i < whole.size(); ++i) {
            differing += whole[i] != limited[i];
        }
        EXPECT_EQ(differing, 0u) << "view from " << view.eye.x << ", " << view.eye.y << ", "
                                 << view.eye.z;
    }
}

// The game's map stores only the rectangle of texels under the arena, read from its corner;
// drawn from the match's views, the picture is that of a map stored whole from its corner (0,
// 0), but for the odd pixel where the rasterizer rounds a vertex the other way in the moved
// viewport.
TEST_F(SceneLookTest, AMapStoredOnlyUnderTheArenaDrawsAsTheWholeMap) {
    tap(keys::kEnter);
    frame();
    const ShadowMap& stored = scene->renderer.shadowMap;
    const float f = 1.0f / std::sqrt(14.0f); // towards the sun, as the scene has it
    const float far = 1.0e4f;                // units: a reach over the whole map
    const ShadowMap whole(glm::vec3(2.0f * f, 3.0f * f, f), stored.size(),
                          Bounds{glm::vec3(-far), glm::vec3(far)});
    ASSERT_EQ(whole.storedCorner(), glm::ivec2(0));
    ASSERT_EQ(whole.storedTexels(), glm::ivec2(stored.size()));
    ASSERT_GT(stored.storedCorner().y, 0) << "rows under none of the arena are not stored";
    const glm::ivec2 kept = stored.storedTexels();
    EXPECT_LT(static_cast<float>(kept.x) * kept.y, 0.55f * stored.size() * stored.size());

    constexpr std::size_t kRoundedPixels = 8; // of the 786,432 of a view, at most
    const struct {
        glm::vec3 eye;
        glm::vec3 target;
    } views[] = {{{0, 5.05f, 9.7f}, {0, 1.05f, 5}},
                 {{28, 22, 26}, {10, 0, -6}},
                 {{12, 3, -20}, {20, 1.1f, -10}},
                 {{30, 40, -30}, {10, 0, 0}}};
    for (const auto& view : views) {
        drawLit(scene->drawList, view.eye, view.target, whole.wholeMap(), &whole);
        const std::vector<unsigned char> expected =
            readTargetPixels(scene->renderer.mainPass.colourTarget());
        drawLit(scene->drawList, view.eye, view.target, stored.wholeMap());
        const std::vector<unsigned char> drawn =
            readTargetPixels(scene->renderer.mainPass.colourTarget());
        std::size_t differing = 0;
        std::size_t shaded = 0;
        for (std::size_t i = 0; i < drawn.size(); i += 4) {
            differing += !std::equal(&drawn[i], &drawn[i] + 4, &expected[i]);
        }
        // The map must matter: the same view with everything lit differs widely.
        glBindFramebuffer(GL_FRAMEBUFFER, whole.framebuffer.name());
        glClear(GL_DEPTH_BUFFER_BIT);
        const glm::mat4 look = glm::lookAt(view.eye, view.target, glm::vec3(0, 1, 0));
        scene->renderer.mainPass.begin(look, camera().projection(), false, whole);
        scene->renderer.mainPass.draw(scene->drawList.opaque);
        const std::vector<unsigned char> unshadowed =
            readTargetPixels(scene->renderer.mainPass.colourTarget());
        for (std::size_t i = 0; i < drawn.size(); i += 4) {
            shaded += !std::equal(&drawn[i], &drawn[i] + 4, &unshadowed[i]);
        }
        EXPECT_LE(differing, kRoundedPixels)
            << "view from " << view.eye.x << ", " << view.eye.y << ", " << view.eye.z;
        EXPECT_GT(shaded, 1000u) << "shadows in the view from " << view.eye.x << ", " << view.eye.y
                                 << ", " << view.eye.z;
    }
}

} // namespace
