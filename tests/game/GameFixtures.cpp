#include "GameFixtures.h"

#include "game/Tank.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const char* const kVertexSource = R"(#version 130
in vec3 position;
uniform mat4 M;
void main() { gl_Position = M * vec4(position, 1.0); }
)";

const char* const kFragmentSource = R"(#version 130
uniform float alpha;
uniform float ka;
uniform float kd;
uniform float ks;
uniform vec3 ambientColor;
uniform vec3 diffuseColor;
uniform vec3 specularColor;
uniform uint phongPower;
out vec4 colour;
void main() {
    vec3 lit = ka * ambientColor + kd * diffuseColor + ks * specularColor;
    colour = vec4(lit * float(phongPower), alpha);
}
)";

GLuint compile(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    EXPECT_EQ(ok, GL_TRUE) << "test shader did not compile";
    return shader;
}
} // namespace

CountingMesh* makeBoundsMesh(GLuint program, glm::vec3 low, glm::vec3 high) {
    Vertex vertices[3];
    vertices[0].position = low;
    vertices[1].position = high;
    vertices[2].position = glm::vec3(low.x, high.y, high.z);
    return new CountingMesh(program, vertices, 3);
}

GLuint makeLightingProgram() {
    const GLuint vertex = compile(GL_VERTEX_SHADER, kVertexSource);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentSource);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, 0, "position");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    EXPECT_EQ(ok, GL_TRUE) << "test program did not link";
    return program;
}

void GameTest::SetUp() {
    GlTest::SetUp();
    tanksCreated = 0;
    tankMeshesReleased = false;
    program = makeLightingProgram();
}

void GameTest::TearDown() {
    glUseProgram(0);
    glDeleteProgram(program);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

void TankWorldTest::SetUp() {
    GameTest::SetUp();
    hull = makeBoundsMesh(program, glm::vec3(-1, 0, -1), glm::vec3(1, 1, 1));
    turret = makeBoundsMesh(program, glm::vec3(-0.5f, 1, -0.5f), glm::vec3(0.5f, 1.5f, 2));
    bullets = std::make_unique<BulletSystem>(
        program, std::vector<Mesh*>{makeBoundsMesh(program, glm::vec3(-0.1f, 0, -0.2f),
                                                   glm::vec3(0.1f, 0.1f, 0.2f))});
}

void TankWorldTest::TearDown() {
    tanks.clear();
    if (!tankMeshesReleased) {
        delete hull;
        delete turret;
    }
    bullets.reset();
    GameTest::TearDown();
}

Tank& TankWorldTest::addTank(glm::vec3 position, float heading) {
    tanks.push_back(std::make_unique<Tank>(bullets.get(), program, position.x, position.y,
                                           position.z, heading, std::vector<Mesh*>{hull},
                                           std::vector<Mesh*>{turret}));
    return *tanks.back();
}
