#include "render/Mesh.h"
#include "assets/ModelData.h"
#include "render/Material.h"
#include "render/Model.h"
#include "render/ShaderLoader.h"
#include "render/Technique.h"

#include "VertexExpect.h"
#include "support/GlContext.h"
#include "support/TempFiles.h"

#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kDataDir = BRAKKEL_TEST_DATA_DIR;

// Records, through transform feedback, the vertices a draw feeds to attributes 0 (position),
// 1 (normal) and 2 (texture coordinate), as Vertex records in draw order. The captured
// position is moved by the uniform "offset", which the caller sets.
class VertexCapture : public Technique {
public:
    bool init() override {
        bool built = createProgram();
        built = addShader(GL_VERTEX_SHADER, R"(#version 330
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
uniform vec3 offset;
out vec3 capturedPosition;
out vec3 capturedNormal;
out vec2 capturedUv;
void main() {
    capturedPosition = position + offset;
    capturedNormal = normal;
    capturedUv = uv;
    gl_Position = vec4(position, 1.0);
}
)") && built;
        // Must precede the link; the order is that of Vertex.
        const GLchar* varyings[] = {"capturedPosition", "capturedNormal", "capturedUv"};
        glTransformFeedbackVaryings(shaderProgram.name(), 3, varyings, GL_INTERLEAVED_ATTRIBS);
        built = finalize() && built;
        offsetLocation = glGetUniformLocation(shaderProgram.name(), "offset");
        return built;
    }

    // Makes the capture program current and runs draw, which must draw triangles, with
    // nothing rasterised; at most maxVertices are kept.
    std::vector<Vertex> capture(const std::function<void()>& draw, size_t maxVertices) const {
        const Buffer buffer = Buffer::create();
        glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, buffer.name());
        glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER,
                     static_cast<GLsizeiptr>(maxVertices * sizeof(Vertex)), nullptr,
                     GL_STATIC_READ);
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, buffer.name());
        GLuint query = 0;
        glGenQueries(1, &query);

        glUseProgram(shaderProgram.name());
        glEnable(GL_RASTERIZER_DISCARD);
        glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, query);
        glBeginTransformFeedback(GL_TRIANGLES);
        draw();
        glEndTransformFeedback();
        glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
        glDisable(GL_RASTERIZER_DISCARD);

        GLuint triangles = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &triangles);
        glDeleteQueries(1, &query);
        std::vector<Vertex> vertices(3 * static_cast<size_t>(triangles));
        glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0,
                           static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)),
                           vertices.data());
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
        glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, 0);
        return vertices;
    }

    GLint offsetLocation = -1;
};

class MeshTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        texture = Texture::create();
        testing::internal::CaptureStderr();
        const bool built = capture.init();
        const std::string log = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(built) << log;
        box = readModel(kDataDir + "/box.obj").at(0).vertices;
        ASSERT_EQ(box.size(), 36u);
    }
    void TearDown() override {
        glUseProgram(0);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    Mesh boxMesh() const {
        return Mesh(box.data(), static_cast<unsigned>(box.size()), texture.name());
    }

    VertexCapture capture;
    std::vector<Vertex> box;
    Texture texture; // made once the context exists
};

