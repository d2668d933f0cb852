#include "ParticleFixture.h"

#include "particles/ParticleDrawProgram.h"
#include "particles/ParticleSimProgram.h"
#include "render/AssetPaths.h"
#include "support/TempFiles.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

TEST_F(ParticleTest, BothProgramsBuildAndReportZero) {
    EXPECT_EQ(initOutput, "Init particle Shaders: 0\n");
    const ParticleSimProgram& simulation = effects->simulation;
    EXPECT_NE(simulation.shaderProgram.name(), 0u);
    EXPECT_TRUE(simulation.shaderObjects.empty());
    EXPECT_NE(simulation.deltaTimeLocation, -1);
    EXPECT_NE(simulation.timeLocation, -1);
    EXPECT_NE(simulation.lifeTimeLocation, -1);
    EXPECT_NE(effects->drawing.shaderProgram.name(), 0u);
    EXPECT_TRUE(effects->drawing.shaderObjects.empty());
    EXPECT_NE(effects->drawing.viewMatrixLocation, -1);
    EXPECT_EQ(effects->systems.size(), 10u);
    EXPECT_EQ(effects->nextSystem, 0);
}

TEST_F(ParticleTest, InitIsTrueWhenTheProgramIsReady) {
    CaptureStderr();
    ParticleSimProgram simulation;
    ParticleDrawProgram drawing;
    EXPECT_TRUE(simulation.init());
    EXPECT_TRUE(drawing.init());
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_EQ(linkStatus(simulation.shaderProgram.name()), GL_TRUE);
    EXPECT_EQ(linkStatus(drawing.shaderProgram.name()), GL_TRUE);
}

TEST_F(ParticleTest, InitialRecordsAreSlowFreshAndDifferPerBurst) {
    for (const ParticleSystem& system : effects->systems) {
        for (const Particle& particle : system.initialParticles) {
            EXPECT_LE(glm::length(particle.velocity), 0.2f + 1e-6f);
            EXPECT_EQ(particle.type, 1.0f);
            EXPECT_EQ(particle.position, glm::vec3(0.0f));
            EXPECT_EQ(particle.age, 0.001f);
        }
    }
    for (int a = 0; a < 10; ++a) {
        for (int b = a + 1; b < 10; ++b) {
            EXPECT_NE(std::memcmp(burst(a).initialParticles.data(),
                                  burst(b).initialParticles.data(),
                                  sizeof(burst(a).initialParticles)),
                      0)
                << "bursts " << a << " and " << b;
        }
    }
}

// The bursts draw, in turn, from one source seeded with the effects' seed.
TEST_F(ParticleTest, BurstsDrawInTurnFromTheSeed) {
    std::mt19937 random(kSeed);
    for (int i = 0; i < 3; ++i) {
        const ParticleSystem expected(random);
        EXPECT_EQ(std::memcmp(burst(i).initialParticles.data(), expected.initialParticles.data(),
                              sizeof(expected.initialParticles)),
                  0)
            << "burst " << i;
    }
    CaptureStdout();
    const ParticleEffects again(kSeed);
    const ParticleEffects other(kSeed + 1);
    GetCapturedStdout();
    EXPECT_EQ(std::memcmp(again.systems[9].initialParticles.data(),
                          burst(9).initialParticles.data(), sizeof(burst(9).initialParticles)),
              0);
    EXPECT_NE(std::memcmp(other.systems[0].initialParticles.data(),
                          burst(0).initialParticles.data(), sizeof(burst(0).initialParticles)),
              0);
}

