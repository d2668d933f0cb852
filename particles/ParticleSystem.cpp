#include "particles/ParticleSystem.h"

#include "app/GlCheck.h"
#include "particles/ParticleShader.h"
#include "particles/PostParticle.h"
#include "render/Math.h"

#include <cstdlib>

namespace {

constexpr GLsizeiptr kBufferBytes = kParticlesPerBurst * sizeof(Particle); // 32000 bytes
constexpr int kRandomSteps = 4000;       // resolution of one random component in [-1, 1)
constexpr float kPullIn = 0.8f;          // how far a vector outside the unit ball is pulled in
constexpr float kVelocityDivisor = 5.0f; // initial velocities have length at most 0.2
constexpr float kFreshType = 1.0f;       // type of a record that has not been simulated yet
constexpr float kInitialAge = 0.001f;    // milliseconds
constexpr float kLifeTimeMs = static_cast<float>(kBurstLifeMs);

// One component in [-1, 1) in steps of 2/4000.
float randomComponent() {
    return (static_cast<float>(std::rand() % kRandomSteps) / kRandomSteps - 0.5f) * 2.0f;
}

// Attribute locations and layout of the Particle record.
struct AttributeLayout {
    GLuint location;
    GLint components;
    std::size_t offset;
};
constexpr AttributeLayout kParticleAttributes[] = {
    {0, 1, offsetof(Particle, type)},
    {1, 3, offsetof(Particle, position)},
    {2, 3, offsetof(Particle, velocity)},
    {3, 1, offsetof(Particle, age)},
};
constexpr GLuint kDrawPositionLocation = 0;

const void* byteOffset(std::size_t offset) {
    return reinterpret_cast<const void*>(offset);
}

} // namespace

ParticleSystem::ParticleSystem() {
    checkGlError("Before feedback");
    glGenTransformFeedbacks(2, transformFeedbacks);
    checkGlError("After feedback");
    glGenBuffers(2, particleBuffers);
    checkGlError("After feedback buffer");

    for (Particle& particle : initialParticles) {
        // The order of the draws (z, then y, then x) fixes which burst gets which vectors.
        glm::vec3 r;
        r.z = randomComponent();
        r.y = randomComponent();
        r.x = randomComponent();
        const float length = glm::length(r);
        if (length > 1.0f) {
            r -= kPullIn * r / length;
        }
        particle.type = kFreshType;
        particle.position = glm::vec3(0.0f);
        particle.velocity = r / kVelocityDivisor;
        particle.age = kInitialAge;
    }
}

ParticleSystem::~ParticleSystem() {
    glDeleteBuffers(2, particleBuffers);
    glDeleteTransformFeedbacks(2, transformFeedbacks);
}

void ParticleSystem::emit(glm::vec3 position) {
    targetIndex = 1;
    isFirstUpdate = true;
    sourceIndex = 0;
    elapsedMs = 0;
    emitterPosition = position;

    for (int i = 0; i < 2; ++i) {
        glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, transformFeedbacks[i]);
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, particleBuffers[i]);
        glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
        glBindBuffer(GL_ARRAY_BUFFER, particleBuffers[i]);
        glBufferData(GL_ARRAY_BUFFER, kBufferBytes, initialParticles.data(), GL_DYNAMIC_DRAW);
    }

    glUseProgram(particleShader->shaderProgram);
    glUniform1f(particleShader->lifeTimeLocation, kLifeTimeMs);
}

void ParticleSystem::simulate(int deltaMs) {
    glUseProgram(particleShader->shaderProgram);
    glUniform1f(particleShader->timeLocation, static_cast<float>(elapsedMs));
    glUniform1f(particleShader->deltaTimeLocation, static_cast<float>(deltaMs));

    glEnable(GL_RASTERIZER_DISCARD);
    checkGlError("Before feedback");
    glBindBuffer(GL_ARRAY_BUFFER, particleBuffers[sourceIndex]);
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, transformFeedbacks[targetIndex]);
    checkGlError("After feedback");

    for (const AttributeLayout& attribute : kParticleAttributes) {
        glEnableVertexAttribArray(attribute.location);
        glVertexAttribPointer(attribute.location, attribute.components, GL_FLOAT, GL_FALSE,
                              sizeof(Particle), byteOffset(attribute.offset));
    }
    checkGlError("After vertex attrib");

    glBeginTransformFeedback(GL_POINTS);
    if (isFirstUpdate) {
        glDrawArrays(GL_POINTS, 0, kParticlesPerBurst);
        isFirstUpdate = false;
        checkGlError("After first");
    } else {
        glDrawTransformFeedback(GL_POINTS, transformFeedbacks[sourceIndex]);
    }
    glEndTransformFeedback();
    checkGlError("After draw");

    for (const AttributeLayout& attribute : kParticleAttributes) {
        glDisableVertexAttribArray(attribute.location);
    }
}

void ParticleSystem::draw(glm::mat4 viewProjection) {
    glEnable(GL_PROGRAM_POINT_SIZE);
    glEnable(GL_POINT_SMOOTH);
    glUseProgram(postParticleShader->shaderProgram);

    const glm::mat4 model = glm::translate(glm::mat4(1.0f), emitterPosition);
    const glm::mat4 mvp = viewProjection * model;
    glUniformMatrix4fv(postParticleShader->viewMatrixLocation, 1, GL_FALSE, glm::value_ptr(mvp));

    glDisable(GL_RASTERIZER_DISCARD);
    glBindBuffer(GL_ARRAY_BUFFER, particleBuffers[targetIndex]);
    glEnableVertexAttribArray(kDrawPositionLocation);
    glVertexAttribPointer(kDrawPositionLocation, 3, GL_FLOAT, GL_FALSE, sizeof(Particle),
                          byteOffset(offsetof(Particle, position)));
    glDrawTransformFeedback(GL_POINTS, transformFeedbacks[targetIndex]);
    glDisableVertexAttribArray(kDrawPositionLocation);

    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_PROGRAM_POINT_SIZE);
}
