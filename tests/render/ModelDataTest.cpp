#include "assets/ModelData.h"
#include "assets/ObjCheck.h"

#include "VertexExpect.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

// Reading model files into vertex lists and boxes, without GL.
namespace {

const std::string kDataDir = BRAKKEL_TEST_DATA_DIR;
const std::string kCouldNotRead = "Assimp: Could not read file!\n";

// Reads path into meshes and returns what was written to standard error.
std::string read(const std::string& path, std::vector<MeshData>& meshes) {
    testing::internal::CaptureStderr();
    meshes = readModel(path);
    return testing::internal::GetCapturedStderr();
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

TEST(ReadModelTest, ThreeObjectFileGivesThreeMeshesInFileOrder) {
    std::vector<MeshData> meshes;
    EXPECT_EQ(read(kDataDir + "/three_parts.obj", meshes), "");
    ASSERT_EQ(meshes.size(), 3u);
    const std::vector<Vertex> corners = cornersOf(readFile(kDataDir + "/three_parts.obj"));
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE("mesh " + std::to_string(k));
        const MeshData& mesh = meshes[k];
        const float size = static_cast<float>(k + 1);
        EXPECT_EQ(mesh.bounds.min, glm::vec3(0.0f, 0.0f, -k));
        EXPECT_EQ(mesh.bounds.max, glm::vec3(size, size, -k));
        expectSameVertices(mesh.vertices, std::vector<Vertex>(corners.begin() + 3 * k,
                                                              corners.begin() + 3 * k + 3));
    }
}

TEST(ReadModelTest, BoxHasOneVertexPerTriangleCornerAndItsBounds) {
    std::vector<MeshData> meshes;
    EXPECT_EQ(read(kDataDir + "/box.obj", meshes), "");
    ASSERT_EQ(meshes.size(), 1u);
    const MeshData& box = meshes[0];
    EXPECT_EQ(box.vertices.size(), 36u);
    EXPECT_EQ(box.bounds.min, glm::vec3(-1.0f, 0.0f, -4.0f));
    EXPECT_EQ(box.bounds.max, glm::vec3(2.0f, 3.0f, 5.0f));
    expectSameVertices(box.vertices, cornersOf(readFile(kDataDir + "/box.obj")));
}

TEST(ReadModelTest, BoundsOfSeveralMeshesHoldThemAllAndOfNoneAreTheZeroBox) {
    std::vector<MeshData> meshes;
    read(kDataDir + "/three_parts.obj", meshes);
    std::vector<MeshData> box;
    read(kDataDir + "/box.obj", box);
    ASSERT_EQ(meshes.size(), 3u);
    ASSERT_EQ(box.size(), 1u);

    const Bounds parts = boundsOf(meshes);
    EXPECT_EQ(parts.min, glm::vec3(0.0f, 0.0f, -2.0f));
    EXPECT_EQ(parts.max, glm::vec3(3.0f, 3.0f, 0.0f));
    meshes.push_back(box[0]);
    const Bounds all = boundsOf(meshes);
    EXPECT_EQ(all.min, glm::vec3(-1.0f, 0.0f, -4.0f));
    EXPECT_EQ(all.max, glm::vec3(3.0f, 3.0f, 5.0f));

    const Bounds none = boundsOf({});
    EXPECT_EQ(none.min, glm::vec3(0.0f));
    EXPECT_EQ(none.max, glm::vec3(0.0f));
}

TEST(ReadModelTest, MeshWhoseCornersMeetInOnePointHasThatPointAsBothCorners) {
    TempDir dir;
    std::vector<MeshData> meshes;
    EXPECT_EQ(read(dir.write("point.obj", "v 1.5 -2 3.25\nf 1 1 1\n"), meshes), "");
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0].vertices.size(), 3u);
    EXPECT_EQ(meshes[0].bounds.min, glm::vec3(1.5f, -2.0f, 3.25f));
    EXPECT_EQ(meshes[0].bounds.max, glm::vec3(1.5f, -2.0f, 3.25f));
}

TEST(ReadModelTest, MissingNormalsAndUvsAreZeros) {
    TempDir dir;
    std::vector<MeshData> meshes;
    const std::string path =
        dir.write("bare.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 2 4 3\n");
    EXPECT_EQ(read(path, meshes), "");
    ASSERT_EQ(meshes.size(), 1u);
    const std::vector<Vertex>& vertices = meshes[0].vertices;
    ASSERT_EQ(vertices.size(), 6u);
    EXPECT_EQ(vertices[3].position, glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(vertices[4].position, glm::vec3(0.0f, 0.0f, 1.0f));
    for (const Vertex& vertex : vertices) {
        EXPECT_EQ(vertex.normal, glm::vec3(0.0f));
        EXPECT_EQ(vertex.uv, glm::vec2(0.0f));
    }
}

TEST(ReadModelTest, MissingFileIsReportedAndGivesNoMesh) {
    std::vector<MeshData> meshes;
    EXPECT_EQ(read("../Brakkel_game/Models/no-such-model.obj", meshes), kCouldNotRead);
    EXPECT_TRUE(meshes.empty());
    EXPECT_EQ(read("../Brakkel_game/Models/no-such-model.3ds", meshes), kCouldNotRead);
    EXPECT_TRUE(meshes.empty());
}

TEST(ReadModelTest, MalformedObjFilesAreReportedAndGiveNoMesh) {
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
        std::vector<MeshData> meshes;
        EXPECT_EQ(read(dir.write("bad.obj", text), meshes), kCouldNotRead);
        EXPECT_TRUE(meshes.empty());
    }
}

TEST(ReadModelTest, WellFormedVariantsLoad) {
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
        std::vector<MeshData> meshes;
        const std::string file = std::string(name) == "upper-case extension" ? "ok.OBJ" : "ok.obj";
        EXPECT_EQ(read(dir.write(file, text), meshes), "");
        ASSERT_EQ(meshes.size(), 1u);
        EXPECT_EQ(meshes[0].vertices.size(), 3u);
        EXPECT_EQ(meshes[0].bounds.max, glm::vec3(1.0f, 1.0f, 0.0f));
    }
}

TEST(ObjCheckTest, MaterialLibrariesBecomeCommentsAndTheLastLineIsEnded) {
    std::string text = "mtllib a.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3";
    ASSERT_TRUE(checkObjText(text));
    EXPECT_EQ(text, "#tllib a.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
}

// Formats other than OBJ are read as they are; a mesh whose vertices are shared between
// faces would draw garbage triangles, so it is reported and skipped.
TEST(ReadModelTest, IndexedMeshOfAnotherFormatIsSkipped) {
    const std::string quad = "ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\n"
                             "property float y\nproperty float z\nelement face 2\n"
                             "property list uchar int vertex_indices\nend_header\n"
                             "0 0 0\n1 0 0\n1 1 0\n0 1 0\n3 0 1 2\n3 0 2 3\n";
    TempDir dir;
    std::vector<MeshData> meshes;
    const std::string path = dir.write("quad.ply", quad);
    EXPECT_EQ(read(path, meshes),
              "Model " + path + ": mesh 0 is not a list of unshared triangles, skipped\n");
    EXPECT_TRUE(meshes.empty());
}

} // namespace
