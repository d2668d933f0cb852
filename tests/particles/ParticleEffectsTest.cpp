#include "ParticleFixture.h"

#include "particles/ParticleShader.h"
#include "particles/PostParticle.h"
#include "render/AssetPaths.h"
#include "support/TempFiles.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

const glm::mat4 kViewProjection(1.0f);

TEST_F(ParticleTest, BothProgramsBuildAndReportZero) {
    EXPECT_EQ(initOutput, "Init particle Shaders: 0\n");
    ASSERT_NE(particleShader, nullptr);
    ASSERT_NE(postParticleShader, nullptr);
    EXPECT_NE(particleShader->shaderProgram, 0u);
    EXPECT_TRUE(particleShader->shaderObjects.empty());
    EXPECT_NE(particleShader->deltaTimeLocation, -1);
    EXPECT_NE(particleShader->timeLocation, -1);
    EXPECT_NE(particleShader->lifeTimeLocation, -1);
    EXPECT_NE(postParticleShader->viewMatrixLocation, -1);
    EXPECT_EQ(effects->systemCount, 10);
    EXPECT_EQ(effects->systems.size(), 10u);
    EXPECT_EQ(effects->nextSystem, 0);
}

TEST_F(ParticleTest, InitialRecordsAreSlowFreshAndDifferPerBurst) {
    for (ParticleSystem* system : effects->systems) {
        for (const Particle& particle : system->initialParticles) {
            EXPECT_LE(glm::length(particle.velocity), 0.2f + 1e-6f);
            EXPECT_EQ(particle.type, 1.0f);
            EXPECT_EQ(particle.position, glm::vec3(0.0f));
            EXPECT_EQ(particle.age, 0.001f);
        }
    }
    for (int a = 0; a < 10; ++a) {
        for (int b = a + 1; b < 10; ++b) {
            EXPECT_NE(std::memcmp(burst(a).initialParticles.data(),
                                  burst(b).initialParticles.data(), 32000),
                      0)
                << "bursts " << a << " and " << b;
        }
    }
}

// The z, y, x draw order and the 0.8 pull-in decide every velocity of a seeded run.
TEST_F(ParticleTest, InitialVelocitiesFollowTheSeededDraws) {
    constexpr unsigned kSeed = 1234;
    std::srand(kSeed);
    glm::vec3 expected[1000];
    int pulledIn = 0;
    for (glm::vec3& r : expected) {
        auto component = [] { return (static_cast<float>(std::rand() % 4000) / 4000 - 0.5f) * 2; };
        r.z = component();
        r.y = component();
        r.x = component();
        if (glm::length(r) > 1.0f) {
            r -= 0.8f * r / glm::length(r);
            ++pulledIn;
        }
        r /= 5.0f;
    }
    ASSERT_GT(pulledIn, 0) << "the seed must exercise the pull-in";
    std::srand(kSeed);
    ParticleSystem system;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(system.initialParticles[i].velocity, expected[i]) << "record " << i;
    }
}

TEST_F(ParticleTest, TriggerUsesTheBurstsInTurnAndWraps) {
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(effects->nextSystem, i);
        effects->trigger(glm::vec3(static_cast<float>(i), 1.0f, 2.0f));
        EXPECT_EQ(burst(i).elapsedMs, 0);
        EXPECT_EQ(burst(i).emitterPosition, glm::vec3(static_cast<float>(i), 1.0f, 2.0f));
    }
    EXPECT_EQ(effects->nextSystem, 0);
}

