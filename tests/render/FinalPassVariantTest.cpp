// The final pass without glow: its own variant of the program, which never reads the glow
// target, and composes exactly what the glowing program does over a dark glow target.
#include "platform/WindowSize.h"
#include "render/BackgroundQuad.h"
#include "render/FinalPass.h"
#include "render/PassState.h"
#include "render/ScreenPass.h"
#include "support/GlContext.h"
#include "support/GlPixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// A window-sized target of smoothly varying colour and coverage, as a scene leaves.
std::vector<std::uint8_t> sceneTexels() {
    std::vector<std::uint8_t> texels;
    for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            const auto alpha = static_cast<std::uint8_t>((x / 4) % 256);
            texels.insert(texels.end(),
                          {static_cast<std::uint8_t>((y / 3) * alpha / 255),
                           static_cast<std::uint8_t>(((x + y) / 7 % 256) * alpha / 255),
                           static_cast<std::uint8_t>(90 * alpha / 255), alpha});
        }
    }
    return texels;
}

class FinalPassVariantTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        sky = Texture(makeTexture(1, 1, {100, 150, 200, 255}));
        scene = Texture(makeTexture(kWindowWidth, kWindowHeight, sceneTexels()));
        glow = Texture(makeTexture(kWindowWidth, kWindowHeight,
                                   std::vector<std::uint8_t>(kWindowWidth * kWindowHeight * 4, 0)));
        CaptureStdout();
        program = BackgroundQuad::loadProgram();
        background = std::make_unique<BackgroundQuad>(program.name(), sky.name());
        finalPass = std::make_unique<FinalPass>(scene.name(), glow.name());
        output = GetCapturedStdout();
    }
    void TearDown() override { EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)); }

    std::vector<Rgba> compose(bool withBackground, bool withGlow, float darken) {
        drawScreenPass(*background, *finalPass,
                       {glm::ivec2(kWindowWidth, kWindowHeight), withBackground, withGlow, darken});
        return readFrame();
    }

    Texture sky;
    Texture scene;
    Texture glow;
    Program program;
    std::unique_ptr<BackgroundQuad> background;
    std::unique_ptr<FinalPass> finalPass;
    std::string output;
};

TEST_F(FinalPassVariantTest, WithoutGlowComposesWhatTheGlowingProgramDoesOverADarkGlow) {
    EXPECT_EQ(output.find("GLOW"), std::string::npos) << "the variant is built silently";
    for (const float darken : {1.0f, 0.3f}) {
        const std::vector<Rgba> glowing = compose(true, true, darken);
        const std::vector<Rgba> plain = compose(true, false, darken);
        EXPECT_EQ(plain, glowing) << "darken " << darken;
    }
}

TEST_F(FinalPassVariantTest, WithoutGlowTheGlowTargetIsNeverRead) {
    const std::vector<Rgba> dark = compose(true, false, 1.0f);
    glow = Texture(makeTexture(kWindowWidth, kWindowHeight,
                               std::vector<std::uint8_t>(kWindowWidth * kWindowHeight * 4, 255)));
    *finalPass = FinalPass(scene.name(), glow.name());
    EXPECT_NE(compose(true, true, 1.0f), dark) << "the glowing program blooms a bright glow";
    EXPECT_EQ(compose(true, false, 1.0f), dark);
}

// With the background already in the scene's targets (opaque everywhere), the pass replaces
// whatever the window held: no clear and no blending are needed under it.
TEST_F(FinalPassVariantTest, OverAnOpaqueSceneThePassLeavesNothingOfTheWindowUnderIt) {
    std::vector<std::uint8_t> opaque = sceneTexels();
    for (std::size_t i = 3; i < opaque.size(); i += 4) {
        opaque[i] = 255;
    }
    scene = Texture(makeTexture(kWindowWidth, kWindowHeight, opaque));
    *finalPass = FinalPass(scene.name(), glow.name());
    for (const float darken : {1.0f, 0.3f}) {
        glClearColor(0.9f, 0.1f, 0.6f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        const std::vector<Rgba> overPink = compose(false, false, darken);
        glClear(GL_COLOR_BUFFER_BIT);
        EXPECT_EQ(compose(false, false, darken), overPink) << "darken " << darken;
        EXPECT_EQ(compose(true, false, darken), overPink) << "the sky under it never shows";
    }
}

} // namespace
