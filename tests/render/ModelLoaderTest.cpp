#include "render/ModelLoader.h"
#include "render/Material.h"
#include "render/Mesh.h"
#include "render/ObjCheck.h"
#include "render/ShaderLoader.h"

#include "support/GlContext.h"
#include "support/TempFiles.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kDataDir = BRAKKEL_TEST_DATA_DIR;
const std::string kCouldNotRead = "Assimp: Could not read file!\n";

// The mesh program keeps "M" away from location 2, where the depth program has its own.
constexpr GLint kMeshModelLocation = 7;
constexpr GLint kMeshAlphaLocation = 11;
constexpr GLint kDepthModelLocation = 2;

const char* const kMeshVertex = R"(#version 430
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
layout(location = 3) uniform mat4 view;
layout(location = 7) uniform mat4 M;
layout(location = 11) uniform float alpha;
out vec4 tint;
void main() {
    tint = vec4(normal + vec3(uv, 0.0), alpha);
    gl_Position = view * M * vec4(position, 1.0);
}
)";
const char* const kMeshFragment = R"(#version 430
in vec4 tint;
out vec4 color;
void main() { color = tint; }
)";
const char* const kDepthVertex = R"(#version 430
layout(location = 0) in vec3 position;
layout(location = 2) uniform mat4 M;
void main() { gl_Position = M * vec4(position, 1.0); }
)";
const char* const kDepthFragment = R"(#version 430
void main() {}
)";

GLuint buildProgram(const char* vertex, const char* fragment) {
    TempDir dir;
    testing::internal::CaptureStdout();
    const GLuint program = loadShaders(dir.write("p.vert", vertex), dir.write("p.frag", fragment));
    testing::internal::GetCapturedStdout();
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    return program;
}

struct MeshList {
    std::vector<Mesh*> meshes;
    ~MeshList() {
        for (Mesh* mesh : meshes) {
            delete mesh;
        }
    }
};

// Loads path and returns what was written to standard error.
std::string load(const std::string& path, GLuint program, GLuint texture, MeshList& list) {
    testing::internal::CaptureStderr();
    loadModel(path, program, texture, list.meshes);
    return testing::internal::GetCapturedStderr();
}

glm::mat4 uniformMatrix(GLuint program, GLint location) {
    glm::mat4 value(0.0f);
    glGetUniformfv(program, location, glm::value_ptr(value));
    return value;
}

std::vector<Vertex> bufferVertices(const Mesh& mesh) {
    std::vector<Vertex> vertices(mesh.vertexCount);
    glGetNamedBufferSubData(mesh.vertexBuffers.at(0), 0,
                            static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)),
                            vertices.data());
    return vertices;
}

// The corners of an OBJ file of "v", "vt", "vn" and "f a/b/c" lines, in face order.
std::vector<Vertex> cornersOf(const std::string& text) {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs;
    std::vector<Vertex> corners;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        glm::vec3 v(0.0f);
        if (keyword == "v" && words >> v.x >> v.y >> v.z) {
            positions.push_back(v);
        } else if (keyword == "vn" && words >> v.x >> v.y >> v.z) {
            normals.push_back(v);
        } else if (keyword == "vt" && words >> v.x >> v.y) {
            uvs.push_back(glm::vec2(v));
        } else if (keyword == "f") {
            for (int corner = 0; corner < 3; ++corner) {
                int p = 0, t = 0, n = 0;
                char slash = 0;
                words >> p >> slash >> t >> slash >> n;
                corners.push_back({positions.at(p - 1), normals.at(n - 1), uvs.at(t - 1)});
            }
        }
    }
    return corners;
}

void expectSameVertices(const std::vector<Vertex>& actual, const std::vector<Vertex>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE("vertex " + std::to_string(i));
        EXPECT_EQ(actual[i].position, expected[i].position);
        EXPECT_EQ(actual[i].normal, expected[i].normal);
        EXPECT_EQ(actual[i].uv, expected[i].uv);
    }
}

GLuint primitivesDrawnBy(const std::function<void()>& draw) {
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    draw();
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint primitives = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives);
    glDeleteQueries(1, &query);
    return primitives;
}

GLint attributeEnabled(GLuint vertexArray, GLuint attribute) {
    GLint enabled = -1;
    glGetVertexArrayIndexediv(vertexArray, attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    return enabled;
}

GLuint boundTexture() {
    GLint texture = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    return static_cast<GLuint>(texture);
}

class ModelLoaderTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        program = buildProgram(kMeshVertex, kMeshFragment);
        glGenTextures(1, &texture);
    }
    void TearDown() override {
        glDeleteTextures(1, &texture);
        glDeleteProgram(program);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    GLuint program = 0;
    GLuint texture = 0;
};

