#include "particles/ParticleDrawProgram.h"

#include "render/AssetPaths.h"
#include "render/ShaderLoader.h"

#include <string>

bool ParticleDrawProgram::init() {
    // Each step runs even after an earlier one failed, so every problem gets its message.
    bool built = createProgram();
    const std::string vertexText = readShaderSource(std::string(kShaderDir) + "postParticle.vert");
    const std::string fragmentText =
        readShaderSource(std::string(kShaderDir) + "postParticle.frag");
    built = addShader(GL_VERTEX_SHADER, vertexText.c_str()) && built;
    built = addShader(GL_FRAGMENT_SHADER, fragmentText.c_str()) && built;
    built = finalize() && built;

    viewMatrixLocation = glGetUniformLocation(shaderProgram.name(), "viewMatrix");
    return glGetError() == GL_NO_ERROR && built;
}
