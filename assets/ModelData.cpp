#include "assets/ModelData.h"

#include "assets/BoundedFile.h"
#include "assets/ObjCheck.h"

#include <assimp/Importer.hpp>
#include <assimp/mesh.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <iostream>

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
    if (readBoundedFile(path, kMaxModelFileBytes, bytes) != BoundedRead::Ok) {
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

MeshData copyMesh(const aiMesh& mesh) {
    MeshData data;
    data.vertices.resize(mesh.mNumVertices);
    const aiVector3D* uvs = mesh.mTextureCoords[0];
    for (unsigned int i = 0; i < mesh.mNumVertices; ++i) {
        Vertex& vertex = data.vertices[i];
        const aiVector3D& position = mesh.mVertices[i];
        vertex.position = glm::vec3(position.x, position.y, position.z);
        if (mesh.mNormals != nullptr) {
            const aiVector3D& normal = mesh.mNormals[i];
            vertex.normal = glm::vec3(normal.x, normal.y, normal.z);
        }
        if (uvs != nullptr) {
            vertex.uv = glm::vec2(uvs[i].x, uvs[i].y);
        }
        if (i == 0) {
            data.bounds = {vertex.position, vertex.position};
        }
        data.bounds = unite(data.bounds, {vertex.position, vertex.position});
    }
    return data;
}

} // namespace

std::vector<MeshData> readModel(const std::string& path) {
    std::vector<MeshData> meshes;
    Assimp::Importer importer;
    const aiScene* scene = importScene(importer, path);
    if (scene == nullptr) {
        std::cerr << "Assimp: Could not read file!" << std::endl;
        return meshes;
    }
    for (unsigned int index = 0; index < scene->mNumMeshes; ++index) {
        const aiMesh& mesh = *scene->mMeshes[index];
        if (!isUnsharedTriangleList(mesh)) {
            std::cerr << "Model " << path << ": mesh " << index
                      << " is not a list of unshared triangles, skipped" << std::endl;
            continue;
        }
        meshes.push_back(copyMesh(mesh));
    }
    return meshes;
}

Bounds boundsOf(const std::vector<MeshData>& meshes) {
    Bounds bounds;
    bool seeded = false;
    for (const MeshData& mesh : meshes) {
        // A mesh without vertices has no box to add.
        if (!mesh.vertices.empty()) {
            bounds = seeded ? unite(bounds, mesh.bounds) : mesh.bounds;
            seeded = true;
        }
    }
    return bounds;
}
