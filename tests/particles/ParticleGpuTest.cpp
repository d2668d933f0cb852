#include "ParticleFixture.h"

#include "game/Angles.h"
#include "platform/WindowSize.h"
#include "render/GlObject.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

TEST_F(ParticleTest, FirstPassMovesEveryRecordOneFrame) {
    effects->trigger(glm::vec3(5.0f, 1.0f, -3.0f));
    effects->step(kFrameSeconds, kViewProjection);
    const GLuint drawn = drawnBuffer();
    ASSERT_NE(drawn, 0u);
    expectFirstPassOf(burst(0), readRecords(drawn), kFrameSeconds);

    effects->step(kFrameSeconds, kViewProjection);
    EXPECT_EQ(simulatedBuffer(), drawn) << "the buffer just drawn is read next";
    EXPECT_NE(drawnBuffer(), drawn);
}

// The frame's time reaches the simulation as fractional milliseconds: a sixtieth of a second
// ages the records by 16.67 ms, not by a truncated 16.
TEST_F(ParticleTest, FrameTimeReachesTheSimulationUntruncated) {
    constexpr float kSixtieth = 1.0f / 60.0f;
    effects->trigger(glm::vec3(0.0f));
    effects->step(kSixtieth, kViewProjection);
    const std::vector<Particle> records = readRecords(drawnBuffer());
    expectFirstPassOf(burst(0), records, kSixtieth);
    EXPECT_GT(records[0].age, 16.6f);

    GLfloat delta = 0.0f;
    glGetUniformfv(effects->simulation.shaderProgram.name(), effects->simulation.deltaTimeLocation,
                   &delta);
    EXPECT_FLOAT_EQ(delta, kSixtieth * 1000.0f);
    GLfloat lifeTime = 0.0f;
    glGetUniformfv(effects->simulation.shaderProgram.name(), effects->simulation.lifeTimeLocation,
                   &lifeTime);
    EXPECT_FLOAT_EQ(lifeTime, 700.0f);
    GLfloat time = 0.0f;
    glGetUniformfv(effects->simulation.shaderProgram.name(), effects->simulation.timeLocation,
                   &time);
    EXPECT_FLOAT_EQ(time, kSixtieth * 1000.0f) << "milliseconds since the emission";
    EXPECT_FLOAT_EQ(burst(0).elapsedSeconds, kSixtieth);
}

// Every pass captures the survivors and draws exactly those: the draw's points are what the
// pass generated beyond what it captured.
TEST_F(ParticleTest, WhatIsCapturedIsWhatIsDrawn) {
    GLuint queries[2] = {0, 0};
    glGenQueries(2, queries);
    effects->trigger(glm::vec3(0.0f));

    std::vector<GLuint> captured;
    while (burst(0).live()) {
        glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, queries[0]);
        glBeginQuery(GL_PRIMITIVES_GENERATED, queries[1]);
        effects->step(kFrameSeconds, kViewProjection);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
        GLuint written = 0;
        GLuint generated = 0;
        glGetQueryObjectuiv(queries[0], GL_QUERY_RESULT, &written);
        glGetQueryObjectuiv(queries[1], GL_QUERY_RESULT, &generated);
        EXPECT_EQ(generated - written, written) << "frame " << captured.size() + 1;
        captured.push_back(written);
    }
    glDeleteQueries(2, queries);

    ASSERT_EQ(captured.size(), 44u);
    EXPECT_EQ(captured.front(), 1000u) << "no spark dies in the first frame";
    for (std::size_t i = 1; i < captured.size(); ++i) {
        EXPECT_LE(captured[i], captured[i - 1]) << "sparks only die out, frame " << i + 1;
    }
    EXPECT_GT(captured[24], 0u);
    EXPECT_LT(captured[24], 1000u) << "by 400 ms some sparks have died";
    EXPECT_EQ(captured.back(), 0u) << "nothing outlives the burst";
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A preset that spends fewer sparks on a burst simulates and draws only that many, the same
// sparks a whole burst starts with.
TEST_F(ParticleTest, ABurstOfFewerSparksSimulatesAndDrawsOnlyThose) {
    // One step of every live burst: the records its simulation wrote, and the points generated
    // by both passes.
    const auto countedStep = [this] {
        GLuint queries[2] = {0, 0};
        glGenQueries(2, queries);
        glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, queries[0]);
        glBeginQuery(GL_PRIMITIVES_GENERATED, queries[1]);
        effects->step(kFrameSeconds, kViewProjection);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
        glm::uvec2 counts(0);
        glGetQueryObjectuiv(queries[0], GL_QUERY_RESULT, &counts.x);
        glGetQueryObjectuiv(queries[1], GL_QUERY_RESULT, &counts.y);
        glDeleteQueries(2, queries);
        return counts;
    };
    effects->sparksPerBurst = 500;
    effects->trigger(glm::vec3(0.0f));
    effects->sparksPerBurst = kParticlesPerBurst; // a burst keeps the count it started with
    EXPECT_EQ(countedStep(), glm::uvec2(500, 1000)) << "500 simulated, 500 drawn";
    const std::vector<Particle> records = readRecords(drawnBuffer(), 500);
    const float frames = kFrameSeconds * 1000.0f / kFrameMillis;
    for (std::size_t i = 0; i < records.size(); ++i) {
        ASSERT_NEAR(
            glm::length(records[i].position - burst(0).initialParticles[i].velocity * frames), 0.0f,
            1e-6f)
            << "record " << i << " is the whole burst's";
    }
    for (int i = 0; i < 50; ++i) { // the small burst dies out
        effects->step(kFrameSeconds, kViewProjection);
    }
    effects->trigger(glm::vec3(1.0f));
    EXPECT_EQ(countedStep(), glm::uvec2(1000, 2000)) << "the next burst is whole";
}

