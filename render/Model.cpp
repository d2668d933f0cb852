#include "render/Model.h"

#include "assets/ModelData.h"

Model loadModel(const std::string& path, GLuint texture) {
    const std::vector<MeshData> data = readModel(path);
    Model model;
    model.bounds = boundsOf(data);
    model.meshes.reserve(data.size());
    for (const MeshData& mesh : data) {
        model.meshes.emplace_back(mesh.vertices.data(),
                                  static_cast<unsigned int>(mesh.vertices.size()), texture);
    }
    return model;
}
