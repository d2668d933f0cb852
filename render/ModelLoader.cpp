#include "render/ModelLoader.h"

#include "render/BoundedFile.h"
#include "render/ObjCheck.h"

#include <assimp/Importer.hpp>
#include <assimp/mesh.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>

namespace {

constexpr std::size_t kMaxModelFileBytes = 16u << 20; // 16 MiB, far above any game model
constexpr unsigned int kNoPostProcessing = 0;
constexpr unsigned int kTriangleCorners = 3;

bool hasObjExtension(const std::string& path) {
    const std::string extension = ".obj";
    if (path.size() < extension.size()) {
        return false;
    }
    return std::equal(extension.rbegin(), extension.rend(), path.rbegin(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
}

// An OBJ file is checked and handed over from memory, so it cannot change after the check;
// any other format only has its size bounded.
const aiScene* importScene(Assimp::Importer& importer, const std::string& path) {
    std::string bytes;
    if (!readBoundedFile(path, kMaxModelFileBytes, bytes)) {
        return nullptr;
    }
    if (!hasObjExtension(path)) {
        return importer.ReadFile(path, kNoPostProcessing);
    }
    if (!checkObjText(bytes) || bytes.empty()) {
        return nullptr;
    }
    return importer.ReadFileFromMemory(bytes.data(), bytes.size(), kNoPostProcessing, "obj");
}

// True when face i is the triangle of vertices 3i, 3i+1, 3i+2 and the faces cover every vertex.
bool isUnsharedTriangleList(const aiMesh& mesh) {
    if (static_cast<std::size_t>(mesh.mNumFaces) * kTriangleCorners != mesh.mNumVertices) {
        return false;
    }
    for (unsigned int face = 0; face < mesh.mNumFaces; ++face) {
        const aiFace& corners = mesh.mFaces[face];
        if (corners.mNumIndices != kTriangleCorners) {
            return false;
        }
        for (unsigned int corner = 0; corner < kTriangleCorners; ++corner) {
            if (corners.mIndices[corner] != face * kTriangleCorners + corner) {
                return false;
            }
        }
    }
    return true;
}

std::unique_ptr<Vertex[]> copyVertices(const aiMesh& mesh) {
    const unsigned int count = mesh.mNumVertices;
    std::unique_ptr<Vertex[]> vertices(new Vertex[count]);
    const aiVector3D* uvs = mesh.mTextureCoords[0];
    for (unsigned int i = 0; i < count; ++i) {
        const aiVector3D& position = mesh.mVertices[i];
        vertices[i].position = glm::vec3(position.x, position.y, position.z);
        if (mesh.mNormals != nullptr) {
            const aiVector3D& normal = mesh.mNormals[i];
            vertices[i].normal = glm::vec3(normal.x, normal.y, normal.z);
        }
        if (uvs != nullptr) {
            vertices[i].uv = glm::vec2(uvs[i].x, uvs[i].y);
        }
    }
    return vertices;
}

} // namespace

void loadModel(const std::string& path, GLuint program, GLuint texture,
               std::vector<Mesh*>& meshes) {
    Assimp::Importer importer;
    const aiScene* scene = importScene(importer, path);
    if (scene == nullptr) {
        std::cerr << "Assimp: Could not read file!" << std::endl;
        return;
    }
    for (unsigned int index = 0; index < scene->mNumMeshes; ++index) {
        const aiMesh& mesh = *scene->mMeshes[index];
        if (!isUnsharedTriangleList(mesh)) {
            std::cerr << "Model " << path << ": mesh " << index
                      << " is not a list of unshared triangles, skipped" << std::endl;
            continue;
        }
        const std::unique_ptr<Vertex[]> vertices = copyVertices(mesh);
        meshes.push_back(new Mesh(program, vertices.get(), mesh.mNumVertices, texture));
    }
}