TEST_F(ParticleTest, TriggerUsesTheBurstsInTurnAndWrapsWithoutTouchingGl) {
    const Buffer sentinel = Buffer::create();
    glBindBuffer(GL_ARRAY_BUFFER, sentinel.name());
    glUseProgram(0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(effects->nextSystem, i);
        EXPECT_FALSE(burst(i).live());
        effects->trigger(glm::vec3(static_cast<float>(i), 1.0f, 2.0f));
        EXPECT_EQ(burst(i).elapsedSeconds, 0.0f);
        EXPECT_TRUE(burst(i).live());
        EXPECT_EQ(burst(i).emitterPosition, glm::vec3(static_cast<float>(i), 1.0f, 2.0f));
    }
    EXPECT_EQ(effects->nextSystem, 0);

    EXPECT_EQ(intState(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(static_cast<GLuint>(intState(GL_ARRAY_BUFFER_BINDING)), sentinel.name());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

TEST_F(ParticleTest, EleventhTriggerRestartsTheFirstBurstAtTheNewPlace) {
    for (int i = 0; i < 10; ++i) {
        effects->trigger(glm::vec3(static_cast<float>(i), 0.0f, 0.0f));
    }
    for (int frame = 0; frame < 5; ++frame) {
        effects->step(kFrameSeconds, kViewProjection);
    }
    const float fiveFrames = burst(1).elapsedSeconds;
    EXPECT_NEAR(fiveFrames, 5 * kFrameSeconds, 1e-6f);

    const glm::vec3 hit(-4.0f, 3.0f, 7.5f);
    effects->trigger(hit);
    EXPECT_EQ(burst(0).elapsedSeconds, 0.0f);
    EXPECT_EQ(burst(0).emitterPosition, hit);
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(burst(i).elapsedSeconds, fiveFrames);
    }
    EXPECT_EQ(effects->nextSystem, 1);

    // Its next frame starts again from the initial records, not from where it had got to.
    burst(0).advance(kFrameSeconds, kViewProjection, effects->simulation, effects->drawing);
    expectFirstPassOf(burst(0), readRecords(drawnBuffer()), kFrameSeconds);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ParticleTest, BurstAtSixteenMillisecondFramesRunsFortyFourFrames) {
    effects->trigger(glm::vec3(0.0f));
    CaptureStderr();
    int frames = 0;
    for (int guard = 0; guard < 100 && burst(0).live(); ++guard) {
        effects->step(kFrameSeconds, kViewProjection);
        ++frames;
    }
    EXPECT_EQ(frames, 44);
    const float ended = burst(0).elapsedSeconds;
    EXPECT_NEAR(ended, 0.704f, 1e-5f);
    effects->step(kFrameSeconds, kViewProjection);
    EXPECT_EQ(burst(0).elapsedSeconds, ended) << "an ended burst stays idle";
    EXPECT_EQ(GetCapturedStderr(), "") << "no GL error during a burst's life";
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

// An error someone left pending is reported by the pass's first check, under its own label.
TEST_F(ParticleTest, AnErrorLeftBeforeAPassIsReportedAsBeforeFeedback) {
    effects->trigger(glm::vec3(0.0f));
    glEnable(0xFFFF); // not a capability: GL_INVALID_ENUM
    CaptureStderr();
    effects->step(kFrameSeconds, kViewProjection);
    EXPECT_EQ(GetCapturedStderr(), "Error @ Before feedback:\nGL: enum argument out of range.\n");
}

TEST_F(ParticleTest, ZeroFrameTimeKeepsABurstLiveAndStill) {
    effects->trigger(glm::vec3(0.0f));
    GLuint previous = 0;
    for (int frame = 0; frame < 100; ++frame) {
        effects->step(0.0f, kViewProjection);
        const GLuint drawn = drawnBuffer();
        if (frame > 0) {
            EXPECT_EQ(simulatedBuffer(), previous)
                << "what was drawn is read next, frame " << frame;
            EXPECT_NE(drawn, previous) << "the buffers swap every pass, frame " << frame;
        }
        previous = drawn;
    }
    EXPECT_EQ(burst(0).elapsedSeconds, 0.0f);
    EXPECT_TRUE(burst(0).live());
    for (const Particle& particle : readRecords(previous)) {
        ASSERT_EQ(particle.position, glm::vec3(0.0f));
        ASSERT_EQ(particle.age, 0.001f);
    }
}

// Idle bursts must not touch GL: the frame's state is exactly as the caller left it and
// nothing is drawn or captured.
TEST_F(ParticleTest, StepBeforeAnyHitLeavesGlAlone) {
    const Buffer sentinel = Buffer::create();
    glBindBuffer(GL_ARRAY_BUFFER, sentinel.name());
    glUseProgram(0);
    GLuint query = 0;
    glGenQueries(1, &query);

    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    effects->step(kFrameSeconds, kViewProjection);
    glEndQuery(GL_PRIMITIVES_GENERATED);

    GLuint generated = 1;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &generated);
    EXPECT_EQ(generated, 0u);
    EXPECT_EQ(intState(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(static_cast<GLuint>(intState(GL_ARRAY_BUFFER_BINDING)), sentinel.name());
    EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
    for (const ParticleSystem& system : effects->systems) {
        EXPECT_EQ(system.elapsedSeconds, 0.701f);
    }

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteQueries(1, &query);
}

// Runs the test body from bin/ of a copy of the asset tree whose shader files the test
// may spoil, and comes back to the real bin/ afterwards.
class BrokenShaderTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        home = fs::current_path();
        const fs::path shaders = fs::path(tree.path()) / "Brakkel_game" / "Shaders";
        fs::create_directories(shaders);
        fs::create_directories(fs::path(tree.path()) / "bin");
        for (const char* name :
             {"particle.vert", "particle.geom", "postParticle.vert", "postParticle.frag"}) {
            fs::copy_file(home / kShaderDir / name, shaders / name);
        }
        fs::current_path(fs::path(tree.path()) / "bin");
    }
    void TearDown() override { fs::current_path(home); }

    void spoil(const char* name) {
        std::ofstream(fs::path(tree.path()) / "Brakkel_game" / "Shaders" / name)
            << "#version 330 core\nvoid main() { this is not GLSL }\n";
    }

    TempDir tree;
    fs::path home;
};

TEST_F(BrokenShaderTest, BrokenFragmentStageIsReportedAndBurstsStillRun) {
    spoil("postParticle.frag");
    CaptureStdout();
    CaptureStderr();
    ParticleEffects effects(kSeed);
    const std::string out = GetCapturedStdout();
    const std::string err = GetCapturedStderr();
    EXPECT_EQ(out, "Init particle Shaders: 1\n");
    EXPECT_NE(err.find("Error compiling FS: '"), std::string::npos) << err;

    CaptureStderr();
    ParticleSimProgram simulation;
    ParticleDrawProgram drawing;
    EXPECT_TRUE(simulation.init());
    EXPECT_FALSE(drawing.init()) << "init is false when the program is not ready";
    GetCapturedStderr();

    effects.trigger(glm::vec3(0.0f));
    int frames = 0;
    CaptureStderr();
    while (effects.systems[0].live() && frames < 100) {
        effects.step(kFrameSeconds, kViewProjection);
        ++frames;
    }
    GetCapturedStderr();
    takeGlError();
    EXPECT_EQ(frames, 44) << "the burst still runs its course";
}

TEST_F(BrokenShaderTest, BrokenSimulationIsReportedAndFramesGoOn) {
    spoil("particle.geom");
    CaptureStdout();
    CaptureStderr();
    ParticleEffects effects(kSeed);
    const std::string out = GetCapturedStdout();
    const std::string err = GetCapturedStderr();
    EXPECT_EQ(out, "Init particle Shaders: 1\n");
    EXPECT_NE(err.find("Error compiling GS: '"), std::string::npos) << err;
    EXPECT_NE(err.find("Error linking shader program: '"), std::string::npos) << err;

    CaptureStderr();
    ParticleSimProgram simulation;
    ParticleDrawProgram drawing;
    EXPECT_FALSE(simulation.init()) << "init is false when the program is not ready";
    EXPECT_TRUE(drawing.init());
    GetCapturedStderr();

    effects.trigger(glm::vec3(0.0f));
    CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) {
        effects.step(kFrameSeconds, kViewProjection);
    }
    const std::string frameErrors = GetCapturedStderr();
    takeGlError();
    EXPECT_NE(frameErrors.find("Error @ "), std::string::npos) << frameErrors;
    EXPECT_NEAR(effects.systems[0].elapsedSeconds, 3 * kFrameSeconds, 1e-6f);
    EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
}

} // namespace