TEST_F(ParticleTest, DrawingPassSwitchesItsStateOffAgain) {
    // The main pass's state around the bursts, which they must leave as it is.
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    effects->trigger(glm::vec3(0.0f));
    effects->step(kFrameSeconds, kViewProjection);
    effects->step(kFrameSeconds, kViewProjection);

    EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH));
    EXPECT_FALSE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "the global state is not touched";
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    for (GLuint attribute = 0; attribute < 4; ++attribute) {
        GLint enabled = 1;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(enabled, 0) << "attribute " << attribute;
    }
    EXPECT_EQ(static_cast<GLuint>(intState(GL_CURRENT_PROGRAM)),
              effects->drawing.shaderProgram.name());
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

// An off-screen target like the scene's: two colour outputs (lit colour, glow) and depth.
class SceneTarget {
public:
    static constexpr int kSize = 256; // pixels

    SceneTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.name());
        for (int i = 0; i < 2; ++i) {
            glBindTexture(GL_TEXTURE_2D, colours[i].name());
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         nullptr);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D,
                                   colours[i].name(), 0);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindRenderbuffer(GL_RENDERBUFFER, depth.name());
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kSize, kSize);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  depth.name());
        const GLenum buffers[] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
        glDrawBuffers(2, buffers);
        glViewport(0, 0, kSize, kSize);
    }
    // Gives the window back before the objects go.
    ~SceneTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, kWindowWidth, kWindowHeight);
    }
    SceneTarget(const SceneTarget&) = delete;
    SceneTarget& operator=(const SceneTarget&) = delete;

    bool complete() const {
        return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    void clear() const { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
    std::vector<glm::u8vec4> read(int attachment) const {
        std::vector<glm::u8vec4> pixels(kSize * kSize);
        glReadBuffer(GL_COLOR_ATTACHMENT0 + attachment);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

private:
    Framebuffer framebuffer = Framebuffer::create();
    Texture colours[2] = {Texture::create(), Texture::create()};
    Renderbuffer depth = Renderbuffer::create();
};

struct Census {
    int warmNear = 0; // hot pixels (red clearly above blue) near the emitter
    int litFar = 0;   // any light far from the emitter
    long red = 0;     // summed over the picture
    long green = 0;   // summed over the picture

    // Near 1 for white-yellow sparks, falling through orange to red.
    float warmth() const { return red == 0 ? 0.0f : static_cast<float>(green) / red; }
};

Census survey(const std::vector<glm::u8vec4>& pixels, glm::ivec2 centre, int nearRadius) {
    Census census;
    for (int y = 0; y < SceneTarget::kSize; ++y) {
        for (int x = 0; x < SceneTarget::kSize; ++x) {
            const glm::u8vec4 p = pixels[y * SceneTarget::kSize + x];
            const int distance = std::max(std::abs(x - centre.x), std::abs(y - centre.y));
            census.red += p.r;
            census.green += p.g;
            if (distance <= nearRadius && p.r > 60 && p.r > p.b + 40) {
                ++census.warmNear;
            }
            if (distance > 3 * nearRadius && (p.r | p.g | p.b) != 0) {
                ++census.litFar;
            }
        }
    }
    return census;
}

TEST_F(ParticleTest, LiveBurstShowsAsHotSparksAroundItsEmitterAndFades) {
    SceneTarget target;
    ASSERT_TRUE(target.complete());
    const glm::mat4 viewProjection =
        perspectiveDegrees(45.0f, 1.0f, 0.1f, 100.0f) *
        glm::lookAt(glm::vec3(0.0f, 1.0f, 10.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    const glm::vec3 emitter(1.5f, 0.5f, 0.0f);
    const glm::vec4 clip = viewProjection * glm::vec4(emitter, 1.0f);
    const glm::ivec2 centre((glm::vec2(clip) / clip.w * 0.5f + 0.5f) * float(SceneTarget::kSize));

    effects->trigger(emitter);
    for (int frame = 0; frame < 3; ++frame) {
        target.clear();
        effects->step(kFrameSeconds, viewProjection);
    }
    const Census early = survey(target.read(0), centre, 24);
    const Census earlyGlow = survey(target.read(1), centre, 24);
    EXPECT_GT(early.warmNear, 200)
        << "sparks around the emitter at " << centre.x << "," << centre.y;
    EXPECT_EQ(early.litFar, 0) << "the burst has only just started";
    EXPECT_GT(earlyGlow.warmNear, 200) << "the sparks glow";

    while (burst(0).elapsedSeconds < 0.56f) {
        target.clear();
        effects->step(kFrameSeconds, viewProjection);
    }
    const Census late = survey(target.read(0), centre, 24);
    EXPECT_GT(late.red, 0) << "still live at 560 ms";
    EXPECT_LT(late.warmth() + 0.2f, early.warmth()) << "the sparks cool from yellow to red";

    while (burst(0).live()) {
        target.clear();
        effects->step(kFrameSeconds, viewProjection);
    }
    EXPECT_EQ(survey(target.read(0), centre, 24).red, 0) << "an ended burst is gone";
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
