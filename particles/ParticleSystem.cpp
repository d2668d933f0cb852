#include "particles/ParticleSystem.h"

#include "platform/GlCheck.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <utility>

namespace {

constexpr GLsizeiptr kBufferBytes = kParticlesPerBurst * sizeof(Particle); // 32000 bytes
constexpr unsigned int kRandomSteps = 4000; // resolution of one random component in [-1, 1)
constexpr float kPullIn = 0.8f;             // how far a vector outside the unit ball is pulled in
constexpr float kVelocityDivisor = 5.0f;    // initial velocities have length at most 0.2
constexpr float kFreshType = 1.0f;          // type of a record that has not been simulated yet
constexpr float kInitialAge = 0.001f;       // milliseconds
constexpr float kMillisecondsPerSecond = 1000.0f;
// A burst that was never emitted counts as just past its lifetime.
constexpr float kIdleSeconds = 0.701f;

// One component in [-1, 1) in steps of 2/4000.
float randomComponent(std::mt19937& random) {
    return (static_cast<float>(random() % kRandomSteps) / kRandomSteps - 0.5f) * 2.0f;
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

ParticleSystem::ParticleSystem(std::mt19937& random) : elapsedSeconds(kIdleSeconds) {
    checkGlError("Before feedback");
    transformFeedbacks = {TransformFeedback::create(), TransformFeedback::create()};
    checkGlError("After feedback");
    particleBuffers = {Buffer::create(), Buffer::create()};
    checkGlError("After feedback buffer");

    for (Particle& particle : initialParticles) {
        // The order of the draws (z, then y, then x) fixes which burst gets which vectors.
        glm::vec3 r;
        r.z = randomComponent(random);
        r.y = randomComponent(random);
        r.x = randomComponent(random);
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

void ParticleSystem::emit(glm::vec3 position, int sparks) {
    sparkCount = std::clamp(sparks, 0, kParticlesPerBurst);
    elapsedSeconds = 0.0f;
    emitterPosition = position;
    uploadPending = true;
}

void ParticleSystem::upload(const ParticleSimProgram& simulation) {
    targetIndex = 1;
    isFirstUpdate = true;
    sourceIndex = 0;
    for (int i = 0; i < 2; ++i) {
        glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, transformFeedbacks[i].name());
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, particleBuffers[i].name());
        glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
        glBindBuffer(GL_ARRAY_BUFFER, particleBuffers[i].name());
        glBufferData(GL_ARRAY_BUFFER, kBufferBytes, initialParticles.data(), GL_DYNAMIC_DRAW);
    }
    glUseProgram(simulation.shaderProgram.name());
    glUniform1f(simulation.lifeTimeLocation, kBurstLifeSeconds * kMillisecondsPerSecond);
    uploadPending = false;
}

void ParticleSystem::advance(float deltaSeconds, const glm::mat4& viewProjection,
                             const ParticleSimProgram& simulation,
                             const ParticleDrawProgram& drawing) {
    if (uploadPending) {
        upload(simulation);
    }
    elapsedSeconds += deltaSeconds;
    simulate(deltaSeconds, simulation);
    draw(viewProjection, drawing);
    std::swap(sourceIndex, targetIndex);
}

void ParticleSystem::rehearse(const glm::mat4& viewProjection, const ParticleSimProgram& simulation,
                              const ParticleDrawProgram& drawing, int steps) {
    const float idleSeconds = elapsedSeconds;
    const glm::vec3 idlePosition = emitterPosition;
    const int idleSparks = sparkCount;
    const bool idlePending = uploadPending;
    emit(idlePosition, 1);
    for (int step = 0; step < steps; ++step) {
        advance(0.0f, viewProjection, simulation, drawing);
    }
    // An emission uploads the records and starts from them again.
    elapsedSeconds = idleSeconds;
    emitterPosition = idlePosition;
    sparkCount = idleSparks;
    uploadPending = idlePending;
}

void ParticleSystem::simulate(float deltaSeconds, const ParticleSimProgram& simulation) {
    glUseProgram(simulation.shaderProgram.name());
    glUniform1f(simulation.timeLocation, elapsedSeconds * kMillisecondsPerSecond);
    glUniform1f(simulation.deltaTimeLocation, deltaSeconds * kMillisecondsPerSecond);

    glEnable(GL_RASTERIZER_DISCARD);
    checkGlError("Before feedback");
    glBindBuffer(GL_ARRAY_BUFFER, particleBuffers[sourceIndex].name());
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, transformFeedbacks[targetIndex].name());
    checkGlError("After feedback");

    for (const AttributeLayout& attribute : kParticleAttributes) {
        glEnableVertexAttribArray(attribute.location);
        glVertexAttribPointer(attribute.location, attribute.components, GL_FLOAT, GL_FALSE,
                              sizeof(Particle), byteOffset(attribute.offset));
    }
    checkGlError("After vertex attrib");

    glBeginTransformFeedback(GL_POINTS);
    if (isFirstUpdate) {
        glDrawArrays(GL_POINTS, 0, sparkCount);
        isFirstUpdate = false;
        checkGlError("After first");
    } else {
        glDrawTransformFeedback(GL_POINTS, transformFeedbacks[sourceIndex].name());
    }
    glEndTransformFeedback();
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
    checkGlError("After draw");

    for (const AttributeLayout& attribute : kParticleAttributes) {
        glDisableVertexAttribArray(attribute.location);
    }
}

void ParticleSystem::draw(const glm::mat4& viewProjection,
                          const ParticleDrawProgram& drawing) const {
    glEnable(GL_PROGRAM_POINT_SIZE);
    glEnable(GL_POINT_SMOOTH);
    glUseProgram(drawing.shaderProgram.name());

    const glm::mat4 model = glm::translate(glm::mat4(1.0f), emitterPosition);
    const glm::mat4 mvp = viewProjection * model;
    glUniformMatrix4fv(drawing.viewMatrixLocation, 1, GL_FALSE, glm::value_ptr(mvp));

    glDisable(GL_RASTERIZER_DISCARD);
    glBindBuffer(GL_ARRAY_BUFFER, particleBuffers[targetIndex].name());
    glEnableVertexAttribArray(kDrawPositionLocation);
    glVertexAttribPointer(kDrawPositionLocation, 3, GL_FLOAT, GL_FALSE, sizeof(Particle),
                          byteOffset(offsetof(Particle, position)));
    glDrawTransformFeedback(GL_POINTS, transformFeedbacks[targetIndex].name());
    glDisableVertexAttribArray(kDrawPositionLocation);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_PROGRAM_POINT_SIZE);
}
