#pragma once

#include "assets/Vertex.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <string>
#include <vector>

// Expects actual to hold expected's vertices in order, each position moved by offset.
inline void expectSameVertices(const std::vector<Vertex>& actual,
                               const std::vector<Vertex>& expected,
                               glm::vec3 offset = glm::vec3(0.0f)) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE("vertex " + std::to_string(i));
        EXPECT_EQ(actual[i].position, expected[i].position + offset);
        EXPECT_EQ(actual[i].normal, expected[i].normal);
        EXPECT_EQ(actual[i].uv, expected[i].uv);
    }
}
