#pragma once

#include <glm/glm.hpp>

// Expects each component of actual within tolerance of expected.
void expectVec3(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-5f);
