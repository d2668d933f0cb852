#include "render/ShaderLoader.h"
#include "render/Technique.h"

#include "support/GlContext.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

const char* const kVertexShader = R"(#version 330
layout(location = 0) in vec3 position;
uniform mat4 M;
void main() { gl_Position = M * vec4(position, 1.0); }
)";

const char* const kFragmentShader = R"(#version 330
out vec4 color;
void main() { color = vec4(1.0); }
)";

TEST(ReadShaderSourceTest, PutsANewlineBeforeEveryLine) {
    TempDir dir;
    EXPECT_EQ(readShaderSource(dir.write("two.txt", "A\nB\n")), "\nA\nB");
    EXPECT_EQ(readShaderSource(dir.write("unterminated.txt", "A\nB")), "\nA\nB");
    EXPECT_EQ(readShaderSource(dir.write("blank-line.txt", "A\n\nB\n")), "\nA\n\nB");
}

TEST(ReadShaderSourceTest, EmptyAndMissingFilesGiveAnEmptySource) {
    TempDir dir;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(readShaderSource(dir.write("empty.txt", "")), "");
    EXPECT_EQ(readShaderSource(dir.path() + "/missing.txt"), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

using LoadShadersTest = GlTest;

TEST_F(LoadShadersTest, GoodPairPrintsEachStepWithItsEmptyLog) {
    TempDir dir;
    const std::string vertex = dir.write("good.vert", kVertexShader);
    const std::string fragment = dir.write("good.frag", kFragmentShader);
    testing::internal::CaptureStdout();
    Program program = loadShaders(vertex, fragment);
    const std::string output = testing::internal::GetCapturedStdout();

    EXPECT_EQ(output, "Compiling shader : " + vertex + "\n\n" + "Compiling shader : " + fragment +
                          "\n\n" + "Linking program\n\n");
    ASSERT_NE(program.name(), 0u);
    EXPECT_EQ(linkStatus(program.name()), GL_TRUE);
    // The shader objects are only flagged for deletion; the program keeps them attached.
    GLuint attached[2] = {0, 0};
    GLsizei attachedCount = 0;
    glGetAttachedShaders(program.name(), 2, &attachedCount, attached);
    ASSERT_EQ(attachedCount, 2);
    GLint flagged = GL_FALSE;
    glGetShaderiv(attached[0], GL_DELETE_STATUS, &flagged);
    EXPECT_EQ(flagged, GL_TRUE);

    // Dropping the handle deletes the program and, with it, the flagged shader objects.
    const GLuint name = program.name();
    program.reset();
    EXPECT_EQ(glIsProgram(name), GL_FALSE);
    EXPECT_EQ(glIsShader(attached[0]), GL_FALSE);
    EXPECT_EQ(glIsShader(attached[1]), GL_FALSE);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Once built, the game lets the GLSL compiler's working memory go (glReleaseShaderCompiler). A
// program compiled after that, from sources new to this run so that no shader cache holds it,
// calling built-in functions, still compiles, links and has its uniforms.
TEST_F(LoadShadersTest, AProgramStillBuildsOnceTheCompilerIsReleased) {
    ASSERT_NE(glReleaseShaderCompiler, nullptr);
    glReleaseShaderCompiler();
    const std::string fresh =
        "// " + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "\n";
    TempDir dir;
    const std::string vertex = dir.write("later.vert", std::string(kVertexShader) + fresh);
    const std::string fragment = dir.write("later.frag", std::string(R"(#version 330
uniform sampler2D picture;
uniform vec3 towards;
in vec2 uv;
out vec4 color;
void main() {
    float lit = max(dot(normalize(towards), vec3(0.0, 1.0, 0.0)), 0.0);
    color = mix(texture(picture, uv), vec4(lit), 0.5);
}
)") + fresh);
    testing::internal::CaptureStdout();
    const Program program = loadShaders(vertex, fragment);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(linkStatus(program.name()), GL_TRUE);
    EXPECT_NE(glGetUniformLocation(program.name(), "towards"), -1);
    EXPECT_NE(glGetUniformLocation(program.name(), "picture"), -1);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LoadShadersTest, MissingFilesStillPrintEveryStepAndGiveAProgram) {
    TempDir dir;
    const std::string vertex = dir.path() + "/missing.vert";
    const std::string fragment = dir.path() + "/missing.frag";
    testing::internal::CaptureStdout();
    const Program program = loadShaders(vertex, fragment);
    const std::string output = testing::internal::GetCapturedStdout();

    const std::string vertexLine = "Compiling shader : " + vertex + "\n";
    const std::string fragmentLine = "Compiling shader : " + fragment + "\n";
    EXPECT_EQ(output.rfind(vertexLine, 0), 0u) << output;
    const size_t fragmentAt = output.find(fragmentLine);
    const size_t linkAt = output.find("Linking program\n");
    ASSERT_NE(fragmentAt, std::string::npos) << output;
    ASSERT_NE(linkAt, std::string::npos) << output;
    EXPECT_LT(fragmentAt, linkAt);
    EXPECT_NE(program.name(), 0u);
    EXPECT_EQ(linkStatus(program.name()), GL_FALSE);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

using TechniqueTest = GlTest;

TEST_F(TechniqueTest, StartsEmptyAndInitCreatesTheProgram) {
    Technique technique;
    EXPECT_EQ(technique.shaderProgram.name(), 0u);
    EXPECT_TRUE(technique.shaderObjects.empty());
    EXPECT_TRUE(technique.init()) << "init is true on success";
    EXPECT_NE(technique.shaderProgram.name(), 0u);
    EXPECT_EQ(glIsProgram(technique.shaderProgram.name()), GL_TRUE);
}

TEST_F(TechniqueTest, GoodFinalizeDeletesTheShaderObjects) {
    Technique technique;
    ASSERT_TRUE(technique.init());
    testing::internal::CaptureStderr();
    EXPECT_TRUE(technique.addShader(GL_VERTEX_SHADER, kVertexShader));
    EXPECT_TRUE(technique.addShader(GL_FRAGMENT_SHADER, kFragmentShader));
    ASSERT_EQ(technique.shaderObjects.size(), 2u);
    const GLuint vertexObject = technique.shaderObjects.front().name();
    EXPECT_TRUE(technique.finalize());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(technique.shaderObjects.empty());
    // Still attached, so only flagged for deletion.
    GLint flagged = GL_FALSE;
    glGetShaderiv(vertexObject, GL_DELETE_STATUS, &flagged);
    EXPECT_EQ(flagged, GL_TRUE);
}

TEST_F(TechniqueTest, GeometryCompileErrorIsReportedAsGsAndKept) {
    Technique technique;
    ASSERT_TRUE(technique.init());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(technique.addShader(GL_GEOMETRY_SHADER, "#version 330\nthis is not glsl;\n"));
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_EQ(output.rfind("Error compiling GS: '", 0), 0u) << output;
    EXPECT_GT(output.size(), std::string("Error compiling GS: ''\n").size()) << "driver log";
    EXPECT_EQ(output.substr(output.size() - 2), "'\n");
    ASSERT_EQ(technique.shaderObjects.size(), 1u);
    GLint attached = -1;
    glGetProgramiv(technique.shaderProgram.name(), GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 0);
}

TEST_F(TechniqueTest, FailedLinkKeepsBothShaderObjectsUntilTheTechniqueGoes) {
    // The fragment stage calls a function no stage defines.
    const char* const reader = R"(#version 330
vec4 shade();
out vec4 color;
void main() { color = shade(); }
)";
    std::vector<GLuint> kept;
    GLuint program = 0;
    {
        Technique technique;
        ASSERT_TRUE(technique.init());
        testing::internal::CaptureStderr();
        EXPECT_TRUE(technique.addShader(GL_VERTEX_SHADER, kVertexShader));
        EXPECT_TRUE(technique.addShader(GL_FRAGMENT_SHADER, reader));
        EXPECT_FALSE(technique.finalize());
        const std::string output = testing::internal::GetCapturedStderr();
        EXPECT_EQ(output.rfind("Error linking shader program: '", 0), 0u) << output;
        ASSERT_EQ(technique.shaderObjects.size(), 2u);
        for (const Shader& shader : technique.shaderObjects) {
            EXPECT_EQ(glIsShader(shader.name()), GL_TRUE);
            GLint flagged = GL_TRUE;
            glGetShaderiv(shader.name(), GL_DELETE_STATUS, &flagged);
            EXPECT_EQ(flagged, GL_FALSE);
            kept.push_back(shader.name());
        }
        program = technique.shaderProgram.name();
    }
    // The program goes with the technique, and the shader objects, detached, go with it.
    EXPECT_EQ(glIsProgram(program), GL_FALSE);
    for (GLuint shader : kept) {
        EXPECT_EQ(glIsShader(shader), GL_FALSE);
    }
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