TEST_F(ModelLoaderTest, ThreeObjectFileGivesThreeMeshesInFileOrder) {
    MeshList list;
    EXPECT_EQ(load(kDataDir + "/three_parts.obj", program, texture, list), "");
    ASSERT_EQ(list.meshes.size(), 3u);
    const std::vector<Vertex> corners = cornersOf(readFile(kDataDir + "/three_parts.obj"));
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE("mesh " + std::to_string(k));
        const Mesh& mesh = *list.meshes[k];
        EXPECT_EQ(mesh.translationMatrix, glm::mat4(1.0f));
        EXPECT_EQ(mesh.rotationMatrix, glm::mat4(1.0f));
        EXPECT_EQ(mesh.scaleMatrix, glm::mat4(1.0f));
        EXPECT_EQ(mesh.alpha, 1.0f);
        EXPECT_EQ(mesh.shaderProgram, program);
        EXPECT_EQ(mesh.texture, texture);
        EXPECT_EQ(mesh.modelMatrixLocation, kMeshModelLocation);
        EXPECT_EQ(mesh.alphaLocation, kMeshAlphaLocation);
        EXPECT_EQ(mesh.vertexBuffers.size(), 1u);
        EXPECT_EQ(mesh.vertexCount, 3u);
        const float size = static_cast<float>(k + 1);
        EXPECT_EQ(mesh.boundsMin, glm::vec3(0.0f, 0.0f, -k));
        EXPECT_EQ(mesh.boundsMax, glm::vec3(size, size, -k));
        expectSameVertices(bufferVertices(mesh), std::vector<Vertex>(corners.begin() + 3 * k,
                                                                     corners.begin() + 3 * k + 3));
    }
}

TEST_F(ModelLoaderTest, AppendsToWhatTheListHolds) {
    MeshList list;
    load(kDataDir + "/three_parts.obj", program, texture, list);
    const std::vector<Mesh*> first = list.meshes;
    load(kDataDir + "/box.obj", program, texture, list);
    ASSERT_EQ(list.meshes.size(), 4u);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), list.meshes.begin()));
}

TEST_F(ModelLoaderTest, BoxHasOneVertexPerTriangleCornerAndItsBounds) {
    MeshList list;
    EXPECT_EQ(load(kDataDir + "/box.obj", program, texture, list), "");
    ASSERT_EQ(list.meshes.size(), 1u);
    const Mesh& box = *list.meshes[0];
    EXPECT_EQ(box.vertexCount, 36u);
    EXPECT_EQ(box.boundsMin, glm::vec3(-1.0f, 0.0f, -4.0f));
    EXPECT_EQ(box.boundsMax, glm::vec3(2.0f, 3.0f, 5.0f));
    expectSameVertices(bufferVertices(box), cornersOf(readFile(kDataDir + "/box.obj")));
}

TEST_F(ModelLoaderTest, DrawUsesItsOwnProgramTextureAndModelMatrix) {
    MeshList list;
    load(kDataDir + "/box.obj", program, texture, list);
    ASSERT_EQ(list.meshes.size(), 1u);
    Mesh& box = *list.meshes[0];
    box.setTranslation(glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 2.0f, 3.0f)));
    box.setRotation(glm::rotate(glm::mat4(1.0f), glm::radians(30.0f), glm::vec3(0, 1, 0)));
    box.setScale(glm::scale(glm::mat4(1.0f), glm::vec3(2.0f, 3.0f, 4.0f)));
    box.setAlpha(0.25f);
    glBindTexture(GL_TEXTURE_2D, 0);

    EXPECT_EQ(primitivesDrawnBy([&box] { box.draw(); }), 12u);

    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), program);
    EXPECT_EQ(uniformMatrix(program, kMeshModelLocation),
              box.getTranslation() * box.getRotation() * box.getScale());
    GLfloat alpha = 0.0f;
    glGetUniformfv(program, kMeshAlphaLocation, &alpha);
    EXPECT_EQ(alpha, 0.25f);
    EXPECT_EQ(boundTexture(), texture);
    GLint vertexArray = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_EQ(vertexArray, 0);
    for (GLuint attribute = 0; attribute < 3; ++attribute) {
        EXPECT_EQ(attributeEnabled(box.vertexArray, attribute), GL_FALSE);
    }
}

