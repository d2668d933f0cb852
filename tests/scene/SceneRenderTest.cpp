// What a frame draws: the passes' state, the scene targets, the shadow map and the texts.
#include "scene/SeatColours.h"
#include "support/GlPixels.h"
#include "support/SceneFixture.h"
#include "support/VecExpect.h"

#include "game/Angles.h"
#include "platform/WindowSize.h"
#include "render/TextRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Coverage {
    double drawnShare;     // pixels with alpha above one half
    double meanBrightness; // mean of r, g, b over drawn pixels, 0..255
};

Coverage sceneTargetCoverage(GLuint texture) {
    const std::vector<unsigned char> pixels = readTargetPixels(texture);
    size_t drawn = 0;
    double brightness = 0.0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i + 3] > 127) {
            ++drawn;
            brightness += (pixels[i] + pixels[i + 1] + pixels[i + 2]) / 3.0;
        }
    }
    return {static_cast<double>(drawn) / (pixels.size() / 4), drawn ? brightness / drawn : 0.0};
}

void expectFrameEndState() {
    EXPECT_EQ(intState(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(intState(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    GLint polygonMode[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWindowWidth);
    EXPECT_EQ(viewport[3], kWindowHeight);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

// The first draw of model in the frame's lists.
const MeshDraw& drawOf(const Scene& scene, const Model* model, const Material* material = nullptr) {
    for (const std::vector<MeshDraw>* list : {&scene.drawList.opaque, &scene.drawList.seeThrough}) {
        for (const MeshDraw& draw : *list) {
            if (draw.model == model && (material == nullptr || draw.material == material)) {
                return draw;
            }
        }
    }
    ADD_FAILURE() << "no such draw";
    return scene.drawList.opaque.front();
}

const MeshDraw& playerHull(const Scene& scene) {
    return drawOf(scene, &scene.renderer.models.hull,
                  &scene.renderer.models.tankMaterial(seat_colours::kPlayer));
}

GLuint colourTarget(const Scene& scene) {
    return scene.renderer.mainPass.colourTarget();
}

TEST_F(SceneTest, AFrameLeavesTheStateItFound) {
    frame();
    expectFrameEndState();
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

// An error left pending as the screen pass begins is reported by its check, and the frame
// goes on.
TEST_F(SceneTest, AnErrorPendingAtTheScreenPassIsReportedAsItsCheck) {
    struct ErrorAtScreenPass : FrameObserver {
        void phaseBegins(FramePhase phase) override {
            if (phase == FramePhase::Screen) {
                glEnable(0xFFFF); // not a capability: GL_INVALID_ENUM
            }
        }
        void frameEnds() override {}
    } observer;
    scene->frameObserver = &observer;
    testing::internal::CaptureStderr();
    frame();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error @ Scene::render() 6:\nGL: enum argument out of range.\n");
    scene->frameObserver = nullptr;
    expectFrameEndState();
}

TEST_F(SceneTest, WireframeTouchesOnlyTheMainPass) {
    tap(keys::kF3);
    tap(keys::kEnter);
    frame();
    ASSERT_TRUE(scene->options.wireframe);
    expectFrameEndState();
    const Coverage lines = sceneTargetCoverage(colourTarget(*scene));
    tap(keys::kF3);
    frame();
    const Coverage filled = sceneTargetCoverage(colourTarget(*scene));
    EXPECT_LT(lines.drawnShare, filled.drawnShare * 0.8);
}

TEST_F(SceneTest, MatchFrameDrawsALitArena) {
    tap(keys::kEnter);
    frame();
    frame();
    const Coverage lit = sceneTargetCoverage(colourTarget(*scene));
    // Ground and walls fill most of the view behind the player's tank.
    EXPECT_GT(lit.drawnShare, 0.4);
    EXPECT_GT(lit.meanBrightness, 40.0);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Zoomed in close, the player's tank is drawn see-through over the ground; the ground behind
// it must still cover the sky completely.
TEST_F(SceneTest, SeeThroughTankKeepsTheGroundBehindItOpaque) {
    tap(keys::kEnter);
    frame();
    window().injectScroll(8);
    frame();
    frame();
    ASSERT_LT(camera().playerOpacity(), 1.0f);
    const std::vector<unsigned char> pixels = readTargetPixels(colourTarget(*scene));
    // The lower third of the view looks down at the ground, partly through the tank.
    size_t partlyCovered = 0;
    for (int y = 0; y < kWindowHeight / 3; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            partlyCovered += pixels[(static_cast<size_t>(y) * kWindowWidth + x) * 4 + 3] < 250;
        }
    }
    EXPECT_EQ(partlyCovered, 0u);
}

TEST_F(SceneTest, ShadowMapHoldsTheSceneDepth) {
    frame();
    const glm::ivec2 stored = scene->renderer.shadowMap.storedTexels();
    std::vector<float> depth(static_cast<std::size_t>(stored.x) * stored.y);
    glBindTexture(GL_TEXTURE_RECTANGLE, scene->renderer.shadowMap.depthTexture.name());
    glGetTexImage(GL_TEXTURE_RECTANGLE, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);
    size_t covered = 0;
    for (float d : depth) {
        covered += d < 1.0f ? 1 : 0;
    }
    EXPECT_GT(covered, depth.size() / 10);
}

// Between two steps the tanks, the bullets and the camera are drawn where they would be at
// that moment.
TEST_F(SceneTest, FramesBetweenStepsBlendTheLastTwo) {
    tap(keys::kEnter);
    step();
    // Facing +X along the open middle of area 1.
    Tank& tank = player();
    tank.heading = tank.turretHeading = -90.0f;
    press(keys::kW);
    press(keys::kA);
    step(8);
    click();
    step();
    const glm::vec3 eyeBefore = camera().eye;
    step();
    release(keys::kW);
    release(keys::kA);
    ASSERT_GT(glm::length(tank.position - tank.previousPose.position), 0.05f);
    scene->describeWorld(0.25f);
    const glm::mat4& hull = playerHull(*scene).transform;
    const glm::vec3 drawnAt(hull[3]);
    expectVec3(drawnAt, glm::mix(tank.previousPose.position, tank.position, 0.25f), 1e-5f);
    const float drawnHeading = std::atan2(-hull[0][2], hull[0][0]) * kRadiansToDegrees;
    EXPECT_NEAR(drawnHeading,
                tank.previousPose.heading + 0.25f * (tank.heading - tank.previousPose.heading),
                1e-2f);
    ASSERT_FALSE(match().state.bullets.bullets.empty());
    const Bullet& bullet = match().state.bullets.bullets.front();
    const glm::vec3 bulletDrawnAt(drawOf(*scene, &scene->renderer.models.bullet).transform[3]);
    expectVec3(bulletDrawnAt, glm::mix(bullet.previousPosition, bullet.position, 0.25f), 1e-5f);
    expectVec3(camera().eyeAt(0.0f), eyeBefore, 1e-5f);
    expectVec3(camera().eyeAt(1.0f), camera().eye, 1e-5f);

    // The radar sees the same moment, from above.
    scene->describeRadar(0.25f);
    const RadarContent& radar = scene->radar;
    ASSERT_EQ(radar.tanks.size(), 2u);
    const RadarTank& own = radar.tanks.back();
    EXPECT_EQ(own.colour, seat_colours::colour(seat_colours::kPlayer).mark) << "the player's last";
    EXPECT_NEAR(own.position.x, drawnAt.x, 1e-5f);
    EXPECT_NEAR(own.position.y, drawnAt.z, 1e-5f);
    EXPECT_NEAR(std::atan2(-own.facing.x, -own.facing.y) * kRadiansToDegrees, drawnHeading, 1e-2f);
    ASSERT_EQ(radar.bullets.size(), 1u);
    EXPECT_NEAR(radar.bullets.front().x, bulletDrawnAt.x, 1e-5f);
    EXPECT_NEAR(radar.bullets.front().y, bulletDrawnAt.z, 1e-5f);
    const glm::vec3 look = camera().targetAt(0.25f) - camera().eyeAt(0.25f);
    EXPECT_NEAR(glm::dot(radar.up, glm::normalize(glm::vec2(look.x, look.z))), 1.0f, 1e-6f);

    // Ended while driving, turning and with a shell in flight: on the end screen every blend
    // shows the last step, so the picture stands still.
    tap(keys::kL);
    step();
    ASSERT_TRUE((scene->client.flow->phase() == Phase::Ended));
    scene->describeWorld(0.1f);
    const DrawList early = scene->drawList;
    scene->describeWorld(0.9f);
    ASSERT_EQ(early.opaque.size(), scene->drawList.opaque.size());
    for (std::size_t i = 0; i < early.opaque.size(); ++i) {
        EXPECT_EQ(early.opaque[i].transform, scene->drawList.opaque[i].transform) << i;
    }
    expectVec3(glm::vec3(playerHull(*scene).transform[3]), tank.position, 0.0f);
    EXPECT_EQ(camera().view(0.1f), camera().view(0.9f));
}

// Every line of every screen lies inside the window, with every option and the pad's controls
// shown, and no two lines overlap: the longest end-screen line is checked in the picture too.
TEST_F(SceneTest, EveryTextLineFitsInTheWindow) {
    const auto expectInside = [this](const char* screen) {
        SCOPED_TRACE(screen);
        TextOptions options;
        options.frameRate = true;
        options.framesPerSecond = 59.9;
        options.frameMilliseconds = 16.7;
        options.help = true;
        options.padControls = true;
        scene->texts.build(scene->client, options);
        for (const TextLine& line : scene->texts) {
            EXPECT_GE(line.x, 0) << line.text;
            EXPECT_GE(line.y, 0) << line.text;
            EXPECT_LE(line.x + textWidth(line.text, line.size), kWindowWidth) << line.text;
            EXPECT_LE(line.y + line.size, kWindowHeight) << line.text;
            for (const TextLine& other : scene->texts) {
                const bool apart = &other == &line || line.y >= other.y + other.size ||
                                   other.y >= line.y + line.size ||
                                   line.x >= other.x + textWidth(other.text, other.size) ||
                                   other.x >= line.x + textWidth(line.text, line.size);
                EXPECT_TRUE(apart) << line.text << " overlaps " << other.text;
            }
        }
    };
    expectInside("title");
    tap(keys::kG);
    frame();
    ASSERT_TRUE(scene->client.games.shown());
    expectInside("find games");
    tap(keys::kEscape);
    frame();
    ASSERT_FALSE(scene->client.games.shown());
    tap(keys::kO);
    frame();
    ASSERT_TRUE(scene->client.menu.open);
    expectInside("options");
    tap(keys::kEscape);
    frame();
    ASSERT_FALSE(scene->client.menu.open);
    tap(keys::kEnter);
    frame();
    expectInside("match");
    computer().lives = 0;
    frame();
    ASSERT_STREQ(scene->client.resultLine(), "You beat the stupid AI :)");
    expectInside("end");

    // The result line's glyphs: white strokes inside the window, none at its edges.
    const std::vector<Rgba> picture = readFrame();
    int white = 0;
    int atEdges = 0;
    for (int y = 440; y < 490; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            const Rgba& p = picture[static_cast<size_t>(y) * kWindowWidth + x];
            const bool isWhite = p[0] > 220 && p[1] > 220 && p[2] > 220;
            white += isWhite;
            atEdges += isWhite && (x < 4 || x >= kWindowWidth - 4);
        }
    }
    EXPECT_GT(white, 2000);
    EXPECT_EQ(atEdges, 0);
}

// The first frame of a match looks at the player's tank: hiding it changes most of the middle
// of the picture.
TEST_F(SceneTest, FirstMatchFrameShowsThePlayersTankInTheMiddle) {
    tap(keys::kEnter);
    frame();
    const std::vector<Rgba> withTank = readFrame();

    DrawList& draws = scene->drawList;
    const Model* hull = &scene->renderer.models.hull;
    const Model* turret = &scene->renderer.models.turret;
    const auto players =
        std::remove_if(draws.opaque.begin(), draws.opaque.end(), [&](const MeshDraw& d) {
            return (d.model == hull || d.model == turret) &&
                   d.material == &scene->renderer.models.tankMaterial(seat_colours::kPlayer);
        });
    ASSERT_EQ(draws.opaque.end() - players, 2); // the player's hull and turret go
    draws.opaque.erase(players, draws.opaque.end());
    const FrameContent frame{draws, camera().view(1.0f), camera().projection(), 1.0f,   false,
                             0.0f,  scene->texts,        scene->sceneBounds,    nullptr};
    scene->renderer.render(frame, nullptr);
    const std::vector<Rgba> withoutTank = readFrame();

    int changed = 0;
    int pixels = 0;
    for (int y = kWindowHeight / 2 - 100; y < kWindowHeight / 2; ++y) {
        for (int x = kWindowWidth / 2 - 100; x < kWindowWidth / 2 + 100; ++x) {
            const size_t i = static_cast<size_t>(y) * kWindowWidth + x;
            int difference = 0;
            for (int c = 0; c < 3; ++c) {
                difference += std::abs(withTank[i][c] - withoutTank[i][c]);
            }
            changed += difference > 30;
            ++pixels;
        }
    }
    EXPECT_GT(changed, pixels / 2);
}

} // namespace
