// The game loaded behind the title: the title shows as soon as the font has loaded, the
// start-up lines come as they always have, and the game that follows is exactly the one that
// loads all at once.
#include "support/GlPixels.h"
#include "support/SceneFixture.h"

#include "platform/WindowSize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// The pictures of the frames it sees, each as the frame is about to be presented.
struct Pictures : FrameObserver {
    void phaseBegins(FramePhase phase) override {
        if (phase == FramePhase::Present) {
            taken.push_back(readFrame());
        }
    }
    void frameEnds() override {}
    std::vector<std::vector<Rgba>> taken;
};

// A game made with the test seeds, its start-up lines, and the pictures of its first frames:
// the title, then a match with shots and their bursts, close enough to see its tank through.
struct Played {
    std::string lines;
    int loadingFrames = 0; // of the loading screen in the first frames
    int liveBursts = 0;    // once the first frames have rehearsed
    std::vector<std::vector<Rgba>> pictures;
};

// The frames behind the title that show the loading screen.
constexpr int kRehearsalFrames = 7;

Played play(Window& window, Scene::Loading loading) {
    Played played;
    window.input() = InputState();
    CaptureStdout();
    auto scene =
        std::make_unique<Scene>(window, SceneTest::kAiSeed, SceneTest::kParticleSeed, nullptr,
                                nullptr, Settings(), nullptr, Arena::standard(), loading);
    played.lines = GetCapturedStdout();
    played.loadingFrames = scene->loading.framesShown();
    EXPECT_GE(played.loadingFrames, loading == Scene::Loading::AllAtOnce ? 0 : 13)
        << "behind the title, a frame before each piece of loading and each of the scene's "
           "pictures";
    Pictures pictures;
    scene->frameObserver = &pictures;
    CaptureStdout();
    const auto frame = [&scene] {
        scene->update();
        FrameTiming timing;
        timing.seconds = static_cast<float>(FixedStep::kStepSeconds);
        scene->render(timing);
    };
    // Behind the title, the first frames show the loading screen; the game all at once takes
    // the same steps.
    for (int step = 0; step < kRehearsalFrames; ++step) {
        if (loading == Scene::Loading::BehindTheTitle) {
            frame();
        } else {
            scene->update();
        }
    }
    played.loadingFrames = scene->loading.framesShown() - played.loadingFrames;
    for (const ParticleSystem& burst : scene->renderer.particles.systems) {
        played.liveBursts += burst.live() ? 1 : 0;
    }
    pictures.taken.clear();
    for (int step = 0; step < 26; ++step) {
        if (step == 2) {
            window.injectKey(keys::kEnter, KeyAction::Press);
            window.injectKey(keys::kEnter, KeyAction::Release);
        }
        if (step % 6 == 4) {
            window.injectButton(buttons::kLeft, KeyAction::Press);
            window.injectButton(buttons::kLeft, KeyAction::Release);
        }
        if (step == 16) {
            window.injectScroll(12.0); // in close: the player's tank turns see-through
        }
        frame();
    }
    GetCapturedStdout();
    scene->frameObserver = nullptr;
    played.pictures = std::move(pictures.taken);
    return played;
}

class LoadingTest : public GlTest {};

TEST_F(LoadingTest, BehindTheTitleTheGameIsTheSameWithTheSameLines) {
    const Played atOnce = play(testWindow(), Scene::Loading::AllAtOnce);
    const Played behind = play(testWindow(), Scene::Loading::BehindTheTitle);
    EXPECT_EQ(atOnce.loadingFrames, 0);
    EXPECT_EQ(behind.loadingFrames, kRehearsalFrames);
    EXPECT_EQ(behind.lines, atOnce.lines);
    EXPECT_EQ(behind.liveBursts, 0) << "the bursts drawn once are idle again";
    ASSERT_EQ(behind.pictures.size(), atOnce.pictures.size());
    for (std::size_t frame = 0; frame < atOnce.pictures.size(); ++frame) {
        EXPECT_TRUE(behind.pictures[frame] == atOnce.pictures[frame]) << "frame " << frame;
    }
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A frame of the loading screen: the title's lines, over black.
TEST_F(LoadingTest, ItsFramesShowTheTitlesLinesOverBlack) {
    GameClient client(SceneTest::kAiSeed, nullptr, nullptr, Settings());
    CaptureStdout();
    TextRenderer text;
    GetCapturedStdout();
    LoadingScreen off(testWindow(), client, false);
    LoadingScreen on(testWindow(), client, true);

    glClearColor(0.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    off.show(text);
    EXPECT_EQ(off.framesShown(), 0);
    EXPECT_EQ(readPixel(5, 5)[1], 128) << "switched off, it draws nothing";

    Pictures pictures;
    on.observer = &pictures;
    on.show(text);
    EXPECT_EQ(on.framesShown(), 1);
    ASSERT_EQ(pictures.taken.size(), 1u);
    const std::vector<Rgba>& shown = pictures.taken.front();
    const auto lit = [&](int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const Rgba& p = shown[static_cast<std::size_t>(y) * kWindowWidth + x];
                count += std::max({p[0], p[1], p[2]}) > 100;
            }
        }
        return count;
    };
    EXPECT_GT(lit(200, 450, 760, 525), 2000) << "BRAKKEL";
    EXPECT_GT(lit(130, 380, 930, 430), 2000) << "Press ENTER to start!";
    EXPECT_EQ(lit(0, 0, kWindowWidth, 80), 0) << "black under the lines";
    EXPECT_EQ(lit(0, 600, kWindowWidth, kWindowHeight), 0) << "and above them";
}

} // namespace