TEST_F(ModelLoaderTest, DrawWithProgramWritesOnlyTheGivenLocation) {
    const GLuint depth = buildProgram(kDepthVertex, kDepthFragment);
    MeshList list;
    load(kDataDir + "/box.obj", program, texture, list);
    ASSERT_EQ(list.meshes.size(), 1u);
    Mesh& box = *list.meshes[0];
    box.setTranslation(glm::translate(glm::mat4(1.0f), glm::vec3(-5.0f, 0.5f, 2.0f)));
    box.setScale(glm::scale(glm::mat4(1.0f), glm::vec3(0.5f)));
    const glm::mat4 untouched(7.0f);
    glUseProgram(program);
    glUniformMatrix4fv(kMeshModelLocation, 1, GL_FALSE, glm::value_ptr(untouched));
    glBindTexture(GL_TEXTURE_2D, 0);

    EXPECT_EQ(primitivesDrawnBy([&] { box.drawWithProgram(depth, kDepthModelLocation); }), 12u);

    EXPECT_EQ(uniformMatrix(depth, kDepthModelLocation), box.translationMatrix * box.scaleMatrix);
    EXPECT_EQ(uniformMatrix(program, kMeshModelLocation), untouched);
    EXPECT_EQ(boundTexture(), 0u);
    for (GLuint attribute = 0; attribute < 3; ++attribute) {
        EXPECT_EQ(attributeEnabled(box.vertexArray, attribute), GL_FALSE);
    }
    glDeleteProgram(depth);
}

TEST_F(ModelLoaderTest, SingleVertexMeshHasThatVertexAsBothCorners) {
    Vertex vertex;
    vertex.position = glm::vec3(1.5f, -2.0f, 3.25f);
    Mesh mesh(program, &vertex, 1, texture);
    EXPECT_EQ(mesh.boundsMin, vertex.position);
    EXPECT_EQ(mesh.boundsMax, vertex.position);
    EXPECT_EQ(mesh.vertexCount, 1u);
}