TEST_F(ParticleTest, EleventhTriggerRestartsTheFirstBurstAtTheNewPlace) {
    for (int i = 0; i < 10; ++i) {
        effects->trigger(glm::vec3(static_cast<float>(i), 0.0f, 0.0f));
    }
    for (int frame = 0; frame < 5; ++frame) {
        effects->step(kFrameMs, kViewProjection);
    }
    ASSERT_FALSE(burst(0).isFirstUpdate);
    ASSERT_EQ(burst(0).sourceIndex, 1);

    const glm::vec3 hit(-4.0f, 3.0f, 7.5f);
    effects->trigger(hit);
    EXPECT_EQ(burst(0).elapsedMs, 0);
    EXPECT_EQ(burst(0).emitterPosition, hit);
    EXPECT_TRUE(burst(0).isFirstUpdate);
    EXPECT_EQ(burst(0).sourceIndex, 0);
    EXPECT_EQ(burst(0).targetIndex, 1);
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(burst(i).elapsedMs, 5 * kFrameMs);
    }
    EXPECT_EQ(effects->nextSystem, 1);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ParticleTest, BurstAtSixteenMillisecondFramesRunsFortyFourFrames) {
    effects->trigger(glm::vec3(0.0f));
    CaptureStderr();
    int frames = 0;
    for (int guard = 0; guard < 100 && burst(0).elapsedMs < 700; ++guard) {
        effects->step(kFrameMs, kViewProjection);
        ++frames;
    }
    EXPECT_EQ(frames, 44);
    EXPECT_EQ(burst(0).elapsedMs, 704);
    effects->step(kFrameMs, kViewProjection);
    EXPECT_EQ(burst(0).elapsedMs, 704) << "an ended burst stays idle";
    EXPECT_EQ(GetCapturedStderr(), "") << "no GL error during a burst's life";
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ParticleTest, ZeroFrameTimeKeepsABurstLive) {
    effects->trigger(glm::vec3(0.0f));
    for (int frame = 0; frame < 100; ++frame) {
        effects->step(0, kViewProjection);
        EXPECT_EQ(burst(0).sourceIndex, (frame + 1) % 2) << "the buffers swap every pass";
    }
    EXPECT_EQ(burst(0).elapsedMs, 0);
    EXPECT_FALSE(burst(0).isFirstUpdate);
}

// Idle bursts must not touch GL: the frame's state is exactly as the caller left it and
// nothing is drawn or captured.
TEST_F(ParticleTest, StepBeforeAnyHitLeavesGlAlone) {
    GLuint sentinel = 0;
    glGenBuffers(1, &sentinel);
    glBindBuffer(GL_ARRAY_BUFFER, sentinel);
    glUseProgram(0);
    GLuint query = 0;
    glGenQueries(1, &query);

    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    effects->step(kFrameMs, kViewProjection);
    glEndQuery(GL_PRIMITIVES_GENERATED);

    GLuint generated = 1;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &generated);
    EXPECT_EQ(generated, 0u);
    GLint program = -1;
    GLint arrayBuffer = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    EXPECT_EQ(program, 0);
    EXPECT_EQ(arrayBuffer, static_cast<GLint>(sentinel));
    EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
    for (ParticleSystem* system : effects->systems) {
        EXPECT_EQ(system->elapsedMs, 701);
    }

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, &sentinel);
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
    ParticleEffects effects;
    const std::string out = GetCapturedStdout();
    const std::string err = GetCapturedStderr();
    EXPECT_EQ(out, "Init particle Shaders: 1\n");
    EXPECT_NE(err.find("Error compiling FS: '"), std::string::npos) << err;

    effects.trigger(glm::vec3(0.0f));
    int frames = 0;
    CaptureStderr();
    while (effects.systems[0]->elapsedMs < 700 && frames < 100) {
        effects.step(kFrameMs, kViewProjection);
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
    ParticleEffects effects;
    const std::string out = GetCapturedStdout();
    const std::string err = GetCapturedStderr();
    EXPECT_EQ(out, "Init particle Shaders: 1\n");
    EXPECT_NE(err.find("Error compiling GS: '"), std::string::npos) << err;
    EXPECT_NE(err.find("Error linking shader program: '"), std::string::npos) << err;

    effects.trigger(glm::vec3(0.0f));
    CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) {
        effects.step(kFrameMs, kViewProjection);
    }
    const std::string frameErrors = GetCapturedStderr();
    takeGlError();
    EXPECT_NE(frameErrors.find("Error @ "), std::string::npos) << frameErrors;
    EXPECT_EQ(effects.systems[0]->elapsedMs, 3 * kFrameMs);
    EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
}

} // namespace