TEST_F(MeshTest, DrawFeedsEveryVertexInOrderWithItsTextureOnTheActiveUnit) {
    const Mesh mesh = boxMesh();
    EXPECT_EQ(mesh.vertexCount, 36u);
    EXPECT_EQ(mesh.texture, texture.name());
    const GLuint unitZero = textureOnUnit(GL_TEXTURE0);
    glActiveTexture(GL_TEXTURE3);
    glBindTexture(GL_TEXTURE_2D, 0);

    expectSameVertices(capture.capture([&mesh] { mesh.draw(); }, 64), box);

    EXPECT_EQ(textureOnUnit(GL_TEXTURE3), texture.name());
    EXPECT_EQ(textureOnUnit(GL_TEXTURE0), unitZero) << "only the active unit changes";
    EXPECT_EQ(intState(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(static_cast<GLuint>(intState(GL_CURRENT_PROGRAM)), capture.shaderProgram.name())
        << "the program is the caller's";
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

TEST_F(MeshTest, DrawUsesTheUniformsTheCallerSet) {
    const Mesh mesh = boxMesh();
    const glm::vec3 offset(10.0f, -20.0f, 0.5f);
    glUseProgram(capture.shaderProgram.name());
    glUniform3fv(capture.offsetLocation, 1, glm::value_ptr(offset));

    expectSameVertices(capture.capture([&mesh] { mesh.draw(); }, 64), box, offset);

    glm::vec3 after(0.0f);
    glGetUniformfv(capture.shaderProgram.name(), capture.offsetLocation, glm::value_ptr(after));
    EXPECT_EQ(after, offset) << "a mesh sets no uniform";
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(MeshTest, DrawPositionsFeedsTheSameTrianglesAndLeavesTheTextureAlone) {
    const Mesh mesh = boxMesh();
    const Texture other = Texture::create();
    glBindTexture(GL_TEXTURE_2D, other.name());

    expectSameVertices(capture.capture([&mesh] { mesh.drawPositions(); }, 64), box);

    EXPECT_EQ(static_cast<GLuint>(intState(GL_TEXTURE_BINDING_2D)), other.name());
    EXPECT_EQ(intState(GL_VERTEX_ARRAY_BINDING), 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(MeshTest, DrawsWholeTrianglesOnly) {
    const Mesh mesh(box.data(), 5, texture.name());
    expectSameVertices(capture.capture([&mesh] { mesh.draw(); }, 64),
                       std::vector<Vertex>(box.begin(), box.begin() + 3));
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(MeshTest, MovedMeshDrawsWhatItWasMadeWith) {
    Mesh first = boxMesh();
    const Mesh moved(std::move(first));
    std::vector<Mesh> grown;
    grown.push_back(boxMesh());
    grown.push_back(boxMesh()); // may move the first element to new storage

    expectSameVertices(capture.capture([&moved] { moved.draw(); }, 64), box);
    expectSameVertices(capture.capture([&grown] { grown[0].draw(); }, 64), box);
    EXPECT_EQ(moved.vertexCount, 36u);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(MeshTest, LoadModelUploadsEveryMeshWithTheTextureAndTheWholeBox) {
    const std::string path = kDataDir + "/three_parts.obj";
    const std::vector<MeshData> data = readModel(path);
    ASSERT_EQ(data.size(), 3u);
    testing::internal::CaptureStderr();
    const Model model = loadModel(path, texture.name());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    ASSERT_EQ(model.meshes.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        SCOPED_TRACE("mesh " + std::to_string(k));
        const Mesh& mesh = model.meshes[k];
        EXPECT_EQ(mesh.vertexCount, 3u);
        EXPECT_EQ(mesh.texture, texture.name());
        expectSameVertices(capture.capture([&mesh] { mesh.draw(); }, 8), data[k].vertices);
    }
    EXPECT_EQ(model.bounds.min, glm::vec3(0.0f, 0.0f, -2.0f));
    EXPECT_EQ(model.bounds.max, glm::vec3(3.0f, 3.0f, 0.0f));
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(MeshTest, LoadModelOfAMissingFileIsReportedAndEmptyWithTheZeroBox) {
    testing::internal::CaptureStderr();
    const Model model = loadModel("../Brakkel_game/Models/no-such-model.obj", texture.name());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Assimp: Could not read file!\n");
    EXPECT_TRUE(model.meshes.empty());
    EXPECT_EQ(model.bounds.min, glm::vec3(0.0f));
    EXPECT_EQ(model.bounds.max, glm::vec3(0.0f));
}

// A program with the seven material uniforms, each reaching the output.
Program materialProgram() {
    TempDir dir;
    testing::internal::CaptureStdout();
    Program program = loadShaders(dir.write("material.vert", R"(#version 330
layout(location = 0) in vec3 position;
void main() { gl_Position = vec4(position, 1.0); }
)"),
                                  dir.write("material.frag", R"(#version 330
uniform float ka;
uniform float kd;
uniform float ks;
uniform vec3 ambientColor;
uniform vec3 diffuseColor;
uniform vec3 specularColor;
uniform uint phongPower;
out vec4 color;
void main() {
    color = vec4(ka * ambientColor + kd * diffuseColor + ks * specularColor, float(phongPower));
}
)"));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(linkStatus(program.name()), GL_TRUE);
    return program;
}

using MaterialTest = GlTest;

TEST_F(MaterialTest, UniformsAreLookedUpByName) {
    const Program program = materialProgram();
    const MaterialUniforms uniforms(program.name());
    const std::pair<GLint, const char*> locations[] = {
        {uniforms.ka, "ka"},
        {uniforms.kd, "kd"},
        {uniforms.ks, "ks"},
        {uniforms.ambientColor, "ambientColor"},
        {uniforms.diffuseColor, "diffuseColor"},
        {uniforms.specularColor, "specularColor"},
        {uniforms.phongPower, "phongPower"},
    };
    for (const auto& [location, name] : locations) {
        EXPECT_NE(location, -1) << name;
        EXPECT_EQ(location, glGetUniformLocation(program.name(), name)) << name;
    }
}

TEST_F(MaterialTest, ApplyUploadsEveryValueToTheCurrentProgram) {
    const Program program = materialProgram();
    Material material;
    EXPECT_EQ(material.ka, 1.0f);
    EXPECT_EQ(material.phongPower, 1u);
    EXPECT_EQ(material.specularColor, glm::vec3(1.0f));
    material.ka = 0.25f;
    material.kd = 0.5f;
    material.ks = 0.75f;
    material.ambientColor = glm::vec3(0.1f, 0.2f, 0.3f);
    material.diffuseColor = glm::vec3(0.4f, 0.5f, 0.6f);
    material.specularColor = glm::vec3(0.7f, 0.8f, 0.9f);
    material.phongPower = 4000000000u; // beyond any signed int: must go up as unsigned
    const MaterialUniforms uniforms(program.name());
    glUseProgram(program.name());
    material.apply(uniforms);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));

    EXPECT_EQ(static_cast<GLuint>(intState(GL_CURRENT_PROGRAM)), program.name());
    auto scalar = [&program](const char* name) {
        GLfloat value = -1.0f;
        glGetUniformfv(program.name(), glGetUniformLocation(program.name(), name), &value);
        return value;
    };
    auto vector = [&program](const char* name) {
        glm::vec3 value(-1.0f);
        glGetUniformfv(program.name(), glGetUniformLocation(program.name(), name),
                       glm::value_ptr(value));
        return value;
    };
    EXPECT_EQ(scalar("ka"), 0.25f);
    EXPECT_EQ(scalar("kd"), 0.5f);
    EXPECT_EQ(scalar("ks"), 0.75f);
    EXPECT_EQ(vector("ambientColor"), material.ambientColor);
    EXPECT_EQ(vector("diffuseColor"), material.diffuseColor);
    EXPECT_EQ(vector("specularColor"), material.specularColor);
    GLuint power = 0;
    glGetUniformuiv(program.name(), glGetUniformLocation(program.name(), "phongPower"), &power);
    EXPECT_EQ(power, 4000000000u);
    glUseProgram(0);
}

} // namespace