TEST_F(ModelLoaderTest, MissingNormalsAndUvsAreZeros) {
    TempDir dir;
    MeshList list;
    const std::string path =
        dir.write("bare.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 2 4 3\n");
    EXPECT_EQ(load(path, program, texture, list), "");
    ASSERT_EQ(list.meshes.size(), 1u);
    const std::vector<Vertex> vertices = bufferVertices(*list.meshes[0]);
    ASSERT_EQ(vertices.size(), 6u);
    EXPECT_EQ(vertices[3].position, glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(vertices[4].position, glm::vec3(0.0f, 0.0f, 1.0f));
    for (const Vertex& vertex : vertices) {
        EXPECT_EQ(vertex.normal, glm::vec3(0.0f));
        EXPECT_EQ(vertex.uv, glm::vec2(0.0f));
    }
}

TEST_F(ModelLoaderTest, MissingFileIsReportedAndAppendsNothing) {
    MeshList list;
    EXPECT_EQ(load("../Brakkel_game/Models/no-such-model.obj", program, texture, list),
              kCouldNotRead);
    EXPECT_TRUE(list.meshes.empty());
    EXPECT_EQ(load("../Brakkel_game/Models/no-such-model.3ds", program, texture, list),
              kCouldNotRead);
    EXPECT_TRUE(list.meshes.empty());
}

TEST_F(ModelLoaderTest, MalformedObjFilesAreReportedAndAppendNothing) {
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    const std::vector<std::pair<const char*, std::string>> malformed = {
        {"empty", ""},
        {"line element", triangle + "l 1 2\n"},
        {"point element", triangle + "p 1\n"},
        {"face cut off at the end", triangle + "f 1 2"},
        {"index out of range", triangle + "f 1 2 99\n"},
        {"index zero", triangle + "f 0 1 2\n"},
        {"relative index", triangle + "f -1 -2 -3\n"},
        {"uv index without uvs", triangle + "f 1/1 2/1 3/1\n"},
        {"normal index out of range", triangle + "vn 0 0 1\nf 1//1 2//2 3//1\n"},
        {"mixed corner forms", triangle + "vt 0 0\nf 1/1 2 3\n"},
        {"forward reference", "v 0 0 0\nf 1 2 3\nv 1 0 0\nv 0 1 0\n"},
        {"quad face", triangle + "v 1 1 0\nf 1 2 4 3\n"},
        {"vertex with two numbers", "v 0 0\n" + triangle + "f 2 3 4\n"},
        {"number that does not parse", "v 0 0 x\n" + triangle},
        {"half a number", "v 0 0 1.\n" + triangle},
        {"line continuation", triangle + "f 1 2 \\\n3\n"},
        {"NUL byte", triangle + std::string("f 1 2 3\0\n", 9)},
        {"lone carriage return", triangle + "f 1 2 3\rf 1 2 3\n"},
        {"statement after spaces", triangle + "  f 1 2 3\n"},
        {"unknown statement", triangle + "vp 0.5\nf 1 2 3\n"},
        {"object without name", triangle + "o\nf 1 2 3\n"},
    };
    TempDir dir;
    for (const auto& [name, text] : malformed) {
        SCOPED_TRACE(name);
        MeshList list;
        EXPECT_EQ(load(dir.write("bad.obj", text), program, texture, list), kCouldNotRead);
        EXPECT_TRUE(list.meshes.empty());
    }
}

TEST_F(ModelLoaderTest, WellFormedVariantsLoad) {
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    const std::vector<std::pair<const char*, std::string>> variants = {
        {"no final line end", triangle + "f 1 2 3"},
        {"CRLF line ends", "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nf 1 2 3\r\n"},
        {"comments, groups, smoothing, materials",
         "# made by hand\nmtllib /nonexistent/library.mtl\no a\ng b\ns off\nusemtl m\n" + triangle +
             "\nf 1 2 3\n"},
        {"signed and exponent numbers", "v -0 +0 0\nv 1e0 0 0\nv 0 1.0E+0 0.0\nf 1 2 3\n"},
        {"upper-case extension", triangle + "f 1 2 3\n"},
    };
    TempDir dir;
    for (const auto& [name, text] : variants) {
        SCOPED_TRACE(name);
        MeshList list;
        const std::string file = std::string(name) == "upper-case extension" ? "ok.OBJ" : "ok.obj";
        EXPECT_EQ(load(dir.write(file, text), program, texture, list), "");
        ASSERT_EQ(list.meshes.size(), 1u);
        EXPECT_EQ(list.meshes[0]->vertexCount, 3u);
        EXPECT_EQ(list.meshes[0]->boundsMax, glm::vec3(1.0f, 1.0f, 0.0f));
    }
}

TEST(ObjCheckTest, MaterialLibrariesBecomeCommentsAndTheLastLineIsEnded) {
    std::string text = "mtllib a.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3";
    ASSERT_TRUE(checkObjText(text));
    EXPECT_EQ(text, "#tllib a.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
}

// Formats other than OBJ are read as they are; a mesh whose vertices are shared between
// faces would draw garbage triangles, so it is reported and skipped.
TEST_F(ModelLoaderTest, IndexedMeshOfAnotherFormatIsSkipped) {
    const std::string quad = "ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\n"
                             "property float y\nproperty float z\nelement face 2\n"
                             "property list uchar int vertex_indices\nend_header\n"
                             "0 0 0\n1 0 0\n1 1 0\n0 1 0\n3 0 1 2\n3 0 2 3\n";
    TempDir dir;
    MeshList list;
    const std::string path = dir.write("quad.ply", quad);
    const std::string output = load(path, program, texture, list);
    EXPECT_EQ(output, "Model " + path + ": mesh 0 is not a list of unshared triangles, skipped\n");
    EXPECT_TRUE(list.meshes.empty());
}

using MaterialTest = GlTest;

TEST_F(MaterialTest, ApplyUploadsEveryValueToItsUniform) {
    const char* const fragment = R"(#version 430
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
)";
    const GLuint program = buildProgram(kDepthVertex, fragment);
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
    material.fetchLocations(program);
    glUseProgram(0);
    material.apply(program);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));

    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), program);
    auto scalar = [program](GLint location) {
        GLfloat value = -1.0f;
        glGetUniformfv(program, location, &value);
        return value;
    };
    auto vector = [program](GLint location) {
        glm::vec3 value(-1.0f);
        glGetUniformfv(program, location, glm::value_ptr(value));
        return value;
    };
    EXPECT_EQ(scalar(material.kaLocation), 0.25f);
    EXPECT_EQ(scalar(material.kdLocation), 0.5f);
    EXPECT_EQ(scalar(material.ksLocation), 0.75f);
    EXPECT_EQ(vector(material.ambientColorLocation), material.ambientColor);
    EXPECT_EQ(vector(material.diffuseColorLocation), material.diffuseColor);
    EXPECT_EQ(vector(material.specularColorLocation), material.specularColor);
    GLuint power = 0;
    glGetUniformuiv(program, material.phongPowerLocation, &power);
    EXPECT_EQ(power, 4000000000u);
    glUseProgram(0);
    glDeleteProgram(program);
}

} // namespace
