#pragma once

#include "particles/ParticleEffects.h"
#include "particles/ParticleSystem.h"
#include "support/GlContext.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

// The seed the particle tests build their effects with.
constexpr unsigned int kSeed = 11;
// A view and projection that leave the emitter-relative positions as they are.
inline const glm::mat4 kViewProjection(1.0f);

// A ParticleEffects built from the shader files of the build tree with kSeed, with the line it
// printed.
class ParticleTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        testing::internal::CaptureStdout();
        effects = std::make_unique<ParticleEffects>(kSeed);
        initOutput = testing::internal::GetCapturedStdout();
    }
    void TearDown() override { effects.reset(); }

    ParticleSystem& burst(int index) { return effects->systems.at(index); }

    std::unique_ptr<ParticleEffects> effects;
    std::string initOutput;
};

// A frame of 16 ms, which the particle motion is measured in.
constexpr float kFrameSeconds = 0.016f;

// The buffer a burst's drawing pass last took its points from, i.e. the records its
// simulation last captured: the pass points attribute 0 into it, and an attribute keeps its
// buffer when it is disabled again.
inline GLuint drawnBuffer() {
    GLint buffer = 0;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
    return static_cast<GLuint>(buffer);
}

// The buffer a burst's simulation last read its records from, through attributes 1 to 3,
// which the drawing pass leaves alone.
inline GLuint simulatedBuffer() {
    GLint buffer = 0;
    glGetVertexAttribiv(1, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
    return static_cast<GLuint>(buffer);
}

// The first count records a buffer holds.
inline std::vector<Particle> readRecords(GLuint buffer, int count = kParticlesPerBurst) {
    std::vector<Particle> records(static_cast<std::size_t>(count));
    glBindBuffer(GL_COPY_READ_BUFFER, buffer);
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0,
                       static_cast<GLsizeiptr>(records.size() * sizeof(Particle)), records.data());
    glBindBuffer(GL_COPY_READ_BUFFER, 0);
    return records;
}

// The motion particle.geom gives a record per 16-ms frame.
constexpr float kGravity = 0.0035f;    // units per frame, per frame
constexpr float kDragPerFrame = 0.94f; // velocity kept per frame
constexpr float kFrameMillis = 16.0f;

// Expects moved to be the burst's initial records after one simulation pass of
// deltaSeconds: moved along their velocity, slowed by gravity and drag, aged by the frame's
// milliseconds, and given a spark's share of the lifetime as their type.
inline void expectFirstPassOf(const ParticleSystem& system, const std::vector<Particle>& moved,
                              float deltaSeconds) {
    const float millis = deltaSeconds * 1000.0f;
    const float frames = millis / kFrameMillis;
    ASSERT_EQ(moved.size(), system.initialParticles.size());
    for (std::size_t i = 0; i < moved.size(); ++i) {
        const Particle& initial = system.initialParticles[i];
        const glm::vec3 velocity = (initial.velocity - glm::vec3(0.0f, kGravity * frames, 0.0f)) *
                                   std::pow(kDragPerFrame, frames);
        ASSERT_NEAR(glm::length(moved[i].position - initial.velocity * frames), 0.0f, 1e-6f) << i;
        ASSERT_NEAR(glm::length(moved[i].velocity - velocity), 0.0f, 1e-5f) << i;
        ASSERT_FLOAT_EQ(moved[i].age, initial.age + millis) << i;
        ASSERT_GE(moved[i].type, 0.35f) << "a spark's share of the lifetime, record " << i;
        ASSERT_LT(moved[i].type, 1.0f) << i;
    }
}
