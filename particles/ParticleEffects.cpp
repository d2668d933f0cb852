#include "particles/ParticleEffects.h"

ParticleEffects::ParticleEffects() {}

ParticleEffects::~ParticleEffects() {}

void ParticleEffects::trigger(glm::vec3) {}

void ParticleEffects::step(int, glm::mat4) {}
